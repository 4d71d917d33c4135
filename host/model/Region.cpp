#include "model/Region.h"

#include <clipper.hpp>

#include <algorithm>
#include <cmath>
#include <numeric>
#include <tuple>

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

// One edge of a ring on the line it lies on: the line by its reduced direction (x > 0, or x = 0 and
// y > 0) and its offset, the edge by where it starts and ends along that direction and whether it
// runs that way or back.
struct LineEdge {
    ClipperLib::cInt dx;
    ClipperLib::cInt dy;
    __int128 offset;
    __int128 from;
    __int128 to;
    bool forward;

    bool operator<(const LineEdge& other) const {
        return std::tie(dx, dy, offset, from) < std::tie(other.dx, other.dy, other.offset, other.from);
    }
};

// Whether two of the rings (or two parts of one ring) run along a common stretch of line in opposite
// directions: a seam between two areas that are filled on both sides, or a notch drawn as a hole.
// The clipping library leaves such seams where input edges lie on one another; a finished area has
// none. Exact on the integer grid: 128-bit products, no rounding.
bool hasSeam(const ClipperLib::Paths& paths) {
    std::vector<LineEdge> edges;
    for (const ClipperLib::Path& path : paths) {
        for (std::size_t i = 0; i < path.size(); ++i) {
            const ClipperLib::IntPoint& a = path[i];
            const ClipperLib::IntPoint& b = path[(i + 1) % path.size()];
            ClipperLib::cInt dx = b.X - a.X;
            ClipperLib::cInt dy = b.Y - a.Y;
            if (dx == 0 && dy == 0) {
                continue;
            }
            const ClipperLib::cInt divisor = std::gcd(dx, dy);
            dx /= divisor;
            dy /= divisor;
            const bool forward = dx > 0 || (dx == 0 && dy > 0);
            if (!forward) {
                dx = -dx;
                dy = -dy;
            }
            const auto along = [dx, dy](const ClipperLib::IntPoint& p) {
                return static_cast<__int128>(dx) * p.X + static_cast<__int128>(dy) * p.Y;
            };
            const __int128 offset = static_cast<__int128>(dx) * a.Y - static_cast<__int128>(dy) * a.X;
            edges.push_back(
                {dx, dy, offset, std::min(along(a), along(b)), std::max(along(a), along(b)), forward});
        }
    }
    std::sort(edges.begin(), edges.end());
    // Along each line, by where the edges start: an edge overlaps an earlier one of the other
    // direction when it starts before the furthest end of those.
    for (std::size_t first = 0; first < edges.size();) {
        std::size_t last = first;
        __int128 reach[2] = {edges[first].from, edges[first].from};
        for (; last < edges.size() && edges[last].dx == edges[first].dx &&
               edges[last].dy == edges[first].dy && edges[last].offset == edges[first].offset;
             ++last) {
            const LineEdge& edge = edges[last];
            if (edge.from < reach[edge.forward ? 0 : 1]) {
                return true;
            }
            __int128& own = reach[edge.forward ? 1 : 0];
            own = std::max(own, edge.to);
        }
        first = last;
    }
    return false;
}

// The most passes that merge seamed areas: one is enough for nearly every area, two for the rest
// that even-odd gives; the bound only keeps a pathological input from going on.
constexpr int kMergingPasses = 4;

ClipperLib::Paths execute(ClipperLib::ClipType type, const ClipperLib::Paths& subject,
                          const ClipperLib::Paths& clip, ClipperLib::PolyFillType fill) {
    ClipperLib::Clipper clipper;
    clipper.AddPaths(subject, ClipperLib::ptSubject, true);
    clipper.AddPaths(clip, ClipperLib::ptClip, true);
    ClipperLib::Paths solution;
    clipper.Execute(type, solution, fill, fill);
    return solution;
}

// The rings of a finished operation: simple, non-crossing, outers and holes opposite in turn, no two
// sharing an edge. The library's own result may hold areas that meet along an edge (drawn as two
// outlines with a seam between), and under even-odd, where edges lie on one another, outlines that
// overlap; uniting its rings under non-zero merges them, as often as a seam is left.
std::vector<std::vector<Point>> run(ClipperLib::ClipType type, const ClipperLib::Paths& subject,
                                    const ClipperLib::Paths& clip, ClipperLib::PolyFillType fill) {
    ClipperLib::Paths solution = execute(type, subject, clip, fill);
    bool merge = fill == ClipperLib::pftEvenOdd;
    for (int pass = 0; pass < kMergingPasses && (merge || hasSeam(solution)); ++pass) {
        solution = execute(ClipperLib::ctUnion, solution, {}, ClipperLib::pftNonZero);
        merge = false;
    }
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
