// The pathfinder's geometry: areas and bounds of filled regions and of the shape operations over
// them, with straight and curved outlines and both fill rules.
#include <array>
#include <cmath>
#include <numbers>
#include <random>

#include "ModelTestSupport.h"
#include "OutlineSeams.h"
#include "model/Region.h"

namespace host::model {
namespace {

Region Square(double left, double top, double right, double bottom) {
    return Region::fromPath(PathGeometry::rectangle(Rect(left, top, right, bottom)));
}

// A circle of four cubic curves, as drawing programs make them.
PathGeometry Circle(Point center, double radius) {
    const double k = 0.5522847498307936 * radius;
    const auto smooth = [](Point anchor, Point in, Point out) { return Segment{anchor, in, out, false}; };
    PathGeometry circle;
    circle.closed = true;
    circle.segments = {
        smooth({center.x, center.y + radius}, {center.x - k, center.y + radius},
               {center.x + k, center.y + radius}),
        smooth({center.x + radius, center.y}, {center.x + radius, center.y + k},
               {center.x + radius, center.y - k}),
        smooth({center.x, center.y - radius}, {center.x + k, center.y - radius},
               {center.x - k, center.y - radius}),
        smooth({center.x - radius, center.y}, {center.x - radius, center.y - k},
               {center.x - radius, center.y + k}),
    };
    return circle;
}

void ExpectBounds(const Rect& actual, const Rect& expected) {
    EXPECT_NEAR(actual.left, expected.left, 1e-9);
    EXPECT_NEAR(actual.top, expected.top, 1e-9);
    EXPECT_NEAR(actual.right, expected.right, 1e-9);
    EXPECT_NEAR(actual.bottom, expected.bottom, 1e-9);
}

// Two squares of 100 overlapping in a square of 50: [0..100]² behind [50..150]².
const Region kBack = Square(0, 100, 100, 0);
const Region kFront = Square(50, 150, 150, 50);

struct OperationCase {
    const char* name;
    Region (*operate)(const Region&, const Region&);
    double area;
    Rect bounds;
    std::size_t pieces;
};

void PrintTo(const OperationCase& c, std::ostream* out) {
    *out << c.name;
}

class RegionOperations : public ::testing::TestWithParam<OperationCase> {};

TEST_P(RegionOperations, GiveTheExactAreaAndBounds) {
    const Region result = GetParam().operate(kBack, kFront);
    EXPECT_DOUBLE_EQ(result.area(), GetParam().area);
    ExpectBounds(result.bounds(), GetParam().bounds);
    EXPECT_EQ(result.pieces().size(), GetParam().pieces);
}

INSTANTIATE_TEST_SUITE_P(
    OverlappingSquares, RegionOperations,
    ::testing::Values(
        OperationCase{"united", [](const Region& a, const Region& b) { return a.united(b); }, 17500,
                      Rect(0, 150, 150, 0), 1},
        OperationCase{"intersected", [](const Region& a, const Region& b) { return a.intersected(b); }, 2500,
                      Rect(50, 100, 100, 50), 1},
        OperationCase{"subtracted", [](const Region& a, const Region& b) { return a.subtracted(b); }, 7500,
                      Rect(0, 100, 100, 0), 1},
        OperationCase{"excluded", [](const Region& a, const Region& b) { return a.excluded(b); }, 15000,
                      Rect(0, 150, 150, 0), 2}),
    [](const auto& info) { return std::string(info.param.name); });

// Shapes to combine many at a time: overlapping and apart, curved, with a hole and an island in it.
std::vector<Region> ShapesToCombine() {
    std::vector<Region> shapes;
    for (int i = 0; i < 5; ++i) {
        shapes.push_back(Square(i * 30.0, 40.0 + i * 10.0, 40.0 + i * 30.0, i * 10.0));
    }
    shapes.push_back(Square(500, 600, 600, 500));
    shapes.push_back(Region::fromPath(Circle({60, 30}, 35)));
    shapes.push_back(Region::fromPaths(
        {PathGeometry::rectangle(Rect(0, 100, 100, 0)), PathGeometry::rectangle(Rect(20, 80, 80, 20)),
         PathGeometry::rectangle(Rect(40, 60, 60, 40))},
        FillRule::evenOdd));
    return shapes;
}

struct CombineCase {
    const char* name;
    FillRule rule;
    Region (*fold)(const Region&, const Region&);  // the same area, one shape at a time
};

void PrintTo(const CombineCase& c, std::ostream* out) {
    *out << c.name;
}

class RegionsCombined : public ::testing::TestWithParam<CombineCase> {};

// Every prefix of the shapes, combined in one pass, covers what combining them one at a time does.
TEST_P(RegionsCombined, CoverWhatCombiningThemOneAtATimeCovers) {
    const std::vector<Region> shapes = ShapesToCombine();
    std::vector<const Region*> given;
    Region folded;
    for (const Region& shape : shapes) {
        given.push_back(&shape);
        folded = GetParam().fold(folded, shape);
        const Region combined = Region::combined(given, GetParam().rule);
        SCOPED_TRACE(given.size());
        EXPECT_NEAR(combined.area(), folded.area(), 1e-3);
        EXPECT_NEAR(combined.excluded(folded).area(), 0.0, 1e-3);
        EXPECT_EQ(combined.pieces().size(), folded.pieces().size());
    }
    EXPECT_TRUE(Region::combined({}, GetParam().rule).isEmpty());
}

INSTANTIATE_TEST_SUITE_P(
    Shapes, RegionsCombined,
    ::testing::Values(CombineCase{"united", FillRule::nonZero,
                                  [](const Region& a, const Region& b) { return a.united(b); }},
                      CombineCase{"excluded", FillRule::evenOdd,
                                  [](const Region& a, const Region& b) { return a.excluded(b); }}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Region, ShapesThatDoNotMeetIntersectInNothing) {
    const Region far = Square(500, 600, 600, 500);
    EXPECT_TRUE(kBack.intersected(far).isEmpty());
    EXPECT_EQ(kBack.united(far).pieces().size(), 2u);
    EXPECT_DOUBLE_EQ(kBack.united(far).area(), 20000);
}

TEST(Region, EvenOddPunchesHolesWhereNonZeroFills) {
    // The outer square and the inner one run the same way round: only even-odd leaves a hole.
    const std::vector<PathGeometry> ring = {PathGeometry::rectangle(Rect(0, 100, 100, 0)),
                                            PathGeometry::rectangle(Rect(25, 75, 75, 25))};
    const Region evenOdd = Region::fromPaths(ring, FillRule::evenOdd);
    EXPECT_DOUBLE_EQ(evenOdd.area(), 7500);
    ASSERT_EQ(evenOdd.pieces().size(), 1u);
    EXPECT_EQ(evenOdd.outlines().size(), 2u);  // the outer outline and the hole
    EXPECT_DOUBLE_EQ(Region::fromPaths(ring, FillRule::nonZero).area(), 10000);
}

TEST(Region, AnIslandInAHoleIsAPieceOfItsOwn) {
    const std::vector<PathGeometry> target = {PathGeometry::rectangle(Rect(0, 100, 100, 0)),
                                              PathGeometry::rectangle(Rect(20, 80, 80, 20)),
                                              PathGeometry::rectangle(Rect(40, 60, 60, 40))};
    const std::vector<Region> pieces = Region::fromPaths(target, FillRule::evenOdd).pieces();
    ASSERT_EQ(pieces.size(), 2u);
    EXPECT_DOUBLE_EQ(pieces[0].area() + pieces[1].area(), 10000 - 3600 + 400);
}

TEST(Region, CurvesAreFollowedClosely) {
    const Region circle = Region::fromPath(Circle({0, 0}, 50));
    EXPECT_NEAR(circle.area(), std::numbers::pi * 2500, 0.002 * std::numbers::pi * 2500);
    ExpectBounds(circle.bounds(), Rect(-50, 50, 50, -50));
    const Region half = circle.intersected(Square(0, 100, 100, -100));
    EXPECT_NEAR(half.area(), circle.area() / 2, 1.0);
}

TEST(Region, AnOpenPathIsFilledAsIfClosed) {
    PathGeometry open = PathGeometry::rectangle(Rect(0, 10, 10, 0));
    open.closed = false;
    EXPECT_DOUBLE_EQ(Region::fromPath(open).area(), 100);
}

TEST(Region, PathsOfFewerThanThreeAnchorsCoverNothing) {
    PathGeometry line;
    line.segments = {Segment::straight({0, 0}), Segment::straight({10, 10})};
    EXPECT_TRUE(Region::fromPath(line).isEmpty());
    EXPECT_TRUE(Region::fromPath(PathGeometry{}).isEmpty());
    EXPECT_TRUE(Region().bounds().isEmpty());
}

TEST(Region, FlatteningKeepsEveryAnchorOfStraightPaths) {
    const std::vector<Point> points = flattenPath(PathGeometry::rectangle(Rect(0, 10, 20, 0)));
    EXPECT_EQ(points.size(), 4u);
    PathGeometry curved = Circle({0, 0}, 10);
    EXPECT_EQ(flattenPath(curved).size(), static_cast<std::size_t>(4 * kFlatteningSteps));
}

// --- Outlines that share no edge --------------------------------------------------------------------

// Rectangles on a grid of 10 points: [left..right] x [bottom..top].
struct Box {
    int left, bottom, right, top;
};

// Whether two of the region's outlines share an edge (testsupport::HasASeam).
bool HasASeam(const Region& region) {
    std::vector<testsupport::GridRing> rings;
    for (const std::vector<Point>& ring : region.rings()) {
        testsupport::GridRing corners;
        for (const Point& p : ring) {
            corners.push_back({std::lround(p.x), std::lround(p.y)});
        }
        rings.push_back(corners);
    }
    return testsupport::HasASeam(rings);
}

// The area an operation must cover, counted cell by cell of the 10-point grid: how many of the
// boxes cover a cell, and whether the first does, decide.
double CountedArea(const std::vector<Box>& boxes, bool (*covered)(int count, bool first)) {
    double area = 0;
    for (int x = 0; x < 200; x += 10) {
        for (int y = 0; y < 200; y += 10) {
            int count = 0;
            for (const Box& box : boxes) {
                count += box.left <= x && x < box.right && box.bottom <= y && y < box.top ? 1 : 0;
            }
            const Box& first = boxes.front();
            const bool inFirst = first.left <= x && x < first.right && first.bottom <= y && y < first.top;
            area += covered(count, inFirst) ? 100.0 : 0.0;
        }
    }
    return area;
}

struct SeamCase {
    const char* name;
    Region (*operate)(const std::vector<Region>& shapes);
    bool (*covered)(int count, bool first);
};

void PrintTo(const SeamCase& c, std::ostream* out) {
    *out << c.name;
}

Region CombinedOf(const std::vector<Region>& shapes, FillRule rule) {
    std::vector<const Region*> given;
    for (const Region& shape : shapes) {
        given.push_back(&shape);
    }
    return Region::combined(given, rule);
}

Region RestOf(const std::vector<Region>& shapes) {
    return CombinedOf(std::vector<Region>(shapes.begin() + 1, shapes.end()), FillRule::nonZero);
}

// Sets of two to six boxes, many of them with edges on one another: the one that showed the seam
// ([30..60] at y = 50, run both ways), then a fixed pseudo-random series.
std::vector<std::vector<Box>> BoxSets() {
    std::vector<std::vector<Box>> sets = {{{10, 50, 70, 70}, {30, 50, 90, 70}, {20, 40, 60, 70}}};
    std::mt19937 random(20261208);
    for (int n = 0; n < 400; ++n) {
        std::vector<Box> boxes(2 + random() % 5);
        for (Box& box : boxes) {
            box.left = static_cast<int>(random() % 10) * 10;
            box.bottom = static_cast<int>(random() % 10) * 10;
            box.right = box.left + 10 + static_cast<int>(random() % 8) * 10;
            box.top = box.bottom + 10 + static_cast<int>(random() % 8) * 10;
        }
        sets.push_back(boxes);
    }
    return sets;
}

class RegionSeams : public ::testing::TestWithParam<SeamCase> {};

// Every operation's outlines share no edge, and cover what the boxes say, cell by cell.
TEST_P(RegionSeams, NoTwoOutlinesShareAnEdge) {
    for (const std::vector<Box>& boxes : BoxSets()) {
        std::vector<Region> shapes;
        for (const Box& box : boxes) {
            shapes.push_back(Square(box.left, box.top, box.right, box.bottom));
        }
        const Region result = GetParam().operate(shapes);
        EXPECT_DOUBLE_EQ(result.area(), CountedArea(boxes, GetParam().covered)) << boxes.size();
        EXPECT_FALSE(HasASeam(result))
            << boxes.size() << " boxes, the first at " << boxes.front().left << "," << boxes.front().bottom;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Boxes, RegionSeams,
    ::testing::Values(
        SeamCase{"excludedInOnePass",
                 [](const auto& shapes) { return CombinedOf(shapes, FillRule::evenOdd); },
                 [](int count, bool) { return count % 2 == 1; }},
        SeamCase{"excludedOneAtATime",
                 [](const auto& shapes) {
                     Region result = shapes.front();
                     for (std::size_t i = 1; i < shapes.size(); ++i) {
                         result = result.excluded(shapes[i]);
                     }
                     return result;
                 },
                 [](int count, bool) { return count % 2 == 1; }},
        SeamCase{"united", [](const auto& shapes) { return CombinedOf(shapes, FillRule::nonZero); },
                 [](int count, bool) { return count > 0; }},
        SeamCase{"subtracted", [](const auto& shapes) { return shapes.front().subtracted(RestOf(shapes)); },
                 [](int count, bool first) { return first && count == 1; }},
        SeamCase{"intersected", [](const auto& shapes) { return shapes.front().intersected(RestOf(shapes)); },
                 [](int count, bool first) { return first && count > 1; }},
        SeamCase{"fromPathsEvenOdd",
                 [](const auto& shapes) {
                     std::vector<PathGeometry> paths;
                     for (const Region& shape : shapes) {
                         paths.push_back(shape.outlines().front());
                     }
                     return Region::fromPaths(paths, FillRule::evenOdd);
                 },
                 [](int count, bool) { return count % 2 == 1; }}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace host::model
