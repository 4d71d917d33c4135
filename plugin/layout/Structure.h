// The art operations that change the structure of art: grouping, compound paths, clip groups,
// the pathfinder, and the helpers they share (paint removed, shape tests, fitting art to a clip
// object). Every operation answers null (or false) at the first host call that fails; the commands
// word the error. The making operations check first that what they make stays within the depth the
// document allows (kAIMaxArtDepth), and take back the containers they made and the moves they did
// when a later step fails (text already turned into outlines and a clip object already united
// stay).
#pragma once

#include <initializer_list>
#include <string>

#include "AIArt.h"
#include "AILayer.h"
#include "art/ArtList.h"

// The host art types that make shapes: what clip objects and compound paths may be made of.
inline constexpr std::initializer_list<ai::int16> kShapeArtTypes = {kGroupArt, kPathArt, kCompoundPathArt,
                                                                    kTextFrameArt};

// --- Placement of content in a clip object ------------------------------------------------------

// How content is sized to a clip object: as is 0, fill 1, fit 2, conform 3, reconform 4.
enum PlaceMethod : int { kAsIs = 0, kFill = 1, kFit = 2, kConform = 3, kReconform = 4 };
// Nine positions: 0 top left, 1 middle left, 2 bottom left, 3 top centre, 4 centre, 5 bottom
// centre, 6 top right, 7 middle right, 8 bottom right.
using PlaceAlignment = int;

// The alignment of a name (upper-cased first): "TL" 0, "L" 1, "BL" 2, "T" 3, "C" 4, "B" 5, "TR" 6,
// "R" 7, "BR" 8 with their synonyms; any other name 4.
PlaceAlignment GetAlignment(std::string name);
// The method of a request's "fittingMethod" text: "file" as is, "fill", "fit", "bounds" conform;
// any other text reconform.
PlaceMethod PlaceMethodOf(const std::string& text);

// Scales the art's subtree by the method (about the origin, line widths by the geometric mean of
// the two ratios) and moves it so that the point of its bounds named by the alignment meets the
// same point of the clip's bounds. visibleBounds chooses the bounds kind. False when bounds can't
// be read.
bool TransformArtForClipping(ArtObject* art, ArtObject* clip, PlaceMethod method, PlaceAlignment alignment,
                             bool visibleBounds);

// --- Shapes and paint ------------------------------------------------------------------------------

// Whether every art of the art's subtree (the art included) has one of the types; false when a type
// can't be read.
bool MadeFromArtOfType(ArtObject* art, std::initializer_list<ai::int16> types);
// The art's subtree as the host's matching-art query over it returns it.
ArtList GetObjectsTree(ArtObject* art);
// Each art through OutlineArt (text frames become outlines), in order; art that could not be
// outlined is left out.
ArtList OutlineArt(const ArtList& list);
// Reduces the art's style to its basic appearance and sets its fill and stroke to no colour.
bool SetNoneStyle(ArtObject* art);
// SetNoneStyle on the art and everything below it, stopping at the first failure.
bool SetNoneStyleWithSubtree(ArtObject* art);

// --- Groups, compound paths and clip groups -----------------------------------------------------------

// The list in document order when every art shares the first one's parent (or every art lies
// directly in some layer); else empty. A list of fewer than two art is returned as it is.
ArtList ProcessArtForGrouping(const ArtList& list);
// A new group above the first art of the ordered list, holding the list in its stacking order;
// null for fewer than two art or art with different parents.
ArtObject* GroupArt(const ArtList& list);
// A new compound path of the list (text outlined first), with the style of the last art and the
// even-odd fill rule; null when any art is not made of shapes.
ArtObject* MakeCompoundPathArt(const ArtList& list);

// What making a clip group does to its clip object.
struct ClipGroupMakingOptions {
    bool fitContents = false;     // the contents are fitted to the clip object
    bool keepBackground = false;  // the clip object keeps its paint
    bool compoundPath = true;     // the clip object becomes a compound path
    bool unite = true;            // the clip object is first united into one shape
};

// The clip object prepared by the options (united, made a compound path, paint removed); null
// when a step fails or the result is not made of shapes.
ArtObject* ApplyClipObjectOptions(ArtObject* clip, ClipGroupMakingOptions options);
// A clip group of the list; the clip object (added to the list when missing; the top-most art
// when null) ends on top. Null on failure, and at once (nothing changed) when the clip object is
// not made of shapes or is a layer group.
ArtObject* MakeClipGroupArt(ArtList list, ArtObject* clip, PlaceMethod method, PlaceAlignment alignment,
                            ClipGroupMakingOptions options);
// The layer's group made a clip group of the clip object (the layer's top-most art when null). Null
// on failure, and at once when the clip object is not made of shapes or is a layer group.
ArtObject* MakeLayerClipGroupArt(AILayerHandle layer, ArtObject* clip, PlaceMethod method,
                                 PlaceAlignment alignment, ClipGroupMakingOptions options);
// A new clip group above the clip path holding the content below the clip path.
ArtObject* CreateClipGroup(ArtObject* content, ArtObject* clipPath);

// --- The pathfinder -----------------------------------------------------------------------------------

// Combines the list by a mode ("unite", "intersect", "exclude", "minusFront", "minusBack",
// "divide", "trim", "merge", "crop", "outline"); the result carries the tags of every operand.
// Null on failure, with error set to the message when there is one.
ArtObject* Pathfinder2(const ArtList& list, const std::string& mode, std::string& error);
// The art of the document not in before, in document order.
ArtList FindAddedArt(const ArtList& before);
