// UndoHistory: the undo steps of the current document, and the transaction of the running call
// into the plug-in.
//
// Each outermost call into the plug-in is one transaction. When it returns, the document's change
// log tells what the call changed: changes form a new step (standard kind) or join the newest step
// (append kind; a new step when there is none). A call that changes nothing and tags nothing leaves
// the history alone. A step holds the change log of its transaction: the objects, layers and
// document fields it changed, as they were before. Undo applies it, which leaves the states it
// replaced in it, so redo applies it again (model::Document::applyChanges keeps handles and UUIDs
// valid). A call costs what it changed, never what the document holds.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "AIUndo.h"
#include "model/Document.h"

namespace host {

class UndoHistory {
public:
    // How many steps are kept; beyond that the oldest ones go.
    static constexpr std::size_t kMaxSteps = 1000;

    // --- The running call ---------------------------------------------------------------------

    // A call begins: its transaction starts from the document as it is now (null: none is open).
    void BeginCall(model::Document* document);
    // The call returns: its transaction closes. Answers whether the call left another set of
    // selected objects than it found.
    bool EndCall(model::Document* document);
    bool InCall() const { return fCall.has_value(); }
    // The kind of the running call's transaction (kAIStandardUndoContext unless set; silent is taken
    // as append). Nothing outside a call.
    void SetKind(ai::int32 kind);
    // Tags the step that the running call's transaction forms or joins. False outside a call.
    bool Tag(std::string tag);

    // --- Stepping ------------------------------------------------------------------------------

    // Takes the newest step back (the running call's transaction is closed first). False, with the
    // document left alone, when there is none.
    bool Undo(model::Document& document);
    // Repeats the next step undo took back (the running call's transaction is closed first, and when
    // it makes a step that clears the steps to redo). False when there is none.
    bool Redo(model::Document& document);

    ai::int32 PastCount() const { return static_cast<ai::int32>(fPast.size()); }
    ai::int32 FutureCount() const { return static_cast<ai::int32>(fFuture.size()); }
    // The tag of step n: -PastCount() to -1 (-1 the newest past step), or 1 to FutureCount() (1 the
    // next to redo). None for 0 and numbers out of range; empty for an untagged step.
    std::optional<std::string> TagOf(ai::int32 n) const;

    // The current document is about to be replaced during a call: the selection it had when the
    // call began is kept for the call's end to compare with.
    void DocumentLeaving(const model::Document& document);
    // Another document became current: its history starts empty. A running call goes on, its
    // transaction now starting from the new document.
    void Reset(model::Document* document);

    // Counts the states the document went through: every closed transaction that changed it, the
    // state a save found part way through a call's changes, the host's own changes between calls,
    // and every undo and redo. 0 when the history starts. The modified flag compares it with the
    // revision at the last save.
    std::uint64_t Revision() const { return fRevision; }
    // Whether the running call changed the document since its transaction began, or since the
    // document was last saved during it; setAside, when given, holds the states from before the
    // changes that revert marks set aside (see model::Document::hasChangesSince).
    bool HasOpenChanges(const model::Document* document, const model::ChangeLog* setAside = nullptr) const;
    // The document is saved during the running call, its change log holding every change of the
    // call's transaction so far: the state it reached counts as a revision of its own, and its
    // changes are kept apart, so that HasOpenChanges tells only of what changes after. The
    // transaction stays open: when it closes it forms one step of the changes from both sides of
    // the save. Nothing when the call changed nothing.
    void SavedDuringCall(model::Document* document);

private:
    struct Step {
        model::ChangeLog changes;  // before undo: the states before the step; after: those after it
        std::string tag;
    };
    struct Call {
        bool open = false;  // a document was current when the transaction began
        ai::int32 kind = kAIStandardUndoContext;
        std::optional<std::string> tag;
        // The selection when the call began, kept when its document was replaced during the call.
        std::optional<std::vector<model::ArtId>> startSelection;
        // The transaction's changes up to the document's last save during the call.
        model::ChangeLog saved;
    };

    // Changes made outside any call (the host's own) join the newest step, so that undoing it still
    // gives the state before it; the steps to redo no longer follow from the document and go.
    void TakeOutsideChanges(model::Document& document);
    // Closes the running call's transaction as it stands: a step, a change of the newest step, or
    // nothing. The call goes on with a new, empty transaction.
    void CloseTransaction(model::Document* document);

    std::vector<Step> fPast;    // oldest first
    std::vector<Step> fFuture;  // the next to redo last
    std::optional<Call> fCall;
    std::uint64_t fRevision = 0;
};

}  // namespace host
