// Layers: the document's list of top-level layers and their sublayers. Each layer holds its art
// in a layer group (see AIArt.h: IsArtLayerGroup, GetFirstArtOfLayer, GetLayerOfArt).
#pragma once

#include "IAIUnicodeString.h"
#include "SPTypes.h"

#define kAILayerSuite "AI Layer Suite"
constexpr ASInt32 kAILayerSuiteVersion = 1013;

struct LayerObject;
using AILayerHandle = LayerObject*;
struct ArtObject;
using AIArtHandle = ArtObject*;  // as in AIArt.h

// A layer's colour: 16 bits a channel (0 to 65535).
struct AIRGBColor {
    ai::uint16 red = 0;
    ai::uint16 green = 0;
    ai::uint16 blue = 0;
};

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

    // --- Adding and removing layers ---
    // A new layer "Layer N" placed by the paint order (AIPaintOrder, AIArt.h) relative to a layer:
    // above or below it at its own level, inside on top or bottom as its first or last sublayer; the
    // "all" orders put it at the top or bottom of the top-level layers (layer may be null then).
    AIErr (*InsertLayer)(AILayerHandle layer, ai::int16 paintOrder, AILayerHandle* newLayer);
    // A new layer whose layer group is placed by the paint order relative to an art object: beside
    // a layer group, or inside one as a sublayer. Placements the art tree doesn't allow (a layer
    // beside ordinary art, inside a group) are kBadParameterErr.
    AIErr (*InsertLayerAtArt)(AIArtHandle art, ai::int16 paintOrder, AILayerHandle* newLayer);
    // Removes the layer with its art and sublayers. The only top-level layer can't be removed
    // (kCantHappenErr).
    AIErr (*DeleteLayer)(AILayerHandle layer);

    // --- Properties ---
    AIErr (*GetLayerTitle)(AILayerHandle layer, ai::UnicodeString& title);
    AIErr (*SetLayerTitle)(AILayerHandle layer, const ai::UnicodeString& title);
    AIErr (*GetLayerColor)(AILayerHandle layer, AIRGBColor* color);
    AIErr (*SetLayerColor)(AILayerHandle layer, AIRGBColor color);
    AIErr (*GetLayerVisible)(AILayerHandle layer, AIBoolean* visible);
    AIErr (*SetLayerVisible)(AILayerHandle layer, AIBoolean visible);
    // Editable is the opposite of locked.
    AIErr (*GetLayerEditable)(AILayerHandle layer, AIBoolean* editable);
    AIErr (*SetLayerEditable)(AILayerHandle layer, AIBoolean editable);
    AIErr (*GetLayerPrinted)(AILayerHandle layer, AIBoolean* printed);
    AIErr (*SetLayerPrinted)(AILayerHandle layer, AIBoolean printed);
    // Preview display (false: outlines).
    AIErr (*GetLayerPreview)(AILayerHandle layer, AIBoolean* preview);
    AIErr (*SetLayerPreview)(AILayerHandle layer, AIBoolean preview);
    AIErr (*GetLayerIsTemplate)(AILayerHandle layer, AIBoolean* isTemplate);
    AIErr (*SetLayerIsTemplate)(AILayerHandle layer, AIBoolean isTemplate);
    // Whether placed images on the layer are shown dimmed, and by how much (0 to 100 percent;
    // another percentage is kBadParameterErr).
    AIErr (*GetLayerDimPlacedImages)(AILayerHandle layer, AIBoolean* dimmed);
    AIErr (*SetLayerDimPlacedImages)(AILayerHandle layer, AIBoolean dimmed);
    AIErr (*GetLayerDimmedPercent)(AILayerHandle layer, ai::int32* percent);
    AIErr (*SetLayerDimmedPercent)(AILayerHandle layer, ai::int32 percent);
};
