// Statements of the manual that were wrong and now say what the program does (exportFile's formats,
// errors, lenient options and metadata; the bounds of alignObjects and distributeObjects and the
// inclusive option; editArtboards' "edit" and "numberOfArtboards"; empty groups in ungroupObjects;
// Lab swatches; the query that finds every object; where a style record's paint fields go and the
// arrowheads of strokes aligned inside or outside; counters that share a name; how makeClipGroup's
// unite and compoundPath combine; the panel's XML replies; the resolution PNG and JPEG files record),
// each run as a user runs it.
//
// Each statement's document is a copy of the example, opened from its file in a scratch folder that
// holds copies of every example file (the placed picture too): export needs a document with a file.
// "$" in the requests and in what the reply holds stands for that folder.
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "ManualStatements.h"
#include "ProgramRun.h"

namespace {

namespace fs = std::filesystem;

// The text with "$" replaced by the folder.
std::string Replaced(const std::string& text, const std::string& folder) {
    return testsupport::Replace(text, "$", folder);
}

// Two counters sharing the name "a" (the first with count 7, the second starting at 5), then the
// steps.
std::vector<std::pair<std::string, std::string>> SharedName(
    std::vector<std::pair<std::string, std::string>> steps) {
    steps.insert(steps.begin(), {{"counters", R"({"method":"add","name":"a","count":7})"},
                                 {"counters", R"({"method":"add","name":"b","start":5})"},
                                 {"counters", R"({"method":"setProperties","counter":"b","newName":"a"})"}});
    return steps;
}

// A job whose "counters" key is the value given, then a job named by the counter "file".
std::vector<std::pair<std::string, std::string>> CountedThenNamed(const std::string& counters) {
    const std::string job =
        R"({"formats":["png"],"artboardRange":"1","folderPath":"$/out","triggerStandards":false,)";
    return {{"exportFile", job + R"("fileName":"a","counters":)" + counters + "}"},
            {"exportFile", job + R"("fileName":[{"command":"counter","name":"file"}]})"}};
}

class ManualStatementFixes : public ManualStatementTest {
protected:
    void SetUp() override {
        ManualStatementTest::SetUp();
        for (const auto& entry : fs::directory_iterator(fs::path(PLIM_SOURCE_DIR) / "examples")) {
            if (entry.is_regular_file()) {
                fs::copy_file(entry.path(), scratch.Path() / entry.path().filename());
            }
        }
    }

    // Sends the statement's requests, "$" replaced by the scratch folder, to its document opened from
    // the folder, and checks the last reply.
    void CheckInFolder() {
        const ManualStatement& statement = GetParam();
        const std::string folder = scratch.Path().string();
        if (!statement.document.empty()) {
            OpenDocumentFile((scratch.Path() / statement.document).string(), 7);
        }
        json reply;
        for (const auto& [command, request] : statement.steps) {
            reply = Send(command, Replaced(request, folder));
        }
        std::string where;
        EXPECT_TRUE(ReplyHolds(reply, json::parse(Replaced(statement.holds.dump(), folder)), where))
            << statement.section << ": " << statement.says << ": " << where << "\n"
            << reply.dump();
    }

    testsupport::ScratchFolder scratch{"manual_fixes"};
};

TEST_P(ManualStatementFixes, HoldAsTheManualSays) {
    CheckInFolder();
}

const std::vector<ManualStatement> kFixes = Sections({
    // exportFile
    {"exportFile",
     "poster.json",
     {
         {"svg writes one file per artboard",
          {{"exportFile", R"({"formats":["svg"],"folderPath":"$/out","fileName":"p"})"}},
          json::parse(R"({"Results":[{"exportSuccessful":true,"fileFormat":"svg","fileName":"p 1"},
                                {"exportSuccessful":true,"fileFormat":"svg","fileName":"p 2"}]})")},
         {"svg with exportAsMultiPage writes one file of the range",
          {{"exportFile",
            R"({"formats":["svg"],"folderPath":"$/out","fileName":"p","exportAsMultiPage":true})"}},
          json::parse(R"({"Results":[{"exportSuccessful":true,"fileFormat":"svg","fileName":"p"}]})")},
         {"an artboard range whose artboards hold no art has no art to export",
          {{"editArtboards", R"({"mode":"add","artboardName":"Empty","includeArtwork":false})"},
           {"exportFile",
            R"({"formats":["png","pdf"],"folderPath":"$/out","fileName":"e","artboardRange":"2"})"}},
          json::parse(R"({"Results":[{"error":"Can't find an art to export","fileFormat":"pdf"},
                                {"error":"Can't find an art to export","fileFormat":"png"}]})")},
         {"counters that is not an array counts nothing", CountedThenNamed(R"("file")"),
          json::parse(R"({"Results":[{"exportSuccessful":true,"fileName":"1"}]})")},
         {"counters as an array counts the counters it names", CountedThenNamed(R"(["file"])"),
          json::parse(R"({"Results":[{"exportSuccessful":true,"fileName":"2"}]})")},
         {"svg decimalPlaces of another type keeps the default",
          {{"exportFile",
            R"({"formats":["svg"],"artboardRange":"1","folderPath":"$/out","fileName":"d","decimalPlaces":"5"})"}},
          json::parse(R"({"Results":[{"exportSuccessful":true,"error":null}]})")},
         {"another svg option of the wrong type fails the job",
          {{"exportFile",
            R"({"formats":["svg"],"artboardRange":"1","folderPath":"$/out","fileName":"d","svgProfile":5})"}},
          json::parse(
              R"({"Results":[{"exportSuccessful":false,"error":"Can't export a file of type 'svg'"}]})")},
     }},
    {"exportFile",
     "",
     {
         {"a new document saved and opened exports with its default packet",
          {{"saveFile", R"({"outputPath":"$/new","fileName":"new.ai"})"},
           {"openFile", R"({"filePath":"$/new/new.ai"})"},
           {"place", R"({"filePath":"$/poster-photo.png"})"},
           {"exportFile",
            R"({"formats":["pdf"],"folderPath":"$/out","fileName":"m","metadata":{"author":["Ann Example"]}})"}},
          json::parse(R"({"Results":[{"exportSuccessful":true}]})")},
     }},
    // alignObjects and distributeObjects: the clip group "window" holds a mask 50 points wide and a
    // scene 100 wide; the key "deep" is 50 wide.
    {"alignObjects",
     "shapes.json",
     {
         {"useClippingBounds false still measures a clip group by its clipping path",
          {{"alignObjects",
            R"({"tagSearch":"window","keyArt":"deep","anchorPoint":"L","inclusive":true,"useClippingBounds":false})"}},
          json::parse(R"({"error":null})")},
         {"what the clip group holds would not fit",
          {{"alignObjects", R"({"tagSearch":"scene","keyArt":"deep","anchorPoint":"L","inclusive":true})"}},
          json::parse(
              R"({"error":"Can't apply the inclusive option. Objects don't fit inside the target rect."})")},
         {"inclusive applies with relOffset",
          {{"alignObjects", R"({"tagSearch":"scene","keyArt":"deep","anchorPoint":"L","relOffset":10})"}},
          json::parse(
              R"({"error":"Can't apply the inclusive option. Objects don't fit inside the target rect."})")},
         {"inclusive does nothing with absOffset",
          {{"alignObjects",
            R"({"tagSearch":"scene","keyArt":"deep","anchorPoint":"L","absOffset":10,"inclusive":true})"}},
          json::parse(R"({"error":null})")},
     }},
    // editArtboards
    {"editArtboards",
     "boards.json",
     {
         {"edit moves the art by the shift of the centre when resized about a corner",
          {{"editArtboards", R"({"mode":"edit","artboardName":"One","width":20,"anchorPoint":"TL"})"},
           {"editArtboards", R"({"mode":"remove","artboardName":"One"})"},
           {"getByTags", R"({"tagSearch":"r1"})"}},
          json::parse(R"({"error":"No artwork found"})")},
         {"numberOfArtboards 0 adds one artboard",
          {{"editArtboards", R"({"mode":"add","numberOfArtboards":0,"includeArtwork":false})"},
           {"editArtboards", R"({"mode":"edit","artboardNumber":4,"newName":"X"})"}},
          json::parse(R"({"error":null})")},
         {"numberOfArtboards 0 adds no more than one",
          {{"editArtboards", R"({"mode":"add","numberOfArtboards":0,"includeArtwork":false})"},
           {"editArtboards", R"({"mode":"edit","artboardNumber":5,"newName":"X"})"}},
          json::parse(R"({"error":"Can't get an artboard"})")},
         {"numberOfArtboards below 0 adds one artboard",
          {{"editArtboards", R"({"mode":"add","numberOfArtboards":-3,"includeArtwork":false})"},
           {"editArtboards", R"({"mode":"edit","artboardNumber":5,"newName":"X"})"}},
          json::parse(R"({"error":"Can't get an artboard"})")},
         {"numberOfArtboards 2 adds two",
          {{"editArtboards", R"({"mode":"add","numberOfArtboards":2,"includeArtwork":false})"},
           {"editArtboards", R"({"mode":"edit","artboardNumber":5,"newName":"X"})"}},
          json::parse(R"({"error":null})")},
     }},
    // ungroupObjects
    {"ungroupObjects",
     "shapes.json",
     {
         {"an empty found group is left as it is",
          {{"remove", R"({"tagSearch":"member"})"},
           {"ungroupObjects", R"({"tagSearch":"pair"})"},
           {"getByTags", R"({"tagSearch":"pair"})"}},
          json::parse(R"({"error":null,"uuid":"*"})")},
     }},
    // makeSwatch
    {"makeSwatch",
     "poster.json",
     {
         {"a Lab swatch is a spot colour whatever spot says",
          {{"makeSwatch",
            R"({"color":{"swatchName":"Clay","colorSpace":"Lab","channel_1":50,"channel_2":20,"channel_3":-30,"spot":false}})"},
           {"editGraphicStyle",
            R"({"tagSearch":"sun_disc","uiMethod":false,"newStyle":{"paintFields":[{"mode":"edit","pfIndex":1,"color":{"swatchName":"Clay"}}]}})"},
           {"getGraphicStyle", R"({"tagSearch":"sun_disc"})"}},
          json::parse(
              R"({"graphicStyle":{"paintFields":[{"color":{"colorSpace":"Lab","spot":true,"swatchName":"Clay"}}]}})")},
     }},
    // The tag-query language's results: every object of poster.json is 19 objects of art.
    {"Results",
     "poster.json",
     {
         {"an empty query finds nothing",
          {{"getByTags", R"({"tagSearch":""})"}},
          json::parse(R"({"error":"No search string"})")},
         {"the negation of a tag no object has finds every object",
          {{"getByTags", R"({"tagSearch":"!none"})"}},
          {{"uuid", json::array({"*", "*", "*", "*", "*", "*", "*", "*", "*", "*", "*", "*", "*", "*", "*",
                                 "*", "*", "*", "*"})}}},
         {"the tag none is no object's",
          {{"validateTagSearches", R"({"tagSearches":["none","!none"]})"}},
          json::parse(R"({"valid":[true,true],"exists":[false,true]})")},
     }},
    // getGraphicStyle and editGraphicStyle: Leafy is a fill (Leaf), then a stroke (Moss); Card two
    // fills, then a stroke aligned inside with an arrowhead.
    {"getGraphicStyle",
     "appearance.json",
     {
         {"a field without a mode edits the field at its index",
          {{"editGraphicStyle",
            R"({"tagSearch":"leafy","newStyle":{"paintFields":[{"pfIndex":1,"color":{"colorSpace":"RGB","channel_1":1,"channel_2":2,"channel_3":3}}]}})"},
           {"getGraphicStyle", R"({"tagSearch":"leafy"})"}},
          json::parse(R"({"graphicStyle":{"paintFields":[{"color":{"channel_1":1}},
                                                        {"color":{"swatchName":"Moss"}}]}})")},
         {"strokeIndex wins over pfIndex",
          {{"editGraphicStyle",
            R"({"tagSearch":"leafy","newStyle":{"paintFields":[{"pfIndex":3,"strokeIndex":1,"isFill":false,"color":{"colorSpace":"RGB","channel_1":255,"channel_2":0,"channel_3":0}}]}})"},
           {"getGraphicStyle", R"({"tagSearch":"leafy"})"}},
          json::parse(R"({"graphicStyle":{"paintFields":[{"color":{"swatchName":"Leaf"}},
                                                        {"color":{"channel_1":255},"strokeIndex":1},
                                                        {"color":{"swatchName":"Moss"}}]}})")},
         {"pfIndex alone places the field",
          {{"editGraphicStyle",
            R"({"tagSearch":"leafy","newStyle":{"paintFields":[{"pfIndex":3,"isFill":false,"color":{"colorSpace":"RGB","channel_1":255,"channel_2":0,"channel_3":0}}]}})"},
           {"getGraphicStyle", R"({"tagSearch":"leafy"})"}},
          json::parse(R"({"graphicStyle":{"paintFields":[{"color":{"swatchName":"Leaf"}},
                                                        {"color":{"swatchName":"Moss"}},
                                                        {"color":{"channel_1":255},"pfIndex":3}]}})")},
         {"a record read is given back by fill and stroke numbers",
          {{"editGraphicStyle",
            R"({"tagSearch":"leafy","replace":true,"newStyle":{"paintFields":[
                {"pfIndex":1,"fillIndex":1,"isFill":true,"color":{"colorSpace":"RGB","channel_1":0,"channel_2":51,"channel_3":204}},
                {"pfIndex":2,"fillIndex":2,"isFill":true,"color":{"colorSpace":"CMYK","channel_1":10,"channel_2":20,"channel_3":30,"channel_4":40}},
                {"pfIndex":3,"strokeIndex":1,"isFill":false,"color":{"colorSpace":"RGB","channel_1":255,"channel_2":0,"channel_3":0}}]}})"},
           {"getGraphicStyle", R"({"tagSearch":"leafy"})"}},
          json::parse(R"({"graphicStyle":{"paintFields":[{"isFill":true,"color":{"channel_2":51}},
                                                        {"isFill":false,"color":{"channel_1":255}},
                                                        {"isFill":true,"color":{"colorSpace":"CMYK"}}]}})")},
         {"a named graphic style copies an appearance whole",
          {{"createGraphicStyle", R"({"styleName":"Card copy","tagSearch":"card"})"},
           {"editGraphicStyle", R"({"tagSearch":"leafy","styleName":"Card copy","replace":true})"},
           {"getGraphicStyle", R"({"tagSearch":"leafy"})"}},
          json::parse(R"({"graphicStyle":{"paintFields":[{"fillIndex":1},{"fillIndex":2},
              {"strokeIndex":1,"pFieldStroke":{"strokeAlign":"Inside","beginArrow":"Arrow 1"}}]}})")},
     }},
    {"editGraphicStyle",
     "appearance.json",
     {
         {"a stroke aligned inside sets no arrowhead",
          {{"editGraphicStyle",
            R"({"tagSearch":"leafy","newStyle":{"paintFields":[{"mode":"edit","strokeIndex":1,"pFieldStroke":{"strokeAlign":"Inside","beginArrow":"Arrow 1","dashAlignment":true}}]}})"},
           {"getGraphicStyle", R"({"tagSearch":"leafy"})"}},
          json::parse(R"({"graphicStyle":{"paintFields":[{},{"pFieldStroke":
              {"strokeAlign":"Inside","beginArrow":null,"dashAlignment":null}}]}})")},
         {"a stroke aligned outside keeps the arrowheads it has",
          {{"editGraphicStyle",
            R"({"tagSearch":"card","uiMethod":false,"newStyle":{"paintFields":[{"mode":"edit","strokeIndex":1,"pFieldStroke":{"strokeAlign":"Outside","endArrow":"Arrow 1"}}]}})"},
           {"getGraphicStyle", R"({"tagSearch":"card"})"}},
          json::parse(R"({"graphicStyle":{"paintFields":[{},{},{"pFieldStroke":
              {"strokeAlign":"Outside","beginArrow":"Arrow 1","endArrow":null}}]}})")},
         {"a replaceStroke aligned outside sets no arrowhead",
          {{"editGraphicStyle",
            R"({"tagSearch":"leafy","uiMethod":false,"searchFill":false,"replaceStroke":{"strokeAlign":"Outside","beginArrow":"Arrow 1"}})"},
           {"getGraphicStyle", R"({"tagSearch":"leafy"})"}},
          json::parse(
              R"({"graphicStyle":{"paintFields":[{},{"pFieldStroke":{"strokeAlign":"Outside","beginArrow":null}}]}})")},
         {"a stroke aligned to the centre sets its arrowheads",
          {{"editGraphicStyle",
            R"({"tagSearch":"leafy","newStyle":{"paintFields":[{"mode":"edit","strokeIndex":1,"pFieldStroke":{"strokeAlign":"Center","beginArrow":"Arrow 1"}}]}})"},
           {"getGraphicStyle", R"({"tagSearch":"leafy"})"}},
          json::parse(R"({"graphicStyle":{"paintFields":[{},{"pFieldStroke":{"beginArrow":"Arrow 1"}}]}})")},
     }},
    // counters: two share the name "a".
    {"counters",
     "poster.json",
     {
         {"a shared name selects both for increment",
          SharedName({{"counters", R"({"method":"increment","counters":["a"]})"},
                      {"counters", R"({"method":"getProperties","counters":["a"]})"}}),
          json::parse(R"({"counters":[{"name":"a","count":8},{"name":"a","count":2}]})")},
         {"a shared name selects both for reset",
          SharedName({{"counters", R"({"method":"reset","counters":["a"]})"},
                      {"counters", R"({"method":"getProperties","counters":["a"]})"}}),
          json::parse(R"({"counters":[{"name":"a","count":1},{"name":"a","count":5}]})")},
         {"a shared name selects both for remove",
          SharedName({{"counters", R"({"method":"remove","counters":["a"]})"},
                      {"counters", R"({"method":"list"})"}}),
          json::parse(
              R"({"counters":["artboard","file","row_file","running_file","template_file","job","export"]})")},
         {"setProperties takes the first",
          SharedName({{"counters", R"({"method":"setProperties","counter":"a","padding":3})"},
                      {"counters", R"({"method":"getProperties","counters":["a"]})"}}),
          json::parse(R"({"counters":[{"padding":3,"start":1},{"padding":1,"start":5}]})")},
         {"the counter token takes the first",
          SharedName(
              {{"exportFile",
                R"({"formats":["png"],"testExport":true,"artboardRange":"1","folderPath":"$/out","fileName":[{"command":"counter","name":"a"}]})"}}),
          json::parse(R"({"Results":[{"fileName":"7"}]})")},
     }},
    // makeClipGroup: the clip object "a" is a closed path; the clip group is tagged "cg", and its
    // first child is the clip object, which has children only when it became a compound path.
    {"makeClipGroup",
     "layout.json",
     {
         {"compoundPath false with unite still makes a compound path",
          {{"makeClipGroup", R"({"tagSearch":"box","clipObject":"a","tags":["cg"],"compoundPath":false})"},
           {"getByTags", R"j({"tagSearch":":children(:firstChild(cg))"})j"}},
          json::parse(R"({"uuid":["*"]})")},
         {"unite nests the united shape in a second compound path",
          {{"makeClipGroup", R"({"tagSearch":"box","clipObject":"a","tags":["cg"]})"},
           {"getByTags", R"j({"tagSearch":":children(:children(:firstChild(cg)))"})j"}},
          json::parse(R"({"uuid":["*"]})")},
         {"compoundPath alone puts the clip object in a compound path",
          {{"makeClipGroup", R"({"tagSearch":"box","clipObject":"a","tags":["cg"],"unite":false})"},
           {"getByTags", R"j({"tagSearch":":parent(a) & :firstChild(cg)"})j"}},
          json::parse(R"({"uuid":["*"]})")},
         {"with both false the clip object stays a path",
          {{"makeClipGroup",
            R"({"tagSearch":"box","clipObject":"a","tags":["cg"],"compoundPath":false,"unite":false})"},
           {"getByTags", R"j({"tagSearch":":children(:firstChild(cg))"})j"}},
          json::parse(R"({"error":"No artwork found"})")},
     }},
    // applyPaint, getArtStyleList: the panel's XML replies. The backdrop of sample.json carries the
    // application's tag com.example.reviewed and has no paint.
    {"applyPaint",
     "sample.json",
     {
         {"a space after the comma belongs to the next name",
          {{"panel applyPaint",
            "<payload><tag>nobody, "
            "com.example.reviewed</tag><fill><cyan>0</cyan><magenta>0.5</magenta><yellow>1</yellow><black>0</"
            "black></fill></payload>"},
           {"getGraphicStyle", R"({"tagSearch":"background"})"}},
          json::parse(R"({"graphicStyle":{"paintFields":null}})")},
         {"names without spaces paint",
          {{"panel applyPaint",
            "<payload><tag>nobody,com.example.reviewed</tag><fill><cyan>0</cyan><magenta>0.5</"
            "magenta><yellow>1</yellow><black>0</black></fill></payload>"},
           {"getGraphicStyle", R"({"tagSearch":"background"})"}},
          json::parse(
              R"({"graphicStyle":{"paintFields":[{"color":{"colorSpace":"CMYK","channel_2":50}}]}})")},
         {"the reply escapes ampersand and angle brackets",
          {{"panel applyPaint",
            "<payload><tag>a>b&c</tag><fill><cyan>0</cyan><magenta>0</magenta><yellow>0</yellow><black>1</"
            "black></fill></payload>"}},
          "<payload><result>a&gt;b&amp;c</result></payload>"},
     }},
    {"getArtStyleList",
     "poster.json",
     {
         {"a name is percent-encoded, then escaped",
          {{"createGraphicStyle", R"({"styleName":"Salt & <Pepper>","tagSearch":"balloon"})"},
           {"panel getArtStyleList", ""}},
          "<payload><result>'Outlined%20balloon','Salt%20&amp;%20&lt;Pepper&gt;'</result></payload>"},
     }},
});

INSTANTIATE_TEST_SUITE_P(Fixes, ManualStatementFixes, testing::ValuesIn(kFixes), StatementName);

// What the reply can't show: the file of the new document's export carries the job's
// metadata.
TEST_F(ManualStatementFixes, ANewDocumentsFilesCarryTheJobsMetadata) {
    const std::string folder = scratch.Path().string();
    ScriptJson("saveFile", Replaced(R"({"outputPath":"$/new","fileName":"new.ai"})", folder));
    ScriptJson("openFile", Replaced(R"({"filePath":"$/new/new.ai"})", folder));
    ScriptJson("place", Replaced(R"({"filePath":"$/poster-photo.png"})", folder));
    const json reply = ScriptJson(
        "exportFile",
        Replaced(
            R"({"formats":["pdf"],"folderPath":"$/out","fileName":"m","metadata":{"author":["Ann Example"]}})",
            folder));
    ASSERT_EQ(reply["Results"][0]["exportSuccessful"], true) << reply.dump();
    const std::string written = testsupport::ReadFile(scratch.Path() / "out" / "m.pdf");
    EXPECT_NE(written.find("Ann Example"), std::string::npos);
}

// What the reply can't show: the resolution a PNG or JPEG file records, up to the largest its
// format holds, and 72 pixels per inch above it. A PNG records pixels per metre, a JPEG
// pixels per inch.
TEST_F(ManualStatementFixes, PngAndJpegRecordTheirResolutionUpToTheirLargest) {
    struct Case {
        const char* format;
        int resolution;
        unsigned recorded;
    };
    const Case cases[] = {
        {"png", 1664, 65512}, {"png", 1665, 2835}, {"png", 2000, 2835},
        {"jpg", 1665, 1665},  {"jpg", 2000, 2000},
    };
    OpenDocumentFile((scratch.Path() / "sample.json").string(), 7);
    for (const Case& c : cases) {
        const std::string name = std::string(c.format) + std::to_string(c.resolution);
        const json reply = ScriptJson("exportFile", json{{"formats", {c.format}},
                                                         {"tagSearch", "star"},
                                                         {"resolution", c.resolution},
                                                         {"folderPath", (scratch.Path() / "out").string()},
                                                         {"fileName", name}}
                                                        .dump());
        ASSERT_EQ(reply["Results"][0]["exportSuccessful"], true) << reply.dump();
        const std::string file = testsupport::ReadFile(scratch.Path() / "out" / (name + "." + c.format));
        // The first of the two densities: after the PNG chunk's type, or at the JFIF header's
        // byte 14.
        const std::size_t at = c.format == std::string("png") ? file.find("pHYs") + 4 : 14;
        const std::size_t size = c.format == std::string("png") ? 4 : 2;
        ASSERT_LE(at + size, file.size()) << name;
        unsigned recorded = 0;
        for (std::size_t i = 0; i < size; ++i) {
            recorded = recorded << 8 | static_cast<unsigned char>(file[at + i]);
        }
        EXPECT_EQ(recorded, c.recorded) << name;
    }
}

}  // namespace
