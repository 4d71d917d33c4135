// Live effects: the effects the application knows, by their internal names. A style's effects
// name one of them (AIArtStyleParser.h reads them).
#pragma once

#include "SPTypes.h"

#define kAILiveEffectSuite "AI Live Effect Suite"
constexpr ASInt32 kAILiveEffectSuiteVersion = 1007;

struct _t_AILiveEffectOpaque;
using AILiveEffectHandle = _t_AILiveEffectOpaque*;

struct AILiveEffectSuite {
    // The effect's internal name (valid for the life of the application) and version.
    // kBadParameterErr for a handle that names no effect or a null out-pointer.
    AIErr (*GetLiveEffectNameAndVersion)(AILiveEffectHandle effect, const char** name, ai::int32* major,
                                         ai::int32* minor);
    // The effect of that internal name; kNameNotFoundErr when the application knows none.
    AIErr (*GetLiveEffectByName)(const char* name, AILiveEffectHandle* effect);
};
