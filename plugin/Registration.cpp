// The one place that sees every folder: at start-up it hands the earlier folders the services that
// later folders provide (core finds art through the art model's tag queries; appearance gives
// text art its overprint and a graphic style's colours through the text folder).
#include "core/Registration.h"
#include "appearance/TextArt.h"
#include "art/TagSearch.h"
#include "core/ArtFinder.h"
#include "text/AppearanceSteps.h"

void RegisterPluginServices() {
    RegisterArtFinder(&FindRequestedArt);
    RegisterTextOverprint(&ApplyOverprintToTextArt);
    RegisterTextFrameStyle(&ApplyGStyleToTextFrame);
}
