// "pathfinder": the found art combined by one of the host's ten shape operations, and
// Pathfinder2, the engine that clip groups and rasterizing also use.
#include <map>
#include <vector>

#include "AIPathfinder.h"
#include "art/ArtTree.h"
#include "art/TagSearch.h"
#include "art/TagText.h"
#include "art/Tags.h"
#include "core/Failures.h"
#include "core/Json.h"
#include "core/PlimUtilsPlugin.h"
#include "core/Suites.h"
#include "layout/LayoutRequest.h"
#include "layout/Structure.h"

namespace {

constexpr const char* kInvalidMode = "Invalid mode";
constexpr const char* kCantCombine = "Can't combine objects";

using PathfinderOperation = AIErr (*AIPathfinderSuite::*)(AIPathfinderData*, AIFilterMessage*);

struct PathfinderMode {
    PathfinderOperation operation;
    bool resultReported;  // the host writes the result into the record; else it is found as added art
};

// The modes, compared exactly.
const std::map<std::string, PathfinderMode>& PathfinderModes() {
    static const std::map<std::string, PathfinderMode> kModes = {
        {"unite", {&AIPathfinderSuite::DoUniteEffect, false}},
        {"intersect", {&AIPathfinderSuite::DoIntersectEffect, false}},
        {"exclude", {&AIPathfinderSuite::DoExcludeEffect, false}},
        {"minusFront", {&AIPathfinderSuite::DoBackMinusFrontEffect, false}},
        {"minusBack", {&AIPathfinderSuite::DoFrontMinusBackEffect, false}},
        {"divide", {&AIPathfinderSuite::DoDivideEffect, true}},
        {"trim", {&AIPathfinderSuite::DoTrimEffect, true}},
        {"merge", {&AIPathfinderSuite::DoMergeEffect, true}},
        {"crop", {&AIPathfinderSuite::DoCropEffect, true}},
        {"outline", {&AIPathfinderSuite::DoOutlineEffect, true}},
    };
    return kModes;
}

AIPathfinderData MakeRecord(ArtList& operands) {
    AIPathfinderData data{};
    data.options.precision = 10.0;
    data.options.flags = 0;
    data.parameters = {0.5, 1, 0.25, 1.0, 0.4, 1.0, 0.05};
    data.operands = operands.data();
    data.operandCount = static_cast<ai::int32>(operands.size());
    data.result = nullptr;
    return data;
}

}  // namespace

ArtList FindAddedArt(const ArtList& before) {
    const ArtHandleSet old(before.begin(), before.end());
    ArtList added;
    for (ArtObject* art : GetAllObjects(false)) {
        if (!old.contains(art)) {
            added.push_back(art);
        }
    }
    return added;
}

ArtObject* Pathfinder2(const ArtList& list, const std::string& mode, std::string& error) {
    if (list.empty()) {
        return nullptr;
    }
    const TagSet tags = ReadTags(list);
    ArtList operands = SortArtByPaintOrder(RemoveLeaves2(list), true);
    if (operands.empty()) {
        error = kTaggedArtNotFound;
        return nullptr;
    }
    // The mode is checked before any text is outlined, so that a request with a wrong mode leaves
    // the document as it was.
    const auto found = PathfinderModes().find(mode);
    if (found == PathfinderModes().end()) {
        error = kInvalidMode;
        return nullptr;
    }
    if (mode == "crop") {
        operands.insert(operands.begin(), operands.back());
        operands.pop_back();
    }
    operands = OutlineArt(operands);
    if (operands.empty() || sAIPathfinder == nullptr) {
        error = kCantCombine;
        return nullptr;
    }
    const PathfinderMode& chosen = found->second;
    const ArtList snapshot = chosen.resultReported ? ArtList{} : GetAllObjects(false);
    AIPathfinderData data = MakeRecord(operands);
    AIFilterMessage message{};
    if ((sAIPathfinder->*chosen.operation)(&data, &message) != kNoErr) {
        error = kCantCombine;
        return nullptr;
    }
    ArtObject* result = data.result;
    if (!chosen.resultReported) {
        const ArtList added = FindAddedArt(snapshot);
        result = added.empty() ? nullptr : added.front();
    }
    if (result != nullptr) {
        WriteTags(result, tags);
    }
    return result;
}

std::string PlimUtilsPlugin::Pathfinder(std::string request) {
    const json parsed = ParseRequest(request);
    json reply = StartReply("pathfinder", parsed);
    const std::string mode = ReadTextStrictly(parsed, "mode");
    const std::string seriesTag = ReadTextStrictly(parsed, "seriesTag");
    const int seriesStart = ReadIntegerStrictly(parsed, "seriesStart", 1);
    const ArtList found = FindRequestedArt(parsed, reply, kTaggedArtNotFound);
    if (found.empty()) {
        return DumpReply(reply);
    }
    std::string error;
    ArtObject* result = Pathfinder2(found, mode, error);
    if (result == nullptr) {
        reply["error"] = error.empty() ? kCantCombine : error;
        return DumpReply(reply);
    }
    if (!seriesTag.empty()) {
        WriteTags(result, {SerialTag(seriesTag, seriesStart)});
    }
    return DumpReply(reply);
}
