// "groupObjects", "ungroupObjects", "makeClipGroup", "releaseClipGroup", "makeCompoundPath" and
// "releaseCompoundPath" on the shapes example, read back from the saved document, with their
// error replies.
#include <algorithm>

#include "ProgramRun.h"
#include "StructureFixture.h"

namespace {

using structuretest::AnchorBounds;
using structuretest::ChildNames;
using structuretest::ExpectBounds;
using structuretest::SignedArea;
using structuretest::StructureTest;
using structuretest::TagsOf;

using Strings = std::vector<std::string>;

// --- groupObjects -------------------------------------------------------------------------------------

using GroupObjects = StructureTest;

TEST_F(GroupObjects, PutsTheArtIntoANewGroupKeepingItsStackingAndTagsIt) {
    EXPECT_EQ(Script("groupObjects", R"({"tagSearch":"red|blue","tags":["both","more"],"seriesTag":"g"})"),
              R"({"eventType":"groupObjects","tagSearch":"red|blue"})");
    const std::vector<json> groups = Tagged("both");
    ASSERT_EQ(groups.size(), 1u);
    EXPECT_EQ(groups.front()["type"], "group");
    EXPECT_EQ(TagsOf(groups.front()), (std::set<std::string>{"both", "more", "g1"}));
    EXPECT_EQ(ChildNames(groups.front()), (Strings{"Blue", "Red"}));
    EXPECT_EQ(Layer("Shapes").front(), "*");
}

TEST_F(GroupObjects, GroupsTopLevelArtOfDifferentLayersAboveTheFirst) {
    Script("groupObjects", R"({"tagSearch":"floor|red","tags":["g"]})");
    EXPECT_EQ(ChildNames(Tagged("g").front()), (Strings{"Red", "Floor"}));
    EXPECT_TRUE(Layer("Back").empty());
    EXPECT_EQ(Layer("Shapes")[1], "*");
}

struct ErrorCase {
    const char* name;
    const char* command;
    const char* request;
    const char* error;
};

void PrintTo(const ErrorCase& c, std::ostream* out) {
    *out << c.name;
}

class StructureErrors : public StructureTest, public testing::WithParamInterface<ErrorCase> {};

TEST_P(StructureErrors, AnswerAndLeaveTheDocumentAsItWas) {
    const json before = Saved();
    const json reply = ScriptJson(GetParam().command, GetParam().request);
    EXPECT_EQ(reply["eventType"], GetParam().command);
    EXPECT_EQ(reply.value("error", ""), GetParam().error);
    EXPECT_EQ(Saved(), before);
}

INSTANTIATE_TEST_SUITE_P(
    Replies, StructureErrors,
    testing::Values(
        ErrorCase{"groupWithoutQuery", "groupObjects", "{}", "No artwork found"},
        ErrorCase{"groupNothingFound", "groupObjects", R"({"tagSearch":"nothing"})", "No artwork found"},
        ErrorCase{"groupOneObject", "groupObjects", R"({"tagSearch":"red"})", "Can't group objects"},
        ErrorCase{"groupDifferentParents", "groupObjects", R"({"tagSearch":"red|member"})",
                  "Can't group objects"},
        ErrorCase{"compoundWithoutQuery", "makeCompoundPath", "{}", "No artwork found"},
        ErrorCase{"compoundOfPlacedArt", "makeCompoundPath", R"({"tagSearch":"picture|red"})",
                  "Can't make a compound path"},
        ErrorCase{"clipWithoutQuery", "makeClipGroup", "{}", "No artwork found"},
        // The clip object is checked before anything about it changes.
        ErrorCase{"clipObjectPlaced", "makeClipGroup", R"({"tagSearch":"red","clipObject":"picture"})",
                  "Can't make a clip group"},
        ErrorCase{"clipTopMostPlaced", "makeClipGroup", R"({"tagSearch":"picture|pair"})",
                  "Can't make a clip group"},
        ErrorCase{"clipOneObject", "makeClipGroup", R"({"tagSearch":"red"})", "Can't make a clip group"},
        ErrorCase{"ungroupWithoutQuery", "ungroupObjects", "{}", "No artwork found"},
        ErrorCase{"ungroupClipGroup", "ungroupObjects", R"({"tagSearch":"window"})", ""},
        ErrorCase{"releaseClipOfGroup", "releaseClipGroup", R"({"tagSearch":"pair"})", ""},
        ErrorCase{"releaseCompoundOfPath", "releaseCompoundPath", R"({"tagSearch":"red"})", ""},
        ErrorCase{"releaseCompoundNothing", "releaseCompoundPath", R"({"tagSearch":"nothing"})",
                  "No artwork found"}),
    [](const auto& info) { return std::string(info.param.name); });

// --- ungroupObjects -----------------------------------------------------------------------------------

using UngroupObjects = StructureTest;

TEST_F(UngroupObjects, ReleasesTheMembersInPlaceNumberedInDocumentOrder) {
    EXPECT_EQ(Script("ungroupObjects", R"({"tagSearch":"pair","seriesTag":"m","seriesStart":5})"),
              R"({"eventType":"ungroupObjects","tagSearch":"pair"})");
    EXPECT_FALSE(Exists("Pair"));
    const Strings shapes = Layer("Shapes");
    EXPECT_EQ(Strings(shapes.begin() + 6, shapes.begin() + 9), (Strings{"Left", "Right", "Ring"}));
    EXPECT_EQ(TagsOf(Named("Left")), (std::set<std::string>{"member", "m5"}));
    EXPECT_EQ(TagsOf(Named("Right")), (std::set<std::string>{"member", "m6"}));
}

TEST_F(UngroupObjects, AGroupReleasedWithItsParentIsSkippedNotUsed) {
    // "Inner" goes with "Nested" when that is released: its handle is tested before use.
    Script("ungroupObjects", R"({"tagSearch":"nested|innergroup","seriesTag":"n"})");
    EXPECT_FALSE(Exists("Nested"));
    EXPECT_TRUE(Exists("Deep"));
    EXPECT_TRUE(Exists("Deeper"));
    EXPECT_EQ(Tagged("n1").size(), 1u);
}

// A found group and a group inside it are both taken apart whichever of them the query answers
// first. The query's order follows the UUIDs: the example answers the outer group "Nested" first,
// and a copy with the two groups' UUIDs swapped answers the inner one first.
class UngroupNested : public StructureTest, public testing::WithParamInterface<bool> {};

TEST_P(UngroupNested, TakesApartEveryFoundGroupWhateverTheOrder) {
    const bool outerFirst = GetParam();
    if (!outerFirst) {
        std::string text = testsupport::ReadFile(structuretest::ShapesExample());
        const std::string outer = "33aad982-4592-477f-829f-515db0dd6118";
        const std::string inner = "210c3145-2707-46aa-942b-12f442bc0b64";
        const std::size_t outerAt = text.find(outer);
        const std::size_t innerAt = text.find(inner);
        ASSERT_NE(outerAt, std::string::npos);
        ASSERT_NE(innerAt, std::string::npos);
        text.replace(outerAt, outer.size(), inner);
        text.replace(innerAt, inner.size(), outer);
        const testsupport::ScratchFolder folder("ungroup_nested");
        OpenDocument(folder.Write("shapes.json", text), 5);
    }
    const json both = ScriptJson("getByTags", R"({"tagSearch":"nested | innergroup"})");
    const json nested = ScriptJson("getByTags", R"({"tagSearch":"nested"})");
    ASSERT_EQ(both["uuid"].size(), 2u) << both;
    ASSERT_EQ(both["uuid"][0] == nested["uuid"][0], outerFirst) << both;
    EXPECT_EQ(Script("ungroupObjects", R"({"tagSearch":"nested | innergroup","seriesTag":"n"})"),
              R"({"eventType":"ungroupObjects","tagSearch":"nested | innergroup"})");
    EXPECT_FALSE(Exists("Nested"));
    EXPECT_FALSE(Exists("Inner"));
    const Strings shapes = Layer("Shapes");
    EXPECT_NE(std::find(shapes.begin(), shapes.end(), "Deep"), shapes.end());
    EXPECT_NE(std::find(shapes.begin(), shapes.end(), "Deeper"), shapes.end());
    // The series numbers the art that stays, once each.
    EXPECT_EQ(TagsOf(Named("Deep")), (std::set<std::string>{"deep", "n1"}));
    EXPECT_EQ(TagsOf(Named("Deeper")), (std::set<std::string>{"deep", "n2"}));
}

INSTANTIATE_TEST_SUITE_P(Orders, UngroupNested, testing::Bool(),
                         [](const auto& info) { return info.param ? "outerFirst" : "innerFirst"; });

// --- clip groups --------------------------------------------------------------------------------------

using ClipGroups = StructureTest;

TEST_F(ClipGroups, TheTopMostArtBecomesAnUnpaintedCompoundMaskOnTop) {
    EXPECT_EQ(Script("makeClipGroup", R"({"tagSearch":"square","tags":["clipped"],"seriesTag":"k"})"),
              R"({"eventType":"makeClipGroup","tagSearch":"square"})");
    const std::vector<json> groups = Tagged("clipped");
    ASSERT_EQ(groups.size(), 1u);
    const json& group = groups.front();
    EXPECT_TRUE(group.value("clipped", false));
    EXPECT_EQ(TagsOf(group), (std::set<std::string>{"clipped", "k1"}));
    ASSERT_EQ(group["children"].size(), 2u);
    const json& mask = group["children"][0];
    EXPECT_EQ(mask["type"], "compoundPath");
    EXPECT_TRUE(mask.value("clippingMask", false));
    EXPECT_EQ(mask["style"]["paintFields"][0]["fill"]["color"], "none");
    ExpectBounds(AnchorBounds(mask), {50, 150, 150, 50}, "mask");
    EXPECT_NEAR(SignedArea(mask), 10000, 1e-6);
    EXPECT_EQ(group["children"][1]["name"], "Red");
}

TEST_F(ClipGroups, KeepBackroundKeepsTheClipObjectsPaint) {
    Script("makeClipGroup", R"({"tagSearch":"square","tags":["c"],"keepBackround":true,"unite":false,
                                "compoundPath":false})");
    const json mask = Tagged("c").front()["children"][0];
    EXPECT_EQ(mask["name"], "Blue");
    EXPECT_EQ(mask["style"]["paintFields"][0]["fill"]["color"]["rgb"], (json{0.0, 0.0, 1.0}));
}

TEST_F(ClipGroups, AClipObjectOutsideTheFoundArtIsAddedAndFitsTheContents) {
    // "Floor" is 1000 by 50: fitted, "Red" is halved and put at the top left of it.
    Script("makeClipGroup", R"({"tagSearch":"red","clipObject":"floor","tags":["c"],"unite":false,
                                "compoundPath":false,"keepBackround":true,"fittingMethod":"fit","alignment":"TL"})");
    const json group = Tagged("c").front();
    EXPECT_EQ(ChildNames(group), (Strings{"Floor", "Red"}));
    ExpectBounds(AnchorBounds(group["children"][1]), {0, -50, 50, -100}, "Red");
}

TEST_F(ClipGroups, ALayerBecomesAClipGroupOfItsTopMostArt) {
    EXPECT_EQ(Script("makeClipGroup", R"({"layerName":"Shapes","tagSearch":"ignored","tags":["t"]})"),
              R"({"eventType":"makeClipGroup","tagSearch":"ignored"})");
    const json saved = Saved();
    const json& layer = saved["layers"][0];
    EXPECT_TRUE(layer.value("clipped", false));
    EXPECT_TRUE(layer["children"][0].value("clippingMask", false));
    EXPECT_TRUE(Tagged("t").empty());
}

TEST_F(ClipGroups, ASublayerIsNeverTakenAsTheClipObject) {
    const auto shapes = Doc().layers().byTitle("Shapes");
    ASSERT_TRUE(Doc().editLayers().insert(shapes, host::model::PaintOrder::insideOnTop).ok());
    const json before = Saved();
    EXPECT_EQ(ScriptJson("makeClipGroup", R"({"layerName":"Shapes"})")["error"], "Can't make a clip group");
    EXPECT_EQ(Saved(), before);
}

TEST_F(ClipGroups, ReleaseGivesBackAnOrdinaryPath) {
    Script("releaseClipGroup", R"({"tagSearch":"window","seriesTag":"w"})");
    EXPECT_FALSE(Exists("Window"));
    const json frame = Named("Frame");
    EXPECT_FALSE(frame.value("clippingMask", false));
    EXPECT_EQ(TagsOf(frame), (std::set<std::string>{"w1"}));
    EXPECT_EQ(TagsOf(Named("Scene")), (std::set<std::string>{"scene", "w2"}));
}

// --- compound paths -----------------------------------------------------------------------------------

using CompoundPaths = StructureTest;

TEST_F(CompoundPaths, MakeTakesTheStyleOfTheLastArtWithTheEvenOddRule) {
    Script("makeCompoundPath", R"({"tagSearch":"square","tags":["cp"]})");
    const json compound = Tagged("cp").front();
    EXPECT_EQ(compound["type"], "compoundPath");
    EXPECT_EQ(ChildNames(compound), (Strings{"Blue", "Red"}));
    const json& fill = compound["style"]["paintFields"][0];
    EXPECT_EQ(fill["fill"]["color"]["rgb"], (json{1.0, 0.0, 0.0}));
    EXPECT_TRUE(fill.value("evenOdd", false));
}

TEST_F(CompoundPaths, OneObjectMakesACompoundPathOfItsOwn) {
    Script("makeCompoundPath", R"({"tagSearch":"circle","seriesTag":"s","seriesStart":3})");
    const json compound = Tagged("s3").front();
    EXPECT_EQ(ChildNames(compound), (Strings{"Circle"}));
}

TEST_F(CompoundPaths, ReleaseGivesBackItsPaths) {
    Script("releaseCompoundPath", R"({"tagSearch":"ring","seriesTag":"r"})");
    EXPECT_FALSE(Exists("Ring"));
    EXPECT_EQ(TagsOf(Named("Outer")), (std::set<std::string>{"r1"}));
    EXPECT_EQ(TagsOf(Named("Hole")), (std::set<std::string>{"r2"}));
}

}  // namespace
