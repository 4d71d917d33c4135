// Script messages: the command table, the special names, and the application-context and
// undo-kind rules around every command.
#include <set>

#include "CommandTableRows.h"
#include "PluginFixture.h"

namespace {

using ScriptMessages = PluginTest;

TEST_F(ScriptMessages, VersionAnswersEveryKeyInSortedOrder) {
    const std::string reply = Script("version", R"({"uid":"u1"})");
    const json parsed = json::parse(reply);
    EXPECT_EQ(parsed["eventType"], "version");
    EXPECT_EQ(parsed["uid"], "u1");
    EXPECT_EQ(parsed["version"], "1.0.5095");
    EXPECT_EQ(parsed["timeStamp"], "Mar 13 2026 04:55:46");
    EXPECT_EQ(parsed["SDK"], "28.1");
    EXPECT_EQ(parsed["pluginPath"], std::filesystem::canonical(PLIM_BIN_DIR).string());
    EXPECT_EQ(reply.find("{\"SDK\":"), 0u) << reply;
    EXPECT_LT(reply.find("\"eventType\""), reply.find("\"pluginPath\""));
    EXPECT_LT(reply.find("\"timeStamp\""), reply.find("\"uid\""));
    EXPECT_LT(reply.find("\"uid\":"), reply.find(",\"version\":"));
}

struct ReplyCase {
    const char* name;
    const char* request;
    const char* reply;

    friend void PrintTo(const ReplyCase& c, std::ostream* out) { *out << c.name << " " << c.request; }
};

class ExactReplies : public PluginTest, public testing::WithParamInterface<ReplyCase> {};

TEST_P(ExactReplies, Answer) {
    EXPECT_EQ(Script(GetParam().name, GetParam().request), GetParam().reply);
}

INSTANTIATE_TEST_SUITE_P(
    Commands, ExactReplies,
    testing::Values(
        ReplyCase{"comment", R"({"text":"hi"})", R"({"eventType":"comment"})"},
        ReplyCase{"comment", R"({"uid":"c1","text":"hi"})", R"({"eventType":"comment","uid":"c1"})"},
        ReplyCase{"comment", "", R"({"eventType":"comment"})"},
        ReplyCase{"noSuchCommand", "{}", R"({"error":"Unknown event type: noSuchCommand"})"},
        ReplyCase{"AlignObjects", "{}", R"({"error":"Unknown event type: AlignObjects"})"},
        ReplyCase{"", "{}", R"({"error":"Unknown event type: "})"}, ReplyCase{"tagNotifyOn", "{}", ""},
        ReplyCase{"tagNotifyOff", "{}", ""},
        ReplyCase{
            "translate", R"({"uid":"t"})",
            R"({"deltaX":0.0,"deltaY":0.0,"error":"No artwork found","eventType":"translate","tagSearch":"","uid":"t"})"},
        ReplyCase{
            "z-order", "{}",
            R"({"error":"No source artwork found","eventType":"move","replace":false,"tagSearch":"","tags":[],"targetTagSearch":""})"},
        ReplyCase{"editTextStyle", "{}", R"({"error":"Not implemented yet","eventType":"editTextStyle"})"},
        // A request that the JSON library can't take is answered, never thrown into the host.
        ReplyCase{"comment", R"({"uid":5})", R"({"error":"\"uid\" must be a string","eventType":"comment"})"},
        ReplyCase{"version", R"({"uid":["x"]})",
                  R"({"error":"\"uid\" must be a string","eventType":"version"})"},
        ReplyCase{"batchCall", R"({"uid":null})",
                  R"({"error":"\"uid\" must be a string","eventType":"batchCall"})"}),
    [](const testing::TestParamInfo<ReplyCase>& info) { return "Case" + std::to_string(info.index); });

class InvalidRequests : public PluginTest, public testing::WithParamInterface<const char*> {};

TEST_P(InvalidRequests, AnswerWithAnError) {
    for (const char* name : {"version", "comment", "batchCall"}) {
        const json reply = ScriptJson(name, GetParam());
        EXPECT_EQ(reply["eventType"], name);
        ASSERT_TRUE(reply.contains("error")) << reply;
        EXPECT_EQ(reply["error"].get<std::string>().rfind("The request is not valid JSON: ", 0), 0u) << reply;
    }
}

INSTANTIATE_TEST_SUITE_P(Texts, InvalidRequests,
                         testing::Values("{", "{\"uid\":}", "not json", "{} {}", "{\"a\":1} // note",
                                         "\xFF\xFE"));

// How many application contexts a message pushed, the undo kinds it set, and whether a context
// opened by "startContext" is in force afterwards (seen by the kind the next "translate" sets).
struct ContextRule {
    int pushes;
    std::vector<ai::int32> kinds;      // -1 stands for the kind taken from the context flag
    std::optional<bool> contextAfter;  // none: as it was
};

// The rule of each route, as scripts see it.
ContextRule RuleOf(Route route) {
    switch (route) {
        case Route::kPlain:
            return {1, {}, std::nullopt};
        case Route::kUndoable:
            return {1, {-1}, std::nullopt};
        case Route::kStartContext:
            return {1, {0}, true};
        case Route::kUndoChanges:
            return {1, {}, false};
        case Route::kExportFile:
            return {1, {0}, false};
        default:
            return {0, {}, std::nullopt};
    }
}

class ContextRules : public PluginTest, public testing::WithParamInterface<bool> {
protected:
    void Check(const std::string& name, const ContextRule& rule) {
        const bool contextBefore = GetParam();
        if (contextBefore) {
            Script("startContext");
        }
        const int pushes = app->ContextPushes();
        const size_t kinds = app->UndoKinds().size();
        Script(name);
        EXPECT_EQ(app->ContextPushes() - pushes, rule.pushes) << name;
        EXPECT_EQ(app->ContextDepth(), 0) << name;
        std::vector<ai::int32> set(app->UndoKinds().begin() + static_cast<long>(kinds),
                                   app->UndoKinds().end());
        std::vector<ai::int32> expected = rule.kinds;
        for (ai::int32& kind : expected) {
            if (kind < 0) {
                kind = contextBefore ? 2 : 0;
            }
        }
        EXPECT_EQ(set, expected) << name;

        const size_t before = app->UndoKinds().size();
        Script("translate");
        ASSERT_EQ(app->UndoKinds().size(), before + 1);
        EXPECT_EQ(app->UndoKinds().back(), rule.contextAfter.value_or(contextBefore) ? 2 : 0) << name;
        Script("undoChanges");
    }
};

TEST_P(ContextRules, EveryScriptCommandFollowsItsRoute) {
    for (const Row& row : kRows) {
        if ((row.ways & kByScript) != 0) {
            Check(row.name, RuleOf(row.route));
        }
    }
    Check("noSuchCommand", {0, {}, std::nullopt});
}

INSTANTIATE_TEST_SUITE_P(Context, ContextRules, testing::Values(false, true),
                         [](const testing::TestParamInfo<bool>& info) {
                             return info.param ? "WithinAContext" : "WithoutAContext";
                         });

// Only the reading tag commands leave the undo kind alone; every other command sets it.
TEST_F(ScriptMessages, OnlyTheReadingTagCommandsArePlain) {
    std::set<std::string> plain;
    for (const Row& row : kRows) {
        if (row.route == Route::kPlain) {
            plain.insert(row.name);
        }
    }
    EXPECT_EQ(plain, (std::set<std::string>{"getAllTags", "getByTags", "getTags", "tagNotify",
                                            "validateTagSearches"}));
}

TEST_F(ScriptMessages, ContextStaysOpenAcrossMessagesUntilClosed) {
    Script("startContext");
    for (int i = 0; i < 3; ++i) {
        Script("rotate");
        EXPECT_EQ(app->LastUndoKind(), 2);
    }
    Script("undoChanges");
    Script("rotate");
    EXPECT_EQ(app->LastUndoKind(), 0);
}

}  // namespace
