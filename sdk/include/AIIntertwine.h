// Intertwined art: a container whose children weave over and under one another.
#pragma once

#include "AIArt.h"
#include "SPTypes.h"

#define kAIIntertwineSuite "AI Intertwine Suite"
constexpr ASInt32 kAIIntertwineSuiteVersion = 1001;

struct AIIntertwineSuite {
    // Whether the art is an intertwine object; false for anything else, unknown handles included.
    AIBoolean (*IsIntertwine)(AIArtHandle art);
};
