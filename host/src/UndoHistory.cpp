// The undo history and the transactions of calls into the plug-in.
#include "UndoHistory.h"

#include <algorithm>
#include <cstdint>
#include <utility>

#include "HostState.h"

namespace host {

// --- The running call -----------------------------------------------------------------------------

void UndoHistory::BeginCall(const model::Document* document) {
    Call call;
    if (document != nullptr) {
        call.base = SnapshotOf(*document);
        call.start = call.base;
    }
    fCall = std::move(call);
}

UndoHistory::Snapshot UndoHistory::EndCall(const model::Document* document) {
    if (!fCall) {
        return nullptr;
    }
    CloseTransaction(document);
    Snapshot start = std::move(fCall->start);
    fCall.reset();
    return start;
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

UndoHistory::Snapshot UndoHistory::SnapshotOf(const model::Document& document) {
    if (fLatest == nullptr || !(*fLatest == document)) {
        fLatest = std::make_shared<const model::Document>(document);
    }
    return fLatest;
}

void UndoHistory::CloseTransaction(const model::Document* document) {
    // A call that began without a document, or whose document was closed, has nothing to record.
    if (!fCall || fCall->base == nullptr || document == nullptr) {
        return;
    }
    const bool changed = !(*fCall->base == *document);
    if (!changed && !fCall->tag) {
        return;
    }
    const Snapshot after = changed ? SnapshotOf(*document) : fCall->base;
    const bool joins = fCall->kind != kAIStandardUndoContext && !fPast.empty();
    if (joins) {
        fPast.back().after = after;
        if (fCall->tag) {
            fPast.back().tag = *fCall->tag;
        }
    } else {
        fPast.push_back(Step{fCall->base, after, fCall->tag.value_or(std::string())});
        if (fPast.size() > kMaxSteps) {
            fPast.erase(fPast.begin());
        }
    }
    // The steps to redo start from a state that is no longer the current one. A tag given to the
    // newest step without a change leaves them valid.
    if (changed || !joins) {
        fFuture.clear();
    }
    fCall->base = after;
    fCall->tag.reset();
}

// --- Stepping -------------------------------------------------------------------------------------

void UndoHistory::MoveTo(model::Document& document, const Snapshot& state) {
    document.restore(*state);
    fLatest = state;
    if (fCall) {
        fCall->base = state;
    }
}

bool UndoHistory::Undo(model::Document& document) {
    CloseTransaction(&document);
    if (fPast.empty()) {
        return false;
    }
    Step step = std::move(fPast.back());
    fPast.pop_back();
    MoveTo(document, step.before);
    fFuture.push_back(std::move(step));
    return true;
}

bool UndoHistory::Redo(model::Document& document) {
    CloseTransaction(&document);
    if (fFuture.empty()) {
        return false;
    }
    Step step = std::move(fFuture.back());
    fFuture.pop_back();
    MoveTo(document, step.after);
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

void UndoHistory::Reset(const model::Document* document) {
    fPast.clear();
    fFuture.clear();
    fLatest.reset();
    if (fCall) {
        fCall->base = document != nullptr ? SnapshotOf(*document) : nullptr;
        fCall->tag.reset();
    }
}

// --- Transactions of calls --------------------------------------------------------------------------

std::vector<model::ArtId> SelectedArt(const model::Document& document) {
    std::vector<model::ArtId> selected;
    for (const model::ArtId art : document.documentOrder()) {
        const model::ArtNode* node = document.find(art);
        if (node != nullptr && (node->data.attributes & model::attribute::selected) != 0) {
            selected.push_back(art);
        }
    }
    std::sort(selected.begin(), selected.end());
    return selected;
}

bool SameSelection(const model::Document* before, const model::Document* after) {
    const std::vector<model::ArtId> none;
    return (before != nullptr ? SelectedArt(*before) : none) ==
           (after != nullptr ? SelectedArt(*after) : none);
}

void BeginCallTransaction(HostState& state) {
    state.documents.undo.BeginCall(state.documents.current.get());
}

void EndCallTransaction(HostState& state) {
    const UndoHistory::Snapshot start = state.documents.undo.EndCall(state.documents.current.get());
    if (!SameSelection(start.get(), state.documents.current.get())) {
        // Waits for the outermost call, and is raised once however many changes asked for it.
        if (Application* application = Application::Current()) {
            application->NotifySelectionChanged();
        }
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
    model::Document& document = *state.documents.current;
    const std::vector<model::ArtId> selectedBefore = SelectedArt(document);
    const bool stepped = forward ? state.documents.undo.Redo(document) : state.documents.undo.Undo(document);
    if (!stepped) {
        return kCantHappenErr;
    }
    if (!state.documents.undo.InCall() && SelectedArt(document) != selectedBefore) {
        if (Application* application = Application::Current()) {
            application->NotifySelectionChanged();
        }
    }
    return kNoErr;
}

}  // namespace host
