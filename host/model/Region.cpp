#include "model/Region.h"

#include <clipper.hpp>

#include <algorithm>
#include <cmath>

namespace host::model {

namespace {

// Coordinates go to the integer grid of the clipping library and back.
constexpr double kGrid = 1024.0;

ClipperLib::IntPoint toGrid(Point p) {
    return {static_cast<ClipperLib::cInt>(std::llround(p.x * kGrid)),
            static_cast<ClipperLib::cInt>(std::llround(p.y * kGrid))};
}

Point fromGrid(const ClipperLib::IntPoint& p) {
    return {static_cast<double>(p.X) / kGrid, static_cast<double>(p.Y) / kGrid};
}

ClipperLib::Path toGrid(const std::vector<Point>& ring) {
    ClipperLib::Path path;
    path.reserve(ring.size());
    for (const Point& p : ring) {
        path.push_back(toGrid(p));
    }
    return path;
}

ClipperLib::Paths toGrid(const std::vector<std::vector<Point>>& rings) {
    ClipperLib::Paths paths;
    paths.reserve(rings.size());
    for (const auto& ring : rings) {
        paths.push_back(toGrid(ring));
    }
    return paths;
}

std::vector<Point> fromGrid(const ClipperLib::Path& path) {
    std::vector<Point> ring;
    ring.reserve(path.size());
    for (const ClipperLib::IntPoint& p : path) {
        ring.push_back(fromGrid(p));
    }
    return ring;
}

Point cubicAt(Point p0, Point p1, Point p2, Point p3, double t) {
    const double u = 1 - t;
    return p0 * (u * u * u) + p1 * (3 * u * u * t) + p2 * (3 * u * t * t) + p3 * (t * t * t);
}

void appendSegment(const Segment& from, const Segment& to, std::vector<Point>& out) {
    if (from.out == from.anchor && to.in == to.anchor) {
        out.push_back(to.anchor);
        return;
    }
    for (int step = 1; step <= kFlatteningSteps; ++step) {
        const double t = static_cast<double>(step) / kFlatteningSteps;
        out.push_back(cubicAt(from.anchor, from.out, to.in, to.anchor, t));
    }
}

ClipperLib::PolyFillType fillTypeOf(FillRule rule) {
    return rule == FillRule::evenOdd ? ClipperLib::pftEvenOdd : ClipperLib::pftNonZero;
}

// The rings of a finished operation: simple, non-crossing, outers and holes opposite in turn.
std::vector<std::vector<Point>> run(ClipperLib::ClipType type, const ClipperLib::Paths& subject,
                                    const ClipperLib::Paths& clip, ClipperLib::PolyFillType fill) {
    ClipperLib::Clipper clipper;
    clipper.AddPaths(subject, ClipperLib::ptSubject, true);
    clipper.AddPaths(clip, ClipperLib::ptClip, true);
    ClipperLib::Paths solution;
    clipper.Execute(type, solution, fill, fill);
    std::vector<std::vector<Point>> rings;
    for (const ClipperLib::Path& path : solution) {
        if (path.size() >= 3) {
            rings.push_back(fromGrid(path));
        }
    }
    return rings;
}

void collectPieces(const ClipperLib::PolyNode& node, std::vector<std::vector<std::vector<Point>>>& rings) {
    for (const ClipperLib::PolyNode* outer : node.Childs) {
        std::vector<std::vector<Point>> piece{fromGrid(outer->Contour)};
        for (const ClipperLib::PolyNode* hole : outer->Childs) {
            piece.push_back(fromGrid(hole->Contour));
            collectPieces(*hole, rings);
        }
        rings.push_back(std::move(piece));
    }
}

}  // namespace

bool isWithinRegionRange(const PathGeometry& path, double margin) {
    const auto within = [margin](Point p) {
        return std::abs(p.x) + margin <= kLargestRegionCoordinate &&
               std::abs(p.y) + margin <= kLargestRegionCoordinate;
    };
    return std::all_of(path.segments.begin(), path.segments.end(), [&](const Segment& segment) {
        return within(segment.anchor) && within(segment.in) && within(segment.out);
    });
}

std::vector<Point> flattenPath(const PathGeometry& path) {
    std::vector<Point> points;
    const std::vector<Segment>& segments = path.segments;
    if (segments.empty()) {
        return points;
    }
    points.push_back(segments.front().anchor);
    for (std::size_t i = 1; i < segments.size(); ++i) {
        appendSegment(segments[i - 1], segments[i], points);
    }
    if (path.closed && segments.size() > 1) {
        appendSegment(segments.back(), segments.front(), points);
        points.pop_back();  // back at the first anchor
    }
    return points;
}

Region Region::fromPath(const PathGeometry& path, FillRule rule) {
    return fromPaths({path}, rule);
}

Region Region::fromPaths(const std::vector<PathGeometry>& paths, FillRule rule) {
    ClipperLib::Paths subject;
    for (const PathGeometry& path : paths) {
        std::vector<Point> points = flattenPath(path);
        if (points.size() >= 3) {
            subject.push_back(toGrid(points));
        }
    }
    Region region;
    region.rings_ = run(ClipperLib::ctUnion, subject, {}, fillTypeOf(rule));
    return region;
}

Region Region::combined(std::span<const Region* const> regions, FillRule rule) {
    // Every ring of a region runs so that the region winds once round each point it covers (holes
    // the other way round), so the winding number of the rings together counts the regions
    // covering a point, and its parity is what even-odd reads.
    ClipperLib::Paths subject;
    for (const Region* region : regions) {
        for (const auto& ring : region->rings_) {
            subject.push_back(toGrid(ring));
        }
    }
    Region result;
    result.rings_ = run(ClipperLib::ctUnion, subject, {}, fillTypeOf(rule));
    return result;
}

Region Region::united(const Region& other) const {
    Region result;
    result.rings_ = run(ClipperLib::ctUnion, toGrid(rings_), toGrid(other.rings_), ClipperLib::pftNonZero);
    return result;
}

Region Region::intersected(const Region& other) const {
    Region result;
    result.rings_ =
        run(ClipperLib::ctIntersection, toGrid(rings_), toGrid(other.rings_), ClipperLib::pftNonZero);
    return result;
}

Region Region::subtracted(const Region& other) const {
    Region result;
    result.rings_ =
        run(ClipperLib::ctDifference, toGrid(rings_), toGrid(other.rings_), ClipperLib::pftNonZero);
    return result;
}

Region Region::excluded(const Region& other) const {
    Region result;
    result.rings_ = run(ClipperLib::ctXor, toGrid(rings_), toGrid(other.rings_), ClipperLib::pftNonZero);
    return result;
}

double Region::area() const {
    double total = 0.0;
    for (const auto& ring : rings_) {
        total += ClipperLib::Area(toGrid(ring));
    }
    return total / (kGrid * kGrid);
}

Rect Region::bounds() const {
    Rect box;
    for (const auto& ring : rings_) {
        for (const Point& p : ring) {
            box = box.united(p);
        }
    }
    return box;
}

std::vector<Region> Region::pieces() const {
    ClipperLib::Clipper clipper;
    clipper.AddPaths(toGrid(rings_), ClipperLib::ptSubject, true);
    ClipperLib::PolyTree tree;
    clipper.Execute(ClipperLib::ctUnion, tree, ClipperLib::pftNonZero, ClipperLib::pftNonZero);
    std::vector<Region> pieces;
    std::vector<std::vector<std::vector<Point>>> rings;
    collectPieces(tree, rings);
    for (auto& pieceRings : rings) {
        Region piece;
        piece.rings_ = std::move(pieceRings);
        pieces.push_back(std::move(piece));
    }
    return pieces;
}

std::vector<PathGeometry> Region::outlines() const {
    std::vector<PathGeometry> paths;
    for (const auto& ring : rings_) {
        PathGeometry path;
        path.closed = true;
        for (const Point& p : ring) {
            path.segments.push_back(Segment::straight(p));
        }
        paths.push_back(std::move(path));
    }
    return paths;
}

}  // namespace host::model
