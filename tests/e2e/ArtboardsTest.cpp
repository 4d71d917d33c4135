// "editArtboards" (add, remove, rearrange in rows, columns and grids, edit) and
// "fitArtboardToBounds" on the boards example: artboards and the art on them read back from the
// saved document, the replies, and the refusals that keep the document as it was.
#include <algorithm>
#include <functional>

#include "AIArtboard.h"
#include "BoardsFixture.h"

namespace {

using boardstest::BoardsTest;
using boardstest::ExpectRect;
using boardstest::Rect;
using boardstest::SavedBoard;

const Rect kOne{0, 200, 200, 0};
const Rect kTwo{300, 200, 400, 100};
const Rect kThree{500, 200, 650, 50};
const Rect kR1{50, 150, 150, 50};
const Rect kR2{320, 180, 380, 120};
const Rect kR3{520, 100, 560, 60};
const Rect kS1{10, 30, 30, 10};

Rect Shifted(const Rect& r, double dx, double dy) {
    return {r[0] + dx, r[1] + dy, r[2] + dx, r[3] + dy};
}

using EditArtboards = BoardsTest;

// --- add ---------------------------------------------------------------------------------------------------

TEST_F(EditArtboards, AddCopiesTheActiveArtboardAndItsArtRightOfEverythingInItsBand) {
    EXPECT_EQ(Script("editArtboards", R"({"mode":"add"})"),
              R"({"artboardName":"","eventType":"editArtboards"})");
    EXPECT_EQ(BoardNames(), (std::vector<std::string>{"One", "Artboard 4", "Two", "Three"}));
    // Two and Three share One's band: the new artboard starts a gap right of Three.
    ExpectRect(Board("Artboard 4").rect, {670, 200, 870, 0}, "new artboard");
    const std::vector<Rect> r1 = BoundsOfAll("R1");
    ASSERT_EQ(r1.size(), 2u);
    ExpectRect(r1[0], Shifted(kR1, 670, 0), "the copy, placed above R1");
    ExpectRect(r1[1], kR1, "R1 stays");
    EXPECT_EQ(CountNamed("S1"), 2);
    EXPECT_EQ(CountNamed("R2"), 1);
    EXPECT_EQ(CountNamed("Far"), 1);
    EXPECT_EQ(ActiveBoard(), 0);
}

TEST_F(EditArtboards, AddSeveralUnderANewName) {
    const json reply =
        ScriptJson("editArtboards", R"({"mode":"add","artboardName":"Back","numberOfArtboards":3})");
    EXPECT_FALSE(reply.contains("error")) << reply;
    EXPECT_EQ(reply["artboardName"], "Back");
    EXPECT_EQ(BoardNames(), (std::vector<std::string>{"One", "Back", "Back 2", "Back 3", "Two", "Three"}));
    ExpectRect(Board("Back").rect, {670, 200, 870, 0}, "Back");
    ExpectRect(Board("Back 2").rect, {890, 200, 1090, 0}, "Back 2");
    ExpectRect(Board("Back 3").rect, {1110, 200, 1310, 0}, "Back 3");
    const std::vector<Rect> s1 = BoundsOfAll("S1");
    ASSERT_EQ(s1.size(), 4u);
    std::vector<double> lefts;
    for (const Rect& r : s1) {
        lefts.push_back(r[0]);
    }
    std::sort(lefts.begin(), lefts.end());
    EXPECT_EQ(lefts, (std::vector<double>{10, 680, 900, 1120}));
}

TEST_F(EditArtboards, AddWithoutANameNumbersTheCopies) {
    Script("editArtboards",
           R"({"mode":"add","artboardNumber":2,"numberOfArtboards":2,"includeArtwork":false})");
    EXPECT_EQ(BoardNames(), (std::vector<std::string>{"One", "Two", "Artboard 4", "Artboard 5", "Three"}));
    ExpectRect(Board("Artboard 4").rect, {670, 200, 770, 100}, "first copy of Two");
    ExpectRect(Board("Artboard 5").rect, {790, 200, 890, 100}, "second copy");
    EXPECT_EQ(CountNamed("R2"), 1);
}

TEST_F(EditArtboards, AddAtTheHeadWithItsOwnSizeAndName) {
    const json reply = ScriptJson(
        "editArtboards",
        R"({"mode":"add","artboardNumber":3,"index":1,"newName":"Head","width":50,"height":40,"includeArtwork":false})");
    EXPECT_EQ(reply["artboardNumber"], 3);
    EXPECT_EQ(reply["index"], 1);
    EXPECT_EQ(BoardNames(), (std::vector<std::string>{"Head", "One", "Two", "Three"}));
    // Resized about its centre, then placed by its own size: its left edge a gap right of Three.
    ExpectRect(Board("Head").rect, {670, 145, 720, 105}, "Head");
    EXPECT_EQ(ActiveBoard(), 1);  // One stays the active artboard
}

TEST_F(EditArtboards, AddSelectsTheCopiesWhenAsked) {
    Script("editArtboards", R"({"mode":"add","selectArtwork":true})");
    const json saved = Saved();
    int selected = 0;
    std::function<void(const json&)> walk = [&](const json& node) {
        if (node.value("selected", false)) {
            ++selected;
            EXPECT_GE(layouttest::ReadSavedArt(node).AnchorBounds()[0], 670) << node.value("name", "");
        }
        for (const char* key : {"layers", "children"}) {
            for (const json& child : node.value(key, json::array())) {
                walk(child);
            }
        }
    };
    walk(saved);
    EXPECT_EQ(selected, 2);
}

TEST_F(EditArtboards, AddFromATemplateInInches) {
    Script("editArtboards",
           R"({"mode":"add","template":"Letter","width":2,"units":"in","includeArtwork":false})");
    const Rect added = Board("Artboard 4").rect;
    EXPECT_NEAR(added[2] - added[0], 144, 1e-9);
    EXPECT_NEAR(added[1] - added[3], 792, 1e-9);
}

// An added artboard of another size, or moved by "y", lies a gap right of every artboard beside it
// (sharing the base's band or its own), never over one; "x" places it where it says. The setup
// request, when there is one, runs first.
struct AddedSizeCase {
    const char* label;
    const char* setup;
    const char* request;
    std::vector<std::pair<std::string, Rect>> boards;
};

void PrintTo(const AddedSizeCase& c, std::ostream* out) {
    *out << c.label;
}

class AddOfAnySize : public BoardsTest, public testing::WithParamInterface<AddedSizeCase> {};

TEST_P(AddOfAnySize, LiesAGapBeyondEveryArtboardBesideIt) {
    const AddedSizeCase& c = GetParam();
    if (*c.setup != '\0') {
        ASSERT_FALSE(ScriptJson("editArtboards", c.setup).contains("error"));
    }
    const json reply = ScriptJson("editArtboards", c.request);
    EXPECT_FALSE(reply.contains("error")) << reply;
    for (const auto& [name, rect] : c.boards) {
        ExpectRect(Board(name).rect, rect, name);
    }
    const std::vector<SavedBoard> boards = Boards();
    for (std::size_t i = 0; i < boards.size(); ++i) {
        for (std::size_t j = i + 1; j < boards.size(); ++j) {
            const Rect& a = boards[i].rect;
            const Rect& b = boards[j].rect;
            const bool apart = a[2] <= b[0] || b[2] <= a[0] || a[3] >= b[1] || b[3] >= a[1];
            EXPECT_TRUE(apart || std::string(c.label) == "xPlacesItWhereItSays")
                << boards[i].name << " and " << boards[j].name << " overlap";
        }
    }
}

// Three moved up: [500, 600, 650, 450], out of One's band but in that of a taller artboard.
constexpr const char* kThreeUp = R"({"mode":"edit","artboardNumber":3,"y":525})";

INSTANTIATE_TEST_SUITE_P(
    Sizes, AddOfAnySize,
    testing::Values(
        // Letter resized about the slot's centre (770, 100) would reach left to 464, over every
        // artboard.
        AddedSizeCase{"templateLetter",
                      "",
                      R"({"mode":"add","template":"Letter","includeArtwork":false})",
                      {{"Artboard 4", {670, 496, 1282, -296}}}},
        AddedSizeCase{"templateWithCopies",
                      "",
                      R"({"mode":"add","template":"Letter","numberOfArtboards":2,"includeArtwork":false})",
                      {{"Artboard 4", {670, 496, 1282, -296}}, {"Artboard 5", {1302, 496, 1914, -296}}}},
        AddedSizeCase{"smallerStaysAtTheSlot",
                      "",
                      R"({"mode":"add","artboardNumber":1,"width":50,"height":40,"includeArtwork":false})",
                      {{"Artboard 4", {670, 120, 720, 80}}}},
        AddedSizeCase{"anchoredAtTheTopLeft",
                      "",
                      R"({"mode":"add","width":300,"anchorPoint":"TL","includeArtwork":false})",
                      {{"Artboard 4", {670, 200, 970, 0}}}},
        // One's band holds only Two: the slot starts at 420; Letter's band holds Three too.
        AddedSizeCase{"tallerBandHoldsAnotherArtboard",
                      kThreeUp,
                      R"({"mode":"add","template":"Letter","includeArtwork":false})",
                      {{"Artboard 4", {670, 496, 1282, -296}}, {"Three", {500, 600, 650, 450}}}},
        AddedSizeCase{"yMovesItIntoAnotherBand",
                      kThreeUp,
                      R"({"mode":"add","anchorPoint":"BL","y":300,"includeArtwork":false})",
                      {{"Artboard 4", {670, 500, 870, 300}}}},
        AddedSizeCase{"yIntoAnEmptyBandKeepsTheSlot",
                      "",
                      R"({"mode":"add","anchorPoint":"BL","y":300,"includeArtwork":false})",
                      {{"Artboard 4", {670, 500, 870, 300}}}},
        AddedSizeCase{
            "xPlacesItWhereItSays",
            "",
            R"({"mode":"add","template":"Letter","x":0,"y":0,"anchorPoint":"BL","includeArtwork":false})",
            {{"Artboard 4", {0, 792, 612, 0}}}}),
    [](const auto& info) { return std::string(info.param.label); });

// --- remove ------------------------------------------------------------------------------------------------

TEST_F(EditArtboards, RemoveDeletesTheArtboardAndTheArtOnIt) {
    EXPECT_EQ(Script("editArtboards", R"({"mode":"remove","artboardName":"One"})"),
              R"({"artboardName":"One","eventType":"editArtboards"})");
    EXPECT_EQ(BoardNames(), (std::vector<std::string>{"Two", "Three"}));
    EXPECT_EQ(CountNamed("R1"), 0);
    EXPECT_EQ(CountNamed("S1"), 0);
    EXPECT_EQ(CountNamed("R2"), 1);
    EXPECT_EQ(CountNamed("Far"), 1);
}

TEST_F(EditArtboards, RemoveCanKeepTheArt) {
    Script("editArtboards", R"({"mode":"remove","artboardNumber":2,"includeArtwork":false})");
    EXPECT_EQ(BoardNames(), (std::vector<std::string>{"One", "Three"}));
    ExpectRect(AnchorBounds("R2"), kR2, "R2 stays");
}

TEST_F(EditArtboards, TheLastArtboardAndItsArtStay) {
    Script("editArtboards", R"({"mode":"remove","artboardName":"Two"})");
    Script("editArtboards", R"({"mode":"remove","artboardName":"Three"})");
    EXPECT_EQ(ScriptJson("editArtboards", R"({"mode":"remove","artboardName":"One"})")["error"],
              "Can't delete an artboard");
    EXPECT_EQ(BoardNames(), (std::vector<std::string>{"One"}));
    // The art goes only with an artboard that went.
    ExpectRect(AnchorBounds("R1"), kR1, "R1");
    ExpectRect(AnchorBounds("S1"), kS1, "S1");
}

// --- rearrange ---------------------------------------------------------------------------------------------

struct LayoutCase {
    const char* label;
    const char* request;
    Rect one;
    Rect two;
    Rect three;
};

void PrintTo(const LayoutCase& c, std::ostream* out) {
    *out << c.label;
}

class Rearrange : public BoardsTest, public testing::WithParamInterface<LayoutCase> {};

TEST_P(Rearrange, PlacesEveryArtboardAndMovesItsArt) {
    const json reply = ScriptJson("editArtboards", GetParam().request);
    EXPECT_FALSE(reply.contains("error")) << reply;
    EXPECT_FALSE(reply.contains("warning")) << reply;
    EXPECT_EQ(BoardNames(), (std::vector<std::string>{"One", "Two", "Three"}));  // numbers stay
    ExpectRect(Board("One").rect, GetParam().one, "One");
    ExpectRect(Board("Two").rect, GetParam().two, "Two");
    ExpectRect(Board("Three").rect, GetParam().three, "Three");
    // The art keeps its place on its artboard.
    ExpectRect(AnchorBounds("R1"), Shifted(kR1, GetParam().one[0] - kOne[0], GetParam().one[1] - kOne[1]),
               "R1");
    ExpectRect(AnchorBounds("R2"), Shifted(kR2, GetParam().two[0] - kTwo[0], GetParam().two[1] - kTwo[1]),
               "R2");
    ExpectRect(AnchorBounds("R3"),
               Shifted(kR3, GetParam().three[0] - kThree[0], GetParam().three[1] - kThree[1]), "R3");
    ExpectRect(AnchorBounds("Far"), {1000, 10, 1010, 0}, "Far is on no artboard");
}

INSTANTIATE_TEST_SUITE_P(
    Layouts, Rearrange,
    testing::Values(
        LayoutCase{"byRow", R"({"mode":"rearrange"})", kOne, {220, 200, 320, 100}, {340, 200, 490, 50}},
        LayoutCase{"byRowWithAGapInMillimetres",
                   R"({"mode":"rearrange","gap":10,"units":"mm"})",
                   kOne,
                   {200 + 10 * 72 / 25.4, 200, 300 + 10 * 72 / 25.4, 100},
                   {300 + 20 * 72 / 25.4, 200, 450 + 20 * 72 / 25.4, 50}},
        LayoutCase{"byColumn",
                   R"({"mode":"rearrange","layout":"arrangeByColumn"})",
                   kOne,
                   {0, -20, 100, -120},
                   {0, -140, 150, -290}},
        LayoutCase{"rightToLeftByRow",
                   R"({"mode":"rearrange","layout":"rightToLeftArrangeByRow"})",
                   kOne,
                   {-120, 200, -20, 100},
                   {-290, 200, -140, 50}},
        LayoutCase{"rightToLeftByColumn",
                   R"({"mode":"rearrange","layout":"rightToLeftArrangeByColumn"})",
                   kOne,
                   {100, -20, 200, -120},
                   {50, -140, 200, -290}},
        LayoutCase{"gridByRowOfTwoColumns",
                   R"({"mode":"rearrange","layout":"gridByRow","columns":2})",
                   kOne,
                   {220, 200, 320, 100},
                   {0, -20, 150, -170}},
        LayoutCase{"gridByRowSquare",
                   R"({"mode":"rearrange","layout":"gridByRow"})",
                   kOne,
                   {220, 200, 320, 100},
                   {0, -20, 150, -170}},
        LayoutCase{"gridByColumnOfTwoRows",
                   R"({"mode":"rearrange","layout":"gridByColumn","rows":2})",
                   kOne,
                   {0, -20, 100, -120},
                   {220, 200, 370, 50}},
        LayoutCase{"rightToLeftGridByColumn",
                   R"({"mode":"rearrange","layout":"rightToLeftGridByColumn","rows":2})",
                   kOne,
                   {100, -20, 200, -120},
                   {-170, 200, -20, 50}},
        LayoutCase{"reordered",
                   R"({"mode":"rearrange","reorder":[3,1,2]})",
                   {170, 200, 370, 0},
                   {390, 200, 490, 100},
                   {0, 200, 150, 50}},
        LayoutCase{"unknownLayoutIsARow",
                   R"({"mode":"rearrange","layout":"spiral"})",
                   kOne,
                   {220, 200, 320, 100},
                   {340, 200, 490, 50}}),
    [](const auto& info) { return std::string(info.param.label); });

TEST_F(EditArtboards, AnInvalidOrderWarnsAndKeepsTheListOrder) {
    const json reply = ScriptJson("editArtboards", R"({"mode":"rearrange","reorder":[1,1,2]})");
    EXPECT_EQ(reply["warning"], "Invalid artboards order");
    ExpectRect(Board("Two").rect, {220, 200, 320, 100}, "Two");
    const json outOfRange = ScriptJson("editArtboards", R"({"mode":"rearrange","reorder":[1,2,4000000000]})");
    EXPECT_EQ(outOfRange["warning"], "Invalid artboards order");
}

TEST_F(EditArtboards, RearrangeCanLeaveTheArtAndSelectIt) {
    Script("editArtboards", R"({"mode":"rearrange","includeArtwork":false})");
    ExpectRect(Board("Two").rect, {220, 200, 320, 100}, "Two");
    ExpectRect(AnchorBounds("R2"), kR2, "R2 stays");
}

TEST_F(EditArtboards, ArtMovesOnlyWithAnArtboardTheApplicationMoved) {
    app->Faults().FailOperation(kAIArtboardSuite, "Update", kCantHappenErr);
    const json reply = ScriptJson("editArtboards", R"({"mode":"rearrange"})");
    // A place the application refused takes back the whole arrangement and says so.
    EXPECT_EQ(reply.value("error", ""), "Can't set a position of an artboard") << reply;
    ExpectRect(Board("Two").rect, kTwo, "Two");
    ExpectRect(AnchorBounds("R2"), kR2, "R2 stays with its artboard");
    ExpectRect(AnchorBounds("R3"), kR3, "R3 stays with its artboard");
}

// --- edit --------------------------------------------------------------------------------------------------

TEST_F(EditArtboards, EditResizesAboutTheAnchorAndMovesTheArtByTheCentresShift) {
    Script("editArtboards", R"({"mode":"edit","artboardNumber":2,"width":200,"anchorPoint":"TL"})");
    ExpectRect(Board("Two").rect, {300, 200, 500, 100}, "Two");
    ExpectRect(AnchorBounds("R2"), Shifted(kR2, 50, 0), "R2 moved, not scaled");
}

TEST_F(EditArtboards, EditMovesTheAnchorToAPoint) {
    Script("editArtboards", R"({"mode":"edit","artboardName":"Three","x":0,"y":0,"anchorPoint":"BL",
                                "includeArtwork":false})");
    ExpectRect(Board("Three").rect, {0, 150, 150, 0}, "Three");
    ExpectRect(AnchorBounds("R3"), kR3, "R3 stays");
}

TEST_F(EditArtboards, EditSetsEveryPropertyAndActivates) {
    Script("editArtboards",
           R"({"mode":"edit","artboardName":"Two","newName":"Deux","par":1.5,"centerMark":true,
        "crossHairMark":true,"safeAreasMark":true,"rulerX":1,"rulerY":2,"units":"in","activate":true})");
    const boardstest::SavedBoard two = Board("Deux");
    ExpectRect(two.rect, kTwo, "Deux");
    EXPECT_EQ(two.data["pixelAspectRatio"], 1.5);
    EXPECT_EQ(two.data["showCenter"], true);
    EXPECT_EQ(two.data["showCrossHairs"], true);
    EXPECT_EQ(two.data["showSafeAreas"], true);
    EXPECT_EQ(two.data["rulerOrigin"], json::array({72.0, 144.0}));
    EXPECT_EQ(ActiveBoard(), 1);
}

TEST_F(EditArtboards, EditSelectsTheArtOnTheArtboard) {
    Script("editArtboards",
           R"({"mode":"edit","artboardNumber":1,"selectArtwork":true,"includeArtwork":false})");
    EXPECT_TRUE(layouttest::FindArt(Saved(), "R1")->value("selected", false));
    EXPECT_FALSE(layouttest::FindArt(Saved(), "R2")->value("selected", false));
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

class EditArtboardsErrors : public BoardsTest, public testing::WithParamInterface<ErrorCase> {};

TEST_P(EditArtboardsErrors, AnswerAndChangeNothing) {
    const json before = Saved();
    const json reply = ScriptJson("editArtboards", GetParam().request);
    EXPECT_EQ(reply.value("error", ""), GetParam().error) << reply;
    EXPECT_EQ(reply["eventType"], "editArtboards");
    EXPECT_EQ(Saved(), before);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, EditArtboardsErrors,
    testing::Values(
        ErrorCase{"noMode", R"({})", "No valid mode"},
        ErrorCase{"unknownMode", R"({"mode":"resize"})", "No valid mode"},
        ErrorCase{"removeUnknownName", R"({"mode":"remove","artboardName":"Nope"})", "Can't get an artboard"},
        ErrorCase{"removeWithoutAnArtboard", R"({"mode":"remove"})", "Can't get an artboard"},
        ErrorCase{"removeNumberOutOfRange", R"({"mode":"remove","artboardNumber":4})",
                  "Can't get an artboard"},
        ErrorCase{"editNumberOutOfRange", R"({"mode":"edit","artboardNumber":99,"width":10})",
                  "Can't get an artboard"},
        ErrorCase{"addNumberOutOfRange", R"({"mode":"add","artboardNumber":4})", "Can't get an artboard"},
        ErrorCase{"addIndexOutOfRange", R"({"mode":"add","index":5})", "Can't add an artboard"},
        ErrorCase{"editZeroWidth", R"({"mode":"edit","artboardNumber":1,"width":0})",
                  "The width and height of an artboard must be above 0"},
        ErrorCase{"addNegativeHeight", R"({"mode":"add","height":-5})",
                  "The width and height of an artboard must be above 0"},
        ErrorCase{"editOverflowingWidth", R"({"mode":"edit","artboardNumber":1,"width":1e308,"units":"ft"})",
                  "The width and height of an artboard must be above 0"},
        ErrorCase{"editZeroRatio", R"({"mode":"edit","artboardNumber":1,"par":0})",
                  "The pixel aspect ratio must be above 0"},
        ErrorCase{"addNegativeRatio", R"({"mode":"add","par":-1})", "The pixel aspect ratio must be above 0"},
        ErrorCase{"overflowingGap", R"({"mode":"rearrange","gap":1e308,"units":"ft"})",
                  "The gap must be a finite number"},
        ErrorCase{"widthAsText", R"({"mode":"edit","artboardNumber":1,"width":"wide"})",
                  "\"width\" must be a number"},
        // Rectangles the application refuses (no extent left once placed, or beyond its coordinates)
        // keep the artboards and their art as they were.
        ErrorCase{"editTinyWidth", R"({"mode":"edit","artboardNumber":1,"width":1e-300})",
                  "Can't set a position of an artboard"},
        ErrorCase{"editFarX", R"({"mode":"edit","artboardNumber":2,"x":1e308})",
                  "Can't set a position of an artboard"},
        ErrorCase{"editFarYFromACorner",
                  R"({"mode":"edit","artboardNumber":3,"y":-1e308,"anchorPoint":"TL"})",
                  "Can't set a position of an artboard"},
        ErrorCase{"addTinyWidth", R"({"mode":"add","artboardNumber":1,"width":1e-300})",
                  "Can't set a position of an artboard"},
        ErrorCase{"addFarX", R"({"mode":"add","artboardNumber":2,"x":1e308,"numberOfArtboards":2})",
                  "Can't set a position of an artboard"},
        ErrorCase{"rearrangeBeyondTheCoordinates", R"({"mode":"rearrange","gap":1e307})",
                  "Can't set a position of an artboard"}),
    [](const auto& info) { return std::string(info.param.label); });

// --- fitArtboardToBounds
// -------------------------------------------------------------------------------------

using FitArtboard = BoardsTest;

TEST_F(FitArtboard, WithoutPaddingEveryEdgeStays) {
    EXPECT_EQ(Script("fitArtboardToBounds", R"({"uid":"f"})"),
              R"({"eventType":"fitArtboardToBounds","uid":"f"})");
    ExpectRect(Board("One").rect, kOne, "One");
    ExpectRect(Board("Two").rect, kTwo, "Two");
    ExpectRect(Board("Three").rect, kThree, "Three");
}

TEST_F(FitArtboard, APaddingFramesTheArtOnEachArtboard) {
    Script("fitArtboardToBounds", R"({"padding":10,"paddingLeft":100})");
    // One holds R1 and S1, whose stroke reaches a point beyond its path.
    ExpectRect(Board("One").rect, {-1, 160, 160, -1}, "One");
    ExpectRect(Board("Two").rect, {310, 190, 390, 110}, "Two");
    ExpectRect(Board("Three").rect, {510, 110, 570, 50}, "Three");
}

TEST_F(FitArtboard, ChosenSidesOnly) {
    Script("fitArtboardToBounds", R"({"paddingTop":0,"paddingBottom":0,"artboardNames":["One"]})");
    ExpectRect(Board("One").rect, {0, 150, 200, 9}, "One");
    ExpectRect(Board("Two").rect, kTwo, "Two");
}

TEST_F(FitArtboard, ANameSharedByTwoArtboardsChoosesTheFirst) {
    Script("editArtboards", R"({"mode":"edit","artboardNumber":3,"newName":"Two"})");
    Script("fitArtboardToBounds", R"({"padding":10,"artboardNames":["Two","Nothing","Two"]})");
    ExpectRect(Board("One").rect, kOne, "One");
    ExpectRect(Boards()[1].rect, {310, 190, 390, 110}, "the first Two");
    ExpectRect(Boards()[2].rect, kThree, "the second Two");
}

TEST_F(FitArtboard, PaddingsInUnits) {
    Script("fitArtboardToBounds", R"({"padding":1,"units":"in","artboardNumbers":[2]})");
    ExpectRect(Board("Two").rect, {248, 252, 452, 48}, "Two");
    ExpectRect(Board("One").rect, kOne, "One");
}

TEST_F(FitArtboard, AllTheFoundArtOnEveryNamedArtboard) {
    Script("fitArtboardToBounds", R"({"fromArtboardItems":false,"artboardNumbers":[1,2],"tagSearch":"r1|r2",
                                      "padding":0})");
    ExpectRect(Board("One").rect, {50, 180, 380, 50}, "One");
    ExpectRect(Board("Two").rect, {50, 180, 380, 50}, "Two");
    ExpectRect(Board("Three").rect, kThree, "Three");
}

TEST_F(FitArtboard, OnlyTheArtOfALayer) {
    Script("fitArtboardToBounds", R"({"layerName":"Bottom","padding":0})");
    ExpectRect(Board("One").rect, {9, 31, 31, 9}, "One frames S1 alone");
    ExpectRect(Board("Two").rect, kTwo, "Two has no art of the layer");
    ExpectRect(Board("Three").rect, kThree, "Three");
}

TEST_F(FitArtboard, ListsOfTheWrongTypeMeanEveryArtboard) {
    Script("fitArtboardToBounds", R"({"artboardNames":"Two","artboardNumbers":"1","padding":0})");
    ExpectRect(Board("Two").rect, {320, 180, 380, 120}, "Two");
    ExpectRect(Board("Three").rect, {520, 100, 560, 60}, "Three");
}

TEST_F(FitArtboard, NamesThatNameNoArtboardChangeNothing) {
    const json reply =
        ScriptJson("fitArtboardToBounds", R"({"artboardNames":["Nope"],"artboardNumbers":"1","padding":0})");
    EXPECT_EQ(reply.value("error", ""), "Can't get an artboard");
    ExpectRect(Board("One").rect, kOne, "One");
    ExpectRect(Board("Two").rect, kTwo, "Two");
    ExpectRect(Board("Three").rect, kThree, "Three");
}

TEST_F(FitArtboard, PaddingsThatFoldTheArtboardLeaveItAsItIs) {
    Script("fitArtboardToBounds", R"({"padding":-100,"artboardNumbers":[2]})");
    ExpectRect(Board("Two").rect, kTwo, "Two");
}

class FitArtboardErrors : public BoardsTest, public testing::WithParamInterface<ErrorCase> {};

TEST_P(FitArtboardErrors, AnswerAndChangeNothing) {
    const json before = Saved();
    const json reply = ScriptJson("fitArtboardToBounds", GetParam().request);
    EXPECT_EQ(reply.value("error", ""), GetParam().error) << reply;
    EXPECT_EQ(Saved(), before);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FitArtboardErrors,
    testing::Values(
        ErrorCase{"nothingOnTheArtboards", R"({"tagSearch":"far","padding":0})", "No artboard items to fit"},
        ErrorCase{"nothingFound", R"({"tagSearch":"nothing","padding":0})", "No artboard items to fit"},
        ErrorCase{"layerWithoutArtOnTheArtboard",
                  R"({"layerName":"Inner","artboardNumbers":[1],"padding":0})", "No artboard items to fit"},
        ErrorCase{"numberOutOfRange", R"({"artboardNumbers":[1,4],"padding":0})", "Can't get an artboard"},
        // Every artboard's rectangle is one the application refuses: none changes.
        ErrorCase{"paddingBeyondTheCoordinates", R"({"padding":1e308})",
                  "Can't set a position of an artboard"},
        ErrorCase{"onePaddingBeyondTheCoordinates", R"({"paddingLeft":1e308,"paddingRight":1e308})",
                  "Can't set a position of an artboard"},
        ErrorCase{"numberZero", R"({"artboardNumbers":[0],"padding":0})", "Can't get an artboard"},
        ErrorCase{"overflowingPadding", R"({"padding":1e308,"units":"ft"})",
                  "Paddings must be finite numbers"}),
    [](const auto& info) { return std::string(info.param.label); });

// --- Through plimhost --------------------------------------------------------------------------------------

TEST(ArtboardsThroughPlimhost, AScriptOfArtboardCommandsIsSavedAsItRan) {
    const layouttest::PlimhostRun run =
        layouttest::RunPlimhost(std::string(PLIM_SOURCE_DIR) + "/examples/boards.json",
                                "editArtboards {\"mode\":\"remove\",\"artboardName\":\"Three\"}\n"
                                "editArtboards {\"mode\":\"rearrange\"}\n"
                                "fitArtboardToBounds {\"padding\":5,\"artboardNumbers\":[1]}\n");
    ASSERT_EQ(run.status, 0);
    ASSERT_EQ(run.lines.size(), 3u);
    EXPECT_EQ(run.lines[0], R"({"artboardName":"Three","eventType":"editArtboards"})");
    const json& boards = run.saved["artboards"];
    ASSERT_EQ(boards.size(), 2u);
    EXPECT_EQ(boards[0]["rect"], json::array({4.0, 155.0, 155.0, 4.0}));
    EXPECT_EQ(boards[1]["rect"], json::array({220.0, 200.0, 320.0, 100.0}));
    EXPECT_EQ(BoardsTest::CountIn(run.saved, "R3"), 0);
}

}  // namespace
