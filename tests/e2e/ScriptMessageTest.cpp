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
        ReplyCase{"editTextStyle", "{}", R"({"error":"No input style found","eventType":"editTextStyle"})"},
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

// What a message does around its command, by route: the contexts it pushes, the undo kind it sets
// (kNone, 0, or kFromFlag: 2 within a context opened by "startContext", else 0), and whether such a
// context is in force afterwards (kKeep: as before), seen by the kind the next "translate" sets.
// Each command is sent "{}": an export of the new document fails, and a failure leaves the context
// as it was (an export that succeeds closes it: UndoContextTest.cpp).
constexpr int kNone = -1;
constexpr int kFromFlag = -2;
constexpr int kKeep = -1;
struct ContextRule {
    int pushes, kind, contextAfter;
};

// By route, in the order of Route; scripts take no panel-only routes.
constexpr ContextRule kRules[] = {
    {1, kNone, kKeep},      // kPlain
    {1, kFromFlag, kKeep},  // kUndoable
    {0, kNone, kKeep},      // kNoContext
    {1, 0, 1},              // kStartContext
    {1, kNone, 0},          // kUndoChanges
    {1, 0, kKeep},          // kExportFile
    {0, kNone, kKeep},      // kTagNotifyOn
    {0, kNone, kKeep},      // kTagNotifyOff
};

TEST_F(ScriptMessages, EveryCommandFollowsTheContextRulesOfItsRoute) {
    const auto check = [&](const std::string& name, const ContextRule& rule, bool within) {
        if (within) {
            Script("startContext");
        }
        const int pushes = app->ContextPushes();
        const std::vector<ai::int32> kinds = app->UndoKinds();
        Script(name);
        // "closeDocument" closes the only document; the next command needs one again.
        if (app->CurrentDocument() == nullptr) {
            app->NewDocument();
        }
        EXPECT_EQ(app->ContextPushes() - pushes, rule.pushes) << name;
        std::vector<ai::int32> expected = kinds;
        if (rule.kind != kNone) {
            expected.push_back(rule.kind == kFromFlag && within ? 2 : std::max(rule.kind, 0));
        }
        EXPECT_EQ(app->UndoKinds(), expected) << name << (within ? " within a context" : "");
        Script("translate");
        EXPECT_EQ(app->LastUndoKind(), (rule.contextAfter == kKeep ? within : rule.contextAfter == 1) ? 2 : 0)
            << name;
        Script("undoChanges");
    };
    std::set<std::string> plain;
    for (const bool within : {false, true}) {
        for (const Row& row : kRows) {
            if ((row.ways & kByScript) != 0) {
                check(row.name, kRules[static_cast<int>(row.route)], within);
            }
            if (row.route == Route::kPlain) {
                plain.insert(row.name);
            }
        }
        check("noSuchCommand", {0, kNone, kKeep}, within);
    }
    EXPECT_EQ(app->ContextDepth(), 0);
    // Only the reading tag commands leave the undo kind alone.
    EXPECT_EQ(plain, (std::set<std::string>{"getAllTags", "getByTags", "getTags", "tagNotify",
                                            "validateTagSearches"}));
}

// A command's replies carry one event type, whether it reads its request or fails to ("z-order"
// answers "move" either way).
TEST_F(ScriptMessages, EveryCommandAnswersOneEventTypeWhetherItReadsItsRequestOrNot) {
    for (const Row& row : kRows) {
        if ((row.ways & kByScript) == 0 || !row.RepliesWithJson()) {
            continue;
        }
        const json unreadable = ScriptJson(row.name, R"({"uid":5})");
        const json read = ScriptJson(row.name, "{}");
        if (app->CurrentDocument() == nullptr) {
            app->NewDocument();
        }
        EXPECT_EQ(unreadable.value("error", ""), "\"uid\" must be a string") << row.name;
        EXPECT_EQ(unreadable.value("eventType", ""), read.value("eventType", "")) << row.name << " " << read;
    }
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
