// Groups: whether a group is a clip group, in which the child marked as clipping mask
// (kArtIsClipMask) clips the others.
#pragma once

#include "AIArt.h"
#include "SPTypes.h"

#define kAIGroupSuite "AI Group Suite"
constexpr ASInt32 kAIGroupSuiteVersion = 1005;

// Both operations answer kBadParameterErr for art that is not a group.
struct AIGroupSuite {
    AIErr (*GetGroupClipped)(AIArtHandle group, AIBoolean* clipped);
    AIErr (*SetGroupClipped)(AIArtHandle group, AIBoolean clipped);
};
