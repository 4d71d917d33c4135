#include "render/Effects.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <memory>
#include <string_view>

#include <cairo.h>

#include "render/CairoHandles.h"
#include "render/PaintSource.h"

namespace host {

namespace {

constexpr std::string_view kDropShadow = "Host Drop Shadow";
constexpr std::string_view kOuterGlow = "Host Outer Glow";
constexpr std::string_view kInnerGlow = "Host Inner Glow";
constexpr std::string_view kGaussianBlur = "Host PSL Gaussian Blur";

// The largest image an effect is worked out in; a larger one is not drawn (the object still is).
constexpr double kLargestEffectPixels = 4096.0 * 4096.0;
// The largest blur radius taken, in points.
constexpr double kLargestBlur = 250.0;

bool IsDrawn(const model::Effect& effect) {
    return effect.visible && (effect.name == kDropShadow || effect.name == kOuterGlow ||
                              effect.name == kInnerGlow || effect.name == kGaussianBlur);
}

// A number parameter, as a real or an integer; the fallback when absent, of another type or not
// finite.
double Number(const model::Effect& effect, std::string_view key, double fallback) {
    if (const model::Result<double> real = effect.parameters.real(key); real && std::isfinite(*real)) {
        return *real;
    }
    if (const model::Result<std::int32_t> integer = effect.parameters.integer(key)) {
        return *integer;
    }
    return fallback;
}

std::array<double, 3> EffectColor(const model::Document& document, const model::Effect& effect,
                                  std::string_view key, std::array<double, 3> fallback) {
    const model::FillPaint* fill = effect.parameters.fillStyle(key);
    const std::optional<std::array<double, 3>> rgb =
        fill != nullptr ? ScreenRgb(document, fill->color) : std::nullopt;
    return rgb.value_or(fallback);
}

// One pass of a box blur of the given half width along rows (or columns) of every byte channel.
void BoxBlurPass(unsigned char* data, int width, int height, int stride, int channels, int half, bool rows) {
    const int lines = rows ? height : width;
    const int length = rows ? width : height;
    const std::ptrdiff_t step = rows ? channels : stride;
    const std::ptrdiff_t lineStep = rows ? stride : channels;
    std::vector<unsigned char> line(static_cast<std::size_t>(length));
    const int window = 2 * half + 1;
    for (int l = 0; l < lines; ++l) {
        for (int c = 0; c < channels; ++c) {
            unsigned char* start = data + l * lineStep + c;
            for (int i = 0; i < length; ++i) {
                line[static_cast<std::size_t>(i)] = start[i * step];
            }
            int sum = 0;
            for (int i = -half; i <= half; ++i) {
                sum += i >= 0 && i < length ? line[static_cast<std::size_t>(i)] : 0;
            }
            for (int i = 0; i < length; ++i) {
                start[i * step] = static_cast<unsigned char>(sum / window);
                const int leaving = i - half;
                const int entering = i + half + 1;
                sum -= leaving >= 0 ? line[static_cast<std::size_t>(leaving)] : 0;
                sum += entering < length ? line[static_cast<std::size_t>(entering)] : 0;
            }
        }
    }
}

// Three box blurs each way: close to a Gaussian blur of about the radius.
void Blur(cairo_surface_t* surface, double radius) {
    const int half = static_cast<int>(std::lround(radius / 2.0));
    if (half <= 0) {
        return;
    }
    cairo_surface_flush(surface);
    unsigned char* data = cairo_image_surface_get_data(surface);
    const int width = cairo_image_surface_get_width(surface);
    const int height = cairo_image_surface_get_height(surface);
    const int stride = cairo_image_surface_get_stride(surface);
    const int channels = cairo_image_surface_get_format(surface) == CAIRO_FORMAT_A8 ? 1 : 4;
    for (int pass = 0; pass < 3; ++pass) {
        BoxBlurPass(data, width, height, stride, channels, half, true);
        BoxBlurPass(data, width, height, stride, channels, half, false);
    }
    cairo_surface_mark_dirty(surface);
}

// The device pixels an effect is worked out in: what the context can show, in whole pixels.
struct Area {
    double x = 0.0;
    double y = 0.0;
    int width = 0;
    int height = 0;
};

std::optional<Area> DeviceArea(cairo_t* cr) {
    double x1 = 0.0, y1 = 0.0, x2 = 0.0, y2 = 0.0;
    cairo_clip_extents(cr, &x1, &y1, &x2, &y2);
    double left = INFINITY, top = INFINITY, right = -INFINITY, bottom = -INFINITY;
    for (const auto& [x, y] : {std::pair{x1, y1}, std::pair{x2, y1}, std::pair{x1, y2}, std::pair{x2, y2}}) {
        double dx = x, dy = y;
        cairo_user_to_device(cr, &dx, &dy);
        left = std::min(left, dx);
        right = std::max(right, dx);
        top = std::min(top, dy);
        bottom = std::max(bottom, dy);
    }
    left = std::floor(left);
    top = std::floor(top);
    const double width = std::ceil(right) - left;
    const double height = std::ceil(bottom) - top;
    if (!std::isfinite(width) || !std::isfinite(height) || width < 1.0 || height < 1.0 ||
        width * height > kLargestEffectPixels) {
        return std::nullopt;
    }
    return Area{left, top, static_cast<int>(width), static_cast<int>(height)};
}

// The object drawn into a new image of the area, in the given format.
CairoSurface Rendered(cairo_t* cr, cairo_pattern_t* object, const Area& area, cairo_format_t format) {
    CairoSurface image(cairo_image_surface_create(format, area.width, area.height));
    if (cairo_surface_status(image.get()) != CAIRO_STATUS_SUCCESS) {
        return nullptr;
    }
    cairo_matrix_t userToDevice;
    cairo_get_matrix(cr, &userToDevice);
    const CairoContext drawing(cairo_create(image.get()));
    cairo_translate(drawing.get(), -area.x, -area.y);
    cairo_transform(drawing.get(), &userToDevice);
    cairo_set_source(drawing.get(), object);
    cairo_paint(drawing.get());
    if (cairo_status(drawing.get()) != CAIRO_STATUS_SUCCESS) {
        return nullptr;
    }
    return image;
}

// Paints the colour through the mask image, moved by the device offset, with the blend mode.
void PaintThrough(cairo_t* cr, cairo_surface_t* mask, const Area& area, double dx, double dy,
                  const std::array<double, 3>& rgb, double opacity, cairo_operator_t op) {
    cairo_save(cr);
    cairo_identity_matrix(cr);
    cairo_set_operator(cr, op);
    cairo_set_source_rgba(cr, rgb[0], rgb[1], rgb[2], std::clamp(opacity, 0.0, 1.0));
    cairo_mask_surface(cr, mask, area.x + dx, area.y + dy);
    cairo_restore(cr);
}

cairo_operator_t EffectOperator(const model::Effect& effect, int fallback) {
    const double mode = Number(effect, "blnd", fallback);
    return mode >= 0.0 && mode <= model::kLastBlendMode ? BlendOperator(static_cast<int>(mode))
                                                        : CAIRO_OPERATOR_OVER;
}

// A length in points as device pixels: the context's scale.
double DevicePixels(cairo_t* cr, double points) {
    double dx = points, dy = 0.0;
    cairo_user_to_device_distance(cr, &dx, &dy);
    return std::hypot(dx, dy);
}

double BlurRadius(cairo_t* cr, const model::Effect& effect, double fallback) {
    return DevicePixels(cr, std::clamp(Number(effect, "blur", fallback), 0.0, kLargestBlur));
}

// Shadows and outer glows below the object, in order.
void PaintOuterEffects(cairo_t* cr, const model::Document& document, cairo_pattern_t* object,
                       const Area& area, const std::vector<const model::Effect*>& effects) {
    for (const model::Effect* effect : effects) {
        const bool shadow = effect->name == kDropShadow;
        if (!shadow && effect->name != kOuterGlow) {
            continue;
        }
        const CairoSurface mask = Rendered(cr, object, area, CAIRO_FORMAT_A8);
        if (mask == nullptr) {
            continue;
        }
        Blur(mask.get(), BlurRadius(cr, *effect, 5.0));
        // The offsets go right and down on the page.
        double dx = shadow ? Number(*effect, "horz", 7.0) : 0.0;
        double dy = shadow ? -Number(*effect, "vert", 7.0) : 0.0;
        cairo_user_to_device_distance(cr, &dx, &dy);
        if (!std::isfinite(dx) || !std::isfinite(dy)) {
            continue;
        }
        PaintThrough(cr, mask.get(), area, dx, dy, EffectColor(document, *effect, "sclr", {0.0, 0.0, 0.0}),
                     Number(*effect, "opac", 0.75), EffectOperator(*effect, shadow ? 1 : 2));
    }
}

// The object itself, blurred by a Gaussian blur.
void PaintObject(cairo_t* cr, cairo_pattern_t* object, const Area& area,
                 const std::vector<const model::Effect*>& effects) {
    CairoSurface blurred;
    for (const model::Effect* effect : effects) {
        if (effect->name != kGaussianBlur) {
            continue;
        }
        if (blurred == nullptr) {
            blurred = Rendered(cr, object, area, CAIRO_FORMAT_ARGB32);
        }
        if (blurred != nullptr) {
            Blur(blurred.get(), BlurRadius(cr, *effect, 10.0));
        }
    }
    if (blurred != nullptr) {
        cairo_save(cr);
        cairo_identity_matrix(cr);
        cairo_set_source_surface(cr, blurred.get(), area.x, area.y);
        cairo_paint(cr);
        cairo_restore(cr);
    } else {
        cairo_set_source(cr, object);
        cairo_paint(cr);
    }
}

// Inner glows above the object, inside its shape (its alpha): from the edges inward, or from the
// centre outward.
void PaintInnerGlows(cairo_t* cr, const model::Document& document, cairo_pattern_t* object, const Area& area,
                     cairo_surface_t* alpha, const std::vector<const model::Effect*>& effects) {
    for (const model::Effect* effect : effects) {
        if (effect->name != kInnerGlow) {
            continue;
        }
        const CairoSurface glow = Rendered(cr, object, area, CAIRO_FORMAT_A8);
        if (glow == nullptr) {
            continue;
        }
        Blur(glow.get(), BlurRadius(cr, *effect, 5.0));
        const bool fromEdges = Number(*effect, "gtyp", 1.0) != 0.0;
        cairo_surface_flush(glow.get());
        cairo_surface_flush(alpha);
        unsigned char* g = cairo_image_surface_get_data(glow.get());
        const unsigned char* a = cairo_image_surface_get_data(alpha);
        const int stride = cairo_image_surface_get_stride(glow.get());
        for (int y = 0; y < area.height; ++y) {
            for (int x = 0; x < area.width; ++x) {
                const std::ptrdiff_t at = static_cast<std::ptrdiff_t>(y) * stride + x;
                const int inside = a[at];
                const int spread = fromEdges ? 255 - g[at] : g[at];
                g[at] = static_cast<unsigned char>(inside * spread / 255);
            }
        }
        cairo_surface_mark_dirty(glow.get());
        PaintThrough(cr, glow.get(), area, 0.0, 0.0, EffectColor(document, *effect, "gclr", {1.0, 1.0, 1.0}),
                     Number(*effect, "opac", 0.75), EffectOperator(*effect, 2));
    }
}

}  // namespace

std::vector<const model::Effect*> DrawnEffects(const model::ArtStyle& style) {
    std::vector<const model::Effect*> drawn;
    if (style.preEffects.empty() && style.postEffects.empty()) {
        return drawn;
    }
    for (const auto* effects : {&style.preEffects, &style.postEffects}) {
        for (const model::Effect& effect : *effects) {
            if (IsDrawn(effect)) {
                drawn.push_back(&effect);
            }
        }
    }
    return drawn;
}

void PaintWithEffects(cairo_t* cr, const model::Document& document, cairo_pattern_t* object,
                      const std::vector<const model::Effect*>& effects) {
    const std::optional<Area> area = DeviceArea(cr);
    const CairoSurface alpha = area ? Rendered(cr, object, *area, CAIRO_FORMAT_A8) : nullptr;
    if (alpha == nullptr) {
        cairo_set_source(cr, object);
        cairo_paint(cr);
        return;
    }
    PaintOuterEffects(cr, document, object, *area, effects);
    PaintObject(cr, object, *area, effects);
    PaintInnerGlows(cr, document, object, *area, alpha.get(), effects);
}

}  // namespace host
