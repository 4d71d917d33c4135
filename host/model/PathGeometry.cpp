#include "model/PathGeometry.h"

#include <array>
#include <cmath>

namespace host::model {

namespace {

// The parameters t in (0, 1) where one coordinate of the cubic curve p0..p3 has a zero derivative.
// The derivative is the quadratic 3(a t^2 + b t + c) with the coefficients below.
std::array<double, 2> extremaParameters(double p0, double p1, double p2, double p3, int& count) {
    const double a = -p0 + 3 * p1 - 3 * p2 + p3;
    const double b = 2 * (p0 - 2 * p1 + p2);
    const double c = p1 - p0;
    std::array<double, 2> roots{};
    count = 0;
    const auto keep = [&](double t) {
        if (t > 0.0 && t < 1.0) {
            roots[count++] = t;
        }
    };
    constexpr double kTiny = 1e-12;
    if (std::abs(a) < kTiny) {
        if (std::abs(b) >= kTiny) {
            keep(-c / b);
        }
        return roots;
    }
    const double discriminant = b * b - 4 * a * c;
    if (discriminant < 0) {
        return roots;
    }
    const double root = std::sqrt(discriminant);
    keep((-b + root) / (2 * a));
    keep((-b - root) / (2 * a));
    return roots;
}

double cubicAt(double p0, double p1, double p2, double p3, double t) {
    const double u = 1 - t;
    return u * u * u * p0 + 3 * u * u * t * p1 + 3 * u * t * t * p2 + t * t * t * p3;
}

Point curveAt(Point p0, Point p1, Point p2, Point p3, double t) {
    return {cubicAt(p0.x, p1.x, p2.x, p3.x, t), cubicAt(p0.y, p1.y, p2.y, p3.y, t)};
}

Rect curveBounds(Point p0, Point p1, Point p2, Point p3) {
    Rect bounds = Rect().united(p0).united(p3);
    if (p0 == p1 && p2 == p3) {
        return bounds;
    }
    for (const bool alongX : {true, false}) {
        int count = 0;
        const auto roots = alongX ? extremaParameters(p0.x, p1.x, p2.x, p3.x, count)
                                  : extremaParameters(p0.y, p1.y, p2.y, p3.y, count);
        for (int i = 0; i < count; ++i) {
            bounds = bounds.united(curveAt(p0, p1, p2, p3, roots[i]));
        }
    }
    return bounds;
}

}  // namespace

PathGeometry PathGeometry::rectangle(const Rect& rect) {
    PathGeometry path;
    path.closed = true;
    path.segments = {Segment::straight({rect.left, rect.top}), Segment::straight({rect.right, rect.top}),
                     Segment::straight({rect.right, rect.bottom}),
                     Segment::straight({rect.left, rect.bottom})};
    return path;
}

Rect PathGeometry::bounds() const {
    Rect result;
    const std::size_t count = segments.size();
    if (count == 0) {
        return result;
    }
    result = result.united(segments.front().anchor);
    const std::size_t curveCount = closed ? count : count - 1;
    for (std::size_t i = 0; i < curveCount; ++i) {
        const Segment& from = segments[i];
        const Segment& to = segments[(i + 1) % count];
        result = result.united(curveBounds(from.anchor, from.out, to.in, to.anchor));
    }
    return result;
}

void PathGeometry::transform(const Matrix& matrix) {
    for (Segment& segment : segments) {
        segment.anchor = matrix.map(segment.anchor);
        segment.in = matrix.map(segment.in);
        segment.out = matrix.map(segment.out);
    }
}

}  // namespace host::model
