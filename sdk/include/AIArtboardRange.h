// The artboard range suite: sets of artboards named by a text, as export dialogs take them.
//
// A range text lists artboard numbers counted from 1, separated by commas: single numbers ("5")
// and spans ("1-3", first not above last), with blanks allowed around numbers. The empty text (or
// one of blanks only) names every artboard. A text is valid when it follows this form and every
// number names an artboard of the current document. A range holds the 0-based indexes in the order
// written, each once.
#pragma once

#include "AIArtboard.h"
#include "IAIUnicodeString.h"
#include "SPTypes.h"

#define kAIArtboardRangeSuite "AI Artboard Range Suite"
constexpr ASInt32 kAIArtboardRangeSuiteVersion = 1004;

struct ArtboardRangeObject;
using AIArtboardRangeHandle = ArtboardRangeObject*;
struct ArtboardRangeIteratorObject;
using AIArtboardRangeIterator = ArtboardRangeIteratorObject*;

// Next's answer after the last index.
constexpr AIErr kEndOfRangeErr = FourCharCode("EOfR");

// kBadParameterErr for null out-pointers and unknown or disposed handles; kNoDocumentErr without
// a document where the current document's artboards are needed.
struct AIArtboardRangeSuite {
    // Whether the text is a valid range of the current document's artboards.
    AIErr (*ValidateString)(const ai::UnicodeString& range, AIBoolean* valid);
    // The range a valid text names (kBadParameterErr for an invalid one). The caller disposes of it.
    AIErr (*Create)(const ai::UnicodeString& range, AIArtboardRangeHandle* handle);
    AIErr (*Dispose)(AIArtboardRangeHandle handle);
    AIErr (*GetCount)(AIArtboardRangeHandle handle, ai::int32* count);
    // An iterator at the range's first index. The caller disposes of it.
    AIErr (*Begin)(AIArtboardRangeHandle handle, AIArtboardRangeIterator* iterator);
    // The next index; kEndOfRangeErr when there is none left.
    AIErr (*Next)(AIArtboardRangeIterator iterator, ArtboardID* index);
    AIErr (*DisposeIterator)(AIArtboardRangeIterator iterator);
};
