// Generated documents the benchmark programs share: squares of 10 points on a 12-point grid, 1,000
// to a row, each tagged "t0" to "t9" in turn, directly on the first layer (flat) or in groups of ten
// tagged "row" (grouped). UUIDs are seeded so that every run orders results alike.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <utility>

#include "BenchPlugin.h"
#include "model/Document.h"

namespace bench {

inline constexpr int kTagKinds = 10;

enum class Shape { grouped, flat };

inline const char* ShapeName(Shape shape) {
    return shape == Shape::grouped ? "grouped" : "flat";
}

// Puts the plug-in's tag on the art.
inline void Tag(host::model::Document& document, host::model::ArtId art, const std::string& tag) {
    document.editTags(art)->set(TagEntryName(tag), "string", tag);
}

// A rectangular path at the bottom of the container.
inline host::model::ArtId AddRectangle(host::model::Document& document, host::model::ArtId container,
                                       const host::model::Rect& rect) {
    using namespace host::model;
    const ArtId path = *document.newArt(ArtType::path, PaintOrder::insideOnBottom, container);
    document.editContent<PathContent>(path)->geometry = PathGeometry::rectangle(rect);
    return path;
}

// The group of the document's first layer.
inline host::model::ArtId FirstLayerGroup(const host::model::Document& document) {
    return *document.layers().group(document.layers().first());
}

// A text frame of the kind holding the text, at the bottom of the first layer.
inline host::model::ArtId AddText(host::model::Document& document, host::model::TextKind kind,
                                  const host::model::Rect& frame, const std::string& text) {
    using namespace host::model;
    ArtTree tree;
    TextFrameContent content;
    content.kind = kind;
    content.story = *Story::plain(text);
    content.box = BoxGeometry{frame, Matrix()};
    tree.data.content = std::move(content);
    return *document.insertCopy(std::move(tree), PaintOrder::insideOnBottom, FirstLayerGroup(document));
}

// The i-th square of the grid, tagged "t" and i modulo ten.
inline host::model::ArtId AddSquare(host::model::Document& document, host::model::ArtId container, int i) {
    const double x = (i % 1000) * 12.0;
    const double y = (i / 1000) * 12.0;
    const host::model::ArtId path =
        AddRectangle(document, container, host::model::Rect(x, y + 10, x + 10, y));
    std::string tag(1, 't');  // (not "t" + ...: GCC 12 warns of an overlap that cannot happen)
    tag += std::to_string(i % kTagKinds);
    Tag(document, path, tag);
    return path;
}

// A document of `count` tagged squares; the first one is also tagged "one".
inline std::unique_ptr<host::model::Document> GenerateDocument(Shape shape, int count) {
    using namespace host::model;
    auto document = std::make_unique<Document>(std::uint64_t{42});
    const ArtId layerGroup = *document->layers().group(document->layers().first());
    ArtId row;
    for (int i = 0; i < count; ++i) {
        ArtId container = layerGroup;
        if (shape == Shape::grouped) {
            if (i % kTagKinds == 0) {
                row = *document->newArt(ArtType::group, PaintOrder::insideOnBottom, layerGroup);
                Tag(*document, row, "row");
            }
            container = row;
        }
        const ArtId path = AddSquare(*document, container, i);
        if (i == 0) {
            Tag(*document, path, "one");
        }
    }
    return document;
}

}  // namespace bench
