// The application context: pushed around every piece of plug-in work that touches documents.
#pragma once

#include "SPTypes.h"

#define kAIAppContextSuite "AI Context Suite"
constexpr ASInt32 kAIAppContextSuiteVersion = 1010;

struct AIAppContext;
using AIAppContextHandle = AIAppContext*;

struct AIAppContextSuite {
    AIErr (*PushAppContext)(SPPluginRef plugin, AIAppContextHandle* appContext);
    AIErr (*PopAppContext)(AIAppContextHandle appContext);
};
