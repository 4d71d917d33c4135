// The preparation of a raster export job: the current document cut down to the job's art, layers
// and artboards, the area to draw measured, the export scale and the two resolutions settled
// ("resolution" to draw at, "fileResolution" to record in the file, both written into the job),
// art optionally snapped to the pixel grid, and background, padding and bleed laid out as art on
// two new layers. The rectangle to draw includes the 3-pixel border the writers cut off again.
#pragma once

#include <string>

#include <nlohmann/json.hpp>

#include "AIRealMath.h"
#include "art/ArtList.h"

// Padding or bleed in points per side, from a number (every side) or an object with "left",
// "right", "top" and "bottom" in the document's current unit; all 0 when absent or of another type.
struct PaddingData {
    double left = 0;
    double right = 0;
    double top = 0;
    double bottom = 0;

    PaddingData() = default;
    PaddingData(const nlohmann::json& job, const std::string& key);
};

// False with the error set ("Can't find an art to export", "Can't find layers to export", "Can't
// remove artboards from the document", "Can't get objects size", "Can't get artboards size",
// "Can't get an export scale", "Can't add a clipping").
bool PrepareRasterExport(nlohmann::json& job, const ArtList& selectedArt, AIRealRect& exportRect,
                         std::string& error);

// "scale" when it is above 0, else "width" or "height" (current unit) over the size; false for a
// "scale" of 0 or below, or an area without width or height.
bool GetScaleFromJson(const nlohmann::json& job, AIRealPoint size, double& scale);

// Every side on the grid of pixels at the resolution (72 / resolution points; 1 without one),
// an exact half rounded towards +infinity.
AIRealRect AlignRectangleToPixelGrid(AIRealRect rect, double resolution);
