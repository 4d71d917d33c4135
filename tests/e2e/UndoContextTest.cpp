// Undo contexts: a client groups commands into one undo step and takes them back; art snapshots
// kept in art dictionaries are put back in place.
#include <algorithm>
#include <fstream>
#include <initializer_list>
#include <ostream>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "CommandTableRows.h"
#include "FailingRequests.h"
#include "PluginFixture.h"
#include "ProgramRun.h"
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

// A request the undo commands can't read fails with the reason, moves nothing and leaves the open
// context open: a key of another type is no default key.
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
    EXPECT_EQ(app->LastUndoKind(), 2);
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

// A command that fails inside an undo context leaves the context open, whatever it is and whichever
// way it came in: the changes after it still join the context's one step, which undoChanges takes
// back. An export that fails closes no context; a start or an undo that fails neither opens nor
// closes one.
struct InContextCase {
    std::string command;
    std::string request;
    std::string error;

    friend void PrintTo(const InContextCase& c, std::ostream* out) { *out << c.command << " " << c.request; }
};

std::vector<InContextCase> InContextCases() {
    std::vector<InContextCase> cases = {
        {"exportFile", R"({"formats":["png"],"artboardRange":"9"})", "Can't process artboard ranges"},
        {"exportFile", R"({"formats":"png"})", "Can't read file formats"},
        {"exportFile", R"({"formats":["png"],"reopenSourceFile":"yes"})",
         "\"reopenSourceFile\" must be true or false"},
        {"text", R"({"tagSearch":"label","searchText":"zzz","fittingMethod":"shrinkToFrame"})",
         "No text to fit found"},
        {"text",
         R"({"tagSearch":"price","searchText":"9","replaceText":"8","mode":0,"fittingMethod":"none"})",
         "Unknown fitting method"},
        {"startContext", R"({"key":7})", "\"key\" must be a string"},
        {"undoChanges", R"({"key":"nope"})", "Key not found"},
        {"undoChanges", R"({"key":[]})", "\"key\" must be a string"},
        {"z-order", R"({"tagSearch":"logo","numberOfCopies":"2"})", "\"numberOfCopies\" must be a number"},
        {"editLayer", R"({"mode":"remove","layerName":"Nope"})", "Can't find a layer"},
        {"rotate", R"({"tagSearch":"(","rotation":10})", "No artwork found"},
        {"batchCall", R"({"data":5})", "No data found"},
    };
    for (const Refusal& refusal : kRefusals) {
        cases.push_back({refusal.name, refusal.request, refusal.error});
    }
    return cases;
}

class SampleFile : public UndoContext {
protected:
    // The sample opened from a file of its own, as a user opens it, so that export gets past its
    // first checks.
    void SetUp() override {
        PluginTest::SetUp();
        std::ifstream in(std::string(PLIM_SOURCE_DIR) + "/examples/sample.json", std::ios::binary);
        std::ostringstream text;
        text << in.rdbuf();
        OpenDocumentFile(scratch.Write("sample.ai", text.str()), 11);
    }

    json Send(const std::string& command, const std::string& request, unsigned way) {
        if (way == kByScript) {
            return ScriptJson(command, request);
        }
        app->Panel().ClearDispatched();
        app->Panel().Send("com.torvi.event." + command, request, "com.example.asker");
        const auto events = app->Panel().TakeDispatched();
        return events.empty() ? json::object() : json::parse(events.back().data, nullptr, false);
    }

    std::string Out() const { return (scratch.Path() / "out").string(); }

    testsupport::ScratchFolder scratch{"failure_in_context"};
};

class FailureInContext : public SampleFile, public testing::WithParamInterface<InContextCase> {};

TEST_P(FailureInContext, LeavesTheContextOpen) {
    const InContextCase& c = GetParam();
    json request = json::parse(c.request);
    if (c.command == "exportFile") {
        request["folderPath"] = Out();
        request["fileName"] = "out";
    }
    const std::string start = Saved();
    const int past = app->PastTransactions();
    const Row* row = std::find_if(std::begin(kRows), std::end(kRows),
                                  [&](const Row& each) { return each.name == c.command; });
    ASSERT_NE(row, std::end(kRows));
    for (const unsigned way : {kByScript, kByPanel}) {
        if ((row->ways & way) == 0) {
            continue;
        }
        ASSERT_EQ(ScriptJson("startContext", R"({"key":"k"})").count("error"), 0u);
        ASSERT_EQ(ScriptJson("rotate", R"({"tagSearch":"logo","rotation":10})").count("error"), 0u);
        EXPECT_EQ(Send(c.command, request.dump(), way).value("error", ""), c.error) << "way " << way;
        ASSERT_EQ(ScriptJson("rotate", R"({"tagSearch":"logo","rotation":10})").count("error"), 0u);
        EXPECT_EQ(ScriptJson("listUndoPoints").at("undoPoints"), json::parse(R"([[-1,"k"]])"))
            << "way " << way;
        EXPECT_EQ(app->PastTransactions(), past + 1) << "way " << way;
        EXPECT_EQ(ScriptJson("undoChanges", R"({"key":"k"})").count("error"), 0u);
        EXPECT_EQ(Saved(), start) << "way " << way;
    }
    EXPECT_FALSE(std::filesystem::exists(scratch.Path() / "out")) << "a failed export wrote nothing";
}

INSTANTIATE_TEST_SUITE_P(Tables, FailureInContext, testing::ValuesIn(InContextCases()));

// An export that succeeds closes the context: the changes after it make a step of their own.
TEST_F(SampleFile, AnExportThatSucceedsClosesTheContext) {
    Script("startContext", R"({"key":"k"})");
    Script("rotate", R"({"tagSearch":"logo","rotation":10})");
    const json exported = ScriptJson(
        "exportFile", json{{"formats", {"png"}}, {"folderPath", Out()}, {"fileName", "out"}}.dump());
    ASSERT_FALSE(exported.contains("error")) << exported;
    Script("rotate", R"({"tagSearch":"logo","rotation":10})");
    EXPECT_EQ(ScriptJson("listUndoPoints").at("undoPoints"), json::parse(R"([[-2,"k"]])"));
}

// A document saved part way through a call stays saved when what follows in the call changes
// nothing: the batch's earlier entries count as saved, and a failed entry after the save takes back
// only its own changes.
TEST_F(SampleFile, ASaveInsideABatchCountsTheEntriesBeforeIt) {
    const auto batch = [&](std::initializer_list<std::pair<const char*, const char*>> entries) {
        json data = json::array();
        for (const auto& [name, request] : entries) {
            data.push_back(
                {{"eventType", std::string("com.torvi.event.") + name}, {"data", json::parse(request)}});
        }
        return ScriptJson("batchCall", json{{"data", data}}.dump());
    };
    const char* rotate = R"({"tagSearch":"logo","rotation":10})";
    EXPECT_EQ(batch({{"rotate", rotate}, {"saveFile", "{}"}}).at("errorsPresent"), false);
    EXPECT_FALSE(app->DocumentModified());
    EXPECT_EQ(ScriptJson("openFile", "{}").value("isSaved", false), true);
    EXPECT_EQ(
        batch({{"rotate", rotate}, {"saveFile", "{}"}, {"rotate", R"({"tagSearch":"(","rotation":10})"}})
            .at("errorsPresent"),
        true);
    EXPECT_FALSE(app->DocumentModified());
    batch({{"rotate", rotate}, {"saveFile", "{}"}, {"rotate", rotate}});
    EXPECT_TRUE(app->DocumentModified());
}

// A save marks the document saved and ends no step: the call that saves is one step whatever it
// holds, a context's commands still join its one step, and undo takes back all of a step, what came
// before the save included. Each row sends its calls in order ("batch" entries as one batchCall); one
// undo then gives the document as it was after call `undoneTo` (0: before the first).
struct SaveCall {
    std::string name;
    std::vector<std::pair<std::string, std::string>> entries;  // a batchCall's, else one request
};

struct SaveInStepCase {
    const char* label;
    std::vector<SaveCall> calls;
    int steps;  // steps the calls add to the history (none: the calls end where they began)
    bool modified;
    std::size_t undoneTo;

    friend void PrintTo(const SaveInStepCase& c, std::ostream* out) { *out << c.label; }
};

const std::pair<std::string, std::string> kAddBL{"editLayer", R"({"mode":"add","layerName":"BL"})"};
const std::pair<std::string, std::string> kAddBM{"editLayer", R"({"mode":"add","layerName":"BM"})"};
const std::pair<std::string, std::string> kSave{"saveFile", "{}"};

SaveCall One(const std::pair<std::string, std::string>& entry) {
    return {entry.first, {entry}};
}
SaveCall Batch(std::vector<std::pair<std::string, std::string>> entries) {
    return {"batchCall", std::move(entries)};
}

const SaveCall kStart{"startContext", {{"startContext", R"({"key":"k"})"}}};

const SaveInStepCase kSaveInStepCases[] = {
    {"a batch that saves between two changes", {Batch({kAddBL, kSave, kAddBM})}, 1, true, 0},
    {"a batch that saves last", {Batch({kAddBL, kAddBM, kSave})}, 1, false, 0},
    {"a batch that saves first", {Batch({kSave, kAddBL, kAddBM})}, 1, true, 0},
    {"a batch that saves twice", {Batch({kAddBL, kSave, kAddBM, kSave})}, 1, false, 0},
    {"a batch whose entry after the save fails",
     {Batch({kAddBL, kSave, kAddBM, {"rotate", R"({"tagSearch":"(","rotation":10})"}})},
     1,
     true,
     0},
    {"a batch that takes back after the save what it did before",
     {Batch({kAddBL, kSave, {"editLayer", R"({"mode":"remove","layerName":"BL"})"}})},
     0,
     true,
     0},
    {"a save between two commands", {One(kAddBL), One(kSave), One(kAddBM)}, 2, true, 2},
    {"a save inside a context", {kStart, One(kAddBL), One(kSave), One(kAddBM)}, 1, true, 0},
    {"a batch that saves inside a context", {kStart, Batch({kAddBL, kSave, kAddBM})}, 1, true, 0},
    {"a save inside a context taken back",
     {kStart, One(kAddBL), One(kSave), One(kAddBM), One({"undoChanges", R"({"key":"k"})"}),
      One({"editLayer", R"({"mode":"add","layerName":"BN"})"})},
     1,
     true,
     5},
};

class SaveInStep : public SampleFile, public testing::WithParamInterface<SaveInStepCase> {};

TEST_P(SaveInStep, LeavesTheStepWhole) {
    const SaveInStepCase& c = GetParam();
    std::vector<std::string> states{Saved()};
    const int past = app->PastTransactions();
    for (const SaveCall& call : c.calls) {
        json reply;
        if (call.name == "batchCall") {
            json data = json::array();
            for (const auto& [name, request] : call.entries) {
                data.push_back({{"eventType", "com.torvi.event." + name}, {"data", json::parse(request)}});
            }
            reply = ScriptJson("batchCall", json{{"data", data}}.dump());
        } else {
            reply = ScriptJson(call.name, call.entries.front().second);
            EXPECT_EQ(reply.count("error"), 0u) << reply;
        }
        states.push_back(Saved());
    }
    EXPECT_EQ(app->PastTransactions(), past + c.steps);
    EXPECT_EQ(app->DocumentModified(), c.modified);
    if (c.steps == 0) {
        EXPECT_TRUE(Saved() == states.front()) << "no step, no change";
        return;
    }
    ASSERT_EQ(app->Undo(), kNoErr);
    EXPECT_TRUE(Saved() == states.at(c.undoneTo)) << "one undo";
    ASSERT_EQ(app->Redo(), kNoErr);
    EXPECT_TRUE(Saved() == states.back()) << "redo";
}

INSTANTIATE_TEST_SUITE_P(Tables, SaveInStep, testing::ValuesIn(kSaveInStepCases));

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
