// Symbols: named artwork definitions of a document, placed as symbol instances.
#pragma once

#include "IAIUnicodeString.h"

#define kAISymbolSuite "AI Symbol Suite"
constexpr ASInt32 kAISymbolSuiteVersion = 1008;

struct AIPattern;
using AIPatternHandle = AIPattern*;

struct AISymbolSuite {
    // Counts the current document's symbols; unlisted ones too when asked.
    AIErr (*CountSymbolPatterns)(ai::int32* count, ASBoolean includeUnlisted);
    AIErr (*GetNthSymbolPattern)(ai::int32 index, AIPatternHandle* symbol, ASBoolean includeUnlisted);
    AIErr (*GetSymbolPatternName)(AIPatternHandle symbol, ai::UnicodeString& name);
};
