// The renderer's live effects: a style's effects read into typed records (their parameters and how
// far they reach), the box blur at any radius, and pictures of documents whose effects, blend modes
// and symbol scales would ask for more work than a picture holds.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <numeric>
#include <string>
#include <vector>

#include "model/DocumentFormat.h"
#include "render/Effects.h"
#include "render/Renderer.h"

namespace {

using host::DropShadow;
using host::Effects;
using host::GaussianBlur;
using host::InnerGlow;
using host::OuterGlow;

host::model::Document ReadDocument(const std::string& text) {
    host::model::ReadResult read = host::model::readDocument(text, 1);
    EXPECT_TRUE(read.document) << read.error;
    return read.document ? std::move(*read.document) : host::model::Document(std::uint64_t{1});
}

// A document of one artboard [0, side, side, 0] with the symbols and the layer's art given as JSON.
std::string DocumentText(const std::string& symbols, const std::string& art, double side = 100.0) {
    const std::string s = std::to_string(side);
    return R"({"format": "plimhost-document", "version": 1, "artboards": [{"rect": [0.0, )" + s + ", " + s +
           R"(, 0.0], "name": "A"}], "symbols": [)" + symbols +
           R"(], "layers": [{"type": "layer", "title": "Art", "children": [)" + art + "]}]}";
}

// A square path of the side at (x, y), filled red, with the style's further keys.
std::string Square(double x, double y, double side, const std::string& styleKeys = "") {
    const auto point = [](double px, double py) {
        return R"({"anchor": [)" + std::to_string(px) + ", " + std::to_string(py) + "]}";
    };
    return R"({"type": "path", "closed": true, "segments": [)" + point(x, y) + ", " + point(x + side, y) +
           ", " + point(x + side, y + side) + ", " + point(x, y + side) +
           R"(], "style": {"paintFields": [{"fill": {"color": {"rgb": [1.0, 0.0, 0.0]}}}])" +
           (styleKeys.empty() ? "" : ", " + styleKeys) + "}}";
}

std::string Effect(const std::string& name, const std::string& parameters = "") {
    return R"({"name": ")" + name + R"(", "parameters": {)" + parameters + "}}";
}

std::string Real(const std::string& key, double value) {
    char text[64];
    std::snprintf(text, sizeof text, "%.17g", value);
    return "\"" + key + R"(": {"type": "real", "value": )" + text + "}";
}

// The effects of the first object of the document's layer.
Effects EffectsOfFirst(const host::model::Document& document) {
    const host::model::ArtId group = *document.layers().group(document.layers().first());
    const host::model::ArtNode* first = document.find(document.find(group)->children.front());
    return Effects(document, first->data->style);
}

Effects ParsedEffects(const std::string& effects) {
    const host::model::Document document =
        ReadDocument(DocumentText("", Square(0, 0, 10, R"("postEffects": [)" + effects + "]")));
    return EffectsOfFirst(document);
}

TEST(EffectRecords, EachKnownEffectIsReadWithItsParameters) {
    const Effects effects =
        ParsedEffects(Effect("Host Drop Shadow",
                             Real("blur", 4.0) + ", " + Real("horz", 3.0) + ", " + Real("vert", -2.0) + ", " +
                                 Real("opac", 0.5) +
                                 R"(, "blnd": {"type": "integer", "value": 3}, "sclr": {"type": "fillStyle",
                                          "value": {"color": {"rgb": [0.0, 0.0, 1.0]}}})") +
                      ", " + Effect("Host Outer Glow") + ", " +
                      Effect("Host Inner Glow", R"("gtyp": {"type": "integer", "value": 0})") + ", " +
                      Effect("Host PSL Gaussian Blur", Real("blur", 2.0)) + ", " + Effect("Host Roughen"));
    ASSERT_EQ(effects.records().size(), 4u);
    const auto& shadow = std::get<DropShadow>(effects.records()[0]);
    EXPECT_EQ(shadow.blur, 4.0);
    EXPECT_EQ(shadow.right, 3.0);
    EXPECT_EQ(shadow.down, -2.0);
    EXPECT_EQ(shadow.opacity, 0.5);
    EXPECT_EQ(shadow.mode, 3);
    EXPECT_EQ(shadow.rgb, (std::array<double, 3>{0.0, 0.0, 1.0}));
    const auto& glow = std::get<OuterGlow>(effects.records()[1]);
    EXPECT_EQ(glow.blur, 5.0);
    EXPECT_EQ(glow.mode, 2);
    EXPECT_FALSE(std::get<InnerGlow>(effects.records()[2]).fromEdges);
    EXPECT_EQ(std::get<GaussianBlur>(effects.records()[3]).blur, 2.0);
    // The shadow reaches furthest: one and a half blurs and both offsets.
    EXPECT_DOUBLE_EQ(effects.Reach(), 1.5 * 4.0 + 3.0 + 2.0);
}

struct ReachCase {
    const char* name;
    std::string effects;
    std::size_t records;
    double reach;
};

class EffectReach : public testing::TestWithParam<ReachCase> {};

TEST_P(EffectReach, IsHeldToWhatTheEffectsCanDraw) {
    const Effects effects = ParsedEffects(GetParam().effects);
    EXPECT_EQ(effects.records().size(), GetParam().records);
    EXPECT_DOUBLE_EQ(effects.Reach(), GetParam().reach);
    EXPECT_TRUE(std::isfinite(effects.Reach()));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, EffectReach,
    testing::Values(
        ReachCase{"None", "", 0, 0.0},
        ReachCase{"Hidden", R"({"name": "Host Outer Glow", "visible": false, "parameters": {}})", 0, 0.0},
        ReachCase{"Unknown", Effect("Host Twist"), 0, 0.0},
        ReachCase{"DefaultShadow", Effect("Host Drop Shadow"), 1, 1.5 * 5.0 + 14.0},
        ReachCase{"InnerGlowStaysInside", Effect("Host Inner Glow", Real("blur", 40.0)), 1, 0.0},
        ReachCase{"BlurHeldTo250Points", Effect("Host PSL Gaussian Blur", Real("blur", 1e300)), 1, 375.0},
        ReachCase{"NegativeBlurIsNone", Effect("Host Outer Glow", Real("blur", -5.0)), 1, 0.0},
        ReachCase{"TextBlurTakesTheDefault",
                  Effect("Host PSL Gaussian Blur", R"("blur": {"type": "string", "value": "x"})"), 1, 15.0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(EffectRecords, ModesAndOpacitiesOutOfRangeAreHeld) {
    const Effects effects = ParsedEffects(
        Effect("Host Outer Glow", R"("blnd": {"type": "integer", "value": 99}, )" + Real("opac", 7.0)) +
        ", " +
        Effect("Host Drop Shadow", R"("blnd": {"type": "integer", "value": -1}, )" + Real("opac", -1.0)));
    ASSERT_EQ(effects.records().size(), 2u);
    EXPECT_EQ(std::get<OuterGlow>(effects.records()[0]).mode, 0);
    EXPECT_EQ(std::get<OuterGlow>(effects.records()[0]).opacity, 1.0);
    EXPECT_EQ(std::get<DropShadow>(effects.records()[1]).mode, 0);
    EXPECT_EQ(std::get<DropShadow>(effects.records()[1]).opacity, 0.0);
}

// What becomes of the light: kept where it was, spread around, or spread too thinly to show.
enum class Light { kept, spread, vanished };

struct BlurCase {
    const char* name;
    double radius;
    Light light;
};

class BoxBlurRadius : public testing::TestWithParam<BlurCase> {};

// One bright pixel in the middle of a 9 x 9 image; every radius finishes, however large.
TEST_P(BoxBlurRadius, SpreadsOrKeepsTheLight) {
    constexpr int kSide = 9;
    std::vector<unsigned char> image(kSide * kSide, 0);
    image[4 * kSide + 4] = 255;
    host::BoxBlur(image.data(), kSide, kSide, kSide, 1, GetParam().radius);
    const int centre = image[4 * kSide + 4];
    const int beside = image[4 * kSide + 5];
    switch (GetParam().light) {
        case Light::kept:
            EXPECT_EQ(centre, 255);
            EXPECT_EQ(beside, 0);
            break;
        case Light::spread:
            EXPECT_GT(centre, beside);
            EXPECT_GT(beside, 0);
            break;
        case Light::vanished:
            EXPECT_EQ(std::accumulate(image.begin(), image.end(), 0), 0);
            break;
    }
    EXPECT_EQ(image[4 * kSide + 3], beside) << "the blur is symmetric";
    EXPECT_EQ(image[3 * kSide + 4], beside) << "the blur is symmetric";
}

INSTANTIATE_TEST_SUITE_P(
    Cases, BoxBlurRadius,
    testing::Values(BlurCase{"Zero", 0.0, Light::kept}, BlurCase{"BelowOnePixel", 0.9, Light::kept},
                    BlurCase{"NotANumber", std::nan(""), Light::kept},
                    BlurCase{"Negative", -4.0, Light::kept}, BlurCase{"TwoPixels", 2.0, Light::spread},
                    BlurCase{"FourPixels", 4.0, Light::spread},
                    // A radius far beyond the image spreads its light too thinly to show.
                    BlurCase{"ThreeBillionPixels", 3e9, Light::vanished},
                    BlurCase{"Infinite", std::numeric_limits<double>::infinity(), Light::vanished},
                    BlurCase{"Largest", std::numeric_limits<double>::max(), Light::vanished}),
    [](const auto& info) { return std::string(info.param.name); });

// The rendered RGB of the pixel at the document point (y up, on an artboard of the side).
std::array<int, 3> PixelAt(const host::model::RasterPixels& pixels, double x, double y, double side) {
    const std::size_t column = static_cast<std::size_t>(x);
    const std::size_t row = static_cast<std::size_t>(side - y);
    const std::uint8_t* p = &pixels.bytes[(row * pixels.width + column) * pixels.channels()];
    return {p[0], p[1], p[2]};
}

std::optional<host::model::RasterPixels> Picture(const host::model::Document& document,
                                                 bool transparent = false) {
    host::RenderSettings settings;
    settings.transparent = transparent;
    return host::RenderArt(document, host::LayerGroupsBottomFirst(document),
                           document.artboards().front().bounds, settings);
}

struct PictureCase {
    const char* name;
    std::string symbols;
    std::string art;
    double x, y;  // a point whose colour is known
    std::array<int, 3> rgb;
    int tolerance;
};

class BoundedEffects : public testing::TestWithParam<PictureCase> {};

// Each document asks for more than a picture holds (a blur of millions of device pixels, a scale
// whose inverse is infinite); each still gives its picture.
TEST_P(BoundedEffects, GiveAPicture) {
    const PictureCase& c = GetParam();
    const host::model::Document document = ReadDocument(DocumentText(c.symbols, c.art));
    const std::optional<host::model::RasterPixels> pixels = Picture(document);
    ASSERT_TRUE(pixels);
    const std::array<int, 3> rgb = PixelAt(*pixels, c.x, c.y, 100.0);
    for (int i = 0; i < 3; ++i) {
        EXPECT_NEAR(rgb[i], c.rgb[i], c.tolerance) << "channel " << i;
    }
}

const std::string kBlurred =
    R"("postEffects": [)" + Effect("Host PSL Gaussian Blur", Real("blur", 250.0)) + "]";
const std::string kGlowing =
    R"("blend": {"mode": 2}, "postEffects": [)" + Effect("Host Outer Glow", Real("blur", 5.0)) + "]";

std::string Symbol(const std::string& name, const std::string& art) {
    return R"({"name": ")" + name + R"(", "art": )" + art + "}";
}

std::string Instance(const std::string& name, double frame, double a, double d, double tx, double ty) {
    char text[256];
    std::snprintf(
        text, sizeof text,
        R"({"type": "symbol", "symbol": "%s", "frame": [0.0, %.17g, %.17g, 0.0], "matrix": [%.17g, 0.0, 0.0, %.17g, %.17g, %.17g]})",
        name.c_str(), frame, frame, a, d, tx, ty);
    return text;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, BoundedEffects,
    testing::Values(
        // A 0.001-point square blurred by 250 points, shown 200 points wide: a blur of 50 million
        // pixels, which leaves the square too thin to see.
        PictureCase{"TinyObjectHugeBlurInASymbol",
                    Symbol("Tiny", Square(0, 0, 0.001, kBlurred)),
                    Instance("Tiny", 200.0, 1.0, 1.0, 0.0, 0.0),
                    50.5,
                    50.5,
                    {255, 255, 255},
                    2},
        // The same six times larger: a radius of three billion pixels.
        PictureCase{"ThreeBillionPixelBlur",
                    Symbol("Tiny", Square(0, 0, 0.001, kBlurred)),
                    Instance("Tiny", 200.0, 6.0, 6.0, 0.0, 0.0),
                    50.5,
                    50.5,
                    {255, 255, 255},
                    2},
        // A screen-blended glowing square through symbols whose scale has no finite inverse (its
        // determinant near 1e-310): nothing shows, the square beside it does.
        PictureCase{"BlendAndGlowAtScale1e155",
                    Symbol("G", Square(0, 0, 10, kGlowing)),
                    Instance("G", 10.0, 1e-155, 1e-155, 50.0, 50.0) + ", " + Square(80, 80, 10),
                    85.5,
                    85.5,
                    {255, 0, 0},
                    0},
        PictureCase{"BlendAndGlowFlattenedTo1e310",
                    Symbol("G", Square(0, 0, 10, kGlowing)),
                    Instance("G", 10.0, 1.0, 1e-310, 50.0, 50.0) + ", " + Square(80, 80, 10),
                    85.5,
                    85.5,
                    {255, 0, 0},
                    0},
        // A shadow offset by more than any picture: the square shows, its shadow nowhere.
        PictureCase{
            "ShadowOffsetBeyondThePicture",
            "",
            Square(10, 10, 20,
                   R"("postEffects": [)" +
                       Effect("Host Drop Shadow", Real("horz", 1e300) + ", " + Real("vert", -1e300)) + "]"),
            15.5,
            15.5,
            {255, 0, 0},
            0},
        // A shadow's image is the size of the square and its reach: the shadow still lies 7 points
        // right and 7 down, in full.
        PictureCase{
            "ShadowInItsOwnImage",
            "",
            Square(10, 60, 20,
                   R"("postEffects": [)" +
                       Effect("Host Drop Shadow", Real("blur", 0.0) + ", " + Real("opac", 1.0) +
                                                      R"(, "blnd": {"type": "integer", "value": 0})") +
                       "]"),
            35.5,
            55.5,
            {0, 0, 0},
            0}),
    [](const auto& info) { return std::string(info.param.name); });

// Blend modes mix an object with what the document holds below it; over nothing an object shows its
// own colour, on white as with a transparent background.
TEST(BlendsOverNothing, ShowTheObjectsOwnColour) {
    for (int mode = 1; mode <= 15; ++mode) {
        const host::model::Document document = ReadDocument(
            DocumentText("", Square(10, 10, 20, R"("blend": {"mode": )" + std::to_string(mode) + "}")));
        const std::optional<host::model::RasterPixels> onWhite = Picture(document);
        ASSERT_TRUE(onWhite);
        EXPECT_EQ(PixelAt(*onWhite, 15.5, 15.5, 100.0), (std::array<int, 3>{255, 0, 0})) << "mode " << mode;
        EXPECT_EQ(PixelAt(*onWhite, 50.5, 50.5, 100.0), (std::array<int, 3>{255, 255, 255}))
            << "mode " << mode;
    }
}

}  // namespace
