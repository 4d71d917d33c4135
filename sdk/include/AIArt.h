// Art objects: the tree of groups, paths, text frames and other art that makes up a document.
// Art is reached through handles (AIArtHandle). A handle names one object for the object's whole
// life; the host never reuses it, and an operation given a disposed or unknown handle answers
// kBadParameterErr instead of touching anything.
#pragma once

#include "AIDictionary.h"
#include "AILayer.h"
#include "AIRealMath.h"
#include "IAIUnicodeString.h"
#include "SPTypes.h"

#define kAIArtSuite "AI Art Suite"
constexpr ASInt32 kAIArtSuiteVersion = 1021;

struct ArtObject;
using AIArtHandle = ArtObject*;

// Art types, as GetArtType reports them. kAnyArt only serves queries (AIMatchingArt.h).
enum AIArtType : ai::int16 {
    kAnyArt = -1,
    kUnknownArt = 0,
    kGroupArt = 1,  // groups, clip groups and the layer groups that hold a layer's art
    kPathArt = 2,
    kCompoundPathArt = 3,  // holds paths that paint as one shape
    kPlacedArt = 7,        // a linked or embedded file
    kRasterArt = 9,        // pixels
    kPluginArt = 10,       // art drawn by a plug-in group, envelopes among them
    kTextFrameArt = 12,    // point, area or path text
    kSymbolArt = 13,       // an instance of a symbol
};

// User attribute bits (GetArtUserAttr, SetArtUserAttr, matching criteria).
enum AIArtUserAttr : ai::int32 {
    kArtSelected = 0x1,
    kArtLocked = 0x2,
    kArtHidden = 0x4,
    // Read only: the object is selected and, for a container, so is everything below it.
    kArtFullySelected = 0x8,
    kArtIsClipMask = 0x1000,  // the path that clips the rest of its clip group
    kArtIsTextWrap = 0x10000,
};

// Where new or moved art goes, relative to a prep (target) art.
enum AIPaintOrder : ai::int16 {
    kPlaceAbove = 1,           // directly in front of the prep art, in the same container
    kPlaceBelow = 2,           // directly behind the prep art
    kPlaceInsideOnTop = 3,     // the first (front) child of the prep container
    kPlaceInsideOnBottom = 4,  // the last (back) child of the prep container
    kPlaceAboveAll = 5,        // in front of everything (the prep art is ignored)
    kPlaceBelowAll = 6,        // behind everything (the prep art is ignored)
};

// How deeply art may nest in a document: a top-level layer's group lies at depth 1, its members at
// 2, and each container adds one for what it holds. The application can't open a document that
// nests deeper, so art must not be put deeper than this.
constexpr int kAIMaxArtDepth = 256;

// Flags of GetArtTransformBounds.
enum AIBoundsFlags : ai::int32 {
    kVisibleBounds = 0,   // the painted extent: strokes included
    kNoStrokeBounds = 2,  // the geometry alone
};

// Child order is paint order: the first child is the front-most. Every operation answers
// kNoDocumentErr without a current document and kBadParameterErr for a null out-pointer; a
// relation that does not exist (no parent, no child, no sibling) stores null and is no error.
struct AIArtSuite {
    // Creates art of a type (group, path, compound path) placed relative to a prep art.
    AIErr (*NewArt)(ai::int16 type, ai::int16 paintOrder, AIArtHandle prep, AIArtHandle* newArt);
    // Disposes of the art and everything below it; its handle and theirs become invalid.
    AIErr (*DisposeArt)(AIArtHandle art);
    // Moves the art (with everything below it) relative to the prep art. Moving art into itself
    // or below itself is refused.
    AIErr (*ReorderArt)(AIArtHandle art, ai::int16 paintOrder, AIArtHandle prep);
    // Copies the art with everything below it (tags, dictionary, name and attributes included;
    // the copy gets new UUIDs) and places the copy relative to the prep art.
    AIErr (*DuplicateArt)(AIArtHandle art, ai::int16 paintOrder, AIArtHandle prep, AIArtHandle* newArt);

    AIErr (*GetArtType)(AIArtHandle art, ai::int16* type);
    // The container that holds the art: a group, compound path or other container, or the layer
    // group for a layer's top objects; null for a layer group of a top-level layer.
    AIErr (*GetArtParent)(AIArtHandle art, AIArtHandle* parent);
    AIErr (*GetArtFirstChild)(AIArtHandle art, AIArtHandle* child);
    AIErr (*GetArtLastChild)(AIArtHandle art, AIArtHandle* child);
    // The next (further back) sibling; null for the last child.
    AIErr (*GetArtSibling)(AIArtHandle art, AIArtHandle* sibling);
    // The previous (further front) sibling; null for the first child.
    AIErr (*GetArtPriorSibling)(AIArtHandle art, AIArtHandle* sibling);

    // Whether the art is the group that holds a layer's art.
    AIErr (*IsArtLayerGroup)(AIArtHandle art, AIBoolean* isLayerGroup);
    // The layer that holds the art (the innermost one, a sublayer when the art is in one).
    AIErr (*GetLayerOfArt)(AIArtHandle art, AILayerHandle* layer);
    // The layer group of a layer; a null layer means the current layer.
    AIErr (*GetFirstArtOfLayer)(AILayerHandle layer, AIArtHandle* art);

    // Stores (attributes & whichAttr) in *attr.
    AIErr (*GetArtUserAttr)(AIArtHandle art, ai::int32 whichAttr, ai::int32* attr);
    // Sets the bits of whichAttr to those of attr, leaving other bits alone. Selecting art
    // selects it alone; the fully selected bit cannot be written.
    AIErr (*SetArtUserAttr)(AIArtHandle art, ai::int32 whichAttr, ai::int32 attr);

    // The art's name. Art without a name of its own gets the host's default name for its type, and
    // *isDefaultName (when not null) says so.
    AIErr (*GetArtName)(AIArtHandle art, ai::UnicodeString& name, AIBoolean* isDefaultName);
    // Sets the art's own name; the empty text gives the art back its default name.
    AIErr (*SetArtName)(AIArtHandle art, const ai::UnicodeString& name);

    // The visible bounds (strokes included) in document coordinates.
    AIErr (*GetArtBounds)(AIArtHandle art, AIRealRect* bounds);
    // The bounds of the art as transformed by the matrix (none: the identity), kind by flags.
    // Art without extent (an empty group) answers kBadParameterErr.
    AIErr (*GetArtTransformBounds)(AIArtHandle art, const AIRealMatrix* transform, ai::int32 flags,
                                   AIRealRect* bounds);

    // Whether the handle names art of the current document (of any document when
    // searchAllLayerLists is true). Never an error.
    AIBoolean (*ValidArt)(AIArtHandle art, AIBoolean searchAllLayerLists);

    // Whether the art has a dictionary with at least one entry. Never an error.
    AIBoolean (*HasDictionary)(AIArtHandle art);
    // The art's dictionary, made when it has none. The reference carries one count that the
    // caller gives back (AIDictionarySuite::Release).
    AIErr (*GetDictionary)(AIArtHandle art, AIDictionaryRef* dictionary);

    // The insertion point: where art made without a prep art (shape construction) goes, as a paint
    // order relative to an art. Without one set, new art goes inside on top of the current layer's
    // group. *editable says whether art can be put there (the layer is visible and not locked); it
    // may be null.
    AIErr (*GetInsertionPoint)(AIArtHandle* art, ai::int16* paintOrder, AIBoolean* editable);
    // New art goes directly above the art from now on; inside on top when the art is a layer group.
    // Kept until the art goes or another document becomes current.
    AIErr (*SetInsertionPoint)(AIArtHandle art);

    // The art's note: any UTF-8 text, empty when it has none.
    AIBoolean (*HasNote)(AIArtHandle art);
    AIErr (*GetNote)(AIArtHandle art, ai::UnicodeString& note);
    AIErr (*SetNote)(AIArtHandle art, const ai::UnicodeString& note);
    // How text wraps around the art when its text-wrap attribute is set: the offset in points and
    // whether text wraps inside it. Either output may be null. The offset must be finite.
    AIErr (*GetArtTextWrapProperty)(AIArtHandle art, AIReal* offset, AIBoolean* invert);
    AIErr (*SetArtTextWrapProperty)(AIArtHandle art, AIReal offset, AIBoolean invert);
};
