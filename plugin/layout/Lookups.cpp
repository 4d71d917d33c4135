#include "layout/Lookups.h"

#include <algorithm>
#include <array>
#include <optional>
#include <string_view>

#include "AIArtboardRange.h"
#include "AIDocumentList.h"
#include "IAIArtboards.hpp"
#include "art/ArtTree.h"
#include "art/HostArt.h"
#include "core/FilePaths.h"
#include "core/Suites.h"
#include "core/TextHelpers.h"
#include "layout/Artboards.h"
#include "layout/BoundsGrid.h"
#include "layout/LayoutScopes.h"

namespace {

constexpr std::array<std::string_view, 6> kLocationWords{"above",          "below",    "insideOnTop",
                                                         "insideOnBottom", "aboveAll", "belowAll"};

// The rectangle of the artboard at the index of the list.
bool ArtboardRect(const ai::ArtboardList& list, ArtboardID index, AIRealRect& rect) {
    ai::ArtboardProperties properties;
    return list.GetArtboardProperties(index, properties) == kNoErr && properties.GetPosition(rect) == kNoErr;
}

AILayerHandle FirstLayer() {
    AILayerHandle layer = nullptr;
    return sAILayer != nullptr && sAILayer->GetFirstLayer(&layer) == kNoErr ? layer : nullptr;
}

// The layer group of a layer (its first art); the result says whether the host answered.
bool FirstArtOfLayer(AILayerHandle layer, ArtObject*& art) {
    art = nullptr;
    return sAIArt != nullptr && sAIArt->GetFirstArtOfLayer(layer, &art) == kNoErr;
}

}  // namespace

// --- Layers and placement ----------------------------------------------------------------------------

AILayerHandle GetLayer(int number, const std::string& name) {
    if (AILayerHandle layer = GetLayerByPaintOrder(number)) {
        return layer;
    }
    return GetLayerByName(name);
}

bool FindAskedLayer(int number, const std::string& name, AILayerHandle& layer) {
    layer = LayerAsked(number, name) ? GetLayer(number, name) : nullptr;
    return layer != nullptr || !LayerAsked(number, name);
}

AILayerHandle GetLayerByPaintOrder(int number) {
    if (number < 1 || sAIArt == nullptr) {
        return nullptr;
    }
    std::vector<AILayerHandle> layers;
    for (ArtObject* art : hostart::MatchingArt(nullptr)) {
        AIBoolean isLayerGroup = false;
        AILayerHandle layer = nullptr;
        if (sAIArt->IsArtLayerGroup(art, &isLayerGroup) == kNoErr && isLayerGroup &&
            sAIArt->GetLayerOfArt(art, &layer) == kNoErr && layer != nullptr) {
            layers.push_back(layer);
        }
    }
    const auto position = static_cast<std::size_t>(number);
    return position <= layers.size() ? layers[position - 1] : nullptr;
}

AILayerHandle GetLayerByName(const std::string& name) {
    AILayerHandle layer = nullptr;
    if (name.empty() || sAILayer == nullptr ||
        sAILayer->GetLayerByTitle(&layer, ai::UnicodeString(name, kAIUTF8CharacterEncoding)) != kNoErr) {
        return nullptr;
    }
    return layer;
}

int GetNumLocation(const std::string& word) {
    const auto found = std::find(kLocationWords.begin(), kLocationWords.end(), word);
    return found == kLocationWords.end() ? 0 : static_cast<int>(found - kLocationWords.begin()) + 1;
}

bool PlacementNeedsTarget(int placement) {
    return placement == kPlaceAbove || placement == kPlaceBelow || placement == kPlaceInsideOnTop ||
           placement == kPlaceInsideOnBottom;
}

namespace {

// Placement inside a neighbouring layer's group, or at the end of the whole list when there is no
// neighbour.
bool BesideLayer(AILayerHandle neighbour, bool hostError, int inside, int atEnd, int& placement,
                 ArtObject*& target) {
    if (hostError) {
        return false;
    }
    if (neighbour == nullptr) {
        placement = atEnd;
        target = nullptr;
        return true;
    }
    placement = inside;
    return FirstArtOfLayer(neighbour, target) && target != nullptr;
}

}  // namespace

bool TargetAndLocationForDuplicate(AILayerHandle layer, int code, int& placement, ArtObject*& target) {
    AILayerHandle parent = nullptr;
    if (sAILayer == nullptr || sAILayer->GetLayerParent(layer, &parent) != kNoErr) {
        return false;
    }
    if (parent != nullptr || code == kPlaceInsideOnTop || code == kPlaceInsideOnBottom) {
        placement = code;
        const bool answered = FirstArtOfLayer(layer, target);
        // A placement relative to the layer's art is no placement at all without that art.
        return answered && (target != nullptr || !PlacementNeedsTarget(code));
    }
    switch (code) {
        case kPlaceAbove: {
            AILayerHandle previous = nullptr;
            const bool error = sAILayer->GetPrevLayer(layer, &previous) != kNoErr;
            return BesideLayer(previous, error, kPlaceInsideOnBottom, kPlaceAboveAll, placement, target);
        }
        case kPlaceBelow: {
            AILayerHandle next = nullptr;
            const bool error = sAILayer->GetNextLayer(layer, &next) != kNoErr;
            return BesideLayer(next, error, kPlaceInsideOnTop, kPlaceBelowAll, placement, target);
        }
        case kPlaceAboveAll: {
            AILayerHandle first = FirstLayer();
            placement = kPlaceInsideOnTop;
            return first != nullptr && FirstArtOfLayer(first, target) && target != nullptr;
        }
        case kPlaceBelowAll: {
            ai::int32 count = 0;
            AILayerHandle last = nullptr;
            if (sAILayer->CountLayers(&count) != kNoErr || count < 1 ||
                sAILayer->GetNthLayer(count - 1, &last) != kNoErr || last == nullptr) {
                return false;
            }
            placement = kPlaceInsideOnBottom;
            return FirstArtOfLayer(last, target) && target != nullptr;
        }
        default:
            target = nullptr;
            return true;
    }
}

ArtObject* GetBottomObject() {
    ArtObject* layerGroup = nullptr;
    if (!FirstArtOfLayer(nullptr, layerGroup) || layerGroup == nullptr) {
        return nullptr;
    }
    std::optional<ArtObject*> last = hostart::FirstChild(layerGroup);
    if (!last) {
        return nullptr;
    }
    // Any failing step means the bottom can't be told: none rather than a wrong one.
    for (ArtObject* current = *last; current != nullptr;) {
        const std::optional<ArtObject*> next = hostart::NextSibling(current);
        if (!next) {
            return nullptr;
        }
        last = current;
        current = *next;
    }
    return *last;
}

// --- Documents ----------------------------------------------------------------------------------------

AIDocumentHandle GetDocument(int index, const std::string& nameOrPath) {
    ai::int32 count = 0;
    if (sAIDocumentList == nullptr || sAIDocumentList->Count(&count) != kNoErr) {
        return nullptr;
    }
    AIDocumentHandle document = nullptr;
    if (index >= 0 && index < count) {
        return sAIDocumentList->GetNthDocument(&document, index) == kNoErr ? document : nullptr;
    }
    if (nameOrPath.empty()) {
        return nullptr;
    }
    std::string wanted = nameOrPath;
    ai::FilePath existing;
    if (MakeAIFilePath(nameOrPath, existing)) {
        wanted = existing.GetFullPathUTF8();
    }
    return FindOpenDocumentOfFile(wanted);
}

AIDocumentHandle FindOpenDocumentOfFile(const std::string& path) {
    ai::int32 count = 0;
    if (sAIDocumentList == nullptr || sAIDocumentList->Count(&count) != kNoErr) {
        return nullptr;
    }
    // The host keeps a document's file by its absolute path, and a client may name it relative to
    // the working folder or through "." and "..": the two are compared as files, not as texts, so
    // that an open document is found however its path is spelt.
    for (ai::int32 n = 0; n < count; ++n) {
        AIDocumentHandle document = nullptr;
        ai::FilePath file;
        if (sAIDocumentList->GetNthDocument(&document, n) == kNoErr &&
            sAIDocumentList->GetDocumentFilePath(document, file) == kNoErr &&
            IsSameFile(file.GetFullPathUTF8(), path)) {
            return document;
        }
    }
    return nullptr;
}

bool MakeAIFilePath(const std::string& text, ai::FilePath& path) {
    if (text.empty()) {
        return false;
    }
    for (const std::string& form : {text, AsciiLowerCase(text), AsciiUpperCase(text)}) {
        ai::FilePath candidate(form);
        if (candidate.Exists(false)) {
            path = std::move(candidate);
            return true;
        }
    }
    return false;
}

// --- Artboards ---------------------------------------------------------------------------------------

int GetNumberOfDocumentArtboards() {
    const ai::ArtboardList list;
    ArtboardID count = 0;
    return list.IsValid() && list.GetCount(count) == kNoErr ? count : 0;
}

bool GetArtboardNumbersAndNames(const std::string& range, std::vector<int>& numbers,
                                std::vector<std::string>& names) {
    RangeScope scope;
    const ai::ArtboardList list;
    if (!list.IsValid() || !scope.Open(range)) {
        return false;
    }
    std::vector<int> foundNumbers;
    std::vector<std::string> foundNames;
    for (ArtboardID index = 0; scope.Next(index);) {
        ai::ArtboardProperties properties;
        ai::UnicodeString name;
        if (list.GetArtboardProperties(index, properties) != kNoErr || properties.GetName(name) != kNoErr) {
            continue;
        }
        foundNumbers.push_back(index);
        foundNames.push_back(name.as_UTF8());
    }
    if (foundNumbers.empty()) {
        return false;
    }
    numbers.insert(numbers.end(), foundNumbers.begin(), foundNumbers.end());
    names.insert(names.end(), foundNames.begin(), foundNames.end());
    return true;
}

ArtList ArtboardRangeToArtVector(const std::string& range) {
    const ArtList top = GetTopObjectsInPaintOrder();
    if (top.empty()) {
        return {};
    }
    RangeScope scope;
    const ai::ArtboardList list;
    if (!list.IsValid() || !scope.Open(range)) {
        return {};
    }
    std::vector<AIRealRect> boards;
    for (ArtboardID index = 0; scope.Next(index);) {
        AIRealRect board;
        if (!ArtboardRect(list, index, board)) {
            return {};
        }
        boards.push_back(board);
    }
    // Each object's bounds are asked for once, whatever the number of artboards, and compared only
    // with the artboards near them.
    const BoundsGrid grid(boards);
    ArtList found;
    for (ArtObject* art : top) {
        AIRealRect bounds;
        if (boards.empty() || sAIArt == nullptr ||
            sAIArt->GetArtTransformBounds(art, nullptr, 0, &bounds) != kNoErr) {
            continue;
        }
        const std::vector<std::size_t> near = grid.Near(bounds);
        if (std::any_of(near.begin(), near.end(),
                        [&](std::size_t board) { return Overlap(bounds, boards[board]); })) {
            found.push_back(art);
        }
    }
    return found;
}

int GetArtboardNumber(const std::string& name) {
    const ai::ArtboardList list;
    ArtboardID count = 0;
    if (!list.IsValid() || list.GetCount(count) != kNoErr) {
        return -1;
    }
    for (ArtboardID index = 0; index < count; ++index) {
        ai::ArtboardProperties properties;
        ai::UnicodeString own;
        if (list.GetArtboardProperties(index, properties) == kNoErr && properties.GetName(own) == kNoErr &&
            own.as_UTF8() == name) {
            return index;
        }
    }
    return -1;
}

std::unordered_map<std::string, int> GetArtboardNumbersByName() {
    std::unordered_map<std::string, int> numbers;
    const ai::ArtboardList list;
    ArtboardID count = 0;
    if (!list.IsValid() || list.GetCount(count) != kNoErr) {
        return numbers;
    }
    for (ArtboardID index = 0; index < count; ++index) {
        ai::ArtboardProperties properties;
        ai::UnicodeString own;
        if (list.GetArtboardProperties(index, properties) == kNoErr && properties.GetName(own) == kNoErr) {
            numbers.try_emplace(own.as_UTF8(), index);
        }
    }
    return numbers;
}

bool GetArtBoardBounds(int index, const std::string& name, AIRealRect& rect) {
    const ai::ArtboardList list;
    if (!list.IsValid()) {
        return false;
    }
    if (index < 0 && !name.empty()) {
        index = GetArtboardNumber(name);
        if (index < 0) {
            return false;
        }
    }
    if (index < 0 && list.GetActive(index) != kNoErr) {
        return false;
    }
    return ArtboardRect(list, index, rect);
}
