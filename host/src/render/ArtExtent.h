// Where on the surface an object's drawing can reach, so that the images an object is composited in
// (for its opacity, its blend mode or its effects) are the size of what they hold rather than the
// size of all the surface shows, and so that what lies wholly outside the surface is not drawn.
#pragma once

#include <optional>

#include "model/Document.h"
#include "render/ArtWalk.h"
#include "render/RenderContext.h"

namespace host {

// How far a stroke reaches beyond the geometry: half the width, times the miter limit at a mitred
// corner, or at a projecting cap's corner (half the width times the square root of 2).
double StrokeReach(const model::StrokePaint& stroke);
// The farthest reach of the style's strokes.
double StrokeReach(const model::ArtStyle& style);

// The rectangle, in the object's own coordinates, that holds everything drawing the object can touch:
// its geometry, its strokes (StrokeReach), its effects' reach and a pixel's margin for antialiasing.
// Empty for an object that draws nothing (hidden, or a group of such); none when it is not known
// beforehand (text, symbol instances, or a group that holds them).
std::optional<model::Rect> DrawnExtent(const ArtRef& art);

}  // namespace host
