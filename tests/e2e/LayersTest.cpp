// "editLayer" on the boards example (add, remove, edit, addEdit, duplicate, and placements relative
// to layers and objects): the layers and their properties read back from the saved document, the
// replies, and the refusals that keep the document as it was.
#include "BoardsFixture.h"

namespace {

using boardstest::BoardsTest;
using Titles = std::vector<std::string>;

using EditLayer = BoardsTest;

// --- add ---------------------------------------------------------------------------------------------------

TEST_F(EditLayer, AddPutsANewLayerOnTop) {
    EXPECT_EQ(Script("editLayer", R"({"mode":"add","uid":"l"})"),
              R"({"eventType":"editLayer","layerName":"","targetLayer":"","targetTagSearch":"","uid":"l"})");
    const Titles top = TopLayers();
    ASSERT_EQ(top.size(), 3u);
    EXPECT_EQ(top[0], "Layer 4");  // named by the application
    EXPECT_EQ((Titles{top[1], top[2]}), (Titles{"Top", "Bottom"}));
}

TEST_F(EditLayer, AddAtTheBottomUnderTheGivenName) {
    Script("editLayer", R"({"mode":"add","location":"belowAll","layerName":"Notes"})");
    EXPECT_EQ(TopLayers(), (Titles{"Top", "Bottom", "Notes"}));
    Script("editLayer", R"({"mode":"add","location":"below","layerName":"Last"})");
    EXPECT_EQ(TopLayers(), (Titles{"Top", "Bottom", "Notes", "Last"}));
}

struct PlacementCase {
    const char* label;
    const char* request;
    Titles top;
    const char* parent;  // the layer whose contents are checked
    Titles contents;
};

void PrintTo(const PlacementCase& c, std::ostream* out) {
    *out << c.label;
}

class AddPlacements : public BoardsTest, public testing::WithParamInterface<PlacementCase> {};

TEST_P(AddPlacements, PutTheLayerWhereAsked) {
    const json reply = ScriptJson("editLayer", GetParam().request);
    EXPECT_FALSE(reply.contains("error")) << reply;
    EXPECT_EQ(TopLayers(), GetParam().top);
    EXPECT_EQ(Contents(GetParam().parent), GetParam().contents);
}

INSTANTIATE_TEST_SUITE_P(
    Targets, AddPlacements,
    testing::Values(
        PlacementCase{"aboveALayer",
                      R"({"mode":"add","layerName":"New","targetLayer":"Bottom","location":"above"})",
                      {"Top", "New", "Bottom"},
                      "Top",
                      {"R1", "R2", "layer Inner"}},
        PlacementCase{"belowALayerByNumber",
                      R"({"mode":"add","layerName":"New","targetLayerNumber":1,"location":"below"})",
                      {"Top", "New", "Bottom"},
                      "Bottom",
                      {"S1", "Far"}},
        PlacementCase{"insideOnBottom",
                      R"({"mode":"add","layerName":"New","targetLayer":"Top","location":"insideOnBottom"})",
                      {"Top", "Bottom"},
                      "Top",
                      {"R1", "R2", "layer Inner", "layer New"}},
        PlacementCase{"insideOnTopOfASublayer",
                      R"({"mode":"add","layerName":"New","targetLayer":"Inner","location":"insideOnTop"})",
                      {"Top", "Bottom"},
                      "Inner",
                      {"layer New", "R3"}},
        PlacementCase{"belowAnObject",
                      R"({"mode":"add","layerName":"New","targetTagSearch":"r2","location":"below"})",
                      {"Top", "Bottom"},
                      "Top",
                      {"R1", "R2", "layer New", "layer Inner"}},
        PlacementCase{"aboveAnObjectOfTheTargetLayer",
                      R"({"mode":"add","layerName":"New","targetLayer":"Bottom","targetTagSearch":"art",
                          "location":"above"})",
                      {"Top", "Bottom"},
                      "Bottom",
                      {"layer New", "S1", "Far"}},
        // An object is no container: "inside" it is no place, and the layer goes to the top.
        PlacementCase{"insideAnObjectIsNoTarget",
                      R"({"mode":"add","layerName":"New","targetTagSearch":"r1","location":"insideOnTop"})",
                      {"New", "Top", "Bottom"},
                      "Top",
                      {"R1", "R2", "layer Inner"}},
        PlacementCase{"unknownLocationIsTheTop",
                      R"({"mode":"add","layerName":"New","targetLayer":"Bottom","location":"sideways"})",
                      {"New", "Top", "Bottom"},
                      "Bottom",
                      {"S1", "Far"}}),
    [](const auto& info) { return std::string(info.param.label); });

TEST_F(EditLayer, AddSetsEveryPropertyOfTheRecord) {
    Script("editLayer", R"({"mode":"add","layerName":"Props","color":{"red":255,"green":0,"blue":128},
        "visible":false,"locked":true,"template":true,"print":false,"preview":false,"dimmedPercent":30})");
    const json layer = SavedLayer("Props");
    EXPECT_EQ(layer["color"], json::array({65535, 0, 32896}));
    EXPECT_EQ(layer["visible"], false);
    EXPECT_EQ(layer["editable"], false);
    EXPECT_EQ(layer["template"], true);
    EXPECT_EQ(layer["printed"], false);
    EXPECT_EQ(layer["preview"], false);
    EXPECT_EQ(layer["dimPlacedImages"], true);
    EXPECT_EQ(layer["dimPercent"], 30);
}

TEST_F(EditLayer, ColourChannelsBeyondTheirRangeStayAtItsEnds) {
    Script("editLayer", R"({"mode":"edit","layerName":"Top","color":{"red":300,"green":-5,"blue":256}})");
    EXPECT_EQ(SavedLayer("Top")["color"], json::array({65535, 0, 65535}));
}

TEST_F(EditLayer, ANewNameWinsOverTheLayerName) {
    Script("editLayer", R"({"mode":"add","layerName":"Asked","newName":"Given"})");
    EXPECT_EQ(TopLayers()[0], "Given");
}

// --- remove ------------------------------------------------------------------------------------------------

TEST_F(EditLayer, RemoveTakesTheLayerWithItsArt) {
    EXPECT_EQ(Script("editLayer", R"({"mode":"remove","layerName":"Bottom"})"),
              R"({"eventType":"editLayer","layerName":"Bottom","targetLayer":"","targetTagSearch":""})");
    EXPECT_EQ(TopLayers(), (Titles{"Top"}));
    EXPECT_EQ(CountNamed("S1"), 0);
}

TEST_F(EditLayer, RemoveASublayerByNumber) {
    const json reply = ScriptJson("editLayer", R"({"mode":"remove","layerNumber":2})");
    EXPECT_EQ(reply["layerNumber"], 2);
    EXPECT_EQ(Contents("Top"), (Titles{"R1", "R2"}));
    EXPECT_EQ(CountNamed("R3"), 0);
}

TEST_F(EditLayer, TheLastLayerStaysAndTheReplySaysSo) {
    Script("editLayer", R"({"mode":"remove","layerName":"Top"})");
    EXPECT_EQ(ScriptJson("editLayer", R"({"mode":"remove","layerName":"Bottom"})")["error"],
              "Can't remove a layer");
    EXPECT_EQ(TopLayers(), (Titles{"Bottom"}));
    EXPECT_EQ(CountNamed("S1"), 1);
}

// --- edit and addEdit
// ----------------------------------------------------------------------------------------

TEST_F(EditLayer, EditChangesOnlyWhatTheRequestSets) {
    Script("editLayer", R"({"mode":"edit","layerName":"Bottom","newName":"Base","visible":false})");
    const json layer = SavedLayer("Base");
    EXPECT_EQ(layer["visible"], false);
    EXPECT_EQ(layer["color"], json::array({65535, 0, 32896}));
    EXPECT_FALSE(layer.contains("editable"));  // still editable, the default
    EXPECT_EQ(TopLayers(), (Titles{"Top", "Base"}));
}

// A title is looked for among the top-level layers first, then among every sublayer; each rename,
// addition and removal moves the answer of the next look-up.
TEST_F(EditLayer, LookupsByNameFollowEachRenameAdditionAndRemoval) {
    Script("editLayer",
           R"({"mode":"add","layerName":"Bottom","targetLayer":"Top","location":"insideOnTop"})");
    Script("editLayer", R"({"mode":"edit","layerName":"Bottom","newName":"Base"})");
    EXPECT_EQ(TopLayers(), (Titles{"Top", "Base"})) << "the top-level layer goes first";
    EXPECT_EQ(Contents("Top"), (Titles{"layer Bottom", "R1", "R2", "layer Inner"}));
    Script("editLayer", R"({"mode":"edit","layerName":"Bottom","newName":"Inner"})");
    EXPECT_EQ(Contents("Top"), (Titles{"layer Inner", "R1", "R2", "layer Inner"}));
    Script("editLayer", R"({"mode":"remove","layerName":"Inner"})");
    EXPECT_EQ(Contents("Top"), (Titles{"R1", "R2", "layer Inner"})) << "the first in document order goes";
    EXPECT_EQ(CountNamed("R3"), 1);
    Script("editLayer", R"({"mode":"edit","layerName":"Base","newName":"Top"})");
    Script("editLayer", R"({"mode":"remove","layerName":"Top"})");
    EXPECT_EQ(TopLayers(), (Titles{"Top"})) << "the front-most of two top-level layers goes";
    EXPECT_EQ(CountNamed("S1"), 1);
    EXPECT_EQ(CountNamed("R3"), 0);
    EXPECT_EQ(ScriptJson("editLayer", R"({"mode":"remove","layerName":"Inner"})")["error"],
              "Can't find a layer");
}

TEST_F(EditLayer, DimmingOnAndOff) {
    Script("editLayer", R"({"mode":"edit","layerName":"Top","dimmedPercent":0})");
    EXPECT_EQ(SavedLayer("Top")["dimPlacedImages"], true);
    EXPECT_EQ(SavedLayer("Top")["dimPercent"], 0);
    Script("editLayer", R"({"mode":"edit","layerName":"Top","dimmedPercent":-1})");
    EXPECT_FALSE(SavedLayer("Top").contains("dimPlacedImages"));
    Script("editLayer", R"({"mode":"edit","layerName":"Top","dimmedPercent":101})");
    EXPECT_FALSE(SavedLayer("Top").contains("dimPlacedImages"));
}

class EditPlacements : public BoardsTest, public testing::WithParamInterface<PlacementCase> {};

TEST_P(EditPlacements, MoveTheLayer) {
    const json reply = ScriptJson("editLayer", GetParam().request);
    EXPECT_FALSE(reply.contains("error")) << reply;
    EXPECT_EQ(TopLayers(), GetParam().top);
    EXPECT_EQ(Contents(GetParam().parent), GetParam().contents);
}

INSTANTIATE_TEST_SUITE_P(
    Targets, EditPlacements,
    testing::Values(
        PlacementCase{"belowAnotherLayer",
                      R"({"mode":"edit","layerName":"Top","location":"below","targetLayer":"Bottom"})",
                      {"Bottom", "Top"},
                      "Top",
                      {"R1", "R2", "layer Inner"}},
        PlacementCase{"aboveAll",
                      R"({"mode":"edit","layerName":"Bottom","location":"aboveAll"})",
                      {"Bottom", "Top"},
                      "Bottom",
                      {"S1", "Far"}},
        PlacementCase{"aSublayerToTheTop",
                      R"({"mode":"edit","layerName":"Inner","location":"aboveAll"})",
                      {"Inner", "Top", "Bottom"},
                      "Top",
                      {"R1", "R2"}},
        PlacementCase{"belowAll",
                      R"({"mode":"edit","layerName":"Top","location":"belowAll"})",
                      {"Bottom", "Top"},
                      "Top",
                      {"R1", "R2", "layer Inner"}},
        PlacementCase{"theFirstLayerToTheTopStays",
                      R"({"mode":"edit","layerName":"Top","location":"aboveAll"})",
                      {"Top", "Bottom"},
                      "Top",
                      {"R1", "R2", "layer Inner"}},
        PlacementCase{"theLastLayerToTheBottomStays",
                      R"({"mode":"edit","layerName":"Bottom","location":"belowAll"})",
                      {"Top", "Bottom"},
                      "Bottom",
                      {"S1", "Far"}},
        PlacementCase{
            "intoAnotherLayer",
            R"({"mode":"edit","layerName":"Inner","location":"insideOnBottom","targetLayer":"Bottom"})",
            {"Top", "Bottom"},
            "Bottom",
            {"S1", "Far", "layer Inner"}},
        PlacementCase{"besideAnObject",
                      R"({"mode":"edit","layerName":"Inner","location":"above","targetTagSearch":"far"})",
                      {"Top", "Bottom"},
                      "Bottom",
                      {"S1", "layer Inner", "Far"}},
        PlacementCase{"noLocationNoMove",
                      R"({"mode":"edit","layerName":"Inner","location":"","targetLayer":"Bottom"})",
                      {"Top", "Bottom"},
                      "Top",
                      {"R1", "R2", "layer Inner"}}),
    [](const auto& info) { return std::string(info.param.label); });

TEST_F(EditLayer, AddEditEditsALayerThatExistsAndAddsOneThatDoesNot) {
    Script("editLayer", R"({"mode":"addEdit","layerName":"Bottom","locked":true})");
    EXPECT_EQ(TopLayers(), (Titles{"Top", "Bottom"}));
    EXPECT_EQ(SavedLayer("Bottom")["editable"], false);
    Script("editLayer", R"({"mode":"addEdit","layerName":"Extra","locked":true,"location":"belowAll"})");
    EXPECT_EQ(TopLayers(), (Titles{"Top", "Bottom", "Extra"}));
    EXPECT_EQ(SavedLayer("Extra")["editable"], false);
}

// --- duplicate
// -----------------------------------------------------------------------------------------------

TEST_F(EditLayer, DuplicateMakesANewLayerWithCopiesOfEverything) {
    const json reply = ScriptJson("editLayer", R"({"mode":"duplicate","layerName":"Top"})");
    EXPECT_FALSE(reply.contains("error")) << reply;
    EXPECT_EQ(TopLayers(), (Titles{"Top", "Top", "Bottom"}));
    EXPECT_EQ(CountNamed("R1"), 2);
    EXPECT_EQ(CountNamed("R3"), 2);
    const json saved = Saved();
    const json& copy = saved["layers"][0];
    const json& original = saved["layers"][1];
    EXPECT_NE(copy["uuid"], original["uuid"]);
    EXPECT_NE(copy["children"][0]["uuid"], original["children"][0]["uuid"]);
    EXPECT_EQ(copy["children"][2]["type"], "layer");  // the sublayer is a layer of its own again
    EXPECT_EQ(copy["children"][2]["title"], "Inner");
    EXPECT_EQ(copy["children"][0]["tags"], original["children"][0]["tags"]);
}

TEST_F(EditLayer, DuplicateRenamesAndPlacesTheCopy) {
    Script("editLayer",
           R"({"mode":"duplicate","layerName":"Bottom","newName":"Bottom copy","location":"belowAll",
                            "visible":false})");
    EXPECT_EQ(TopLayers(), (Titles{"Top", "Bottom", "Bottom copy"}));
    EXPECT_EQ(SavedLayer("Bottom copy")["visible"], false);
    EXPECT_FALSE(SavedLayer("Bottom").contains("visible"));
    EXPECT_EQ(SavedLayer("Bottom copy")["color"], json::array({65535, 0, 32896}));
}

// --- errors
// --------------------------------------------------------------------------------------------------

struct ErrorCase {
    const char* label;
    const char* request;
    const char* error;
};

void PrintTo(const ErrorCase& c, std::ostream* out) {
    *out << c.label;
}

class EditLayerErrors : public BoardsTest, public testing::WithParamInterface<ErrorCase> {};

TEST_P(EditLayerErrors, AnswerAndChangeNothing) {
    const json before = Saved();
    const json reply = ScriptJson("editLayer", GetParam().request);
    EXPECT_EQ(reply.value("error", ""), GetParam().error) << reply;
    EXPECT_EQ(reply["eventType"], "editLayer");
    EXPECT_EQ(Saved(), before);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, EditLayerErrors,
    testing::Values(
        ErrorCase{"noMode", R"({"layerName":"Top"})", "No valid mode"},
        ErrorCase{"unknownMode", R"({"mode":"rename","layerName":"Top"})", "No valid mode"},
        ErrorCase{"removeUnknown", R"({"mode":"remove","layerName":"Nope"})", "Can't find a layer"},
        ErrorCase{"removeNumberOutOfRange", R"({"mode":"remove","layerNumber":9})", "Can't find a layer"},
        ErrorCase{"editUnknown", R"({"mode":"edit","layerName":"Nope","newName":"X"})", "Can't find a layer"},
        ErrorCase{"duplicateUnknown", R"({"mode":"duplicate","layerNumber":0})", "Can't find a layer"},
        ErrorCase{"moveBesideItself",
                  R"({"mode":"edit","layerName":"Top","location":"above","targetLayer":"Top"})",
                  "Can't move a layer"},
        ErrorCase{"moveIntoItsOwnSublayer",
                  R"({"mode":"edit","layerName":"Top","location":"insideOnTop","targetLayer":"Inner"})",
                  "Can't move a layer"},
        ErrorCase{"moveNextToItsOwnArt",
                  R"({"mode":"edit","layerName":"Top","location":"below","targetTagSearch":"r1"})",
                  "Can't move a layer"},
        ErrorCase{"wrongType", R"({"mode":"edit","layerName":"Top","visible":"no"})",
                  "\"visible\" must be true or false"}),
    [](const auto& info) { return std::string(info.param.label); });

// --- Through plimhost --------------------------------------------------------------------------------------

TEST(LayersThroughPlimhost, AScriptOfLayerCommandsIsSavedAsItRan) {
    const layouttest::PlimhostRun run = layouttest::RunPlimhost(
        std::string(PLIM_SOURCE_DIR) + "/examples/boards.json",
        "editLayer {\"mode\":\"add\",\"layerName\":\"Notes\",\"location\":\"belowAll\"}\n"
        "editLayer {\"mode\":\"duplicate\",\"layerName\":\"Inner\",\"newName\":\"Inner 2\"}\n"
        "editLayer {\"mode\":\"remove\",\"layerName\":\"Bottom\"}\n");
    ASSERT_EQ(run.status, 0);
    ASSERT_EQ(run.lines.size(), 3u);
    for (const std::string& line : run.lines) {
        EXPECT_EQ(line.find("error"), std::string::npos) << line;
    }
    const json& layers = run.saved["layers"];
    ASSERT_EQ(layers.size(), 2u);
    EXPECT_EQ(layers[0]["title"], "Top");
    EXPECT_EQ(layers[1]["title"], "Notes");
    const json& top = layers[0]["children"];
    ASSERT_EQ(top.size(), 4u);
    EXPECT_EQ(top[2]["title"], "Inner 2");
    EXPECT_EQ(top[3]["title"], "Inner");
}

}  // namespace
