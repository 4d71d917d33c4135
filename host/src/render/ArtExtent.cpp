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

}  // namespace host
