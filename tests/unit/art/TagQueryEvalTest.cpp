// The tag-query evaluator: selecting objects, precedence of the parsed query, token sets and nth formulas.
#include <gtest/gtest.h>

#include <climits>
#include <deque>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "TestText.h"
#include "art/TagQueryEval.h"
#include "art/TagQueryTokens.h"

namespace {

// A document snapshot built by hand: objects are listed in document order (parents before their
// children), each with the key it would get from its UUID, its type and its tags.
class TestDocument {
public:
    void Layer(const std::string& name, std::int32_t crc) { Add("", name, crc, kGroupArt, {}, true); }

    void Add(const std::string& parent, const std::string& name, std::int32_t crc, ai::int16 type = kPathArt,
             std::vector<std::string> tags = {}, bool layerGroup = false) {
        fSlots.emplace_back();
        ArtObject* art = reinterpret_cast<ArtObject*>(&fSlots.back());
        fArt[name] = art;
        fNames[art] = name;
        ArtObject* parentArt = parent.empty() ? nullptr : fArt.at(parent);
        const std::int32_t ordinal = fIndex.Add(art, crc, layerGroup, type == kGroupArt, true, parentArt);
        for (const std::string& tag : tags) {
            fTags[ToUtf32(tag)].push_back(ordinal);
        }
    }

    // The names of what the query selects, in result order; "invalid" when it is refused.
    std::vector<std::string> Search(const std::string& query) const {
        ArtList found;
        if (!EvaluateTagQuery(query, fIndex, fTags, found)) {
            return {"invalid"};
        }
        std::vector<std::string> names;
        for (ArtObject* art : found) {
            names.push_back(fNames.at(art));
        }
        return names;
    }

    const ArtIndex& index() const { return fIndex; }
    const TagIndex& tags() const { return fTags; }

private:
    std::deque<int> fSlots;  // stable addresses standing in for host handles
    std::map<std::string, ArtObject*> fArt;
    std::map<ArtObject*, std::string> fNames;
    ArtIndex fIndex;
    TagIndex fTags;
};

// Two layers. Keys are chosen so that key order differs from document order; twinA and twinB
// share a key, and lone and lone2 have no UUID (key 0).
const TestDocument& Document() {
    static const TestDocument document = [] {
        TestDocument d;
        d.Layer("L1", 1000);
        d.Add("L1", "row1", 50, kGroupArt, {"row"});
        d.Add("row1", "c11", 10, kPathArt, {"cell", "red"});
        d.Add("row1", "c12", 30, kPathArt, {"cell"});
        d.Add("row1", "c13", 20, kPathArt, {"cell", "blue"});
        d.Add("L1", "row2", 40, kGroupArt, {"row"});
        d.Add("row2", "c21", 60, kPathArt, {"cell"});
        d.Add("row2", "c22", 70, kTextFrameArt, {"cell", "red", "icon_small"});
        d.Add("L1", "icon", -5, kPathArt, {"icon", "icons"});
        d.Layer("L2", 2000);
        d.Add("L2", "panel", 80, kGroupArt, {"panel"});
        d.Add("panel", "inner", 90, kGroupArt, {"inner"});
        d.Add("inner", "deep", 85, kPathArt, {"red"});
        d.Add("L2", "twinA", 7, kPathArt, {"twin"});
        d.Add("L2", "twinB", 7, kPathArt, {"other"});
        d.Add("L2", "lone", 0);
        d.Add("L2", "lone2", 0);
        return d;
    }();
    return document;
}

struct QueryCase {
    std::string query;
    std::vector<std::string> found;
};

void PrintTo(const QueryCase& c, std::ostream* os) {
    *os << "'" << c.query << "'";
}

class SearchTest : public testing::TestWithParam<QueryCase> {};

TEST_P(SearchTest, SelectsTheObjects) {
    EXPECT_EQ(Document().Search(GetParam().query), GetParam().found);
}

const std::vector<std::string> kAllCells{"c11", "c13", "c12", "c21", "c22"};

INSTANTIATE_TEST_SUITE_P(
    TagsAndSets, SearchTest,
    testing::Values(QueryCase{"red", {"c11", "c22", "deep"}}, QueryCase{"RED", {"c11", "c22", "deep"}},
                    QueryCase{"zzz", {}}, QueryCase{"red|cell", {"c11", "c13", "c12", "c21", "c22", "deep"}},
                    QueryCase{"red&cell", {"c11", "c22"}},
                    QueryCase{"cell|red", {"c11", "c13", "c12", "c21", "c22", "deep"}},
                    QueryCase{"(red|blue)&cell", {"c11", "c13", "c22"}}, QueryCase{"red&!row", {"deep"}},
                    QueryCase{"^icon", {"icon", "c22"}}, QueryCase{"$_small", {"c22"}},
                    QueryCase{"^ic|blue", {"icon", "c13", "c22"}}, QueryCase{"$s", {"icon"}}));

// Objects whose keys are equal, or who have no UUID at all, are still told apart.
INSTANTIATE_TEST_SUITE_P(Identity, SearchTest,
                         testing::Values(QueryCase{"twin", {"twinA"}}, QueryCase{"other", {"twinB"}},
                                         QueryCase{"twin|other", {"twinA", "twinB"}},
                                         QueryCase{"twin&other", {}},
                                         QueryCase{":siblingAfter(twin)", {"twinB"}},
                                         QueryCase{"!(twin|panel|row|icon)", {"lone", "lone2", "twinB"}}));

INSTANTIATE_TEST_SUITE_P(
    Relations, SearchTest,
    testing::Values(QueryCase{"row>red", {"c11", "c22"}}, QueryCase{"panel>red", {"deep"}},
                    QueryCase{"row<red", {"row2", "row1"}}, QueryCase{"panel<red", {"panel"}},
                    QueryCase{"inner<red", {"inner"}}, QueryCase{"cell~red", kAllCells},
                    QueryCase{"blue~red", {"c13"}}, QueryCase{"red~red", {"c11", "c22", "deep"}},
                    QueryCase{"icon~row", {"icon"}},
                    QueryCase{"!row", {"icon", "lone", "lone2", "twinA", "twinB", "panel", "deep", "inner"}},
                    QueryCase{"!:parent(panel)", {"icon", "c11", "c13", "c12", "row2", "row1", "c21", "c22"}},
                    QueryCase{"red&!:parent(panel)", {"c11", "c22"}}, QueryCase{"panel>inner>red", {"deep"}},
                    QueryCase{"row>panel>red", {}}));

INSTANTIATE_TEST_SUITE_P(
    PseudoClasses, SearchTest,
    testing::Values(
        QueryCase{":children(row)", kAllCells}, QueryCase{":parent(blue)", {"row1"}},
        QueryCase{":parent(panel)", {}}, QueryCase{":children(:parent(panel))", {}},
        QueryCase{":siblingBefore(blue)", {"c12"}}, QueryCase{":siblingAfter(blue)", {}},
        QueryCase{":siblingBefore(c11|blue)", {"c12"}}, QueryCase{":firstChild(row)", {"c11", "c21"}},
        QueryCase{":lastChild(row)", {"c13", "c22"}}, QueryCase{":firstChild(cell)", {}},
        QueryCase{":firstOfType(cell)", {"c11", "c21"}}, QueryCase{":lastOfType(cell)", {"c13", "c22"}},
        QueryCase{":firstOfType(red|blue)", {"c11", "c22", "deep"}},
        QueryCase{":ancestors(red)", {"row2", "row1", "panel", "inner"}},
        QueryCase{":descendants(panel)", {"deep", "inner"}},
        QueryCase{":descendants(panel|inner)", {"deep", "inner"}}, QueryCase{":leaves(panel)", {"deep"}},
        QueryCase{":leaves(row|cell)", kAllCells}, QueryCase{":globalFirstOfType(cell)", {"c11"}},
        QueryCase{":globalLastOfType(cell)", {"c22"}}, QueryCase{":globalLastOfType(red)", {"deep"}},
        QueryCase{":children(row)&red", {"c11", "c22"}}, QueryCase{":PARENT(BLUE)", {"row1"}}));

INSTANTIATE_TEST_SUITE_P(
    Positions, SearchTest,
    testing::Values(
        QueryCase{":nthChild(row, 2n+1)", {"c11", "c13", "c21"}},
        QueryCase{":nthChild(row, 2n + 1)", {"c11", "c13", "c21"}}, QueryCase{":nthChild(row, 3)", {"c13"}},
        QueryCase{":nthChild(row, n)", kAllCells}, QueryCase{":nthChild(row, 2n-1)", {}},
        QueryCase{":nthChild(row, n-1)", {}}, QueryCase{":nthChild(row, -n-1)", {}},
        QueryCase{":nthOfType(cell, 2n-1)", {}}, QueryCase{":globalNthOfType(cell, n-2)", {}},
        QueryCase{":nthChild(row, 2n-0)", {"c12", "c22"}}, QueryCase{":nthChild(row, odd)", {}},
        QueryCase{":nthChild(row, -n+3)", kAllCells}, QueryCase{":nthChild(row, -1n+3)", kAllCells},
        QueryCase{":nthChild(row, -n+2)", {"c11", "c12", "c21", "c22"}},
        QueryCase{":nthChild(row, 0n+2)", {"c12", "c22"}}, QueryCase{":nthChild(row, 5)", {}},
        QueryCase{":nthChild(row, 0)", {}}, QueryCase{":nthChild(row, -3)", {}},
        QueryCase{":nthChild(row, 2147483647n+1)", {"c11", "c21"}},
        QueryCase{":nthChild(row, -2147483648n+2147483647)", {}},
        QueryCase{":nthOfType(cell, 2)", {"c12", "c22"}}, QueryCase{":nthOfType(red, 2)", {}},
        QueryCase{":nthOfType(cell, -n+1)", {"c11", "c21"}}, QueryCase{":globalNthOfType(cell, 2)", {"c12"}},
        QueryCase{":globalNthOfType(cell, 2n)", {"c12", "c21"}},
        QueryCase{":globalNthOfType(red, 3)", {"deep"}},
        QueryCase{":nthChild(row, 2n+1)|icon", {"icon", "c11", "c13", "c21"}}));

// Queries that cannot be evaluated are refused instead of acting on other objects.
INSTANTIATE_TEST_SUITE_P(
    Refused, SearchTest,
    testing::Values(QueryCase{"", {"invalid"}}, QueryCase{" ,", {"invalid"}},
                    QueryCase{"red blue", {"invalid"}}, QueryCase{"red,blue", {"invalid"}},
                    QueryCase{":nthChild(row)", {"invalid"}}, QueryCase{":foo(red)", {"invalid"}},
                    QueryCase{"red&&blue", {"invalid"}}, QueryCase{":NTHCHILD(row, 2n + 1)", {"invalid"}},
                    QueryCase{"(red", {"invalid"}}, QueryCase{"red|blue cell", {"invalid"}}));

struct ParseCase {
    std::string query;
    std::string expression;
};

void PrintTo(const ParseCase& c, std::ostream* os) {
    *os << "'" << c.query << "'";
}

class ShuntingTest : public testing::TestWithParam<ParseCase> {};

// The text of the final value spells out how the parser grouped the query.
INSTANTIATE_TEST_SUITE_P(
    Grouping, ShuntingTest,
    testing::Values(ParseCase{"a", "a"}, ParseCase{"a|b&c", "(a|(b&c))"}, ParseCase{"a&b|c", "((a&b)|c)"},
                    ParseCase{"a>b>c", "(a>(b>c))"}, ParseCase{"a~b>c", "(a~(b>c))"},
                    ParseCase{"a|b|c", "(a|(b|c))"}, ParseCase{"!a&b", "(!a&b)"}, ParseCase{"a&!b", "(a&!b)"},
                    ParseCase{"!(a|b)", "!(a|b)"}, ParseCase{"^a|b", "(^a|b)"}, ParseCase{"!^a", "!^a"},
                    ParseCase{"a>b&c", "((a>b)&c)"}, ParseCase{"a&b>c", "(a&(b>c))"},
                    ParseCase{":children(a)&b", "(:children(a)&b)"},
                    ParseCase{"b&:children(a)", "(b&:children(a))"},
                    ParseCase{":nthChild(row, 2n+1)|icon", "(:nthChild(row, 2n+1)|icon)"},
                    ParseCase{":children(:parent(a))", ":children(:parent(a))"},
                    ParseCase{"c<(a|b)", "(c<(a|b))"}, ParseCase{"(a|b)&(c|d)", "((a|b)&(c|d))"},
                    ParseCase{"!:leaves(a)", "!:leaves(a)"}, ParseCase{"A|B", "(a|b)"},
                    ParseCase{"((a))", "a"}, ParseCase{"a~:children(b)", "(a~:children(b))"}));

TEST_P(ShuntingTest, GroupsByPrecedence) {
    std::vector<std::u32string> tokens;
    ASSERT_TRUE(TokenizeTagQuery(GetParam().query, tokens));
    const tokenSet value = Shunting(tokens, ArtIndex(), TagIndex());
    EXPECT_TRUE(value.valid);
    EXPECT_EQ(ToUtf8(value.text), GetParam().expression);
}

TEST(ShuntingTest, LeftoverValuesMakeTheResultInvalid) {
    const tokenSet value = Shunting({U"red", U"blue"}, Document().index(), Document().tags());
    EXPECT_FALSE(value.valid);
    EXPECT_TRUE(value.art.empty());
}

TEST(ShuntingTest, UncheckedTokensNeverCrash) {
    // Token lists the checker would refuse, fed to the parser directly.
    const std::vector<std::vector<std::u32string>> lists{{U")"},
                                                         {U"("},
                                                         {U"|"},
                                                         {U":nthChild"},
                                                         {U":bogus", U"(", U"a", U")"},
                                                         {U"!", U"!"},
                                                         {U"a", U")", U")"},
                                                         {}};
    for (const auto& tokens : lists) {
        EXPECT_FALSE(Shunting(tokens, Document().index(), Document().tags()).valid);
    }
}

TEST(MergeTokenSetTest, LeavesOutLayerGroupsAndUnknownIdentities) {
    tokenSet value;
    value.art = {0, 1, 999};  // the first layer group, an object and an unknown position
    const ArtList merged = MergeTokenSet(value, Document().index());
    ASSERT_EQ(merged.size(), 1u);
    EXPECT_EQ(merged.front(), Document().index().at(1).art);
}

struct FormulaCase {
    std::string formula;
    bool ok;
    int a;
    int b;
};

void PrintTo(const FormulaCase& c, std::ostream* os) {
    *os << "'" << c.formula << "'";
}

class NthStringToNumTest : public testing::TestWithParam<FormulaCase> {};

INSTANTIATE_TEST_SUITE_P(
    Formulas, NthStringToNumTest,
    testing::Values(
        FormulaCase{"2n+1", true, 2, 1}, FormulaCase{"3", true, 0, 3}, FormulaCase{"n", true, 1, 0},
        FormulaCase{"-n+3", true, -1, 3}, FormulaCase{"+n", true, 1, 0}, FormulaCase{"-n", true, -1, 0},
        FormulaCase{"2n-1", true, 2, -1}, FormulaCase{"-1n+3", true, -1, 3}, FormulaCase{"2N+1", true, 2, 1},
        FormulaCase{"10n", true, 10, 0}, FormulaCase{"n+", true, 1, 0}, FormulaCase{"", true, 0, 0},
        FormulaCase{"-", true, 0, 0}, FormulaCase{"1-2", true, 0, 1}, FormulaCase{"-3", true, 0, -3},
        FormulaCase{"-2147483648", true, 0, INT_MIN}, FormulaCase{"n-2147483648", true, 1, INT_MIN},
        FormulaCase{"odd", false, 0, 0}, FormulaCase{"even", false, 0, 0}, FormulaCase{"2n+x", false, 2, 0},
        FormulaCase{"2nn", false, 2, 0}, FormulaCase{"2147483648", false, 0, 0},
        FormulaCase{"99999999999n", false, 0, 0}, FormulaCase{"2n+99999999999", false, 2, 0},
        FormulaCase{"\xc3\x97", false, 0, 0}));

TEST_P(NthStringToNumTest, ReadsStepAndOffset) {
    int a = 7;
    int b = 7;
    EXPECT_EQ(NthStringToNum(ToUtf32(GetParam().formula), a, b), GetParam().ok);
    EXPECT_EQ(a, GetParam().a);
    EXPECT_EQ(b, GetParam().b);
}

struct NumberCase {
    std::string text;
    bool ok;
    int value;
};

class StringToNumTest : public testing::TestWithParam<NumberCase> {};

INSTANTIATE_TEST_SUITE_P(Numbers, StringToNumTest,
                         testing::Values(NumberCase{"", true, 0}, NumberCase{"12", true, 12},
                                         NumberCase{"+5", true, 5}, NumberCase{"-5", true, -5},
                                         NumberCase{"1-2", true, 1}, NumberCase{"-", true, 0},
                                         NumberCase{"--3", true, 0}, NumberCase{"007", true, 7},
                                         NumberCase{"2147483647", true, INT_MAX},
                                         NumberCase{"2147483648", false, 99},
                                         NumberCase{"-2147483649", false, 99}, NumberCase{"1a", false, 99},
                                         NumberCase{" 1", false, 99}));

TEST_P(StringToNumTest, ReadsLeadingNumber) {
    int value = 99;
    EXPECT_EQ(StringToNum(GetParam().text, value), GetParam().ok);
    EXPECT_EQ(value, GetParam().value);
}

// Positions a*i + b for i >= 0 within a row of eight, against a direct enumeration.
TEST(NthPositionTest, MatchesTheEnumeratedPositions) {
    constexpr int kRow = 8;
    for (int a = -4; a <= 4; ++a) {
        for (int b = -6; b <= 10; ++b) {
            std::set<std::int64_t> expected;
            for (int i = 0; i <= 40; ++i) {
                const int position = a * i + b;
                if (position >= 1 && position <= kRow) {
                    expected.insert(position);
                }
            }
            for (std::int64_t k = 1; k <= kRow; ++k) {
                EXPECT_EQ(NthPositionMatches(a, b, k), expected.contains(k)) << a << "n+" << b << " at " << k;
            }
        }
    }
}

TEST(NthPositionTest, ExtremeFormulasDoNotOverflow) {
    EXPECT_TRUE(NthPositionMatches(INT_MAX, INT_MIN, INT_MIN + std::int64_t{INT_MAX}));
    EXPECT_FALSE(NthPositionMatches(INT_MIN, INT_MAX, 1));
    EXPECT_TRUE(NthPositionMatches(INT_MIN, INT_MAX, INT_MAX));
    EXPECT_FALSE(NthPositionMatches(-1, INT_MIN, 1));
    EXPECT_TRUE(NthPositionMatches(1, INT_MIN, 1));
}

}  // namespace
