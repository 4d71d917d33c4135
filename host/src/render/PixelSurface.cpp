#include "render/PixelSurface.h"

#include <cstdint>
#include <cstring>

#include "render/PictureProcess.h"

#include <algorithm>
#include <cstdint>
#include <vector>

#include <cairo.h>

namespace host {

namespace {

std::uint8_t Unpremultiply(std::uint32_t component, std::uint32_t alpha) {
    return alpha == 0 ? 0
                      : static_cast<std::uint8_t>(
                            std::min<std::uint32_t>(255, (component * 255 + alpha / 2) / alpha));
}

}  // namespace

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

cairo_surface_t* MakePixelSurface(const model::RasterPixels& pixels) {
    return PixelSurface(pixels).release();
}

namespace {

// One row of premultiplied ARGB as the pixels' channels, at out.
std::uint8_t* ConvertRow(const std::uint32_t* row, std::size_t width, model::RasterPixels::Space space,
                         bool alpha, std::uint8_t* out) {
    for (std::size_t x = 0; x < width; ++x) {
        const std::uint32_t a = row[x] >> 24;
        // An opaque pixel (every pixel of a picture on white) is its own colour: no division.
        const bool opaque = a == 255;
        const std::uint8_t r =
            opaque ? static_cast<std::uint8_t>(row[x] >> 16) : Unpremultiply((row[x] >> 16) & 0xFF, a);
        const std::uint8_t g =
            opaque ? static_cast<std::uint8_t>(row[x] >> 8) : Unpremultiply((row[x] >> 8) & 0xFF, a);
        const std::uint8_t b = opaque ? static_cast<std::uint8_t>(row[x]) : Unpremultiply(row[x] & 0xFF, a);
        switch (space) {
            case model::RasterPixels::Space::rgb:
                *out++ = r;
                *out++ = g;
                *out++ = b;
                break;
            case model::RasterPixels::Space::gray:
                *out++ = static_cast<std::uint8_t>((299 * r + 587 * g + 114 * b + 500) / 1000);
                break;
            case model::RasterPixels::Space::cmyk: {
                const std::uint32_t k = 255 - std::max({r, g, b});
                const auto ink = [k](std::uint32_t c) {
                    return k == 255 ? std::uint8_t{0}
                                    : static_cast<std::uint8_t>((255 - c - k) * 255 / (255 - k));
                };
                *out++ = ink(r);
                *out++ = ink(g);
                *out++ = ink(b);
                *out++ = static_cast<std::uint8_t>(k);
                break;
            }
        }
        if (alpha) {
            *out++ = static_cast<std::uint8_t>(a);
        }
    }
    return out;
}

// The surface's rows, each as a pointer to its first pixel.
const std::uint32_t* SurfaceRow(cairo_surface_t* surface, std::size_t y) {
    return reinterpret_cast<const std::uint32_t*>(cairo_image_surface_get_data(surface) +
                                                  static_cast<std::ptrdiff_t>(y) *
                                                      cairo_image_surface_get_stride(surface));
}

model::RasterPixels EmptyPixels(cairo_surface_t* surface, model::RasterPixels::Space space, bool alpha) {
    model::RasterPixels pixels;
    pixels.width = static_cast<std::size_t>(cairo_image_surface_get_width(surface));
    pixels.height = static_cast<std::size_t>(cairo_image_surface_get_height(surface));
    pixels.space = space;
    pixels.alpha = alpha;
    return pixels;
}

bool WriteHeader(PictureOutput& output, const model::RasterPixels& pixels) {
    const std::uint64_t header[4] = {pixels.width, pixels.height, static_cast<std::uint64_t>(pixels.space),
                                     pixels.alpha ? 1u : 0u};
    return output.Write(header, sizeof header);
}

}  // namespace

model::RasterPixels ToPixels(cairo_surface_t* surface, model::RasterPixels::Space space, bool alpha) {
    model::RasterPixels pixels = EmptyPixels(surface, space, alpha);
    const std::size_t rowBytes = pixels.width * pixels.channels();
    pixels.bytes.resize(rowBytes * pixels.height);
    for (std::size_t y = 0; y < pixels.height; ++y) {
        ConvertRow(SurfaceRow(surface, y), pixels.width, space, alpha, pixels.bytes.data() + y * rowBytes);
    }
    return pixels;
}

bool WritePixels(PictureOutput& output, const model::RasterPixels& pixels) {
    return WriteHeader(output, pixels) && output.Write(pixels.bytes.data(), pixels.bytes.size());
}

bool WriteSurfacePixels(PictureOutput& output, cairo_surface_t* surface, model::RasterPixels::Space space,
                        bool alpha) {
    cairo_surface_flush(surface);
    const model::RasterPixels pixels = EmptyPixels(surface, space, alpha);
    if (!WriteHeader(output, pixels)) {
        return false;
    }
    // Rows converted a few at a time, so that the picture's process holds no second copy of them.
    const std::size_t rowBytes = pixels.width * pixels.channels();
    const std::size_t rowsAtOnce =
        std::max<std::size_t>(1, (std::size_t{256} << 10) / std::max<std::size_t>(rowBytes, 1));
    std::vector<std::uint8_t> rows(rowBytes * rowsAtOnce);
    for (std::size_t y = 0; y < pixels.height;) {
        std::uint8_t* out = rows.data();
        const std::size_t first = y;
        for (; y < pixels.height && y - first < rowsAtOnce; ++y) {
            out = ConvertRow(SurfaceRow(surface, y), pixels.width, space, alpha, out);
        }
        if (!output.Write(rows.data(), static_cast<std::size_t>(out - rows.data()))) {
            return false;
        }
    }
    return true;
}

namespace {

constexpr std::size_t kPixelsHeader = 4 * sizeof(std::uint64_t);

// The pixels' sizes from the header WritePixels wrote; none when it holds no such sizes.
std::optional<model::RasterPixels> ReadPixelsHeader(std::string_view bytes) {
    std::uint64_t header[4];
    if (bytes.size() < kPixelsHeader) {
        return std::nullopt;
    }
    std::memcpy(header, bytes.data(), kPixelsHeader);
    if (header[2] > static_cast<std::uint64_t>(model::RasterPixels::Space::cmyk) || header[3] > 1) {
        return std::nullopt;
    }
    model::RasterPixels pixels;
    pixels.width = static_cast<std::size_t>(header[0]);
    pixels.height = static_cast<std::size_t>(header[1]);
    pixels.space = static_cast<model::RasterPixels::Space>(header[2]);
    pixels.alpha = header[3] == 1;
    return pixels;
}

}  // namespace

std::optional<model::RasterPixels> ReadPixels(std::string_view bytes) {
    std::optional<model::RasterPixels> pixels = ReadPixelsHeader(bytes);
    if (!pixels) {
        return std::nullopt;
    }
    bytes.remove_prefix(kPixelsHeader);
    pixels->bytes.assign(bytes.begin(), bytes.end());
    if (!pixels->isConsistent()) {
        return std::nullopt;
    }
    return pixels;
}

std::optional<model::RasterPixels> ReadPixels(PictureBytes&& bytes) {
    std::optional<model::RasterPixels> pixels = ReadPixelsHeader(bytes.view());
    if (!pixels) {
        return std::nullopt;
    }
    const std::string_view body = bytes.view().substr(kPixelsHeader);
    // Taken a piece at a time, each piece's memory given back once it is taken.
    constexpr std::size_t kPiece = std::size_t{16} << 20;
    pixels->bytes.reserve(body.size());
    for (std::size_t at = 0; at < body.size(); at += kPiece) {
        const std::string_view piece = body.substr(at, kPiece);
        pixels->bytes.insert(pixels->bytes.end(), piece.begin(), piece.end());
        bytes.GiveBack(kPixelsHeader + at + piece.size());
    }
    if (!pixels->isConsistent()) {
        return std::nullopt;
    }
    return pixels;
}

}  // namespace host
