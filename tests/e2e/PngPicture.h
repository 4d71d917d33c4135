// Reading the host's PNG pictures back with cairo, for tests that look at what was drawn.
#pragma once

#include <cairo.h>

#include <array>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>

namespace pngpicture {

struct SurfaceDeleter {
    void operator()(cairo_surface_t* surface) const { cairo_surface_destroy(surface); }
};
using Picture = std::unique_ptr<cairo_surface_t, SurfaceDeleter>;

// The picture in the PNG file; check cairo_surface_status before reading it.
inline Picture ReadPng(const std::string& file) {
    return Picture(cairo_image_surface_create_from_png(file.c_str()));
}

// The RGB of a pixel; (x, y) from the top-left corner.
inline std::array<int, 3> PixelOf(cairo_surface_t* image, int x, int y) {
    const unsigned char* row =
        cairo_image_surface_get_data(image) + y * cairo_image_surface_get_stride(image);
    std::uint32_t pixel = 0;
    std::memcpy(&pixel, row + 4 * x, 4);
    return {static_cast<int>((pixel >> 16) & 0xFF), static_cast<int>((pixel >> 8) & 0xFF),
            static_cast<int>(pixel & 0xFF)};
}

}  // namespace pngpicture
