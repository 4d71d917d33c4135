// Artboards: their validity, the document's list, the active one and its ruler origin.
#include "model/Artboard.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "model/Utf8.h"

namespace host::model {

Artboard defaultArtboard() {
    Artboard artboard;
    artboard.name = "Artboard 1";
    return artboard;
}

bool isValidArtboard(const Artboard& artboard) {
    const Rect& r = artboard.bounds;
    const bool finite = std::isfinite(r.left) && std::isfinite(r.top) && std::isfinite(r.right) &&
                        std::isfinite(r.bottom) && std::isfinite(artboard.rulerOrigin.x) &&
                        std::isfinite(artboard.rulerOrigin.y) && std::isfinite(artboard.pixelAspectRatio);
    return finite && r.right > r.left && r.top > r.bottom && artboard.pixelAspectRatio > 0.0 &&
           isValidUtf8(artboard.name);
}

Result<Artboards> Artboards::from(std::vector<Artboard> list, std::size_t active) {
    if (list.empty()) {
        list.push_back(defaultArtboard());
    }
    if (list.size() > kMaxArtboards || active >= list.size() ||
        !std::all_of(list.begin(), list.end(), isValidArtboard)) {
        return Status::badParameter;
    }
    Artboards artboards;
    artboards.list_ = std::move(list);
    artboards.active_ = active;
    return artboards;
}

Status Artboards::setActive(std::size_t index) {
    if (index >= list_.size()) {
        return Status::badParameter;
    }
    active_ = index;
    return Status::ok;
}

Status Artboards::update(std::size_t index, const Artboard& artboard) {
    if (index >= list_.size()) {
        return Status::notFound;
    }
    if (!isValidArtboard(artboard)) {
        return Status::badParameter;
    }
    list_[index] = artboard;
    return Status::ok;
}

Result<std::size_t> Artboards::insertAt(std::size_t index, Artboard artboard) {
    if (index > list_.size() || !isValidArtboard(artboard)) {
        return Status::badParameter;
    }
    if (list_.size() >= kMaxArtboards) {
        return Status::notAllowed;
    }
    if (artboard.name.empty()) {
        artboard.name = "Artboard " + std::to_string(list_.size() + 1);
    }
    list_.insert(list_.begin() + static_cast<std::ptrdiff_t>(index), std::move(artboard));
    if (active_ >= index) {
        ++active_;
    }
    return index;
}

Status Artboards::removeMany(std::vector<std::size_t> indexes) {
    std::sort(indexes.begin(), indexes.end());
    if (std::adjacent_find(indexes.begin(), indexes.end()) != indexes.end()) {
        return Status::badParameter;
    }
    if (!indexes.empty() && indexes.back() >= list_.size()) {
        return Status::notFound;
    }
    if (indexes.size() == list_.size()) {
        return Status::notAllowed;
    }
    // The active artboard keeps its place among the ones that stay; a deleted active one hands over
    // to the first one after it that stays, or the new last one.
    std::size_t active = active_;
    while (std::binary_search(indexes.begin(), indexes.end(), active) && active + 1 < list_.size()) {
        ++active;
    }
    while (std::binary_search(indexes.begin(), indexes.end(), active)) {
        --active;
    }
    const auto removedBefore = [&](std::size_t position) {
        return static_cast<std::size_t>(std::lower_bound(indexes.begin(), indexes.end(), position) -
                                        indexes.begin());
    };
    active_ = active - removedBefore(active);
    for (auto index = indexes.rbegin(); index != indexes.rend(); ++index) {
        list_.erase(list_.begin() + static_cast<std::ptrdiff_t>(*index));
    }
    return Status::ok;
}

Point Artboards::rulerOrigin() const {
    // The ruler origin is measured with y growing downward from the top-left corner.
    return {active().bounds.left + active().rulerOrigin.x, active().bounds.top - active().rulerOrigin.y};
}

}  // namespace host::model
