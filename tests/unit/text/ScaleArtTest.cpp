// Scaling art about a point, and scaling every object with the corner preference restored.
#include <gtest/gtest.h>

#include "AIArt.h"
#include "StandIn.h"
#include "core/Preferences.h"
#include "text/ScaleArt.h"

namespace {

constexpr const char* kSquares = R"({"format": "plimhost-document", "version": 1, "layers": [
  {"type": "layer", "title": "L", "children": [
    {"type": "path", "name": "A", "closed": true, "segments": [{"anchor": [0, 100]}, {"anchor": [50, 100]},
      {"anchor": [50, 20]}, {"anchor": [0, 20]}]},
    {"type": "path", "name": "B", "closed": true, "segments": [{"anchor": [200, 10]}, {"anchor": [210, 10]},
      {"anchor": [210, 0]}, {"anchor": [200, 0]}]}]}]})";

AIRealRect Bounds(ArtObject* art) {
    AIRealRect bounds{};
    EXPECT_EQ(sAIArt->GetArtBounds(art, &bounds), kNoErr);
    return bounds;
}

TEST(ScaleMatrix, KeepsItsPointAndScalesAboutIt) {
    unittest::StandIn host;
    const AIRealMatrix m = CreateScaleMatrixWithStaticPoint(2, 2, {10, 10});
    for (const auto& [in, out] : {std::pair{AIRealPoint{10, 10}, AIRealPoint{10, 10}},
                                  std::pair{AIRealPoint{20, 10}, AIRealPoint{30, 10}},
                                  std::pair{AIRealPoint{0, 0}, AIRealPoint{-10, -10}}}) {
        AIRealPoint mapped;
        sAIRealMath->AIRealMatrixXformPoint(&m, &in, &mapped);
        EXPECT_DOUBLE_EQ(mapped.h, out.h);
        EXPECT_DOUBLE_EQ(mapped.v, out.v);
    }
}

TEST(ScaleAllObjects, ScalesAboutTheCornerAndPutsTheCornerPolicyBack) {
    struct Case {
        int before;
        int after;
    };
    for (const Case c : {Case{2, 2}, Case{1, 1}, Case{0, 1}}) {
        unittest::StandIn host;
        host.Load(kSquares);
        ASSERT_TRUE(WritePluginPrefInt("", "policyForPreservingCorners", c.before));
        ArtObject* a = host.Art("A");
        const AIRealRect before = Bounds(a);
        EXPECT_TRUE(
            ScaleAllObjects({a}, CreateScaleMatrixWithStaticPoint(1, 0.5, {before.left, before.top})));
        const AIRealRect after = Bounds(a);
        EXPECT_DOUBLE_EQ(after.left, before.left);
        EXPECT_DOUBLE_EQ(after.top, before.top);
        EXPECT_DOUBLE_EQ(after.right, before.right);
        EXPECT_DOUBLE_EQ(after.bottom, 60) << "half the height, from the top";
        int policy = -1;
        EXPECT_TRUE(ReadPluginPrefInt("", "policyForPreservingCorners", policy));
        EXPECT_EQ(policy, c.after);
    }
}

TEST(ScaleAllObjects, StopsAtTheFirstArtThatFails) {
    unittest::StandIn host;
    host.Load(kSquares);
    ArtObject* a = host.Art("A");
    ArtObject* gone = host.Art("B");
    ASSERT_EQ(sAIArt->DisposeArt(gone), kNoErr);
    const AIRealRect before = Bounds(a);
    EXPECT_FALSE(ScaleAllObjects({a, gone, a}, CreateScaleMatrixWithStaticPoint(2, 2, {0, 0})));
    EXPECT_DOUBLE_EQ(Bounds(a).right, 2 * before.right)
        << "scaled once: the art before the failure stays scaled, the art after it is left";
    EXPECT_TRUE(ScaleAllObjects({}, CreateScaleMatrixWithStaticPoint(2, 2, {0, 0})));
}

}  // namespace
