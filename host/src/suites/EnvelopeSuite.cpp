// The envelope suite: art marked as an envelope holds the object it bends as its first child.
#include "AIEnvelope.h"
#include "suites/DocumentAccess.h"
#include "suites/HostSuites.h"
#include "suites/SuiteBoundary.h"

namespace host {
namespace {

constexpr const char* kSuite = kAIEnvelopeSuite;

bool IsEnvelopeArt(const model::Document& document, AIArtHandle art) {
    const model::ArtNode* node = document.find(ArtIdOf(art));
    return node != nullptr && node->data->envelope;
}

AIBoolean IsEnvelope(AIArtHandle art) {
    auto [state, document, error] = StartDocumentOperation(kSuite, "IsEnvelope");
    return error == kNoErr && IsEnvelopeArt(*document, art);
}

AIErr GetEnvelopeObject(AIArtHandle envelope, AIArtHandle* object) {
    auto [state, document, error] = StartDocumentOperation(kSuite, "GetEnvelopeObject");
    if (error == kNoErr && (object == nullptr || !IsEnvelopeArt(*document, envelope))) {
        error = kBadParameterErr;
    }
    if (object != nullptr) {
        *object =
            error == kNoErr ? ArtHandleOf(document->envelopeObject(ArtIdOf(envelope)).valueOr({})) : nullptr;
    }
    return error;
}

}  // namespace

AIEnvelopeSuite gEnvelopeSuite = {
    PLIM_SUITE_FUNCTION(IsEnvelope),
    PLIM_SUITE_FUNCTION(GetEnvelopeObject),
};

}  // namespace host
