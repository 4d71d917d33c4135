// Failure injection: suites refused on acquisition, operations failing always or on one call.
#include "host/FaultInjector.h"

namespace host {

void FaultInjector::FailSuite(std::string suite, ASErr error) {
    fSuiteFaults[std::move(suite)] = error;
}

void FaultInjector::FailOperation(std::string suite, std::string operation, ASErr error, int onCall) {
    fOperationFaults[Key{std::move(suite), std::move(operation)}] =
        OperationFault{error, onCall < 0 ? 0 : onCall, 0};
}

void FaultInjector::Clear() {
    fSuiteFaults.clear();
    fOperationFaults.clear();
}

ASErr FaultInjector::SuiteFault(std::string_view suite) const {
    if (fSuspended > 0) {
        return kNoErr;
    }
    const auto found = fSuiteFaults.find(suite);
    return found != fSuiteFaults.end() ? found->second : kNoErr;
}

ASErr FaultInjector::Check(std::string_view suite, std::string_view operation) {
    if (fSuspended > 0) {
        return kNoErr;
    }
    const std::pair<std::string_view, std::string_view> key{suite, operation};
    auto counted = fCalls.find(key);
    if (counted == fCalls.end()) {
        counted = fCalls.emplace(Key{std::string(suite), std::string(operation)}, 0).first;
    }
    ++counted->second;

    const auto found = fOperationFaults.find(key);
    if (found == fOperationFaults.end()) {
        return kNoErr;
    }
    OperationFault& fault = found->second;
    ++fault.callsSeen;
    if (fault.onCall == 0 || fault.callsSeen == fault.onCall) {
        return fault.error;
    }
    return kNoErr;
}

int FaultInjector::Calls(std::string_view suite, std::string_view operation) const {
    const auto found = fCalls.find(std::pair<std::string_view, std::string_view>{suite, operation});
    return found != fCalls.end() ? found->second : 0;
}

}  // namespace host
