// The user suite: error reports and user-facing utilities.
#pragma once

#include "SPTypes.h"

#define kAIUserSuite "AI User Suite"
constexpr ASInt32 kAIUserSuiteVersion = 1021;

struct AIUserSuite {
    // Shows nothing in the stand-in; records the report so that it can be inspected.
    void (*ErrorAlert)(AIErr error);
};
