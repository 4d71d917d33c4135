// The transform art suite: geometry, pattern matrices and line widths of art in the current
// document (model::Document::transformArt).
#include "AITransformArt.h"
#include "suites/DocumentAccess.h"
#include "suites/HostSuites.h"
#include "suites/SuiteBoundary.h"
#include "textengine/TextEngine.h"

namespace host {
namespace {

constexpr const char* kSuite = kAITransformArtSuite;

AIErr TransformArt(AIArtHandle art, const AIRealMatrix* matrix, AIReal lineScale, ai::int32 options) {
    auto [state, document, error] = StartDocumentOperation(kSuite, "TransformArt");
    const std::string label = ArtLabel(document, art);
    error = OutputError(error, matrix);
    if (error == kNoErr) {
        const model::Matrix m{matrix->a, matrix->b, matrix->c, matrix->d, matrix->tx, matrix->ty};
        model::TransformOptions what;
        what.objects = (options & kTransformObjects) != 0;
        what.fillPatterns = (options & kTransformFillPatterns) != 0;
        what.strokePatterns = (options & kTransformStrokePatterns) != 0;
        what.scaleLines = (options & kScaleLines) != 0;
        error = ErrorFromStatus(document->transformArt(ArtIdOf(art), m, lineScale, what));
    }
    // An auto-sized frame whose path object changed takes the height of its text again.
    if (const model::ArtId frame =
            error == kNoErr ? document->frameOfPathObject(ArtIdOf(art)) : model::ArtId{}) {
        text::Reflow(*document, frame);
    }
    Record(state, "TransformArt", {label, std::to_string(options)}, error);
    return error;
}

}  // namespace

AITransformArtSuite gTransformArtSuite = {
    PLIM_SUITE_FUNCTION(TransformArt),
};

}  // namespace host
