// Paths: whether a path is closed and whether it is a guide.
#pragma once

#include "AIArt.h"
#include "SPTypes.h"

#define kAIPathSuite "AI Path Suite"
constexpr ASInt32 kAIPathSuiteVersion = 1013;

// Every operation answers kNoDocumentErr without a document and kBadParameterErr for art that is
// not a path and a null out-pointer.
struct AIPathSuite {
    AIErr (*GetPathClosed)(AIArtHandle path, AIBoolean* closed);
    AIErr (*SetPathClosed)(AIArtHandle path, AIBoolean closed);
    AIErr (*GetPathGuide)(AIArtHandle path, AIBoolean* isGuide);
    AIErr (*SetPathGuide)(AIArtHandle path, AIBoolean isGuide);
};
