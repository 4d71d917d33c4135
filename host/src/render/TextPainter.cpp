#include "render/TextPainter.h"

#include <array>
#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include <cairo.h>

#include "model/Unicode.h"
#include "render/CairoHandles.h"
#include "render/PaintSource.h"
#include "render/RenderContext.h"
#include "textengine/Fonts.h"
#include "textengine/Outline.h"
#include "textengine/Text.h"

namespace host {

namespace {

using text::PlacedGlyph;

// What the screen shows of a text colour: process and custom colours as shapes show them, a
// gradient or pattern as its flat colour (glyph runs have no bounds of their own to lay one out on).
void SetTextColor(cairo_t* cr, const model::Document& document, const model::TextColor& color,
                  double opacity) {
    const std::array<double, 3> rgb = ScreenRgb(document, color).value_or(std::array<double, 3>{0, 0, 0});
    cairo_set_source_rgba(cr, rgb[0], rgb[1], rgb[2], opacity);
}

// Cairo's font matrix of a glyph: from cairo's glyph space (ems, y downward) to the user space
// (points, y upward), the placement's translation left to the glyph's position.
cairo_matrix_t FontMatrix(const PlacedGlyph& glyph) {
    const double em = text::FontList::Installed().Faces()[glyph.face].unitsPerEm;
    const model::Matrix& m = glyph.place;
    cairo_matrix_t matrix;
    cairo_matrix_init(&matrix, m.a * em, m.b * em, -m.c * em, -m.d * em, 0.0, 0.0);
    return matrix;
}

bool SameMatrix(const cairo_matrix_t& a, const cairo_matrix_t& b) {
    return a.xx == b.xx && a.yx == b.yx && a.xy == b.xy && a.yy == b.yy;
}

// Glyphs drawn in one go: one face, one font matrix, one paint.
struct GlyphRun {
    const PlacedGlyph* paint = nullptr;  // the first glyph: its face and colours are the run's
    cairo_matrix_t fontMatrix{};
    std::vector<cairo_glyph_t> glyphs;
    std::string utf8;  // the characters' text, one cluster of one glyph each
    std::vector<cairo_text_cluster_t> clusters;

    bool Takes(const PlacedGlyph& glyph, const cairo_matrix_t& matrix) const {
        return paint != nullptr && paint->face == glyph.face && paint->fill == glyph.fill &&
               paint->stroke == glyph.stroke && paint->strokeWidth == glyph.strokeWidth &&
               SameMatrix(fontMatrix, matrix);
    }
};

// The text a glyph stands for, as UTF-8. Cairo refuses text that is not valid Unicode (a lone
// surrogate, a noncharacter), which would stop all drawing, so such a character stands as U+FFFD;
// control characters (tabs, line feeds) read as a space.
void AppendText(std::string& utf8, char32_t code) {
    const bool nonCharacter = (code >= 0xFDD0 && code <= 0xFDEF) || (code & 0xFFFE) == 0xFFFE;
    if (code < 0x20 || code == 0x7F) {
        code = U' ';
    } else if (nonCharacter || model::isSurrogate(code) || code > 0x10FFFF) {
        code = text::kReplacementCharacter;
    }
    model::appendUtf8(utf8, code);
}

// FreeType sizes a face to fewer than 65,536 pixels per em; cairo can't make a larger font, and
// a failed attempt keeps memory it never gives back.
bool IsSizable(const cairo_matrix_t& device) {
    constexpr double kLargestEm = 65535.0;
    return std::hypot(device.xx, device.yx) < kLargestEm && std::hypot(device.xy, device.yy) < kLargestEm;
}

class TextPainter {
public:
    TextPainter(cairo_t* cr, const model::Document& document, double opacity)
        : cr_(cr), document_(document), opacity_(opacity), options_(cairo_font_options_create()) {
        cairo_get_matrix(cr_, &ctm_);
        // Unhinted outlines at the layout's own positions; hard edges when the picture has them.
        cairo_font_options_set_hint_style(options_.get(), CAIRO_HINT_STYLE_NONE);
        cairo_font_options_set_hint_metrics(options_.get(), CAIRO_HINT_METRICS_OFF);
        if (cairo_get_antialias(cr_) == CAIRO_ANTIALIAS_NONE) {
            cairo_font_options_set_antialias(options_.get(), CAIRO_ANTIALIAS_NONE);
        }
    }

    void Draw(const std::vector<PlacedGlyph>& glyphs) {
        GlyphRun run;
        for (const PlacedGlyph& glyph : glyphs) {
            const cairo_matrix_t matrix = FontMatrix(glyph);
            if (!run.Takes(glyph, matrix)) {
                DrawRun(run);
                run = GlyphRun{&glyph, matrix, {}, {}, {}};
            }
            const std::size_t before = run.utf8.size();
            AppendText(run.utf8, glyph.codePoint);
            const unsigned index = text::FontList::Installed().GlyphIndex(glyph.face, glyph.codePoint);
            run.glyphs.push_back({index, glyph.place.tx, glyph.place.ty});
            run.clusters.push_back({static_cast<int>(run.utf8.size() - before), 1});
        }
        DrawRun(run);
    }

private:
    // The run's font; none when cairo can't draw with it (a matrix that flattens the glyphs, a size
    // beyond FreeType's, or a face cairo could not read).
    CairoScaledFont FontOf(const GlyphRun& run) const {
        cairo_font_face_t* face = text::FontList::Installed().DrawingFace(run.paint->face);
        cairo_matrix_t device;
        cairo_matrix_multiply(&device, &run.fontMatrix, &ctm_);
        if (face == nullptr || !FitsDevice(run.fontMatrix) || !FitsDevice(device) || !IsSizable(device)) {
            return nullptr;
        }
        CairoScaledFont font(cairo_scaled_font_create(face, &run.fontMatrix, &ctm_, options_.get()));
        if (cairo_scaled_font_status(font.get()) != CAIRO_STATUS_SUCCESS) {
            return nullptr;
        }
        return font;
    }

    static bool Placeable(const GlyphRun& run) {
        for (const cairo_glyph_t& glyph : run.glyphs) {
            if (!std::isfinite(glyph.x) || !std::isfinite(glyph.y)) {
                return false;
            }
        }
        return !run.glyphs.empty();
    }

    void DrawRun(const GlyphRun& run) {
        if (run.paint == nullptr || !Placeable(run) || (!run.paint->fill && !run.paint->stroke)) {
            return;
        }
        const CairoScaledFont font = FontOf(run);
        if (font == nullptr) {
            return;
        }
        cairo_set_scaled_font(cr_, font.get());
        const int count = static_cast<int>(run.glyphs.size());
        if (run.paint->fill && run.paint->fill->paints()) {
            SetTextColor(cr_, document_, *run.paint->fill, opacity_);
            cairo_show_text_glyphs(cr_, run.utf8.data(), static_cast<int>(run.utf8.size()), run.glyphs.data(),
                                   count, run.clusters.data(), static_cast<int>(run.clusters.size()),
                                   cairo_text_cluster_flags_t{});
        }
        if (run.paint->stroke && run.paint->stroke->paints() && run.paint->strokeWidth > 0) {
            // The stroke of outlined text: its width in points, mitred joins, butt caps, no dashes.
            const model::StrokePaint stroke;
            cairo_new_path(cr_);
            cairo_glyph_path(cr_, run.glyphs.data(), count);
            SetTextColor(cr_, document_, *run.paint->stroke, opacity_);
            cairo_set_line_width(cr_, run.paint->strokeWidth);
            cairo_set_line_join(cr_, CAIRO_LINE_JOIN_MITER);
            cairo_set_line_cap(cr_, CAIRO_LINE_CAP_BUTT);
            cairo_set_miter_limit(cr_, stroke.miterLimit);
            cairo_set_dash(cr_, nullptr, 0, 0.0);
            cairo_stroke(cr_);
        }
    }

    cairo_t* cr_;
    const model::Document& document_;
    double opacity_;
    CairoFontOptions options_;
    cairo_matrix_t ctm_{};
};

}  // namespace

void DrawTextFrame(cairo_t* cr, const model::Document& document, const model::ArtNode& frame) {
    const std::vector<PlacedGlyph> glyphs = text::PlaceGlyphs(document, frame.id);
    if (glyphs.empty()) {
        return;
    }
    // The frame's opacity and blend mode are the renderer's: it composites the whole frame once.
    cairo_save(cr);
    TextPainter(cr, document, 1.0).Draw(glyphs);
    cairo_restore(cr);
}

}  // namespace host
