// "expand" turns the appearance, fills and strokes of found art into plain art; the new art can
// be tagged as a numbered series.
#include <cmath>
#include <limits>
#include <string>

#include "AIArtStyle.h"
#include "AIExpand.h"
#include "art/ArtTree.h"
#include "art/TagSearch.h"
#include "art/Tags.h"
#include "core/Failures.h"
#include "core/Json.h"
#include "core/PlimUtilsPlugin.h"
#include "core/Suites.h"
#include "layout/LayoutRequest.h"
#include "layout/Structure.h"

namespace {

// The flags handed to the host's expand.
constexpr ai::int32 kAlwaysExpanded = kExpandShowProgress;
constexpr ai::int32 kObjectFlags =
    kExpandPluginArt | kExpandText | kExpandSymbolInstances | kExpandChartObjects | kExpandLiveObjects;
constexpr ai::int32 kFillToMeshFlags = kExpandPattern | kExpandGradientToMesh;
constexpr ai::int32 kFillToPathsFlags = kExpandPattern | kExpandGradientToPaths;
// Gradients turned into paths take 1 to 255 steps.
constexpr int kMostGradientSteps = 255;

struct ExpandRequest {
    bool object = true;
    bool fill = true;
    bool stroke = true;
    bool gradientMesh = false;
    int steps = -1;
};

// "gradientSteps" counts only when it is a number; a number beyond the integer range is held at
// its end rather than converted out of range.
int ReadSteps(const json& request) {
    if (!request.is_object() || !request.contains("gradientSteps") || !request["gradientSteps"].is_number()) {
        return -1;
    }
    const double steps = std::trunc(request["gradientSteps"].get<double>());
    constexpr double low = std::numeric_limits<int>::min();
    constexpr double high = std::numeric_limits<int>::max();
    return static_cast<int>(std::clamp(steps, low, high));
}

ExpandRequest ReadExpandRequest(const json& request) {
    ExpandRequest expansion;
    ReadJsonValue(request, "object", expansion.object);
    ReadJsonValue(request, "fill", expansion.fill);
    ReadJsonValue(request, "stroke", expansion.stroke);
    ReadJsonValue(request, "gradientMesh", expansion.gradientMesh);
    expansion.steps = ReadSteps(request);
    return expansion;
}

ai::int32 ExpandFlags(const ExpandRequest& expansion, int& steps) {
    ai::int32 flags = kAlwaysExpanded;
    steps = expansion.steps;
    if (expansion.object) {
        flags |= kObjectFlags;
    }
    if (expansion.fill && expansion.gradientMesh) {
        flags |= kFillToMeshFlags;
    }
    if (expansion.fill && !expansion.gradientMesh) {
        flags |= kFillToPathsFlags;
        if (steps < 1 || steps > kMostGradientSteps) {
            steps = kMostGradientSteps;
        }
    }
    if (expansion.stroke) {
        flags |= kExpandStroke;
    }
    return flags;
}

// Expanding one art can dispose of art met later (the paths of an expanded compound path), so
// every handle is tested before it is used.
void ExpandIfValid(ArtObject* art, ai::int32 flags, int steps) {
    if (sAIArt->ValidArt(art, true)) {
        sAIExpand->Expand(art, flags, steps);
    }
}

void ExpandFound(ArtObject* art, bool object, ai::int32 flags, int steps) {
    if (!sAIArt->ValidArt(art, true)) {
        return;
    }
    if (!object) {
        ExpandIfValid(art, flags, steps);
        return;
    }
    ArtObject* styled = nullptr;
    if (sAIArtStyle == nullptr || sAIArtStyle->GetStyledArt(art, &styled) != kNoErr || styled == nullptr) {
        return;
    }
    for (ArtObject* member : GetObjectsTree(styled)) {
        ExpandIfValid(member, flags, steps);
    }
}

}  // namespace

std::string PlimUtilsPlugin::Expand(std::string request) {
    const json parsed = ParseRequest(request);
    json reply = StartReply("expand", parsed);
    const std::string tagSearch = ReadTextStrictly(parsed, "tagSearch");
    const ExpandRequest options = ReadExpandRequest(parsed);
    const std::string seriesTag = ReadTextStrictly(parsed, "seriesTag");
    const int seriesStart = ReadIntegerStrictly(parsed, "seriesStart", 1);
    reply["tagSearch"] = tagSearch;

    const ArtList found = tagSearch.empty() ? ArtList{} : SearchTaggedArt(tagSearch);
    if (found.empty() || sAIExpand == nullptr) {
        reply["error"] = kNoArtworkFound;
        return DumpReply(reply);
    }
    int steps = -1;
    const ai::int32 flags = ExpandFlags(options, steps);
    const ArtList before = GetAllObjects(false);
    for (ArtObject* art : found) {
        ExpandFound(art, options.object, flags, steps);
    }
    const ArtList added = RemoveLeaves2(FindAddedArt(before));
    if (!added.empty() && !seriesTag.empty()) {
        AddSeriesTagToArt(added, seriesTag, seriesStart);
    }
    return DumpReply(reply);
}
