// Plug-in access: keeps a plug-in loaded in memory while it holds an access reference.
#pragma once

#include "SPTypes.h"

#define kSPAccessSuite "SP Access Suite"
constexpr ASInt32 kSPAccessSuiteVersion = 3;

struct SPAccessSuite {
    SPErr (*AcquirePlugin)(SPPluginRef plugin, SPAccessRef* access);
    SPErr (*ReleasePlugin)(SPAccessRef access);
};
