// "reduceToBasicAppearance" strips the appearance of found art down to one fill and one stroke;
// "remove" deletes found art.
#include <string>

#include "AIArtStyleParser.h"
#include "art/TagSearch.h"
#include "core/Failures.h"
#include "core/Json.h"
#include "core/PlimUtilsPlugin.h"
#include "core/Suites.h"
#include "layout/LayoutRequest.h"
#include "layout/Reduce.h"

namespace {

// A basic appearance has at most a fill and a stroke.
constexpr int kBasicPaintFields = 2;

// Removes the first paint field as often as asked, as far as there are paint fields.
bool RemoveFirstPaintFields(AIStyleParser parser, int count) {
    for (int i = 0; i < count && sAIArtStyleParser->CountPaintFields(parser) > 0; ++i) {
        AIParserPaintField field = nullptr;
        if (sAIArtStyleParser->GetNthPaintField(parser, 0, &field) != kNoErr ||
            sAIArtStyleParser->RemovePaintField(parser, field) != kNoErr) {
            return false;
        }
    }
    return true;
}

}  // namespace

bool ReduceArtToBasicAppearance(ArtObject* art, bool keepPaint) {
    const ParsedStyle parsed(art);
    if (!parsed.Parsed() || sAIArtStyleParser->Simplify(parsed.Get()) != kNoErr) {
        return false;
    }
    if (!keepPaint && !RemoveFirstPaintFields(parsed.Get(), kBasicPaintFields)) {
        return false;
    }
    return parsed.ApplyTo(art);
}

std::string PlimUtilsPlugin::ReduceToBasicAppearance(std::string request) {
    const json parsed = ParseRequest(request);
    json reply = StartReply("reduceToBasicAppearance", parsed);
    const ArtList found = FindRequestedArt(parsed, reply, kNoArtworkFound);
    if (found.empty()) {
        return DumpReply(reply);
    }
    for (ArtObject* art : found) {
        ReduceArtToBasicAppearance(art, true);
    }
    return DumpReply(reply);
}

std::string PlimUtilsPlugin::RemoveObjects(std::string request) {
    const json parsed = ParseRequest(request);
    json reply = StartReply("remove", parsed);
    const ArtList found = FindRequestedArt(parsed, reply, kNoArtworkFound);
    if (found.empty()) {
        return DumpReply(reply);
    }
    // Removing a group removes what it holds: art found inside an already removed group is no
    // longer known to the host and is skipped.
    for (ArtObject* art : found) {
        if (sAIArt->ValidArt(art, true)) {
            sAIArt->DisposeArt(art);
        }
    }
    return DumpReply(reply);
}
