// Text templates: tokenizing, describing, finding and matching fields, and the stored template.
#include <gtest/gtest.h>

#include "AIDictionary.h"
#include "StandIn.h"
#include "text/TextTemplate.h"

namespace {

using Tokens = std::vector<TemplateToken>;

struct TokenCase {
    const char* name;
    std::u32string text;
    Tokens expected;
};

void PrintTo(const TokenCase& c, std::ostream* out) {
    *out << c.name;
}

class Tokenizing : public testing::TestWithParam<TokenCase> {};

TEST_P(Tokenizing, SplitsLiteralRunsAndFields) {
    const TextTemplate tokens(GetParam().text);
    EXPECT_EQ(tokens.Tokens(), GetParam().expected);
    EXPECT_TRUE(tokens.Describes(GetParam().text));
}

INSTANTIATE_TEST_SUITE_P(
    Table, Tokenizing,
    testing::Values(
        TokenCase{"bothKinds",
                  U"Hello {{name}}, your code is ((code)).",
                  {{U"Hello ", 0, U"Hello "},
                   {U"name", 1, U"{{name}}"},
                   {U", your code is ", 0, U", your code is "},
                   {U"code", 2, U"((code))"},
                   {U".", 0, U"."}}},
        TokenCase{"fieldsDoNotNest", U"{{a{{b}}c}}", {{U"a{{b", 1, U"{{a{{b}}"}, {U"c}}", 0, U"c}}"}}},
        TokenCase{"threeOpeningBraces", U"{{{a}}", {{U"{a", 1, U"{{{a}}"}}},
        TokenCase{"parenthesesInsideABraceKey", U"{{(x)}}", {{U"(x)", 1, U"{{(x)}}"}}},
        TokenCase{"emptyBraceFieldIsLiteral", U"{{}}", {{U"{{}}", 0, U"{{}}"}}},
        TokenCase{"emptyParenthesisFieldIsLiteral", U"(())", {{U"", 0, U"(())"}}},
        TokenCase{"noFieldAcrossAParagraphBreak", U"{{na\rme}}", {{U"{{na\rme}}", 0, U"{{na\rme}}"}}},
        TokenCase{"emptyText", U"", {}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(TextTemplate, DescribesOnlyTheTextItsShownTextsMakeUp) {
    TextTemplate tokens(U"Hey you {{name}}!");
    tokens.Tokens()[1].shown = U"Anna";
    EXPECT_TRUE(tokens.Describes(U"Hey you Anna!"));
    // The story was edited by other means: the template's offsets point elsewhere now.
    EXPECT_FALSE(tokens.Describes(U"Hey {{name}}!"));
    EXPECT_FALSE(tokens.Describes(U"Hey you Anna!!"));
    EXPECT_FALSE(tokens.Describes(U"Hey you Ann"));
}

TEST(TextTemplate, FindsTheSpanOfTheFirstFieldOfTheModesKinds) {
    const TextTemplate tokens(U"Hello {{name}}, your code is ((code)).");
    struct Case {
        std::u32string search;
        std::string flags;
        unsigned long mode;
        bool found;
        unsigned long position;
    };
    for (const Case& c :
         {Case{U"nam", "", 1, true, 6}, Case{U"code", "", 1, false, 0}, Case{U"code", "", 2, true, 29},
          Case{U"code", "", 3, true, 29}, Case{U"^n.m", "n", 3, true, 6}, Case{U"name", "", 0, false, 0},
          Case{U"name", "", 4, false, 0}}) {
        unsigned long position = 0;
        unsigned long length = 0;
        ASSERT_EQ(tokens.FindUnicodeText(c.search, c.flags, c.mode, position, length), c.found);
        if (c.found) {
            EXPECT_EQ(position, c.position);
            EXPECT_EQ(length, 8u) << "the field's whole shown span";
        }
    }
}

TEST(TextTemplate, MatchesKeysWholeWhenLiteralAnywhereByPattern) {
    struct Case {
        std::u32string key, search, replace;
        std::string flags;
        bool matches;
        std::u32string shown;
    };
    for (const Case& c :
         {Case{U"name", U"nam", U"X", "", false, U""}, Case{U"name", U"name", U"Anna", "", true, U"Anna"},
          Case{U"name", U"", U"Anna", "", true, U"Anna"},
          Case{U"firstname", U"name", U"Anna", "n", true, U"Anna"},
          Case{U"firstname", U"(.*)name", U"$1", "n", true, U"first"},
          Case{U"firstname", U"x", U"y", "n", false, U""}}) {
        std::u32string shown;
        EXPECT_EQ(ReplaceMatchedStringUnicode(c.key, c.search, c.replace, c.flags, shown), c.matches);
        EXPECT_EQ(shown, c.shown);
    }
    unsigned long position = 0;
    unsigned long length = 0;
    EXPECT_TRUE(TextTemplate::FindUnicodeText(U"name", U"", "", position, length));
    EXPECT_EQ(length, 0u);
}

}  // namespace

namespace {

constexpr const char* kTextDocument = R"({"format": "plimhost-document", "version": 1, "layers": [
  {"type": "layer", "title": "L", "children": [
    {"type": "textFrame", "name": "T", "kind": "point", "text": "Hi {{name}}", "frame": [0, 10, 10, 0]}]}]})";

TEST(StoredTemplate, GoesThroughTheArtsDictionaryAndCanBeRemoved) {
    unittest::StandIn host;
    host.Load(kTextDocument);
    ArtObject* art = host.Art("T");
    bool found = true;
    EXPECT_TRUE(TextTemplate(art, found).Tokens().empty());
    EXPECT_FALSE(found) << "nothing stored yet";
    EXPECT_TRUE(TextTemplate::RemoveTemplateText(art)) << "nothing to remove is no failure";
    EXPECT_FALSE(TextTemplate().AddToArt(art)) << "a template without tokens is not stored";

    TextTemplate stored(U"Hi {{name}} \U0001F600");
    stored.Tokens()[1].shown = U"Anna";
    ASSERT_TRUE(stored.AddToArt(art));
    const TextTemplate read(art, found);
    EXPECT_TRUE(found);
    EXPECT_EQ(read.Tokens(), stored.Tokens());

    host.Fail(kAIDictionarySuite, "Set");
    EXPECT_FALSE(stored.AddToArt(art));
    EXPECT_TRUE(TextTemplate::RemoveTemplateText(art));
    TextTemplate(art, found);
    EXPECT_FALSE(found);
}

}  // namespace
