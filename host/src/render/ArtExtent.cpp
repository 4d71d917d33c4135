#include "render/ArtExtent.h"

#include <algorithm>
#include <array>
#include <utility>

#include <cairo.h>

#include "render/Effects.h"
#include "render/RenderContext.h"

namespace host {

namespace {

// Antialiasing touches the pixels around a shape's edge.
constexpr double kAntialiasMargin = 1.0;

// A document object, walked through the document's links.
struct NodeArt {
    const model::Document& document;
    const model::ArtNode& node;

    const model::ArtData& data() const { return *node.data; }
    template <typename Visit>
    void ForEachChild(Visit&& visit) const {
        for (model::ArtId child = node.children.front(); child;) {
            const model::ArtNode* found = document.find(child);
            if (found == nullptr) {
                return;
            }
            visit(NodeArt{document, *found});
            child = found->next;
        }
    }
};

// Detached artwork (a symbol's, a pattern tile's).
struct TreeArt {
    const model::ArtTree& tree;

    const model::ArtData& data() const { return tree.data; }
    template <typename Visit>
    void ForEachChild(Visit&& visit) const {
        for (const model::ArtTree& child : tree.children) {
            visit(TreeArt{child});
        }
    }
};

// How far the style's strokes reach beyond the geometry: half the width, times the miter limit at a
// mitred corner, or a projecting cap's corner (half the width times the square root of 2).
double StrokeReach(const model::ArtStyle& style) {
    constexpr double kCapCorner = 1.5;
    double reach = 0.0;
    for (const model::PaintField& field : style.paintFields) {
        if (const model::StrokePaint* stroke = field.strokePaint()) {
            reach = std::max(reach, stroke->width / 2.0 * std::max(stroke->miterLimit, kCapCorner));
        }
    }
    return reach;
}

// The united geometry of every path at or below the art: what a compound path outlines.
template <typename Art>
model::Rect Outlines(const Art& art) {
    if (const auto* path = std::get_if<model::PathContent>(&art.data().content)) {
        return path->geometry.bounds();
    }
    model::Rect united;
    art.ForEachChild([&](const auto& child) { united = united.united(Outlines(child)); });
    return united;
}

template <typename Art>
std::optional<model::Rect> Extent(const model::Document& document, const Art& art);

template <typename Art>
std::optional<model::Rect> ChildrenExtent(const model::Document& document, const Art& art) {
    std::optional<model::Rect> united = model::Rect();
    art.ForEachChild([&](const auto& child) {
        if (!united) {
            return;
        }
        const std::optional<model::Rect> extent = Extent(document, child);
        united = extent ? std::optional(united->united(*extent)) : std::nullopt;
    });
    return united;
}

// The art's own extent, before its effects.
template <typename Art>
std::optional<model::Rect> ContentExtent(const model::Document& document, const Art& art) {
    const model::ArtData& data = art.data();
    switch (data.type()) {
        case model::ArtType::group:
            return ChildrenExtent(document, art);
        case model::ArtType::path:
        case model::ArtType::compoundPath: {
            const double stroke = StrokeReach(data.style);
            return Outlines(art).inflated(stroke, stroke);
        }
        case model::ArtType::raster:
            return std::get<model::RasterContent>(data.content).box.bounds();
        case model::ArtType::placed:
            return std::get<model::PlacedContent>(data.content).box.bounds();
        default:
            return std::nullopt;
    }
}

template <typename Art>
std::optional<model::Rect> Extent(const model::Document& document, const Art& art) {
    const model::ArtData& data = art.data();
    if ((data.attributes & model::attribute::hidden) != 0) {
        return model::Rect();
    }
    const std::optional<model::Rect> content = ContentExtent(document, art);
    if (!content) {
        return std::nullopt;
    }
    const double reach = Effects(document, data.style).Reach() + kAntialiasMargin;
    return content->inflated(reach, reach);
}

}  // namespace

std::optional<model::Rect> DrawnExtent(const model::Document& document, const model::ArtNode& art) {
    return Extent(document, NodeArt{document, art});
}

std::optional<model::Rect> DrawnExtent(const model::Document& document, const model::ArtTree& art) {
    return Extent(document, TreeArt{art});
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
