#include "render/Renderer.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <type_traits>
#include <vector>

#include <cairo.h>

#include "model/AtomicFile.h"
#include "model/DocumentFormat.h"
#include "render/ArtExtent.h"
#include "render/ArtWalk.h"
#include "render/CairoHandles.h"
#include "render/Effects.h"
#include "render/PaintSource.h"
#include "render/PictureProcess.h"
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

// The length of the path, along the lines between control points: at least the curves' own.
double PathLength(const model::PathGeometry& path) {
    const auto distance = [](const model::Point& a, const model::Point& b) {
        const double dx = b.x - a.x;
        const double dy = b.y - a.y;
        return std::sqrt(dx * dx + dy * dy);
    };
    const auto& points = path.segments;
    const std::size_t count = path.closed ? points.size() : points.size() - 1;
    double length = 0.0;
    for (std::size_t i = 0; i < count; ++i) {
        const model::Segment& from = points[i];
        const model::Segment& to = points[(i + 1) % points.size()];
        length += distance(from.anchor, from.out) + distance(from.out, to.in) + distance(to.in, to.anchor);
    }
    return length;
}

// The length of every path at or below the art.
double OutlinesLength(const ArtRef& art) {
    if (const auto* path = std::get_if<model::PathContent>(&art.data().content)) {
        return path->geometry.segments.empty() ? 0.0 : PathLength(path->geometry);
    }
    double length = 0.0;
    art.ForEachChildBackFirst([&](const ArtRef& child) { length += OutlinesLength(child); });
    return length;
}

// Where a stroke or fill of a path is about to go: the points of its outlines and the bounds of
// their anchor and direction points (which hold the curves), in user space.
struct OutlineMeasure {
    double segments = 0.0;
    model::Rect bounds{INFINITY, -INFINITY, -INFINITY, INFINITY};
    // How far the lines between the points go across and up, in all.
    double acrossX = 0.0;
    double acrossY = 0.0;

    void Add(const model::PathGeometry& path) {
        const model::Point* last =
            path.closed && !path.segments.empty() ? &path.segments.back().anchor : nullptr;
        for (const model::Segment& segment : path.segments) {
            if (last != nullptr) {
                acrossX += std::abs(segment.anchor.x - last->x);
                acrossY += std::abs(segment.anchor.y - last->y);
            }
            last = &segment.anchor;
            for (const model::Point& point : {segment.anchor, segment.in, segment.out}) {
                bounds.left = std::min(bounds.left, point.x);
                bounds.right = std::max(bounds.right, point.x);
                bounds.bottom = std::min(bounds.bottom, point.y);
                bounds.top = std::max(bounds.top, point.y);
            }
        }
        segments += static_cast<double>(path.segments.size());
    }

    // The device rows the outlines' edges span (kEdgeRowPrice): a stroke's outline has an edge on
    // either side of each line.
    double EdgeRows(cairo_t* cr, bool stroke) const {
        double xx = acrossX, xy = 0.0, yx = 0.0, yy = acrossY;
        cairo_user_to_device_distance(cr, &xx, &xy);
        cairo_user_to_device_distance(cr, &yx, &yy);
        const double rows = std::abs(xy) + std::abs(yy);
        return std::isfinite(rows) ? rows * (stroke ? 2.0 : 1.0) : 0.0;
    }

    // The work of stroking the art's outlines (RenderBudget.h), cut into dashes or not.
    double StrokeWork(const ArtRef& art, double width, const std::vector<double>& dashes) const {
        const double pieces = dashes.empty() ? segments : DashPieces(OutlinesLength(art), dashes);
        return PathWork(pieces, width, bounds.width(), bounds.height(), !dashes.empty());
    }
};

// The outlines of a clip on the device, measured for the work of painting under them (ClipWork):
// their pieces (the lines between a segment's anchor and direction points, which hold its curve),
// the device rows each spans within what the context shows, their length and the area they lie in.
class ClipMeasure {
public:
    explicit ClipMeasure(cairo_t* cr) : cr_(cr), rows_(std::max(0.0, DeviceClip(cr).height())) {}

    double Work() const { return ClipWork(pieces_, edgeRows_, length_, (right_ - left_) * (bottom_ - top_)); }

    // A path of the clip, as it is added to the context's path.
    void Add(const model::PathGeometry& path) {
        const auto& points = path.segments;
        const std::size_t count = points.empty() ? 0 : path.closed ? points.size() : points.size() - 1;
        for (std::size_t i = 0; i < count; ++i) {
            const model::Segment& from = points[i];
            const model::Segment& to = points[(i + 1) % points.size()];
            Piece(from.anchor, from.out);
            Piece(from.out, to.in);
            Piece(to.in, to.anchor);
        }
    }

private:
    void Piece(const model::Point& a, const model::Point& b) {
        if (a == b) {
            return;
        }
        double ax = a.x, ay = a.y, bx = b.x, by = b.y;
        cairo_user_to_device(cr_, &ax, &ay);
        cairo_user_to_device(cr_, &bx, &by);
        pieces_ += 1.0;
        // An edge is scanned on the rows it spans within the surface, and on one at least.
        const double spanned = std::abs(by - ay);
        edgeRows_ += 1.0 + (spanned < rows_ ? spanned : rows_);
        length_ += std::hypot(bx - ax, by - ay);
        left_ = std::min({left_, ax, bx});
        right_ = std::max({right_, ax, bx});
        top_ = std::min({top_, ay, by});
        bottom_ = std::max({bottom_, ay, by});
    }

    cairo_t* cr_;
    double rows_;
    double pieces_ = 0.0;
    double edgeRows_ = 0.0;
    double length_ = 0.0;
    double left_ = INFINITY, right_ = -INFINITY, top_ = INFINITY, bottom_ = -INFINITY;
};

// Draws art of one document onto one context, within the picture the context belongs to.
class Painter {
public:
    explicit Painter(const RenderContext& context)
        : document_(context.document), cr_(context.cr), picture_(context.picture) {}

    void Draw(ArtId art) {
        if (const model::ArtNode* node = document_.find(art)) {
            Draw(ArtRef(document_, *node));
        }
    }

    // Draws the art. With takenOpacity, the art leaves its opacity there and is drawn at full
    // opacity: a member of a knockout group, which needs the member's shape first.
    void Draw(ArtRef art, double* takenOpacity = nullptr) {
        const model::ArtData& data = art.data();
        if (picture_.budget.exceeded() || (data.attributes & model::attribute::hidden) != 0 ||
            (art.node() != nullptr && !LayerShows(*art.node()))) {
            return;
        }
        const Effects effects(document_, data.style);
        if (art.node() != nullptr && IsOutOfView(*art.node(), data, effects.Reach())) {
            return;
        }
        const Compositing compositing(*this, art, effects, takenOpacity);
        switch (data.type()) {
            case model::ArtType::group:
                DrawGroup(art);
                break;
            case model::ArtType::path:
            case model::ArtType::compoundPath:
                DrawShape(art);
                break;
            case model::ArtType::raster:
                DrawRaster(data);
                break;
            case model::ArtType::placed:
                if (const auto& placed = std::get<model::PlacedContent>(data.content);
                    !picture_.placed->Draw(Context(), data, placed)) {
                    FillFrame(placed.box);
                }
                break;
            case model::ArtType::symbol:
                DrawSymbol(std::get<model::SymbolContent>(data.content));
                break;
            case model::ArtType::textFrame:
                // A frame's story lives in the document: text inside a symbol's artwork has none.
                if (art.node() != nullptr) {
                    DrawTextFrame(Context(), *art.node());
                }
                break;
            default:
                break;
        }
    }

private:
    RenderContext Context() const { return RenderContext{cr_, document_, picture_}; }

    // Draws an object by itself and then onto what lies below when its transparency or effects ask
    // for it (an opacity below 1, a blend mode other than normal, an isolated or knockout group, a
    // drawn effect), so that the opacity applies once to the whole object rather than to each of its
    // parts; otherwise straight onto the target. The image it is drawn in is priced by its device
    // pixels, and its effects' images by theirs (RenderBudget.h): what the picture can't pay for is
    // left out, its effects first, then its transparency.
    class Compositing {
    public:
        Compositing(Painter& painter, ArtRef art, const Effects& effects, double* takenOpacity)
            : painter_(painter), knockoutAbove_(painter.knockout_), effects_(effects) {
            const model::ArtData& data = art.data();
            const model::BlendAttributes& blend = data.style.blend;
            const bool container = data.type() == model::ArtType::group;
            const bool knockout =
                container && (blend.knockout == 1 || (blend.knockout == 2 && knockoutAbove_));
            painter.knockout_ = false;
            opacity_ = Opacity(blend);
            if (takenOpacity != nullptr) {
                *takenOpacity = opacity_;
                opacity_ = 1.0;
            }
            mode_ = blend.mode;
            const bool transparent =
                opacity_ < 1.0 || mode_ != 0 || (container && (blend.isolated || knockout));
            if (!transparent && effects_.empty()) {
                return;
            }
            painter.ClipToDrawnExtent(art, bounds_);
            const double pixels = ShownPixels(painter.cr_);
            RenderBudget& budget = painter.picture_.budget;
            drawEffects_ = !effects_.empty() &&
                           budget.SpendPixels(pixels * (GroupPixelPrice(mode_) + effects_.PixelPrice()));
            if (!effects_.empty() && !drawEffects_) {
                painter.picture_.simplified.Note(Simplification::effectsLeftOut, data);
            }
            bool keepTransparency =
                transparent && (drawEffects_ || budget.SpendPixels(pixels * GroupPixelPrice(mode_)));
            if (transparent && !keepTransparency) {
                painter.picture_.simplified.Note(Simplification::transparencyLeftOut, data);
                opacity_ = 1.0;
                mode_ = 0;
            }
            grouped_ = drawEffects_ || keepTransparency;
            if (!grouped_) {
                bounds_.Restore();
                return;
            }
            painter.knockout_ = knockout && keepTransparency;
            cairo_push_group(painter.cr_);
        }
        ~Compositing() {
            cairo_t* cr = painter_.cr_;
            painter_.knockout_ = knockoutAbove_;
            if (!grouped_) {
                return;
            }
            if (drawEffects_) {
                const CairoPattern object = painter_.PopGroup();
                cairo_push_group(cr);
                effects_.Paint(cr, object.get());
            }
            painter_.PopGroupToSource();
            cairo_set_operator(cr, BlendOperator(mode_));
            cairo_paint_with_alpha(cr, opacity_);
            cairo_set_operator(cr, CAIRO_OPERATOR_OVER);
        }
        Compositing(const Compositing&) = delete;
        Compositing& operator=(const Compositing&) = delete;

    private:
        Painter& painter_;
        bool knockoutAbove_;
        const Effects& effects_;
        double opacity_ = 1.0;
        int mode_ = 0;
        bool grouped_ = false;
        bool drawEffects_ = false;
        SavedState bounds_;  // the clip to what the object's drawing can reach, while it is composited
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

    // Clips the context to what drawing the art can reach (saving its state into saved first), so
    // that the group it is composited in is the size of what it holds; nothing when that is not known.
    void ClipToDrawnExtent(ArtRef art, SavedState& saved) {
        if (const std::optional<model::Rect> extent = DrawnExtent(art)) {
            ClipToExtent(cr_, *extent, saved);
        }
    }

    // Whether a path, compound path, raster or placed file of the document lies wholly outside what
    // the context shows, so that drawing it would change nothing: a picture of one artboard then
    // costs what the art on it does. Strokes reach beyond the visible bounds by StrokeReach, effects
    // by their reach.
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
        const double reach = StrokeReach(data.style) + kAntialiasMargin + effectReach;
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

    static bool IsMask(ArtRef art) { return (art.data().attributes & model::attribute::clippingMask) != 0; }

    // In a knockout group each member replaces what the members below it show where it covers them:
    // drawn at full opacity, its shape clears what lies below, and then it is put on at its opacity.
    // The member's image is priced as a group's; past the picture's budget the member is drawn
    // over the others instead.
    void DrawChild(ArtRef child) {
        if (!knockout_) {
            Draw(child);
            return;
        }
        SavedState bounds;
        ClipToDrawnExtent(child, bounds);
        // Its shape clears what lies below and it is put on: two pixels of a group for each.
        if (!picture_.budget.SpendPixels(ShownPixels(cr_) * 2.0 * kGroupPixelPrice)) {
            picture_.simplified.Note(Simplification::transparencyLeftOut, child.data());
            Draw(child);
            return;
        }
        cairo_push_group(cr_);
        double opacity = 1.0;
        Draw(child, &opacity);
        const CairoPattern drawn = PopGroup();
        cairo_set_operator(cr_, CAIRO_OPERATOR_DEST_OUT);
        cairo_mask(cr_, drawn.get());
        cairo_set_operator(cr_, CAIRO_OPERATOR_OVER);
        cairo_set_source(cr_, drawn.get());
        cairo_paint_with_alpha(cr_, opacity);
    }

    void DrawGroup(ArtRef art) {
        const auto& group = std::get<model::GroupContent>(art.data().content);
        bool hasMask = false;
        if (group.clipped) {
            art.ForEachChildBackFirst([&](ArtRef child) { hasMask = hasMask || IsMask(child); });
        }
        if (!hasMask) {
            art.ForEachChildBackFirst([&](ArtRef child) { DrawChild(child); });
            return;
        }
        const SavedState saved(cr_);
        cairo_new_path(cr_);
        ClipMeasure measure(cr_);
        art.ForEachChildBackFirst([&](ArtRef child) {
            if (IsMask(child)) {
                AddOutlines(child, measure);
            }
        });
        cairo_set_fill_rule(cr_, CAIRO_FILL_RULE_WINDING);
        cairo_clip(cr_);
        const double clipWorkAbove = picture_.clipWork;
        picture_.clipWork += measure.Work();
        art.ForEachChildBackFirst([&](ArtRef child) {
            if (!IsMask(child)) {
                DrawChild(child);
            }
        });
        picture_.clipWork = clipWorkAbove;
    }

    // Adds the path to the context's, measured into measure (an OutlineMeasure, a ClipMeasure).
    template <typename Measure>
    void AddPath(const model::PathGeometry& path, Measure& measure) {
        if (path.segments.empty() || !picture_.budget.SpendPoints(path.segments.size())) {
            return;
        }
        measure.Add(path);
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

    // Every path at or below the art, measured into measure.
    template <typename Measure>
    void AddOutlines(ArtRef art, Measure& measure) {
        if (const auto* path = std::get_if<model::PathContent>(&art.data().content)) {
            AddPath(path->geometry, measure);
            return;
        }
        art.ForEachChildBackFirst([&](ArtRef child) { AddOutlines(child, measure); });
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
    // which cairo can't fade as it paints) is drawn by itself first and then blended, its image
    // priced by its device pixels: past the picture's budget it is drawn straight on, in normal
    // mode. The outlines are laid once and kept from one field to the next: cairo's path belongs to
    // the context, not to its saved states or groups, and filling or stroking with _preserve leaves
    // it in place.
    void DrawShape(ArtRef art) {
        const model::ArtData& data = art.data();
        // The groups of blended fields are no larger than the shape: the clip goes on before the
        // outlines are laid, as clipping uses up the path.
        SavedState bounds;
        if (std::any_of(data.style.paintFields.begin(), data.style.paintFields.end(),
                        [](const model::PaintField& field) { return field.blend.mode != 0; })) {
            ClipToDrawnExtent(art, bounds);
        }
        const DeviceBox shown = DeviceClip(cr_);
        std::optional<OutlineMeasure> outlines;
        for (const model::PaintField& field : data.style.paintFields) {
            if (!field.paints()) {
                continue;
            }
            if (!outlines) {
                cairo_new_path(cr_);
                AddOutlines(art, outlines.emplace());
            }
            const model::FillPaint* fill = field.fillPaint();
            const model::Color& color = fill != nullptr ? fill->color : field.strokePaint()->color;
            const double opacity = Opacity(field.blend);
            bool grouped =
                field.blend.mode != 0 || (opacity < 1.0 && color.kind == model::Color::Kind::pattern);
            const PaintPlace place = PlaceOf(data, color, fill != nullptr);
            const double price = PaintPixelPrice(Context(), color, grouped ? 1.0 : opacity, place);
            if (!SpendPaint(Context(), outlines->bounds,
                            fill != nullptr ? 0.0 : StrokeReach(*field.strokePaint()), shown, price,
                            outlines->EdgeRows(cr_, fill == nullptr))) {
                picture_.simplified.Note(
                    fill != nullptr ? Simplification::fillLeftOut : Simplification::strokeLeftOut, data);
                continue;
            }
            if (grouped &&
                !picture_.budget.SpendPixels((shown.isEmpty() ? 0.0 : shown.width() * shown.height()) *
                                             GroupPixelPrice(field.blend.mode))) {
                picture_.simplified.Note(Simplification::transparencyLeftOut, data);
                grouped = false;
            }
            if (grouped) {
                cairo_push_group(cr_);
            }
            if (SetPaintSource(Context(), color, grouped ? 1.0 : opacity, place)) {
                if (fill != nullptr) {
                    cairo_set_fill_rule(cr_,
                                        field.evenOdd ? CAIRO_FILL_RULE_EVEN_ODD : CAIRO_FILL_RULE_WINDING);
                    cairo_fill_preserve(cr_);
                } else {
                    Stroke(*field.strokePaint(), art, *outlines);
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
    }

    // A stroke whose width, miter limit or dashes cairo can't take (not finite, negative, beyond the
    // device's range) is not drawn.
    static bool IsDrawable(const model::StrokePaint& stroke) {
        return FitsDeviceLength(stroke.width) && std::isfinite(stroke.miterLimit) &&
               FitsDeviceLength(std::abs(stroke.dashOffset)) &&
               std::all_of(stroke.dashes.begin(), stroke.dashes.end(),
                           [](double dash) { return FitsDeviceLength(dash); });
    }

    // Strokes the outlines, priced first (OutlineMeasure::StrokeWork): past the picture's budget a
    // dashed stroke is drawn solid, and a solid one it can't pay for is left out.
    void Stroke(const model::StrokePaint& stroke, ArtRef art, const OutlineMeasure& outlines) {
        if (!IsDrawable(stroke)) {
            return;
        }
        // A pattern of zero length would be a solid stroke that cairo refuses.
        const bool dashable = DashPieces(1.0, stroke.dashes) > 0.0;
        RenderBudget& budget = picture_.budget;
        const bool dashed =
            dashable && budget.SpendPathWork(outlines.StrokeWork(art, stroke.width, stroke.dashes));
        if (!dashed && !budget.SpendPathWork(outlines.StrokeWork(art, stroke.width, {}))) {
            picture_.simplified.Note(Simplification::strokeLeftOut, art.data());
            return;
        }
        if (dashable && !dashed) {
            picture_.simplified.Note(Simplification::dashesDrawnSolid, art.data());
        }
        cairo_set_line_width(cr_, stroke.width);
        cairo_set_line_cap(cr_, stroke.cap == model::LineCap::round        ? CAIRO_LINE_CAP_ROUND
                                : stroke.cap == model::LineCap::projecting ? CAIRO_LINE_CAP_SQUARE
                                                                           : CAIRO_LINE_CAP_BUTT);
        cairo_set_line_join(cr_, stroke.join == model::LineJoin::round   ? CAIRO_LINE_JOIN_ROUND
                                 : stroke.join == model::LineJoin::bevel ? CAIRO_LINE_JOIN_BEVEL
                                                                         : CAIRO_LINE_JOIN_MITER);
        cairo_set_miter_limit(cr_, stroke.miterLimit);
        if (dashed) {
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
        // The symbol's own points (y upward) as content whose top-left corner is its frame's.
        const model::Rect& from = symbol->frame;
        cairo_matrix_t matrix;
        cairo_matrix_init(&matrix, 1.0, 0.0, 0.0, -1.0, -from.left, from.top);
        const cairo_matrix_t placement = FramePlacement(instance.box, from.width(), from.height());
        cairo_matrix_multiply(&matrix, &matrix, &placement);
        if (!DeviceMatrix(cr_, matrix)) {
            return;  // drawn too small to show, or beyond what cairo can draw
        }
        const SavedState saved(cr_);
        cairo_transform(cr_, &matrix);
        symbols_.push_back(symbol->id);
        Draw(ArtRef(document_, *symbol->definition));
        symbols_.pop_back();
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

    void DrawRaster(const model::ArtData& data) {
        const auto& raster = std::get<model::RasterContent>(data.content);
        if (raster.pixels.empty() || !raster.pixels.isConsistent()) {
            FillFrame(raster.box);
            return;
        }
        // Row 0 of the pixels at the top of the frame. A frame without width or height, or a
        // placement that flattens it, covers no area and is not drawn.
        const cairo_matrix_t placement = FramePlacement(raster.box, static_cast<double>(raster.pixels.width),
                                                        static_cast<double>(raster.pixels.height));
        const CairoSurface image = DeviceMatrix(cr_, placement) ? PixelSurface(raster.pixels) : nullptr;
        if (image == nullptr) {
            return;
        }
        if (!SpendPaint(Context(), raster.box.bounds(), 0.0, DeviceClip(cr_))) {
            picture_.simplified.Note(Simplification::fillLeftOut, data);
            return;
        }
        const SavedState saved(cr_);
        FrameOutline(raster.box);
        cairo_clip(cr_);
        cairo_transform(cr_, &placement);
        cairo_set_source_surface(cr_, image.get(), 0, 0);
        cairo_pattern_set_filter(cairo_get_source(cr_), CAIRO_FILTER_NEAREST);
        cairo_paint(cr_);
    }

    const Document& document_;
    cairo_t* cr_;
    PictureState& picture_;
    bool knockout_ = false;                 // the group being drawn knocks its members out
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

    // Names on standard error what the picture drew simpler or left out for want of budget.
    void ReportSimplified() { state_.simplified.Report(); }

    // Once the vector surface drawn on is finished and its context destroyed (PaintCache).
    void ReleaseAfterFinish() { paints_.ReleaseAfterFinish(); }

    // The art, each with everything below it, the bounds' top-left corner at the origin of the
    // context's user space and y growing downward. False when cairo failed or the picture asked
    // for more than its budget.
    bool DrawArt(cairo_t* cr, const Document& document, const std::vector<ArtId>& art,
                 const model::Rect& bounds) {
        {
            const SavedState saved(cr);
            // Document points to the surface's units: y grows downward there.
            cairo_scale(cr, 1.0, -1.0);
            cairo_translate(cr, -bounds.left, -bounds.top);
            Painter painter(RenderContext{cr, document, state_});
            for (const ArtId id : art) {
                painter.Draw(id);
            }
        }
        return cairo_status(cr) == CAIRO_STATUS_SUCCESS && !state_.budget.exceeded();
    }

    bool DrawDetached(const RenderContext& context, const model::ArtTree& art) override {
        if (state_.tileDepth >= kTileDepthLimit) {
            return true;  // a tile inside itself shows nothing further in
        }
        ++state_.tileDepth;
        Painter(context).Draw(ArtRef(context.document, art));
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
    const SavedState saved(cr);
    cairo_set_operator(cr, CAIRO_OPERATOR_DEST_OVER);
    cairo_set_source_rgb(cr, 1, 1, 1);
    cairo_paint(cr);
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
    RenderLimits limits = settings.limits;
    if (!limits.pixelWork) {
        limits.pixelWork = PixelWorkOf(width * height);
    }
    Picture picture(limits, settings.linkFolder);
    const bool drawn = picture.DrawArt(cr, document, art, bounds);
    picture.ReportSimplified();
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

PictureLoad HeldLoad(const Document& document, const std::vector<ArtId>& art) {
    // The pictures of a job mostly draw the same art of a document that doesn't change between
    // them (an export's artboards): the last load is kept, for the state it was counted in.
    static struct {
        std::uint64_t revision = 0;
        std::vector<ArtId> art;
        PictureLoad load;
    } last;
    if (last.revision == document.revision() && last.art == art) {
        return last.load;
    }
    PictureLoad load;
    std::vector<ArtRef> pending;
    for (const ArtId id : art) {
        if (const model::ArtNode* node = document.find(id)) {
            pending.emplace_back(document, *node);
        }
    }
    // Each symbol's artwork is held once, however many instances show it.
    std::vector<std::string_view> symbols;
    while (!pending.empty()) {
        const ArtRef at = pending.back();
        pending.pop_back();
        ++load.objects;
        const model::ArtData& data = at.data();
        if (const auto* path = std::get_if<model::PathContent>(&data.content)) {
            load.points += path->geometry.segments.size();
        } else if (const auto* instance = std::get_if<model::SymbolContent>(&data.content)) {
            const model::Symbol* symbol =
                document.symbols().find(document.symbols().byName(instance->symbol));
            if (symbol != nullptr && symbol->definition.operator->() != nullptr &&
                std::find(symbols.begin(), symbols.end(), instance->symbol) == symbols.end()) {
                symbols.push_back(instance->symbol);
                pending.emplace_back(document, *symbol->definition);
            }
        }
        at.ForEachChildBackFirst([&](const ArtRef& child) { pending.push_back(child); });
    }
    last.revision = document.revision();
    last.art = art;
    last.load = load;
    return load;
}

PictureLoad PictureLoadOf(const Document& document, const std::vector<ArtId>& art,
                          const std::pair<std::size_t, std::size_t>& size) {
    PictureLoad load = HeldLoad(document, art);
    load.pixels = size.first * size.second;
    load.bytes = load.pixels * kPictureBytesPerPixel;
    return load;
}

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

std::optional<model::RasterPixels> RenderArtHere(const Document& document, const std::vector<ArtId>& art,
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

namespace {

// The most a picture's recipe carries of a document that its worker does not hold (art objects,
// bytes of pixels of its rasters, bytes of its text): beyond them a worker is started that holds
// it, as it costs less than writing and reading it. A document cut down to one picture's art (an
// export job's) is carried; a large one is drawn by a worker forked while it stays as it is.
constexpr std::size_t kCarriedObjects = 2000;
constexpr std::size_t kCarriedPixelBytes = std::size_t{1} << 20;
constexpr std::size_t kCarriedText = std::size_t{8} << 20;

// How a picture of art is handed back: its pixels, or a PNG file of them.
enum class Handed : std::uint8_t { pixels, png };

// What a picture's worker draws art from: the document held (its address, the same in the worker,
// which holds it as this process does) or carried (its text in the native format, the art named by
// UUID), the bounds, the size in pixels and the settings, and how it is handed back.
struct ArtRecipeHead {
    Handed handed = Handed::pixels;
    bool held = false;
    model::RasterPixels::Space space = model::RasterPixels::Space::rgb;
    bool antiAlias = true;
    bool transparent = false;
    RenderLimits limits;
    double resolution = 72.0;
    model::Rect bounds;
    std::uint64_t width = 0;
    std::uint64_t height = 0;
    const Document* document = nullptr;
    std::uint64_t art = 0;
};

void PutBytes(std::string& recipe, const void* data, std::size_t size) {
    recipe.append(static_cast<const char*>(data), size);
}

void PutText(std::string& recipe, std::string_view text) {
    const std::uint64_t size = text.size();
    PutBytes(recipe, &size, sizeof size);
    recipe.append(text);
}

// Reads a recipe from its start on; false once it holds less than was asked for.
class RecipeReader {
public:
    explicit RecipeReader(std::string_view recipe) : rest_(recipe) {}

    bool Get(void* data, std::size_t size) {
        if (rest_.size() < size) {
            return false;
        }
        std::memcpy(data, rest_.data(), size);
        rest_.remove_prefix(size);
        return true;
    }

    bool GetText(std::string_view& text) {
        std::uint64_t size = 0;
        if (!Get(&size, sizeof size) || rest_.size() < size) {
            return false;
        }
        text = rest_.substr(0, size);
        rest_.remove_prefix(size);
        return true;
    }

private:
    std::string_view rest_;
};

// Whether the document is small enough to be carried in a recipe.
bool Carriable(const Document& document) {
    const std::vector<ArtId> order = document.documentOrder();
    if (order.size() > kCarriedObjects) {
        return false;
    }
    std::size_t pixels = 0;
    for (const ArtId art : order) {
        if (const auto* raster = document.contentAs<model::RasterContent>(art)) {
            pixels += raster->pixels.bytes.size();
        }
    }
    return pixels <= kCarriedPixelBytes;
}

// The document's text in the native format, carried at the end of a recipe; false when it is too
// large to carry.
bool PutDocument(std::string& recipe, const Document& document) {
    model::WriteResult text = model::writeDocument(document);
    if (!text.text || text.text->size() > kCarriedText) {
        return false;
    }
    PutText(recipe, *text.text);
    return true;
}

// The document a recipe carries; none when it holds none that reads.
std::optional<Document> GetDocument(RecipeReader& reader) {
    std::string_view text;
    if (!reader.GetText(text)) {
        return std::nullopt;
    }
    return model::readDocument(text).document;
}

// The recipe of a picture of the art: naming the document when the worker holds it, else carrying
// it; none when it is too large to carry.
std::optional<std::string> ArtRecipe(const Document& document, const std::vector<ArtId>& art,
                                     const model::Rect& bounds, const RenderSettings& settings,
                                     const std::pair<std::size_t, std::size_t>& size, Handed handed,
                                     const std::filesystem::path& file, bool held) {
    ArtRecipeHead head;
    head.handed = handed;
    head.held = held;
    head.space = settings.space;
    head.antiAlias = settings.antiAlias;
    head.transparent = settings.transparent;
    head.limits = settings.limits;
    head.resolution = settings.resolution;
    head.bounds = bounds;
    head.width = size.first;
    head.height = size.second;
    head.document = &document;
    head.art = art.size();
    std::string recipe;
    PutBytes(recipe, &head, sizeof head);
    PutText(recipe, settings.linkFolder.native());
    PutText(recipe, file.native());
    if (held) {
        PutBytes(recipe, art.data(), art.size() * sizeof(ArtId));
        return recipe;
    }
    if (!Carriable(document)) {
        return std::nullopt;
    }
    for (const ArtId id : art) {
        const model::Result<std::string> uuid = document.uuid(id);
        if (!uuid) {
            return std::nullopt;
        }
        PutText(recipe, *uuid);
    }
    return PutDocument(recipe, document) ? std::optional<std::string>(std::move(recipe)) : std::nullopt;
}

// Draws a picture of art from its recipe, in the worker (or a process of its own).
bool DrawArtRecipe(std::string_view recipe, PictureOutput& output, std::string& failure) {
    RecipeReader reader(recipe);
    ArtRecipeHead head;
    std::string_view linkFolder;
    std::string_view file;
    if (!reader.Get(&head, sizeof head) || !reader.GetText(linkFolder) || !reader.GetText(file)) {
        failure = "it can't be drawn";
        return false;
    }
    RenderSettings settings;
    settings.space = head.space;
    settings.antiAlias = head.antiAlias;
    settings.transparent = head.transparent;
    settings.limits = head.limits;
    settings.resolution = head.resolution;
    settings.linkFolder = std::string(linkFolder);
    std::vector<ArtId> art(static_cast<std::size_t>(head.art));
    std::optional<Document> carried;
    if (head.held) {
        if (!reader.Get(art.data(), art.size() * sizeof(ArtId))) {
            failure = "it can't be drawn";
            return false;
        }
    } else {
        std::vector<std::string_view> uuids(art.size());
        for (std::string_view& uuid : uuids) {
            reader.GetText(uuid);
        }
        if (!(carried = GetDocument(reader))) {
            failure = "it can't be drawn";
            return false;
        }
        for (std::size_t i = 0; i < art.size(); ++i) {
            art[i] = carried->artByUuid(uuids[i]);
        }
    }
    const Document& document = head.held ? *head.document : *carried;
    const CairoSurface surface =
        RenderSurface(document, art, head.bounds, settings, static_cast<std::size_t>(head.width),
                      static_cast<std::size_t>(head.height));
    if (head.handed == Handed::pixels) {
        if (surface == nullptr) {
            failure = "the art could not be drawn";
            return false;
        }
        return WriteSurfacePixels(output, surface.get(), settings.space, settings.transparent);
    }
    if (surface == nullptr) {
        failure = "the active artboard could not be drawn";
        return false;
    }
    const auto append = [](void* closure, const unsigned char* data, unsigned int length) {
        return static_cast<PictureOutput*>(closure)->Write(data, length) ? CAIRO_STATUS_SUCCESS
                                                                         : CAIRO_STATUS_WRITE_ERROR;
    };
    if (cairo_surface_write_to_png_stream(surface.get(), append, &output) != CAIRO_STATUS_SUCCESS) {
        failure = "cannot write " + std::string(file);
        return false;
    }
    return true;
}

// Draws the picture of the art in the job's worker.
PictureResult DrawArtInWorker(const Document& document, const std::vector<ArtId>& art,
                              const model::Rect& bounds, const RenderSettings& settings,
                              const std::pair<std::size_t, std::size_t>& size, Handed handed,
                              const std::filesystem::path& file) {
    return DrawPictureInWorker(
        DrawArtRecipe,
        [&](bool held) { return ArtRecipe(document, art, bounds, settings, size, handed, file, held); },
        PictureHeld{&document, document.revision()}, PictureLoadOf(document, art, size));
}

// What a job's worker draws a vector copy from: the writer's surface and page size (functions of
// this program, at the same address in the worker), the pages, and the document held or carried.
struct VectorRecipeHead {
    VectorSurfaceMaker make = nullptr;
    PageSizeSetter setSize = nullptr;
    bool held = false;
    const Document* document = nullptr;
    std::uint64_t pages = 0;
};
static_assert(std::is_trivially_copyable_v<model::Rect>);

std::optional<std::string> VectorRecipe(const Document& document, const std::vector<model::Rect>& pages,
                                        VectorSurfaceMaker make, std::string_view setting,
                                        PageSizeSetter setSize, const std::filesystem::path& linkFolder,
                                        bool held) {
    const VectorRecipeHead head{make, setSize, held, &document, pages.size()};
    std::string recipe;
    PutBytes(recipe, &head, sizeof head);
    PutText(recipe, linkFolder.native());
    PutText(recipe, setting);
    PutBytes(recipe, pages.data(), pages.size() * sizeof(model::Rect));
    if (held) {
        return recipe;
    }
    if (!Carriable(document) || !PutDocument(recipe, document)) {
        return std::nullopt;
    }
    return recipe;
}

// Draws a vector copy from its recipe, in the worker (or a process of its own).
bool DrawVectorRecipe(std::string_view recipe, PictureOutput& output, std::string& failure) {
    RecipeReader reader(recipe);
    VectorRecipeHead head;
    std::string_view linkFolder;
    std::string_view setting;
    if (!reader.Get(&head, sizeof head) || !reader.GetText(linkFolder) || !reader.GetText(setting) ||
        head.pages > recipe.size() / sizeof(model::Rect)) {
        failure = "it can't be drawn";
        return false;
    }
    std::vector<model::Rect> pages(static_cast<std::size_t>(head.pages));
    std::optional<Document> carried;
    if (!reader.Get(pages.data(), pages.size() * sizeof(model::Rect)) ||
        (!head.held && !(carried = GetDocument(reader)))) {
        failure = "it can't be drawn";
        return false;
    }
    const Document& document = head.held ? *head.document : *carried;
    const CairoSurface surface(head.make(output, pages.empty() ? model::Rect() : pages.front(), setting));
    if (!DrawPagesOnto(surface.get(), document, LayerGroupsBottomFirst(document), pages, head.setSize,
                       std::string(linkFolder))) {
        failure = "the document could not be drawn";
        return false;
    }
    return true;
}

}  // namespace

PictureResult DrawVectorPages(const Document& document, const std::vector<model::Rect>& pages,
                              VectorSurfaceMaker make, std::string_view setting, PageSizeSetter setSize,
                              const std::filesystem::path& linkFolder, const PictureLoad& load) {
    return DrawPictureInWorker(
        DrawVectorRecipe,
        [&](bool held) { return VectorRecipe(document, pages, make, setting, setSize, linkFolder, held); },
        PictureHeld{&document, document.revision()}, load);
}

std::optional<model::RasterPixels> RenderArt(const Document& document, const std::vector<ArtId>& art,
                                             const model::Rect& bounds, const RenderSettings& settings) {
    const auto size = PictureSize(bounds, settings.resolution);
    if (!size) {
        return std::nullopt;
    }
    PictureResult picture = DrawArtInWorker(document, art, bounds, settings, *size, Handed::pixels, {});
    if (!picture.made()) {
        return std::nullopt;
    }
    return ReadPixels(std::move(picture.bytes));
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
            picture.ReportSimplified();
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
    // The picture is made whole in the job's worker, then replaces the file at once.
    const PictureResult picture =
        DrawArtInWorker(document, layers, bounds, settings, *size, Handed::png, file);
    if (!picture.made()) {
        *error = picture.end == PictureResult::End::failed ? picture.failure
                                                           : "the active artboard could not be drawn";
        return false;
    }
    return model::writeFileAtomically(file, picture.bytes, error);
}

}  // namespace host
