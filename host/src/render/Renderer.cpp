#include "render/Renderer.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <string>

#include <cairo.h>

#include "model/AtomicFile.h"
#include "render/CairoHandles.h"
#include "render/Effects.h"
#include "render/PaintSource.h"
#include "render/PlacedPainter.h"
#include "render/TextPainter.h"

namespace host {

namespace {

using model::ArtId;
using model::Document;

// Placed files, and rasters without pixels, show as their frame in this grey.
constexpr double kFrameGrey = 0.6;

cairo_matrix_t ToCairo(const model::Matrix& m) {
    cairo_matrix_t result;
    cairo_matrix_init(&result, m.a, m.b, m.c, m.d, m.tx, m.ty);
    return result;
}

std::uint8_t Unpremultiply(std::uint32_t component, std::uint32_t alpha) {
    return alpha == 0 ? 0
                      : static_cast<std::uint8_t>(
                            std::min<std::uint32_t>(255, (component * 255 + alpha / 2) / alpha));
}

// Whether cairo can work with the matrix: finite and invertible. A matrix it can't invert puts the
// context into its error state, after which nothing more is drawn.
bool IsUsable(cairo_matrix_t matrix) {
    return cairo_matrix_invert(&matrix) == CAIRO_STATUS_SUCCESS;
}

// The raster's pixels as the renderer's native premultiplied ARGB; none when cairo can't hold them
// (a side beyond its limit).
CairoSurface PixelSurface(const model::RasterPixels& pixels) {
    constexpr std::size_t kLargestSurfaceSide = 32767;
    if (pixels.width > kLargestSurfaceSide || pixels.height > kLargestSurfaceSide) {
        return nullptr;
    }
    CairoSurface surface(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, static_cast<int>(pixels.width),
                                                    static_cast<int>(pixels.height)));
    if (cairo_surface_status(surface.get()) != CAIRO_STATUS_SUCCESS) {
        return nullptr;
    }
    cairo_surface_flush(surface.get());
    unsigned char* data = cairo_image_surface_get_data(surface.get());
    const int stride = cairo_image_surface_get_stride(surface.get());
    const std::size_t channels = pixels.channels();
    for (std::size_t y = 0; y < pixels.height; ++y) {
        auto* row = reinterpret_cast<std::uint32_t*>(data + static_cast<std::ptrdiff_t>(y) * stride);
        for (std::size_t x = 0; x < pixels.width; ++x) {
            const std::uint8_t* p = &pixels.bytes[(y * pixels.width + x) * channels];
            std::uint32_t r = p[0], g = p[0], b = p[0];
            if (pixels.space == model::RasterPixels::Space::rgb) {
                g = p[1];
                b = p[2];
            } else if (pixels.space == model::RasterPixels::Space::cmyk) {
                const std::uint32_t white = 255u - p[3];
                r = (255u - p[0]) * white / 255u;
                g = (255u - p[1]) * white / 255u;
                b = (255u - p[2]) * white / 255u;
            }
            const std::uint32_t a = pixels.alpha ? p[channels - 1] : 255u;
            row[x] = (a << 24) | ((r * a / 255u) << 16) | ((g * a / 255u) << 8) | (b * a / 255u);
        }
    }
    cairo_surface_mark_dirty(surface.get());
    return surface;
}

double Opacity(const model::BlendAttributes& blend) {
    return blend.opacityEnabled ? blend.opacity : 1.0;
}

// One object to draw: a node of the document, or of detached artwork (a symbol's or a pattern's
// tile), which the document's handles do not reach.
class ArtRef {
public:
    explicit ArtRef(const model::ArtNode& node) : node_(&node) {}
    explicit ArtRef(const model::ArtTree& tree) : tree_(&tree) {}

    const model::ArtData& data() const { return node_ != nullptr ? *node_->data : tree_->data; }
    // The object's node in the document; null for detached artwork.
    const model::ArtNode* node() const { return node_; }
    const model::ArtTree* tree() const { return tree_; }

private:
    const model::ArtNode* node_ = nullptr;
    const model::ArtTree* tree_ = nullptr;
};

// Pattern tiles draw art that may hold symbols whose art is painted with patterns: how many tiles
// are being drawn inside one another on this thread, so that such a loop ends.
thread_local int tileDepth = 0;

// Symbols nested inside one another multiply: at most this many instances are drawn into one
// picture (or tile), so that a small document can't ask for more drawing than a picture could use.
constexpr std::size_t kInstancesPerPicture = 100'000;
constexpr int kTileDepthLimit = 8;

class Painter {
public:
    Painter(const Document& document, cairo_t* context) : document_(document), cr_(context) {}

    void Draw(ArtId art) {
        if (const model::ArtNode* node = document_.find(art)) {
            Draw(ArtRef(*node));
        }
    }

    void Draw(ArtRef art) {
        const model::ArtData& data = art.data();
        if ((data.attributes & model::attribute::hidden) != 0 ||
            (art.node() != nullptr && !LayerShows(*art.node()))) {
            return;
        }
        if (art.node() != nullptr && IsOutOfView(*art.node(), data)) {
            return;
        }
        const Compositing compositing(*this, data);
        switch (data.type()) {
            case model::ArtType::group:
                DrawGroup(art);
                break;
            case model::ArtType::path:
            case model::ArtType::compoundPath:
                DrawShape(art);
                break;
            case model::ArtType::raster:
                DrawRaster(std::get<model::RasterContent>(data.content));
                break;
            case model::ArtType::placed:
                if (const auto& placed = std::get<model::PlacedContent>(data.content);
                    !placedFiles_.Draw(cr_, placed)) {
                    FillFrame(placed.box);
                }
                break;
            case model::ArtType::symbol:
                DrawSymbol(std::get<model::SymbolContent>(data.content));
                break;
            case model::ArtType::textFrame:
                // A frame's story lives in the document: text inside a symbol's artwork has none.
                if (art.node() != nullptr) {
                    DrawTextFrame(cr_, document_, *art.node());
                }
                break;
            default:
                break;
        }
    }

private:
    // Draws an object by itself and then onto what lies below when its transparency or effects ask
    // for it (an opacity below 1, a blend mode other than normal, an isolated or knockout group, a
    // drawn effect), so that the opacity applies once to the whole object rather than to each of its
    // parts; otherwise straight onto the target.
    class Compositing {
    public:
        Compositing(Painter& painter, const model::ArtData& data)
            : painter_(painter),
              blend_(data.style.blend),
              knockoutAbove_(painter.knockout_),
              effects_(DrawnEffects(data.style)) {
            const bool container = data.type() == model::ArtType::group;
            painter.knockout_ =
                container && (blend_.knockout == 1 || (blend_.knockout == 2 && knockoutAbove_));
            // A member of a knockout group leaves its opacity to the group, which needs its shape.
            opacity_ = Opacity(blend_);
            if (painter.deferOpacity_) {
                painter.deferOpacity_ = false;
                painter.deferredOpacity_ = opacity_;
                opacity_ = 1.0;
            }
            grouped_ = opacity_ < 1.0 || blend_.mode != 0 || !effects_.empty() ||
                       (container && (blend_.isolated || painter.knockout_));
            if (grouped_) {
                cairo_push_group(painter.cr_);
            }
        }
        ~Compositing() {
            cairo_t* cr = painter_.cr_;
            painter_.knockout_ = knockoutAbove_;
            if (!grouped_) {
                return;
            }
            if (!effects_.empty()) {
                const CairoPattern object(cairo_pop_group(cr));
                cairo_push_group(cr);
                PaintWithEffects(cr, painter_.document_, object.get(), effects_);
            }
            cairo_pop_group_to_source(cr);
            cairo_set_operator(cr, BlendOperator(blend_.mode));
            cairo_paint_with_alpha(cr, opacity_);
            cairo_set_operator(cr, CAIRO_OPERATOR_OVER);
        }
        Compositing(const Compositing&) = delete;
        Compositing& operator=(const Compositing&) = delete;

    private:
        Painter& painter_;
        const model::BlendAttributes& blend_;
        bool knockoutAbove_;
        std::vector<const model::Effect*> effects_;
        double opacity_ = 1.0;
        bool grouped_ = false;
    };

    // Whether a path, compound path, raster or placed file of the document lies wholly outside what
    // the context shows, so that drawing it would change nothing: a picture of one artboard then
    // costs what the art on it does. Mitred joins reach beyond the visible bounds by up to half the
    // miter limit times the stroke width; effects reach further and are never left out.
    bool IsOutOfView(const model::ArtNode& node, const model::ArtData& data) const {
        const model::ArtType type = data.type();
        if ((type != model::ArtType::path && type != model::ArtType::compoundPath &&
             type != model::ArtType::raster && type != model::ArtType::placed) ||
            !data.style.preEffects.empty() || !data.style.postEffects.empty()) {
            return false;
        }
        const model::Result<model::Rect> bounds = document_.bounds(node.id, model::BoundsKind::visible);
        if (!bounds || bounds->isEmpty()) {
            return false;
        }
        double reach = 1.0;
        for (const model::PaintField& field : data.style.paintFields) {
            if (const model::StrokePaint* stroke = field.strokePaint()) {
                reach = std::max(reach, stroke->width * stroke->miterLimit / 2.0 + 1.0);
            }
        }
        double x1 = 0.0, y1 = 0.0, x2 = 0.0, y2 = 0.0;
        cairo_clip_extents(cr_, &x1, &y1, &x2, &y2);
        const model::Rect view(std::min(x1, x2) - reach, std::max(y1, y2) + reach, std::max(x1, x2) + reach,
                               std::min(y1, y2) - reach);
        return !view.intersects(*bounds);
    }

    bool LayerShows(const model::ArtNode& node) const {
        const model::Layer* layer = node.layer ? document_.layers().find(node.layer) : nullptr;
        return layer == nullptr || layer->properties.visible;
    }

    // Children are listed front-most first, so they are visited from the last.
    template <typename Visit>
    void ForEachChildBackFirst(ArtRef art, Visit&& visit) const {
        if (const model::ArtTree* tree = art.tree()) {
            for (auto child = tree->children.rbegin(); child != tree->children.rend(); ++child) {
                visit(ArtRef(*child));
            }
            return;
        }
        for (ArtId child = art.node()->children.back(); child;) {
            const model::ArtNode* node = document_.find(child);
            visit(ArtRef(*node));
            child = node->previous;
        }
    }

    static bool IsMask(ArtRef art) { return (art.data().attributes & model::attribute::clippingMask) != 0; }

    // In a knockout group each member replaces what the members below it show where it covers them:
    // drawn at full opacity, its shape clears what lies below, and then it is put on at its opacity.
    void DrawChild(ArtRef child) {
        if (!knockout_) {
            Draw(child);
            return;
        }
        cairo_push_group(cr_);
        deferOpacity_ = true;
        deferredOpacity_ = 1.0;
        Draw(child);
        deferOpacity_ = false;
        const CairoPattern drawn(cairo_pop_group(cr_));
        cairo_set_operator(cr_, CAIRO_OPERATOR_DEST_OUT);
        cairo_mask(cr_, drawn.get());
        cairo_set_operator(cr_, CAIRO_OPERATOR_OVER);
        cairo_set_source(cr_, drawn.get());
        cairo_paint_with_alpha(cr_, deferredOpacity_);
    }

    void DrawGroup(ArtRef art) {
        const auto& group = std::get<model::GroupContent>(art.data().content);
        bool hasMask = false;
        if (group.clipped) {
            ForEachChildBackFirst(art, [&](ArtRef child) { hasMask = hasMask || IsMask(child); });
        }
        if (!hasMask) {
            ForEachChildBackFirst(art, [&](ArtRef child) { DrawChild(child); });
            return;
        }
        cairo_save(cr_);
        cairo_new_path(cr_);
        ForEachChildBackFirst(art, [&](ArtRef child) {
            if (IsMask(child)) {
                AddOutlines(child);
            }
        });
        cairo_set_fill_rule(cr_, CAIRO_FILL_RULE_WINDING);
        cairo_clip(cr_);
        ForEachChildBackFirst(art, [&](ArtRef child) {
            if (!IsMask(child)) {
                DrawChild(child);
            }
        });
        cairo_restore(cr_);
    }

    void AddPath(const model::PathGeometry& path) {
        if (path.segments.empty()) {
            return;
        }
        const auto& segments = path.segments;
        cairo_move_to(cr_, segments[0].anchor.x, segments[0].anchor.y);
        const std::size_t count = path.closed ? segments.size() : segments.size() - 1;
        for (std::size_t i = 0; i < count; ++i) {
            const model::Segment& from = segments[i];
            const model::Segment& to = segments[(i + 1) % segments.size()];
            // A segment whose direction points sit on its anchors is a line: drawn as one, it is a
            // line in a PDF, EPS or SVG too, and a rectangle of lines is the surface's rectangle.
            if (from.out == from.anchor && to.in == to.anchor) {
                cairo_line_to(cr_, to.anchor.x, to.anchor.y);
            } else {
                cairo_curve_to(cr_, from.out.x, from.out.y, to.in.x, to.in.y, to.anchor.x, to.anchor.y);
            }
        }
        if (path.closed) {
            cairo_close_path(cr_);
        }
    }

    void AddTreeOutlines(const model::ArtTree& tree) {
        if (const auto* path = std::get_if<model::PathContent>(&tree.data.content)) {
            AddPath(path->geometry);
        }
        for (const model::ArtTree& child : tree.children) {
            AddTreeOutlines(child);
        }
    }

    // Every path at or below the art.
    void AddOutlines(ArtRef art) {
        if (const model::ArtTree* tree = art.tree()) {
            AddTreeOutlines(*tree);
            return;
        }
        // A path is its own only outline: no list of the members below it is needed.
        if (const auto* path = std::get_if<model::PathContent>(&art.data().content)) {
            AddPath(path->geometry);
            return;
        }
        for (const ArtId member : document_.artTree(art.node()->id).valueOr({})) {
            if (const auto* path = document_.contentAs<model::PathContent>(member)) {
                AddPath(path->geometry);
            }
        }
    }

    // What a gradient or pattern needs to know of the path about to be painted.
    PaintPlace PlaceOf(const model::ArtData& data, const model::Color& color, bool fill) const {
        PaintPlace place;
        if (color.kind == model::Color::Kind::gradient) {
            double x1 = 0.0, y1 = 0.0, x2 = 0.0, y2 = 0.0;
            cairo_path_extents(cr_, &x1, &y1, &x2, &y2);
            place.bounds = model::Rect(x1, std::max(y1, y2), x2, std::min(y1, y2));
        }
        place.patternMatrix = fill ? data.fillPattern : data.strokePattern;
        return place;
    }

    // Each paint field in turn; one whose blend mode is not normal (or a pattern below full opacity,
    // which cairo can't fade as it paints) is drawn by itself first and then blended. The outlines
    // are laid once and kept from one field to the next: cairo's path belongs to the context, not to
    // its saved states or groups, and filling or stroking with _preserve leaves it in place.
    void DrawShape(ArtRef art) {
        const model::ArtData& data = art.data();
        bool outlined = false;
        for (const model::PaintField& field : data.style.paintFields) {
            if (!field.paints()) {
                continue;
            }
            if (!outlined) {
                cairo_new_path(cr_);
                AddOutlines(art);
                outlined = true;
            }
            const model::FillPaint* fill = field.fillPaint();
            const model::Color& color = fill != nullptr ? fill->color : field.strokePaint()->color;
            const double opacity = Opacity(field.blend);
            const bool grouped =
                field.blend.mode != 0 || (opacity < 1.0 && color.kind == model::Color::Kind::pattern);
            if (grouped) {
                cairo_push_group(cr_);
            }
            if (SetPaintSource(cr_, document_, color, grouped ? 1.0 : opacity,
                               PlaceOf(data, color, fill != nullptr))) {
                if (fill != nullptr) {
                    cairo_set_fill_rule(cr_,
                                        field.evenOdd ? CAIRO_FILL_RULE_EVEN_ODD : CAIRO_FILL_RULE_WINDING);
                    cairo_fill_preserve(cr_);
                } else {
                    Stroke(*field.strokePaint());
                }
            }
            if (grouped) {
                cairo_pop_group_to_source(cr_);
                cairo_set_operator(cr_, BlendOperator(field.blend.mode));
                cairo_paint_with_alpha(cr_, opacity);
                cairo_set_operator(cr_, CAIRO_OPERATOR_OVER);
            }
        }
        cairo_new_path(cr_);
    }

    void Stroke(const model::StrokePaint& stroke) {
        cairo_set_line_width(cr_, stroke.width);
        cairo_set_line_cap(cr_, stroke.cap == model::LineCap::round        ? CAIRO_LINE_CAP_ROUND
                                : stroke.cap == model::LineCap::projecting ? CAIRO_LINE_CAP_SQUARE
                                                                           : CAIRO_LINE_CAP_BUTT);
        cairo_set_line_join(cr_, stroke.join == model::LineJoin::round   ? CAIRO_LINE_JOIN_ROUND
                                 : stroke.join == model::LineJoin::bevel ? CAIRO_LINE_JOIN_BEVEL
                                                                         : CAIRO_LINE_JOIN_MITER);
        cairo_set_miter_limit(cr_, stroke.miterLimit);
        double total = 0.0;
        for (const double dash : stroke.dashes) {
            total += dash;
        }
        // A pattern of zero length would be a solid stroke that cairo refuses.
        if (total > 0.0) {
            cairo_set_dash(cr_, stroke.dashes.data(), static_cast<int>(stroke.dashes.size()),
                           stroke.dashOffset);
        } else {
            cairo_set_dash(cr_, nullptr, 0, 0.0);
        }
        cairo_stroke_preserve(cr_);
    }

    // Whether cairo can draw through the matrix from the current user space.
    bool IsUsableHere(const cairo_matrix_t& matrix) const {
        cairo_matrix_t device;
        cairo_get_matrix(cr_, &device);
        cairo_matrix_t combined;
        cairo_matrix_multiply(&combined, &matrix, &device);
        return IsUsable(matrix) && IsUsable(combined);
    }

    // The symbol's artwork, its frame mapped onto the instance's frame and then through the
    // instance's matrix. Instances nest up to the document's limit; an instance of a symbol already
    // being drawn around it (a symbol holding itself) shows nothing.
    void DrawSymbol(const model::SymbolContent& instance) {
        const model::Symbol* symbol = document_.symbols().find(document_.symbols().byName(instance.symbol));
        if (symbol == nullptr || symbol->frame.isEmpty() || symbols_.size() >= model::kSymbolNestingLimit ||
            ++instancesDrawn_ > kInstancesPerPicture ||
            std::find(symbols_.begin(), symbols_.end(), symbol->id) != symbols_.end()) {
            return;
        }
        const model::Rect& from = symbol->frame;
        const model::Rect& to = instance.box.frame;
        const double sx = from.width() > 0.0 ? to.width() / from.width() : 1.0;
        const double sy = from.height() > 0.0 ? to.height() / from.height() : 1.0;
        const model::Matrix placement = model::Matrix::translation(-from.left, -from.bottom)
                                            .then(model::Matrix::scaling(sx, sy))
                                            .then(model::Matrix::translation(to.left, to.bottom))
                                            .then(instance.box.matrix);
        const cairo_matrix_t matrix = ToCairo(placement);
        if (!IsUsableHere(matrix)) {
            return;
        }
        cairo_save(cr_);
        cairo_transform(cr_, &matrix);
        symbols_.push_back(symbol->id);
        Draw(ArtRef(*symbol->definition));
        symbols_.pop_back();
        cairo_restore(cr_);
    }

    void FrameOutline(const model::BoxGeometry& box) {
        const model::Rect& f = box.frame;
        const model::Point corners[] = {
            {f.left, f.top}, {f.right, f.top}, {f.right, f.bottom}, {f.left, f.bottom}};
        cairo_new_path(cr_);
        for (const model::Point corner : corners) {
            const model::Point mapped = box.matrix.map(corner);
            cairo_line_to(cr_, mapped.x, mapped.y);
        }
        cairo_close_path(cr_);
    }

    void FillFrame(const model::BoxGeometry& box) {
        FrameOutline(box);
        cairo_set_source_rgb(cr_, kFrameGrey, kFrameGrey, kFrameGrey);
        cairo_fill(cr_);
    }

    // Where the raster's pixels go: from pixel space (row 0 at the top of the frame, y growing
    // downward) to the current user space. None when cairo could not use it: a frame without
    // width or height, or a placement that flattens it, covers no area and is not drawn.
    std::optional<cairo_matrix_t> PixelPlacement(const model::RasterContent& raster) const {
        const model::Rect& frame = raster.box.frame;
        cairo_matrix_t placement = ToCairo(raster.box.matrix);
        cairo_matrix_translate(&placement, frame.left, frame.top);
        cairo_matrix_scale(&placement, frame.width() / static_cast<double>(raster.pixels.width),
                           -frame.height() / static_cast<double>(raster.pixels.height));
        if (!IsUsableHere(placement)) {
            return std::nullopt;
        }
        return placement;
    }

    void DrawRaster(const model::RasterContent& raster) {
        if (raster.pixels.empty() || !raster.pixels.isConsistent()) {
            FillFrame(raster.box);
            return;
        }
        const std::optional<cairo_matrix_t> placement = PixelPlacement(raster);
        const CairoSurface image = placement ? PixelSurface(raster.pixels) : nullptr;
        if (image == nullptr) {
            return;
        }
        cairo_save(cr_);
        FrameOutline(raster.box);
        cairo_clip(cr_);
        cairo_transform(cr_, &*placement);
        cairo_set_source_surface(cr_, image.get(), 0, 0);
        cairo_pattern_set_filter(cairo_get_source(cr_), CAIRO_FILTER_NEAREST);
        cairo_paint(cr_);
        cairo_restore(cr_);
    }

    const Document& document_;
    cairo_t* cr_;
    PlacedPainter placedFiles_;
    bool knockout_ = false;      // the group being drawn knocks its members out
    bool deferOpacity_ = false;  // the next object drawn leaves its opacity in deferredOpacity_
    double deferredOpacity_ = 1.0;
    std::size_t instancesDrawn_ = 0;        // symbol instances drawn so far, nested ones included
    std::vector<model::SymbolId> symbols_;  // the symbols being drawn, outermost first
};

// Draws the art within the bounds into a new premultiplied ARGB surface. None when cairo failed:
// the surface could not be made, or drawing left the context in its error state (what was drawn
// after the failure is missing, so the picture is not to be used).
CairoSurface RenderSurface(const Document& document, const std::vector<ArtId>& art, const model::Rect& bounds,
                           const RenderSettings& settings, std::size_t width, std::size_t height) {
    CairoSurface surface(
        cairo_image_surface_create(CAIRO_FORMAT_ARGB32, static_cast<int>(width), static_cast<int>(height)));
    if (cairo_surface_status(surface.get()) != CAIRO_STATUS_SUCCESS) {
        return nullptr;
    }
    CairoContext context(cairo_create(surface.get()));
    cairo_t* cr = context.get();
    if (!settings.transparent) {
        cairo_set_source_rgb(cr, 1, 1, 1);
        cairo_paint(cr);
    }
    cairo_set_antialias(cr, settings.antiAlias ? CAIRO_ANTIALIAS_DEFAULT : CAIRO_ANTIALIAS_NONE);
    const double scale = settings.resolution / 72.0;
    cairo_scale(cr, scale, scale);
    const bool drawn = DrawArtOnto(cr, document, art, bounds);
    cairo_surface_flush(surface.get());
    if (!drawn || cairo_surface_status(surface.get()) != CAIRO_STATUS_SUCCESS) {
        return nullptr;
    }
    return surface;
}

model::RasterPixels ToPixels(cairo_surface_t* surface, const RenderSettings& settings) {
    model::RasterPixels pixels;
    pixels.width = static_cast<std::size_t>(cairo_image_surface_get_width(surface));
    pixels.height = static_cast<std::size_t>(cairo_image_surface_get_height(surface));
    pixels.space = settings.space;
    pixels.alpha = settings.transparent;
    pixels.bytes.reserve(pixels.width * pixels.height * pixels.channels());
    const unsigned char* data = cairo_image_surface_get_data(surface);
    const int stride = cairo_image_surface_get_stride(surface);
    for (std::size_t y = 0; y < pixels.height; ++y) {
        const auto* row =
            reinterpret_cast<const std::uint32_t*>(data + static_cast<std::ptrdiff_t>(y) * stride);
        for (std::size_t x = 0; x < pixels.width; ++x) {
            const std::uint32_t a = row[x] >> 24;
            const std::uint32_t r = Unpremultiply((row[x] >> 16) & 0xFF, a);
            const std::uint32_t g = Unpremultiply((row[x] >> 8) & 0xFF, a);
            const std::uint32_t b = Unpremultiply(row[x] & 0xFF, a);
            switch (pixels.space) {
                case model::RasterPixels::Space::rgb:
                    pixels.bytes.insert(pixels.bytes.end(),
                                        {static_cast<std::uint8_t>(r), static_cast<std::uint8_t>(g),
                                         static_cast<std::uint8_t>(b)});
                    break;
                case model::RasterPixels::Space::gray:
                    pixels.bytes.push_back(
                        static_cast<std::uint8_t>((299 * r + 587 * g + 114 * b + 500) / 1000));
                    break;
                case model::RasterPixels::Space::cmyk: {
                    const std::uint32_t k = 255 - std::max({r, g, b});
                    const auto ink = [k](std::uint32_t c) {
                        return k == 255 ? std::uint8_t{0}
                                        : static_cast<std::uint8_t>((255 - c - k) * 255 / (255 - k));
                    };
                    pixels.bytes.insert(pixels.bytes.end(),
                                        {ink(r), ink(g), ink(b), static_cast<std::uint8_t>(k)});
                    break;
                }
            }
            if (pixels.alpha) {
                pixels.bytes.push_back(static_cast<std::uint8_t>(a));
            }
        }
    }
    return pixels;
}

}  // namespace

std::optional<std::pair<std::size_t, std::size_t>> PictureSize(const model::Rect& bounds, double resolution) {
    if (bounds.isEmpty() || !std::isfinite(resolution) || resolution <= 0.0) {
        return std::nullopt;
    }
    const double scale = resolution / 72.0;
    const double width = std::ceil(bounds.width() * scale - 1e-9);
    const double height = std::ceil(bounds.height() * scale - 1e-9);
    if (!std::isfinite(width) || !std::isfinite(height) || width > kLargestPictureSide ||
        height > kLargestPictureSide) {
        return std::nullopt;
    }
    return std::pair{static_cast<std::size_t>(std::max(1.0, width)),
                     static_cast<std::size_t>(std::max(1.0, height))};
}

std::optional<model::RasterPixels> RenderArt(const Document& document, const std::vector<ArtId>& art,
                                             const model::Rect& bounds, const RenderSettings& settings) {
    const auto size = PictureSize(bounds, settings.resolution);
    if (!size) {
        return std::nullopt;
    }
    const CairoSurface surface = RenderSurface(document, art, bounds, settings, size->first, size->second);
    if (surface == nullptr) {
        return std::nullopt;
    }
    return ToPixels(surface.get(), settings);
}

std::vector<ArtId> LayerGroupsBottomFirst(const Document& document) {
    std::vector<ArtId> layers;
    for (std::size_t i = document.layers().count(); i-- > 0;) {
        if (const model::Result<model::LayerId> layer = document.layers().nth(i)) {
            layers.push_back(document.layers().group(*layer).valueOr(ArtId{}));
        }
    }
    return layers;
}

bool DrawArtOnto(cairo_t* cr, const Document& document, const std::vector<ArtId>& art,
                 const model::Rect& bounds) {
    cairo_save(cr);
    // Document points to the surface's units: y grows downward there.
    cairo_scale(cr, 1.0, -1.0);
    cairo_translate(cr, -bounds.left, -bounds.top);
    Painter painter(document, cr);
    for (const ArtId id : art) {
        painter.Draw(id);
    }
    cairo_restore(cr);
    return cairo_status(cr) == CAIRO_STATUS_SUCCESS;
}

cairo_surface_t* MakePixelSurface(const model::RasterPixels& pixels) {
    return PixelSurface(pixels).release();
}

bool DrawDetachedArt(cairo_t* cr, const Document& document, const model::ArtTree& art) {
    if (tileDepth >= kTileDepthLimit) {
        return true;  // a tile inside itself shows nothing further in
    }
    ++tileDepth;
    Painter(document, cr).Draw(ArtRef(art));
    --tileDepth;
    return cairo_status(cr) == CAIRO_STATUS_SUCCESS;
}

bool WriteArtboardPicture(const Document& document, const std::filesystem::path& file, std::string* error) {
    const model::Rect bounds = document.artboards().active().bounds;
    const std::vector<ArtId> layers = LayerGroupsBottomFirst(document);
    const auto size = PictureSize(bounds, 72.0);
    if (!size) {
        *error = "the active artboard is too large for a picture";
        return false;
    }
    const CairoSurface surface =
        RenderSurface(document, layers, bounds, RenderSettings{}, size->first, size->second);
    if (surface == nullptr) {
        *error = "the active artboard could not be drawn";
        return false;
    }
    // The picture is made whole in memory, then replaces the file at once.
    std::string png;
    const auto append = [](void* closure, const unsigned char* data, unsigned int length) {
        static_cast<std::string*>(closure)->append(reinterpret_cast<const char*>(data), length);
        return CAIRO_STATUS_SUCCESS;
    };
    if (cairo_surface_write_to_png_stream(surface.get(), append, &png) != CAIRO_STATUS_SUCCESS) {
        *error = "cannot write " + file.string();
        return false;
    }
    return model::writeFileAtomically(file, png, error);
}

}  // namespace host
