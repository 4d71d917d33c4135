// The document commands through plimhost, with files in a scratch folder read back afterwards, and
// the failure paths that need the host to fail on purpose.
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

#include <sys/stat.h>

#include "AIDocumentList.h"
#include "PluginFixture.h"
#include "ProgramRun.h"

namespace {

namespace fs = std::filesystem;
using testsupport::ReadFile;

using testsupport::Replace;

// Whether the reply line has the expected form: a "#" of the expected text stands for any digit
// (what the clock gives), every other character for itself.
bool HasTheForm(const std::string& line, const std::string& expected) {
    return line.size() == expected.size() &&
           std::equal(line.begin(), line.end(), expected.begin(), [](char shown, char wanted) {
               return shown == wanted || (wanted == '#' && shown >= '0' && shown <= '9');
           });
}

// Script lines (one or more, each ending in a line feed but the last), the reply line each must
// get ($ stands for the scratch folder), and the files that
// must exist (or not, with a leading "!"; with a leading "=", holding the sample's bytes) once the
// script has run.
struct ScriptCase {
    const char* name;
    const char* line;
    const char* reply;
    std::vector<const char*> files;
};

class DocumentScript : public testing::TestWithParam<ScriptCase> {};

// "%export%" in a script line: an export whose file name shows the counters "file", "job" and
// "export" as "f-j-e"; the request goes on after it (with "}" at least).
constexpr const char* kCountersExport =
    R"(exportFile {"formats":["ai"],"folderPath":"$/out","fileName":[{"command":"counter","name":"file"},"-",)"
    R"({"command":"counter","name":"job"},"-",{"command":"counter","name":"export"}])";

// Every case starts from the sample document opened as $/a.ai, with copies of it at $/b.ai and in
// the cloud storage ($/cloud) as c/doc.aic, and a named pipe that no process reads at $/pipe. The
// working folder is $.
TEST_P(DocumentScript, AnswersAndLeavesTheFiles) {
    const ScriptCase& c = GetParam();
    const testsupport::ScratchFolder scratch("documents");
    const std::string folder = scratch.Path().string();
    const std::string sample = ReadFile(std::string(PLIM_SOURCE_DIR) + "/examples/sample.json");
    scratch.Write("a.ai", sample);
    scratch.Write("b.ai", sample);
    fs::create_directories(scratch.Path() / "cloud/c");
    scratch.Write("cloud/c/doc.aic", sample);
    ASSERT_EQ(mkfifo((scratch.Path() / "pipe").c_str(), 0600), 0);
    // Run from the scratch folder, so that a relative path names a file of it.
    const testsupport::ProgramRun run =
        testsupport::RunProgram(scratch,
                                "cd '" + folder + "' && " + std::string(PLIM_BIN_DIR) + "/plimhost --open " +
                                    folder + "/a.ai --cloud " + folder + "/cloud",
                                Replace(Replace(c.line, "%export%", kCountersExport), "$", folder) + "\n");
    ASSERT_EQ(run.status, 0) << run.err;
    std::vector<std::string> replies;
    std::istringstream expected(Replace(c.reply, "$", folder));
    for (std::string line; std::getline(expected, line);) {
        replies.push_back(line);
    }
    ASSERT_EQ(run.Lines().size(), replies.size()) << run.out;
    for (std::size_t i = 0; i < replies.size(); ++i) {
        EXPECT_TRUE(HasTheForm(run.Lines()[i], replies[i])) << run.Lines()[i] << "\n" << replies[i];
    }
    for (const char* file : c.files) {
        const bool absent = file[0] == '!';
        const bool unchanged = file[0] == '=';
        const std::string path = Replace(file + (absent || unchanged ? 1 : 0), "$", folder);
        EXPECT_EQ(fs::exists(path), !absent) << path;
        if (!absent && fs::is_regular_file(path) && (unchanged || path.ends_with(".ai"))) {
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
    // A path found only in other letter case opens the file found, and the same file again brings
    // its document forward.
    {"OpenAFileFoundInOtherLetterCase",
     "openFile {\"filePath\":\"$/B.AI\"}\nremove {\"tagSearch\":\"star\"}\nopenFile "
     "{\"filePath\":\"$/b.ai\"}",
     R"({"colorSpace":"RGB","eventType":"openFile","filePath":"$/B.AI","isNew":false,"isOpen":false,"isSaved":true,"scaleFactor":1.0})"
     "\n"
     R"({"eventType":"remove","tagSearch":"star"})"
     "\n"
     R"({"colorSpace":"RGB","eventType":"openFile","filePath":"$/b.ai","isNew":false,"isOpen":true,"isSaved":false,"scaleFactor":1.0})",
     {"=$/b.ai", "!$/B.AI"}},
    // A cloud document opened again is brought forward with its changes, not read a second time.
    {"OpenACloudDocumentThatIsOpen",
     "openCloudFile {\"filePath\":\"c/doc.aic\"}\nremove {\"tagSearch\":\"star\"}\n"
     "openCloudFile {\"filePath\":\"c/doc.aic\"}\ngetByTags {\"tagSearch\":\"star\"}",
     R"({"eventType":"openCloudFile"})"
     "\n"
     R"({"eventType":"remove","tagSearch":"star"})"
     "\n"
     R"({"eventType":"openCloudFile"})"
     "\n"
     R"({"error":"No artwork found","eventType":"getByTags","tagSearch":"star"})",
     {"=$/cloud/c/doc.aic"}},
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
    // A path or name holding a NUL is refused before anything is touched: the file system would
    // end it at the NUL and reach another file.
    {"OpenAPathHoldingANul",
     R"(openFile {"filePath":"$/b.ai\u0000.ai"})",
     R"({"error":"\"filePath\" must not contain a NUL character","eventType":"openFile"})",
     {"=$/b.ai"}},
    {"SaveToAFolderHoldingANul",
     R"(saveFile {"outputPath":"$/out\u0000/x","fileName":"c.ai"})",
     R"({"error":"\"outputPath\" must not contain a NUL character","eventType":"saveFile"})",
     {"!$/out"}},
    {"SaveUnderANameHoldingANul",
     R"(saveFile {"outputPath":"$","fileName":"b.ai\u0000.txt"})",
     R"({"error":"\"fileName\" must not contain a NUL character","eventType":"saveFile"})",
     {"=$/b.ai"}},
    {"SaveToTheCloudUnderANameHoldingANul",
     R"(saveCloudFile {"filePath":"c/doc.aic\u0000.ai"})",
     R"({"error":"\"filePath\" must not contain a NUL character","eventType":"saveCloudFile"})",
     {"=$/cloud/c/doc.aic"}},
    {"OpenACloudPathHoldingANul",
     R"(openCloudFile {"filePath":"c/doc.aic\u0000.ai"})",
     R"({"error":"\"filePath\" must not contain a NUL character","eventType":"openCloudFile"})",
     {"=$/cloud/c/doc.aic"}},
    {"CopyOntoAPathHoldingANul",
     R"(copyFile {"source":"$/a.ai","destination":"$/b.ai\u0000.x"})",
     R"({"error":"\"destination\" must not contain a NUL character","eventType":"copyFile"})",
     {"=$/b.ai"}},
    {"CopyFromAPathHoldingANul",
     R"(copyFile {"source":"$/b.ai\u0000.x","destination":"$/c.ai"})",
     R"({"error":"\"source\" must not contain a NUL character","eventType":"copyFile"})",
     {"!$/c.ai"}},
    {"CloseAndDeleteAPathHoldingANul",
     R"(closeDocument {"filePath":"$/a.ai\u0000.x","deleteFile":true})",
     R"({"error":"\"filePath\" must not contain a NUL character","eventType":"closeDocument"})",
     {"=$/a.ai"}},
    {"PlaceAPathHoldingANul",
     R"(place {"filePath":"$/b.ai\u0000.png"})",
     R"({"error":"\"filePath\" must not contain a NUL character","eventType":"place"})",
     {}},
    {"ExportToAFolderHoldingANul",
     R"(exportFile {"formats":["ai"],"folderPath":"$/out\u0000/x","fileName":"d"})",
     R"({"error":"Can't process a file name or path","eventType":"exportFile"})",
     {"!$/out"}},
    {"ExportUnderANameHoldingANulInALaterJob",
     R"(exportFile {"formats":["ai"],"folderPath":"$/out","jobs":[{"fileName":"d"},{"fileName":"b.ai\u0000"}]})",
     R"({"error":"Can't process a file name or path","eventType":"exportFile"})",
     {"!$/out/d.ai"}},
    // The counters through their life, one of them naming an exported file.
    {"CountersAddAdvanceNameAndRemove",
     "counters {\"method\":\"add\",\"name\":\"Page No\",\"count\":7,\"padding\":3,\"incrementBy\":2}\n"
     "counters {\"method\":\"increment\",\"counters\":[\"page_no\"]}\n"
     "exportFile "
     "{\"formats\":[\"ai\"],\"folderPath\":\"$/"
     "out\",\"fileName\":[\"p\",{\"command\":\"counter\",\"name\":\"page_no\"}]}\n"
     "counters {\"method\":\"getProperties\",\"counters\":[\"page_no\"]}\n"
     "counters {\"method\":\"reset\",\"counters\":[\"page_no\"]}\n"
     "counters {\"method\":\"getProperties\",\"counters\":[\"page_no\"]}\n"
     "counters {\"method\":\"remove\",\"counters\":[\"page_no\"]}\n"
     "counters {\"method\":\"list\"}\n"
     "counters {\"method\":\"standards\"}\n"
     "counters {\"method\":\"spin\"}",
     R"({"eventType":"counters","method":"add"}
{"eventType":"counters","method":"increment"}
{"Results":[{"exportSuccessful":true,"fileFormat":"ai","fileName":"p009","folderPath":"$/out"}],"eventType":"exportFile"}
{"counters":[{"builtin":false,"count":9,"erasable":true,"incrementBy":2,"incrementTrigger":"manual","name":"page_no","padding":3,"resetTrigger":"manual","standard":true,"start":1}],"eventType":"counters","method":"getProperties"}
{"eventType":"counters","method":"reset"}
{"counters":[{"builtin":false,"count":1,"erasable":true,"incrementBy":2,"incrementTrigger":"manual","name":"page_no","padding":3,"resetTrigger":"manual","standard":true,"start":1}],"eventType":"counters","method":"getProperties"}
{"eventType":"counters","method":"remove"}
{"counters":["artboard","file","row_file","running_file","template_file","job","export"],"eventType":"counters","method":"list"}
{"eventType":"counters","method":"standards","standardCounters":["artboard","file","row_file","running_file","template_file","job","export"]}
{"error":"Unknown method","eventType":"counters","method":"spin"})",
     {"$/out/p009.ai"}},
    // A lone name where the names go is refused, whatever the method, and changes nothing: read as
    // "none named" it would select every counter.
    {"CountersGivenAsTextAreRefused",
     "counters {\"method\":\"increment\",\"counters\":\"file\"}\n"
     "counters {\"method\":\"reset\",\"counters\":\"job\",\"value\":9}\n"
     "counters {\"method\":\"remove\",\"counters\":{\"name\":\"file\"}}\n"
     "counters {\"method\":\"getProperties\",\"counters\":\"file\"}\n"
     "counters {\"method\":\"getProperties\",\"counters\":[\"file\",\"job\"]}",
     R"({"error":"\"counters\" must be an array of strings","eventType":"counters"}
{"error":"\"counters\" must be an array of strings","eventType":"counters"}
{"error":"\"counters\" must be an array of strings","eventType":"counters"}
{"error":"\"counters\" must be an array of strings","eventType":"counters"}
{"counters":[{"builtin":true,"count":1,"erasable":true,"incrementBy":1,"incrementTrigger":"file","name":"file","padding":1,"resetTrigger":"manual","standard":true,"start":1},{"builtin":true,"count":1,"erasable":true,"incrementBy":1,"incrementTrigger":"job","name":"job","padding":1,"resetTrigger":"export","standard":true,"start":1}],"eventType":"counters","method":"getProperties"})",
     {}},
    // An export that writes no file leaves the counters as it found them, so that the next export's
    // names go on from where the last written file left them.
    {"AnExportToAFolderThatCannotBeMadeLeavesTheCounters",
     "exportFile "
     "{\"formats\":[\"ai\"],\"folderPath\":\"$/a.ai/x\",\"fileName\":[{\"command\":\"counter\",\"name\":"
     "\"file\"}]}\n"
     "%export%}",
     R"({"Results":[{"error":"Can't create output directory","exportSuccessful":false,"fileFormat":"ai","fileName":"1","folderPath":"$/a.ai/x"}],"eventType":"exportFile"}
{"Results":[{"exportSuccessful":true,"fileFormat":"ai","fileName":"1-1-1","folderPath":"$/out"}],"eventType":"exportFile"})",
     {"$/out/1-1-1.ai"}},
    {"AnExportWhoseWriterFailsLeavesTheCounters",
     "exportFile "
     "{\"formats\":[\"ai\",\"pdf\"],\"aiVersion\":5,\"pdfLayers\":5,\"folderPath\":\"$/out\",\"fileName\":"
     "[{\"command\":\"counter\",\"name\":\"file\"}]}\n"
     "%export%}",
     R"({"Results":[{"error":"Can't export a file of type 'ai'","exportSuccessful":false,"fileFormat":"ai","fileName":"1","folderPath":"$/out"},{"error":"Can't export a file of type 'pdf'","exportSuccessful":false,"fileFormat":"pdf","fileName":"2","folderPath":"$/out"}],"eventType":"exportFile"}
{"Results":[{"exportSuccessful":true,"fileFormat":"ai","fileName":"1-1-1","folderPath":"$/out"}],"eventType":"exportFile"})",
     {"!$/out/1.ai", "!$/out/2.pdf", "$/out/1-1-1.ai"}},
    // A test export names its files as the export it tests will.
    {"ATestExportLeavesTheCounters",
     "exportFile "
     "{\"formats\":[\"ai\"],\"testExport\":true,\"folderPath\":\"$/out\",\"fileName\":[{\"command\":"
     "\"counter\",\"name\":\"file\"}]}\n"
     "exportFile "
     "{\"formats\":[\"ai\"],\"folderPath\":\"$/out\",\"fileName\":[{\"command\":\"counter\",\"name\":"
     "\"file\"}]}",
     R"({"Results":[{"exportSuccessful":true,"fileFormat":"ai","fileName":"1","folderPath":"$/out"}],"eventType":"exportFile"}
{"Results":[{"exportSuccessful":true,"fileFormat":"ai","fileName":"1","folderPath":"$/out"}],"eventType":"exportFile"})",
     {"$/out/1.ai"}},
    // A failed command changes nothing: neither the reset at the start of the export ("job" keeps its
    // 6) nor a counter that a name template's "overrides" made.
    {"AFailedExportLeavesTheCountersAndMakesNone",
     "counters {\"method\":\"increment\",\"counters\":[\"job\"],\"incrementBy\":5}\n"
     "exportFile {\"formats\":[\"ai\"],\"folderPath\":\"$/out\",\"fileName\":[{\"command\":\"counter\","
     "\"overrides\":{\"name\":\"made\",\"count\":5}}],\"jobs\":[{},{\"fileName\":\"b.ai\\u0000\"}]}\n"
     "counters {\"method\":\"getProperties\",\"counters\":[\"job\",\"made\"]}",
     R"({"eventType":"counters","method":"increment"}
{"error":"Can't process a file name or path","eventType":"exportFile"}
{"counters":[{"builtin":true,"count":6,"erasable":true,"incrementBy":1,"incrementTrigger":"job","name":"job","padding":1,"resetTrigger":"export","standard":true,"start":1}],"eventType":"counters","method":"getProperties"})",
     {"!$/out"}},
    // Once a file is written the names given out stand, a failed job's among them: the next export
    // goes on after them.
    {"AnExportWithAFailedJobKeepsTheNamesItGaveOut",
     "%export%,\"jobs\":[{},{\"folderPath\":\"$/a.ai/x\"},{}]}\n"
     "%export%}",
     R"({"Results":[{"exportSuccessful":true,"fileFormat":"ai","fileName":"1-1-1","folderPath":"$/out"},{"error":"Can't create output directory","exportSuccessful":false,"fileFormat":"ai","fileName":"2-2-1","folderPath":"$/a.ai/x"},{"exportSuccessful":true,"fileFormat":"ai","fileName":"3-3-1","folderPath":"$/out"}],"eventType":"exportFile"}
{"Results":[{"exportSuccessful":true,"fileFormat":"ai","fileName":"4-1-2","folderPath":"$/out"}],"eventType":"exportFile"})",
     {"$/out/1-1-1.ai", "$/out/3-3-1.ai", "$/out/4-1-2.ai"}},
    // An open document is found by a path relative to the working folder, or spelt through ".", as
    // by its full path: it is brought forward, not opened a second time, and closed by that path.
    {"OpenTheOpenFileByARelativePath",
     "openFile {\"filePath\":\"a.ai\",\"colorMode\":\"CMYK\"}\n"
     "openFile {\"filePath\":\"./a.ai\"}\n"
     "closeDocument {\"filePath\":\"a.ai\"}\n"
     "getDocumentUnits {}",
     R"({"colorSpace":"RGB","eventType":"openFile","filePath":"a.ai","isNew":false,"isOpen":true,"isSaved":true,"scaleFactor":1.0}
{"colorSpace":"RGB","eventType":"openFile","filePath":"./a.ai","isNew":false,"isOpen":true,"isSaved":true,"scaleFactor":1.0}
{"eventType":"closeDocument"}
{"error":"Can't determine document units","eventType":"getDocumentUnits"})",
     {"$/a.ai"}},
    {"OpenARelativePathTwiceOpensItOnce",
     "openFile {\"filePath\":\"b.ai\"}\n"
     "openFile {\"filePath\":\"$/b.ai\"}\n"
     "openFile {\"filePath\":\"cloud/../b.ai\"}\n"
     "closeDocument {\"filePath\":\"./b.ai\"}\n"
     "closeDocument {\"filePath\":\"b.ai\"}",
     R"({"colorSpace":"RGB","eventType":"openFile","filePath":"b.ai","isNew":false,"isOpen":false,"isSaved":true,"scaleFactor":1.0}
{"colorSpace":"RGB","eventType":"openFile","filePath":"$/b.ai","isNew":false,"isOpen":true,"isSaved":true,"scaleFactor":1.0}
{"colorSpace":"RGB","eventType":"openFile","filePath":"cloud/../b.ai","isNew":false,"isOpen":true,"isSaved":true,"scaleFactor":1.0}
{"eventType":"closeDocument"}
{"error":"Can't close a document","eventType":"closeDocument"})",
     {"$/b.ai"}},
    // The date and time tokens, by their default formats and by formats of their own: the clock
    // varies, the form does not. A "." is no delimiter of names and drops out; ":" prints as ";".
    {"DateAndTimeTokens",
     R"(exportFile {"formats":["ai"],"folderPath":"$/out","fileName":[{"command":"time_stamp"},"_",{"command":"date"},"_",{"command":"time"},"_",{"command":"date","format":"YYYY-MM-DD"},"_",{"command":"time","format":"HH:mm:ss.SSS"},"_",{"command":"time_stamp","format":"x"},"_",{"command":"date","format":"DD MM YY hh"}]})",
     R"({"Results":[{"exportSuccessful":true,"fileFormat":"ai","fileName":"##############_########_######_####-##-##_##;##;#####_#############_## ## ## ##","folderPath":"$/out"}],"eventType":"exportFile"})",
     {}},
    // A pipe no process reads can't take a save: the save fails at once instead of waiting for ever.
    {"SaveIntoAPipeNoOneReads",
     R"(saveFile {"outputPath":"$","fileName":"pipe"})",
     R"({"error":"Can't save a file","eventType":"saveFile"})",
     {"$/pipe"}},
    // A name of the longest length a file name may have (255 bytes with its extension).
    {"ExportUnderTheLongestName",
     R"(exportFile {"formats":["ai"],"folderPath":"$/out","fileName":"nnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnn"})",
     R"({"Results":[{"exportSuccessful":true,"fileFormat":"ai","fileName":"nnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnn","folderPath":"$/out"}],"eventType":"exportFile"})",
     {"$/out/"
      "nnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnn"
      "nnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnn"
      "nnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnn.ai"}},
    {"CopyOntoTheLongestName",
     R"(copyFile {"source":"$/b.ai","destination":"$/nnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnn.ai"})",
     R"({"copySuccessful":true,"eventType":"copyFile"})",
     {"=$/"
      "nnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnn"
      "nnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnn"
      "nnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnn.ai"}},
    // No save of a copy and no copy goes over the file of an open document, another one's or the
    // document's own, however the path is spelt: the file keeps what its document last saved, so
    // that a document reported as saved is. Each is refused before anything is made (a ".." after
    // a folder that doesn't exist, which the system fails, is refused as such); once the
    // document is closed its file is a file as any other. (b.ai, changed in CMYK, is saved over a.ai
    // and over its own file: both keep the sample's bytes.)
    {"SaveACopyOverTheFileOfAnOpenDocument",
     "openFile {\"filePath\":\"$/b.ai\"}\n"
     "setDocumentColorMode {\"colorMode\":\"CMYK\"}\n"
     "saveFile {\"outputPath\":\"$\",\"fileName\":\"a.ai\"}\n"
     "saveFile {\"outputPath\":\"$/cloud/..\",\"fileName\":\"a.ai\"}\n"
     "saveFile {\"outputPath\":\".\",\"fileName\":\"b.ai\"}\n"
     "saveFile {\"outputPath\":\"$/new/..\",\"fileName\":\"a.ai\"}\n"
     "openFile {\"filePath\":\"$/a.ai\"}",
     R"({"colorSpace":"RGB","eventType":"openFile","filePath":"$/b.ai","isNew":false,"isOpen":false,"isSaved":true,"scaleFactor":1.0}
{"eventType":"setDocumentColorMode"}
{"error":"Can't save over the file of an open document","eventType":"saveFile"}
{"error":"Can't save over the file of an open document","eventType":"saveFile"}
{"error":"Can't save over the file of an open document","eventType":"saveFile"}
{"error":"Can't create output directory","eventType":"saveFile"}
{"colorSpace":"RGB","eventType":"openFile","filePath":"$/a.ai","isNew":false,"isOpen":true,"isSaved":true,"scaleFactor":1.0})",
     {"=$/a.ai", "=$/b.ai", "!$/new"}},
    {"CopyOverTheFileOfAnOpenDocument",
     "openFile {\"filePath\":\"$/b.ai\"}\n"
     "copyFile {\"source\":\"$/stdin.txt\",\"destination\":\"$/a.ai\"}\n"
     "copyFile {\"source\":\"$/stdin.txt\",\"destination\":\"b.ai\"}\n"
     "copyFile {\"destination\":\"$/cloud/../a.ai\"}\n"
     "closeDocument {}\n"
     "copyFile {\"source\":\"$/stdin.txt\",\"destination\":\"$/b.ai\"}",
     R"({"colorSpace":"RGB","eventType":"openFile","filePath":"$/b.ai","isNew":false,"isOpen":false,"isSaved":true,"scaleFactor":1.0}
{"copySuccessful":false,"error":"Can't copy over the file of an open document","eventType":"copyFile"}
{"copySuccessful":false,"error":"Can't copy over the file of an open document","eventType":"copyFile"}
{"copySuccessful":false,"error":"Can't copy over the file of an open document","eventType":"copyFile"}
{"eventType":"closeDocument"}
{"copySuccessful":true,"eventType":"copyFile"})",
     {"=$/a.ai", "$/stdin.txt"}},
    // Nor is a cloud document saved over the file of an open (cloud) document.
    {"SaveToTheCloudOverAnOpenCloudDocument",
     "openCloudFile {\"filePath\":\"c/doc.aic\"}\n"
     "openFile {\"filePath\":\"$/a.ai\"}\n"
     "setDocumentColorMode {\"colorMode\":\"CMYK\"}\n"
     "saveCloudFile {\"filePath\":\"c/doc.ai\"}",
     R"({"eventType":"openCloudFile"}
{"colorSpace":"RGB","eventType":"openFile","filePath":"$/a.ai","isNew":false,"isOpen":true,"isSaved":true,"scaleFactor":1.0}
{"eventType":"setDocumentColorMode"}
{"error":"Can't save a cloud document","eventType":"saveCloudFile"})",
     {"=$/cloud/c/doc.aic", "=$/a.ai"}},
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

// A revert, or an export's reopening, whose file no longer opens answers the error and keeps the
// open document with its changes: saved to another file and opened again, the change is there.
TEST_F(DocumentFailures, ARevertWhoseFileNoLongerOpensKeepsTheDocument) {
    const struct {
        const char* name;
        void (*damage)(const fs::path& file);
        const char* error;
        const char* exportError;  // of an export that reopens the file afterwards
    } cases[] = {
        {"removed", [](const fs::path& file) { fs::remove(file); }, "FilePath not found",
         "Can't get specs of a current document"},
        {"a folder in its place",
         [](const fs::path& file) {
             fs::remove(file);
             fs::create_directory(file);
         },
         "FilePath not found", "Can't get specs of a current document"},
        {"corrupted", [](const fs::path& file) { std::ofstream(file) << "{\"format\": \"plimhost-doc"; },
         "Can't open the document", "Can't reopen a source file"},
        {"emptied", [](const fs::path& file) { std::ofstream(file, std::ios::trunc).close(); },
         "Can't open the document", "Can't reopen a source file"},
    };
    const std::string sample = ReadFile(std::string(PLIM_SOURCE_DIR) + "/examples/sample.json");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const fs::path file = scratch.Path() / (std::string(c.name) + ".ai");
        scratch.Write(file.filename().string(), sample);
        ASSERT_FALSE(ScriptJson("openFile", json{{"filePath", file.string()}}.dump()).contains("error"));
        ASSERT_FALSE(ScriptJson("setTags", R"({"tagSearch":"logo","tags":["changed"]})").contains("error"));
        const int documents = app->DocumentCount();
        c.damage(file);
        EXPECT_EQ(ScriptJson("revert")["error"], c.error);
        EXPECT_EQ(app->DocumentCount(), documents);
        EXPECT_EQ(app->DocumentPath(), file.string());
        EXPECT_TRUE(app->DocumentModified());

        // An export that reopens its source file afterwards finds that it can't, and keeps the
        // document as well.
        const json exported = ScriptJson("exportFile", json{{"formats", {"ai"}},
                                                            {"folderPath", (scratch.Path() / "out").string()},
                                                            {"fileName", c.name},
                                                            {"reopenSourceFile", true}}
                                                           .dump());
        EXPECT_EQ(exported["error"], c.exportError);
        EXPECT_EQ(app->DocumentCount(), documents);
        EXPECT_TRUE(app->DocumentModified());

        // The damaged (or missing) file is still the document's: no copy is saved there.
        const fs::file_status before = fs::symlink_status(file);
        const json over = {{"outputPath", scratch.Path().string()}, {"fileName", file.filename().string()}};
        EXPECT_EQ(ScriptJson("saveFile", over.dump())["error"],
                  "Can't save over the file of an open document");
        EXPECT_EQ(fs::symlink_status(file).type(), before.type());

        const std::string kept = std::string(c.name) + " kept.ai";
        const json save = {{"outputPath", scratch.Path().string()}, {"fileName", kept}};
        ASSERT_FALSE(ScriptJson("saveFile", save.dump()).contains("error"));
        ASSERT_FALSE(ScriptJson("closeDocument").contains("error"));
        const std::string reopened = (scratch.Path() / kept).string();
        ASSERT_FALSE(ScriptJson("openFile", json{{"filePath", reopened}}.dump()).contains("error"));
        EXPECT_FALSE(ScriptJson("getByTags", R"({"tagSearch":"changed"})").contains("error"));
        ASSERT_FALSE(ScriptJson("closeDocument").contains("error"));
    }
}

}  // namespace
