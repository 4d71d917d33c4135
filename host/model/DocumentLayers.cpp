// Layers and sublayers: navigation, properties, insertion and deletion, through the views over a
// document's layer groups, and the document's own making of a new layer.
#include <algorithm>
#include <memory>
#include <utility>

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
    LayerProperties changed = properties;
    std::string title = std::exchange(changed.title, find(layer)->properties.title);
    document_.editLayer(layer).properties = std::move(changed);
    document_.retitleLayer(layer, std::move(title));
    return Status::ok;
}

void Document::retitleLayer(LayerId layer, std::string title) {
    std::string& held = editLayer(layer).properties.title;
    if (held == title) {
        return;
    }
    const std::string from = std::exchange(held, std::move(title));
    // The index follows when the layer was the only holder of its old title, or not the first of
    // it, and is the only holder of its new one, as a layer given a name of its own is. Otherwise
    // the order of the holders decides, and the index is built again when next asked for.
    std::shared_ptr<LayerIndex> index = takeLayerIndex();
    if (!index) {
        return;
    }
    const auto old = index->titles.find(from);
    if (old == index->titles.end() || index->titles.contains(held)) {
        return;
    }
    if (old->second.count == 1) {
        index->titles.erase(old);
    } else if (old->second.first == layer || old->second.firstTop == layer) {
        return;
    } else {
        --old->second.count;
    }
    const bool top = !nodeAt(layers_.at(layer).group).parent;
    index->titles.emplace(held, LayerIndex::Titled{layer, top ? layer : LayerId{}, 1});
    putBackLayerIndex(std::move(index));
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
        ++titled.count;
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

std::shared_ptr<LayerIndex> Document::takeLayerIndex() {
    if (layerIndex_.use_count() != 1) {
        layerIndex_.reset();
        return nullptr;
    }
    return std::move(layerIndex_);
}

namespace {

// A layer and its title, as it was when the layer went.
using TitledLayer = std::pair<LayerId, std::string>;

// The index without the layers, which were a layer and everything below it (in pre-order) and are
// gone from the document; titleOf(layer) reads the title of a layer that stays. False when the
// index does not hold them as expected: it is built again then.
template <typename TitleOf>
bool ForgetLayers(LayerIndex& index, const std::vector<TitledLayer>& removed, const TitleOf& titleOf) {
    const auto start = std::find(index.preorder.begin(), index.preorder.end(), removed.front().first);
    if (static_cast<std::size_t>(index.preorder.end() - start) < removed.size()) {
        return false;
    }
    for (std::size_t i = 0; i < removed.size(); ++i) {
        if (start[static_cast<std::ptrdiff_t>(i)] != removed[i].first) {
            return false;
        }
    }
    index.preorder.erase(start, start + static_cast<std::ptrdiff_t>(removed.size()));
    std::erase(index.top, removed.front().first);
    for (const auto& [layer, title] : removed) {
        const auto titled = index.titles.find(title);
        if (titled == index.titles.end()) {
            return false;
        }
        if (--titled->second.count == 0) {
            index.titles.erase(titled);
            continue;
        }
        if (titled->second.first != layer && titled->second.firstTop != layer) {
            continue;
        }
        // The first of the title went while others have it: the next one in order takes its place.
        LayerIndex::Titled next{LayerId{}, LayerId{}, titled->second.count};
        for (const LayerId other : index.preorder) {
            if (titleOf(other) == title && !next.first) {
                next.first = other;
            }
        }
        for (const LayerId other : index.top) {
            if (titleOf(other) == title && !next.firstTop) {
                next.firstTop = other;
            }
        }
        titled->second = next;
    }
    return true;
}

}  // namespace

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
    const std::string title = tree.layer->title;
    // A new top-level layer in front of all others or behind them takes a known place in the index
    // (it has no sublayers yet); elsewhere the index is built again when next asked for.
    const bool front = !slot.parent && slot.before && slot.before == fields_->topGroups.first;
    const bool back = !slot.parent && !slot.before;
    std::shared_ptr<LayerIndex> index = front || back ? takeLayerIndex() : nullptr;
    const ArtId group = insertTree(std::move(tree), slot, UuidPolicy::fresh);
    const LayerId layer = nodeAt(group).layer;
    if (index) {
        LayerIndex::Titled& titled = index->titles[title];
        ++titled.count;
        if (front) {
            index->top.insert(index->top.begin(), layer);
            index->preorder.insert(index->preorder.begin(), layer);
            titled.first = layer;
            titled.firstTop = layer;
        } else {
            index->top.push_back(layer);
            index->preorder.push_back(layer);
            titled.first = titled.first ? titled.first : layer;
            titled.firstTop = titled.firstTop ? titled.firstTop : layer;
        }
        putBackLayerIndex(std::move(index));
    }
    return layer;
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
    // The layer and its sublayers leave the index, which need not be built again.
    std::shared_ptr<LayerIndex> index = document_.takeLayerIndex();
    std::vector<TitledLayer> removed;
    if (index) {
        const std::vector<ArtId> going = *document_.artTree(group);
        for (const ArtId id : going) {
            if (const LayerId below = document_.nodeAt(id).layer) {
                removed.emplace_back(below, document_.layers_.at(below).properties.title);
            }
        }
    }
    document_.eraseSubtree(group);
    const auto titleOf = [this](LayerId layer) -> const std::string& {
        return document_.layers_.at(layer).properties.title;
    };
    if (index && ForgetLayers(*index, removed, titleOf)) {
        document_.putBackLayerIndex(std::move(index));
    }
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
