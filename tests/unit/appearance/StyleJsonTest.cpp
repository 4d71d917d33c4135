// The colour object and the graphic-style object read and written back, without a host (the
// document's colour space is then RGB and nothing converts).
#include <gtest/gtest.h>

#include "appearance/Colors.h"
#include "appearance/GStyle.h"

namespace {

struct ColorCase {
    const char* label;
    const char* input;
    bool ok;
    const char* written;  // "" when not ok
    bool check;
};

const ColorCase kColorCases[] = {
    {"LowerCaseSpace", R"({"colorSpace":"rgb","channel_1":255})", true,
     R"({"channel_1":255,"channel_2":0,"channel_3":0,"colorSpace":"RGB","global":false,"spot":false})", true},
    {"SwatchOnlyIsCustom", R"({"swatchName":"S"})", true,
     R"({"colorSpace":"Custom","customColorTint":100,"global":false,"spot":false,"swatchName":"S"})", true},
    {"NeitherSpaceNorSwatch", R"({"channel_1":3})", false, "", false},
    {"NotAnObject", R"("red")", false, "", false},
    {"CmykBlackOver", R"({"colorSpace":"CMYK","channel_4":101})", true,
     R"({"channel_1":0,"channel_2":0,"channel_3":0,"channel_4":101,"colorSpace":"CMYK","global":false,"spot":false})",
     false},
    {"NegativeChannel", R"({"colorSpace":"RGB","channel_2":-1})", true,
     R"({"channel_1":0,"channel_2":-1,"channel_3":0,"colorSpace":"RGB","global":false,"spot":false})", false},
    {"ChannelOfWrongTypeIsZero", R"({"colorSpace":"gray","channel_1":"x"})", true,
     R"({"channel_1":0,"colorSpace":"Grayscale","global":false,"spot":false})", true},
    {"SpotWithoutSwatchIsProcess", R"({"colorSpace":"RGB","spot":true,"global":true})", true,
     R"({"channel_1":0,"channel_2":0,"channel_3":0,"colorSpace":"RGB","global":false,"spot":false})", true},
    {"RemoveFailsCheck", R"({"colorSpace":"remove"})", true,
     R"({"colorSpace":"remove","global":false,"spot":false})", false},
};

class ColorReading : public testing::TestWithParam<ColorCase> {};

TEST_P(ColorReading, ReadsWritesAndChecks) {
    const ColorCase& c = GetParam();
    bool ok = false;
    const PFieldColor color(json::parse(c.input), ok);
    EXPECT_EQ(ok, c.ok);
    if (c.ok) {
        EXPECT_EQ(color.WriteJson(), json::parse(c.written));
        EXPECT_EQ(color.Check(), c.check);
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, ColorReading, testing::ValuesIn(kColorCases),
                         [](const auto& info) { return std::string(info.param.label); });

TEST(ColorReading, FailuresAreTyped) {
    bool ok = false;
    EXPECT_THROW(PFieldColor(json::parse(R"({"colorSpace":"document"})"), ok), ColorSpaceError);
    EXPECT_THROW(PFieldColor(json::parse(R"({"colorSpace":7})"), ok), CommandError);
    // Beyond 32 bits, as an integer of either sign or as a floating-point number, is a wrong type.
    for (const char* tint : {"4294967396", "18446744073709551615", "1e20"}) {
        EXPECT_THROW(
            PFieldColor(json::parse(std::string(R"({"swatchName":"S","customColorTint":)") + tint + "}"), ok),
            CommandError)
            << tint;
    }
}

// A custom colour from the host whose definition can't be read (here: no host at all) stays
// "Custom" with the tint in percent of the full colour; a tint beyond 1 reads as the full colour.
TEST(ColorFromHost, CustomTints) {
    const auto tintOf = [](double tint) {
        AIColor color;
        color.kind = kCustomColor;
        color.c.c = {nullptr, tint};
        return PFieldColor(color).WriteJson();
    };
    EXPECT_EQ(tintOf(0.25),
              json::parse(R"({"colorSpace":"Custom","customColorTint":75,"global":true,"spot":false})"));
    EXPECT_EQ(tintOf(1.5).at("customColorTint"), 100);
}

TEST(PartialColor, TintsOutsideTheRangeAndMerges) {
    EXPECT_EQ(PartialPFieldColor(json::parse(R"({"customColorTint":-50})")).WriteJson(), json::object());
    EXPECT_EQ(PartialPFieldColor(json::parse(R"({"customColorTint":150})")).WriteJson(), json::object());
    EXPECT_EQ(PartialPFieldColor(json::parse(R"({"colorSpace":"blue"})")).WriteJson(), json::object());
    bool ok = false;
    const PFieldColor base(json::parse(R"({"colorSpace":"RGB","channel_1":1,"channel_2":2,"channel_3":3})"),
                           ok);
    const auto merged = [&](const char* partial) {
        return PartialPFieldColor(json::parse(partial)).MergeToPFieldColor(base).WriteJson();
    };
    EXPECT_EQ(merged(R"({"channel_1":255})").at("channel_1"), 255);
    EXPECT_EQ(merged(R"({"channel_1":256})"), base.WriteJson());  // fails Check: the base stays
    EXPECT_EQ(merged(R"({"colorSpace":"CMYK"})").at("colorSpace"), "CMYK");
}

TEST(StyleReading, SkipsMixedEffectsIndicesAndFailures) {
    bool ok = false;
    const GStyle style(
        json::parse(R"({"paintFields":[{"skip":true,"color":{}},{"fillIndex":2},{"strokeIndex":1},
        {"pFieldStroke":{"width":2}},{"fillIndex":1,"pFieldStroke":{}},{"pfIndex":0},{"pfIndex":-4}],
        "effects":[{"name":"Host Roughen"},{"name":"Host Drop Shadow","skip":false}],"contentsPosition":3,"opacity":100})"),
        ok);
    ASSERT_TRUE(ok);
    ASSERT_EQ(style.paintFields.size(), 6u);
    EXPECT_EQ(style.paintFieldsJson.size(), 6u);
    EXPECT_TRUE(style.paintFields[0].isFill && style.paintFields[0].isFillKnown);
    EXPECT_EQ(style.paintFields[0].fillIndex, 1);
    EXPECT_FALSE(style.paintFields[1].isFill);
    EXPECT_FALSE(style.paintFields[2].isFill);
    EXPECT_FALSE(style.paintFields[3].isFillKnown);
    EXPECT_EQ(style.paintFields[4].pfIndex, -1);
    EXPECT_EQ(style.paintFields[5].pfIndex, 0);
    const json written = style.WriteJson();
    EXPECT_EQ(written.at("preEffects").size(), 1u);
    EXPECT_EQ(written.at("postEffects").size(), 1u);
    EXPECT_FALSE(written.contains("effects"));
    EXPECT_FALSE(written.contains("opacity"));
    EXPECT_EQ(written.at("contentsPosition"), 3);
    EXPECT_EQ(written.at("paintFields")[0].at("mode"), "addEdit");
    EXPECT_EQ(written.at("paintFields")[4].at("pfIndex"), 0);
    EXPECT_EQ(written.at("paintFields")[5].at("pfIndex"), 1);

    const char* failing[] = {
        R"({"paintFields":{}})",
        R"({"paintFields":[{"isFill":"yes"}]})",
        R"({"preEffects":[{"name":"X","parameters":{"R a":1}}]})",
        R"({"paintFields":[{"pFieldStroke":{"dashVector":["a"]}}]})",
        R"({"contentsPosition":-2147483648})",
        R"({"contentsPosition":18446744073709551615})",
        R"({"preEffects":[{"name":"X","effectIndex":18446744073709551614}]})",
    };
    for (const char* text : failing) {
        const GStyle failed(json::parse(text), ok);
        EXPECT_FALSE(ok) << text;
    }
}

TEST(StyleReading, EffectColourKeys) {
    bool ok = false;
    const Effect effect(
        json::parse(R"({"name":"E","FillColor":{"colorSpace":"RGB"},"FillColor ":{"colorSpace":"RGB"},
        "Other x":{"colorSpace":"RGB"},"FillColor a":{"colorSpace":"RGB"},"StrokeColor b":{"colorSpace":"remove"},
        "FillColor c":{"colorSpace":"RGB","channel_1":999}})"),
        ok);
    ASSERT_TRUE(ok);
    EXPECT_EQ(effect.fillColors.size(), 1u);
    EXPECT_EQ(effect.strokeColors.size(), 1u);
    const Effect unknownSpace(json::parse(R"({"name":"E","FillColor a":{"colorSpace":"Purple"}})"), ok);
    EXPECT_FALSE(ok);
}

}  // namespace
