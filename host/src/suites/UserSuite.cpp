// The user suite: error alerts are recorded, not shown.
#include "HostState.h"
#include "suites/HostSuites.h"
#include "suites/SuiteBoundary.h"

namespace host {
namespace {

void ErrorAlert(AIErr alerted) {
    auto [state, error] = StartOperation(kAIUserSuite, "ErrorAlert");
    if (state == nullptr) {
        return;
    }
    if (error == kNoErr) {
        state->ui.errorAlerts.push_back(alerted);
    }
    state->journal.Record("ErrorAlert", {ErrorText(alerted)}, error);
}

}  // namespace

AIUserSuite gUserSuite = {
    PLIM_SUITE_FUNCTION(ErrorAlert),
};

}  // namespace host
