#include <gtest/gtest.h>

#include <climits>

#include "FakeHost.h"
#include "art/Tags.h"

namespace {

class TagsTest : public testing::Test {
protected:
    TagsTest() {
        fLayer = fHost.AddLayer("Layer 1");
        fPath = fHost.Add(fLayer, "path");
    }

    std::map<std::string, std::string>& Entries(ArtObject* art) { return fHost.Art(art).entries; }

    FakeHost fHost;
    ArtObject* fLayer = nullptr;
    ArtObject* fPath = nullptr;
};

TEST_F(TagsTest, WritesNormalisedTextUnderItsChecksumName) {
    WriteTags(fPath, {"Red Circle"});
    EXPECT_EQ(Entries(fPath), (std::map<std::string, std::string>{{"_p_tag_88178879", "red_circle"}}));
    EXPECT_EQ(ReadTags(fPath), (TagSet{"red_circle"}));
}

TEST_F(TagsTest, RunOfForbiddenCharactersBecomesOneUnderscore) {
    WriteTags(fPath, {"a::b"});
    EXPECT_EQ(ReadTags(fPath), (TagSet{"a_b"}));
}

TEST_F(TagsTest, EmptyTextIsNotWritten) {
    WriteTags(fPath, {"", "x"});
    EXPECT_EQ(ReadTags(fPath), (TagSet{"x"}));
    EXPECT_FALSE(Entries(fPath).contains("_p_tag_80000000"));
}

TEST_F(TagsTest, TextsWithOneNormalFormGiveOneEntry) {
    WriteTags(fPath, {"A B", "a_b", "a  b"});
    EXPECT_EQ(Entries(fPath).size(), 1u);
}

TEST_F(TagsTest, ReadsOnlyOwnEntriesAndAcceptsUpperCaseDigits) {
    Entries(fPath) = {{"_p_tag_CA659850", "abc"}, {"foreign", "x"}, {"_p_tag_ca65985", "short"}};
    EXPECT_EQ(ReadTags(fPath), (TagSet{"abc"}));
}

TEST_F(TagsTest, ReadingSkipsEntriesTheHostCannotGive) {
    WriteTags(fPath, {"a", "b"});
    fHost.Fail("GetTag");
    EXPECT_TRUE(ReadTags(fPath).empty());
}

TEST_F(TagsTest, NestedTagsLeaveOutTheArtsOwn) {
    ArtObject* group = fHost.Add(fLayer, "group", kGroupArt);
    ArtObject* inner = fHost.Add(group, "inner");
    WriteTags(group, {"outer"});
    WriteTags(inner, {"inner"});
    EXPECT_EQ(GetNestedTags(group), (TagSet{"inner"}));
    EXPECT_TRUE(GetNestedTags(nullptr).empty());
    EXPECT_EQ(ReadTags(ArtList{group, inner, fPath}), (TagSet{"inner", "outer"}));
}

TEST_F(TagsTest, CompletingWritesOnlyMissingTags) {
    WriteTags(fPath, {"a"});
    const int writes = fHost.Calls("SetTag");
    SetTags({fPath}, {"a", "B"}, false);
    EXPECT_EQ(fHost.Calls("SetTag") - writes, 1);
    EXPECT_EQ(ReadTags(fPath), (TagSet{"a", "b"}));
}

TEST_F(TagsTest, ReplacingRemovesOwnEntriesAndKeepsForeignOnes) {
    Entries(fPath) = {{"foreign", "x"}};
    WriteTags(fPath, {"old"});
    SetTags({fPath}, {"a", "b", ""}, true);
    EXPECT_EQ(ReadTags(fPath), (TagSet{"a", "b"}));
    EXPECT_EQ(Entries(fPath).at("foreign"), "x");
}

TEST_F(TagsTest, SettingOneArtTellsWhetherItChanged) {
    EXPECT_TRUE(SetTagsOnArt(fPath, {"a"}, false));
    EXPECT_FALSE(SetTagsOnArt(fPath, {"a"}, false));
    EXPECT_TRUE(SetTagsOnArt(fPath, {}, true));
    EXPECT_TRUE(ReadTags(fPath).empty());
    EXPECT_FALSE(SetTagsOnArt(fPath, {}, true));
}

TEST_F(TagsTest, EntryOrderIsTheHostsOrderOfEntries) {
    Entries(fPath) = {{TagName("zeta"), "zeta"}, {"foreign", "x"}, {TagName("alpha"), "alpha"}};
    std::vector<std::string> expected;
    for (const auto& [name, value] : Entries(fPath)) {
        if (name != "foreign") {
            expected.push_back(value);
        }
    }
    EXPECT_EQ(ReadTagsInEntryOrder(fPath), expected);
}

TEST_F(TagsTest, SettingSkipsArtWhoseEntriesCannotBeCounted) {
    ArtObject* other = fHost.Add(fLayer, "other");
    fHost.Fail("CountTags");
    SetTags({fPath, other}, {"a"}, false);
    EXPECT_TRUE(Entries(fPath).empty());
    EXPECT_TRUE(Entries(other).empty());
}

TEST_F(TagsTest, RemovingWhatWasSetWorksWithTheTextAsGiven) {
    SetTags({fPath}, {"Red Circle", "blue"}, false);
    RemoveTags(fPath, std::vector<std::string>{"Red Circle"});
    EXPECT_EQ(ReadTags(fPath), (TagSet{"blue"}));
    RemoveTags(fPath, std::vector<std::string>{"blue"});
    EXPECT_TRUE(ReadTags(fPath).empty());
}

TEST_F(TagsTest, RemovingByTextFindsUpperCaseDigitNames) {
    Entries(fPath) = {{"_p_tag_CA659850", "abc"}};
    RemoveTags(fPath, std::vector<std::string>{"abc"});
    EXPECT_TRUE(Entries(fPath).empty());
}

TEST_F(TagsTest, RemovingAllKeepsForeignEntries) {
    Entries(fPath) = {{"foreign", "x"}, {"_p_tag_00000000", "zero"}};
    WriteTags(fPath, {"a", "b", "c"});
    RemoveTags(ArtList{fPath}, {}, true);
    EXPECT_EQ(Entries(fPath), (std::map<std::string, std::string>{{"foreign", "x"}}));
}

TEST_F(TagsTest, RemovingListedTextsLeavesTheOthers) {
    WriteTags(fPath, {"a", "b", "c"});
    RemoveTags(ArtList{fPath}, {"a", "c", "zzz"}, false);
    EXPECT_EQ(ReadTags(fPath), (TagSet{"b"}));
}

class SeriesTagTest : public TagsTest {
protected:
    SeriesTagTest() {
        fFirst = fHost.Add(fLayer, "first");
        fSecond = fHost.Add(fLayer, "second");
        fThird = fHost.Add(fLayer, "third");
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
    ArtObject* gone = fHost.Add(fLayer, "gone");
    sAIArt->DisposeArt(gone);
    const std::map<ArtObject*, int> numbers = ArtOrderNumbers({fThird, gone, fFirst});
    EXPECT_EQ(numbers, (std::map<ArtObject*, int>{{fFirst, 0}, {fThird, 1}}));
}

class OutlineArtTest : public TagsTest {};

TEST_F(OutlineArtTest, GroupKeepsOutlinesThatCarryTheFramesTags) {
    ArtObject* group = fHost.Add(fLayer, "group", kGroupArt);
    ArtObject* one = fHost.Add(group, "one", kTextFrameArt);
    ArtObject* two = fHost.Add(group, "two", kTextFrameArt);
    WriteTags(one, {"first"});
    WriteTags(two, {"second"});
    EXPECT_EQ(OutlineArt(group), group);
    EXPECT_FALSE(fHost.IsLive(one));
    EXPECT_FALSE(fHost.IsLive(two));
    EXPECT_EQ(fHost.ChildNames(group), (std::vector<std::string>{"one outline", "two outline"}));
    EXPECT_EQ(ReadTags(fHost.Find("one outline")), (TagSet{"first"}));
    EXPECT_EQ(ReadTags(fHost.Find("two outline")), (TagSet{"second"}));
}

TEST_F(OutlineArtTest, TextFrameGivesItsOutline) {
    ArtObject* frame = fHost.Add(fLayer, "frame", kTextFrameArt);
    WriteTags(frame, {"title"});
    ArtObject* outline = OutlineArt(frame);
    ASSERT_NE(outline, nullptr);
    EXPECT_EQ(fHost.NameOf(outline), "frame outline");
    EXPECT_FALSE(fHost.IsLive(frame));
    EXPECT_EQ(ReadTags(outline), (TagSet{"title"}));
}

TEST_F(OutlineArtTest, FailedOutlineGivesNullAndKeepsTheFrame) {
    ArtObject* frame = fHost.Add(fLayer, "frame", kTextFrameArt);
    WriteTags(frame, {"title"});
    fHost.Fail("CreateOutline");
    EXPECT_EQ(OutlineArt(frame), nullptr);
    EXPECT_TRUE(fHost.IsLive(frame));
    EXPECT_EQ(ReadTags(frame), (TagSet{"title"}));
}

TEST_F(OutlineArtTest, ArtWithoutTextComesBackUnchanged) {
    EXPECT_EQ(OutlineArt(fPath), fPath);
    EXPECT_EQ(OutlineArt(nullptr), nullptr);
}

}  // namespace
