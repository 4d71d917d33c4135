// The plug-in list: the name each plug-in gives itself.
#include "HostState.h"
#include "suites/HostSuites.h"
#include "suites/SuiteBoundary.h"

namespace host {
namespace {

SPErr SetPluginName(SPPluginRef plugin, const char* name) {
    auto [state, error] = StartOperation(kSPPluginsSuite, "SetPluginName");
    if (state == nullptr) {
        return error;
    }
    PluginRecord* record = state->plugin.records.Find(plugin);
    if (error == kNoErr && (record == nullptr || name == nullptr)) {
        error = kSPBadParameterError;
    }
    if (error == kNoErr) {
        record->name = name;
    }
    state->journal.Record("SetPluginName", {name != nullptr ? name : ""}, error);
    return error;
}

SPErr GetPluginName(SPPluginRef plugin, const char** name) {
    auto [state, error] = StartOperation(kSPPluginsSuite, "GetPluginName");
    if (error != kNoErr) {
        return error;
    }
    const PluginRecord* record = state->plugin.records.Find(plugin);
    if (record == nullptr || name == nullptr) {
        return kSPBadParameterError;
    }
    *name = record->name.c_str();
    return kNoErr;
}

}  // namespace

SPPluginsSuite gPluginsSuite = {
    PLIM_SUITE_FUNCTION(SetPluginName),
    PLIM_SUITE_FUNCTION(GetPluginName),
};

}  // namespace host
