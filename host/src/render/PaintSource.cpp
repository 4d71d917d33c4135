#include "render/PaintSource.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <numbers>
#include <vector>

#include <cairo.h>

#include "render/CairoHandles.h"
#include "render/Renderer.h"

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

bool ToCairoInverse(const model::Matrix& m, cairo_matrix_t* result) {
    cairo_matrix_init(result, m.a, m.b, m.c, m.d, m.tx, m.ty);
    return cairo_matrix_invert(result) == CAIRO_STATUS_SUCCESS;
}

// The stops in ramp order, with an extra stop half way in colour and opacity where a midpoint is
// not centred, so that the blend reaches half way at the midpoint.
bool AddStops(cairo_pattern_t* pattern, const Document& document, std::vector<model::GradientStop> stops,
              double opacity) {
    std::stable_sort(stops.begin(), stops.end(),
                     [](const auto& a, const auto& b) { return a.rampPoint < b.rampPoint; });
    std::optional<std::array<double, 3>> previous;
    for (std::size_t i = 0; i < stops.size(); ++i) {
        const std::optional<std::array<double, 3>> rgb = ScreenRgb(document, stops[i].color);
        if (!rgb) {
            return false;
        }
        const double offset = stops[i].rampPoint / 100.0;
        if (previous && stops[i - 1].midPoint != 50.0 && stops[i - 1].rampPoint < stops[i].rampPoint) {
            const double before = stops[i - 1].rampPoint / 100.0;
            const double middle = before + (offset - before) * stops[i - 1].midPoint / 100.0;
            const double alpha = (stops[i - 1].opacity + stops[i].opacity) / 2.0 * opacity;
            cairo_pattern_add_color_stop_rgba(pattern, middle, ((*previous)[0] + (*rgb)[0]) / 2.0,
                                              ((*previous)[1] + (*rgb)[1]) / 2.0,
                                              ((*previous)[2] + (*rgb)[2]) / 2.0, alpha);
        }
        cairo_pattern_add_color_stop_rgba(pattern, offset, (*rgb)[0], (*rgb)[1], (*rgb)[2],
                                          stops[i].opacity * opacity);
        previous = rgb;
    }
    return true;
}

// A gradient with its own layout (length above 0) goes from its origin through its matrix; one
// without spans the painted art's bounds.
CairoPattern GradientPattern(const Document& document, const model::PaintResource& gradient,
                             const model::GradientPlacement& placement, double opacity,
                             const PaintPlace& place) {
    const bool own = placement.length > 0.0;
    const model::Rect& bounds = place.bounds;
    const Point centre{(bounds.left + bounds.right) / 2.0, (bounds.top + bounds.bottom) / 2.0};
    CairoPattern pattern;
    if (gradient.type == model::GradientType::radial) {
        const Point origin = own ? placement.origin : centre;
        const double radius = own ? placement.length : std::max(bounds.width(), bounds.height()) / 2.0;
        // The focal point stays inside the circle, where cairo draws what is meant.
        const double reach = std::clamp(placement.highlightLength, 0.0, 0.99) * radius;
        const Point focus = Along(origin, placement.highlightAngle, reach);
        pattern.reset(cairo_pattern_create_radial(focus.x, focus.y, 0.0, origin.x, origin.y, radius));
    } else {
        const double radians = placement.angle * std::numbers::pi / 180.0;
        const double half = std::abs(std::cos(radians)) * bounds.width() / 2.0 +
                            std::abs(std::sin(radians)) * bounds.height() / 2.0;
        const Point start = own ? placement.origin : Along(centre, placement.angle, -half);
        const Point end = own ? Along(placement.origin, placement.angle, placement.length)
                              : Along(centre, placement.angle, half);
        pattern.reset(cairo_pattern_create_linear(start.x, start.y, end.x, end.y));
    }
    cairo_pattern_set_extend(pattern.get(), CAIRO_EXTEND_PAD);
    if (own) {
        cairo_matrix_t inverse;
        if (!ToCairoInverse(placement.matrix, &inverse)) {
            return nullptr;
        }
        cairo_pattern_set_matrix(pattern.get(), &inverse);
    }
    if (!AddStops(pattern.get(), document, gradient.stops, opacity) ||
        cairo_pattern_status(pattern.get()) != CAIRO_STATUS_SUCCESS) {
        return nullptr;
    }
    return pattern;
}

// The tile's art recorded once, repeated side by side from where the tile lies, then mapped by the
// art's pattern transformation.
CairoPattern TilePattern(const Document& document, const model::PaintResource& resource, double opacity,
                         const PaintPlace& place) {
    const model::Rect tile = resource.tile ? *resource.tile : model::artworkBounds(*resource.art);
    // Tiles too small to see or too large for cairo to record show the flat colour.
    constexpr double kSmallestSide = 0.01;
    constexpr double kLargestSide = 100'000.0;
    if (!(tile.width() >= kSmallestSide && tile.height() >= kSmallestSide && tile.width() <= kLargestSide &&
          tile.height() <= kLargestSide)) {
        return nullptr;
    }
    cairo_matrix_t inverse;
    if (!ToCairoInverse(model::Matrix{1.0, 0.0, 0.0, -1.0, tile.left, tile.top}.then(place.patternMatrix),
                        &inverse)) {
        return nullptr;
    }
    const cairo_rectangle_t extents{0.0, 0.0, tile.width(), tile.height()};
    const CairoSurface recording(cairo_recording_surface_create(CAIRO_CONTENT_COLOR_ALPHA, &extents));
    CairoContext cr(cairo_create(recording.get()));
    cairo_scale(cr.get(), 1.0, -1.0);
    cairo_translate(cr.get(), -tile.left, -tile.top);
    cairo_push_group(cr.get());
    const bool drawn = DrawDetachedArt(cr.get(), document, *resource.art);
    cairo_pop_group_to_source(cr.get());
    cairo_paint_with_alpha(cr.get(), opacity);
    const bool failed = !drawn || cairo_status(cr.get()) != CAIRO_STATUS_SUCCESS;
    cr.reset();  // the recording is finished before a pattern takes it
    CairoPattern pattern(cairo_pattern_create_for_surface(recording.get()));
    if (failed || cairo_pattern_status(pattern.get()) != CAIRO_STATUS_SUCCESS) {
        return nullptr;
    }
    cairo_pattern_set_extend(pattern.get(), CAIRO_EXTEND_REPEAT);
    cairo_pattern_set_matrix(pattern.get(), &inverse);
    return pattern;
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

bool SetPaintSource(cairo_t* cr, const Document& document, const Color& color, double opacity,
                    const PaintPlace& place) {
    if (color.kind != Color::Kind::gradient && color.kind != Color::Kind::pattern) {
        return SetSolid(cr, document, color, opacity);
    }
    const model::PaintResource* resource = document.colors().resourceByName(color.resource, color.kind);
    if (resource == nullptr) {
        return false;
    }
    CairoPattern pattern;
    if (color.kind == Color::Kind::gradient && !resource->stops.empty()) {
        pattern = GradientPattern(document, *resource, color.placement, opacity, place);
    } else if (color.kind == Color::Kind::pattern && resource->art) {
        pattern = TilePattern(document, *resource, opacity, place);
    } else {
        return SetSolid(cr, document, resource->flat, opacity);
    }
    // A layout cairo cannot use (a matrix without an inverse, a tile without area) shows the flat colour.
    if (pattern == nullptr) {
        return SetSolid(cr, document, resource->flat, opacity);
    }
    cairo_set_source(cr, pattern.get());
    return true;
}

}  // namespace host
