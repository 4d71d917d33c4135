// An affine transformation of art coordinates.
#pragma once

#include <optional>

#include "model/Point.h"
#include "model/Rect.h"

namespace host::model {

// Maps (x, y) to (a*x + c*y + tx, b*x + d*y + ty). Rotation angles are in radians, counter-clockwise
// in the y-up art space.
struct Matrix {
    double a = 1.0;
    double b = 0.0;
    double c = 0.0;
    double d = 1.0;
    double tx = 0.0;
    double ty = 0.0;

    static Matrix identity() { return {}; }
    static Matrix translation(double dx, double dy) { return {1.0, 0.0, 0.0, 1.0, dx, dy}; }
    static Matrix scaling(double sx, double sy) { return {sx, 0.0, 0.0, sy, 0.0, 0.0}; }
    static Matrix rotation(double radians);

    bool isIdentity() const { return *this == Matrix{}; }
    bool operator==(const Matrix&) const = default;

    Point map(Point point) const;
    // The bounding box of the four mapped corners; an empty rectangle stays empty.
    Rect mapRect(const Rect& rect) const;

    // The transformation that applies this one first and then `next`.
    Matrix then(const Matrix& next) const;
    // None when the matrix cannot be inverted (its determinant is 0).
    std::optional<Matrix> inverted() const;
};

}  // namespace host::model
