// Undo contexts: a client groups commands into one undo step and takes them back; art snapshots
// kept in art dictionaries are put back in place.
#include "PluginFixture.h"
#include "model/DocumentFormat.h"

namespace {

class UndoContext : public PluginTest {
protected:
    void SetUp() override {
        PluginTest::SetUp();
        OpenExample("sample.json", 11);
    }

    std::string Saved() {
        auto written = host::model::writeDocument(*app->CurrentDocument());
        EXPECT_TRUE(written.text) << written.error;
        return written.text.value_or("");
    }
};

TEST_F(UndoContext, UndoChangesRestoresTheDocumentByteForByte) {
    const std::string before = Saved();
    EXPECT_EQ(Script("startContext", R"({"uid":"s"})"), R"({"eventType":"startContext","uid":"s"})");
    Script("setTags", R"({"tagSearch":"logo","tags":["one"]})");
    Script("removeTags", R"({"tags":["title"]})");
    Script("selectByTags", R"({"tagSearch":"icon"})");
    EXPECT_NE(Saved(), before);
    EXPECT_EQ(Script("undoChanges", R"({"uid":"u"})"), R"({"eventType":"undoChanges","uid":"u"})");
    EXPECT_EQ(Saved(), before);
}

TEST_F(UndoContext, ListUndoPointsListsTheTaggedTransactions) {
    Script("setTags", R"({"tagSearch":"logo","tags":["a"]})");
    Script("startContext", R"({"key":"first"})");
    Script("setTags", R"({"tagSearch":"logo","tags":["b"]})");
    Script("undoChanges", R"({"key":"first"})");
    Script("setTags", R"({"tagSearch":"logo","tags":["c"]})");
    Script("startContext");
    Script("setTags", R"({"tagSearch":"logo","tags":["d"]})");
    EXPECT_EQ(Script("listUndoPoints"),
              R"({"eventType":"listUndoPoints","undoPoints":[[-1,"com.torvi.PlimUtils_Tag"]]})");
}

TEST_F(UndoContext, UndoChangesGoesToTheNearestTransactionWithTheKey) {
    Script("startContext", R"({"key":"k"})");
    Script("setTags", R"({"tagSearch":"logo","tags":["first"]})");
    const std::string afterFirst = Saved();
    Script("startContext", R"({"key":"k"})");
    Script("setTags", R"({"tagSearch":"logo","tags":["second"]})");
    Script("undoChanges", R"({"key":"k"})");
    EXPECT_EQ(Saved(), afterFirst);
}

TEST_F(UndoContext, WithoutAContextNothingIsUndone) {
    Script("setTags", R"({"tagSearch":"logo","tags":["kept"]})");
    const std::string before = Saved();
    EXPECT_EQ(Script("undoChanges"), R"({"error":"Key not found","eventType":"undoChanges"})");
    EXPECT_EQ(Script("undoChanges", R"({"key":"nope"})"),
              R"({"error":"Key not found","eventType":"undoChanges"})");
    EXPECT_EQ(Saved(), before);
}

TEST_F(UndoContext, RedoesToAKeyAhead) {
    const std::string original = Saved();
    Script("startContext", R"({"key":"ahead"})");
    Script("setTags", R"({"tagSearch":"logo","tags":["x"]})");
    Script("startContext", R"({"key":"later"})");
    Script("setTags", R"({"tagSearch":"logo","tags":["y"]})");
    const std::string latest = Saved();
    Script("undoChanges", R"({"key":"ahead"})");
    EXPECT_EQ(Saved(), original);
    // "later" now lies ahead: stepping to it redoes both transactions.
    EXPECT_EQ(Script("undoChanges", R"({"key":"later"})"), R"({"eventType":"undoChanges"})");
    EXPECT_EQ(Saved(), latest);
}

TEST_F(UndoContext, AFailingCountIsReported) {
    Script("startContext");
    app->Faults().FailOperation("AI Undo Suite", "CountTransactions", FourCharCode("BOOM"));
    EXPECT_EQ(Script("undoChanges"), R"({"error":"Can't read the undo history","eventType":"undoChanges"})");
    EXPECT_EQ(Script("listUndoPoints"),
              R"({"error":"Can't read the undo history","eventType":"listUndoPoints"})");
}

TEST_F(UndoContext, AFailedStartLeavesNoContextInForce) {
    app->Faults().FailOperation("AI Document Suite", "GetDictionary", FourCharCode("BOOM"));
    EXPECT_EQ(Script("startContext"), R"({"error":"Dictionary not found","eventType":"startContext"})");
    Script("translate");
    EXPECT_EQ(app->LastUndoKind(), 0);

    app->Faults().Clear();
    app->CloseDocument();
    EXPECT_EQ(Script("startContext"), R"({"error":"Document not found","eventType":"startContext"})");
    Script("translate");
    EXPECT_EQ(app->LastUndoKind(), 0);
    EXPECT_EQ(Script("listUndoPoints"), R"({"error":"Document not found","eventType":"listUndoPoints"})");
}

// A request the undo commands can't read fails with the reason, opens no context, and moves
// nothing: a key of another type is no default key.
struct UnreadableCase {
    const char* command;
    const char* request;
    const char* reply;
};

class UnreadableUndoRequest : public UndoContext, public testing::WithParamInterface<UnreadableCase> {};

TEST_P(UnreadableUndoRequest, FailsAndLeavesTheHistoryAsItWas) {
    Script("startContext", R"({"key":"open"})");
    Script("setTags", R"({"tagSearch":"logo","tags":["a"]})");
    const std::string before = Saved();
    EXPECT_EQ(Script(GetParam().command, GetParam().request), GetParam().reply);
    EXPECT_EQ(Saved(), before);
    EXPECT_EQ(Script("listUndoPoints"), R"({"eventType":"listUndoPoints","undoPoints":[[-1,"open"]]})");
    Script("translate", R"({"tagSearch":"logo","deltaX":1})");
    EXPECT_EQ(app->LastUndoKind(), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Keys, UnreadableUndoRequest,
    testing::Values(
        UnreadableCase{"startContext", R"({"key":7,"uid":"k"})",
                       R"({"error":"\"key\" must be a string","eventType":"startContext","uid":"k"})"},
        UnreadableCase{"startContext", R"({"key":null})",
                       R"({"error":"\"key\" must be a string","eventType":"startContext"})"},
        UnreadableCase{"startContext", R"({"key":["open"]})",
                       R"({"error":"\"key\" must be a string","eventType":"startContext"})"},
        UnreadableCase{
            "startContext", R"({"key":)",
            R"({"error":"The request is not valid JSON: parse error at line 1, column 8: syntax error while parsing value - unexpected end of input; expected '[', '{', or a literal","eventType":"startContext"})"},
        UnreadableCase{"undoChanges", R"({"key":7,"uid":"k"})",
                       R"({"error":"\"key\" must be a string","eventType":"undoChanges","uid":"k"})"},
        UnreadableCase{"undoChanges", R"({"key":false})",
                       R"({"error":"\"key\" must be a string","eventType":"undoChanges"})"}));

TEST_F(UndoContext, SnapshotsBringBackArtWithItsTags) {
    EXPECT_EQ(Script("copyToDictionary", R"({"tagSearch":"logo"})"),
              R"({"eventType":"copyToDictionary","tagSearch":"logo"})");
    Script("setTags", R"({"tagSearch":"logo","tags":["changed"],"replace":true})");
    Script("removeTags", R"({"tags":["icon"]})");
    EXPECT_EQ(Script("restoreFromDictionary", R"({"tagSearch":"changed"})"),
              R"({"eventType":"restoreFromDictionary","tagSearch":"changed"})");
    const json found = ScriptJson("getByTags", R"({"tagSearch":"logo"})");
    ASSERT_TRUE(found.contains("uuid")) << found;
    EXPECT_EQ(found["uuid"].size(), 1u);
    EXPECT_EQ(ScriptJson("getByTags", R"({"tagSearch":"changed"})")["error"], "No artwork found");
    EXPECT_EQ(ScriptJson("getByTags", R"({"tagSearch":"icon"})")["uuid"].size(), 1u);
}

TEST_F(UndoContext, RestoringAnObjectAndItsMemberTogetherUsesNoStaleHandle) {
    Script("copyToDictionary", R"({"tagSearch":"logo|icon"})");
    EXPECT_EQ(Script("restoreFromDictionary", R"({"tagSearch":"logo|icon"})"),
              R"({"eventType":"restoreFromDictionary","tagSearch":"logo|icon"})");
    EXPECT_EQ(ScriptJson("getByTags", R"({"tagSearch":"logo"})")["uuid"].size(), 1u);
}

TEST_F(UndoContext, SnapshotCommandsWithoutArt) {
    EXPECT_EQ(Script("copyToDictionary"),
              R"({"error":"No artwork found","eventType":"copyToDictionary","tagSearch":""})");
    EXPECT_EQ(Script("restoreFromDictionary", R"({"tagSearch":"zzz"})"),
              R"({"error":"No artwork found","eventType":"restoreFromDictionary","tagSearch":"zzz"})");
    // Art that never had a snapshot stays as it is.
    const std::string before = Saved();
    EXPECT_EQ(Script("restoreFromDictionary", R"({"tagSearch":"title"})"),
              R"({"eventType":"restoreFromDictionary","tagSearch":"title"})");
    EXPECT_EQ(Saved(), before);
}

}  // namespace
