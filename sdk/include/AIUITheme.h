// The user-interface theme: the colours of the host's own panels.
#pragma once

#include "SPTypes.h"

#define kAIUIThemeSuite "AI User Interface Theme Suite"
constexpr ASInt32 kAIUIThemeSuiteVersion = 1002;

struct AIUIThemeColor {
    AIReal alpha;
    AIReal red;
    AIReal green;
    AIReal blue;
};

using AIUIThemeSelector = ai::int32;
using AIUIComponentColor = ai::int32;

struct AIUIThemeSuite {
    AIErr (*GetUIComponentColor)(AIUIComponentColor component, AIUIThemeSelector theme,
                                 AIUIThemeColor& color);
};
