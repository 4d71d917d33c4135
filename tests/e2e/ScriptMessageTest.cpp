// Script messages: the command table, the special names, and the application-context and
// undo-kind rules around every command.
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
        ReplyCase{"", "{}", R"({"error":"Unknown event type: "})"},
        ReplyCase{"tagNotifyOn", "{}", ""},
        ReplyCase{"tagNotifyOff", "{}", ""},
        ReplyCase{"translate", R"({"uid":"t"})",
                  R"({"deltaX":0.0,"deltaY":0.0,"error":"No artwork found","eventType":"translate","tagSearch":"","uid":"t"})"},
        ReplyCase{"z-order", "{}",
                  R"({"error":"No source artwork found","eventType":"move","replace":false,"tagSearch":"","tags":[],"targetTagSearch":""})"},
        ReplyCase{"editTextStyle", "{}", R"({"error":"Not implemented yet","eventType":"editTextStyle"})"},
        // A request that the JSON library can't take is answered, never thrown into the host.
        ReplyCase{"comment", R"({"uid":5})", R"({"error":"\"uid\" must be a string","eventType":"comment"})"},
        ReplyCase{"version", R"({"uid":["x"]})", R"({"error":"\"uid\" must be a string","eventType":"version"})"},
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
    const char* name;
    int pushes;
    std::vector<ai::int32> kinds;
    bool contextAfter;

    friend void PrintTo(const ContextRule& rule, std::ostream* out) { *out << rule.name; }
};

class ContextRules : public PluginTest, public testing::WithParamInterface<ContextRule> {
protected:
    void Check(bool contextBefore) {
        const ContextRule& rule = GetParam();
        if (contextBefore) {
            Script("startContext");
        }
        const int pushes = app->ContextPushes();
        const size_t kinds = app->UndoKinds().size();
        Script(rule.name);
        EXPECT_EQ(app->ContextPushes() - pushes, rule.pushes) << rule.name;
        EXPECT_EQ(app->ContextDepth(), 0) << rule.name;
        std::vector<ai::int32> set(app->UndoKinds().begin() + static_cast<long>(kinds), app->UndoKinds().end());
        std::vector<ai::int32> expected = rule.kinds;
        // Kinds taken from the context flag are 2 while a context is in force.
        for (ai::int32& kind : expected) {
            if (kind < 0) {
                kind = contextBefore ? 2 : 0;
            }
        }
        EXPECT_EQ(set, expected) << rule.name;

        const size_t before = app->UndoKinds().size();
        Script("translate");
        ASSERT_EQ(app->UndoKinds().size(), before + 1);
        const bool contextAfter = rule.contextAfter || (contextBefore && std::string(rule.name) != "undoChanges" &&
                                                        std::string(rule.name) != "exportFile");
        EXPECT_EQ(app->UndoKinds().back(), contextAfter ? 2 : 0) << rule.name;
    }
};

// -1 stands for the kind taken from the flag.
constexpr ai::int32 kFromFlag = -1;

TEST_P(ContextRules, WithoutAContext) { Check(false); }
TEST_P(ContextRules, WithinAContext) { Check(true); }

INSTANTIATE_TEST_SUITE_P(
    Names, ContextRules,
    testing::Values(ContextRule{"translate", 1, {kFromFlag}, false}, ContextRule{"version", 1, {kFromFlag}, false},
                    ContextRule{"batchCall", 1, {kFromFlag}, false}, ContextRule{"getTags", 1, {}, false},
                    ContextRule{"getAllTags", 1, {}, false}, ContextRule{"getByTags", 1, {}, false},
                    ContextRule{"tagNotify", 1, {}, false}, ContextRule{"validateTagSearches", 1, {}, false},
                    ContextRule{"comment", 0, {}, false}, ContextRule{"duplicate", 1, {kFromFlag}, false},
                    ContextRule{"z-order", 1, {kFromFlag}, false}, ContextRule{"exportFile", 1, {0}, false},
                    ContextRule{"startContext", 1, {0}, true}, ContextRule{"undoChanges", 1, {}, false},
                    ContextRule{"tagNotifyOn", 0, {}, false}, ContextRule{"tagNotifyOff", 0, {}, false},
                    ContextRule{"noSuchCommand", 0, {}, false}),
    [](const testing::TestParamInfo<ContextRule>& info) {
        std::string name = info.param.name;
        name.erase(std::remove(name.begin(), name.end(), '-'), name.end());
        return name;
    });

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
