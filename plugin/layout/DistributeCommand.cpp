// "distributeObjects": spaces the found objects along one axis or both inside a reference
// rectangle (their own common bounds, the bounds of key objects, or an artboard): equal steps
// between their anchors, equal gaps between their edges, or stacked at a fixed gap outside a key
// object or artboard. Every check comes before the first move.
#include <algorithm>
#include <optional>
#include <string>
#include <vector>

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

constexpr const char* kArtNotFound = "Art to distribute not found";
constexpr const char* kTooFew =
    "Art to distribute not found. Two objects or more are needed to distribute objects";
constexpr const char* kBadAxes = "No valid value of direction or distributeSpacing";

struct DistributeRequest {
    std::string tagSearch;
    std::string keyArt;
    bool zOrder = false;
    std::string anchorPoint = "c";
    std::optional<double> gap;  // points; its presence selects stacking
    std::string artboardName;
    int artboardNumber = 0;
    BoundsOptions bounds;
    std::string spacing;  // "distributeSpacing": the axes, spaced by equal gaps
    std::string axes;
    AIRealPoint place;  // the side stacked objects go to, per axis: -1 before, 1 after, 0 by position
};

DistributeRequest ReadDistributeRequest(const json& request) {
    DistributeRequest distribution;
    distribution.tagSearch = ReadTextStrictly(request, "tagSearch");
    distribution.keyArt = ReadTextStrictly(request, "keyArt");
    distribution.zOrder = ReadBoolStrictly(request, "zOrder", false);
    distribution.anchorPoint = ReadTextStrictly(request, "anchorPoint", "c");
    const std::string units = ReadTextStrictly(request, "units");
    distribution.gap = ReadOptionalLengthStrictly(request, "gap", units);
    distribution.artboardName = ReadTextStrictly(request, "artboardName");
    distribution.artboardNumber = ReadIntegerStrictly(request, "artboardNumber", 0);
    distribution.bounds = ReadBoundsOptions(request, true);
    ReadJsonValue(request, "distributeSpacing", distribution.spacing);
    distribution.axes = distribution.spacing;
    if (distribution.axes.empty()) {
        distribution.axes = PointNameToDirectionStr(distribution.anchorPoint);
        ReadJsonValue(request, "direction", distribution.axes);
    }
    std::string place;
    ReadJsonValue(request, "place", place);
    const std::string placeAxes = PointNameToDirectionStr(place);
    const bool matches =
        (distribution.axes == "h" && placeAxes == "h") || (distribution.axes == "v" && placeAxes == "v") ||
        (distribution.axes == "hv" && (placeAxes == "h" || placeAxes == "v" || placeAxes == "hv"));
    distribution.place = matches ? PointNameToVector(place) : AIRealPoint{};
    return distribution;
}

// The records of the objects that can be measured along the axis, in list order.
std::vector<ArtWithSegment> Records(const ArtList& objects, bool horizontal,
                                    const DistributeRequest& distribution) {
    std::vector<ArtWithSegment> records;
    for (ArtObject* art : objects) {
        bool ok = false;
        ArtWithSegment record(art, horizontal, distribution.anchorPoint, ok, distribution.bounds);
        if (ok) {
            records.push_back(record);
        }
    }
    return records;
}

// The first and last records meet the ends of the reference; the others' anchors are spaced evenly
// between theirs.
void SpaceAnchors(std::vector<ArtWithSegment>& records, bool horizontal, double ks, double ke) {
    ArtWithSegment& first = records.front();
    ArtWithSegment& last = records.back();
    first.Translate(ks - first.start, horizontal);
    last.Translate(ke - last.end, horizontal);
    const double step = (last.anchor - first.anchor) / static_cast<double>(records.size() - 1);
    for (std::size_t i = 1; i + 1 < records.size(); ++i) {
        records[i].Translate(first.anchor + static_cast<double>(i) * step - records[i].anchor, horizontal);
    }
}

// Equal gaps between the objects' edges, filling the reference from end to end (a negative gap
// when they don't fit, so that they overlap evenly).
void SpaceGaps(std::vector<ArtWithSegment>& records, bool horizontal, double ks, double ke) {
    double total = 0.0;
    for (const ArtWithSegment& record : records) {
        total += std::abs(record.start - record.end);
    }
    const double gap = (std::abs(ks - ke) - total) / static_cast<double>(records.size() - 1);
    double cursor = ks;
    for (ArtWithSegment& record : records) {
        record.Translate(cursor - record.start, horizontal);
        cursor = record.end + gap;
    }
}

// Stacks the records outside the reference, gap apart: those before it (all for side -1, none for
// side 1, else those whose middle is not beyond the reference's middle) towards the low end, the
// others towards the high end, each keeping its order.
void Stack(std::vector<ArtWithSegment>& records, bool horizontal, double ks, double ke, double side,
           double gap) {
    std::vector<ArtWithSegment*> before;
    std::vector<ArtWithSegment*> after;
    for (ArtWithSegment& record : records) {
        const bool goesBefore =
            side == -1.0 || (side != 1.0 && (record.start + record.end) * 0.5 <= (ks + ke) * 0.5);
        (goesBefore ? before : after).push_back(&record);
    }
    double cursor = ks;
    for (auto it = before.rbegin(); it != before.rend(); ++it) {
        (*it)->Translate(cursor - gap - (*it)->end, horizontal);
        cursor = (*it)->start;
    }
    cursor = ke;
    for (ArtWithSegment* record : after) {
        record->Translate(cursor + gap - record->start, horizontal);
        cursor = record->end;
    }
}

// Distributes along one axis; false when too few objects can be measured on it, which ends the
// command without an error. Objects whose move the application refused join refused.
bool DistributeAlong(const ArtList& objects, bool horizontal, const DistributeRequest& distribution,
                     const AIRealRect& reference, ArtHandleSet& refused) {
    std::vector<ArtWithSegment> records = Records(objects, horizontal, distribution);
    // Stacking places even a single object; spacing needs two to span the reference.
    const std::size_t needed = distribution.gap ? 1 : 2;
    if (records.size() < needed) {
        return false;
    }
    if (!distribution.zOrder) {
        std::sort(records.begin(), records.end(), CompareArtWithSegment);
    }
    const double ks = horizontal ? reference.left : reference.bottom;
    const double ke = horizontal ? reference.right : reference.top;
    if (distribution.gap) {
        Stack(records, horizontal, ks, ke, horizontal ? distribution.place.h : distribution.place.v,
              *distribution.gap);
    } else if (distribution.spacing.empty()) {
        SpaceAnchors(records, horizontal, ks, ke);
    } else {
        SpaceGaps(records, horizontal, ks, ke);
    }
    for (const ArtWithSegment& record : records) {
        if (record.refused) {
            refused.insert(record.art);
        }
    }
    return true;
}

}  // namespace

ArtWithSegment::ArtWithSegment(ArtObject* object, bool horizontal, const std::string& anchorName, bool& ok,
                               BoundsOptions options)
    : art(object) {
    AIRealRect bounds;
    ok = GetArtVectorBounds(ArtList{object}, bounds, options);
    if (!ok) {
        return;
    }
    const AIRealPoint point = GetFixedPoint(bounds, anchorName, "move");
    start = horizontal ? bounds.left : bounds.bottom;
    end = horizontal ? bounds.right : bounds.top;
    anchor = horizontal ? point.h : point.v;
}

void ArtWithSegment::Translate(double distance, bool horizontal) {
    if (!MoveWithSubTree(art, horizontal ? distance : 0.0, horizontal ? 0.0 : distance)) {
        refused = true;
        return;
    }
    start += distance;
    end += distance;
    anchor += distance;
}

bool CompareArtWithSegment(const ArtWithSegment& a, const ArtWithSegment& b) {
    return a.anchor < b.anchor;
}

std::string PlimUtilsPlugin::DistributeObjects(std::string request) {
    const json parsed = ParseRequest(request);
    json reply = StartReply("distributeObjects", parsed);
    const DistributeRequest distribution = ReadDistributeRequest(parsed);
    reply["tagSearch"] = distribution.tagSearch;
    reply["artboardName"] = distribution.artboardName;
    if (distribution.artboardNumber != 0) {
        reply["artboardNumber"] = distribution.artboardNumber;
    }
    const auto fail = [&](const char* message) {
        reply["error"] = message;
        return DumpReply(reply);
    };

    const ArtList found =
        distribution.tagSearch.empty() ? ArtList{} : SearchTaggedArt(distribution.tagSearch);
    if (found.empty()) {
        return fail(kArtNotFound);
    }
    ArtList objects = SortArtByPaintOrder(RemoveLeaves2(found), false);
    const ArtList keys = distribution.keyArt.empty()
                             ? ArtList{}
                             : SortArtByPaintOrder(SearchTaggedArt(distribution.keyArt), false);
    // A key query that finds nothing never lets the front-most object or the common bounds stand in.
    if (!distribution.keyArt.empty() && keys.empty()) {
        return fail(kKeyArtNotFound);
    }
    if (objects.size() < 2 && !(objects.size() == 1 && !keys.empty())) {
        return fail(kTooFew);
    }

    AIRealRect reference;
    AIRealRect common;
    if (distribution.artboardNumber >= 1 || !distribution.artboardName.empty()) {
        if (!GetArtVectorBounds(objects, common, distribution.bounds)) {
            return fail(kArtNotFound);
        }
        if (!GetArtBoardBounds(distribution.artboardNumber - 1, distribution.artboardName, reference)) {
            return fail(kCantGetArtboardPosition);
        }
    } else if (distribution.gap) {
        ArtObject* key = keys.empty() ? objects.front() : keys.front();
        std::erase(objects, key);
        if (!GetArtVectorBounds(objects, common, distribution.bounds)) {
            return fail(kArtNotFound);
        }
        if (!GetArtVectorBounds(ArtList{key}, reference, distribution.bounds)) {
            return fail(kKeyArtNotFound);
        }
    } else {
        if (!GetArtVectorBounds(objects, common, distribution.bounds)) {
            return fail(kArtNotFound);
        }
        reference = common;
        if (!keys.empty() && !GetArtVectorBounds(keys, reference, distribution.bounds)) {
            return fail(kKeyArtNotFound);
        }
    }
    if (distribution.axes != "h" && distribution.axes != "v" && distribution.axes != "hv") {
        return fail(kBadAxes);
    }
    if (objects.size() == 1 && !distribution.gap) {
        AlignArtToKey(objects.front(), reference, distribution.anchorPoint, distribution.axes,
                      distribution.bounds);
        return DumpReply(reply);
    }
    // Objects without bounds take no part on any axis; the reply's warning counts them.
    const auto unmeasured = std::count_if(objects.begin(), objects.end(), [&](ArtObject* art) {
        AIRealRect bounds;
        return !GetArtVectorBounds(ArtList{art}, bounds, distribution.bounds);
    });
    ArtHandleSet refused;
    if (distribution.axes == "v" || DistributeAlong(objects, true, distribution, reference, refused)) {
        if (distribution.axes != "h") {
            DistributeAlong(objects, false, distribution, reference, refused);
        }
    }
    MoveTally tally;
    tally.refused = static_cast<int>(refused.size());
    tally.unmeasured = static_cast<int>(unmeasured);
    tally.moved = static_cast<int>(objects.size()) - tally.refused - tally.unmeasured;
    ReportTally(reply, tally);
    return DumpReply(reply);
}
