#include "Transactions.h"

#include <algorithm>
#include <cstdint>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

#include "HostState.h"
#include "UndoHistory.h"

namespace host {

void BeginCallTransaction(HostState& state) {
    state.documents.callKind = kAIStandardUndoContext;
    state.documents.undo.BeginCall(state.documents.current.get());
}

namespace {

// Where the mark stands in the order the marks were set; the end for a mark not set.
std::vector<const void*>::iterator FindMark(ExportRegistry& marks, const void* mark) {
    return std::find(marks.markOrder.begin(), marks.markOrder.end(), mark);
}

// Takes the mark's log out and forgets the mark.
model::ChangeLog TakeMark(ExportRegistry& marks, std::vector<const void*>::iterator at) {
    model::ChangeLog log = std::move(marks.revertMarks.Find(*at)->before);
    marks.revertMarks.Remove(*at);
    marks.markOrder.erase(at);
    return log;
}

// The saved revision recorded for the current document; none when there is none.
std::optional<std::uint64_t> SavedRevisionOfCurrent(const HostState& state) {
    const auto found = state.documents.savedRevisions.find(state.documents.handle);
    return found != state.documents.savedRevisions.end() ? std::optional(found->second) : std::nullopt;
}

// The logs the marks set aside, joined oldest first: each thing as it was before the first change
// to it during the call. Null without marks. Costs what changed.
std::optional<model::ChangeLog> SetAsideChanges(const ExportRegistry& marks) {
    if (marks.markOrder.empty()) {
        return std::nullopt;
    }
    model::ChangeLog joined;
    for (const void* mark : marks.markOrder) {
        joined.absorb(model::ChangeLog(marks.revertMarks.Find(mark)->before));
    }
    return joined;
}

}  // namespace

const void* PlaceRevertMark(HostState& state, model::Document& document) {
    auto record = std::make_unique<RevertMark>();
    record->before = document.setChangesAside();
    record->savedRevision = SavedRevisionOfCurrent(state);
    const void* mark = state.exports.revertMarks.Add<const void*>(std::move(record));
    state.exports.markOrder.push_back(mark);
    return mark;
}

bool RevertDocumentToMark(HostState& state, const void* mark) {
    ExportRegistry& marks = state.exports;
    const auto at = FindMark(marks, mark);
    if (at == marks.markOrder.end() || state.documents.current == nullptr) {
        return false;
    }
    model::Document& document = *state.documents.current;
    // What changed since the mark: the logs of the later marks, oldest first, then the document's.
    model::ChangeLog since;
    while (marks.markOrder.end() - at > 1) {
        since.absorb(TakeMark(marks, at + 1));
    }
    since.absorb(document.takeChanges());
    document.applyChanges(since);
    // The modified flag as it was at the mark, unless the document was saved since: that save
    // stands.
    const RevertMark& record = *marks.revertMarks.Find(*at);
    if (!record.savedSince) {
        if (record.savedRevision) {
            state.documents.savedRevisions[state.documents.handle] = *record.savedRevision;
        } else {
            state.documents.savedRevisions.erase(state.documents.handle);
        }
    }
    document.putBackChanges(TakeMark(marks, at));
    return true;
}

bool CallChangedCurrentDocument(HostState& state) {
    const std::optional<model::ChangeLog> setAside = SetAsideChanges(state.exports);
    return state.documents.undo.HasOpenChanges(state.documents.current.get(),
                                               setAside ? &*setAside : nullptr);
}

void CurrentDocumentSaved(HostState& state) {
    model::Document* document = state.documents.current.get();
    ExportRegistry& marks = state.exports;
    for (const void* mark : marks.markOrder) {
        marks.revertMarks.Find(mark)->savedSince = true;
    }
    if (document == nullptr || !CallChangedCurrentDocument(state)) {
        return;
    }
    // The document's log becomes the call's whole log: each mark's log, newest first, goes in
    // front of what changed after it. The marks keep nothing to put back; the history keeps it all
    // for the call's step.
    for (auto mark = marks.markOrder.rbegin(); mark != marks.markOrder.rend(); ++mark) {
        document->putBackChanges(std::exchange(marks.revertMarks.Find(*mark)->before, model::ChangeLog()));
    }
    state.documents.undo.SavedDuringCall(document);
}

bool ForgetRevertMark(HostState& state, const void* mark) {
    ExportRegistry& marks = state.exports;
    const auto at = FindMark(marks, mark);
    if (at == marks.markOrder.end()) {
        return false;
    }
    if (at + 1 == marks.markOrder.end()) {
        model::ChangeLog before = TakeMark(marks, at);
        if (state.documents.current != nullptr) {
            state.documents.current->putBackChanges(std::move(before));
        }
        return true;
    }
    RevertMark* next = marks.revertMarks.Find(*(at + 1));
    model::ChangeLog joined = TakeMark(marks, at);
    joined.absorb(std::move(next->before));
    next->before = std::move(joined);
    return true;
}

void SettleRevertMarks(HostState& state) {
    while (!state.exports.markOrder.empty()) {
        ForgetRevertMark(state, state.exports.markOrder.back());
    }
}

void EndCallTransaction(HostState& state) {
    SettleRevertMarks(state);
    if (state.documents.undo.EndCall(state.documents.current.get())) {
        // Waits for the outermost call, and is raised once however many changes asked for it.
        if (Application* application = Application::Current()) {
            application->NotifySelectionChanged();
        }
    }
}

void DocumentLeaving(HostState& state) {
    SettleRevertMarks(state);
    if (state.documents.current != nullptr) {
        state.documents.undo.DocumentLeaving(*state.documents.current);
    }
}

void DocumentGoingBehind(HostState& state) {
    // The marks hold the document's changes of the call so far; put back now, they go with it
    // rather than into the log of the document that comes forward.
    SettleRevertMarks(state);
    if (state.documents.undo.InCall()) {
        state.documents.undo.EndCall(state.documents.current.get());
    }
}

void JoinRunningCall(HostState& state) {
    if (state.plugin.callDepth > 0 && state.documents.current != nullptr && !state.documents.undo.InCall()) {
        state.documents.undo.BeginCall(state.documents.current.get());
        state.documents.undo.SetKind(state.documents.callKind);
    }
}

void DocumentBecameCurrent(HostState& state) {
    state.documents.handle = state.documents.current != nullptr ? detail::NextHandleNumber() : 0;
    state.documents.undo.Reset(state.documents.current.get());
    // The running call goes on, its transaction now starting from the new document.
    JoinRunningCall(state);
}

AIErr StepHistory(HostState& state, bool forward) {
    if (state.documents.current == nullptr) {
        return kNoDocumentErr;
    }
    SettleRevertMarks(state);
    model::Document& document = *state.documents.current;
    // During a call the call's end compares the selection; outside one the step is watched alone.
    const bool watched = !state.documents.undo.InCall();
    if (watched) {
        document.markSelection();
    }
    const bool stepped = forward ? state.documents.undo.Redo(document) : state.documents.undo.Undo(document);
    if (!stepped) {
        return kCantHappenErr;
    }
    if (watched && document.selectionChanged()) {
        if (Application* application = Application::Current()) {
            application->NotifySelectionChanged();
        }
    }
    return kNoErr;
}

}  // namespace host
