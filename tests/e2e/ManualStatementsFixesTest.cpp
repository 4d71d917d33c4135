// Statements of the manual that were wrong and now say what the program does (exportFile's formats,
// errors, lenient options and metadata; the bounds of alignObjects and distributeObjects and the
// inclusive option; editArtboards' "edit" and "numberOfArtboards"; empty groups in ungroupObjects;
// Lab swatches), each run as a user runs it.
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
            reply = ScriptJson(command, Replaced(request, folder));
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
         {"counters that is not an array counts nothing",
          {{"exportFile",
            R"({"formats":["png"],"artboardRange":"1","folderPath":"$/out","fileName":"a","triggerStandards":false,"counters":"file"})"},
           {"exportFile",
            R"({"formats":["png"],"artboardRange":"1","folderPath":"$/out","fileName":[{"command":"counter","name":"file"}],"triggerStandards":false})"}},
          json::parse(R"({"Results":[{"exportSuccessful":true,"fileName":"1"}]})")},
         {"counters as an array counts the counters it names",
          {{"exportFile",
            R"({"formats":["png"],"artboardRange":"1","folderPath":"$/out","fileName":"a","triggerStandards":false,"counters":["file"]})"},
           {"exportFile",
            R"({"formats":["png"],"artboardRange":"1","folderPath":"$/out","fileName":[{"command":"counter","name":"file"}],"triggerStandards":false})"}},
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
});

INSTANTIATE_TEST_SUITE_P(Fixes, ManualStatementFixes, testing::ValuesIn(kFixes), StatementName);

// What the reply can't show: the file of the new document's export carries the job's metadata.
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

}  // namespace
