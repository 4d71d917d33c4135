// Tag texts: the normal form of tag names, own entry names and serial tags.
#include <gtest/gtest.h>

#include <utf8.h>

#include <string>

#include "StandIn.h"
#include "art/TagText.h"

namespace {

struct NormalCase {
    std::string text;
    std::string normal;
};

void PrintTo(const NormalCase& c, std::ostream* os) {
    *os << "'" << c.text << "' -> '" << c.normal << "'";
}

class NormalizeTagNameTest : public testing::TestWithParam<NormalCase> {
protected:
    unittest::StandIn fHost;
};

INSTANTIATE_TEST_SUITE_P(
    Texts, NormalizeTagNameTest,
    testing::Values(NormalCase{"", ""}, NormalCase{"red", "red"}, NormalCase{"Red Circle", "red_circle"},
                    NormalCase{"a, b", "a_b"}, NormalCase{"a:(b)", "a_b_"}, NormalCase{"a__b", "a__b"},
                    NormalCase{"_ x", "_x"}, NormalCase{"a::b", "a_b"}, NormalCase{" lead", "_lead"},
                    NormalCase{"trail ", "trail_"}, NormalCase{"x{y}z", "x_y_z"},
                    NormalCase{"a+b*c", "a_b_c"}, NormalCase{"a|b&c~d<e>f!g^h$i", "a_b_c_d_e_f_g_h_i"},
                    NormalCase{"(((", "_"}, NormalCase{"item-3.5", "item-3.5"}, NormalCase{"ITEM", "item"},
                    // Lower-cased by the host's string, character by character.
                    NormalCase{"\xc3\x84"
                               "BC",
                               "\xc3\xa4"
                               "bc"},
                    NormalCase{"\xe6\x97\xa5\xe6\x9c\xac \xe8\xaa\x9e",
                               "\xe6\x97\xa5\xe6\x9c\xac_\xe8\xaa\x9e"},
                    // The host's text entries end at U+0000, so it cannot be part of a tag.
                    NormalCase{std::string("a\0b", 3), "a_b"},
                    // Broken UTF-8 comes out valid.
                    NormalCase{"a\xff"
                               "b",
                               "a\xef\xbf\xbd"
                               "b"},
                    NormalCase{"\xc3", "\xef\xbf\xbd"}));

TEST_P(NormalizeTagNameTest, GivesTheNormalForm) {
    EXPECT_EQ(NormalizeTagName(GetParam().text), GetParam().normal);
}

TEST_P(NormalizeTagNameTest, NormalFormIsStable) {
    const std::string normal = NormalizeTagName(GetParam().text);
    EXPECT_EQ(NormalizeTagName(normal), normal);
}

TEST_P(NormalizeTagNameTest, ResultIsValidUtf8) {
    const std::string normal = NormalizeTagName(GetParam().text);
    EXPECT_TRUE(utf8::is_valid(normal.begin(), normal.end()));
}

TEST(NormalizeTagNameFallbackTest, LowerCasesAsciiWithoutTheHostString) {
    // No Unicode string suite held: the text still comes back whole.
    EXPECT_EQ(NormalizeTagName(std::string("Red Circle")), "red_circle");
    EXPECT_EQ(NormalizeTagName(std::string("\xc3\x84"
                                           "BC")),
              "\xc3\x84"
              "bc");
}

TEST(NormalizeTagNameTest32, WorksOnUtf32) {
    unittest::StandIn host;
    EXPECT_EQ(NormalizeTagName(std::u32string_view(U"A, B")), U"a_b");
}

struct OwnTagCase {
    std::string name;
    bool own;
};

class OwnTagTest : public testing::TestWithParam<OwnTagCase> {};

INSTANTIATE_TEST_SUITE_P(
    Names, OwnTagTest,
    testing::Values(OwnTagCase{"_p_tag_ca659850", true}, OwnTagCase{"_p_tag_CA659850", true},
                    OwnTagCase{"_p_tag_00000000", true}, OwnTagCase{"_p_tag_ca65985", false},
                    OwnTagCase{"_p_tag_ca659850x", false}, OwnTagCase{"_p_tag_ca65985g", false},
                    OwnTagCase{"_P_TAG_ca659850", false}, OwnTagCase{"xp_tag_ca659850", false},
                    OwnTagCase{"", false}, OwnTagCase{"_p_tag_", false},
                    OwnTagCase{"_p_tag_ -659850", false}));

TEST_P(OwnTagTest, RecognisesOwnEntries) {
    EXPECT_EQ(OwnTag(GetParam().name), GetParam().own);
}

struct SerialCase {
    std::string text;
    std::int64_t number;
    std::string serial;
};

class SerialTagTest : public testing::TestWithParam<SerialCase> {};

INSTANTIATE_TEST_SUITE_P(Series, SerialTagTest,
                         testing::Values(SerialCase{"part", 3, "part3"}, SerialCase{"part", -2, "part-2"},
                                         SerialCase{"", 0, "0"}, SerialCase{"Item ", 3, "Item 3"},
                                         SerialCase{"n", 2147483648LL, "n2147483648"}));

TEST_P(SerialTagTest, AppendsTheNumber) {
    EXPECT_EQ(SerialTag(GetParam().text, GetParam().number), GetParam().serial);
}

struct SplitCase {
    std::u32string text;
    std::u32string delimiters;
    std::vector<std::u32string> pieces;
};

class SplitTest : public testing::TestWithParam<SplitCase> {};

INSTANTIATE_TEST_SUITE_P(Pieces, SplitTest,
                         testing::Values(SplitCase{U"Logo, Big Blue", U",", {U"Logo", U" Big Blue"}},
                                         SplitCase{U",,a,,b,", U",", {U"a", U"b"}}, SplitCase{U"", U",", {}},
                                         SplitCase{U"a b", U"", {U"a b"}},
                                         SplitCase{U"a;b c", U"; ", {U"a", U"b", U"c"}}));

TEST_P(SplitTest, DropsEmptyPieces) {
    EXPECT_EQ(Tokenize(GetParam().text, GetParam().delimiters), GetParam().pieces);
}

TEST(ProcessSpacesInArtNameTest, JoinsWordsWithHyphens) {
    EXPECT_EQ(ProcessSpacesInArtName(U"Red  Circle "), U"Red-Circle");
    EXPECT_EQ(ProcessSpacesInArtName(U" Big Blue"), U"Big-Blue");
    EXPECT_EQ(ProcessSpacesInArtName(U"   "), U"");
    EXPECT_EQ(ProcessSpacesInArtName(U"one"), U"one");
}

TEST(Utf8ConversionTest, InvalidCodePointsBecomeReplacementCharacters) {
    const std::u32string text{U'a', char32_t{0xD800}, char32_t{0x110000}, U'b'};
    EXPECT_EQ(ToUtf8(text),
              "a\xef\xbf\xbd\xef\xbf\xbd"
              "b");
}

TEST(Utf8ConversionTest, RoundTripsValidText) {
    const std::string text = "x\xc3\xa4\xe6\x97\xa5\xf0\x9f\x98\x80";
    EXPECT_EQ(ToUtf8(ToUtf32(text)), text);
    EXPECT_EQ(ToUtf32(text).size(), 4u);
}

}  // namespace
