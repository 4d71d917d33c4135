// Regular expressions with ECMAScript patterns and replacement strings.
#include <gtest/gtest.h>

#include <optional>

#include "text/RegEx.h"

namespace {

using Matches = std::vector<ReplacementString>;

struct PatternCase {
    const char* name;
    std::u32string pattern;
    std::string flags;
    std::u32string text;
    std::u32string format;
    std::optional<Matches> expected;  // none: the pattern is refused
};

void PrintTo(const PatternCase& c, std::ostream* out) {
    *out << c.name;
}

class EcmaPatterns : public testing::TestWithParam<PatternCase> {};

TEST_P(EcmaPatterns, MatchAndExpandAsECMAScriptDoes) {
    const PatternCase& c = GetParam();
    Matches found;
    const bool ok = ReplaceUnicodeMultipleRegEx(c.text, c.pattern, c.flags, c.format, found);
    ASSERT_EQ(ok, c.expected.has_value());
    if (ok) {
        EXPECT_EQ(found, *c.expected);
    }
}

const std::u32string kNone;

INSTANTIATE_TEST_SUITE_P(
    Table, EcmaPatterns,
    testing::Values(
        // "." and the line terminators; "s".
        PatternCase{"dotExcludesLineTerminators", U"a.b", "n", U"a\rb a\nb a\u2028b a\u2029b axb", U"X",
                    Matches{{16, 3, U"X"}}},
        PatternCase{"dotAllWithS", U"a.b", "s", U"a\rb", U"X", Matches{{0, 3, U"X"}}},
        // ^ and $ with and without "m".
        PatternCase{"caretOnlyAtTheStart", U"^b", "n", U"a\nb", kNone, Matches{}},
        PatternCase{"caretAfterEachTerminatorWithM", U"^b", "m", U"a\rb\u2028b", kNone,
                    Matches{{2, 1, kNone}, {4, 1, kNone}}},
        PatternCase{"caretBetweenCarriageReturnAndLineFeed", U"^\\n", "m", U"\r\n", U"-",
                    Matches{{1, 1, U"-"}}},
        PatternCase{"dollarOnlyAtTheVeryEnd", U"a$", "n", U"a\n", kNone, Matches{}},
        PatternCase{"dollarBeforeEachTerminatorWithM", U"a$", "m", U"a\u2029a", kNone,
                    Matches{{0, 1, kNone}, {2, 1, kNone}}},
        // Character sets: \s is ECMAScript's, \d, \w and \b stay ASCII.
        PatternCase{"spaceSet", U"\\s", "n", U"a\u00a0b\u0085c\ufeff", U"_",
                    Matches{{1, 1, U"_"}, {5, 1, U"_"}}},
        PatternCase{"notSpaceInAClass", U"[\\S]+", "n", U" ab\u3000c", kNone,
                    Matches{{1, 2, kNone}, {4, 1, kNone}}},
        PatternCase{"asciiDigits", U"\\d+", "n", U"12\u0663", kNone, Matches{{0, 2, kNone}}},
        PatternCase{"asciiWordBoundary", U"\\b\\w+\\b", "n", U"\u00e9 ab", kNone, Matches{{2, 2, kNone}}},
        // Flags: "i"; unknown letters and "n" match case-sensitively.
        PatternCase{"ignoreCase", U"abc", "i", U"xABC", kNone, Matches{{1, 3, kNone}}},
        PatternCase{"unknownFlagIsCaseSensitive", U"abc", "x", U"ABC abc", kNone, Matches{{4, 3, kNone}}},
        // The walk: empty matches are left out; after one, the same place is tried non-empty.
        PatternCase{"emptyMatchesLeftOut", U"a*", "n", U"bab", U"X", Matches{{1, 1, U"X"}}},
        PatternCase{"nonEmptyRetryAfterAnEmptyMatch", U"|b", "n", U"ab", U"X", Matches{{1, 1, U"X"}}},
        PatternCase{"noOverlap", U"aa", "n", U"aaaaa", U"X", Matches{{0, 2, U"X"}, {2, 2, U"X"}}},
        // Substitutions.
        PatternCase{"group", U"(b)", "n", U"abc", U"[$1]", Matches{{1, 1, U"[b]"}}},
        PatternCase{"dollarForms", U"b", "n", U"abc", U"$$-$&-$`-$'-$", Matches{{1, 1, U"$-b-a-c-$"}}},
        PatternCase{"twoDigitsFallBackToOne", U"(a)", "n", U"a", U"$10|$0|$2|$01",
                    Matches{{0, 1, U"a0|$0|$2|a"}}},
        PatternCase{"namedGroup", U"(?<x>b)", "n", U"b", U"<$<x>$<y>>", Matches{{0, 1, U"<b>"}}},
        PatternCase{"nameWithoutNamedGroups", U"(b)", "n", U"b", U"$<x>", Matches{{0, 1, U"$<x>"}}},
        PatternCase{"unsetGroupIsEmpty", U"(a)|(b)", "n", U"b", U"[$1$2]", Matches{{0, 1, U"[b]"}}},
        // Back-references, lookbehind.
        PatternCase{"backReference", U"(a)\\1", "n", U"aaa", kNone, Matches{{0, 2, kNone}}},
        PatternCase{"forwardReferenceMatchesEmpty", U"\\1(a)", "n", U"a", kNone, Matches{{0, 1, kNone}}},
        PatternCase{"lookbehind", U"(?<=a)b", "n", U"ab cb", kNone, Matches{{1, 1, kNone}}},
        // Code points and properties.
        PatternCase{"surrogatePairEscape", U"\\uD83D\\uDE00", "n", U"x\U0001F600", kNone,
                    Matches{{1, 1, kNone}}},
        PatternCase{"bracedCodePoint", U"\\u{1F600}", "n", U"\U0001F600", kNone, Matches{{0, 1, kNone}}},
        PatternCase{"longCategoryName", U"\\p{Letter}+", "n", U"ab1\u00e9", kNone,
                    Matches{{0, 2, kNone}, {3, 1, kNone}}},
        PatternCase{"generalCategoryValue", U"\\p{General_Category=Decimal_Number}", "n", U"a5", kNone,
                    Matches{{1, 1, kNone}}},
        PatternCase{"script", U"\\p{Script=Greek}+", "n", U"a\u03b1\u03b2", kNone, Matches{{1, 2, kNone}}},
        PatternCase{"notAscii", U"\\P{ASCII}", "n", U"a\u00e9", kNone, Matches{{1, 1, kNone}}},
        // Unicode sets ("v").
        PatternCase{"intersection", U"[\\w&&\\d]+", "v", U"ab12", kNone, Matches{{2, 2, kNone}}},
        PatternCase{"subtraction", U"[\\w--\\d]+", "v", U"ab12", kNone, Matches{{0, 2, kNone}}},
        PatternCase{"strings", U"[\\q{abc|d}x]", "v", U"abcxd", kNone,
                    Matches{{0, 3, kNone}, {3, 1, kNone}, {4, 1, kNone}}},
        PatternCase{"nestedClasses", U"[[a-c][x]]+", "v", U"abxz", kNone, Matches{{0, 3, kNone}}},
        PatternCase{"negatedNested", U"[^[a-c]]+", "v", U"abxz", kNone, Matches{{2, 2, kNone}}},
        // Refused: what ECMAScript refuses in Unicode mode, PCRE2's extensions among it.
        PatternCase{"possessive", U"a*+", "n", U"a", kNone, std::nullopt},
        PatternCase{"inlineOption", U"(?i)a", "n", U"a", kNone, std::nullopt},
        PatternCase{"quoting", U"\\Qa\\E", "n", U"a", kNone, std::nullopt},
        PatternCase{"verb", U"(*UTF)a", "n", U"a", kNone, std::nullopt},
        PatternCase{"atomicGroup", U"(?>a)", "n", U"a", kNone, std::nullopt},
        PatternCase{"letterIdentityEscape", U"\\e", "n", U"e", kNone, std::nullopt},
        PatternCase{"loneBrace", U"a{,3}", "n", U"a", kNone, std::nullopt},
        PatternCase{"loneBracket", U"]", "n", U"]", kNone, std::nullopt},
        PatternCase{"unbalanced", U"(", "n", U"(", kNone, std::nullopt},
        PatternCase{"referenceBeyondTheGroups", U"\\2(a)", "n", U"a", kNone, std::nullopt},
        PatternCase{"reversedRange", U"[z-a]", "n", U"a", kNone, std::nullopt},
        PatternCase{"rangeOfASet", U"[a-\\d]", "n", U"a", kNone, std::nullopt},
        PatternCase{"quantifiedAssertion", U"(?=a)*", "n", U"a", kNone, std::nullopt},
        PatternCase{"scriptWithoutItsName", U"\\p{Greek}", "n", U"a", kNone, std::nullopt},
        PatternCase{"loneSurrogate", U"\\uD800", "n", U"a", kNone, std::nullopt},
        PatternCase{"tripleAmpersand", U"[a&&&b]", "v", U"a", kNone, std::nullopt},
        PatternCase{"unescapedParenthesisInASet", U"[(]", "v", U"(", kNone, std::nullopt},
        PatternCase{"mixedOperators", U"[a-z&&b]", "v", U"b", kNone, std::nullopt},
        PatternCase{"emptyFlags", U"a", "", U"a", kNone, std::nullopt}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(RegEx, ReplaceExpandsTheFirstMatchOnlyWithoutTheTextAround) {
    std::u32string result = U"untouched";
    EXPECT_TRUE(ReplaceUnicodeRegEx(U"abcb", U"(b)", "n", U"[$1]", result));
    EXPECT_EQ(result, U"[b]");
    result = U"untouched";
    EXPECT_FALSE(ReplaceUnicodeRegEx(U"abc", U"x", "n", U"y", result));
    EXPECT_FALSE(ReplaceUnicodeRegEx(U"abc", U"b", "", U"y", result));
    EXPECT_EQ(result, U"untouched");
}

TEST(RegEx, SearchUsesNoFlagsAndNamesOnlyAMissingMatch) {
    unsigned long position = 9;
    unsigned long length = 9;
    std::string error;
    EXPECT_TRUE(SearchUnicodeRegEx(U"x{{a}}", U"\\{\\{.*?\\}\\}", position, length, error));
    EXPECT_EQ(position, 1u);
    EXPECT_EQ(length, 5u);
    EXPECT_FALSE(SearchUnicodeRegEx(U"a\rb", U"a.b", position, length, error));
    EXPECT_EQ(error, "Search error");
    error.clear();
    EXPECT_FALSE(SearchUnicodeRegEx(U"a", U"(", position, length, error));
    EXPECT_EQ(error, "");
}

TEST(RegEx, ALimitHitIsAFailedSearch) {
    // Catastrophic backtracking stops at the match limit instead of running for ages.
    const std::u32string text(40, U'a');
    Matches found;
    EXPECT_FALSE(ReplaceUnicodeMultipleRegEx(text + U"!", U"^(a+)+$", "n", U"", found));
    EXPECT_TRUE(found.empty());
}

}  // namespace
