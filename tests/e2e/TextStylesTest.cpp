// getTextStyle, editTextStyle and getFontList through the real host: named styles created, changed
// and read back (also after the document is saved and read again), features of found text through
// the styles applied to it, the fonts found by each kind of name, and the font list against the
// installed faces.
#include <filesystem>

#include "PluginFixture.h"

namespace {

// "Title" (tag "title") holds plain text; "Price" (tag "price") a story whose second word has the
// character style "Emph" and whose paragraph has the paragraph style "Body".
constexpr const char* kDocument = R"({"format": "plimhost-document", "version": 1,
  "textStyles": {"character": {"Emph": {"fontSize": 20}}, "paragraph": {"Body": {"justification": 2}}},
  "layers": [{"type": "layer", "title": "L", "children": [
    {"type": "textFrame", "name": "Title", "kind": "point", "frame": [0, 0, 0, 0],
     "tags": [{"name": "_p_tag_d697173d", "type": "string", "value": "title"}],
     "text": "Hello \ud83d\ude00 World\rSecond"},
    {"type": "textFrame", "name": "Price", "kind": "area", "frame": [0, 200, 300, 0],
     "tags": [{"name": "_p_tag_37694d8f", "type": "string", "value": "price"}],
     "story": {"text": "plain styled",
               "runs": [{"length": 6}, {"length": 6, "style": "Emph"}],
               "paragraphs": [{"style": "Body"}]}}]}]})";

class TextStylesTest : public PluginTest {
protected:
    void SetUp() override {
        PluginTest::SetUp();
        Load(kDocument);
    }

    void Load(const std::string& text) {
        host::model::ReadResult read = host::model::readDocument(text, 5);
        ASSERT_TRUE(read.document) << read.error;
        app->SetDocument(std::make_unique<host::model::Document>(std::move(*read.document)));
    }

    // Saves the current document to its text and makes the document read from it current.
    void SaveAndReopen() {
        const host::model::WriteResult written = host::model::writeDocument(*app->CurrentDocument());
        ASSERT_TRUE(written.text) << written.error;
        Load(*written.text);
    }
};

struct Step {
    const char* command;
    const char* request;
    const char* pointer;   // into the reply
    const char* expected;  // JSON; "absent" when the reply must not hold the pointer
};

// Run in order: later steps see what earlier ones changed.
const Step kSteps[] = {
    {"getTextStyle", R"({})", "/error", R"("No search text found")"},
    {"getTextStyle", R"({"searchText":"zzz"})", "/error", R"("No text found")"},
    {"getTextStyle", R"({"searchText":"World","tagSearch":"title"})", "/tagSearch", R"("title")"},
    {"getTextStyle", R"({"searchText":"\ud83d\ude00 World"})", "/textFeatures/charStyle",
     R"("Normal Character Style")"},
    {"getTextStyle", R"({"searchText":"World"})", "/textFeatures/fontName", R"("DejaVuSans")"},
    {"getTextStyle", R"({"searchText":"styled"})", "/textFeatures/fontSize", "20.0"},
    {"getTextStyle", R"({"searchText":"styled"})", "/textFeatures/justification", R"("center")"},
    {"getTextStyle", R"({"searchText":"styled"})", "/textFeatures/paraStyle", R"("Body")"},
    {"getTextStyle", R"({"searchText":"plain styled"})", "/textFeatures/fontSize", "absent"},
    {"getTextStyle", R"({"charStyle":"Emph","paraStyle":"Body"})", "", R"({"eventType":"getTextStyle",
     "uid":"u","charStyle":"Emph","textFeatures":{"fontSize":20.0}})"},
    {"getTextStyle", R"({"paraStyle":"Body"})", "/textFeatures", R"({"justification":"center"})"},
    {"getTextStyle", R"({"charStyle":"Nope"})", "",
     R"({"eventType":"getTextStyle","uid":"u","charStyle":"Nope",
     "error":"Named style not found"})"},
    {"getTextStyle", R"({"charStyle":5})", "/error", R"("\"charStyle\" must be a string")"},
    {"editTextStyle", R"({})", "/error", R"("No input style found")"},
    {"editTextStyle", R"({"charStyle":"Emph","newStyle":{"bogus":1}})", "/error",
     R"("No input style found")"},
    {"editTextStyle", R"({"charStyle":"Emph","newStyle":[1]})", "/error", R"("No input style found")"},
    {"editTextStyle", R"({"tagSearch":"title","newStyle":{"fontSize":9}})", "/error",
     R"("No search text found")"},
    {"editTextStyle", R"({"tagSearch":"title","searchText":"zzz"})", "/error", R"("No text found")"},
    {"editTextStyle", R"({"charStyle":"Emph","replace":"yes","newStyle":{"fontSize":9}})", "/error",
     R"("\"replace\" must be true or false")"},
    // An unknown colour space is named, and nothing of the request changes the style.
    {"editTextStyle", R"({"charStyle":"Emph","newStyle":{"fontSize":9,"fillColor":{"colorSpace":"Bogus"}}})",
     "/error", R"("Unknown color space: Bogus")"},
    {"getTextStyle", R"({"charStyle":"Emph"})", "/textFeatures", R"({"fontSize":20.0})"},
    // Without a style name valid features change nothing and are no error.
    {"editTextStyle", R"({"newStyle":{"fontSize":9}})", "", R"({"eventType":"editTextStyle","uid":"u"})"},
    // Merging keeps the style's other features; the found text follows its style.
    {"editTextStyle", R"({"charStyle":"Emph","newStyle":{"fontFamily":"DejaVu Serif","fontStyle":"bold"}})",
     "", R"({"eventType":"editTextStyle","uid":"u","charStyle":"Emph"})"},
    {"getTextStyle", R"({"searchText":"styled"})", "/textFeatures/fontName", R"("DejaVuSerif-Bold")"},
    {"getTextStyle", R"({"searchText":"styled"})", "/textFeatures/fontSize", "20.0"},
    // Replacing leaves only the given features: the size comes from the paragraph style again.
    {"editTextStyle", R"({"charStyle":"Emph","replace":true,"newStyle":{"underline":true}})", "/error",
     "absent"},
    {"getTextStyle", R"({"charStyle":"Emph"})", "/textFeatures", R"({"underline":true})"},
    {"editTextStyle", R"({"paraStyle":"Body","newStyle":{"justification":"right","fontSize":8}})",
     "/paraStyle", R"("Body")"},
    {"getTextStyle", R"({"searchText":"styled"})", "/textFeatures/fontSize", "8.0"},
    {"getTextStyle", R"({"searchText":"styled"})", "/textFeatures/justification", R"("right")"},
    {"getTextStyle", R"({"searchText":"styled"})", "/textFeatures/underline", "true"},
    // Both names: the character style first, then the paragraph style, from the same features.
    {"editTextStyle", R"({"charStyle":"C2","paraStyle":"P2","newStyle":{"tracking":40,"firstLineIndent":3}})",
     "", R"({"eventType":"editTextStyle","uid":"u","charStyle":"C2","paraStyle":"P2"})"},
    {"getTextStyle", R"({"charStyle":"C2"})", "/textFeatures", R"({"tracking":40})"},
    {"getTextStyle", R"({"paraStyle":"P2"})", "/textFeatures", R"({"firstLineIndent":3.0})"},
    // Features of found text; "newStyle" is not read on that path.
    {"editTextStyle",
     R"({"tagSearch":"price","searchText":"styled","charStyle":"Copy","newStyle":{"fontSize":50}})",
     "/tagSearch", R"("price")"},
    {"getTextStyle", R"({"charStyle":"Copy"})", "/textFeatures/fontSize", "8.0"},
    {"getTextStyle", R"({"charStyle":"Copy"})", "/textFeatures/underline", "true"},
    // Text set with auto leading reads a leading too; a style taken from it keeps auto leading on,
    // as a request that gives both does. A leading alone switches it off.
    {"getTextStyle", R"({"tagSearch":"title","searchText":"Hello"})", "/textFeatures/autoLeading", "true"},
    {"editTextStyle", R"({"tagSearch":"title","searchText":"Hello","charStyle":"Found"})", "/error",
     "absent"},
    {"getTextStyle", R"({"charStyle":"Found"})", "/textFeatures/autoLeading", "true"},
    {"editTextStyle", R"({"charStyle":"Both","newStyle":{"leading":18,"autoLeading":true}})", "/error",
     "absent"},
    {"getTextStyle", R"({"charStyle":"Both"})", "/textFeatures", R"({"autoLeading":true,"leading":18.0})"},
    {"editTextStyle", R"({"charStyle":"Both","newStyle":{"leading":16}})", "/error", "absent"},
    {"getTextStyle", R"({"charStyle":"Both"})", "/textFeatures", R"({"autoLeading":false,"leading":16.0})"},
    // Fonts by each kind of name: typographic and native family and style, full and PostScript name.
    {"editTextStyle",
     R"({"charStyle":"F1","newStyle":{"fontFamily":"DejaVu Sans Condensed","fontStyle":"BOLD"}})", "/error",
     "absent"},
    {"getTextStyle", R"({"charStyle":"F1"})", "/textFeatures/fontName", R"("DejaVuSansCondensed-Bold")"},
    {"editTextStyle",
     R"({"charStyle":"F2","newStyle":{"fontFamily":"DejaVu Sans","fontStyle":"condensed oblique"}})",
     "/error", "absent"},
    {"getTextStyle", R"({"charStyle":"F2"})", "/textFeatures/fontName", R"("DejaVuSansCondensed-Oblique")"},
    {"editTextStyle", R"({"charStyle":"F3","newStyle":{"fontName":"DejaVu Serif Condensed Italic"}})",
     "/error", "absent"},
    {"getTextStyle", R"({"charStyle":"F3"})", "/textFeatures/fontStyle", R"("Condensed Italic")"},
    {"editTextStyle", R"({"charStyle":"F4","newStyle":{"fontName":"dejavusansmono-boldoblique"}})", "/error",
     "absent"},
    {"getTextStyle", R"({"charStyle":"F4"})", "/textFeatures/fontFamily", R"("DejaVu Sans Mono")"},
    // A family that has no such style: its first font; an unknown family: no font at all.
    {"editTextStyle",
     R"({"charStyle":"F5","newStyle":{"fontFamily":"DejaVu Sans Mono","fontStyle":"Heavy"}})", "/error",
     "absent"},
    {"getTextStyle", R"({"charStyle":"F5"})", "/textFeatures/fontName", R"("DejaVuSansMono")"},
    {"editTextStyle", R"({"charStyle":"F6","newStyle":{"fontFamily":"Nope","fontSize":7}})", "/error",
     "absent"},
    {"getTextStyle", R"({"charStyle":"F6"})", "/textFeatures", R"({"fontSize":7.0})"},
    // A style change that pushes a story out of its frame warns; a story overset before does not.
    {"editTextStyle", R"({"paraStyle":"Body","newStyle":{"fontSize":300}})", "/warning",
     R"("Some text is overset because a text style was modified")"},
    {"editTextStyle", R"({"paraStyle":"Body","newStyle":{"fontSize":400}})", "/warning", "absent"},
};

TEST_F(TextStylesTest, RequestsInOrder) {
    for (const Step& step : kSteps) {
        SCOPED_TRACE(std::string(step.command) + " " + step.request);
        json request = json::parse(step.request);
        request["uid"] = "u";
        const json reply = ScriptJson(step.command, request.dump());
        EXPECT_EQ(reply.value("uid", ""), "u");
        const json::json_pointer pointer(step.pointer);
        if (std::string(step.expected) == "absent") {
            EXPECT_FALSE(reply.contains(pointer)) << reply.dump();
        } else {
            EXPECT_EQ(reply.value(pointer, json()), json::parse(step.expected)) << reply.dump();
        }
    }
}

// Every feature a style can hold, set on the styles applied to "styled", read back from the
// styles and from the text, and read back again from the saved document.
TEST_F(TextStylesTest, EveryFeatureRoundTripsThroughStylesTextAndTheSavedDocument) {
    const json chars = json::parse(R"({"fontName":"DejaVuSerif-Italic","fontFamily":"DejaVu Serif",
      "fontStyle":"Italic","fontSize":14.0,
      "fillColor":{"colorSpace":"RGB","channel_1":255,"channel_2":0,"channel_3":0,"global":false,"spot":false},
      "strokeColor":{"colorSpace":"CMYK","channel_1":0,"channel_2":100,"channel_3":0,"channel_4":0,"global":false,
                     "spot":false},
      "autoLeading":false,"leading":18.0,"charDirection":"rtl","baselineOption":"subScript","strikethrough":true,
      "underline":true,"strokeWidth":1.5,"strokeJoin":"round","overprintFill":true,"overprintStroke":true,
      "tracking":-25,"kerningType":"metricRomanOnly","baselineShift":-2.0,"horizontalScale":1.25,
      "verticalScale":0.75,"rotation":45.0,"language":"Portuguese: Brazillian"})");
    const json paras = json::parse(R"({"justification":"fullRight","firstLineIndent":12.0,
      "composerEngine":"OptycaComposer","everyLineComposer":true,"leftToRight":false})");
    const auto edit = [&](const char* kind, const char* name, const json& features) {
        const json request = {{kind, name}, {"replace", true}, {"newStyle", features}};
        EXPECT_FALSE(ScriptJson("editTextStyle", request.dump()).contains("error"));
    };
    edit("charStyle", "Emph", chars);
    edit("paraStyle", "Body", paras);
    json onText = chars;
    onText.merge_patch(paras);
    onText.merge_patch(json{{"charStyle", "Emph"}, {"paraStyle", "Body"}, {"storyDirection", "ltr"}});
    for (int pass = 0; pass < 2; ++pass) {
        SCOPED_TRACE(pass == 0 ? "as set" : "after saving");
        EXPECT_EQ(ScriptJson("getTextStyle", R"({"charStyle":"Emph"})").at("textFeatures"), chars);
        EXPECT_EQ(ScriptJson("getTextStyle", R"({"paraStyle":"Body"})").at("textFeatures"), paras);
        EXPECT_EQ(ScriptJson("getTextStyle", R"({"searchText":"styled"})").at("textFeatures"), onText);
        SaveAndReopen();
    }
}

TEST_F(TextStylesTest, OverprintOfTextArtGoesToItsCharacters) {
    EXPECT_FALSE(
        ScriptJson("setObjectAttributes", R"({"tagSearch":"title","overprintFill":true})").contains("error"));
    SaveAndReopen();
    const json features = ScriptJson("getTextStyle", R"({"searchText":"Second"})").at("textFeatures");
    EXPECT_EQ(features.value("overprintFill", false), true);
    EXPECT_FALSE(features.contains("overprintStroke") && features.at("overprintStroke") == true);
    EXPECT_FALSE(ScriptJson("getTextStyle", R"({"searchText":"styled"})")
                     .at("textFeatures")
                     .value("overprintFill", false));
}

TEST_F(TextStylesTest, StyleChangesUndoAndRedo) {
    ScriptJson("editTextStyle", R"({"charStyle":"U","newStyle":{"fontSize":9}})");
    ScriptJson("editTextStyle", R"({"paraStyle":"Body","newStyle":{"justification":"left"}})");
    ASSERT_EQ(app->Undo(), kNoErr);
    ASSERT_EQ(app->Undo(), kNoErr);
    // The style made by the undone request is gone again.
    EXPECT_EQ(ScriptJson("getTextStyle", R"({"charStyle":"U"})").value("error", ""), "Named style not found");
    EXPECT_EQ(ScriptJson("getTextStyle", R"({"searchText":"styled"})").at("textFeatures").at("justification"),
              "center");
    ASSERT_EQ(app->Redo(), kNoErr);
    EXPECT_EQ(ScriptJson("getTextStyle", R"({"charStyle":"U"})").at("textFeatures"),
              json::parse(R"({"fontSize":9.0})"));
}

TEST_F(TextStylesTest, GraphicStyleColoursReachTheCharactersOfATextFrame) {
    const json reply = ScriptJson("editGraphicStyle", R"({"tagSearch":"title","uiMethod":false,"newStyle":{
        "paintFields":[{"mode":"add","color":{"colorSpace":"RGB","channel_1":255,"channel_2":0,"channel_3":0}},
                       {"mode":"add","isFill":false,"color":{"colorSpace":"RGB","channel_1":0,"channel_2":0,
                        "channel_3":255},"pFieldStroke":{"width":2}}]}})");
    EXPECT_FALSE(reply.contains("error")) << reply.dump();
    SaveAndReopen();
    const json features = ScriptJson("getTextStyle", R"({"searchText":"Second"})").at("textFeatures");
    EXPECT_EQ(features.at("fillColor").at("channel_1"), 255) << features.dump();
    EXPECT_EQ(features.at("strokeColor").at("channel_3"), 255) << features.dump();
    EXPECT_EQ(features.at("strokeWidth"), 2.0);
    EXPECT_EQ(ScriptJson("getTextStyle", R"({"searchText":"styled"})")
                  .at("textFeatures")
                  .at("fillColor")
                  .at("colorSpace"),
              "Grayscale");
}

TEST_F(TextStylesTest, HostRefusalsAreErrors) {
    const struct {
        const char* suite;
        const char* operation;
        const char* request;
        const char* error;
    } cases[] = {
        {"AI Document Suite", "GetDocumentTextResources", R"({"charStyle":"N","newStyle":{"fontSize":9}})",
         "Can't init document text resources"},
        {"ATE DocumentTextResources Suite", "CreateStyleWithFeatures",
         R"({"charStyle":"N","paraStyle":"NP","newStyle":{"fontSize":9}})", "Can't create a character style"},
        {"ATE DocumentTextResources Suite", "CreateStyleWithFeatures",
         R"({"paraStyle":"NP","newStyle":{"fontSize":9}})", "Can't create a paragraph style"},
    };
    for (const auto& c : cases) {
        app->Faults().Clear();
        app->Faults().FailOperation(c.suite, c.operation, kCantHappenErr);
        EXPECT_EQ(ScriptJson("editTextStyle", c.request).value("error", ""), c.error) << c.operation;
    }
    app->Faults().Clear();
    EXPECT_EQ(ScriptJson("getTextStyle", R"({"paraStyle":"NP"})").value("error", ""),
              "Named style not found");
}

TEST_F(TextStylesTest, FontListHoldsEveryInstalledFace) {
    std::vector<std::string> faces;
    for (const auto& entry : std::filesystem::directory_iterator("/usr/share/fonts/truetype/dejavu")) {
        if (entry.path().extension() == ".ttf") {
            faces.push_back(entry.path().stem().string());
        }
    }
    const json reply = ScriptJson("getFontList", R"({"uid":"f"})");
    EXPECT_EQ(reply.at("uid"), "f");
    const json& list = reply.at("fontList");
    ASSERT_EQ(list.size(), faces.size());
    std::vector<std::string> names;
    for (const json& font : list) {
        EXPECT_EQ(font.size(), 12u) << font.dump();
        names.push_back(font.at("postScriptFontName"));
    }
    EXPECT_TRUE(std::is_sorted(names.begin(), names.end()));
    const auto condensed = std::find(names.begin(), names.end(), "DejaVuSansCondensed-Bold");
    ASSERT_NE(condensed, names.end());
    EXPECT_EQ(list[static_cast<size_t>(condensed - names.begin())], json::parse(R"({
      "systemFontName":"DejaVuSansCondensed-Bold","fullFontName":"DejaVu Sans Condensed Bold",
      "postScriptFontName":"DejaVuSansCondensed-Bold","fontFamilyUIName":"DejaVu Sans",
      "fontStyleUIName":"Condensed Bold","fontFamily":"DejaVu Sans","fontFamilyNative":"DejaVu Sans Condensed",
      "fontStyle":"Condensed Bold","fontStyleNative":"Bold","fontName":"DejaVuSansCondensed-Bold",
      "fontNameNative":"DejaVu Sans Condensed Bold","userFontUIName":"DejaVu Sans Condensed Bold"})"));
}

TEST_F(TextStylesTest, FontListEndsAtAFailingFont) {
    app->Faults().FailOperation("AI Font Suite", "GetFontInfo", kCantHappenErr, 11);
    EXPECT_EQ(ScriptJson("getFontList").at("fontList").size(), 10u);
    app->Faults().FailOperation("AI Font Suite", "GetPostScriptFontName", kCantHappenErr);
    const json list = ScriptJson("getFontList").at("fontList");
    ASSERT_FALSE(list.empty());
    EXPECT_FALSE(list[0].contains("postScriptFontName"));
    EXPECT_TRUE(list[0].contains("fontName"));
    app->Faults().FailOperation("AI Font Suite", "CountFonts", kCantHappenErr);
    EXPECT_EQ(ScriptJson("getFontList").at("fontList"), json::array());
}

}  // namespace
