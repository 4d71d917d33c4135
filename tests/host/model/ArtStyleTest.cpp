// Art styles in the model: their values, their text in the document format (with the older
// "strokeWidth"), raster pixels, and stroke outlines.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include <nlohmann/json.hpp>

#include "model/ArtPaintFormat.h"
#include "model/ArtStyle.h"
#include "model/DocumentFormat.h"
#include "model/Region.h"
#include "model/StrokeOutline.h"

namespace {

using namespace host::model;

std::string DocumentWith(const std::string& art) {
    return R"({"format": "plimhost-document", "version": 1, "layers": [{"type": "layer", "title": "L", "children": [)" +
           art + "]}]}";
}

const ArtData& FirstArt(const Document& document) {
    const ArtId layerGroup = *document.layers().group(document.layers().first());
    return *document.find(*document.firstChild(layerGroup))->data;
}

// --- Style values ------------------------------------------------------------------------------------

TEST(ArtStyleValue, FocalPaintFieldsAreTheFirstFillAndStroke) {
    ArtStyle style;
    style.paintFields = {PaintField::stroke(Color::black(), 3), PaintField::fill(Color::gray(0.5)),
                         PaintField::stroke(Color::rgb(1, 0, 0), 7), PaintField::fill(Color::none())};
    EXPECT_EQ(style.focalStrokeIndex(), 0u);
    EXPECT_EQ(style.focalFillIndex(), 1u);
    // The visible bounds take the widest stroke that paints.
    EXPECT_EQ(style.strokeWidth(), 7.0);
    style.paintFields[2].visible = false;
    EXPECT_EQ(style.strokeWidth(), 3.0);
}

TEST(ArtStyleValue, SimplifiedKeepsTheFocalFillBelowTheFocalStroke) {
    ArtStyle style;
    style.paintFields = {PaintField::stroke(Color::black(), 3), PaintField::fill(Color::gray(0.5)),
                         PaintField::fill(Color::rgb(0, 1, 0))};
    style.paintFields[1].effects.push_back(Effect{"Host Drop Shadow", 1, true, {}});
    style.preEffects.push_back(Effect{"Host Roughen", 1, true, {}});
    style.blend.opacity = 0.5;
    style.contentsPosition = 2;
    const ArtStyle basic = style.simplified();
    ASSERT_EQ(basic.paintFields.size(), 2u);
    EXPECT_TRUE(basic.paintFields[0].isFill());
    EXPECT_EQ(basic.paintFields[0].fillPaint()->color, Color::gray(0.5));
    EXPECT_TRUE(basic.paintFields[0].effects.empty());
    EXPECT_TRUE(basic.paintFields[1].isStroke());
    EXPECT_TRUE(basic.preEffects.empty());
    EXPECT_EQ(basic.blend, BlendAttributes{});
    EXPECT_EQ(basic.contentsPosition, 0u);
}

TEST(ArtStyleValue, ScalingStrokesScalesWidthsAndDashes) {
    ArtStyle style = ArtStyle::ofStrokeWidth(2);
    style.paintFields[0].strokePaint()->dashes = {4, 2};
    style.scaleStrokes(1.5);
    EXPECT_EQ(style.paintFields[0].strokePaint()->width, 3.0);
    EXPECT_EQ(style.paintFields[0].strokePaint()->dashes, (std::vector<double>{6, 3}));
}

struct BadStyle {
    const char* name;
    void (*change)(ArtStyle&);
};

class ArtStyleLimits : public testing::TestWithParam<BadStyle> {};

TEST_P(ArtStyleLimits, AreRefusedBySetStyle) {
    ArtStyle style = ArtStyle::basic(Color::gray(0.2), Color::black(), 1);
    GetParam().change(style);
    EXPECT_EQ(style.check(), Status::badParameter);
    Document document(1);
    const ArtId path = *document.newArt(ArtType::path, PaintOrder::insideOnTop,
                                        *document.layers().group(document.layers().first()));
    EXPECT_EQ(document.setStyle(path, style), Status::badParameter);
    EXPECT_EQ(*document.style(path), ArtStyle{});
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ArtStyleLimits,
    testing::Values(
        BadStyle{"negativeWidth", [](ArtStyle& s) { s.paintFields[1].strokePaint()->width = -1; }},
        BadStyle{"infiniteWidth", [](ArtStyle& s) { s.paintFields[1].strokePaint()->width = INFINITY; }},
        BadStyle{"componentAboveOne",
                 [](ArtStyle& s) { s.paintFields[0].fillPaint()->color.values[0] = 1.5; }},
        BadStyle{"nanComponent", [](ArtStyle& s) { s.paintFields[0].fillPaint()->color.values[0] = NAN; }},
        BadStyle{"opacityAboveOne", [](ArtStyle& s) { s.blend.opacity = 2; }},
        BadStyle{"unknownBlendMode", [](ArtStyle& s) { s.paintFields[0].blend.mode = 16; }},
        BadStyle{"miterLimitBelowOne", [](ArtStyle& s) { s.paintFields[1].strokePaint()->miterLimit = 0.5; }},
        BadStyle{"negativeDash", [](ArtStyle& s) { s.paintFields[1].strokePaint()->dashes = {-1}; }},
        BadStyle{"contentsBeyondFields", [](ArtStyle& s) { s.contentsPosition = 3; }}),
    [](const testing::TestParamInfo<BadStyle>& info) { return info.param.name; });

TEST(ArtStyleValue, StrokeWidthSetterEditsTheFocalStroke) {
    Document document(1);
    const ArtId path = *document.newArt(ArtType::path, PaintOrder::insideOnTop,
                                        *document.layers().group(document.layers().first()));
    ASSERT_EQ(document.setStyle(path, ArtStyle::basic(Color::gray(0.3), std::nullopt, 0)), Status::ok);
    ASSERT_EQ(document.setStrokeWidth(path, 5), Status::ok);
    EXPECT_EQ(*document.style(path), ArtStyle::basic(Color::gray(0.3), Color::black(), 5));
    ASSERT_EQ(document.setStrokeWidth(path, 0), Status::ok);
    EXPECT_EQ(*document.style(path), ArtStyle::basic(Color::gray(0.3), std::nullopt, 0));
}

// --- The document format ------------------------------------------------------------------------------

TEST(ArtStyleFormat, OlderStrokeWidthReadsAsABlackStrokeAndIsWrittenBack) {
    const std::string text = DocumentWith(
        R"({"type": "path", "uuid": "00000000-0000-4000-8000-000000000001", "strokeWidth": 2.5})");
    ReadResult read = readDocument(text, 1);
    ASSERT_TRUE(read.document) << read.error;
    EXPECT_EQ(FirstArt(*read.document).style, ArtStyle::ofStrokeWidth(2.5));
    const WriteResult written = writeDocument(*read.document);
    ASSERT_TRUE(written.text) << written.error;
    EXPECT_NE(written.text->find("\"strokeWidth\": 2.5"), std::string::npos);
    EXPECT_EQ(written.text->find("\"style\""), std::string::npos);
}

TEST(ArtStyleFormat, EveryPartOfAStyleSurvivesSavingAndOpening) {
    const std::string style = R"({"paintFields": [
        {"fill": {"color": {"cmyk": [0.1, 0.2, 0.3, 0.4]}, "overprint": true}, "evenOdd": true,
         "blend": {"mode": 3, "opacity": 0.25, "knockout": 2},
         "effects": [{"name": "Host Drop Shadow", "version": 2, "visible": false,
                      "parameters": {"dist": {"type": "real", "value": 7.5}}}]},
        {"stroke": {"color": {"rgb": [1, 0, 0.5]}, "width": 3.0, "cap": "round", "join": "bevel", "miterLimit": 10.0,
                    "dashes": [4.0, 2.0], "dashOffset": 1.0, "parameters": {"StrokeOffsetInside": {"type": "boolean", "value": true}}},
         "visible": false},
        {}],
      "preEffects": [{"name": "Host Roughen"}], "postEffects": [{"name": "Host Blur"}],
      "contentsPosition": 1, "blend": {"opacityEnabled": false, "isolated": true, "alphaIsShape": true}})";
    ReadResult read = readDocument(DocumentWith(R"({"type": "path", "style": )" + style + "}"), 1);
    ASSERT_TRUE(read.document) << read.error;
    const ArtStyle& first = FirstArt(*read.document).style;
    ASSERT_EQ(first.paintFields.size(), 3u);
    EXPECT_EQ(first.paintFields[0].fillPaint()->color, Color::cmyk(0.1, 0.2, 0.3, 0.4));
    EXPECT_EQ(first.paintFields[1].strokePaint()->join, LineJoin::bevel);
    EXPECT_FALSE(first.paintFields[2].isFill() || first.paintFields[2].isStroke());
    EXPECT_EQ(first.contentsPosition, 1u);
    const WriteResult written = writeDocument(*read.document);
    ASSERT_TRUE(written.text) << written.error;
    EXPECT_EQ(nlohmann::json::parse(*written.text).dump(2) + "\n", *written.text)
        << "keys in canonical order";
    ReadResult again = readDocument(*written.text, 1);
    ASSERT_TRUE(again.document) << again.error;
    EXPECT_EQ(FirstArt(*again.document).style, first);
    EXPECT_EQ(*writeDocument(*again.document).text, *written.text);
}

struct BadText {
    const char* name;
    const char* art;
    const char* message;
};

class ArtStyleFormatErrors : public testing::TestWithParam<BadText> {};

TEST_P(ArtStyleFormatErrors, NameThePlace) {
    const ReadResult read = readDocument(DocumentWith(GetParam().art), 1);
    ASSERT_FALSE(read.document);
    EXPECT_NE(read.error.find(GetParam().message), std::string::npos) << read.error;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ArtStyleFormatErrors,
    testing::Values(
        BadText{"both", R"({"type": "path", "strokeWidth": 1, "style": {}})", "not both"},
        BadText{"fillAndStroke",
                R"({"type": "path", "style": {"paintFields": [{"fill": {}, "stroke": {}}]}})", "not both"},
        BadText{"unknownKey", R"({"type": "path", "style": {"paint": []}})", "style: unknown key \"paint\""},
        BadText{"colourKind",
                R"({"type": "path", "style": {"paintFields": [{"fill": {"color": {"lab": [1, 2, 3]}}}]}})",
                "unknown colour kind"},
        BadText{"component",
                R"({"type": "path", "style": {"paintFields": [{"fill": {"color": {"rgb": [1, 2, 0]}}}]}})",
                "paintFields[0].fill.color.rgb[1]"},
        BadText{"negativeWidth", R"({"type": "path", "style": {"paintFields": [{"stroke": {"width": -2}}]}})",
                "at least 0"},
        BadText{"cap", R"({"type": "path", "style": {"paintFields": [{"stroke": {"cap": "flat"}}]}})",
                "unknown name"},
        BadText{"contents", R"({"type": "path", "style": {"contentsPosition": 1}})", "contentsPosition"},
        BadText{"effectName", R"({"type": "path", "style": {"preEffects": [{"visible": true}]}})",
                "the effect's name"},
        BadText{
            "pixelsShort",
            R"({"type": "raster", "frame": [0, 1, 1, 0], "pixels": {"width": 2, "height": 1, "data": "AAAA"}})",
            "does not match"},
        BadText{
            "pixelsNotBase64",
            R"({"type": "raster", "frame": [0, 1, 1, 0], "pixels": {"width": 1, "height": 1, "data": "A!A="}})",
            "base64"},
        BadText{
            "pixelsTooWide",
            R"({"type": "raster", "frame": [0, 1, 1, 0], "pixels": {"width": 16384, "height": 1, "data": ""}})",
            "width"}),
    [](const testing::TestParamInfo<BadText>& info) { return info.param.name; });

TEST(RasterPixelsFormat, PixelsSurviveSavingAndOpening) {
    const std::string art =
        R"({"type": "raster", "frame": [0, 2, 2, 0], "pixels": {"width": 2, "height": 1, "space": "gray",
                                "alpha": true, "data": ")" +
        encodeBase64({0, 255, 128, 7}) + R"("}})";
    ReadResult read = readDocument(DocumentWith(art), 1);
    ASSERT_TRUE(read.document) << read.error;
    const auto& raster = std::get<RasterContent>(FirstArt(*read.document).content);
    EXPECT_EQ(raster.pixels.bytes, (std::vector<std::uint8_t>{0, 255, 128, 7}));
    EXPECT_EQ(raster.pixels.channels(), 2u);
    ReadResult again = readDocument(*writeDocument(*read.document).text, 1);
    ASSERT_TRUE(again.document);
    EXPECT_EQ(std::get<RasterContent>(FirstArt(*again.document).content), raster);
}

struct Base64Case {
    std::vector<std::uint8_t> bytes;
    const char* text;
};

class Base64 : public testing::TestWithParam<Base64Case> {};

TEST_P(Base64, EncodesAndDecodes) {
    EXPECT_EQ(encodeBase64(GetParam().bytes), GetParam().text);
    EXPECT_EQ(decodeBase64(GetParam().text), GetParam().bytes);
}

INSTANTIATE_TEST_SUITE_P(Cases, Base64,
                         testing::Values(Base64Case{{}, ""}, Base64Case{{'f'}, "Zg=="},
                                         Base64Case{{'f', 'o'}, "Zm8="}, Base64Case{{'f', 'o', 'o'}, "Zm9v"},
                                         Base64Case{{0xFF, 0xFE, 0x00, 0x01}, "//4AAQ=="}));

TEST(Base64, RefusesTextThatIsNotCanonical) {
    for (const char* text : {"Zg=", "Zh==", "Z===", "Zm 9", "=Zm9"}) {
        EXPECT_FALSE(decodeBase64(text)) << text;
    }
}

// --- Stroke outlines ----------------------------------------------------------------------------------

double AreaOf(const std::vector<PathGeometry>& outlines) {
    return Region::fromPaths(outlines, FillRule::evenOdd).area();
}

TEST(StrokeOutline, ClosedRectangleGivesARingOfTheStrokesWidth) {
    StrokePaint stroke;
    stroke.width = 4;
    const std::vector<PathGeometry> outlines =
        strokeOutline({PathGeometry::rectangle(Rect(10, 90, 50, 50))}, stroke);
    ASSERT_EQ(outlines.size(), 2u);
    // Mitred corners: the outer square is 44 wide, the inner 36.
    EXPECT_NEAR(AreaOf(outlines), 44.0 * 44.0 - 36.0 * 36.0, 1e-3);
    const Rect bounds = Region::fromPaths(outlines, FillRule::evenOdd).bounds();
    EXPECT_NEAR(bounds.left, 8, 1e-3);
    EXPECT_NEAR(bounds.top, 92, 1e-3);
}

struct CapCase {
    LineCap cap;
    double area;  // of a 100-point line stroked 10 wide
};

class StrokeOutlineCaps : public testing::TestWithParam<CapCase> {};

TEST_P(StrokeOutlineCaps, ExtendTheOpenEnds) {
    PathGeometry line;
    line.segments = {Segment::straight({0, 0}), Segment::straight({100, 0})};
    StrokePaint stroke;
    stroke.width = 10;
    stroke.cap = GetParam().cap;
    EXPECT_NEAR(AreaOf(strokeOutline({line}, stroke)), GetParam().area, 1.0);
}

INSTANTIATE_TEST_SUITE_P(Cases, StrokeOutlineCaps,
                         testing::Values(CapCase{LineCap::butt, 1000}, CapCase{LineCap::projecting, 1100},
                                         CapCase{LineCap::round, 1000 + M_PI * 25}));

TEST(StrokeOutline, NothingForAZeroWidthOrNoAnchors) {
    StrokePaint stroke;
    stroke.width = 0;
    EXPECT_TRUE(strokeOutline({PathGeometry::rectangle(Rect(0, 1, 1, 0))}, stroke).empty());
    stroke.width = 2;
    EXPECT_TRUE(strokeOutline({PathGeometry{}}, stroke).empty());
}

}  // namespace
