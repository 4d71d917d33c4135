// Requests a careless or hostile user may send, through plimhost as they would: a command that
// fails leaves the saved document as it was, copies stay what was asked for, extreme geometry gets
// an error reply instead of an exception or an exploding document, a raster that can't be drawn
// does not blank the rest of the picture, and documents of a few kilobytes that ask for far more
// work than a picture may do give their picture, with what was drawn simpler named.
#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <nlohmann/json.hpp>
#include <string>

#include "FailingRequests.h"
#include "PluginFixture.h"
#include "PngPicture.h"
#include "ProgramRun.h"

namespace {

struct SavedRun {
    int status = -1;
    std::vector<std::string> replies;
    std::string saved;
};

// Opens the document, sends the script and saves.
SavedRun RunOn(const std::string& document, const std::string& script, const std::string& extra = "") {
    const testsupport::ScratchFolder scratch("robust");
    const std::string opened = scratch.Write("in.json", document);
    const std::filesystem::path saved = scratch.Path() / "out.json";
    const testsupport::ProgramRun run = testsupport::RunProgram(
        scratch,
        std::string(PLIM_BIN_DIR) + "/plimhost --open " + opened + " --save " + saved.string() + " " + extra,
        script);
    return {run.status, run.Lines(), testsupport::ReadFile(saved)};
}

// The saved document without its UUIDs: art read without one gets a new one on every run.
json WithoutUuids(json value) {
    if (value.is_object()) {
        value.erase("uuid");
    }
    if (value.is_structured()) {
        for (json& child : value) {
            child = WithoutUuids(std::move(child));
        }
    }
    return value;
}

class FailingCommands : public testing::TestWithParam<FailingCase> {};

TEST_P(FailingCommands, AnswerAnErrorAndLeaveTheDocumentAsItWas) {
    const std::string document = LimitsDocument();
    const SavedRun untouched = RunOn(document, "");
    const SavedRun run = RunOn(document, std::string(GetParam().command) + " " + GetParam().request + "\n");
    ASSERT_EQ(run.status, 0);
    ASSERT_EQ(run.replies.size(), 1u);
    EXPECT_EQ(json::parse(run.replies[0]).value("error", ""), GetParam().error) << run.replies[0];
    EXPECT_TRUE(WithoutUuids(json::parse(run.saved)) == WithoutUuids(json::parse(untouched.saved)));
}

INSTANTIATE_TEST_SUITE_P(Limits, FailingCommands, testing::ValuesIn(kLimitCases),
                         [](const testing::TestParamInfo<FailingCase>& info) { return info.param.name; });

// A host operation that fails part way through a command: the command answers an error and takes
// back what it had done.
class PartlyFailingCommands : public PluginTest, public testing::WithParamInterface<PartialCase> {};

TEST_P(PartlyFailingCommands, TakeBackWhatTheyDid) {
    const PartialCase& c = GetParam();
    OpenExample("sample.json", 9);
    const std::string before = *host::model::writeDocument(*app->CurrentDocument()).text;
    app->Faults().FailOperation(c.suite, c.operation, kCantHappenErr, c.onCall);
    EXPECT_EQ(ScriptJson(c.command, c.request).value("error", ""), c.error);
    app->Faults().Clear();
    EXPECT_TRUE(*host::model::writeDocument(*app->CurrentDocument()).text == before);
}

INSTANTIATE_TEST_SUITE_P(Faults, PartlyFailingCommands, testing::ValuesIn(kPartialCases),
                         [](const testing::TestParamInfo<PartialCase>& info) { return info.param.name; });

// The squares directly in a group, and the groups in it (the copies).
std::pair<int, int> MembersOf(const json& group) {
    std::pair<int, int> counts;
    for (const json& child : group["children"]) {
        ++(child["type"] == "path" ? counts.first : counts.second);
    }
    return counts;
}

TEST(UserLimits, DuplicateIntoItselfMakesExactlyTheCopiesAsked) {
    const SavedRun run =
        RunOn(LimitsDocument(),
              R"(duplicate {"tagSearch":"nested","targetTagSearch":"nested","location":"insideOnTop",)"
              R"("numberOfCopies":4})"
              "\n");
    ASSERT_EQ(run.status, 0);
    EXPECT_EQ(json::parse(run.replies.at(0)).count("error"), 0u) << run.replies[0];
    const json saved = json::parse(run.saved);
    const json& nested = saved["layers"][0]["children"][0];
    EXPECT_EQ(MembersOf(nested), std::pair(10, 4));
    for (const json& child : nested["children"]) {
        if (child["type"] == "group") {
            EXPECT_EQ(MembersOf(child), std::pair(10, 0)) << "a copy holds the group as it was";
        }
    }
}

TEST(UserLimits, ExpandingAHugeStrokeStaysASmallOutline) {
    json stroke = {
        {"paintFields",
         {{{"stroke", {{"color", {{"gray", 0.0}}}, {"width", 1e12}, {"join", "round"}, {"cap", "round"}}}}}}};
    json line = Square(0, 0, 100, Tags({"line"}), stroke);
    line["closed"] = false;
    const SavedRun run = RunOn(DocumentText({line}), "expand {\"tagSearch\":\"line\"}\n");
    ASSERT_EQ(run.status, 0);
    const json saved = json::parse(run.saved);
    const json& outline = saved["layers"][0]["children"][0];
    EXPECT_EQ(outline["type"], "path");
    EXPECT_LT(outline["segments"].size(), 2000u);
}

// --- Pictures -----------------------------------------------------------------------------------------

// A raster that can't be drawn (a frame of no width, or a matrix that flattens it) between a red
// square behind and a blue one in front: the picture shows both squares, and rasterizing the red
// square with it gives red pixels.
TEST(UserLimits, ARasterThatCannotBeDrawnLeavesItsNeighbours) {
    const std::string pixels = R"({"width":1,"height":1,"data":"AP8A"})";
    for (const char* box : {R"("frame":[40,60,40,40])", R"("frame":[40,60,60,40],"matrix":[1,1,1,1,0,0])"}) {
        json raster = json::parse(std::string("{\"type\":\"raster\",") + box + ",\"pixels\":" + pixels + "}");
        raster["tags"] = Tags({"raster"});
        const std::string document = DocumentText({Square(60, 10, 20, json::array(), Fill(0, 0, 1)), raster,
                                                   Square(10, 10, 20, Tags({"red"}), Fill(1, 0, 0))});
        const testsupport::ScratchFolder scratch("robust-picture");
        const std::filesystem::path picture = scratch.Path() / "a.png";
        const SavedRun run =
            RunOn(document, "rasterize {\"tagSearch\":\"red|raster\"}\n", "--snapshot " + picture.string());
        ASSERT_EQ(run.status, 0) << box;
        EXPECT_EQ(json::parse(run.replies.at(0)).count("error"), 0u) << run.replies[0];
        const pngpicture::Picture image = pngpicture::ReadPng(picture.string());
        ASSERT_EQ(cairo_surface_status(image.get()), CAIRO_STATUS_SUCCESS);
        // 100 by 100 pixels, row 0 at y 100.
        EXPECT_EQ(pngpicture::PixelOf(image.get(), 20, 80), (std::array{255, 0, 0})) << box;
        EXPECT_EQ(pngpicture::PixelOf(image.get(), 70, 80), (std::array{0, 0, 255})) << box;
    }
}

// A document of a few kilobytes whose drawing would cost cairo minutes: each gives its picture, as
// a snapshot and as a PNG export, and standard error names what was drawn simpler.
struct CostlyCase {
    const char* name;
    json art;
    std::array<int, 3> center;  // the picture's pixel at (50, 50)
    const char* simplified;     // what standard error says, once for each picture; empty for nothing
};

void PrintTo(const CostlyCase& c, std::ostream* out) {
    *out << c.name;
}

class CostlyPictures : public testing::TestWithParam<CostlyCase> {};

TEST_P(CostlyPictures, EndWithTheirPictureAndSayWhatWasDrawnSimpler) {
    const CostlyCase& c = GetParam();
    const testsupport::ScratchFolder scratch("costly-picture");
    const std::string opened = scratch.Write("in.json", DocumentText(c.art));
    const std::filesystem::path snapshot = scratch.Path() / "snapshot.png";
    const json request = {{"formats", {"png"}},
                          {"artboardRange", "1"},
                          {"folderPath", scratch.Path().string()},
                          {"fileName", "export"}};
    const testsupport::ProgramRun run = testsupport::RunProgram(
        scratch,
        std::string(PLIM_BIN_DIR) + "/plimhost --open " + opened + " --snapshot " + snapshot.string(),
        "exportFile " + request.dump() + "\n");
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(json::parse(run.Lines().at(0))["Results"][0]["exportSuccessful"], true) << run.out;
    for (const std::filesystem::path& file : {snapshot, scratch.Path() / "export.png"}) {
        const pngpicture::Picture image = pngpicture::ReadPng(file.string());
        ASSERT_EQ(cairo_surface_status(image.get()), CAIRO_STATUS_SUCCESS) << file;
        EXPECT_EQ(pngpicture::PixelOf(image.get(), 50, 50), c.center) << file;
    }
    std::size_t said = 0;
    for (std::size_t at = run.err.find(c.simplified); *c.simplified != '\0' && at != std::string::npos;
         at = run.err.find(c.simplified, at + 1)) {
        ++said;
    }
    EXPECT_EQ(said, *c.simplified == '\0' ? 0u : 2u) << run.err;
    if (*c.simplified == '\0') {
        EXPECT_EQ(run.err.find("past the picture's budget"), std::string::npos) << run.err;
    }
}

// A 10-point path across the artboard, stroked 1000 points wide with round caps and the dash array
// [0, 0.3]: 3,000 round dots, each over all the others.
json WideDashes() {
    json path = {{"type", "path"}, {"closed", false}, {"segments", json::array()}};
    for (int i = 0; i < 10; ++i) {
        path["segments"].push_back({{"anchor", {5.0 + 10.0 * i, i % 2 == 0 ? 0.0 : 100.0}}});
    }
    path["style"] = {
        {"paintFields",
         {{{"stroke",
            {{"color", {{"rgb", {0, 0, 1}}}}, {"width", 1000}, {"cap", "round"}, {"dashes", {0, 0.3}}}}}}}};
    return path;
}

// A frame of 5,000 letters M stroked 1000 points wide.
json StrokedLetters() {
    return {{"type", "textFrame"},
            {"kind", "area"},
            {"frame", {0, 100, 100, 0}},
            {"story",
             {{"text", std::string(5000, 'M')},
              {"runs",
               {{{"length", 5000},
                 {"features",
                  {{"fontSize", 4},
                   {"stroke", true},
                   {"strokeColor", {{"rgb", {0, 0, 1}}}},
                   {"lineWidth", 1000}}}}}}}}};
}

INSTANTIATE_TEST_SUITE_P(
    UserLimits, CostlyPictures,
    testing::Values(CostlyCase{"WideDashesOfNoLength",
                               {WideDashes()},
                               {0, 0, 255},
                               "past the picture's budget of work, 1 dashed stroke drawn solid (path)"},
                    CostlyCase{"FiveThousandLettersStrokedWide", {StrokedLetters()}, {0, 0, 255}, ""}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
