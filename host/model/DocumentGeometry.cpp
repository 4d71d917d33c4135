// Bounds, transformation and text outlines.
#include <cmath>
#include <utility>

#include "model/Document.h"

namespace host::model {

namespace {

// The geometry is copied only when it has to be transformed first.
Rect pathBounds(const PathGeometry& geometry, const Matrix& matrix) {
    if (matrix.isIdentity()) {
        return geometry.bounds();
    }
    PathGeometry transformed = geometry;
    transformed.transform(matrix);
    return transformed.bounds();
}

Rect boxBounds(const BoxGeometry& box, const Matrix& matrix) {
    return box.matrix.then(matrix).mapRect(box.frame);
}

bool isFinite(const Matrix& m) {
    return std::isfinite(m.a) && std::isfinite(m.b) && std::isfinite(m.c) && std::isfinite(m.d) &&
           std::isfinite(m.tx) && std::isfinite(m.ty);
}

}  // namespace

// The stroke is centred on the path, so half its width shows outside the geometry on every side.
// Joins and caps are not modelled: a mitred corner can reach further than this in the application.
Rect Document::boundsOf(const ArtNode& node, BoundsKind kind, const Matrix& matrix) const {
    const ArtData& data = *node.data;
    const double halfStroke = kind == BoundsKind::visible ? data.strokeWidth() / 2 : 0.0;
    const auto unitedChildren = [&](BoundsKind childKind, bool masksOnly) {
        Rect result;
        forEachChild(node, [&](ArtId child) {
            const ArtNode& childNode = nodeAt(child);
            if (masksOnly && (childNode.data->attributes & attribute::clippingMask) == 0) {
                return;
            }
            result = result.united(boundsOf(childNode, childKind, matrix));
        });
        return result;
    };
    switch (data.type()) {
        case ArtType::group: {
            if (!std::get<GroupContent>(data.content).clipped) {
                return unitedChildren(kind, false);
            }
            // What shows of a clip group is what its masks let through; a mask paints nothing itself.
            const Rect masks = unitedChildren(BoundsKind::geometric, true);
            return masks.isEmpty() ? unitedChildren(kind, false) : masks;
        }
        case ArtType::path:
            return pathBounds(std::get<PathContent>(data.content).geometry, matrix)
                .inflated(halfStroke, halfStroke);
        case ArtType::compoundPath:
            // The compound path's own stroke paints all its paths.
            return unitedChildren(BoundsKind::geometric, false).inflated(halfStroke, halfStroke);
        case ArtType::textFrame: {
            const auto& text = std::get<TextFrameContent>(data.content);
            return text.kind == TextKind::onPath ? pathBounds(text.path, matrix)
                                                 : boxBounds(text.box, matrix);
        }
        case ArtType::placed:
            return boxBounds(std::get<PlacedContent>(data.content).box, matrix);
        case ArtType::raster:
            return boxBounds(std::get<RasterContent>(data.content).box, matrix);
        case ArtType::symbol:
            return boxBounds(std::get<SymbolContent>(data.content).box, matrix);
        case ArtType::unknown:
            break;
    }
    return Rect();
}

Result<Rect> Document::bounds(ArtId art, BoundsKind kind, const Matrix& matrix) const {
    const ArtNode* node = find(art);
    const std::optional<PathGeometry> pathObject = node == nullptr ? pathObjectGeometry(art) : std::nullopt;
    if (node == nullptr && !pathObject) {
        return Status::invalidHandle;
    }
    if (!isFinite(matrix)) {
        return Status::badParameter;
    }
    // A frame's path object is unpainted: its bounds of either kind are its geometry's.
    if (pathObject) {
        return pathBounds(*pathObject, matrix);
    }
    return boundsOf(*node, kind, matrix);
}

void transformContent(ArtContent& content, const Matrix& matrix) {
    struct Transformer {
        const Matrix& matrix;
        void operator()(GroupContent&) const {}
        void operator()(CompoundPathContent&) const {}
        void operator()(PathContent& path) const { path.geometry.transform(matrix); }
        void operator()(TextFrameContent& text) const {
            text.path.transform(matrix);
            text.box.matrix = text.box.matrix.then(matrix);
        }
        void operator()(PlacedContent& placed) const { placed.box.matrix = placed.box.matrix.then(matrix); }
        void operator()(RasterContent& raster) const { raster.box.matrix = raster.box.matrix.then(matrix); }
        void operator()(SymbolContent& symbol) const { symbol.box.matrix = symbol.box.matrix.then(matrix); }
    };
    std::visit(Transformer{matrix}, content);
}

Status Document::transform(ArtId art, const Matrix& matrix) {
    if (!isValid(art)) {
        return Status::invalidHandle;
    }
    if (!isFinite(matrix)) {
        return Status::badParameter;
    }
    const std::vector<ArtId> below = *artTree(art);
    for (const ArtId id : below) {
        transformContent(editData(id).content, matrix);
    }
    return Status::ok;
}

Result<ArtId> Document::createOutline(ArtId textFrame, const std::vector<OutlineShape>& shapes) {
    if (std::as_const(*this).contentAs<TextFrameContent>(textFrame) == nullptr) {
        return isValid(textFrame) ? Status::wrongType : Status::invalidHandle;
    }
    if (shapes.empty()) {
        return Status::notFound;
    }
    const Result<ArtId> group = newArt(ArtType::group, PaintOrder::above, textFrame);
    if (!group) {
        return group.status();
    }
    for (const OutlineShape& shape : shapes) {
        if (shape.contours.empty()) {
            continue;
        }
        const bool compound = shape.contours.size() > 1;
        const ArtId made =
            *newArt(compound ? ArtType::compoundPath : ArtType::path, PaintOrder::insideOnTop, *group);
        setStyle(made, shape.style);
        if (!compound) {
            editContent<PathContent>(made)->geometry = shape.contours.front();
            continue;
        }
        for (const PathGeometry& contour : shape.contours) {
            const ArtId path = *newArt(ArtType::path, PaintOrder::insideOnTop, made);
            editContent<PathContent>(path)->geometry = contour;
        }
    }
    return group;
}

Result<ArtId> Document::replaceWithOutline(ArtId textFrame, const std::vector<OutlineShape>& shapes) {
    const Result<ArtId> outline = createOutline(textFrame, shapes);
    if (outline) {
        dispose(textFrame);
    }
    return outline;
}

}  // namespace host::model
