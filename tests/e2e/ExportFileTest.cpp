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

using testsupport::Replace;

// What a native file written by a job holds: the names of its art and layers, and its artboards.
// Symbols count as "symbol:" and their name. xmp: a text its XMP packet must hold (when not
// empty), the packet being well-formed XML.
struct Written {
    std::set<std::string> names;
    std::size_t artboards;
    std::string xmp;
};

// How the request comes in: a script message, a panel event, or an entry of a "batchCall" after an
// entry that edits the document.
enum class Way { kScript, kPanel, kBatch };

// One request: the reply it must get ($ stands for the scratch folder), the files it must leave
// (relative to $; nullopt: the file must not exist) and options the first native write must carry.
struct ExportCase {
    const char* name;
    const char* request;
    const char* reply;
    std::map<std::string, std::optional<Written>> files;
    std::vector<std::string> options;
    Way way = Way::kScript;
    bool reopens = false;
};

void PrintTo(const ExportCase& c, std::ostream* out) {
    *out << c.name;
}

const std::set<std::string> kOnArtboards = {"Top", "Bottom", "Inner", "G",  "R1",
                                            "R2",  "R3",     "S1",    "I1", "symbol:Used"};

constexpr const char* kPacket = R"(<?xpacket begin="" id="x"?>
<x:xmpmeta xmlns:x="urn:plimhost:meta/"><rdf:RDF xmlns:rdf="http://www.w3.org/1999/02/22-rdf-syntax-ns#">
<rdf:Description rdf:about="" xmlns:dc="http://purl.org/dc/elements/1.1/"><dc:creator>old</dc:creator></rdf:Description>
</rdf:RDF></x:xmpmeta>
<?xpacket end="w"?>)";

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
    // Far, off every artboard, is clipped by a copy of itself in the clip group C.
    json& far = document["layers"][1]["children"][1];
    json mask = far;
    mask.erase("uuid");
    mask.erase("tags");
    mask["name"] = "M";
    mask["clippingMask"] = true;
    far = json{{"type", "group"}, {"name", "C"}, {"clipped", true}, {"children", {mask, far}}};
    // R1 is painted with the swatch "Red"; "Blue" paints nothing. "Used" has an instance, "Unused"
    // none.
    document["swatches"] = json::parse(R"([{"color":"none","name":"[None]"},
        {"color":{"cmyk":[1.0,1.0,1.0,1.0]},"name":"[Registration]"},{"color":{"rgb":[1.0,1.0,1.0]},"name":"White"},
        {"color":{"rgb":[0.0,0.0,0.0]},"name":"Black"},{"color":{"rgb":[1.0,0.0,0.0]},"name":"Red"},
        {"color":{"rgb":[0.0,0.0,1.0]},"name":"Blue"}])");
    top[0]["children"][0]["style"] =
        json::parse(R"({"paintFields":[{"fill":{"color":{"rgb":[1.0,0.0,0.0]}}}]})");
    document["symbols"] = json::array({"Used", "Unused"});
    document["layers"][1]["children"].push_back(
        json::parse(R"({"type":"symbol","name":"I1","symbol":"Used","frame":[0,10,10,0]})"));
    document["xmp"] = kPacket;
    return document.dump();
}

std::optional<Written> ReadWritten(const fs::path& file) {
    auto opened = host::model::openDocument(file, 1);
    if (!opened.document) {
        return std::nullopt;
    }
    const json text = json::parse(host::model::writeDocument(*opened.document).text.value_or("{}"));
    Written written{{}, text["artboards"].size(), text.value("xmp", std::string())};
    for (const json& symbol : text.value("symbols", json::array())) {
        written.names.insert("symbol:" +
                             (symbol.is_string() ? symbol.get<std::string>() : symbol.value("name", "")));
    }
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

class ExportFixture : public PluginTest {
protected:
    void SetUp() override {
        PluginTest::SetUp();
        fs::create_directories(Temp());
        setenv("TMPDIR", Temp().c_str(), 1);
        setenv("TZ", "UTC", 1);
        tzset();
        const std::string source = scratch.Write("src.ai", SourceDocument());
        OpenDocumentFile(source, 7);
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

class ExportFile : public ExportFixture, public testing::WithParamInterface<ExportCase> {};

TEST_P(ExportFile, WritesTheJobsAndLeavesTheDocument) {
    const ExportCase& c = GetParam();
    const std::string before = DocumentText();
    const std::string edit = R"({"tagSearch":"r2","tags":["edited"]})";
    const std::string request = Replace(c.request, "$", Folder());
    json reply;
    if (c.way == Way::kBatch) {
        const json batch = {
            {"data",
             {{{"eventType", "com.torvi.event.setTags"}, {"data", json::parse(edit)}},
              {{"eventType", "com.torvi.event.exportFile"}, {"data", json::parse(request)}}}}};
        reply = ScriptJson("batchCall", batch.dump())["data"][1]["data"];
    } else if (c.way == Way::kPanel) {
        Script("setTags", edit);
        app->Panel().ClearDispatched();
        app->Panel().Send("com.torvi.event.exportFile", request, "panel");
        const auto events = app->Panel().TakeDispatched();
        ASSERT_EQ(events.size(), 1u);
        reply = json::parse(events[0].data);
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
        if (!expected->xmp.empty()) {
            EXPECT_NE(written->xmp.find(expected->xmp), std::string::npos) << written->xmp;
            const std::string packet = scratch.Write("packet.xml", written->xmp);
            EXPECT_EQ(std::system(("xmllint --noout '" + packet + "'").c_str()), 0) << written->xmp;
        }
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

Written On(std::set<std::string> names, std::size_t artboards, std::string xmp = {}) {
    return Written{std::move(names), artboards, std::move(xmp)};
}

const ExportCase kCases[] = {
    {"TheWholeDocumentAsOneNativeFileWithDefaultOptions",
     R"({"uid":"e1","formats":["AI","gif"],"folderPath":"$/out","fileName":"doc","metadata":{"author":["Ann & Bo"],"rating":3,"copyrightStatus":true}})",
     R"({"eventType":"exportFile","uid":"e1","Results":[{"exportSuccessful":true,"fileFormat":"ai","fileName":"doc","folderPath":"$/out"}]})",
     {{"out/doc.ai", On(kOnArtboards, 3, "<rdf:li>Ann &amp; Bo</rdf:li>")}},
     {std::begin(kDefaultAiOptions), std::end(kDefaultAiOptions)}},
    {"AsIsWritesEverythingWithTheJobsOptions",
     R"({"formats":["ai"],"folderPath":"$/out","fileName":"doc","as_is":true,"aiVersion":"CS6","aiTransparency":"Preserve Paths","aiEmbedFonts":false,"aiSubsetFontsRatio":50.0,"aiSubsetFonts":true})",
     R"({"eventType":"exportFile","Results":[{"exportSuccessful":true,"fileFormat":"ai","fileName":"doc","folderPath":"$/out"}]})",
     {{"out/doc.ai", On({"Top", "Bottom", "Inner", "Hidden", "G", "R1", "R2", "R3", "S1", "C", "M", "Far",
                         "H1", "I1", "symbol:Used", "symbol:Unused"},
                        3, "<dc:creator>old</dc:creator>")}},
     {"crtr=e:=16", "flat=e:=0", "embd=i:0", "rato=i:50", "sbst=b:1"}},
    {"UnknownNamesKeepTheDefaults",
     R"({"formats":["ai"],"folderPath":"$/out","fileName":"doc","aiVersion":"cs6"})",
     R"({"eventType":"exportFile","Results":[{"exportSuccessful":true,"fileFormat":"ai","fileName":"doc","folderPath":"$/out"}]})",
     {{"out/doc.ai", On(kOnArtboards, 3)}},
     {"crtr=e:=24"}},
    {"OneFilePerArtboardNamedByTheArtboardThroughThePanel",
     R"({"formats":["ai"],"artboardRange":"2-3","exportAsMultiPage":false,"folderPath":["$/","out"],"fileName":["b_",{"command":"artboard_name","casing":"lower"}]})",
     R"({"eventType":"exportFile","Results":[
        {"exportSuccessful":true,"fileFormat":"ai","fileName":"b_two","folderPath":"$/out"},
        {"exportSuccessful":true,"fileFormat":"ai","fileName":"b_three","folderPath":"$/out"}]})",
     {{"out/b_two.ai", On({"Top", "Inner", "G", "R1", "R2"}, 1)},
      {"out/b_three.ai", On({"Top", "Inner", "R3"}, 1)}},
     {},
     Way::kPanel},
    {"AppendedArtboardNumbersAndCounters",
     R"({"formats":["ai"],"artboardRange":"1,3","exportAsMultiPage":false,"artboardNumberLength":2,"folderPath":"$/out",
        "fileName":[{"command":"counter","name":"file","padding":3},"_",{"command":"date","format":"Z"},"_",{"command":"file_format","casing":"upper"}]})",
     R"({"eventType":"exportFile","Results":[
        {"exportSuccessful":true,"fileFormat":"ai","fileName":"001_GMT+0000_AI 01","folderPath":"$/out"},
        {"exportSuccessful":true,"fileFormat":"ai","fileName":"002_GMT+0000_AI 03","folderPath":"$/out"}]})",
     {{"out/001_GMT+0000_AI 01.ai",
       On({"Top", "Bottom", "Inner", "G", "R1", "R2", "S1", "I1", "symbol:Used"}, 1)},
      {"out/002_GMT+0000_AI 03.ai", On({"Top", "Inner", "R3"}, 1)}},
     {}},
    {"TheDocumentsTokens",
     R"({"formats":["ai"],"artboardRange":"2","resolution":300,"folderPath":"$/out","fileName":[
        {"command":"artboard_number","artboardNumberLength":2},"_",{"command":"artboard_width","unit":"points"},"x",
        {"command":"artboard_height","unit":"points"},"_",{"command":"art_width","unit":"points"},"_",
        {"command":"resolution","unit":"centimeters","decimalPlaces":1},"_",{"command":"ruler_unit"},"_",
        {"command":"color_space","casing":"lower"},"_",{"command":"time","format":"Z"},{"command":"unknown"}]})",
     R"({"eventType":"exportFile","Results":[{"exportSuccessful":true,"fileFormat":"ai",
        "fileName":"02_100x100_330_118.1_points_rgb_GMT+0000","folderPath":"$/out"}]})",
     {{"out/02_100x100_330_118.1_points_rgb_GMT+0000.ai", On({"Top", "Inner", "G", "R1", "R2"}, 1)}},
     {}},
    {"ATaggedObjectInAGroupKeepsTheGroup",
     R"({"formats":["ai"],"tagSearch":"r1","folderPath":"$/out","fileName":"tagged"})",
     R"({"eventType":"exportFile","Results":[{"exportSuccessful":true,"fileFormat":"ai","fileName":"tagged","folderPath":"$/out"}]})",
     {{"out/tagged.ai", On({"Top", "Inner", "G", "R1"}, 3)}},
     {}},
    {"AClippedObjectKeepsItsClippingPath",
     R"({"formats":["ai"],"tagSearch":"far","folderPath":"$/out","fileName":"clipped"})",
     R"({"eventType":"exportFile","Results":[{"exportSuccessful":true,"fileFormat":"ai","fileName":"clipped","folderPath":"$/out"}]})",
     {{"out/clipped.ai", On({"Bottom", "C", "M", "Far"}, 3)}},
     {}},
    {"TheSelectedArtInABatch",
     R"({"formats":["ai"],"exportSelected":true,"folderPath":"$/out","fileName":"selected"})",
     R"({"eventType":"exportFile","Results":[{"exportSuccessful":true,"fileFormat":"ai","fileName":"selected","folderPath":"$/out"}]})",
     {{"out/selected.ai", On({"Bottom", "S1"}, 3)}},
     {},
     Way::kBatch},
    {"FailingJobsFailAloneAndTheLaterOnesRun",
     R"({"formats":["ai"],"folderPath":"$/out","jobs":[
        {"fileName":"a","aiVersion":5},
        {"fileName":"b","aiSubsetFontsRatio":1e12},
        {"fileName":"c","aiEmbedImages":"yes"},
        {"fileName":"d","tagSearch":"nothing"},
        {"fileName":"f","as_is":"no"},
        {"fileName":"g"}]})",
     R"({"eventType":"exportFile","Results":[
        {"error":"Can't export a file of type 'ai'","exportSuccessful":false,"fileFormat":"ai","fileName":"a","folderPath":"$/out"},
        {"error":"Can't export a file of type 'ai'","exportSuccessful":false,"fileFormat":"ai","fileName":"b","folderPath":"$/out"},
        {"error":"Can't export a file of type 'ai'","exportSuccessful":false,"fileFormat":"ai","fileName":"c","folderPath":"$/out"},
        {"error":"Can't find an art to export","exportSuccessful":false,"fileFormat":"ai","fileName":"d","folderPath":"$/out"},
        {"error":"\"as_is\" must be true or false","exportSuccessful":false,"fileFormat":"ai","fileName":"f","folderPath":"$/out"},
        {"exportSuccessful":true,"fileFormat":"ai","fileName":"g","folderPath":"$/out"}]})",
     {{"out/a.ai", std::nullopt}, {"out/d.ai", std::nullopt}, {"out/g.ai", On(kOnArtboards, 3)}},
     {}},
    {"WriterOptionsOfTheWrongTypeFailTheirJobsAlone",
     R"({"folderPath":"$/out","jobs":[
        {"formats":["ai"],"fileName":"a","aiEmbedFonts":"yes"},
        {"formats":["pdf"],"fileName":"p","pdfLayers":1},
        {"formats":["eps"],"fileName":"e","epsPreview":5},
        {"formats":["svg"],"fileName":"s","artboardRange":"1","svgTextPathElement":"yes"},
        {"formats":["ai","pdf","eps"],"fileName":"ok"},
        {"formats":["svg"],"fileName":"ok","artboardRange":"1"}]})",
     R"({"eventType":"exportFile","Results":[
        {"error":"Can't export a file of type 'ai'","exportSuccessful":false,"fileFormat":"ai","fileName":"a","folderPath":"$/out"},
        {"error":"Can't export a file of type 'pdf'","exportSuccessful":false,"fileFormat":"pdf","fileName":"p","folderPath":"$/out"},
        {"error":"Can't export a file of type 'eps'","exportSuccessful":false,"fileFormat":"eps","fileName":"e","folderPath":"$/out"},
        {"error":"Can't export a file of type 'svg'","exportSuccessful":false,"fileFormat":"svg","fileName":"s","folderPath":"$/out"},
        {"exportSuccessful":true,"fileFormat":"ai","fileName":"ok","folderPath":"$/out"},
        {"exportSuccessful":true,"fileFormat":"pdf","fileName":"ok","folderPath":"$/out"},
        {"exportSuccessful":true,"fileFormat":"eps","fileName":"ok","folderPath":"$/out"},
        {"exportSuccessful":true,"fileFormat":"svg","fileName":"ok","folderPath":"$/out"}]})",
     {{"out/a.ai", std::nullopt},
      {"out/p.pdf", std::nullopt},
      {"out/e.eps", std::nullopt},
      {"out/s.svg", std::nullopt},
      {"out/ok.ai", On(kOnArtboards, 3)}},
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
    // A range that names no artboard of the document never stands for every artboard (nor, with a
    // tag query, for the whole document): nothing is written, not even the jobs before it.
    {"ARangeNamingNoArtboard",
     R"({"formats":["ai"],"folderPath":"$/out","jobs":[{"fileName":"ok"},{"fileName":"e","artboardRange":"9"}]})",
     R"({"eventType":"exportFile","error":"Can't process artboard ranges"})",
     {{"out/ok.ai", std::nullopt}, {"out/e.ai", std::nullopt}},
     {}},
    {"ARangeNamingNoArtboardForATagQuery",
     R"({"formats":["png"],"artboardRange":"1,9","tagSearch":"far","folderPath":"$/out","fileName":"t"})",
     R"({"eventType":"exportFile","error":"Can't process artboard ranges"})",
     {{"out/t.png", std::nullopt}},
     {}},
    {"ARangeOfTheWrongType",
     R"({"formats":["ai"],"artboardRange":2,"folderPath":"$/out","fileName":"x"})",
     R"({"eventType":"exportFile","error":"Can't process artboard ranges"})",
     {},
     {}},
    // A name template of another type, or a job with no file name or no folder, fails the whole
    // command before anything is written, not just that job.
    {"ANameOfTheWrongType",
     R"({"formats":["ai"],"folderPath":"$/out","jobs":[{"fileName":"good"},{"fileName":5}]})",
     R"({"eventType":"exportFile","error":"Can't process file paths or names"})",
     {{"out/good.ai", std::nullopt}},
     {}},
    {"APrefixOfTheWrongType",
     R"({"formats":["ai"],"folderPath":"$/out","fileName":"p","prefix":true})",
     R"({"eventType":"exportFile","error":"Can't process file paths or names"})",
     {{"out/p.ai", std::nullopt}},
     {}},
    {"AFolderOfTheWrongType",
     R"({"formats":["ai"],"fileName":"f","jobs":[{"folderPath":"$/out"},{"folderPath":7}]})",
     R"({"eventType":"exportFile","error":"Can't process file paths or names"})",
     {{"out/f.ai", std::nullopt}},
     {}},
    {"AnEmptyNameTemplate",
     R"({"formats":["ai"],"folderPath":"$/out","jobs":[{"fileName":"good"},{"fileName":[]}]})",
     R"({"eventType":"exportFile","error":"Can't process file paths or names"})",
     {{"out/good.ai", std::nullopt}},
     {}},
    {"AJobWithoutAFolder",
     R"({"formats":["ai"],"fileName":"g","jobs":[{"folderPath":"$/out"},{"suffix":"s"}]})",
     R"({"eventType":"exportFile","error":"Can't process file paths or names"})",
     {{"out/g.ai", std::nullopt}},
     {}},
    {"AnAppendChoiceOfTheWrongType",
     R"({"formats":["ai"],"folderPath":"$/out","jobs":[{"fileName":"good"},{"fileName":"n","appendArtboardNumbers":5}]})",
     R"({"eventType":"exportFile","error":"Can't append artboard numbers"})",
     {{"out/good.ai", std::nullopt}},
     {}},
    {"AnAppendChoiceOfTheWrongTypeInAnArtJob",
     R"({"formats":["png"],"tagSearch":"r2","folderPath":"$/out","fileName":"t","appendArtboardNumbers":[]})",
     R"({"eventType":"exportFile","error":"Can't append artboard numbers"})",
     {{"out/t.png", std::nullopt}},
     {}},
    {"AFileNameThatLeavesTheFolder",
     R"({"formats":["ai"],"folderPath":"$/out","jobs":[{"fileName":"ok"},{"fileName":".."}]})",
     R"({"eventType":"exportFile","error":"Can't process a file name or path"})",
     {{"out/ok.ai", std::nullopt}},
     {}},
    {"TwoJobsThatWouldWriteOneFile",
     R"({"formats":["ai"],"exportAsMultiPage":false,"folderPath":"$/out","fileName":"n","appendArtboardNumbers":"no"})",
     R"({"eventType":"exportFile","error":"Can't process a file name or path"})",
     {{"out/n.ai", std::nullopt}},
     {}},
    {"TwoSpellingsOfOnePath",
     R"({"formats":["ai"],"fileName":"x","jobs":[{"folderPath":"$/out"},{"folderPath":"$//out/./"}]})",
     R"({"eventType":"exportFile","error":"Can't process a file name or path"})",
     {{"out/x.ai", std::nullopt}},
     {}},
    {"ATestSharesItsNameWithTheExportItTests",
     R"({"formats":["ai"],"folderPath":"$/out","fileName":"x","jobs":[{"testExport":true},{}]})",
     R"({"eventType":"exportFile","Results":[
        {"exportSuccessful":true,"fileFormat":"ai","fileName":"x","folderPath":"$/out"},
        {"exportSuccessful":true,"fileFormat":"ai","fileName":"x","folderPath":"$/out"}]})",
     {{"out/x.ai", On(kOnArtboards, 3)}},
     {}},
    // The number is appended after the delimiters are replaced, after a space.
    {"TheNumberFollowsTheReplacedDelimiters",
     R"({"formats":["ai"],"artboardRange":"1-2","exportAsMultiPage":false,"folderPath":"$/out","fileName":"My File","fileNameDelimiter":"+"})",
     R"({"eventType":"exportFile","Results":[
        {"exportSuccessful":true,"fileFormat":"ai","fileName":"My+File 1","folderPath":"$/out"},
        {"exportSuccessful":true,"fileFormat":"ai","fileName":"My+File 2","folderPath":"$/out"}]})",
     {{"out/My+File 1.ai", On({"Top", "Bottom", "Inner", "G", "R1", "R2", "S1", "I1", "symbol:Used"}, 1)}},
     {}},
    {"ReopenTheSourceFile",
     R"({"formats":["ai"],"folderPath":"$/out","fileName":"doc","reopenSourceFile":true})",
     R"({"eventType":"exportFile","Results":[{"exportSuccessful":true,"fileFormat":"ai","fileName":"doc","folderPath":"$/out"}]})",
     {{"out/doc.ai", On(kOnArtboards, 3)}},
     {},
     Way::kScript,
     true},
};

INSTANTIATE_TEST_SUITE_P(Jobs, ExportFile, testing::ValuesIn(kCases),
                         [](const testing::TestParamInfo<ExportCase>& info) { return info.param.name; });

// A file already at the final path is replaced by a delivery and left alone by a test export.
TEST_F(ExportFixture, ReplacesAnExistingFileButATestLeavesIt) {
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

// No job writes over the file of an open document, however the job names it: the current
// document's own file (an artboard named as the document, into its own folder), another open
// document's, through "..", a link to the folder or another hard link of the file. Those jobs fail
// and the others run; both documents' files keep their bytes and the documents stay saved.
TEST_F(ExportFixture, NoJobWritesOverTheFileOfAnOpenDocument) {
    const std::string other = scratch.Write("Two.ai", SourceDocument());
    OpenDocumentFile(other, 8);
    fs::create_directory_symlink(scratch.Path(), scratch.Path() / "link");
    fs::create_hard_link(scratch.Path() / "src.ai", scratch.Path() / "hard.ai");
    fs::create_directory(scratch.Path() / "sub");
    const std::string source = testsupport::ReadFile(Folder() + "/src.ai");
    const std::string current = testsupport::ReadFile(other);
    const std::string request = Replace(R"({"formats":["ai"],"folderPath":"$","jobs":[
        {"exportAsMultiPage":false,"fileName":[{"command":"artboard_name"}]},
        {"fileName":"src"},
        {"folderPath":"$/sub/..","fileName":"src"},
        {"folderPath":"$/link","fileName":"Two"},
        {"fileName":"hard"},
        {"fileName":"src","testExport":true},
        {"fileName":"free"}]})",
                                        "$", Folder());
    const json reply = ScriptJson("exportFile", request);
    constexpr const char* kRefused = "Can't export over the file of an open document";
    const json expected = json::parse(Replace(Replace(R"([
        {"exportSuccessful":true,"fileFormat":"ai","fileName":"One","folderPath":"$"},
        {"error":"!","exportSuccessful":false,"fileFormat":"ai","fileName":"Two","folderPath":"$"},
        {"exportSuccessful":true,"fileFormat":"ai","fileName":"Three","folderPath":"$"},
        {"error":"!","exportSuccessful":false,"fileFormat":"ai","fileName":"src","folderPath":"$"},
        {"error":"!","exportSuccessful":false,"fileFormat":"ai","fileName":"src","folderPath":"$/sub/.."},
        {"error":"!","exportSuccessful":false,"fileFormat":"ai","fileName":"Two","folderPath":"$/link"},
        {"error":"!","exportSuccessful":false,"fileFormat":"ai","fileName":"hard","folderPath":"$"},
        {"error":"!","exportSuccessful":false,"fileFormat":"ai","fileName":"src","folderPath":"$"},
        {"exportSuccessful":true,"fileFormat":"ai","fileName":"free","folderPath":"$"}])",
                                                      "$", Folder()),
                                              "!", kRefused));
    EXPECT_EQ(reply["Results"], expected) << reply.dump();
    EXPECT_EQ(testsupport::ReadFile(Folder() + "/src.ai"), source);
    EXPECT_EQ(testsupport::ReadFile(other), current);
    for (const char* written : {"One.ai", "Three.ai", "free.ai"}) {
        EXPECT_TRUE(ReadWritten(scratch.Path() / written)) << written;
    }
    EXPECT_EQ(ScriptJson("openFile", json{{"filePath", other}}.dump()).value("isSaved", false), true);
    EXPECT_EQ(ScriptJson("openFile", json{{"filePath", Folder() + "/src.ai"}}.dump()).value("isSaved", false),
              true);
}

// A name from the document can't lead out of the folder the request gave: artboards named ".."
// and "." name folders and files "__" and "_" inside it, as "/" in a name is written "_".
TEST_F(ExportFixture, NamesFromTheDocumentStayInTheRequestedFolder) {
    json document = json::parse(SourceDocument());
    document["artboards"][0]["name"] = "..";
    document["artboards"][1]["name"] = ".";
    document["artboards"][2]["name"] = "a/..";
    fs::create_directories(scratch.Path() / "in");
    OpenDocumentFile(scratch.Write("in/doc.ai", document.dump()), 8);
    const std::string request = Replace(R"({"formats":["ai"],"exportAsMultiPage":false,"jobs":[
        {"folderPath":["$/in/exports/",{"command":"artboard_name"}],"fileName":"f"},
        {"folderPath":"$/in/flat","fileName":[{"command":"artboard_name"}]}]})",
                                        "$", Folder());
    const json reply = ScriptJson("exportFile", request);
    std::vector<std::string> written;
    for (const json& result : reply["Results"]) {
        EXPECT_EQ(result["exportSuccessful"], true) << result.dump();
        written.push_back(result["folderPath"].get<std::string>() + "/" +
                          result["fileName"].get<std::string>());
    }
    const std::string in = Folder() + "/in";
    EXPECT_EQ(written,
              (std::vector<std::string>{in + "/exports/__/f", in + "/exports/_/f", in + "/exports/a_../f",
                                        in + "/flat/__", in + "/flat/_", in + "/flat/a_.."}));
    for (const std::string& file : written) {
        EXPECT_TRUE(ReadWritten(file + ".ai")) << file;
    }
    EXPECT_FALSE(fs::exists(scratch.Path() / "in/f.ai"));
    EXPECT_FALSE(fs::exists(scratch.Path() / "f.ai"));
}

// A file name of 83 three-byte characters (249 bytes, the most an "eps" name may have with its
// extension is 251) is written in every format: the EPS title comment, which cairo caps at 255
// characters, is shortened on a character's boundary instead of failing the file.
TEST_F(ExportFixture, ALongNameIsWrittenInEveryFormat) {
    std::string name;
    for (int i = 0; i < 83; ++i) {
        name += "\xE5\xAD\x97";
    }
    const json request = {{"formats", {"ai", "pdf", "svg", "eps", "png", "jpg", "tif", "psd"}},
                          {"artboardRange", "1"},
                          {"folderPath", Folder() + "/long"},
                          {"fileName", name}};
    const json reply = ScriptJson("exportFile", request.dump());
    ASSERT_EQ(reply["Results"].size(), 8u) << reply.dump();
    for (const json& result : reply["Results"]) {
        EXPECT_EQ(result["exportSuccessful"], true) << result.dump();
    }
    const std::string eps = testsupport::ReadFile(Folder() + "/long/" + name + ".eps");
    const std::size_t title = eps.find("%%Title: ");
    ASSERT_NE(title, std::string::npos);
    const std::string line = eps.substr(title, eps.find('\n', title) - title);
    EXPECT_LE(line.size(), 255u);
    EXPECT_EQ(line, "%%Title: " + std::string(246, '_'));
}

// A document that was never saved can't be reopened after the export, so nothing is written, and
// the counters that the names advanced are as they were.
TEST_F(ExportFixture, ADocumentNeverSavedIsRefused) {
    app->NewDocument();
    ScriptJson("counters", R"({"method":"increment","all":true,"incrementBy":4})");
    const json counters = ScriptJson("counters", R"({"method":"getProperties"})");
    const std::string request =
        Replace(R"({"uid":"u","formats":["ai"],"folderPath":"$/out","fileName":"doc"})", "$", Folder());
    EXPECT_EQ(ScriptJson("exportFile", request),
              json::parse(
                  R"({"eventType":"exportFile","uid":"u","error":"Can't get specs of a current document"})"));
    EXPECT_FALSE(fs::exists(scratch.Path() / "out"));
    EXPECT_EQ(ScriptJson("counters", R"({"method":"getProperties"})"), counters);
}

// A job's "fittingMethod" fits the text of what is exported; the document keeps its own text.
TEST_F(ExportFixture, AFittingMethodFitsTheExportedText) {
    json document = json::parse(SourceDocument());
    document["layers"][1]["children"].push_back(
        json::parse(R"({"type":"textFrame","kind":"area","name":"T","frame":[0,100,200,0],"text":"Hi"})"));
    const std::string source = scratch.Write("text.ai", document.dump());
    OpenDocumentFile(source, 7);
    const auto sizeOfT = [](const host::model::Document& d) {
        for (const host::model::ArtId art : d.documentOrder()) {
            if (const auto name = d.name(art); name && name->text == "T") {
                return std::optional<double>(d.story(art)->effectiveChar(0, d.textStyles()).fontSize);
            }
        }
        return std::optional<double>();
    };
    const std::optional<double> before = sizeOfT(*app->CurrentDocument());
    const std::string request =
        Replace(R"({"formats":["ai"],"folderPath":"$/out","fileName":"fit","fittingMethod":"fitToFrame"})",
                "$", Folder());
    EXPECT_EQ(ScriptJson("exportFile", request)["Results"][0]["exportSuccessful"], true);
    auto written = host::model::openDocument((scratch.Path() / "out/fit.ai").string(), 1);
    ASSERT_TRUE(written.document) << written.error;
    ASSERT_TRUE(before && sizeOfT(*written.document));
    EXPECT_GT(*sizeOfT(*written.document), *before * 2);
    EXPECT_EQ(sizeOfT(*app->CurrentDocument()), before);
}

// One "cleanDocument" request, the operation made to fail (none when empty), the reply, and the
// swatches and symbols the document then has.
struct CleanCase {
    const char* name;
    const char* request;
    std::vector<std::pair<const char*, const char*>> failing;
    const char* reply;
    std::vector<std::string> swatches;
    std::vector<std::string> symbols;
};

void PrintTo(const CleanCase& c, std::ostream* out) {
    *out << c.name;
}

class CleanDocument : public ExportFixture, public testing::WithParamInterface<CleanCase> {};

TEST_P(CleanDocument, RemovesWhatNothingUses) {
    const CleanCase& c = GetParam();
    for (const auto& [suite, operation] : c.failing) {
        app->Faults().FailOperation(suite, operation, kCantHappenErr);
    }
    EXPECT_EQ(ScriptJson("cleanDocument", c.request), json::parse(c.reply));
    const json document = json::parse(DocumentText());
    std::vector<std::string> swatches;
    for (const json& swatch : document.value("swatches", json::array())) {
        swatches.push_back(swatch["name"]);
    }
    EXPECT_EQ(swatches, c.swatches);
    EXPECT_EQ(document.value("symbols", json::array()), json(c.symbols));
}

constexpr std::pair<const char*, const char*> kUsageFails = {"AI Symbol Suite", "GetUsedSymbolPatterns"};
constexpr std::pair<const char*, const char*> kColorWalkFails = {"AI Path Style Suite",
                                                                 "AdjustObjectAIColors"};

const CleanCase kCleanCases[] = {
    {"SwatchesAndSymbols",
     R"({"uid":"c"})",
     {},
     R"({"eventType":"cleanDocument","uid":"c"})",
     {"[None]", "[Registration]", "White", "Black", "Red"},
     {"Used"}},
    {"SymbolsOnly",
     R"({"swatches":false})",
     {},
     R"({"eventType":"cleanDocument"})",
     {"[None]", "[Registration]", "White", "Black", "Red", "Blue"},
     {"Used"}},
    {"SwatchesOnly",
     R"({"symbols":false})",
     {},
     R"({"eventType":"cleanDocument"})",
     {"[None]", "[Registration]", "White", "Black", "Red"},
     {"Used", "Unused"}},
    {"AFailedUsageSearchDeletesNoSymbol",
     R"({})",
     {kUsageFails},
     R"({"eventType":"cleanDocument","error":"Can't find symbols in a Symbol palette"})",
     {"[None]", "[Registration]", "White", "Black", "Red"},
     {"Used", "Unused"}},
    {"BothFailingAnswersTheLater",
     R"({})",
     {kUsageFails, kColorWalkFails},
     R"({"eventType":"cleanDocument","error":"Can't find symbols in a Symbol palette"})",
     {"[None]", "[Registration]", "White", "Black", "Red", "Blue"},
     {"Used", "Unused"}},
    {"AFlagOfTheWrongType",
     R"({"swatches":"no"})",
     {},
     R"({"eventType":"cleanDocument","error":"\"swatches\" must be true or false"})",
     {"[None]", "[Registration]", "White", "Black", "Red", "Blue"},
     {"Used", "Unused"}},
};

// What counts as a use of the swatch "Blue": the colour R1 paints (null: R1 as it is, painted with
// "Red") and the one the symbol "Used" shows, with "Blue" a global swatch (a custom colour of its
// own) when asked; and whether "Red" and "Blue" stay.
struct SwatchUseCase {
    const char* name;
    bool blueIsGlobal;
    const char* r1Fill;
    const char* symbolFill;  // null: the symbol shows nothing
    std::vector<std::string> kept;
};

void PrintTo(const SwatchUseCase& c, std::ostream* out) {
    *out << c.name;
}

class SwatchUse : public ExportFixture, public testing::WithParamInterface<SwatchUseCase> {};

TEST_P(SwatchUse, DecidesWhichSwatchesStay) {
    const SwatchUseCase& c = GetParam();
    json document = json::parse(SourceDocument());
    json& r1 = document["layers"][0]["children"][0]["children"][0];
    if (c.blueIsGlobal) {
        document["customColors"] =
            json::parse(R"([{"components":[0.0,0.0,1.0],"kind":"rgb","name":"Blue"}])");
        document["swatches"][5]["color"] = json::parse(R"({"custom":"Blue"})");
    }
    if (c.symbolFill != nullptr) {
        json art = r1;
        art.erase("uuid");
        art["style"]["paintFields"] = {{{"fill", {{"color", json::parse(c.symbolFill)}}}}};
        document["symbols"][0] = json{{"name", "Used"}, {"art", art}};
    }
    if (c.r1Fill != nullptr) {
        r1["style"]["paintFields"] = {{{"fill", {{"color", json::parse(c.r1Fill)}}}}};
    }
    OpenDocumentFile(scratch.Write("uses.ai", document.dump()), 7);

    EXPECT_EQ(ScriptJson("cleanDocument", R"({"symbols":false})"),
              json::parse(R"({"eventType":"cleanDocument"})"));
    // The default list (the four that always stay) is not written.
    std::vector<std::string> swatches{"[None]", "[Registration]", "White", "Black"};
    const json written = json::parse(DocumentText());
    if (written.contains("swatches")) {
        swatches.clear();
        for (const json& swatch : written["swatches"]) {
            swatches.push_back(swatch["name"]);
        }
    }
    std::vector<std::string> expected{"[None]", "[Registration]", "White", "Black"};
    expected.insert(expected.end(), c.kept.begin(), c.kept.end());
    EXPECT_EQ(swatches, expected);
}

const SwatchUseCase kSwatchUses[] = {
    // A colour used only inside a symbol's artwork is a colour the document uses.
    {"OnlyInsideASymbol", false, nullptr, R"({"rgb":[0.0,0.0,1.0]})", {"Red", "Blue"}},
    // A global swatch painted at a tint is in use, at any tint.
    {"AGlobalSwatchAtATint", true, R"({"custom":"Blue","tint":0.6})", nullptr, {"Blue"}},
    {"AGlobalSwatchInASymbolAtATint", true, nullptr, R"({"custom":"Blue","tint":0.3})", {"Red", "Blue"}},
    // A process swatch is in use when something is painted with exactly its values, swatch or not;
    // values that merely read alike (0.9 and 230/255 both read as 230) are other values.
    {"TheSameValuesWithoutTheSwatch", false, R"({"rgb":[0.0,0.0,1.0]})", nullptr, {"Blue"}},
    {"ValuesThatReadAlike", false, R"({"rgb":[0.9,0.0,0.0]})", nullptr, {}},
};

// Which symbols cleanDocument deletes, and in which order, when some are used only by others it
// deletes: "Held" only inside "Holder", "Self" only by itself, "Arrow" and "Styled" as arrowheads
// where the beautiful-strokes suite keeps them (of art, of a named graphic style). What is unused
// when the clean starts goes, last first; "Held" goes at the next clean. Undo and redo step through
// the cleans.
TEST_F(ExportFixture, CleaningSymbolsFollowsUsesAcrossCleansUndoAndRedo) {
    const json arrowhead = json::parse(R"({"paintFields":[{"stroke":{"color":{"gray":1.0},"width":1.0,
        "parameters":{"BeautifulStrokeParams":{"type":"dictionary","value":{
        "ArrowheadEnd":{"type":"string","value":"NAME"}}}}}}]})");
    const auto arrowheadOf = [&](const std::string& name) {
        json style = arrowhead;
        style["paintFields"][0]["stroke"]["parameters"]["BeautifulStrokeParams"]["value"]["ArrowheadEnd"]
             ["value"] = name;
        return style;
    };
    const auto instanceOf = [](const std::string& name) {
        return json{{"type", "symbol"}, {"symbol", name}, {"frame", {0, 10, 10, 0}}};
    };
    json document = json::parse(SourceDocument());
    document["symbols"] =
        json::array({"Used", "Unused", json{{"name", "Holder"}, {"art", instanceOf("Held")}}, "Held", "Arrow",
                     json{{"name", "Self"}, {"art", instanceOf("Self")}}, "Styled", "Last"});
    document["layers"][1]["children"].push_back(
        json{{"type", "path"},
             {"segments", json::parse(R"([{"anchor":[0,0]},{"anchor":[9,9]}])")},
             {"style", arrowheadOf("Arrow")}});
    document["graphicStyles"] = json::array({json{{"name", "Arrowed"}, {"style", arrowheadOf("Styled")}}});
    OpenDocumentFile(scratch.Write("chain.ai", document.dump()), 7);

    const auto symbols = [&] { return json::parse(DocumentText()).value("symbols", json::array()); };
    const json all = symbols();
    const json afterFirst = json::array({"Used", "Held", "Arrow", "Styled"});
    const json afterSecond = json::array({"Used", "Arrow", "Styled"});
    ASSERT_EQ(ScriptJson("cleanDocument", R"({"swatches":false})"),
              json::parse(R"({"eventType":"cleanDocument"})"));
    EXPECT_EQ(symbols(), afterFirst);
    // The order of the deletions, as the host's journal has them.
    std::vector<std::string> deleted;
    for (const auto& entry : app->Journal().Entries()) {
        if (entry.operation == "DeleteSymbolPattern") {
            deleted.push_back(entry.arguments.at(0));
        }
    }
    EXPECT_EQ(deleted, (std::vector<std::string>{"Last", "Self", "Holder", "Unused"}));
    ScriptJson("cleanDocument", R"({"swatches":false})");
    EXPECT_EQ(symbols(), afterSecond);
    ASSERT_EQ(app->Undo(), kNoErr);
    EXPECT_EQ(symbols(), afterFirst);
    ASSERT_EQ(app->Undo(), kNoErr);
    EXPECT_EQ(symbols(), all);
    ASSERT_EQ(app->Redo(), kNoErr);
    EXPECT_EQ(symbols(), afterFirst);
    ScriptJson("cleanDocument", R"({"swatches":false})");
    EXPECT_EQ(symbols(), afterSecond);
}

INSTANTIATE_TEST_SUITE_P(Cases, SwatchUse, testing::ValuesIn(kSwatchUses),
                         [](const testing::TestParamInfo<SwatchUseCase>& info) { return info.param.name; });

INSTANTIATE_TEST_SUITE_P(Requests, CleanDocument, testing::ValuesIn(kCleanCases),
                         [](const testing::TestParamInfo<CleanCase>& info) { return info.param.name; });

// Every job cuts, prepares and cleans the document itself and puts it back. Whatever the job's
// scope, format, clean-up or outcome, the poster saved after the export is byte for byte the poster
// saved before it, and an edit made before the export is still the one undo takes back.
struct KeepCase {
    const char* name;
    const char* keys;  // merged into a request of every format
    bool succeeds;
};

void PrintTo(const KeepCase& c, std::ostream* out) {
    *out << c.name;
}

class ExportKeepsThePoster : public PluginTest, public testing::WithParamInterface<KeepCase> {
protected:
    void SetUp() override {
        PluginTest::SetUp();
        const fs::path examples = fs::path(PLIM_SOURCE_DIR) / "examples";
        fs::copy_file(examples / "poster-photo.png", scratch.Path() / "poster-photo.png");
        const std::string poster =
            scratch.Write("poster.ai", testsupport::ReadFile(examples / "poster.json"));
        OpenDocumentFile(poster, 7);
    }
    std::string Saved() { return host::model::writeDocument(*app->CurrentDocument()).text.value_or(""); }

    testsupport::ScratchFolder scratch{"export-keeps"};
};

TEST_P(ExportKeepsThePoster, TheDocumentAndItsUndo) {
    const KeepCase& c = GetParam();
    const std::string before = Saved();
    Script("setTags", R"({"tagSearch":"sun","tags":["edited"]})");
    const std::string edited = Saved();
    ASSERT_NE(edited, before);

    json request =
        json::parse(R"({"formats":["ai","pdf","svg","eps","png","jpg","tif","psd"],"fileName":"p"})");
    request["folderPath"] = (scratch.Path() / "out").string();
    request.merge_patch(json::parse(c.keys));
    const json reply = ScriptJson("exportFile", request.dump());
    ASSERT_TRUE(reply.contains("Results")) << reply.dump();
    for (const json& result : reply["Results"]) {
        EXPECT_EQ(result["exportSuccessful"], c.succeeds) << result.dump();
    }
    // Compared whole, reported short: the saved poster runs to hundreds of lines.
    EXPECT_TRUE(Saved() == edited) << "the export changed the document";
    ASSERT_EQ(app->Undo(), kNoErr);
    EXPECT_TRUE(Saved() == before) << "undo no longer takes back the edit made before the export";
}

const KeepCase kKeepCases[] = {
    {"ATagQueryWithoutUnusedSwatches", R"({"tagSearch":"sun","copySwatches":false})", true},
    {"AnArtboardWithoutUnusedSwatches", R"({"artboardRange":"2","copySwatches":false})", true},
    {"AFilePerArtboardOutlined",
     R"({"exportAsMultiPage":false,"outlineText":true,"copySwatches":false,"fittingMethod":"shrinkToFrame"})",
     true},
    {"TaggedTextOnOneArtboardFitted",
     R"({"tagSearch":"text","exportAsSingleArtboard":true,"outlineText":true,"fittingMethod":"fitFrameToText","copySwatches":false})",
     true},
    {"TheWholeDocumentPaddedWithMetadata",
     R"({"document":true,"copySwatches":false,"padding":12,"bleed":4,"pixelPerfect":true,"background":{"rgb":[1.0,1.0,0.0]},"metadata":{"author":["A"]}})",
     true},
    {"AsIs", R"({"as_is":true,"outlineText":true,"copySwatches":false,"tagSearch":"sun"})", true},
    {"OnlyATest", R"({"testExport":true,"outlineText":true,"copySwatches":false})", true},
    {"WritersThatFailAfterThePreparation",
     R"({"tagSearch":"sun","copySwatches":false,"outlineText":true,"aiEmbedFonts":"yes","pdfLayers":1,"svgTextPathElement":"yes","epsPreview":5,"colorSpace":"Lab"})",
     false},
    {"APreparationThatFails", R"({"tagSearch":"nothing","copySwatches":false})", false},
};

INSTANTIATE_TEST_SUITE_P(Jobs, ExportKeepsThePoster, testing::ValuesIn(kKeepCases),
                         [](const testing::TestParamInfo<KeepCase>& info) { return info.param.name; });

}  // namespace
