// The intertwine suite: whether art is an intertwine object (a flag of the art).
#include "AIIntertwine.h"
#include "suites/DocumentAccess.h"
#include "suites/HostSuites.h"
#include "suites/SuiteBoundary.h"

namespace host {
namespace {

AIBoolean IsIntertwine(AIArtHandle art) {
    auto [state, document, error] = StartDocumentOperation(kAIIntertwineSuite, "IsIntertwine");
    if (error != kNoErr) {
        return false;
    }
    const model::ArtNode* node = document->find(ArtIdOf(art));
    return node != nullptr && node->data->intertwine;
}

}  // namespace

AIIntertwineSuite gIntertwineSuite = {
    PLIM_SUITE_FUNCTION(IsIntertwine),
};

}  // namespace host
