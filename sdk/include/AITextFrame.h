// Text frames: the art that shows a story's text. Only outlining is declared here so far.
#pragma once

#include "AIArt.h"
#include "SPTypes.h"

#define kAITextFrameSuite "AI Text Frame Suite"
constexpr ASInt32 kAITextFrameSuiteVersion = 1004;

struct AITextFrameSuite {
    // Creates art that paints as the frame's text: a group of the glyphs' shapes, placed
    // directly above the frame. The frame itself is left as it was. kBadParameterErr when the art
    // is not a text frame.
    AIErr (*CreateOutline)(AIArtHandle textFrame, AIArtHandle* outline);
};
