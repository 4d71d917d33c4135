// Every command of the command table, through every way in that takes it, given requests that are
// wrong in every way a client can be wrong: each answers with a reply that echoes the request's
// "uid", and the application keeps running: nothing crashes, nothing is thrown into the host.
#include <filesystem>
#include <fstream>
#include <string>

#include <unistd.h>

#include "CommandTableRows.h"
#include "FailingRequests.h"
#include "PluginFixture.h"

namespace {

class HostileRequests : public PluginTest {
protected:
    void SetUp() override {
        PluginTest::SetUp();
        OpenExample("sample.json", 3);
    }

    // The JSON reply of a script message; checks that it is an object.
    json ScriptReply(const Row& row, const std::string& request) {
        const host::ScriptResult result = app->ScriptMessage(row.name, request);
        EXPECT_EQ(result.error, kNoErr) << row.name << " " << request;
        if (!row.RepliesWithJson()) {
            EXPECT_EQ(result.output, "") << row.name;
            return json::object();
        }
        const json reply = json::parse(result.output, nullptr, false);
        EXPECT_TRUE(reply.is_object()) << row.name << " answered " << result.output;
        return reply;
    }

    // The JSON reply that a panel event gets, when the row answers with one.
    std::optional<json> PanelReply(const Row& row, const std::string& request) {
        app->Panel().ClearDispatched();
        app->Panel().Send(std::string("com.torvi.event.") + row.name, request, "com.example.asker");
        const auto events = app->Panel().TakeDispatched();
        if (!row.RepliesWithJson()) {
            return std::nullopt;
        }
        EXPECT_EQ(events.size(), 1u) << row.name;
        return events.empty() ? json::object() : json::parse(events.back().data, nullptr, false);
    }
};

TEST_F(HostileRequests, EveryCommandAnswersAnUnreadableRequest) {
    for (const char* request : kUnreadableRequests) {
        for (const Row& row : kRows) {
            if ((row.ways & kByScript) != 0) {
                EXPECT_FALSE(ScriptReply(row, request).contains("uid")) << row.name << " " << request;
            }
        }
    }
    EXPECT_EQ(app->ContextDepth(), 0);
    EXPECT_TRUE(app->IsStarted());
}

TEST_F(HostileRequests, EveryCommandEchoesTheUidOfAFailingRequestOnEveryWayIn) {
    for (const char* request : kFailingRequests) {
        for (const Row& row : kRows) {
            if ((row.ways & kByScript) != 0 && row.RepliesWithJson()) {
                EXPECT_EQ(ScriptReply(row, request).value("uid", ""), "h") << row.name << " " << request;
            }
            if ((row.ways & kByPanel) != 0) {
                if (const std::optional<json> reply = PanelReply(row, request)) {
                    EXPECT_EQ(reply->value("uid", ""), "h") << row.name << " " << request;
                }
            }
            if ((row.ways & kInBatch) != 0) {
                const json reply = json::parse(Script("batchCall", BatchOf(row.name, request)));
                EXPECT_EQ(reply["data"][0]["data"].value("uid", ""), "h") << row.name << " " << request;
            }
        }
    }
    EXPECT_EQ(app->ContextDepth(), 0);
    EXPECT_TRUE(app->IsStarted());
}

// A name that no row has is answered by every way in, the uid echoed where it can be read.
TEST_F(HostileRequests, UnknownNamesAreAnswered) {
    EXPECT_EQ(Script("noSuchCommand", R"({"uid":"h"})"),
              R"({"error":"Unknown event type: noSuchCommand","uid":"h"})");
    const json reply = json::parse(Script("batchCall", BatchOf("noSuchCommand", "{}")));
    EXPECT_EQ(reply["data"][0]["error"], "Unknown eventType: noSuchCommand");
    for (const Row& row : kRows) {
        if ((row.ways & kByScript) == 0) {
            EXPECT_EQ(Script(row.name, "{}"),
                      std::string(R"({"error":"Unknown event type: )") + row.name + "\"}");
        }
        if ((row.ways & kInBatch) == 0) {
            EXPECT_EQ(json::parse(Script("batchCall", BatchOf(row.name, "{}")))["data"][0]["error"],
                      std::string("Unknown eventType: ") + row.name);
        }
    }
}

// The saved form of the current document, byte for byte.
std::string SavedText(host::Application& app) {
    // One name per process: test programs of other build trees may run at the same time.
    const std::filesystem::path file = std::filesystem::temp_directory_path() /
                                       ("plim-hostile-saved-" + std::to_string(::getpid()) + ".json");
    std::string error;
    EXPECT_TRUE(host::model::saveDocument(*app.CurrentDocument(), file, &error)) << error;
    std::ifstream stream(file, std::ios::binary);
    std::string text((std::istreambuf_iterator<char>(stream)), std::istreambuf_iterator<char>());
    std::filesystem::remove(file);
    return text;
}

TEST_F(HostileRequests, RefusedRequestsLeaveTheDocumentAsItWas) {
    const std::string before = SavedText(*app);
    for (const Refusal& refusal : kRefusals) {
        const json reply = ScriptJson(refusal.name, refusal.request);
        EXPECT_EQ(reply.value("error", ""), refusal.error) << refusal.name << " " << refusal.request;
        EXPECT_EQ(reply.dump().find("null"), std::string::npos) << reply;
        EXPECT_EQ(SavedText(*app), before) << refusal.name << " " << refusal.request;
    }
    // Every transformation refused by the application: an error, and nothing moved.
    app->Faults().FailOperation("AI Transform Art Suite", "TransformArt", FourCharCode("FAIL"));
    for (const char* name : {"translate", "rotate", "transform", "alignObjects", "distributeObjects"}) {
        const json reply =
            ScriptJson(name, R"({"tagSearch":"cell","deltaX":5,"rotation":5,"anchorPoint":"L"})");
        EXPECT_EQ(reply.value("error", ""), "The application refused to transform the objects")
            << name << reply;
        EXPECT_EQ(SavedText(*app), before) << name;
    }
    // Some refused: the others move, and the reply warns.
    app->Faults().Clear();
    app->Faults().FailOperation("AI Transform Art Suite", "TransformArt", FourCharCode("FAIL"), 2);
    const json reply = ScriptJson("translate", R"({"tagSearch":"cell","deltaX":5})");
    EXPECT_EQ(reply.value("warning", ""),
              "Objects the application refused to transform were left as they were");
    EXPECT_FALSE(reply.contains("error"));
}

// A request nested far deeper than any client writes is refused before anything works on it.
TEST_F(HostileRequests, DeepRequestsAreRefused) {
    const std::string deep = std::string(100000, '[') + std::string(100000, ']');
    const std::string batch =
        R"({"data":[{"eventType":"com.torvi.event.comment","data":{"a":)" + deep + "}}]}";
    EXPECT_EQ(Script("batchCall", batch),
              R"({"error":"The request is nested too deeply","eventType":"batchCall"})");
    EXPECT_EQ(Script("setTags", R"({"tags":)" + deep + "}"),
              R"({"error":"The request is nested too deeply","eventType":"setTags"})");
}

// A number beyond a double's range is a value out of range of its key, on every way in, with the
// uid echoed wherever it stands; text that only looks like such a number is left alone.
TEST_F(HostileRequests, NumbersBeyondADoubleAreOutOfRange) {
    struct Overflow {
        const char* request;
        const char* error;
    };
    const Overflow overflows[] = {
        {R"({"uid":"h","x":1e400})", R"("x" is out of range)"},
        {R"({"x":-1e400,"uid":"h"})", R"("x" is out of range)"},
        {R"({"uid":"h","box":{"width":[1,2E+999]}})", R"("width" is out of range)"},
        {R"({"a":"1e400 \" [","b":[{"c":1.5e309}],"uid":"h"})", R"("c" is out of range)"},
    };
    for (const Overflow& overflow : overflows) {
        for (const Row& row : kRows) {
            if ((row.ways & kByScript) != 0 && row.RepliesWithJson()) {
                const json reply = ScriptReply(row, overflow.request);
                EXPECT_EQ(reply.value("error", ""), overflow.error) << row.name << " " << overflow.request;
                EXPECT_EQ(reply.value("uid", ""), "h") << row.name << " " << overflow.request;
            }
            if ((row.ways & kByPanel) != 0) {
                if (const std::optional<json> reply = PanelReply(row, overflow.request)) {
                    EXPECT_EQ(reply->value("error", ""), overflow.error)
                        << row.name << " " << overflow.request;
                    EXPECT_EQ(reply->value("uid", ""), "h") << row.name << " " << overflow.request;
                }
            }
        }
        const std::string batch =
            std::string(R"({"uid":"b","data":[{"eventType":"com.torvi.event.translate","data":)") +
            overflow.request + "}]}";
        EXPECT_EQ(Script("batchCall", batch),
                  json({{"error", overflow.error}, {"eventType", "batchCall"}, {"uid", "b"}}).dump());
    }
    // Without a key to name, the request is no JSON the commands can read.
    EXPECT_EQ(
        Script("setTags", "[1e400]"),
        R"({"error":"The request is not valid JSON: number overflow parsing '1e400'","eventType":"setTags"})");
    EXPECT_EQ(app->ContextDepth(), 0);
}

// With no document open every command still answers, and nothing crashes.
TEST_F(HostileRequests, EveryCommandAnswersWithoutADocument) {
    app->CloseDocument();
    for (const char* request :
         {"{\"uid\":\"h\"}", "{\"uid\":\"h\",\"tagSearch\":\"logo\",\"tags\":[\"a\"],\"layerNumber\":1}"}) {
        for (const Row& row : kRows) {
            if ((row.ways & kByScript) != 0 && row.RepliesWithJson()) {
                EXPECT_EQ(ScriptReply(row, request).value("uid", ""), "h") << row.name;
            }
        }
    }
    app->Panel().Send("com.torvi.event.getSymbolList", "");
    EXPECT_EQ(app->NotifySelectionChanged(), kNoErr);
    EXPECT_TRUE(app->IsStarted());
}

}  // namespace
