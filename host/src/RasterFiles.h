// The application's raster files: PSD (its own writer) and TIFF (libtiff) made from a raster's
// pixels, with the resolution and the document's XMP packet, each written atomically.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include "model/ArtContent.h"

namespace host {

struct RasterFileOptions {
    double resolution = 72.0;    // pixels per inch, recorded in the file
    std::string_view xmpPacket;  // the document's packet; empty: none is written
    bool lzwCompression = true;  // TIFF only
};

// A flat PSD: the pixels (grey, RGB or CMYK, 8 bits, an alpha channel as the last channel),
// uncompressed; a ResolutionInfo resource (1005) and, with a packet, the XMP resource (1060).
bool WritePsdFile(const model::RasterPixels& pixels, const RasterFileOptions& options,
                  const std::filesystem::path& file, std::string* error);

// A TIFF of one directory with the pixels (alpha as an unassociated extra sample), the resolution
// in inches, and the metadata the application writes into its TIFF files: the XMP packet (700), an
// IPTC record (33723), image resources (34377) and an Exif directory (34665).
bool WriteTiffFile(const model::RasterPixels& pixels, const RasterFileOptions& options,
                   const std::filesystem::path& file, std::string* error);

}  // namespace host
