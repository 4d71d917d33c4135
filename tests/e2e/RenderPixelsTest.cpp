// What the renderer paints, read back from the pixels of an "exportFile" PNG: custom colours at a
// tint, gradients along their axis, patterns tiled from their art, symbol instances where their
// matrix puts them, blend modes and an opacity applied once to a whole group.
#include <gtest/gtest.h>

#include <array>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include <nlohmann/json.hpp>

#include "PluginFixture.h"
#include "ProgramRun.h"
#include "model/DocumentFormat.h"

namespace {

using json = nlohmann::json;

// One artboard [0, 100, 400, 0]; each feature in a place of its own (points, y up).
constexpr const char* kDocument = R"({
  "format": "plimhost-document", "version": 1,
  "artboards": [{"rect": [0.0, 100.0, 400.0, 0.0], "name": "Paint"}],
  "customColors": [{"name": "Orange", "kind": "cmyk", "components": [0.0, 0.5, 1.0, 0.0], "spot": true}],
  "gradients": [
    {"name": "Ramp", "color": {"rgb": [0.5, 0.0, 0.5]},
     "stops": [{"color": {"rgb": [1.0, 0.0, 0.0]}, "rampPoint": 0.0}, {"color": {"rgb": [0.0, 0.0, 1.0]}, "rampPoint": 100.0}]},
    {"name": "Round", "color": {"gray": 0.5}, "type": "radial",
     "stops": [{"color": {"custom": "Orange"}, "rampPoint": 0.0}, {"color": {"gray": 0.0}, "rampPoint": 100.0, "opacity": 0.0}]}
  ],
  "patterns": [
    {"name": "Checks", "color": {"gray": 0.5}, "tile": [0.0, 10.0, 10.0, 0.0],
     "art": {"type": "path", "closed": true,
             "segments": [{"anchor": [0.0, 0.0]}, {"anchor": [5.0, 0.0]}, {"anchor": [5.0, 5.0]}, {"anchor": [0.0, 5.0]}],
             "style": {"paintFields": [{"fill": {"color": {"rgb": [0.0, 0.0, 1.0]}}}]}}}
  ],
  "symbols": [
    {"name": "Dot", "art": {"type": "path", "closed": true,
      "segments": [{"anchor": [0.0, 0.0]}, {"anchor": [10.0, 0.0]}, {"anchor": [10.0, 10.0]}, {"anchor": [0.0, 10.0]}],
      "style": {"paintFields": [{"fill": {"color": {"rgb": [0.0, 1.0, 0.0]}}}]}}},
    {"name": "Pair", "art": {"type": "group", "children": [
      {"type": "symbol", "symbol": "Dot", "frame": [0.0, 10.0, 10.0, 0.0]},
      {"type": "symbol", "symbol": "Dot", "frame": [0.0, 10.0, 10.0, 0.0], "matrix": [1.0, 0.0, 0.0, 1.0, 15.0, 0.0]}]}},
    {"name": "Loop", "art": {"type": "group", "children": [
      {"type": "path", "closed": true,
       "segments": [{"anchor": [0.0, 0.0]}, {"anchor": [10.0, 0.0]}, {"anchor": [10.0, 10.0]}, {"anchor": [0.0, 10.0]}],
       "style": {"paintFields": [{"fill": {"color": {"rgb": [1.0, 0.0, 0.0]}}}]}},
      {"type": "symbol", "symbol": "Loop", "frame": [0.0, 10.0, 10.0, 0.0], "matrix": [1.0, 0.0, 0.0, 1.0, 0.0, 12.0]}]}}
  ],
  "layers": [{"type": "layer", "title": "Art", "children": [
    {"type": "path", "closed": true, "name": "horizontal ramp",
     "segments": [{"anchor": [0.0, 0.0]}, {"anchor": [100.0, 0.0]}, {"anchor": [100.0, 50.0]}, {"anchor": [0.0, 50.0]}],
     "style": {"paintFields": [{"fill": {"color": {"gradient": "Ramp"}}}]}},
    {"type": "path", "closed": true, "name": "upward ramp",
     "tags": [{"name": "_p_tag_e5cd2ef6", "type": "string", "value": "ramp"}],
     "segments": [{"anchor": [0.0, 50.0]}, {"anchor": [50.0, 50.0]}, {"anchor": [50.0, 100.0]}, {"anchor": [0.0, 100.0]}],
     "style": {"paintFields": [{"fill": {"color": {"gradient": "Ramp",
       "placement": {"angle": 90.0, "length": 40.0, "origin": [25.0, 55.0]}}}}]}},
    {"type": "path", "closed": true, "name": "checks",
     "segments": [{"anchor": [50.0, 50.0]}, {"anchor": [100.0, 50.0]}, {"anchor": [100.0, 100.0]}, {"anchor": [50.0, 100.0]}],
     "style": {"paintFields": [{"fill": {"color": {"pattern": "Checks"}}}]}},
    {"type": "path", "closed": true, "name": "spot",
     "segments": [{"anchor": [110.0, 0.0]}, {"anchor": [150.0, 0.0]}, {"anchor": [150.0, 40.0]}, {"anchor": [110.0, 40.0]}],
     "style": {"paintFields": [{"fill": {"color": {"custom": "Orange", "tint": 0.5}}}]}},
    {"type": "path", "closed": true, "name": "round",
     "segments": [{"anchor": [110.0, 50.0]}, {"anchor": [150.0, 50.0]}, {"anchor": [150.0, 90.0]}, {"anchor": [110.0, 90.0]}],
     "style": {"paintFields": [{"fill": {"color": {"gradient": "Round"}}}]}},
    {"type": "symbol", "symbol": "Dot", "frame": [0.0, 10.0, 10.0, 0.0], "matrix": [2.0, 0.0, 0.0, 2.0, 200.0, 20.0]},
    {"type": "symbol", "symbol": "Pair", "frame": [0.0, 10.0, 25.0, 0.0], "matrix": [1.0, 0.0, 0.0, 1.0, 225.0, 60.0]},
    {"type": "symbol", "symbol": "Loop", "frame": [0.0, 22.0, 10.0, 0.0], "matrix": [1.0, 0.0, 0.0, 1.0, 225.0, 75.0]},
    {"type": "path", "closed": true, "name": "layered",
     "segments": [{"anchor": [160.0, 0.0]}, {"anchor": [190.0, 0.0]}, {"anchor": [190.0, 30.0]}, {"anchor": [160.0, 30.0]}],
     "style": {"paintFields": [{"fill": {"color": {"rgb": [1.0, 0.5, 0.8]}}},
                               {"fill": {"color": {"gray": 0.5}}, "blend": {"mode": 1}},
                               {"stroke": {"color": {"gray": 1.0}, "width": 4.0}}]}},
    {"type": "path", "closed": true, "name": "multiplier",
     "segments": [{"anchor": [270.0, 0.0]}, {"anchor": [310.0, 0.0]}, {"anchor": [310.0, 40.0]}, {"anchor": [270.0, 40.0]}],
     "style": {"paintFields": [{"fill": {"color": {"rgb": [0.5, 0.5, 0.5]}}}], "blend": {"mode": 1}}},
    {"type": "path", "closed": true, "name": "below",
     "segments": [{"anchor": [250.0, 0.0]}, {"anchor": [290.0, 0.0]}, {"anchor": [290.0, 40.0]}, {"anchor": [250.0, 40.0]}],
     "style": {"paintFields": [{"fill": {"color": {"rgb": [1.0, 0.5, 0.8]}}}]}},
    {"type": "group", "name": "knockout", "style": {"blend": {"knockout": 1}}, "children": [
      {"type": "path", "closed": true,
       "segments": [{"anchor": [310.0, 70.0]}, {"anchor": [340.0, 70.0]}, {"anchor": [340.0, 100.0]}, {"anchor": [310.0, 100.0]}],
       "style": {"paintFields": [{"fill": {"color": {"rgb": [0.0, 0.0, 1.0]}}}], "blend": {"opacity": 0.5}}},
      {"type": "path", "closed": true,
       "segments": [{"anchor": [300.0, 60.0]}, {"anchor": [330.0, 60.0]}, {"anchor": [330.0, 90.0]}, {"anchor": [300.0, 90.0]}],
       "style": {"paintFields": [{"fill": {"color": {"rgb": [1.0, 0.0, 0.0]}}}], "blend": {"opacity": 0.5}}}
    ]},
    {"type": "path", "closed": true, "name": "shadowed",
     "segments": [{"anchor": [350.0, 80.0]}, {"anchor": [370.0, 80.0]}, {"anchor": [370.0, 100.0]}, {"anchor": [350.0, 100.0]}],
     "style": {"paintFields": [{"fill": {"color": {"rgb": [1.0, 0.0, 0.0]}}}],
               "postEffects": [{"name": "Host Drop Shadow", "parameters": {
                 "blur": {"type": "real", "value": 0.0}, "opac": {"type": "real", "value": 1.0},
                 "blnd": {"type": "integer", "value": 0}, "horz": {"type": "real", "value": 7.0},
                 "vert": {"type": "real", "value": 7.0},
                 "sclr": {"type": "fillStyle", "value": {"color": {"rgb": [0.0, 0.0, 1.0]}}}}}]}},
    {"type": "group", "name": "half", "style": {"blend": {"opacity": 0.5}}, "children": [
      {"type": "path", "closed": true,
       "segments": [{"anchor": [330.0, 0.0]}, {"anchor": [370.0, 0.0]}, {"anchor": [370.0, 40.0]}, {"anchor": [330.0, 40.0]}],
       "style": {"paintFields": [{"fill": {"color": {"gray": 1.0}}}, {"stroke": {"color": {"gray": 1.0}, "width": 4.0}}]}},
      {"type": "path", "closed": true,
       "segments": [{"anchor": [350.0, 10.0]}, {"anchor": [390.0, 10.0]}, {"anchor": [390.0, 50.0]}, {"anchor": [350.0, 50.0]}],
       "style": {"paintFields": [{"fill": {"color": {"gray": 1.0}}}]}}
    ]}
  ]}]
})";

struct PixelCase {
    const char* name;
    double x;  // document points
    double y;
    std::array<int, 3> rgb;
    int tolerance;
};

// Pixel centres lie half a point inside the spot named.
const PixelCase kPixels[] = {
    // The default layout spans the art's bounds from left to right: the first stop's colour on the
    // left, the last on the right, an even mix half way.
    {"rampStartsWithTheFirstStop", 0.5, 25.5, {255, 0, 0}, 4},
    {"rampEndsWithTheLastStop", 99.5, 25.5, {0, 0, 255}, 4},
    {"rampMixesHalfWay", 50.0, 25.5, {128, 0, 128}, 4},
    // The placed ramp runs up from (25, 55) for 40 points; beyond its ends it keeps the end colours.
    {"placedRampBelowItsOrigin", 25.5, 50.5, {255, 0, 0}, 2},
    {"placedRampHalfWayUp", 25.5, 75.0, {128, 0, 128}, 4},
    {"placedRampBeyondItsEnd", 25.5, 99.5, {0, 0, 255}, 2},
    // The tile's blue square fills the lower left quarter of every 10-point tile.
    {"patternSquare", 52.5, 52.5, {0, 0, 255}, 0},
    {"patternRepeatsAcross", 62.5, 72.5, {0, 0, 255}, 0},
    {"patternGap", 57.5, 57.5, {255, 255, 255}, 0},
    // CMYK 0, 50, 100, 0 is RGB 255, 128, 0; at tint 0.5 half of it is mixed with white.
    {"spotAtItsTint", 130.5, 20.5, {255, 191, 128}, 2},
    // The radial gradient: the spot colour at the centre, fading out to nothing at the circle.
    {"radialCentre", 130.0, 70.0, {255, 128, 0}, 20},
    {"radialOutside", 110.5, 50.5, {255, 255, 255}, 0},
    // The symbol's 10-point square scaled by 2 and moved to (200, 20).
    {"symbolInside", 205.5, 25.5, {0, 255, 0}, 0},
    {"symbolFarCorner", 219.5, 39.5, {0, 255, 0}, 0},
    {"symbolLeftOfIt", 199.5, 25.5, {255, 255, 255}, 0},
    {"symbolAboveIt", 210.5, 40.5, {255, 255, 255}, 0},
    // A symbol whose artwork holds two instances of another shows both.
    {"nestedFirst", 230.5, 65.5, {0, 255, 0}, 0},
    {"nestedGap", 237.5, 65.5, {255, 255, 255}, 0},
    {"nestedSecond", 245.5, 65.5, {0, 255, 0}, 0},
    // A symbol holding an instance of itself shows its own art once, not itself again.
    {"loopOnce", 230.5, 80.5, {255, 0, 0}, 0},
    {"loopNotAgain", 230.5, 90.5, {255, 255, 255}, 0},
    // Multiply: grey 50 % times (1, 0.5, 0.8), and times white where only the multiplier lies.
    {"multiplyProduct", 280.5, 20.5, {128, 64, 102}, 2},
    {"multiplyOverWhite", 300.5, 20.5, {128, 128, 128}, 2},
    {"belowAlone", 260.5, 20.5, {255, 128, 204}, 2},
    // Paint fields of one path in turn on the same outline: a fill, a fill multiplied onto it by
    // itself, then a black stroke over both along the edge.
    {"layeredFieldsMultiply", 175.5, 15.5, {128, 64, 102}, 2},
    {"layeredStrokeOnTheEdge", 160.5, 15.5, {0, 0, 0}, 0},
    {"layeredStrokeOutside", 158.5, 15.5, {0, 0, 0}, 0},
    {"layeredBeyondTheStroke", 156.5, 15.5, {255, 255, 255}, 0},
    // Black at 50 % once over the whole group: the same half tone alone, where the squares overlap
    // and on the stroke over the fill.
    {"halfAlone", 335.5, 20.5, {128, 128, 128}, 2},
    {"halfOverlap", 360.5, 20.5, {128, 128, 128}, 2},
    {"halfStrokeOverFill", 330.5, 20.5, {128, 128, 128}, 2},
    // In a knockout group the upper square replaces the lower where they overlap.
    {"knockoutLowerAlone", 305.5, 65.5, {255, 128, 128}, 2},
    {"knockoutOverlap", 320.5, 80.5, {128, 128, 255}, 2},
    // The drop shadow: the square's shape in its colour, 7 points right and 7 down, below it.
    {"shadowedItself", 360.5, 90.5, {255, 0, 0}, 0},
    {"shadowBesideIt", 375.5, 76.5, {0, 0, 255}, 0},
    {"shadowBelowIt", 360.5, 75.5, {0, 0, 255}, 0},
    {"shadowNotLeftOfIt", 352.5, 75.5, {255, 255, 255}, 0},
};

class RenderPixels : public PluginTest {
protected:
    void SetUp() override {
        PluginTest::SetUp();
        const std::string source = scratch.Write("paint.ai", kDocument);
        OpenDocumentFile(source, 7);
    }

    // The artboard exported to PNG at 72 pixels per inch, checked at the points of the cases.
    void ExpectPixels(const std::vector<PixelCase>& cases) {
        const ExportedPicture picture = ExportFirstArtboardPng(scratch.Path());
        if (const char* keep = std::getenv("PLIM_KEEP_PICTURE")) {
            std::filesystem::copy_file(scratch.Path() / "out.png", keep,
                                       std::filesystem::copy_options::overwrite_existing);
        }
        ASSERT_EQ(picture.width, 400u);
        ASSERT_EQ(picture.height, 100u);
        for (const PixelCase& c : cases) {
            const unsigned char* pixel = picture.At(c.x, c.y);
            for (int i = 0; i < 3; ++i) {
                EXPECT_LE(std::abs(pixel[i] - c.rgb[i]), c.tolerance)
                    << c.name << " channel " << i << ": " << int{pixel[0]} << ", " << int{pixel[1]} << ", "
                    << int{pixel[2]};
            }
        }
    }

    testsupport::ScratchFolder scratch{"render_pixels"};
};

TEST_F(RenderPixels, ThePngShowsWhatTheDocumentHolds) {
    ExpectPixels({std::begin(kPixels), std::end(kPixels)});
}

// A gradient with a layout of its own goes where its art goes.
TEST_F(RenderPixels, AGradientMovesWithItsArt) {
    const json moved = ScriptJson("translate", R"({"tagSearch": "ramp", "deltaX": 155, "deltaY": -10})");
    ASSERT_FALSE(moved.contains("error")) << moved.dump();
    ExpectPixels({
        {"rampLeftItsPlace", 25.5, 75.0, {255, 255, 255}, 0},
        {"movedRampBelowItsOrigin", 180.5, 40.5, {255, 0, 0}, 2},
        {"movedRampHalfWayUp", 180.5, 65.0, {128, 0, 128}, 4},
        {"movedRampBeyondItsEnd", 180.5, 89.5, {0, 0, 255}, 2},
    });
}

// The gradients, the pattern and the placed gradient come back as they were saved.
TEST_F(RenderPixels, GradientsAndPatternsSaveAndReopenUnchanged) {
    const auto first = host::model::writeDocument(*app->CurrentDocument());
    ASSERT_TRUE(first.text) << first.error;
    const auto reopened = host::model::readDocument(*first.text);
    ASSERT_TRUE(reopened.document) << reopened.error;
    const auto second = host::model::writeDocument(*reopened.document);
    ASSERT_TRUE(second.text);
    EXPECT_EQ(*second.text, *first.text);
    const json saved = json::parse(*first.text);
    EXPECT_EQ(saved["gradients"][1]["type"], "radial");
    EXPECT_EQ(saved["gradients"][1]["stops"][1]["opacity"], 0.0);
    EXPECT_EQ(saved["patterns"][0]["tile"], json::parse("[0.0, 10.0, 10.0, 0.0]"));
    EXPECT_EQ(saved["layers"][0]["children"][1]["style"]["paintFields"][0]["fill"]["color"]["placement"],
              json::parse(R"({"angle": 90.0, "length": 40.0, "origin": [25.0, 55.0]})"));
}

// Rasterizing with a clipping-mask offset, seen on the page: the raster (white where the art does
// not paint) shows within the art's outline grown by the offset, so "layered" keeps the outer half
// of its stroke, a negative offset cuts the stroke away, and a group is clipped by its members'
// outline, so the art below shows beside it.
struct ClippedRasterCase {
    const char* name;
    std::vector<std::pair<const char*, const char*>> commands;  // after every object is tagged by its name
    std::vector<PixelCase> pixels;
};

class ClippedRasters : public RenderPixels, public testing::WithParamInterface<ClippedRasterCase> {};

TEST_P(ClippedRasters, ShowWithinTheOutlineGrownByTheOffset) {
    ASSERT_FALSE(ScriptJson("nameToTags", "{}").contains("error"));
    for (const auto& [command, request] : GetParam().commands) {
        const json reply = ScriptJson(command, request);
        ASSERT_FALSE(reply.contains("error")) << reply.dump();
    }
    ExpectPixels(GetParam().pixels);
}

// "layered" fills 160 to 190 (x) by 0 to 30 (y), its 4-point black stroke on the edge; "below"
// (250 to 290) lies under "multiplier" (270 to 310).
INSTANTIATE_TEST_SUITE_P(
    Cases, ClippedRasters,
    testing::Values(
        ClippedRasterCase{"strokeKeepsItsOuterHalf",
                          {{"rasterize", R"({"tagSearch": "layered", "clippingMaskOffset": 3})"}},
                          {{"strokeOutside", 158.5, 15.5, {0, 0, 0}, 0},
                           {"fieldsKept", 175.5, 15.5, {128, 64, 102}, 2},
                           {"beyondTheOffset", 156.5, 15.5, {255, 255, 255}, 0}}},
        ClippedRasterCase{"negativeOffsetCutsTheStroke",
                          {{"rasterize", R"({"tagSearch": "layered", "clippingMaskOffset": -4})"}},
                          {{"strokeCutAway", 160.5, 15.5, {255, 255, 255}, 0},
                           {"fieldsKept", 175.5, 15.5, {128, 64, 102}, 2}}},
        ClippedRasterCase{"groupByItsMembers",
                          {{"groupObjects", R"({"tagSearch": "layered | multiplier", "tags": ["pair"]})"},
                           {"rasterize", R"({"tagSearch": "pair", "clippingMaskOffset": 2})"}},
                          {{"strokeOutside", 158.5, 15.5, {0, 0, 0}, 0},
                           {"belowBesideTheGroup", 260.5, 20.5, {255, 128, 204}, 2},
                           {"multiplierOverWhite", 300.5, 20.5, {128, 128, 128}, 2}}}),
    [](const testing::TestParamInfo<ClippedRasterCase>& info) { return info.param.name; });

// Sixteen squares, one a blend mode (normal to luminosity), each alone on an artboard of 320 x 20
// points: over nothing every mode shows the object's own colour, as the page shows it.
std::string BlendsOverNothingDocument() {
    std::string squares;
    for (int mode = 0; mode <= 15; ++mode) {
        const std::string left = std::to_string(20 * mode + 5);
        const std::string right = std::to_string(20 * mode + 15);
        squares += std::string(mode == 0 ? "" : ",") +
                   R"({"type": "path", "closed": true, "segments": [{"anchor": [)" + left +
                   R"(, 5]}, {"anchor": [)" + right + R"(, 5]}, {"anchor": [)" + right +
                   R"(, 15]}, {"anchor": [)" + left + R"(, 15]}], "style": {"paintFields": [{"fill": {"color":
                   {"rgb": [0.2, 0.6, 0.8]}}}], "blend": {"mode": )" +
                   std::to_string(mode) + "}}}";
    }
    return R"({"format": "plimhost-document", "version": 1,
               "artboards": [{"rect": [0.0, 20.0, 320.0, 0.0], "name": "Blends"}],
               "layers": [{"type": "layer", "title": "Art", "children": [)" +
           squares + "]}]}";
}

// How the artboard is exported and read back: the keys of the request, and the tool (if any) that
// turns the file into a PNG.
struct BlendOutput {
    const char* name;
    const char* format;
    const char* keys;
    const char* toPng;  // a command of {in} and {out}, or null for a PNG export read as it is
    int tolerance;
};

class BlendsOverNothing : public PluginTest, public testing::WithParamInterface<BlendOutput> {
protected:
    testsupport::ScratchFolder scratch{"blends_over_nothing"};
};

// Raster exports blend with what the document holds, not with the white the picture is put on.
TEST_P(BlendsOverNothing, EveryModeShowsTheObjectsOwnColour) {
    const BlendOutput& output = GetParam();
    OpenDocumentFile(scratch.Write("blends.ai", BlendsOverNothingDocument()), 3);
    json request = json::parse(output.keys);
    request["formats"] = {output.format};
    request["artboardRange"] = "1";
    request["folderPath"] = scratch.Path().string();
    request["fileName"] = "out";
    const json reply = ScriptJson("exportFile", request.dump());
    ASSERT_TRUE(reply.contains("Results")) << reply.dump();
    ASSERT_EQ(reply["Results"][0]["exportSuccessful"], true) << reply.dump();
    std::filesystem::path png = scratch.Path() / "out.png";
    if (output.toPng != nullptr) {
        std::string command = output.toPng;
        command.replace(command.find("{in}"), 4,
                        (scratch.Path() / (std::string("out.") + output.format)).string());
        command.replace(command.find("{out}"), 5, (scratch.Path() / "converted").string());
        ASSERT_EQ(testsupport::RunProgram(scratch, command, "").status, 0) << command;
        png = scratch.Path() / "converted.png";
    }
    ExportedPicture picture;
    ASSERT_EQ(lodepng::decode(picture.rgb, picture.width, picture.height, png.string(), LCT_RGB, 8), 0u);
    ASSERT_EQ(picture.width, 320u);
    for (int mode = 0; mode <= 15; ++mode) {
        const unsigned char* inside = picture.At(20 * mode + 10.5, 10.5);
        const int expected[] = {51, 153, 204};
        for (int i = 0; i < 3; ++i) {
            EXPECT_NEAR(inside[i], expected[i], output.tolerance) << "mode " << mode << " channel " << i;
        }
        const unsigned char* beside = picture.At(20 * mode + 2.5, 10.5);
        if (std::string(output.keys).find("transparentBackground") == std::string::npos) {
            EXPECT_EQ(beside[0] + beside[1] + beside[2], 3 * 255) << "mode " << mode << ": white beside it";
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Outputs, BlendsOverNothing,
                         testing::Values(BlendOutput{"Png", "png", "{}", nullptr, 1},
                                         BlendOutput{"PngTransparent", "png",
                                                     R"({"transparentBackground": true})", nullptr, 1},
                                         BlendOutput{"PdfThroughPdftoppm", "pdf", "{}",
                                                     "pdftoppm -r 72 -png -singlefile {in} {out}", 2}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
