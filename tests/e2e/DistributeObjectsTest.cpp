// "distributeObjects" on the layout example: equal anchor steps, equal gaps, stacking at a gap,
// document order, artboards and key objects, and the error replies.
#include "LayoutFixture.h"

namespace {

using layouttest::ErrorCase;
using layouttest::ExpectPoints;
using layouttest::GeometryErrors;
using layouttest::kA;
using layouttest::kB;
using layouttest::kC;
using layouttest::LayoutTest;
using layouttest::Moved;
using layouttest::Rectangle;

using DistributeCase = layouttest::BoxesCase;
class DistributeBoxes : public layouttest::BoxMoves {};

TEST_P(DistributeBoxes, SpacesTheObjects) {
    const json reply = ScriptJson("distributeObjects", GetParam().request);
    EXPECT_FALSE(reply.contains("error")) << reply.dump();
    ExpectBoxesMoved();
}

INSTANTIATE_TEST_SUITE_P(
    Modes, DistributeBoxes,
    testing::Values(
        DistributeCase{
            "EqualCentreSteps", R"({"tagSearch":"box","direction":"h"})", {0, 0}, {-10, 0}, {0, 0}},
        DistributeCase{"EqualTopSteps", R"({"tagSearch":"box","anchorPoint":"T"})", {0, 0}, {0, -20}, {0, 0}},
        DistributeCase{
            "EqualGaps", R"({"tagSearch":"box","distributeSpacing":"h"})", {0, 0}, {-5, 0}, {0, 0}},
        DistributeCase{"GapsOverlapWhenTheObjectsDontFit",
                       R"({"tagSearch":"box","keyArt":"raster","distributeSpacing":"h"})",
                       {390, 0},
                       {290, 0},
                       {200, 0}},
        DistributeCase{"AcrossAnArtboard",
                       R"({"tagSearch":"box","artboardNumber":2,"direction":"h"})",
                       {690, 0},
                       {675, 0},
                       {680, 0}},
        DistributeCase{"StackedRightOfTheKey",
                       R"({"tagSearch":"box","keyArt":"raster","gap":5,"direction":"h","place":"R"})",
                       {415, 0},
                       {370, 0},
                       {335, 0}},
        DistributeCase{
            "StackedInInches",
            R"({"tagSearch":"box","keyArt":"raster","gap":1,"units":"in","direction":"h","place":"R"})",
            {482, 0},
            {504, 0},
            {536, 0}},
        DistributeCase{"StackedLeftAndAboveByDefault",
                       R"({"tagSearch":"a|b","keyArt":"raster","gap":10,"anchorPoint":"C"})",
                       {270, 180},
                       {230, 140},
                       {0, 0}},
        DistributeCase{"ASecondObjectStacksAtTheGapFromTheFirst",
                       R"({"tagSearch":"a|b","gap":10,"direction":"h","place":"R"})",
                       {0, 0},
                       {-40, 0},
                       {0, 0}},
        DistributeCase{"OneObjectStacksBesideTheKey",
                       R"({"tagSearch":"a","keyArt":"b","gap":5,"direction":"h","place":"L"})",
                       {45, 0},
                       {0, 0},
                       {0, 0}},
        DistributeCase{"OneObjectIsAlignedToTheKey",
                       R"({"tagSearch":"a","keyArt":"b","anchorPoint":"BL"})",
                       {90, -10},
                       {0, 0},
                       {0, 0}}),
    [](const testing::TestParamInfo<DistributeCase>& info) { return std::string(info.param.name); });

using Distribute = LayoutTest;

TEST_F(Distribute, RepliesWithTheArtboardKeys) {
    EXPECT_EQ(Script("distributeObjects", R"({"tagSearch":"box","uid":"d","artboardNumber":0})"),
              R"({"artboardName":"","eventType":"distributeObjects","tagSearch":"box","uid":"d"})");
}

TEST_F(Distribute, DocumentOrderInsteadOfPositions) {
    Script("translate", R"({"tagSearch":"c","deltaX":-300})");
    Script("distributeObjects", R"({"tagSearch":"box","direction":"h","zOrder":true})");
    ExpectPoints(AnchorsOf("A"), Moved(kA, -110, 0), "A");
    ExpectPoints(AnchorsOf("B"), Moved(kB, -95, 0), "B");
    ExpectPoints(AnchorsOf("C"), Moved(kC, -60, 0), "C");
}

TEST_F(Distribute, PositionsOrderTheObjectsByDefault) {
    Script("translate", R"({"tagSearch":"c","deltaX":-300})");
    Script("distributeObjects", R"({"tagSearch":"box","direction":"h"})");
    ExpectPoints(AnchorsOf("A"), Moved(kA, -10, 0), "A");
    ExpectPoints(AnchorsOf("B"), kB, "B");
    ExpectPoints(AnchorsOf("C"), Moved(kC, -300, 0), "C");
}

TEST_F(Distribute, TheStrokeInBoundsPreferenceMeasuresWithStrokes) {
    app->Preferences().Set("", "includeStrokeInBounds", true);
    Script("distributeObjects", R"({"tagSearch":"a|b","gap":10,"direction":"h","place":"R"})");
    // A reaches to 52 with its stroke and B starts at 99 with its own: B's stroke now starts at 62.
    ExpectPoints(AnchorsOf("B"), Moved(kB, 62 - 99, 0), "B");
}

// Objects without bounds ("Empty") are left where they are, with the warning alignObjects gives.
struct UnmeasuredCase {
    const char* request;
    const char* reply;
};
class DistributeUnmeasured : public LayoutTest, public testing::WithParamInterface<UnmeasuredCase> {};

TEST_P(DistributeUnmeasured, WarnsOfObjectsWithoutBounds) {
    EXPECT_EQ(Script("distributeObjects", GetParam().request), GetParam().reply);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DistributeUnmeasured,
    testing::Values(
        // One object left to measure: nothing moves.
        UnmeasuredCase{
            R"({"tagSearch":"hollow","direction":"h"})",
            R"({"artboardName":"","eventType":"distributeObjects","tagSearch":"hollow","warning":"Objects whose bounds can't be read were left as they were"})"},
        UnmeasuredCase{
            R"({"tagSearch":"box|hollow","direction":"h"})",
            R"({"artboardName":"","eventType":"distributeObjects","tagSearch":"box|hollow","warning":"Objects whose bounds can't be read were left as they were"})"},
        UnmeasuredCase{
            R"({"tagSearch":"box|hollow","gap":5,"direction":"v"})",
            R"({"artboardName":"","eventType":"distributeObjects","tagSearch":"box|hollow","warning":"Objects whose bounds can't be read were left as they were"})"},
        UnmeasuredCase{R"({"tagSearch":"box","direction":"h"})",
                       R"({"artboardName":"","eventType":"distributeObjects","tagSearch":"box"})"}));

TEST_F(Distribute, OneMeasurableObjectStaysWhereItIs) {
    Script("distributeObjects", R"({"tagSearch":"hollow","direction":"h"})");
    ExpectPoints(AnchorsOf("H"), Rectangle(500, 100, 540, 60), "H");
}

INSTANTIATE_TEST_SUITE_P(
    DistributeReplies, GeometryErrors,
    testing::Values(
        ErrorCase{
            "distributeObjects", "{}",
            R"({"artboardName":"","error":"Art to distribute not found","eventType":"distributeObjects","tagSearch":""})"},
        ErrorCase{
            "distributeObjects", R"({"tagSearch":"zzz"})",
            R"({"artboardName":"","error":"Art to distribute not found","eventType":"distributeObjects","tagSearch":"zzz"})"},
        ErrorCase{
            "distributeObjects", R"({"tagSearch":"a"})",
            R"({"artboardName":"","error":"Art to distribute not found. Two objects or more are needed to distribute objects","eventType":"distributeObjects","tagSearch":"a"})"},
        ErrorCase{
            "distributeObjects", R"({"tagSearch":"box","direction":"x"})",
            R"({"artboardName":"","error":"No valid value of direction or distributeSpacing","eventType":"distributeObjects","tagSearch":"box"})"},
        ErrorCase{
            "distributeObjects", R"({"tagSearch":"box","artboardNumber":9})",
            R"({"artboardName":"","artboardNumber":9,"error":"Can't get an artboard position","eventType":"distributeObjects","tagSearch":"box"})"},
        ErrorCase{
            "distributeObjects", R"({"tagSearch":"box","artboardName":"Nope"})",
            R"({"artboardName":"Nope","error":"Can't get an artboard position","eventType":"distributeObjects","tagSearch":"box"})"},
        ErrorCase{
            "distributeObjects", R"({"tagSearch":"box","keyArt":"zzz","gap":5})",
            R"({"artboardName":"","error":"Key art not found","eventType":"distributeObjects","tagSearch":"box"})"},
        ErrorCase{
            "distributeObjects", R"({"tagSearch":"box","keyArt":"zzz"})",
            R"({"artboardName":"","error":"Key art not found","eventType":"distributeObjects","tagSearch":"box"})"},
        ErrorCase{
            "distributeObjects", R"({"tagSearch":"box","keyArt":"hollow","gap":5})",
            R"({"artboardName":"","error":"Key art not found","eventType":"distributeObjects","tagSearch":"box"})"},
        ErrorCase{"distributeObjects", R"({"tagSearch":"box","gap":"5"})",
                  R"({"error":"\"gap\" must be a number","eventType":"distributeObjects"})"},
        ErrorCase{"distributeObjects", R"({"tagSearch":"box","zOrder":"yes"})",
                  R"({"error":"\"zOrder\" must be true or false","eventType":"distributeObjects"})"}),
    [](const testing::TestParamInfo<ErrorCase>& info) { return "Case" + std::to_string(info.index); });

TEST(DistributeThroughPlimhost, SavesTheDistributedArt) {
    const layouttest::PlimhostRun run =
        layouttest::RunPlimhost(layouttest::LayoutExample(),
                                "distributeObjects {\"tagSearch\":\"box\",\"distributeSpacing\":\"h\"}\n");
    ASSERT_EQ(run.status, 0);
    ASSERT_EQ(run.lines.size(), 1u);
    ExpectPoints(layouttest::ReadSavedArt(*layouttest::FindArt(run.saved, "B")).anchors, Moved(kB, -5, 0),
                 "B");
}

}  // namespace
