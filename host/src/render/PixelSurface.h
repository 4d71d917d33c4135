// The renderer's pixels: raster pixels of the document (grey, RGB or CMYK, with or without alpha)
// as cairo's premultiplied ARGB images, and cairo's images back as raster pixels.
#pragma once

#include <optional>
#include <string_view>

#include "model/ArtContent.h"
#include "render/CairoHandles.h"

namespace host {

// A new image surface of the pixels; null when cairo can't hold them (a side beyond its limit).
CairoSurface PixelSurface(const model::RasterPixels& pixels);

// The same, released to the caller, who destroys it.
cairo_surface_t* MakePixelSurface(const model::RasterPixels& pixels);

// The image surface's pixels in the colour space, with an alpha channel when asked for.
model::RasterPixels ToPixels(cairo_surface_t* surface, model::RasterPixels::Space space, bool alpha);

class PictureOutput;
class PictureBytes;

// Pixels as a picture's process hands them back (PictureProcess.h), and read back here; none when
// the bytes don't hold pixels that agree with their size.
bool WritePixels(PictureOutput& output, const model::RasterPixels& pixels);
// The image surface's pixels written as WritePixels writes them, without holding them twice.
bool WriteSurfacePixels(PictureOutput& output, cairo_surface_t* surface, model::RasterPixels::Space space,
                        bool alpha);
std::optional<model::RasterPixels> ReadPixels(std::string_view bytes);
// The same from what a picture's process made, whose memory is given back as the pixels are taken,
// so that the picture is held about once, not twice.
std::optional<model::RasterPixels> ReadPixels(PictureBytes&& bytes);

}  // namespace host
