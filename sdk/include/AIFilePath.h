// File paths as the host holds them, reached through opaque references.
// Plug-ins use the ai::FilePath class (IAIFilePath.hpp).
#pragma once

#include "SPTypes.h"

#define kAIFilePathSuite "AI File Path Suite"
constexpr ASInt32 kAIFilePathSuiteVersion = 1008;

struct AIFilePathImpl;
using AIFilePathRef = AIFilePathImpl*;

namespace ai {
class FilePath;
}

struct AIFilePathSuite {
    AIErr (*Create)(const char* utf8Path, AIFilePathRef* out);
    AIErr (*Dispose)(AIFilePathRef path);
    AIErr (*Duplicate)(AIFilePathRef path, AIFilePathRef* out);
    // The path as UTF-8 text; valid until the path changes or is disposed.
    AIErr (*GetPath)(AIFilePathRef path, const char** utf8Path);
    AIErr (*Set)(AIFilePathRef path, const char* utf8Path);
    // Appends one component, adding a separator where needed; a leading separator of the
    // component is not doubled.
    AIErr (*AddComponent)(AIFilePathRef path, const char* component);
    // Whether the file or folder exists; *isFile tells which when it does. Links are resolved only
    // when asked.
    AIBoolean (*Exists)(const ai::FilePath& path, AIBoolean resolveLinks, AIBoolean* longPath,
                        AIBoolean* isFile);
};
