// "expand", "rasterize", "reduceToBasicAppearance" and "remove" on examples/layout.json, read back
// from the document the host saves, and a picture of the example's artboard after a script of
// them, decoded and sampled.
#include <cairo.h>

#include <algorithm>
#include <memory>

#include "LayoutFixture.h"
#include "PngPicture.h"
#include "model/ArtPaintFormat.h"
#include "model/ArtStyle.h"
#include "model/Region.h"

namespace {

using host::model::ArtId;
using host::model::ArtStyle;
using host::model::Color;
using layouttest::FindArt;
using layouttest::LayoutTest;

std::vector<std::string> TagValues(const json& art) {
    std::vector<std::string> values;
    for (const json& tag : art.value("tags", json::array())) {
        values.push_back(tag["value"]);
    }
    std::sort(values.begin(), values.end());
    return values;
}

// The art of the saved document whose tag values include the text (of the type, when one is given).
const json* FindTagged(const json& node, const std::string& tag, const std::string& type = "") {
    const std::vector<std::string> tags = TagValues(node);
    if (std::find(tags.begin(), tags.end(), tag) != tags.end() && (type.empty() || node["type"] == type)) {
        return &node;
    }
    for (const char* key : {"layers", "children"}) {
        if (!node.contains(key)) {
            continue;
        }
        for (const json& child : node.at(key)) {
            if (const json* found = FindTagged(child, tag, type)) {
                return found;
            }
        }
    }
    return nullptr;
}

class StructureStyleTest : public LayoutTest {
protected:
    // The flags and step count of every call of the host's expand, in order.
    std::vector<std::pair<std::string, std::string>> ExpandCalls() {
        std::vector<std::pair<std::string, std::string>> calls;
        for (const host::JournalEntry& entry : app->Journal().Find("Expand")) {
            calls.emplace_back(entry.arguments[1], entry.arguments[2]);
        }
        return calls;
    }
};

// --- expand --------------------------------------------------------------------------------------------

TEST_F(StructureStyleTest, ExpandTurnsAStrokeIntoAFilledOutlineInPlace) {
    const json reply = ScriptJson("expand", R"({"tagSearch": "a", "seriesTag": "ex", "seriesStart": 3})");
    EXPECT_EQ(reply, json::parse(R"({"eventType": "expand", "tagSearch": "a"})"));
    const json saved = Saved();
    const json* a = FindArt(saved, "A");
    ASSERT_NE(a, nullptr);
    EXPECT_EQ((*a)["type"], "compoundPath");
    EXPECT_EQ(TagValues(*a), (std::vector<std::string>{"a", "box", "ex3"}));
    EXPECT_EQ((*a)["style"],
              json::parse(R"({"paintFields": [{"evenOdd": true, "fill": {"color": {"gray": 1.0}}}]})"));
    const host::model::Rect bounds = BoundsOf("A");
    EXPECT_NEAR(bounds.left, 8, 1e-6);
    EXPECT_NEAR(bounds.top, 92, 1e-6);
    EXPECT_NEAR(bounds.right, 52, 1e-6);
    EXPECT_NEAR(bounds.bottom, 48, 1e-6);
    // Still between the layer's first art and "B".
    EXPECT_EQ(*Doc().nextSibling(Named("A")), Named("B"));
}

struct ExpandFlagsCase {
    const char* name;
    const char* request;
    const char* flags;
    const char* steps;
};

class ExpandFlags : public StructureStyleTest, public testing::WithParamInterface<ExpandFlagsCase> {};

TEST_P(ExpandFlags, ReachTheHost) {
    const json reply = ScriptJson("expand", GetParam().request);
    EXPECT_FALSE(reply.contains("error")) << reply;
    const auto calls = ExpandCalls();
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].first, GetParam().flags);
    EXPECT_EQ(calls[0].second, GetParam().steps);
}

// 65536 always; object 451; fill 40 (to paths, steps 1 to 255) or 24 (to a mesh); stroke 4:
// 66031 for all of them to paths, 66015 to a mesh.
INSTANTIATE_TEST_SUITE_P(
    Cases, ExpandFlags,
    testing::Values(
        ExpandFlagsCase{"defaults", R"({"tagSearch": "c"})", "66031", "255"},
        ExpandFlagsCase{"nothing", R"({"tagSearch": "c", "object": false, "fill": false, "stroke": false})",
                        "65536", "-1"},
        ExpandFlagsCase{"mesh", R"({"tagSearch": "c", "gradientMesh": true})", "66015", "-1"},
        ExpandFlagsCase{"meshSteps", R"({"tagSearch": "c", "gradientMesh": true, "gradientSteps": 300.7})",
                        "66015", "300"},
        ExpandFlagsCase{"stepsZero", R"({"tagSearch": "c", "gradientSteps": 0})", "66031", "255"},
        ExpandFlagsCase{"stepsKept", R"({"tagSearch": "c", "gradientSteps": 12})", "66031", "12"},
        ExpandFlagsCase{"stepsHuge", R"({"tagSearch": "c", "gradientMesh": true, "gradientSteps": 1e300})",
                        "66015", "2147483647"},
        ExpandFlagsCase{"stepsText", R"({"tagSearch": "c", "gradientMesh": true, "gradientSteps": "7"})",
                        "66015", "-1"},
        ExpandFlagsCase{"flagsOfOtherTypes", R"({"tagSearch": "c", "object": 0, "stroke": "no"})", "66031",
                        "255"}),
    [](const testing::TestParamInfo<ExpandFlagsCase>& info) { return info.param.name; });

TEST_F(StructureStyleTest, ExpandSkipsArtThatAnEarlierStepDisposedOf) {
    // A stroked compound path of A and B: expanding it disposes of its paths, which come next in
    // its tree.
    const ArtId compound =
        *Doc().newArt(host::model::ArtType::compoundPath, host::model::PaintOrder::above, Named("A"));
    ASSERT_EQ(Doc().reorder(Named("A"), host::model::PaintOrder::insideOnBottom, compound),
              host::model::Status::ok);
    ASSERT_EQ(Doc().reorder(Named("B"), host::model::PaintOrder::insideOnBottom, compound),
              host::model::Status::ok);
    ASSERT_EQ(Doc().setStyle(compound, ArtStyle::ofStrokeWidth(2)), host::model::Status::ok);
    ASSERT_EQ(
        Doc().setAttributes(compound, host::model::attribute::selected, host::model::attribute::selected),
        host::model::Status::ok);
    ASSERT_FALSE(ScriptJson("setTags", R"({"tags": ["cp"]})").contains("error"));
    const json reply = ScriptJson("expand", R"({"tagSearch": "cp", "seriesTag": "s"})");
    EXPECT_FALSE(reply.contains("error")) << reply;
    EXPECT_EQ(ExpandCalls().size(), 1u);
    EXPECT_FALSE(Doc().isValid(compound));
    const json saved = Saved();
    const json* expanded = FindTagged(saved, "s1");
    ASSERT_NE(expanded, nullptr);
    EXPECT_EQ((*expanded)["type"], "compoundPath");
    EXPECT_EQ(TagValues(*expanded), (std::vector<std::string>{"cp", "s1"}));
}

TEST_F(StructureStyleTest, ExpandOfAGroupExpandsItsMembers) {
    const json reply = ScriptJson("expand", R"({"tagSearch": "pair", "fill": false})");
    EXPECT_FALSE(reply.contains("error"));
    EXPECT_EQ(ExpandCalls().size(), 3u);  // the group, P1 and P2
    EXPECT_EQ(*Doc().type(Named("P1")), host::model::ArtType::compoundPath);
    EXPECT_EQ(*Doc().type(Named("P2")), host::model::ArtType::path);  // nothing to expand
}

// Symbol instances and text of examples/poster.json expanded: what stands in the found art's place,
// with the tags it carries, and where it shows.
class PosterExpandTest : public layouttest::SavedExampleTest {
protected:
    PosterExpandTest() : SavedExampleTest(std::string(PLIM_SOURCE_DIR) + "/examples/poster.json") {}

    // A copy of the example (with the photo it places) opened as a file of its own, so that its
    // artboards can be exported.
    void SetUp() override {
        PluginTest::SetUp();
        const std::filesystem::path copy = fScratch.Path() / "poster.ai";
        std::filesystem::copy_file(std::string(PLIM_SOURCE_DIR) + "/examples/poster.json", copy);
        std::filesystem::copy_file(std::string(PLIM_SOURCE_DIR) + "/examples/poster-photo.png",
                                   fScratch.Path() / "poster-photo.png");
        OpenDocumentFile(copy.string(), 5);
    }

    // The geometric bounds of the art named so, and of its last match when the names repeat.
    host::model::Rect BoundsOf(const std::string& name) {
        host::model::Rect bounds;
        for (const ArtId art : Doc().documentOrder()) {
            if (Doc().name(art).ok() && Doc().name(art)->text == name) {
                bounds = Doc().bounds(art, host::model::BoundsKind::geometric).valueOr(host::model::Rect());
            }
        }
        return bounds;
    }

    const testsupport::ScratchFolder fScratch{"expand-poster"};
};

struct ExpandArtCase {
    const char* name;
    const char* request;
    const char* findTag;  // a tag of what stands in the found art's place afterwards
    const char* type;     // its type in the saved document
    std::vector<std::string> tags;
    const char* artName;  // its name, which shows where it was ("" not looked at)
};

class ExpandArt : public PosterExpandTest, public testing::WithParamInterface<ExpandArtCase> {};

TEST_P(ExpandArt, LeavesArtInItsPlace) {
    const ExpandArtCase& c = GetParam();
    const host::model::Rect before = *c.artName != '\0' ? BoundsOf(c.artName) : host::model::Rect();
    const json reply = ScriptJson("expand", c.request);
    EXPECT_FALSE(reply.contains("error")) << reply;
    const json saved = Saved();
    const json* art = FindTagged(saved, c.findTag, c.type);
    ASSERT_NE(art, nullptr) << saved.dump();
    EXPECT_EQ(TagValues(*art), c.tags);
    if (*c.artName == '\0') {
        return;
    }
    EXPECT_EQ(art->value("name", ""), c.artName);
    const host::model::Rect after = BoundsOf(c.artName);
    EXPECT_NEAR(after.left, before.left, 1e-6);
    EXPECT_NEAR(after.top, before.top, 1e-6);
    EXPECT_NEAR(after.right, before.right, 1e-6);
    EXPECT_NEAR(after.bottom, before.bottom, 1e-6);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ExpandArt,
    testing::Values(
        // An instance becomes a group of the symbol's artwork where the instance showed it.
        ExpandArtCase{"SymbolInstance",
                      R"({"tagSearch": "star & flyer", "seriesTag": "ex"})",
                      "ex1",
                      "group",
                      {"ex1", "flyer", "star"},
                      "Star 3"},
        ExpandArtCase{"SymbolInstanceWithoutObject",
                      R"({"tagSearch": "star & flyer", "object": false, "seriesTag": "ex"})",
                      "flyer",
                      "symbol",
                      {"flyer", "star"},
                      "Star 3"},
        // Text becomes its outline, which keeps the text's tags.
        ExpandArtCase{"PointText",
                      R"({"tagSearch": "tagline", "seriesTag": "ex"})",
                      "ex1",
                      "group",
                      {"ex1", "tagline", "text"},
                      ""},
        ExpandArtCase{"AreaText",
                      R"({"tagSearch": "headline & flyer", "seriesTag": "ex"})",
                      "ex1",
                      "group",
                      {"ex1", "flyer", "headline", "text"},
                      ""}),
    [](const testing::TestParamInfo<ExpandArtCase>& info) { return info.param.name; });

TEST_F(PosterExpandTest, AnExpandedSymbolInstanceStaysHiddenAndLocked) {
    constexpr host::model::ArtAttributes kHiddenLocked =
        host::model::attribute::hidden | host::model::attribute::locked;
    for (const ArtId art : Doc().documentOrder()) {
        if (Doc().name(art).ok() && Doc().name(art)->text == "Star 3") {
            ASSERT_EQ(Doc().setAttributes(art, kHiddenLocked, kHiddenLocked), host::model::Status::ok);
        }
    }
    EXPECT_FALSE(
        ScriptJson("expand", R"({"tagSearch": "star & flyer", "seriesTag": "ex"})").contains("error"));
    const json saved = Saved();
    const json* group = FindTagged(saved, "ex1", "group");
    ASSERT_NE(group, nullptr);
    EXPECT_EQ(group->value("hidden", false), true) << group->dump();
    EXPECT_EQ(group->value("locked", false), true) << group->dump();
}

TEST_F(PosterExpandTest, ExpandedSymbolInstancesDrawAsTheyDid) {
    const ExportedPicture before = ExportFirstArtboardPng(fScratch.Path() / "before");
    EXPECT_FALSE(ScriptJson("expand", R"({"tagSearch": "star"})").contains("error"));
    EXPECT_EQ(FindTagged(Saved(), "star", "symbol"), nullptr);
    const ExportedPicture after = ExportFirstArtboardPng(fScratch.Path() / "after");
    EXPECT_EQ(after.width, before.width);
    EXPECT_TRUE(after.rgb == before.rgb);
}

// --- rasterize -----------------------------------------------------------------------------------------

// The pixels of the saved raster tagged so, with its frame.
struct SavedRaster {
    std::vector<double> frame;
    std::size_t width = 0;
    std::size_t height = 0;
    std::size_t channels = 0;
    std::vector<std::uint8_t> bytes;

    std::vector<int> At(double x, double y) const {
        const auto column =
            static_cast<std::size_t>((x - frame[0]) / (frame[2] - frame[0]) * static_cast<double>(width));
        const auto row =
            static_cast<std::size_t>((frame[1] - y) / (frame[1] - frame[3]) * static_cast<double>(height));
        const std::size_t at = (row * width + column) * channels;
        return {bytes.begin() + static_cast<std::ptrdiff_t>(at),
                bytes.begin() + static_cast<std::ptrdiff_t>(at + channels)};
    }
};

SavedRaster ReadRaster(const json& art) {
    SavedRaster raster;
    raster.frame = art["frame"].get<std::vector<double>>();
    const json& pixels = art["pixels"];
    raster.width = pixels["width"];
    raster.height = pixels["height"];
    const std::string space = pixels.value("space", "rgb");
    raster.channels = (space == "gray" ? 1 : space == "rgb" ? 3 : 4) + (pixels.value("alpha", false) ? 1 : 0);
    raster.bytes =
        host::model::decodeBase64(pixels["data"].get<std::string>()).value_or(std::vector<std::uint8_t>{});
    return raster;
}

TEST_F(StructureStyleTest, RasterizeReplacesTheArtByItsPixels) {
    const json reply = ScriptJson("rasterize", R"({"tagSearch": "b", "resolution": 144, "antiAlias": false,
                                                    "seriesTag": "r", "uid": "u1"})");
    EXPECT_EQ(reply, json::parse(R"({"eventType": "rasterize", "tagSearch": "b", "uid": "u1"})"));
    const json saved = Saved();
    EXPECT_EQ(FindArt(saved, "B"), nullptr);
    const json* raster = FindTagged(saved, "r1");
    ASSERT_NE(raster, nullptr);
    EXPECT_EQ((*raster)["type"], "raster");
    EXPECT_EQ(TagValues(*raster), (std::vector<std::string>{"b", "box", "r1"}));
    const SavedRaster pixels = ReadRaster(*raster);
    // B's visible bounds, 99..161 x 39..81, at two pixels per point.
    EXPECT_EQ(pixels.frame, (std::vector<double>{99, 81, 161, 39}));
    EXPECT_EQ(pixels.width, 124u);
    EXPECT_EQ(pixels.height, 84u);
    EXPECT_EQ(pixels.At(100.2, 60), (std::vector<int>{0, 0, 0}));      // the stroke
    EXPECT_EQ(pixels.At(130, 60), (std::vector<int>{255, 255, 255}));  // inside: no fill
    EXPECT_EQ(pixels.At(130, 80.2), (std::vector<int>{0, 0, 0}));      // the top edge
    // The raster took B's place, after A.
    EXPECT_EQ(*Doc().nextSibling(Named("A")), Doc().artByUuid((*raster)["uuid"].get<std::string>()));
}

struct RasterOptionsCase {
    const char* name;
    const char* request;
    const char* space;
    bool alpha;
    std::vector<int> inside;  // the pixel at B's centre
};

class RasterOptions : public StructureStyleTest, public testing::WithParamInterface<RasterOptionsCase> {};

TEST_P(RasterOptions, ChooseThePixels) {
    const json reply = ScriptJson("rasterize", GetParam().request);
    ASSERT_FALSE(reply.contains("error")) << reply;
    const json saved = Saved();
    const json* raster = FindTagged(saved, "b");
    ASSERT_NE(raster, nullptr);
    EXPECT_EQ((*raster)["pixels"].value("space", ""), GetParam().space);
    EXPECT_EQ((*raster)["pixels"].value("alpha", false), GetParam().alpha);
    EXPECT_EQ(ReadRaster(*raster).At(130, 60), GetParam().inside);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RasterOptions,
    testing::Values(
        RasterOptionsCase{"documentModel", R"({"tagSearch": "b"})", "rgb", false, {255, 255, 255}},
        RasterOptionsCase{
            "emptyName", R"({"tagSearch": "b", "colorSpace": ""})", "rgb", false, {255, 255, 255}},
        RasterOptionsCase{
            "transparent", R"({"tagSearch": "b", "transparentBackground": true})", "rgb", true, {0, 0, 0, 0}},
        RasterOptionsCase{"gray", R"({"tagSearch": "b", "colorSpace": "Grayscale"})", "gray", false, {255}},
        RasterOptionsCase{
            "cmyk", R"({"tagSearch": "b", "colorSpace": "CMYK"})", "cmyk", false, {0, 0, 0, 0}}),
    [](const testing::TestParamInfo<RasterOptionsCase>& info) { return info.param.name; });

TEST_F(StructureStyleTest, RasterizeLowersAResolutionBeyondTheLargestRaster) {
    // V's visible bounds are 2 by 102 points: a million pixels per inch would make 1.4 million rows.
    const json reply = ScriptJson("rasterize", R"({"tagSearch": "line", "resolution": 1000000})");
    ASSERT_FALSE(reply.contains("error")) << reply;
    const host::model::RasterContent* content = nullptr;
    for (const ArtId art : Doc().documentOrder()) {
        if (const auto* found = Doc().contentAs<host::model::RasterContent>(art);
            found && !found->pixels.empty()) {
            content = found;
        }
    }
    ASSERT_NE(content, nullptr);
    EXPECT_EQ(content->pixels.height, 16383u);
    EXPECT_EQ(content->pixels.width, static_cast<std::size_t>(std::ceil(2.0 * 16383 / 102 - 1e-9)));
}

struct ClipOffsetCase {
    const char* name;
    const char* tag;  // the art rasterized: the result carries its tag
    double offset;
    bool clipped;                // false: the raster alone
    host::model::Rect clipPath;  // the clip path's geometric bounds
};

class RasterizeClipOffsets : public StructureStyleTest, public testing::WithParamInterface<ClipOffsetCase> {};

TEST_P(RasterizeClipOffsets, ClipToTheOutlineGrownByTheOffset) {
    const ClipOffsetCase& c = GetParam();
    const json request = {{"tagSearch", c.tag}, {"clippingMaskOffset", c.offset}};
    const json reply = ScriptJson("rasterize", request.dump());
    ASSERT_FALSE(reply.contains("error")) << reply;
    // The tag finds the result alone, never the clip path inside it.
    const std::vector<ArtId> tagged = ArtTagged(Doc(), c.tag);
    ASSERT_EQ(tagged.size(), 1u);
    if (!c.clipped) {
        EXPECT_EQ(*Doc().type(tagged[0]), host::model::ArtType::raster);
        return;
    }
    // The clip group: the clip path on top, the raster below it.
    EXPECT_EQ(*Doc().type(tagged[0]), host::model::ArtType::group);
    const std::vector<ArtId> members = *Doc().children(tagged[0]);
    ASSERT_EQ(members.size(), 2u);
    EXPECT_EQ(*Doc().attributes(members[0], host::model::attribute::clippingMask),
              host::model::attribute::clippingMask);
    EXPECT_EQ(*Doc().type(members[1]), host::model::ArtType::raster);
    const host::model::Rect clip = Doc().bounds(members[0], host::model::BoundsKind::geometric).valueOr({});
    EXPECT_NEAR(clip.left, c.clipPath.left, 0.02);
    EXPECT_NEAR(clip.top, c.clipPath.top, 0.02);
    EXPECT_NEAR(clip.right, c.clipPath.right, 0.02);
    EXPECT_NEAR(clip.bottom, c.clipPath.bottom, 0.02);
    // The raster reaches as far as the clip path.
    const host::model::Rect frame = Doc().bounds(members[1], host::model::BoundsKind::geometric).valueOr({});
    EXPECT_LE(frame.left, clip.left);
    EXPECT_GE(frame.top, clip.top);
    EXPECT_GE(frame.right, clip.right);
    EXPECT_LE(frame.bottom, clip.bottom);
}

// B is a rectangle from (100, 40) to (160, 80) stroked 2 points wide; the group "pair" holds two
// 40-point squares from x 300 and 360, y 60 to 100, the second with a top edge curving up to about
// 111.55 (followed by straight pieces, so a little less); the clip group "clip" shows its content through
// its mask from (0, -150) to (50, -100).
INSTANTIATE_TEST_SUITE_P(
    Cases, RasterizeClipOffsets,
    testing::Values(ClipOffsetCase{"pathGrown", "b", 5, true, {95, 85, 165, 35}},
                    ClipOffsetCase{"pathItself", "b", 0, true, {100, 80, 160, 40}},
                    ClipOffsetCase{"pathShrunk", "b", -5, true, {105, 75, 155, 45}},
                    ClipOffsetCase{"groupByItsPaths", "pair", 5, true, {295, 116.55, 405, 55}},
                    ClipOffsetCase{"clipGroupByItsMask", "clip", 5, true, {-5, -95, 55, -155}},
                    ClipOffsetCase{"textHasNoPathToClipBy", "label", 5, false, {}}),
    [](const testing::TestParamInfo<ClipOffsetCase>& info) { return info.param.name; });

// --- reduceToBasicAppearance and remove ----------------------------------------------------------------

TEST_F(StructureStyleTest, ReduceKeepsTheFocalFillAndStroke) {
    ArtStyle rich;
    rich.paintFields = {host::model::PaintField::fill(Color::rgb(0, 1, 0)),
                        host::model::PaintField::stroke(Color::black(), 3),
                        host::model::PaintField::fill(Color::rgb(1, 0, 0))};
    rich.paintFields[0].effects.push_back({"Host Drop Shadow", 1, true, {}});
    rich.postEffects.push_back({"Host Blur", 1, true, {}});
    rich.blend.opacity = 0.5;
    ASSERT_EQ(Doc().setStyle(Named("C"), rich), host::model::Status::ok);
    const json reply = ScriptJson("reduceToBasicAppearance", R"({"tagSearch": "c | pair"})");
    EXPECT_EQ(reply, json::parse(R"({"eventType": "reduceToBasicAppearance", "tagSearch": "c | pair"})"));
    const json saved = Saved();
    EXPECT_EQ((*FindArt(saved, "C"))["style"],
              json::parse(R"({"paintFields": [{"fill": {"color": {"rgb": [0.0, 1.0, 0.0]}}},
                                              {"stroke": {"color": {"gray": 1.0}, "width": 3.0}}]})"));
    EXPECT_EQ((*FindArt(saved, "A"))["strokeWidth"], 4.0);
}

TEST_F(StructureStyleTest, RemoveSkipsArtInsideAnAlreadyRemovedGroup) {
    const json reply = ScriptJson("remove", R"({"tagSearch": "pair | inner | c"})");
    EXPECT_EQ(reply, json::parse(R"({"eventType": "remove", "tagSearch": "pair | inner | c"})"));
    const json saved = Saved();
    for (const char* name : {"Pair", "P1", "P2", "C"}) {
        EXPECT_EQ(FindArt(saved, name), nullptr) << name;
    }
    EXPECT_NE(FindArt(saved, "B"), nullptr);
    // No disposal was asked of art that was gone already.
    for (const host::JournalEntry& entry : app->Journal().Find("DisposeArt")) {
        EXPECT_EQ(entry.result, kNoErr) << entry.Text();
    }
}

// --- Error replies -------------------------------------------------------------------------------------

struct ErrorCase {
    const char* name;
    const char* command;
    const char* request;
    const char* reply;
};

class StyleCommandErrors : public StructureStyleTest, public testing::WithParamInterface<ErrorCase> {};

TEST_P(StyleCommandErrors, ReplyAndChangeNothing) {
    const host::model::Document before = Doc();
    EXPECT_EQ(ScriptJson(GetParam().command, GetParam().request), json::parse(GetParam().reply));
    EXPECT_TRUE(Doc() == before);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, StyleCommandErrors,
    testing::Values(
        ErrorCase{"expandEmpty", "expand", "{}",
                  R"({"error": "No artwork found", "eventType": "expand", "tagSearch": ""})"},
        ErrorCase{"expandNothing", "expand", R"({"tagSearch": "nothing"})",
                  R"({"error": "No artwork found", "eventType": "expand", "tagSearch": "nothing"})"},
        ErrorCase{"rasterizeEmpty", "rasterize", "{}",
                  R"({"error": "Tagged art not found", "eventType": "rasterize", "tagSearch": ""})"},
        ErrorCase{
            "rasterizeSpace", "rasterize", R"({"tagSearch": "b", "colorSpace": "rgb"})",
            R"({"error": "Can't read rasterizing options", "eventType": "rasterize", "tagSearch": "b"})"},
        ErrorCase{
            "rasterizeZero", "rasterize", R"({"tagSearch": "b", "resolution": 0})",
            R"({"error": "Can't read rasterizing options", "eventType": "rasterize", "tagSearch": "b"})"},
        ErrorCase{
            "rasterizeNegative", "rasterize", R"({"tagSearch": "b", "resolution": -72})",
            R"({"error": "Can't read rasterizing options", "eventType": "rasterize", "tagSearch": "b"})"},
        // The helper rectangle of the offset is made, then the raster is refused: the rectangle goes.
        ErrorCase{"rasterizeHugeOffset", "rasterize", R"({"tagSearch": "b", "clippingMaskOffset": 1e308})",
                  R"({"error": "Can't rasterize artwork", "eventType": "rasterize", "tagSearch": "b"})"},
        ErrorCase{
            "reduceEmpty", "reduceToBasicAppearance", "{}",
            R"({"error": "No artwork found", "eventType": "reduceToBasicAppearance", "tagSearch": ""})"},
        ErrorCase{"removeNothing", "remove", R"({"tagSearch": "nothing"})",
                  R"({"error": "No artwork found", "eventType": "remove", "tagSearch": "nothing"})"},
        ErrorCase{"removeWrongType", "remove", R"({"tagSearch": 5})",
                  R"({"error": "\"tagSearch\" must be a string", "eventType": "remove"})"}),
    [](const testing::TestParamInfo<ErrorCase>& info) { return info.param.name; });

// --- The artboard's picture ----------------------------------------------------------------------------

TEST(StructureStyleSnapshot, PictureOfTheArtboardAfterAScript) {
    const testsupport::ScratchFolder scratch("style-snapshot");
    const std::filesystem::path picture = scratch.Path() / "main.png";
    const std::string script =
        "expand {\"tagSearch\": \"a\"}\n"
        "rasterize {\"tagSearch\": \"b\", \"resolution\": 144}\n"
        "remove {\"tagSearch\": \"line\"}\n"
        "reduceToBasicAppearance {\"tagSearch\": \"box\"}\n";
    const testsupport::ProgramRun run = testsupport::RunProgram(
        scratch,
        std::string(PLIM_BIN_DIR) + "/plimhost --open " + layouttest::LayoutExample() + " --snapshot " +
            picture.string() + " " + scratch.Write("script.plim", script),
        "");
    ASSERT_EQ(run.status, 0);
    ASSERT_EQ(run.Lines().size(), 4u);
    const pngpicture::Picture image = pngpicture::ReadPng(picture.string());
    ASSERT_EQ(cairo_surface_status(image.get()), CAIRO_STATUS_SUCCESS);
    // The active artboard "Main" is [0, 300, 600, -300]: 600 by 600 pixels, row 0 at y 300.
    EXPECT_EQ(cairo_image_surface_get_width(image.get()), 600);
    EXPECT_EQ(cairo_image_surface_get_height(image.get()), 600);
    const auto at = [&](double x, double y) {
        return pngpicture::PixelOf(image.get(), static_cast<int>(x), static_cast<int>(300 - y));
    };
    using RGB = std::array<int, 3>;
    EXPECT_EQ(at(9, 70), (RGB{0, 0, 0}));           // A's expanded stroke, left edge
    EXPECT_EQ(at(30, 70), (RGB{255, 255, 255}));    // inside A
    EXPECT_EQ(at(99.5, 60), (RGB{0, 0, 0}));        // B's stroke, now pixels
    EXPECT_EQ(at(130, 60), (RGB{255, 255, 255}));   // inside B
    EXPECT_EQ(at(580, 50), (RGB{255, 255, 255}));   // the removed line
    EXPECT_EQ(at(350, 175), (RGB{153, 153, 153}));  // the placed file's frame
    EXPECT_EQ(at(410, 160), (RGB{153, 153, 153}));  // the raster without pixels
    EXPECT_EQ(at(320, 100), (RGB{0, 0, 0}));        // P1's top edge
    EXPECT_EQ(at(75, -50), (RGB{255, 255, 255}));   // "Big"'s stroke, clipped away by the mask
    EXPECT_EQ(at(25, -125), (RGB{255, 255, 255}));  // inside the mask: nothing of "Big" lies there
}

}  // namespace
