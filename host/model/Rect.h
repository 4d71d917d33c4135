// An axis-aligned rectangle in art coordinates, where y grows upward: top is greater than or equal
// to bottom.
#pragma once

#include "model/Point.h"

namespace host::model {

// A rectangle is empty only when it is inverted (right < left or top < bottom). A rectangle of zero
// width or zero height (a horizontal line, a single point) is not empty: it is the bounds of
// something, and unions and intersections treat it as such. The default rectangle is the empty one,
// the neutral element of `united`.
class Rect {
public:
    double left;
    double top;
    double right;
    double bottom;

    Rect();
    Rect(double left, double top, double right, double bottom);

    // The smallest rectangle holding both points.
    static Rect spanning(Point a, Point b);
    static Rect empty() { return Rect(); }

    bool isEmpty() const { return right < left || top < bottom; }
    double width() const { return isEmpty() ? 0.0 : right - left; }
    double height() const { return isEmpty() ? 0.0 : top - bottom; }
    Point center() const { return {(left + right) / 2, (top + bottom) / 2}; }

    bool contains(Point point) const;
    // True when the rectangles share at least one point (touching edges count).
    bool intersects(const Rect& other) const;

    Rect united(const Rect& other) const;
    Rect united(Point point) const;
    Rect intersected(const Rect& other) const;
    // Grown by dx on the left and right and by dy on the top and bottom; an empty rectangle stays
    // empty.
    Rect inflated(double dx, double dy) const;

    bool operator==(const Rect& other) const;
};

}  // namespace host::model
