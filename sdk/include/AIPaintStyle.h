// The paint-style suite: paint settings of an art object that the path-style record does not carry.
#pragma once

#include "AIArt.h"
#include "SPTypes.h"

#define kAIPaintStyleSuite "AI Paint Style Suite"
constexpr ASInt32 kAIPaintStyleSuiteVersion = 1010;

// Where a stroke lies along its path.
enum AIStrokeAlignmentType : ai::int32 {
    kAIStrokeAlignmentCenter = 0,
    kAIStrokeAlignmentInside = 1,
    kAIStrokeAlignmentOutside = 2,
};

// Operations answer kNoDocumentErr without a document and kBadParameterErr for stale art, a null
// out-pointer or an unknown alignment.
struct AIPaintStyleSuite {
    // The alignment of the art's focus stroke; kBadParameterErr when its style has no stroke.
    AIErr (*GetStrokeAlignment)(AIArtHandle art, ai::int32* alignment);
    // Aligns the art's focus stroke (its parameter "StrokeOffsetInside": true inside, false outside,
    // absent centred); kBadParameterErr when its style has no stroke.
    AIErr (*SetStrokeAlignment)(AIArtHandle art, ai::int32 alignment);
};
