// The document commands through plimhost, with files in a scratch folder read back afterwards, and
// the failure paths that need the host to fail on purpose.
#include <filesystem>
#include <fstream>

#include "AIDocumentList.h"
#include "PluginFixture.h"
#include "ProgramRun.h"

namespace {

namespace fs = std::filesystem;
using testsupport::ReadFile;

std::string Replace(std::string text, const std::string& from, const std::string& to) {
    for (std::size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size())) {
        text.replace(at, from.size(), to);
    }
    return text;
}

// One script line, what its reply must be ($ stands for the scratch folder), and the files that
// must exist (or not, with a leading "!") once the script has run.
struct ScriptCase {
    const char* name;
    const char* line;
    const char* reply;
    std::vector<const char*> files;
};

class DocumentScript : public testing::TestWithParam<ScriptCase> {};

// Every case starts from the sample document opened as $/a.ai, with a copy of it at $/b.ai and
// the cloud storage in $/cloud.
TEST_P(DocumentScript, AnswersAndLeavesTheFiles) {
    const ScriptCase& c = GetParam();
    const testsupport::ScratchFolder scratch("documents");
    const std::string folder = scratch.Path().string();
    const std::string sample = ReadFile(std::string(PLIM_SOURCE_DIR) + "/examples/sample.json");
    scratch.Write("a.ai", sample);
    scratch.Write("b.ai", sample);
    const testsupport::ProgramRun run = testsupport::RunProgram(
        scratch,
        std::string(PLIM_BIN_DIR) + "/plimhost --open " + folder + "/a.ai --cloud " + folder + "/cloud",
        Replace(c.line, "$", folder) + "\n");
    ASSERT_EQ(run.status, 0) << run.err;
    ASSERT_EQ(run.Lines().size(), 1u) << run.out;
    EXPECT_EQ(run.Lines()[0], Replace(c.reply, "$", folder));
    for (const char* file : c.files) {
        const bool absent = file[0] == '!';
        const std::string path = Replace(file + (absent ? 1 : 0), "$", folder);
        EXPECT_EQ(fs::exists(path), !absent) << path;
        if (!absent && fs::is_regular_file(path) && path.ends_with(".ai")) {
            EXPECT_EQ(ReadFile(path), sample) << path;  // the native text, unchanged
        }
    }
}

const ScriptCase kScriptCases[] = {
    {"UnitsOfTheDocument",
     R"(getDocumentUnits {"uid":"u"})",
     R"({"documentUnits":"points","eventType":"getDocumentUnits","uid":"u"})",
     {}},
    {"OpenTheCurrentFile",
     R"(openFile {})",
     R"({"colorSpace":"RGB","eventType":"openFile","filePath":"$/a.ai","isNew":false,"isOpen":true,"isSaved":true,"scaleFactor":1.0})",
     {}},
    {"OpenAnotherFileAsCmyk",
     R"(openFile {"filePath":"$/b.ai","colorMode":"cmyk"})",
     R"({"colorSpace":"CMYK","eventType":"openFile","filePath":"$/b.ai","isNew":false,"isOpen":false,"isSaved":false,"scaleFactor":1.0})",
     {}},
    {"OpenAMixedCaseColorModeLeavesTheModel",
     R"(openFile {"filePath":"$/b.ai","colorMode":"Cmyk"})",
     R"({"colorSpace":"RGB","eventType":"openFile","filePath":"$/b.ai","isNew":false,"isOpen":false,"isSaved":true,"scaleFactor":1.0})",
     {}},
    {"OpenAMissingFile",
     R"(openFile {"filePath":"$/none.ai"})",
     R"({"error":"File path not found","eventType":"openFile","filePath":"$/none.ai"})",
     {}},
    {"OpenAFileThatIsNoDocument",
     R"(openFile {"filePath":"$/stdin.txt"})",
     R"({"error":"Can't open a file","eventType":"openFile","filePath":"$/stdin.txt","isNew":false,"isOpen":false})",
     {}},
    {"SaveInPlace", R"(saveFile {})", R"({"eventType":"saveFile"})", {"$/a.ai"}},
    {"SaveACopyToANewFolder",
     R"(saveFile {"outputPath":"$/out/deep","fileName":"c.ai"})",
     R"({"eventType":"saveFile"})",
     {"$/out/deep/c.ai"}},
    {"SaveANameThatCannotLeaveTheFolder",
     R"(saveFile {"outputPath":"$/out","fileName":"../x.ai"})",
     R"({"eventType":"saveFile"})",
     {"$/out/.._x.ai", "!$/x.ai"}},
    {"SaveWithoutAFileNameSavesInPlace",
     R"(saveFile {"outputPath":"$/out"})",
     R"({"eventType":"saveFile"})",
     {"!$/out"}},
    {"CloseWithoutSaving", R"(closeDocument {})", R"({"eventType":"closeDocument"})", {"$/a.ai"}},
    {"CloseAndDeleteTheFile",
     R"(closeDocument {"deleteFile":true,"saveChanges":true})",
     R"({"eventType":"closeDocument"})",
     {"!$/a.ai", "$/b.ai"}},
    {"CloseADocumentNotOpenDeletesNothing",
     R"(closeDocument {"filePath":"$/b.ai","deleteFile":true})",
     R"({"error":"Can't close a document","eventType":"closeDocument"})",
     {"$/a.ai", "$/b.ai"}},
    {"CloseWithAFlagOfTheWrongType",
     R"(closeDocument {"deleteFile":"yes"})",
     R"({"error":"\"deleteFile\" must be true or false","eventType":"closeDocument"})",
     {"$/a.ai"}},
    {"Revert", R"(revert {"uid":"r"})", R"({"eventType":"revert","uid":"r"})", {"$/a.ai"}},
    {"CopyTheCurrentFile",
     R"(copyFile {"destination":"$/c.ai"})",
     R"({"copySuccessful":true,"eventType":"copyFile"})",
     {"$/c.ai"}},
    {"CopyOverAnExistingFile",
     R"(copyFile {"source":"$/a.ai","destination":"$/b.ai"})",
     R"({"copySuccessful":true,"eventType":"copyFile"})",
     {"$/b.ai"}},
    {"CopyOntoItselfBySpelling",
     R"(copyFile {"source":"$/a.ai","destination":"$/./a.ai"})",
     R"({"copySuccessful":false,"error":"Source and destination are the same","eventType":"copyFile"})",
     {"$/a.ai"}},
    {"CopyAFolderKeepsTheDestination",
     R"(copyFile {"source":"$","destination":"$/b.ai"})",
     R"({"copySuccessful":false,"error":"Can't copy a file","eventType":"copyFile"})",
     {"$/b.ai"}},
    {"CopyWithoutDestination",
     R"(copyFile {"source":"$/a.ai"})",
     R"({"copySuccessful":false,"error":"No destination path","eventType":"copyFile"})",
     {}},
    {"SetTheColorMode",
     R"(setDocumentColorMode {"colorMode":"CMYK"})",
     R"({"eventType":"setDocumentColorMode"})",
     {}},
    {"SetAnUnknownColorMode",
     R"(setDocumentColorMode {"colorMode":"lab"})",
     R"({"error":"No valid color mode","eventType":"setDocumentColorMode"})",
     {}},
    {"SaveToTheCloudUnderTheFilesName",
     R"(saveCloudFile {})",
     R"({"eventType":"saveCloudFile"})",
     {"$/cloud$/a.aic"}},
    {"SaveToTheCloudUnderAName",
     R"(saveCloudFile {"filePath":"projects/poster.ai"})",
     R"({"eventType":"saveCloudFile"})",
     {"$/cloud/projects/poster.aic"}},
    {"SaveToTheCloudOutsideTheRoot",
     R"(saveCloudFile {"filePath":"../../escape.ai"})",
     R"({"error":"Can't save a cloud document","eventType":"saveCloudFile"})",
     {"!$/escape.aic"}},
    {"OpenACloudDocumentThatIsNotThere",
     R"(openCloudFile {"filePath":"none.aic"})",
     R"({"error":"Can't open a file","eventType":"openCloudFile"})",
     {}},
    {"OpenACloudPathOutsideTheRoot",
     R"(openCloudFile {"filePath":"../a.ai"})",
     R"({"error":"Can't open a file","eventType":"openCloudFile"})",
     {}},
};

INSTANTIATE_TEST_SUITE_P(Documents, DocumentScript, testing::ValuesIn(kScriptCases),
                         [](const testing::TestParamInfo<ScriptCase>& info) { return info.param.name; });

// A longer run: the cloud round trip, then changes, a revert and the colour model.
TEST(DocumentScripts, CloudRoundTripAndRevert) {
    const testsupport::ScratchFolder scratch("documents-cloud");
    const std::string folder = scratch.Path().string();
    scratch.Write("a.ai", ReadFile(std::string(PLIM_SOURCE_DIR) + "/examples/sample.json"));
    const std::string script = Replace(
        "saveCloudFile {\"filePath\":\"work/poster.ai\"}\n"
        "openFile {\"filePath\":\"$/a.ai\"}\n"
        "openCloudFile {\"filePath\":\"work/poster.aic\"}\n"
        "saveCloudFile {}\n"
        "openFile {\"filePath\":\"$/cloud/work/poster.aic\"}\n"
        "setTags {\"tagSearch\":\"logo\",\"tags\":[\"changed\"]}\n"
        "openFile {\"filePath\":\"$/cloud/work/poster.aic\"}\n"
        "revert {}\n"
        "getByTags {\"tagSearch\":\"changed\"}\n",
        "$", folder);
    const testsupport::ProgramRun run = testsupport::RunProgram(
        scratch,
        std::string(PLIM_BIN_DIR) + "/plimhost --open " + folder + "/a.ai --cloud " + folder + "/cloud",
        script);
    ASSERT_EQ(run.status, 0) << run.err;
    const std::vector<std::string> lines = run.Lines();
    ASSERT_EQ(lines.size(), 9u);
    EXPECT_EQ(lines[2], R"({"eventType":"openCloudFile"})");
    EXPECT_EQ(lines[3], R"({"eventType":"saveCloudFile"})");
    EXPECT_EQ(json::parse(lines[4])["isOpen"], true);
    EXPECT_EQ(json::parse(lines[6])["isSaved"], false);
    EXPECT_EQ(json::parse(lines[8]).contains("error"), true);  // the change went with the revert
    EXPECT_TRUE(fs::is_regular_file(folder + "/cloud/work/poster.aic"));
}

class DocumentFailures : public PluginTest {
protected:
    testsupport::ScratchFolder scratch{"documents-failures"};
};

// The write goes to a temporary file that replaces the target only once complete.
TEST_F(DocumentFailures, ASaveWhoseRenameFailsKeepsThePreviousFile) {
    const std::string previous = "previous bytes\n";
    const std::string path = scratch.Write("kept.ai", previous);
    app->SetDocumentPath(path);
    app->Faults().FailOperation(host::kHostFileSystem, "Rename", kCantHappenErr);
    EXPECT_EQ(ScriptJson("saveFile")["error"], "Can't save a file");
    EXPECT_EQ(ReadFile(path), previous);
    EXPECT_EQ(std::distance(fs::directory_iterator(scratch.Path()), fs::directory_iterator()), 1);
    app->Faults().Clear();
    EXPECT_FALSE(ScriptJson("saveFile").contains("error"));
    EXPECT_NE(ReadFile(path), previous);
    EXPECT_FALSE(app->DocumentModified());
}

// A close the host refuses deletes nothing, and the opening preferences come back as they were.
TEST_F(DocumentFailures, AFailedCloseDeletesNothingAndOpeningRestoresPreferences) {
    const std::string path =
        scratch.Write("doc.ai", ReadFile(std::string(PLIM_SOURCE_DIR) + "/examples/sample.json"));
    EXPECT_EQ(ScriptJson("openFile", json{{"filePath", path}}.dump())["isOpen"], false);
    EXPECT_EQ(app->Preferences().Get("warning", "fontProblem"), host::PreferenceStore::Value(true));
    EXPECT_TRUE(app->Journal().Contains("SetInteractionAllowed(-1)"));
    app->Faults().FailOperation(kAIDocumentListSuite, "Close", kCantHappenErr);
    EXPECT_EQ(ScriptJson("closeDocument", R"({"deleteFile":true})")["error"], "Can't close a document");
    EXPECT_TRUE(fs::exists(path));
    EXPECT_EQ(app->DocumentCount(), 2);
}

}  // namespace
