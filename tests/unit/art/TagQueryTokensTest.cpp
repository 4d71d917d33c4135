// The tag-query tokenizer: splitting, canonical case, well-formed queries and the token table.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "StandIn.h"
#include "TestText.h"
#include "art/TagQueryTokens.h"

namespace {

struct TokenCase {
    std::string query;
    std::vector<std::string> tokens;
};

void PrintTo(const TokenCase& c, std::ostream* os) {
    *os << "'" << c.query << "'";
}

class TokenizeTest : public testing::TestWithParam<TokenCase> {};

INSTANTIATE_TEST_SUITE_P(
    Queries, TokenizeTest,
    testing::Values(TokenCase{"a,b", {"a", "b"}}, TokenCase{"a b", {"a", "b"}}, TokenCase{"", {}},
                    TokenCase{" , ,, ", {}},
                    TokenCase{"(red|blue)&:children(panel)",
                              {"(", "red", "|", "blue", ")", "&", ":children", "(", "panel", ")"}},
                    TokenCase{": parent(a)", {":parent", "(", "a", ")"}}, TokenCase{"!a", {"!", "a"}},
                    TokenCase{"a>b<c~d", {"a", ">", "b", "<", "c", "~", "d"}},
                    TokenCase{"^icon", {"^", "icon"}}, TokenCase{"$_small", {"$", "_small"}},
                    TokenCase{"tag-1.5", {"tag-1.5"}}, TokenCase{"Red", {"Red"}},
                    // A ':' without a name after it is dropped.
                    TokenCase{"a:", {"a"}}, TokenCase{":(a)", {"(", "a", ")"}}, TokenCase{"::a", {":a"}},
                    // The words of a position formula become one token.
                    TokenCase{":nthChild(item, 2n + 1)", {":nthChild", "(", "item", "2n+1", ")"}},
                    TokenCase{":nthOfType(cell,2)", {":nthOfType", "(", "cell", "2", ")"}},
                    TokenCase{":globalNthOfType(cell, -n + 3)",
                              {":globalNthOfType", "(", "cell", "-n+3", ")"}},
                    TokenCase{":nthChild(row 2n 1)", {":nthChild", "(", "row", "2n1", ")"}},
                    TokenCase{":nthChild(a)", {":nthChild", "(", "a", ")"}},
                    // Only the exact spelling starts a formula.
                    TokenCase{":NTHCHILD(a, 2n + 1)", {":NTHCHILD", "(", "a", "2n", "+", "1", ")"}},
                    TokenCase{":nthChild((a), 2)", {":nthChild", "(", "(", "a", ")", "2", ")"}},
                    TokenCase{"\xc3\x84pfel|b", {"\xc3\x84pfel", "|", "b"}}));

TEST_P(TokenizeTest, SplitsIntoTokens) {
    EXPECT_EQ(ToUtf8List(Tokenize(ToUtf32(GetParam().query))), GetParam().tokens);
}

class NormalizeTokenCapsTest : public testing::TestWithParam<TokenCase> {
protected:
    unittest::StandIn fHost;
};

INSTANTIATE_TEST_SUITE_P(Queries, NormalizeTokenCapsTest,
                         testing::Values(TokenCase{"A&B", {"a", "&", "b"}},
                                         TokenCase{":FIRSTCHILD(a)", {":firstChild", "(", "a", ")"}},
                                         TokenCase{":NthChild(Row)", {":nthChild", "(", "row", ")"}},
                                         TokenCase{":globalnthoftype(X)",
                                                   {":globalNthOfType", "(", "x", ")"}},
                                         TokenCase{":Unknown(a)", {":unknown", "(", "a", ")"}},
                                         TokenCase{"\xc3\x84pfel", {"\xc3\xa4pfel"}}));

TEST_P(NormalizeTokenCapsTest, GivesCanonicalCase) {
    EXPECT_EQ(ToUtf8List(NormalizeTokenCaps(Tokenize(ToUtf32(GetParam().query)))), GetParam().tokens);
}

struct CheckCase {
    std::string query;
    bool valid;
};

void PrintTo(const CheckCase& c, std::ostream* os) {
    *os << "'" << c.query << "' " << (c.valid ? "passes" : "fails");
}

class CheckTokensTest : public testing::TestWithParam<CheckCase> {};

INSTANTIATE_TEST_SUITE_P(
    WellFormed, CheckTokensTest,
    testing::Values(CheckCase{"a", true}, CheckCase{"a,b", true}, CheckCase{"a b", true},
                    CheckCase{"!a", true}, CheckCase{"c<(a|b)", true}, CheckCase{":parent(a)", true},
                    CheckCase{": parent(a)", true}, CheckCase{"(a)", true}, CheckCase{"((a))", true},
                    CheckCase{"", true}, CheckCase{" , ", true}, CheckCase{"a|b&c", true},
                    CheckCase{"a>b>c", true}, CheckCase{"^icon", true}, CheckCase{"$_small", true},
                    CheckCase{"!^a", true}, CheckCase{"!(a|b)", true}, CheckCase{"a&!b", true},
                    CheckCase{":nthChild(row, 2n+1)", true}, CheckCase{":children(:parent(a))", true},
                    CheckCase{"(red|blue)&:children(panel)", true}, CheckCase{":FIRSTCHILD(a)", true},
                    CheckCase{"a~:children(b)", true},
                    // Passes the check; evaluation finds the operand missing.
                    CheckCase{":nthChild(a)", true}));

INSTANTIATE_TEST_SUITE_P(
    IllFormed, CheckTokensTest,
    testing::Values(CheckCase{"a&&b", false}, CheckCase{"a!", false}, CheckCase{"^(a)", false},
                    CheckCase{"(a|b)>c", false}, CheckCase{":parent a", false}, CheckCase{")(", false},
                    CheckCase{"(a", false}, CheckCase{"a)", false}, CheckCase{"|a", false},
                    CheckCase{"a|", false}, CheckCase{"()", false}, CheckCase{"!", false},
                    CheckCase{"^", false}, CheckCase{">a", false}, CheckCase{":parent()", false},
                    CheckCase{"!!a", false}, CheckCase{"a(b)", false}, CheckCase{"(a)(b)", false},
                    CheckCase{"a>!b", false}, CheckCase{"^^a", false},
                    // Pseudo-classes the language does not have.
                    CheckCase{":foo(a)", false}, CheckCase{":FOO(a)", false}, CheckCase{"a|:nth(b)", false}));

TEST_P(CheckTokensTest, AcceptsOnlyWellFormedQueries) {
    std::vector<std::u32string> tokens;
    EXPECT_EQ(TokenizeTagQuery(GetParam().query, tokens), GetParam().valid);
}

struct ClassCase {
    std::u32string token;
    char32_t tokenClass;
    std::int64_t precedence;
};

class TokenTypeTest : public testing::TestWithParam<ClassCase> {};

INSTANTIATE_TEST_SUITE_P(Tokens, TokenTypeTest,
                         testing::Values(ClassCase{U"(", U'(', 0}, ClassCase{U")", U')', 0},
                                         ClassCase{U"|", U'|', 5}, ClassCase{U"&", U'&', 7},
                                         ClassCase{U"~", U'~', 8}, ClassCase{U">", U'>', 8},
                                         ClassCase{U"!", U'!', 9}, ClassCase{U"^", U'^', 10},
                                         ClassCase{U":nthChild", U':', 12}, ClassCase{U":leaves", U':', 12},
                                         ClassCase{U":nope", U':', 0}, ClassCase{U"red", U' ', 0},
                                         ClassCase{U"", U' ', 0}, ClassCase{U"((", U' ', 0}));

TEST_P(TokenTypeTest, ClassAndPrecedence) {
    const ppToken type = GetTokenType(GetParam().token);
    EXPECT_EQ(type.spelling.front(), GetParam().tokenClass);
    EXPECT_EQ(type.precedence, GetParam().precedence);
}

TEST(TokenTableTest, EveryOperatorCharacterIsForbiddenInTags) {
    for (const ppToken& token : ppTokens) {
        EXPECT_TRUE(IsForbiddenInTag(token.spelling.front()));
    }
}

}  // namespace
