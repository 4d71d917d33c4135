// Lookups of layers, placements, documents and artboards over the stand-in host.
#include <gtest/gtest.h>

#include <unistd.h>
#include <ostream>

#include <filesystem>
#include <fstream>

#include "AIArtboard.h"
#include "AIDocumentList.h"
#include "StandIn.h"
#include "layout/Lookups.h"

namespace {

// --- Placement words ------------------------------------------------------------------------------------

struct WordCase {
    const char* word;
    int code;
};

void PrintTo(const WordCase& c, std::ostream* out) {
    *out << "\"" << c.word << "\"";
}

class PlacementWords : public testing::TestWithParam<WordCase> {};

TEST_P(PlacementWords, HaveTheHostsCodes) {
    EXPECT_EQ(GetNumLocation(GetParam().word), GetParam().code);
}

INSTANTIATE_TEST_SUITE_P(
    Words, PlacementWords,
    testing::Values(WordCase{"above", 1}, WordCase{"below", 2}, WordCase{"insideOnTop", 3},
                    WordCase{"insideOnBottom", 4}, WordCase{"aboveAll", 5}, WordCase{"belowAll", 6},
                    WordCase{"Above", 0}, WordCase{"", 0}, WordCase{"inside", 0}, WordCase{"above ", 0}),
    [](const testing::TestParamInfo<WordCase>& info) { return "Case" + std::to_string(info.index); });

// --- Layers ---------------------------------------------------------------------------------------------

// Layers top to bottom: "Top", "Middle" (with the sublayer "Sub"), "Bottom" (holding "Untouched"
// and "Last"); "Top" is the current layer.
class Layers : public testing::Test {
protected:
    void SetUp() override {
        using namespace unittest::doc;
        host.LoadLayers({Layer("Top"), Layer("Middle", {Layer("Sub")}),
                         Layer("Bottom", {Path("Untouched"), Path("Last")})});
        top = host.Layer("Top");
        middle = host.Layer("Middle");
        sub = host.Layer("Sub");
        bottom = host.Layer("Bottom");
        untouched = host.Art("Untouched");
    }

    struct Placement {
        bool ok;
        int placement;
        std::string target;
    };

    Placement Place(AILayerHandle layer, int code) {
        int placement = -1;
        ArtObject* target = untouched;
        const bool ok = TargetAndLocationForDuplicate(layer, code, placement, target);
        return {ok, placement, unittest::StandIn::NameOf(target)};
    }

    unittest::StandIn host;
    AILayerHandle top = nullptr;
    AILayerHandle middle = nullptr;
    AILayerHandle sub = nullptr;
    AILayerHandle bottom = nullptr;
    ArtObject* untouched = nullptr;  // what the target holds until the lookup sets it
};

void ExpectPlacement(const auto& actual, bool ok, int placement, const std::string& target) {
    EXPECT_EQ(actual.ok, ok);
    EXPECT_EQ(actual.placement, placement);
    EXPECT_EQ(actual.target, target);
}

TEST_F(Layers, AboveAndBelowATopLevelLayerGoIntoItsNeighbours) {
    ExpectPlacement(Place(middle, 1), true, 4, "Top");
    ExpectPlacement(Place(middle, 2), true, 3, "Bottom");
}

TEST_F(Layers, BeyondTheFirstAndLastLayerEverythingIsTheTarget) {
    ExpectPlacement(Place(top, 1), true, 5, "null");
    ExpectPlacement(Place(bottom, 2), true, 6, "null");
}

TEST_F(Layers, AboveAllAndBelowAllGoIntoTheFirstAndLastLayers) {
    ExpectPlacement(Place(middle, 5), true, 3, "Top");
    ExpectPlacement(Place(middle, 6), true, 4, "Bottom");
}

TEST_F(Layers, InsideAndSublayersPlaceRelativeToTheLayersOwnArt) {
    ExpectPlacement(Place(middle, 3), true, 3, "Middle");
    ExpectPlacement(Place(sub, 1), true, 1, "Sub");
    ExpectPlacement(Place(sub, 6), true, 6, "Sub");
}

TEST_F(Layers, OtherCodesPlaceNothing) {
    ExpectPlacement(Place(middle, 0), true, -1, "null");
}

TEST_F(Layers, APlacementThatNeedsATargetFailsWithoutOne) {
    host.Fail(kAIArtSuite, "GetFirstArtOfLayer");
    EXPECT_FALSE(Place(middle, 3).ok);
    EXPECT_FALSE(Place(sub, 1).ok);
    EXPECT_FALSE(Place(middle, 1).ok);
}

TEST_F(Layers, AHostErrorFails) {
    host.Fail(kAILayerSuite, "GetLayerParent");
    EXPECT_FALSE(Place(middle, 1).ok);
}

TEST_F(Layers, ByPaintOrderAndByTitle) {
    EXPECT_EQ(GetLayerByPaintOrder(1), top);
    EXPECT_EQ(GetLayerByPaintOrder(3), sub);
    EXPECT_EQ(GetLayerByPaintOrder(4), bottom);
    EXPECT_EQ(GetLayerByPaintOrder(5), nullptr);
    EXPECT_EQ(GetLayerByPaintOrder(0), nullptr);
    EXPECT_EQ(GetLayerByName("Sub"), sub);
    EXPECT_EQ(GetLayerByName(""), nullptr);
    EXPECT_EQ(GetLayer(0, "Bottom"), bottom);
    EXPECT_EQ(GetLayer(2, "Bottom"), middle);
    EXPECT_EQ(GetLayer(9, "Nope"), nullptr);
    EXPECT_EQ(host.App().LiveMemoryBlocks(), 0u);
}

TEST_F(Layers, TheBottomObjectIsTheCurrentLayersLast) {
    EXPECT_EQ(GetBottomObject(), nullptr);
    ASSERT_EQ(host.Doc().editLayers().setCurrent(unittest::StandIn::LayerId(bottom)),
              host::model::Status::ok);
    EXPECT_EQ(unittest::StandIn::NameOf(GetBottomObject()), "Last");
    host.Fail(kAIArtSuite, "GetArtSibling");
    EXPECT_EQ(GetBottomObject(), nullptr);
}

// --- Documents --------------------------------------------------------------------------------------------

class Documents : public testing::Test {
protected:
    void SetUp() override {
        folder = "LOOKUPS-" + std::to_string(getpid());
        std::filesystem::create_directory(folder);
        file = folder + "/FILE.TXT";
        std::ofstream(file) << "x";
        // The list counts the current document first, then the others from the most recent.
        host.App().SetDocumentPath(file);
        host.App().OpenDocument(std::make_unique<host::Document>());
        host.App().OpenDocument(std::make_unique<host::Document>(), "/nowhere/a.json");
    }
    void TearDown() override { std::filesystem::remove_all(folder); }

    std::string Lower(std::string text) {
        for (char& c : text) {
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        }
        return text;
    }

    unittest::StandIn host;
    std::string folder;
    std::string file;
};

TEST_F(Documents, APathIsTriedAsWrittenLowerCasedAndUpperCased) {
    ai::FilePath path;
    ASSERT_TRUE(MakeAIFilePath(file, path));
    EXPECT_EQ(path.GetFullPathUTF8(), file);
    ASSERT_TRUE(MakeAIFilePath(Lower(file), path));
    EXPECT_EQ(path.GetFullPathUTF8(), file);
    EXPECT_FALSE(MakeAIFilePath(folder + "/missing.txt", path));
    EXPECT_FALSE(MakeAIFilePath("x", path));
}

TEST_F(Documents, ByIndexOrByPath) {
    const auto handle = [](ai::int32 n) {
        AIDocumentHandle document = nullptr;
        EXPECT_EQ(sAIDocumentList->GetNthDocument(&document, n), kNoErr);
        return document;
    };
    EXPECT_EQ(GetDocument(1, ""), handle(1));
    EXPECT_EQ(GetDocument(5, "/nowhere/a.json"), handle(0));
    EXPECT_EQ(GetDocument(-1, Lower(file)), handle(2));
    EXPECT_EQ(GetDocument(-1, ""), nullptr);
    EXPECT_EQ(GetDocument(-1, "/nowhere/b.json"), nullptr);
}

// --- Artboards
// -----------------------------------------------------------------------------------------------

// Artboards "One", "Two" and "Two" (the active one) side by side; on the layer, "Left" on the
// first, "Edge" touching the second, and the group "Group" whose only path lies beyond them all.
class Artboards : public testing::Test {
protected:
    void SetUp() override {
        using namespace unittest::doc;
        const json boards = json::array({{{"name", "One"}, {"rect", {0, 100, 100, 0}}},
                                         {{"name", "Two"}, {"rect", {200, 100, 300, 0}}},
                                         {{"name", "Two"}, {"rect", {400, 100, 500, 0}}}});
        host.LoadLayers({Layer("Layer", {Path("Left", {10, 50, 20, 40}), Path("Edge", {300, 50, 350, 40}),
                                         Group("Group", {Path("Far", {1000, 50, 1010, 40})})})},
                        {{"artboards", boards}, {"activeArtboard", 2}});
    }
    unittest::StandIn host;
};

TEST_F(Artboards, AreNumberedFromZeroAndFoundByExactName) {
    EXPECT_EQ(GetNumberOfDocumentArtboards(), 3);
    EXPECT_EQ(GetArtboardNumber("Two"), 1);
    EXPECT_EQ(GetArtboardNumber("two"), -1);
    host.Fail(kAIArtboardSuite, "GetArtboardList");
    EXPECT_EQ(GetArtboardNumber("Two"), -1);
    EXPECT_EQ(GetNumberOfDocumentArtboards(), 0);
}

TEST_F(Artboards, BoundsByNumberNameOrTheActiveOne) {
    AIRealRect rect{};
    ASSERT_TRUE(GetArtBoardBounds(0, "Two", rect));
    EXPECT_EQ(rect.left, 0);
    ASSERT_TRUE(GetArtBoardBounds(-1, "Two", rect));
    EXPECT_EQ(rect.left, 200);
    // A name that names no artboard is none: the active artboard stands only for no name.
    EXPECT_FALSE(GetArtBoardBounds(-1, "Nope", rect));
    ASSERT_TRUE(GetArtBoardBounds(-1, "", rect));
    EXPECT_EQ(rect.left, 400);
    EXPECT_FALSE(GetArtBoardBounds(3, "", rect));
}

TEST_F(Artboards, NumbersAndNamesOfARange) {
    std::vector<int> numbers{7};
    std::vector<std::string> names{"kept"};
    ASSERT_TRUE(GetArtboardNumbersAndNames("3,1", numbers, names));
    EXPECT_EQ(numbers, (std::vector<int>{7, 2, 0}));
    EXPECT_EQ(names, (std::vector<std::string>{"kept", "Two", "One"}));
    EXPECT_FALSE(GetArtboardNumbersAndNames("4", numbers, names));
    EXPECT_FALSE(GetArtboardNumbersAndNames("x", numbers, names));
    EXPECT_EQ(numbers.size(), 3u);
}

TEST_F(Artboards, TopObjectsOverlappingTheRange) {
    EXPECT_EQ(ArtboardRangeToArtVector("1"), (ArtList{host.Art("Left")}));
    EXPECT_EQ(ArtboardRangeToArtVector("2"), (ArtList{host.Art("Edge")}));
    EXPECT_TRUE(ArtboardRangeToArtVector("9").empty());
    EXPECT_EQ(host.App().LiveMemoryBlocks(), 0u);
}

}  // namespace
