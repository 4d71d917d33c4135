// The tag commands on the example document: exact replies, and the document afterwards.
#include <algorithm>

#include "PluginFixture.h"
#include "model/DocumentFormat.h"

namespace {

using host::model::ArtId;

class TagCommands : public PluginTest {
protected:
    void SetUp() override {
        PluginTest::SetUp();
        OpenExample("sample.json", 7);
    }

    host::model::Document& Doc() { return *app->CurrentDocument(); }

    ArtId Named(std::string_view name) {
        for (ArtId art : Doc().documentOrder()) {
            auto artName = Doc().name(art);
            if (artName.ok() && artName->text == name) {
                return art;
            }
        }
        ADD_FAILURE() << "no art named " << name;
        return {};
    }

    std::vector<std::string> TagsOf(std::string_view name) {
        std::vector<std::string> values;
        const host::model::TagList* tags = Doc().tags(Named(name));
        for (std::size_t i = 0; tags != nullptr && i < tags->size(); ++i) {
            auto value = tags->get(tags->nameAt(i).valueOr(""), "string");
            if (value.ok()) {
                values.push_back(*value);
            }
        }
        std::sort(values.begin(), values.end());
        return values;
    }

    bool Selected(std::string_view name) {
        auto attributes = Doc().attributes(Named(name), host::model::attribute::selected);
        return attributes.ok() && *attributes != 0;
    }

    std::string UuidOf(std::string_view name) { return Doc().uuid(Named(name)).valueOr(""); }
};

TEST_F(TagCommands, SetTagsNormalisesAndEchoesTheTexts) {
    EXPECT_EQ(
        Script("setTags", R"({"tagSearch":"logo","tags":["Red Circle","Red Circle"],"uid":"s"})"),
        R"({"eventType":"setTags","replace":false,"tagSearch":"logo","tags":["Red Circle"],"uid":"s"})");
    EXPECT_EQ(TagsOf("Logo"), (std::vector<std::string>{"logo", "red_circle"}));
    EXPECT_EQ(Script("getByTags", R"({"tagSearch":"red_circle"})"),
              R"({"eventType":"getByTags","tagSearch":"red_circle","uuid":[")" + UuidOf("Logo") + R"("]})");
}

// Tags differ only in what lower-casing leaves of them, in every script of the Unicode version the
// case mappings follow: a tag set in one case is found by a search in the other.
struct CaseCase {
    const char* written;  // the tag as setTags gets it
    const char* stored;   // the tag the art then has
    const char* search;   // a search that must find the art
};

const CaseCase kCaseCases[] = {
    {"ƁETA", "ɓeta", "ɓeta"},                       // Latin Extended-B
    {"ƁETA", "ɓeta", "ƁEta"},                       // the search is lower-cased as well
    {"ΣΟΦΊΑ", "σοφία", "σοφία"},                    // Greek, every sigma the same
    {"ᎠᎡ", "ꭰꭱ", "ꭰꭱ"},                     // Cherokee (lower case since Unicode 8.0)
    {"ᲐᲑ", "აბ", "აბ"},                         // Georgian Mtavruli (Unicode 11.0)
    {"ⰀⰁ", "ⰰⰱ", "ⰰⰱ"},                             // Glagolitic
    {"\U00010570x", "\U00010597x", "\U00010597X"},  // Vithkuqi (Unicode 14.0)
    {"\U00016E40", "\U00016E60", "\U00016E60"},     // Medefaidrin, above U+FFFF
    {"ＡＢ", "ａｂ", "ａｂ"},                       // full-width Latin
    {"\u212Aelvin", "kelvin", "KELVIN"},            // the Kelvin sign is a K
    {"İz", "iz", "IZ"},                             // simple mappings: one code point each
};

TEST_F(TagCommands, TagsOfEveryScriptAreOneTagWhateverTheCase) {
    std::string current = "price";  // the art's only tag
    for (const CaseCase& c : kCaseCases) {
        SCOPED_TRACE(c.written);
        const json tags = json::array({c.written});
        ScriptJson("setTags", json{{"tagSearch", current}, {"tags", tags}, {"replace", true}}.dump());
        current = c.stored;
        EXPECT_EQ(TagsOf("Price"), (std::vector<std::string>{c.stored}));
        const json found = ScriptJson("getByTags", json{{"tagSearch", c.search}}.dump());
        EXPECT_EQ(found.value("uuid", json::array()), json::array({UuidOf("Price")})) << found;
        ScriptJson("setTags", json{{"tagSearch", c.search}, {"tags", tags}}.dump());
        EXPECT_EQ(TagsOf("Price"), (std::vector<std::string>{c.stored})) << "one tag, not two";
    }
    // Lower-casing is not folding: "ß" and "ss" stay two tags.
    ScriptJson("setTags", json{{"tagSearch", current}, {"tags", {"ß"}}, {"replace", true}}.dump());
    ASSERT_EQ(TagsOf("Price"), (std::vector<std::string>{"ß"}));
    EXPECT_EQ(ScriptJson("getByTags", R"({"tagSearch":"ss"})").value("error", ""), "No artwork found");
}

TEST_F(TagCommands, SetTagsWithReplaceDropsTheOldTags) {
    Script("setTags", R"({"tagSearch":"price","tags":["Sale"],"replace":true})");
    EXPECT_EQ(TagsOf("Price"), (std::vector<std::string>{"sale"}));
}

TEST_F(TagCommands, SetTagsWithoutQueryTagsTheSelection) {
    Script("selectByTags", R"({"tagSearch":"title"})");
    Script("setTags", R"({"tags":["Headline"]})");
    EXPECT_EQ(TagsOf("Title"), (std::vector<std::string>{"headline", "title"}));
}

TEST_F(TagCommands, EmptyTagTextsAreNotWritten) {
    Script("setTags", R"({"tagSearch":"logo","tags":[""]})");
    EXPECT_EQ(TagsOf("Logo"), (std::vector<std::string>{"logo"}));
}

TEST_F(TagCommands, GetByTagsErrors) {
    EXPECT_EQ(Script("getByTags", R"({"uid":"g"})"),
              R"({"error":"No search string","eventType":"getByTags","tagSearch":"","uid":"g"})");
    EXPECT_EQ(Script("getByTags", R"({"tagSearch":"zzz"})"),
              R"({"error":"No artwork found","eventType":"getByTags","tagSearch":"zzz"})");
    EXPECT_EQ(Script("getByTags", R"({"tagSearch":"logo &&"})"),
              R"({"error":"No artwork found","eventType":"getByTags","tagSearch":"logo &&"})");
}

TEST_F(TagCommands, SelectByTagsSelectsTheSubtreeAndGetTagsReportsIt) {
    EXPECT_EQ(Script("selectByTags", R"({"tagSearch":"logo"})"),
              R"({"add":false,"eventType":"selectByTags","tagSearch":"logo"})");
    EXPECT_TRUE(Selected("Logo"));
    EXPECT_TRUE(Selected("Mark"));
    EXPECT_FALSE(Selected("Title"));
    EXPECT_EQ(
        Script("getTags"),
        R"({"contentTags":["icon","icon_small"],"contents":true,"eventType":"getTags","mixed":false,"tags":["logo"]})");
}

TEST_F(TagCommands, GetTagsUnionAndIntersection) {
    Script("selectByTags", R"({"tagSearch":"title"})");
    Script("selectByTags", R"({"tagSearch":"price","add":true})");
    EXPECT_EQ(Script("getTags", R"({"contents":false})"),
              R"({"contents":false,"eventType":"getTags","mixed":true,"tags":["label","price","title"]})");
    EXPECT_EQ(Script("getTags", R"({"contents":false,"mixed":false})"),
              R"({"contents":false,"eventType":"getTags","mixed":true,"tags":[]})");
}

TEST_F(TagCommands, GetTagsWithoutSelection) {
    EXPECT_EQ(Script("getTags", R"({"contents":false})"),
              R"({"contents":false,"eventType":"getTags","mixed":true,"tags":[]})");
}

TEST_F(TagCommands, AnInvalidQueryKeepsTheSelection) {
    Script("selectByTags", R"({"tagSearch":"title"})");
    EXPECT_EQ(
        Script("selectByTags", R"({"tagSearch":"title &&"})"),
        R"({"add":false,"error":"Can't parse the tag search","eventType":"selectByTags","tagSearch":"title &&"})");
    EXPECT_TRUE(Selected("Title"));
    EXPECT_EQ(Script("selectByTags", R"({"tagSearch":""})"),
              R"({"add":false,"error":"Tag search is empty","eventType":"selectByTags","tagSearch":""})");
    EXPECT_TRUE(Selected("Title"));
}

TEST_F(TagCommands, SelectingNothingWarnsAndClears) {
    Script("selectByTags", R"({"tagSearch":"title"})");
    EXPECT_EQ(Script("selectByTags", R"({"tagSearch":"zzz"})"),
              R"({"add":false,"eventType":"selectByTags","tagSearch":"zzz","warning":"No artwork found"})");
    EXPECT_FALSE(Selected("Title"));
}

TEST_F(TagCommands, ValidateTagSearches) {
    EXPECT_EQ(
        Script("validateTagSearches", R"({"tagSearches":["logo","logo&&","zzz",""]})"),
        R"({"eventType":"validateTagSearches","exists":[true,false,false,false],"valid":[true,false,true,false]})");
}

TEST_F(TagCommands, RemoveTagsRemovesWhatSettingWrote) {
    Script("setTags", R"({"tagSearch":"logo","tags":["Red Circle"]})");
    EXPECT_EQ(Script("removeTags", R"({"tags":["Red Circle"]})"),
              R"({"all":false,"eventType":"removeTags","tags":["Red Circle"]})");
    EXPECT_EQ(TagsOf("Logo"), (std::vector<std::string>{"logo"}));
}

TEST_F(TagCommands, RemoveAllTagsKeepsEntriesOfOthers) {
    EXPECT_EQ(Script("removeTags", R"({"all":true,"tags":["x"]})"),
              R"({"all":true,"eventType":"removeTags","tags":[]})");
    EXPECT_EQ(Script("getAllTags"),
              R"({"contentTags":[],"contents":true,"eventType":"getAllTags","tags":[]})");
    const host::model::TagList* tags = Doc().tags(Named("Backdrop"));
    ASSERT_NE(tags, nullptr);
    EXPECT_TRUE(tags->contains("com.example.reviewed"));
}

TEST_F(TagCommands, RemoveTagsSelectedWithAndWithoutContents) {
    Script("selectByTags", R"({"tagSearch":"logo"})");
    // Selecting a group selects its members, but only the group is top fully selected.
    EXPECT_EQ(Script("removeTagsSelected", R"({"all":true,"contents":false})"),
              R"({"all":true,"contents":false,"eventType":"removeTagsSelected","tags":[]})");
    EXPECT_TRUE(TagsOf("Logo").empty());
    EXPECT_EQ(TagsOf("Mark"), (std::vector<std::string>{"icon"}));
    Script("removeTagsSelected", R"({"all":true})");
    EXPECT_TRUE(TagsOf("Mark").empty());
    EXPECT_TRUE(TagsOf("Swoosh").empty());
}

TEST_F(TagCommands, NameToTagsAndBack) {
    const std::string logoUuid = UuidOf("Logo");
    EXPECT_EQ(Script("nameToTags", R"({})"),
              R"({"eventType":"nameToTags","replace":false,"selected":false})");
    EXPECT_EQ(TagsOf("Photo frame"), (std::vector<std::string>{"photo", "photo-frame"}));
    Script("tagsToName", R"({})");
    auto logo = Doc().name(Doc().artByUuid(logoUuid));
    ASSERT_TRUE(logo.ok());
    EXPECT_EQ(logo->text, "logo");
    EXPECT_EQ(Doc().attributes(Doc().artByUuid(logoUuid), host::model::attribute::selected).valueOr(1), 0u);
}

TEST_F(TagCommands, TagNotifyModes) {
    EXPECT_EQ(Script("tagNotify", R"({"mode":"status"})"), R"({"eventType":"tagNotify","mode":"On"})");
    EXPECT_EQ(Script("tagNotify", R"({"mode":"OFF"})"), R"({"eventType":"tagNotify"})");
    EXPECT_EQ(Script("tagNotify", R"({})"), R"({"eventType":"tagNotify","mode":"Off"})");
    EXPECT_EQ(Script("tagNotify", R"({"mode":"On"})"), R"({"eventType":"tagNotify"})");
    EXPECT_EQ(Script("tagNotify", R"({})"), R"({"eventType":"tagNotify","mode":"On"})");
}

// Spaces and commas separate a formula's words, which are read joined, as in ':nthChild(row, 2n + 1)'.
TEST_F(TagCommands, TestTokensReadsPositionFormulas) {
    for (auto [formula, answer] : std::vector<std::pair<std::string, std::string>>{{"2n+1", "1 2 1"},
                                                                                   {"odd", "0 0 0"},
                                                                                   {"n", "1 1 0"},
                                                                                   {"-n+3", "1 -1 3"},
                                                                                   {"+n", "1 1 0"},
                                                                                   {"2n + 1", "1 2 1"},
                                                                                   {" - n + 3 ", "1 -1 3"},
                                                                                   {"2n,+1", "1 2 1"},
                                                                                   {"2n + x", "0 2 0"}}) {
        app->Panel().ClearDispatched();
        app->Panel().Send("com.torvi.event.testTokens", json{{"tagSearch", formula}}.dump());
        const auto events = app->Panel().TakeDispatched();
        ASSERT_EQ(events.size(), 1u);
        EXPECT_EQ(json::parse(events[0].data)["tagSearch"], answer) << formula;
    }
}

TEST_F(TagCommands, WrongKeyTypesAreAnsweredWithAnError) {
    EXPECT_EQ(Script("setTags", R"({"tags":"logo"})"),
              R"({"error":"\"tags\" must be an array of strings","eventType":"setTags"})");
    EXPECT_EQ(Script("getByTags", R"({"tagSearch":5})"),
              R"({"error":"\"tagSearch\" must be a string","eventType":"getByTags"})");
}

TEST_F(TagCommands, SelectionChangesPushTheSelectionsTags) {
    app->Panel().ClearDispatched();
    Script("selectByTags", R"({"tagSearch":"title"})");
    const auto events = app->Panel().TakeDispatched();
    ASSERT_FALSE(events.empty());
    EXPECT_EQ(events.back().data,
              R"({"contentTags":[],"contents":true,"eventType":"getTags","mixed":false,"tags":["title"]})");
}

}  // namespace
