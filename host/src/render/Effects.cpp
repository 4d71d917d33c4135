#include "render/Effects.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <optional>
#include <string_view>
#include <type_traits>
#include <variant>
#include <vector>

#include <cairo.h>

#include "render/CairoHandles.h"
#include "render/PaintSource.h"
#include "render/RenderBudget.h"
#include "render/RenderContext.h"

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
// The largest blur radius worked with, in device pixels: far beyond any image an effect is worked
// out in, so that a larger one would change nothing, and small enough for the window's arithmetic.
constexpr double kLargestDeviceBlur = 1 << 30;

// Three box blurs of half the radius each way spread a shape by one and a half radii.
constexpr double kBlurSpread = 1.5;

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

double BlurPoints(const model::Effect& effect, double fallback) {
    return std::clamp(Number(effect, "blur", fallback), 0.0, kLargestBlur);
}

double Opacity(const model::Effect& effect) {
    return std::clamp(Number(effect, "opac", 0.75), 0.0, 1.0);
}

// The blend mode "blnd"; normal for one out of range.
int Mode(const model::Effect& effect, int fallback) {
    const double mode = Number(effect, "blnd", fallback);
    return mode >= 0.0 && mode <= model::kLastBlendMode ? static_cast<int>(mode) : 0;
}

std::array<double, 3> Color(const model::Document& document, const model::Effect& effect,
                            std::string_view key, std::array<double, 3> fallback) {
    const model::FillPaint* fill = effect.parameters.fillStyle(key);
    const std::optional<std::array<double, 3>> rgb =
        fill != nullptr ? ScreenRgb(document, fill->color) : std::nullopt;
    return rgb.value_or(fallback);
}

std::optional<EffectRecord> Parse(const model::Document& document, const model::Effect& effect) {
    if (!effect.visible) {
        return std::nullopt;
    }
    if (effect.name == kDropShadow) {
        return DropShadow{BlurPoints(effect, 5.0),
                          Number(effect, "horz", 7.0),
                          Number(effect, "vert", 7.0),
                          Color(document, effect, "sclr", {0.0, 0.0, 0.0}),
                          Opacity(effect),
                          Mode(effect, 1)};
    }
    if (effect.name == kOuterGlow) {
        return OuterGlow{BlurPoints(effect, 5.0), Color(document, effect, "sclr", {0.0, 0.0, 0.0}),
                         Opacity(effect), Mode(effect, 2)};
    }
    if (effect.name == kInnerGlow) {
        return InnerGlow{BlurPoints(effect, 5.0), Number(effect, "gtyp", 1.0) != 0.0,
                         Color(document, effect, "gclr", {1.0, 1.0, 1.0}), Opacity(effect), Mode(effect, 2)};
    }
    if (effect.name == kGaussianBlur) {
        return GaussianBlur{BlurPoints(effect, 10.0)};
    }
    return std::nullopt;
}

// One pass of a box blur along one line of one channel: each value becomes the mean of the window
// of half values either side (values beyond the line count as 0). The window's sum is kept as it
// slides, and only the part of it on the line is ever added up, so that a pass costs the line's
// length whatever the radius.
void BoxBlurLine(unsigned char* start, std::ptrdiff_t step, int length, std::int64_t half,
                 std::vector<unsigned char>& line) {
    for (int i = 0; i < length; ++i) {
        line[static_cast<std::size_t>(i)] = start[i * step];
    }
    const std::int64_t window = 2 * half + 1;
    std::int64_t sum = 0;
    for (std::int64_t i = 0; i <= std::min<std::int64_t>(half, length - 1); ++i) {
        sum += line[static_cast<std::size_t>(i)];
    }
    for (int i = 0; i < length; ++i) {
        start[i * step] = static_cast<unsigned char>(sum / window);
        const std::int64_t leaving = i - half;
        const std::int64_t entering = i + half + 1;
        sum -= leaving >= 0 ? line[static_cast<std::size_t>(leaving)] : 0;
        sum += entering < length ? line[static_cast<std::size_t>(entering)] : 0;
    }
}

void BoxBlurPass(unsigned char* data, int width, int height, int stride, int channels, std::int64_t half,
                 bool rows) {
    const int lines = rows ? height : width;
    const int length = rows ? width : height;
    const std::ptrdiff_t step = rows ? channels : stride;
    const std::ptrdiff_t lineStep = rows ? stride : channels;
    std::vector<unsigned char> line(static_cast<std::size_t>(length));
    for (int l = 0; l < lines; ++l) {
        for (int c = 0; c < channels; ++c) {
            BoxBlurLine(data + l * lineStep + c, step, length, half, line);
        }
    }
}

void Blur(cairo_surface_t* surface, double radius) {
    cairo_surface_flush(surface);
    BoxBlur(cairo_image_surface_get_data(surface), cairo_image_surface_get_width(surface),
            cairo_image_surface_get_height(surface), cairo_image_surface_get_stride(surface),
            cairo_image_surface_get_format(surface) == CAIRO_FORMAT_A8 ? 1 : 4, radius);
    cairo_surface_mark_dirty(surface);
}

// The device pixels an effect is worked out in: what the context shows, in whole pixels.
struct Area {
    double x = 0.0;
    double y = 0.0;
    int width = 0;
    int height = 0;
};

std::optional<Area> DeviceArea(cairo_t* cr) {
    const DeviceBox shown = DeviceClip(cr);
    const double width = shown.width();
    const double height = shown.height();
    if (shown.isEmpty() || width < 1.0 || height < 1.0 || width * height > kLargestEffectPixels) {
        return std::nullopt;
    }
    return Area{shown.left, shown.top, static_cast<int>(width), static_cast<int>(height)};
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

// A length in points as device pixels: the context's scale.
double DevicePixels(cairo_t* cr, double points) {
    double dx = points, dy = 0.0;
    cairo_user_to_device_distance(cr, &dx, &dy);
    const double pixels = std::hypot(dx, dy);
    return std::isfinite(pixels) ? std::min(pixels, kLargestDeviceBlur) : kLargestDeviceBlur;
}

}  // namespace

// What the effects of one object draw with: the context, the object, the device pixels they are
// worked out in, the object's alpha there, and the object blurred once a Gaussian blur has drawn.
struct EffectCanvas {
    cairo_t* cr;
    cairo_pattern_t* object;
    Area area;
    cairo_surface_t* alpha;
    CairoSurface blurred;
};

namespace {

// Paints the colour through the mask image, moved by the device offset, with the blend mode.
void PaintThrough(const EffectCanvas& canvas, cairo_surface_t* mask, double dx, double dy,
                  const std::array<double, 3>& rgb, double opacity, int mode) {
    cairo_t* cr = canvas.cr;
    const SavedState saved(cr);
    cairo_identity_matrix(cr);
    cairo_set_operator(cr, BlendOperator(mode));
    cairo_set_source_rgba(cr, rgb[0], rgb[1], rgb[2], opacity);
    cairo_mask_surface(cr, mask, canvas.area.x + dx, canvas.area.y + dy);
}

// The object's shape blurred, moved by the offset in points (right and down on the page), in the
// colour: what shadows and outer glows paint.
void PaintBlurredShape(EffectCanvas& canvas, double blur, double right, double down,
                       const std::array<double, 3>& rgb, double opacity, int mode) {
    const CairoSurface mask = Rendered(canvas.cr, canvas.object, canvas.area, CAIRO_FORMAT_A8);
    if (mask == nullptr) {
        return;
    }
    Blur(mask.get(), DevicePixels(canvas.cr, blur));
    double dx = right, dy = -down;
    cairo_user_to_device_distance(canvas.cr, &dx, &dy);
    if (!std::isfinite(dx) || !std::isfinite(dy)) {
        return;
    }
    // An offset beyond the area moves the shape out of sight, and beyond cairo's fixed-point range.
    if (std::abs(dx) >= canvas.area.width || std::abs(dy) >= canvas.area.height) {
        return;
    }
    PaintThrough(canvas, mask.get(), dx, dy, rgb, opacity, mode);
}

enum class Stage { below, object, above };

template <typename Kind>
constexpr Stage StageOf() {
    if constexpr (std::is_same_v<Kind, InnerGlow>) {
        return Stage::above;
    } else if constexpr (std::is_same_v<Kind, GaussianBlur>) {
        return Stage::object;
    } else {
        return Stage::below;
    }
}

void DrawStage(const std::vector<EffectRecord>& records, Stage stage, EffectCanvas& canvas) {
    for (const EffectRecord& record : records) {
        std::visit(
            [&](const auto& effect) {
                if (StageOf<std::decay_t<decltype(effect)>>() == stage) {
                    effect.Draw(canvas);
                }
            },
            record);
    }
}

void PaintObject(const EffectCanvas& canvas) {
    cairo_t* cr = canvas.cr;
    if (canvas.blurred == nullptr) {
        cairo_set_source(cr, canvas.object);
        cairo_paint(cr);
        return;
    }
    const SavedState saved(cr);
    cairo_identity_matrix(cr);
    cairo_set_source_surface(cr, canvas.blurred.get(), canvas.area.x, canvas.area.y);
    cairo_paint(cr);
}

}  // namespace

double DropShadow::Reach() const {
    return kBlurSpread * blur + std::abs(right) + std::abs(down);
}

void DropShadow::Draw(EffectCanvas& canvas) const {
    PaintBlurredShape(canvas, blur, right, down, rgb, opacity, mode);
}

double OuterGlow::Reach() const {
    return kBlurSpread * blur;
}

void OuterGlow::Draw(EffectCanvas& canvas) const {
    PaintBlurredShape(canvas, blur, 0.0, 0.0, rgb, opacity, mode);
}

// The glow's spread (the object's alpha blurred, or its complement from the edges) inside the
// object's alpha.
void InnerGlow::Draw(EffectCanvas& canvas) const {
    const CairoSurface glow = Rendered(canvas.cr, canvas.object, canvas.area, CAIRO_FORMAT_A8);
    if (glow == nullptr) {
        return;
    }
    Blur(glow.get(), DevicePixels(canvas.cr, blur));
    cairo_surface_flush(glow.get());
    cairo_surface_flush(canvas.alpha);
    unsigned char* g = cairo_image_surface_get_data(glow.get());
    const unsigned char* a = cairo_image_surface_get_data(canvas.alpha);
    const int stride = cairo_image_surface_get_stride(glow.get());
    for (int y = 0; y < canvas.area.height; ++y) {
        for (int x = 0; x < canvas.area.width; ++x) {
            const std::ptrdiff_t at = static_cast<std::ptrdiff_t>(y) * stride + x;
            const int inside = a[at];
            const int spread = fromEdges ? 255 - g[at] : g[at];
            g[at] = static_cast<unsigned char>(inside * spread / 255);
        }
    }
    cairo_surface_mark_dirty(glow.get());
    PaintThrough(canvas, glow.get(), 0.0, 0.0, rgb, opacity, mode);
}

double GaussianBlur::Reach() const {
    return kBlurSpread * blur;
}

// Blurs the object as the blurs before it left it.
void GaussianBlur::Draw(EffectCanvas& canvas) const {
    if (canvas.blurred == nullptr) {
        canvas.blurred = Rendered(canvas.cr, canvas.object, canvas.area, CAIRO_FORMAT_ARGB32);
    }
    if (canvas.blurred != nullptr) {
        Blur(canvas.blurred.get(), DevicePixels(canvas.cr, blur));
    }
}

Effects::Effects(const model::Document& document, const model::ArtStyle& style) {
    if (style.preEffects.empty() && style.postEffects.empty()) {
        return;
    }
    for (const auto* effects : {&style.preEffects, &style.postEffects}) {
        for (const model::Effect& effect : *effects) {
            if (std::optional<EffectRecord> record = Parse(document, effect)) {
                effects_.push_back(*record);
            }
        }
    }
}

double Effects::Reach() const {
    double reach = 0.0;
    for (const EffectRecord& record : effects_) {
        reach = std::max(reach, std::visit([](const auto& effect) { return effect.Reach(); }, record));
    }
    return reach;
}

double Effects::PixelPrice() const {
    double price = 0.0;
    for (const EffectRecord& record : effects_) {
        price += std::holds_alternative<GaussianBlur>(record) ? kBlurPixelPrice : kEffectPixelPrice;
    }
    return price;
}

void Effects::Paint(cairo_t* cr, cairo_pattern_t* object) const {
    const std::optional<Area> area = HasUsableMatrix(cr) ? DeviceArea(cr) : std::nullopt;
    CairoSurface alpha = area ? Rendered(cr, object, *area, CAIRO_FORMAT_A8) : nullptr;
    if (alpha == nullptr) {
        cairo_set_source(cr, object);
        cairo_paint(cr);
        return;
    }
    EffectCanvas canvas{cr, object, *area, alpha.get(), nullptr};
    DrawStage(effects_, Stage::below, canvas);
    DrawStage(effects_, Stage::object, canvas);
    PaintObject(canvas);
    DrawStage(effects_, Stage::above, canvas);
}

void BoxBlur(unsigned char* data, int width, int height, int stride, int channels, double radius) {
    if (!(radius > 0.0)) {
        return;
    }
    const auto half = static_cast<std::int64_t>(std::lround(std::min(radius, kLargestDeviceBlur) / 2.0));
    if (half <= 0 || data == nullptr || width <= 0 || height <= 0) {
        return;
    }
    for (int pass = 0; pass < 3; ++pass) {
        BoxBlurPass(data, width, height, stride, channels, half, true);
        BoxBlurPass(data, width, height, stride, channels, half, false);
    }
}

}  // namespace host
