// The document list suite: the documents the application holds open. The current document (the
// one every other suite works on) is the first; the others follow from the most recently current.
#pragma once

#include "AIDocument.h"
#include "IAIFilePath.hpp"
#include "SPTypes.h"

#define kAIDocumentListSuite "AI Document List Suite"
constexpr ASInt32 kAIDocumentListSuiteVersion = 1011;

// kBadParameterErr for a null out-pointer and a document handle that names no open document.
struct AIDocumentListSuite {
    AIErr (*Count)(ai::int32* count);
    // The document at position n (0 the current one); kBadParameterErr out of range.
    AIErr (*GetNthDocument)(AIDocumentHandle* document, ai::int32 n);
    // The file the document was opened from or last saved to; the empty path for a new document.
    AIErr (*GetDocumentFilePath)(AIDocumentHandle document, ai::FilePath& path);
};
