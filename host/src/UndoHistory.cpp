// The undo history and the transactions of calls into the plug-in.
#include "UndoHistory.h"

#include <algorithm>
#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

#include "HostState.h"

namespace host {

// --- The running call -----------------------------------------------------------------------------

void UndoHistory::BeginCall(model::Document* document) {
    Call call;
    if (document != nullptr) {
        TakeOutsideChanges(*document);
        document->markSelection();
        call.open = true;
    } else {
        call.startSelection.emplace();  // no document, no selection
    }
    fCall = std::move(call);
}

bool UndoHistory::EndCall(model::Document* document) {
    if (!fCall) {
        return false;
    }
    CloseTransaction(document);
    bool selectionChanged = false;
    if (fCall->startSelection) {
        // The call's document went: compare whole selections, the rare case that walks them.
        selectionChanged = *fCall->startSelection !=
                           (document != nullptr ? document->selectedArt() : std::vector<model::ArtId>());
    } else {
        selectionChanged = document != nullptr && document->selectionChanged();
    }
    fCall.reset();
    return selectionChanged;
}

void UndoHistory::SetKind(ai::int32 kind) {
    if (fCall) {
        fCall->kind = kind;
    }
}

bool UndoHistory::Tag(std::string tag) {
    if (!fCall) {
        return false;
    }
    fCall->tag = std::move(tag);
    return true;
}

void UndoHistory::TakeOutsideChanges(model::Document& document) {
    model::ChangeLog outside = document.takeChanges();
    if (outside.empty()) {
        return;
    }
    ++fRevision;
    if (!fPast.empty()) {
        fPast.back().changes.absorb(std::move(outside));
    }
    fFuture.clear();
}

void UndoHistory::CloseTransaction(model::Document* document) {
    // A call that began without a document, or whose document was closed, has nothing to record.
    if (!fCall || !fCall->open || document == nullptr) {
        return;
    }
    model::ChangeLog changes = document->takeChanges();
    const bool changed = !changes.empty();
    if (!changed && !fCall->tag) {
        return;
    }
    if (changed) {
        ++fRevision;
    }
    const bool joins = fCall->kind != kAIStandardUndoContext && !fPast.empty();
    if (joins) {
        fPast.back().changes.absorb(std::move(changes));
        if (fCall->tag) {
            fPast.back().tag = *fCall->tag;
        }
    } else {
        fPast.push_back(Step{std::move(changes), fCall->tag.value_or(std::string())});
        if (fPast.size() > kMaxSteps) {
            fPast.erase(fPast.begin());
        }
    }
    // The steps to redo start from a state that is no longer the current one. A tag given to the
    // newest step without a change leaves them valid.
    if (changed || !joins) {
        fFuture.clear();
    }
    fCall->tag.reset();
}

// --- Stepping -------------------------------------------------------------------------------------

bool UndoHistory::Undo(model::Document& document) {
    CloseTransaction(&document);
    TakeOutsideChanges(document);
    if (fPast.empty()) {
        return false;
    }
    Step step = std::move(fPast.back());
    fPast.pop_back();
    document.applyChanges(step.changes);
    ++fRevision;
    fFuture.push_back(std::move(step));
    return true;
}

bool UndoHistory::Redo(model::Document& document) {
    CloseTransaction(&document);
    TakeOutsideChanges(document);
    if (fFuture.empty()) {
        return false;
    }
    Step step = std::move(fFuture.back());
    fFuture.pop_back();
    document.applyChanges(step.changes);
    ++fRevision;
    fPast.push_back(std::move(step));
    return true;
}

std::optional<std::string> UndoHistory::TagOf(ai::int32 n) const {
    const auto past = static_cast<std::int64_t>(fPast.size());
    const auto future = static_cast<std::int64_t>(fFuture.size());
    if (n < 0 && n >= -past) {
        return fPast[static_cast<std::size_t>(past + n)].tag;
    }
    if (n > 0 && n <= future) {
        return fFuture[static_cast<std::size_t>(future - n)].tag;
    }
    return std::nullopt;
}

void UndoHistory::DocumentLeaving(const model::Document& document) {
    if (fCall && !fCall->startSelection) {
        fCall->startSelection = document.selectionAtMark();
    }
}

bool UndoHistory::HasOpenChanges(const model::Document* document) const {
    return fCall && fCall->open && document != nullptr && document->hasChanges();
}

void UndoHistory::Reset(model::Document* document) {
    fRevision = 0;
    fPast.clear();
    fFuture.clear();
    if (document != nullptr) {
        document->takeChanges();  // what came before belongs to no step of this history
        document->markSelection();
    }
    if (fCall) {
        fCall->open = document != nullptr;
        fCall->tag.reset();
    }
}

// --- Transactions of calls --------------------------------------------------------------------------

void BeginCallTransaction(HostState& state) {
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

}  // namespace

const void* PlaceRevertMark(HostState& state, model::Document& document) {
    auto record = std::make_unique<RevertMark>();
    record->before = document.takeChanges();
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
    document.putBackChanges(TakeMark(marks, at));
    return true;
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

void DocumentBecameCurrent(HostState& state) {
    state.documents.handle = state.documents.current != nullptr ? detail::NextHandleNumber() : 0;
    state.documents.undo.Reset(state.documents.current.get());
    // A document sent behind during a call takes the changes the call made to it along, as a
    // transaction of its own history.
    for (BackgroundDocument& waiting : state.documents.background) {
        if (waiting.undo.InCall()) {
            waiting.undo.EndCall(waiting.document.get());
        }
    }
    // The running call goes on, its transaction now starting from the new document.
    if (state.plugin.callDepth > 0 && !state.documents.undo.InCall()) {
        state.documents.undo.BeginCall(state.documents.current.get());
    }
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
