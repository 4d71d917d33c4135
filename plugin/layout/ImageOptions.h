// The raster options of a request, and rasterizing art with them.
#pragma once

#include <optional>

#include <nlohmann/json.hpp>

#include "AIRealMath.h"
#include "art/ArtList.h"

// Colour spaces of rasters: RGB 1, CMYK 2, greyscale 3.
enum ImageColorSpace : int { kImageRGB = 1, kImageCMYK = 2, kImageGrayscale = 3 };

struct ImageOptions {
    int colorSpace = kImageRGB;
    bool transparentBackground = false;
    double resolution = 72.0;  // pixels per inch
    int antiAlias = 2;         // 2 anti-aliased, 0 hard edges
    bool preserveSpotColors = false;
    bool lzwCompression = true;
    std::optional<double> clippingMaskOffset;  // points; none: no clipping

    ImageOptions() = default;
    // Reads "colorSpace" ("RGB", "CMYK", "Grayscale"; absent or empty: the document's colour model),
    // "transparentBackground", "resolution", "antiAlias", "preserveSpotColors", "lzwCompression" and
    // "clippingMaskOffset" (in the document's units). "transparentBackground" and
    // "clippingMaskOffset" are read leniently; the others strictly: a value of another type fails
    // the command (CommandError naming the key). ok is false for another colour space text, a
    // document colour model that can't be read, a resolution that is not a finite number above 0,
    // or an offset that is not finite: such values never reach the host.
    ImageOptions(const nlohmann::json& request, bool& ok);

    // Replaces nothing: draws the list's top-most art (in document order) into a new raster
    // directly above the first of them, and answers it; with a clipping-mask offset, the raster's
    // bounds grown by the offset, and the clip group of the raster and the united outline of the
    // list's paths grown by the offset (the raster alone when there are none). The resolution is
    // scaled by the document's scale and lowered so that the raster is at most 16383 pixels on its
    // longer side, and written back. Null on failure.
    ArtObject* RasterizeArt(const ArtList& list);

    // Draws every layer of the current document within the rectangle at the options' resolution,
    // colour space, transparency and anti-aliasing (as they stand: no scaling, no limit) into a new
    // raster above all art, and answers it. Null when there is no layer or a host call fails.
    ArtObject* RasterizeLayers(const AIRealRect& rect) const;
};

// A compound path without paint and without tags covering the list's paths and compound paths
// (those inside its groups too; a clip group by its clipping path), united (they are consumed) and
// grown by the offset in points on every side (shrunk when it is negative); null when the list holds
// none or a step fails.
ArtObject* ArtToClippingPath(const ArtList& list, double offset);
