// Rectangles (y up), matrices and the exact bounds of path geometry.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "model/Matrix.h"
#include "model/PathGeometry.h"
#include "model/Rect.h"

namespace host::model {
namespace {

TEST(Rect, ZeroHeightOrWidthIsNotEmpty) {
    EXPECT_FALSE(Rect(0, 5, 10, 5).isEmpty());
    EXPECT_FALSE(Rect(3, 10, 3, 0).isEmpty());
    EXPECT_FALSE(Rect(3, 3, 3, 3).isEmpty());
    EXPECT_TRUE(Rect(10, 5, 0, 0).isEmpty());
    EXPECT_TRUE(Rect(0, 0, 10, 5).isEmpty()) << "top below bottom is inverted in y-up space";
    EXPECT_TRUE(Rect().isEmpty());
}

TEST(Rect, UnionKeepsLinesAndSkipsEmpty) {
    const Rect line(0, 5, 10, 5);
    EXPECT_EQ(Rect().united(line), line);
    EXPECT_EQ(line.united(Rect()), line);
    EXPECT_EQ(line.united(Rect(20, 30, 25, 8)), Rect(0, 30, 25, 5));
    EXPECT_EQ(Rect().united(Point{2, 3}), Rect(2, 3, 2, 3));
}

TEST(Rect, IntersectionOfTouchingRectanglesIsTheirCommonEdge) {
    const Rect left(0, 10, 5, 0);
    const Rect right(5, 10, 9, 0);
    EXPECT_TRUE(left.intersects(right));
    EXPECT_EQ(left.intersected(right), Rect(5, 10, 5, 0));
    EXPECT_FALSE(left.intersects(Rect(6, 10, 9, 0)));
    EXPECT_TRUE(left.intersected(Rect(6, 10, 9, 0)).isEmpty());
}

TEST(Rect, SizesAndInflation) {
    const Rect rect(10, 50, 40, 20);
    EXPECT_EQ(rect.width(), 30);
    EXPECT_EQ(rect.height(), 30);
    EXPECT_EQ(rect.center(), (Point{25, 35}));
    EXPECT_EQ(rect.inflated(1, 2), Rect(9, 52, 41, 18));
    EXPECT_TRUE(Rect().inflated(5, 5).isEmpty());
    EXPECT_EQ(Rect().width(), 0);
    EXPECT_EQ(Rect::spanning({5, 1}, {2, 8}), Rect(2, 8, 5, 1));
}

TEST(Matrix, MapsAndComposesInOrder) {
    const Matrix scale = Matrix::scaling(2, 3);
    const Matrix move = Matrix::translation(10, 20);
    EXPECT_EQ(scale.then(move).map({1, 1}), (Point{12, 23}));
    EXPECT_EQ(move.then(scale).map({1, 1}), (Point{22, 63}));
    EXPECT_TRUE(Matrix::identity().isIdentity());
    EXPECT_FALSE(move.isIdentity());
}

TEST(Matrix, RotationIsCounterClockwiseWithYUp) {
    const Point turned = Matrix::rotation(std::numbers::pi / 2).map({1, 0});
    EXPECT_NEAR(turned.x, 0, 1e-12);
    EXPECT_NEAR(turned.y, 1, 1e-12);
}

TEST(Matrix, InverseUndoesTheTransformation) {
    const Matrix m = Matrix::rotation(0.3).then(Matrix::scaling(2, 0.5)).then(Matrix::translation(7, -4));
    const auto inverse = m.inverted();
    ASSERT_TRUE(inverse.has_value());
    const Point back = inverse->map(m.map({3, 9}));
    EXPECT_NEAR(back.x, 3, 1e-9);
    EXPECT_NEAR(back.y, 9, 1e-9);
    EXPECT_FALSE(Matrix::scaling(0, 1).inverted().has_value());
}

TEST(Matrix, MapRectGivesTheBoundingBoxOfTheCorners) {
    const Rect rotated = Matrix::rotation(std::numbers::pi / 4).mapRect(Rect(-1, 1, 1, -1));
    EXPECT_NEAR(rotated.right, std::sqrt(2.0), 1e-12);
    EXPECT_NEAR(rotated.top, std::sqrt(2.0), 1e-12);
    EXPECT_TRUE(Matrix::translation(5, 5).mapRect(Rect()).isEmpty());
}

struct PathBoundsCase {
    const char* label;
    PathGeometry path;
    Rect expected;
};

class PathBounds : public ::testing::TestWithParam<PathBoundsCase> {};

TEST_P(PathBounds, AreTheExtremesOfTheCurves) {
    const Rect bounds = GetParam().path.bounds();
    const Rect& expected = GetParam().expected;
    ASSERT_EQ(bounds.isEmpty(), expected.isEmpty());
    if (expected.isEmpty()) {
        return;
    }
    EXPECT_NEAR(bounds.left, expected.left, 1e-9);
    EXPECT_NEAR(bounds.top, expected.top, 1e-9);
    EXPECT_NEAR(bounds.right, expected.right, 1e-9);
    EXPECT_NEAR(bounds.bottom, expected.bottom, 1e-9);
}

Segment smooth(Point anchor, Point in, Point out) {
    return {anchor, in, out, false};
}

INSTANTIATE_TEST_SUITE_P(
    Paths, PathBounds,
    ::testing::Values(
        PathBoundsCase{"empty", {}, Rect()},
        PathBoundsCase{"one anchor", {{Segment::straight({4, 5})}, false}, Rect(4, 5, 4, 5)},
        PathBoundsCase{"horizontal line",
                       {{Segment::straight({0, 5}), Segment::straight({10, 5})}, false},
                       Rect(0, 5, 10, 5)},
        PathBoundsCase{"rectangle", PathGeometry::rectangle(Rect(1, 9, 7, 2)), Rect(1, 9, 7, 2)},
        // The arch peaks at t = 0.5 at three quarters of its control points' height.
        PathBoundsCase{"arch",
                       {{smooth({0, 0}, {0, 0}, {0, 10}), smooth({10, 0}, {10, 10}, {10, 0})}, false},
                       Rect(0, 7.5, 10, 0)},
        // Closing the arch adds the straight segment back, which lies inside the same bounds.
        PathBoundsCase{"closed arch",
                       {{smooth({0, 0}, {0, 0}, {0, 10}), smooth({10, 0}, {10, 10}, {10, 0})}, true},
                       Rect(0, 7.5, 10, 0)},
        // Control points far outside do not count, only the curve does.
        PathBoundsCase{"s-curve",
                       {{smooth({0, 0}, {0, 0}, {0, 30}), smooth({10, 0}, {10, -30}, {10, 0})}, false},
                       Rect(0, 8.660254037844386, 10, -8.660254037844386)},
        // x = 10 + 30 t^2 (1 - t) on the curved segment, at most 10 + 40/9 at t = 2/3.
        PathBoundsCase{
            "open hook",
            {{Segment::straight({0, 0}), Segment::straight({10, 0}), smooth({10, 10}, {20, 5}, {10, 10})},
             false},
            Rect(0, 10, 10 + 40.0 / 9, 0)}),
    [](const auto& info) {
        std::string name = info.param.label;
        for (char& c : name) {
            if (!std::isalnum(static_cast<unsigned char>(c))) {
                c = '_';
            }
        }
        return name;
    });

TEST(PathGeometry, TransformMovesAnchorsAndDirections) {
    PathGeometry path{{smooth({0, 0}, {-1, 0}, {1, 0})}, false};
    path.transform(Matrix::translation(5, 6));
    EXPECT_EQ(path.segments[0].anchor, (Point{5, 6}));
    EXPECT_EQ(path.segments[0].in, (Point{4, 6}));
    EXPECT_EQ(path.segments[0].out, (Point{6, 6}));
}

}  // namespace
}  // namespace host::model
