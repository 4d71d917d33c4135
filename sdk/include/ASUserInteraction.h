// The user-interaction suite: how much the application may ask the user (dialogs, warnings) while
// plug-ins drive it.
#pragma once

#include "SPTypes.h"

#define kASUserInteractionSuite "AS User Interaction Suite"
constexpr ASInt32 kASUserInteractionSuiteVersion = 4;

// -1: never ask; 0: only dialogs of the plug-in itself; 1: local dialogs; 2: everything.
using ASInteractionAllowed = ai::int32;
constexpr ASInteractionAllowed kASInteractWithNone = -1;
constexpr ASInteractionAllowed kASInteractWithSelf = 0;
constexpr ASInteractionAllowed kASInteractWithLocal = 1;
constexpr ASInteractionAllowed kASInteractWithAll = 2;

struct ASUserInteractionSuite {
    AIErr (*GetInteractionAllowed)(ASInteractionAllowed* allowed);
    // kBadParameterErr for a level outside -1 to 2.
    AIErr (*SetInteractionAllowed)(ASInteractionAllowed allowed);
};
