// Tag entries: named, typed values attached to art objects and kept with them in the document
// (saved, copied with the art, undone and redone). An object's entries are ordered by name,
// byte-wise ascending; an entry's position (GetNthTag) is its rank in that order.
#pragma once

#include "AIArt.h"
#include "SPTypes.h"

#define kAITagSuite "AI Tag Suite"
constexpr ASInt32 kAITagSuiteVersion = 1004;

// The one value type plug-ins use: a null-terminated UTF-8 text.
#define kAITagStringType "string"

// Every operation answers kBadParameterErr for a disposed or unknown art handle, a null name or
// a type the host does not hold ("string" is the one it holds).
struct AITagSuite {
    // Sets the entry of that name, replacing any entry of the same name. For "string", value
    // points to the null-terminated text, which the host copies.
    AIErr (*SetTag)(AIArtHandle art, const char* name, const char* type, const void* value);
    // Reads the entry of that name; an entry that is missing or of another type is an error
    // (kBadParameterErr). For "string", value points to a const char* that receives the host's
    // copy of the text, valid until the art's entries change or the art is disposed.
    AIErr (*GetTag)(AIArtHandle art, const char* name, const char* type, void* value);
    // Removes the entry of that name; a missing entry is an error (kBadParameterErr).
    AIErr (*RemoveTag)(AIArtHandle art, const char* name);
    // The number of entries of the art.
    AIErr (*CountTags)(AIArtHandle art, ai::int32* count);
    // The name of the entry at a 0-based position; a position out of range is kBadParameterErr.
    // The text is the host's, valid until the art's entries change or the art is disposed.
    AIErr (*GetNthTag)(AIArtHandle art, ai::int32 n, const char** name);
};
