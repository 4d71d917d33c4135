#include "art/ArtTree.h"

#include <algorithm>

#include "AIArt.h"
#include "AIEnvelope.h"
#include "AIGroup.h"
#include "AIIntertwine.h"
#include "AIIsolationMode.h"
#include "AILayer.h"
#include "AIUUID.h"
#include "IAIUnicodeString.h"
#include "art/Crc32.h"
#include "art/HostArt.h"
#include "art/TagText.h"
#include "core/Suites.h"

namespace {

// Bounds every climb up a parent chain, in case the host ever answers with a loop.
constexpr int kMaxTreeDepth = 1 << 16;

bool IsEnvelope(ArtObject* art) {
    return sAIEnvelope != nullptr && sAIEnvelope->IsEnvelope(art);
}

ArtObject* EnvelopeObject(ArtObject* envelope) {
    ArtObject* object = nullptr;
    if (sAIEnvelope == nullptr || sAIEnvelope->GetEnvelopeObject(envelope, &object) != kNoErr) {
        return nullptr;
    }
    return object;
}

bool HasAncestorAmong(ArtObject* art, const ArtHandleSet& members) {
    std::optional<ArtObject*> parent = hostart::Parent(art);
    for (int depth = 0; parent && *parent != nullptr && depth < kMaxTreeDepth; ++depth) {
        if (members.contains(*parent)) {
            return true;
        }
        parent = hostart::Parent(*parent);
    }
    return false;
}

AILayerHandle ParentLayer(AILayerHandle layer) {
    AILayerHandle parent = nullptr;
    if (sAILayer == nullptr || sAILayer->GetLayerParent(layer, &parent) != kNoErr) {
        return nullptr;
    }
    return parent;
}

bool TransformBounds(ArtObject* art, ai::int32 flags, AIRealRect& bounds) {
    return sAIArt != nullptr && sAIArt->GetArtTransformBounds(art, nullptr, flags, &bounds) == kNoErr;
}

// Rectangles have the vertical axis growing upward: the top is the larger value.
AIRealRect UnionOf(const AIRealRect& a, const AIRealRect& b) {
    AIRealRect both;
    both.left = std::min(a.left, b.left);
    both.right = std::max(a.right, b.right);
    both.top = std::max(a.top, b.top);
    both.bottom = std::min(a.bottom, b.bottom);
    return both;
}

// Where the single root of an isolated selection sits in the selection query's answer: editing a
// pattern lists the pattern's own groups first, isolating one object lists its layer group first.
std::optional<std::size_t> IsolatedRootPosition() {
    if (sAIIsolationMode == nullptr || !sAIIsolationMode->IsInIsolationMode()) {
        return std::nullopt;
    }
    switch (sAIIsolationMode->GetIsolationModeType()) {
        case kAIPatternEditIsolation:
            return 2;
        case kAISingleArtIsolation:
            return 1;
        default:
            return std::nullopt;
    }
}

}  // namespace

std::string ArtUUID(ArtObject* art) {
    ai::UnicodeString text;
    return ArtUUID(art, text);
}

std::string ArtUUID(ArtObject* art, ai::UnicodeString& scratch) {
    if (sAIUUID == nullptr) {
        return {};
    }
    AIUUID uuid;
    if (sAIUUID->GetArtUUID(art, &uuid) != kNoErr || sAIUUID->GetUUIDAsString(uuid, scratch) != kNoErr) {
        return {};
    }
    return scratch.getInStdString(kAIUTF8CharacterEncoding);
}

std::int32_t ArtCRC(ArtObject* art) {
    const std::string uuid = ArtUUID(art);
    return uuid.empty() ? 0 : static_cast<std::int32_t>(CRC32(uuid));
}

bool GetArtSelected(ArtObject* art, const ArtHandleSet& selected) {
    return selected.contains(art);
}

ArtList GetArtTree(ArtObject* art) {
    if (art == nullptr) {
        return {};
    }
    return hostart::MatchingArt(art);
}

ArtList GetAllObjects(bool includeLayerGroups) {
    ArtList all = hostart::MatchingArt(nullptr);
    if (!includeLayerGroups) {
        std::erase_if(all, hostart::IsLayerGroup);
    }
    return all;
}

ArtList GetAllSelectedObjects(bool includeLayerGroups) {
    ArtList selected = hostart::MatchingArt(nullptr, kArtFullySelected, kArtFullySelected);
    if (!includeLayerGroups) {
        std::erase_if(selected, hostart::IsLayerGroup);
    }
    return selected;
}

ArtList GetTopObjectsInPaintOrder() {
    // The children of every layer's group, going down into the groups of sublayers only: what lies
    // deeper is never a top object, so the walk costs what the layers hold directly. Each open
    // group keeps the children still to visit, so that a sublayer's objects come in its place.
    ArtList top;
    std::vector<std::pair<ArtList, std::size_t>> open;
    for (AILayerHandle layer : GetTopLayers()) {
        AIArtHandle group = nullptr;
        if (sAIArt == nullptr || sAIArt->GetFirstArtOfLayer(layer, &group) != kNoErr || group == nullptr) {
            continue;
        }
        open.emplace_back(hostart::Children(group), 0);
        while (!open.empty()) {
            auto& [children, next] = open.back();
            if (next == children.size()) {
                open.pop_back();
                continue;
            }
            ArtObject* child = children[next++];
            if (hostart::IsLayerGroup(child)) {
                open.emplace_back(hostart::Children(child), 0);
            } else {
                top.push_back(child);
            }
        }
    }
    return top;
}

ArtHandleSet GetTopObjects() {
    const ArtList top = GetTopObjectsInPaintOrder();
    return ArtHandleSet(top.begin(), top.end());
}

std::vector<AILayerHandle> GetTopLayers() {
    std::vector<AILayerHandle> layers;
    AILayerHandle layer = nullptr;
    if (sAILayer == nullptr || sAILayer->GetFirstLayer(&layer) != kNoErr) {
        return layers;
    }
    while (layer != nullptr && std::ssize(layers) < kMaxTreeDepth) {
        layers.push_back(layer);
        AILayerHandle next = nullptr;
        if (sAILayer->GetNextLayer(layer, &next) != kNoErr) {
            break;
        }
        layer = next;
    }
    return layers;
}

AILayerHandle GetArtTopLayer(ArtObject* art) {
    AILayerHandle layer = nullptr;
    if (sAIArt == nullptr || sAIArt->GetLayerOfArt(art, &layer) != kNoErr) {
        return nullptr;
    }
    for (int depth = 0; layer != nullptr && depth < kMaxTreeDepth; ++depth) {
        AILayerHandle parent = ParentLayer(layer);
        if (parent == nullptr) {
            break;
        }
        layer = parent;
    }
    return layer;
}

ArtList GetTopFullySelectedObjects() {
    const ArtList answer = hostart::MatchingArt(nullptr, kArtSelected, kArtSelected);
    ArtList roots;
    ArtHandleSet selected;
    for (ArtObject* art : answer) {
        if (hostart::IsLayerGroup(art)) {
            roots.push_back(art);
        } else {
            selected.insert(art);
        }
    }
    ArtList result;
    if (const std::optional<std::size_t> position = IsolatedRootPosition()) {
        if (*position < answer.size()) {
            FindFullySelected(answer[*position], selected, true, result);
        }
        return result;
    }
    for (ArtObject* root : roots) {
        FindFullySelected(root, selected, true, result);
    }
    return result;
}

bool FindFullySelected(ArtObject* art, const ArtHandleSet& selected, bool isRoot, ArtList& out) {
    if (!isRoot && hostart::IsLayerGroup(art)) {
        return false;
    }
    const std::optional<ai::int16> type = hostart::Type(art);
    if (!type) {
        return false;
    }
    if (*type != kGroupArt) {
        return GetArtSelected(art, selected);
    }
    const ArtList children = hostart::Children(art);
    if (children.empty()) {
        return GetArtSelected(art, selected);
    }
    ArtList wholeChildren;
    bool whole = true;
    for (ArtObject* child : children) {
        ArtList parts;
        if (FindFullySelected(child, selected, false, parts)) {
            wholeChildren.push_back(child);
        } else {
            whole = false;
            out.insert(out.end(), parts.begin(), parts.end());
        }
    }
    if (whole && !isRoot) {
        return true;
    }
    out.insert(out.end(), wholeChildren.begin(), wholeChildren.end());
    return whole;
}

void GetSubTree(ArtObject* art, ArtList& out) {
    if (IsEnvelope(art)) {
        if (ArtObject* held = EnvelopeObject(art)) {
            out.push_back(held);
        }
        return;
    }
    const ArtList children = hostart::Children(art);
    if (children.empty()) {
        out.push_back(art);
        return;
    }
    if (sAIIntertwine != nullptr && sAIIntertwine->IsIntertwine(art)) {
        out.push_back(art);
    }
    for (ArtObject* child : children) {
        GetSubTree(child, out);
    }
}

void FindSubTree(ArtObject* art, ArtList& out) {
    const std::optional<ArtObject*> parent = hostart::Parent(art);
    if (!parent) {
        return;
    }
    if (*parent != nullptr) {
        const std::optional<ai::int16> parentType = hostart::Type(*parent);
        if (!parentType || *parentType == kCompoundPathArt) {
            return;
        }
    }
    GetSubTree(art, out);
}

ArtHandleSet FindSubTree(const ArtList& list) {
    ArtList found;
    for (ArtObject* art : list) {
        FindSubTree(art, found);
    }
    return ArtHandleSet(found.begin(), found.end());
}

ArtList FindLeaves(const ArtList& list) {
    ArtHandleSet leaves;
    for (ArtObject* member : list) {
        for (ArtObject* art : GetArtTree(member)) {
            const std::optional<ai::int16> type = hostart::Type(art);
            if (type && *type != kGroupArt) {
                leaves.insert(art);
            }
        }
    }
    return ArtList(leaves.begin(), leaves.end());
}

ArtList FindGroups(ArtObject* art) {
    ArtList groups = GetArtTree(art);
    std::erase_if(groups, [](ArtObject* member) { return !hostart::IsOfType(member, kGroupArt); });
    return groups;
}

ArtList RemoveLeaves2(const ArtList& list) {
    const ArtHandleSet members(list.begin(), list.end());
    ArtList kept;
    for (ArtObject* art : list) {
        if (!HasAncestorAmong(art, members)) {
            kept.push_back(art);
        }
    }
    return kept;
}

ArtHandleSet RemoveLeaves(const ArtList& list) {
    const ArtList kept = RemoveLeaves2(list);
    return ArtHandleSet(kept.begin(), kept.end());
}

ArtList SortArtByPaintOrder(const ArtList& list, bool reverse) {
    ArtHandleSet members(list.begin(), list.end());
    // Layer groups are left out; only the members found are asked whether they are one.
    ArtList all = hostart::MatchingArt(nullptr);
    if (reverse) {
        std::reverse(all.begin(), all.end());
    }
    ArtList sorted;
    for (ArtObject* art : all) {
        if (members.empty()) {
            break;
        }
        if (members.erase(art) != 0 && !hostart::IsLayerGroup(art)) {
            sorted.push_back(art);
        }
    }
    return sorted;
}

void SelectSubTree(ArtObject* art) {
    for (ArtObject* child : hostart::Children(art)) {
        SelectSubTree(child);
    }
    hostart::SetUserAttr(art, kArtSelected, true);
    if (IsEnvelope(art)) {
        if (ArtObject* held = EnvelopeObject(art)) {
            SelectSubTree(held);
        }
    }
}

bool SetGroupVisibility(ArtObject* art, bool hidden) {
    const ArtList children = hostart::Children(art);
    if (children.empty()) {
        return false;
    }
    for (ArtObject* child : children) {
        hostart::SetUserAttr(child, kArtHidden, hidden);
    }
    hostart::SetUserAttr(art, kArtHidden, hidden);
    return true;
}

bool UngroupArt(ArtObject* group, ArtList& out) {
    // The children are listed before anything moves, as moving them changes the sibling chain.
    const ArtList children = hostart::Children(group);
    if (children.empty() || sAIArt == nullptr) {
        return !children.empty();
    }
    ArtList copiedOriginals;
    bool everyChildOut = true;
    for (ArtObject* child : children) {
        ArtObject* copy = nullptr;
        if (sAIArt->DuplicateArt(child, kPlaceAbove, group, &copy) == kNoErr && copy != nullptr) {
            out.push_back(copy);
            copiedOriginals.push_back(child);
        } else if (sAIArt->ReorderArt(child, kPlaceAbove, group) == kNoErr) {
            // The copy failed: the child itself leaves the group instead of being lost with it.
            out.push_back(child);
        } else {
            everyChildOut = false;
        }
    }
    if (everyChildOut) {
        sAIArt->DisposeArt(group);
        return true;
    }
    // A child is stuck in the group: keep the group for it and drop only the originals that were
    // copied out.
    for (ArtObject* original : copiedOriginals) {
        sAIArt->DisposeArt(original);
    }
    return true;
}

ArtObject* FindClippingMask(ArtObject* art) {
    AIBoolean clipped = false;
    if (!hostart::IsOfType(art, kGroupArt) || sAIGroup == nullptr ||
        sAIGroup->GetGroupClipped(art, &clipped) != kNoErr || !clipped) {
        return nullptr;
    }
    for (ArtObject* child : hostart::Children(art)) {
        if (hostart::HasUserAttr(child, kArtIsClipMask)) {
            return child;
        }
    }
    return nullptr;
}

bool GetArtBoundsWithClipping(ArtObject* art, AIRealRect& bounds, bool withStroke) {
    if (art == nullptr) {
        return false;
    }
    const std::optional<ai::int16> type = hostart::Type(art);
    if (!type) {
        return false;
    }
    const ai::int32 flags = withStroke ? kVisibleBounds : kNoStrokeBounds;
    if (*type != kGroupArt) {
        return TransformBounds(art, flags, bounds);
    }
    if (ArtObject* mask = FindClippingMask(art)) {
        return TransformBounds(mask, flags, bounds);
    }
    bool found = false;
    for (ArtObject* child : hostart::Children(art)) {
        AIRealRect childBounds;
        if (!GetArtBoundsWithClipping(child, childBounds, withStroke)) {
            continue;
        }
        bounds = found ? UnionOf(bounds, childBounds) : childBounds;
        found = true;
    }
    return found;
}

bool GetArtNameText(ArtObject* art, std::string& name, bool& isDefaultName) {
    ai::UnicodeString text;
    AIBoolean isDefault = false;
    if (sAIArt == nullptr || sAIArt->GetArtName(art, text, &isDefault) != kNoErr) {
        return false;
    }
    name = ToUtf8(ToUtf32(text.getInStdString(kAIUTF8CharacterEncoding)));
    isDefaultName = isDefault != 0;
    return true;
}

bool SetArtNameText(ArtObject* art, const std::string& name) {
    const ai::UnicodeString text(ToUtf8(ToUtf32(name)), kAIUTF8CharacterEncoding);
    return sAIArt != nullptr && sAIArt->SetArtName(art, text) == kNoErr;
}

std::optional<int> ArtDepth(ArtObject* art) {
    int depth = 0;
    for (ArtObject* at = art; at != nullptr; ++depth) {
        if (depth > kAIMaxArtDepth) {
            return depth;
        }
        const std::optional<ArtObject*> parent = hostart::Parent(at);
        if (!parent) {
            return std::nullopt;
        }
        at = *parent;
    }
    return depth;
}

namespace {

// Whether everything below the art lies within the limit when the art lies at the depth; the walk
// stops as soon as the limit is passed.
bool SubtreeFits(ArtObject* art, int depth, bool textAsOutlines) {
    const std::optional<ai::int16> type = hostart::Type(art);
    if (!type) {
        return false;
    }
    const bool outlined = textAsOutlines && *type == kTextFrameArt;
    if (depth + (outlined ? 1 : 0) > kAIMaxArtDepth) {
        return false;
    }
    if (*type != kGroupArt && *type != kCompoundPathArt) {
        return true;
    }
    const ArtList children = hostart::Children(art);
    return std::all_of(children.begin(), children.end(),
                       [&](ArtObject* child) { return SubtreeFits(child, depth + 1, textAsOutlines); });
}

}  // namespace

bool FitsAtDepth(ArtObject* art, int depth, bool textAsOutlines) {
    return SubtreeFits(art, depth, textAsOutlines);
}

std::optional<int> DepthOfPlacement(ai::int16 placement, ArtObject* target) {
    switch (placement) {
        case kPlaceAboveAll:
        case kPlaceBelowAll:
            return 2;
        case kPlaceInsideOnTop:
        case kPlaceInsideOnBottom: {
            const std::optional<int> depth = ArtDepth(target);
            return depth ? std::optional<int>(*depth + 1) : std::nullopt;
        }
        default:
            return ArtDepth(target);
    }
}

UnlockLayers::UnlockLayers(Options options) {
    if (sAIArt == nullptr || sAILayer == nullptr) {
        return;
    }
    for (ArtObject* art : GetAllObjects(true)) {
        AIBoolean isLayerGroup = false;
        if (sAIArt->IsArtLayerGroup(art, &isLayerGroup) != kNoErr || !isLayerGroup) {
            ai::int32 attributes = 0;
            if (options.unlockArt && sAIArt->GetArtUserAttr(art, kArtLocked, &attributes) == kNoErr &&
                (attributes & kArtLocked) != 0 && sAIArt->SetArtUserAttr(art, kArtLocked, 0) == kNoErr) {
                fUnlockedArt.push_back(art);
            }
            continue;
        }
        AILayerHandle layer = nullptr;
        if (sAIArt->GetLayerOfArt(art, &layer) != kNoErr || layer == nullptr) {
            continue;
        }
        AIBoolean editable = true;
        AIBoolean visible = true;
        if (sAILayer->GetLayerEditable(layer, &editable) == kNoErr && !editable &&
            sAILayer->SetLayerEditable(layer, true) == kNoErr) {
            fUnlocked.push_back(layer);
        }
        if (options.showLayers && sAILayer->GetLayerVisible(layer, &visible) == kNoErr && !visible &&
            sAILayer->SetLayerVisible(layer, true) == kNoErr) {
            fShown.push_back(layer);
        }
    }
}

UnlockLayers::~UnlockLayers() {
    for (AILayerHandle layer : fUnlocked) {
        sAILayer->SetLayerEditable(layer, false);
    }
    for (AILayerHandle layer : fShown) {
        sAILayer->SetLayerVisible(layer, false);
    }
    for (ArtObject* art : fUnlockedArt) {
        sAIArt->SetArtUserAttr(art, kArtLocked, kArtLocked);
    }
}
