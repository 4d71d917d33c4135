// The text engine's paints and the application's colours.
#pragma once

#include "AIPathStyle.h"
#include "ATESuites.h"

#define kAIATEPaintSuite "AIATE Paint Suite"
constexpr ASInt32 kAIATEPaintSuiteVersion = 1003;

struct AIATEPaintSuite {
    // The colour of a paint (kind kNoneColor for a fill or stroke that is off).
    AIErr (*GetAIColor)(ApplicationPaintRef paint, AIColor* color);
    // A new paint of the colour, with one count. kBadParameterErr for components outside 0 to 1.
    AIErr (*CreateATEApplicationPaint)(const AIColor* color, ApplicationPaintRef* paint);
};
