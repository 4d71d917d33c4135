#include "model/Matrix.h"

#include <cmath>

namespace host::model {

Matrix Matrix::rotation(double radians) {
    const double cosine = std::cos(radians);
    const double sine = std::sin(radians);
    return {cosine, sine, -sine, cosine, 0.0, 0.0};
}

Point Matrix::map(Point point) const {
    return {a * point.x + c * point.y + tx, b * point.x + d * point.y + ty};
}

Rect Matrix::mapRect(const Rect& rect) const {
    if (rect.isEmpty()) {
        return rect;
    }
    return Rect()
        .united(map({rect.left, rect.top}))
        .united(map({rect.right, rect.top}))
        .united(map({rect.left, rect.bottom}))
        .united(map({rect.right, rect.bottom}));
}

Matrix Matrix::then(const Matrix& next) const {
    return {a * next.a + b * next.c,
            a * next.b + b * next.d,
            c * next.a + d * next.c,
            c * next.b + d * next.d,
            tx * next.a + ty * next.c + next.tx,
            tx * next.b + ty * next.d + next.ty};
}

std::optional<Matrix> Matrix::inverted() const {
    const double determinant = a * d - b * c;
    if (determinant == 0.0 || !std::isfinite(determinant)) {
        return std::nullopt;
    }
    const Matrix inverse{d / determinant, -b / determinant, -c / determinant, a / determinant, 0.0, 0.0};
    const Point origin = inverse.map({tx, ty});
    return Matrix{inverse.a, inverse.b, inverse.c, inverse.d, -origin.x, -origin.y};
}

}  // namespace host::model
