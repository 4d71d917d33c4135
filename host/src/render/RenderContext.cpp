#include "render/RenderContext.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <utility>

#include <cairo.h>

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

namespace {

// The user-space rectangle's corners on the device, spanned and grown outward to whole units.
DeviceBox ToDevice(cairo_t* cr, double x1, double y1, double x2, double y2) {
    DeviceBox box{INFINITY, INFINITY, -INFINITY, -INFINITY};
    for (auto [x, y] :
         std::array{std::pair{x1, y1}, std::pair{x2, y1}, std::pair{x1, y2}, std::pair{x2, y2}}) {
        cairo_user_to_device(cr, &x, &y);
        box.left = std::min(box.left, x);
        box.right = std::max(box.right, x);
        box.top = std::min(box.top, y);
        box.bottom = std::max(box.bottom, y);
    }
    return DeviceBox{std::floor(box.left), std::floor(box.top), std::ceil(box.right), std::ceil(box.bottom)};
}

}  // namespace

DeviceBox DeviceClip(cairo_t* cr) {
    double x1 = 0.0, y1 = 0.0, x2 = 0.0, y2 = 0.0;
    cairo_clip_extents(cr, &x1, &y1, &x2, &y2);
    return ToDevice(cr, x1, y1, x2, y2);
}

bool ClipToExtent(cairo_t* cr, const model::Rect& extent) {
    if (!HasUsableMatrix(cr)) {
        return false;
    }
    const DeviceBox shown = DeviceClip(cr);
    if (shown.isEmpty()) {
        return false;
    }
    DeviceBox box =
        extent.isEmpty() ? DeviceBox{} : ToDevice(cr, extent.left, extent.top, extent.right, extent.bottom);
    // Kept within what shows, so that no coordinate leaves cairo's fixed-point range; a box that
    // misses it, or that is empty, clips everything away. A coordinate that is not a number goes to
    // the low end.
    const auto within = [](double value, double low, double high) {
        return value >= low ? std::min(value, high) : low;
    };
    box = DeviceBox{within(box.left, shown.left, shown.right), within(box.top, shown.top, shown.bottom),
                    within(box.right, shown.left, shown.right), within(box.bottom, shown.top, shown.bottom)};
    cairo_matrix_t matrix;
    cairo_get_matrix(cr, &matrix);
    cairo_save(cr);
    cairo_identity_matrix(cr);
    cairo_new_path(cr);
    cairo_rectangle(cr, box.left, box.top, std::max(0.0, box.width()), std::max(0.0, box.height()));
    cairo_set_matrix(cr, &matrix);
    cairo_clip(cr);
    return true;
}

}  // namespace host
