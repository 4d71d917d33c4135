// "batchCall": entries run in order, each with its own sub-reply, and the flags say whether any
// entry failed or warned.
#include "PluginFixture.h"

namespace {

using BatchCall = PluginTest;

json Entry(const std::string& eventType, const json& data) {
    return json{{"eventType", eventType}, {"data", data}};
}

TEST_F(BatchCall, RunsEntriesInOrderAndKeepsFailedOnesInPlace) {
    const json request = {
        {"uid", "b1"},
        {"data", json::array({
                     Entry("com.torvi.event.comment", {{"uid", "c1"}}),
                     Entry("com.torvi.event.", json::object()),
                     Entry("translate", json::object()),
                     Entry("com.torvi.event.batchCall", json::object()),
                     Entry("com.torvi.event.comment", json::array()),
                     Entry("com.torvi.event.comment", "text"),
                     json{{"eventType", "com.torvi.event.comment"}},
                     json{{"eventType", 5}, {"data", json::object()}},
                     json("not an object"),
                     Entry("com.torvi.event.listUndoPoints", json::object()),
                     Entry("com.torvi.event.comment", json::object()),
                     Entry("com.torvi.whatever.comment", json::object()),
                 })},
    };
    const json reply = ScriptJson("batchCall", request.dump());
    EXPECT_EQ(reply["eventType"], "batchCall");
    EXPECT_EQ(reply["uid"], "b1");
    EXPECT_EQ(reply["errorsPresent"], true);
    EXPECT_EQ(reply["warningsPresent"], false);
    EXPECT_FALSE(reply.contains("error"));
    const json expected = json::array({
        json{{"eventType", "com.torvi.event.comment"}, {"data", {{"eventType", "comment"}, {"uid", "c1"}}}},
        json{{"error", "No eventType found"}},
        json{{"error", "No eventType found"}},
        json{{"eventType", "com.torvi.event.batchCall"}, {"error", "Unknown eventType: batchCall"}},
        json{{"eventType", "com.torvi.event.comment"}, {"error", "No event data found"}},
        json{{"eventType", "com.torvi.event.comment"}, {"error", "No event data found"}},
        json{{"eventType", "com.torvi.event.comment"}, {"error", "No event data found"}},
        json{{"error", "No eventType found"}},
        json{{"error", "No eventType found"}},
        json{{"eventType", "com.torvi.event.listUndoPoints"}, {"error", "Unknown eventType: listUndoPoints"}},
        json{{"eventType", "com.torvi.event.comment"}, {"data", {{"eventType", "comment"}}}},
        json{{"error", "No eventType found"}},
    });
    EXPECT_EQ(reply["data"], expected);
}

TEST_F(BatchCall, AnEntryThatFailsByExceptionReportsItsError) {
    const json request = {{"data", json::array({Entry("com.torvi.event.comment", {{"uid", 7}})})}};
    const json reply = ScriptJson("batchCall", request.dump());
    EXPECT_EQ(reply["errorsPresent"], true);
    EXPECT_EQ(reply["data"][0]["eventType"], "com.torvi.event.comment");
    EXPECT_EQ(reply["data"][0]["data"]["error"], "\"uid\" must be a string");
}

TEST_F(BatchCall, ErrorsInsideCommandRepliesCount) {
    const json request = {{"data", json::array({Entry("com.torvi.event.translate", json::object())})}};
    const json reply = ScriptJson("batchCall", request.dump());
    EXPECT_EQ(reply["errorsPresent"], true);
    EXPECT_EQ(reply["data"][0]["data"]["error"], "No artwork found");
}

TEST_F(BatchCall, DuplicateAndZOrderRunTheSameCommand) {
    const json request = {{"data", json::array({Entry("com.torvi.event.duplicate", json::object()),
                                                Entry("com.torvi.event.z-order", json::object())})}};
    const json reply = ScriptJson("batchCall", request.dump());
    EXPECT_EQ(reply["data"][0]["data"]["eventType"], "duplicate");
    EXPECT_EQ(reply["data"][1]["data"]["eventType"], "move");
}

TEST_F(BatchCall, WithoutDataArray) {
    for (const char* request : {R"({"uid":"x"})", R"({"data":{}})", R"({"data":"a"})", "[]", "5"}) {
        const json reply = ScriptJson("batchCall", request);
        EXPECT_EQ(reply["error"], "No data found") << request;
        EXPECT_EQ(reply["data"], json::array());
        EXPECT_EQ(reply["errorsPresent"], false);
        EXPECT_EQ(reply["warningsPresent"], false);
    }
}

TEST_F(BatchCall, EmptyDataRunsNothing) {
    EXPECT_EQ(Script("batchCall", R"({"data":[]})"),
              R"({"data":[],"errorsPresent":false,"eventType":"batchCall","warningsPresent":false})");
}

TEST_F(BatchCall, EntriesSetNoUndoKindOrContextOfTheirOwn) {
    const int pushes = app->ContextPushes();
    const size_t kinds = app->UndoKinds().size();
    const json request = {{"data", json::array({Entry("com.torvi.event.version", json::object()),
                                                Entry("com.torvi.event.rotate", json::object()),
                                                Entry("com.torvi.event.exportFile", json::object())})}};
    Script("batchCall", request.dump());
    EXPECT_EQ(app->ContextPushes() - pushes, 1);
    EXPECT_EQ(app->UndoKinds().size() - kinds, 1u);
}

}  // namespace
