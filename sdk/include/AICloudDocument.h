// Cloud documents: documents kept in the application's cloud storage rather than in a file the user
// chose. Every operation answers kCantHappenErr when the application has no cloud storage.
#pragma once

#include "AIDocument.h"
#include "IAIUnicodeString.h"
#include "SPTypes.h"

#define kAICloudDocumentSuite "AI Cloud Document Suite"
constexpr ASInt32 kAICloudDocumentSuiteVersion = 1001;

struct AICloudDocumentSuite {
    // Opens the cloud document that the description names, as the current document. The
    // description is a JSON object whose "path" is "/cloud-content/" followed by the document's
    // path in the storage. kBadParameterErr for a description of another form, or a path that
    // would leave the storage; kCantHappenErr when no such document can be read.
    AIErr (*OpenCloudDocument)(const ai::UnicodeString& description, AIDocumentHandle* document);
    // The document's path in the cloud storage; kBadParameterErr when it is not a cloud document.
    AIErr (*GetCloudDocumentPath)(AIDocumentHandle document, ai::UnicodeString& path);
    // Saves the current document, a cloud document, where it is in the storage.
    AIErr (*SaveCloudDocument)();
    // Saves the current document into the storage under the name (a path in the storage, the
    // extension "aic" added; an empty name: "Untitled"), and makes it a cloud document.
    AIErr (*SaveDocumentAsCloudDocument)(const ai::UnicodeString& name);
};
