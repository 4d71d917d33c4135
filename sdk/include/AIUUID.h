// Unique identifiers of art objects: stable for an object's life, kept when the document is saved
// and opened again, and across undo and redo. A copy of art gets new ones.
#pragma once

#include "AIArt.h"
#include "IAIUnicodeString.h"
#include "SPTypes.h"

#define kAIUUIDSuite "AI UUID Suite"
constexpr ASInt32 kAIUUIDSuiteVersion = 1003;

struct AIUUID {
    unsigned char bytes[16] = {};
};

struct AIUUIDSuite {
    // The art's identifier; kBadParameterErr for a disposed or unknown handle.
    AIErr (*GetArtUUID)(AIArtHandle art, AIUUID* uuid);
    // The identifier as text: 36 characters, lower-case hexadecimal digits in groups of 8, 4, 4, 4
    // and 12 joined by "-".
    AIErr (*GetUUIDAsString)(const AIUUID& uuid, ai::UnicodeString& text);
};
