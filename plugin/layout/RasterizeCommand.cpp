// "rasterize" replaces found art by one raster image (optionally clipped to the art's outline) that
// carries the art's tags.
#include <string>

#include "art/ArtTree.h"
#include "art/TagSearch.h"
#include "art/TagText.h"
#include "art/Tags.h"
#include "core/Failures.h"
#include "core/Json.h"
#include "core/PlimUtilsPlugin.h"
#include "core/Suites.h"
#include "layout/ImageOptions.h"
#include "layout/LayoutRequest.h"

namespace {

constexpr const char* kCantReadOptions = "Can't read rasterizing options";
constexpr const char* kCantRasterize = "Can't rasterize artwork";

// The found art's top-most objects, last in document order first, each disposed of while the host
// still knows it.
void DisposeReplaced(const ArtList& found) {
    const ArtList ordered = SortArtByPaintOrder(RemoveLeaves2(found), false);
    for (auto art = ordered.rbegin(); art != ordered.rend(); ++art) {
        if (sAIArt->ValidArt(*art, true)) {
            sAIArt->DisposeArt(*art);
        }
    }
}

}  // namespace

std::string PlimUtilsPlugin::Rasterize(std::string request) {
    const json parsed = ParseRequest(request);
    json reply = StartReply("rasterize", parsed);
    const std::string seriesTag = ReadTextStrictly(parsed, "seriesTag");
    const int seriesStart = ReadIntegerStrictly(parsed, "seriesStart", 1);
    const ArtList found = FindRequestedArt(parsed, reply, kTaggedArtNotFound);
    if (found.empty()) {
        return DumpReply(reply);
    }
    const TagSet tags = ReadTags(found);
    bool ok = false;
    ImageOptions options(parsed, ok);
    if (!ok) {
        reply["error"] = kCantReadOptions;
        return DumpReply(reply);
    }
    ArtObject* raster = options.RasterizeArt(found);
    if (raster == nullptr) {
        reply["error"] = kCantRasterize;
        return DumpReply(reply);
    }
    WriteTags(raster, tags);
    if (!seriesTag.empty()) {
        WriteTags(raster, {SerialTag(seriesTag, seriesStart)});
    }
    DisposeReplaced(found);
    return DumpReply(reply);
}
