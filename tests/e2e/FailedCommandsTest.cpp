// A command that answers "error" leaves the document as it was: the failing requests of every table
// of the e2e tests, sent by every way in that takes them, keep the saved document byte for byte, the
// undo history (what undo takes back, what redo repeats, their tags), the modified flag (of a saved
// document and of a changed one) and the panel's events (no selection announced) as they were. Inside a batch
// or an undo context a failure takes back only its own changes. The one failure that keeps work on purpose is
// a text fit that fitted the other texts.
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "AIDocument.h"
#include "CommandTableRows.h"
#include "FailingRequests.h"
#include "PluginFixture.h"

namespace {

// What undo and redo can do, and whether the document counts as changed.
struct HistoryState {
    int past = 0;
    int future = 0;
    std::vector<std::optional<std::string>> tags;
    bool modified = false;

    bool operator==(const HistoryState&) const = default;
    friend void PrintTo(const HistoryState& h, std::ostream* out) {
        *out << "past " << h.past << ", future " << h.future << ", tags " << h.tags.size()
             << (h.modified ? ", modified" : "");
    }
};

// A chain of nested layers, "L0" outermost, "L<depth - 1>" innermost.
std::string NestedLayersDocument(int depth) {
    json layer = {{"type", "layer"}, {"title", "L" + std::to_string(depth - 1)}, {"children", json::array()}};
    for (int n = depth - 2; n >= 0; --n) {
        layer = {{"type", "layer"}, {"title", "L" + std::to_string(n)}, {"children", json::array({layer})}};
    }
    return json{{"format", "plimhost-document"},
                {"version", 1},
                {"artboards", {{{"name", "A"}, {"rect", {0.0, 100.0, 100.0, 0.0}}}}},
                {"layers", json::array({layer})}}
        .dump();
}

enum class Start { sample, limits, nestedLayers };

// Whether the document starts changed since it was saved, or saved as it stands.
enum class Flag { modified, saved };

class FailedCommands : public PluginTest {
protected:
    // Opens the document and gives its history a step to undo and one to redo; a saved document is
    // then marked saved as the application marks it after a save.
    void Open(Start start, Flag flag = Flag::modified) {
        if (start == Start::sample) {
            OpenExample("sample.json", 3);
        } else {
            OpenDocumentText(start == Start::limits ? LimitsDocument() : NestedLayersDocument(130), 3);
        }
        for (const char* name : {"Done", "Undone"}) {
            ASSERT_EQ(
                ScriptJson("editLayer", json{{"mode", "add"}, {"layerName", name}}.dump()).count("error"),
                0u);
        }
        ASSERT_EQ(app->Undo(), kNoErr);
        opened = start;
        openedFlag = flag;
        if (flag == Flag::saved) {
            const AIDocumentSuite* documents = nullptr;
            ASSERT_EQ(app->BasicSuite().AcquireSuite(kAIDocumentSuite, kAIDocumentSuiteVersion,
                                                     reinterpret_cast<const void**>(&documents)),
                      kNoErr);
            EXPECT_EQ(documents->SetDocumentModified(false), kNoErr);
            app->BasicSuite().ReleaseSuite(kAIDocumentSuite, kAIDocumentSuiteVersion);
            ASSERT_FALSE(app->DocumentModified());
        }
    }

    std::string Saved() { return *host::model::writeDocument(*app->CurrentDocument()).text; }

    HistoryState History() {
        HistoryState state{app->PastTransactions(), app->FutureTransactions(), {}, app->DocumentModified()};
        for (int n = -state.past; n <= state.future; ++n) {
            state.tags.push_back(app->TransactionTag(n));
        }
        return state;
    }

    // The reply of the command by the way in: a script message, a panel event or a batch entry (the
    // entry's command reply). A panel's reply comes last of the events it gets, their count in
    // panelEvents.
    json Send(const std::string& name, const std::string& request, unsigned way) {
        if (way == kByPanel) {
            app->Panel().ClearDispatched();
            app->Panel().Send("com.torvi.event." + name, request, "com.example.asker");
            const auto events = app->Panel().TakeDispatched();
            panelEvents = events.size();
            return events.empty() ? json::object() : json::parse(events.back().data, nullptr, false);
        }
        if (way == kInBatch) {
            const json reply = ScriptJson("batchCall", BatchOf(name, request));
            return reply["data"][0].value("data", json::object());
        }
        return json::parse(Script(name, request), nullptr, false);
    }

    // Sends the request; when the reply holds "error", expects the document, its history and the
    // modified flag as before, and the history still usable: redo and undo step as they did.
    // Answers whether the command failed; a command that did not fail leaves a fresh document.
    bool ExpectNothingChangedOnError(const std::string& name, const std::string& request, unsigned way) {
        const std::string before = Saved();
        const HistoryState history = History();
        const json reply = Send(name, request, way);
        if (!reply.is_object() || !reply.contains("error")) {
            Open(opened, openedFlag);
            return false;
        }
        const std::string label =
            name + " " + request + " (way " + std::to_string(way) + "): " + reply.dump();
        if (app->CurrentDocument() == nullptr) {
            ADD_FAILURE() << label << " closed the document";
            Open(opened, openedFlag);
            return true;
        }
        EXPECT_TRUE(Saved() == before) << label;
        EXPECT_EQ(History(), history) << label;
        if (way == kByPanel) {
            EXPECT_EQ(panelEvents, 1u) << label << ": the reply alone, no change of the selection";
        }
        EXPECT_EQ(app->Redo(), kNoErr) << label;
        EXPECT_EQ(app->Undo(), kNoErr) << label;
        EXPECT_TRUE(Saved() == before) << label;
        return true;
    }

    Start opened = Start::sample;
    Flag openedFlag = Flag::modified;
    std::size_t panelEvents = 0;
};

// Requests wrong in every way, to every command by every way in, on a saved document, which stays
// saved. Counts the failures, so that a table that stopped failing does not go unnoticed.
TEST_F(FailedCommands, EveryFailingRequestOfTheTablesChangesNothing) {
    Open(Start::sample, Flag::saved);
    int failures = 0;
    for (const Row& row : kRows) {
        if (!row.RepliesWithJson()) {
            continue;
        }
        for (const unsigned way : {kByScript, kByPanel, kInBatch}) {
            if ((row.ways & way) == 0) {
                continue;
            }
            for (const char* request : kFailingRequests) {
                failures += ExpectNothingChangedOnError(row.name, request, way) ? 1 : 0;
            }
            for (const char* request : kUnreadableRequests) {
                // A batch entry's data must be an object.
                if (way != kInBatch || json::parse(request, nullptr, false).is_object()) {
                    failures += ExpectNothingChangedOnError(row.name, request, way) ? 1 : 0;
                }
            }
        }
    }
    EXPECT_GT(failures, 1500);
}

// One request that fails, with the document it is sent to and a host operation made to fail first.
struct ErrorCase {
    std::string name;
    Start start;
    std::string command;
    std::string request;
    std::string error;
    std::string suite = {};  // empty: no fault
    std::string operation = {};
    int onCall = 0;

    friend void PrintTo(const ErrorCase& c, std::ostream* out) { *out << c.name; }
};

std::vector<ErrorCase> ErrorCases() {
    std::vector<ErrorCase> cases = {
        // The copy of the outermost layer can't go inside the innermost: the copy goes again.
        {"DuplicateIntoItsOwnChain", Start::nestedLayers, "editLayer",
         R"({"mode":"duplicate","layerName":"L0","location":"insideOnTop","targetLayer":"L129"})",
         "Can't move a layer"},
        // The layer's new name stays unwritten when the move fails.
        {"EditThenMoveIntoItself", Start::nestedLayers, "editLayer",
         R"({"mode":"edit","layerName":"L0","newName":"Renamed","location":"insideOnTop","targetLayer":"L5"})",
         "Can't move a layer"},
        // The copy is made, then its original can't be removed: the copy goes again.
        {"PlacedCopyWhoseOriginalStays", Start::sample, "place",
         R"({"placeTagSearch":"logo","keepOriginal":false,"tags":["copy"]})",
         "Cant't remove an art specified by placeTagSearch", "AI Art Suite", "DisposeArt"},
        // Replaced first, then nothing to fit (point text): the replacement goes again.
        {"ReplacedThenNotFitted", Start::sample, "text",
         R"({"tagSearch":"price","searchText":"9","replaceText":"8","mode":0,"fittingMethod":"fitToFrame"})",
         "No text to fit found"},
        // Fitting looks for texts it can fit first, which reads the modified flag and puts it back.
        {"NoParagraphToFit", Start::sample, "text",
         R"({"tagSearch":"label","searchText":"zzz","fittingMethod":"shrinkToFrame"})",
         "No text to fit found"},
        {"ReplacedThenNoFittingMethod", Start::sample, "text",
         R"({"tagSearch":"price","searchText":"9","replaceText":"8","mode":0,"fittingMethod":"none"})",
         "Unknown fitting method"},
    };
    int n = 0;
    for (const Refusal& refusal : kRefusals) {
        cases.push_back(
            {"Refusal" + std::to_string(n++), Start::sample, refusal.name, refusal.request, refusal.error});
    }
    for (const FailingCase& limit : kLimitCases) {
        cases.push_back({limit.name, Start::limits, limit.command, limit.request, limit.error});
    }
    for (const PartialCase& partial : kPartialCases) {
        cases.push_back({partial.name, Start::sample, partial.command, partial.request, partial.error,
                         partial.suite, partial.operation, partial.onCall});
    }
    return cases;
}

class FailedCommandCases : public FailedCommands, public testing::WithParamInterface<ErrorCase> {};

TEST_P(FailedCommandCases, LeaveTheDocumentAndItsHistoryAsTheyWere) {
    const ErrorCase& c = GetParam();
    for (const auto& [way, flag] : {std::pair{kByScript, Flag::modified},
                                    {kByScript, Flag::saved},
                                    {kInBatch, Flag::modified},
                                    {kInBatch, Flag::saved}}) {
        Open(c.start, flag);
        const std::string before = Saved();
        const HistoryState history = History();
        if (!c.suite.empty()) {
            app->Faults().FailOperation(c.suite, c.operation, kCantHappenErr, c.onCall);
        }
        const json reply = Send(c.command, c.request, way);
        app->Faults().Clear();
        EXPECT_EQ(reply.value("error", ""), c.error) << reply;
        const std::string label = "way " + std::to_string(way) + (flag == Flag::saved ? ", saved" : "");
        EXPECT_TRUE(Saved() == before) << label;
        EXPECT_EQ(History(), history) << label;
        EXPECT_EQ(app->Redo(), kNoErr);
        EXPECT_EQ(app->Undo(), kNoErr);
        EXPECT_TRUE(Saved() == before);
    }
}

INSTANTIATE_TEST_SUITE_P(Tables, FailedCommandCases, testing::ValuesIn(ErrorCases()),
                         [](const testing::TestParamInfo<ErrorCase>& info) { return info.param.name; });

// In a batch, a failed entry takes back its own changes only: the document is the one the entries
// that succeeded make, in one undo step.
TEST_F(FailedCommands, AFailedBatchEntryTakesBackOnlyItsOwnChanges) {
    Open(Start::nestedLayers);
    ASSERT_EQ(
        ScriptJson("editLayer", R"({"mode":"add","layerName":"Top","location":"aboveAll"})").count("error"),
        0u);
    const std::string expected = Saved();
    Open(Start::nestedLayers);
    const int past = app->PastTransactions();
    const json entries = json::array(
        {json{{"eventType", "com.torvi.event.editLayer"},
              {"data", {{"mode", "add"}, {"layerName", "Top"}, {"location", "aboveAll"}}}},
         json{{"eventType", "com.torvi.event.editLayer"},
              {"data", json::parse(R"({"mode":"duplicate","layerName":"L0","location":"insideOnTop",)"
                                   R"("targetLayer":"L129"})")}}});
    const json reply = ScriptJson("batchCall", json{{"data", entries}}.dump());
    EXPECT_EQ(reply["errorsPresent"], true);
    EXPECT_EQ(reply["data"][1]["data"].value("error", ""), "Can't move a layer");
    EXPECT_TRUE(Saved() == expected);
    EXPECT_EQ(app->PastTransactions(), past + 1);
    EXPECT_EQ(app->FutureTransactions(), 0);
}

// Inside an undo context a failure takes back its own changes, not the context's earlier ones, and
// "undoChanges" still goes back to where the context began.
TEST_F(FailedCommands, AFailureInsideAContextKeepsTheContextsEarlierChanges) {
    Open(Start::nestedLayers);
    const std::string start = Saved();
    ASSERT_EQ(ScriptJson("startContext", R"({"key":"k"})").count("error"), 0u);
    ASSERT_EQ(
        ScriptJson("editLayer", R"({"mode":"add","layerName":"Top","location":"aboveAll"})").count("error"),
        0u);
    const std::string inside = Saved();
    const HistoryState history = History();
    EXPECT_EQ(ScriptJson("editLayer", R"({"mode":"duplicate","layerName":"L0","location":"insideOnTop",)"
                                      R"("targetLayer":"L129"})")
                  .value("error", ""),
              "Can't move a layer");
    EXPECT_TRUE(Saved() == inside);
    EXPECT_EQ(History(), history);
    EXPECT_EQ(ScriptJson("undoChanges", R"({"key":"k"})").count("error"), 0u);
    EXPECT_TRUE(Saved() == start);
}

// Fitting goes on past a text it can't fit, and what it fitted stays: the error names the text
// that was left at its sizes, and the command's other work stands.
TEST_F(FailedCommands, AFitThatLeftOneTextUnfittedKeepsTheOthers) {
    const std::string frames = R"({"format":"plimhost-document","version":1,
        "artboards":[{"name":"A","rect":[0,100,100,0]}],
        "layers":[{"type":"layer","title":"L","children":[
          {"type":"textFrame","name":"Small","kind":"area","frame":[0,100,100,0],"text":"abc",
           "tags":[{"name":"_p_tag_00000001","type":"string","value":"small"}]},
          {"type":"textFrame","name":"Huge","kind":"area","frame":[0,10000000,10000000,0],"text":"a",
           "tags":[{"name":"_p_tag_00000002","type":"string","value":"huge"}]}]}]})";
    OpenDocumentText(frames, 3);
    const std::string before = Saved();
    const json reply = ScriptJson("text", R"({"tagSearch":"small|huge","fittingMethod":"fitToFrame"})");
    EXPECT_EQ(reply.value("error", ""), "Can't fit a text range");
    EXPECT_FALSE(Saved() == before) << "the small frame's text was fitted";
    EXPECT_EQ(app->PastTransactions(), 1);
    ASSERT_EQ(app->Undo(), kNoErr);
    EXPECT_TRUE(Saved() == before);
}

}  // namespace
