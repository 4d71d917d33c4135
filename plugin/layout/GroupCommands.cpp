// "groupObjects", "makeCompoundPath" and "makeClipGroup" put found art into a new container;
// "ungroupObjects", "releaseClipGroup" and "releaseCompoundPath" take such containers apart. The
// art made is tagged from the request; released art can be tagged as a numbered series.
#include <algorithm>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "AIGroup.h"
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
#include "layout/Structure.h"

namespace {

// What the making commands read besides their own keys.
struct MakingRequest {
    std::string tagSearch;
    std::vector<std::string> tags;
    std::string seriesTag;
    int seriesStart = 1;
};

MakingRequest ReadMakingRequest(const json& request) {
    MakingRequest making;
    making.tagSearch = ReadTextStrictly(request, "tagSearch");
    making.tags = ReadTextArrayStrictly(request, "tags");
    making.seriesTag = ReadTextStrictly(request, "seriesTag");
    making.seriesStart = ReadIntegerStrictly(request, "seriesStart", 1);
    return making;
}

void TagMadeArt(ArtObject* art, const MakingRequest& making) {
    if (!making.tags.empty()) {
        WriteTags(art, TagSet(making.tags.begin(), making.tags.end()));
    }
    if (!making.seriesTag.empty()) {
        WriteTags(art, {SerialTag(making.seriesTag, making.seriesStart)});
    }
}

ArtList FindArt(const std::string& tagSearch) {
    return tagSearch.empty() ? ArtList{} : SearchTaggedArt(tagSearch);
}

// The shared road of "groupObjects" and "makeCompoundPath".
template <typename Make>
std::string MakeContainer(const std::string& eventType, const std::string& request, Make make,
                          const char* failure) {
    const json parsed = ParseRequest(request);
    json reply = StartReply(eventType, parsed);
    const MakingRequest making = ReadMakingRequest(parsed);
    reply["tagSearch"] = making.tagSearch;
    const ArtList found = FindArt(making.tagSearch);
    if (found.empty()) {
        reply["error"] = kNoArtworkFound;
        return DumpReply(reply);
    }
    ArtObject* made = make(found);
    if (made == nullptr) {
        reply["error"] = failure;
        return DumpReply(reply);
    }
    TagMadeArt(made, making);
    return DumpReply(reply);
}

bool IsClipGroup(ArtObject* art) {
    AIBoolean clipped = false;
    return sAIGroup != nullptr && sAIGroup->GetGroupClipped(art, &clipped) == kNoErr && clipped;
}

// Which containers a release command takes apart.
enum class Releases { groups, clipGroups, compoundPaths };

bool IsReleased(ArtObject* art, Releases which) {
    const std::optional<ai::int16> type = hostart::Type(art);
    if (!type || hostart::IsLayerGroup(art)) {
        return false;
    }
    switch (which) {
        case Releases::groups:
            return *type == kGroupArt && !IsClipGroup(art);
        case Releases::clipGroups:
            return *type == kGroupArt && IsClipGroup(art);
        case Releases::compoundPaths:
            return *type == kCompoundPathArt;
    }
    return false;
}

bool IsValid(ArtObject* art) {
    return sAIArt != nullptr && sAIArt->ValidArt(art, true);
}

// The art, those nested deepest first (otherwise in their order). Taking a container apart puts
// copies of its members in its place, so a found container inside another found one is taken
// apart before the outer one: its copies then go out with the outer's members, whereas the other
// way round its original would be gone before its turn and its copy left whole.
ArtList DeepestFirst(const ArtList& found) {
    std::vector<std::pair<std::size_t, ArtObject*>> byDepth;
    byDepth.reserve(found.size());
    for (ArtObject* art : found) {
        std::size_t depth = 0;
        for (std::optional<ArtObject*> parent = hostart::Parent(art); parent && *parent != nullptr;
             parent = hostart::Parent(*parent)) {
            ++depth;
        }
        byDepth.emplace_back(depth, art);
    }
    std::stable_sort(byDepth.begin(), byDepth.end(),
                     [](const auto& a, const auto& b) { return a.first > b.first; });
    ArtList ordered;
    ordered.reserve(byDepth.size());
    for (const auto& [depth, art] : byDepth) {
        ordered.push_back(art);
    }
    return ordered;
}

std::string ReleaseContainers(const std::string& eventType, const std::string& request, Releases which) {
    const json parsed = ParseRequest(request);
    json reply = StartReply(eventType, parsed);
    const std::string tagSearch = ReadTextStrictly(parsed, "tagSearch");
    const std::string seriesTag = ReadTextStrictly(parsed, "seriesTag");
    const int seriesStart = ReadIntegerStrictly(parsed, "seriesStart", 1);
    reply["tagSearch"] = tagSearch;
    const ArtList found = FindArt(tagSearch);
    if (found.empty()) {
        reply["error"] = kNoArtworkFound;
        return DumpReply(reply);
    }
    ArtList released;
    for (ArtObject* art : DeepestFirst(found)) {
        // Releasing a container disposes of what it held: a later found art may be gone already.
        if (!IsValid(art) || !IsReleased(art, which)) {
            continue;
        }
        const std::size_t first = released.size();
        UngroupArt(art, released);
        if (which == Releases::clipGroups) {
            // Out of its clip group the mask is an ordinary path again.
            for (std::size_t i = first; i < released.size(); ++i) {
                hostart::SetUserAttr(released[i], kArtIsClipMask, false);
            }
        }
    }
    // Art released by one container and then copied out of another went with that container.
    std::erase_if(released, [](ArtObject* art) { return !IsValid(art); });
    const std::set<ArtObject*> unique(released.begin(), released.end());
    const ArtList each(unique.begin(), unique.end());
    if (!seriesTag.empty() && !each.empty()) {
        AddSeriesTagToArt(each, seriesTag, seriesStart);
    }
    return DumpReply(reply);
}

}  // namespace

std::string PlimUtilsPlugin::GroupObjects(std::string request) {
    return MakeContainer("groupObjects", request, GroupArt, "Can't group objects");
}

std::string PlimUtilsPlugin::MakeCompoundPath(std::string request) {
    return MakeContainer("makeCompoundPath", request, MakeCompoundPathArt, "Can't make a compound path");
}

std::string PlimUtilsPlugin::MakeClipGroup(std::string request) {
    constexpr const char* kCantClip = "Can't make a clip group";
    const json parsed = ParseRequest(request);
    json reply = StartReply("makeClipGroup", parsed);
    const MakingRequest making = ReadMakingRequest(parsed);
    reply["tagSearch"] = making.tagSearch;
    const std::string clipQuery = ReadTextStrictly(parsed, "clipObject");
    const std::string fitting = ReadTextStrictly(parsed, "fittingMethod");
    ClipGroupMakingOptions options;
    options.fitContents = !fitting.empty();
    options.keepBackground = ReadBoolStrictly(parsed, "keepBackround", false);
    options.compoundPath = ReadBoolStrictly(parsed, "compoundPath", true);
    options.unite = ReadBoolStrictly(parsed, "unite", true);
    const PlaceMethod method = PlaceMethodOf(fitting);
    const PlaceAlignment alignment =
        HasKey(parsed, "alignment") ? GetAlignment(ReadTextStrictly(parsed, "alignment")) : 4;
    const int layerNumber = ReadIntegerStrictly(parsed, "layerNumber", -1);
    const std::string layerName = ReadTextStrictly(parsed, "layerName");

    // A layer or clip object asked for and not found fails the command: neither the found art nor
    // a clip object of the command's own choosing stands in.
    AILayerHandle layer = nullptr;
    if (!FindAskedLayer(layerNumber, layerName, layer)) {
        reply["error"] = kLayerNotFound;
        return DumpReply(reply);
    }
    const ArtList clipFound = FindArt(clipQuery);
    ArtObject* clip = clipFound.empty() ? nullptr : clipFound.front();
    if (!clipQuery.empty() && clip == nullptr) {
        reply["error"] = kNoArtworkFound;
        return DumpReply(reply);
    }
    if (layer != nullptr) {
        if (MakeLayerClipGroupArt(layer, clip, method, alignment, options) == nullptr) {
            reply["error"] = kCantClip;
        }
        return DumpReply(reply);
    }
    const ArtList found = FindArt(making.tagSearch);
    if (found.empty()) {
        reply["error"] = kNoArtworkFound;
        return DumpReply(reply);
    }
    ArtObject* group = MakeClipGroupArt(found, clip, method, alignment, options);
    if (group == nullptr) {
        reply["error"] = kCantClip;
        return DumpReply(reply);
    }
    TagMadeArt(group, making);
    return DumpReply(reply);
}

std::string PlimUtilsPlugin::UngroupObjects(std::string request) {
    return ReleaseContainers("ungroupObjects", request, Releases::groups);
}

std::string PlimUtilsPlugin::ReleaseClipGroup(std::string request) {
    return ReleaseContainers("releaseClipGroup", request, Releases::clipGroups);
}

std::string PlimUtilsPlugin::ReleaseCompoundPath(std::string request) {
    return ReleaseContainers("releaseCompoundPath", request, Releases::compoundPaths);
}
