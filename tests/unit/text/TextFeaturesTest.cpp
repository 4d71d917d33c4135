// The text-feature record: its JSON reading, its reading of a graphic style, and its applying to
// the stand-in's text and reading back (fonts by family, style and name; paints; codes by name).
#include <gtest/gtest.h>

#include "StandIn.h"
#include "text/AppearanceSteps.h"
#include "text/TextFeatures.h"
#include "text/TextRanges.h"

namespace {

constexpr const char* kAbsent = "absent";

struct JsonCase {
    const char* label;
    const char* input;
    const char* pointer;   // into WriteJson, "" for the whole object
    const char* expected;  // JSON, or kAbsent
};

const JsonCase kJsonCases[] = {
    {"NegativeSizeIsZero", R"({"fontSize":-3})", "/fontSize", "0.0"},
    {"SizeAsTextIsUnset", R"({"fontSize":"3"})", "", "{}"},
    {"StrokeWidthWithoutStroke", R"({"strokeWidth":2})", "", "{}"},
    {"StrokeWidthBesideNoStroke", R"({"strokeWidth":2,"strokeColor":{"colorSpace":"None"}})", "/strokeWidth",
     kAbsent},
    {"StrokeWidthBesideStroke", R"({"strokeWidth":2,"strokeColor":{"colorSpace":"RGB"}})", "/strokeWidth",
     "2.0"},
    {"NegativeStrokeWidthIsZero", R"({"strokeWidth":-1,"strokeColor":{"colorSpace":"RGB"}})", "/strokeWidth",
     "0.0"},
    {"DirectionTextInCapitals", R"({"leftToRight":"RTL"})", "/leftToRight", "false"},
    {"DirectionAsBool", R"({"leftToRight":true})", "/leftToRight", "true"},
    {"DirectionAsNumber", R"({"leftToRight":1})", "", "{}"},
    {"StoryDirectionIsWrittenAsText", R"({"storyDirection":"Ltr"})", "", R"({"storyDirection":"ltr"})"},
    {"StoryDirectionOtherText", R"({"storyDirection":"up"})", "", "{}"},
    {"EmptyColourIsUnset", R"({"fillColor":{}})", "", "{}"},
    {"TrackingBeyond32Bits", R"({"tracking":1e20})", "", "{}"},
    {"TrackingTruncated", R"({"tracking":12.7})", "/tracking", "12"},
    {"NotAnObject", R"(["fontSize",3])", "", "{}"},
    {"TextsAsGiven", R"({"justification":"Left","language":"finnish","charStyle":""})", "",
     R"({"charStyle":"","justification":"Left","language":"finnish"})"},
};

class JsonReading : public testing::TestWithParam<JsonCase> {};

TEST_P(JsonReading, WritesBackWhatWasSet) {
    const JsonCase& c = GetParam();
    const json written = TextFeatures(json::parse(c.input)).WriteJson();
    const json::json_pointer pointer(c.pointer);
    if (std::string(c.expected) == kAbsent) {
        EXPECT_FALSE(written.contains(pointer)) << written.dump();
    } else {
        EXPECT_EQ(written.value(pointer, json()), json::parse(c.expected)) << written.dump();
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, JsonReading, testing::ValuesIn(kJsonCases),
                         [](const auto& info) { return std::string(info.param.label); });

TEST(JsonReading, CheckAndColourErrors) {
    EXPECT_FALSE(TextFeatures().Check());
    EXPECT_TRUE(TextFeatures(json::parse(R"({"charStyle":"x"})")).Check());
    EXPECT_THROW(TextFeatures(json::parse(R"({"fillColor":{"colorSpace":"Bogus"}})")), ColorSpaceError);
}

struct StyleCase {
    const char* label;
    const char* paintFields;
    const char* expected;
};

const StyleCase kStyleCases[] = {
    {"StrokeThenFill",
     R"([{"isFill":false,"color":{"colorSpace":"gray","channel_1":10},"overprint":true,
         "pFieldStroke":{"width":3,"lineJoin":"round"}},
        {"color":{"colorSpace":"gray","channel_1":20}}])",
     R"({"fillColor":{"channel_1":20,"colorSpace":"Grayscale","global":false,"spot":false},
         "overprintStroke":true,"strokeJoin":"round","strokeWidth":3.0,
         "strokeColor":{"channel_1":10,"colorSpace":"Grayscale","global":false,"spot":false}})"},
    {"FirstOfTwoFills",
     R"([{"isFill":true,"color":{"colorSpace":"gray","channel_1":1},"overprint":false},
        {"color":{"colorSpace":"gray","channel_1":2},"overprint":true}])",
     R"({"fillColor":{"channel_1":1,"colorSpace":"Grayscale","global":false,"spot":false},"overprintFill":false})"},
    {"RemovedAndColourless",
     R"([{"mode":"remove","color":{"colorSpace":"gray","channel_1":1}},{"isFill":false}])", "{}"},
};

class StyleReading : public testing::TestWithParam<StyleCase> {};

TEST_P(StyleReading, TakesFirstFillAndStroke) {
    const StyleCase& c = GetParam();
    bool ok = false;
    const GStyle style(json{{"paintFields", json::parse(c.paintFields)}}, ok);
    ASSERT_TRUE(ok);
    EXPECT_EQ(TextFeatures(style).WriteJson(), json::parse(c.expected));
}

INSTANTIATE_TEST_SUITE_P(Cases, StyleReading, testing::ValuesIn(kStyleCases),
                         [](const auto& info) { return std::string(info.param.label); });

// One point-text frame "T" whose story holds a character outside the Basic Multilingual Plane.
constexpr const char* kDocument = R"({"format": "plimhost-document", "version": 1, "layers": [
  {"type": "layer", "title": "L", "children": [
    {"type": "textFrame", "name": "T", "kind": "point", "frame": [0, 0, 0, 0],
     "text": "ab\ud83d\ude00c\rsecond"}]}]})";

struct ApplyCase {
    const char* label;
    const char* applied;   // the record applied to the whole story
    const char* expected;  // what the story's features read back include
};

const ApplyCase kApplyCases[] = {
    {"FamilyAndStyleIgnoreCase", R"({"fontFamily":"dejavu serif","fontStyle":"BOLD"})",
     R"({"fontName":"DejaVuSerif-Bold","fontFamily":"DejaVu Serif","fontStyle":"Bold"})"},
    {"StyleTheFamilyLacks", R"({"fontFamily":"DejaVu Serif","fontStyle":"Nope"})",
     R"({"fontName":"DejaVuSerif"})"},
    {"FullName", R"({"fontName":"DejaVu Sans Mono Bold"})", R"({"fontName":"DejaVuSansMono-Bold"})"},
    {"PostScriptName", R"({"fontName":"dejavusans-oblique","fontFamily":"DejaVu Serif"})",
     R"({"fontName":"DejaVuSans-Oblique"})"},
    {"UnknownFamilyKeepsTheFont", R"({"fontFamily":"Nope","fontStyle":"Bold"})",
     R"({"fontName":"DejaVuSans"})"},
    {"OnlyAStyleKeepsInheritedFonts", R"({"fontStyle":"Bold"})", R"({"fontName":"DejaVuSans"})"},
    {"NoFill", R"({"fillColor":{"colorSpace":"None"}})", R"({"fillColor":{"colorSpace":"None"}})"},
    {"NoneSwatch", R"({"fillColor":{"colorSpace":"RGB","swatchName":"[None]"}})",
     R"({"fillColor":{"colorSpace":"None"}})"},
    {"ColourTheHostCantTakeKeepsTheFill", R"({"fillColor":{"colorSpace":"RGB","channel_1":300}})",
     R"({"fillColor":{"colorSpace":"Grayscale","channel_1":100}})"},
    {"StrokeOn", R"({"strokeColor":{"colorSpace":"RGB","channel_1":255},"strokeWidth":0.5})",
     R"({"strokeColor":{"colorSpace":"RGB","channel_1":255},"strokeWidth":0.5})"},
    {"ZeroWidthTurnsTheStrokeOff", R"({"strokeColor":{"colorSpace":"RGB","channel_1":255},"strokeWidth":0})",
     R"({"strokeColor":{"colorSpace":"None"}})"},
    {"LanguageNamesAreExact",
     R"({"language":"finnish","baselineOption":"SuperScript","charDirection":"RTL"})",
     R"({"language":"English: US","baselineOption":"none","charDirection":"rtl"})"},
    {"LeadingTurnsAutoLeadingOff", R"({"leading":20})", R"({"leading":20.0,"autoLeading":false})"},
    {"LeadingWithAutoLeadingKeepsItOn", R"({"leading":20,"autoLeading":true})",
     R"({"leading":20.0,"autoLeading":true})"},
    {"RefusedSizeIsSkipped", R"({"fontSize":0,"tracking":50})", R"({"fontSize":12.0,"tracking":50})"},
    {"Paragraphs",
     R"({"justification":"fullCenter","firstLineIndent":4,"composerEngine":"Adornment","everyLineComposer":true,
         "leftToRight":false,"storyDirection":"rtl"})",
     R"({"justification":"fullCenter","firstLineIndent":4.0,"composerEngine":"Adornment","everyLineComposer":true,
         "leftToRight":false,"storyDirection":"rtl"})"},
    {"EveryOtherCharacterFeature",
     R"({"fontSize":9,"underline":true,"strikethrough":true,"overprintFill":true,"overprintStroke":true,
         "strokeJoin":"bevel","kerningType":"optical","baselineShift":2,"horizontalScale":1.5,"verticalScale":0.5,
         "rotation":30,"language":"Finnish"})",
     R"({"fontSize":9.0,"underline":true,"strikethrough":true,"overprintFill":true,"overprintStroke":true,
         "strokeJoin":"bevel","kerningType":"optical","baselineShift":2.0,"horizontalScale":1.5,"verticalScale":0.5,
         "rotation":30.0,"language":"Finnish"})"},
};

class Applying : public testing::TestWithParam<ApplyCase> {
protected:
    void SetUp() override {
        host.Load(kDocument);
        int id = 0;
        ASSERT_TRUE(ArtToTextRange(host.Art("T"), story, id));
    }
    unittest::StandIn host;
    ATE::ITextRange story;
};

TEST_P(Applying, ReadsBackWhatWasApplied) {
    const ApplyCase& c = GetParam();
    ASSERT_TRUE(TextFeatures(json::parse(c.applied)).SetTextFeatures(story));
    const json read = TextFeatures(story, false).WriteJson();
    const json expected = json::parse(c.expected);
    for (const auto& [key, value] : expected.items()) {
        const json actual = read.value(key, json());
        if (value.is_object()) {
            for (const auto& [part, partValue] : value.items()) {
                EXPECT_EQ(actual.value(part, json()), partValue)
                    << key << "/" << part << " in " << read.dump();
            }
        } else {
            EXPECT_EQ(actual, value) << key << " in " << read.dump();
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, Applying, testing::ValuesIn(kApplyCases),
                         [](const auto& info) { return std::string(info.param.label); });

TEST_F(Applying, FontsGoCharacterByCharacterAndKeepSurrogatePairsWhole) {
    ATE::ITextRange first = story.Clone();
    first.SetRange(0, 1);
    ASSERT_TRUE(TextFeatures(json::parse(R"({"fontFamily":"DejaVu Serif"})")).SetTextFeatures(first));
    // Only the character with a family of its own takes the style.
    ATE::ITextRange pairOnwards = story.Clone();
    pairOnwards.SetRange(0, 3);
    ASSERT_TRUE(TextFeatures(json::parse(R"({"fontStyle":"Italic"})")).SetTextFeatures(pairOnwards));
    const auto fontOf = [&](ASInt32 start, ASInt32 end) {
        ATE::ITextRange part = story.Clone();
        part.SetRange(start, end);
        return TextFeatures(part, false).fontName.value_or("varies");
    };
    EXPECT_EQ(fontOf(0, 1), "DejaVuSerif-Italic");
    EXPECT_EQ(fontOf(1, 2), "DejaVuSans");
    // A range that ends inside the pair changes both of its units.
    ATE::ITextRange half = story.Clone();
    half.SetRange(2, 3);
    ASSERT_TRUE(TextFeatures(json::parse(R"({"fontName":"DejaVuSansMono"})")).SetTextFeatures(half));
    EXPECT_EQ(fontOf(2, 4), "DejaVuSansMono");
}

TEST_F(Applying, ColourTheHostCantTakeLeavesAnOffFillOff) {
    ASSERT_TRUE(TextFeatures(json::parse(R"({"fillColor":{"colorSpace":"None"}})")).SetTextFeatures(story));
    ASSERT_TRUE(TextFeatures(json::parse(R"({"fillColor":{"colorSpace":"RGB","channel_1":300}})"))
                    .SetTextFeatures(story));
    EXPECT_EQ(TextFeatures(story, false).fillColor.value_or(PFieldColor()).colorSpace, "None");
}

TEST_F(Applying, GraphicStyleColoursTheFramesCharacters) {
    bool ok = false;
    const GStyle style(json::parse(R"({"paintFields":[{"color":{"colorSpace":"RGB","channel_1":255}},
        {"isFill":false,"color":{"colorSpace":"RGB","channel_3":255},"pFieldStroke":{"width":2}}]})"),
                       ok);
    ASSERT_TRUE(ok);
    EXPECT_FALSE(ApplyGStyleToTextFrame(nullptr, style));
    ASSERT_TRUE(ApplyGStyleToTextFrame(host.Art("T"), style));
    const TextFeatures read(story, false);
    EXPECT_EQ(read.fillColor.value_or(PFieldColor()).channel_1, 255);
    EXPECT_EQ(read.strokeColor.value_or(PFieldColor()).channel_3, 255);
    EXPECT_EQ(read.strokeWidth, 2.0);
}

TEST_F(Applying, NamedStylesAndTheirFeatures) {
    EXPECT_EQ(TextFeatures(story, false).charStyle, "Normal Character Style");
    EXPECT_EQ(TextFeatures(story, false).paraStyle, "Normal Paragraph Style");
    // The normal character style holds nothing of its own; the paragraph style holds the defaults.
    EXPECT_FALSE(TextFeatures("Normal Character Style", true).Check());
    EXPECT_EQ(TextFeatures("Normal Paragraph Style", false).justification, "left");
    EXPECT_FALSE(TextFeatures("Normal Paragraph Style", false).fontName.has_value());
    EXPECT_FALSE(TextFeatures("Nope", true).Check());
    EXPECT_FALSE(TextFeatures("Normal Paragraph Style", true).Check());
}

}  // namespace
