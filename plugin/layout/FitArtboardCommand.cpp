// The artboard command "fitArtboardToBounds": resizes artboards to frame the art on them, with
// paddings.
#include <cmath>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "IAIArtboards.hpp"
#include "art/ArtTree.h"
#include "art/HostArt.h"
#include "art/TagSearch.h"
#include "core/Failures.h"
#include "core/Json.h"
#include "core/PlimUtilsPlugin.h"
#include "core/Suites.h"
#include "core/Units.h"
#include "layout/Artboards.h"
#include "layout/BoundsGrid.h"
#include "layout/Geometry.h"
#include "layout/Lookups.h"
#include "layout/ReferencePoints.h"

namespace {

struct Paddings {
    std::optional<double> all;
    std::optional<double> left;
    std::optional<double> right;
    std::optional<double> top;
    std::optional<double> bottom;

    bool Finite() const {
        for (const std::optional<double>& value : {all, left, right, top, bottom}) {
            if (value && !std::isfinite(*value)) {
                return false;
            }
        }
        return true;
    }
};

Paddings ReadPaddings(const json& request) {
    const std::string units = ReadTextStrictly(request, "units");
    const auto length = [&](const char* key) -> std::optional<double> {
        const std::optional<double> value = ReadOptionalNumberStrictly(request, key);
        return value ? std::optional<double>(LenUnitsToPoints(*value, units)) : std::nullopt;
    };
    return {length("padding"), length("paddingLeft"), length("paddingRight"), length("paddingTop"),
            length("paddingBottom")};
}

// The rectangle an artboard takes around the art's bounds B, from its current rectangle A.
AIRealRect FittedRect(const AIRealRect& a, const AIRealRect& b, const Paddings& p) {
    AIRealRect fitted{};
    if (p.all) {
        fitted = {b.left - *p.all, b.top + *p.all, b.right + *p.all, b.bottom - *p.all};
    } else {
        fitted.left = p.left ? b.left - *p.left : a.left;
        fitted.right = p.right ? b.right + *p.right : a.right;
        fitted.top = p.top ? b.top + *p.top : a.top;
        fitted.bottom = p.bottom ? b.bottom - *p.bottom : a.bottom;
    }
    // An artboard needs an extent: paddings that fold the rectangle leave the artboard as it is.
    if (!(fitted.right > fitted.left) || !(fitted.top > fitted.bottom)) {
        return a;
    }
    return fitted;
}

// The indexes of the artboards named by number or name, or all of them when none is named; none
// when a number names no artboard (a number out of range never reaches the application), when the
// names given name no artboard at all, or when there are no artboards. A name that names none is
// skipped beside others that do; names that all name none never stand for every artboard.
std::optional<std::set<int>> ChosenArtboards(const json& request, int count) {
    std::set<int> chosen;
    for (const int index : ToIndexes(ReadNumberArrayLeniently(request, "artboardNumbers"))) {
        if (index < 0 || index >= count) {
            return std::nullopt;
        }
        chosen.insert(index);
    }
    const std::vector<std::string> names = ReadTextArrayLeniently(request, "artboardNames");
    const std::unordered_map<std::string, int> numbers =
        names.empty() ? std::unordered_map<std::string, int>{} : GetArtboardNumbersByName();
    for (const std::string& name : names) {
        if (const auto found = numbers.find(name); found != numbers.end()) {
            chosen.insert(found->second);
        }
    }
    if (chosen.empty() && !names.empty()) {
        return std::nullopt;
    }
    if (chosen.empty()) {
        for (int index = 0; index < count; ++index) {
            chosen.insert(index);
        }
    }
    return chosen;
}

std::map<int, ArtList> ArtPerArtboard(const ai::ArtboardList& list, const std::set<int>& chosen,
                                      const ArtList& art, bool fromArtboardItems) {
    std::map<int, ArtList> perArtboard;
    // Each object is measured once, not once for every artboard, and an artboard is compared only
    // with the objects near it.
    ArtList measured;
    std::vector<AIRealRect> bounds;
    if (fromArtboardItems) {
        measured.reserve(art.size());
        bounds.reserve(art.size());
        for (ArtObject* object : art) {
            if (const std::optional<AIRealRect> measure = ArtBounds(object, true)) {
                measured.push_back(object);
                bounds.push_back(*measure);
            }
        }
    }
    const BoundsGrid grid(bounds);
    for (const int index : chosen) {
        if (!fromArtboardItems) {
            if (!art.empty()) {
                perArtboard[index] = art;
            }
            continue;
        }
        const std::optional<AIRealRect> board = PositionAt(list, index);
        if (!board) {
            continue;
        }
        ArtList on;
        for (const std::size_t near : grid.Near(*board)) {
            if (Overlap(bounds[near], *board)) {
                on.push_back(measured[near]);
            }
        }
        if (!on.empty()) {
            perArtboard[index] = on;
        }
    }
    return perArtboard;
}

// Keeps only the art of the layer; entries left empty go.
void KeepLayer(std::map<int, ArtList>& perArtboard, AILayerHandle layer) {
    for (auto entry = perArtboard.begin(); entry != perArtboard.end();) {
        ArtList& arts = entry->second;
        std::erase_if(arts, [&](ArtObject* art) {
            AILayerHandle own = nullptr;
            return sAIArt == nullptr || sAIArt->GetLayerOfArt(art, &own) != kNoErr || own != layer;
        });
        entry = arts.empty() ? perArtboard.erase(entry) : std::next(entry);
    }
}

// Fits each artboard around its art. Every new rectangle is set and read back before any artboard
// changes, so that one the application refuses leaves them all as they were. The failure's text, or
// empty.
std::string FitArtboards(ai::ArtboardList& list, const std::map<int, ArtList>& perArtboard,
                         const Paddings& paddings) {
    std::vector<std::pair<int, ai::ArtboardProperties>> fitted;
    for (const auto& [index, arts] : perArtboard) {
        ai::ArtboardProperties properties;
        AIRealRect bounds{};
        if (!ReadProperties(list, index, properties)) {
            continue;
        }
        const std::optional<AIRealRect> current = PositionOf(properties);
        if (!current || !GetArtVectorBounds(arts, bounds, {.visible = true})) {
            continue;
        }
        if (!ApplyArtboardRecord(Artboard(FittedRect(*current, bounds, paddings)), properties)) {
            return kCantSetPosition;
        }
        fitted.emplace_back(index, std::move(properties));
    }
    for (const auto& [index, properties] : fitted) {
        if (list.Update(index, properties) != kNoErr) {
            return kCantUpdate;
        }
    }
    return {};
}

}  // namespace

std::string PlimUtilsPlugin::FitArtboardToBounds(std::string request) {
    const json parsed = ParseRequest(request);
    json reply = StartReply("fitArtboardToBounds", parsed);
    const std::string tagSearch = ReadTextStrictly(parsed, "tagSearch");
    const bool fromArtboardItems = ReadBoolStrictly(parsed, "fromArtboardItems", true);
    const int layerNumber = ReadIntegerStrictly(parsed, "layerNumber", -1);
    const std::string layerName = ReadTextStrictly(parsed, "layerName");
    const Paddings paddings = ReadPaddings(parsed);
    if (!paddings.Finite()) {
        reply["error"] = "Paddings must be finite numbers";
        return DumpReply(reply);
    }

    ai::ArtboardList list;
    if (!list.IsValid()) {
        reply["error"] = "Can't get a list of artboards";
        return DumpReply(reply);
    }
    const int count = CountOf(list);
    const std::optional<std::set<int>> chosen = ChosenArtboards(parsed, count);
    if (!chosen) {
        reply["error"] = kCantGetArtboard;
        return DumpReply(reply);
    }
    if (chosen->empty()) {
        reply["error"] = "Can't get a number of artboards";
        return DumpReply(reply);
    }
    AILayerHandle layer = nullptr;
    if (!FindAskedLayer(layerNumber, layerName, layer)) {
        reply["error"] = kLayerNotFound;
        return DumpReply(reply);
    }
    ArtList art;
    if (!tagSearch.empty()) {
        art = SearchTaggedArt(tagSearch);
    } else {
        const ArtHandleSet top = GetTopObjects();
        art.assign(top.begin(), top.end());
    }
    std::map<int, ArtList> perArtboard = ArtPerArtboard(list, *chosen, art, fromArtboardItems);
    if (layer != nullptr) {
        KeepLayer(perArtboard, layer);
    }
    if (perArtboard.empty()) {
        reply["error"] = "No artboard items to fit";
        return DumpReply(reply);
    }
    if (const std::string failure = FitArtboards(list, perArtboard, paddings); !failure.empty()) {
        reply["error"] = failure;
    }
    return DumpReply(reply);
}
