// Failure injection: suites refused on acquisition, operations failing always or on one call.
#include "host/FaultInjector.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <utility>

namespace host {

namespace {

std::size_t AddressHash(const char* suite, const char* operation) {
    const auto a = reinterpret_cast<std::uintptr_t>(suite);
    const auto b = reinterpret_cast<std::uintptr_t>(operation);
    return std::hash<std::uintptr_t>{}(a * 0x9E3779B97F4A7C15ULL ^ b);
}

std::uint64_t NextIdentity() {
    static std::atomic<std::uint64_t> next{1};
    return next.fetch_add(1);
}

}  // namespace

FaultInjector::FaultInjector() : fIdentity(NextIdentity()) {}

void FaultInjector::FailSuite(std::string suite, ASErr error) {
    fSuiteFaults[std::move(suite)] = error;
}

void FaultInjector::FailOperation(std::string suite, std::string operation, ASErr error, int onCall) {
    fOperations[IndexOf(suite, operation)].fault = OperationFault{error, onCall < 0 ? 0 : onCall, 0};
}

void FaultInjector::Clear() {
    fSuiteFaults.clear();
    for (Operation& operation : fOperations) {
        operation.fault.reset();
    }
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
    return Count(IndexOf(suite, operation));
}

ASErr FaultInjector::Check(std::string_view suite, std::string_view operation, CallSite& site) {
    if (fSuspended > 0) {
        return kNoErr;
    }
    if (site.injector != fIdentity || site.suite != suite.data() || site.operation != operation.data() ||
        site.suiteSize != suite.size() || site.operationSize != operation.size()) {
        site = CallSite{fIdentity,        suite.data(),     suite.size(),
                        operation.data(), operation.size(), IndexOf(suite, operation)};
    }
    return Count(site.index);
}

ASErr FaultInjector::Count(std::size_t index) {
    Operation& counted = fOperations[index];
    ++counted.calls;
    if (!counted.fault) {
        return kNoErr;
    }
    OperationFault& fault = *counted.fault;
    ++fault.callsSeen;
    if (fault.onCall == 0 || fault.callsSeen == fault.onCall) {
        return fault.error;
    }
    return kNoErr;
}

int FaultInjector::Calls(std::string_view suite, std::string_view operation) const {
    const Operation* found = Find(suite, operation);
    return found != nullptr ? found->calls : 0;
}

// --- Numbering operations ------------------------------------------------------------------------

bool FaultInjector::Matches(const Remembered& slot, std::string_view suite,
                            std::string_view operation) const {
    if (slot.suite != suite.data() || slot.operation != operation.data()) {
        return false;
    }
    // The same addresses may hold other texts by now (names built at run time): confirm.
    const Operation& known = fOperations[slot.index];
    return known.suite == suite && known.operation == operation;
}

const FaultInjector::Operation* FaultInjector::Find(std::string_view suite,
                                                    std::string_view operation) const {
    const auto found = fByName.find(std::pair<std::string_view, std::string_view>(suite, operation));
    return found != fByName.end() ? &fOperations[found->second] : nullptr;
}

std::size_t FaultInjector::IndexOf(std::string_view suite, std::string_view operation) {
    const bool rememberable = suite.data() != nullptr && operation.data() != nullptr;
    const std::size_t mask = fRemembered.size() - 1;
    if (rememberable) {
        for (std::size_t slot = AddressHash(suite.data(), operation.data()) & mask;
             fRemembered[slot].suite != nullptr; slot = (slot + 1) & mask) {
            if (Matches(fRemembered[slot], suite, operation)) {
                return fRemembered[slot].index;
            }
        }
    }
    std::size_t index = fOperations.size();
    if (const Operation* known = Find(suite, operation)) {
        index = static_cast<std::size_t>(known - fOperations.data());
    } else {
        fOperations.push_back(Operation{std::string(suite), std::string(operation), 0, std::nullopt});
        fByName.emplace(std::pair<std::string, std::string>(suite, operation), index);
    }
    if (rememberable) {
        Remember(Remembered{suite.data(), operation.data(), index});
    }
    return index;
}

void FaultInjector::Remember(const Remembered& remembered) {
    // Kept at most half full: rebuilt twice as large before it would be fuller.
    if (2 * (fRememberedCount + 1) > fRemembered.size()) {
        const std::vector<Remembered> old =
            std::exchange(fRemembered, std::vector<Remembered>(2 * fRemembered.size()));
        fRememberedCount = 0;
        for (const Remembered& slot : old) {
            if (slot.suite != nullptr) {
                Remember(slot);
            }
        }
    }
    const std::size_t mask = fRemembered.size() - 1;
    std::size_t slot = AddressHash(remembered.suite, remembered.operation) & mask;
    while (fRemembered[slot].suite != nullptr) {
        slot = (slot + 1) & mask;
    }
    fRemembered[slot] = remembered;
    ++fRememberedCount;
}

}  // namespace host
