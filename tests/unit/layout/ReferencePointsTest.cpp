// Anchor names in both modes, their directions and axes, and the bounds of lists of art with and
// without strokes and clipping.
#include <gtest/gtest.h>

#include <ostream>

#include "StandIn.h"
#include "layout/ReferencePoints.h"

namespace {

struct AnchorCase {
    const char* anchor;
    const char* mode;
    AIRealPoint point;
};

void PrintTo(const AnchorCase& c, std::ostream* out) {
    *out << "\"" << c.anchor << "\" " << c.mode;
}

// left 10, top 40, right 30, bottom 20: y grows upward.
constexpr AIRealRect kRect{10, 40, 30, 20};

class Anchors : public testing::TestWithParam<AnchorCase> {};

TEST_P(Anchors, NameAPointOfTheRectangle) {
    const AIRealPoint point = GetFixedPoint(kRect, GetParam().anchor, GetParam().mode);
    EXPECT_EQ(point.h, GetParam().point.h);
    EXPECT_EQ(point.v, GetParam().point.v);
}

INSTANTIATE_TEST_SUITE_P(
    Names, Anchors,
    testing::Values(AnchorCase{"TL", "distort", {10, 40}}, AnchorCase{"LT", "distort", {10, 40}},
                    AnchorCase{"topleft", "distort", {10, 40}}, AnchorCase{"T", "distort", {20, 40}},
                    AnchorCase{"TC", "distort", {20, 40}}, AnchorCase{"ct", "distort", {20, 40}},
                    AnchorCase{"Top", "distort", {20, 40}}, AnchorCase{"TR", "distort", {30, 40}},
                    AnchorCase{"rt", "distort", {30, 40}}, AnchorCase{"TopRight", "distort", {30, 40}},
                    AnchorCase{"L", "distort", {10, 30}}, AnchorCase{"LC", "distort", {10, 30}},
                    AnchorCase{"cl", "distort", {10, 30}}, AnchorCase{"LEFT", "distort", {10, 30}},
                    AnchorCase{"C", "distort", {20, 30}}, AnchorCase{"cc", "distort", {20, 30}},
                    AnchorCase{"Center", "distort", {20, 30}}, AnchorCase{"R", "distort", {30, 30}},
                    AnchorCase{"CR", "distort", {30, 30}}, AnchorCase{"rc", "distort", {30, 30}},
                    AnchorCase{"right", "distort", {30, 30}}, AnchorCase{"BL", "distort", {10, 20}},
                    AnchorCase{"lb", "distort", {10, 20}}, AnchorCase{"BottomLeft", "distort", {10, 20}},
                    AnchorCase{"B", "distort", {20, 20}}, AnchorCase{"BC", "distort", {20, 20}},
                    AnchorCase{"cb", "distort", {20, 20}}, AnchorCase{"BOTTOMCENTER", "distort", {20, 20}},
                    AnchorCase{"br", "distort", {30, 20}}, AnchorCase{"Rb", "distort", {30, 20}},
                    AnchorCase{"bottomRight", "distort", {30, 20}},
                    // Not names: the centre, or the top-left corner in the mode "move".
                    AnchorCase{"BOTTOM", "distort", {20, 30}}, AnchorCase{"TOPCENTER", "distort", {20, 30}},
                    AnchorCase{"", "distort", {20, 30}}, AnchorCase{" TL", "distort", {20, 30}},
                    AnchorCase{"T-L", "distort", {20, 30}}, AnchorCase{"BOTTOM", "move", {10, 40}},
                    AnchorCase{"", "move", {10, 40}},
                    // The document origin, except in the mode "move" (compared exactly).
                    AnchorCase{"DO", "distort", {0, 0}}, AnchorCase{"documentOrigin", "distort", {0, 0}},
                    AnchorCase{"do", "Move", {0, 0}}, AnchorCase{"DO", "move", {10, 40}},
                    // Names keep their meaning in the mode "move".
                    AnchorCase{"BR", "move", {30, 20}}, AnchorCase{"c", "move", {20, 30}}),
    [](const testing::TestParamInfo<AnchorCase>& info) { return "Case" + std::to_string(info.index); });

TEST(Anchors, AnEmptyRectangleGivesOnePointForEveryNameButTheOrigin) {
    const AIRealRect dot{5, 7, 5, 7};
    for (const char* name : {"TL", "T", "TR", "L", "C", "R", "BL", "B", "BR", "other"}) {
        const AIRealPoint point = GetFixedPoint(dot, name, "distort");
        EXPECT_EQ(point.h, 5) << name;
        EXPECT_EQ(point.v, 7) << name;
    }
    EXPECT_EQ(GetFixedPoint(dot, "DO", "distort").h, 0);
}

struct DirectionCase {
    const char* anchor;
    AIRealPoint vector;
    const char* axes;
};

void PrintTo(const DirectionCase& c, std::ostream* out) {
    *out << "\"" << c.anchor << "\"";
}

class Directions : public testing::TestWithParam<DirectionCase> {};

TEST_P(Directions, FollowFromTheAnchor) {
    const AIRealPoint vector = PointNameToVector(GetParam().anchor);
    EXPECT_EQ(vector.h, GetParam().vector.h);
    EXPECT_EQ(vector.v, GetParam().vector.v);
    EXPECT_EQ(PointNameToDirectionStr(GetParam().anchor), GetParam().axes);
}

INSTANTIATE_TEST_SUITE_P(
    Names, Directions,
    testing::Values(DirectionCase{"TL", {-1, 1}, "hv"}, DirectionCase{"t", {0, 1}, "v"},
                    DirectionCase{"TR", {1, 1}, "hv"}, DirectionCase{"L", {-1, 0}, "h"},
                    DirectionCase{"c", {0, 0}, "hv"}, DirectionCase{"R", {1, 0}, "h"},
                    DirectionCase{"BL", {-1, -1}, "hv"}, DirectionCase{"b", {0, -1}, "v"},
                    DirectionCase{"BR", {1, -1}, "hv"}, DirectionCase{"DO", {-1, 1}, "hv"},
                    DirectionCase{"nonsense", {-1, 1}, "hv"}, DirectionCase{"", {-1, 1}, "hv"}),
    [](const testing::TestParamInfo<DirectionCase>& info) { return "Case" + std::to_string(info.index); });

// --- Bounds of lists ------------------------------------------------------------------------------------

// Layer "Layer": "A" (stroke 2), "B", the empty group "Empty", the clip group "Clip" (its mask
// stroked 4, and a member far beyond it) and the group "Outer" holding the clip group "Nested" and
// the path "Beside".
class ListBounds : public testing::Test {
protected:
    void SetUp() override {
        using namespace unittest::doc;
        const json mask = With(Path("Mask", {0, 5, 5, 0}, 4), "clippingMask", true);
        const json nestedMask = With(Path("NestedMask", {100, 110, 110, 100}), "clippingMask", true);
        host.LoadLayers({Layer(
            "Layer", {Path("A", {0, 10, 10, 0}, 2), Path("B", {20, 30, 30, 20}), Group("Empty"),
                      With(Group("Clip", {mask, Path("Inside", {-50, 50, 50, -50})}), "clipped", true),
                      Group("Outer", {With(Group("Nested", {nestedMask, Path("Hidden", {0, 500, 500, 0})}),
                                           "clipped", true),
                                      Path("Beside", {120, 105, 130, 95})})})});
        a = host.Art("A");
        b = host.Art("B");
        empty = host.Art("Empty");
        clip = host.Art("Clip");
        outer = host.Art("Outer");
    }

    AIRealRect Bounds(const ArtList& arts, bool visible, bool clipping) {
        AIRealRect rect{-1, -1, -1, -1};
        EXPECT_TRUE(GetArtVectorBounds(arts, rect, {visible, clipping}));
        return rect;
    }

    unittest::StandIn host;
    ArtObject* a = nullptr;
    ArtObject* b = nullptr;
    ArtObject* empty = nullptr;
    ArtObject* clip = nullptr;
    ArtObject* outer = nullptr;
};

void ExpectRect(const AIRealRect& r, double left, double top, double right, double bottom) {
    EXPECT_EQ(r.left, left);
    EXPECT_EQ(r.top, top);
    EXPECT_EQ(r.right, right);
    EXPECT_EQ(r.bottom, bottom);
}

TEST_F(ListBounds, UniteTheArtWithOrWithoutStrokes) {
    ExpectRect(Bounds({a, b}, false, false), 0, 30, 30, 0);
    ExpectRect(Bounds({a, b}, true, false), -1, 30, 30, -1);
    ExpectRect(Bounds({a, b}, true, true), -1, 30, 30, -1);
}

TEST_F(ListBounds, ArtThatCantBeMeasuredIsLeftOut) {
    ExpectRect(Bounds({empty, b}, false, false), 20, 30, 30, 20);
    ExpectRect(Bounds({b, empty}, false, true), 20, 30, 30, 20);
}

TEST_F(ListBounds, FailOnlyWhenNothingCanBeMeasured) {
    AIRealRect rect{1, 2, 3, 4};
    EXPECT_FALSE(GetArtVectorBounds({empty}, rect, {}));
    EXPECT_FALSE(GetArtVectorBounds({}, rect, {.clipping = true}));
    ExpectRect(rect, 1, 2, 3, 4);
}

TEST_F(ListBounds, ClippingBoundsAreTheMasks) {
    ExpectRect(Bounds({clip}, false, true), 0, 5, 5, 0);
    ExpectRect(Bounds({outer}, false, true), 100, 110, 130, 95);
    // The mask measured as art of its own, stroke and all; the host's bounds of the clip group are
    // what shows through the mask, which paints nothing itself.
    ExpectRect(Bounds({clip}, true, true), -2, 7, 7, -2);
    ExpectRect(Bounds({clip}, true, false), 0, 5, 5, 0);
    // The host measures a clip group by its clipping path as well.
    ExpectRect(Bounds({clip}, false, false), 0, 5, 5, 0);
    ExpectRect(Bounds({outer}, false, false), 100, 110, 130, 95);
}

TEST_F(ListBounds, TheArtFormOfGetFixedPointMeasuresTheArt) {
    const std::optional<AIRealPoint> point = GetFixedPoint(a, "TR", "distort", {.visible = true});
    ASSERT_TRUE(point);
    EXPECT_EQ(point->h, 11);
    EXPECT_EQ(point->v, 11);
    EXPECT_FALSE(GetFixedPoint(empty, "TR", "distort", {}));
}

TEST_F(ListBounds, AFailingHostCallIsNoBounds) {
    host.Fail(kAIArtSuite, "GetArtTransformBounds");
    AIRealRect rect{};
    EXPECT_FALSE(GetArtVectorBounds({a, b}, rect, {}));
    EXPECT_FALSE(SearchStringToBoundingBox("", rect, {}));
}

}  // namespace
