// The application context: pushed around every piece of plug-in work that touches documents.
#pragma once

#include "AIDocument.h"
#include "SPTypes.h"

#define kAIAppContextSuite "AI Context Suite"
constexpr ASInt32 kAIAppContextSuiteVersion = 1010;

struct AIAppContext;
using AIAppContextHandle = AIAppContext*;

struct AISuspendedAppContextRecord;
using AISuspendedAppContext = AISuspendedAppContextRecord*;

struct AIAppContextSuite {
    AIErr (*PushAppContext)(SPPluginRef plugin, AIAppContextHandle* appContext);
    AIErr (*PopAppContext)(AIAppContextHandle appContext);
    // Suspends the application context of an open document while the application itself works on
    // it (a writer saving it); each suspension is resumed once, for the same document.
    AIErr (*SuspendAppContext)(AIDocumentHandle document, AISuspendedAppContext* suspended);
    AIErr (*ResumeAppContext)(AISuspendedAppContext suspended, AIDocumentHandle document);
};
