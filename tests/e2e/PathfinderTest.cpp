// "pathfinder" on the shapes example: each of the ten operations with the bounds and area of what
// it leaves in the saved document, the tags the result carries, text outlined first, and the
// error replies.
#include <array>
#include <cmath>
#include <fstream>
#include <numbers>
#include <utility>

#include "OutlineSeams.h"
#include "StructureFixture.h"

namespace {

using structuretest::AnchorBounds;
using structuretest::ExpectBounds;
using structuretest::SignedArea;
using structuretest::StructureTest;
using structuretest::TaggedCopies;
using structuretest::TagsOf;

using Pathfinder = StructureTest;

struct ModeCase {
    const char* mode;
    const char* type;     // of the result
    std::size_t members;  // of a group result
    double area;          // outline: the faces the open paths run round
    std::array<double, 4> bounds;
};

void PrintTo(const ModeCase& c, std::ostream* out) {
    *out << c.mode;
}

class PathfinderModes : public StructureTest, public testing::WithParamInterface<ModeCase> {};

// "Blue" [50..150]² lies in front of "Red" [0..100]²; they share [50..100]².
TEST_P(PathfinderModes, ReplaceTheSquaresByTheResultWithTheirTags) {
    const ModeCase& c = GetParam();
    const json request = {{"tagSearch", "square"}, {"mode", c.mode}, {"seriesTag", "pf"}, {"uid", "u"}};
    EXPECT_EQ(ScriptJson("pathfinder", request.dump()),
              (json{{"eventType", "pathfinder"}, {"tagSearch", "square"}, {"uid", "u"}}));
    EXPECT_FALSE(Exists("Blue"));
    EXPECT_FALSE(Exists("Red"));
    const std::vector<json> results = Tagged("pf1");
    ASSERT_EQ(results.size(), 1u);
    const json& result = results.front();
    EXPECT_EQ(result["type"], c.type);
    EXPECT_EQ(TagsOf(result), (std::set<std::string>{"blue", "red", "square", "pf1"}));
    if (std::string(c.type) == "group") {
        EXPECT_EQ(result["children"].size(), c.members);
    }
    EXPECT_NEAR(SignedArea(result), c.area, 1e-6);
    ExpectBounds(AnchorBounds(result), c.bounds, c.mode);
    EXPECT_EQ(Layer("Shapes").front(), "*") << "the result stands where the squares stood";
}

INSTANTIATE_TEST_SUITE_P(Squares, PathfinderModes,
                         testing::Values(ModeCase{"unite", "path", 0, 17500, {0, 150, 150, 0}},
                                         ModeCase{"intersect", "path", 0, 2500, {50, 100, 100, 50}},
                                         ModeCase{"exclude", "compoundPath", 0, 15000, {0, 150, 150, 0}},
                                         ModeCase{"minusFront", "path", 0, 7500, {0, 100, 100, 0}},
                                         ModeCase{"minusBack", "path", 0, 7500, {50, 150, 150, 50}},
                                         ModeCase{"divide", "group", 3, 17500, {0, 150, 150, 0}},
                                         ModeCase{"trim", "group", 2, 17500, {0, 150, 150, 0}},
                                         ModeCase{"merge", "group", 2, 17500, {0, 150, 150, 0}},
                                         ModeCase{"crop", "group", 1, 2500, {50, 100, 100, 50}},
                                         ModeCase{"outline", "group", 3, 17500, {0, 150, 150, 0}}),
                         [](const auto& info) { return std::string(info.param.mode); });

TEST_F(Pathfinder, MergeUnitesOverlappingShapesPaintedAlike) {
    Script("pathfinder", R"({"tagSearch":"greens","mode":"merge"})");
    const std::vector<json> results = Tagged("greens");
    ASSERT_EQ(results.size(), 1u);
    ASSERT_EQ(results.front()["children"].size(), 1u);
    EXPECT_NEAR(SignedArea(results.front()), 17500, 1e-6);
}

TEST_F(Pathfinder, CurvesAreCombinedAsFlattenedOutlines) {
    Script("pathfinder", R"({"tagSearch":"circle","mode":"unite"})");
    const std::vector<json> results = Tagged("circle");
    ASSERT_EQ(results.size(), 1u);
    EXPECT_NEAR(SignedArea(results.front()), std::numbers::pi * 2500, 0.002 * std::numbers::pi * 2500);
    ExpectBounds(AnchorBounds(results.front()), {1050, 100, 1150, 0}, "circle", 1e-2);
}

TEST_F(Pathfinder, TextIsOutlinedBeforeItIsCombined) {
    Script("pathfinder", R"({"tagSearch":"word|red","mode":"unite"})");
    EXPECT_FALSE(Exists("Word"));
    const std::vector<json> results = Tagged("word");
    ASSERT_EQ(results.size(), 1u);
    EXPECT_EQ(results.front()["type"], "compoundPath");
    // The glyphs cover part of the text's box [0..100 x 280..300], apart from the square.
    const double glyphs = SignedArea(results.front()) - 10000;
    EXPECT_GT(glyphs, 20);
    EXPECT_LT(glyphs, 2000);
    const std::array<double, 4> box = AnchorBounds(results.front());
    EXPECT_LT(box[1], 300);
    EXPECT_GT(box[1], 280);
}

TEST_F(Pathfinder, AHoleOfACompoundPathStaysAHole) {
    Script("pathfinder", R"({"tagSearch":"ring","mode":"unite"})");
    const std::vector<json> results = Tagged("ring");
    ASSERT_EQ(results.size(), 1u);
    EXPECT_NEAR(SignedArea(results.front()), 7500, 1e-6);
}

// Three rectangles whose edges lie on one another along y = 50 and x = 30 and 60:
// [10..70 x 50..70], [30..90 x 50..70], [20..60 x 40..70], tagged "square".
std::string BoxesDocument() {
    json layer = {{"type", "layer"}, {"title", "Boxes"}, {"children", json::array()}};
    const std::array<std::array<double, 4>, 3> boxes = {
        {{10, 50, 70, 70}, {30, 50, 90, 70}, {20, 40, 60, 70}}};
    for (const auto& [left, bottom, right, top] : boxes) {
        json segments = json::array();
        for (const auto& [x, y] : {std::pair{left, bottom}, {right, bottom}, {right, top}, {left, top}}) {
            segments.push_back({{"anchor", {x, y}}});
        }
        layer["children"].push_back(
            {{"type", "path"},
             {"closed", true},
             {"segments", segments},
             {"style", {{"paintFields", {{{"fill", {{"color", {{"rgb", {0.0, 0.0, 1.0}}}}}}}}}}},
             {"tags", {{{"name", "_p_tag_9d14d28a"}, {"type", "string"}, {"value", "square"}}}}});
    }
    const std::string path = testing::TempDir() + "plim_pathfinder_boxes.json";
    std::ofstream(path) << json{{"format", "plimhost-document"}, {"version", 1}, {"layers", {layer}}}.dump();
    return path;
}

// Every outline under the art, as its anchors.
void CollectOutlines(const json& art, std::vector<testsupport::GridRing>& out) {
    if (art.contains("segments")) {
        testsupport::GridRing ring;
        for (const json& segment : art["segments"]) {
            ring.push_back({std::lround(segment["anchor"][0].get<double>()),
                            std::lround(segment["anchor"][1].get<double>())});
        }
        out.push_back(ring);
    }
    for (const json& child : art.value("children", json::array())) {
        CollectOutlines(child, out);
    }
}

struct BoxesCase {
    const char* mode;
    double area;
    std::size_t outlines;
};

void PrintTo(const BoxesCase& c, std::ostream* out) {
    *out << c.mode;
}

class PathfinderBoxes : public layouttest::SavedExampleTest, public testing::WithParamInterface<BoxesCase> {
protected:
    PathfinderBoxes() : SavedExampleTest(BoxesDocument()) {}
};

// The result covers what the mode says, drawn by outlines that share no edge: where the boxes'
// edges lie on one another inside the area, no seam is left. Exclude leaves [20..60 x 40..50] with
// [30..60 x 50..70] on it as one outline (with [10..20 x 50..70] meeting it at a corner), and
// [70..90 x 50..70].
TEST_P(PathfinderBoxes, OutlinesShareNoEdge) {
    const json request = {{"tagSearch", "square"}, {"mode", GetParam().mode}, {"seriesTag", "pf"}};
    ASSERT_FALSE(ScriptJson("pathfinder", request.dump()).contains("error"));
    const std::vector<json> results = TaggedCopies(Saved(), "pf1");
    ASSERT_EQ(results.size(), 1u);
    EXPECT_NEAR(SignedArea(results.front()), GetParam().area, 1e-6);
    std::vector<testsupport::GridRing> rings;
    CollectOutlines(results.front(), rings);
    EXPECT_EQ(rings.size(), GetParam().outlines);
    EXPECT_FALSE(testsupport::HasASeam(rings)) << results.front().dump();
}

INSTANTIATE_TEST_SUITE_P(Boxes, PathfinderBoxes,
                         testing::Values(BoxesCase{"exclude", 1600, 2}, BoxesCase{"unite", 2000, 1},
                                         BoxesCase{"minusFront", 400, 1}, BoxesCase{"intersect", 600, 1}),
                         [](const auto& info) { return std::string(info.param.mode); });

struct ErrorCase {
    const char* name;
    const char* request;
    const char* error;
};

void PrintTo(const ErrorCase& c, std::ostream* out) {
    *out << c.name;
}

class PathfinderErrors : public StructureTest, public testing::WithParamInterface<ErrorCase> {};

TEST_P(PathfinderErrors, LeaveTheDocumentAsItWas) {
    const json before = Saved();
    const json reply = ScriptJson("pathfinder", GetParam().request);
    EXPECT_EQ(reply["error"], GetParam().error);
    EXPECT_EQ(reply["eventType"], "pathfinder");
    EXPECT_EQ(Saved(), before);
}

INSTANTIATE_TEST_SUITE_P(
    Replies, PathfinderErrors,
    testing::Values(
        ErrorCase{"noQuery", R"({"mode":"unite"})", "Tagged art not found"},
        ErrorCase{"nothingFound", R"({"tagSearch":"nothing","mode":"unite"})", "Tagged art not found"},
        ErrorCase{"noMode", R"({"tagSearch":"square"})", "Invalid mode"},
        ErrorCase{"modeInOtherCase", R"({"tagSearch":"square","mode":"Unite"})", "Invalid mode"},
        // The mode is checked before the text is outlined.
        ErrorCase{"textWithBadMode", R"({"tagSearch":"word","mode":"melt"})", "Invalid mode"},
        ErrorCase{"placedArt", R"({"tagSearch":"picture|red","mode":"unite"})", "Can't combine objects"},
        ErrorCase{"nothingLeft", R"({"tagSearch":"red|green","mode":"intersect"})", "Can't combine objects"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(Pathfinder, AKeyOfTheWrongTypeFailsTheCommand) {
    const json reply = ScriptJson("pathfinder", R"({"tagSearch":"square","mode":7})");
    EXPECT_TRUE(reply.contains("error"));
    EXPECT_TRUE(Exists("Red"));
}

}  // namespace
