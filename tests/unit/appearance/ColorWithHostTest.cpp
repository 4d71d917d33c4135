// The colour record over the stand-in host: what the reader converts on the way in, and how a
// partial colour lays over a colour without a swatch.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "StandIn.h"
#include "appearance/Colors.h"
#include "appearance/Swatches.h"

namespace {

struct ConvertCase {
    const char* label;
    host::model::ColorModel model;
    const char* input;
    const char* written;
};

using Model = host::model::ColorModel;

const ConvertCase kConvertCases[] = {
    {"LabWithoutSwatchTakesTheDocumentsSpace", Model::rgb,
     R"({"colorSpace":"Lab","channel_1":100,"channel_2":0,"channel_3":0})",
     R"({"channel_1":255,"channel_2":255,"channel_3":255,"colorSpace":"RGB","global":false,"spot":false})"},
    {"SpotWithoutSwatchInACmykDocument", Model::cmyk, R"({"colorSpace":"RGB","channel_1":255,"spot":true})",
     R"({"channel_1":0,"channel_2":100,"channel_3":100,"channel_4":0,"colorSpace":"CMYK","global":false,"spot":false})"},
    {"DocumentAsTarget", Model::rgb, R"({"colorSpace":"gray","channel_1":100,"destColorSpace":"document"})",
     R"({"channel_1":0,"channel_2":0,"channel_3":0,"colorSpace":"RGB","global":false,"spot":false})"},
    {"LabTargetInAnyCaseMeansTheDocument", Model::rgb,
     R"({"colorSpace":"RGB","channel_1":255,"destColorSpace":"lab"})",
     R"({"channel_1":255,"channel_2":0,"channel_3":0,"colorSpace":"RGB","global":false,"spot":false})"},
    {"TargetThatIsNoConvertibleSpace", Model::rgb,
     R"({"colorSpace":"RGB","channel_1":255,"destColorSpace":"Pattern"})",
     R"({"channel_1":255,"channel_2":0,"channel_3":0,"colorSpace":"RGB","global":false,"spot":false})"},
    {"NamedLabStaysLab", Model::cmyk,
     R"({"swatchName":"L","colorSpace":"Lab","channel_1":50,"channel_2":-20,"channel_3":30})",
     R"({"channel_1":50,"channel_2":-20,"channel_3":30,"colorSpace":"Lab","global":false,"spot":false,"swatchName":"L"})"},
};

class ColorReadingWithHost : public testing::TestWithParam<ConvertCase> {};

TEST_P(ColorReadingWithHost, Converts) {
    const ConvertCase& c = GetParam();
    unittest::StandIn host;
    host.App().NewDocument();
    host.Doc().editColors().setColorModel(c.model);
    bool ok = false;
    const PFieldColor color(json::parse(c.input), ok);
    ASSERT_TRUE(ok);
    EXPECT_EQ(color.WriteJson(), json::parse(c.written));
}

INSTANTIATE_TEST_SUITE_P(Cases, ColorReadingWithHost, testing::ValuesIn(kConvertCases),
                         [](const auto& info) { return std::string(info.param.label); });

// A swatch name alone names no colour: laid over a colour without a swatch it keeps that colour and
// carries the name. A gradient that loses its swatch name can't become a host colour.
TEST(PartialColorWithHost, SwatchNameAloneAndGradientWithoutName) {
    unittest::StandIn host;
    host.App().NewDocument();
    bool ok = false;
    const PFieldColor plain(json::parse(R"({"colorSpace":"RGB","channel_1":1})"), ok);
    PFieldColor result;
    AIColor hostColor;
    bool colourOk = false;
    bool swatchOk = false;
    PartialPFieldColor(json::parse(R"({"swatchName":"Fresh"})"))
        .AddToPFieldColor(plain, plain, result, hostColor, colourOk, swatchOk);
    EXPECT_TRUE(colourOk && swatchOk);
    EXPECT_EQ(
        result.WriteJson(),
        json::parse(
            R"({"channel_1":1,"channel_2":0,"channel_3":0,"colorSpace":"RGB","global":false,"spot":false,"swatchName":"Fresh"})"));
    EXPECT_EQ(hostColor.kind, kThreeColor);

    PFieldColor gradient;
    gradient.colorSpace = "Gradient";
    gradient.swatchName = "Sunset";
    hostColor = AIColor{};
    PartialPFieldColor().AddToPFieldColor(gradient, gradient, result, hostColor, colourOk, swatchOk);
    EXPECT_FALSE(swatchOk);
    EXPECT_EQ(result.swatchName, "");
    EXPECT_EQ(hostColor.kind, kNoneColor);
}

// A gradient (or pattern) edited under a name no swatch has is copied to a new swatch of that name
// rather than changed in place; a copy that can't be named leaves nothing behind.
TEST(PartialColorWithHost, AGradientEditedUnderANewNameIsDuplicated) {
    unittest::StandIn host;
    std::ifstream file(PLIM_EXAMPLES_DIR "/appearance.json");
    std::stringstream text;
    text << file.rdbuf();
    host.Load(text.str());
    bool found = false;
    const PFieldColor sunset(std::string("Sunset"), found);
    ASSERT_TRUE(found);
    PFieldColor result;
    AIColor hostColor;
    bool colourOk = true;
    bool swatchOk = false;
    PartialPFieldColor(json::parse(R"({"swatchName":"Dusk"})"))
        .AddToPFieldColor(sunset, sunset, result, hostColor, colourOk, swatchOk);
    EXPECT_FALSE(colourOk);
    EXPECT_TRUE(swatchOk);
    EXPECT_EQ(PFieldColor(std::string("Dusk"), found).colorSpace, "Gradient");
    EXPECT_TRUE(found);
    EXPECT_EQ(hostColor.kind, kGradient);

    const std::size_t swatches = host.Doc().colors().swatches().size();
    EXPECT_FALSE(DuplicateSwatch("Sunset", "[None]", hostColor));  // a name no swatch may take
    EXPECT_FALSE(DuplicateSwatch("Sunset", "", hostColor));
    EXPECT_EQ(host.Doc().colors().swatches().size(), swatches);
}

}  // namespace
