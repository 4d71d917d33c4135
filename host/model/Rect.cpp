#include "model/Rect.h"

#include <algorithm>
#include <limits>

namespace host::model {

namespace {
constexpr double kInfinity = std::numeric_limits<double>::infinity();
}

// Inverted to infinity, so that min/max unions need no special case.
Rect::Rect() : left(kInfinity), top(-kInfinity), right(-kInfinity), bottom(kInfinity) {}

Rect::Rect(double left, double top, double right, double bottom)
    : left(left), top(top), right(right), bottom(bottom) {}

Rect Rect::spanning(Point a, Point b) {
    return Rect(std::min(a.x, b.x), std::max(a.y, b.y), std::max(a.x, b.x), std::min(a.y, b.y));
}

bool Rect::contains(Point point) const {
    return point.x >= left && point.x <= right && point.y >= bottom && point.y <= top;
}

bool Rect::intersects(const Rect& other) const {
    return !intersected(other).isEmpty();
}

Rect Rect::united(const Rect& other) const {
    if (other.isEmpty()) {
        return *this;
    }
    if (isEmpty()) {
        return other;
    }
    return Rect(std::min(left, other.left), std::max(top, other.top), std::max(right, other.right),
                std::min(bottom, other.bottom));
}

Rect Rect::united(Point point) const {
    return united(Rect(point.x, point.y, point.x, point.y));
}

Rect Rect::intersected(const Rect& other) const {
    if (isEmpty() || other.isEmpty()) {
        return Rect();
    }
    Rect result(std::max(left, other.left), std::min(top, other.top), std::min(right, other.right),
                std::max(bottom, other.bottom));
    return result.isEmpty() ? Rect() : result;
}

Rect Rect::inflated(double dx, double dy) const {
    if (isEmpty()) {
        return *this;
    }
    return Rect(left - dx, top + dy, right + dx, bottom - dy);
}

bool Rect::operator==(const Rect& other) const {
    if (isEmpty() || other.isEmpty()) {
        return isEmpty() == other.isEmpty();
    }
    return left == other.left && top == other.top && right == other.right && bottom == other.bottom;
}

}  // namespace host::model
