// "place" on the example shapes: a PNG, a native document and a text file placed in each mode
// into tagged containers, with the resulting art and geometry read back from the host.
#include <lodepng.h>

#include <algorithm>
#include <vector>

#include "CraftedFiles.h"
#include "HostilePlacedFiles.h"
#include "PluginFixture.h"
#include "ProgramRun.h"
#include "model/ArtContent.h"

namespace {

using host::model::ArtId;
using host::model::ArtType;
using host::model::Rect;

class PlaceTest : public PluginTest {
protected:
    void SetUp() override {
        PluginTest::SetUp();
        OpenExample("shapes.json", 17);
        // A 40 x 20 pixel red image at 144 pixels per inch: 20 x 10 points.
        std::vector<unsigned char> rgba(40 * 20 * 4, 255);
        lodepng::State state;
        state.info_png.phys_defined = 1;
        state.info_png.phys_x = state.info_png.phys_y = 5669;
        state.info_png.phys_unit = 1;
        std::vector<unsigned char> png;
        ASSERT_EQ(lodepng::encode(png, rgba, 40, 20, state), 0u);
        image = scratch.Write("red.png", std::string(png.begin(), png.end()));
        // The same image only in T/a, named through T/lnk -> a/b: "lnk/.." is T/a, not T.
        std::filesystem::create_directories(scratch.Path() / "a/b");
        std::filesystem::create_directory_symlink("a/b", scratch.Path() / "lnk");
        scratch.Write("a/linked.png", std::string(png.begin(), png.end()));
        throughLink = (scratch.Path() / "lnk/../linked.png").string();
        text = scratch.Write("note.txt", "Hello\r\nworld");
        native = scratch.Write("sample.ai",
                               testsupport::ReadFile(std::string(PLIM_SOURCE_DIR) + "/examples/sample.json"));
    }

    host::model::Document& Document() { return *app->CurrentDocument(); }

    // The art carrying every one of the tags, in document order.
    std::vector<ArtId> Tagged(const std::string& tag) { return ArtTagged(Document(), tag); }

    Rect Bounds(ArtId art) { return *Document().bounds(art, host::model::BoundsKind::geometric); }

    testsupport::ScratchFolder scratch{"place"};
    std::string image;
    std::string throughLink;
    std::string text;
    std::string native;
};

struct PlaceCase {
    const char* name;
    const char* tagSearch;
    const char* file;   // "image", "linked" (the image through a link and ".."), "native" or "text"
    const char* extra;  // further request keys
    ArtType resultType;
    const char* resultTag;   // the tag the result carries
    Rect bounds;             // the result's geometric bounds
    bool containerKept;      // whether the container is still there
    const char* resultName;  // the result's own name ("" for none)
};

class PlaceCases : public PlaceTest, public testing::WithParamInterface<PlaceCase> {};

TEST_P(PlaceCases, PlacesIntoTheContainer) {
    const PlaceCase& c = GetParam();
    const std::string file = std::string(c.file) == "image"    ? image
                             : std::string(c.file) == "linked" ? throughLink
                             : std::string(c.file) == "text"   ? text
                                                               : native;
    json request = json::parse(std::string("{") + c.extra + "}");
    request["filePath"] = file;
    request["tagSearch"] = c.tagSearch;
    request["tags"] = {"placed"};
    request["uid"] = "p";
    const std::vector<ArtId> containers = Tagged(c.tagSearch);
    const json reply = ScriptJson("place", request.dump());
    EXPECT_FALSE(reply.contains("error")) << reply;
    EXPECT_EQ(reply["uid"], "p");
    const std::vector<ArtId> results = Tagged("placed");
    ASSERT_EQ(results.size(), 1u);
    EXPECT_EQ(*Document().type(results[0]), c.resultType);
    EXPECT_EQ(Tagged(c.resultTag).front(), results[0]);  // the result carries the container's tags
    const Rect bounds = Bounds(results[0]);
    EXPECT_NEAR(bounds.left, c.bounds.left, 0.01);
    EXPECT_NEAR(bounds.top, c.bounds.top, 0.01);
    EXPECT_NEAR(bounds.right, c.bounds.right, 0.01);
    EXPECT_NEAR(bounds.bottom, c.bounds.bottom, 0.01);
    if (!containers.empty()) {
        EXPECT_EQ(Document().isValid(containers[0]), c.containerKept);
    }
    const host::model::ArtName name = *Document().name(results[0]);
    EXPECT_EQ(name.isDefault ? "" : name.text, c.resultName);
}

// The blue square is a path from (50, 50) to (150, 150); "picture" a placed file 50 x 50 from
// (500, 0) to (550, 50); the artboard is 612 x 792.
const PlaceCase kPlaceCases[] = {
    // Image mode: the placed container's file is swapped, fitted into its bounds; the new object
    // takes over the container's tags and its name.
    {"ImageSwapsAPlacedContainer", "picture", "image", R"("fittingMethod":"fit")", ArtType::placed, "picture",
     Rect(500, 37.5, 550, 12.5), false, "Picture"},
    {"ImageEmbeddedBecomesARaster", "picture", "image", R"("fittingMethod":"fill","embed":true)",
     ArtType::raster, "picture", Rect(475, 50, 575, 0), false, "Picture"},
    // A path container: the image is fitted and clipped by the container's shape.
    {"ImageClippedByAPath", "blue", "image", R"("fittingMethod":"fit")", ArtType::group, "blue",
     Rect(50, 150, 150, 50), false, ""},
    {"ImageUnclippedKeepsItsOwnBounds", "blue", "image", R"("fittingMethod":"fit","clipping":false)",
     ArtType::placed, "blue", Rect(50, 125, 150, 75), false, ""},
    {"ImageInTheContainersBoundsMode", "blue", "image",
     R"("mode":"bounds","fittingMethod":"original","alignment":"TL")", ArtType::group, "square",
     Rect(50, 150, 150, 50), false, ""},
    // A native document embedded: its artboard's content, clipped by the blue square.
    {"NativeDocumentInAPath", "blue", "native", R"("embed":true,"fittingMethod":"fit")", ArtType::group,
     "blue", Rect(50, 150, 150, 50), false, ""},
    // Without containers the file is placed once, centred on the artboard, at its own size.
    {"ImageWithoutContainers", "", "image", "", ArtType::placed, "placed", Rect(296, 401, 316, 391), true,
     ""},
    // The file is the one the system reads: the link is followed before its "..".
    {"ImageThroughALinkThenUp", "", "linked", "", ArtType::placed, "placed", Rect(296, 401, 316, 391), true,
     ""},
    {"TextFileAsPointText", "", "text", "", ArtType::textFrame, "placed", Rect(288, 410.4, 324, 381.6), true,
     ""},
};

INSTANTIATE_TEST_SUITE_P(Place, PlaceCases, testing::ValuesIn(kPlaceCases),
                         [](const testing::TestParamInfo<PlaceCase>& info) { return info.param.name; });

TEST_F(PlaceTest, CopiesOfTaggedArtAreNumberedInDocumentOrder) {
    const std::vector<ArtId> original = Tagged("circle");
    const json reply = ScriptJson(
        "place", R"({"tagSearch":"square","placeTagSearch":"circle","seriesTag":"n","fittingMethod":"fit"})");
    EXPECT_FALSE(reply.contains("error")) << reply;
    EXPECT_EQ(Tagged("n1"), original);  // the original keeps the first number
    ASSERT_EQ(Tagged("n2").size(), 1u);
    ASSERT_EQ(Tagged("n3").size(), 1u);
    EXPECT_EQ(Tagged("square").size(), 2u);  // the two results, in place of the two squares
}

TEST_F(PlaceTest, ABoundingBoxIsOneBlackPointStrokeWithoutFill) {
    const std::vector<ArtId> before = Document().documentOrder();
    const json reply = ScriptJson("place", json{{"filePath", image}, {"addBoundingBox", true}}.dump());
    EXPECT_FALSE(reply.contains("error")) << reply;
    std::vector<ArtId> boxes;
    for (const ArtId art : Document().documentOrder()) {
        if (std::find(before.begin(), before.end(), art) == before.end() &&
            *Document().type(art) == ArtType::path) {
            boxes.push_back(art);
        }
    }
    ASSERT_EQ(boxes.size(), 1u);
    const host::model::ArtStyle style = *Document().style(boxes.front());
    ASSERT_EQ(style.paintFields.size(), 1u);
    const host::model::StrokePaint* stroke = style.paintFields[0].strokePaint();
    ASSERT_NE(stroke, nullptr);
    EXPECT_EQ(stroke->color, host::model::Color::cmyk(0, 0, 0, 1));
    EXPECT_EQ(stroke->width, 1.0);
}

// Refused requests change nothing: a missing file, an unreadable image or drawing, a wrong type,
// a file whose reading or drawing goes beyond the bound of a placed file, linked or embedded.
TEST_F(PlaceTest, RefusedRequestsLeaveTheDocument) {
    const std::string broken = scratch.Write("broken.jpg", std::string("\xFF\xD8\xFF\xE0 not really", 15));
    const std::string truncated = scratch.Write("cut.tif", std::string("II*\0\x08\0\0\0", 8));
    // Lengths far too long to be sizes: read in one scan, they give no usable box.
    const std::string digits =
        scratch.Write("digits.svg", "<svg width=\"" + std::string(100000, '9') + "\" height=\"" +
                                        std::string(100000, '7') + "\">");
    const std::string blanks =
        scratch.Write("blanks.svg", "<svg width=\"" + std::string(100000, ' ') + "5%\" height=\"" +
                                        std::string(100000, '\t') + "\">");
    struct Case {
        json request;
        const char* error;
    };
    std::vector<Case> cases = {
        {{{"filePath", scratch.Path().string() + "/none.png"}}, "filePath not found"},
        {{{"filePath", broken}}, "Cant't place the image"},
        {{{"filePath", truncated}, {"tagSearch", "blue"}}, nullptr},
        {{{"filePath", digits}}, "Cant't place the image"},
        {{{"filePath", blanks}}, "Cant't place the image"},
        {{{"filePath", image}, {"seriesStart", "one"}}, "\"seriesStart\" must be a number"},
        // The text before the NUL names the image; the whole names no file.
        {{{"filePath", image + std::string("\0.png", 5)}}, nullptr},
        {{{"tagSearch", "nothing"}}, "Can't find an art specified by search string"},
    };
    for (const hostile::HostileFile& file : hostile::kHostileFiles) {
        const std::string path = file.file(scratch);
        cases.push_back({{{"filePath", path}}, "Cant't place the image"});
        cases.push_back({{{"filePath", path}, {"embed", true}}, "Cant't place the image"});
    }
    const host::model::Document before = Document();
    // A lowered bound keeps the hostile files short; the ordinary ones don't come near it.
    host::SetPictureBound(hostile::kLoweredBound);
    for (const auto& c : cases) {
        const json reply = ScriptJson("place", c.request.dump());
        if (c.error != nullptr) {
            EXPECT_EQ(reply.value("error", ""), c.error) << c.request;
        }
        EXPECT_TRUE(Document() == before) << c.request;
    }
    host::SetPictureBound({});
    host::ForgetRefusedContent();
}

// The place options the command sets on the art it replaces belong to the document: a place that
// is undone, or one that fails (and so is taken back), leaves the replaced art with the options it
// had.
TEST_F(PlaceTest, UndoneAndFailedPlacesLeaveTheOptionsAsTheyWere) {
    const std::string broken = scratch.Write("broken.jpg", std::string("\xFF\xD8\xFF\xE0 not really", 15));
    const ArtId picture = Tagged("picture").front();
    const host::model::PlaceFit own{1, 8, true};
    Document().editContent<host::model::PlacedContent>(picture)->fit = own;
    const struct {
        const char* name;
        std::vector<std::pair<const char*, json>> script;
    } cases[] = {
        {"undone",
         {{"startContext", json::object()},
          {"place",
           {{"filePath", image}, {"tagSearch", "picture"}, {"fittingMethod", "fit"}, {"alignment", "TL"}}},
          {"undoChanges", json::object()}}},
        {"undoneEmbedded",
         {{"startContext", json::object()},
          {"place",
           {{"filePath", image}, {"tagSearch", "picture"}, {"fittingMethod", "fill"}, {"embed", true}}},
          {"undoChanges", json::object()}}},
        {"failed",
         {{"place",
           {{"filePath", broken}, {"tagSearch", "picture"}, {"fittingMethod", "fit"}, {"alignment", "TL"}}}}},
    };
    const host::model::Document before = Document();
    for (const auto& c : cases) {
        for (const auto& [command, request] : c.script) {
            Script(command, request.dump());
        }
        ASSERT_TRUE(Document().isValid(picture)) << c.name;
        EXPECT_EQ(Document().contentAs<host::model::PlacedContent>(picture)->fit, own) << c.name;
        EXPECT_TRUE(Document() == before) << c.name;
    }
}

// A PDF page is measured as poppler draws it, by its crop box, also when the page's dictionary sits
// in a compressed object stream (as most current writers store it) where no scan of the file's text
// finds it.
TEST_F(PlaceTest, APdfPlacesWithTheFramePopplerDraws) {
    const std::string plain = scratch.Write(
        "page.pdf", crafted::Pdf("/MediaBox [0 0 40 20] /CropBox [5 5 35 15]", "1 0 0 rg 0 0 40 20 re f"));
    const std::string streams = (scratch.Path() / "streams.pdf").string();
    const auto run = testsupport::RunProgram(
        scratch, "qpdf --object-streams=generate '" + plain + "' '" + streams + "'", "");
    ASSERT_EQ(run.status, 0) << run.err;
    ASSERT_EQ(testsupport::ReadFile(streams).find("/CropBox"), std::string::npos);  // compressed away
    for (const auto& [file, tag] : {std::pair(plain, "plain"), std::pair(streams, "streams")}) {
        const json reply = ScriptJson("place", json{{"filePath", file}, {"tags", {tag}}}.dump());
        EXPECT_FALSE(reply.contains("error")) << reply;
        ASSERT_EQ(Tagged(tag).size(), 1u);
        const Rect bounds = Bounds(Tagged(tag).front());  // 30 x 10, centred on the artboard
        EXPECT_NEAR(bounds.left, 291, 0.01);
        EXPECT_NEAR(bounds.top, 401, 0.01);
        EXPECT_NEAR(bounds.right, 321, 0.01);
        EXPECT_NEAR(bounds.bottom, 391, 0.01);
    }
}

// With "unite", a group of the containers that the host refuses to make ends the command with an
// error before anything is placed, and what the command did on its way (the selection it cleared)
// is taken back with the rest.
TEST_F(PlaceTest, AUnitedGroupTheHostRefusesEndsWithAnErrorAndChangesNothing) {
    const char* const refused[] = {"NewArt", "DuplicateArt"};
    for (const char* operation : refused) {
        SCOPED_TRACE(operation);
        ASSERT_FALSE(ScriptJson("selectByTags", R"({"tagSearch":"square"})").contains("error"));
        ASSERT_FALSE(Document().selectedArt().empty());
        const std::vector<ArtId> art = Document().documentOrder();
        const std::vector<ArtId> selected = Document().selectedArt();
        app->Faults().FailOperation("AI Art Suite", operation, kCantHappenErr);
        const json reply = ScriptJson(
            "place",
            json{{"tagSearch", "square"}, {"filePath", image}, {"mode", "mask"}, {"unite", true}}.dump());
        app->Faults().Clear();
        EXPECT_EQ(reply.value("error", ""), "Can't unite the containers") << reply;
        EXPECT_EQ(Document().documentOrder(), art);
        EXPECT_EQ(Document().selectedArt(), selected);
    }
    const json united = ScriptJson(
        "place",
        json{{"tagSearch", "square"}, {"filePath", image}, {"mode", "mask"}, {"unite", true}}.dump());
    EXPECT_FALSE(united.contains("error")) << united;
    EXPECT_EQ(Tagged("square").size(), 1u);
}

// A container that receives nothing (an empty group has no shape) stays; the others are replaced.
TEST_F(PlaceTest, KeepsContainersThatReceivedNothing) {
    const ArtId empty = *Document().newArt(ArtType::group, host::model::PaintOrder::aboveAll, ArtId{});
    ASSERT_EQ(Document().editTags(empty)->set("_p_tag_52ca9688", "string", "blue"), host::model::Status::ok);
    const ArtId square = Tagged("blue").back();
    const json reply =
        ScriptJson("place", json{{"tagSearch", "blue"}, {"filePath", image}, {"mode", "mask"}}.dump());
    EXPECT_FALSE(reply.contains("error")) << reply;
    EXPECT_TRUE(Document().isValid(empty));
    EXPECT_FALSE(Document().isValid(square));
    EXPECT_EQ(Tagged("blue").size(), 2u);  // the empty group and the square's result
}

// Layers locked or hidden before the command are locked and hidden again after it.
TEST_F(PlaceTest, RestoresLockedAndHiddenLayers) {
    auto layer = *Document().layers().nth(0);
    host::model::LayerProperties properties = *Document().layers().properties(layer);
    properties.editable = false;
    properties.visible = false;
    ASSERT_EQ(Document().editLayers().setProperties(layer, properties), host::model::Status::ok);
    EXPECT_FALSE(
        ScriptJson("place", json{{"tagSearch", "blue"}, {"filePath", image}}.dump()).contains("error"));
    EXPECT_EQ(Tagged("blue").size(), 1u);
    EXPECT_FALSE(Document().layers().properties(layer)->editable);
    EXPECT_FALSE(Document().layers().properties(layer)->visible);
}

}  // namespace

// Text on a path as a container clips the content by a copy of its path, not by its bounds.
TEST_F(PlaceTest, TextOnAPathClipsByItsPath) {
    json document =
        json::parse(testsupport::ReadFile(std::string(PLIM_SOURCE_DIR) + "/examples/shapes.json"));
    // The point text "Word" gives its tag to text on a path.
    json& shapes = document["layers"][0]["children"];
    shapes.erase(std::remove_if(shapes.begin(), shapes.end(),
                                [](const json& art) { return art.value("name", "") == "Word"; }),
                 shapes.end());
    shapes.push_back(
        json::parse(R"({"type":"textFrame","kind":"onPath","text":"Wave","frame":[300,400,500,300],
        "tags":[{"name":"_p_tag_0f0d292d","type":"string","value":"word"}],
        "path":{"closed":false,"segments":[{"anchor":[300,300]},{"anchor":[400,400]},{"anchor":[500,300]}]}})"));
    OpenDocumentText(document.dump(), 23);
    const json reply =
        ScriptJson("place", json{{"filePath", image}, {"tagSearch", "word"}, {"tags", {"placed"}}}.dump());
    EXPECT_FALSE(reply.contains("error")) << reply;
    ASSERT_EQ(Tagged("placed").size(), 1u);
    const ArtId result = Tagged("placed").front();
    ASSERT_EQ(*Document().type(result), ArtType::group);
    const ArtId mask = *Document().firstChild(result);
    const auto* path = Document().contentAs<host::model::PathContent>(mask);
    ASSERT_NE(path, nullptr);
    ASSERT_EQ(path->geometry.segments.size(), 3u);
    EXPECT_EQ(path->geometry.segments[1].anchor, (host::model::Point{400, 400}));
}
