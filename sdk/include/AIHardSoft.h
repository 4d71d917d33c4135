// The hard/soft suite: conversion between the document's own coordinates and the ruler
// coordinates people read in the application.
//
// Document coordinates (system 0, "hard") are the art coordinates of every other suite: points, y
// growing upward. Artboard coordinates (system 1, "soft") are what the rulers show: their origin is
// the active artboard's ruler origin (its top-left corner unless moved) and y grows downward.
#pragma once

#include "AIRealMath.h"
#include "SPTypes.h"

#define kAIHardSoftSuite "AI Hard Soft Suite"
constexpr ASInt32 kAIHardSoftSuiteVersion = 1006;

enum AICoordinateSystem : ai::int16 {
    kAIDocumentCoordinateSystem = 0,
    kAIArtboardCoordinateSystem = 1,
};

struct AIHardSoftSuite {
    // Converts the point in place from one system to the other. A vector (isVector true) is a
    // distance: only the direction of the axes changes, the origin plays no part.
    // kBadParameterErr for a null point or an unknown system; kNoDocumentErr without a document.
    AIErr (*ConvertCoordinates)(AIRealPoint* point, ai::int16 from, ai::int16 to, AIBoolean isVector);
};
