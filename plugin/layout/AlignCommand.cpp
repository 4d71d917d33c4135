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
    AlignRequest alignment;
    alignment.tagSearch = ReadTextStrictly(request, "tagSearch");
    alignment.keyArt = ReadTextStrictly(request, "keyArt");
    alignment.anchorPoint = ReadTextStrictly(request, "anchorPoint");
    alignment.targetAnchorPoint = ReadTextStrictly(request, "targetAnchorPoint");
    alignment.direction = ReadTextStrictly(request, "direction");
    const std::string units = ReadTextStrictly(request, "units");
    alignment.relOffset = ReadNumberStrictly(request, "relOffset", 0.0) / 100.0;
    alignment.absOffset = ReadLengthStrictly(request, "absOffset", units, 0.0);
    alignment.inclusive = ReadBoolStrictly(request, "inclusive", alignment.relOffset != 0.0);
    alignment.artboardName = ReadTextStrictly(request, "artboardName");
    alignment.artboardNumber = ReadIntegerStrictly(request, "artboardNumber", -1);
    alignment.bounds = ReadBoundsOptions(request, true);
    return alignment;
}

// The axes to move along when the request names none: both for a centre anchor without a target
// anchor, otherwise by where the anchor sits on a rectangle whose top is -1 and bottom 1.
std::string DefaultDirection(const AlignRequest& alignment) {
    const bool centre =
        std::find(kCenterNames.begin(), kCenterNames.end(), alignment.anchorPoint) != kCenterNames.end();
    if (centre && alignment.targetAnchorPoint.empty()) {
        return "hv";
    }
    const std::string& anchor =
        alignment.targetAnchorPoint.empty() ? alignment.anchorPoint : alignment.targetAnchorPoint;
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
        if (!GetArtVectorBounds(ArtList{art}, bounds, options)) {
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
std::optional<std::string> ApplyRelativeOffset(const AlignRequest& alignment, const ArtList& objects,
                                               const std::string& direction, AIRealRect reference,
                                               AIRealPoint& target) {
    if (alignment.inclusive && alignment.absOffset == 0.0) {
        const AIRealPoint largest = LargestSize(objects, alignment.bounds);
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
    if (alignment.relOffset != 0.0) {
        const AIRealPoint centre = CenterOf(reference);
        target.h += 2.0 * alignment.relOffset * (centre.h - target.h);
        target.v += 2.0 * alignment.relOffset * (centre.v - target.v);
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
                   const std::string& direction, BoundsOptions options) {
    const std::optional<AIRealPoint> from = GetFixedPoint(art, anchor, "distort", options);
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
    const AlignRequest alignment = ReadAlignRequest(parsed);
    reply["tagSearch"] = alignment.tagSearch;
    reply["artboardName"] = alignment.artboardName;
    if (alignment.artboardNumber >= 0) {
        reply["artboardNumber"] = alignment.artboardNumber;
    }
    const auto fail = [&](const char* message) {
        reply["error"] = message;
        return DumpReply(reply);
    };

    const ArtList objects =
        alignment.tagSearch.empty() ? ArtList{} : RemoveLeaves2(SearchTaggedArt(alignment.tagSearch));
    AIRealRect common;
    if (objects.empty() || !GetArtVectorBounds(objects, common, alignment.bounds)) {
        return fail(kArtNotFound);
    }
    AIRealRect reference = common;
    if (!alignment.keyArt.empty()) {
        if (!SearchStringToBoundingBox(alignment.keyArt, reference, alignment.bounds)) {
            return fail(kKeyArtNotFound);
        }
    } else if (alignment.artboardNumber >= 1 || !alignment.artboardName.empty()) {
        if (!GetArtBoardBounds(alignment.artboardNumber - 1, alignment.artboardName, reference)) {
            return fail(kCantGetArtboardPosition);
        }
    }
    const std::string& targetAnchor =
        alignment.targetAnchorPoint.empty() ? alignment.anchorPoint : alignment.targetAnchorPoint;
    AIRealPoint target = GetFixedPoint(reference, targetAnchor, "distort");
    const std::string direction =
        IsAxisText(alignment.direction) ? alignment.direction : DefaultDirection(alignment);
    const AIRealPoint centre = CenterOf(reference);
    if (target.h != centre.h || target.v != centre.v) {
        if (const std::optional<std::string> error =
                ApplyRelativeOffset(alignment, objects, direction, reference, target)) {
            reply["error"] = *error;
            return DumpReply(reply);
        }
    }
    if (alignment.absOffset != 0.0) {
        const AIRealPoint objectsCentre = CenterOf(common);
        target = {Towards(target.h, objectsCentre.h, alignment.absOffset),
                  Towards(target.v, objectsCentre.v, alignment.absOffset)};
    }

    MoveTally tally;
    for (ArtObject* art : objects) {
        const std::optional<AIRealPoint> from =
            GetFixedPoint(art, alignment.anchorPoint, "distort", alignment.bounds);
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
