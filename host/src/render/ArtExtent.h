// Where on the surface an object's drawing can reach, so that the images an object is composited in
// (for its opacity, its blend mode or its effects) are the size of what they hold rather than the
// size of all the surface shows.
#pragma once

#include <optional>

#include "model/Document.h"

namespace host {

// The rectangle, in the object's own coordinates, that holds everything drawing the object can touch:
// its geometry, its strokes (mitred joins included), its effects' reach and a pixel's margin for
// antialiasing. Empty for an object that draws nothing (hidden, or a group of such); none when it
// is not known beforehand (text, symbol instances, or a group that holds them).
std::optional<model::Rect> DrawnExtent(const model::Document& document, const model::ArtNode& art);
std::optional<model::Rect> DrawnExtent(const model::Document& document, const model::ArtTree& art);

}  // namespace host
