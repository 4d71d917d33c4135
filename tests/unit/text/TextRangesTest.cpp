// The text-range helpers over the stand-in's stories: code points against UTF-16 units (surrogate
// pairs), paragraph ends, story identity through threads, and art that is not text.
#include <gtest/gtest.h>

#include "StandIn.h"
#include "art/ArtTree.h"
#include "art/TagText.h"
#include "text/FindText.h"
#include "text/TextRanges.h"

namespace {

struct LengthCase {
    std::u32string text;
    unsigned long position;
    bool ok;
    unsigned long units;  // 99 when unchanged
};

class U16LengthTest : public testing::TestWithParam<LengthCase> {};

TEST_P(U16LengthTest, CountsUnitsBeforeThePosition) {
    const LengthCase& c = GetParam();
    unsigned long units = 99;
    EXPECT_EQ(U16Length(c.text, c.position, units), c.ok);
    EXPECT_EQ(units, c.units);
}

INSTANTIATE_TEST_SUITE_P(Texts, U16LengthTest,
                         testing::Values(LengthCase{U"", 0, true, 0}, LengthCase{U"", 1, false, 99},
                                         LengthCase{U"ab\r", 3, true, 3}, LengthCase{U"ab\r", 4, false, 99},
                                         LengthCase{U"a\U0001F600b", 1, true, 1},
                                         LengthCase{U"a\U0001F600b", 2, true, 3},
                                         LengthCase{U"\U0001F600\U0001F600", 2, true, 4},
                                         LengthCase{U"\uFFFF\U00010000", 2, true, 3}));

// Frames "A" and "B" threaded (A first) and a path "P".
constexpr const char* kDocument = R"({"format": "plimhost-document", "version": 1, "layers": [
  {"type": "layer", "title": "L", "children": [
    {"type": "textFrame", "name": "A", "kind": "area", "uuid": "00000000-0000-4000-8000-00000000000a",
     "frame": [0, 20, 200, 0], "text": "one \ud83d\ude00 two\rthree",
     "thread": ["00000000-0000-4000-8000-00000000000b"]},
    {"type": "textFrame", "name": "B", "kind": "area", "uuid": "00000000-0000-4000-8000-00000000000b",
     "frame": [0, 30, 200, 0], "threadHead": "00000000-0000-4000-8000-00000000000a"},
    {"type": "path", "name": "P", "segments": [{"anchor": [0, 0]}, {"anchor": [5, 5]}]}]}]})";

class TextRangesTest : public testing::Test {
protected:
    void SetUp() override { host.Load(kDocument); }
    unittest::StandIn host;
};

TEST_F(TextRangesTest, StoryOfEitherFrameIsTheWholeStoryWithTheFirstFramesIdentity) {
    for (const char* name : {"A", "B"}) {
        ATE::ITextRange story;
        int id = 0;
        ASSERT_TRUE(ArtToTextRange(host.Art(name), story, id)) << name;
        EXPECT_EQ(id, ArtCRC(host.Art("A"))) << name;
        std::u32string text;
        ASSERT_TRUE(TextRangeToUnicode(story, text));
        EXPECT_EQ(text, U"one \U0001F600 two\rthree") << name;
        EXPECT_EQ(story.GetSize(), static_cast<ASInt32>(U16Length(text)));
    }
}

TEST_F(TextRangesTest, WholeTexts) {
    EXPECT_EQ(U16Length(std::u32string(U"x\U0001F600\r")), 4u);
    EXPECT_EQ(U16Length(ai::UnicodeString::FromUTF8("x\xF0\x9F\x98\x80")), 3u);
}

TEST_F(TextRangesTest, SubRangeEndsAtAParagraphEnd) {
    ATE::ITextRange story;
    int id = 0;
    ASSERT_TRUE(ArtToTextRange(host.Art("A"), story, id));
    std::u32string text;
    ASSERT_TRUE(TextRangeToUnicode(story, text));
    unsigned long start = 0;
    unsigned long end = 0;
    ASSERT_TRUE(U16Length(text, text.find(U'\U0001F600'), start));
    ASSERT_TRUE(U16Length(text, text.find(U'\r') + 1, end));
    ATE::ITextRange part = story.Clone();
    part.SetRange(static_cast<ASInt32>(start), static_cast<ASInt32>(end));
    std::u32string partText;
    ASSERT_TRUE(TextRangeToUnicode(part, partText));
    EXPECT_EQ(partText, U"\U0001F600 two\r");
}

TEST_F(TextRangesTest, FoundRangeCoversExactlyTheTextAfterAPair) {
    for (const char* search : {"two\r", "\xF0\x9F\x98\x80 t", "three"}) {
        ATE::ITextRange found;
        ASSERT_TRUE(FindTextRange("", search, found)) << search;
        std::u32string text;
        ASSERT_TRUE(TextRangeToUnicode(found, text));
        EXPECT_EQ(text, ToUtf32(search));
    }
    ATE::ITextRange found;
    EXPECT_FALSE(FindTextRange("", "", found));
    EXPECT_FALSE(FindTextRange("", "four", found));
    EXPECT_FALSE(FindTextRange("nosuchtag", "two", found));
    EXPECT_TRUE(found.IsNull());
}

TEST_F(TextRangesTest, OtherArtAndFailingHostLeaveTheOutputs) {
    ATE::ITextRange story;
    int id = 7;
    EXPECT_FALSE(ArtToTextRange(host.Art("P"), story, id));
    EXPECT_FALSE(FrameArtToTextRange(host.Art("P"), story));
    EXPECT_FALSE(ArtToTextRange(nullptr, story, id));
    host.Fail("AI Text Frame Suite", "GetATETextFrame");
    EXPECT_FALSE(ArtToTextRange(host.Art("A"), story, id));
    EXPECT_FALSE(FrameArtToTextRange(host.Art("A"), story));
    EXPECT_TRUE(story.IsNull());
    EXPECT_EQ(id, 7);
}

TEST_F(TextRangesTest, FrameRangeIsTheFramesOwnText) {
    // "A" holds one line: the first paragraph; the second flows on to "B".
    for (const auto& [name, expected] : {std::pair{"A", U"one \U0001F600 two\r"}, std::pair{"B", U"three"}}) {
        ATE::ITextRange range;
        ASSERT_TRUE(FrameArtToTextRange(host.Art(name), range)) << name;
        std::u32string text;
        ASSERT_TRUE(TextRangeToUnicode(range, text));
        EXPECT_EQ(text, expected) << name;
    }
}

// Units as a story holds them, each read as the host's UTF-8 reading of the same units reads them:
// pairs join, a lone surrogate (high or low, at either end or between others) becomes U+FFFD.
TEST_F(TextRangesTest, StoryUnitsReadAsTheHostsUnicodeStringReadsThem) {
    const std::pair<std::u16string, std::u32string> cases[] = {
        {u"", U""},
        {u"plain\r", U"plain\r"},
        {u"\u00e9\u4e2d\uffff", U"\u00e9\u4e2d\uffff"},
        {{u'a', 0xD83D, 0xDE00, u'b'}, U"a\U0001F600b"},
        {{0xD83D}, U"\uFFFD"},
        {{0xDE00, u'x'}, U"\uFFFDx"},
        {{u'x', 0xD83D, u'y'}, U"x\uFFFDy"},
        {{0xD83D, 0xD83D, 0xDE00}, U"\uFFFD\U0001F600"},
        {{0xDE00, 0xD83D}, U"\uFFFD\uFFFD"},
        {{0xDBFF, 0xDFFF, 0xD800, 0xDC00}, U"\U0010FFFF\U00010000"},
    };
    for (const auto& [units, expected] : cases) {
        const std::vector<ASUnicode> raw(units.begin(), units.end());
        EXPECT_EQ(Utf16ToUtf32(raw), expected);
        EXPECT_EQ(ToUtf32(ai::UnicodeString(units).as_UTF8()), expected);
        ATE::ITextRange story;
        ASSERT_TRUE(ArtToTextRange(host.Art("A"), story));
        story.Remove();
        if (!raw.empty()) {
            story.InsertAfter(raw.data(), static_cast<ASInt32>(raw.size()));
        }
        std::u32string text = U"unchanged";
        ASSERT_TRUE(TextRangeToUnicode(story, text));
        EXPECT_EQ(text, expected);
    }
}

}  // namespace
