// Change tracking: the change log every edit goes through, applying a log to step back and forth,
// and the selection marks that tell whether a series of changes left another selection.
#include <algorithm>
#include <utility>

#include "model/Document.h"

namespace host::model {

namespace {

bool ownSelected(const ArtNode* node) {
    return node != nullptr && (node->data->attributes & attribute::selected) != 0;
}

// Equal records of one thing: it ended as it began, including not existing at either end.
template <typename T>
bool sameState(const std::optional<T>& before, const T* now) {
    return before ? now != nullptr && *before == *now : now == nullptr;
}

// Swaps the state a record holds with the live one in the map (none: not there).
template <typename Map, typename Key, typename T>
void swapWithLive(Map& live, const Key& key, std::optional<T>& record) {
    const auto found = live.find(key);
    if (found != live.end() && record) {
        std::swap(found->second, *record);
        return;
    }
    if (found != live.end()) {
        record = std::move(found->second);
        live.erase(found);
        return;
    }
    if (record) {
        live.emplace(key, std::move(*record));
        record.reset();
    }
}

}  // namespace

void ChangeLog::absorb(ChangeLog later) {
    // What this log holds is older, so it stays; the later log adds only what this one lacks.
    for (auto& [art, record] : later.arts_) {
        arts_.try_emplace(art, std::move(record));
    }
    for (auto& [layer, record] : later.layers_) {
        layers_.try_emplace(layer, std::move(record));
    }
    if (!fields_) {
        fields_ = std::move(later.fields_);
    }
}

// --- Recording ---------------------------------------------------------------------------------------

void Document::markArt(ArtId art, const ArtNode* node) {
    tracking_.marks.try_emplace(art, ownSelected(node));
}

void Document::recordArt(ArtId art) {
    changed();
    if (!tracking_.recording || art == tracking_.lastRecorded) {
        return;
    }
    const ArtNode* node = find(art);
    markArt(art, node);
    if (!tracking_.log.arts_.contains(art)) {
        tracking_.log.arts_.try_emplace(art, node != nullptr ? std::optional<ArtNode>(*node) : std::nullopt);
    }
    tracking_.lastRecorded = art;
}

void Document::recordLayer(LayerId layer) {
    changed();
    if (!tracking_.recording || tracking_.log.layers_.contains(layer)) {
        return;
    }
    const Layer* record = layers().find(layer);
    tracking_.log.layers_.emplace(layer, record != nullptr ? std::optional<Layer>(*record) : std::nullopt);
}

ArtNode* Document::editNode(ArtId art) {
    const auto found = arts_.find(art);
    if (found == arts_.end()) {
        return nullptr;
    }
    forgetDerived();
    recordArt(art);
    return &found->second;
}

ArtData& Document::editData(ArtId art) {
    return editNode(art)->data.edit();
}

Layer& Document::editLayer(LayerId layer) {
    recordLayer(layer);
    return layers_.at(layer);
}

DocumentFields& Document::editFields() {
    forgetDerived();
    changed();
    if (tracking_.recording && !tracking_.log.fields_) {
        tracking_.log.fields_ = fields_;
    }
    return fields_.edit();
}

// --- Taking and applying logs --------------------------------------------------------------------------

bool Document::hasChanges() const {
    return std::any_of(tracking_.log.arts_.begin(), tracking_.log.arts_.end(),
                       [this](const auto& entry) { return !sameState(entry.second, find(entry.first)); }) ||
           std::any_of(
               tracking_.log.layers_.begin(), tracking_.log.layers_.end(),
               [this](const auto& entry) { return !sameState(entry.second, layers().find(entry.first)); }) ||
           (tracking_.log.fields_ && !(*tracking_.log.fields_ == fields_));
}

bool Document::hasChangesSince(const ChangeLog& earlier) const {
    const auto artChanged = [this](const auto& entry) { return !sameState(entry.second, find(entry.first)); };
    const auto layerChanged = [this](const auto& entry) {
        return !sameState(entry.second, layers().find(entry.first));
    };
    // A thing the earlier log holds began as that log says; the later log tells only of the rest.
    return std::any_of(earlier.arts_.begin(), earlier.arts_.end(), artChanged) ||
           std::any_of(earlier.layers_.begin(), earlier.layers_.end(), layerChanged) ||
           (earlier.fields_ && !(*earlier.fields_ == fields_)) ||
           std::any_of(tracking_.log.arts_.begin(), tracking_.log.arts_.end(),
                       [&](const auto& entry) {
                           return !earlier.arts_.contains(entry.first) && artChanged(entry);
                       }) ||
           std::any_of(tracking_.log.layers_.begin(), tracking_.log.layers_.end(),
                       [&](const auto& entry) {
                           return !earlier.layers_.contains(entry.first) && layerChanged(entry);
                       }) ||
           (!earlier.fields_ && tracking_.log.fields_ && !(*tracking_.log.fields_ == fields_));
}

ChangeLog Document::takeChanges() {
    if (tracking_.log.empty()) {
        return ChangeLog();
    }
    ChangeLog log = std::exchange(tracking_.log, ChangeLog());
    tracking_.lastRecorded = ArtId{};
    log.arts_.eraseIf([this](const auto& entry) { return sameState(entry.second, find(entry.first)); });
    std::erase_if(log.layers_,
                  [this](const auto& entry) { return sameState(entry.second, layers().find(entry.first)); });
    if (log.fields_ && *log.fields_ == fields_) {
        log.fields_.reset();
    }
    return log;
}

void Document::applyChanges(ChangeLog& changes) {
    forgetDerived();
    changed();
    dropLayerIndex();
    // The UUIDs of the objects about to change leave the index first, so that one coming back finds
    // its place free whatever order the records come in.
    for (const auto& [art, record] : changes.arts_) {
        const ArtNode* node = find(art);
        markArt(art, node);
        if (node != nullptr) {
            uuidIndex_.erase(node->data->uuid);
        }
    }
    for (auto& [art, record] : changes.arts_) {
        swapWithLive(arts_, art, record);
        if (const ArtNode* node = find(art)) {
            uuidIndex_[node->data->uuid] = art;
        }
    }
    for (auto& [layer, record] : changes.layers_) {
        swapWithLive(layers_, layer, record);
    }
    if (changes.fields_) {
        std::swap(*changes.fields_, fields_);
    }
}

ChangeLog Document::setChangesAside() {
    tracking_.lastRecorded = ArtId{};
    return std::exchange(tracking_.log, ChangeLog());
}

void Document::putBackChanges(ChangeLog earlier) {
    earlier.absorb(std::move(tracking_.log));
    tracking_.log = std::move(earlier);
}

void Document::restore(const Document& snapshot) {
    UuidGenerator running = uuids_;
    *this = snapshot;
    uuids_ = running;
}

// --- Selection marks -------------------------------------------------------------------------------------

// A new map rather than clear(): clearing walks every bucket a large change once made.
void Document::markSelection() {
    if (!tracking_.marks.empty()) {
        tracking_.marks = {};
    }
    tracking_.lastRecorded = ArtId{};
}

bool Document::selectionChanged() const {
    return std::any_of(tracking_.marks.begin(), tracking_.marks.end(),
                       [this](const auto& mark) { return ownSelected(find(mark.first)) != mark.second; });
}

std::vector<ArtId> Document::selectedArt() const {
    std::vector<ArtId> selected;
    for (const auto& [art, node] : arts_) {
        if (ownSelected(&node)) {
            selected.push_back(art);
        }
    }
    std::sort(selected.begin(), selected.end());
    return selected;
}

std::vector<ArtId> Document::selectionAtMark() const {
    std::vector<ArtId> selected = selectedArt();
    std::erase_if(selected, [this](ArtId art) { return tracking_.marks.contains(art); });
    for (const auto& [art, wasSelected] : tracking_.marks) {
        if (wasSelected) {
            selected.push_back(art);
        }
    }
    std::sort(selected.begin(), selected.end());
    return selected;
}

}  // namespace host::model
