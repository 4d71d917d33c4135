// The writers of raster export jobs: the current document drawn within the job's rectangle, the
// 3-pixel border cut off, and the pixels written as PNG or JPEG by the plug-in, or as PSD or TIFF
// by the host's raster export, whose resolution the plug-in then patches in the file. Each takes
// the job (its raster options, "jpegQuality", and "resolution" and "fileResolution" as the
// preparation set them), the file to write and the rectangle to draw; each answers false on
// failure, with a message in error where there is one. They add raster art to the document; the
// job runner takes its changes back.
#pragma once

#include <string>

#include <nlohmann/json.hpp>

#include "AIRaster.h"
#include "AIRealMath.h"
#include "art/ArtList.h"
#include "documents/ExportFormats.h"
#include "documents/RasterBuffer.h"

// ExportPng, ExportJpeg, ExportTiff and ExportPsd are declared with the format table
// (ExportFormats.h). The host's raster export writes both PSD (psd true) and TIFF.
bool ExportPsdTiff(const nlohmann::json& job, const std::string& path, bool psd, const AIRealRect& rect,
                   std::string& error);

// The pixels of raster art in the host's channel order; false for other art, a colour space of
// another channel count than 1 to 5, or a host failure.
bool ReadRasterBuffer(ArtObject* raster, RasterBuffer& out);
// The same without a border of that many pixels on every side, read straight from the host; with
// alphaLast the alpha channel comes after the colour, as image files keep it. False as above, and
// when the border leaves nothing.
bool ReadRasterArea(ArtObject* raster, std::size_t border, bool alphaLast, RasterBuffer& out);
// A new raster art at the paint order relative to the prep art, holding the buffer's pixels in
// the record's colour space (its bounds become the buffer's size); null when the record's channels
// differ from the buffer's or a host call fails (a raster made on the way is not left behind).
ArtObject* ToAIRaster(const RasterBuffer& buffer, AIRasterRecord record, ai::int16 order, ArtObject* prep);
