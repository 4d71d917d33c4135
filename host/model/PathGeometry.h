// The geometry of a path: anchor points joined by straight or cubic Bézier segments, open or closed.
#pragma once

#include <vector>

#include "model/Matrix.h"
#include "model/Point.h"
#include "model/Rect.h"

namespace host::model {

// One anchor point with its two direction (control) points. The segment from anchor i to anchor
// i+1 is the cubic curve p(i), out(i), in(i+1), p(i+1); it is a straight line when out(i) equals
// p(i) and in(i+1) equals p(i+1). `corner` says whether the directions at this anchor are
// independent (true) or kept on one line (a smooth point).
struct Segment {
    Point anchor;
    Point in;
    Point out;
    bool corner = true;

    // A corner point whose direction points sit on the anchor.
    static Segment straight(Point anchor) { return {anchor, anchor, anchor, true}; }
    bool operator==(const Segment&) const = default;
};

struct PathGeometry {
    std::vector<Segment> segments;
    // A closed path also has the segment from the last anchor back to the first.
    bool closed = false;

    // A closed rectangle drawn from the top left corner clockwise, as the host draws new
    // rectangles.
    static PathGeometry rectangle(const Rect& rect);

    // The exact bounds of the curves (their extreme points, not their control points); empty for a
    // path without anchors, a single point for a path of one anchor.
    Rect bounds() const;
    void transform(const Matrix& matrix);
    bool operator==(const PathGeometry&) const = default;
};

}  // namespace host::model
