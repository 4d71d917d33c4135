// Telling whether outlines share an edge, for the tests of the pathfinder's areas.
#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <set>
#include <vector>

namespace testsupport {

// An outline as its corners, on whole points.
using GridRing = std::vector<std::array<long, 2>>;

// Whether two of the outlines (or two stretches of one) run along a common piece of line in
// opposite directions: a seam inside one filled shape, or a notch drawn as a hole. The outlines
// must be axis-parallel on whole points (those of rectangles), as they are walked point by point.
inline bool HasASeam(const std::vector<GridRing>& rings) {
    std::set<std::array<long, 4>> steps;
    for (const GridRing& ring : rings) {
        for (std::size_t i = 0; i < ring.size(); ++i) {
            auto [x, y] = ring[i];
            const auto [toX, toY] = ring[(i + 1) % ring.size()];
            while (x != toX || y != toY) {
                const long nextX = x + (toX > x) - (toX < x);
                const long nextY = y + (toY > y) - (toY < y);
                steps.insert({x, y, nextX, nextY});
                x = nextX;
                y = nextY;
            }
        }
    }
    return std::any_of(steps.begin(), steps.end(), [&steps](const std::array<long, 4>& step) {
        return steps.contains({step[2], step[3], step[0], step[1]});
    });
}

}  // namespace testsupport
