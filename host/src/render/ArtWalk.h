// The one walk over art that drawing and measuring share: an object of a document, or of detached
// artwork (a symbol's definition, a pattern's tile) that the document's handles do not reach, with
// its data and its children.
#pragma once

#include "model/Document.h"

namespace host {

class ArtRef {
public:
    ArtRef(const model::Document& document, const model::ArtNode& node)
        : document_(&document), node_(&node) {}
    ArtRef(const model::Document& document, const model::ArtTree& tree)
        : document_(&document), tree_(&tree) {}

    const model::Document& document() const { return *document_; }
    const model::ArtData& data() const { return node_ != nullptr ? *node_->data : tree_->data; }
    // The object's node in the document; null for detached artwork.
    const model::ArtNode* node() const { return node_; }
    // The object in detached artwork; null for an object of the document.
    const model::ArtTree* tree() const { return tree_; }

    // Visits the children in drawing order: they are listed front-most first, so from the last.
    template <typename Visit>
    void ForEachChildBackFirst(Visit&& visit) const {
        if (tree_ != nullptr) {
            for (auto child = tree_->children.rbegin(); child != tree_->children.rend(); ++child) {
                visit(ArtRef(*document_, *child));
            }
            return;
        }
        for (model::ArtId child = node_->children.back(); child;) {
            const model::ArtNode* found = document_->find(child);
            if (found == nullptr) {
                return;
            }
            visit(ArtRef(*document_, *found));
            child = found->previous;
        }
    }

private:
    const model::Document* document_;
    const model::ArtNode* node_ = nullptr;
    const model::ArtTree* tree_ = nullptr;
};

}  // namespace host
