// The undo suite: how a plug-in's changes join the document's undo history, and what the history
// holds.
//
// Every call the application makes into a plug-in (a script message, a notification, a panel
// event) is one transaction: the changes it makes to the current document (art, dictionaries, tag
// entries, selection) form one undo step, or join the newest one, as the kind set during the call
// says. A call that changes nothing and tags nothing leaves the history as it is.
//
// Transactions are numbered relative to the document's current state:
//
//     -past ... -2  -1  |  1  2 ... future
//     (undo takes -1 back first)   (redo repeats 1 first)
//
// -1 is the newest past transaction (the one Undo takes back next), -past the oldest. 1 is the next
// transaction Redo repeats, future the last one. 0 is the current state and names no transaction.
// Undoing back to transaction -n takes the document to the state before it: Undo called n times.
// Redoing up to transaction n brings it to the state after it: Redo called n times.
#pragma once

#include "IAIUnicodeString.h"
#include "SPTypes.h"

#define kAIUndoSuite "AI Undo Suite"
constexpr ASInt32 kAIUndoSuiteVersion = 1012;

enum AIUndoContextKind : ai::int32 {
    kAIStandardUndoContext = 0,  // the changes form an undo step of their own
    kAISilentUndoContext = 1,    // taken as append
    kAIAppendUndoContext = 2,    // the changes join the current undo step
};

struct AIUndoMarkRecord;
using AIUndoMark = AIUndoMarkRecord*;

struct AIUndoSuite {
    // The kind of the running call's transaction: standard (a step of its own, the default of every
    // call) or append (joins the newest past step; a step of its own when there is none). The last
    // kind set during a call decides. kBadParameterErr for another value.
    AIErr (*SetKind)(ai::int32 kind);

    // Tags the step that the running call's changes form or join with a text (replacing an earlier
    // tag of that step). Tagging marks a step even when the call changes nothing: a standard call
    // that tags makes a step of its own, empty if need be, so that undoing back to it is possible.
    // An empty text removes the tag. kCantHappenErr outside a call into the plug-in (no transaction
    // is being built).
    AIErr (*SetUndoTagUS)(const ai::UnicodeString& tag);

    // How many transactions Undo can take back (*past) and Redo can repeat (*future). Either
    // pointer may be null. The running call's own transaction counts once it is closed: when the
    // call returns, or when the call undoes or redoes (which closes it first).
    AIErr (*CountTransactions)(ai::int32* past, ai::int32* future);

    // The tag of transaction n (-past to -1, or 1 to future; see the numbering above); the empty
    // text for an untagged transaction. kBadParameterErr for 0 or a number out of range, leaving
    // the tag as it was.
    AIErr (*GetNthTransactionTag)(ai::int32 n, ai::UnicodeString& tag);

    // Marks the current document as it stands, inside the running call, so that RevertToMark can
    // take back what the call changes afterwards, and only that: changes made before the mark
    // (earlier in the call, or earlier steps) stay. kCantHappenErr outside a call.
    AIErr (*SetRevertMark)(AIUndoMark* mark);
    // Puts the document back as it was at the mark and forgets the mark. The changes taken back
    // leave no trace in the history. kBadParameterErr for an unknown mark.
    AIErr (*RevertToMark)(AIUndoMark mark);
    // Forgets a mark without reverting.
    AIErr (*ForgetMark)(AIUndoMark mark);
};
