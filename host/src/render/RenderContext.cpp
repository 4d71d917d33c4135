#include "render/RenderContext.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <iostream>
#include <string_view>
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

cairo_matrix_t FramePlacement(const model::BoxGeometry& box, double width, double height) {
    const model::Rect& frame = box.frame;
    cairo_matrix_t placement = ToCairo(box.matrix);
    cairo_matrix_translate(&placement, frame.left, frame.top);
    cairo_matrix_scale(&placement, width > 0.0 ? frame.width() / width : 1.0,
                       height > 0.0 ? -frame.height() / height : -1.0);
    return placement;
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

double ShownPixels(cairo_t* cr) {
    const DeviceBox shown = DeviceClip(cr);
    return shown.isEmpty() ? 0.0 : shown.width() * shown.height();
}

double ExtentPixels(cairo_t* cr, const model::Rect& extent, const DeviceBox& shown) {
    if (shown.isEmpty() || extent.isEmpty()) {
        return 0.0;
    }
    const DeviceBox box = ToDevice(cr, extent.left, extent.top, extent.right, extent.bottom);
    const double width = std::min(box.right, shown.right) - std::max(box.left, shown.left);
    const double height = std::min(box.bottom, shown.bottom) - std::max(box.top, shown.top);
    // An extent that is not a number may cover anything shown.
    if (std::isnan(width) || std::isnan(height)) {
        return shown.width() * shown.height();
    }
    return std::max(0.0, width) * std::max(0.0, height);
}

bool SpendPaint(const RenderContext& context, const model::Rect& bounds, double reach, const DeviceBox& shown,
                double price, double edgeRows) {
    const double margin = reach + kAntialiasMargin;
    return context.picture.budget.SpendPixels(
        ExtentPixels(context.cr, bounds.inflated(margin, margin), shown) * price + edgeRows * kEdgeRowPrice);
}

bool ClipIsWholePixels(cairo_t* cr) {
    // cairo lists the clip as rectangles only when it is a region of whole pixels; through the
    // identity matrix, so that a rotated user space doesn't hide one.
    const SavedState saved(cr);
    cairo_identity_matrix(cr);
    cairo_rectangle_list_t* list = cairo_copy_clip_rectangle_list(cr);
    const bool whole = list->status == CAIRO_STATUS_SUCCESS;
    cairo_rectangle_list_destroy(list);
    return whole;
}

bool PaintRasterizesClip(cairo_t* cr) {
    return cairo_surface_get_type(cairo_get_target(cr)) == CAIRO_SURFACE_TYPE_IMAGE && !ClipIsWholePixels(cr);
}

bool SpendClip(const RenderContext& context) {
    return context.picture.clipWork == 0.0 || !PaintRasterizesClip(context.cr) ||
           context.picture.budget.SpendPathWork(context.picture.clipWork);
}

bool ClipToExtent(cairo_t* cr, const model::Rect& extent, SavedState& saved) {
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
    saved.Save(cr);
    cairo_identity_matrix(cr);
    cairo_new_path(cr);
    cairo_rectangle(cr, box.left, box.top, std::max(0.0, box.width()), std::max(0.0, box.height()));
    cairo_set_matrix(cr, &matrix);
    cairo_clip(cr);
    return true;
}

namespace {

// What each kind of simplification did, as standard error says it: of one object, of several.
constexpr std::pair<std::string_view, std::string_view> kSimplified[] = {
    {"dashed stroke drawn solid", "dashed strokes drawn solid"},
    {"fill left out", "fills left out"},
    {"stroke left out", "strokes left out"},
    {"text stroke left out", "text strokes left out"},
    {"object drawn without its opacity, blend mode or knockout",
     "objects drawn without their opacity, blend mode or knockout"},
    {"object drawn without its effects", "objects drawn without their effects"},
};

}  // namespace

void Simplifications::Note(Simplification kind, const model::ArtData& art) {
    Noted& noted = noted_[static_cast<std::size_t>(kind)];
    if (noted.count++ == 0) {
        noted.first = std::string(model::artTypeName(art.type()));
        if (!art.name.empty()) {
            // A name is the user's text: control characters (a line break, a NUL) show as "?".
            std::string name = art.name;
            std::replace_if(
                name.begin(), name.end(), [](char c) { return static_cast<unsigned char>(c) < 0x20; }, '?');
            noted.first += " \"" + name + "\"";
        }
    }
}

void Simplifications::Report() {
    for (std::size_t kind = 0; kind < noted_.size(); ++kind) {
        Noted& noted = noted_[kind];
        if (noted.count > 0) {
            const auto& [one, several] = kSimplified[kind];
            std::cerr << "plimhost: past the picture's budget of work, " << noted.count << ' '
                      << (noted.count == 1 ? one : several) << " (" << (noted.count == 1 ? "" : "the first: ")
                      << noted.first << ")\n";
        }
        noted = Noted{};
    }
}

}  // namespace host
