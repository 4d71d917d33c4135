// Geometric and visible bounds of every kind of art, transformation, and text outlines.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <numbers>

#include "ModelTestSupport.h"

namespace host::model {
namespace {

using testing::addArt;
using testing::addRectangle;
using testing::findByName;

void expectRect(const Rect& actual, const Rect& expected) {
    ASSERT_EQ(actual.isEmpty(), expected.isEmpty());
    if (expected.isEmpty()) {
        return;
    }
    EXPECT_NEAR(actual.left, expected.left, 1e-9);
    EXPECT_NEAR(actual.top, expected.top, 1e-9);
    EXPECT_NEAR(actual.right, expected.right, 1e-9);
    EXPECT_NEAR(actual.bottom, expected.bottom, 1e-9);
}

struct SampleBoundsCase {
    const char* art;
    Rect geometric;
    Rect visible;
};

class SampleBounds : public ::testing::TestWithParam<SampleBoundsCase> {
protected:
    static const Document& sample() {
        static const Document document = testing::loadSample();
        return document;
    }
};

TEST_P(SampleBounds, AreAsTheArtDescribes) {
    const ArtId art = findByName(sample(), GetParam().art);
    ASSERT_TRUE(art) << GetParam().art;
    expectRect(*sample().bounds(art, BoundsKind::geometric), GetParam().geometric);
    expectRect(*sample().bounds(art, BoundsKind::visible), GetParam().visible);
}

INSTANTIATE_TEST_SUITE_P(
    Sample, SampleBounds,
    ::testing::Values(
        // A path without stroke: both bounds alike.
        SampleBoundsCase{"Backdrop", Rect(0, 600, 600, 0), Rect(0, 600, 600, 0)},
        // Half of the 0.5 stroke on every side.
        SampleBoundsCase{"Cell 1", Rect(20, 80, 60, 40), Rect(19.75, 80.25, 60.25, 39.75)},
        // A hidden object still has bounds.
        SampleBoundsCase{"Cell 3", Rect(120, 80, 160, 40), Rect(119.75, 80.25, 160.25, 39.75)},
        SampleBoundsCase{"Grid", Rect(20, 80, 160, 40), Rect(19.75, 80.25, 160.25, 39.75)},
        // The curve dips to three quarters of its control points' depth below the end points.
        SampleBoundsCase{"Swoosh", Rect(400, 430, 520, 407.5), Rect(398, 432, 522, 405.5)},
        // The compound path's own stroke (1) goes round the circle of radius 40 about (460, 500).
        SampleBoundsCase{"Mark", Rect(420, 540, 500, 460), Rect(419.5, 540.5, 500.5, 459.5)},
        SampleBoundsCase{"Logo", Rect(400, 540, 520, 407.5), Rect(398, 540.5, 522, 405.5)},
        // A clip group shows only what its mask lets through, whatever the raster's size.
        SampleBoundsCase{"Photo frame", Rect(300, 400, 520, 220), Rect(300, 400, 520, 220)},
        SampleBoundsCase{"Photo", Rect(260, 460, 660, 160), Rect(260, 460, 660, 160)},
        SampleBoundsCase{"Title", Rect(40, 560, 260, 530), Rect(40, 560, 260, 530)},
        SampleBoundsCase{"Curve caption", Rect(40, 130, 200, 100), Rect(40, 130, 200, 100)},
        // The symbol's 20-point square, doubled and moved by its matrix.
        SampleBoundsCase{"Star", Rect(540, 580, 580, 540), Rect(540, 580, 580, 540)},
        SampleBoundsCase{"Texture", Rect(0, 600, 600, 0), Rect(0, 600, 600, 0)}),
    [](const auto& info) {
        std::string name = info.param.art;
        std::erase(name, ' ');
        return name;
    });

TEST(Bounds, OfArtWithoutGeometryAreEmpty) {
    Document document;
    const ArtId group = addArt(document, ArtType::group, "G", PaintOrder::aboveAll);
    const ArtId path = addArt(document, ArtType::path, "P", PaintOrder::aboveAll);
    document.setStrokeWidth(path, 10);
    EXPECT_TRUE(document.bounds(group, BoundsKind::visible)->isEmpty());
    EXPECT_TRUE(document.bounds(path, BoundsKind::visible)->isEmpty())
        << "a stroke around nothing is nothing";
    const ArtId layerGroup = testing::layerGroupOf(document, document.layers().first());
    EXPECT_TRUE(document.bounds(layerGroup, BoundsKind::geometric)->isEmpty());
}

TEST(Bounds, OfAStraightLineHaveZeroHeightButAreNotEmpty) {
    Document document;
    const ArtId line = addArt(document, ArtType::path, "line", PaintOrder::aboveAll);
    document.editContent<PathContent>(line)->geometry.segments = {Segment::straight({0, 5}),
                                                                  Segment::straight({10, 5})};
    const Rect bounds = *document.bounds(line, BoundsKind::geometric);
    EXPECT_FALSE(bounds.isEmpty());
    EXPECT_EQ(bounds, Rect(0, 5, 10, 5));
    document.setStrokeWidth(line, 2);
    EXPECT_EQ(*document.bounds(line, BoundsKind::visible), Rect(-1, 6, 11, 4));
}

TEST(Bounds, AClipGroupWithoutMaskUnitesItsMembers) {
    Document document;
    const ArtId group = addArt(document, ArtType::group, "G", PaintOrder::aboveAll);
    document.editContent<GroupContent>(group)->clipped = true;
    addRectangle(document, "a", Rect(0, 10, 10, 0), PaintOrder::insideOnTop, group);
    addRectangle(document, "b", Rect(20, 30, 30, 20), PaintOrder::insideOnTop, group);
    EXPECT_EQ(*document.bounds(group, BoundsKind::geometric), Rect(0, 30, 30, 0));
}

TEST(Bounds, UnderAMatrixAreThoseOfTheTransformedArt) {
    const Document document = testing::loadSample();
    const ArtId cell = findByName(document, "Cell 1");
    const Matrix turn = Matrix::rotation(std::numbers::pi / 2);
    expectRect(*document.bounds(cell, BoundsKind::geometric, turn), Rect(-80, 60, -40, 20));
    expectRect(*document.bounds(cell, BoundsKind::visible, Matrix::translation(100, 0)),
               Rect(119.75, 80.25, 160.25, 39.75));
    EXPECT_EQ(
        document
            .bounds(cell, BoundsKind::geometric, Matrix::scaling(std::numeric_limits<double>::infinity(), 1))
            .status(),
        Status::badParameter);
}

TEST(Transform, MovesEveryKindOfArtBelowTheObject) {
    Document document = testing::loadSample();
    const ArtId foreground = testing::layerGroupOf(document, document.layers().first());
    const std::vector<ArtId> art = *document.artTree(foreground);
    std::vector<Rect> before;
    for (const ArtId id : art) {
        before.push_back(*document.bounds(id, BoundsKind::visible));
    }
    ASSERT_EQ(document.transform(foreground, Matrix::translation(10, -20)), Status::ok);
    for (std::size_t i = 0; i < art.size(); ++i) {
        SCOPED_TRACE(document.name(art[i])->text);
        const Rect after = *document.bounds(art[i], BoundsKind::visible);
        expectRect(after, Rect(before[i].left + 10, before[i].top - 20, before[i].right + 10,
                               before[i].bottom - 20));
    }
    EXPECT_EQ(document.transform(foreground, Matrix::scaling(std::nan(""), 1)), Status::badParameter);
}

// Two shapes: a square of one contour, and a ring of two contours in red.
std::vector<OutlineShape> TwoShapes() {
    const PathGeometry square = PathGeometry::rectangle(Rect(0, 10, 10, 0));
    return {{{square}, ArtStyle::basic(Color::black(), std::nullopt, 0)},
            {{PathGeometry::rectangle(Rect(20, 10, 30, 0)), PathGeometry::rectangle(Rect(22, 8, 28, 2))},
             ArtStyle::basic(Color::rgb(1, 0, 0), std::nullopt, 0)}};
}

TEST(Outline, OfATextFrameIsAGroupOfAPathOrCompoundPathPerShapeAboveIt) {
    Document document = testing::loadSample();
    const ArtId price = findByName(document, "Price");
    const Result<ArtId> outline = document.createOutline(price, TwoShapes());
    ASSERT_TRUE(outline.ok());
    EXPECT_EQ(*document.type(*outline), ArtType::group);
    EXPECT_EQ(*document.nextSibling(*outline), price) << "directly above the frame, which stays";
    const std::vector<ArtId> shapes = *document.children(*outline);
    ASSERT_EQ(shapes.size(), 2u);
    // Children are listed top first: the second shape was put on top of the first.
    EXPECT_EQ(*document.type(shapes[1]), ArtType::path);
    EXPECT_EQ(*document.type(shapes[0]), ArtType::compoundPath);
    EXPECT_EQ(document.children(shapes[0])->size(), 2u);
    EXPECT_EQ(*document.style(shapes[0]), TwoShapes()[1].style);
    EXPECT_EQ(*document.bounds(*outline, BoundsKind::geometric), Rect(0, 10, 30, 0));
    EXPECT_TRUE(document.tags(*outline)->empty()) << "carrying tags over is the caller's business";
}

TEST(Outline, ReplacingDisposesOfTheFrame) {
    Document document = testing::loadSample();
    const ArtId caption = findByName(document, "Curve caption");
    const Result<ArtId> outline = document.replaceWithOutline(caption, TwoShapes());
    ASSERT_TRUE(outline.ok());
    EXPECT_FALSE(document.isValid(caption));
}

TEST(Outline, NeedsATextFrameAndAShape) {
    Document document = testing::loadSample();
    EXPECT_EQ(document.createOutline(findByName(document, "Backdrop"), TwoShapes()).status(),
              Status::wrongType);
    const ArtId empty = *document.newArt(ArtType::textFrame, PaintOrder::aboveAll, ArtId{});
    const std::size_t count = document.documentOrder().size();
    EXPECT_EQ(document.replaceWithOutline(empty, {}).status(), Status::notFound);
    EXPECT_TRUE(document.isValid(empty)) << "a failed outline leaves the frame";
    EXPECT_EQ(document.documentOrder().size(), count);
}

}  // namespace
}  // namespace host::model
