// Layers and sublayers: navigation, properties, insertion and deletion, through the views over a
// document's layer groups, and the document's own making of a new layer.
#include <algorithm>
#include <memory>

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
    const std::vector<LayerId>& top = document_.layerIndex().top;
    if (index >= top.size()) {
        return Status::notFound;
    }
    return top[index];
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
    return document_.layerIndex().preorder;
}

Result<LayerId> LayerView::nextPreorder(LayerId layer) const {
    if (find(layer) == nullptr) {
        return Status::invalidHandle;
    }
    const std::vector<LayerId>& every = document_.layerIndex().preorder;
    const auto found = std::find(every.begin(), every.end(), layer);
    return found != every.end() && found + 1 < every.end() ? *(found + 1) : LayerId{};
}

namespace {

const LayerIndex::Titled* Titled(const LayerIndex& index, std::string_view title) {
    const auto found = index.titles.find(std::string(title));
    return found == index.titles.end() ? nullptr : &found->second;
}

}  // namespace

LayerId LayerView::byTitle(std::string_view title) const {
    const LayerIndex::Titled* titled = Titled(document_.layerIndex(), title);
    return titled != nullptr ? titled->first : LayerId{};
}

LayerId LayerView::topByTitle(std::string_view title) const {
    const LayerIndex::Titled* titled = Titled(document_.layerIndex(), title);
    return titled != nullptr ? titled->firstTop : LayerId{};
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
    const bool retitled = properties.title != find(layer)->properties.title;
    document_.editLayer(layer, retitled).properties = properties;
    return Status::ok;
}

const LayerIndex& Document::layerIndex() const {
    if (layerIndex_) {
        return *layerIndex_;
    }
    auto index = std::make_shared<LayerIndex>();
    index->preorder.reserve(layers_.size());
    index->titles.reserve(layers_.size());
    // Layer groups lie only among the top-level groups and directly in other layer groups, so the
    // layers' pre-order is that of the layer groups, found among each layer group's children.
    std::vector<ArtId> pending;
    for (ArtId group = fields_->topGroups.last; group; group = nodeAt(group).previous) {
        pending.push_back(group);
    }
    while (!pending.empty()) {
        const ArtNode& node = nodeAt(pending.back());
        pending.pop_back();
        LayerIndex::Titled& titled = index->titles[layers_.at(node.layer).properties.title];
        if (!titled.first) {
            titled.first = node.layer;
        }
        if (!node.parent) {
            index->top.push_back(node.layer);
            if (!titled.firstTop) {
                titled.firstTop = node.layer;
            }
        }
        index->preorder.push_back(node.layer);
        for (ArtId child = node.children.last; child; child = nodeAt(child).previous) {
            if (nodeAt(child).layer) {
                pending.push_back(child);
            }
        }
    }
    layerIndex_ = std::move(index);
    return *layerIndex_;
}

LayerProperties Document::defaultLayerProperties() const {
    const std::unordered_map<std::string, LayerIndex::Titled>& titles = layerIndex().titles;
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
