#include "Renderer.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <string>

#include <cairo.h>

#include "PlacedPainter.h"
#include "model/AtomicFile.h"

namespace host {

namespace {

using model::ArtId;
using model::Document;

// Placed files, and rasters without pixels, show as their frame in this grey.
constexpr double kFrameGrey = 0.6;

struct SurfaceDeleter {
    void operator()(cairo_surface_t* surface) const { cairo_surface_destroy(surface); }
};
struct ContextDeleter {
    void operator()(cairo_t* context) const { cairo_destroy(context); }
};
using Surface = std::unique_ptr<cairo_surface_t, SurfaceDeleter>;
using Context = std::unique_ptr<cairo_t, ContextDeleter>;

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
Surface PixelSurface(const model::RasterPixels& pixels) {
    constexpr std::size_t kLargestSurfaceSide = 32767;
    if (pixels.width > kLargestSurfaceSide || pixels.height > kLargestSurfaceSide) {
        return nullptr;
    }
    Surface surface(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, static_cast<int>(pixels.width),
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

class Painter {
public:
    Painter(const Document& document, cairo_t* context) : document_(document), cr_(context) {}

    void Draw(ArtId art) {
        const model::ArtNode* node = document_.find(art);
        if (node == nullptr || (node->data->attributes & model::attribute::hidden) != 0 ||
            !LayerShows(*node)) {
            return;
        }
        switch (node->data->type()) {
            case model::ArtType::group:
                DrawGroup(*node);
                break;
            case model::ArtType::path:
            case model::ArtType::compoundPath:
                DrawShape(*node);
                break;
            case model::ArtType::raster:
                DrawRaster(std::get<model::RasterContent>(node->data->content));
                break;
            case model::ArtType::placed:
                if (const auto& placed = std::get<model::PlacedContent>(node->data->content);
                    !placedFiles_.Draw(cr_, placed)) {
                    FillFrame(placed.box);
                }
                break;
            default:
                break;  // text and symbol instances are not drawn
        }
    }

private:
    bool LayerShows(const model::ArtNode& node) const {
        const model::Layer* layer = node.layer ? document_.findLayer(node.layer) : nullptr;
        return layer == nullptr || layer->properties.visible;
    }

    // Children are listed front-most first, so they are drawn from the last.
    void DrawChildren(const model::ArtNode& node, bool skipMasks) {
        for (ArtId child = node.children.back(); child; child = document_.find(child)->previous) {
            if (skipMasks && IsMask(child)) {
                continue;
            }
            Draw(child);
        }
    }

    bool IsMask(ArtId art) const {
        const model::ArtNode* node = document_.find(art);
        return node != nullptr && (node->data->attributes & model::attribute::clippingMask) != 0;
    }

    void DrawGroup(const model::ArtNode& node) {
        const auto& group = std::get<model::GroupContent>(node.data->content);
        const std::vector<ArtId> children = document_.children(node.id).valueOr({});
        const bool hasMask =
            std::any_of(children.begin(), children.end(), [&](ArtId child) { return IsMask(child); });
        if (!group.clipped || !hasMask) {
            DrawChildren(node, false);
            return;
        }
        cairo_save(cr_);
        cairo_new_path(cr_);
        for (const ArtId child : children) {
            if (IsMask(child)) {
                AddOutlines(child);
            }
        }
        cairo_set_fill_rule(cr_, CAIRO_FILL_RULE_WINDING);
        cairo_clip(cr_);
        DrawChildren(node, true);
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
            cairo_curve_to(cr_, from.out.x, from.out.y, to.in.x, to.in.y, to.anchor.x, to.anchor.y);
        }
        if (path.closed) {
            cairo_close_path(cr_);
        }
    }

    // Every path at or below the art.
    void AddOutlines(ArtId art) {
        for (const ArtId member : document_.artTree(art).valueOr({})) {
            if (const auto* path = document_.contentAs<model::PathContent>(member)) {
                AddPath(path->geometry);
            }
        }
    }

    void SetColor(const model::Color& color, double opacity) {
        const std::array<double, 3> rgb = model::toRgb(color);
        cairo_set_source_rgba(cr_, rgb[0], rgb[1], rgb[2], opacity);
    }

    static double Opacity(const model::BlendAttributes& blend) {
        return blend.opacityEnabled ? blend.opacity : 1.0;
    }

    void DrawShape(const model::ArtNode& node) {
        const model::ArtStyle& style = node.data->style;
        const double styleOpacity = Opacity(style.blend);
        for (const model::PaintField& field : style.paintFields) {
            if (!field.paints()) {
                continue;
            }
            cairo_new_path(cr_);
            AddOutlines(node.id);
            const double opacity = styleOpacity * Opacity(field.blend);
            if (const model::FillPaint* fill = field.fillPaint()) {
                SetColor(fill->color, opacity);
                cairo_set_fill_rule(cr_, field.evenOdd ? CAIRO_FILL_RULE_EVEN_ODD : CAIRO_FILL_RULE_WINDING);
                cairo_fill(cr_);
                continue;
            }
            Stroke(*field.strokePaint(), opacity);
        }
        cairo_new_path(cr_);
    }

    void Stroke(const model::StrokePaint& stroke, double opacity) {
        SetColor(stroke.color, opacity);
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
        cairo_stroke(cr_);
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
        cairo_matrix_t device;
        cairo_get_matrix(cr_, &device);
        cairo_matrix_t combined;
        cairo_matrix_multiply(&combined, &placement, &device);
        if (!IsUsable(placement) || !IsUsable(combined)) {
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
        const Surface image = placement ? PixelSurface(raster.pixels) : nullptr;
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
};

// Draws the art within the bounds into a new premultiplied ARGB surface. None when cairo failed:
// the surface could not be made, or drawing left the context in its error state (what was drawn
// after the failure is missing, so the picture is not to be used).
Surface RenderSurface(const Document& document, const std::vector<ArtId>& art, const model::Rect& bounds,
                      const RenderSettings& settings, std::size_t width, std::size_t height) {
    Surface surface(
        cairo_image_surface_create(CAIRO_FORMAT_ARGB32, static_cast<int>(width), static_cast<int>(height)));
    if (cairo_surface_status(surface.get()) != CAIRO_STATUS_SUCCESS) {
        return nullptr;
    }
    Context context(cairo_create(surface.get()));
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
    const Surface surface = RenderSurface(document, art, bounds, settings, size->first, size->second);
    if (surface == nullptr) {
        return std::nullopt;
    }
    return ToPixels(surface.get(), settings);
}

std::vector<ArtId> LayerGroupsBottomFirst(const Document& document) {
    std::vector<ArtId> layers;
    for (std::size_t i = document.layerCount(); i-- > 0;) {
        if (const model::Result<model::LayerId> layer = document.nthLayer(i)) {
            layers.push_back(document.layerGroup(*layer).valueOr(ArtId{}));
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

bool WriteArtboardPicture(const Document& document, const std::filesystem::path& file, std::string* error) {
    const model::Rect bounds = document.artboards().at(document.activeArtboard()).bounds;
    const std::vector<ArtId> layers = LayerGroupsBottomFirst(document);
    const auto size = PictureSize(bounds, 72.0);
    if (!size) {
        *error = "the active artboard is too large for a picture";
        return false;
    }
    const Surface surface =
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
