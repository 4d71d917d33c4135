// The text-frame suite: outlines of text frames.
#include "AITextFrame.h"
#include "suites/DocumentAccess.h"
#include "suites/HostSuites.h"
#include "suites/SuiteBoundary.h"

namespace host {
namespace {

constexpr const char* kSuite = kAITextFrameSuite;

// The outline (until the text engine lays out glyphs) is a group directly above the frame holding one
// closed rectangular path at the frame's geometric bounds; the frame stays. A frame without text has
// nothing to outline and is refused like art that is no text frame.
AIErr CreateOutline(AIArtHandle textFrame, AIArtHandle* outline) {
    auto [state, document, error] = StartDocumentOperation(kSuite, "CreateOutline");
    const std::string label = ArtLabel(document, textFrame);
    if (error == kNoErr && outline == nullptr) {
        error = kBadParameterErr;
    }
    model::ArtId created;
    if (error == kNoErr) {
        const model::Result<model::ArtId> made = document->createOutline(ArtIdOf(textFrame));
        error = ErrorFromStatus(made.status());
        created = made.valueOr(model::ArtId{});
    }
    if (outline != nullptr) {
        *outline = ArtHandleOf(created);
    }
    Record(state, "CreateOutline", {label}, error);
    return error;
}

}  // namespace

AITextFrameSuite gTextFrameSuite = {
    PLIM_SUITE_FUNCTION(CreateOutline),
};

}  // namespace host
