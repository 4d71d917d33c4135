// The transform art suite: applies a matrix to an art object, its line widths and its patterns.
#pragma once

#include "AIArt.h"
#include "AIRealMath.h"
#include "SPTypes.h"

#define kAITransformArtSuite "AI Transform Art Suite"
constexpr ASInt32 kAITransformArtSuiteVersion = 1003;

// What a transformation changes, combined by or.
enum AITransformArtOptions : ai::int32 {
    // The geometry: path points and their direction points, the matrices of text frames, placed
    // art, rasters and symbol instances. A container transformed with it takes everything below it
    // along; without it the container's members stay where they are.
    kTransformObjects = 1,
    kTransformFillPatterns = 4,    // the art's fill pattern is transformed with it
    kTransformStrokePatterns = 8,  // the art's stroke pattern is transformed with it
    kScaleLines = 16,              // stroke widths are multiplied by the line scale
};

struct AITransformArtSuite {
    // Transforms the art as the options say. lineScale is used only with kScaleLines and must be
    // finite and not negative. kBadParameterErr for unknown art, a null or non-finite matrix or a
    // bad line scale; kNoDocumentErr without a document.
    AIErr (*TransformArt)(AIArtHandle art, const AIRealMatrix* matrix, AIReal lineScale, ai::int32 options);
};
