// PNG and JPEG files made from raster buffers, with their resolution recorded in the file, and
// the resolutions a raster export works with.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "documents/RasterBuffer.h"

// The largest side a JPEG encoder accepts, in pixels.
inline constexpr std::size_t kLargestJpegSide = 65500;
// PNG and JPEG files record the resolution only up to these; outside 1..largest they get 72.
inline constexpr std::int64_t kLargestPngResolution = 1664;
inline constexpr std::int64_t kLargestJpegResolution = 65535;

std::uint32_t ResolutionWithin(std::int64_t resolution, std::int64_t largest);

// An 8-bit PNG (channels 1 grey, 2 grey and alpha, 3 RGB, 4 RGBA; alpha last) with pHYs of the
// resolution (pixels per inch), sRGB, gAMA and cHRM. False when lodepng refuses the pixels.
bool EncodePng(const RasterBuffer& pixels, std::int64_t resolution, std::vector<unsigned char>& png);

// "jpegQuality": "Low" 80, "Medium" 90, "High" 95, anything else 100.
int JpegQuality(std::string_view name);

// A baseline JFIF JPEG without chroma subsampling (channels 1 grey, 3 RGB) whose density is the
// resolution in dots per inch. False, with the encoder's message in error when it gives one, for
// other channel counts, a side above kLargestJpegSide or an encoder failure. Encoder errors come
// back here; they never end the application.
bool EncodeJpeg(const RasterBuffer& pixels, int quality, std::int64_t resolution,
                std::vector<unsigned char>& jpeg, std::string& error);

// Writes the bytes over the file (created, or truncated first). False when any step fails.
bool WriteFileBytes(const std::string& path, std::span<const unsigned char> bytes);

// The resolutions of a raster export: the file resolution is the requested one times the document
// scale, lowered (to a whole number, rounded down) so that the longest side and the raster's border
// stay within 16383 pixels; the rasterising resolution is that times the export scale. Otherwise
// both are rounded half away from zero. False when the rasterising
// resolution falls outside 1..2^31-1 (or a value is not finite): no such raster can be drawn.
bool ExportResolutions(double requested, double documentScale, double longestSide, double scale,
                       int& resolution, int& fileResolution);
