// The area a stroke paints, as outlines: what expanding a stroke turns it into.
#pragma once

#include <vector>

#include "model/ArtStyle.h"
#include "model/PathGeometry.h"

namespace host::model {

// The outlines of the area the stroke paints along the paths (curves flattened), offset by half its
// width on either side with its joins and caps: closed paths of straight segments, outer outlines
// counter-clockwise and holes clockwise (y up), so that either fill rule fills the area. Dashes are
// not followed: a dashed stroke gives the outline of its solid form. Empty for a width of 0 or
// paths without anchors.
std::vector<PathGeometry> strokeOutline(const std::vector<PathGeometry>& paths, const StrokePaint& stroke);

}  // namespace host::model
