// Plug-in access: a plug-in holding an access reference stays in memory.
#include <memory>

#include "HostState.h"
#include "suites/HostSuites.h"

namespace host {
namespace {

SPErr AcquirePlugin(SPPluginRef plugin, SPAccessRef* access) {
    auto [state, error] = StartOperation(kSPAccessSuite, "AcquirePlugin");
    if (state == nullptr) {
        return error;
    }
    if (error == kNoErr && (access == nullptr || state->plugins.Find(plugin) == nullptr)) {
        error = kSPBadParameterError;
    }
    if (error == kNoErr) {
        *access = state->accesses.Add<SPAccessRef>(std::make_unique<AccessRecord>(AccessRecord{plugin}));
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
    if (error == kNoErr && !state->accesses.Remove(access)) {
        error = kSPBadParameterError;
    }
    state->journal.Record("ReleasePlugin", {}, error);
    return error;
}

}  // namespace

SPAccessSuite gAccessSuite = {AcquirePlugin, ReleasePlugin};

}  // namespace host
