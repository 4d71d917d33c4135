// What aligning and distributing share: the alignment of one object to a rectangle, and an object
// seen along one axis.
#pragma once

#include <string>

#include "AIRealMath.h"
#include "art/ArtList.h"
#include "layout/ReferencePoints.h"

// Moves the art so that its anchor meets the same anchor of the key rectangle, along the axes of
// the direction ("h", "v" or "hv"; any other text moves nothing). False, moving nothing, when the
// art can't be measured or the application refuses the move.
bool AlignArtToKey(ArtObject* art, const AIRealRect& key, const std::string& anchor,
                   const std::string& direction, BoundsOptions options);

// One object along one axis: its low and high edges (left and right, or bottom and top) and the
// coordinate of its anchor point (mode "move": unknown anchor names mean the top-left).
class ArtWithSegment {
public:
    ArtWithSegment(ArtObject* art, bool horizontal, const std::string& anchor, bool& ok,
                   BoundsOptions options);

    // Moves the object along the axis and its record with it; a move the application refuses leaves
    // both as they were and marks the record refused.
    void Translate(double distance, bool horizontal);

    ArtObject* art = nullptr;
    double start = 0.0;
    double end = 0.0;
    double anchor = 0.0;
    bool refused = false;
};

// Ascending anchor coordinates.
bool CompareArtWithSegment(const ArtWithSegment& a, const ArtWithSegment& b);
