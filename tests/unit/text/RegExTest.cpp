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
    // A pattern used again runs as machine code: the same matches, groups and refusals.
    Matches again;
    ASSERT_EQ(ReplaceUnicodeMultipleRegEx(c.text, c.pattern, c.flags, c.format, again), ok);
    EXPECT_EQ(again, found);
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
        // With "i" the word characters also take U+017F and U+212A, whose case folding is an ASCII
        // letter: in \w, \W, \b, \B, and inside classes.
        PatternCase{"wordFoldsCaseWithI", U"\\w", "i", U"\u017fK\u212a", U"X",
                    Matches{{0, 1, U"X"}, {1, 1, U"X"}, {2, 1, U"X"}}},
        PatternCase{"wordWithoutIIsAscii", U"\\w", "n", U"\u017fK\u212a", U"X", Matches{{1, 1, U"X"}}},
        PatternCase{"notWordWithI", U"\\W", "i", U"\u017fK\u212aSsk!", kNone, Matches{{6, 1, kNone}}},
        PatternCase{"notWordWithoutI", U"\\W", "n", U"\u017fK\u212a", kNone,
                    Matches{{0, 1, kNone}, {2, 1, kNone}}},
        PatternCase{"wordInAClassWithI", U"[\\w!]+", "i", U"\u017f\u212a!.", kNone, Matches{{0, 3, kNone}}},
        PatternCase{"negatedWordClassWithI", U"[^\\w]", "i", U"\u017fK\u212a!", kNone,
                    Matches{{3, 1, kNone}}},
        PatternCase{"notWordInAClassWithI", U"[\\W]", "i", U"\u017fK\u212aSs!", kNone,
                    Matches{{5, 1, kNone}}},
        PatternCase{"negatedNotWordClassWithI", U"[^\\W]+", "i", U"\u017fK\u212aSs!", kNone,
                    Matches{{0, 5, kNone}}},
        PatternCase{"boundaryWithI", U"\\b.", "i", U"\u017f \u212a !", kNone,
                    Matches{{0, 1, kNone}, {1, 1, kNone}, {2, 1, kNone}, {3, 1, kNone}}},
        PatternCase{"nonBoundaryWithI", U"\\B.", "i", U"\u017f \u212a !", kNone, Matches{{4, 1, kNone}}},
        PatternCase{"boundaryWithoutI", U"\\b.", "n", U"\u017f \u212a a!", kNone,
                    Matches{{4, 1, kNone}, {5, 1, kNone}}},
        PatternCase{"nonBoundaryWithoutI", U"\\B.", "n", U"\u017f \u212a a!", kNone,
                    Matches{{0, 1, kNone}, {1, 1, kNone}, {2, 1, kNone}, {3, 1, kNone}}},
        PatternCase{"wordIntersectionWithI", U"[\\w&&\\p{L}]+", "iv", U"\u017f\u212a1", kNone,
                    Matches{{0, 2, kNone}}},
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
        // A repeated group empties its captures at each repetition: what is left is what the last
        // repetition (of every repeated group around) set, also for back-references.
        PatternCase{"captureOfAnEarlierRepetition", U"(?:(a)|b)+", "n", U"ab", U"[$1]",
                    Matches{{0, 2, U"[]"}}},
        PatternCase{"capturesOfNestedOptionalGroups", U"(z)((a+)?(b+)?(c))*", "n", U"zaacbbbcac", U"[$4]",
                    Matches{{0, 10, U"[]"}}},
        PatternCase{"onlyTheLastRepetitionsCapture", U"(?:(a)|(b))+", "n", U"aabb", U"[$1|$2]",
                    Matches{{0, 4, U"[|b]"}}},
        PatternCase{"fixedRepetition", U"(?:(a)|b){2}", "n", U"ab", U"[$1]", Matches{{0, 2, U"[]"}}},
        PatternCase{"nestedRepetitions", U"((?:(a)|b)+c)+", "n", U"acbc", U"[$1|$2]",
                    Matches{{0, 4, U"[bc|]"}}},
        PatternCase{"namedGroupOfAnEarlierRepetition", U"(?:(?<x>a)|b)+", "n", U"ab", U"[$<x>]",
                    Matches{{0, 2, U"[]"}}},
        PatternCase{"lookbehindCaptureInARepetition", U"(?:(?<=(a))b)+", "n", U"abab", U"[$1]",
                    Matches{{1, 1, U"[a]"}, {3, 1, U"[a]"}}},
        PatternCase{"referenceInsideTheRepetition", U"(?:(a)|b\\1)+", "n", U"abb", kNone,
                    Matches{{0, 3, kNone}}},
        PatternCase{"referenceInsideItsOwnGroup", U"(a\\1b){2}", "n", U"abab", U"[$1]",
                    Matches{{0, 4, U"[ab]"}}},
        PatternCase{"referenceAfterTheRepetition", U"(?:(a)|b)+\\1", "n", U"abb", kNone,
                    Matches{{0, 3, kNone}}},
        PatternCase{"namedReferenceAfterTheRepetition", U"(?:(?<x>a)|b)+\\k<x>", "n", U"abb", kNone,
                    Matches{{0, 3, kNone}}},
        // A repetition that matches the empty string is refused once the minimum is reached.
        PatternCase{"emptyRepetitionKeepsTheLastCapture", U"(a?)*", "n", U"aab", U"[$1]",
                    Matches{{0, 2, U"[a]"}}},
        PatternCase{"emptyRepetitionBeforeAnAtom", U"(a*)*b", "n", U"aab", U"[$1]", Matches{{0, 3, U"[aa]"}}},
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
        PatternCase{"emptyFlags", U"a", "", U"a", kNone, std::nullopt},
        // Not written in PCRE2: a group that must repeat and can match the empty string.
        PatternCase{"nullableGroupRepeatedAtLeastOnce", U"(a*)+b", "n", U"aab", kNone, std::nullopt}),
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

// A search that gives up at one of the engine's limits changes nothing, and every live watch notes
// which limit it was; an ordinary miss notes nothing.
struct LimitCase {
    const char* name;
    std::u32string pattern;
    std::u32string repeated;  // the text: this, count times
    std::size_t count;
    RegExLimit expected;
};

void PrintTo(const LimitCase& c, std::ostream* out) {
    *out << c.name;
}

class RegExLimits : public testing::TestWithParam<LimitCase> {};

TEST_P(RegExLimits, AreNotedByTheWatches) {
    const LimitCase& c = GetParam();
    std::u32string text;
    for (std::size_t i = 0; i < c.count; ++i) {
        text += c.repeated;
    }
    const RegExLimitWatch outer;
    RegExLimit inner = RegExLimit::none;
    Matches found;
    bool replaced = false;
    {
        const RegExLimitWatch watch;
        replaced = ReplaceUnicodeMultipleRegEx(text, c.pattern, "n", U"x", found);
        inner = watch.Hit();
    }
    EXPECT_EQ(replaced, c.expected == RegExLimit::none);
    EXPECT_EQ(inner, c.expected);
    EXPECT_EQ(outer.Hit(), c.expected);
    unsigned long position = 0;
    unsigned long length = 0;
    std::string error;
    const RegExLimitWatch search;
    SearchUnicodeRegEx(text, c.pattern, position, length, error);
    EXPECT_EQ(search.Hit(), c.expected);
    EXPECT_EQ(std::string(RegExLimitWarning(c.expected)).empty(), c.expected == RegExLimit::none);
}

std::u32string ManyOptionalGroups() {
    std::u32string pattern;
    for (int i = 0; i < 400; ++i) {
        pattern += U"(x)?";
    }
    return pattern + U"(?:a|b)*\\d";
}

INSTANTIATE_TEST_SUITE_P(Table, RegExLimits,
                         testing::Values(LimitCase{"match", U"(.*a){25}", U"a", 26, RegExLimit::match},
                                         LimitCase{"depth", U"(?:a|b)*\\d", U"a", 200'000, RegExLimit::depth},
                                         LimitCase{"heap", ManyOptionalGroups(), U"a", 90'000,
                                                   RegExLimit::heap},
                                         LimitCase{"noMatch", U"(.*a){2}b", U"a", 26, RegExLimit::none}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
