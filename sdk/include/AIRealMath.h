// Geometry value types shared by the host and its plug-ins, and the real math suite that builds
// and applies matrices and unites rectangles. Coordinates are points; the vertical axis grows
// upward, so a rectangle's top is greater than its bottom.
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

// Matrices and rectangles. The operations cannot fail; like every host operation they can be made
// to by fault injection, and a failed one leaves its output as it was.
//
// A matrix maps (x, y) to (a*x + c*y + tx, b*x + d*y + ty): c carries the horizontal shear (x
// grows with y), b the vertical one. Angles are radians, counter-clockwise in the y-up space.
struct AIRealMathSuite {
    void (*AIRealMatrixSetIdentity)(AIRealMatrix* matrix);
    void (*AIRealMatrixSetTranslate)(AIRealMatrix* matrix, AIReal tx, AIReal ty);
    void (*AIRealMatrixSetScale)(AIRealMatrix* matrix, AIReal h, AIReal v);
    void (*AIRealMatrixSetRotate)(AIRealMatrix* matrix, AIReal angle);
    // result = m followed by n: a point is mapped by m first, then by n. result may be m or n.
    void (*AIRealMatrixConcat)(const AIRealMatrix* m, const AIRealMatrix* n, AIRealMatrix* result);
    // out = the point mapped by the matrix. out may be in.
    void (*AIRealMatrixXformPoint)(const AIRealMatrix* matrix, const AIRealPoint* in, AIRealPoint* out);
    // The smallest rectangle holding both. A rectangle of zero width or height (a line, a point) is
    // a real extent and counts; only an inverted rectangle (right < left or top < bottom) is empty
    // and is left out. result may be a or b.
    void (*AIUnionRealRect)(const AIRealRect* a, const AIRealRect* b, AIRealRect* result);
};
