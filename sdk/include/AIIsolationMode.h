// Isolation mode: editing one group, layer, object or pattern apart from the rest of the
// document.
#pragma once

#include "SPTypes.h"

#define kAIIsolationModeSuite "AI Isolation Mode"
constexpr ASInt32 kAIIsolationModeSuiteVersion = 1006;

enum AIIsolationModeType : ai::int32 {
    kAINotIsolated = 0,
    kAIGroupOrLayerIsolation = 1,  // a group or sublayer is isolated
    kAISingleArtIsolation = 2,     // one object (a path, a compound path) is isolated
    kAIPatternEditIsolation = 3,   // a pattern's tile is being edited
};

struct AIIsolationModeSuite {
    // Whether the current document is in isolation mode.
    AIBoolean (*IsInIsolationMode)(void);
    // The kind of isolation in force; kAINotIsolated outside isolation mode or without a document.
    AIIsolationModeType (*GetIsolationModeType)(void);
};
