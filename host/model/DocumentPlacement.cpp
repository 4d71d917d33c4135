// Putting art into the tree and taking it out: placement by paint order, creation, duplication,
// moving, disposal and detached copies.
#include <algorithm>
#include <optional>
#include <utility>

#include "model/Document.h"

namespace host::model {

// --- Placement -----------------------------------------------------------------------------------

Status Document::checkAccepts(ArtId container, bool movingLayerGroup, ArtType movingType) const {
    if (!container) {
        return movingLayerGroup ? Status::ok : Status::notAllowed;
    }
    const ArtNode& node = nodeAt(container);
    if (node.layer) {
        return Status::ok;
    }
    if (movingLayerGroup) {
        return Status::notAllowed;
    }
    switch (node.data->type()) {
        case ArtType::group:
            return Status::ok;
        case ArtType::compoundPath:
            return compoundPathAccepts(movingType) ? Status::ok : Status::notAllowed;
        default:
            return Status::wrongType;
    }
}

Result<Document::Slot> Document::slotFor(PaintOrder order, ArtId target, bool movingLayerGroup,
                                         ArtType movingType) const {
    if (!needsTarget(order)) {
        const bool front = order == PaintOrder::aboveAll;
        if (movingLayerGroup) {
            return Slot{ArtId{}, front ? fields_->topGroups.first : ArtId{}};
        }
        const ArtId group = front ? fields_->topGroups.first : fields_->topGroups.last;
        return Slot{group, front ? nodeAt(group).children.first : ArtId{}};
    }
    if (!target) {
        return Status::badParameter;
    }
    const ArtNode* node = find(target);
    if (node == nullptr) {
        return Status::invalidHandle;
    }
    if (order == PaintOrder::above || order == PaintOrder::below) {
        const Status accepted = checkAccepts(node->parent, movingLayerGroup, movingType);
        if (accepted != Status::ok) {
            return accepted;
        }
        return Slot{node->parent, order == PaintOrder::above ? target : node->next};
    }
    if (!isContainerType(node->data->type())) {
        return Status::wrongType;
    }
    const Status accepted = checkAccepts(target, movingLayerGroup, movingType);
    if (accepted != Status::ok) {
        return accepted;
    }
    return Slot{target, order == PaintOrder::insideOnTop ? node->children.first : ArtId{}};
}

// Linking and unlinking touch the object, its neighbours and the parent's list ends: constant time
// and a constant number of records, however many siblings there are.
void Document::attach(ArtId art, Slot slot) {
    const ArtId previous = slot.before ? nodeAt(slot.before).previous : childList(slot.parent).last;
    ArtNode& node = *editNode(art);
    if (node.layer) {
        dropLayerIndex();
    }
    node.parent = slot.parent;
    node.previous = previous;
    node.next = slot.before;
    ChildList& siblings = editChildList(slot.parent);
    ++siblings.count;
    if (!previous) {
        siblings.first = art;
    }
    if (!slot.before) {
        siblings.last = art;
    }
    if (previous) {
        editNode(previous)->next = art;
    }
    if (slot.before) {
        editNode(slot.before)->previous = art;
    }
}

void Document::detach(ArtId art) {
    ArtNode& node = *editNode(art);
    if (node.layer) {
        dropLayerIndex();
    }
    const ArtId parent = std::exchange(node.parent, ArtId{});
    const ArtId previous = std::exchange(node.previous, ArtId{});
    const ArtId next = std::exchange(node.next, ArtId{});
    ChildList& siblings = editChildList(parent);
    --siblings.count;
    if (!previous) {
        siblings.first = next;
    }
    if (!next) {
        siblings.last = previous;
    }
    if (previous) {
        editNode(previous)->next = next;
    }
    if (next) {
        editNode(next)->previous = previous;
    }
}

// --- Trees in and out ----------------------------------------------------------------------------

ArtId Document::insertTree(ArtTree tree, Slot slot, UuidPolicy policy) {
    const ArtId id{nextHandleValue()};
    recordArt(id);
    ArtNode node;
    node.id = id;
    if (auto* text = std::get_if<TextFrameContent>(&tree.data.content);
        text != nullptr && policy == UuidPolicy::fresh) {
        // A copy with fresh UUIDs can't name the frames it was threaded with.
        text->thread.clear();
        text->threadHead.clear();
    }
    tree.data.uuid = takeUuid(tree.data.uuid, policy);
    if (!tree.data.uuid.empty()) {
        uuidIndex_[tree.data.uuid] = id;
    }
    node.data = std::move(tree.data);
    if (tree.layer) {
        const LayerId layer{nextHandleValue()};
        recordLayer(layer);
        layers_.emplace(layer, Layer{layer, id, std::move(*tree.layer)});
        node.layer = layer;
    }
    forgetDerived();
    arts_.emplace(id, std::move(node));
    attach(id, slot);
    // Each child goes to the back of the new object's list: linear in the objects the tree holds.
    for (ArtTree& child : tree.children) {
        insertTree(std::move(child), Slot{id, ArtId{}}, policy);
    }
    return id;
}

ArtTree Document::extractTree(const ArtNode& node) const {
    ArtTree tree;
    tree.data = *node.data;
    if (node.layer) {
        tree.layer = layers_.at(node.layer).properties;
    }
    tree.children.reserve(node.children.size());
    forEachChild(node, [&](ArtId child) { tree.children.push_back(extractTree(nodeAt(child))); });
    return tree;
}

void Document::eraseSubtree(ArtId art) {
    const std::vector<ArtId> doomed = *artTree(art);
    releaseThreads(doomed);
    detach(art);
    for (const ArtId id : doomed) {
        recordArt(id);
        const ArtNode& node = nodeAt(id);
        uuidIndex_.erase(node.data->uuid);
        if (node.layer) {
            recordLayer(node.layer);
            layers_.erase(node.layer);
            dropLayerIndex();
        }
        forgetDerived();
        arts_.erase(id);
    }
}

// --- Operations ------------------------------------------------------------------------------------

Result<ArtId> Document::newArt(ArtType type, PaintOrder order, ArtId target) {
    std::optional<ArtContent> content = makeContent(type);
    if (!content) {
        return Status::badParameter;
    }
    const Result<Slot> slot = slotFor(order, target, false, type);
    if (!slot) {
        return slot.status();
    }
    ArtTree tree;
    tree.data.content = std::move(*content);
    return insertTree(std::move(tree), *slot, UuidPolicy::fresh);
}

Result<ArtId> Document::duplicate(ArtId art, PaintOrder order, ArtId target) {
    const ArtNode* node = find(art);
    if (node == nullptr) {
        return duplicatePathObject(art, order, target);
    }
    // A layer group is copied as a new layer: placed as layer groups are, its layer properties
    // (and those of its sublayers) going with the copy to new layer records.
    const Result<Slot> slot = slotFor(order, target, static_cast<bool>(node->layer), node->data->type());
    if (!slot) {
        return slot.status();
    }
    return insertTree(detachedTree(*node), *slot, UuidPolicy::fresh);
}

// The copy of a frame's path object is a new path of the frame's shape, painted as new paths are.
Result<ArtId> Document::duplicatePathObject(ArtId art, PaintOrder order, ArtId target) {
    std::optional<PathGeometry> shape = pathObjectGeometry(art);
    if (!shape) {
        return Status::invalidHandle;
    }
    const Result<ArtId> copy = newArt(ArtType::path, order, target);
    if (copy) {
        editContent<PathContent>(*copy)->geometry = std::move(*shape);
    }
    return copy;
}

Status Document::reorder(ArtId art, PaintOrder order, ArtId target) {
    const ArtNode* node = find(art);
    if (node == nullptr) {
        return Status::invalidHandle;
    }
    if (needsTarget(order) && target && isInSubtree(target, art)) {
        return Status::notAllowed;
    }
    const bool layerGroup = static_cast<bool>(node->layer);
    const ArtType type = node->data->type();
    // Checked before the art leaves its place, so that a refused move changes nothing; placed after,
    // so that the index is the one among the remaining siblings.
    const Result<Slot> check = slotFor(order, target, layerGroup, type);
    if (!check) {
        return check.status();
    }
    detach(art);
    attach(art, *slotFor(order, target, layerGroup, type));
    return Status::ok;
}

Status Document::dispose(ArtId art) {
    const ArtNode* node = find(art);
    if (node == nullptr) {
        return Status::invalidHandle;
    }
    if (node->layer) {
        return Status::notAllowed;
    }
    eraseSubtree(art);
    return Status::ok;
}

Result<ArtTree> Document::copyOf(ArtId art) const {
    const ArtNode* node = find(art);
    if (node == nullptr) {
        return Status::invalidHandle;
    }
    if (node->layer) {
        return Status::notAllowed;
    }
    return detachedTree(*node);
}

Result<ArtId> Document::insertCopy(ArtTree tree, PaintOrder order, ArtId target) {
    // Art from a dictionary entry or another document may name colours this document lacks; in the
    // artwork they would make a document the reader refuses.
    if (colors().checkTree(tree) != Status::ok) {
        return Status::badParameter;
    }
    return insertWellFormed(std::move(tree), order, target);
}

Result<ArtId> Document::insertWellFormed(ArtTree tree, PaintOrder order, ArtId target) {
    if (!isWellFormedTree(tree, false)) {
        return Status::badParameter;
    }
    const Result<Slot> slot = slotFor(order, target, false, tree.data.type());
    if (!slot) {
        return slot.status();
    }
    return insertTree(std::move(tree), *slot, UuidPolicy::fresh);
}

}  // namespace host::model
