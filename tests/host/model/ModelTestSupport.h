// Helpers shared by the model tests: building small documents and finding art by name.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "model/Document.h"
#include "model/DocumentFormat.h"

namespace host::model::testing {

inline std::string samplePath() {
    return std::string(PLIM_EXAMPLES_DIR) + "/sample.json";
}

inline Document loadSample() {
    ReadResult read = openDocument(samplePath(), 7);
    EXPECT_TRUE(read.document.has_value()) << read.error;
    return read.document ? std::move(*read.document) : Document();
}

// The first art in document order whose own name or layer title is the text; null when none is.
inline ArtId findByName(const Document& document, const std::string& name) {
    for (const ArtId id : document.documentOrder()) {
        if (document.name(id)->text == name) {
            return id;
        }
    }
    return ArtId{};
}

inline std::vector<std::string> namesOf(const Document& document, const std::vector<ArtId>& ids) {
    std::vector<std::string> names;
    for (const ArtId id : ids) {
        names.push_back(document.name(id).ok() ? document.name(id)->text : std::string("<invalid>"));
    }
    return names;
}

inline std::vector<std::string> childNames(const Document& document, ArtId container) {
    return namesOf(document, document.children(container).valueOr({}));
}

// A new named object of the type, placed by the order relative to the target.
inline ArtId addArt(Document& document, ArtType type, const std::string& name, PaintOrder order,
                    ArtId target = ArtId{}) {
    const Result<ArtId> art = document.newArt(type, order, target);
    EXPECT_TRUE(art.ok()) << statusName(art.status());
    if (!art) {
        return ArtId{};
    }
    document.setName(*art, name);
    return *art;
}

inline ArtId addRectangle(Document& document, const std::string& name, const Rect& rect, PaintOrder order,
                          ArtId target = ArtId{}) {
    const ArtId art = addArt(document, ArtType::path, name, order, target);
    if (PathContent* path = document.editContent<PathContent>(art)) {
        path->geometry = PathGeometry::rectangle(rect);
    }
    return art;
}

inline ArtId layerGroupOf(const Document& document, LayerId layer) {
    return document.layers().group(layer).valueOr(ArtId{});
}

}  // namespace host::model::testing
