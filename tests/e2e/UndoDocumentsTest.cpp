// Undo histories of several documents: whatever batches and contexts switch between (documents
// opened, brought forward, closed, made anew), each document's changes stay in its own history,
// its undo and redo take back and repeat only its own changes, it stays savable, and a command that
// fails afterwards changes nothing.
#include <filesystem>
#include <optional>
#include <ostream>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "PluginFixture.h"
#include "ProgramRun.h"

namespace {

namespace fs = std::filesystem;
using Titles = std::vector<std::string>;

// One layer "L" holding a text tagged "d".
constexpr const char* kDocumentText = R"({"format":"plimhost-document","version":1,
    "artboards":[{"name":"A","rect":[0,100,100,0]}],
    "layers":[{"type":"layer","title":"L","children":[
      {"type":"textFrame","name":"T","kind":"point","frame":[10,90,60,80],"text":"abc",
       "tags":[{"name":"_p_tag_00000001","type":"string","value":"d"}]}]}]})";

constexpr const char* kFailingPlace =
    R"({"tagSearch":"d","textFeatures":{"charStyle":"Nope"},"textToPlace":"Hi"})";

Titles TitlesOf(const json& document) {
    Titles titles;
    for (const json& layer : document.at("layers")) {
        titles.push_back(layer.value("title", ""));
    }
    return titles;
}

// The top layers of the document in the file; none when it holds no document.
std::optional<Titles> FileTitles(const fs::path& file) {
    auto read = host::model::openDocument(file);
    if (!read.document) {
        return std::nullopt;
    }
    auto written = host::model::writeDocument(*read.document);
    return written.text ? std::optional(TitlesOf(json::parse(*written.text))) : std::nullopt;
}

class UndoDocuments : public PluginTest {
protected:
    void SetUp() override {
        PluginTest::SetUp();
        scratch.Write("doc.ai", kDocumentText);
        scratch.Write("other.ai", kDocumentText);
        OpenDocumentFile(Path("doc"), 5);
    }

    std::string Path(const std::string& name) const { return (scratch.Path() / (name + ".ai")).string(); }

    std::string Saved() {
        auto written = host::model::writeDocument(*app->CurrentDocument());
        EXPECT_TRUE(written.text) << written.error;
        return written.text.value_or("{}");
    }
    Titles Layers() { return TitlesOf(json::parse(Saved())); }
    json Points() { return ScriptJson("listUndoPoints").value("undoPoints", json()); }

    // The command and request of a step: "context KEY", "undo KEY", "add NAME", "open doc|other",
    // "openMissing", "fail" (a layer that doesn't exist), "place" (a place that fails after placing),
    // "save" (in place), "saveCopy NAME", "close", "closeSaving", "revert", "export", "exportReopen".
    std::pair<std::string, json> Request(const std::string& step) const {
        std::istringstream words(step);
        std::string word;
        std::string argument;
        words >> word >> argument;
        const std::string out = (scratch.Path() / "out").string();
        if (word == "context" || word == "undo") {
            return {word == "context" ? "startContext" : "undoChanges", {{"key", argument}}};
        }
        if (word == "add") {
            return {"editLayer", {{"mode", "add"}, {"layerName", argument}}};
        }
        if (word == "open" || word == "openMissing") {
            return {"openFile", {{"filePath", Path(word == "open" ? argument : "missing")}}};
        }
        if (word == "fail") {
            return {"editLayer", {{"mode", "remove"}, {"layerName", "Nope"}}};
        }
        if (word == "place") {
            return {"place", json::parse(kFailingPlace)};
        }
        if (word == "save" || word == "saveCopy") {
            return {"saveFile", word == "save" ? json::object()
                                               : json{{"outputPath", out}, {"fileName", argument + ".ai"}}};
        }
        if (word == "close" || word == "closeSaving") {
            return {"closeDocument", {{"saveChanges", word == "closeSaving"}}};
        }
        if (word == "revert") {
            return {"revert", json::object()};
        }
        return {"exportFile",
                {{"formats", {"svg"}},
                 {"folderPath", out},
                 {"fileName", "x"},
                 {"reopenSourceFile", word != "export"}}};
    }

    // Runs a step, or a batch of them ("batch: STEP; STEP..."). Every step must succeed but "fail",
    // "place" and "openMissing".
    void Run(const std::string& line) {
        const auto expectsError = [](const std::string& step) {
            return step == "fail" || step == "place" || step == "openMissing";
        };
        if (line.rfind("batch: ", 0) != 0) {
            const auto [command, request] = Request(line);
            EXPECT_EQ(ScriptJson(command, request.dump()).contains("error"), expectsError(line)) << line;
            return;
        }
        json entries = json::array();
        std::vector<std::string> steps;
        std::istringstream list(line.substr(7));
        for (std::string step; std::getline(list, step, ';');) {
            step.erase(0, step.find_first_not_of(' '));
            const auto [command, request] = Request(step);
            entries.push_back({{"eventType", "com.torvi.event." + command}, {"data", request}});
            steps.push_back(step);
        }
        const json reply = ScriptJson("batchCall", json{{"data", entries}}.dump());
        ASSERT_EQ(reply.at("data").size(), steps.size()) << reply;
        for (std::size_t i = 0; i < steps.size(); ++i) {
            EXPECT_EQ(reply["data"][i]["data"].contains("error"), expectsError(steps[i]))
                << steps[i] << ": " << reply["data"][i];
        }
    }

    testsupport::ScratchFolder scratch{"undo_documents"};
};

// The batch of the report: doc's tagged step stays its own, undone and redone as such, and every
// save and export succeeds after it.
TEST_F(UndoDocuments, ABatchThatOpensAnotherDocumentLeavesTheHistoryItsOwn) {
    for (const char* step : {"context m", "add BN", "export", "batch: open other; add BQ; open doc"}) {
        Run(step);
    }
    EXPECT_EQ(Points(), json::parse(R"([[-1,"m"]])"));
    EXPECT_EQ(Layers(), (Titles{"BN", "L"}));
    EXPECT_EQ(Script("undoChanges", R"({"key":"m"})"), R"({"eventType":"undoChanges"})");
    EXPECT_EQ(Layers(), (Titles{"L"}));
    EXPECT_EQ(Script("undoChanges", R"({"key":"m"})"), R"({"eventType":"undoChanges"})");
    EXPECT_EQ(Layers(), (Titles{"BN", "L"}));
    Run("saveCopy copy");
    EXPECT_EQ(FileTitles(scratch.Path() / "out/copy.ai"), (Titles{"BN", "L"}));
    const json exported = ScriptJson(
        "exportFile",
        json{{"formats", {"svg"}}, {"folderPath", (scratch.Path() / "out").string()}, {"fileName", "y"}}
            .dump());
    EXPECT_EQ(exported["Results"][0].value("exportSuccessful", false), true) << exported;
}

// What a document shows after a case's steps: its top layers (none: it is not open), the reply of
// "listUndoPoints", and the layers of its file on disk.
struct DocumentState {
    std::optional<Titles> layers;
    const char* points;
    Titles file;
};

struct SwitchCase {
    const char* name;
    std::vector<std::string> steps;
    DocumentState doc;
    DocumentState other;

    friend void PrintTo(const SwitchCase& c, std::ostream* out) { *out << c.name; }
};

class DocumentSwitches : public UndoDocuments, public testing::WithParamInterface<SwitchCase> {};

// After the steps, every document shows its own content and history; a failing place changes
// nothing; a step undone and redone gives the document back as it was, savable all along; and a
// save in place writes its own file.
TEST_P(DocumentSwitches, KeepEachDocumentsHistoryItsOwn) {
    const SwitchCase& c = GetParam();
    const int othersOpen = app->DocumentCount() - 1;  // the application's own, besides doc
    for (const std::string& step : c.steps) {
        Run(step);
    }
    int open = 0;
    for (const auto& [name, state] : {std::pair{"doc", c.doc}, std::pair{"other", c.other}}) {
        SCOPED_TRACE(name);
        EXPECT_EQ(FileTitles(Path(name)), state.file);
        if (!state.layers) {
            continue;
        }
        ++open;
        Run(std::string("open ") + name);
        EXPECT_EQ(Layers(), *state.layers);
        EXPECT_EQ(Points(), json::parse(state.points));
        const std::string before = Saved();
        const int past = app->PastTransactions();
        const int future = app->FutureTransactions();

        EXPECT_EQ(ScriptJson("place", kFailingPlace).value("error", ""), "Named style not found");
        EXPECT_EQ(Saved(), before);
        EXPECT_EQ(app->PastTransactions(), past);
        EXPECT_EQ(app->FutureTransactions(), future);

        Run(std::string("saveCopy ") + name);
        EXPECT_EQ(FileTitles(scratch.Path() / "out" / (std::string(name) + ".ai")), *state.layers);
        // One step back and forth (forth and back when nothing lies behind): the state between
        // saves as well.
        if (past + future > 0) {
            ASSERT_EQ(past > 0 ? app->Undo() : app->Redo(), kNoErr);
            Run(std::string("saveCopy stepped-") + name);
            ASSERT_EQ(past > 0 ? app->Redo() : app->Undo(), kNoErr);
            EXPECT_EQ(Saved(), before);
        }
        Run("save");
        EXPECT_EQ(FileTitles(Path(name)), *state.layers);
    }
    EXPECT_EQ(app->DocumentCount(), othersOpen + open);
}

const Titles kL = {"L"};

const SwitchCase kSwitchCases[] = {
    {"TheReportsBatch",
     {"context m", "add BN", "export", "batch: open other; add BQ; open doc", "undo m", "undo m"},
     {Titles{"BN", "L"}, R"([[-1,"m"]])", kL},
     {Titles{"BQ", "L"}, "[]", kL}},
    {"AContextAcrossASwitchAndBack",
     {"context m", "add A", "batch: open other; add B; open doc; add C"},
     {Titles{"C", "A", "L"}, R"([[-1,"m"]])", kL},
     {Titles{"B", "L"}, "[]", kL}},
    {"UndoToTheContextAfterTwoSwitchingBatches",
     {"context m", "add A", "batch: open other; add B; open doc", "batch: open other; add C; open doc",
      "undo m"},
     {kL, R"([[1,"m"]])", kL},
     {Titles{"C", "B", "L"}, "[]", kL}},
    {"ChangesBeforeTheSwitchStayBehind",
     {"batch: add A; open other; add B"},
     {Titles{"A", "L"}, "[]", kL},
     {Titles{"B", "L"}, "[]", kL}},
    {"AContextInTheOtherDocument",
     {"batch: open other", "context n", "add B", "batch: open doc; add A; open other; add C"},
     {Titles{"A", "L"}, "[]", kL},
     {Titles{"C", "B", "L"}, R"([[-1,"n"]])", kL}},
    {"TopLevelSwitchesInAContext",
     {"context m", "add A", "open other", "add B", "open doc", "add C"},
     {Titles{"C", "A", "L"}, R"([[-1,"m"]])", kL},
     {Titles{"B", "L"}, "[]", kL}},
    {"UndoInTheOtherDocumentLeavesThisOne",
     {"context m", "add A", "batch: open other", "context n", "add B", "undo n", "batch: open doc"},
     {Titles{"A", "L"}, R"([[-1,"m"]])", kL},
     {kL, R"([[1,"n"]])", kL}},
    {"FailuresAfterTheSwitch",
     {"batch: add A; open other; fail; add B; place; open doc; fail; place", "place"},
     {Titles{"A", "L"}, "[]", kL},
     {Titles{"B", "L"}, "[]", kL}},
    {"AFileThatDoesNotOpenSwitchesNothing",
     {"context m", "batch: add A; openMissing; add B"},
     {Titles{"B", "A", "L"}, R"([[-1,"m"]])", kL},
     {std::nullopt, "[]", kL}},
    {"SavesInABatchWriteTheirOwnFiles",
     {"batch: add A; open other; add B; save; open doc; save"},
     {Titles{"A", "L"}, "[]", Titles{"A", "L"}},
     {Titles{"B", "L"}, "[]", Titles{"B", "L"}}},
    {"CloseTheOtherInABatch",
     {"context m", "add A", "batch: open other; add B; close; add C"},
     {Titles{"C", "A", "L"}, R"([[-1,"m"]])", kL},
     {std::nullopt, "[]", kL}},
    {"CloseTheOtherSavingIt",
     {"batch: open other; add B; closeSaving; add A"},
     {Titles{"A", "L"}, "[]", kL},
     {std::nullopt, "[]", Titles{"B", "L"}}},
    {"ARevertMakesTheDocumentAnew",
     {"context m", "add A", "batch: open other; add B; open doc; revert"},
     {kL, "[]", kL},
     {Titles{"B", "L"}, "[]", kL}},
    {"AnExportReopensItsSource",
     {"add A", "save", "batch: open other; add B; open doc; add C; exportReopen"},
     {Titles{"A", "L"}, "[]", Titles{"A", "L"}},
     {Titles{"B", "L"}, "[]", kL}},
};

INSTANTIATE_TEST_SUITE_P(Cases, DocumentSwitches, testing::ValuesIn(kSwitchCases),
                         [](const testing::TestParamInfo<SwitchCase>& info) { return info.param.name; });

}  // namespace
