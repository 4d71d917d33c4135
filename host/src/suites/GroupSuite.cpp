// The group suite: whether a group is a clip group.
#include "AIGroup.h"
#include "suites/DocumentAccess.h"
#include "suites/HostSuites.h"

namespace host {
namespace {

constexpr const char* kSuite = kAIGroupSuite;

AIErr GetGroupClipped(AIArtHandle group, AIBoolean* clipped) {
    auto [state, document, error] = StartDocumentOperation(kSuite, "GetGroupClipped");
    const model::GroupContent* content =
        error == kNoErr ? document->contentAs<model::GroupContent>(ArtIdOf(group)) : nullptr;
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
        error == kNoErr ? document->contentAs<model::GroupContent>(ArtIdOf(group)) : nullptr;
    if (error == kNoErr && content == nullptr) {
        error = kBadParameterErr;
    }
    if (error == kNoErr) {
        content->clipped = clipped != 0;
    }
    if (state != nullptr) {
        state->journal.Record("SetGroupClipped", {label, clipped != 0 ? "1" : "0"}, error);
    }
    return error;
}

}  // namespace

AIGroupSuite gGroupSuite = {GetGroupClipped, SetGroupClipped};

}  // namespace host
