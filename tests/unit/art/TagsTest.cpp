// Reading and writing tag entries on art through the stand-in.
#include <gtest/gtest.h>

#include <climits>

#include <map>

#include "AITag.h"
#include "AITextFrame.h"
#include "StandIn.h"
#include "art/HostArt.h"
#include "art/Tags.h"

namespace {

using Entries = std::map<std::string, std::string>;

// Layer 1: path, other, group(inner), first, second, third, the group "texts" of the point-text
// frames "one" and "two", and the point-text frame "frame".
class TagsTest : public testing::Test {
protected:
    TagsTest() {
        using namespace unittest::doc;
        fHost.LoadLayers({Layer("Layer 1", {Path("path"), Path("other"), Group("group", {Path("inner")}),
                                            Path("first"), Path("second"), Path("third"),
                                            Group("texts", {Text("one"), Text("two")}), Text("frame")})});
        fLayer = fHost.Art("Layer 1");
        fPath = fHost.Art("path");
    }

    // The art's tag entries by name, and entries put there as another writer would.
    Entries EntriesOf(ArtObject* art) {
        Entries entries;
        for (const host::model::TagEntry& entry : fHost.Doc().tags(unittest::StandIn::Id(art))->entries()) {
            entries[entry.name] = entry.value;
        }
        return entries;
    }
    void Put(ArtObject* art, const Entries& entries) {
        for (const auto& [name, value] : entries) {
            fHost.Doc().editTags(unittest::StandIn::Id(art))->set(name, kAITagStringType, value);
        }
    }

    unittest::StandIn fHost;
    ArtObject* fLayer = nullptr;
    ArtObject* fPath = nullptr;
};

TEST_F(TagsTest, WritesNormalisedTextUnderItsChecksumName) {
    WriteTags(fPath, {"Red Circle"});
    EXPECT_EQ(EntriesOf(fPath), (Entries{{"_p_tag_88178879", "red_circle"}}));
    EXPECT_EQ(ReadTags(fPath), (TagSet{"red_circle"}));
}

TEST_F(TagsTest, RunOfForbiddenCharactersBecomesOneUnderscore) {
    WriteTags(fPath, {"a::b"});
    EXPECT_EQ(ReadTags(fPath), (TagSet{"a_b"}));
}

TEST_F(TagsTest, EmptyTextIsNotWritten) {
    WriteTags(fPath, {"", "x"});
    EXPECT_EQ(ReadTags(fPath), (TagSet{"x"}));
    EXPECT_FALSE(EntriesOf(fPath).contains("_p_tag_80000000"));
}

TEST_F(TagsTest, TextsWithOneNormalFormGiveOneEntry) {
    WriteTags(fPath, {"A B", "a_b", "a  b"});
    EXPECT_EQ(EntriesOf(fPath).size(), 1u);
}

TEST_F(TagsTest, ReadsOnlyOwnEntriesAndAcceptsUpperCaseDigits) {
    Put(fPath, {{"_p_tag_CA659850", "abc"}, {"foreign", "x"}, {"_p_tag_ca65985", "short"}});
    EXPECT_EQ(ReadTags(fPath), (TagSet{"abc"}));
}

TEST_F(TagsTest, ReadingSkipsEntriesTheHostCannotGive) {
    WriteTags(fPath, {"a", "b"});
    fHost.Fail(kAITagSuite, "GetTag");
    EXPECT_TRUE(ReadTags(fPath).empty());
}

TEST_F(TagsTest, NestedTagsLeaveOutTheArtsOwn) {
    ArtObject* group = fHost.Art("group");
    ArtObject* inner = fHost.Art("inner");
    WriteTags(group, {"outer"});
    WriteTags(inner, {"inner"});
    EXPECT_EQ(GetNestedTags(group), (TagSet{"inner"}));
    EXPECT_TRUE(GetNestedTags(nullptr).empty());
    EXPECT_EQ(ReadTags(ArtList{group, inner, fPath}), (TagSet{"inner", "outer"}));
}

TEST_F(TagsTest, CompletingWritesOnlyMissingTags) {
    WriteTags(fPath, {"a"});
    const int writes = fHost.Calls(kAITagSuite, "SetTag");
    SetTags({fPath}, {"a", "B"}, false);
    EXPECT_EQ(fHost.Calls(kAITagSuite, "SetTag") - writes, 1);
    EXPECT_EQ(ReadTags(fPath), (TagSet{"a", "b"}));
}

TEST_F(TagsTest, ReplacingRemovesOwnEntriesAndKeepsForeignOnes) {
    Put(fPath, {{"foreign", "x"}});
    WriteTags(fPath, {"old"});
    SetTags({fPath}, {"a", "b", ""}, true);
    EXPECT_EQ(ReadTags(fPath), (TagSet{"a", "b"}));
    EXPECT_EQ(EntriesOf(fPath).at("foreign"), "x");
}

TEST_F(TagsTest, SettingOneArtTellsWhetherItChanged) {
    EXPECT_TRUE(SetTagsOnArt(fPath, {"a"}, false));
    EXPECT_FALSE(SetTagsOnArt(fPath, {"a"}, false));
    EXPECT_TRUE(SetTagsOnArt(fPath, {}, true));
    EXPECT_TRUE(ReadTags(fPath).empty());
    EXPECT_FALSE(SetTagsOnArt(fPath, {}, true));
}

TEST_F(TagsTest, EntryOrderIsTheHostsOrderOfEntries) {
    Put(fPath, {{TagName("zeta"), "zeta"}, {"foreign", "x"}, {TagName("alpha"), "alpha"}});
    std::vector<std::string> expected;
    for (const auto& [name, value] : EntriesOf(fPath)) {
        if (name != "foreign") {
            expected.push_back(value);
        }
    }
    EXPECT_EQ(ReadTagsInEntryOrder(fPath), expected);
}

TEST_F(TagsTest, SettingSkipsArtWhoseEntriesCannotBeCounted) {
    ArtObject* other = fHost.Art("other");
    fHost.Fail(kAITagSuite, "CountTags");
    SetTags({fPath, other}, {"a"}, false);
    EXPECT_TRUE(EntriesOf(fPath).empty());
    EXPECT_TRUE(EntriesOf(other).empty());
}

TEST_F(TagsTest, RemovingWhatWasSetWorksWithTheTextAsGiven) {
    SetTags({fPath}, {"Red Circle", "blue"}, false);
    RemoveTags(fPath, std::vector<std::string>{"Red Circle"});
    EXPECT_EQ(ReadTags(fPath), (TagSet{"blue"}));
    RemoveTags(fPath, std::vector<std::string>{"blue"});
    EXPECT_TRUE(ReadTags(fPath).empty());
}

TEST_F(TagsTest, RemovingByTextFindsUpperCaseDigitNames) {
    Put(fPath, {{"_p_tag_CA659850", "abc"}});
    RemoveTags(fPath, std::vector<std::string>{"abc"});
    EXPECT_TRUE(EntriesOf(fPath).empty());
}

TEST_F(TagsTest, RemovingAllKeepsForeignEntries) {
    Put(fPath, {{"foreign", "x"}, {"_p_tag_00000000", "zero"}});
    WriteTags(fPath, {"a", "b", "c"});
    RemoveTags(ArtList{fPath}, {}, true);
    EXPECT_EQ(EntriesOf(fPath), (Entries{{"foreign", "x"}}));
}

TEST_F(TagsTest, RemovingListedTextsLeavesTheOthers) {
    WriteTags(fPath, {"a", "b", "c"});
    RemoveTags(ArtList{fPath}, {"a", "c", "zzz"}, false);
    EXPECT_EQ(ReadTags(fPath), (TagSet{"b"}));
}

class SeriesTagTest : public TagsTest {
protected:
    SeriesTagTest() {
        fFirst = fHost.Art("first");
        fSecond = fHost.Art("second");
        fThird = fHost.Art("third");
    }
    ArtObject* fFirst = nullptr;
    ArtObject* fSecond = nullptr;
    ArtObject* fThird = nullptr;
};

TEST_F(SeriesTagTest, NumbersFollowDocumentOrderNotListOrder) {
    AddSeriesTagToArt({fThird, fFirst, fSecond}, "item", 5);
    EXPECT_EQ(ReadTags(fFirst), (TagSet{"item5"}));
    EXPECT_EQ(ReadTags(fSecond), (TagSet{"item6"}));
    EXPECT_EQ(ReadTags(fThird), (TagSet{"item7"}));
}

TEST_F(SeriesTagTest, SeriesTextIsNormalised) {
    AddSeriesTagToArt({fSecond}, "Item ", 3);
    EXPECT_EQ(ReadTags(fSecond), (TagSet{"item_3"}));
}

TEST_F(SeriesTagTest, NumbersPastTheIntegerLimitDoNotWrap) {
    AddSeriesTagToArt({fFirst, fSecond}, "n", INT_MAX);
    EXPECT_EQ(ReadTags(fSecond), (TagSet{"n2147483648"}));
}

TEST_F(SeriesTagTest, ArtOutsideTheDocumentGetsNoNumber) {
    ArtObject* gone = fHost.Art("other");
    ASSERT_EQ(sAIArt->DisposeArt(gone), kNoErr);
    const std::map<ArtObject*, int> numbers = ArtOrderNumbers({fThird, gone, fFirst});
    EXPECT_EQ(numbers, (std::map<ArtObject*, int>{{fFirst, 0}, {fThird, 1}}));
}

class OutlineArtTest : public TagsTest {};

TEST_F(OutlineArtTest, GroupKeepsOutlinesThatCarryTheFramesTags) {
    ArtObject* group = fHost.Art("texts");
    ArtObject* one = fHost.Art("one");
    ArtObject* two = fHost.Art("two");
    WriteTags(one, {"first"});
    WriteTags(two, {"second"});
    EXPECT_EQ(OutlineArt(group), group);
    EXPECT_FALSE(fHost.IsLive(one));
    EXPECT_FALSE(fHost.IsLive(two));
    const std::vector<ArtObject*> outlines = fHost.Children(group);
    ASSERT_EQ(outlines.size(), 2u);
    EXPECT_EQ(ReadTags(outlines[0]), (TagSet{"first"}));
    EXPECT_EQ(ReadTags(outlines[1]), (TagSet{"second"}));
}

TEST_F(OutlineArtTest, TextFrameGivesItsOutline) {
    ArtObject* frame = fHost.Art("frame");
    WriteTags(frame, {"title"});
    ArtObject* outline = OutlineArt(frame);
    ASSERT_NE(outline, nullptr);
    EXPECT_TRUE(hostart::IsOfType(outline, kGroupArt));
    EXPECT_FALSE(fHost.IsLive(frame));
    EXPECT_EQ(ReadTags(outline), (TagSet{"title"}));
}

TEST_F(OutlineArtTest, FailedOutlineGivesNullAndKeepsTheFrame) {
    ArtObject* frame = fHost.Art("frame");
    WriteTags(frame, {"title"});
    fHost.Fail(kAITextFrameSuite, "CreateOutline");
    EXPECT_EQ(OutlineArt(frame), nullptr);
    EXPECT_TRUE(fHost.IsLive(frame));
    EXPECT_EQ(ReadTags(frame), (TagSet{"title"}));
}

TEST_F(OutlineArtTest, ArtWithoutTextComesBackUnchanged) {
    EXPECT_EQ(OutlineArt(fPath), fPath);
    EXPECT_EQ(OutlineArt(nullptr), nullptr);
}

}  // namespace
