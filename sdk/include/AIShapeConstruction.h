// Shape construction: new paths of common shapes, placed at the document's insertion point
// (AIArtSuite::SetInsertionPoint).
#pragma once

#include "AIArt.h"
#include "SPTypes.h"

#define kAIShapeConstructionSuite "AI Shape Construction Suite"
constexpr ASInt32 kAIShapeConstructionSuiteVersion = 1008;

struct AIShapeConstructionSuite {
    // A closed path of four corner points, the rectangle's edges in document coordinates (y up:
    // top >= bottom, right >= left). The anchors run clockwise from the top-left corner, or
    // counter-clockwise when reversed. kBadParameterErr for an inverted or non-finite rectangle.
    AIErr (*NewRect)(AIReal top, AIReal left, AIReal bottom, AIReal right, AIBoolean reversed,
                     AIArtHandle* newArt);
};
