// A filled area: what the fill of paths and compound paths covers, as polygons, with the shape
// operations of the pathfinder. Curves are followed by straight pieces (flattened); coordinates
// are kept on a grid of 1/1024 point, so that operations on shapes with whole or binary-fraction
// coordinates (rectangles) are exact.
#pragma once

#include <span>
#include <vector>

#include "model/PathGeometry.h"
#include "model/Point.h"
#include "model/Rect.h"

namespace host::model {

// Which points a self-overlapping outline, or several outlines, fill: non-zero winding counts a
// point covered by any outline running around it; even-odd only by an odd number of them.
enum class FillRule { nonZero, evenOdd };

class Region {
public:
    Region() = default;

    // The area the path's fill covers: an open path is filled as if closed; a path of fewer than
    // three anchors covers nothing.
    static Region fromPath(const PathGeometry& path, FillRule rule = FillRule::nonZero);
    // The area the paths cover together under the rule (a compound path: evenOdd punches holes).
    static Region fromPaths(const std::vector<PathGeometry>& paths, FillRule rule);
    // The area the regions cover together: under nonZero, what any of them covers; under evenOdd,
    // what an odd number of them covers. One pass of the clipping library however many regions
    // there are, where uniting them one at a time would clip the growing result again each time.
    static Region combined(std::span<const Region* const> regions, FillRule rule);

    Region united(const Region& other) const;
    Region intersected(const Region& other) const;
    Region subtracted(const Region& other) const;
    // The area covered by exactly one of the two.
    Region excluded(const Region& other) const;

    bool isEmpty() const { return rings_.empty(); }
    // In square points.
    double area() const;
    Rect bounds() const;

    // The connected pieces: each an outer outline with the holes inside it (an island inside a
    // hole is a piece of its own).
    std::vector<Region> pieces() const;
    // Every outline (outer ones counter-clockwise, holes clockwise, y up) as a closed path of
    // straight segments.
    std::vector<PathGeometry> outlines() const;

    // The outlines as they are held: simple polygons, no two crossing.
    const std::vector<std::vector<Point>>& rings() const { return rings_; }

private:
    std::vector<std::vector<Point>> rings_;
};

// The largest coordinate, in points, that regions and stroke outlines work with. The clipping
// library keeps points on an integer grid and refuses (throws for) coordinates beyond about 4.5e15
// points; the margin leaves room for what an operation adds, such as half a stroke's width.
inline constexpr double kLargestRegionCoordinate = 1e15;

// Whether every anchor and direction point of the path, moved by up to the margin in any direction,
// stays finite and within kLargestRegionCoordinate. The curves stay within their points, so such a
// path can be made a region (or outlined) without leaving the clipping library's range.
bool isWithinRegionRange(const PathGeometry& path, double margin = 0.0);

// The outline of a path as straight pieces: each curve becomes kFlatteningSteps pieces; a closed
// path's closing segment is included, the first point is not repeated at the end.
std::vector<Point> flattenPath(const PathGeometry& path);
inline constexpr int kFlatteningSteps = 32;

}  // namespace host::model
