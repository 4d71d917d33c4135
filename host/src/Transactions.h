// The application's side of the undo history: the transactions of calls into the plug-in, the
// history's steps taken through the application's state, and the revert marks of the current
// document. Kept apart from UndoHistory.h, which HostState.h includes, so that the two don't
// include each other.
#pragma once

#include "SPTypes.h"
#include "model/Document.h"

namespace host {

struct HostState;

// The application's side of transactions: the begin and end of each outermost call into the
// plug-in. The end raises "AI Art Selection Changed Notifier" when the call left a different
// selection than it found.
void BeginCallTransaction(HostState& state);
void EndCallTransaction(HostState& state);

// The current document is about to be replaced (closed, or another set in its place).
void DocumentLeaving(HostState& state);
// The current document is about to go behind another (one opened, or one brought forward): the
// revert marks set on it are settled, so that every change made to it so far stays in its own log,
// and during a call its transaction closes, those changes a step of its own history. Its marks are
// forgotten: a later revert to one of them fails and changes nothing.
void DocumentGoingBehind(HostState& state);
// Another document became current (or none is open now): it gets a new handle and an empty history.
// During a call the new one starts a transaction.
void DocumentBecameCurrent(HostState& state);
// During a call, a current document that is not in it yet (one brought forward) starts a
// transaction of the call's kind.
void JoinRunningCall(HostState& state);

// Revert marks of the current document, set during a call and settled when it goes behind another.
// A mark sets the document's change log aside, so that what changes after it is logged apart.
// Reverting to a mark applies what changed since (it leaves no trace in the history) and puts the
// earlier log back; forgetting a mark joins its log with the next one. False for a mark that is not
// set.
const void* PlaceRevertMark(HostState& state, model::Document& document);
bool RevertDocumentToMark(HostState& state, const void* mark);
// Whether the running call has changed the current document so far, what the marks set aside
// included: what its modified flag counts besides the history. False outside a call.
bool CallChangedCurrentDocument(HostState& state);
// The current document's present state is saved (before its saved revision is recorded). During a
// call, every change so far, what the marks set aside included, is kept apart in the call's
// transaction, so that only later changes count as modified; the transaction stays open, and the
// step it forms holds the changes from both sides of the save. The marks stay set: a revert to one
// takes back what changed after this and leaves the modified flag to the save.
void CurrentDocumentSaved(HostState& state);
bool ForgetRevertMark(HostState& state, const void* mark);
// Forgets every mark, the call's changes kept: at the call's end, before an undo or a redo, and when
// the document goes.
void SettleRevertMarks(HostState& state);

// Undoes (forward false) or redoes one transaction of the current document: kNoDocumentErr without
// a document, kCantHappenErr when there is nothing to undo or redo. Outside a call into the plug-in
// a changed selection is announced at once; inside one, the call's end announces it.
AIErr StepHistory(HostState& state, bool forward);

}  // namespace host
