// The transformation of art as the transform art suite asks for it: geometry, patterns and line
// widths, all or nothing.
#include <cmath>
#include <optional>
#include <variant>
#include <vector>

#include "model/Document.h"

namespace host::model {

namespace {

bool isFinite(Point point) {
    return std::isfinite(point.x) && std::isfinite(point.y);
}

bool isFinite(const Matrix& m) {
    return std::isfinite(m.a) && std::isfinite(m.b) && std::isfinite(m.c) && std::isfinite(m.d) &&
           std::isfinite(m.tx) && std::isfinite(m.ty);
}

bool isFinite(const PathGeometry& path) {
    for (const Segment& segment : path.segments) {
        if (!isFinite(segment.anchor) || !isFinite(segment.in) || !isFinite(segment.out)) {
            return false;
        }
    }
    return true;
}

bool isFinite(const Rect& rect) {
    return std::isfinite(rect.left) && std::isfinite(rect.top) && std::isfinite(rect.right) &&
           std::isfinite(rect.bottom);
}

bool isFinite(const ArtContent& content) {
    struct Check {
        bool operator()(const GroupContent&) const { return true; }
        bool operator()(const CompoundPathContent&) const { return true; }
        bool operator()(const PathContent& path) const { return isFinite(path.geometry); }
        bool operator()(const TextFrameContent& text) const {
            return isFinite(text.path) && isFinite(text.box.matrix);
        }
        bool operator()(const PlacedContent& placed) const { return isFinite(placed.box.matrix); }
        bool operator()(const RasterContent& raster) const { return isFinite(raster.box.matrix); }
        bool operator()(const SymbolContent& symbol) const { return isFinite(symbol.box.matrix); }
    };
    return std::visit(Check{}, content);
}

// What one object becomes, worked out before anything changes.
struct Changed {
    ArtId id;
    std::optional<ArtContent> content;  // none: the geometry stays
    Matrix fillPattern;
    Matrix strokePattern;
    ArtStyle style;

    // A finite matrix can still carry large coordinates beyond the range of doubles.
    bool isFinite() const {
        return style.check() == Status::ok && model::isFinite(fillPattern) &&
               model::isFinite(strokePattern) && (!content || model::isFinite(*content));
    }
};

}  // namespace

Status Document::transformArt(ArtId art, const Matrix& matrix, double lineScale, TransformOptions options) {
    const bool pathObject = !isValid(art) && frameOfPathObject(art);
    if (!isValid(art) && !pathObject) {
        return Status::invalidHandle;
    }
    if (!isFinite(matrix) || (options.scaleLines && (!std::isfinite(lineScale) || lineScale < 0.0))) {
        return Status::badParameter;
    }
    // A frame's path object has no paint, patterns or children: only its geometry follows.
    if (pathObject) {
        return options.objects ? transformPathObject(art, matrix) : Status::ok;
    }
    const std::vector<ArtId> touched = options.objects ? *artTree(art) : std::vector<ArtId>{art};
    // Every result is worked out and checked first, so that a transformation whose result would not
    // be finite changes nothing.
    std::vector<Changed> results;
    results.reserve(touched.size());
    for (const ArtId id : touched) {
        const ArtData& data = *nodeAt(id).data;
        Changed changed{id, std::nullopt, data.fillPattern, data.strokePattern, data.style};
        if (options.objects) {
            changed.content = data.content;
            transformContent(*changed.content, matrix);
            changed.style.transformGradients(matrix);
        }
        if (options.fillPatterns) {
            changed.fillPattern = changed.fillPattern.then(matrix);
        }
        if (options.strokePatterns) {
            changed.strokePattern = changed.strokePattern.then(matrix);
        }
        if (options.scaleLines) {
            changed.style.scaleStrokes(lineScale);
        }
        if (!changed.isFinite()) {
            return Status::badParameter;
        }
        results.push_back(std::move(changed));
    }
    for (Changed& changed : results) {
        ArtData& data = editData(changed.id);
        if (changed.content) {
            data.content = std::move(*changed.content);
        }
        data.fillPattern = changed.fillPattern;
        data.strokePattern = changed.strokePattern;
        data.style = std::move(changed.style);
    }
    return Status::ok;
}

Status Document::transformPathObject(ArtId art, const Matrix& matrix) {
    const ArtId frame = frameOfPathObject(art);
    const TextFrameContent* text = contentAs<TextFrameContent>(frame);
    if (text == nullptr) {
        return Status::invalidHandle;
    }
    if (text->kind == TextKind::onPath) {
        PathGeometry path = text->path;
        path.transform(matrix);
        if (!isFinite(path)) {
            return Status::badParameter;
        }
        editContent<TextFrameContent>(frame)->path = std::move(path);
        return Status::ok;
    }
    // The rectangle goes out to the artwork, through the matrix and back into the frame's own space.
    const std::optional<Matrix> back = text->box.matrix.inverted();
    if (!back) {
        return Status::badParameter;
    }
    const Rect area = text->box.matrix.then(matrix).then(*back).mapRect(text->box.frame);
    if (!isFinite(area)) {
        return Status::badParameter;
    }
    editContent<TextFrameContent>(frame)->box.frame = area;
    return Status::ok;
}

}  // namespace host::model
