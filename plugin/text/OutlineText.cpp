// The command outlineText: the text frames of the found art become outlines, which can be tagged
// as a series.
#include "AIArt.h"
#include "art/ArtTree.h"
#include "art/HostArt.h"
#include "art/TagSearch.h"
#include "art/Tags.h"
#include "core/Failures.h"
#include "core/Json.h"
#include "core/PlimUtilsPlugin.h"
#include "core/Suites.h"

namespace {

bool HasTextFrame(ArtObject* art) {
    for (ArtObject* member : GetArtTree(art)) {
        if (hostart::IsOfType(member, kTextFrameArt)) {
            return true;
        }
    }
    return false;
}

// Outlines the text of each art in order. Art that an earlier outline disposed of (a frame found
// beside the group holding it) is skipped, and only art that had text gives an outline: a text
// frame its outline, a container its own handle, which now holds the outlines.
bool OutlineText(const std::string& tagSearch, ArtList& outlines, std::string& error) {
    const ArtList found = tagSearch.empty() ? GetAllObjects(false) : SearchTaggedArt(tagSearch);
    if (found.empty()) {
        error = kNoArtworkFound;
        return false;
    }
    for (ArtObject* art : found) {
        if (sAIArt == nullptr || !sAIArt->ValidArt(art, true) || !HasTextFrame(art)) {
            continue;
        }
        if (ArtObject* outline = OutlineArt(art)) {
            outlines.push_back(outline);
        }
    }
    return true;
}

}  // namespace

std::string PlimUtilsPlugin::OutlineText(std::string request) {
    const json parsed = ParseRequest(request);
    json reply = StartReply("outlineText", parsed);
    const std::string tagSearch = ReadTextStrictly(parsed, "tagSearch");
    const std::string seriesTag = ReadTextStrictly(parsed, "seriesTag");
    const int seriesStart = ReadIntegerStrictly(parsed, "seriesStart", 1);
    reply["tagSearch"] = tagSearch;
    ArtList outlines;
    std::string error;
    if (!::OutlineText(tagSearch, outlines, error)) {
        reply["error"] = error;
    }
    if (!seriesTag.empty() && !outlines.empty()) {
        AddSeriesTagToArt(outlines, seriesTag, seriesStart);
    }
    return DumpReply(reply);
}
