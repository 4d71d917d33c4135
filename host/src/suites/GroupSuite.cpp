// The group suite: whether a group is a clip group.
#include <utility>

#include "AIGroup.h"
#include "suites/DocumentAccess.h"
#include "suites/HostSuites.h"
#include "suites/SuiteBoundary.h"

namespace host {
namespace {

constexpr const char* kSuite = kAIGroupSuite;

AIErr GetGroupClipped(AIArtHandle group, AIBoolean* clipped) {
    auto [state, document, error] = StartDocumentOperation(kSuite, "GetGroupClipped");
    const model::GroupContent* content =
        error == kNoErr ? std::as_const(*document).contentAs<model::GroupContent>(ArtIdOf(group)) : nullptr;
    if (error == kNoErr && (content == nullptr || clipped == nullptr)) {
        error = kBadParameterErr;
    }
    if (clipped != nullptr) {
        *clipped = error == kNoErr && content->clipped;
    }
    return error;
}

AIErr SetGroupClipped(AIArtHandle group, AIBoolean clipped) {
    auto [state, document, error] = StartDocumentOperation(kSuite, "SetGroupClipped");
    const std::string label = ArtLabel(document, group);
    model::GroupContent* content =
        error == kNoErr ? document->editContent<model::GroupContent>(ArtIdOf(group)) : nullptr;
    error = OutputError(error, content);
    if (error == kNoErr) {
        content->clipped = clipped != 0;
    }
    Record(state, "SetGroupClipped", {label, clipped != 0 ? "1" : "0"}, error);
    return error;
}

}  // namespace

AIGroupSuite gGroupSuite = {
    PLIM_SUITE_FUNCTION(GetGroupClipped),
    PLIM_SUITE_FUNCTION(SetGroupClipped),
};

}  // namespace host
