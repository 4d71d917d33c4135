#include "render/PaintSource.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <memory>
#include <numbers>
#include <vector>

#include <cairo.h>

#include "render/CairoHandles.h"

namespace host {

namespace {

using model::Color;
using model::Document;
using model::Point;

// The cairo operator of each blend mode of the document format, by its code.
constexpr cairo_operator_t kBlendOperators[] = {
    CAIRO_OPERATOR_OVER,           CAIRO_OPERATOR_MULTIPLY,       CAIRO_OPERATOR_SCREEN,
    CAIRO_OPERATOR_OVERLAY,        CAIRO_OPERATOR_SOFT_LIGHT,     CAIRO_OPERATOR_HARD_LIGHT,
    CAIRO_OPERATOR_COLOR_DODGE,    CAIRO_OPERATOR_COLOR_BURN,     CAIRO_OPERATOR_DARKEN,
    CAIRO_OPERATOR_LIGHTEN,        CAIRO_OPERATOR_DIFFERENCE,     CAIRO_OPERATOR_EXCLUSION,
    CAIRO_OPERATOR_HSL_HUE,        CAIRO_OPERATOR_HSL_SATURATION, CAIRO_OPERATOR_HSL_COLOR,
    CAIRO_OPERATOR_HSL_LUMINOSITY,
};
static_assert(std::size(kBlendOperators) == model::kLastBlendMode + 1);

// CIE Lab (D65 white) to sRGB, each channel clamped to 0..1.
std::array<double, 3> LabToRgb(double l, double a, double b) {
    const double fy = (l + 16.0) / 116.0;
    const double fx = fy + a / 500.0;
    const double fz = fy - b / 200.0;
    const auto inverse = [](double t) {
        return t > 6.0 / 29.0 ? t * t * t : 3.0 * 36.0 / 841.0 * (t - 4.0 / 29.0);
    };
    const double x = 0.95047 * inverse(fx);
    const double y = inverse(fy);
    const double z = 1.08883 * inverse(fz);
    const double linear[] = {3.2406 * x - 1.5372 * y - 0.4986 * z, -0.9689 * x + 1.8758 * y + 0.0415 * z,
                             0.0557 * x - 0.2040 * y + 1.0570 * z};
    std::array<double, 3> rgb{};
    for (int i = 0; i < 3; ++i) {
        const double c = std::clamp(linear[i], 0.0, 1.0);
        rgb[i] = c <= 0.0031308 ? 12.92 * c : 1.055 * std::pow(c, 1.0 / 2.4) - 0.055;
    }
    return rgb;
}

Point Along(Point from, double degrees, double distance) {
    const double radians = degrees * std::numbers::pi / 180.0;
    return {from.x + std::cos(radians) * distance, from.y + std::sin(radians) * distance};
}

RampStop Mix(const RampStop& a, const RampStop& b, double offset, double t) {
    RampStop mixed{offset, {}};
    for (std::size_t c = 0; c < 4; ++c) {
        mixed.rgba[c] = a.rgba[c] + (b.rgba[c] - a.rgba[c]) * t;
    }
    return mixed;
}

// The stops in ramp order, with an extra stop half way in colour and opacity where a midpoint is
// not centred, so that the blend reaches half way at the midpoint. None when a stop's colour paints
// nothing.
std::optional<std::vector<RampStop>> RampStops(const Document& document,
                                               std::vector<model::GradientStop> stops, double opacity) {
    std::stable_sort(stops.begin(), stops.end(),
                     [](const auto& a, const auto& b) { return a.rampPoint < b.rampPoint; });
    std::vector<RampStop> ramp;
    ramp.reserve(stops.size() * 2);
    for (std::size_t i = 0; i < stops.size(); ++i) {
        const std::optional<std::array<double, 3>> rgb = ScreenRgb(document, stops[i].color);
        if (!rgb) {
            return std::nullopt;
        }
        const RampStop stop{std::clamp(stops[i].rampPoint / 100.0, 0.0, 1.0),
                            {(*rgb)[0], (*rgb)[1], (*rgb)[2], stops[i].opacity * opacity}};
        if (!ramp.empty() && stops[i - 1].midPoint != 50.0 && stops[i - 1].rampPoint < stops[i].rampPoint) {
            const RampStop& previous = ramp.back();
            const double middle =
                previous.offset + (stop.offset - previous.offset) * stops[i - 1].midPoint / 100.0;
            ramp.push_back(Mix(previous, stop, std::clamp(middle, previous.offset, stop.offset), 0.5));
        }
        ramp.push_back(stop);
    }
    return ramp;
}

// Even samples of the ramp from 0 to 1, walked once.
std::vector<RampStop> Resampled(const std::vector<RampStop>& ramp, std::size_t count) {
    std::vector<RampStop> samples;
    samples.reserve(count);
    std::size_t next = 0;  // the first stop at or beyond the sample
    for (std::size_t i = 0; i < count; ++i) {
        const double at = static_cast<double>(i) / static_cast<double>(count - 1);
        while (next < ramp.size() && ramp[next].offset < at) {
            ++next;
        }
        if (next == 0 || next == ramp.size()) {
            samples.push_back(RampStop{at, ramp[next == 0 ? 0 : ramp.size() - 1].rgba});
            continue;
        }
        const RampStop& before = ramp[next - 1];
        const RampStop& after = ramp[next];
        const double span = after.offset - before.offset;
        samples.push_back(Mix(before, after, at, span > 0.0 ? (at - before.offset) / span : 1.0));
    }
    return samples;
}

// Where a radial gradient's focus lies on the way from its centre to its edge: inside the circle,
// where cairo draws what is meant.
double FocusOf(const model::PaintResource& gradient, const model::GradientPlacement& placement) {
    if (gradient.type != model::GradientType::radial || !std::isfinite(placement.highlightLength)) {
        return 0.0;
    }
    return std::clamp(placement.highlightLength, 0.0, 0.99);
}

// The gradient in a space of its own: a linear ramp from (0, 0) to (1, 0), or a radial one about
// the origin with radius 1 and its focus at (focus, 0). Its stops are added in order, so that cairo
// takes each at the end.
CairoPattern BuildGradient(const Document& document, const model::PaintResource& gradient, double opacity,
                           double focus) {
    CairoPattern pattern(gradient.type == model::GradientType::radial
                             ? cairo_pattern_create_radial(focus, 0.0, 0.0, 0.0, 0.0, 1.0)
                             : cairo_pattern_create_linear(0.0, 0.0, 1.0, 0.0));
    cairo_pattern_set_extend(pattern.get(), CAIRO_EXTEND_PAD);
    std::optional<std::vector<RampStop>> ramp = RampStops(document, gradient.stops, opacity);
    if (!ramp) {
        return nullptr;
    }
    if (ramp->size() > kPlainGradientStops) {
        ramp = ShownStops(*ramp);
    }
    if (ramp->size() > kMostGradientStops) {
        ramp = Resampled(*ramp, kMostGradientStops);
    }
    for (const RampStop& stop : *ramp) {
        cairo_pattern_add_color_stop_rgba(pattern.get(), stop.offset, stop.rgba[0], stop.rgba[1],
                                          stop.rgba[2], stop.rgba[3]);
    }
    if (cairo_pattern_status(pattern.get()) != CAIRO_STATUS_SUCCESS) {
        return nullptr;
    }
    return pattern;
}

// Where the gradient's own space lies in user space. A gradient with its own layout (length above
// 0) goes from its origin through its matrix; one without spans the painted art's bounds.
cairo_matrix_t GradientLayout(const model::PaintResource& gradient, const model::GradientPlacement& placement,
                              const PaintPlace& place) {
    const bool own = placement.length > 0.0;
    const model::Rect& bounds = place.bounds;
    const Point centre{(bounds.left + bounds.right) / 2.0, (bounds.top + bounds.bottom) / 2.0};
    cairo_matrix_t layout;
    if (gradient.type == model::GradientType::radial) {
        const Point origin = own ? placement.origin : centre;
        const double radius = own ? placement.length : std::max(bounds.width(), bounds.height()) / 2.0;
        const Point axis = Along({0.0, 0.0}, placement.highlightAngle, radius);
        cairo_matrix_init(&layout, axis.x, axis.y, -axis.y, axis.x, origin.x, origin.y);
    } else {
        const double radians = placement.angle * std::numbers::pi / 180.0;
        const double half = std::abs(std::cos(radians)) * bounds.width() / 2.0 +
                            std::abs(std::sin(radians)) * bounds.height() / 2.0;
        const Point start = own ? placement.origin : Along(centre, placement.angle, -half);
        const Point end = own ? Along(placement.origin, placement.angle, placement.length)
                              : Along(centre, placement.angle, half);
        const double dx = end.x - start.x;
        const double dy = end.y - start.y;
        cairo_matrix_init(&layout, dx, dy, -dy, dx, start.x, start.y);
    }
    if (own) {
        const cairo_matrix_t matrix = ToCairo(placement.matrix);
        cairo_matrix_multiply(&layout, &layout, &matrix);
    }
    return layout;
}

// The picture's pattern for the key, built the first time it is asked for. While it is being built
// it is null, so that a tile whose art paints with its own pattern shows the flat colour there.
template <typename Build>
cairo_pattern_t* Cached(const RenderContext& context, const PaintCache::Key& key, Build&& build) {
    std::map<PaintCache::Key, CairoPattern>& patterns = context.picture.paints->patterns;
    if (const auto found = patterns.find(key); found != patterns.end()) {
        return found->second.get();
    }
    const auto slot = patterns.emplace(key, nullptr).first;
    slot->second = build();
    return slot->second.get();
}

// Makes the pattern the context's source, its own space mapped onto user space by the layout.
void SetLaidOut(cairo_t* cr, cairo_pattern_t* pattern, const cairo_matrix_t& layout) {
    cairo_matrix_t toPattern = layout;
    cairo_matrix_invert(&toPattern);
    cairo_pattern_set_matrix(pattern, &toPattern);
    cairo_set_source(cr, pattern);
}

// The picture's gradient laid out for the place, and where its own space lies on the device; null
// when cairo can't draw through the layout or the gradient can't be built.
struct LaidOutGradient {
    cairo_pattern_t* pattern = nullptr;
    cairo_matrix_t layout{};
    cairo_matrix_t device{};
};

LaidOutGradient LayGradient(const RenderContext& context, const model::PaintResource& gradient,
                            const model::GradientPlacement& placement, double opacity,
                            const PaintPlace& place) {
    LaidOutGradient laid;
    laid.layout = GradientLayout(gradient, placement, place);
    const std::optional<cairo_matrix_t> device = DeviceMatrix(context.cr, laid.layout);
    if (!device) {
        return laid;
    }
    laid.device = *device;
    const double focus = FocusOf(gradient, placement);
    laid.pattern = Cached(context, {&gradient, opacity, focus},
                          [&] { return BuildGradient(context.document, gradient, opacity, focus); });
    return laid;
}

bool SetGradient(const RenderContext& context, const model::PaintResource& gradient,
                 const model::GradientPlacement& placement, double opacity, const PaintPlace& place) {
    const LaidOutGradient laid = LayGradient(context, gradient, placement, opacity, place);
    if (laid.pattern == nullptr) {
        return false;
    }
    SetLaidOut(context.cr, laid.pattern, laid.layout);
    return true;
}

// Tiles smaller than this in their own space, or on the device, show the flat colour; so do tiles
// larger on the device than cairo can work them out in (it draws the whole tile in pixels before
// repeating it).
constexpr double kSmallestTileSide = 0.01;
constexpr double kLargestTileSide = 100'000.0;
constexpr double kLargestDeviceTileSide = 32'767.0;
constexpr double kLargestDeviceTileArea = 8192.0 * 8192.0;

// Whether the tile, mapped onto the device by the matrix (from the tile's own space), can be drawn
// and repeated: its narrowest breadth at least kSmallestTileSide, its bounding box and area within
// what cairo works in.
bool TileFitsDevice(const model::Rect& tile, const cairo_matrix_t& device) {
    const double w = tile.width();
    const double h = tile.height();
    const double acrossX = std::abs(w * device.xx) + std::abs(h * device.xy);
    const double acrossY = std::abs(w * device.yx) + std::abs(h * device.yy);
    const double area = std::abs(device.xx * device.yy - device.xy * device.yx) * w * h;
    const double sideW = std::hypot(w * device.xx, w * device.yx);
    const double sideH = std::hypot(h * device.xy, h * device.yy);
    return std::isfinite(area) && area <= kLargestDeviceTileArea && acrossX <= kLargestDeviceTileSide &&
           acrossY <= kLargestDeviceTileSide && sideW > 0.0 && sideH > 0.0 &&
           area / sideW >= kSmallestTileSide && area / sideH >= kSmallestTileSide;
}

// A recording surface of the tile's size, kept by the picture's cache.
cairo_surface_t* TileRecording(const RenderContext& context, const model::Rect& tile) {
    const cairo_rectangle_t extents{0.0, 0.0, tile.width(), tile.height()};
    return context.picture.paints->Keep(
        CairoSurface(cairo_recording_surface_create(CAIRO_CONTENT_COLOR_ALPHA, &extents)));
}

// The tile's art recorded once per picture, repeated side by side from where the tile lies. The
// recordings are the cache's own, not groups of cairo's, so that they can be released after a vector
// surface is finished (PaintCache::ReleaseAfterFinish).
CairoPattern RecordTile(const RenderContext& context, const model::PaintResource& resource,
                        const model::Rect& tile, double opacity) {
    cairo_surface_t* art = TileRecording(context, tile);
    CairoContext cr(cairo_create(art));
    cairo_scale(cr.get(), 1.0, -1.0);
    cairo_translate(cr.get(), -tile.left, -tile.top);
    bool failed = !context.picture.drawer->DrawDetached(context.On(cr.get()), *resource.art) ||
                  cairo_status(cr.get()) != CAIRO_STATUS_SUCCESS;
    cr.reset();  // the recording is finished before a pattern takes it
    cairo_surface_t* source = art;
    if (opacity < 1.0) {
        // The art faded as a whole, so that its overlapping parts don't show through one another.
        source = TileRecording(context, tile);
        const CairoContext fade(cairo_create(source));
        cairo_set_source_surface(fade.get(), art, 0.0, 0.0);
        cairo_paint_with_alpha(fade.get(), opacity);
        failed = failed || cairo_status(fade.get()) != CAIRO_STATUS_SUCCESS;
    }
    CairoPattern pattern(cairo_pattern_create_for_surface(source));
    if (failed || cairo_pattern_status(pattern.get()) != CAIRO_STATUS_SUCCESS) {
        return nullptr;
    }
    cairo_pattern_set_extend(pattern.get(), CAIRO_EXTEND_REPEAT);
    return pattern;
}

// The tile's art repeated from where the tile lies, then mapped by the art's pattern transformation.
bool SetTile(const RenderContext& context, const model::PaintResource& resource, double opacity,
             const PaintPlace& place) {
    const model::Rect tile = resource.tile ? *resource.tile : model::artworkBounds(*resource.art);
    if (!(tile.width() >= kSmallestTileSide && tile.height() >= kSmallestTileSide &&
          tile.width() <= kLargestTileSide && tile.height() <= kLargestTileSide)) {
        return false;
    }
    const cairo_matrix_t layout =
        ToCairo(model::Matrix{1.0, 0.0, 0.0, -1.0, tile.left, tile.top}.then(place.patternMatrix));
    const std::optional<cairo_matrix_t> device = DeviceMatrix(context.cr, layout);
    if (!device || !TileFitsDevice(tile, *device)) {
        return false;
    }
    cairo_pattern_t* pattern = Cached(context, {&resource, opacity, 0.0},
                                      [&] { return RecordTile(context, resource, tile, opacity); });
    if (pattern == nullptr) {
        return false;
    }
    SetLaidOut(context.cr, pattern, layout);
    return true;
}

bool SetSolid(cairo_t* cr, const Document& document, const Color& color, double opacity) {
    const std::optional<std::array<double, 3>> rgb = ScreenRgb(document, color);
    if (!rgb) {
        return false;
    }
    cairo_set_source_rgba(cr, (*rgb)[0], (*rgb)[1], (*rgb)[2], opacity);
    return true;
}

}  // namespace

// Walked once: from each stop kept, the line to a later stop may pass on every stop between them
// while its slope, in every channel, lies within what each of those stops allows; the last stop it
// can reach is kept next.
std::vector<RampStop> ShownStops(const std::vector<RampStop>& ramp) {
    std::vector<RampStop> kept;
    if (ramp.empty()) {
        return kept;
    }
    std::size_t from = 0;  // the stop kept last, where the line starts
    kept.push_back(ramp[from]);
    std::array<double, 4> low{};
    std::array<double, 4> high{};
    low.fill(-INFINITY);
    high.fill(INFINITY);
    std::size_t i = 1;
    while (i < ramp.size()) {
        const double dx = ramp[i].offset - ramp[from].offset;
        std::array<double, 4> slope{};
        bool fits = dx > 0.0;
        for (std::size_t c = 0; fits && c < 4; ++c) {
            slope[c] = (ramp[i].rgba[c] - ramp[from].rgba[c]) / dx;
            fits = slope[c] >= low[c] && slope[c] <= high[c];
        }
        if (fits) {
            for (std::size_t c = 0; c < 4; ++c) {
                low[c] = std::max(low[c], slope[c] - kShownStopError / dx);
                high[c] = std::min(high[c], slope[c] + kShownStopError / dx);
            }
            ++i;
            continue;
        }
        // The line ends at the stop before, which is kept (or at this one, when the line can't
        // reach even the next stop: one at the same offset); the next line starts there.
        from = i - 1 > from ? i - 1 : i;
        kept.push_back(ramp[from]);
        low.fill(-INFINITY);
        high.fill(INFINITY);
        i = from + 1;
    }
    if (from + 1 < ramp.size()) {
        kept.push_back(ramp.back());
    }
    return kept;
}

cairo_surface_t* PaintCache::Keep(CairoSurface recording) {
    recordings_.push_back(std::move(recording));
    return recordings_.back().get();
}

void PaintCache::ReleaseAfterFinish() {
    patterns.clear();
    // Finished, a recording lets go of what it holds, the other recordings among them.
    for (const CairoSurface& recording : recordings_) {
        cairo_surface_finish(recording.get());
    }
    // Nothing else can hold a recording now: the vector surface is finished, its context destroyed
    // and every recording of the picture finished. A count above the cache's own is a reference the
    // SVG surface kept; with a cairo that gives its references back there is none.
    for (const CairoSurface& recording : recordings_) {
        while (cairo_surface_get_reference_count(recording.get()) > 1) {
            cairo_surface_destroy(recording.get());
        }
    }
    recordings_.clear();
}

cairo_operator_t BlendOperator(int mode) {
    return mode > 0 && mode <= model::kLastBlendMode ? kBlendOperators[mode] : CAIRO_OPERATOR_OVER;
}

std::optional<std::array<double, 3>> ScreenRgb(const Document& document, const Color& color) {
    if (color.kind == Color::Kind::custom) {
        const model::CustomColor* custom = document.colors().customColorByName(color.resource);
        if (custom == nullptr) {
            return std::nullopt;
        }
        const model::CustomColorDefinition& definition = custom->definition;
        std::array<double, 3> rgb =
            definition.kind == model::CustomColorDefinition::Kind::lab
                ? LabToRgb(definition.values[0], definition.values[1], definition.values[2])
                : model::toRgb(definition.processColor());
        // A tint mixes the colour with white.
        const double tint = color.values[0];
        for (double& channel : rgb) {
            channel += (1.0 - channel) * tint;
        }
        return rgb;
    }
    const Color flat = document.colors().flatColor(color);
    if (!flat.paints()) {
        return std::nullopt;
    }
    return model::toRgb(flat);
}

double PaintPixelPrice(const RenderContext& context, const Color& color, double opacity,
                       const PaintPlace& place) {
    if (!std::isfinite(opacity) ||
        (color.kind != Color::Kind::gradient && color.kind != Color::Kind::pattern)) {
        return kPaintPixelPrice;
    }
    const model::PaintResource* resource =
        context.document.colors().resourceByName(color.resource, color.kind);
    if (resource == nullptr) {
        return kPaintPixelPrice;
    }
    if (color.kind == Color::Kind::pattern) {
        return resource->art ? kPatternPixelPrice : kPaintPixelPrice;
    }
    if (resource->stops.empty()) {
        return kPaintPixelPrice;
    }
    const model::PaintResource& gradient = *resource;
    const LaidOutGradient laid = LayGradient(context, gradient, color.placement, opacity, place);
    int stops = 0;
    if (laid.pattern == nullptr ||
        cairo_pattern_get_color_stop_count(laid.pattern, &stops) != CAIRO_STATUS_SUCCESS) {
        return kPaintPixelPrice;
    }
    // The gradient's own space from the device's: a linear gradient's position is its x.
    const cairo_matrix_t& device = laid.device;
    cairo_matrix_t inverse = device;
    if (cairo_matrix_invert(&inverse) != CAIRO_STATUS_SUCCESS) {
        return kPaintPixelPrice;
    }
    const bool radial = gradient.type == model::GradientType::radial;
    const double alongX = std::abs(inverse.xx);
    const double alongY = std::abs(inverse.xy);
    if (!radial && (alongX <= 1e-9 * alongY || alongY <= 1e-9 * alongX)) {
        return kPaintPixelPrice;  // the same colours on every row, or one colour a row
    }
    // The pixels from one end of the ramp to the other: the radius, or the axis's length.
    const double length = radial ? std::sqrt(std::abs(device.xx * device.yy - device.xy * device.yx))
                                 : 1.0 / std::hypot(inverse.xx, inverse.xy);
    const double count = static_cast<double>(stops);
    const double walked = length > count ? count * count / length : count;
    return (radial ? kRadialGradientPixelPrice : kLinearGradientPixelPrice) + kGradientStopPrice * walked;
}

bool SetPaintSource(const RenderContext& context, const Color& color, double opacity,
                    const PaintPlace& place) {
    const Document& document = context.document;
    if (!std::isfinite(opacity)) {
        return false;
    }
    if (color.kind != Color::Kind::gradient && color.kind != Color::Kind::pattern) {
        return SetSolid(context.cr, document, color, opacity);
    }
    const model::PaintResource* resource = document.colors().resourceByName(color.resource, color.kind);
    if (resource == nullptr) {
        return false;
    }
    // A layout cairo cannot use (a matrix without an inverse, a tile without area or beyond the
    // device's range) shows the flat colour.
    bool laidOut = false;
    if (color.kind == Color::Kind::gradient && !resource->stops.empty()) {
        laidOut = SetGradient(context, *resource, color.placement, opacity, place);
    } else if (color.kind == Color::Kind::pattern && resource->art) {
        laidOut = SetTile(context, *resource, opacity, place);
    }
    return laidOut || SetSolid(context.cr, document, resource->flat, opacity);
}

}  // namespace host
