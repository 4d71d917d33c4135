// Art-tree helpers on the stand-in: art identity from UUIDs, tree walks, matching art and tag search.
#include <gtest/gtest.h>

#include <map>

#include "AIMatchingArt.h"
#include "AIUUID.h"
#include "StandIn.h"
#include "art/ArtTree.h"
#include "art/Crc32.h"
#include "art/TagSearch.h"
#include "art/Tags.h"

namespace {

using Names = std::vector<std::string>;
using unittest::StandIn;

// Two UUIDs whose checksums, the keys the plug-in compares art by, are equal.
constexpr const char* kOneKey = "9ef70b69-2531-4663-8a2f-da139eb6b43d";
constexpr const char* kSameKey = "f827f5ee-413f-4ceb-bfb9-0cd24f4674f9";

// Layer 1: group(a, b), path, compound(inner); Layer 2: other.
class ArtTreeTest : public testing::Test {
protected:
    ArtTreeTest() { LoadTree(); }

    ~ArtTreeTest() override {
        EXPECT_EQ(fHost.App().LiveMemoryBlocks(), 0u) << "a matching-art answer was not freed";
    }

    // The document, the objects named in `uuids` with those UUIDs.
    void LoadTree(const std::map<std::string, std::string>& uuids = {}) {
        using namespace unittest::doc;
        const auto art = [&](json object) {
            const auto uuid = uuids.find(object["name"].get<std::string>());
            return uuid != uuids.end() ? With(std::move(object), "uuid", uuid->second) : object;
        };
        fHost.LoadLayers(
            {Layer("Layer 1", {Group("group", {art(Path("a")), art(Path("b"))}), art(Path("path")),
                               Container("compoundPath", "compound", {art(Path("inner"))})}),
             Layer("Layer 2", {art(Path("other"))})});
        fLayer1 = fHost.Art("Layer 1");
        fGroup = fHost.Art("group");
        fA = fHost.Art("a");
        fB = fHost.Art("b");
        fPath = fHost.Art("path");
        fCompound = fHost.Art("compound");
        fInner = fHost.Art("inner");
        fLayer2 = fHost.Art("Layer 2");
        fOther = fHost.Art("other");
    }

    void Select(ArtObject* art) { sAIArt->SetArtUserAttr(art, kArtSelected, kArtSelected); }
    bool Has(ArtObject* art, ai::int32 attribute) {
        ai::int32 value = 0;
        return sAIArt->GetArtUserAttr(art, attribute, &value) == kNoErr && value != 0;
    }
    Names Children(ArtObject* art) { return StandIn::Names(fHost.Children(art)); }

    StandIn fHost;
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
    LoadTree({{"a", kOneKey}});
    EXPECT_EQ(ArtUUID(fA), kOneKey);
    EXPECT_EQ(ArtCRC(fA), static_cast<std::int32_t>(CRC32(kOneKey)));
}

TEST_F(ArtTreeTest, MissingUuidGivesEmptyTextAndKeyZero) {
    fHost.Fail(kAIUUIDSuite, "GetArtUUID");
    EXPECT_EQ(ArtUUID(fA), "");
    EXPECT_EQ(ArtCRC(fA), 0);
}

TEST_F(ArtTreeTest, AllObjectsComeInDocumentOrder) {
    EXPECT_EQ(StandIn::Names(GetAllObjects(true)),
              (Names{"Layer 1", "group", "a", "b", "path", "compound", "inner", "Layer 2", "other"}));
    EXPECT_EQ(StandIn::Names(GetAllObjects(false)),
              (Names{"group", "a", "b", "path", "compound", "inner", "other"}));
}

TEST_F(ArtTreeTest, ObjectsWhoseLayerGroupTestFailsAreLeftOut) {
    fHost.Fail(kAIArtSuite, "IsArtLayerGroup");
    EXPECT_TRUE(GetAllObjects(false).empty());
    EXPECT_EQ(GetAllObjects(true).size(), 9u);
}

TEST_F(ArtTreeTest, FailedQueryGivesNothing) {
    fHost.Fail(kAIMatchingArtSuite, "GetMatchingArt");
    EXPECT_TRUE(GetAllObjects(true).empty());
    EXPECT_TRUE(GetTopFullySelectedObjects().empty());
}

TEST_F(ArtTreeTest, TreeOfAPathIsThePath) {
    EXPECT_EQ(GetArtTree(fPath), ArtList{fPath});
    EXPECT_EQ(StandIn::Names(GetArtTree(fGroup)), (Names{"group", "a", "b"}));
    EXPECT_TRUE(GetArtTree(nullptr).empty());
}

TEST_F(ArtTreeTest, TopObjectsLieDirectlyInALayer) {
    EXPECT_EQ(GetTopObjects(), (ArtHandleSet{fGroup, fPath, fCompound, fOther}));
}

// A sublayer's objects come in its place among the objects of its layer: the order the plug-in's
// sorting by paint order gives the same objects.
TEST_F(ArtTreeTest, TopObjectsInPaintOrderTakeASublayerInItsPlace) {
    using namespace unittest::doc;
    fHost.LoadLayers(
        {Layer("Layer 1", {Path("front"), Layer("Inner", {Path("inside"), Group("kept", {Path("deep")})}),
                           Path("back")}),
         Layer("Layer 2", {Path("other")})});
    const Names expected{"front", "inside", "kept", "back", "other"};
    EXPECT_EQ(StandIn::Names(GetTopObjectsInPaintOrder()), expected);
    EXPECT_EQ(StandIn::Names(SortArtByPaintOrder(RemoveLeaves2(GetAllObjects(false)), false)), expected);
    const ArtList ordered = GetTopObjectsInPaintOrder();
    EXPECT_EQ(GetTopObjects(), ArtHandleSet(ordered.begin(), ordered.end()));
}

TEST_F(ArtTreeTest, WhollySelectedGroupIsOneObject) {
    Select(fA);
    Select(fB);
    Select(fPath);
    EXPECT_EQ(StandIn::Names(GetTopFullySelectedObjects()), (Names{"group", "path"}));
}

TEST_F(ArtTreeTest, PartlySelectedGroupGivesItsSelectedMember) {
    Select(fB);
    EXPECT_EQ(GetTopFullySelectedObjects(), ArtList{fB});
}

TEST_F(ArtTreeTest, WholeLayerGivesItsTopObjectsNotTheLayer) {
    for (ArtObject* art : {fA, fB, fPath, fInner}) {
        Select(art);
    }
    EXPECT_EQ(StandIn::Names(GetTopFullySelectedObjects()), (Names{"group", "path", "compound"}));
}

TEST_F(ArtTreeTest, PaintOrderAndItsReverse) {
    const ArtList list{fOther, fA, fLayer1, fPath, fA};
    const ArtList forward = SortArtByPaintOrder(list, false);
    ArtList backward = SortArtByPaintOrder(list, true);
    EXPECT_EQ(StandIn::Names(forward), (Names{"a", "path", "other"}));
    std::reverse(backward.begin(), backward.end());
    EXPECT_EQ(backward, forward);
}

TEST_F(ArtTreeTest, RemoveLeavesKeepsTopMostMembersInListOrder) {
    EXPECT_EQ(RemoveLeaves2({fA, fGroup}), ArtList{fGroup});
    EXPECT_EQ(RemoveLeaves2({fPath, fOther, fInner}), (ArtList{fPath, fOther, fInner}));
}

TEST_F(ArtTreeTest, RemoveLeavesTellsEqualKeysApart) {
    LoadTree({{"path", kOneKey}, {"other", kSameKey}});
    ASSERT_EQ(ArtCRC(fPath), ArtCRC(fOther));
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
    std::vector<ArtObject*> selected;
    for (const host::model::ArtId id : fHost.Doc().selectedArt()) {
        selected.push_back(StandIn::Handle(id));
    }
    EXPECT_EQ(ArtHandleSet(selected.begin(), selected.end()), (ArtHandleSet{fGroup, fA, fB}));
}

TEST_F(ArtTreeTest, GroupVisibility) {
    EXPECT_TRUE(SetGroupVisibility(fGroup, true));
    EXPECT_TRUE(Has(fA, kArtHidden));
    EXPECT_TRUE(Has(fGroup, kArtHidden));
    EXPECT_FALSE(SetGroupVisibility(fPath, true));
    EXPECT_FALSE(Has(fPath, kArtHidden));
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
    EXPECT_EQ(Children(fLayer1), (Names{"a", "b", "path", "compound"}));
    EXPECT_EQ(StandIn::Names(out), (Names{"a", "b"}));
}

TEST_F(UngroupArtTest, ChildWhoseCopyFailsIsMovedOutNotLost) {
    WriteTags(fA, {"keep"});
    fHost.Fail(kAIArtSuite, "DuplicateArt");
    ArtList out;
    ASSERT_TRUE(UngroupArt(fGroup, out));
    EXPECT_EQ(out, (ArtList{fA, fB}));
    EXPECT_TRUE(fHost.IsLive(fA));
    EXPECT_EQ(ReadTags(fA), (TagSet{"keep"}));
    EXPECT_FALSE(fHost.IsLive(fGroup));
}

TEST_F(UngroupArtTest, ChildThatCannotLeaveKeepsTheGroup) {
    fHost.Fail(kAIArtSuite, "DuplicateArt");
    fHost.Fail(kAIArtSuite, "ReorderArt");
    ArtList out;
    EXPECT_TRUE(UngroupArt(fGroup, out));
    EXPECT_TRUE(out.empty());
    EXPECT_TRUE(fHost.IsLive(fGroup));
    EXPECT_EQ(Children(fGroup), (Names{"a", "b"}));
}

TEST_F(UngroupArtTest, EmptyGroupIsLeftAlone) {
    ArtObject* empty = nullptr;
    ASSERT_EQ(sAIArt->NewArt(kGroupArt, kPlaceInsideOnBottom, fLayer2, &empty), kNoErr);
    ArtList out;
    EXPECT_FALSE(UngroupArt(empty, out));
    EXPECT_TRUE(fHost.IsLive(empty));
}

class SearchTaggedArtTest : public ArtTreeTest {
protected:
    SearchTaggedArtTest() { TagTree(); }

    void TagTree() {
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

TEST_F(SearchTaggedArtTest, TwoObjectsWithOneKeyStayApart) {
    LoadTree({{"b", kOneKey}, {"other", kSameKey}});
    ASSERT_EQ(ArtCRC(fB), ArtCRC(fOther));
    TagTree();
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
    const int uuidsBefore = fHost.Calls(kAIUUIDSuite, "GetArtUUID");
    const int queriesBefore = fHost.Calls(kAIMatchingArtSuite, "GetMatchingArt");
    ASSERT_TRUE(snapshot.Search("cell", cells, &cellUuids));
    EXPECT_EQ(fHost.Calls(kAIUUIDSuite, "GetArtUUID") - uuidsBefore, 2);
    ASSERT_TRUE(snapshot.Search("red", reds, &redUuids));
    EXPECT_EQ(fHost.Calls(kAIUUIDSuite, "GetArtUUID") - uuidsBefore, 3) << "b's identity is read once";
    EXPECT_EQ(fHost.Calls(kAIMatchingArtSuite, "GetMatchingArt") - queriesBefore, 1);

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
