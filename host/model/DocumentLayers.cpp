// Layers and sublayers: navigation, properties, insertion and deletion.
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

const Layer* Document::findLayer(LayerId layer) const {
    const auto found = layers_.find(layer);
    return found == layers_.end() ? nullptr : &found->second;
}

Result<LayerId> Document::nthLayer(std::size_t index) const {
    const ChildList& top = fields_->topGroups;
    if (index >= top.size()) {
        return Status::notFound;
    }
    ArtId group = top.first;
    for (; index > 0; --index) {
        group = nodeAt(group).next;
    }
    return nodeAt(group).layer;
}

LayerId Document::firstLayer() const {
    const ChildList& top = fields_->topGroups;
    return top.empty() ? LayerId{} : nodeAt(top.first).layer;
}

Result<LayerId> Document::nextLayer(LayerId layer) const {
    const Layer* record = findLayer(layer);
    if (record == nullptr) {
        return Status::invalidHandle;
    }
    for (ArtId sibling = nodeAt(record->group).next; sibling; sibling = nodeAt(sibling).next) {
        if (nodeAt(sibling).layer) {
            return nodeAt(sibling).layer;
        }
    }
    return LayerId{};
}

Result<LayerId> Document::previousLayer(LayerId layer) const {
    const Layer* record = findLayer(layer);
    if (record == nullptr) {
        return Status::invalidHandle;
    }
    for (ArtId sibling = nodeAt(record->group).previous; sibling; sibling = nodeAt(sibling).previous) {
        if (nodeAt(sibling).layer) {
            return nodeAt(sibling).layer;
        }
    }
    return LayerId{};
}

Result<LayerId> Document::parentLayer(LayerId layer) const {
    const Layer* record = findLayer(layer);
    if (record == nullptr) {
        return Status::invalidHandle;
    }
    const ArtId parent = nodeAt(record->group).parent;
    return parent ? nodeAt(parent).layer : LayerId{};
}

Result<std::vector<LayerId>> Document::sublayers(LayerId layer) const {
    const Layer* record = findLayer(layer);
    if (record == nullptr) {
        return Status::invalidHandle;
    }
    std::vector<LayerId> result;
    forEachChild(nodeAt(record->group), [&](ArtId child) {
        if (const LayerId sublayer = nodeAt(child).layer) {
            result.push_back(sublayer);
        }
    });
    return result;
}

std::vector<LayerId> Document::allLayers() const {
    std::vector<LayerId> result;
    for (const ArtId id : documentOrder()) {
        if (const LayerId layer = nodeAt(id).layer) {
            result.push_back(layer);
        }
    }
    return result;
}

Result<LayerId> Document::nextPreorderLayer(LayerId layer) const {
    if (findLayer(layer) == nullptr) {
        return Status::invalidHandle;
    }
    const std::vector<LayerId> all = allLayers();
    const auto found = std::find(all.begin(), all.end(), layer);
    return found + 1 < all.end() ? *(found + 1) : LayerId{};
}

LayerId Document::layerByTitle(std::string_view title) const {
    for (const LayerId layer : allLayers()) {
        if (layers_.at(layer).properties.title == title) {
            return layer;
        }
    }
    return LayerId{};
}

Result<ArtId> Document::layerGroup(LayerId layer) const {
    const Layer* record = findLayer(layer);
    if (record == nullptr) {
        return Status::invalidHandle;
    }
    return record->group;
}

Result<LayerProperties> Document::layerProperties(LayerId layer) const {
    const Layer* record = findLayer(layer);
    if (record == nullptr) {
        return Status::invalidHandle;
    }
    return record->properties;
}

Status Document::setLayerProperties(LayerId layer, const LayerProperties& properties) {
    if (findLayer(layer) == nullptr) {
        return Status::invalidHandle;
    }
    if (!isValidUtf8(properties.title) || properties.dimPercent < 0 || properties.dimPercent > 100) {
        return Status::badParameter;
    }
    editLayer(layer).properties = properties;
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

Result<LayerId> Document::insertLayer(LayerId relative, PaintOrder order) {
    if (!needsTarget(order)) {
        return createLayer(Slot{ArtId{}, order == PaintOrder::aboveAll ? fields_->topGroups.first : ArtId{}});
    }
    if (!relative) {
        return Status::badParameter;
    }
    const Layer* record = findLayer(relative);
    if (record == nullptr) {
        return Status::invalidHandle;
    }
    const Result<Slot> slot = slotFor(order, record->group, true, ArtType::group);
    if (!slot) {
        return slot.status();
    }
    return createLayer(*slot);
}

Result<LayerId> Document::insertLayerAtArt(ArtId art, PaintOrder order) {
    const Result<Slot> slot = slotFor(order, art, true, ArtType::group);
    if (!slot) {
        return slot.status();
    }
    return createLayer(*slot);
}

Status Document::deleteLayer(LayerId layer) {
    const Layer* record = findLayer(layer);
    if (record == nullptr) {
        return Status::invalidHandle;
    }
    const ArtId group = record->group;
    if (!nodeAt(group).parent && fields_->topGroups.size() == 1) {
        return Status::notAllowed;
    }
    eraseSubtree(group);
    return Status::ok;
}

LayerId Document::currentLayer() const {
    return findLayer(fields_->currentLayer) != nullptr ? fields_->currentLayer : firstLayer();
}

Status Document::setCurrentLayer(LayerId layer) {
    if (findLayer(layer) == nullptr) {
        return Status::invalidHandle;
    }
    editFields().currentLayer = layer;
    return Status::ok;
}

}  // namespace host::model
