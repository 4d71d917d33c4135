// getGraphicStyle, getObjectAttributes and setObjectAttributes on the appearance example, and the
// panel's applyPaint and getArtStyleList; changes are read back from the saved document.
#include "AppearanceFixture.h"

namespace {

struct QueryCase {
    const char* label;
    const char* command;
    const char* request;
    const char* pointer;   // a JSON pointer into the reply
    const char* expected;  // its value
};

const QueryCase kQueryCases[] = {
    // Colours in each space, as the colour record writes them.
    // A custom colour comes back in its own space, with the tint it is painted at.
    {"CustomColourComesBackInItsSpace", "getGraphicStyle", R"({"tagSearch":"card"})",
     "/graphicStyle/paintFields/0/color",
     R"({"channel_1":0,"channel_2":51,"channel_3":204,"colorSpace":"RGB","customColorTint":75,"global":true,"spot":false,"swatchName":"Brand Blue"})"},
    {"CmykColour", "getGraphicStyle", R"({"tagSearch":"card"})", "/graphicStyle/paintFields/1/color",
     R"({"channel_1":10,"channel_2":20,"channel_3":30,"channel_4":40,"colorSpace":"CMYK","global":false,"spot":false})"},
    {"GradientColour", "getGraphicStyle", R"({"tagSearch":"inner"})", "/graphicStyle/paintFields/0/color",
     R"({"colorSpace":"Gradient","global":false,"spot":false,"swatchName":"Sunset"})"},
    {"GrayColour", "getGraphicStyle", R"({"styleName":"Outlined"})", "/graphicStyle/paintFields/0/color",
     R"({"channel_1":100,"colorSpace":"Grayscale","global":false,"spot":false})"},
    {"OpacityRounds", "getGraphicStyle", R"({"tagSearch":"card"})", "/graphicStyle/paintFields/1/opacity",
     "56"},
    {"IndicesCountFromOne", "getGraphicStyle", R"({"tagSearch":"card"})",
     "/graphicStyle/paintFields/2/pfIndex", "3"},
    {"StrokeIndex", "getGraphicStyle", R"({"tagSearch":"card"})", "/graphicStyle/paintFields/2/strokeIndex",
     "1"},
    {"Stroke", "getGraphicStyle", R"({"tagSearch":"card"})", "/graphicStyle/paintFields/2/pFieldStroke",
     R"({"arrowBeginScale":0.5,"beginArrow":"Arrow 1","dashAlignment":true,"dashVector":[4.0,2.0],"lineCap":"round","lineJoin":"bevel","strokeAlign":"Inside","width":2.0})"},
    {"EffectParameters", "getGraphicStyle", R"({"tagSearch":"card"})", "/graphicStyle/preEffects/0",
     R"({"name":"Host Roughen","parameters":{"R size":"0.25"},"visible":true})"},
    {"EffectColour", "getGraphicStyle", R"({"tagSearch":"card"})",
     "/graphicStyle/postEffects/0/FillColor sclr/swatchName", R"("Black")"},
    {"ContentsPosition", "getGraphicStyle", R"({"tagSearch":"card"})", "/graphicStyle/contentsPosition", "3"},
    {"LayerWinsOverStyleName", "getGraphicStyle", R"({"layerName":"Layer 1","styleName":"Outlined"})",
     "/graphicStyle/contentsPosition", "1"},
    // Layer numbers count from 1: 0 asks for no layer, and the query is used. The number falls to
    // the name.
    {"LayerZeroUsesTheQuery", "getGraphicStyle", R"({"layerNumber":0,"layerName":"","tagSearch":"inner"})",
     "/graphicStyle/paintFields/0/color/colorSpace", R"("Gradient")"},
    {"LayerZeroFallsToTheName", "getGraphicStyle",
     R"({"layerNumber":0,"layerName":"Layer 1","tagSearch":"inner"})", "/graphicStyle/contentsPosition", "1"},
    {"UnknownStyle", "getGraphicStyle", R"({"styleName":"Nope"})", "/error", R"("Named style not found")"},
    {"UnknownLayer", "getGraphicStyle", R"({"layerName":"Nope"})", "/error", R"("Layer not found or empty")"},
    {"NoArt", "getGraphicStyle", R"({"tagSearch":"nothing"})", "/error", R"("No artwork found")"},
    {"Attributes", "getObjectAttributes", R"({"tagSearch":"card"})", "/objectAttributes",
     R"({"clipping":false,"closed":true,"guides":false,"layer":"Layer 1","locked":false,"name":"Card","note":"front","overprintStroke":false,"selected":false,"strokeAlign":"Inside","visible":true,"wrapped":false})"},
    {"ArtWithoutAppearance", "getGraphicStyle", R"({"tagSearch":"box"})", "/graphicStyle",
     R"({"blendingMode":"Normal","contentsPosition":1,"isolateBlending":false,"knockout":"Off","opacityDefineKnockout":false,"opacityEnabled":true})"},
    {"EffectParameterTypes", "getGraphicStyle", R"({"tagSearch":"card"})",
     "/graphicStyle/postEffects/0/parameters", R"({"B pair":"1","I blnd":"1","R horz":"7"})"},
    {"SolidCentredStroke", "getGraphicStyle", R"({"tagSearch":"leafy"})",
     "/graphicStyle/paintFields/1/pFieldStroke", R"({"lineCap":"butt","lineJoin":"miter","width":1.0})"},
    {"OnlyAFillSoEveryStrokeOverprints", "getObjectAttributes", R"({"tagSearch":"inner"})",
     "/objectAttributes",
     R"({"clipping":false,"closed":true,"evenOdd":false,"guides":false,"layer":"Layer 1","locked":false,"overprintFill":false,
     "overprintStroke":true,"selected":false,"strokeAlign":"Center","visible":true,"wrapped":false})"},
    // A layer's contents group has no paint fields, so no style-wide attribute.
    {"AttributesOfALayer", "getObjectAttributes", R"({"layerNumber":1,"tagSearch":"card"})",
     "/objectAttributes",
     R"({"clipping":false,"layer":"Layer 1","locked":false,"name":"Layer 1","selected":false,"visible":true,"wrapped":false})"},
    {"AttributesOfAMissingLayer", "getObjectAttributes", R"({"layerNumber":5,"tagSearch":"card"})", "/error",
     R"("Layer not found or empty")"},
    {"AttributesOfNoArt", "getObjectAttributes", R"({"tagSearch":""})", "/error", R"("No artwork found")"},
    {"SetWithoutQuery", "setObjectAttributes", R"({"locked":true})", "/error", R"("No artwork found")"},
    {"SetWrongType", "setObjectAttributes", R"({"tagSearch":"leafy","visible":false,"note":5})", "/error",
     R"("\"note\" must be a string")"},
};

class Query : public AppearanceTest, public testing::WithParamInterface<QueryCase> {};

TEST_P(Query, Answers) {
    const QueryCase& c = GetParam();
    json request = json::parse(c.request);
    request["uid"] = "q";
    const json reply = ScriptJson(c.command, request.dump());
    EXPECT_EQ(reply.at("uid"), "q");
    EXPECT_EQ(reply.value(json::json_pointer(c.pointer), json()), json::parse(c.expected)) << reply.dump();
}

INSTANTIATE_TEST_SUITE_P(Cases, Query, testing::ValuesIn(kQueryCases),
                         [](const auto& info) { return std::string(info.param.label); });

TEST_F(AppearanceTest, SetAttributesAreSavedAndReadBack) {
    const char* set =
        R"({"tagSearch":"leafy","visible":false,"locked":true,"note":"n","closed":true,"guides":true,
        "url":"http://x","imageMap":"Polygon","wrapped":true,"wrapOffset":3,"wrapInside":true,"overprintFill":true,
        "strokeAlign":"Outside","evenOdd":true})";
    EXPECT_FALSE(ScriptJson("setObjectAttributes", set).contains("error"));
    const json expected = json::parse(R"({"clipping":false,"closed":true,"evenOdd":true,"guides":true,
        "imageMap":"Polygon","layer":"Layer 1","locked":true,"name":"Leafy","note":"n","overprintFill":true,
        "overprintStroke":false,"selected":false,"strokeAlign":"Outside","url":"http://x","visible":false,
        "wrapInside":true,"wrapOffset":3.0,"wrapped":true})");
    EXPECT_EQ(ScriptJson("getObjectAttributes", R"({"tagSearch":"leafy"})").at("objectAttributes"), expected);
    Reopen();
    EXPECT_EQ(ScriptJson("getObjectAttributes", R"({"tagSearch":"leafy"})").at("objectAttributes"), expected);
    const json leafy = Saved().at("layers")[0].at("children")[1];
    EXPECT_EQ(leafy.at("dictionary").at("HostURL").at("value"), "http://x");
    EXPECT_EQ(leafy.at("guide"), true);
    // "None" only removes the image map; the link stays.
    ScriptJson("setObjectAttributes", R"({"tagSearch":"leafy","imageMap":"None"})");
    const json after = Saved().at("layers")[0].at("children")[1].at("dictionary");
    EXPECT_FALSE(after.contains("HostImageMap"));
    EXPECT_TRUE(after.contains("HostURL"));
}

TEST_F(AppearanceTest, PanelApplyPaintAndStyleList) {
    const auto send = [&](const char* type, const std::string& data) {
        app->Panel().Send(std::string("com.torvi.event.") + type, data);
        const auto events = app->Panel().TakeDispatched();
        return events.empty() ? std::string() : events.back().data;
    };
    // A name with a single quote is written as it is.
    EXPECT_EQ(send("getArtStyleList", ""), "<payload><result>'Outlined','Bob's'</result></payload>");
    const std::pair<std::string, std::string> cases[] = {
        {"<payload><stroke><weight>2</weight><cyan>1</cyan><magenta>0</magenta><yellow>0</yellow><black>0</"
         "black></stroke></payload>",
         "false"},
        {"<payload><tag>x</tag></payload>", "false"},
        {"<payload><tag>x</tag><fill><cyan>2</cyan><magenta>0</magenta><yellow>0</yellow><black>0</black></"
         "fill></payload>",
         "false"},
        {"<payload><tag>x</tag><fill><cyan>nan</cyan><magenta>0</magenta><yellow>0</yellow><black>0</black></"
         "fill></payload>",
         "false"},
        {"<payload><tag>x</tag><stroke><weight>-1</weight><swatch>Leaf</swatch></stroke></payload>", "false"},
        {"<payload><tag>x</tag><fill><swatch>Nope</swatch></fill></payload>", "false"},
    };
    for (const auto& [payload, expected] : cases) {
        EXPECT_EQ(send("applyPaint", payload), "<payload><result>" + expected + "</result></payload>")
            << payload;
    }
    const json before = Saved();
    const std::string leafyTag = before.at("layers")[0].at("children")[1].at("tags")[0].at("name");
    const std::string paint =
        "<payload><tag>nope," + leafyTag +
        "</tag><stroke><swatch>Moss</swatch></stroke><fill><cyan>1</cyan><magenta>0.5</magenta>"
        "<yellow>0</yellow><black>0</black></fill></payload>";
    EXPECT_EQ(send("applyPaint", paint), "<payload><result>nope," + leafyTag + "</result></payload>");
    const json fields = Saved().at("layers")[0].at("children")[1].at("style").at("paintFields");
    EXPECT_EQ(fields[0].at("fill").at("color"), json::parse(R"({"cmyk":[1.0,0.5,0.0,0.0]})"));
    EXPECT_EQ(fields[1].at("stroke").at("width"), 0.0);
    EXPECT_EQ(fields[1].at("stroke").at("color"), json::parse(R"({"rgb":[0.2,0.4,0.2]})"));
}

// Requests that the records leave without effect change nothing, also once saved and opened again.
struct UnchangedCase {
    const char* label;
    const char* set;      // the setObjectAttributes request
    const char* get;      // the getObjectAttributes request
    const char* pointer;  // into its reply
    const char* expected;
};

const UnchangedCase kUnchangedCases[] = {
    {"WrapOffsetWithoutWrapped", R"({"tagSearch":"card","wrapOffset":5})", R"({"tagSearch":"card"})",
     "/objectAttributes/wrapOffset", "null"},
    {"ClosedOnAGroup", R"({"tagSearch":"box","closed":true})", R"({"tagSearch":"box"})",
     "/objectAttributes/closed", "null"},
    {"UnknownImageMap", R"({"tagSearch":"leafy","imageMap":"Circle"})", R"({"tagSearch":"leafy"})",
     "/objectAttributes/imageMap", "null"},
    {"AlignmentInLowerCase", R"({"tagSearch":"card","strokeAlign":"outside"})", R"({"tagSearch":"card"})",
     "/objectAttributes/strokeAlign", R"("Inside")"},
    // Art without a stroke gets none: every one of its strokes (there are none) overprints and is
    // centred, as before and whatever the request says, and the fill is read as it was.
    {"OverprintStrokeWithoutAStroke", R"({"tagSearch":"inner","overprintStroke":false})",
     R"({"tagSearch":"inner"})", "/objectAttributes",
     R"({"clipping":false,"closed":true,"evenOdd":false,"guides":false,"layer":"Layer 1","locked":false,"overprintFill":false,
     "overprintStroke":true,"selected":false,"strokeAlign":"Center","visible":true,"wrapped":false})"},
    {"StrokeAlignWithoutAStroke", R"({"tagSearch":"inner","strokeAlign":"Outside"})",
     R"({"tagSearch":"inner"})", "/objectAttributes/strokeAlign", R"("Center")"},
    // A group without paint of its own has no paint fields: no style-wide attribute is answered, set
    // or not.
    {"OverprintOnALayersGroup", R"({"tagSearch":"box","overprintStroke":false,"overprintFill":true})",
     R"({"tagSearch":"box"})", "/objectAttributes/overprintStroke", "null"},
    {"NoAttributeKeys", R"({"tagSearch":"leafy"})", R"({"tagSearch":"leafy"})", "/objectAttributes",
     R"({"clipping":false,"closed":false,"evenOdd":false,"guides":false,"layer":"Layer 1","locked":false,"name":"Leafy",
     "overprintFill":false,"overprintStroke":false,"selected":false,"strokeAlign":"Center","visible":true,"wrapped":false})"},
};

class Unchanged : public AppearanceTest, public testing::WithParamInterface<UnchangedCase> {};

TEST_P(Unchanged, ByTheRequest) {
    const UnchangedCase& c = GetParam();
    const json reply = ScriptJson("setObjectAttributes", c.set);
    EXPECT_FALSE(reply.contains("error")) << reply.dump();
    EXPECT_EQ(app->PastTransactions(), 0);
    const json::json_pointer pointer(c.pointer);
    EXPECT_EQ(ScriptJson("getObjectAttributes", c.get).value(pointer, json()), json::parse(c.expected));
    Reopen();
    EXPECT_EQ(ScriptJson("getObjectAttributes", c.get).value(pointer, json()), json::parse(c.expected));
}

INSTANTIATE_TEST_SUITE_P(Cases, Unchanged, testing::ValuesIn(kUnchangedCases),
                         [](const auto& info) { return std::string(info.param.label); });

// Every key is read before anything changes: a key of the wrong type leaves the art alone.
TEST_F(AppearanceTest, AWrongTypeChangesNothing) {
    EXPECT_TRUE(
        ScriptJson("setObjectAttributes", R"({"tagSearch":"leafy","visible":false,"overprintFill":1})")
            .contains("error"));
    EXPECT_EQ(app->PastTransactions(), 0);
}

// Hiding a group hides its direct children too; it survives a save.
TEST_F(AppearanceTest, HidingAGroupHidesItsChildren) {
    ScriptJson("setObjectAttributes", R"({"tagSearch":"box","visible":false})");
    Reopen();
    for (const char* query : {R"({"tagSearch":"box"})", R"({"tagSearch":"inner"})"}) {
        EXPECT_EQ(ScriptJson("getObjectAttributes", query).at("objectAttributes").at("visible"), false)
            << query;
    }
}

// applyPaint never paints a group, but paints the objects inside it that carry a tag; a name in
// "tag" is matched exactly, a leading space included.
TEST_F(AppearanceTest, ApplyPaintSkipsGroupsAndMatchesNamesExactly) {
    const json before = Saved();
    const json& children = before.at("layers")[0].at("children");
    const std::string leafy = children[1].at("tags")[0].at("name");
    const std::string box = children[2].at("tags")[0].at("name");
    const std::string inner = children[2].at("children")[0].at("tags")[0].at("name");
    const std::string payload = "<payload><tag> " + leafy + "," + box + "," + inner +
                                "</tag><fill><swatch>Leaf</swatch></fill></payload>";
    app->Panel().Send("com.torvi.event.applyPaint", payload);
    ASSERT_FALSE(app->Panel().TakeDispatched().empty());
    const json after = Saved().at("layers")[0].at("children");
    EXPECT_EQ(after[1], children[1]);  // " leafy" is not leafy's tag
    EXPECT_EQ(after[2].value("style", json()), children[2].value("style", json()));
    EXPECT_EQ(after[2].at("children")[0].at("style").at("paintFields")[0].at("fill").at("color"),
              json::parse(R"({"rgb":[0.0,0.6,0.2]})"));
}

TEST_F(AppearanceTest, UnreadableStyleIsAnError) {
    app->Faults().FailOperation("AI Art Style Parser Suite", "ParseStyle", kBadParameterErr);
    const json reply = ScriptJson("getGraphicStyle", R"({"uid":"r","tagSearch":"card"})");
    EXPECT_EQ(reply.at("error"), "Can't read the graphic style");
    EXPECT_FALSE(reply.contains("graphicStyle"));
    EXPECT_EQ(app->LiveDictionaryRefs(), 0u);
}

TEST_F(AppearanceTest, StyleListOfADocumentWithoutStyles) {
    app->NewDocument();
    app->Panel().Send("com.torvi.event.getArtStyleList", "");
    const auto events = app->Panel().TakeDispatched();
    ASSERT_FALSE(events.empty());
    EXPECT_EQ(events.back().data, "<payload><result></result></payload>");
}

}  // namespace
