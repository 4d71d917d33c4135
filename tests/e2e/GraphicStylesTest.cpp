// createGraphicStyle and editGraphicStyle on the appearance example: each case sends its requests,
// then reads one value back with getGraphicStyle (or from the saved document) and checks that the
// plug-in let go of every parser, new paint field, new effect and dictionary it took.
#include <cairo.h>

#include <cstdlib>

#include "AppearanceFixture.h"
#include "LayoutFixture.h"
#include "PngPicture.h"

namespace {

struct Step {
    const char* command;
    const char* request;
    const char* error = nullptr;  // the error the step answers, if any
};

struct StyleCase {
    const char* label;
    std::vector<Step> steps;
    Step query;            // read back after the steps
    const char* pointer;   // a JSON pointer into the query's reply
    const char* expected;  // its value; null: absent
};

constexpr const char* kRed = R"({"colorSpace":"RGB","channel_1":255,"channel_2":0,"channel_3":0})";

std::string With(const char* text, const char* colour = kRed) {
    std::string out = text;
    const std::string mark = "RED";
    for (std::size_t at = out.find(mark); at != std::string::npos; at = out.find(mark)) {
        out.replace(at, mark.size(), colour);
    }
    return out;
}

const StyleCase kCases[] = {
    // Creating.
    {"CreateFromRecordHoldsExactlyItsFill",
     {{"createGraphicStyle",
       R"({"styleName":"Red","newStyle":{"paintFields":[{"mode":"add","color":RED}]}})"}},
     {"getGraphicStyle", R"({"styleName":"Red"})"},
     "/graphicStyle/paintFields/0/color",
     R"({"channel_1":255,"channel_2":0,"channel_3":0,"colorSpace":"RGB","global":false,"spot":false})"},
    {"CreateFromRecordHoldsNothingElse",
     {{"createGraphicStyle",
       R"({"styleName":"Red","newStyle":{"paintFields":[{"mode":"add","color":RED}]}})"}},
     {"getGraphicStyle", R"({"styleName":"Red"})"},
     "/graphicStyle/paintFields/1",
     nullptr},
    {"CreateFromArtTakesTheArtsStyle",
     {{"createGraphicStyle", R"({"styleName":"FromLeafy","tagSearch":"leafy","newStyle":{}})"}},
     {"getGraphicStyle", R"({"styleName":"FromLeafy"})"},
     "/graphicStyle/paintFields/1/color/swatchName",
     R"("Moss")"},
    {"CreateOnANameMergesTheArtsStyle",
     {{"createGraphicStyle", R"({"styleName":"Outlined","tagSearch":"leafy"})"}},
     {"getGraphicStyle", R"({"styleName":"Outlined"})"},
     "/graphicStyle/paintFields/2/color/swatchName",
     R"("Moss")"},
    {"CreateWithReplaceRedefines",
     {{"createGraphicStyle", R"({"styleName":"Outlined","tagSearch":"leafy","replace":true})"}},
     {"getGraphicStyle", R"({"styleName":"Outlined"})"},
     "/graphicStyle/paintFields/0/color/swatchName",
     R"("Leaf")"},
    {"CreateOnANameEditsTheNamedStyle",
     {{"createGraphicStyle",
       R"({"styleName":"Outlined","newStyle":{"paintFields":[{"mode":"edit","strokeIndex":1,"pFieldStroke":{"width":7}}]}})"}},
     {"getGraphicStyle", R"({"styleName":"Outlined"})"},
     "/graphicStyle/paintFields/0/pFieldStroke/width",
     "7.0"},
    // Every error of createGraphicStyle, and nothing registered by a refused request.
    {"NoStyleName", {}, {"createGraphicStyle", R"({"newStyle":{}})"}, "/error", R"("No style name")"},
    {"NoDefinition",
     {},
     {"createGraphicStyle", R"({"styleName":"X"})"},
     "/error",
     R"("No definition of a new style")"},
    {"UnreadableNewStyleIsRefused",
     {},
     {"createGraphicStyle", R"({"styleName":"X","newStyle":{"paintFields":{}}})"},
     "/error",
     R"("Can't read the new style")"},
    {"UnreadableNewStyleRegistersNothing",
     {{"createGraphicStyle", R"({"styleName":"X","newStyle":{"paintFields":[{"isFill":"yes"}]}})",
       "Can't read the new style"}},
     {"getGraphicStyle", R"({"styleName":"X"})"},
     "/error",
     R"("Named style not found")"},
    // Editing paint fields.
    {"AddAFillAtTheTop",
     {{"editGraphicStyle",
       R"({"tagSearch":"leafy","uiMethod":false,"newStyle":{"paintFields":[{"mode":"add","pfIndex":3,"color":RED}]}})"}},
     {"getGraphicStyle", R"({"tagSearch":"leafy"})"},
     "/graphicStyle/paintFields/2/color/channel_1",
     "255"},
    {"EditingAColourKeepsTheOpacities",
     {{"editGraphicStyle",
       R"({"tagSearch":"card","uiMethod":false,"newStyle":{"paintFields":[{"mode":"edit","pfIndex":2,"color":RED}]}})"}},
     {"getGraphicStyle", R"({"tagSearch":"card"})"},
     "/graphicStyle/paintFields/1/opacity",
     "56"},
    {"EditingAColourKeepsTheStyleOpacity",
     {{"editGraphicStyle",
       R"({"tagSearch":"card","uiMethod":false,"newStyle":{"paintFields":[{"mode":"edit","pfIndex":2,"color":RED}]}})"}},
     {"getGraphicStyle", R"({"tagSearch":"card"})"},
     "/graphicStyle/opacity",
     "50"},
    {"OpacityBelowZeroIsZero",
     {{"editGraphicStyle",
       R"({"tagSearch":"leafy","uiMethod":false,"newStyle":{"paintFields":[{"mode":"edit","pfIndex":1,"opacity":-20}]}})"}},
     {"getGraphicStyle", R"({"tagSearch":"leafy"})"},
     "/graphicStyle/paintFields/0/opacity",
     "0"},
    {"OpacityAboveHundredIsHundred",
     {{"editGraphicStyle",
       R"({"tagSearch":"card","uiMethod":false,"newStyle":{"paintFields":[{"mode":"edit","pfIndex":2,"opacity":150}]}})"}},
     {"getGraphicStyle", R"({"tagSearch":"card"})"},
     "/graphicStyle/paintFields/1/opacity",
     nullptr},
    {"SevenDashesLeaveTheDash",
     {{"editGraphicStyle",
       R"({"tagSearch":"card","uiMethod":false,"newStyle":{"paintFields":[{"mode":"edit","strokeIndex":1,"pFieldStroke":{"dashVector":[1,2,3,4,5,6,7]}}]}})"}},
     {"getGraphicStyle", R"({"tagSearch":"card"})"},
     "/graphicStyle/paintFields/2/pFieldStroke/dashVector",
     "[4.0,2.0]"},
    {"ThreeDashesAreWritten",
     {{"editGraphicStyle",
       R"({"tagSearch":"card","uiMethod":false,"newStyle":{"paintFields":[{"mode":"edit","strokeIndex":1,"pFieldStroke":{"dashVector":[1,2,3]}}]}})"}},
     {"getGraphicStyle", R"({"tagSearch":"card"})"},
     "/graphicStyle/paintFields/2/pFieldStroke/dashVector",
     "[1.0,2.0,3.0]"},
    {"EditingAStrokeKeepsItsEffectsAndAlignment",
     {{"editGraphicStyle",
       R"({"tagSearch":"card","uiMethod":false,"newStyle":{"paintFields":[{"mode":"edit","strokeIndex":1,"pFieldStroke":{"width":4}}]}})"}},
     {"getGraphicStyle", R"({"tagSearch":"card"})"},
     "/graphicStyle/paintFields/2/pFieldStroke",
     R"({"arrowBeginScale":0.5,"beginArrow":"Arrow 1","dashAlignment":true,"dashVector":[4.0,2.0],"lineCap":"round","lineJoin":"bevel","strokeAlign":"Inside","width":4.0})"},
    {"StrokeAlignmentIsSet",
     {{"editGraphicStyle",
       R"({"tagSearch":"leafy","uiMethod":false,"newStyle":{"paintFields":[{"mode":"edit","strokeIndex":1,"pFieldStroke":{"strokeAlign":"Outside"}}]}})"}},
     {"getGraphicStyle", R"({"tagSearch":"leafy"})"},
     "/graphicStyle/paintFields/1/pFieldStroke/strokeAlign",
     R"("Outside")"},
    {"ContentsPositionBeyondThePaintFieldsIsLeftOut",
     {{"editGraphicStyle", R"({"tagSearch":"card","uiMethod":false,"newStyle":{"contentsPosition":9}})"}},
     {"getGraphicStyle", R"({"tagSearch":"card"})"},
     "/graphicStyle/contentsPosition",
     "3"},
    {"ContentsPositionWithinIsSet",
     {{"editGraphicStyle", R"({"tagSearch":"card","uiMethod":false,"newStyle":{"contentsPosition":1}})"}},
     {"getGraphicStyle", R"({"tagSearch":"card"})"},
     "/graphicStyle/contentsPosition",
     "1"},
    {"RemoveTheStroke",
     {{"editGraphicStyle",
       R"({"tagSearch":"leafy","uiMethod":false,"newStyle":{"paintFields":[{"mode":"remove","strokeIndex":1}]}})"}},
     {"getGraphicStyle", R"({"tagSearch":"leafy"})"},
     "/graphicStyle/paintFields/1",
     nullptr},
    {"EditTurnsAFillIntoAStrokeKeepingItsPlace",
     {{"editGraphicStyle",
       R"({"tagSearch":"leafy","uiMethod":false,"newStyle":{"paintFields":[{"mode":"edit","pfIndex":1,"isFill":false}]}})"}},
     {"getGraphicStyle", R"({"tagSearch":"leafy"})"},
     "/graphicStyle/paintFields/0/isFill",
     "false"},
    {"ReplaceAPaintField",
     {{"editGraphicStyle",
       R"({"tagSearch":"leafy","uiMethod":false,"newStyle":{"paintFields":[{"mode":"replace","pfIndex":1,"color":RED}]}})"}},
     {"getGraphicStyle", R"({"tagSearch":"leafy"})"},
     "/graphicStyle/paintFields/0/color/channel_1",
     "255"},
    {"ReplaceTakesOutWhatTheStyleDoesNotName",
     {{"editGraphicStyle",
       R"({"tagSearch":"card","uiMethod":false,"replace":true,"newStyle":{"paintFields":[{"mode":"add","color":RED}]}})"}},
     {"getGraphicStyle", R"({"tagSearch":"card"})"},
     "/graphicStyle/postEffects",
     nullptr},
    // Effects.
    {"AnEffectTakesItsDefaultsAndItsOwnParameters",
     {{"editGraphicStyle",
       R"({"tagSearch":"leafy","uiMethod":false,"newStyle":{"postEffects":[{"name":"Host Drop Shadow","parameters":{"R blur":"9"}}]}})"}},
     {"getGraphicStyle", R"({"tagSearch":"leafy"})"},
     "/graphicStyle/postEffects/0/parameters",
     R"({"B pair":"1","B usePSLBlur":"1","I Host Effect Expand Before Version":"16","I blnd":"1","I csrc":"1","R blur":"9","R dark":"100","R horz":"7","R opac":"0.75","R vert":"7"})"},
    {"EditAnEffectMergesItsParameters",
     {{"editGraphicStyle",
       R"({"tagSearch":"card","uiMethod":false,"newStyle":{"preEffects":[{"mode":"edit","effectIndex":1,"parameters":{"R size":"3","R dtal":"2"}}]}})"}},
     {"getGraphicStyle", R"({"tagSearch":"card"})"},
     "/graphicStyle/preEffects/0/parameters",
     R"({"R dtal":"2","R size":"3"})"},
    {"ChangingTheKindOfAnEffectStartsFromItsDefaults",
     {{"editGraphicStyle",
       R"({"tagSearch":"card","uiMethod":false,"newStyle":{"preEffects":[{"mode":"edit","effectIndex":1,"name":"Host Twirl"}]}})"}},
     {"getGraphicStyle", R"({"tagSearch":"card"})"},
     "/graphicStyle/preEffects/0/parameters",
     R"({"R angle":"0","R size":"0.25"})"},
    {"RemoveAnEffect",
     {{"editGraphicStyle",
       R"({"tagSearch":"card","uiMethod":false,"newStyle":{"postEffects":[{"mode":"remove","effectIndex":1}]}})"}},
     {"getGraphicStyle", R"({"tagSearch":"card"})"},
     "/graphicStyle/postEffects",
     nullptr},
    {"AnEffectIndexOutOfRangeChangesNothing",
     {{"editGraphicStyle",
       R"({"tagSearch":"card","uiMethod":false,"newStyle":{"postEffects":[{"mode":"remove","effectIndex":-4},{"mode":"remove","effectIndex":7}]}})"}},
     {"getGraphicStyle", R"({"tagSearch":"card"})"},
     "/graphicStyle/postEffects/0/name",
     R"("Host Drop Shadow")"},
    {"AnUnknownEffectAddsNothing",
     {{"editGraphicStyle",
       R"({"tagSearch":"leafy","uiMethod":false,"newStyle":{"postEffects":[{"name":"Host Nothing"}]}})"}},
     {"getGraphicStyle", R"({"tagSearch":"leafy"})"},
     "/graphicStyle/postEffects",
     nullptr},
    {"PaintFieldEffectsEditRemovesTheOthers",
     {{"editGraphicStyle",
       R"({"tagSearch":"card","uiMethod":false,"newStyle":{"paintFields":[{"mode":"editRE","strokeIndex":1,"pfEffects":[{"name":"Host Outline Stroke"},{"name":"Host Twirl","skip":true}]}]}})"}},
     {"getGraphicStyle", R"({"tagSearch":"card"})"},
     "/graphicStyle/paintFields/2/pfEffects",
     R"([{"name":"Host Outline Stroke","parameters":{"S torviAIEmptyKey":""},"visible":true}])"},
    {"GlowsAreAdded",
     {{"editGraphicStyle",
       R"({"tagSearch":"leafy","uiMethod":false,"newStyle":{"postEffects":[{"name":"Host Inner Glow"},{"name":"Host Outer Glow"}]}})"}},
     {"getGraphicStyle", R"({"tagSearch":"leafy"})"},
     "/graphicStyle/postEffects/1/name",
     R"("Host Outer Glow")"},
    // Search and replace.
    {"ReplaceAColourFound",
     {{"editGraphicStyle",
       R"({"tagSearch":"leafy","searchColor":{"colorSpace":"RGB","channel_1":0,"channel_2":153,"channel_3":51},"replaceColor":RED})"}},
     {"getGraphicStyle", R"({"tagSearch":"leafy"})"},
     "/graphicStyle/paintFields/0/color/channel_1",
     "255"},
    {"SearchWithoutAKeyChangesNothing",
     {{"editGraphicStyle", R"({"tagSearch":"leafy","replaceColor":RED})"}},
     {"getGraphicStyle", R"({"tagSearch":"leafy"})"},
     "/graphicStyle/paintFields/0/color/swatchName",
     R"("Leaf")"},
    {"ReplaceEffectsOfFoundStrokes",
     {{"editGraphicStyle",
       R"({"tagSearch":"card","searchFill":false,"searchEffects":[{"name":"Host Drop Shadow"}],"replaceEffects":[]})"}},
     {"getGraphicStyle", R"({"tagSearch":"card"})"},
     "/graphicStyle/paintFields/2/pfEffects",
     nullptr},
    {"ReplacePreEffectsByName",
     {{"editGraphicStyle",
       R"({"tagSearch":"card","searchPreAndPostEffects":[{"name":"Host Roughen"}],"replacePreAndPostEffects":[{"name":"Host Twirl","parameters":{"R angle":"5"}}]})"}},
     {"getGraphicStyle", R"({"tagSearch":"card"})"},
     "/graphicStyle/preEffects/0",
     R"({"name":"Host Twirl","parameters":{"R angle":"5"},"visible":true})"},
    {"ReplacePostEffectsLeavesThePreEffects",
     {{"editGraphicStyle",
       R"({"tagSearch":"card","searchPreAndPostEffects":[{"name":"Host Drop Shadow"}],"replacePreAndPostEffects":[]})"}},
     {"getGraphicStyle", R"({"tagSearch":"card"})"},
     "/graphicStyle/preEffects/0/name",
     R"("Host Roughen")"},
    // The recolour path: a group coloured by its member.
    {"RecolourReachesTheMember",
     {{"editGraphicStyle",
       R"({"tagSearch":"box","newStyle":{"paintFields":[{"mode":"edit","fillIndex":1,"color":RED}],"postEffects":[{"name":"Host Drop Shadow"}]}})"}},
     {"getGraphicStyle", R"({"tagSearch":"inner"})"},
     "/graphicStyle/paintFields/0/color/channel_1",
     "255"},
    {"RecolourGivesTheEffectsToTheGroup",
     {{"editGraphicStyle",
       R"({"tagSearch":"box","newStyle":{"paintFields":[{"mode":"edit","fillIndex":1,"color":RED}],"postEffects":[{"name":"Host Drop Shadow"}]}})"}},
     {"getGraphicStyle", R"({"tagSearch":"box"})"},
     "/graphicStyle/postEffects/0/name",
     R"("Host Drop Shadow")"},
    {"EffectsToGroupMembers",
     {{"editGraphicStyle",
       R"({"tagSearch":"box","applyEffectsToGroupMembers":true,"newStyle":{"postEffects":[{"name":"Host Drop Shadow"}]}})"}},
     {"getGraphicStyle", R"({"tagSearch":"inner"})"},
     "/graphicStyle/postEffects/0/name",
     R"("Host Drop Shadow")"},
    // Named styles.
    {"ANamedStyleReplacesTheStyle",
     {{"editGraphicStyle", R"({"tagSearch":"leafy","styleName":"Outlined","replace":true})"}},
     {"getGraphicStyle", R"({"tagSearch":"leafy"})"},
     "/graphicStyle/paintFields/1",
     nullptr},
    {"ANamedStyleMergesIntoTheStyle",
     {{"editGraphicStyle",
       R"({"tagSearch":"leafy","styleName":"Outlined","newStyle":{"contentsPosition":1}})"}},
     {"getGraphicStyle", R"({"tagSearch":"leafy"})"},
     "/graphicStyle/paintFields/2/pFieldStroke/width",
     "3.0"},
    // Every error of editGraphicStyle; a refused record changes nothing.
    {"UnknownNamedStyle",
     {},
     {"editGraphicStyle", R"({"tagSearch":"leafy","styleName":"Nope"})"},
     "/error",
     R"("Named style not found")"},
    {"UnknownLayer",
     {},
     {"editGraphicStyle", R"({"layerName":"Nope","newStyle":{}})"},
     "/error",
     R"("Layer not found or empty")"},
    {"NoArt",
     {},
     {"editGraphicStyle", R"({"tagSearch":"nothing","newStyle":{}})"},
     "/error",
     R"("No artwork found")"},
    {"UnreadableRecordIsRefused",
     {},
     {"editGraphicStyle", R"({"tagSearch":"leafy","newStyle":{"preEffects":7}})"},
     "/error",
     R"("Can't read the new style")"},
    {"UnreadableRecordChangesNothing",
     {{"editGraphicStyle",
       R"({"tagSearch":"leafy","searchColor":{"colorSpace":"RGB","channel_1":0,"channel_2":153,"channel_3":51},"replaceColor":RED,"newStyle":{"paintFields":[{"isFill":3}]}})",
       "Can't read the new style"}},
     {"getGraphicStyle", R"({"tagSearch":"leafy"})"},
     "/graphicStyle/paintFields/0/color/swatchName",
     R"("Leaf")"},
    {"WrongTypedKey", {}, {"editGraphicStyle", R"({"tagSearch":"leafy","uiMethod":"no"})"}, "/uid", R"("s")"},
};

class GraphicStyles : public AppearanceTest, public testing::WithParamInterface<StyleCase> {
protected:
    json Send(const Step& step) {
        json request = json::parse(With(step.request));
        request["uid"] = "s";
        const json reply = ScriptJson(step.command, request.dump());
        EXPECT_EQ(reply.at("uid"), "s");
        return reply;
    }
};

TEST_P(GraphicStyles, AnswerAndLetGoOfWhatTheyTook) {
    const StyleCase& c = GetParam();
    for (const Step& step : c.steps) {
        const json reply = Send(step);
        EXPECT_EQ(reply.value("error", json()), step.error != nullptr ? json(step.error) : json())
            << reply.dump();
    }
    const json reply = Send(c.query);
    const json expected = c.expected != nullptr ? json::parse(c.expected) : json();
    EXPECT_EQ(reply.value(json::json_pointer(c.pointer), json()), expected) << reply.dump();
    EXPECT_EQ(app->HeldStyleObjectCounts(), host::Application::HeldStyleObjects{});
    // The document saves and reads back.
    Saved();
}

INSTANTIATE_TEST_SUITE_P(Cases, GraphicStyles, testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.label); });

// A record read back is a fixed point: applied to plain art it reads back as itself. (The first
// application may add what the host adds: the defaults of effects, and no arrowheads on a stroke
// aligned inside or outside.)
TEST_F(AppearanceTest, AStyleAppliedReadsBackAsTheSameRecord) {
    const auto applyToInner = [&](const json& style) {
        const json clear = {
            {"tagSearch", "inner"}, {"uiMethod", false}, {"replace", true}, {"newStyle", json::object()}};
        const json apply = {
            {"tagSearch", "inner"}, {"uiMethod", false}, {"replace", true}, {"newStyle", style}};
        EXPECT_FALSE(ScriptJson("editGraphicStyle", clear.dump()).contains("error"));
        EXPECT_FALSE(ScriptJson("editGraphicStyle", apply.dump()).contains("error"));
        return ScriptJson("getGraphicStyle", R"({"tagSearch":"inner"})").at("graphicStyle");
    };
    for (const char* tag : {"card", "leafy"}) {
        const json source =
            ScriptJson("getGraphicStyle", std::string(R"({"tagSearch":")") + tag + "\"}").at("graphicStyle");
        const json once = applyToInner(source);
        EXPECT_EQ(once.at("paintFields").size(), source.at("paintFields").size()) << tag;
        const json twice = applyToInner(once);
        EXPECT_EQ(twice, once) << tag << "\n" << json::diff(once, twice).dump();
    }
    EXPECT_EQ(app->HeldStyleObjectCounts(), host::Application::HeldStyleObjects{});
}

TEST_F(AppearanceTest, EveryDefaultEffectIsAddedWithItsDefaults) {
    constexpr const char* kNames[] = {
        "Host Shape Effects",      "Host Punk and Bloat", "Host Roughen",
        "Host Scribble and Tweak", "Host Twirl",          "Host Zigzag",
        "Host Offset Path",        "Host Outline Type",   "Host Pathfinder",
        "Host Round Corners",      "Host Trim Marks",     "Host Transform",
        "Host Outline Stroke",     "Host Rasterize",      "Host Drop Shadow",
        "Host Fuzzy Mask",         "Host Inner Glow",     "Host Outer Glow",
        "Host Scribble Fill",      "Host Deform",         "Host PSL Gaussian Blur"};
    // In a CMYK document the white and black swatches are not the glows' RGB colours.
    EXPECT_FALSE(ScriptJson("setDocumentColorMode", R"({"colorMode":"CMYK"})").contains("error"));
    const json swatchesBefore = Saved().at("swatches");
    json effects = json::array();
    for (const char* name : kNames) {
        effects.push_back({{"name", name}});
    }
    const json request = {
        {"tagSearch", "leafy"}, {"uiMethod", false}, {"newStyle", {{"postEffects", effects}}}};
    EXPECT_FALSE(ScriptJson("editGraphicStyle", request.dump()).contains("error"));
    const json read =
        ScriptJson("getGraphicStyle", R"({"tagSearch":"leafy"})").at("graphicStyle").at("postEffects");
    ASSERT_EQ(read.size(), std::size(kNames));
    for (std::size_t i = 0; i < read.size(); ++i) {
        EXPECT_EQ(read[i].at("name"), kNames[i]);
        EXPECT_FALSE(read[i].value("parameters", json::object()).empty()) << kNames[i];
    }
    EXPECT_EQ(read[15].at("parameters").at("R Radius"), "5");
    EXPECT_EQ(read[16].at("FillColor gclr").at("channel_1"), 255);
    // The glows' white and black never reach the swatches.
    EXPECT_EQ(Saved().at("swatches"), swatchesBefore);
    EXPECT_EQ(app->HeldStyleObjectCounts(), host::Application::HeldStyleObjects{});
}

// The errors of createGraphicStyle that only a failing host gives; each changes nothing.
struct HostFailure {
    const char* label;
    const char* suite;
    const char* operation;
    const char* request;
    const char* error;
};

const HostFailure kHostFailures[] = {
    {"NewStyle", "AI Art Style Suite", "CreateArtStyleFromPathStyle",
     R"({"styleName":"New","newStyle":{"paintFields":[{"mode":"add","color":RED}]}})",
     "Can't create a new style"},
    {"Register", "AI Art Style Suite", "CreateNamedArtStyle",
     R"({"styleName":"New","newStyle":{"paintFields":[{"mode":"add","color":RED}]}})",
     "Can't create named style"},
    {"Parse", "AI Art Style Parser Suite", "ParseStyle",
     R"({"styleName":"Outlined","newStyle":{"paintFields":[{"mode":"add","color":RED}]}})",
     "Can't parse named style"},
    {"Redefine", "AI Art Style Suite", "RedefineNamedArtStyle",
     R"({"styleName":"Outlined","newStyle":{"paintFields":[{"mode":"add","color":RED}]}})",
     "Can't change a named style"},
    {"ArtStyle", "AI Art Style Suite", "GetArtStyle", R"({"styleName":"New","tagSearch":"leafy"})",
     "Can't get artwork style"},
    {"Merge", "AI Art Style Parser Suite", "MergeStyleIntoParser",
     R"({"styleName":"Outlined","tagSearch":"leafy"})", "Can't merge styles"},
    {"Lookup", "AI Art Style Suite", "GetArtStyleByName", R"({"styleName":"Outlined","tagSearch":"leafy"})",
     "Named style not found"},
};

class CreateWithFailingHost : public AppearanceTest, public testing::WithParamInterface<HostFailure> {};

TEST_P(CreateWithFailingHost, AnswersItsErrorAndChangesNothing) {
    const HostFailure& c = GetParam();
    const host::model::Document before = *app->CurrentDocument();
    app->Faults().FailOperation(c.suite, c.operation, kBadParameterErr);
    const json reply = ScriptJson("createGraphicStyle", With(c.request));
    app->Faults().Clear();
    EXPECT_EQ(reply.value("error", json()), c.error) << reply.dump();
    EXPECT_TRUE(*app->CurrentDocument() == before);
    EXPECT_EQ(app->HeldStyleObjectCounts(), host::Application::HeldStyleObjects{});
}

INSTANTIATE_TEST_SUITE_P(Cases, CreateWithFailingHost, testing::ValuesIn(kHostFailures),
                         [](const auto& info) { return std::string(info.param.label); });

// A host step that fails leaves the paint field or effect it was for as it was, the work goes on
// with the next, and later indices still address the paint fields they named.
TEST_F(AppearanceTest, FailedHostStepsChangeOnlyWhatHappened) {
    app->Faults().FailOperation("AI Art Style Parser Suite", "InsertNthPaintField", kBadParameterErr);
    const std::string replaceThenEdit = With(
        R"({"tagSearch":"leafy","uiMethod":false,"newStyle":{"paintFields":[{"mode":"replace","pfIndex":1,"color":RED},)"
        R"({"mode":"edit","pfIndex":2,"pFieldStroke":{"width":9}}]}})");
    EXPECT_FALSE(ScriptJson("editGraphicStyle", replaceThenEdit).contains("error"));
    app->Faults().Clear();
    json style = ScriptJson("getGraphicStyle", R"({"tagSearch":"leafy"})").at("graphicStyle");
    EXPECT_EQ(style.at("paintFields").size(), 2u);
    EXPECT_EQ(style.at("paintFields")[0].at("color").at("swatchName"), "Leaf");
    EXPECT_EQ(style.at("paintFields")[1].at("pFieldStroke").at("width"), 9.0);

    app->Faults().FailOperation("AI Art Style Parser Suite", "NewParserLiveEffect", kBadParameterErr);
    EXPECT_FALSE(
        ScriptJson(
            "editGraphicStyle",
            R"({"tagSearch":"card","uiMethod":false,"newStyle":{"preEffects":[{"mode":"edit","effectIndex":1,"parameters":{"R size":"3"}}]}})")
            .contains("error"));
    app->Faults().Clear();
    style = ScriptJson("getGraphicStyle", R"({"tagSearch":"card"})").at("graphicStyle");
    EXPECT_EQ(style.at("preEffects"),
              json::parse(R"([{"name":"Host Roughen","parameters":{"R size":"0.25"},"visible":true}])"));
    EXPECT_EQ(app->HeldStyleObjectCounts(), host::Application::HeldStyleObjects{});
}

// Styles applied by a script, as the renderer draws them: a fill at half opacity, a dashed stroke
// and a named style.
TEST(GraphicStylesSnapshot, PictureOfStyledArt) {
    const testsupport::ScratchFolder scratch("graphic-styles-snapshot");
    const std::filesystem::path picture = scratch.Path() / "styled.png";
    const std::string script =
        R"(editGraphicStyle {"tagSearch":"a","uiMethod":false,"replace":true,"newStyle":{"paintFields":[)"
        R"({"mode":"add","color":{"colorSpace":"RGB","channel_1":255,"channel_2":0,"channel_3":0},"opacity":50}]}})"
        "\n"
        R"(editGraphicStyle {"tagSearch":"b","uiMethod":false,"replace":true,"newStyle":{"paintFields":[)"
        R"({"mode":"add","isFill":false,"color":{"colorSpace":"RGB","channel_1":0,"channel_2":0,"channel_3":255},)"
        R"("pFieldStroke":{"width":6,"dashVector":[10,10]}}]}})"
        "\n"
        R"(createGraphicStyle {"styleName":"Green","newStyle":{"paintFields":[{"mode":"add","color":)"
        R"({"colorSpace":"RGB","channel_1":0,"channel_2":255,"channel_3":0}}]}})"
        "\n"
        R"(editGraphicStyle {"tagSearch":"c","styleName":"Green","replace":true})"
        "\n";
    const testsupport::ProgramRun run = testsupport::RunProgram(
        scratch,
        std::string(PLIM_BIN_DIR) + "/plimhost --open " + layouttest::LayoutExample() + " --snapshot " +
            picture.string() + " " + scratch.Write("script.plim", script),
        "");
    ASSERT_EQ(run.status, 0);
    for (const std::string& line : run.Lines()) {
        EXPECT_EQ(line.find("error"), std::string::npos) << line;
    }
    const pngpicture::Picture image = pngpicture::ReadPng(picture.string());
    ASSERT_EQ(cairo_surface_status(image.get()), CAIRO_STATUS_SUCCESS);
    // The artboard "Main" is [0, 300, 600, -300]: row 0 at y 300.
    const auto at = [&](double x, double y) {
        return pngpicture::PixelOf(image.get(), static_cast<int>(x), static_cast<int>(300 - y));
    };
    using RGB = std::array<int, 3>;
    const RGB halfRed = at(30, 70);
    EXPECT_EQ(halfRed[0], 255);
    EXPECT_NEAR(halfRed[1], 128, 2);
    EXPECT_NEAR(halfRed[2], 128, 2);
    EXPECT_EQ(at(104, 80), (RGB{0, 0, 255}));      // B's top edge: a dash
    EXPECT_EQ(at(114, 80), (RGB{255, 255, 255}));  // and a gap
    EXPECT_EQ(at(130, 60), (RGB{255, 255, 255}));  // B has no fill left
    EXPECT_EQ(at(210, 70), (RGB{0, 255, 0}));      // C in the named style
}

}  // namespace
