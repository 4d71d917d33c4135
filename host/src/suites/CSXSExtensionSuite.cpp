// The extension suite: the state of each HTML extension, as the application sets it.
#include "HostState.h"
#include "suites/HostSuites.h"
#include "suites/SuiteBoundary.h"

namespace host {
namespace {

AIErr GetExtensionState(const char* extensionId, ai::int32* extensionState) {
    auto [state, error] = StartOperation(kAICSXSExtensionSuite, "GetExtensionState");
    if (state == nullptr) {
        return error;
    }
    if (error == kNoErr && (extensionId == nullptr || extensionState == nullptr)) {
        error = kBadParameterErr;
    }
    if (error == kNoErr) {
        const auto found = state->ui.extensionStates.find(std::string_view(extensionId));
        *extensionState = found != state->ui.extensionStates.end() ? found->second : 0;
    }
    state->journal.Record("GetExtensionState", {extensionId != nullptr ? extensionId : ""}, error);
    return error;
}

}  // namespace

AICSXSExtensionSuite gCSXSExtensionSuite = {
    PLIM_SUITE_FUNCTION(GetExtensionState),
};

}  // namespace host
