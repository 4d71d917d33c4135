// Plug-in access: a plug-in holding an access reference stays in memory.
#include <memory>

#include "HostState.h"
#include "suites/HostSuites.h"
#include "suites/SuiteBoundary.h"

namespace host {
namespace {

SPErr AcquirePlugin(SPPluginRef plugin, SPAccessRef* access) {
    auto [state, error] = StartOperation(kSPAccessSuite, "AcquirePlugin");
    if (state == nullptr) {
        return error;
    }
    if (error == kNoErr && (access == nullptr || state->plugin.records.Find(plugin) == nullptr)) {
        error = kSPBadParameterError;
    }
    if (error == kNoErr) {
        *access =
            state->plugin.accesses.Add<SPAccessRef>(std::make_unique<AccessRecord>(AccessRecord{plugin}));
    } else if (access != nullptr) {
        *access = nullptr;
    }
    state->journal.Record("AcquirePlugin", {}, error);
    return error;
}

SPErr ReleasePlugin(SPAccessRef access) {
    auto [state, error] = StartOperation(kSPAccessSuite, "ReleasePlugin");
    if (state == nullptr) {
        return error;
    }
    if (error == kNoErr && !state->plugin.accesses.Remove(access)) {
        error = kSPBadParameterError;
    }
    state->journal.Record("ReleasePlugin", {}, error);
    return error;
}

}  // namespace

SPAccessSuite gAccessSuite = {
    PLIM_SUITE_FUNCTION(AcquirePlugin),
    PLIM_SUITE_FUNCTION(ReleasePlugin),
};

}  // namespace host
