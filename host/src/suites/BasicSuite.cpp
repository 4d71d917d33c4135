// The basic suite: acquisition and release of every other suite.
#include <string>

#include "HostState.h"
#include "suites/HostSuites.h"
#include "suites/SuiteBoundary.h"

namespace host {
namespace {

SPErr AcquireSuite(const char* name, ASInt32 version, const void** suite) {
    auto [state, error] = StartOperation(kSPBasicSuite, "AcquireSuite");
    if (state == nullptr) {
        return error;
    }
    if (error == kNoErr && (name == nullptr || suite == nullptr)) {
        error = kSPBadParameterError;
    }
    if (error == kNoErr) {
        error = state->faults.SuiteFault(name);
    }
    if (error == kNoErr) {
        error = state->suites.Acquire(name, version, suite);
    }
    if (error != kNoErr && suite != nullptr) {
        *suite = nullptr;
    }
    state->journal.Record("AcquireSuite", {name != nullptr ? name : "", std::to_string(version)}, error);
    return error;
}

SPErr ReleaseSuite(const char* name, ASInt32 version) {
    auto [state, error] = StartOperation(kSPBasicSuite, "ReleaseSuite");
    if (state == nullptr) {
        return error;
    }
    if (error == kNoErr) {
        error = name != nullptr ? state->suites.Release(name, version) : kSPBadParameterError;
    }
    state->journal.Record("ReleaseSuite", {name != nullptr ? name : "", std::to_string(version)}, error);
    return error;
}

}  // namespace

SPBasicSuite gBasicSuite = {
    PLIM_SUITE_FUNCTION(AcquireSuite),
    PLIM_SUITE_FUNCTION(ReleaseSuite),
};

}  // namespace host
