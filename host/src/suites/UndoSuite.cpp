// The undo suite: the kind of the current undo context is recorded.
#include <string>

#include "HostState.h"
#include "suites/HostSuites.h"

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
        state->undoKinds.push_back(kind);
    }
    state->journal.Record("SetKind", {std::to_string(kind)}, error);
    return error;
}

}  // namespace

AIUndoSuite gUndoSuite = {SetKind};

}  // namespace host
