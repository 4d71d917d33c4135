// The undo suite: how a plug-in's changes join the document's undo history.
#pragma once

#include "SPTypes.h"

#define kAIUndoSuite "AI Undo Suite"
constexpr ASInt32 kAIUndoSuiteVersion = 1012;

enum AIUndoContextKind : ai::int32 {
    kAIStandardUndoContext = 0,  // the changes form an undo step of their own
    kAISilentUndoContext = 1,
    kAIAppendUndoContext = 2,    // the changes join the current undo step
};

struct AIUndoSuite {
    AIErr (*SetKind)(ai::int32 kind);
};
