// Notifiers: a plug-in's subscriptions to application events, kept in the order they were added.
#include <memory>

#include "HostState.h"
#include "suites/HostSuites.h"
#include "suites/SuiteBoundary.h"

namespace host {
namespace {

AIErr AddNotifier(SPPluginRef self, const char* name, const char* type, AINotifierHandle* notifier) {
    auto [state, error] = StartOperation(kAINotifierSuite, "AddNotifier");
    if (state == nullptr) {
        return error;
    }
    if (error == kNoErr && (state->plugin.records.Find(self) == nullptr || name == nullptr ||
                            type == nullptr || notifier == nullptr)) {
        error = kBadParameterErr;
    }
    if (error == kNoErr) {
        *notifier = state->plugin.notifiers.Add<AINotifierHandle>(
            std::make_unique<NotifierRecord>(NotifierRecord{self, name, type, true}));
    } else if (notifier != nullptr) {
        *notifier = nullptr;
    }
    state->journal.Record("AddNotifier", {name != nullptr ? name : "", type != nullptr ? type : ""}, error);
    return error;
}

AIErr SetNotifierActive(AINotifierHandle notifier, AIBoolean active) {
    auto [state, error] = StartOperation(kAINotifierSuite, "SetNotifierActive");
    if (state == nullptr) {
        return error;
    }
    NotifierRecord* record = state->plugin.notifiers.Find(notifier);
    error = OutputError(error, record);
    if (error == kNoErr) {
        record->active = active != 0;
    }
    state->journal.Record("SetNotifierActive",
                          {record != nullptr ? record->name : "", active != 0 ? "1" : "0"}, error);
    return error;
}

}  // namespace

AINotifierSuite gNotifierSuite = {
    PLIM_SUITE_FUNCTION(AddNotifier),
    PLIM_SUITE_FUNCTION(SetNotifierActive),
};

}  // namespace host
