// The art finder that the art model registers.
#include "core/ArtFinder.h"

namespace {

ArtFinder gArtFinder = nullptr;

}  // namespace

void RegisterArtFinder(ArtFinder finder) {
    gArtFinder = finder;
}

FoundArt FindArtOfRequest(const json& request, json& reply, const char* noArtError) {
    if (gArtFinder == nullptr) {
        reply["error"] = noArtError;
        return {};
    }
    return gArtFinder(request, reply, noArtError);
}
