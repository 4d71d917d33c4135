// The area a stroke paints, as outlines: what expanding a stroke turns it into.
#pragma once

#include <vector>

#include "model/ArtStyle.h"
#include "model/PathGeometry.h"

namespace host::model {

// The outlines of the area the stroke paints along the paths (curves flattened), offset by half its
// width on either side with its joins and caps: closed paths of straight segments, outer outlines
// counter-clockwise and holes clockwise (y up), so that either fill rule fills the area. Dashes are
// not followed: a dashed stroke gives the outline of its solid form. Round joins and caps follow
// their arcs to within 0.01 point, or a ten-thousandth of half the width for wide strokes, so that
// the number of points stays bounded whatever the width. Empty for a width of 0, paths without
// anchors, and what canOutlineStroke refuses.
std::vector<PathGeometry> strokeOutline(const std::vector<PathGeometry>& paths, const StrokePaint& stroke);

// Whether the stroke's outline along the paths stays within the range regions work with
// (kLargestRegionCoordinate): the width and miter limit are finite, and every point of the paths
// is far enough inside the range for the outline's reach.
bool canOutlineStroke(const std::vector<PathGeometry>& paths, const StrokePaint& stroke);

}  // namespace host::model
