// UndoHistory: the undo steps of the current document, and the transaction of the running call
// into the plug-in.
//
// Each outermost call into the plug-in is one transaction. When it returns, the document is
// compared with its state when the call began: changes form a new step (standard kind) or join the
// newest step (append kind; a new step when there is none). A call that changes nothing and tags
// nothing leaves the history alone. A step holds the document as it was before and after it, so
// undo and redo put whole states back (model::Document::restore keeps handles and UUIDs valid).
// States are shared between neighbouring steps: a step's "before" is usually its predecessor's
// "after".
#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "AIUndo.h"
#include "model/Document.h"

namespace host {

struct HostState;

class UndoHistory {
public:
    using Snapshot = std::shared_ptr<const model::Document>;

    // How many steps are kept; beyond that the oldest ones go.
    static constexpr std::size_t kMaxSteps = 1000;

    // --- The running call ---------------------------------------------------------------------

    // A call begins: its transaction starts from the document as it is now (null: none is open).
    void BeginCall(const model::Document* document);
    // The call returns: its transaction closes. Answers the document as it was when the call began
    // (null when none was open), for the caller's comparisons.
    Snapshot EndCall(const model::Document* document);
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

    // Another document became current: its history starts empty. A running call goes on, its
    // transaction now starting from the new document.
    void Reset(const model::Document* document);

private:
    struct Step {
        Snapshot before;
        Snapshot after;
        std::string tag;
    };
    struct Call {
        Snapshot start;  // the document when the call began
        Snapshot base;   // where the open transaction starts: the call's start, or the state an undo
                         // or redo during the call left
        ai::int32 kind = kAIStandardUndoContext;
        std::optional<std::string> tag;
    };

    // A snapshot of the document, sharing the last one taken when nothing changed since.
    Snapshot SnapshotOf(const model::Document& document);
    // Closes the running call's transaction as it stands: a step, a change of the newest step, or
    // nothing. The call goes on with a new, empty transaction.
    void CloseTransaction(const model::Document* document);
    void MoveTo(model::Document& document, const Snapshot& state);

    std::vector<Step> fPast;    // oldest first
    std::vector<Step> fFuture;  // the next to redo last
    Snapshot fLatest;           // the state the history last took or put back
    std::optional<Call> fCall;
};

// The application's side of transactions: the begin and end of each outermost call into the
// plug-in. The end raises "AI Art Selection Changed Notifier" when the call left a different
// selection than it found.
void BeginCallTransaction(HostState& state);
void EndCallTransaction(HostState& state);

// Another document became current (or none is open now): it gets a new handle and an empty history.
// During a call, a document that went behind closes its transaction, and the new one starts one.
void DocumentBecameCurrent(HostState& state);

// Undoes (forward false) or redoes one transaction of the current document: kNoDocumentErr without
// a document, kCantHappenErr when there is nothing to undo or redo. Outside a call into the plug-in
// a changed selection is announced at once; inside one, the call's end announces it.
AIErr StepHistory(HostState& state, bool forward);

// The art whose own selected bit is set, in handle order: what selection comparisons compare.
std::vector<model::ArtId> SelectedArt(const model::Document& document);
bool SameSelection(const model::Document* before, const model::Document* after);

}  // namespace host
