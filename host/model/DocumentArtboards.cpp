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
    DocumentFields& fields = editFields();
    fields.artboards = std::move(artboards);
    fields.activeArtboard = active;
    return Status::ok;
}

Status Document::setActiveArtboard(std::size_t index) {
    if (index >= artboards().size()) {
        return Status::badParameter;
    }
    editFields().activeArtboard = index;
    return Status::ok;
}

Status Document::updateArtboard(std::size_t index, const Artboard& artboard) {
    if (index >= artboards().size()) {
        return Status::notFound;
    }
    if (!isValidArtboard(artboard)) {
        return Status::badParameter;
    }
    editFields().artboards[index] = artboard;
    return Status::ok;
}

Result<std::size_t> Document::insertArtboard(Artboard artboard) {
    if (!isValidArtboard(artboard)) {
        return Status::badParameter;
    }
    if (artboards().size() >= kMaxArtboards) {
        return Status::notAllowed;
    }
    if (artboard.name.empty()) {
        artboard.name = "Artboard " + std::to_string(artboards().size() + 1);
    }
    std::vector<Artboard>& all = editFields().artboards;
    all.push_back(std::move(artboard));
    return all.size() - 1;
}

Result<std::size_t> Document::insertArtboardAt(std::size_t index, Artboard artboard) {
    if (index > artboards().size()) {
        return Status::badParameter;
    }
    const Result<std::size_t> added = insertArtboard(std::move(artboard));
    if (!added) {
        return added;
    }
    DocumentFields& fields = editFields();
    std::rotate(fields.artboards.begin() + static_cast<std::ptrdiff_t>(index), fields.artboards.end() - 1,
                fields.artboards.end());
    if (fields.activeArtboard >= index) {
        ++fields.activeArtboard;
    }
    return index;
}

Status Document::deleteArtboards(std::vector<std::size_t> indexes) {
    std::sort(indexes.begin(), indexes.end());
    if (std::adjacent_find(indexes.begin(), indexes.end()) != indexes.end()) {
        return Status::badParameter;
    }
    if (!indexes.empty() && indexes.back() >= artboards().size()) {
        return Status::notFound;
    }
    if (indexes.size() == artboards().size()) {
        return Status::notAllowed;
    }
    // The active artboard keeps its place among the ones that stay; a deleted active one hands over
    // to the first one after it that stays, or the new last one.
    std::size_t active = activeArtboard();
    while (std::binary_search(indexes.begin(), indexes.end(), active) && active + 1 < artboards().size()) {
        ++active;
    }
    while (std::binary_search(indexes.begin(), indexes.end(), active)) {
        --active;
    }
    const auto removedBefore = [&](std::size_t position) {
        return static_cast<std::size_t>(std::lower_bound(indexes.begin(), indexes.end(), position) -
                                        indexes.begin());
    };
    DocumentFields& fields = editFields();
    fields.activeArtboard = active - removedBefore(active);
    for (auto index = indexes.rbegin(); index != indexes.rend(); ++index) {
        fields.artboards.erase(fields.artboards.begin() + static_cast<std::ptrdiff_t>(*index));
    }
    return Status::ok;
}

Status Document::deleteArtboard(std::size_t index) {
    if (index >= artboards().size()) {
        return Status::notFound;
    }
    if (artboards().size() == 1) {
        return Status::notAllowed;
    }
    DocumentFields& fields = editFields();
    fields.artboards.erase(fields.artboards.begin() + static_cast<std::ptrdiff_t>(index));
    if (fields.activeArtboard > index || fields.activeArtboard == fields.artboards.size()) {
        --fields.activeArtboard;
    }
    return Status::ok;
}

Point Document::rulerOrigin() const {
    const Artboard& active = artboards().at(activeArtboard());
    // The ruler origin is measured with y growing downward from the top-left corner.
    return {active.bounds.left + active.rulerOrigin.x, active.bounds.top - active.rulerOrigin.y};
}

}  // namespace host::model
