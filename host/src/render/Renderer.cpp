#include "render/Renderer.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <string>

#include <cairo.h>

#include "model/AtomicFile.h"
#include "render/ArtExtent.h"
#include "render/CairoHandles.h"
#include "render/Effects.h"
#include "render/PaintSource.h"
#include "render/PixelSurface.h"
#include "render/PlacedPainter.h"
#include "render/RenderContext.h"
#include "render/TextPainter.h"

namespace host {

namespace {

using model::ArtId;
using model::Document;

// Placed files, and rasters without pixels, show as their frame in this grey.
constexpr double kFrameGrey = 0.6;

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

// Draws art of one document onto one context, within the picture the context belongs to.
class Painter {
public:
    explicit Painter(const RenderContext& context)
        : document_(context.document), cr_(context.cr), picture_(context.picture) {}

    void Draw(ArtId art) {
        if (const model::ArtNode* node = document_.find(art)) {
            Draw(ArtRef(*node));
        }
    }

    void Draw(ArtRef art) {
        const model::ArtData& data = art.data();
        if (picture_.budget.exceeded() || (data.attributes & model::attribute::hidden) != 0 ||
            (art.node() != nullptr && !LayerShows(*art.node()))) {
            return;
        }
        const Effects effects(document_, data.style);
        if (art.node() != nullptr && IsOutOfView(*art.node(), data, effects.Reach())) {
            return;
        }
        const Compositing compositing(*this, art, effects);
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
                    !picture_.placed->Draw(cr_, placed)) {
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
        Compositing(Painter& painter, ArtRef art, const Effects& effects)
            : painter_(painter),
              blend_(art.data().style.blend),
              knockoutAbove_(painter.knockout_),
              effects_(effects) {
            const model::ArtData& data = art.data();
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
                bounded_ = painter.ClipToDrawnExtent(art);
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
                const CairoPattern object = painter_.PopGroup();
                cairo_push_group(cr);
                effects_.Paint(cr, object.get());
            }
            painter_.PopGroupToSource();
            cairo_set_operator(cr, BlendOperator(blend_.mode));
            cairo_paint_with_alpha(cr, opacity_);
            cairo_set_operator(cr, CAIRO_OPERATOR_OVER);
            if (bounded_) {
                cairo_restore(cr);
            }
        }
        Compositing(const Compositing&) = delete;
        Compositing& operator=(const Compositing&) = delete;

    private:
        Painter& painter_;
        const model::BlendAttributes& blend_;
        bool knockoutAbove_;
        const Effects& effects_;
        double opacity_ = 1.0;
        bool grouped_ = false;
        bool bounded_ = false;  // the group is clipped to what the object's drawing can reach
    };

    // The group pushed last, taken off the context. On a vector surface (PDF, SVG, PostScript) a
    // group is a recording surface, which cairo 1.16's SVG surface keeps a reference to for good once
    // it writes the group out: the picture's cache holds it too, and gives those references back
    // after the surface is finished, as it does for pattern tiles. The groups of a raster picture
    // are images, which nothing keeps: they go as soon as they are painted.
    CairoPattern PopGroup() {
        CairoPattern group(cairo_pop_group(cr_));
        cairo_surface_t* surface = nullptr;
        if (cairo_pattern_get_surface(group.get(), &surface) == CAIRO_STATUS_SUCCESS &&
            cairo_surface_get_type(surface) == CAIRO_SURFACE_TYPE_RECORDING) {
            picture_.paints->Keep(CairoSurface(cairo_surface_reference(surface)));
        }
        return group;
    }

    void PopGroupToSource() {
        const CairoPattern group = PopGroup();
        cairo_set_source(cr_, group.get());
    }

    // Clips the context to what drawing the art can reach (saving its state first), so that the
    // group it is composited in is the size of what it holds; false when that is not known.
    bool ClipToDrawnExtent(ArtRef art) {
        const std::optional<model::Rect> extent =
            art.node() != nullptr ? DrawnExtent(document_, *art.node()) : DrawnExtent(document_, *art.tree());
        return extent && ClipToExtent(cr_, *extent);
    }

    // Whether a path, compound path, raster or placed file of the document lies wholly outside what
    // the context shows, so that drawing it would change nothing: a picture of one artboard then
    // costs what the art on it does. Mitred joins reach beyond the visible bounds by up to half the
    // miter limit times the stroke width; effects by their reach.
    bool IsOutOfView(const model::ArtNode& node, const model::ArtData& data, double effectReach) const {
        const model::ArtType type = data.type();
        if (type != model::ArtType::path && type != model::ArtType::compoundPath &&
            type != model::ArtType::raster && type != model::ArtType::placed) {
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
        reach += effectReach;
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
        const bool bounded = ClipToDrawnExtent(child);
        cairo_push_group(cr_);
        deferOpacity_ = true;
        deferredOpacity_ = 1.0;
        Draw(child);
        deferOpacity_ = false;
        const CairoPattern drawn = PopGroup();
        cairo_set_operator(cr_, CAIRO_OPERATOR_DEST_OUT);
        cairo_mask(cr_, drawn.get());
        cairo_set_operator(cr_, CAIRO_OPERATOR_OVER);
        cairo_set_source(cr_, drawn.get());
        cairo_paint_with_alpha(cr_, deferredOpacity_);
        if (bounded) {
            cairo_restore(cr_);
        }
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
        if (path.segments.empty() || !picture_.budget.SpendPoints(path.segments.size())) {
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
        // The groups of blended fields are no larger than the shape: the clip goes on before the
        // outlines are laid, as clipping uses up the path.
        const bool bounded =
            std::any_of(data.style.paintFields.begin(), data.style.paintFields.end(),
                        [](const model::PaintField& field) { return field.blend.mode != 0; }) &&
            ClipToDrawnExtent(art);
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
            if (SetPaintSource(RenderContext{cr_, document_, picture_}, color, grouped ? 1.0 : opacity,
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
                PopGroupToSource();
                cairo_set_operator(cr_, BlendOperator(field.blend.mode));
                cairo_paint_with_alpha(cr_, opacity);
                cairo_set_operator(cr_, CAIRO_OPERATOR_OVER);
            }
        }
        cairo_new_path(cr_);
        if (bounded) {
            cairo_restore(cr_);
        }
    }

    // A stroke whose width, miter limit or dashes cairo can't take (not finite, negative, beyond the
    // device's range) is not drawn.
    static bool IsDrawable(const model::StrokePaint& stroke) {
        return FitsDeviceLength(stroke.width) && std::isfinite(stroke.miterLimit) &&
               FitsDeviceLength(std::abs(stroke.dashOffset)) &&
               std::all_of(stroke.dashes.begin(), stroke.dashes.end(),
                           [](double dash) { return FitsDeviceLength(dash); });
    }

    void Stroke(const model::StrokePaint& stroke) {
        if (!IsDrawable(stroke)) {
            return;
        }
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

    // The symbol's artwork, its frame mapped onto the instance's frame and then through the
    // instance's matrix. Instances nest up to the document's limit; an instance of a symbol already
    // being drawn around it (a symbol holding itself) shows nothing.
    void DrawSymbol(const model::SymbolContent& instance) {
        const model::Symbol* symbol = document_.symbols().find(document_.symbols().byName(instance.symbol));
        if (symbol == nullptr || symbol->frame.isEmpty() || symbols_.size() >= model::kSymbolNestingLimit ||
            std::find(symbols_.begin(), symbols_.end(), symbol->id) != symbols_.end() ||
            !picture_.budget.SpendInstance()) {
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
        if (!DeviceMatrix(cr_, matrix)) {
            return;  // drawn too small to show, or beyond what cairo can draw
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
        if (!DeviceMatrix(cr_, placement)) {
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
    PictureState& picture_;
    bool knockout_ = false;      // the group being drawn knocks its members out
    bool deferOpacity_ = false;  // the next object drawn leaves its opacity in deferredOpacity_
    double deferredOpacity_ = 1.0;
    std::vector<model::SymbolId> symbols_;  // the symbols being drawn, outermost first
};

// One picture: its state (budget, paints, placed files) and the drawer of art that pattern tiles
// and placed native documents ask for, so that they draw within the same picture.
class Picture final : public ArtDrawer {
public:
    explicit Picture(const RenderLimits& limits = {}, const std::filesystem::path& linkFolder = {})
        : limits_(limits), placed_(*this, linkFolder) {
        state_.budget = RenderBudget(limits);
        state_.paints = &paints_;
        state_.placed = &placed_;
        state_.drawer = this;
    }

    // The next page of a vector copy: a picture of its own budget, drawn with the paints and placed
    // files already at hand.
    void StartPage() {
        state_.budget = RenderBudget(limits_);
        placed_.StartPage();
    }

    // Once the vector surface drawn on is finished and its context destroyed (PaintCache).
    void ReleaseAfterFinish() { paints_.ReleaseAfterFinish(); }

    // The art, each with everything below it, the bounds' top-left corner at the origin of the
    // context's user space and y growing downward. False when cairo failed or the picture asked
    // for more than its budget.
    bool DrawArt(cairo_t* cr, const Document& document, const std::vector<ArtId>& art,
                 const model::Rect& bounds) {
        cairo_save(cr);
        // Document points to the surface's units: y grows downward there.
        cairo_scale(cr, 1.0, -1.0);
        cairo_translate(cr, -bounds.left, -bounds.top);
        Painter painter(RenderContext{cr, document, state_});
        for (const ArtId id : art) {
            painter.Draw(id);
        }
        cairo_restore(cr);
        return cairo_status(cr) == CAIRO_STATUS_SUCCESS && !state_.budget.exceeded();
    }

    bool DrawDetached(const RenderContext& context, const model::ArtTree& art) override {
        if (state_.tileDepth >= kTileDepthLimit) {
            return true;  // a tile inside itself shows nothing further in
        }
        ++state_.tileDepth;
        Painter(context).Draw(ArtRef(art));
        --state_.tileDepth;
        return cairo_status(context.cr) == CAIRO_STATUS_SUCCESS && !state_.budget.exceeded();
    }

    bool DrawDocument(cairo_t* cr, const Document& document, const model::Rect& artboard) override {
        return DrawArt(cr, document, LayerGroupsBottomFirst(document), artboard);
    }

private:
    RenderLimits limits_;
    PictureState state_;
    PaintCache paints_;
    PlacedPainter placed_;
};

// Puts what was drawn onto white, as a page shows it: the art is drawn over nothing first, so that
// blend modes mix an object with what the document holds below it, as the vector copies do, and not
// with the white.
void PutOnWhite(cairo_t* cr) {
    cairo_save(cr);
    cairo_set_operator(cr, CAIRO_OPERATOR_DEST_OVER);
    cairo_set_source_rgb(cr, 1, 1, 1);
    cairo_paint(cr);
    cairo_restore(cr);
}

// Draws the art within the bounds into a new premultiplied ARGB surface. None when cairo failed:
// the surface could not be made, or drawing left the context in its error state (what was drawn
// after the failure is missing, so the picture is not to be used), or the picture asked for more
// than its budget.
CairoSurface RenderSurface(const Document& document, const std::vector<ArtId>& art, const model::Rect& bounds,
                           const RenderSettings& settings, std::size_t width, std::size_t height) {
    CairoSurface surface(
        cairo_image_surface_create(CAIRO_FORMAT_ARGB32, static_cast<int>(width), static_cast<int>(height)));
    if (cairo_surface_status(surface.get()) != CAIRO_STATUS_SUCCESS) {
        return nullptr;
    }
    CairoContext context(cairo_create(surface.get()));
    cairo_t* cr = context.get();
    cairo_set_antialias(cr, settings.antiAlias ? CAIRO_ANTIALIAS_DEFAULT : CAIRO_ANTIALIAS_NONE);
    const double scale = settings.resolution / 72.0;
    cairo_scale(cr, scale, scale);
    const bool drawn = Picture(settings.limits, settings.linkFolder).DrawArt(cr, document, art, bounds);
    if (!settings.transparent) {
        PutOnWhite(cr);
    }
    cairo_surface_flush(surface.get());
    if (!drawn || cairo_surface_status(surface.get()) != CAIRO_STATUS_SUCCESS) {
        return nullptr;
    }
    return surface;
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
    return ToPixels(surface.get(), settings.space, settings.transparent);
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

bool DrawPagesOnto(cairo_surface_t* surface, const Document& document, const std::vector<ArtId>& art,
                   const std::vector<model::Rect>& pages, PageSizeSetter setSize,
                   const std::filesystem::path& linkFolder) {
    Picture picture({}, linkFolder);
    bool drawn = true;
    {
        const CairoContext context(cairo_create(surface));
        for (const model::Rect& page : pages) {
            if (setSize != nullptr) {
                setSize(surface, page.width(), page.height());
            }
            picture.StartPage();
            drawn = picture.DrawArt(context.get(), document, art, page);
            if (!drawn) {
                break;
            }
            cairo_show_page(context.get());
        }
        drawn = drawn && cairo_status(context.get()) == CAIRO_STATUS_SUCCESS;
    }
    cairo_surface_finish(surface);
    picture.ReleaseAfterFinish();
    return drawn && cairo_surface_status(surface) == CAIRO_STATUS_SUCCESS;
}

bool WriteArtboardPng(const Document& document, const std::filesystem::path& file,
                      const std::filesystem::path& linkFolder, std::string* error) {
    const model::Rect bounds = document.artboards().active().bounds;
    const std::vector<ArtId> layers = LayerGroupsBottomFirst(document);
    const auto size = PictureSize(bounds, 72.0);
    if (!size) {
        *error = "the active artboard is too large for a picture";
        return false;
    }
    RenderSettings settings;
    settings.linkFolder = linkFolder;
    const CairoSurface surface = RenderSurface(document, layers, bounds, settings, size->first, size->second);
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
