// Art identity and the walks over the document's art tree that commands share: the whole
// document, the top objects, the selection reduced to whole units, subtrees, leaves, ancestors
// and paint order. Walks never report errors: a failing host call ends that branch quietly.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "AILayer.h"
#include "AIRealMath.h"
#include "IAIUnicodeString.h"
#include "art/ArtList.h"

// The art's UUID as UTF-8 text; empty when the host cannot give it.
std::string ArtUUID(ArtObject* art);
// The same through a host string that the caller keeps, so that reading many UUIDs makes (and
// frees) one host string instead of one each.
std::string ArtUUID(ArtObject* art, ai::UnicodeString& scratch);
// The art's key: CRC32 of its UUID text as a signed 32-bit integer; 0 without a UUID text. Keys
// order results, but they are not unique: sets of art compare handles.
std::int32_t ArtCRC(ArtObject* art);

// Whether the art is one of a set of selected art.
bool GetArtSelected(ArtObject* art, const ArtHandleSet& selected);

// The art itself and everything below it, in the host's order; empty on a host error.
ArtList GetArtTree(ArtObject* art);
// Every art object of the current document in document order (the host's matching-art order);
// without includeLayerGroups the layer groups are left out.
ArtList GetAllObjects(bool includeLayerGroups);
// Every fully selected art object of the current document, in document order.
ArtList GetAllSelectedObjects(bool includeLayerGroups);
// The objects that lie directly in a layer (or sublayer).
ArtHandleSet GetTopObjects();
// The same objects in paint order (document order): the first layer's first, each sublayer's in its
// place among the objects of the layer that holds it.
ArtList GetTopObjectsInPaintOrder();
// The document's top-level layers, first to last.
std::vector<AILayerHandle> GetTopLayers();
// The top-level layer that holds the art, through nested layers; null when it has none.
AILayerHandle GetArtTopLayer(ArtObject* art);

// The selection as the units a user thinks of: a group whose members are all selected counts as
// one object, a partly selected group gives its fully selected parts.
ArtList GetTopFullySelectedObjects();
// Appends to out the top-most fully selected objects below the art and answers whether the art
// itself is fully selected (when it is and is not the root, out receives nothing of it).
bool FindFullySelected(ArtObject* art, const ArtHandleSet& selected, bool isRoot, ArtList& out);

// Appends the art's leaves: the art itself when it has no children, an envelope's held object
// instead of the envelope, and an intertwine object together with the leaves below it.
void GetSubTree(ArtObject* art, ArtList& out);
// GetSubTree, unless the art lies inside a compound path.
void FindSubTree(ArtObject* art, ArtList& out);
ArtHandleSet FindSubTree(const ArtList& list);
// The objects that are not groups in the trees of the listed art, each once (handle order).
ArtList FindLeaves(const ArtList& list);
// The groups in the art's tree, the art included when it is one, in the host's order.
ArtList FindGroups(ArtObject* art);
// The members none of whose ancestors is also a member, in list order.
ArtList RemoveLeaves2(const ArtList& list);
// The same members as a set. Members are told apart by handle, never by key, so that two objects
// with equal keys are both kept.
ArtHandleSet RemoveLeaves(const ArtList& list);
// The members in document order (reversed when asked), each once; members that are not objects of
// the document (layer groups, stale handles) are dropped.
ArtList SortArtByPaintOrder(const ArtList& list, bool reverse);

// How deeply the art lies: 1 for a top-level layer's group, one more for each container above it.
// None when the host can't tell.
std::optional<int> ArtDepth(ArtObject* art);
// Whether the art, put at the depth with everything below it, stays within kAIMaxArtDepth. With
// textAsOutlines a text frame counts as the group of outlines it becomes. False when the host
// can't tell.
bool FitsAtDepth(ArtObject* art, int depth, bool textAsOutlines = false);
// Where art placed relative to the target lands: in the target's container, inside the target, or
// at the top of a layer (above all, below all). None when the host can't tell.
std::optional<int> DepthOfPlacement(ai::int16 placement, ArtObject* target);

// Selects the art and everything below it, an envelope's held object included.
void SelectSubTree(ArtObject* art);
// Sets or clears the hidden attribute of the art's children and of the art; false (nothing done)
// when it has no children.
bool SetGroupVisibility(ArtObject* art, bool hidden);
// Moves a group's content out of the group, directly above it and in its stacking order, appends
// the moved art to out and removes the group; false for a group without children (untouched).
// A child that can be neither copied nor moved keeps the group alive rather than be lost.
bool UngroupArt(ArtObject* group, ArtList& out);
// The clipping path of a clip group, or null.
ArtObject* FindClippingMask(ArtObject* art);
// The bounds of the art as it shows through clip groups: strokes included when withStroke is
// true. False when no bounds can be had (a group with no child that has bounds).
bool GetArtBoundsWithClipping(ArtObject* art, AIRealRect& bounds, bool withStroke);

// The art's name as UTF-8 and whether it is only the host's default name; false on a host error.
bool GetArtNameText(ArtObject* art, std::string& name, bool& isDefaultName);
// Sets the art's name from UTF-8 text; false on a host error.
bool SetArtNameText(ArtObject* art, const std::string& name);

// Makes every locked layer and sublayer of the document editable for the life of the scope and,
// as asked, shows every hidden one and unlocks every locked art object; on the way out it locks,
// hides and relocks exactly what it changed, each list in its order.
class UnlockLayers {
public:
    struct Options {
        bool showLayers = false;
        bool unlockArt = false;
    };
    explicit UnlockLayers(Options options);
    ~UnlockLayers();
    UnlockLayers(const UnlockLayers&) = delete;
    UnlockLayers& operator=(const UnlockLayers&) = delete;

private:
    std::vector<AILayerHandle> fUnlocked;
    std::vector<AILayerHandle> fShown;
    ArtList fUnlockedArt;
};
