// Undo histories of several documents: whatever batches and contexts switch between (documents
// opened, brought forward, closed, made anew), each document's changes stay in its own history,
// its undo and redo take back and repeat only its own changes, it stays savable, and a command that
// fails afterwards changes nothing.
#include <filesystem>
#include <iterator>
#include <map>
#include <optional>
#include <ostream>
#include <sstream>
#include <string>
#include <string_view>
#include <tuple>
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

Titles Words(const std::string& text) {
    std::istringstream words(text);
    return {std::istream_iterator<std::string>(words), std::istream_iterator<std::string>()};
}

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

// Steps run on "doc" (open and in front), each alone or several in one batch ("batch: STEP; STEP..."),
// then for doc and for other: its top layers ("-": it is not open), the reply of "listUndoPoints"
// and the top layers of its file on disk.
struct SwitchCase {
    const char* name;
    std::vector<std::string> steps;
    const char* doc;
    const char* docPoints;
    const char* other;
    const char* otherPoints;
    const char* docFile = "L";
    const char* otherFile = "L";

    friend void PrintTo(const SwitchCase& c, std::ostream* out) { *out << c.name; }
};

class DocumentSwitches : public PluginTest, public testing::WithParamInterface<SwitchCase> {
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

    // The command and request of a step: "context KEY", "undo KEY", "add NAME", "open doc|other",
    // "openMissing", "fail" (a layer that doesn't exist), "place" (a place that fails after placing),
    // "save" (in place), "saveCopy NAME", "close", "closeSaving", "revert", "export", "exportReopen".
    std::pair<std::string, json> Request(const std::string& step) const {
        std::istringstream words(step);
        std::string word;
        std::string argument;
        words >> word >> argument;
        const std::string out = (scratch.Path() / "out").string();
        const auto exportTo = [&](bool reopen) {
            return json{
                {"formats", {"svg"}}, {"folderPath", out}, {"fileName", "x"}, {"reopenSourceFile", reopen}};
        };
        const std::map<std::string, std::pair<std::string, json>> requests = {
            {"context", {"startContext", {{"key", argument}}}},
            {"undo", {"undoChanges", {{"key", argument}}}},
            {"add", {"editLayer", {{"mode", "add"}, {"layerName", argument}}}},
            {"open", {"openFile", {{"filePath", Path(argument)}}}},
            {"openMissing", {"openFile", {{"filePath", Path("missing")}}}},
            {"fail", {"editLayer", {{"mode", "remove"}, {"layerName", "Nope"}}}},
            {"place", {"place", json::parse(kFailingPlace)}},
            {"save", {"saveFile", json::object()}},
            {"saveCopy", {"saveFile", {{"outputPath", out}, {"fileName", argument + ".ai"}}}},
            {"close", {"closeDocument", {{"saveChanges", false}}}},
            {"closeSaving", {"closeDocument", {{"saveChanges", true}}}},
            {"revert", {"revert", json::object()}},
            {"export", {"exportFile", exportTo(false)}},
            {"exportReopen", {"exportFile", exportTo(true)}}};
        return requests.at(word);
    }

    // Every step succeeds but "fail", "place" and "openMissing"; an undo replies with its name alone,
    // and an export writes its picture.
    static void Check(const std::string& step, const json& reply) {
        const bool fails = step == "fail" || step == "place" || step == "openMissing";
        EXPECT_EQ(reply.contains("error"), fails) << step << ": " << reply;
        if (step.rfind("undo", 0) == 0) {
            EXPECT_EQ(reply.dump(), R"({"eventType":"undoChanges"})");
        } else if (step.rfind("export", 0) == 0) {
            EXPECT_EQ(reply["Results"][0].value("exportSuccessful", false), true) << reply;
        }
    }

    // Runs a step or a batch of them; "layers TITLE..." checks the top layers of the document in
    // front, "points JSON" its reply of "listUndoPoints".
    void Run(const std::string& line) {
        if (line.rfind("layers ", 0) == 0) {
            EXPECT_EQ(Layers(), Words(line.substr(7)));
        } else if (line.rfind("points ", 0) == 0) {
            EXPECT_EQ(ScriptJson("listUndoPoints").value("undoPoints", json()), json::parse(line.substr(7)));
        } else if (line.rfind("batch: ", 0) != 0) {
            const auto [command, request] = Request(line);
            Check(line, ScriptJson(command, request.dump()));
        } else {
            json entries = json::array();
            std::vector<std::string> steps;
            std::istringstream list(line.substr(7));
            for (std::string step; std::getline(list, step, ';');) {
                steps.push_back(step.erase(0, step.find_first_not_of(' ')));
                const auto [command, request] = Request(step);
                entries.push_back({{"eventType", "com.torvi.event." + command}, {"data", request}});
            }
            const json reply = ScriptJson("batchCall", json{{"data", entries}}.dump());
            ASSERT_EQ(reply.at("data").size(), steps.size()) << reply;
            for (std::size_t i = 0; i < steps.size(); ++i) {
                Check(steps[i], reply["data"][i]["data"]);
            }
        }
    }

    testsupport::ScratchFolder scratch{"undo_documents"};
};

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
    for (const auto& [name, layers, points, file] :
         {std::tuple{"doc", c.doc, c.docPoints, c.docFile},
          std::tuple{"other", c.other, c.otherPoints, c.otherFile}}) {
        SCOPED_TRACE(name);
        EXPECT_EQ(FileTitles(Path(name)), Words(file));
        if (std::string_view(layers) == "-") {
            continue;
        }
        ++open;
        Run(std::string("open ") + name);
        Run(std::string("layers ") + layers);
        Run(std::string("points ") + points);
        const std::string before = Saved();
        const int past = app->PastTransactions();
        const int future = app->FutureTransactions();

        EXPECT_EQ(ScriptJson("place", kFailingPlace).value("error", ""), "Named style not found");
        EXPECT_EQ(Saved(), before);
        EXPECT_EQ(app->PastTransactions(), past);
        EXPECT_EQ(app->FutureTransactions(), future);

        Run(std::string("saveCopy ") + name);
        EXPECT_EQ(FileTitles(scratch.Path() / "out" / (std::string(name) + ".ai")), Words(layers));
        // One step back and forth (forth and back when nothing lies behind): the state between
        // saves as well.
        if (past + future > 0) {
            ASSERT_EQ(past > 0 ? app->Undo() : app->Redo(), kNoErr);
            Run(std::string("saveCopy stepped-") + name);
            ASSERT_EQ(past > 0 ? app->Redo() : app->Undo(), kNoErr);
            EXPECT_EQ(Saved(), before);
        }
        Run("save");
        EXPECT_EQ(FileTitles(Path(name)), Words(layers));
    }
    EXPECT_EQ(app->DocumentCount(), othersOpen + open);
}

constexpr const char* kM = R"([[-1,"m"]])";

// clang-format off
const SwitchCase kSwitchCases[] = {
    // The batch that was reported: doc's tagged step stays its own, undone and redone as such, and
    // every save and export succeeds after it.
    {"TheReportsBatch", {"context m", "add BN", "export", "batch: open other; add BQ; open doc",
                         "layers BN L", R"(points [[-1,"m"]])", "undo m", "layers L", "undo m", "export"},
     "BN L", kM, "BQ L", "[]"},
    {"AContextAcrossASwitchAndBack", {"context m", "add A", "batch: open other; add B; open doc; add C"},
     "C A L", kM, "B L", "[]"},
    {"UndoToTheContextAfterTwoSwitchingBatches", {"context m", "add A", "batch: open other; add B; open doc",
                                                  "batch: open other; add C; open doc", "undo m"},
     "L", R"([[1,"m"]])", "C B L", "[]"},
    {"ChangesBeforeTheSwitchStayBehind", {"batch: add A; open other; add B"},
     "A L", "[]", "B L", "[]"},
    {"AContextInTheOtherDocument", {"batch: open other", "context n", "add B",
                                    "batch: open doc; add A; open other; add C"},
     "A L", "[]", "C B L", R"([[-1,"n"]])"},
    {"TopLevelSwitchesInAContext", {"context m", "add A", "open other", "add B", "open doc", "add C"},
     "C A L", kM, "B L", "[]"},
    {"UndoInTheOtherDocumentLeavesThisOne", {"context m", "add A", "batch: open other", "context n", "add B",
                                             "undo n", "batch: open doc"},
     "A L", kM, "L", R"([[1,"n"]])"},
    {"FailuresAfterTheSwitch", {"batch: add A; open other; fail; add B; place; open doc; fail; place",
                                "place"},
     "A L", "[]", "B L", "[]"},
    {"AFileThatDoesNotOpenSwitchesNothing", {"context m", "batch: add A; openMissing; add B"},
     "B A L", kM, "-", "[]"},
    {"SavesInABatchWriteTheirOwnFiles", {"batch: add A; open other; add B; save; open doc; save"},
     "A L", "[]", "B L", "[]", "A L", "B L"},
    {"CloseTheOtherInABatch", {"context m", "add A", "batch: open other; add B; close; add C"},
     "C A L", kM, "-", "[]"},
    {"CloseTheOtherSavingIt", {"batch: open other; add B; closeSaving; add A"},
     "A L", "[]", "-", "[]", "L", "B L"},
    {"ARevertMakesTheDocumentAnew", {"context m", "add A", "batch: open other; add B; open doc; revert"},
     "L", "[]", "B L", "[]"},
    {"AnExportReopensItsSource", {"add A", "save", "batch: open other; add B; open doc; add C; exportReopen"},
     "A L", "[]", "B L", "[]", "A L"},
};
// clang-format on

INSTANTIATE_TEST_SUITE_P(Cases, DocumentSwitches, testing::ValuesIn(kSwitchCases),
                         [](const testing::TestParamInfo<SwitchCase>& info) { return info.param.name; });

}  // namespace
