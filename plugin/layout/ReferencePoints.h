// Anchor names: which point of a rectangle a word such as "TL", "C" or "BOTTOMRIGHT" names, which
// direction it stands for and which axes a move towards it uses; and the bounds of art and of lists
// of art, with or without strokes and clipping.
//
// Names are upper-cased (ASCII) before they are compared: "TL" "LT" "TOPLEFT", "T" "TC" "CT" "TOP",
// "TR" "RT" "TOPRIGHT", "L" "LC" "CL" "LEFT", "C" "CC" "CENTER", "R" "CR" "RC" "RIGHT",
// "BL" "LB" "BOTTOMLEFT", "B" "BC" "CB" "BOTTOMCENTER", "BR" "RB" "BOTTOMRIGHT", and "DO"
// "DOCUMENTORIGIN" for the document's origin. Any other name (the empty one included) means the
// centre. In the mode "move" (compared exactly) the document origin and unknown names mean the
// top-left corner instead.
#pragma once

#include <optional>
#include <string>

#include "AIRealMath.h"
#include "art/ArtList.h"

// Which bounds of art to measure: visible (strokes included) or geometric; clipped (as the art
// shows through clip groups) or whole.
struct BoundsOptions {
    bool visible = false;
    bool clipping = false;
};

AIRealPoint GetFixedPoint(const AIRealRect& rect, const std::string& anchor, const std::string& mode);
// The point of the art's bounds (GetArtVectorBounds of the art alone); none when the art can't be
// measured.
std::optional<AIRealPoint> GetFixedPoint(ArtObject* art, const std::string& anchor, const std::string& mode,
                                         BoundsOptions options);
// The direction of an anchor: each component -1, 0 or 1 (a corner gives (±1, ±1)); the document
// origin and unknown names give the top-left direction (-1, 1).
AIRealPoint PointNameToVector(const std::string& anchor);
// The axes a move towards the anchor uses: "h" for the left and right edges' middles, "v" for the
// top and bottom edges' middles, "hv" for the centre, the corners and the rest.
std::string PointNameToDirectionStr(const std::string& anchor);

// The union of the bounds of the art. Art that can't be measured is left out; false only when none of it can
// be measured (or the list is empty).
bool GetArtVectorBounds(const ArtList& arts, AIRealRect& rect, BoundsOptions options);
// The bounds of the art a tag query finds; false for an empty query, when nothing is found or
// nothing found can be measured.
bool SearchStringToBoundingBox(const std::string& query, AIRealRect& bounds, BoundsOptions options);
