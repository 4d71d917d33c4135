// The extension suite: the state of the host's HTML extensions.
#pragma once

#include "SPTypes.h"

#define kAICSXSExtensionSuite "AI CSXS Extension Suite"
constexpr ASInt32 kAICSXSExtensionSuiteVersion = 1004;

struct AICSXSExtensionSuite {
    AIErr (*GetExtensionState)(const char* extensionId, ai::int32* state);
};
