// "exportFile" through the real host: job lists over a saved document of three artboards, the files
// read back, the options the native writer was given (the action manager's journal), and the
// document after every request exactly as before it, with the user's last edit still the one undo
// takes back.
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <map>
#include <set>

#include "AIDocument.h"
#include "PluginFixture.h"
#include "ProgramRun.h"

namespace {

namespace fs = std::filesystem;

std::string Replace(std::string text, const std::string& from, const std::string& to) {
    for (std::size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size())) {
        text.replace(at, from.size(), to);
    }
    return text;
}

// What a native file written by a job holds: the names of its art and layers, and its artboards.
struct Written {
    std::set<std::string> names;
    std::size_t artboards;
};

// One request: the reply it must get ($ stands for the scratch folder), the files it must leave
// (relative to $; nullopt: the file must not exist) and options the first native write must carry.
struct ExportCase {
    const char* name;
    const char* request;
    const char* reply;
    std::map<std::string, std::optional<Written>> files;
    std::vector<std::string> options;
    bool inBatch = false;
    bool reopens = false;
};

void PrintTo(const ExportCase& c, std::ostream* out) {
    *out << c.name;
}

const std::set<std::string> kOnArtboards = {"Top", "Bottom", "Inner", "G", "R1", "R2", "R3", "S1"};

// The example of three artboards, with R1 and R2 grouped as G, S1 selected and a hidden layer.
std::string SourceDocument() {
    json document =
        json::parse(testsupport::ReadFile(std::string(PLIM_SOURCE_DIR) + "/examples/boards.json"));
    json& top = document["layers"][0]["children"];
    top = json::array({json{{"type", "group"}, {"name", "G"}, {"children", {top[0], top[1]}}}, top[2]});
    document["layers"][1]["children"][0]["selected"] = true;
    json hidden = {{"type", "layer"}, {"title", "Hidden"}, {"visible", false}, {"children", json::array()}};
    hidden["children"].push_back(document["layers"][1]["children"][1]);
    hidden["children"][0].erase("uuid");
    hidden["children"][0]["name"] = "H1";
    document["layers"].push_back(hidden);
    return document.dump();
}

std::optional<Written> ReadWritten(const fs::path& file) {
    auto opened = host::model::openDocument(file, 1);
    if (!opened.document) {
        return std::nullopt;
    }
    const json text = json::parse(host::model::writeDocument(*opened.document).text.value_or("{}"));
    Written written{{}, text["artboards"].size()};
    std::vector<const json*> pending;
    for (const json& layer : text["layers"]) {
        pending.push_back(&layer);
    }
    while (!pending.empty()) {
        const json& art = *pending.back();
        pending.pop_back();
        written.names.insert(art.value("name", art.value("title", std::string())));
        if (const auto children = art.find("children"); children != art.end()) {
            for (const json& child : *children) {
                pending.push_back(&child);
            }
        }
    }
    return written;
}

bool HoldsTemporaryFile(const fs::path& folder) {
    std::error_code ignored;
    for (const auto& entry : fs::recursive_directory_iterator(folder, ignored)) {
        if (entry.path().filename().string().find("torviAiTempFile") != std::string::npos) {
            return true;
        }
    }
    return false;
}

class ExportFile : public PluginTest, public testing::WithParamInterface<ExportCase> {
protected:
    void SetUp() override {
        PluginTest::SetUp();
        fs::create_directories(Temp());
        setenv("TMPDIR", Temp().c_str(), 1);
        setenv("TZ", "UTC", 1);
        tzset();
        const std::string source = scratch.Write("src.ai", SourceDocument());
        auto opened = host::model::openDocument(source, 7);
        ASSERT_TRUE(opened.document) << opened.error;
        app->OpenDocument(std::make_unique<host::model::Document>(std::move(*opened.document)), source);
    }
    void TearDown() override {
        unsetenv("TMPDIR");
        unsetenv("TZ");
        tzset();
    }

    fs::path Temp() const { return scratch.Path() / "tmp"; }
    std::string Folder() const { return scratch.Path().string(); }
    std::string DocumentText() {
        return host::model::writeDocument(*app->CurrentDocument()).text.value_or("");
    }

    // The options of the first native write, as "key=t:value".
    std::vector<std::string> FirstWriteOptions() {
        for (const auto& entry : app->Journal().Entries()) {
            if (entry.operation == "PlayActionEvent") {
                return entry.arguments;
            }
        }
        return {};
    }

    testsupport::ScratchFolder scratch{"export"};
};

TEST_P(ExportFile, WritesTheJobsAndLeavesTheDocument) {
    const ExportCase& c = GetParam();
    const std::string before = DocumentText();
    const std::string edit = R"({"tagSearch":"r2","tags":["edited"]})";
    const std::string request = Replace(c.request, "$", Folder());
    json reply;
    if (c.inBatch) {
        const json batch = {
            {"data",
             {{{"eventType", "com.torvi.event.setTags"}, {"data", json::parse(edit)}},
              {{"eventType", "com.torvi.event.exportFile"}, {"data", json::parse(request)}}}}};
        reply = ScriptJson("batchCall", batch.dump())["data"][1]["data"];
    } else {
        Script("setTags", edit);
        reply = ScriptJson("exportFile", request);
    }
    const std::string edited = DocumentText();
    EXPECT_EQ(reply, json::parse(Replace(c.reply, "$", Folder())));

    for (const auto& [file, expected] : c.files) {
        const fs::path path = scratch.Path() / file;
        if (!expected) {
            EXPECT_FALSE(fs::exists(path)) << file;
            continue;
        }
        const std::optional<Written> written = ReadWritten(path);
        ASSERT_TRUE(written) << file;
        EXPECT_EQ(written->names, expected->names) << file;
        EXPECT_EQ(written->artboards, expected->artboards) << file;
    }
    const std::vector<std::string> options = FirstWriteOptions();
    for (const std::string& option : c.options) {
        EXPECT_NE(std::find(options.begin(), options.end(), option), options.end()) << option;
    }
    EXPECT_FALSE(HoldsTemporaryFile(scratch.Path())) << "a temporary file stayed";

    if (c.reopens) {
        EXPECT_EQ(app->DocumentPath(), Folder() + "/src.ai");
        return;
    }
    // The export left the document as the edit made it, and undo still takes back the edit.
    ASSERT_NE(edited.find("edited"), std::string::npos);
    ASSERT_EQ(app->Undo(), kNoErr);
    EXPECT_EQ(DocumentText(), before);
}

constexpr const char* kDefaultAiOptions[] = {
    "frmt=s:Host Any Format Writer",
    "extn=u:ai,ait",
    "smab=b:0",
    "sall=b:1",
    "crtr=e:=24",
    "flat=e:=2",
    "embd=i:1",
    "rato=i:100",
    "prfl=i:0",
    "incl=b:1",
    "pdf =b:1",
    "cmpr=b:1",
    "sbst=b:0",
};

Written On(std::set<std::string> names, std::size_t artboards) {
    return Written{std::move(names), artboards};
}

const ExportCase kCases[] = {
    {"TheWholeDocumentAsOneNativeFileWithDefaultOptions",
     R"({"uid":"e1","formats":["AI","gif"],"folderPath":"$/out","fileName":"doc"})",
     R"({"eventType":"exportFile","uid":"e1","Results":[{"exportSuccessful":true,"fileFormat":"ai","fileName":"doc","folderPath":"$/out"}]})",
     {{"out/doc.ai", On(kOnArtboards, 3)}},
     {std::begin(kDefaultAiOptions), std::end(kDefaultAiOptions)}},
    {"AsIsWritesEverythingWithTheJobsOptions",
     R"({"formats":["ai"],"folderPath":"$/out","fileName":"doc","as_is":true,"aiVersion":"CS6","aiTransparency":"Preserve Paths","aiEmbedFonts":false,"aiSubsetFontsRatio":50.0,"aiSubsetFonts":true})",
     R"({"eventType":"exportFile","Results":[{"exportSuccessful":true,"fileFormat":"ai","fileName":"doc","folderPath":"$/out"}]})",
     {{"out/doc.ai", On({"Top", "Bottom", "Inner", "Hidden", "G", "R1", "R2", "R3", "S1", "Far", "H1"}, 3)}},
     {"crtr=e:=16", "flat=e:=0", "embd=i:0", "rato=i:50", "sbst=b:1"}},
    {"UnknownNamesKeepTheDefaults",
     R"({"formats":["ai"],"folderPath":"$/out","fileName":"doc","aiVersion":"cs6"})",
     R"({"eventType":"exportFile","Results":[{"exportSuccessful":true,"fileFormat":"ai","fileName":"doc","folderPath":"$/out"}]})",
     {{"out/doc.ai", On(kOnArtboards, 3)}},
     {"crtr=e:=24"}},
    {"OneFilePerArtboardNamedByTheArtboard",
     R"({"formats":["ai"],"artboardRange":"2-3","exportAsMultiPage":false,"folderPath":["$/","out"],"fileName":["b_",{"command":"artboard_name","casing":"lower"}]})",
     R"({"eventType":"exportFile","Results":[
        {"exportSuccessful":true,"fileFormat":"ai","fileName":"b_two","folderPath":"$/out"},
        {"exportSuccessful":true,"fileFormat":"ai","fileName":"b_three","folderPath":"$/out"}]})",
     {{"out/b_two.ai", On({"Top", "Inner", "G", "R1", "R2"}, 1)},
      {"out/b_three.ai", On({"Top", "Inner", "R3"}, 1)}},
     {}},
    {"AppendedArtboardNumbersAndCounters",
     R"({"formats":["ai"],"artboardRange":"1,3","exportAsMultiPage":false,"artboardNumberLength":2,"folderPath":"$/out",
        "fileName":[{"command":"counter","name":"file","padding":3},"_",{"command":"date","format":"Z"},"_",{"command":"file_format","casing":"upper"}]})",
     R"({"eventType":"exportFile","Results":[
        {"exportSuccessful":true,"fileFormat":"ai","fileName":"001_GMT+0000_AI 01","folderPath":"$/out"},
        {"exportSuccessful":true,"fileFormat":"ai","fileName":"002_GMT+0000_AI 03","folderPath":"$/out"}]})",
     {{"out/001_GMT+0000_AI 01.ai", On({"Top", "Bottom", "Inner", "G", "R1", "R2", "S1"}, 1)},
      {"out/002_GMT+0000_AI 03.ai", On({"Top", "Inner", "R3"}, 1)}},
     {}},
    {"ATaggedObjectInAGroupKeepsTheGroup",
     R"({"formats":["ai"],"tagSearch":"r1","folderPath":"$/out","fileName":"tagged"})",
     R"({"eventType":"exportFile","Results":[{"exportSuccessful":true,"fileFormat":"ai","fileName":"tagged","folderPath":"$/out"}]})",
     {{"out/tagged.ai", On({"Top", "Inner", "G", "R1"}, 3)}},
     {}},
    {"TheSelectedArtInABatch",
     R"({"formats":["ai"],"exportSelected":true,"folderPath":"$/out","fileName":"selected"})",
     R"({"eventType":"exportFile","Results":[{"exportSuccessful":true,"fileFormat":"ai","fileName":"selected","folderPath":"$/out"}]})",
     {{"out/selected.ai", On({"Bottom", "S1"}, 3)}},
     {},
     true},
    {"FailingJobsFailAloneAndTheLaterOnesRun",
     R"({"formats":["ai"],"folderPath":"$/out","jobs":[
        {"fileName":"a","aiVersion":5},
        {"fileName":"b","aiSubsetFontsRatio":1e12},
        {"fileName":"c","aiEmbedImages":"yes"},
        {"fileName":"d","tagSearch":"nothing"},
        {"fileName":"e","artboardRange":"9"},
        {"fileName":"f","as_is":"no"},
        {"fileName":"g"}]})",
     R"({"eventType":"exportFile","Results":[
        {"error":"Can't set the aiVersion parameter","exportSuccessful":false,"fileFormat":"ai","fileName":"a","folderPath":"$/out"},
        {"error":"Can't set the aiSubsetFontsRatio parameter","exportSuccessful":false,"fileFormat":"ai","fileName":"b","folderPath":"$/out"},
        {"error":"Can't set the aiEmbedImages parameter","exportSuccessful":false,"fileFormat":"ai","fileName":"c","folderPath":"$/out"},
        {"error":"Can't find an art to export","exportSuccessful":false,"fileFormat":"ai","fileName":"d","folderPath":"$/out"},
        {"exportSuccessful":true,"fileFormat":"ai","fileName":"e","folderPath":"$/out"},
        {"error":"\"as_is\" must be true or false","exportSuccessful":false,"fileFormat":"ai","fileName":"f","folderPath":"$/out"},
        {"exportSuccessful":true,"fileFormat":"ai","fileName":"g","folderPath":"$/out"}]})",
     {{"out/a.ai", std::nullopt}, {"out/d.ai", std::nullopt}, {"out/g.ai", On(kOnArtboards, 3)}},
     {}},
    {"TestExportInEveryFormatWritesNothing",
     R"({"formats":["ai","pdf","svg","eps","psd","tif","jpg","png"],"testExport":true,"document":true,"folderPath":"$/new/deep","fileName":"t"})",
     R"({"eventType":"exportFile","Results":[
        {"exportSuccessful":true,"fileFormat":"ai","fileName":"t","folderPath":"$/new/deep"},
        {"exportSuccessful":true,"fileFormat":"pdf","fileName":"t","folderPath":"$/new/deep"},
        {"exportSuccessful":true,"fileFormat":"svg","fileName":"t","folderPath":"$/new/deep"},
        {"exportSuccessful":true,"fileFormat":"eps","fileName":"t","folderPath":"$/new/deep"},
        {"exportSuccessful":true,"fileFormat":"psd","fileName":"t","folderPath":"$/new/deep"},
        {"exportSuccessful":true,"fileFormat":"tif","fileName":"t","folderPath":"$/new/deep"},
        {"exportSuccessful":true,"fileFormat":"jpg","fileName":"t","folderPath":"$/new/deep"},
        {"exportSuccessful":true,"fileFormat":"png","fileName":"t","folderPath":"$/new/deep"}]})",
     {{"new/deep/t.ai", std::nullopt}, {"new/deep/t.png", std::nullopt}},
     {}},
    {"NoKnownFormat",
     R"({"uid":"n","formats":["gif"],"folderPath":"$/out","fileName":"x"})",
     R"({"eventType":"exportFile","uid":"n","error":"Can't read file formats"})",
     {},
     {}},
    {"ARangeOfTheWrongType",
     R"({"formats":["ai"],"artboardRange":2,"folderPath":"$/out","fileName":"x"})",
     R"({"eventType":"exportFile","error":"Can't process artboard ranges"})",
     {},
     {}},
    {"AFileNameThatLeavesTheFolder",
     R"({"formats":["ai"],"folderPath":"$/out","jobs":[{"fileName":"ok"},{"fileName":".."}]})",
     R"({"eventType":"exportFile","error":"Can't process a file name or path"})",
     {{"out/ok.ai", On(kOnArtboards, 3)}},
     {}},
    {"ReopenTheSourceFile",
     R"({"formats":["ai"],"folderPath":"$/out","fileName":"doc","reopenSourceFile":true})",
     R"({"eventType":"exportFile","Results":[{"exportSuccessful":true,"fileFormat":"ai","fileName":"doc","folderPath":"$/out"}]})",
     {{"out/doc.ai", On(kOnArtboards, 3)}},
     {},
     false,
     true},
};

INSTANTIATE_TEST_SUITE_P(Jobs, ExportFile, testing::ValuesIn(kCases),
                         [](const testing::TestParamInfo<ExportCase>& info) { return info.param.name; });

// A file already at the final path is replaced by a delivery and left alone by a test export.
TEST_F(ExportFile, ReplacesAnExistingFileButATestLeavesIt) {
    fs::create_directories(scratch.Path() / "out");
    scratch.Write("out/doc.ai", "old");
    const std::string request = Replace(
        R"({"formats":["ai"],"folderPath":"$/out","fileName":"doc","testExport":true})", "$", Folder());
    EXPECT_EQ(ScriptJson("exportFile", request)["Results"][0]["exportSuccessful"], true);
    EXPECT_EQ(testsupport::ReadFile(Folder() + "/out/doc.ai"), "old");
    EXPECT_EQ(ScriptJson("exportFile", Replace(request, "true", "false"))["Results"][0]["exportSuccessful"],
              true);
    EXPECT_TRUE(ReadWritten(scratch.Path() / "out/doc.ai"));
}

}  // namespace
