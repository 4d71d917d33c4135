// "arrange" restacks found art (or a layer) among its siblings; "duplicate" copies found art to a
// target, several copies at once tagged as a series; "z-order" copies and then removes the
// sources, moving them to the target.
#include <algorithm>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "AIDocument.h"
#include "art/ArtChanges.h"
#include "art/ArtTree.h"
#include "art/HostArt.h"
#include "art/TagSearch.h"
#include "art/TagText.h"
#include "art/Tags.h"
#include "core/Failures.h"
#include "core/Json.h"
#include "core/PlimUtilsPlugin.h"
#include "core/Suites.h"
#include "layout/LayoutRequest.h"
#include "layout/Lookups.h"

namespace {

// --- arrange ---------------------------------------------------------------------------------------------

enum class ArrangeOrder { moveForward, moveBackward, moveToFront, moveToBack };

const std::map<std::string, ArrangeOrder>& ArrangeOrders() {
    static const std::map<std::string, ArrangeOrder> kOrders = {
        {"moveForward", ArrangeOrder::moveForward},
        {"moveBackward", ArrangeOrder::moveBackward},
        {"moveToFront", ArrangeOrder::moveToFront},
        {"moveToBack", ArrangeOrder::moveToBack},
    };
    return kOrders;
}

// The direct children of one container, top-most first, each flagged when it is to move.
using SiblingList = std::vector<std::pair<ArtObject*, bool>>;

std::vector<ArtObject*> LayerGroupsInLayerOrder() {
    std::vector<ArtObject*> groups;
    ai::int32 count = 0;
    if (sAILayer == nullptr || sAILayer->CountLayers(&count) != kNoErr) {
        return groups;
    }
    for (ai::int32 i = 0; i < count; ++i) {
        AILayerHandle layer = nullptr;
        ArtObject* group = nullptr;
        if (sAILayer->GetNthLayer(i, &layer) == kNoErr && layer != nullptr &&
            sAIArt->GetFirstArtOfLayer(layer, &group) == kNoErr && group != nullptr) {
            groups.push_back(group);
        }
    }
    return groups;
}

// Every list that holds art to move, flagged before anything moves.
std::vector<SiblingList> SiblingListsOf(const ArtHandleSet& toMove, bool withLayers) {
    std::vector<ArtList> lists;
    if (withLayers) {
        lists.push_back(LayerGroupsInLayerOrder());
    }
    for (ArtObject* art : GetAllObjects(true)) {
        if (hostart::IsOfType(art, kGroupArt)) {
            ArtList children = hostart::Children(art);
            if (!children.empty()) {
                lists.push_back(std::move(children));
            }
        }
    }
    std::vector<SiblingList> kept;
    for (const ArtList& list : lists) {
        SiblingList flagged;
        bool any = false;
        for (ArtObject* art : list) {
            const bool moves = toMove.contains(art);
            any = any || moves;
            flagged.emplace_back(art, moves);
        }
        if (any) {
            kept.push_back(std::move(flagged));
        }
    }
    return kept;
}

// Restacks one list. Front-ward orders walk from the top and put art above its anchor; back-ward
// orders walk from the bottom and put art below it. The "to" orders keep the first anchor, the
// one-step orders take the nearest art not moving.
void Restack(SiblingList list, ArrangeOrder order) {
    const bool frontward = order == ArrangeOrder::moveForward || order == ArrangeOrder::moveToFront;
    const bool allTheWay = order == ArrangeOrder::moveToFront || order == ArrangeOrder::moveToBack;
    if (!frontward) {
        std::reverse(list.begin(), list.end());
    }
    const ai::int16 placement = frontward ? kPlaceAbove : kPlaceBelow;
    ArtObject* anchor = nullptr;
    for (const auto& [art, moves] : list) {
        if (!moves) {
            if (anchor == nullptr || !allTheWay) {
                anchor = art;
            }
            continue;
        }
        if (anchor != nullptr) {
            sAIArt->ReorderArt(art, placement, anchor);
        }
    }
}

// --- duplicate and z-order ---------------------------------------------------------------------------

constexpr const char* kNoSource = "No source artwork found";
constexpr const char* kNoTarget = "No target artwork found";
// More copies than any document could hold sensibly; a larger count is a mistake in the request.
constexpr int kMaxCopies = 10000;
// The most objects one request may make: every copy of every source with everything below it.
constexpr std::int64_t kMaxObjectsMade = 100000;

struct DuplicateRequest {
    std::string tagSearch;
    int layerNumber = -1;
    std::string layerName;
    std::string targetTagSearch;
    int targetLayerNumber = -1;
    std::string targetLayerName;
    int documentNumber = -1;
    std::string documentName;
    std::string location;
    bool useSingleTarget = true;
    int numberOfCopies = 1;
    std::vector<std::string> tags;
    bool replace = false;
    std::string seriesTag;
    int seriesStart = 1;
    bool tagOriginal = true;
};

DuplicateRequest ReadDuplicateRequest(const json& request) {
    DuplicateRequest duplication;
    duplication.tagSearch = ReadTextStrictly(request, "tagSearch");
    duplication.layerNumber = ReadIntegerStrictly(request, "layerNumber", -1);
    duplication.layerName = ReadTextStrictly(request, "layerName");
    duplication.targetTagSearch = ReadTextStrictly(request, "targetTagSearch");
    duplication.targetLayerNumber = ReadIntegerStrictly(request, "targetLayerNumber", -1);
    duplication.targetLayerName = ReadTextStrictly(request, "targetLayerName");
    duplication.documentNumber = ReadIntegerStrictly(request, "documentNumber", -1);
    duplication.documentName = ReadTextStrictly(request, "documentName");
    duplication.location = ReadTextStrictly(request, "location");
    duplication.useSingleTarget = ReadBoolStrictly(request, "useSingleTarget", true);
    duplication.numberOfCopies = ReadIntegerStrictly(request, "numberOfCopies", 1);
    duplication.tags = ReadTextArrayStrictly(request, "tags");
    duplication.replace = ReadBoolStrictly(request, "replace", false);
    duplication.seriesTag = ReadTextStrictly(request, "seriesTag");
    duplication.seriesStart = ReadIntegerStrictly(request, "seriesStart", 1);
    duplication.tagOriginal = ReadBoolStrictly(request, "tagOriginal", true);
    return duplication;
}

AILayerHandle LayerOfArt(ArtObject* art) {
    AILayerHandle layer = nullptr;
    return sAIArt->GetLayerOfArt(art, &layer) == kNoErr ? layer : nullptr;
}

// The top-most of the found art in document order, only those in the layer when one is given.
ArtList TopMostInLayer(const std::string& query, AILayerHandle layer) {
    const ArtHandleSet top = RemoveLeaves(query.empty() ? ArtList{} : SearchTaggedArt(query));
    ArtList result;
    for (ArtObject* art : GetAllObjects(false)) {
        if (top.contains(art) && (layer == nullptr || LayerOfArt(art) == layer)) {
            result.push_back(art);
        }
    }
    return result;
}

bool LiesInOrIs(ArtObject* art, const ArtHandleSet& sources) {
    for (int depth = 0; art != nullptr && depth < (1 << 16); ++depth) {
        if (sources.contains(art)) {
            return true;
        }
        art = hostart::Parent(art).value_or(nullptr);
    }
    return false;
}

TagSet PassTags(const DuplicateRequest& duplication, std::int64_t number) {
    TagSet tags(duplication.tags.begin(), duplication.tags.end());
    if (!duplication.seriesTag.empty()) {
        tags.insert(SerialTag(duplication.seriesTag, number));
    }
    return tags;
}

// Copies every source to every target, numbered; answers how many copies each source got.
std::map<ArtObject*, std::int64_t> MakeCopies(const DuplicateRequest& duplication, const ArtList& sources,
                                              const ArtList& targets, ai::int16 placement) {
    const std::int64_t first = std::int64_t{duplication.seriesStart} + (duplication.tagOriginal ? 1 : 0);
    const std::int64_t last = first + duplication.numberOfCopies - 1;
    // Placements that put each copy in front of the ones made before run backwards, so that the
    // copies stand top to bottom in the order of their numbers and of the sources.
    const bool backwards =
        placement == kPlaceBelow || placement == kPlaceInsideOnTop || placement == kPlaceAboveAll;
    std::map<ArtObject*, std::int64_t> copies;
    for (ArtObject* target : targets) {
        for (std::int64_t step = 0; step <= last - first; ++step) {
            const std::int64_t number = backwards ? last - step : first + step;
            ArtList made;
            for (std::size_t i = 0; i < sources.size(); ++i) {
                ArtObject* source = sources[backwards ? sources.size() - 1 - i : i];
                ArtObject* copy = nullptr;
                if (sAIArt->DuplicateArt(source, placement, target, &copy) == kNoErr && copy != nullptr) {
                    made.push_back(copy);
                    ++copies[source];
                }
            }
            SetTags(made, PassTags(duplication, number), duplication.replace);
        }
    }
    return copies;
}

// How many objects the copies would be: every source with everything below it, for each target
// and copy.
std::int64_t ObjectsToMake(const ArtList& sources, std::size_t targets, int copies) {
    std::int64_t perPass = 0;
    for (ArtObject* source : sources) {
        perPass += static_cast<std::int64_t>(GetArtTree(source).size());
    }
    return perPass * static_cast<std::int64_t>(targets) * copies;
}

// Whether every copy, placed relative to every target, stays within the depth the document allows.
bool CopiesFit(const ArtList& sources, const ArtList& targets, ai::int16 placement) {
    return std::all_of(targets.begin(), targets.end(), [&](ArtObject* target) {
        const std::optional<int> depth = DepthOfPlacement(placement, target);
        return depth && std::all_of(sources.begin(), sources.end(),
                                    [&](ArtObject* source) { return FitsAtDepth(source, *depth); });
    });
}

// The art the copies are made from. A target inside a source (or a source itself, as the target of
// its own copies) would let each copy include the copies made before it, so those sources are
// first copied aside as they are, and the copies are made of that; the aside copies go at the end.
class CopySources {
public:
    CopySources(const ArtList& sources, const ArtList& targets, ai::int16 placement) : fFrom(sources) {
        const ArtHandleSet sourceSet(sources.begin(), sources.end());
        const bool inside = PlacementNeedsTarget(placement) &&
                            std::any_of(targets.begin(), targets.end(),
                                        [&](ArtObject* target) { return LiesInOrIs(target, sourceSet); });
        if (!inside) {
            return;
        }
        for (ArtObject*& from : fFrom) {
            if (ArtObject* aside = fAside.Duplicate(from, kPlaceAbove, from)) {
                from = aside;
            }
        }
    }
    const ArtList& From() const { return fFrom; }

private:
    ArtList fFrom;
    ArtChanges fAside;  // never kept: the aside copies go when the command ends
};

// Why the copies can't be made: they would be too many objects, or nested too deeply. Empty when
// they can.
std::string CopiesRefusal(const ArtList& sources, const ArtList& targets, int copies, ai::int16 placement) {
    if (ObjectsToMake(sources, targets.size(), copies) > kMaxObjectsMade) {
        return "A request can make at most " + std::to_string(kMaxObjectsMade) + " objects";
    }
    if (!CopiesFit(sources, targets, placement)) {
        return "The copies would be nested too deeply";
    }
    return {};
}

// Why the request's target document can't take the copies: it is named and not found, or it is
// not the current document. Null when the copies go to the current document.
const char* TargetDocumentRefusal(const DuplicateRequest& duplication) {
    const AIDocumentHandle targetDocument = GetDocument(duplication.documentNumber, duplication.documentName);
    AIDocumentHandle current = nullptr;
    if (sAIDocument == nullptr || sAIDocument->GetDocument(&current) != kNoErr) {
        current = nullptr;
    }
    if (targetDocument == nullptr && (duplication.documentNumber >= 0 || !duplication.documentName.empty())) {
        return "Target document not found";
    }
    if (targetDocument != nullptr && targetDocument != current) {
        return "Art can't be copied to another document";
    }
    return nullptr;
}

// Removes each source of which every copy (expected of them) was made; the others stay.
void DisposeCopiedSources(const ArtList& sources, const std::map<ArtObject*, std::int64_t>& copies,
                          std::int64_t expected) {
    for (ArtObject* source : sources) {
        const auto made = copies.find(source);
        if (made != copies.end() && made->second == expected) {
            sAIArt->DisposeArt(source);
        }
    }
}

}  // namespace

std::string PlimUtilsPlugin::Arrange(std::string request) {
    const json parsed = ParseRequest(request);
    json reply = StartReply("arrange", parsed);
    const std::string tagSearch = ReadTextStrictly(parsed, "tagSearch");
    const std::string layerName = ReadTextStrictly(parsed, "layerName");
    const int layerNumber = ReadIntegerStrictly(parsed, "layerNumber", -1);
    const std::string order = ReadTextStrictly(parsed, "order");
    reply["tagSearch"] = tagSearch;
    reply["layerName"] = layerName;
    if (layerNumber != -1) {
        reply["layerNumber"] = layerNumber;
    }
    const bool withLayer = LayerAsked(layerNumber, layerName);
    if (tagSearch.empty() && !withLayer) {
        reply["error"] = kNoArtworkFound;
        return DumpReply(reply);
    }
    const auto found = ArrangeOrders().find(order);
    if (found == ArrangeOrders().end()) {
        reply["error"] = "Order not found";
        return DumpReply(reply);
    }
    ArtList toMove;
    if (withLayer) {
        const AILayerHandle layer = GetLayer(layerNumber, layerName);
        ArtObject* group = nullptr;
        if (layer == nullptr || sAIArt->GetFirstArtOfLayer(layer, &group) != kNoErr || group == nullptr) {
            reply["error"] = kLayerNotFound;
            return DumpReply(reply);
        }
        toMove.push_back(group);
    } else {
        toMove = SearchTaggedArt(tagSearch);
        if (toMove.empty()) {
            reply["error"] = kNoArtworkFound;
            return DumpReply(reply);
        }
    }
    for (const SiblingList& list : SiblingListsOf(ArtHandleSet(toMove.begin(), toMove.end()), withLayer)) {
        Restack(list, found->second);
    }
    return DumpReply(reply);
}

std::string PlimUtilsPlugin::DuplicateObjects(std::string request, bool zOrder) {
    const json parsed = ParseRequest(request);
    json reply = StartReply(zOrder ? "move" : "duplicate", parsed);
    const DuplicateRequest duplication = ReadDuplicateRequest(parsed);
    reply["tagSearch"] = duplication.tagSearch;
    reply["targetTagSearch"] = duplication.targetTagSearch;
    reply["tags"] = duplication.tags;
    reply["replace"] = duplication.replace;
    if (duplication.numberOfCopies < 1 || duplication.numberOfCopies > kMaxCopies) {
        reply["error"] = "The number of copies must be from 1 to " + std::to_string(kMaxCopies);
        return DumpReply(reply);
    }

    // A source layer asked for and not found is no source, never the whole document.
    AILayerHandle sourceLayer = nullptr;
    const ArtList sources = FindAskedLayer(duplication.layerNumber, duplication.layerName, sourceLayer)
                                ? TopMostInLayer(duplication.tagSearch, sourceLayer)
                                : ArtList{};
    if (sources.empty()) {
        reply["error"] = kNoSource;
        return DumpReply(reply);
    }
    if (const char* refusal = TargetDocumentRefusal(duplication)) {
        reply["error"] = refusal;
        return DumpReply(reply);
    }

    AILayerHandle targetLayer = nullptr;
    if (!FindAskedLayer(duplication.targetLayerNumber, duplication.targetLayerName, targetLayer)) {
        reply["error"] = "Target layer not found";
        return DumpReply(reply);
    }
    ArtList targets = TopMostInLayer(duplication.targetTagSearch, targetLayer);
    // A target query that finds nothing (on the target layer) never lets the layer or the sources
    // stand in.
    if (!duplication.targetTagSearch.empty() && targets.empty()) {
        reply["error"] = kNoTarget;
        return DumpReply(reply);
    }
    const int code = GetNumLocation(duplication.location);
    int placement = code != 0 ? code : kPlaceAbove;
    if (targets.empty() && targetLayer != nullptr) {
        ArtObject* target = nullptr;
        if (!TargetAndLocationForDuplicate(targetLayer, code != 0 ? code : kPlaceInsideOnTop, placement,
                                           target)) {
            reply["error"] = kNoTarget;
            return DumpReply(reply);
        }
        targets = {target};
    } else if (targets.empty()) {
        placement = code != 0 ? code : kPlaceAboveAll;
        targets = sources;
    }
    if (duplication.useSingleTarget) {
        targets.resize(1);
    }
    const ArtHandleSet sourceSet(sources.begin(), sources.end());
    if (zOrder && PlacementNeedsTarget(placement) &&
        std::any_of(targets.begin(), targets.end(), [&](ArtObject* t) { return LiesInOrIs(t, sourceSet); })) {
        reply["error"] = "The target lies in the art to move";
        return DumpReply(reply);
    }

    if (const std::string refusal =
            CopiesRefusal(sources, targets, duplication.numberOfCopies, static_cast<ai::int16>(placement));
        !refusal.empty()) {
        reply["error"] = refusal;
        return DumpReply(reply);
    }

    const CopySources from(sources, targets, static_cast<ai::int16>(placement));
    const std::map<ArtObject*, std::int64_t> copies =
        MakeCopies(duplication, from.From(), targets, static_cast<ai::int16>(placement));
    if (copies.empty()) {
        reply["error"] = "No artwork could be copied";
        return DumpReply(reply);
    }
    if (duplication.tagOriginal) {
        SetTags(sources, PassTags(duplication, duplication.seriesStart), duplication.replace);
    }
    if (zOrder) {
        DisposeCopiedSources(sources, copies,
                             static_cast<std::int64_t>(targets.size()) * duplication.numberOfCopies);
    }
    return DumpReply(reply);
}

std::string PlimUtilsPlugin::Duplicate(std::string request) {
    return DuplicateObjects(std::move(request), false);
}

std::string PlimUtilsPlugin::ZOrder(std::string request) {
    return DuplicateObjects(std::move(request), true);
}
