// The grid that finds rectangles near an area must offer every rectangle that overlaps it, whatever
// the rectangles: random ones, ones that only touch, huge, empty, inverted and non-finite ones.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "layout/Artboards.h"
#include "layout/BoundsGrid.h"

namespace {

AIRealRect Rect(double left, double top, double right, double bottom) {
    return AIRealRect{left, top, right, bottom};
}

struct GridCase {
    std::string name;
    std::vector<AIRealRect> rects;
    std::vector<AIRealRect> areas;
};

void PrintTo(const GridCase& c, std::ostream* out) {
    *out << c.name;
}

class BoundsGridFinds : public ::testing::TestWithParam<GridCase> {};

TEST_P(BoundsGridFinds, EveryRectangleThatOverlapsTheArea) {
    const GridCase& c = GetParam();
    const BoundsGrid grid(c.rects);
    for (const AIRealRect& area : c.areas) {
        const std::vector<std::size_t> near = grid.Near(area);
        EXPECT_TRUE(std::is_sorted(near.begin(), near.end()));
        EXPECT_EQ(std::adjacent_find(near.begin(), near.end()), near.end());
        for (std::size_t index = 0; index < c.rects.size(); ++index) {
            if (Overlap(c.rects[index], area)) {
                EXPECT_TRUE(std::binary_search(near.begin(), near.end(), index))
                    << "rectangle " << index << " overlaps area " << area.left << "," << area.top << ","
                    << area.right << "," << area.bottom;
            }
        }
    }
}

GridCase Random(unsigned seed, int count, double spread, double size) {
    std::mt19937 random(seed);
    std::uniform_real_distribution<double> place(-spread, spread);
    std::uniform_real_distribution<double> extent(0, size);
    GridCase c{"random" + std::to_string(seed), {}, {}};
    for (int i = 0; i < count; ++i) {
        const double x = place(random), y = place(random);
        c.rects.push_back(Rect(x, y + extent(random), x + extent(random), y));
        const double ax = place(random), ay = place(random);
        c.areas.push_back(Rect(ax, ay + extent(random), ax + extent(random), ay));
    }
    return c;
}

// Squares in one row (or column), each searched by an area around it.
GridCase Row(bool column) {
    GridCase c{column ? "column" : "row", {}, {}};
    for (int i = 0; i < 300; ++i) {
        const double at = i * 12.0;
        c.rects.push_back(column ? Rect(0, at + 10, 10, at) : Rect(at, 10, at + 10, 0));
        c.areas.push_back(column ? Rect(-2, at + 12, 12, at - 2) : Rect(at - 2, 12, at + 12, -2));
    }
    return c;
}

const double kInfinity = std::numeric_limits<double>::infinity();
const double kNan = std::numeric_limits<double>::quiet_NaN();

INSTANTIATE_TEST_SUITE_P(
    Cases, BoundsGridFinds,
    ::testing::Values(
        Random(1, 400, 1000, 50), Random(2, 900, 100, 300), Random(3, 50, 1e9, 1e3),
        // A row of squares whose edges touch, searched by the squares themselves and by their edges.
        GridCase{"touchingEdges",
                 {Rect(0, 10, 10, 0), Rect(10, 10, 20, 0), Rect(20, 10, 30, 0), Rect(30, 20, 40, 10)},
                 {Rect(10, 10, 10, 0), Rect(20, 0, 30, -5), Rect(40, 25, 50, 20), Rect(-5, 0, 0, -5)}},
        GridCase{"pointsAndOneHugeRectangle",
                 {Rect(5, 5, 5, 5), Rect(6, 6, 6, 6), Rect(-1e300, 1e300, 1e300, -1e300), Rect(0, 0, 0, 0)},
                 {Rect(5, 5, 5, 5), Rect(0, 1, 1, 0), Rect(1e299, 1e299, 1e299, 1e299)}},
        GridCase{"nonFiniteAndInverted",
                 {Rect(kNan, 1, 2, 0), Rect(0, kInfinity, 1, 0), Rect(10, 0, 0, 10), Rect(3, 4, 4, 3)},
                 {Rect(0, 10, 10, 0), Rect(kNan, kNan, kNan, kNan),
                  Rect(-kInfinity, kInfinity, kInfinity, -kInfinity)}},
        GridCase{"noRectangles", {}, {Rect(0, 1, 1, 0)}}, Row(false), Row(true)));

}  // namespace
