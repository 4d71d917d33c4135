// "alignObjects" on the layout example: every way of choosing the reference, target and axes,
// offsets, bounds with and without strokes, and the error replies.
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

// The requests' keys besides "tagSearch": "box".
using AlignCase = layouttest::BoxesCase;
class AlignBoxes : public layouttest::BoxMoves {};

TEST_P(AlignBoxes, MovesEachObjectToTheTarget) {
    json request = json::parse(GetParam().request);
    request["tagSearch"] = "box";
    const json reply = ScriptJson("alignObjects", request.dump());
    EXPECT_FALSE(reply.contains("error")) << reply.dump();
    ExpectBoxesMoved();
}

INSTANTIATE_TEST_SUITE_P(
    Modes, AlignBoxes,
    testing::Values(
        // The empty anchor is the centre but not a centre name: horizontally to the common centre.
        AlignCase{"Defaults", "{}", {85, 0}, {-15, 0}, {-95, 0}},
        AlignCase{"CentreOnBothAxes", R"({"anchorPoint":"C"})", {85, 0}, {-15, 10}, {-95, 0}},
        AlignCase{"CentreToCentreMovesHorizontally",
                  R"({"anchorPoint":"C","targetAnchorPoint":"C"})",
                  {85, 0},
                  {-15, 0},
                  {-95, 0}},
        AlignCase{"LeftEdgesToAnArtboard",
                  R"({"anchorPoint":"L","artboardNumber":1})",
                  {-10, 0},
                  {-100, 0},
                  {-200, 0}},
        AlignCase{"ExplicitDirection",
                  R"({"anchorPoint":"L","direction":"v","artboardNumber":1})",
                  {0, -70},
                  {0, -60},
                  {0, -70}},
        AlignCase{"RelativeOffsetKeepsTheObjectsInside",
                  R"({"anchorPoint":"L","relOffset":100,"artboardName":"Main"})",
                  {530, 0},
                  {440, 0},
                  {340, 0}},
        AlignCase{"RelativeOffsetWithoutInclusive",
                  R"({"anchorPoint":"L","relOffset":50,"inclusive":false,"artboardNumber":1})",
                  {290, 0},
                  {200, 0},
                  {100, 0}},
        AlignCase{"RelativeOffsetVertically",
                  R"({"anchorPoint":"B","relOffset":100,"artboardNumber":1})",
                  {0, 150},
                  {0, 160},
                  {0, 180}},
        AlignCase{"RelativeOffsetOnTheCentreDoesNothing",
                  R"({"anchorPoint":"C","relOffset":50,"artboardNumber":1})",
                  {270, -70},
                  {170, -60},
                  {90, -70}},
        AlignCase{"AbsoluteOffsetTowardsTheObjects",
                  R"({"anchorPoint":"L","artboardName":"Side","absOffset":10})",
                  {680, 0},
                  {590, 0},
                  {490, 0}},
        AlignCase{"AbsoluteOffsetInInches",
                  R"({"anchorPoint":"L","artboardName":"Side","absOffset":1,"units":"in"})",
                  {618, 0},
                  {528, 0},
                  {428, 0}},
        AlignCase{"KeyArt", R"({"keyArt":"placed","anchorPoint":"T"})", {0, 110}, {0, 120}, {0, 80}},
        AlignCase{"PreviewBounds",
                  R"({"anchorPoint":"L","artboardNumber":1,"usePreviewBounds":true})",
                  {-8, 0},
                  {-99, 0},
                  {-200, 0}},
        AlignCase{"LenientKeysKeepTheirDefaults",
                  R"({"anchorPoint":"L","artboardNumber":1,"usePreviewBounds":"yes"})",
                  {-10, 0},
                  {-100, 0},
                  {-200, 0}}),
    [](const testing::TestParamInfo<AlignCase>& info) { return std::string(info.param.name); });

using Align = LayoutTest;

TEST_F(Align, RepliesWithTheArtboardKeys) {
    EXPECT_EQ(Script("alignObjects", R"({"tagSearch":"box","uid":"u"})"),
              R"({"artboardName":"","eventType":"alignObjects","tagSearch":"box","uid":"u"})");
    EXPECT_EQ(Script("alignObjects", R"({"tagSearch":"box","artboardNumber":0,"artboardName":"Side"})"),
              R"({"artboardName":"Side","artboardNumber":0,"eventType":"alignObjects","tagSearch":"box"})");
}

TEST_F(Align, TheStrokeInBoundsPreferenceMeasuresWithStrokes) {
    app->Preferences().Set("", "includeStrokeInBounds", true);
    Script("alignObjects", R"({"tagSearch":"a","anchorPoint":"L","artboardNumber":1})");
    ExpectPoints(AnchorsOf("A"), Moved(kA, -8, 0), "A");
}

TEST_F(Align, ArtWithoutBoundsIsSkippedWithAWarning) {
    EXPECT_EQ(
        Script("alignObjects", R"({"tagSearch":"hollow","anchorPoint":"L","artboardNumber":1})"),
        R"({"artboardName":"","artboardNumber":1,"eventType":"alignObjects","tagSearch":"hollow","warning":"Objects whose bounds can't be read were left as they were"})");
    ExpectPoints(AnchorsOf("H"), Rectangle(0, 100, 40, 60), "H");
}

INSTANTIATE_TEST_SUITE_P(
    AlignReplies, GeometryErrors,
    testing::Values(
        ErrorCase{
            "alignObjects", "{}",
            R"({"artboardName":"","error":"Art to align not found","eventType":"alignObjects","tagSearch":""})"},
        ErrorCase{
            "alignObjects", R"({"tagSearch":"zzz"})",
            R"({"artboardName":"","error":"Art to align not found","eventType":"alignObjects","tagSearch":"zzz"})"},
        ErrorCase{
            "alignObjects", R"({"tagSearch":"box","artboardName":"Nope"})",
            R"({"artboardName":"Nope","error":"Can't get an artboard position","eventType":"alignObjects","tagSearch":"box"})"},
        ErrorCase{
            "alignObjects", R"({"tagSearch":"box","keyArt":"zzz"})",
            R"({"artboardName":"","error":"Key art not found","eventType":"alignObjects","tagSearch":"box"})"},
        ErrorCase{
            "alignObjects", R"({"tagSearch":"box","artboardNumber":5})",
            R"({"artboardName":"","artboardNumber":5,"error":"Can't get an artboard position","eventType":"alignObjects","tagSearch":"box"})"},
        ErrorCase{
            "alignObjects", R"({"tagSearch":"box","anchorPoint":"L","relOffset":50,"keyArt":"raster"})",
            R"({"artboardName":"","error":"Can't apply the inclusive option. Objects don't fit inside the target rect.","eventType":"alignObjects","tagSearch":"box"})"},
        ErrorCase{"alignObjects", R"({"tagSearch":"box","relOffset":"5"})",
                  R"({"error":"\"relOffset\" must be a number","eventType":"alignObjects"})"},
        ErrorCase{"alignObjects", R"({"tagSearch":"box","artboardNumber":"1"})",
                  R"({"error":"\"artboardNumber\" must be a number","eventType":"alignObjects"})"},
        ErrorCase{"alignObjects", R"({"tagSearch":"box","inclusive":1})",
                  R"({"error":"\"inclusive\" must be true or false","eventType":"alignObjects"})"}),
    [](const testing::TestParamInfo<ErrorCase>& info) { return "Case" + std::to_string(info.index); });

TEST(AlignThroughPlimhost, SavesTheAlignedArt) {
    const layouttest::PlimhostRun run = layouttest::RunPlimhost(
        layouttest::LayoutExample(),
        "alignObjects {\"tagSearch\":\"box\",\"anchorPoint\":\"TR\",\"artboardNumber\":2}\n");
    ASSERT_EQ(run.status, 0);
    ASSERT_EQ(run.lines.size(), 1u);
    EXPECT_EQ(run.lines[0],
              R"({"artboardName":"","artboardNumber":2,"eventType":"alignObjects","tagSearch":"box"})");
    // The top-right corners meet "Side"'s at (900, 300).
    ExpectPoints(layouttest::ReadSavedArt(*layouttest::FindArt(run.saved, "B")).anchors,
                 Rectangle(840, 300, 900, 260), "B");
    ExpectPoints(layouttest::ReadSavedArt(*layouttest::FindArt(run.saved, "C")).anchors,
                 Rectangle(880, 300, 900, 200), "C");
}

}  // namespace
