// Colours in every space written through the commands (makeSwatch, then the panel's applyPaint on
// the "leafy" path) and read back with getGraphicStyle exactly as the colour record writes them,
// before and after the document is saved in the native format and opened again.
#include "AppearanceFixture.h"

namespace {

struct RoundTripCase {
    const char* label;
    const char* makeSwatch;  // the makeSwatch request ("" none)
    const char* paint;       // what applyPaint's payload holds beside the tag
    const char* pointer;     // where getGraphicStyle's reply holds the colour read back
    const char* read;        // what it holds
    const char* savedFill;   // leafy's first paint field's colour in the saved text ("" not looked at)
};

constexpr const char* kFill = "/graphicStyle/paintFields/0/color";
constexpr const char* kStroke = "/graphicStyle/paintFields/1";

const RoundTripCase kRoundTrips[] = {
    {"GrayProcess", R"({"color":{"swatchName":"G","colorSpace":"gray","channel_1":30}})",
     "<fill><swatch>G</swatch></fill>", kFill,
     R"({"channel_1":30,"colorSpace":"Grayscale","global":false,"spot":false,"swatchName":"G"})",
     R"({"gray":0.3})"},
    {"RgbProcess",
     R"({"color":{"swatchName":"R","colorSpace":"RGB","channel_1":10,"channel_2":20,"channel_3":30,"global":false}})",
     "<fill><swatch>R</swatch></fill>", kFill,
     R"({"channel_1":10,"channel_2":20,"channel_3":30,"colorSpace":"RGB","global":false,"spot":false,"swatchName":"R"})",
     ""},
    {"RgbGlobal",
     R"({"color":{"swatchName":"RG","colorSpace":"RGB","channel_1":10,"channel_2":200,"channel_3":30}})",
     "<fill><swatch>RG</swatch></fill>", kFill,
     R"({"channel_1":10,"channel_2":200,"channel_3":30,"colorSpace":"RGB","global":true,"spot":false,"swatchName":"RG"})",
     R"({"custom":"RG"})"},
    {"CmykProcess",
     R"({"color":{"swatchName":"C","colorSpace":"CMYK","channel_1":10,"channel_2":20,"channel_3":30,"channel_4":40,"global":false}})",
     "<fill><swatch>C</swatch></fill>", kFill,
     R"({"channel_1":10,"channel_2":20,"channel_3":30,"channel_4":40,"colorSpace":"CMYK","global":false,"spot":false,"swatchName":"C"})",
     R"({"cmyk":[0.1,0.2,0.3,0.4]})"},
    {"CmykSpot",
     R"({"color":{"swatchName":"CS","colorSpace":"CMYK","channel_1":0,"channel_2":100,"channel_3":50,"channel_4":5,"spot":true}})",
     "<fill><swatch>CS</swatch></fill>", kFill,
     R"({"channel_1":0,"channel_2":100,"channel_3":50,"channel_4":5,"colorSpace":"CMYK","global":true,"spot":true,"swatchName":"CS"})",
     R"({"custom":"CS"})"},
    {"LabIsASpotColour",
     R"({"color":{"swatchName":"L","colorSpace":"lab","channel_1":50,"channel_2":-20,"channel_3":30}})",
     "<fill><swatch>L</swatch></fill>", kFill,
     R"({"channel_1":50,"channel_2":-20,"channel_3":30,"colorSpace":"Lab","global":true,"spot":true,"swatchName":"L"})",
     R"({"custom":"L"})"},
    {"ConvertedToLab",
     R"({"color":{"swatchName":"Red","colorSpace":"RGB","channel_1":255,"destColorSpace":"Lab","global":false}})",
     "<fill><swatch>Red</swatch></fill>", kFill,
     R"({"channel_1":53,"channel_2":80,"channel_3":67,"colorSpace":"Lab","global":true,"spot":true,"swatchName":"Red"})",
     R"({"custom":"Red"})"},
    {"ConvertedToTheDocumentsSpace",
     R"({"color":{"swatchName":"Cyan","colorSpace":"CMYK","channel_1":100,"destColorSpace":"document","global":false}})",
     "<fill><swatch>Cyan</swatch></fill>", kFill,
     R"({"channel_1":0,"channel_2":255,"channel_3":255,"colorSpace":"RGB","global":false,"spot":false,"swatchName":"Cyan"})",
     R"({"rgb":[0.0,1.0,1.0]})"},
    {"SpotCustomColour", "", "<fill><swatch>Spot Orange</swatch></fill>", kFill,
     R"({"channel_1":0,"channel_2":50,"channel_3":100,"channel_4":0,"colorSpace":"CMYK","global":true,"spot":true,"swatchName":"Spot Orange"})",
     R"({"custom":"Spot Orange"})"},
    // A tint is kept by the document; the colour reads back in its own space, by its swatch, with
    // its tint.
    {"TintedSwatch", R"({"color":{"swatchName":"Brand Blue","customColorTint":40}})",
     "<fill><swatch>Brand Blue</swatch></fill>", kFill,
     R"({"channel_1":0,"channel_2":51,"channel_3":204,"colorSpace":"RGB","customColorTint":40,"global":true,"spot":false,"swatchName":"Brand Blue"})",
     R"({"custom":"Brand Blue","tint":0.6})"},
    {"Gradient", "", "<fill><swatch>Sunset</swatch></fill>", kFill,
     R"({"colorSpace":"Gradient","global":false,"spot":false,"swatchName":"Sunset"})",
     R"({"gradient":"Sunset"})"},
    {"Pattern", "", "<fill><swatch>Stripes</swatch></fill>", kFill,
     R"({"colorSpace":"Pattern","global":false,"spot":false,"swatchName":"Stripes"})",
     R"({"pattern":"Stripes"})"},
    {"ProcessInks", "",
     "<fill><cyan>0.25</cyan><magenta>0.5</magenta><yellow>0</yellow><black>1</black></fill>", kFill,
     R"({"channel_1":25,"channel_2":50,"channel_3":0,"channel_4":100,"colorSpace":"CMYK","global":false,"spot":false})",
     R"({"cmyk":[0.25,0.5,0.0,1.0]})"},
    {"SwatchNameWinsOverNumber",
     R"({"color":{"swatchName":"Won","colorSpace":"gray","channel_1":10},"swatchNumber":8})",
     "<fill><swatch>Won</swatch></fill>", kFill,
     R"({"channel_1":10,"colorSpace":"Grayscale","global":false,"spot":false,"swatchName":"Won"})", ""},
    // A stroke painting nothing is no paint field at all.
    {"NoneStrokeIsNoPaintField", "", "<stroke><swatch>[None]</swatch></stroke>", kStroke, "null", ""},
    {"StrokeInksTakeTheirWeight", "",
     "<stroke><weight>2.5</weight><cyan>1</cyan><magenta>0</magenta><yellow>0</yellow><black>0</black></"
     "stroke>",
     "/graphicStyle/paintFields/1/pFieldStroke", R"({"lineCap":"butt","lineJoin":"miter","width":2.5})", ""},
};

class RoundTrip : public AppearanceTest, public testing::WithParamInterface<RoundTripCase> {};

TEST_P(RoundTrip, ReadsBackAsWrittenAlsoAfterReopening) {
    const RoundTripCase& c = GetParam();
    if (*c.makeSwatch != '\0') {
        const json made = ScriptJson("makeSwatch", c.makeSwatch);
        EXPECT_FALSE(made.contains("error") || made.contains("warning")) << made.dump();
    }
    const std::string tag = Saved().at("layers")[0].at("children")[1].at("tags")[0].at("name");
    app->Panel().Send("com.torvi.event.applyPaint",
                      "<payload><tag>" + tag + "</tag>" + c.paint + "</payload>");
    const auto events = app->Panel().TakeDispatched();
    ASSERT_FALSE(events.empty());
    EXPECT_EQ(events.back().data, "<payload><result>" + tag + "</result></payload>");

    const json::json_pointer pointer(c.pointer);
    const json expected = json::parse(c.read);
    EXPECT_EQ(ScriptJson("getGraphicStyle", R"({"tagSearch":"leafy"})").value(pointer, json()), expected);
    if (*c.savedFill != '\0') {
        const json fill =
            Saved().at("layers")[0].at("children")[1].at("style").at("paintFields")[0].at("fill");
        EXPECT_EQ(fill.at("color"), json::parse(c.savedFill));
    }
    Reopen();
    EXPECT_EQ(ScriptJson("getGraphicStyle", R"({"tagSearch":"leafy"})").value(pointer, json()), expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, RoundTrip, testing::ValuesIn(kRoundTrips),
                         [](const auto& info) { return std::string(info.param.label); });

// The tinted global colour of "card" (Brand Blue at 75 %) read with getGraphicStyle and written
// back by each command that takes a style record: the document then holds the same colour.
struct WriteBackCase {
    const char* label;
    const char* command;
    const char* request;  // "%COLOR%" stands for the colour read, "%STYLE%" for the whole record
    const char* savedAt;  // where the saved document holds the colour written
};

const WriteBackCase kWriteBacks[] = {
    {"EditedIntoAPaintField", "editGraphicStyle",
     R"({"tagSearch":"leafy","uiMethod":false,"newStyle":{"paintFields":[{"mode":"edit","pfIndex":1,"color":%COLOR%}]}})",
     "/layers/0/children/1/style/paintFields/0/fill/color"},
    {"ReplacingTheAppearance", "editGraphicStyle",
     R"({"tagSearch":"leafy","uiMethod":false,"replace":true,"newStyle":%STYLE%})",
     "/layers/0/children/1/style/paintFields/0/fill/color"},
    {"AsANewNamedStyle", "createGraphicStyle", R"({"styleName":"Copy","newStyle":%STYLE%})",
     "/graphicStyles/3/style/paintFields/0/fill/color"},
    {"AsASearchedColour", "editGraphicStyle",
     R"({"tagSearch":"card","uiMethod":false,"searchColor":%COLOR%,"replaceColor":%COLOR%})",
     "/layers/0/children/0/style/paintFields/0/fill/color"},
};

class WriteBack : public AppearanceTest, public testing::WithParamInterface<WriteBackCase> {};

TEST_P(WriteBack, KeepsTheTintOfAGlobalColour) {
    const WriteBackCase& c = GetParam();
    const json style = ScriptJson("getGraphicStyle", R"({"tagSearch":"card"})").at("graphicStyle");
    const json color = style.at("paintFields")[0].at("color");
    ASSERT_EQ(color.value("customColorTint", 0), 75) << color.dump();
    std::string request = c.request;
    for (const auto& [mark, value] :
         {std::pair{"%COLOR%", color.dump()}, std::pair{"%STYLE%", style.dump()}}) {
        for (std::size_t at = request.find(mark); at != std::string::npos; at = request.find(mark, at)) {
            request.replace(at, std::string(mark).size(), value);
        }
    }
    const json reply = ScriptJson(c.command, request);
    EXPECT_FALSE(reply.contains("error")) << reply.dump();
    EXPECT_EQ(Saved().value(json::json_pointer(c.savedAt), json()),
              json::parse(R"({"custom":"Brand Blue","tint":0.25})"));
}

INSTANTIATE_TEST_SUITE_P(Cases, WriteBack, testing::ValuesIn(kWriteBacks),
                         [](const auto& info) { return std::string(info.param.label); });

// A custom colour whose definition can't be read stays "Custom" and shows its tint.
TEST_F(AppearanceTest, ACustomColourWithoutItsDefinitionShowsItsTint) {
    app->Faults().FailOperation("AI Custom Color Suite", "GetCustomColor", kBadParameterErr);
    EXPECT_EQ(
        ScriptJson("getGraphicStyle", R"({"tagSearch":"card"})")
            .at("graphicStyle")
            .at("paintFields")[0]
            .at("color"),
        json::parse(
            R"({"colorSpace":"Custom","customColorTint":75,"global":true,"spot":false,"swatchName":"Brand Blue"})"));
}

}  // namespace
