// Queries that list the art of a document, or of one art's subtree, matching criteria of type and
// attributes, and the document-wide deselection.
#pragma once

#include "AIArt.h"
#include "AIMdMemory.h"
#include "SPTypes.h"

#define kAIMatchingArtSuite "AI Matching Art Suite"
constexpr ASInt32 kAIMatchingArtSuiteVersion = 1007;

// An object matches a criterion when its type equals type (or type is kAnyArt) and
// (its user attributes & whichAttr) == attr. whichAttr 0 matches every object.
struct AIMatchingArtSpec {
    ai::int16 type = kAnyArt;
    ai::int32 whichAttr = 0;
    ai::int32 attr = 0;
};

// Answers: *matches receives a block holding *numMatches art handles, read as (*matches)[i],
// which the caller frees with AIMdMemorySuite::MdMemoryDisposeHandle(
// reinterpret_cast<AIMdMemoryHandle>(matches)). With no match *numMatches is 0, *matches is
// null and there is nothing to free. An object that matches several criteria is listed once.
struct AIMatchingArtSuite {
    // Every matching object of the current document in document order: layers from the top
    // one down, each layer's group before its contents, each container before its children and
    // children front to back (pre-order). Layer groups of layers and sublayers are listed and
    // can match.
    AIErr (*GetMatchingArt)(const AIMatchingArtSpec* criteria, ai::int16 criterionCount,
                            AIArtHandle*** matches, ai::int32* numMatches);
    // The same over one art's subtree: the art itself first, then everything below it.
    AIErr (*GetMatchingArtFromArt)(AIArtHandle searchArt, const AIMatchingArtSpec* criteria,
                                   ai::int16 criterionCount, AIArtHandle*** matches, ai::int32* numMatches);
    // Clears the selected attribute of every object of the current document.
    AIErr (*DeselectAll)(void);
};
