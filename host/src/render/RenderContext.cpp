#include "render/RenderContext.h"

#include <cmath>

namespace host {

namespace {

bool IsWithinRange(double value) {
    return std::isfinite(value) && std::abs(value) <= kDeviceRange;
}

// Whether cairo can take the matrix at all: finite, with an inverse whose entries are finite.
bool IsInvertible(const cairo_matrix_t& m) {
    if (!std::isfinite(m.xx) || !std::isfinite(m.yx) || !std::isfinite(m.xy) || !std::isfinite(m.yy) ||
        !std::isfinite(m.x0) || !std::isfinite(m.y0)) {
        return false;
    }
    const double determinant = m.xx * m.yy - m.xy * m.yx;
    if (!std::isnormal(determinant)) {
        return false;  // zero, or so small (subnormal) that its inverse overflows
    }
    cairo_matrix_t inverse = m;
    if (cairo_matrix_invert(&inverse) != CAIRO_STATUS_SUCCESS) {
        return false;
    }
    return std::isfinite(inverse.xx) && std::isfinite(inverse.yx) && std::isfinite(inverse.xy) &&
           std::isfinite(inverse.yy) && std::isfinite(inverse.x0) && std::isfinite(inverse.y0);
}

}  // namespace

cairo_matrix_t ToCairo(const model::Matrix& m) {
    cairo_matrix_t result;
    cairo_matrix_init(&result, m.a, m.b, m.c, m.d, m.tx, m.ty);
    return result;
}

bool FitsDevice(const cairo_matrix_t& m) {
    if (!IsInvertible(m)) {
        return false;
    }
    cairo_matrix_t inverse = m;
    cairo_matrix_invert(&inverse);
    return IsWithinRange(m.xx) && IsWithinRange(m.yx) && IsWithinRange(m.xy) && IsWithinRange(m.yy) &&
           IsWithinRange(inverse.xx) && IsWithinRange(inverse.yx) && IsWithinRange(inverse.xy) &&
           IsWithinRange(inverse.yy);
}

std::optional<cairo_matrix_t> DeviceMatrix(cairo_t* cr, const cairo_matrix_t& matrix) {
    if (!IsInvertible(matrix)) {
        return std::nullopt;  // cairo_transform would refuse it and put the context in its error state
    }
    cairo_matrix_t current;
    cairo_get_matrix(cr, &current);
    cairo_matrix_t device;
    cairo_matrix_multiply(&device, &matrix, &current);
    if (!FitsDevice(device)) {
        return std::nullopt;
    }
    return device;
}

bool HasUsableMatrix(cairo_t* cr) {
    cairo_matrix_t current;
    cairo_get_matrix(cr, &current);
    return IsInvertible(current);
}

bool FitsDeviceLength(double length) {
    return std::isfinite(length) && length >= 0.0 && length <= kDeviceRange;
}

}  // namespace host
