// Colour values as such: comparing two colours.
#pragma once

#include "AIPathStyle.h"

#define kAIColorSuite "AI Color Suite"
constexpr ASInt32 kAIColorSuiteVersion = 1001;

struct AIColorSuite {
    // True when both colours are of one kind with equal components (custom colours: the same
    // custom colour at the same tint; gradients and patterns: the same one). False for a null one.
    AIBoolean (*IsEqual)(const AIColor* a, const AIColor* b);
};
