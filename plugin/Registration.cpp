// The one place that sees every folder: at start-up it hands the earlier folders the services that
// later folders provide (core finds art through the art model's tag queries).
#include "core/Registration.h"
#include "art/TagSearch.h"
#include "core/ArtFinder.h"

void RegisterPluginServices() {
    RegisterArtFinder(&FindRequestedArt);
}
