// "translate", "rotate" and "transform" on the layout example: exact coordinates read back from
// the saved document, in points and other units, with and without the stroke-in-bounds preference,
// and the error replies.
#include <cmath>

#include "LayoutFixture.h"

namespace {

using layouttest::Anchors;
using layouttest::ErrorCase;
using layouttest::ExpectNumbers;
using layouttest::ExpectPoints;
using layouttest::GeometryErrors;
using layouttest::LayoutTest;
using layouttest::Moved;
using layouttest::Rectangle;

const Anchors kA = Rectangle(10, 90, 50, 50);
const Anchors kB = Rectangle(100, 80, 160, 40);
const Anchors kC = Rectangle(200, 120, 220, 20);
const Anchors kP1 = Rectangle(300, 100, 340, 60);
const Anchors kH = Rectangle(500, 100, 540, 60);

// --- translate ------------------------------------------------------------------------------------------

using Translate = LayoutTest;

TEST_F(Translate, MovesEveryFoundObjectAndEchoesTheOffsets) {
    EXPECT_EQ(Script("translate", R"({"tagSearch":"box","deltaX":10,"deltaY":-5,"uid":"t"})"),
              R"({"deltaX":10.0,"deltaY":-5.0,"eventType":"translate","tagSearch":"box","uid":"t"})");
    ExpectPoints(AnchorsOf("A"), Moved(kA, 10, -5), "A");
    ExpectPoints(AnchorsOf("B"), Moved(kB, 10, -5), "B");
    ExpectPoints(AnchorsOf("C"), Moved(kC, 10, -5), "C");
    ExpectPoints(AnchorsOf("H"), kH, "H stays");
}

TEST_F(Translate, MovesDirectionPointsWithTheirAnchors) {
    Script("translate", R"({"tagSearch":"inner","deltaX":3,"deltaY":4})");
    const layouttest::SavedArt p2 = Art("P2");
    ExpectPoints(p2.anchors, Moved(Rectangle(360, 100, 400, 60), 3, 4), "P2 anchors");
    EXPECT_NEAR(p2.outs[0][0], 383, 1e-9);
    EXPECT_NEAR(p2.outs[0][1], 124, 1e-9);
    EXPECT_NEAR(p2.ins[1][0], 393, 1e-9);
    EXPECT_NEAR(p2.ins[1][1], 114, 1e-9);
}

TEST_F(Translate, AnObjectFoundWithItsAncestorMovesOnce) {
    Script("translate", R"({"tagSearch":"pair|inner","deltaX":7})");
    ExpectPoints(AnchorsOf("P1"), Moved(kP1, 7, 0), "P1");
}

TEST_F(Translate, MovesTheMatricesOfTextPlacedArtAndRasters) {
    Script("translate", R"({"tagSearch":"label|placed|raster","deltaX":5,"deltaY":6})");
    ExpectNumbers(Art("Label").matrix, {1, 0, 0, 1, 5, 6}, "Label");
    ExpectNumbers(Art("Photo").matrix, {1, 0, 0, 1, 305, 156}, "Photo");
    ExpectNumbers(Art("Pixels").matrix, {1, 0, 0, 1, 405, 156}, "Pixels");
}

TEST_F(Translate, PatternsFollowUnlessTheRequestSaysOtherwise) {
    Script("translate", R"({"tagSearch":"a","deltaX":10})");
    ExpectNumbers(Art("A").fillPattern, {1, 0, 0, 1, 10, 0}, "fill pattern");
    ExpectNumbers(Art("A").strokePattern, {1, 0, 0, 1, 10, 0}, "stroke pattern");

    Script("translate",
           R"({"tagSearch":"b","deltaX":10,"transformObjects":false,"changeFillPatterns":false})");
    const layouttest::SavedArt b = Art("B");
    ExpectPoints(b.anchors, kB, "B's geometry stays");
    EXPECT_TRUE(b.fillPattern.empty());
    ExpectNumbers(b.strokePattern, {1, 0, 0, 1, 10, 0}, "B's stroke pattern");
}

TEST_F(Translate, PolarOffsets) {
    const json reply = ScriptJson("translate", R"({"tagSearch":"a","distance":10,"angle":90})");
    EXPECT_NEAR(reply["deltaX"].get<double>(), 0.0, 1e-12);
    EXPECT_EQ(reply["deltaY"], 10.0);
    ExpectPoints(AnchorsOf("A"), Moved(kA, 0, 10), "A");
    // A distance without an angle is not a polar offset.
    Script("translate", R"({"tagSearch":"b","distance":10,"deltaX":3})");
    ExpectPoints(AnchorsOf("B"), Moved(kB, 3, 0), "B");
}

struct UnitCase {
    const char* units;
    double value;
    double points;
};

void PrintTo(const UnitCase& c, std::ostream* out) {
    *out << c.units << " " << c.value;
}

class TranslateInUnits : public LayoutTest, public testing::WithParamInterface<UnitCase> {};

TEST_P(TranslateInUnits, ConvertsTheOffsetsToPoints) {
    const json request = {{"tagSearch", "a"},
                          {"deltaX", GetParam().value},
                          {"deltaY", -GetParam().value},
                          {"units", GetParam().units}};
    const json reply = ScriptJson("translate", request.dump());
    EXPECT_EQ(reply["deltaX"], GetParam().value);
    ExpectPoints(AnchorsOf("A"), Moved(kA, GetParam().points, -GetParam().points), GetParam().units);
}

INSTANTIATE_TEST_SUITE_P(Units, TranslateInUnits,
                         testing::Values(UnitCase{"", 2, 2}, UnitCase{"pt", 2, 2}, UnitCase{"points", 2, 2},
                                         UnitCase{"in", 1, 72}, UnitCase{"inches", 0.5, 36},
                                         UnitCase{"mm", 25.4, 72}, UnitCase{"cm", 2.54, 72},
                                         UnitCase{"pc", 1, 12}, UnitCase{"p", 2, 24}, UnitCase{"px", 3, 3},
                                         UnitCase{"ft", 1, 864}, UnitCase{"feetInches", 1, 864},
                                         UnitCase{"yd", 1, 2592}, UnitCase{"m", 0.0254, 72},
                                         UnitCase{"Inches", 5, 5}),
                         [](const testing::TestParamInfo<UnitCase>& info) {
                             return std::string(*info.param.units != '\0' ? info.param.units : "none");
                         });

TEST_F(Translate, ALargeCanvasDividesByItsScale) {
    ASSERT_EQ(Doc().setScale(4.0), host::model::Status::ok);
    Script("translate", R"({"tagSearch":"a","deltaX":1,"units":"in"})");
    ExpectPoints(AnchorsOf("A"), Moved(kA, 18, 0), "A");
}

TEST_F(Translate, CurrentUnitsFollowTheRulers) {
    ASSERT_EQ(Doc().setRulerUnits(1), host::model::Status::ok);  // inches
    Script("translate", R"({"tagSearch":"a","deltaX":1,"units":"current"})");
    Script("translate", R"({"tagSearch":"b","deltaX":1,"units":"Current"})");
    ExpectPoints(AnchorsOf("A"), Moved(kA, 72, 0), "A");
    ExpectPoints(AnchorsOf("B"), Moved(kB, 72, 0), "B");
}

// Rulers in quarter millimetres have no unit name: "current" is points there, and the document's
// unit can't be told.
TEST_F(Translate, CurrentUnitsOfUnnamedRulersArePoints) {
    ASSERT_EQ(Doc().setRulerUnits(7), host::model::Status::ok);
    Script("translate", R"({"tagSearch":"a","deltaX":10,"units":"current"})");
    ExpectPoints(AnchorsOf("A"), Moved(kA, 10, 0), "A");
    EXPECT_EQ(Script("getDocumentUnits"),
              R"({"error":"Can't determine document units","eventType":"getDocumentUnits"})");
}

// --- rotate ---------------------------------------------------------------------------------------------

using Rotate = LayoutTest;

TEST_F(Rotate, TurnsEachObjectAboutTheCentreOfItsBounds) {
    EXPECT_EQ(Script("rotate", R"({"tagSearch":"c","rotation":90,"uid":"r"})"),
              R"({"eventType":"rotate","rotation":90.0,"tagSearch":"c","uid":"r"})");
    ExpectPoints(AnchorsOf("C"), {{160, 60}, {160, 80}, {260, 80}, {260, 60}}, "C");
}

TEST_F(Rotate, TurnsTextFramesByTheirMatrix) {
    Script("rotate", R"({"tagSearch":"label","rotation":90})");
    ExpectNumbers(Art("Label").matrix, {0, 1, -1, 0, 250, 130}, "Label");
}

TEST_F(Rotate, AnObjectFoundWithItsAncestorTurnsOnceAboutOneCentre) {
    const host::model::Rect pair = BoundsOf("Pair");
    const double cx = (pair.left + pair.right) / 2;
    const double cy = (pair.top + pair.bottom) / 2;
    Script("rotate", R"({"tagSearch":"pair|inner","rotation":180})");
    Anchors expected;
    for (const auto& p : kP1) {
        expected.push_back({2 * cx - p[0], 2 * cy - p[1]});
    }
    ExpectPoints(AnchorsOf("P1"), expected, "P1");
}

TEST_F(Rotate, ArtWithoutBoundsIsSkippedWithAWarning) {
    EXPECT_EQ(
        Script("rotate", R"({"tagSearch":"hollow","rotation":90})"),
        R"({"eventType":"rotate","rotation":90.0,"tagSearch":"hollow","warning":"Objects whose bounds can't be read were left as they were"})");
    ExpectPoints(AnchorsOf("H"), {{500, 60}, {500, 100}, {540, 100}, {540, 60}}, "H");
}

// --- transform --------------------------------------------------------------------------------------------

struct TransformCase {
    const char* name;
    const char* request;  // keys besides "tagSearch": "b"
    Anchors expected;     // B's anchors afterwards
    double strokeWidth;   // B's stroke afterwards (2 before)
};

void PrintTo(const TransformCase& c, std::ostream* out) {
    *out << c.name;
}

class TransformB : public LayoutTest, public testing::WithParamInterface<TransformCase> {};

TEST_P(TransformB, GivesTheExpectedGeometry) {
    json request = json::parse(GetParam().request);
    request["tagSearch"] = "b";
    const json reply = ScriptJson("transform", request.dump());
    EXPECT_FALSE(reply.contains("error")) << reply.dump();
    const layouttest::SavedArt b = Art("B");
    ExpectPoints(b.anchors, GetParam().expected, GetParam().name);
    EXPECT_NEAR(b.strokeWidth, GetParam().strokeWidth, 1e-9);
}

const double kRoot2 = std::sqrt(2.0);

INSTANTIATE_TEST_SUITE_P(
    Modes, TransformB,
    testing::Values(
        TransformCase{"ScaleAboutTopLeft", R"({"scale":2,"anchorPoint":"TL"})", Rectangle(100, 80, 220, 0),
                      4},
        TransformCase{"TargetWidthKeepingProportions", R"({"width":120,"keepProportions":true})",
                      Rectangle(70, 100, 190, 20), 4},
        TransformCase{"TargetWidthAlone", R"({"width":120})", Rectangle(70, 80, 190, 40), 2 * kRoot2},
        TransformCase{"SizeDifferences", R"({"widthDiff":30,"heightDiff":-20})", Rectangle(85, 70, 175, 50),
                      2 * std::sqrt(0.75)},
        TransformCase{"TargetHeightLeadsTheProportions",
                      R"({"height":80,"keepProportions":true,"anchorPoint":"TL"})",
                      Rectangle(100, 80, 220, 0), 4},
        TransformCase{"ScaleHLeadsTheProportions",
                      R"({"scaleH":2,"keepProportions":true,"anchorPoint":"TL"})", Rectangle(100, 80, 220, 0),
                      4},
        TransformCase{"ScaleEachAxis", R"({"scaleH":2,"scaleV":0.5,"anchorPoint":"TL"})",
                      Rectangle(100, 80, 220, 60), 2},
        TransformCase{"FlipBothWays", R"({"flip":"hv"})", {{160, 40}, {100, 40}, {100, 80}, {160, 80}}, 2},
        TransformCase{"FlipIsCaseSensitive", R"({"flip":"H"})", Rectangle(100, 80, 160, 40), 2},
        TransformCase{"ShrinkOnlyShrinks", R"({"scale":3,"fittingMethod":"SHRINK"})",
                      Rectangle(100, 80, 160, 40), 2},
        TransformCase{"Shrink", R"({"scale":0.5,"fittingMethod":"shrink","anchorPoint":"BL"})",
                      Rectangle(100, 60, 130, 40), 1},
        TransformCase{"EnlargeOnlyEnlarges", R"({"scale":0.5,"fittingMethod":"enlarge"})",
                      Rectangle(100, 80, 160, 40), 2},
        TransformCase{"RotateAboutBottomLeft",
                      R"({"rotation":90,"anchorPoint":"BL"})",
                      {{60, 40}, {60, 100}, {100, 100}, {100, 40}},
                      2},
        TransformCase{"AngleServesAsRotation",
                      R"({"angle":90,"anchorPoint":"bl"})",
                      {{60, 40}, {60, 100}, {100, 100}, {100, 40}},
                      2},
        TransformCase{"HorizontalShear",
                      R"({"shear":45,"anchorPoint":"BL"})",
                      {{140, 80}, {200, 80}, {160, 40}, {100, 40}},
                      2},
        TransformCase{"VerticalShear",
                      R"({"shearV":45,"anchorPoint":"BL"})",
                      {{100, 80}, {160, 140}, {160, 100}, {100, 40}},
                      2},
        TransformCase{"PositionOnTheRulers", R"({"x":10,"y":20})", Rectangle(10, 280, 70, 240), 2},
        TransformCase{"PositionInDocumentCoordinates", R"({"x":10,"y":20,"useGlobalRuler":true})",
                      Rectangle(10, 20, 70, -20), 2},
        TransformCase{"LeftAndTop", R"({"left":5,"top":6})", Rectangle(5, 294, 65, 254), 2},
        TransformCase{"OnlyX", R"({"x":10})", Rectangle(10, 80, 70, 40), 2},
        TransformCase{"XyAnchor", R"({"xyAnchorPoint":"BR","x":300,"y":100})", Rectangle(240, 240, 300, 200),
                      2},
        TransformCase{"AnchorAtX", R"({"anchorPoint":"C","x":300})", Rectangle(270, 80, 330, 40), 2},
        TransformCase{"PositionInInches", R"({"x":1,"y":1,"units":"in"})", Rectangle(72, 228, 132, 188), 2},
        TransformCase{"ScaleThenMove",
                      R"({"scale":2,"anchorPoint":"TL","deltaX":1,"deltaY":-1,"units":"in"})",
                      Rectangle(172, 8, 292, -72), 4},
        TransformCase{"Distance", R"({"distance":10,"angle":0})", Rectangle(110, 80, 170, 40), 2},
        TransformCase{"DistanceInInches", R"({"distance":1,"angle":90,"units":"in"})",
                      Rectangle(100, 152, 160, 112), 2},
        TransformCase{"LinesKeepTheirWidth", R"({"scale":2,"anchorPoint":"TL","scaleLines":false})",
                      Rectangle(100, 80, 220, 0), 2},
        TransformCase{"PreviewBounds", R"({"scale":2,"anchorPoint":"TL","usePreviewBounds":true})",
                      Rectangle(101, 79, 221, -1), 4},
        TransformCase{"DocumentOrigin", R"({"scale":2,"anchorPoint":"do"})", Rectangle(200, 160, 320, 80), 4},
        // Sizes measured with strokes: B is 62 by 42 with its stroke of 2. The stroke keeps its
        // width, or follows the root of both factors, and the size asked is the size reached.
        TransformCase{"PreviewWidthKeepingLines",
                      R"({"width":88,"usePreviewBounds":true,"scaleLines":false})",
                      Rectangle(87, 80, 173, 40), 2},
        TransformCase{"PreviewHeightKeepingLines",
                      R"({"height":52,"usePreviewBounds":true,"scaleLines":false})",
                      Rectangle(100, 85, 160, 35), 2},
        TransformCase{"PreviewWidthDiffKeepingLines",
                      R"({"widthDiff":26,"usePreviewBounds":true,"scaleLines":false})",
                      Rectangle(87, 80, 173, 40), 2},
        TransformCase{"PreviewWidthKeepingLinesAndProportions",
                      R"({"width":122,"keepProportions":true,"usePreviewBounds":true,"scaleLines":false})",
                      Rectangle(70, 100, 190, 20), 2},
        TransformCase{"PreviewWidthScalingLines", R"({"width":88.8,"usePreviewBounds":true})",
                      Rectangle(86.8, 80, 173.2, 40), 2.4},
        TransformCase{"PreviewWidthAndHeightScalingLines",
                      R"({"width":115.5,"height":51,"usePreviewBounds":true})",
                      Rectangle(73.75, 84, 186.25, 36), 3}),
    [](const testing::TestParamInfo<TransformCase>& info) { return std::string(info.param.name); });

using Transform = LayoutTest;

TEST_F(Transform, RepliesWithWhatWasAskedAndTheOffsetsInPoints) {
    EXPECT_EQ(
        Script("transform",
               R"({"tagSearch":"b","scale":2,"shear":10,"rotation":30,"deltaX":1,"units":"in","uid":"x"})"),
        R"({"deltaX":72.0,"deltaY":0.0,"eventType":"transform","rotation":30.0,"scaleH":2.0,"scaleV":2.0,"shearH":10.0,"shearV":0.0,"tagSearch":"b","uid":"x"})");
}

TEST_F(Transform, TheStrokeInBoundsPreferenceMeasuresWithStrokes) {
    app->Preferences().Set("", "includeStrokeInBounds", true);
    Script("transform", R"({"tagSearch":"b","scale":2,"anchorPoint":"TL"})");
    ExpectPoints(AnchorsOf("B"), Rectangle(101, 79, 221, -1), "with the preference");
    // The request's own choice wins.
    Script("transform", R"({"tagSearch":"a","scale":2,"anchorPoint":"TL","usePreviewBounds":false})");
    ExpectPoints(AnchorsOf("A"), Rectangle(10, 90, 90, 10), "without");
}

TEST_F(Transform, TheRulerOriginIsTheActiveArtboards) {
    ASSERT_EQ(Doc().editArtboards().setActive(1), host::model::Status::ok);
    Script("transform", R"({"tagSearch":"b","x":0,"y":0})");
    // "Side" spans [700, 300, 900, 100] and counts from 10 right and 20 down of its corner.
    ExpectPoints(AnchorsOf("B"), Rectangle(710, 280, 770, 240), "B");
}

TEST_F(Transform, ScaleFactorsAreWorkedOutForEachObject) {
    Script("transform", R"({"tagSearch":"box|line","width":50,"keepProportions":true})");
    ExpectPoints(AnchorsOf("A"), Rectangle(5, 95, 55, 45), "A");
    ExpectPoints(AnchorsOf("C"), Rectangle(185, 195, 235, -55), "C");
    // A line without width keeps its factor 1, whatever the objects before it needed.
    ExpectPoints(AnchorsOf("V"), {{580, 100}, {580, 0}}, "V");
}

TEST_F(Transform, AnObjectFoundWithItsAncestorIsTransformedOnce) {
    Script("transform", R"({"tagSearch":"pair|inner","scale":2,"anchorPoint":"BL"})");
    ExpectPoints(AnchorsOf("P1"), Rectangle(300, 140, 380, 60), "P1");
}

TEST_F(Transform, WithoutTheGeometryOptionGroupsKeepTheirMembersInPlace) {
    Script("transform", R"({"tagSearch":"pair","scale":2,"anchorPoint":"BL","transformObjects":false})");
    const json saved = Saved();
    const layouttest::SavedArt p1 = layouttest::ReadSavedArt(*layouttest::FindArt(saved, "P1"));
    ExpectPoints(p1.anchors, kP1, "P1 stays");
    // The patterns followed: scaled by 2 about (300, 60).
    ExpectNumbers(p1.fillPattern, {2, 0, 0, 2, -300, -60}, "P1's fill pattern");
    ExpectNumbers(layouttest::ReadSavedArt(*layouttest::FindArt(saved, "Pair")).fillPattern,
                  {2, 0, 0, 2, -300, -60}, "the group's fill pattern");
}

TEST_F(Transform, ArtWithoutBoundsIsSkippedWithAWarning) {
    const json reply = ScriptJson("transform", R"({"tagSearch":"hollow","scale":2,"anchorPoint":"TL"})");
    EXPECT_EQ(reply["warning"], "Objects whose bounds can't be read were left as they were");
    ExpectPoints(AnchorsOf("H"), Rectangle(500, 100, 580, 20), "H");
}

// --- the corner preference
// ----------------------------------------------------------------------------------

class CornerPolicy : public LayoutTest {
protected:
    std::vector<std::string> Writes() { return JournalOf("PutIntegerPreference"); }
    std::optional<host::PreferenceStore::Value> Policy() {
        return app->Preferences().Get("", "policyForPreservingCorners");
    }
};

TEST_F(CornerPolicy, IsSetForTheTransformationAndRestored) {
    Script("transform", R"({"tagSearch":"b","scale":2,"scaleCorners":true})");
    EXPECT_EQ(Writes(), (std::vector<std::string>{"PutIntegerPreference(, policyForPreservingCorners, 1)",
                                                  "PutIntegerPreference(, policyForPreservingCorners, 2)"}));
    EXPECT_EQ(Policy(), host::PreferenceStore::Value(ai::int32{2}));
}

TEST_F(CornerPolicy, KeepingCornersWritesTwo) {
    app->Preferences().Set("", "policyForPreservingCorners", ai::int32{1});
    Script("transform", R"({"tagSearch":"b","scale":2,"scaleCorners":false})");
    EXPECT_EQ(Writes(), (std::vector<std::string>{"PutIntegerPreference(, policyForPreservingCorners, 2)",
                                                  "PutIntegerPreference(, policyForPreservingCorners, 1)"}));
    EXPECT_EQ(Policy(), host::PreferenceStore::Value(ai::int32{1}));
}

TEST_F(CornerPolicy, IsLeftAloneWhenNotAskedForOrNotUnderstood) {
    Script("transform", R"({"tagSearch":"b","scale":2})");
    Script("transform", R"({"tagSearch":"b","scale":2,"scaleCorners":"yes"})");
    Script("transform", R"({"tagSearch":"zzz","scale":2,"scaleCorners":true})");
    app->Preferences().Set("", "policyForPreservingCorners", ai::int32{5});
    Script("transform", R"({"tagSearch":"b","scale":2,"scaleCorners":true})");
    app->Preferences().Remove("", "policyForPreservingCorners");
    Script("transform", R"({"tagSearch":"b","scale":2,"scaleCorners":true})");
    EXPECT_TRUE(Writes().empty());
}

// --- errors
// -------------------------------------------------------------------------------------------------

TEST_P(GeometryErrors, ReplyAndChangeNothing) {
    const host::model::Document before = Doc();
    EXPECT_EQ(Script(GetParam().command, GetParam().request), GetParam().reply);
    EXPECT_TRUE(Doc() == before);
}

INSTANTIATE_TEST_SUITE_P(
    Replies, GeometryErrors,
    testing::Values(
        ErrorCase{
            "translate", R"({"tagSearch":"zzz","uid":"e"})",
            R"({"deltaX":0.0,"deltaY":0.0,"error":"No artwork found","eventType":"translate","tagSearch":"zzz","uid":"e"})"},
        ErrorCase{
            "translate", R"({"tagSearch":"box &","deltaX":1})",
            R"({"deltaX":1.0,"deltaY":0.0,"error":"No artwork found","eventType":"translate","tagSearch":"box &"})"},
        ErrorCase{"translate", R"({"tagSearch":"box","deltaX":"1"})",
                  R"({"error":"\"deltaX\" must be a number","eventType":"translate"})"},
        ErrorCase{"translate", R"({"tagSearch":7})",
                  R"({"error":"\"tagSearch\" must be a string","eventType":"translate"})"},
        ErrorCase{"translate", R"({"tagSearch":"box","transformObjects":1})",
                  R"({"error":"\"transformObjects\" must be true or false","eventType":"translate"})"},
        ErrorCase{"rotate", R"({"tagSearch":"zzz","rotation":5})",
                  R"({"error":"No artwork found","eventType":"rotate","rotation":5.0,"tagSearch":"zzz"})"},
        ErrorCase{"rotate", R"({"tagSearch":"box","rotation":"5"})",
                  R"({"error":"\"rotation\" must be a number","eventType":"rotate"})"},
        ErrorCase{
            "transform", R"({"tagSearch":"zzz","scale":2})",
            R"({"deltaX":0.0,"deltaY":0.0,"error":"No artwork found","eventType":"transform","rotation":0.0,"scaleH":2.0,"scaleV":2.0,"shearH":0.0,"shearV":0.0,"tagSearch":"zzz"})"},
        ErrorCase{
            "transform", R"({"tagSearch":"b","shear":90})",
            R"({"deltaX":0.0,"deltaY":0.0,"error":"A shear of 90 degrees can't be applied","eventType":"transform","rotation":0.0,"scaleH":1.0,"scaleV":1.0,"shearH":90.0,"shearV":0.0,"tagSearch":"b"})"},
        ErrorCase{
            "transform", R"({"tagSearch":"b","shearH":-90.0000001})",
            R"({"deltaX":0.0,"deltaY":0.0,"error":"A shear of 90 degrees can't be applied","eventType":"transform","rotation":0.0,"scaleH":1.0,"scaleV":1.0,"shearH":-90.0000001,"shearV":0.0,"tagSearch":"b"})"},
        ErrorCase{
            "transform", R"({"tagSearch":"b","shearV":270})",
            R"({"deltaX":0.0,"deltaY":0.0,"error":"A shear of 90 degrees can't be applied","eventType":"transform","rotation":0.0,"scaleH":1.0,"scaleV":1.0,"shearH":0.0,"shearV":270.0,"tagSearch":"b"})"},
        ErrorCase{
            "transform", R"({"tagSearch":"b","scale":0})",
            R"({"deltaX":0.0,"deltaY":0.0,"error":"A scale factor can't be 0","eventType":"transform","rotation":0.0,"scaleH":0.0,"scaleV":0.0,"shearH":0.0,"shearV":0.0,"tagSearch":"b"})"},
        ErrorCase{
            "transform", R"({"tagSearch":"b","scaleV":0})",
            R"({"deltaX":0.0,"deltaY":0.0,"error":"A scale factor can't be 0","eventType":"transform","rotation":0.0,"scaleH":1.0,"scaleV":0.0,"shearH":0.0,"shearV":0.0,"tagSearch":"b"})"},
        ErrorCase{"transform", R"({"tagSearch":"b","scale":"2"})",
                  R"({"error":"\"scale\" must be a number","eventType":"transform"})"},
        ErrorCase{"transform", R"({"tagSearch":"b","keepProportions":"yes"})",
                  R"({"error":"\"keepProportions\" must be true or false","eventType":"transform"})"}),
    [](const testing::TestParamInfo<ErrorCase>& info) {
        return std::string(info.param.command) + std::to_string(info.index);
    });

TEST_F(Transform, LenientKeysOfAnotherTypeKeepTheirDefaults) {
    Script(
        "transform",
        R"({"tagSearch":"b","scale":2,"anchorPoint":"TL","flip":5,"fittingMethod":true,"usePreviewBounds":"yes"})");
    ExpectPoints(AnchorsOf("B"), Rectangle(100, 80, 220, 0), "B");
}

// --- through plimhost
// ---------------------------------------------------------------------------------------

TEST(TransformThroughPlimhost, SavesTheMovedArt) {
    const layouttest::PlimhostRun run =
        layouttest::RunPlimhost(layouttest::LayoutExample(),
                                "translate {\"tagSearch\":\"a\",\"deltaX\":1,\"units\":\"cm\"}\n"
                                "rotate {\"tagSearch\":\"c\",\"rotation\":-90}\n"
                                "transform {\"tagSearch\":\"b\",\"left\":0,\"top\":0}\n");
    ASSERT_EQ(run.status, 0);
    ASSERT_EQ(run.lines.size(), 3u);
    EXPECT_EQ(run.lines[1], R"({"eventType":"rotate","rotation":-90.0,"tagSearch":"c"})");
    ExpectPoints(layouttest::ReadSavedArt(*layouttest::FindArt(run.saved, "A")).anchors,
                 Moved(kA, 72 / 2.54, 0), "A");
    ExpectPoints(layouttest::ReadSavedArt(*layouttest::FindArt(run.saved, "C")).anchors,
                 {{260, 80}, {260, 60}, {160, 60}, {160, 80}}, "C");
    ExpectPoints(layouttest::ReadSavedArt(*layouttest::FindArt(run.saved, "B")).anchors,
                 Rectangle(0, 300, 60, 260), "B at the top-left of the active artboard");
}

}  // namespace
