#include "model/StrokeOutline.h"

#include <algorithm>
#include <cmath>

#include <polyclipping/clipper.hpp>

#include "model/Region.h"

namespace host::model {

namespace {

// Coordinates go to the clipping library's integer grid at 1/1024 point, as the pathfinder's.
constexpr double kGrid = 1024.0;
// How far a round join or cap may stray from the true arc: 0.01 point, or a ten-thousandth of half
// the width when that is more, so that a round join of a wide stroke takes at most about 220
// points for a full turn whatever the width.
constexpr double kArcTolerance = 0.01;
constexpr double kRelativeArcTolerance = 1e-4;

ClipperLib::IntPoint toGrid(Point point) {
    return {static_cast<ClipperLib::cInt>(std::llround(point.x * kGrid)),
            static_cast<ClipperLib::cInt>(std::llround(point.y * kGrid))};
}

ClipperLib::JoinType joinType(LineJoin join) {
    switch (join) {
        case LineJoin::round:
            return ClipperLib::jtRound;
        case LineJoin::bevel:
            return ClipperLib::jtSquare;
        case LineJoin::miter:
            break;
    }
    return ClipperLib::jtMiter;
}

ClipperLib::EndType openEnd(LineCap cap) {
    switch (cap) {
        case LineCap::round:
            return ClipperLib::etOpenRound;
        case LineCap::projecting:
            return ClipperLib::etOpenSquare;
        case LineCap::butt:
            break;
    }
    return ClipperLib::etOpenButt;
}

PathGeometry fromGrid(const ClipperLib::Path& ring) {
    PathGeometry path;
    path.closed = true;
    for (const ClipperLib::IntPoint& point : ring) {
        path.segments.push_back(
            Segment::straight({static_cast<double>(point.X) / kGrid, static_cast<double>(point.Y) / kGrid}));
    }
    return path;
}

// How far the outline may reach beyond the path's points: half the width, times the miter limit
// for miter joins and times the diagonal for projecting caps.
double OutlineReach(const StrokePaint& stroke) {
    return stroke.width / 2 * std::max({stroke.miterLimit, std::sqrt(2.0), 1.0});
}

}  // namespace

bool canOutlineStroke(const std::vector<PathGeometry>& paths, const StrokePaint& stroke) {
    if (!std::isfinite(stroke.width) || !std::isfinite(stroke.miterLimit)) {
        return false;
    }
    const double reach = OutlineReach(stroke);
    return std::all_of(paths.begin(), paths.end(),
                       [reach](const PathGeometry& path) { return isWithinRegionRange(path, reach); });
}

std::vector<PathGeometry> strokeOutline(const std::vector<PathGeometry>& paths, const StrokePaint& stroke) {
    std::vector<PathGeometry> outlines;
    if (!(stroke.width > 0.0) || !canOutlineStroke(paths, stroke)) {
        return outlines;
    }
    const double halfWidth = stroke.width / 2;
    const double tolerance = std::max(kArcTolerance, halfWidth * kRelativeArcTolerance);
    ClipperLib::ClipperOffset offset(std::max(1.0, stroke.miterLimit), tolerance * kGrid);
    for (const PathGeometry& path : paths) {
        ClipperLib::Path points;
        for (const Point point : flattenPath(path)) {
            points.push_back(toGrid(point));
        }
        if (points.empty()) {
            continue;
        }
        offset.AddPath(points, joinType(stroke.join),
                       path.closed ? ClipperLib::etClosedLine : openEnd(stroke.cap));
    }
    ClipperLib::Paths result;
    offset.Execute(result, halfWidth * kGrid);
    for (const ClipperLib::Path& ring : result) {
        if (ring.size() >= 3) {
            outlines.push_back(fromGrid(ring));
        }
    }
    return outlines;
}

}  // namespace host::model
