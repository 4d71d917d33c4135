#include <gtest/gtest.h>

#include "FakeHost.h"
#include "art/ArtTree.h"
#include "art/Crc32.h"
#include "art/TagSearch.h"
#include "art/Tags.h"

namespace {

using Names = std::vector<std::string>;

// Layer 1: group(a, b), path, compound(inner); Layer 2: other.
class ArtTreeTest : public testing::Test {
protected:
    ArtTreeTest() {
        fLayer1 = fHost.AddLayer("Layer 1");
        fGroup = fHost.Add(fLayer1, "group", kGroupArt);
        fA = fHost.Add(fGroup, "a");
        fB = fHost.Add(fGroup, "b");
        fPath = fHost.Add(fLayer1, "path");
        fCompound = fHost.Add(fLayer1, "compound", kCompoundPathArt);
        fInner = fHost.Add(fCompound, "inner");
        fLayer2 = fHost.AddLayer("Layer 2");
        fOther = fHost.Add(fLayer2, "other");
    }

    ~ArtTreeTest() override {
        EXPECT_EQ(fHost.OutstandingBlocks(), 0) << "a matching-art answer was not freed";
    }

    void Select(ArtObject* art) { sAIArt->SetArtUserAttr(art, kArtSelected, kArtSelected); }

    FakeHost fHost;
    ArtObject* fLayer1 = nullptr;
    ArtObject* fGroup = nullptr;
    ArtObject* fA = nullptr;
    ArtObject* fB = nullptr;
    ArtObject* fPath = nullptr;
    ArtObject* fCompound = nullptr;
    ArtObject* fInner = nullptr;
    ArtObject* fLayer2 = nullptr;
    ArtObject* fOther = nullptr;
};

TEST_F(ArtTreeTest, IdentityIsTheChecksumOfTheUuidText) {
    EXPECT_EQ(ArtUUID(fA), "uuid-a");
    EXPECT_EQ(ArtCRC(fA), static_cast<std::int32_t>(CRC32("uuid-a")));
}

TEST_F(ArtTreeTest, MissingUuidGivesEmptyTextAndKeyZero) {
    fHost.Fail("GetArtUUID");
    EXPECT_EQ(ArtUUID(fA), "");
    EXPECT_EQ(ArtCRC(fA), 0);
}

TEST_F(ArtTreeTest, AllObjectsComeInDocumentOrder) {
    EXPECT_EQ(fHost.Names(GetAllObjects(true)),
              (Names{"Layer 1", "group", "a", "b", "path", "compound", "inner", "Layer 2", "other"}));
    EXPECT_EQ(fHost.Names(GetAllObjects(false)),
              (Names{"group", "a", "b", "path", "compound", "inner", "other"}));
}

TEST_F(ArtTreeTest, ObjectsWhoseLayerGroupTestFailsAreLeftOut) {
    fHost.Fail("IsArtLayerGroup");
    EXPECT_TRUE(GetAllObjects(false).empty());
    EXPECT_EQ(GetAllObjects(true).size(), 9u);
}

TEST_F(ArtTreeTest, FailedQueryGivesNothing) {
    fHost.Fail("GetMatchingArt");
    EXPECT_TRUE(GetAllObjects(true).empty());
    EXPECT_TRUE(GetTopFullySelectedObjects().empty());
}

TEST_F(ArtTreeTest, TreeOfAPathIsThePath) {
    EXPECT_EQ(GetArtTree(fPath), ArtList{fPath});
    EXPECT_EQ(fHost.Names(GetArtTree(fGroup)), (Names{"group", "a", "b"}));
    EXPECT_TRUE(GetArtTree(nullptr).empty());
}

TEST_F(ArtTreeTest, TopObjectsLieDirectlyInALayer) {
    EXPECT_EQ(GetTopObjects(), (ArtHandleSet{fGroup, fPath, fCompound, fOther}));
}

TEST_F(ArtTreeTest, WhollySelectedGroupIsOneObject) {
    Select(fA);
    Select(fB);
    Select(fPath);
    EXPECT_EQ(fHost.Names(GetTopFullySelectedObjects()), (Names{"group", "path"}));
}

TEST_F(ArtTreeTest, PartlySelectedGroupGivesItsSelectedMember) {
    Select(fB);
    EXPECT_EQ(GetTopFullySelectedObjects(), ArtList{fB});
}

TEST_F(ArtTreeTest, WholeLayerGivesItsTopObjectsNotTheLayer) {
    for (ArtObject* art : {fA, fB, fPath, fInner}) {
        Select(art);
    }
    EXPECT_EQ(fHost.Names(GetTopFullySelectedObjects()), (Names{"group", "path", "compound"}));
}

TEST_F(ArtTreeTest, PaintOrderAndItsReverse) {
    const ArtList list{fOther, fA, fLayer1, fPath, fA};
    const ArtList forward = SortArtByPaintOrder(list, false);
    ArtList backward = SortArtByPaintOrder(list, true);
    EXPECT_EQ(fHost.Names(forward), (Names{"a", "path", "other"}));
    std::reverse(backward.begin(), backward.end());
    EXPECT_EQ(backward, forward);
}

TEST_F(ArtTreeTest, RemoveLeavesKeepsTopMostMembersInListOrder) {
    EXPECT_EQ(RemoveLeaves2({fA, fGroup}), ArtList{fGroup});
    EXPECT_EQ(RemoveLeaves2({fPath, fOther, fInner}), (ArtList{fPath, fOther, fInner}));
}

TEST_F(ArtTreeTest, RemoveLeavesTellsEqualKeysApart) {
    fHost.Art(fPath).uuid = "same";
    fHost.Art(fOther).uuid = "same";
    EXPECT_EQ(RemoveLeaves({fPath, fOther, fA, fGroup}), (ArtHandleSet{fPath, fOther, fGroup}));
}

TEST_F(ArtTreeTest, SubTreeOfCompoundContentIsSkipped) {
    ArtList out;
    FindSubTree(fInner, out);
    EXPECT_TRUE(out.empty());
    FindSubTree(fGroup, out);
    EXPECT_EQ(out, (ArtList{fA, fB}));
    EXPECT_EQ(FindSubTree(ArtList{fGroup, fPath, fInner}), (ArtHandleSet{fA, fB, fPath}));
}

TEST_F(ArtTreeTest, LeavesAndGroups) {
    const ArtList leaves = FindLeaves({fGroup, fCompound, fA});
    EXPECT_EQ(ArtHandleSet(leaves.begin(), leaves.end()), (ArtHandleSet{fA, fB, fCompound, fInner}));
    EXPECT_EQ(FindGroups(fLayer1), (ArtList{fLayer1, fGroup}));
}

TEST_F(ArtTreeTest, SelectSubTreeSelectsEverythingBelow) {
    SelectSubTree(fGroup);
    for (ArtObject* art : {fGroup, fA, fB}) {
        EXPECT_NE(fHost.Art(art).attributes & kArtSelected, 0) << fHost.NameOf(art);
    }
    EXPECT_EQ(fHost.Art(fPath).attributes & kArtSelected, 0);
}

TEST_F(ArtTreeTest, GroupVisibility) {
    EXPECT_TRUE(SetGroupVisibility(fGroup, true));
    EXPECT_NE(fHost.Art(fA).attributes & kArtHidden, 0);
    EXPECT_NE(fHost.Art(fGroup).attributes & kArtHidden, 0);
    EXPECT_FALSE(SetGroupVisibility(fPath, true));
    EXPECT_EQ(fHost.Art(fPath).attributes & kArtHidden, 0);
}

TEST_F(ArtTreeTest, NamesRoundTripAsUtf8) {
    ASSERT_TRUE(SetArtNameText(fPath, "Caf\xc3\xa9 sign"));
    std::string name;
    bool isDefault = true;
    ASSERT_TRUE(GetArtNameText(fPath, name, isDefault));
    EXPECT_EQ(name, "Caf\xc3\xa9 sign");
    EXPECT_FALSE(isDefault);
}

class UngroupArtTest : public ArtTreeTest {};

TEST_F(UngroupArtTest, ChildrenLandAboveInTheirOrder) {
    ArtList out;
    ASSERT_TRUE(UngroupArt(fGroup, out));
    EXPECT_FALSE(fHost.IsLive(fGroup));
    EXPECT_EQ(fHost.ChildNames(fLayer1), (Names{"a", "b", "path", "compound"}));
    EXPECT_EQ(fHost.Names(out), (Names{"a", "b"}));
}

TEST_F(UngroupArtTest, ChildWhoseCopyFailsIsMovedOutNotLost) {
    WriteTags(fA, {"keep"});
    fHost.Fail("DuplicateArt");
    ArtList out;
    ASSERT_TRUE(UngroupArt(fGroup, out));
    EXPECT_EQ(out, (ArtList{fA, fB}));
    EXPECT_TRUE(fHost.IsLive(fA));
    EXPECT_EQ(ReadTags(fA), (TagSet{"keep"}));
    EXPECT_FALSE(fHost.IsLive(fGroup));
}

TEST_F(UngroupArtTest, ChildThatCannotLeaveKeepsTheGroup) {
    fHost.Fail("DuplicateArt");
    fHost.Fail("ReorderArt");
    ArtList out;
    EXPECT_TRUE(UngroupArt(fGroup, out));
    EXPECT_TRUE(out.empty());
    EXPECT_TRUE(fHost.IsLive(fGroup));
    EXPECT_EQ(fHost.ChildNames(fGroup), (Names{"a", "b"}));
}

TEST_F(UngroupArtTest, EmptyGroupIsLeftAlone) {
    ArtObject* empty = fHost.Add(fLayer2, "empty", kGroupArt);
    ArtList out;
    EXPECT_FALSE(UngroupArt(empty, out));
    EXPECT_TRUE(fHost.IsLive(empty));
}

class SearchTaggedArtTest : public ArtTreeTest {
protected:
    SearchTaggedArtTest() {
        WriteTags(fA, {"cell"});
        WriteTags(fB, {"cell", "red"});
        WriteTags(fGroup, {"row"});
        WriteTags(fOther, {"red"});
    }
};

TEST_F(SearchTaggedArtTest, FindsTaggedArtThroughTheHost) {
    const ArtList found = SearchTaggedArt("row>red");
    EXPECT_EQ(found, ArtList{fB});
    const ArtList cells = SearchTaggedArt(":nthChild(row, 2)");
    EXPECT_EQ(cells, ArtList{fB});
}

TEST_F(SearchTaggedArtTest, ResultIsInKeyOrder) {
    ArtList found = SearchTaggedArt("red|cell");
    ASSERT_EQ(found.size(), 3u);
    EXPECT_TRUE(std::is_sorted(found.begin(), found.end(),
                               [](ArtObject* x, ArtObject* y) { return ArtCRC(x) < ArtCRC(y); }));
}

TEST_F(SearchTaggedArtTest, TwoObjectsWithOneUuidStayApart) {
    fHost.Art(fOther).uuid = fHost.Art(fB).uuid;
    WriteTags(fOther, {"lonely"});
    EXPECT_EQ(SearchTaggedArt("lonely"), ArtList{fOther});
    EXPECT_EQ(SearchTaggedArt("cell&red"), ArtList{fB});
}

// A command's queries share one listing of the document, and only the objects found have their
// UUIDs read, once each; the texts come back with the objects, in key order.
TEST_F(SearchTaggedArtTest, OneSnapshotServesEveryQueryAndReadsOnlyTheResultsIdentities) {
    TagSearchSnapshot snapshot;
    ArtList cells;
    ArtList reds;
    std::vector<std::string> cellUuids;
    std::vector<std::string> redUuids;
    ASSERT_TRUE(snapshot.Search("cell", cells, &cellUuids));
    EXPECT_EQ(fHost.Calls("GetArtUUID"), 2);
    ASSERT_TRUE(snapshot.Search("red", reds, &redUuids));
    EXPECT_EQ(fHost.Calls("GetArtUUID"), 3) << "b's identity is read once";
    EXPECT_EQ(fHost.Calls("GetMatchingArt"), 1);

    auto byKey = [](ArtList list) {
        std::stable_sort(list.begin(), list.end(),
                         [](ArtObject* x, ArtObject* y) { return ArtCRC(x) < ArtCRC(y); });
        return list;
    };
    EXPECT_EQ(cells, byKey({fA, fB}));
    EXPECT_EQ(reds, byKey({fB, fOther}));
    EXPECT_EQ(cellUuids, (std::vector<std::string>{ArtUUID(cells[0]), ArtUUID(cells[1])}));
    EXPECT_EQ(redUuids, (std::vector<std::string>{ArtUUID(reds[0]), ArtUUID(reds[1])}));
}

TEST_F(SearchTaggedArtTest, RefusedQueriesLeaveTheListAlone) {
    ArtList out{fPath};
    for (const char* query : {"", "red red", "a&&b", ":nope(red)", ":nthChild(row)"}) {
        EXPECT_FALSE(SearchTaggedArt(query, out)) << query;
        EXPECT_EQ(out, ArtList{fPath}) << query;
        EXPECT_TRUE(SearchTaggedArt(query).empty()) << query;
    }
}

TEST_F(SearchTaggedArtTest, WellFormedQueryWithoutMatchesAnswersTrue) {
    ArtList out{fPath};
    EXPECT_TRUE(SearchTaggedArt("zzz", out));
    EXPECT_TRUE(out.empty());
}

}  // namespace
