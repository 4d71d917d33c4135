// Artboards: the document's list, the active one and its ruler origin.
#include <algorithm>
#include <cmath>
#include <string>

#include "model/Document.h"
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

Status Document::setArtboards(std::vector<Artboard> artboards, std::size_t active) {
    if (artboards.empty()) {
        artboards.push_back(defaultArtboard());
    }
    if (artboards.size() > kMaxArtboards || active >= artboards.size()) {
        return Status::badParameter;
    }
    for (const Artboard& artboard : artboards) {
        if (!isValidArtboard(artboard)) {
            return Status::badParameter;
        }
    }
    artboards_ = std::move(artboards);
    activeArtboard_ = active;
    return Status::ok;
}

Status Document::setActiveArtboard(std::size_t index) {
    if (index >= artboards_.size()) {
        return Status::badParameter;
    }
    activeArtboard_ = index;
    return Status::ok;
}

Status Document::updateArtboard(std::size_t index, const Artboard& artboard) {
    if (index >= artboards_.size()) {
        return Status::notFound;
    }
    if (!isValidArtboard(artboard)) {
        return Status::badParameter;
    }
    artboards_[index] = artboard;
    return Status::ok;
}

Result<std::size_t> Document::insertArtboard(Artboard artboard) {
    if (!isValidArtboard(artboard)) {
        return Status::badParameter;
    }
    if (artboards_.size() >= kMaxArtboards) {
        return Status::notAllowed;
    }
    if (artboard.name.empty()) {
        artboard.name = "Artboard " + std::to_string(artboards_.size() + 1);
    }
    artboards_.push_back(std::move(artboard));
    return artboards_.size() - 1;
}

Result<std::size_t> Document::insertArtboardAt(std::size_t index, Artboard artboard) {
    if (index > artboards_.size()) {
        return Status::badParameter;
    }
    const Result<std::size_t> added = insertArtboard(std::move(artboard));
    if (!added) {
        return added;
    }
    std::rotate(artboards_.begin() + static_cast<std::ptrdiff_t>(index), artboards_.end() - 1,
                artboards_.end());
    if (activeArtboard_ >= index) {
        ++activeArtboard_;
    }
    return index;
}

Status Document::deleteArtboards(std::vector<std::size_t> indexes) {
    std::sort(indexes.begin(), indexes.end());
    if (std::adjacent_find(indexes.begin(), indexes.end()) != indexes.end()) {
        return Status::badParameter;
    }
    if (!indexes.empty() && indexes.back() >= artboards_.size()) {
        return Status::notFound;
    }
    if (indexes.size() == artboards_.size()) {
        return Status::notAllowed;
    }
    // The active artboard keeps its place among the ones that stay; a deleted active one hands over
    // to the first one after it that stays, or the new last one.
    std::size_t active = activeArtboard_;
    while (std::binary_search(indexes.begin(), indexes.end(), active) && active + 1 < artboards_.size()) {
        ++active;
    }
    while (std::binary_search(indexes.begin(), indexes.end(), active)) {
        --active;
    }
    const auto removedBefore = [&](std::size_t position) {
        return static_cast<std::size_t>(std::lower_bound(indexes.begin(), indexes.end(), position) -
                                        indexes.begin());
    };
    activeArtboard_ = active - removedBefore(active);
    for (auto index = indexes.rbegin(); index != indexes.rend(); ++index) {
        artboards_.erase(artboards_.begin() + static_cast<std::ptrdiff_t>(*index));
    }
    return Status::ok;
}

Status Document::deleteArtboard(std::size_t index) {
    if (index >= artboards_.size()) {
        return Status::notFound;
    }
    if (artboards_.size() == 1) {
        return Status::notAllowed;
    }
    artboards_.erase(artboards_.begin() + static_cast<std::ptrdiff_t>(index));
    if (activeArtboard_ > index || activeArtboard_ == artboards_.size()) {
        --activeArtboard_;
    }
    return Status::ok;
}

Point Document::rulerOrigin() const {
    const Artboard& active = artboards_.at(activeArtboard_);
    // The ruler origin is measured with y growing downward from the top-left corner.
    return {active.bounds.left + active.rulerOrigin.x, active.bounds.top - active.rulerOrigin.y};
}

}  // namespace host::model
