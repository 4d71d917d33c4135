// The data of an art object apart from its place in a document, and detached copies of whole
// subtrees (what duplication copies and what a dictionary's art entry holds).
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "model/ArtAttributes.h"
#include "model/ArtContent.h"
#include "model/ArtStyle.h"
#include "model/Dictionary.h"
#include "model/Layer.h"
#include "model/TagList.h"

namespace host::model {

struct ArtData {
    ArtContent content = GroupContent{};
    std::string uuid;  // lower-case 8-4-4-4-12 hexadecimal text, unique in its document
    std::string name;  // empty: the object has no name of its own and shows its type's default name
    std::string note;
    ArtAttributes attributes = 0;  // the stored bits (attribute::stored)
    // How text wraps around the art when its text-wrap bit is set: the offset in points, and whether
    // text wraps inside it.
    double wrapOffset = 6.0;
    bool wrapInside = false;
    // The art's appearance: its fills, strokes, effects and transparency.
    ArtStyle style;
    // The transformations the art's fill and stroke patterns went through (the transform art
    // suite's pattern options), applied after the art's own pattern placement.
    Matrix fillPattern;
    Matrix strokePattern;
    bool envelope = false;    // an envelope holds the object it distorts as its first child
    bool intertwine = false;  // an intertwine object is a container its walks also report itself
    TagList tags;
    Dictionary dictionary;

    ArtType type() const { return artTypeOf(content); }
    // The width of the widest stroke that paints, 0 for none; read by the visible bounds.
    double strokeWidth() const { return style.strokeWidth(); }
    bool operator==(const ArtData&) const = default;
};

// A detached copy of an art object and everything below it, children front to back. When `layer` is
// set the object is a layer group and the tree describes the whole layer; such trees appear only in
// a document's contents, never in dictionary entries.
struct ArtTree {
    ArtData data;
    std::optional<LayerProperties> layer;
    std::vector<ArtTree> children;
    bool operator==(const ArtTree&) const = default;
};

// The kinds of art a compound path can hold: paths, compound paths and groups.
bool compoundPathAccepts(ArtType type);

// True when only containers have children, compound paths hold only what they accept, and layer
// trees (allowed only with allowLayers) are groups that sit at the top or directly in another layer
// tree.
bool isWellFormedTree(const ArtTree& tree, bool allowLayers);

// Calls visit for every colour of detached artwork: each object's style and dictionary (art held in
// its entries included) and the text of a text frame, members included; visit may change it.
void forEachColor(ArtTree& tree, const ColorVisitor& visit);

}  // namespace host::model
