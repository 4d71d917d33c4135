#include "render/ArtExtent.h"

#include <algorithm>

#include "render/Effects.h"

namespace host {

namespace {

// The united geometry of every path at or below the art: what a compound path outlines.
model::Rect Outlines(const ArtRef& art) {
    if (const auto* path = std::get_if<model::PathContent>(&art.data().content)) {
        return path->geometry.bounds();
    }
    model::Rect united;
    art.ForEachChildBackFirst([&](const ArtRef& child) { united = united.united(Outlines(child)); });
    return united;
}

std::optional<model::Rect> Extent(const ArtRef& art);

std::optional<model::Rect> ChildrenExtent(const ArtRef& art) {
    std::optional<model::Rect> united = model::Rect();
    art.ForEachChildBackFirst([&](const ArtRef& child) {
        if (!united) {
            return;
        }
        const std::optional<model::Rect> extent = Extent(child);
        united = extent ? std::optional(united->united(*extent)) : std::nullopt;
    });
    return united;
}

// The art's own extent, before its effects.
std::optional<model::Rect> ContentExtent(const ArtRef& art) {
    const model::ArtData& data = art.data();
    switch (data.type()) {
        case model::ArtType::group:
            return ChildrenExtent(art);
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

std::optional<model::Rect> Extent(const ArtRef& art) {
    const model::ArtData& data = art.data();
    if ((data.attributes & model::attribute::hidden) != 0) {
        return model::Rect();
    }
    const std::optional<model::Rect> content = ContentExtent(art);
    if (!content) {
        return std::nullopt;
    }
    const double reach = Effects(art.document(), data.style).Reach() + kAntialiasMargin;
    return content->inflated(reach, reach);
}

}  // namespace

double StrokeReach(const model::StrokePaint& stroke) {
    // Beyond the square root of 2, so that a projecting cap's corner is inside.
    constexpr double kCapCorner = 1.5;
    const double corner =
        stroke.join == model::LineJoin::miter ? std::max(stroke.miterLimit, kCapCorner) : kCapCorner;
    return stroke.width / 2.0 * corner;
}

double StrokeReach(const model::ArtStyle& style) {
    double reach = 0.0;
    for (const model::PaintField& field : style.paintFields) {
        if (const model::StrokePaint* stroke = field.strokePaint()) {
            reach = std::max(reach, StrokeReach(*stroke));
        }
    }
    return reach;
}

std::optional<model::Rect> DrawnExtent(const ArtRef& art) {
    return Extent(art);
}

}  // namespace host
