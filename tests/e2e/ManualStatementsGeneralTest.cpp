// The manual's general sections (docs/commands.md, from "Sending a request" to the commands one by
// one), statement by statement: requests and replies, ways in, undo, units, what a command needs,
// the tag-query language, colours, text modes and fitting, export's jobs and options, name
// templates and counters. Export rows open a copy of the poster example from the test's own folder
// (an export needs a document with a file on disk) and write relative to that folder.
#include <unistd.h>

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "ManualStatements.h"
#include "ProgramRun.h"

namespace {

using Steps = std::vector<std::pair<std::string, std::string>>;

// The copy of examples/poster.json in the working folder opened as a file (doc.ai), then the steps.
Steps Saved(Steps steps) {
    steps.insert(steps.begin(), {"openFile", R"({"filePath":"doc.ai"})"});
    return steps;
}

// An exportFile request of one PNG of the first artboard into "out", with the keys given added.
std::string Png(const std::string& more) {
    return R"({"uid":"x","formats":["png"],"artboardRange":"1","folderPath":"out","fileName":"f")" +
           (more.empty() ? "" : "," + more) + "}";
}

// The one result of an export.
json One(json result) {
    return {{"Results", json::array({std::move(result)})}};
}

// A name template of tokens, the file name the export's test answers.
std::string Named(const std::string& fileName, const std::string& more = R"("artboardRange":"2")") {
    return R"({"formats":["png"],"testExport":true,"folderPath":"out",)" + more + R"(,"fileName":)" +
           fileName + "}";
}

// The sun's disc made that wide in the unit (with the keys given added), then its width printed in
// points by a name token.
Steps SunWidthInPoints(const std::string& width, const std::string& units, const std::string& more = "") {
    return Saved(
        {{"transform",
          R"({"tagSearch":"sun_disc","width":)" + width + R"(,"units":")" + units + "\"" + more + "}"},
         {"exportFile", Named(R"([{"command":"art_width","unit":"pt"}])", R"("tagSearch":"sun_disc")")}});
}

const std::vector<ManualStatement> kRows = Sections({
    // Sending a request, replies, errors and warnings.
    {"Sending a request",
     "poster.json",
     {
         {"a name alone sends an empty request",
          {{"getByTags", ""}},
          {{"error", "No search string"}, {"uid", nullptr}}},
         {"a request that is no object reads as empty",
          {{"getByTags", R"([{"tagSearch":"sun"}])"}},
          {{"error", "No search string"}}},
         {"key names are case-sensitive",
          {{"getByTags", R"({"uid":"u","TagSearch":"sun"})"}},
          {{"error", "No search string"}, {"uid", "u"}}},
         {"a uid that is no string fails",
          {{"getByTags", R"({"uid":5,"tagSearch":"sun"})"}},
          {{"error", "\"uid\" must be a string"}, {"uid", nullptr}}},
     }},
    {"Replies",
     "poster.json",
     {
         {"a request that does not parse says where",
          {{"getByTags", R"({"uid":"u",})"}},
          {{"error",
            "The request is not valid JSON: parse error at line 1, column 12: syntax error while parsing "
            "object key - unexpected '}'; expected string literal"}}},
         {"a number beyond range that no key holds",
          {{"getByTags", "[1e400]"}},
          {{"error", "The request is not valid JSON: number overflow parsing '1e400'"}}},
         {"a number beyond range names the key holding it, uid kept",
          {{"getByTags", R"({"uid":"u","a":[1,{"b":-1e400}]})"}},
          {{"error", "\"b\" is out of range"}, {"uid", "u"}}},
         {"a length not finite in points is out of range",
          {{"translate", R"({"tagSearch":"sun","deltaX":1e308,"units":"m"})"}},
          {{"error", "\"deltaX\" is out of range"}}},
         {"an integer beyond 32 bits is out of range",
          {{"duplicate", R"({"tagSearch":"sun","numberOfCopies":5000000000})"}},
          {{"error", "\"numberOfCopies\" is out of range"}}},
         {"512 levels are read",
          {{"getByTags", std::string(512, '[') + std::string(512, ']')}},
          {{"error", "No search string"}}},
         {"513 levels are too deep",
          {{"getByTags", std::string(513, '[') + std::string(513, ']')}},
          {{"error", "The request is nested too deeply"}}},
         {"an unknown name answers only error and uid",
          {{"getByTag", R"({"uid":"u"})"}},
          {{"error", "Unknown event type: getByTag"}, {"uid", "u"}, {"eventType", nullptr}}},
         {"a panel-only command sent as a script message",
          {{"testTokens", R"({"uid":"u"})"}},
          {{"error", "Unknown event type: testTokens"}}},
     }},
    {"Ways in",
     "poster.json",
     {
         {"a batch entry names a command no batch runs",
          {{"batchCall",
            R"({"data":[{"eventType":"com.torvi.event.startContext","data":{}},{"eventType":"com.torvi.event.comment","data":{"uid":"c"}}]})"}},
          {{"data", {{{"error", "Unknown eventType: startContext"}}, {{"data", {{"uid", "c"}}}}}},
           {"errorsPresent", true}}},
     }},
    // A failed command changes nothing; undo.
    {"A failed command changes nothing",
     "poster.json",
     {
         {"a text that fails takes its replacements back",
          {{"text",
            R"({"tagSearch":"headline","searchText":"event","replaceText":"Fair","mode":1,"fittingMethod":"none"})"},
           {"getTextStyle", R"({"tagSearch":"headline","searchText":"Fair"})"}},
          {{"error", "No text found"}}},
     }},
    {"Undo",
     "poster.json",
     {
         {"the commands between startContext and undoChanges join one step",
          {{"startContext", R"({"key":"k"})"},
           {"rotate", R"({"tagSearch":"sun","rotation":10})"},
           {"translate", R"({"tagSearch":"sun","deltaX":10})"},
           {"listUndoPoints", "{}"}},
          {{"undoPoints", {{-1, "k"}}}}},
     }},
    {"Undo",
     "",
     {
         {"exportFile ends the context, a batch is one step",
          Saved(
              {{"startContext", R"({"key":"k"})"},
               {"rotate", R"({"tagSearch":"sun","rotation":10})"},
               {"exportFile", Png("")},
               {"rotate", R"({"tagSearch":"sun","rotation":10})"},
               {"batchCall",
                R"({"data":[{"eventType":"com.torvi.event.rotate","data":{"tagSearch":"star","rotation":5}},{"eventType":"com.torvi.event.translate","data":{"tagSearch":"star","deltaX":5}}]})"},
               {"listUndoPoints", "{}"}}),
          {{"undoPoints", {{-3, "k"}}}}},
     }},
    // Units: lengths given in a unit, printed back by a name token in points.
    {"Units",
     "",
     {
         {"inches", SunWidthInPoints("1", "in", R"(,"keepProportions":true)"), One({{"fileName", "72"}})},
         {"picas by p", SunWidthInPoints("2", "p"), One({{"fileName", "24"}})},
         {"feetInches is feet", SunWidthInPoints("0.25", "feetInches"), One({{"fileName", "216"}})},
         {"a name in another letter case is points", SunWidthInPoints("50", "Inches"),
          One({{"fileName", "50"}})},
     }},
    {"Units",
     "poster.json",
     {
         {"a unit that is no string fails",
          {{"translate", R"({"tagSearch":"sun","deltaX":1,"units":5})"}},
          {{"error", "\"units\" must be a string"}}},
     }},
    // What a command needs of the document.
    {"What a command needs",
     "",
     {
         {"a new document has no file to export",
          {{"exportFile", R"({"formats":["png"],"folderPath":"out","fileName":"x"})"}},
          {{"error", "Can't get specs of a current document"}}},
         {"a new document has no file to revert to", {{"revert", "{}"}}, {{"error", "FilePath not found"}}},
         {"without a document a query finds nothing",
          {{"closeDocument", "{}"}, {"rotate", R"({"tagSearch":"sun","rotation":5})"}},
          {{"error", "No artwork found"}}},
         {"without a document the undo history is not found",
          {{"closeDocument", "{}"}, {"listUndoPoints", "{}"}},
          {{"error", "Document not found"}}},
         {"without a document its units are not known",
          {{"closeDocument", "{}"}, {"getDocumentUnits", "{}"}},
          {{"error", "Can't determine document units"}}},
         {"without a document there are no artboards",
          {{"closeDocument", "{}"}, {"editArtboards", "{}"}},
          {{"error", "Can't get artboards"}}},
     }},
    {"What a command needs",
     "poster.json",
     {
         {"locked art is turned",
          {{"setObjectAttributes", R"({"tagSearch":"sun","locked":true})"},
           {"rotate", R"({"tagSearch":"sun","rotation":10})"}},
          {{"error", nullptr}, {"warning", nullptr}}},
     }},
    // The tag-query language.
    {"Tags",
     "poster.json",
     {
         {"a tag is stored in its normal form",
          {{"setTags", R"({"tagSearch":"sun_disc","tags":["Sale Item","a, b"]})"},
           {"validateTagSearches", R"({"tagSearches":["Sale_Item","SALE ITEM","A_B"]})"}},
          {{"valid", {true, false, true}}, {"exists", {true, false, true}}}},
     }},
    {"Grammar",
     "poster.json",
     {
         {"precedence and operators",
          {{"validateTagSearches",
            R"j({"tagSearches":["balloon & flyer | sun","!balloon > balloon","c<(a|b)","(a|b)>c","a b","a,b"]})j"}},
          {{"valid", {true, true, true, false, false, false}},
           {"exists", {true, true, false, false, false, false}}}},
         {"formulas",
          {{"validateTagSearches",
            R"j({"tagSearches":[":nthChild(balloons, 2n + 1)",":NTHCHILD(balloons, 2n + 1)",":NTHCHILD(balloons, 2n+1)",":nthChild(balloons, odd)",":nthChild(balloons, 2n-1)",":nthChild(balloons, -n+3)"]})j"}},
          {{"valid", {true, false, true, true, true, true}},
           {"exists", {true, false, true, false, false, true}}}},
     }},
    {"Operators",
     "poster.json",
     {
         {"nearest enclosing",
          {{"getByTags", R"({"tagSearch":"decor < sun_disc"})"}},
          {{"uuid", {"19d61969-5e4c-4436-a940-f31e4f1c249d"}}}},
     }},
    {"Pseudo-classes",
     "poster.json",
     {
         {"the parent is the group",
          {{"getByTags", R"j({"tagSearch":":parent(balloon)"})j"}},
          {{"uuid", {"ccb52d38-4649-4149-ac9f-29a9a72d3b44"}}}},
         {"nth of type",
          {{"getByTags", R"j({"tagSearch":":nthOfType(balloon, 2)"})j"}},
          {{"uuid", {"66ee8b2e-0e81-4388-8e68-44d3022e2b00"}}}},
         {"children of a layer's objects' parent is empty",
          {{"getByTags", R"j({"tagSearch":":children(:parent(star))"})j"}},
          {{"error", "No artwork found"}}},
     }},
    {"Malformed queries",
     "poster.json",
     {
         {"selectByTags keeps the selection",
          {{"selectByTags", R"({"tagSearch":"a && b"})"}},
          {{"error", "Can't parse the tag search"}}},
         {"duplicate to a malformed target copies nothing",
          {{"duplicate", R"({"tagSearch":"sun","targetTagSearch":"a && b"})"}},
          {{"error", "No target artwork found"}}},
         {"place",
          {{"place", R"({"tagSearch":"photo","placeTagSearch":"(a","filePath":")" PLIM_SOURCE_DIR
                     R"(/examples/poster-photo.png"})"}},
          {{"error", "Can't find an art specified by placeTagSearch"}}},
         {"pathfinder",
          {{"pathfinder", R"({"tagSearch":")(","operation":"unite"})"}},
          {{"error", "Tagged art not found"}}},
     }},
    // Colours.
    {"Colours",
     "poster.json",
     {
         {"a channel of another type reads as 0, a fraction as its whole part",
          {{"editGraphicStyle",
            R"({"tagSearch":"balloon & flyer","uiMethod":false,"newStyle":{"paintFields":[{"mode":"replace","pfIndex":1,"isFill":true,"color":{"colorSpace":"rgb","channel_1":"x","channel_2":12.7,"channel_3":true}}]}})"},
           {"getGraphicStyle", R"({"tagSearch":"balloon & flyer"})"}},
          {{"graphicStyle",
            {{"paintFields",
              {{{"color",
                 {{"colorSpace", "RGB"}, {"channel_1", 0}, {"channel_2", 12}, {"channel_3", 1}}}}}}}}}},
         {"a paint field of an invalid colour is skipped",
          {{"editGraphicStyle",
            R"({"tagSearch":"balloon & flyer","uiMethod":false,"newStyle":{"paintFields":[{"mode":"replace","pfIndex":1,"isFill":true,"color":{"colorSpace":"RGB","channel_1":5,"channel_2":300,"channel_3":255}}]}})"},
           {"getGraphicStyle", R"({"tagSearch":"balloon & flyer"})"}},
          {{"graphicStyle",
            {{"paintFields",
              {{{"color",
                 {{"colorSpace", "RGB"}, {"channel_1", 230}, {"channel_2", 51}, {"channel_3", 51}}}}}}}}}},
         {"makeSwatch of an invalid colour",
          {{"makeSwatch",
            R"({"color":{"swatchName":"A","colorSpace":"Lab","channel_1":50,"channel_2":-129}})"}},
          {{"error", "Can't find an input color"}}},
         {"a flag of another type",
          {{"makeSwatch", R"({"color":{"swatchName":"A","colorSpace":"RGB","spot":"yes"}})"}},
          {{"error", "\"spot\" must be true or false"}}},
         {"a tint beyond 32 bits",
          {{"makeSwatch", R"({"color":{"swatchName":"A","colorSpace":"RGB","customColorTint":5000000000}})"}},
          {{"error", "\"customColorTint\" is out of range"}}},
     }},
    // Text.
    {"Modes",
     "poster.json",
     {
         {"another mode changes nothing and answers no error",
          {{"text", R"({"tagSearch":"flyer & details","searchText":"Town","replaceText":"City","mode":9})"},
           {"getTextStyle", R"({"tagSearch":"flyer & details","searchText":"City"})"}},
          {{"error", "No text found"}}},
     }},
    {"Regular expressions",
     "poster.json",
     {
         {"a refused pattern warns",
          {{"text",
            R"({"tagSearch":"tagline","searchText":"(?i)music","replaceText":"X","mode":0,"regExFlag":"g"})"}},
          {{"error", nullptr},
           {"warning", "The regular expression engine refused the pattern, so nothing was searched"}}},
         {"substitutions",
          {{"text",
            R"j({"tagSearch":"tagline","searchText":"(\\w+) - (\\w+)","replaceText":"$2$$$9","mode":0,"regExFlag":"g"})j"},
           {"getTextStyle", R"({"tagSearch":"tagline","searchText":"food$$9 - and$$9"})"}},
          {{"error", nullptr}}},
     }},
    {"Fitting",
     "poster.json",
     {
         {"none is an unknown method",
          {{"text", R"({"tagSearch":"headline","fittingMethod":"none"})"}},
          {{"error", "Unknown fitting method"}}},
         {"a method that is no text is unknown",
          {{"text", R"({"tagSearch":"headline","fittingMethod":5})"}},
          {{"error", "Unknown fitting method"}}},
         {"a paragraph outside the limits",
          {{"text",
            R"({"tagSearch":"flyer & details","searchText":"Town","mode":0,"fittingMethod":"fitToFrame","minFontSize":200})"}},
          {{"error", "Can't fit a paragraph width"}}},
     }},
    // Export: formats and jobs.
    {"Format names",
     "",
     {
         {"vector files come first, unknown names are skipped",
          Saved({{"exportFile", R"({"formats":["PNG","gif","Pdf"],"folderPath":"out","fileName":"a"})"}}),
          {{"Results",
            {{{"fileFormat", "pdf"}, {"fileName", "a"}},
             {{"fileFormat", "png"}, {"fileName", "a 1"}},
             {{"fileFormat", "png"}, {"fileName", "a 2"}}}}}},
     }},
    {"Jobs",
     "",
     {
         {"two spellings of one folder fail the command",
          Saved(
              {{"exportFile",
                R"({"formats":["png"],"artboardRange":"1","fileName":"k","jobs":[{"folderPath":"out"},{"folderPath":"./out/"}]})"}}),
          {{"error", "Can't process a file name or path"}}},
         {"the delimiter is changed before the number is appended",
          Saved(
              {{"exportFile",
                R"({"formats":["png"],"folderPath":"out","fileName":"My File_","fileNameDelimiter":"+"})"}}),
          {{"Results", {{{"fileName", "My+File+ 1"}}, {{"fileName", "My+File+ 2"}}}}}},
         {"a range beyond the artboards",
          Saved({{"exportFile", Png(R"("artboardRange":"3")")}}),
          {{"error", "Can't process artboard ranges"}}},
         {"appendArtboardNumbers that is no string",
          Saved({{"exportFile", Png(R"("appendArtboardNumbers":true)")}}),
          {{"error", "Can't append artboard numbers"}}},
         {"no job writes over an open document's file",
          Saved({{"exportFile", Png("")},
                 {"exportFile",
                  R"({"formats":["ai"],"document":true,"folderPath":"out/..","fileName":"doc"})"}}),
          One({{"exportSuccessful", false}, {"error", "Can't export over the file of an open document"}})},
         {"a testExport of another type fails its job", Saved({{"exportFile", Png(R"("testExport":"yes")")}}),
          One({{"exportSuccessful", false}, {"error", "\"testExport\" must be true or false"}})},
         {"a testExport of another type writes nothing",
          Saved({{"exportFile", Png(R"("testExport":"yes")")}, {"openFile", R"({"filePath":"out/f.png"})"}}),
          {{"error", "File path not found"}}},
         {"a triggerStandards of another type fails the command",
          Saved({{"exportFile", Png(R"("triggerStandards":"no")")}}),
          {{"error", "\"triggerStandards\" must be true or false"}, {"Results", nullptr}}},
     }},
    // Export: raster and vector options, metadata.
    {"Raster options",
     "",
     {
         {"a colour space is written in its letter case",
          Saved({{"exportFile", Png(R"("colorSpace":"grayscale")")}}),
          One({{"exportSuccessful", false}, {"error", "Can't export a file of type 'png'"}})},
         {"a clippingMaskOffset of another type is ignored",
          Saved({{"exportFile", Png(R"("clippingMaskOffset":"no")")}}), One({{"exportSuccessful", true}})},
         {"a preserveSpotColors of another type fails the job",
          Saved({{"exportFile", Png(R"("preserveSpotColors":"no")")}}), One({{"exportSuccessful", false}})},
         {"a resolution of another type is named", Saved({{"exportFile", Png(R"("resolution":"300")")}}),
          One({{"error", "\"resolution\" must be a number"}})},
     }},
    {"Vector options",
     "",
     {
         {"an option of the wrong type fails the job",
          Saved({{"exportFile",
                  R"({"formats":["pdf"],"folderPath":"out","fileName":"p","pdfMarksOffset":"x"})"}}),
          One({{"exportSuccessful", false}, {"error", "Can't export a file of type 'pdf'"}})},
         {"permissions are not read without their password",
          Saved({{"exportFile",
                  R"({"formats":["pdf"],"folderPath":"out","fileName":"p","pdfPrintingPerm":5})"}}),
          One({{"exportSuccessful", true}})},
         {"permissions are read with their password",
          Saved(
              {{"exportFile",
                R"({"formats":["pdf"],"folderPath":"out","fileName":"p","pdfPermissionsPassword":"p","pdfPrintingPerm":5})"}}),
          One({{"exportSuccessful", false}})},
         {"a tile size is read for JPEG2000 only",
          Saved(
              {{"exportFile",
                R"({"formats":["pdf"],"folderPath":"out","fileName":"p","pdfColorImageCompressionKind":"JPEG","pdfColorImageTileKey":"x"})"}}),
          One({{"exportSuccessful", true}})},
         {"another format's options are not read",
          Saved({{"exportFile", R"({"formats":["pdf"],"folderPath":"out","fileName":"p","aiVersion":5})"}}),
          One({{"exportSuccessful", true}})},
     }},
    // Export: units, name templates, counters.
    {"Export units",
     "",
     {
         {"an unknown unit prints points with 4 decimals",
          Saved(
              {{"exportFile",
                Named(
                    R"([{"command":"artboard_width","unit":"bogus"},"_",{"command":"artboard_width","unit":"mm"},"_",{"command":"artboard_width"}])")}}),
          One({{"fileName", "300.0000_105.83_300"}})},
     }},
    {"Name templates",
     "",
     {
         {"an object's values are parts in key order", Saved({{"exportFile", Named(R"({"b":"B","a":"A"})")}}),
          One({{"fileName", "AB"}})},
         {"a value of another type fails the command",
          Saved({{"exportFile", Named("true")}}),
          {{"error", "Can't process file paths or names"}}},
         {"parts that are no string or token add nothing",
          Saved({{"exportFile", Named(R"(["a",5,{"x":1},{"command":"nope"},true,"b"])")}}),
          One({{"fileName", "ab"}})},
         {"a token option of another type is its default",
          Saved(
              {{"exportFile",
                Named(
                    R"([{"command":"ruler_unit","casing":5},{"command":"counter","name":"file","plus":"x","padding":"y"}])")}}),
          One({{"fileName", "points1"}})},
         {"a decimalPlaces of another type fails the command",
          Saved({{"exportFile", Named(R"(["r",{"command":"resolution","decimalPlaces":"x"}])")}}),
          {{"error", "Can't process a file name or path"}}},
         {"a token's dots can't lead out of the folder",
          Saved({{"editArtboards", R"({"mode":"edit","artboardNumber":2,"newName":".."})"},
                 {"exportFile", Named(R"([{"command":"artboard_name"}])")}}),
          One({{"fileName", "__"}})},
         {"a token's tilde at the start of the folder",
          Saved(
              {{"editArtboards", R"({"mode":"edit","artboardNumber":2,"newName":"~x/y"})"},
               {"exportFile",
                R"({"formats":["png"],"testExport":true,"artboardRange":"2","folderPath":[{"command":"artboard_name"}],"fileName":"t"})"}}),
          One({{"folderPath", "_x_y"}})},
     }},
    {"Counters",
     "",
     {
         {"the first file of a request prints row_file as 1",
          Saved(
              {{"exportFile", Png("")},
               {"exportFile",
                R"({"formats":["png"],"folderPath":"out","fileName":[{"command":"counter","name":"row_file"},"_",{"command":"counter","name":"file"}]})"}}),
          {{"Results", {{{"fileName", "1_2 1"}}, {{"fileName", "2_3 2"}}}}}},
         {"a test leaves the counters as they were",
          Saved(
              {{"exportFile",
                R"({"formats":["png"],"testExport":true,"folderPath":"out","fileName":["t",{"command":"counter","overrides":{"name":"made","count":5}}]})"},
               {"counters", R"({"method":"getProperties","counters":["file","made"]})"}}),
          {{"counters", {{{"name", "file"}, {"count", 1}}}}}},
         {"without standard triggers the export counter stays",
          Saved({{"exportFile", Png(R"("triggerStandards":false,"counters":["template_file"])")},
                 {"counters", R"({"method":"getProperties","counters":["export","template_file"]})"}}),
          {{"counters", {{{"name", "template_file"}, {"count", 2}}, {{"name", "export"}, {"count", 1}}}}}},
     }},
});

class ManualStatementsGeneral : public ManualStatementTest {
protected:
    // Each statement runs in a folder of its own, which relative paths name.
    void SetUp() override {
        ManualStatementTest::SetUp();
        before = std::filesystem::current_path();
        std::filesystem::current_path(scratch.Path());
        const std::filesystem::path examples = std::filesystem::path(PLIM_SOURCE_DIR) / "examples";
        std::filesystem::copy_file(examples / "poster.json", "doc.ai");
        std::filesystem::copy_file(examples / "poster-photo.png", "poster-photo.png");
    }
    void TearDown() override {
        std::filesystem::current_path(before);
        ManualStatementTest::TearDown();
    }

    testsupport::ScratchFolder scratch{"manual_general"};
    std::filesystem::path before;
};

TEST_P(ManualStatementsGeneral, Hold) {
    Check();
}

INSTANTIATE_TEST_SUITE_P(General, ManualStatementsGeneral, testing::ValuesIn(kRows), StatementName);

}  // namespace
