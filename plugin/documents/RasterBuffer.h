// Pixels of a host raster as bytes: rows from the top without padding, each pixel's channels
// interleaved in the host's order (alpha first when the raster has alpha), 8 bits per channel.
#pragma once

#include <cstddef>
#include <vector>

struct RasterBuffer {
    std::vector<unsigned char> data;
    std::size_t width = 0;
    std::size_t height = 0;
    std::size_t channels = 0;  // bytes per pixel

    // data holds exactly width × height × channels bytes.
    bool IsConsistent() const;
    // Cuts dx columns off the left and right and dy rows off the top and bottom. False when
    // nothing would be left.
    bool Trim(std::size_t dx, std::size_t dy, RasterBuffer& out) const;
    // Moves the first channel of every pixel (the host's alpha) to its end, as image files keep it.
    bool MoveAlphaFromBeginToEnd(RasterBuffer& out) const;
};

// The border in pixels that the raster export adds on every side and the writers cut off again.
inline constexpr std::size_t kRasterBorder = 3;
