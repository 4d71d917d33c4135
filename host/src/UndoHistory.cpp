// The undo history of the current document.
#include "UndoHistory.h"

#include <algorithm>
#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

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
    // The changes since a save during the call are a revision of their own; the saved state
    // counted one when the save came. The step holds the changes from both sides of the save, what
    // ended as it began left out.
    if (document->hasChanges()) {
        ++fRevision;
    }
    document->putBackChanges(std::exchange(fCall->saved, model::ChangeLog()));
    model::ChangeLog changes = document->takeChanges();
    const bool changed = !changes.empty();
    if (!changed && !fCall->tag) {
        return;
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

bool UndoHistory::HasOpenChanges(const model::Document* document, const model::ChangeLog* setAside) const {
    if (!fCall || !fCall->open || document == nullptr) {
        return false;
    }
    return setAside != nullptr ? document->hasChangesSince(*setAside) : document->hasChanges();
}

void UndoHistory::SavedDuringCall(model::Document* document) {
    if (!fCall || !fCall->open || document == nullptr) {
        return;
    }
    model::ChangeLog changes = document->takeChanges();
    if (changes.empty()) {
        return;
    }
    ++fRevision;
    fCall->saved.absorb(std::move(changes));
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
        fCall->saved = model::ChangeLog();
    }
}

}  // namespace host
