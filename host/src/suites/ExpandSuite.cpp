// The expand suite: appearance, fills and strokes turned into plain art in place. Every call is
// recorded in the journal with its flags and step count.
#include <string>

#include "Expand.h"
#include "suites/DocumentAccess.h"
#include "suites/HostSuites.h"
#include "suites/SuiteBoundary.h"

namespace host {
namespace {

constexpr const char* kSuite = kAIExpandSuite;

AIErr Expand(AIArtHandle art, ai::int32 flags, ai::int32 steps) {
    auto [state, document, error] = StartDocumentOperation(kSuite, "Expand");
    const std::string label = ArtLabel(document, art);
    if (error == kNoErr) {
        error = ErrorFromStatus(ExpandArt(*document, ArtIdOf(art), flags));
    }
    Record(state, "Expand", {label, std::to_string(flags), std::to_string(steps)}, error);
    return error;
}

}  // namespace

AIExpandSuite gExpandSuite = {
    PLIM_SUITE_FUNCTION(Expand),
};

}  // namespace host
