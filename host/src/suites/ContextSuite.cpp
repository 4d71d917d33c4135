// The application context: a stack of pushes, each popped with the handle its push gave.
#include <cstdint>
#include <memory>

#include "HostState.h"
#include "suites/HostSuites.h"
#include "suites/SuiteBoundary.h"

namespace host {
namespace {

AIErr PushAppContext(SPPluginRef plugin, AIAppContextHandle* appContext) {
    auto [state, error] = StartOperation(kAIAppContextSuite, "PushAppContext");
    if (state == nullptr) {
        return error;
    }
    if (error == kNoErr && (state->plugin.records.Find(plugin) == nullptr || appContext == nullptr)) {
        error = kBadParameterErr;
    }
    if (error == kNoErr) {
        const std::uintptr_t number = detail::NextHandleNumber();
        state->ui.contexts.push_back(number);
        ++state->ui.contextPushes;
        *appContext = reinterpret_cast<AIAppContextHandle>(number);
    } else if (appContext != nullptr) {
        *appContext = nullptr;
    }
    state->journal.Record("PushAppContext", {}, error);
    return error;
}

// Contexts nest: only the innermost one can be popped. An unknown handle, or one that isn't the
// innermost, is refused and the stack stays as it was.
AIErr PopAppContext(AIAppContextHandle appContext) {
    auto [state, error] = StartOperation(kAIAppContextSuite, "PopAppContext");
    if (state == nullptr) {
        return error;
    }
    const auto number = reinterpret_cast<std::uintptr_t>(appContext);
    if (error == kNoErr && (state->ui.contexts.empty() || state->ui.contexts.back() != number)) {
        error = kBadParameterErr;
    }
    if (error == kNoErr) {
        state->ui.contexts.pop_back();
        ++state->ui.contextPops;
    }
    state->journal.Record("PopAppContext", {}, error);
    return error;
}

// Only the current document can be suspended (the others have no context to suspend); the
// suspension's handle names it until it is resumed.
AIErr SuspendAppContext(AIDocumentHandle document, AISuspendedAppContext* suspended) {
    auto [state, error] = StartOperation(kAIAppContextSuite, "SuspendAppContext");
    if (state == nullptr) {
        return error;
    }
    error = OutputError(error, suspended);
    const auto number = reinterpret_cast<std::uintptr_t>(document);
    if (error == kNoErr && (state->documents.current == nullptr || number != state->documents.handle)) {
        error = kBadParameterErr;
    }
    if (error == kNoErr) {
        *suspended = state->exports.suspendedContexts.Add<AISuspendedAppContext>(
            std::make_unique<std::uintptr_t>(number));
    } else if (suspended != nullptr) {
        *suspended = nullptr;
    }
    state->journal.Record("SuspendAppContext", {}, error);
    return error;
}

AIErr ResumeAppContext(AISuspendedAppContext suspended, AIDocumentHandle document) {
    auto [state, error] = StartOperation(kAIAppContextSuite, "ResumeAppContext");
    if (state == nullptr) {
        return error;
    }
    const std::uintptr_t* owner = state->exports.suspendedContexts.Find(suspended);
    if (error == kNoErr && (owner == nullptr || *owner != reinterpret_cast<std::uintptr_t>(document))) {
        error = kBadParameterErr;
    }
    if (error == kNoErr) {
        state->exports.suspendedContexts.Remove(suspended);
    }
    state->journal.Record("ResumeAppContext", {}, error);
    return error;
}

}  // namespace

AIAppContextSuite gContextSuite = {
    PLIM_SUITE_FUNCTION(PushAppContext),
    PLIM_SUITE_FUNCTION(PopAppContext),
    PLIM_SUITE_FUNCTION(SuspendAppContext),
    PLIM_SUITE_FUNCTION(ResumeAppContext),
};

}  // namespace host
