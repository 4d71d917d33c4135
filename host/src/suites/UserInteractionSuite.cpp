// The user-interaction suite: how much the application may ask the user. Every change is in the
// journal, so that tests see interaction switched off around the calls that could ask.
#include <string>

#include "ASUserInteraction.h"
#include "HostState.h"
#include "suites/HostSuites.h"
#include "suites/SuiteBoundary.h"

namespace host {
namespace {

constexpr const char* kSuite = kASUserInteractionSuite;

AIErr GetInteractionAllowed(ASInteractionAllowed* allowed) {
    auto [state, error] = StartOperation(kSuite, "GetInteractionAllowed");
    error = OutputError(error, allowed);
    if (error != kNoErr) {
        return Refuse(allowed, error);
    }
    *allowed = state->ui.interaction;
    return kNoErr;
}

AIErr SetInteractionAllowed(ASInteractionAllowed allowed) {
    auto [state, error] = StartOperation(kSuite, "SetInteractionAllowed");
    if (error == kNoErr && (allowed < kASInteractWithNone || allowed > kASInteractWithAll)) {
        error = kBadParameterErr;
    }
    if (error == kNoErr) {
        state->ui.interaction = allowed;
    }
    Record(state, "SetInteractionAllowed", {std::to_string(allowed)}, error);
    return error;
}

}  // namespace

ASUserInteractionSuite gUserInteractionSuite = {
    PLIM_SUITE_FUNCTION(GetInteractionAllowed),
    PLIM_SUITE_FUNCTION(SetInteractionAllowed),
};

}  // namespace host
