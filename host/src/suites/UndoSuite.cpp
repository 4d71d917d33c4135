// The undo suite: the kind and tag of the running call's transaction, and what the history holds.
#include <string>

#include "HostState.h"
#include "Transactions.h"
#include "UndoHistory.h"
#include "suites/DocumentAccess.h"
#include "suites/HostSuites.h"
#include "suites/SuiteBoundary.h"

namespace host {
namespace {

AIErr SetKind(ai::int32 kind) {
    auto [state, error] = StartOperation(kAIUndoSuite, "SetKind");
    if (state == nullptr) {
        return error;
    }
    if (error == kNoErr && (kind < kAIStandardUndoContext || kind > kAIAppendUndoContext)) {
        error = kBadParameterErr;
    }
    if (error == kNoErr) {
        state->documents.undoKinds.push_back(kind);
        state->documents.callKind = kind;
        state->documents.undo.SetKind(kind);
    }
    state->journal.Record("SetKind", {std::to_string(kind)}, error);
    return error;
}

AIErr SetUndoTagUS(const ai::UnicodeString& tag) {
    auto [state, document, error] = StartDocumentOperation(kAIUndoSuite, "SetUndoTagUS");
    if (error != kNoErr) {
        return error;
    }
    const std::optional<std::string> text = StringText(*state, tag);
    if (!text) {
        error = kBadParameterErr;
    } else if (!state->documents.undo.Tag(*text)) {
        error = kCantHappenErr;
    }
    state->journal.Record("SetUndoTag", {text.value_or("")}, error);
    return error;
}

AIErr CountTransactions(ai::int32* past, ai::int32* future) {
    auto [state, document, error] = StartDocumentOperation(kAIUndoSuite, "CountTransactions");
    if (error == kNoErr) {
        if (past != nullptr) {
            *past = state->documents.undo.PastCount();
        }
        if (future != nullptr) {
            *future = state->documents.undo.FutureCount();
        }
        return kNoErr;
    }
    if (past != nullptr) {
        *past = 0;
    }
    return Refuse(future, error);
}

AIErr GetNthTransactionTag(ai::int32 n, ai::UnicodeString& tag) {
    auto [state, document, error] = StartDocumentOperation(kAIUndoSuite, "GetNthTransactionTag");
    if (error != kNoErr) {
        return error;
    }
    const std::optional<std::string> text = state->documents.undo.TagOf(n);
    if (!text) {
        return kBadParameterErr;
    }
    SetStringText(*state, tag, *text);
    return kNoErr;
}

AIErr SetRevertMark(AIUndoMark* mark) {
    auto [state, document, error] = StartDocumentOperation(kAIUndoSuite, "SetRevertMark");
    error = OutputError(error, mark);
    if (error == kNoErr && !state->documents.undo.InCall()) {
        error = kCantHappenErr;
    }
    if (error != kNoErr) {
        return Refuse(mark, error);
    }
    *mark = static_cast<AIUndoMark>(const_cast<void*>(PlaceRevertMark(*state, *document)));
    state->journal.Record("SetRevertMark", {}, kNoErr);
    return kNoErr;
}

AIErr RevertToMark(AIUndoMark mark) {
    auto [state, document, error] = StartDocumentOperation(kAIUndoSuite, "RevertToMark");
    if (state == nullptr) {
        return error;
    }
    if (error == kNoErr && !RevertDocumentToMark(*state, mark)) {
        error = kBadParameterErr;
    }
    state->journal.Record("RevertToMark", {}, error);
    return error;
}

AIErr ForgetMark(AIUndoMark mark) {
    auto [state, error] = StartOperation(kAIUndoSuite, "ForgetMark");
    if (state == nullptr) {
        return error;
    }
    if (error == kNoErr && !ForgetRevertMark(*state, mark)) {
        error = kBadParameterErr;
    }
    return error;
}

}  // namespace

AIUndoSuite gUndoSuite = {
    PLIM_SUITE_FUNCTION(SetKind),           PLIM_SUITE_FUNCTION(SetUndoTagUS),
    PLIM_SUITE_FUNCTION(CountTransactions), PLIM_SUITE_FUNCTION(GetNthTransactionTag),
    PLIM_SUITE_FUNCTION(SetRevertMark),     PLIM_SUITE_FUNCTION(RevertToMark),
    PLIM_SUITE_FUNCTION(ForgetMark),
};

}  // namespace host
