// The user suite: error alerts are recorded, not shown.
#include "HostState.h"
#include "suites/HostSuites.h"

namespace host {
namespace {

void ErrorAlert(AIErr alerted) {
    auto [state, error] = StartOperation(kAIUserSuite, "ErrorAlert");
    if (state == nullptr) {
        return;
    }
    if (error == kNoErr) {
        state->errorAlerts.push_back(alerted);
    }
    state->journal.Record("ErrorAlert", {ErrorText(alerted)}, error);
}

}  // namespace

AIUserSuite gUserSuite = {ErrorAlert};

}  // namespace host
