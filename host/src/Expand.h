// The application's expand: turning the appearance of art into plain art in its place.
#pragma once

#include <cstdint>

#include "model/Document.h"

namespace host {

// Expands the art as the flags (AIExpandFlagValue) say:
// - kExpandStroke: a path or compound path whose strokes paint is replaced, in its place in the
//   stacking order, by its fill (a copy of it without strokes, when a fill paints) and one filled
//   outline per painting stroke (a path, or a compound path when the outline has holes or several
//   parts), grouped when there is more than one; the result takes the art's name, tags and
//   dictionary.
// - kExpandText: a text frame is replaced by its outlines.
// Fills of plain colour are plain art already, and art with nothing to expand stays as it is (ok).
// invalidHandle: art that is not valid. badParameter (nothing changes): a stroke whose outline would
// reach beyond model::kLargestRegionCoordinate.
model::Status ExpandArt(model::Document& document, model::ArtId art, std::int32_t flags);

}  // namespace host
