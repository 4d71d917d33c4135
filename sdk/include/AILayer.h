// Layers: the document's list of top-level layers and their sublayers. Each layer holds its art
// in a layer group (see AIArt.h: IsArtLayerGroup, GetFirstArtOfLayer, GetLayerOfArt).
#pragma once

#include "IAIUnicodeString.h"
#include "SPTypes.h"

#define kAILayerSuite "AI Layer Suite"
constexpr ASInt32 kAILayerSuiteVersion = 1013;

struct LayerObject;
using AILayerHandle = LayerObject*;

// Every operation answers kNoDocumentErr without a current document and kBadParameterErr for a
// null out-pointer or a layer handle that is unknown or no longer in the document. A lookup that
// finds nothing is not an error: it stores null.
struct AILayerSuite {
    // The number of top-level layers of the current document.
    AIErr (*CountLayers)(ai::int32* count);
    // The top-level layer at a 0-based position, first (front) to last; null when out of range.
    AIErr (*GetNthLayer)(ai::int32 n, AILayerHandle* layer);
    // The first top-level layer; null when the document has none.
    AIErr (*GetFirstLayer)(AILayerHandle* first);
    // The layer after this one among its siblings (top-level layers or the sublayers of one
    // parent); null after the last.
    AIErr (*GetNextLayer)(AILayerHandle layer, AILayerHandle* next);
    // The layer before this one among its siblings; null before the first.
    AIErr (*GetPrevLayer)(AILayerHandle layer, AILayerHandle* prev);
    // The layer that holds this one as a sublayer; null for a top-level layer.
    AIErr (*GetLayerParent)(AILayerHandle layer, AILayerHandle* parent);
    // The first layer, top-level layers first and then sublayers in document order, whose title
    // equals the text exactly; null when none does.
    AIErr (*GetLayerByTitle)(AILayerHandle* layer, const ai::UnicodeString& title);
};
