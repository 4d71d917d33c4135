#include "layout/ReferencePoints.h"

#include <algorithm>
#include <array>
#include <string_view>

#include "art/ArtTree.h"
#include "art/TagSearch.h"
#include "core/TextHelpers.h"
#include "layout/Geometry.h"

namespace {

// Where an anchor sits on each axis: -1 the low edge (left, bottom), 0 the middle, 1 the high edge
// (right, top).
struct AnchorRow {
    std::array<std::string_view, 4> names;
    int h;
    int v;
};

constexpr std::array<AnchorRow, 9> kAnchors{{
    {{"TL", "LT", "TOPLEFT"}, -1, 1},
    {{"T", "TC", "CT", "TOP"}, 0, 1},
    {{"TR", "RT", "TOPRIGHT"}, 1, 1},
    {{"L", "LC", "CL", "LEFT"}, -1, 0},
    {{"C", "CC", "CENTER"}, 0, 0},
    {{"R", "CR", "RC", "RIGHT"}, 1, 0},
    {{"BL", "LB", "BOTTOMLEFT"}, -1, -1},
    {{"B", "BC", "CB", "BOTTOMCENTER"}, 0, -1},
    {{"BR", "RB", "BOTTOMRIGHT"}, 1, -1},
}};

constexpr std::array<std::string_view, 2> kDocumentOrigin{"DO", "DOCUMENTORIGIN"};

const AnchorRow* FindAnchor(const std::string& upper) {
    for (const AnchorRow& row : kAnchors) {
        if (!upper.empty() && std::find(row.names.begin(), row.names.end(), upper) != row.names.end()) {
            return &row;
        }
    }
    return nullptr;
}

double Along(int where, double low, double high) {
    if (where < 0) {
        return low;
    }
    if (where > 0) {
        return high;
    }
    return (low + high) * 0.5;
}

// One art's bounds, as GetArtVectorBounds measures it.
std::optional<AIRealRect> MeasureArt(ArtObject* art, BoundsOptions options) {
    if (!options.clipping) {
        return ArtBounds(art, options.visible);
    }
    AIRealRect bounds;
    if (!GetArtBoundsWithClipping(art, bounds, options.visible)) {
        return std::nullopt;
    }
    return bounds;
}

}  // namespace

AIRealPoint GetFixedPoint(const AIRealRect& rect, const std::string& anchor, const std::string& mode) {
    const std::string upper = AsciiUpperCase(anchor);
    if (const AnchorRow* row = FindAnchor(upper)) {
        return {Along(row->h, rect.left, rect.right), Along(row->v, rect.bottom, rect.top)};
    }
    if (mode == "move") {
        return {rect.left, rect.top};
    }
    if (std::find(kDocumentOrigin.begin(), kDocumentOrigin.end(), upper) != kDocumentOrigin.end()) {
        return {0.0, 0.0};
    }
    return CenterOf(rect);
}

std::optional<AIRealPoint> GetFixedPoint(ArtObject* art, const std::string& anchor, const std::string& mode,
                                         BoundsOptions options) {
    AIRealRect bounds;
    if (!GetArtVectorBounds(ArtList{art}, bounds, options)) {
        return std::nullopt;
    }
    return GetFixedPoint(bounds, anchor, mode);
}

AIRealPoint PointNameToVector(const std::string& anchor) {
    const AIRealRect unit{-1.0, 1.0, 1.0, -1.0};
    return GetFixedPoint(unit, anchor, "move");
}

std::string PointNameToDirectionStr(const std::string& anchor) {
    const AIRealPoint direction = PointNameToVector(anchor);
    if (direction.h == 0.0 && direction.v == 0.0) {
        return "hv";
    }
    if (direction.h == 0.0) {
        return "v";
    }
    if (direction.v == 0.0) {
        return "h";
    }
    return "hv";
}

bool GetArtVectorBounds(const ArtList& arts, AIRealRect& rect, BoundsOptions options) {
    std::optional<AIRealRect> united;
    for (ArtObject* art : arts) {
        const std::optional<AIRealRect> bounds = MeasureArt(art, options);
        if (!bounds) {
            continue;
        }
        united = united ? Union(*united, *bounds) : *bounds;
    }
    if (!united) {
        return false;
    }
    rect = *united;
    return true;
}

bool SearchStringToBoundingBox(const std::string& query, AIRealRect& bounds, BoundsOptions options) {
    if (query.empty()) {
        return false;
    }
    const ArtList found = SearchTaggedArt(query);
    return !found.empty() && GetArtVectorBounds(found, bounds, options);
}
