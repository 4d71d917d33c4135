// Expanding art: its appearance, fills and strokes become plain art in its place.
#pragma once

#include "AIArt.h"
#include "SPTypes.h"

#define kAIExpandSuite "AI Expand Suite"
constexpr ASInt32 kAIExpandSuiteVersion = 1004;

// What Expand turns into plain art.
enum AIExpandFlagValue : ai::int32 {
    kExpandPluginArt = 0x0001,        // plug-in art and envelopes: their result art
    kExpandText = 0x0002,             // text frames: their outlines
    kExpandStroke = 0x0004,           // strokes: filled outlines of the stroked area
    kExpandPattern = 0x0008,          // pattern fills: plain paths
    kExpandGradientToMesh = 0x0010,   // gradients: gradient meshes
    kExpandGradientToPaths = 0x0020,  // gradients: a blend of plain paths in steps
    kExpandSymbolInstances = 0x0040,  // symbol instances: their artwork
    kExpandChartObjects = 0x0080,     // charts: plain groups
    kExpandLiveObjects = 0x0100,      // live objects: their appearance
    kExpandShowProgress = 0x10000,    // show progress while expanding
};

// Every operation answers kNoDocumentErr without a document and kBadParameterErr for art that is
// not valid.
struct AIExpandSuite {
    // Expands the art as the flags say; steps is the number of steps of gradients turned into
    // paths. The art is replaced by its expanded art, placed where it was; art that has nothing to
    // expand stays as it is (which is no error).
    AIErr (*Expand)(AIArtHandle art, ai::int32 flags, ai::int32 steps);
};
