// Text utilities: where text stands.
#pragma once

#include "AIArt.h"
#include "ATESuites.h"

#define kAITextUtilSuite "AI ATE Text Util Suite"
constexpr ASInt32 kAITextUtilSuiteVersion = 1004;

// A unit of the range is not laid out in any frame (it is overset).
constexpr AIErr kInvalidBoundsErr = FourCharCode("INVB");

struct AITextUtilSuite {
    // The bounds of the range's glyphs in document coordinates: the union of each unit's advance
    // box from its line's ascent to its descent. kInvalidBoundsErr when a unit is not laid out,
    // kBadParameterErr for an empty range.
    AIErr (*GetBoundsFromTextRange)(TextRangeRef range, AIRealRect* bounds);
};
