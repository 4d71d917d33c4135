// The document suite: the current document, its dictionary and settings, and stepping through its
// undo history (AIUndo.h says how transactions are formed and numbered).
#pragma once

#include "AIDictionary.h"
#include "ATESuites.h"
#include "SPTypes.h"

namespace ai {
class FilePath;
}

#define kAIDocumentSuite "AI Document Suite"
constexpr ASInt32 kAIDocumentSuiteVersion = 1021;

struct DocumentObject;
using AIDocumentHandle = DocumentObject*;

// Ruler units, as GetDocumentRulerUnits reports them.
enum AIDocumentRulerUnits : ai::int16 {
    kInchesUnits = 1,
    kCentimetersUnits = 2,
    kPointsUnits = 3,
    kPicasUnits = 4,
    kMillimetersUnits = 5,
    kPixelsUnits = 6,
    kQUnits = 7,  // quarter millimetres
    kFeetInchesUnits = 8,
    kMetersUnits = 9,
    kYardsUnits = 10,
    kFeetUnits = 11,
};

// The colour models of documents.
enum AIDocumentColorModelValue : ai::int16 {
    kDocGrayColor = 0,
    kDocRGBColor = 1,
    kDocCMYKColor = 2,
};

// Every operation answers kNoDocumentErr when no document is open and kBadParameterErr for a null
// out-pointer; a failing operation writes null (or 0) into its output and changes nothing.
struct AIDocumentSuite {
    // The current document's handle. A handle names one document for as long as it is open and is
    // never reused.
    AIErr (*GetDocument)(AIDocumentHandle* document);
    // The current document's dictionary. The reference carries one count that the caller gives
    // back (AIDictionarySuite::Release).
    AIErr (*GetDictionary)(AIDictionaryRef* dictionary);
    // Takes back the newest past transaction (transaction -1, AIUndo.h). Inside a call, the call's
    // own changes so far are closed as a transaction first. kCantHappenErr when there is nothing to
    // undo; the document is then left as it is.
    AIErr (*Undo)();
    // Repeats the next transaction that undo took back (transaction 1). Inside a call, the call's
    // own changes so far are closed first; when there are any, they clear what redo could repeat.
    // kCantHappenErr when there is nothing to redo.
    AIErr (*Redo)();
    // The document's scale factor: 1 for a canvas of ordinary size; a large canvas has a larger
    // one, and its lengths in points stand for the factor times as many.
    AIErr (*GetDocumentScale)(AIReal* scale);
    // The code of the document's ruler units (AIDocumentRulerUnits).
    AIErr (*GetDocumentRulerUnits)(ai::int16* units);
    // The document's colour model (AIDocumentColorModelValue).
    AIErr (*GetDocumentColorModel)(ai::int16* colorModel);
    // Converts the document to the colour model; kBadParameterErr for another value.
    AIErr (*SetDocumentColorModel)(ai::int16 colorModel);
    // The file the document was opened from or saved to; the empty path for a new document.
    AIErr (*GetDocumentFileSpecification)(ai::FilePath& file);
    // Whether the document has changes that were not saved. Every change made to it sets the flag;
    // opening and saving clear it.
    AIErr (*GetDocumentModified)(AIBoolean* modified);
    AIErr (*SetDocumentModified)(AIBoolean modified);
    // Writes a copy of the document to the file in the named format ("Host Any Format Writer": the
    // application's native format). The document keeps its own file and its modified flag. The
    // file is replaced whole or not at all: a write that fails leaves what was there.
    // kBadParameterErr for an unknown format or an empty path, kCantHappenErr when the file can't
    // be written.
    AIErr (*WriteDocument)(const ai::FilePath& file, const char* fileFormatName, ASBoolean askForParameters);
    // The document's XMP metadata packet, valid until the packet changes; and a new packet.
    AIErr (*GetDocumentXAP)(const char** xap);
    AIErr (*SetDocumentXAP)(const char* xap);
    // The text engine's resources of the current document (its named styles), with one count.
    AIErr (*GetDocumentTextResources)(DocumentTextResourcesRef* resources);
};

// The format of WriteDocument that writes the application's native documents.
#define kAIAnyFormatWriter "Host Any Format Writer"
