// Swatches: named colours in an ordered list. Every document has its own list; swatch libraries
// are lists the application keeps beside the documents (index 0 of the libraries is the current
// document's own list).
#pragma once

#include "AICustomColor.h"
#include "AIPathStyle.h"
#include "IAIUnicodeString.h"

#define kAISwatchListSuite "AI Swatch List Suite"
constexpr ASInt32 kAISwatchListSuiteVersion = 1007;
#define kAISwatchLibrariesSuite "AI Swatch Libraries Suite"
constexpr ASInt32 kAISwatchLibrariesSuiteVersion = 1008;

struct _AISwatchList;
using AISwatchListRef = _AISwatchList*;
struct _AISwatch;
using AISwatchRef = _AISwatch*;

struct DocumentObject;
using AIDocumentHandle = DocumentObject*;

// Operations answering a swatch answer null when there is none (or on any failure). Names are
// UTF-8 texts in Unicode strings. Errors: kNoDocumentErr without a document for the document's list,
// kBadParameterErr for a list or swatch that names nothing and a null out-pointer.
struct AISwatchListSuite {
    // The document's list (null: the current document).
    AIErr (*GetSwatchList)(AIDocumentHandle document, AISwatchListRef* list);
    ai::int32 (*CountSwatches)(AISwatchListRef list);
    AISwatchRef (*GetNthSwatch)(AISwatchListRef list, ai::int32 index);
    // The first swatch with exactly this name.
    AISwatchRef (*GetSwatchByName)(AISwatchListRef list, const ai::UnicodeString& name);
    // The first swatch whose colour equals the colour (a custom colour at any tint counts as the
    // swatch's when the swatch holds it at tint 0).
    AISwatchRef (*GetSwatchByColor)(AISwatchListRef list, const AIColor* color);
    // A new unnamed swatch painting nothing, at the index (-1 or beyond the last: at the end).
    AISwatchRef (*InsertNthSwatch)(AISwatchListRef list, ai::int32 index);
    // Removes the swatch; with deleteCustomColor its custom colour goes too, unless art still uses
    // it.
    AIErr (*RemoveSwatch)(AISwatchListRef list, AISwatchRef swatch, AIBoolean deleteCustomColor);
    AIErr (*GetAIColor)(AISwatchRef swatch, AIColor* color);
    // kBadParameterErr for a colour the host cannot paint with, and for "[None]" and "[Registration]".
    AIErr (*SetAIColor)(AISwatchRef swatch, const AIColor* color);
    AIErr (*GetSwatchName)(AISwatchRef swatch, ai::UnicodeString& name);
    // kBadParameterErr for an empty name, one another swatch of the list has, and for "[None]" and
    // "[Registration]".
    AIErr (*SetSwatchName)(AISwatchRef swatch, const ai::UnicodeString& name);
};

struct AISwatchLibrariesSuite {
    // Index 0 is the current document's list; the loaded libraries follow.
    AIErr (*CountLibraries)(ai::int32* count);
    AIErr (*GetNthLibrary)(ai::int32 index, AISwatchListRef* list);
    AIErr (*GetNthLibraryName)(ai::int32 index, ai::UnicodeString& name);
    // The definition of the custom colour of that name in the loaded libraries (the first library
    // that has one); kNameNotFoundErr when none has.
    AIErr (*FindStandardBookColor)(const ai::UnicodeString& name, AICustomColor* definition);
};
