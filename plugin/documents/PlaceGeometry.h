// The workers of the place command: file kinds, placing a file through the host's placed-art
// suite, removing the clipping the host wraps round embedded native and PDF content, container
// shapes (bounds rectangles, plain paths, united shapes, compound paths), template layers, and a
// scope that unlocks and shows every layer for the duration of a command. Every worker answers
// failure by its result and keeps the host changes it made before the failing call.
#pragma once

#include <string>
#include <vector>

#include "AILayer.h"
#include "AIPlaced.h"
#include "AISymbol.h"
#include "IText.h"
#include "art/ArtList.h"
#include "art/ArtTree.h"

// "vector", "raster", "text" or empty, by the file's extension (compared in lower case).
std::string FileType(const std::string& path);

// Places the file in place of the art (raster or placed art that is neither locked nor hidden,
// fitted by the method and alignment, clipped when clip), or, without art, as new art. The file is
// embedded when embed is true, and always for SVG and text files. Embedded native and PDF content
// loses the clip group the host wraps round it. False on any failure.
bool SwapPlaced(ArtObject* art, const std::string& file, bool embed, ai::PlaceMethod method,
                ai::PlaceAlignment alignment, ArtObject*& newArt, bool clip);

// A group with exactly one child taken apart, and the clipping of what it held removed; null when
// there is nothing to remove. What comes back is always live art holding the content.
ArtObject* RemovePDFClipping(ArtObject* art);
// A clipped group without its clipping path: with one other member that member (moved out), with
// more the group unclipped. A non-group comes back unchanged; null for a group that is not clipped,
// one without a mask, or a failure.
ArtObject* RemoveClippingMask(ArtObject* art);

// A rectangle path of the art's visible (or geometric) bounds, directly above the art; null on
// failure.
ArtObject* MakeBounds(ArtObject* art, bool visible);
// Replaces the art by a copy made only of groups, paths and compound paths: clip groups become
// their clipping paths, text frames and other art the rectangles of their bounds. False on
// failure.
bool ConvertToPath(ArtObject*& art);
// One path or compound path covering the art; a path comes back unchanged. Null on failure.
ArtObject* UniteArt(ArtObject* art);
// A new group on top of the document holding path copies of the listed art; null on failure.
ArtObject* CopyToGroup(const ArtList& list);
// A path or compound path copied above itself, a group as a new compound path of copies of its
// children; null for anything else.
ArtObject* CopyToCompoundPath(ArtObject* art);

// The symbol of the name: the current document's, or else the one of that name in the arrowhead
// library ("Arrowheads.ai" in the host's arrowhead folder), brought into the current document.
// Null for an empty name and on any failure.
AIPatternHandle NameToPattern(const std::string& name);
// Turns the art into a new symbol named by the name (or, when it is empty, by the file's name
// without extension; a name another symbol has leaves the host's own) and replaces it by an
// instance of that symbol on top of the document, centred where the art was: art is the instance.
// True when the instance exists.
bool CreateNewSymbol(ArtObject*& art, const std::string& name, const std::string& file);
// A new instance of the symbol on top of the document's art; null on failure.
ArtObject* PlaceSymbolInstance(AIPatternHandle symbol, AIRealPoint centre);

// Prepares the art to take text: a text frame gives its story (result null); a path becomes an area
// text frame (the result); a group's paths become area text frames threaded column by column (left
// to right, each column top to bottom; the result is the group). `range` becomes the story that
// flows through them. Null for any other art or on failure.
ArtObject* MakeTextContainer(ArtObject* art, ATE::ITextRange& range);

// A new template layer on top of the others holding the art: locked, placed images dimmed to 50 %.
// Null on failure.
AILayerHandle MoveToTemplateLayer(ArtObject* art);
// The first (top) art of the layer (the current layer when null); null when there is none.
ArtObject* GetTopObject(AILayerHandle layer);

// Unlocks and shows every layer and sublayer of the document for the life of the scope, and locks
// and hides again exactly the ones it changed.
struct UnlockUnhideLayersSublayers : UnlockLayers {
    UnlockUnhideLayersSublayers() : UnlockLayers({.showLayers = true}) {}
};
