// The document list suite: the documents the application holds open. The current document (the
// one every other suite works on) is the first; the others follow from the most recently current.
#pragma once

#include "AIActionManager.h"
#include "AIDocument.h"
#include "IAIFilePath.hpp"
#include "SPTypes.h"

#define kAIDocumentListSuite "AI Document List Suite"
constexpr ASInt32 kAIDocumentListSuiteVersion = 1011;

// The colour model asked of an opened document: as stored (-1), or one of AIDocumentColorModelValue.
using AIColorModel = ai::int16;
constexpr AIColorModel kAIUnknownColorModel = -1;

// Whether opening may ask the user anything (ActionDialogStatus): kDialogNone as the application
// decides, kDialogOff never.

// kBadParameterErr for a null out-pointer and a document handle that names no open document.
struct AIDocumentListSuite {
    AIErr (*Count)(ai::int32* count);
    // The document at position n (0 the current one); kBadParameterErr out of range.
    AIErr (*GetNthDocument)(AIDocumentHandle* document, ai::int32 n);
    // The file the document was opened from or last saved to; the empty path for a new document.
    AIErr (*GetDocumentFilePath)(AIDocumentHandle document, ai::FilePath& path);
    // Opens the file as the current document; the one current until now stays open behind it. The
    // file must hold a document in the application's native format, whatever its extension:
    // anything else, or a file that can't be read, is kCantHappenErr. A colour model other than
    // kAIUnknownColorModel converts the document to it. forceCopy opens it as a new, unsaved
    // document without a file.
    AIErr (*Open)(const ai::FilePath& file, AIColorModel colorModel, ActionDialogStatus dialogStatus,
                  AIBoolean forceCopy, AIDocumentHandle* document);
    // Closes the document, without asking about changes; the most recently current of the others
    // becomes current when it was the current one. Its handle names nothing afterwards.
    AIErr (*Close)(AIDocumentHandle document);
    // Makes the document the current one, also while the application is inside a call into the
    // plug-in (the call's changes so far stay with the document they were made to).
    AIErr (*Activate)(AIDocumentHandle document, ASBoolean setFocus);
};
