// The plug-in list: what the host knows about each loaded plug-in.
#pragma once

#include "SPTypes.h"

#define kSPPluginsSuite "SP Plug-ins Suite"
constexpr ASInt32 kSPPluginsSuiteVersion = 4;

struct SPPluginsSuite {
    // Gives the plug-in the name by which the host lists it.
    SPErr (*SetPluginName)(SPPluginRef plugin, const char* name);
    SPErr (*GetPluginName)(SPPluginRef plugin, const char** name);
};
