// Turning what requests name into host handles: layers by number or title, documents by index or
// file path, artboards by name, number or range text, and places by location words. Every lookup
// answers null, -1, false or an empty list when nothing matches or the host fails; the commands
// decide what to tell the client.
#pragma once

#include <string>
#include <unordered_map>
#include <vector>

#include "AIArt.h"
#include "AIDocument.h"
#include "AILayer.h"
#include "AIRealMath.h"
#include "IAIFilePath.hpp"
#include "art/ArtList.h"

// --- Layers and placement ----------------------------------------------------------------------------

// GetLayerByPaintOrder(number), or when that finds none GetLayerByName(name).
AILayerHandle GetLayer(int number, const std::string& name);
// Whether a request asks for a layer: by a number other than the default -1 (0 too, which names
// none), or by a name. A layer asked for and not found fails the command; it never means no layer.
inline bool LayerAsked(int number, const std::string& name) {
    return number != -1 || !name.empty();
}
// The layer a request asks for (GetLayer), null when it asks for none; false when it asks for one
// and none is found.
bool FindAskedLayer(int number, const std::string& name, AILayerHandle& layer);
// The layer at the 1-based position in the list of the layers of the document's layer groups in
// document order (sublayers included); null below 1 or beyond the list.
AILayerHandle GetLayerByPaintOrder(int number);
// The first layer with that title; null for an empty title.
AILayerHandle GetLayerByName(const std::string& name);
// The host's placement code of a location word (compared exactly): "above" 1, "below" 2,
// "insideOnTop" 3, "insideOnBottom" 4, "aboveAll" 5, "belowAll" 6; any other word 0.
int GetNumLocation(const std::string& word);
// Whether a placement code needs a target art ("above", "below" and the two "inside" codes).
bool PlacementNeedsTarget(int placement);
// Where to put art so that it lands relative to the layer: the placement code and target art to
// pass to the host. False on a host error, and when a placement that needs a target has none.
bool TargetAndLocationForDuplicate(AILayerHandle layer, int code, int& placement, ArtObject*& target);
// The last (bottom) object of the current layer; null when it has none or the host fails.
ArtObject* GetBottomObject();

// --- Documents ----------------------------------------------------------------------------------------

// The open document at the 0-based index when there is one; otherwise the first open document whose
// file is the one the text names (the form MakeAIFilePath finds when a file exists there), however
// either path is spelt: relative to the working folder, through "." or "..", or by a link. Null
// when none is.
AIDocumentHandle GetDocument(int index, const std::string& nameOrPath);
// The first open document whose file is the file at the path, by identity: the same file however
// either path is spelt ("..", ".", links, another hard link). Null when none is; a path that exists
// nowhere is no document's.
AIDocumentHandle FindOpenDocumentOfFile(const std::string& path);
// A host file path for the text when a file exists there as written, lower-cased or upper-cased
// (in that order); false for the empty text and when none exists.
bool MakeAIFilePath(const std::string& text, ai::FilePath& path);

// --- Artboards ---------------------------------------------------------------------------------------

// The number of artboards of the current document; 0 on a host error.
int GetNumberOfDocumentArtboards();
// Appends the 0-based index and the name of every artboard of the range text (the host's range
// syntax: "" for all, "1-3,5" counted from 1); false, changing nothing, for an invalid text or when
// the range gives no artboard.
bool GetArtboardNumbersAndNames(const std::string& range, std::vector<int>& numbers,
                                std::vector<std::string>& names);
// The top objects whose bounds overlap an artboard of the range, in paint order; empty on any
// failure.
ArtList ArtboardRangeToArtVector(const std::string& range);
// The 0-based index of the first artboard named exactly so; -1 when none is, or the list can't be
// read.
int GetArtboardNumber(const std::string& name);
// The same for many names at once: the 0-based index of the first artboard of each name, every
// artboard read once. Empty when the list can't be read.
std::unordered_map<std::string, int> GetArtboardNumbersByName();
// The rectangle of the artboard at the 0-based index; with a negative index the artboard named
// name, or the active one when the name is empty. False when it can't be read, and when the index
// or the name names no artboard: a name that names none never stands for the active artboard.
bool GetArtBoardBounds(int index, const std::string& name, AIRealRect& rect);
