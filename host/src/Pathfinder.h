// The application's pathfinder: the ten shape operations over paths, compound paths and groups of
// them, worked out with real geometry (model::Region) and put into the document where the
// application puts their results.
#pragma once

#include <span>

#include "model/Document.h"

namespace host {

enum class PathfinderOperation {
    unite,       // one shape covering every operand
    intersect,   // the area every operand covers
    exclude,     // the area an odd number of operands covers
    minusFront,  // the back-most operand less the others
    minusBack,   // the front-most operand less the others
    divide,      // every piece the outlines cut the shapes into
    trim,        // the visible part of every operand
    merge,       // trim, then visible parts painted alike united
    crop,        // every operand but the front-most cut to the front-most
    outline,     // open paths along the outlines of the pieces of divide
};

// Whether the operation answers with a group of pieces (divide, trim, merge, crop, outline).
bool MakesGroup(PathfinderOperation operation);

// Runs the operation. The operands (in any order: their stacking in the document decides) are
// disposed of and the result takes their place: one path or compound path directly above the
// front-most operand (above the back-most for minusFront), or a group of the pieces there. The
// result takes the paint of its operand (the front-most for unite, intersect, exclude and
// minusBack); divide, trim, merge and crop drop strokes.
//
// badParameter (nothing changes): no operands, a stale handle, a layer group, one operand inside
// another or given twice, anything but paths, compound paths and groups of them, or a point beyond
// model::kLargestRegionCoordinate (the clipping library's range). notFound
// (nothing changes): the operation leaves no area.
model::Result<model::ArtId> RunPathfinder(model::Document& document, PathfinderOperation operation,
                                          std::span<const model::ArtId> operands);

}  // namespace host
