// What every suite function shares at the boundary with the plug-in.
//
// The tables hold each function behind Guarded: no exception leaves a suite function. One that
// escapes a function (a library refusing extreme input, memory running out) stops at the boundary,
// is recorded in the journal as SuiteException(operation, text), and the call answers an error code
// as the application's suites do: '!MEM' for exhausted memory, 'CANT' for anything else. A function
// without an error code answers false, 0 or nothing. Tables name every field, so that a reordered
// header can't swap functions:
//
//     AIExpandSuite gExpandSuite = {PLIM_SUITE_FUNCTION(Expand)};
//
// Inside, a function refuses with Refuse (the null answer in its output and the error) and records
// what it changed with Record.
//
// Each function has its own call site, through which its first operation (StartOperation) is
// counted: the site remembers the operation's number by the addresses and lengths of its names, so
// the names a function passes first must be constants (literals or static texts), never texts built
// at run time; later operations of the same call are looked up by name.
#pragma once

#include <algorithm>
#include <cstddef>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

#include "HostState.h"
#include "SPTypes.h"

namespace host {

// An operation that fails writes the null (zero) value into its output.
template <typename T>
AIErr Refuse(T* out, AIErr error) {
    if (out != nullptr) {
        *out = T{};
    }
    return error;
}

// Why an operation can't go on: the error it started with, or kBadParameterErr when a pointer it
// needs is null (nowhere to write the answer, or nothing behind a handle); kNoErr when it can go on.
template <typename T>
AIErr OutputError(AIErr error, const T* out) {
    if (error != kNoErr) {
        return error;
    }
    return out == nullptr ? kBadParameterErr : kNoErr;
}

// Records a call in the journal; nothing without an application.
void Record(HostState* state, std::string operation, std::vector<std::string> arguments, AIErr result);

namespace detail {

// An operation's name, as a template argument.
template <std::size_t N>
struct OperationName {
    constexpr OperationName(const char (&name)[N]) { std::copy_n(name, N, text); }  // NOLINT: implicit
    char text[N];
};

// Called while an exception that left an operation is handled: records it and answers its code.
ASErr CaughtException(const char* operation) noexcept;

// Makes the site the current call site while it lives; the one before is current again after.
class CallSiteScope {
public:
    explicit CallSiteScope(FaultInjector::CallSite& site) noexcept
        : fPrevious(std::exchange(tCallSite, &site)) {}
    ~CallSiteScope() { tCallSite = fPrevious; }
    CallSiteScope(const CallSiteScope&) = delete;
    CallSiteScope& operator=(const CallSiteScope&) = delete;

private:
    FaultInjector::CallSite* fPrevious;
};

template <OperationName Name, auto Function, bool kCount, typename = decltype(Function)>
struct Boundary;

template <OperationName Name, auto Function, bool kCount, typename R, typename... Args>
struct Boundary<Name, Function, kCount, R (*)(Args...)> {
    static R Call(Args... args) noexcept {
        static FaultInjector::CallSite site;
        const CallSiteScope scope(site);
        try {
            return Function(std::forward<Args>(args)...);
        } catch (...) {
            const ASErr error = CaughtException(Name.text);
            if constexpr (std::is_same_v<R, ASErr> && !kCount) {
                return error;
            } else if constexpr (!std::is_void_v<R>) {
                return R{};
            }
        }
    }
};

}  // namespace detail

// The function as a suite table holds it.
template <detail::OperationName Name, auto Function>
inline constexpr auto Guarded = &detail::Boundary<Name, Function, false>::Call;
// The same for a function that answers a count, not an error code: 0 when an exception stopped it.
template <detail::OperationName Name, auto Function>
inline constexpr auto GuardedCount = &detail::Boundary<Name, Function, true>::Call;

}  // namespace host

// One field of a suite table, holding the function of the same name.
#define PLIM_SUITE_FUNCTION(name) .name = ::host::Guarded<#name, name>
// One field holding a function named otherwise in its file.
#define PLIM_SUITE_FUNCTION_AS(name, function) .name = ::host::Guarded<#name, function>
// One field holding a function that answers a count.
#define PLIM_SUITE_COUNT(name) .name = ::host::GuardedCount<#name, name>
