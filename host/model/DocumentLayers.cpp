// Layers and sublayers: navigation, properties, insertion and deletion, through the views over a
// document's layer groups, and the document's own making of a new layer.
#include <algorithm>
#include <set>

#include "model/Document.h"
#include "model/Utf8.h"

namespace host::model {

namespace {

// The colours new layers take in turn, as 16-bit RGB.
constexpr LayerColor kLayerColors[] = {
    {0x4F4F, 0x8080, 0xFFFF},  // light blue
    {0xFFFF, 0x4F4F, 0x4F4F},  // red
    {0x4F4F, 0xFFFF, 0x4F4F},  // green
    {0x4F4F, 0x4F4F, 0xFFFF},  // blue
    {0xFFFF, 0xFFFF, 0x4F4F},  // yellow
    {0xFFFF, 0x4F4F, 0xFFFF},  // magenta
    {0x4F4F, 0xFFFF, 0xFFFF},  // cyan
    {0x8080, 0x8080, 0x8080},  // grey
};

}  // namespace

const Layer* LayerView::find(LayerId layer) const {
    const auto found = document_.layers_.find(layer);
    return found == document_.layers_.end() ? nullptr : &found->second;
}

std::size_t LayerView::count() const {
    return document_.fields_->topGroups.size();
}

Result<LayerId> LayerView::nth(std::size_t index) const {
    const ChildList& top = document_.fields_->topGroups;
    if (index >= top.size()) {
        return Status::notFound;
    }
    ArtId group = top.first;
    for (; index > 0; --index) {
        group = document_.nodeAt(group).next;
    }
    return document_.nodeAt(group).layer;
}

LayerId LayerView::first() const {
    const ChildList& top = document_.fields_->topGroups;
    return top.empty() ? LayerId{} : document_.nodeAt(top.first).layer;
}

Result<LayerId> LayerView::next(LayerId layer) const {
    const Layer* record = find(layer);
    if (record == nullptr) {
        return Status::invalidHandle;
    }
    for (ArtId sibling = document_.nodeAt(record->group).next; sibling;
         sibling = document_.nodeAt(sibling).next) {
        if (document_.nodeAt(sibling).layer) {
            return document_.nodeAt(sibling).layer;
        }
    }
    return LayerId{};
}

Result<LayerId> LayerView::previous(LayerId layer) const {
    const Layer* record = find(layer);
    if (record == nullptr) {
        return Status::invalidHandle;
    }
    for (ArtId sibling = document_.nodeAt(record->group).previous; sibling;
         sibling = document_.nodeAt(sibling).previous) {
        if (document_.nodeAt(sibling).layer) {
            return document_.nodeAt(sibling).layer;
        }
    }
    return LayerId{};
}

Result<LayerId> LayerView::parent(LayerId layer) const {
    const Layer* record = find(layer);
    if (record == nullptr) {
        return Status::invalidHandle;
    }
    const ArtId parent = document_.nodeAt(record->group).parent;
    return parent ? document_.nodeAt(parent).layer : LayerId{};
}

Result<std::vector<LayerId>> LayerView::sublayers(LayerId layer) const {
    const Layer* record = find(layer);
    if (record == nullptr) {
        return Status::invalidHandle;
    }
    std::vector<LayerId> result;
    document_.forEachChild(document_.nodeAt(record->group), [&](ArtId child) {
        if (const LayerId sublayer = document_.nodeAt(child).layer) {
            result.push_back(sublayer);
        }
    });
    return result;
}

std::vector<LayerId> LayerView::all() const {
    std::vector<LayerId> result;
    for (const ArtId id : document_.documentOrder()) {
        if (const LayerId layer = document_.nodeAt(id).layer) {
            result.push_back(layer);
        }
    }
    return result;
}

Result<LayerId> LayerView::nextPreorder(LayerId layer) const {
    if (find(layer) == nullptr) {
        return Status::invalidHandle;
    }
    const std::vector<LayerId> every = all();
    const auto found = std::find(every.begin(), every.end(), layer);
    return found + 1 < every.end() ? *(found + 1) : LayerId{};
}

LayerId LayerView::byTitle(std::string_view title) const {
    for (const LayerId layer : all()) {
        if (document_.layers_.at(layer).properties.title == title) {
            return layer;
        }
    }
    return LayerId{};
}

Result<ArtId> LayerView::group(LayerId layer) const {
    const Layer* record = find(layer);
    if (record == nullptr) {
        return Status::invalidHandle;
    }
    return record->group;
}

Result<LayerProperties> LayerView::properties(LayerId layer) const {
    const Layer* record = find(layer);
    if (record == nullptr) {
        return Status::invalidHandle;
    }
    return record->properties;
}

Status LayerEditor::setProperties(LayerId layer, const LayerProperties& properties) {
    if (find(layer) == nullptr) {
        return Status::invalidHandle;
    }
    if (!isValidUtf8(properties.title) || properties.dimPercent < 0 || properties.dimPercent > 100) {
        return Status::badParameter;
    }
    document_.editLayer(layer).properties = properties;
    return Status::ok;
}

LayerProperties Document::defaultLayerProperties() const {
    std::set<std::string> titles;
    for (const auto& [id, layer] : layers_) {
        titles.insert(layer.properties.title);
    }
    std::size_t number = layers_.size() + 1;
    while (titles.contains("Layer " + std::to_string(number))) {
        ++number;
    }
    LayerProperties properties;
    properties.title = "Layer " + std::to_string(number);
    properties.color = kLayerColors[layers_.size() % std::size(kLayerColors)];
    return properties;
}

LayerId Document::createLayer(Slot slot) {
    ArtTree tree;
    tree.layer = defaultLayerProperties();
    const ArtId group = insertTree(std::move(tree), slot, UuidPolicy::fresh);
    return nodeAt(group).layer;
}

Result<LayerId> LayerEditor::insert(LayerId relative, PaintOrder order) {
    if (!needsTarget(order)) {
        const ArtId before = order == PaintOrder::aboveAll ? document_.fields_->topGroups.first : ArtId{};
        return document_.createLayer(Document::Slot{ArtId{}, before});
    }
    if (!relative) {
        return Status::badParameter;
    }
    const Layer* record = find(relative);
    if (record == nullptr) {
        return Status::invalidHandle;
    }
    const Result<Document::Slot> slot = document_.slotFor(order, record->group, true, ArtType::group);
    if (!slot) {
        return slot.status();
    }
    return document_.createLayer(*slot);
}

Result<LayerId> LayerEditor::insertAtArt(ArtId art, PaintOrder order) {
    const Result<Document::Slot> slot = document_.slotFor(order, art, true, ArtType::group);
    if (!slot) {
        return slot.status();
    }
    return document_.createLayer(*slot);
}

Status LayerEditor::remove(LayerId layer) {
    const Layer* record = find(layer);
    if (record == nullptr) {
        return Status::invalidHandle;
    }
    const ArtId group = record->group;
    if (!document_.nodeAt(group).parent && count() == 1) {
        return Status::notAllowed;
    }
    document_.eraseSubtree(group);
    return Status::ok;
}

LayerId LayerView::current() const {
    const LayerId held = document_.fields_->currentLayer;
    return find(held) != nullptr ? held : first();
}

Status LayerEditor::setCurrent(LayerId layer) {
    if (find(layer) == nullptr) {
        return Status::invalidHandle;
    }
    document_.editFields().currentLayer = layer;
    return Status::ok;
}

}  // namespace host::model
