// Well-known folders of the host application.
#pragma once

#include "SPTypes.h"

#define kAIFoldersSuite "AI Folders Suite"
constexpr ASInt32 kAIFoldersSuiteVersion = 1005;

using AIFolderType = ai::int32;
// The folder that holds the application's frameworks.
constexpr AIFolderType kAIApplicationFolderType = 52;
// The folder of the arrowhead library ("Arrowheads.ai").
constexpr AIFolderType kAIArrowheadsFolderType = 103;

namespace ai {
class FilePath;
}

struct AIFoldersSuite {
    AIErr (*FindFolder)(AIFolderType type, AIBoolean createFolder, ai::FilePath& folder);
};
