#include "model/ArtTree.h"

namespace host::model {

bool compoundPathAccepts(ArtType type) {
    return type == ArtType::path || type == ArtType::compoundPath || type == ArtType::group;
}

bool isWellFormedTree(const ArtTree& tree, bool allowLayers) {
    if (tree.layer && (!allowLayers || tree.data.type() != ArtType::group)) {
        return false;
    }
    const ArtType type = tree.data.type();
    if (!tree.children.empty() && !isContainerType(type)) {
        return false;
    }
    for (const ArtTree& child : tree.children) {
        if (child.layer && !tree.layer) {
            return false;
        }
        if (type == ArtType::compoundPath && !compoundPathAccepts(child.data.type())) {
            return false;
        }
        if (!isWellFormedTree(child, allowLayers)) {
            return false;
        }
    }
    return true;
}

void forEachColor(ArtTree& tree, const ColorVisitor& visit) {
    forEachColor(tree.data.style, visit);
    forEachColor(tree.data.dictionary, visit);
    if (auto* text = std::get_if<TextFrameContent>(&tree.data.content)) {
        forEachColor(text->story, visit);
    }
    for (ArtTree& child : tree.children) {
        forEachColor(child, visit);
    }
}

}  // namespace host::model
