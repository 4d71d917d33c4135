// The host's text conversions: decoding never refuses input, encoding follows each encoding's rule,
// lower-casing works per code point.
#include <gtest/gtest.h>

#include "textengine/Text.h"

namespace {

using namespace host::text;

struct DecodeCase {
    const char* label;
    std::string bytes;
    std::u16string expected;
};

class DecodeUTF8 : public testing::TestWithParam<DecodeCase> {};

TEST_P(DecodeUTF8, GivesTheCodePointsOrOneReplacementPerBrokenSequence) {
    EXPECT_EQ(host::text::DecodeUTF8(GetParam().bytes), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DecodeUTF8,
    testing::Values(DecodeCase{"empty", "", u""}, DecodeCase{"ascii", "abc", u"abc"},
                    DecodeCase{"two_bytes", "\xC3\xA9", u"\u00E9"},
                    DecodeCase{"three_bytes", "\xE2\x82\xAC", u"\u20AC"},
                    DecodeCase{"four_bytes", "\xF0\x9F\x98\x80", u"\U0001F600"},
                    DecodeCase{"highest_code_point", "\xF4\x8F\xBF\xBF", u"\U0010FFFF"},
                    DecodeCase{"embedded_nul", std::string("a\0b", 3), std::u16string(u"a\0b", 3)},
                    DecodeCase{"stray_continuation", "a\x80z", u"a\uFFFDz"},
                    DecodeCase{"overlong_two_bytes", "\xC0\x80", u"\uFFFD\uFFFD"},
                    DecodeCase{"overlong_three_bytes", "\xE0\x80\x80", u"\uFFFD\uFFFD\uFFFD"},
                    DecodeCase{"encoded_surrogate", "\xED\xA0\x80", u"\uFFFD\uFFFD\uFFFD"},
                    DecodeCase{"above_unicode", "\xF4\x90\x80\x80", u"\uFFFD\uFFFD\uFFFD\uFFFD"},
                    DecodeCase{"cut_at_end", "ab\xE2\x82", u"ab\uFFFD"},
                    DecodeCase{"cut_before_ascii", "\xE2\x82z", u"\uFFFDz"},
                    DecodeCase{"cut_before_lead_byte", "\xE2\xC3\xA9", u"\uFFFD\u00E9"},
                    DecodeCase{"never_valid_bytes", "\xFE\xFF", u"\uFFFD\uFFFD"},
                    DecodeCase{"lone_lead_byte", "\xF0", u"\uFFFD"}),
    [](const auto& info) { return std::string(info.param.label); });

TEST(EncodeUTF8, TurnsLoneSurrogatesIntoReplacementCharacters) {
    EXPECT_EQ(EncodeUTF8(u"a\xD800z"), "a\xEF\xBF\xBDz");
    EXPECT_EQ(EncodeUTF8(u"\xDC00"), "\xEF\xBF\xBD");
    EXPECT_EQ(EncodeUTF8(u"\U0001F600"), "\xF0\x9F\x98\x80");
}

TEST(EncodeUTF8, RoundTripsEveryValidText) {
    const std::string text =
        "Gr\xC3\xBC\xC3\x9F"
        "e \xE2\x82\xAC \xF0\x9F\x98\x80 \xE4\xB8\xAD";
    EXPECT_EQ(EncodeUTF8(host::text::DecodeUTF8(text)), text);
}

TEST(Roman, IsOneBytePerCodePointWithQuestionMarksAboveLatin1) {
    EXPECT_EQ(EncodeRoman(u"caf\u00E9"), "caf\xE9");
    EXPECT_EQ(EncodeRoman(u"\u20AC1"), "?1");
    EXPECT_EQ(EncodeRoman(u"\U0001F600!"), "?!");  // one code point, one '?'
    EXPECT_EQ(DecodeRoman("caf\xE9"), u"caf\u00E9");
}

TEST(UTF16Bytes, KeepTheUnitsAndReplaceAnOddLastByte) {
    const std::u16string units = u"a\U0001F600";
    const std::string bytes = EncodeUTF16Bytes(units);
    EXPECT_EQ(bytes.size(), 6u);
    EXPECT_EQ(DecodeUTF16Bytes(bytes), units);
    EXPECT_EQ(DecodeUTF16Bytes(bytes + "x"), units + u"\uFFFD");
}

struct LowerCase {
    char32_t upper;
    char32_t lower;
};

class LowerCaseMapping : public testing::TestWithParam<LowerCase> {};

TEST_P(LowerCaseMapping, MapsTheCodePoint) {
    EXPECT_EQ(host::text::LowerCase(GetParam().upper), GetParam().lower)
        << std::hex << static_cast<unsigned>(GetParam().upper);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, LowerCaseMapping,
    testing::Values(LowerCase{U'A', U'a'}, LowerCase{U'Z', U'z'}, LowerCase{U'a', U'a'},
                    LowerCase{U'0', U'0'}, LowerCase{U'@', U'@'}, LowerCase{U'[', U'['},
                    LowerCase{0xC9, 0xE9}, LowerCase{0xD7, 0xD7}, LowerCase{0xDF, 0xDF},
                    LowerCase{0x100, 0x101}, LowerCase{0x101, 0x101}, LowerCase{0x130, U'i'},
                    LowerCase{0x178, 0xFF}, LowerCase{0x17D, 0x17E}, LowerCase{0x391, 0x3B1},
                    LowerCase{0x3A3, 0x3C3}, LowerCase{0x386, 0x3AC}, LowerCase{0x401, 0x451},
                    LowerCase{0x416, 0x436}, LowerCase{0x531, 0x561}, LowerCase{0x1E9E, 0xDF},
                    LowerCase{0x2160, 0x2170}, LowerCase{0xFF21, 0xFF41}, LowerCase{0x10400, 0x10428},
                    LowerCase{0x1E900, 0x1E922}, LowerCase{0x4E2D, 0x4E2D}, LowerCase{0x181, 0x253},
                    LowerCase{0x13A0, 0xAB70}, LowerCase{0x1C90, 0x10D0}, LowerCase{0x2C00, 0x2C30},
                    LowerCase{0x10570, 0x10597}, LowerCase{0x16E40, 0x16E60}, LowerCase{0x212A, U'k'},
                    LowerCase{0xD800, 0xD800}, LowerCase{0x110000, 0x110000}));

// The mappings are those of a known Unicode version: Unicode 15.0 (ICU 72) or later.
TEST(LowerCaseMapping, FollowsAKnownUnicodeVersion) {
    const std::string version = host::text::CaseMappingUnicodeVersion();
    EXPECT_GE(std::stod(version), 15.0) << version;
}

TEST(ToLower, HandlesSurrogatePairsAsOneCodePoint) {
    // U+10400 DESERET CAPITAL LONG I lower-cases to U+10428, both written as surrogate pairs.
    EXPECT_EQ(host::text::ToLower(u"A\U00010400B"), u"a\U00010428b");
}

TEST(ToLower, LeavesLoneSurrogatesAlone) {
    EXPECT_EQ(host::text::ToLower(u"\xD801Q\xDC00"), u"\xD801q\xDC00");
}

}  // namespace
