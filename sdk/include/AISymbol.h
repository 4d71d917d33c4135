// Symbols: named artwork definitions of a document, placed as symbol instances.
#pragma once

#include "AIArt.h"
#include "AIDocument.h"
#include "IAIUnicodeString.h"

#define kAISymbolSuite "AI Symbol Suite"
constexpr ASInt32 kAISymbolSuiteVersion = 1008;

struct AIPattern;
using AIPatternHandle = AIPattern*;

// Where GetUsedSymbolPatterns looks for uses (bits that can be combined).
enum AISymbolSearchScope : ai::int32 {
    kSearchArtwork = 0x01,        // symbol instances in the document's layers
    kSearchArtStyles = 0x02,      // arrowheads named by the strokes of art's styles
    kSearchBrushes = 0x04,        // brushes (this host has none to search)
    kSearchSymbols = 0x08,        // instances inside the artwork of other symbols
    kSearchGraphicStyles = 0x40,  // arrowheads named by the document's named graphic styles
};

// The point of a symbol's artwork that an instance's location names: 1 to 9, by rows from the top
// left (5: the centre).
using AISymbolRegistrationPoint = ai::int16;
constexpr AISymbolRegistrationPoint kSymbolCenterPoint = 5;
// How a symbol is meant to be exported: 0 movie clip, 1 graphic.
using AISymbolType = ai::int16;
constexpr AISymbolType kGraphicType = 1;

// Symbol handles name one symbol of one document for as long as it has it; another document's
// symbol is kBadParameterErr wherever the current document's is expected.
struct AISymbolSuite {
    // Counts the current document's symbols; unlisted ones too when asked.
    AIErr (*CountSymbolPatterns)(ai::int32* count, ASBoolean includeUnlisted);
    AIErr (*GetNthSymbolPattern)(ai::int32 index, AIPatternHandle* symbol, ASBoolean includeUnlisted);
    AIErr (*GetSymbolPatternName)(AIPatternHandle symbol, ai::UnicodeString& name);
    // Renames the symbol; its instances and the arrowheads that name it follow. kBadParameterErr
    // for an empty name or one another symbol has.
    AIErr (*SetSymbolPatternName)(AIPatternHandle symbol, const ai::UnicodeString& name);
    // The current document's symbol of that name; kNameNotFoundErr (and null) when it has none.
    AIErr (*GetSymbolByName)(const ai::UnicodeString& name, AIPatternHandle* symbol);
    // The same in an open or library document (AIPathStyleSuite::ImportStyles).
    AIErr (*GetSymbolByNameFromDocument)(const ai::UnicodeString& name, AIPatternHandle* symbol,
                                         AIDocumentHandle document);
    // A new symbol of the current document showing a copy of the art (which stays where it is),
    // named "New Symbol" (or "New Symbol N", the first free). kBadParameterErr for a layer group.
    AIErr (*NewSymbolPatternFromArt)(AIPatternHandle* symbol, AIArtHandle art,
                                     AISymbolRegistrationPoint registration, AISymbolType type,
                                     ASBoolean enableGuides);
    // Deletes a symbol. kCantHappenErr while an instance or an arrowhead uses it anywhere.
    AIErr (*DeleteSymbolPattern)(AIPatternHandle symbol);
    // The symbols used where the scope says: *symbols receives a block of *count handles, read as
    // (*symbols)[i] and freed with AIMdMemorySuite::MdMemoryDisposeHandle(
    // reinterpret_cast<AIMdMemoryHandle>(symbols)); none used: *count 0, *symbols null.
    AIErr (*GetUsedSymbolPatterns)(ai::int32 searchScope, AIPatternHandle*** symbols, ai::int32* count);
    // A new instance of the symbol whose artwork's centre lies at the location, placed by the
    // paint order relative to prep (AIArtSuite::NewArt).
    AIErr (*NewInstanceAtLocation)(AIPatternHandle symbol, AIRealPoint location, ai::int16 paintOrder,
                                   AIArtHandle prep, AIArtHandle* instance);
    // The current document's symbol for a symbol of another document: the one of the same name, or
    // a copy brought in (with the symbols its artwork uses that the current document lacks).
    AIErr (*RetargetForCurrentDocument)(AIPatternHandle symbol, AIPatternHandle* current);
};
