// "alignObjects": moves each found object so that its anchor point lands on a target point of a
// reference rectangle: the common bounds of key objects, an artboard, or the objects' own common
// bounds. Every check comes before the first move, so a failed request moves nothing.
#include <algorithm>
#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "art/ArtTree.h"
#include "art/TagSearch.h"
#include "core/Failures.h"
#include "core/Json.h"
#include "core/PlimUtilsPlugin.h"
#include "core/Units.h"
#include "layout/Arrange.h"
#include "layout/Geometry.h"
#include "layout/LayoutRequest.h"
#include "layout/Lookups.h"
#include "layout/ReferencePoints.h"

namespace {

constexpr const char* kArtNotFound = "Art to align not found";
constexpr const char* kKeyArtNotFound = "Key art not found";
constexpr const char* kDoesNotFit =
    "Can't apply the inclusive option. Objects don't fit inside the target rect.";

constexpr std::array<std::string_view, 6> kCenterNames{"c", "cc", "center", "C", "CC", "CENTER"};

bool IsAxisText(const std::string& text) {
    return text == "h" || text == "v" || text == "hv";
}
bool MovesHorizontally(const std::string& direction) {
    return direction == "h" || direction == "hv";
}
bool MovesVertically(const std::string& direction) {
    return direction == "v" || direction == "hv";
}

struct AlignRequest {
    std::string tagSearch;
    std::string keyArt;
    std::string anchorPoint;
    std::string targetAnchorPoint;
    std::string direction;
    double relOffset = 0.0;  // a fraction
    double absOffset = 0.0;  // points
    bool inclusive = false;
    std::string artboardName;
    int artboardNumber = -1;
    BoundsOptions bounds;
};

AlignRequest ReadAlignRequest(const json& request) {
    AlignRequest r;
    r.tagSearch = ReadTextStrictly(request, "tagSearch");
    r.keyArt = ReadTextStrictly(request, "keyArt");
    r.anchorPoint = ReadTextStrictly(request, "anchorPoint");
    r.targetAnchorPoint = ReadTextStrictly(request, "targetAnchorPoint");
    r.direction = ReadTextStrictly(request, "direction");
    const std::string units = ReadTextStrictly(request, "units");
    r.relOffset = ReadNumberStrictly(request, "relOffset", 0.0) / 100.0;
    r.absOffset = ReadLengthStrictly(request, "absOffset", units, 0.0);
    r.inclusive = ReadBoolStrictly(request, "inclusive", r.relOffset != 0.0);
    r.artboardName = ReadTextStrictly(request, "artboardName");
    r.artboardNumber = ReadIntegerStrictly(request, "artboardNumber", -1);
    r.bounds = ReadBoundsOptions(request, true);
    return r;
}

// The axes to move along when the request names none: both for a centre anchor without a target
// anchor, otherwise by where the anchor sits on a rectangle whose top is -1 and bottom 1.
std::string DefaultDirection(const AlignRequest& r) {
    const bool centre =
        std::find(kCenterNames.begin(), kCenterNames.end(), r.anchorPoint) != kCenterNames.end();
    if (centre && r.targetAnchorPoint.empty()) {
        return "hv";
    }
    const std::string& anchor = r.targetAnchorPoint.empty() ? r.anchorPoint : r.targetAnchorPoint;
    const AIRealPoint where = GetFixedPoint(AIRealRect{-1.0, -1.0, 1.0, 1.0}, anchor, "distort");
    if (where.v == 0.0) {
        return "h";
    }
    return where.h == 0.0 ? "v" : "hv";
}

// The largest width and height among the objects, each measured alone.
AIRealPoint LargestSize(const ArtList& objects, const BoundsOptions& options) {
    AIRealPoint largest;
    for (ArtObject* art : objects) {
        AIRealRect bounds;
        if (!GetArtVectorBounds(ArtList{art}, bounds, options.visible, options.clipping)) {
            continue;
        }
        largest.h = std::max(largest.h, std::abs(bounds.right - bounds.left));
        largest.v = std::max(largest.v, std::abs(bounds.top - bounds.bottom));
    }
    return largest;
}

// The target point moved by the relative offset towards (and beyond) the reference's centre, the
// reference first reduced so that the objects stay inside it when "inclusive" asks. An error text
// when they can't fit.
std::optional<std::string> ApplyRelativeOffset(const AlignRequest& r, const ArtList& objects,
                                               const std::string& direction, AIRealRect reference,
                                               AIRealPoint& target) {
    if (r.inclusive && r.absOffset == 0.0) {
        const AIRealPoint largest = LargestSize(objects, r.bounds);
        if (MovesHorizontally(direction)) {
            if (largest.h > reference.right - reference.left) {
                return kDoesNotFit;
            }
            if (target.h == reference.left) {
                reference.right -= largest.h;
            } else {
                reference.left += largest.h;
            }
        }
        if (MovesVertically(direction)) {
            if (largest.v > reference.top - reference.bottom) {
                return kDoesNotFit;
            }
            if (target.v == reference.bottom) {
                reference.top -= largest.v;
            } else {
                reference.bottom += largest.v;
            }
        }
    }
    if (r.relOffset != 0.0) {
        const AIRealPoint centre = CenterOf(reference);
        target.h += 2.0 * r.relOffset * (centre.h - target.h);
        target.v += 2.0 * r.relOffset * (centre.v - target.v);
    }
    return std::nullopt;
}

double Towards(double from, double to, double distance) {
    if (to > from) {
        return from + distance;
    }
    if (to < from) {
        return from - distance;
    }
    return from;
}

}  // namespace

bool AlignArtToKey(ArtObject* art, const AIRealRect& key, const std::string& anchor,
                   const std::string& direction, bool visibleBounds, bool clippingBounds) {
    const std::optional<AIRealPoint> from =
        GetFixedPoint(art, anchor, "distort", visibleBounds, clippingBounds);
    if (!from) {
        return false;
    }
    const AIRealPoint to = GetFixedPoint(key, anchor, "distort");
    return MoveWithSubTree(art, MovesHorizontally(direction) ? to.h - from->h : 0.0,
                           MovesVertically(direction) ? to.v - from->v : 0.0);
}

std::string PlimUtilsPlugin::AlignObjects(std::string request) {
    const json parsed = ParseRequest(request);
    json reply = StartReply("alignObjects", parsed);
    const AlignRequest r = ReadAlignRequest(parsed);
    reply["tagSearch"] = r.tagSearch;
    reply["artboardName"] = r.artboardName;
    if (r.artboardNumber >= 0) {
        reply["artboardNumber"] = r.artboardNumber;
    }
    const auto fail = [&](const char* message) {
        reply["error"] = message;
        return DumpReply(reply);
    };

    const ArtList objects = r.tagSearch.empty() ? ArtList{} : RemoveLeaves2(SearchTaggedArt(r.tagSearch));
    AIRealRect common;
    if (objects.empty() || !GetArtVectorBounds(objects, common, r.bounds.visible, r.bounds.clipping)) {
        return fail(kArtNotFound);
    }
    AIRealRect reference = common;
    if (!r.keyArt.empty()) {
        if (!SearchStringToBoundingBox(r.keyArt, reference, r.bounds.visible, r.bounds.clipping)) {
            return fail(kKeyArtNotFound);
        }
    } else if (r.artboardNumber >= 1 || !r.artboardName.empty()) {
        if (!GetArtBoardBounds(r.artboardNumber - 1, r.artboardName, reference)) {
            return fail(kCantGetArtboardPosition);
        }
    }
    const std::string& targetAnchor = r.targetAnchorPoint.empty() ? r.anchorPoint : r.targetAnchorPoint;
    AIRealPoint target = GetFixedPoint(reference, targetAnchor, "distort");
    const std::string direction = IsAxisText(r.direction) ? r.direction : DefaultDirection(r);
    const AIRealPoint centre = CenterOf(reference);
    if (target.h != centre.h || target.v != centre.v) {
        if (const std::optional<std::string> error =
                ApplyRelativeOffset(r, objects, direction, reference, target)) {
            reply["error"] = *error;
            return DumpReply(reply);
        }
    }
    if (r.absOffset != 0.0) {
        const AIRealPoint objectsCentre = CenterOf(common);
        target = {Towards(target.h, objectsCentre.h, r.absOffset),
                  Towards(target.v, objectsCentre.v, r.absOffset)};
    }

    MoveTally tally;
    for (ArtObject* art : objects) {
        const std::optional<AIRealPoint> from =
            GetFixedPoint(art, r.anchorPoint, "distort", r.bounds.visible, r.bounds.clipping);
        if (!from) {
            ++tally.unmeasured;
            continue;
        }
        tally.Count(MoveWithSubTree(art, MovesHorizontally(direction) ? target.h - from->h : 0.0,
                                    MovesVertically(direction) ? target.v - from->v : 0.0));
    }
    ReportTally(reply, tally);
    return DumpReply(reply);
}
