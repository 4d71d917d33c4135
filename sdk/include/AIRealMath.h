// Geometry value types shared by the host and its plug-ins. Coordinates are points; the vertical
// axis grows upward, so a rectangle's top is greater than its bottom.
#pragma once

#include "SPTypes.h"

#define kAIRealMathSuite "AI Real Math Suite"
constexpr ASInt32 kAIRealMathSuiteVersion = 1005;

struct AIRealPoint {
    AIReal h = 0;  // horizontal
    AIReal v = 0;  // vertical, growing upward
};

// An axis-aligned rectangle: left <= right and bottom <= top for a rectangle that is not empty.
struct AIRealRect {
    AIReal left = 0;
    AIReal top = 0;
    AIReal right = 0;
    AIReal bottom = 0;
};

// An affine matrix mapping (x, y) to (a*x + c*y + tx, b*x + d*y + ty).
struct AIRealMatrix {
    AIReal a = 1;
    AIReal b = 0;
    AIReal c = 0;
    AIReal d = 1;
    AIReal tx = 0;
    AIReal ty = 0;
};
