#include "render/TextPainter.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include <cairo.h>

#include "model/Unicode.h"
#include "render/ArtExtent.h"
#include "render/CairoHandles.h"
#include "render/PaintSource.h"
#include "textengine/Fonts.h"
#include "textengine/Outline.h"
#include "textengine/Text.h"

namespace host {

namespace {

using text::PlacedGlyph;

// What the screen shows of a text colour: process and custom colours as shapes show them, a
// gradient or pattern as its flat colour (glyph runs have no bounds of their own to lay one out on).
void SetTextColor(cairo_t* cr, const model::Document& document, const model::TextColor& color) {
    const std::array<double, 3> rgb = ScreenRgb(document, color).value_or(std::array<double, 3>{0, 0, 0});
    cairo_set_source_rgb(cr, rgb[0], rgb[1], rgb[2]);
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
    std::vector<double> points;  // of each glyph's outline

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

// Glyphs stroked together share one path: with many of them under a wide stroke, the strokes of
// every pair cross and cairo's work grows as the square of their points. A path of glyphs is ended
// before its pairs that may cross (PathWork) exceed this many times its points.
constexpr double kCrossingsPerStrokedPoint = 4.0;

// The glyphs of a run stroked together, and what they cost.
struct StrokePiece {
    std::size_t first = 0;  // in the run
    std::size_t count = 0;
    double points = 0.0;
    double x1 = INFINITY, y1 = INFINITY, x2 = -INFINITY, y2 = -INFINITY;  // ink, user space

    double Work(double width) const {
        return count == 0 ? 0.0 : PathWork(points, width, x2 - x1, y2 - y1, true);
    }
};

class TextPainter {
public:
    TextPainter(const RenderContext& context, const model::ArtData& frame)
        : cr_(context.cr),
          document_(context.document),
          picture_(context.picture),
          frame_(frame),
          options_(cairo_font_options_create()) {
        cairo_get_matrix(cr_, &ctm_);
        // Unhinted outlines at the layout's own positions; hard edges when the picture has them.
        cairo_font_options_set_hint_style(options_.get(), CAIRO_HINT_STYLE_NONE);
        cairo_font_options_set_hint_metrics(options_.get(), CAIRO_HINT_METRICS_OFF);
        if (cairo_get_antialias(cr_) == CAIRO_ANTIALIAS_NONE) {
            cairo_font_options_set_antialias(options_.get(), CAIRO_ANTIALIAS_NONE);
        }
    }

    // Stops where the glyphs' points go past the picture's budget: the picture is then refused.
    void Draw(const std::vector<PlacedGlyph>& glyphs) {
        GlyphRun run;
        for (const PlacedGlyph& glyph : glyphs) {
            if (!picture_.budget.SpendPoints(OutlinePoints(glyph))) {
                return;
            }
            const cairo_matrix_t matrix = FontMatrix(glyph);
            if (!run.Takes(glyph, matrix)) {
                DrawRun(run);
                run = GlyphRun{&glyph, matrix, {}, {}, {}, {}};
            }
            const std::size_t before = run.utf8.size();
            AppendText(run.utf8, glyph.codePoint);
            const unsigned index = text::FontList::Installed().GlyphIndex(glyph.face, glyph.codePoint);
            run.glyphs.push_back({index, glyph.place.tx, glyph.place.ty});
            run.clusters.push_back({static_cast<int>(run.utf8.size() - before), 1});
            run.points.push_back(static_cast<double>(OutlinePoints(glyph)));
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
        if (run.paint->fill && run.paint->fill->paints() && SpendFill(run, font.get())) {
            SetTextColor(cr_, document_, *run.paint->fill);
            cairo_show_text_glyphs(cr_, run.utf8.data(), static_cast<int>(run.utf8.size()), run.glyphs.data(),
                                   count, run.clusters.data(), static_cast<int>(run.clusters.size()),
                                   cairo_text_cluster_flags_t{});
        }
        if (run.paint->stroke && run.paint->stroke->paints() && run.paint->strokeWidth > 0) {
            StrokeRun(run, font.get());
        }
    }

    // Pays for painting the pixels of the run's glyphs; false when the picture can't.
    bool SpendFill(const GlyphRun& run, cairo_scaled_font_t* font) {
        cairo_text_extents_t ink;
        cairo_scaled_font_glyph_extents(font, run.glyphs.data(), static_cast<int>(run.glyphs.size()), &ink);
        const double x = run.glyphs.front().x + ink.x_bearing - kAntialiasMargin;
        const double y = run.glyphs.front().y + ink.y_bearing - kAntialiasMargin;
        const double margin = 2.0 * kAntialiasMargin;
        const model::Rect area(x, y + ink.height + margin, x + ink.width + margin, y);
        if (picture_.budget.SpendPixels(ExtentPixels(cr_, area, DeviceClip(cr_)) * kGlyphPixelPrice)) {
            return true;
        }
        picture_.simplified.Note(Simplification::fillLeftOut, frame_);
        return false;
    }

    // The stroke of outlined text: its width in points, mitred joins, butt caps, no dashes; a few
    // glyphs at a time (kCrossingsPerStrokedPoint).
    void StrokeRun(const GlyphRun& run, cairo_scaled_font_t* font) {
        const model::StrokePaint stroke;
        const double width = run.paint->strokeWidth;
        SetTextColor(cr_, document_, *run.paint->stroke);
        cairo_set_line_width(cr_, width);
        cairo_set_line_join(cr_, CAIRO_LINE_JOIN_MITER);
        cairo_set_line_cap(cr_, CAIRO_LINE_CAP_BUTT);
        cairo_set_miter_limit(cr_, stroke.miterLimit);
        cairo_set_dash(cr_, nullptr, 0, 0.0);
        StrokePiece piece;
        for (std::size_t i = 0; i < run.glyphs.size(); ++i) {
            cairo_text_extents_t ink;
            cairo_scaled_font_glyph_extents(font, &run.glyphs[i], 1, &ink);
            StrokePiece grown = piece;
            grown.count = piece.count + 1;
            grown.points = piece.points + run.points[i];
            grown.x1 = std::min(piece.x1, run.glyphs[i].x + ink.x_bearing);
            grown.y1 = std::min(piece.y1, run.glyphs[i].y + ink.y_bearing);
            grown.x2 = std::max(piece.x2, run.glyphs[i].x + ink.x_bearing + ink.width);
            grown.y2 = std::max(piece.y2, run.glyphs[i].y + ink.y_bearing + ink.height);
            if (piece.count > 0 && grown.Work(width) > kCrossingsPerStrokedPoint * grown.points) {
                StrokeGlyphs(run, piece, width);
                grown = StrokePiece{i,
                                    1,
                                    run.points[i],
                                    run.glyphs[i].x + ink.x_bearing,
                                    run.glyphs[i].y + ink.y_bearing,
                                    run.glyphs[i].x + ink.x_bearing + ink.width,
                                    run.glyphs[i].y + ink.y_bearing + ink.height};
            }
            piece = grown;
        }
        StrokeGlyphs(run, piece, width);
    }

    void StrokeGlyphs(const GlyphRun& run, const StrokePiece& piece, double width) {
        if (piece.count == 0) {
            return;
        }
        // Mitred joins of the default limit reach twice the width beyond the glyphs.
        const double reach = 2.0 * width + kAntialiasMargin;
        const model::Rect ink(piece.x1 - reach, piece.y2 + reach, piece.x2 + reach, piece.y1 - reach);
        if (!picture_.budget.SpendPathWork(piece.Work(width)) ||
            !picture_.budget.SpendPixels(ExtentPixels(cr_, ink, DeviceClip(cr_)) * kGlyphPixelPrice)) {
            picture_.simplified.Note(Simplification::textStrokeLeftOut, frame_);
            return;
        }
        cairo_new_path(cr_);
        cairo_glyph_path(cr_, run.glyphs.data() + piece.first, static_cast<int>(piece.count));
        cairo_stroke(cr_);
    }

    // The points of the glyph's outline: a contour's start and each curve's end.
    std::size_t OutlinePoints(const PlacedGlyph& glyph) {
        const std::pair key{glyph.face, glyph.codePoint};
        const auto found = points_.find(key);
        if (found != points_.end()) {
            return found->second;
        }
        std::size_t points = 0;
        for (const text::GlyphContour& contour :
             text::FontList::Installed().Outline(glyph.face, glyph.codePoint)) {
            points += 1 + contour.cubics.size() / 3;
        }
        return points_.emplace(key, points).first->second;
    }

    cairo_t* cr_;
    const model::Document& document_;
    PictureState& picture_;
    const model::ArtData& frame_;
    CairoFontOptions options_;
    cairo_matrix_t ctm_{};
    std::map<std::pair<std::size_t, char32_t>, std::size_t> points_;  // OutlinePoints, by face and character
};

}  // namespace

// The frame's opacity and blend mode are the renderer's: it composites the whole frame once.
void DrawTextFrame(const RenderContext& context, const model::ArtNode& frame) {
    const std::vector<PlacedGlyph> glyphs = text::PlaceGlyphs(context.document, frame.id);
    if (glyphs.empty()) {
        return;
    }
    const SavedState saved(context.cr);
    TextPainter(context, *frame.data).Draw(glyphs);
}

}  // namespace host
