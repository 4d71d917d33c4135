// The preference suite: named settings kept by the application between sessions.
//
// A preference is named by a prefix and a name. A null (or empty) prefix names the application's
// own preferences, such as "includeStrokeInBounds" (measure with strokes) and
// "policyForPreservingCorners" (1: scale rounded corners with the art, 2: keep them); a plug-in
// keeps its own under a prefix of its choice.
#pragma once

#include "SPTypes.h"

#define kAIPreferenceSuite "AI Preference Suite"
constexpr ASInt32 kAIPreferenceSuiteVersion = 1007;

// kBadParameterErr for a null name or out-pointer; reading a preference that is not set is
// kBadParameterErr too (ask IsSet first). A boolean read as an integer is 0 or 1; an integer read
// as a boolean is whether it is not 0. Writing sets the preference, with the type written.
struct AIPreferenceSuite {
    AIErr (*GetBooleanPreference)(const char* prefix, const char* name, AIBoolean* value);
    AIErr (*PutBooleanPreference)(const char* prefix, const char* name, AIBoolean value);
    AIErr (*GetIntegerPreference)(const char* prefix, const char* name, ai::int32* value);
    AIErr (*PutIntegerPreference)(const char* prefix, const char* name, ai::int32 value);
    // Whether the preference has a value.
    AIErr (*IsSet)(const char* prefix, const char* name, AIBoolean* isSet);
};
