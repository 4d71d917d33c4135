// Art sets: ordered sets of art handles that operations such as rasterizing take as a whole.
#pragma once

#include <cstddef>

#include "AIArt.h"
#include "SPTypes.h"

#define kAIArtSetSuite "AI Art Set Suite"
constexpr ASInt32 kAIArtSetSuiteVersion = 1009;

struct _AIArtSet;
using AIArtSet = _AIArtSet*;

// Every operation answers kBadParameterErr for an unknown or disposed set or a null out-pointer.
// A set holds handles, not art: art disposed of after it was added stays in the set as a stale
// handle, which the operations that take the set refuse.
struct AIArtSetSuite {
    AIErr (*NewArtSet)(AIArtSet* artSet);
    // Disposes of the set (not of its art) and clears *artSet.
    AIErr (*DisposeArtSet)(AIArtSet* artSet);
    AIErr (*CountArtSet)(AIArtSet artSet, std::size_t* count);
    // The art at the index (from 0); kBadParameterErr beyond the last.
    AIErr (*IndexArtSet)(AIArtSet artSet, std::size_t index, AIArtHandle* art);
    // Appends the art unless the set holds it already. kBadParameterErr: art that is not valid.
    AIErr (*AddArtToArtSet)(AIArtSet artSet, AIArtHandle art);
};
