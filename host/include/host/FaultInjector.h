// FaultInjector: makes host operations fail on purpose, so that tests reach the failure paths of
// a plug-in. A suite can be refused when acquired; an operation (suite name and operation name,
// e.g. "SP Access Suite" / "AcquirePlugin") can fail on every call or on its n-th call counted
// from when the fault is set. Every suite operation asks InjectedFault (HostOperation.h) first; the
// check costs a look-up by the names' addresses and an increment, whatever the number of faults. A
// call through a suite table brings its CallSite, which remembers the operation's number for the
// injector that last counted it: the check is then an indexed increment.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "SPTypes.h"

namespace host {

// The host's own file operations that tests can make fail, as operations of this pseudo-suite:
// "Rename" (replacing a saved document by its complete temporary file).
inline constexpr const char* kHostFileSystem = "Host File System";

class FaultInjector {
public:
    // Where one suite function last found its operation: the names' addresses and lengths, and the
    // operation's number in the injector of that identity (0: none yet).
    struct CallSite {
        std::uint64_t injector = 0;
        const char* suite = nullptr;
        std::size_t suiteSize = 0;
        const char* operation = nullptr;
        std::size_t operationSize = 0;
        std::size_t index = 0;
    };

    FaultInjector();
    FaultInjector(const FaultInjector&) = delete;
    FaultInjector& operator=(const FaultInjector&) = delete;

    // The suite can't be acquired: the basic suite's AcquireSuite answers error.
    void FailSuite(std::string suite, ASErr error = kSPSuiteNotFoundError);
    // The operation answers error: on every call when onCall is 0, otherwise on that call only
    // (1 = the next call).
    void FailOperation(std::string suite, std::string operation, ASErr error, int onCall = 0);
    void Clear();

    // The error the suite's acquisition must fail with, or 0.
    ASErr SuiteFault(std::string_view suite) const;
    // Counts one call of the operation and answers the error it must fail with, or 0. While
    // suspended (the host doing its own work through a suite) nothing is counted or failed.
    ASErr Check(std::string_view suite, std::string_view operation);
    // The same for a suite function whose names are its own constants: the site remembers where
    // they were found, so that its next call with the same names finds them without a look-up.
    ASErr Check(std::string_view suite, std::string_view operation, CallSite& site);
    // Calls of the operation made since the application started (suspended calls not counted).
    int Calls(std::string_view suite, std::string_view operation) const;

    // While a Suspension lives, the host's own use of its suites neither fails nor counts.
    class Suspension {
    public:
        explicit Suspension(FaultInjector& faults) : fFaults(faults) { ++fFaults.fSuspended; }
        ~Suspension() { --fFaults.fSuspended; }
        Suspension(const Suspension&) = delete;
        Suspension& operator=(const Suspension&) = delete;

    private:
        FaultInjector& fFaults;
    };

private:
    struct OperationFault {
        ASErr error = kNoErr;
        int onCall = 0;     // 0: every call
        int callsSeen = 0;  // calls since the fault was set
    };
    // Every operation seen gets a number: its calls and its fault are kept under it.
    struct Operation {
        std::string suite;
        std::string operation;
        int calls = 0;
        std::optional<OperationFault> fault;
    };
    // Where a call's names were last found: suites pass the same texts on every call, so their
    // addresses find the operation's number without reading the names more than once to confirm.
    struct Remembered {
        const char* suite = nullptr;
        const char* operation = nullptr;
        std::size_t index = 0;
    };

    // The operation's number, made when it is new.
    std::size_t IndexOf(std::string_view suite, std::string_view operation);
    // Counts one call of the numbered operation and answers its fault, or 0.
    ASErr Count(std::size_t index);
    const Operation* Find(std::string_view suite, std::string_view operation) const;
    bool Matches(const Remembered& slot, std::string_view suite, std::string_view operation) const;
    void Remember(const Remembered& remembered);

    std::map<std::string, ASErr, std::less<>> fSuiteFaults;
    std::vector<Operation> fOperations;
    // Compares name pairs with (string_view, string_view) look-up pairs.
    struct NamesLess {
        using is_transparent = void;
        template <typename A, typename B>
        bool operator()(const A& a, const B& b) const {
            return std::pair<std::string_view, std::string_view>(a.first, a.second) <
                   std::pair<std::string_view, std::string_view>(b.first, b.second);
        }
    };
    std::map<std::pair<std::string, std::string>, std::size_t, NamesLess> fByName;
    std::vector<Remembered> fRemembered = std::vector<Remembered>(256);  // open addressing, a power of 2
    std::size_t fRememberedCount = 0;
    int fSuspended = 0;
    std::uint64_t fIdentity;  // never shared by two injectors, so a site can't name another's number
};

}  // namespace host
