// The art style, art-style parser, path style, expand and rasterize suites over a small document:
// styles as values behind handles, parsers that build back what they parsed, the focal fill and
// stroke, stroke outlines in place, and pixels drawn by the renderer.
#include <cmath>
#include <functional>

#include "AIArt.h"
#include "AIArtSet.h"
#include "AIArtStyle.h"
#include "AIArtStyleParser.h"
#include "AIExpand.h"
#include "AILiveEffect.h"
#include "AIPaintStyle.h"
#include "AIPathStyle.h"
#include "AIRasterize.h"
#include "HostFixture.h"
#include "IAIUnicodeString.h"
#include "model/DocumentFormat.h"
#include "model/Region.h"

namespace {

using host::model::ArtId;
using host::model::ArtStyle;
using host::model::ArtType;
using host::model::Color;

// Layer "Shapes", front to back: "Red" [0..100]² filled red and stroked black 4 wide; "Ring" a
// compound path of [200..300]² and [225..275]² filled blue, even-odd; "Bare" [400..410]² without
// paint; the group "Clip" clipping the green [500..600]² "Inside" to the mask [500..550]²; the
// point text "Text".
constexpr const char* kDocument = R"({
  "format": "plimhost-document", "version": 1,
  "layers": [{"type": "layer", "title": "Shapes", "children": [
    {"type": "path", "name": "Red", "closed": true,
     "style": {"paintFields": [{"fill": {"color": {"rgb": [1, 0, 0]}}}, {"stroke": {"color": {"gray": 1}, "width": 4}}]},
     "segments": [{"anchor": [0, 100]}, {"anchor": [100, 100]}, {"anchor": [100, 0]}, {"anchor": [0, 0]}]},
    {"type": "compoundPath", "name": "Ring",
     "style": {"paintFields": [{"fill": {"color": {"rgb": [0, 0, 1]}}, "evenOdd": true}]},
     "children": [
       {"type": "path", "closed": true, "segments": [{"anchor": [200, 300]}, {"anchor": [300, 300]}, {"anchor": [300, 200]}, {"anchor": [200, 200]}]},
       {"type": "path", "closed": true, "segments": [{"anchor": [225, 275]}, {"anchor": [275, 275]}, {"anchor": [275, 225]}, {"anchor": [225, 225]}]}]},
    {"type": "path", "name": "Bare", "closed": true,
     "segments": [{"anchor": [400, 410]}, {"anchor": [410, 410]}, {"anchor": [410, 400]}, {"anchor": [400, 400]}]},
    {"type": "group", "name": "Clip", "clipped": true, "children": [
      {"type": "path", "name": "Mask", "clippingMask": true, "closed": true,
       "segments": [{"anchor": [500, 600]}, {"anchor": [550, 600]}, {"anchor": [550, 500]}, {"anchor": [500, 500]}]},
      {"type": "path", "name": "Inside", "closed": true,
       "style": {"paintFields": [{"fill": {"color": {"rgb": [0, 1, 0]}}}]},
       "segments": [{"anchor": [500, 600]}, {"anchor": [600, 600]}, {"anchor": [600, 500]}, {"anchor": [500, 500]}]}]},
    {"type": "textFrame", "name": "Text", "kind": "point", "text": "Hi", "frame": [0, 700, 50, 680]}
  ]}]
})";

class StyleSuites : public hosttest::HostTest {
protected:
    void SetUp() override {
        host::model::ReadResult read = host::model::readDocument(kDocument, 3);
        ASSERT_TRUE(read.document) << read.error;
        app->SetDocument(std::make_unique<host::Document>(std::move(*read.document)));
        const SPBasicSuite& basic = app->BasicSuite();
        art = hosttest::Acquire<AIArtSuite>(basic, kAIArtSuite, kAIArtSuiteVersion);
        styles = hosttest::Acquire<AIArtStyleSuite>(basic, kAIArtStyleSuite, kAIArtStyleSuiteVersion);
        parsers = hosttest::Acquire<AIArtStyleParserSuite>(basic, kAIArtStyleParserSuite,
                                                           kAIArtStyleParserSuiteVersion);
        paths = hosttest::Acquire<AIPathStyleSuite>(basic, kAIPathStyleSuite, kAIPathStyleSuiteVersion);
        expand = hosttest::Acquire<AIExpandSuite>(basic, kAIExpandSuite, kAIExpandSuiteVersion);
        rasterize = hosttest::Acquire<AIRasterizeSuite>(basic, kAIRasterizeSuite, kAIRasterizeSuiteVersion);
        sets = hosttest::Acquire<AIArtSetSuite>(basic, kAIArtSetSuite, kAIArtSetSuiteVersion);
        ASSERT_TRUE(art && styles && parsers && paths && expand && rasterize && sets);
    }

    host::Document& Doc() { return *app->CurrentDocument(); }

    ArtId Named(const std::string& name) {
        for (const ArtId id : Doc().documentOrder()) {
            if (Doc().name(id).ok() && Doc().name(id)->text == name) {
                return id;
            }
        }
        return {};
    }
    AIArtHandle Handle(const std::string& name) {
        return reinterpret_cast<AIArtHandle>(static_cast<std::uintptr_t>(Named(name).value));
    }
    ArtStyle StyleOf(const std::string& name) { return Doc().style(Named(name)).valueOr({}); }

    const AIArtSuite* art = nullptr;
    const AIArtStyleSuite* styles = nullptr;
    const AIArtStyleParserSuite* parsers = nullptr;
    const AIPathStyleSuite* paths = nullptr;
    const AIExpandSuite* expand = nullptr;
    const AIRasterizeSuite* rasterize = nullptr;
    const AIArtSetSuite* sets = nullptr;
};

// --- Styles and parsers --------------------------------------------------------------------------------

TEST_F(StyleSuites, EqualStylesShareOneHandleThatOutlivesTheArt) {
    AIArtStyleHandle red = nullptr;
    AIArtStyleHandle bare = nullptr;
    AIArtStyleHandle again = nullptr;
    ASSERT_EQ(styles->GetArtStyle(Handle("Red"), &red), kNoErr);
    ASSERT_EQ(styles->GetArtStyle(Handle("Bare"), &bare), kNoErr);
    ASSERT_EQ(styles->GetArtStyle(Handle("Red"), &again), kNoErr);
    EXPECT_EQ(red, again);
    EXPECT_NE(red, bare);
    ASSERT_EQ(art->DisposeArt(Handle("Red")), kNoErr);
    ASSERT_EQ(styles->SetArtStyle(Handle("Bare"), red), kNoErr);
    EXPECT_EQ(StyleOf("Bare").paintFields.size(), 2u);
}

// Two styles get one handle exactly when they are equal, whatever parts of them differ.
TEST_F(StyleSuites, StylesShareAHandleExactlyWhenEqual) {
    const ArtStyle base = ArtStyle::basic(Color::rgb(0.0, 0.5, 1.0), Color::black(), 2.0);
    struct Case {
        const char* label;
        std::function<void(ArtStyle&)> change;
        bool same;
    };
    const Case cases[] = {
        {"Unchanged", [](ArtStyle&) {}, true},
        {"NegativeZero", [](ArtStyle& s) { s.paintFields[0].fillPaint()->color.values[0] = -0.0; }, true},
        {"FillColour", [](ArtStyle& s) { s.paintFields[0].fillPaint()->color.values[1] = 0.25; }, false},
        {"StrokeParameter",
         [](ArtStyle& s) { s.paintFields[1].strokePaint()->parameters.setString("DisplayString", "x"); },
         false},
        {"StrokeCap", [](ArtStyle& s) { s.paintFields[1].strokePaint()->cap = host::model::LineCap::round; },
         false},
        {"EffectShown", [](ArtStyle& s) { s.postEffects.back().visible = false; }, false},
    };
    for (const Case& c : cases) {
        ArtStyle first = base;
        first.postEffects.push_back(host::model::Effect{"Host Drop Shadow", 1, true, {}});
        ArtStyle second = first;
        c.change(second);
        ASSERT_EQ(Doc().setStyle(Named("Red"), first), host::model::Status::ok) << c.label;
        ASSERT_EQ(Doc().setStyle(Named("Bare"), second), host::model::Status::ok) << c.label;
        AIArtStyleHandle a = nullptr;
        AIArtStyleHandle b = nullptr;
        ASSERT_EQ(styles->GetArtStyle(Handle("Red"), &a), kNoErr);
        ASSERT_EQ(styles->GetArtStyle(Handle("Bare"), &b), kNoErr);
        EXPECT_EQ(a == b, c.same) << c.label;
    }
}

TEST_F(StyleSuites, AnUneditedParserBuildsBackTheSameStyle) {
    AIArtStyleHandle ring = nullptr;
    ASSERT_EQ(styles->GetArtStyle(Handle("Ring"), &ring), kNoErr);
    AIStyleParser parser = nullptr;
    ASSERT_EQ(parsers->NewParser(&parser), kNoErr);
    EXPECT_FALSE(parsers->IsStyleParseable(parser));
    ASSERT_EQ(parsers->ParseStyle(parser, ring), kNoErr);
    EXPECT_TRUE(parsers->IsStyleParseable(parser));
    AIArtStyleHandle built = nullptr;
    ASSERT_EQ(parsers->CreateNewStyle(parser, &built), kNoErr);
    EXPECT_EQ(built, ring);
    EXPECT_EQ(parsers->DisposeParser(parser), kNoErr);
    EXPECT_EQ(parsers->DisposeParser(parser), kBadParameterErr);
    EXPECT_EQ(parsers->CountPaintFields(parser), 0);
}

// A parser's edit side: new paint fields and effects belong to the parser until inserted, once;
// positions out of range are refused; the contents keep their place; disposing frees the rest.
TEST_F(StyleSuites, NewPartsBelongToTheParserUntilInserted) {
    const auto* effects = hosttest::Acquire<AILiveEffectSuite>(app->BasicSuite(), kAILiveEffectSuite,
                                                               kAILiveEffectSuiteVersion);
    ASSERT_NE(effects, nullptr);
    AIArtStyleHandle red = nullptr;
    ASSERT_EQ(styles->GetArtStyle(Handle("Red"), &red), kNoErr);
    AIStyleParser parser = nullptr;
    ASSERT_EQ(parsers->NewParser(&parser), kNoErr);
    ASSERT_EQ(parsers->ParseStyle(parser, red), kNoErr);
    ASSERT_EQ(parsers->SetContentsPosition(parser, 1), kNoErr);
    EXPECT_EQ(parsers->SetContentsPosition(parser, 3), kBadParameterErr);

    AIFillStyle fill;
    fill.color.kind = kGrayColor;
    fill.color.c.g.gray = 0.5;
    AIParserPaintField field = nullptr;
    ASSERT_EQ(parsers->NewFillPaintField(parser, &fill, nullptr, &field), kNoErr);
    AILiveEffectHandle twirl = nullptr;
    EXPECT_EQ(effects->GetLiveEffectByName("Host Nothing", &twirl), kNameNotFoundErr);
    ASSERT_EQ(effects->GetLiveEffectByName("Host Twirl", &twirl), kNoErr);
    AIParserLiveEffect effect = nullptr;
    ASSERT_EQ(parsers->NewParserLiveEffect(parser, twirl, nullptr, &effect), kNoErr);
    EXPECT_EQ(app->HeldStyleObjectCounts(), (host::Application::HeldStyleObjects{1, 1, 1, 0}));

    EXPECT_EQ(parsers->InsertNthPaintField(parser, 3, field), kBadParameterErr);
    ASSERT_EQ(parsers->InsertNthEffectOfPaintField(parser, field, -1, effect), kNoErr);
    ASSERT_EQ(parsers->InsertNthPaintField(parser, 0, field), kNoErr);
    EXPECT_EQ(parsers->InsertNthPaintField(parser, 0, field), kBadParameterErr);
    ai::int32 contents = 0;
    ASSERT_EQ(parsers->GetContentsPosition(parser, &contents), kNoErr);
    EXPECT_EQ(contents, 2);  // still above the red fill, now the second paint field
    EXPECT_EQ(parsers->CountEffectsOfPaintField(field), 1);

    // A second new paint field is never inserted: disposing of the parser frees it.
    AIParserPaintField loose = nullptr;
    ASSERT_EQ(parsers->NewFillPaintField(parser, &fill, nullptr, &loose), kNoErr);
    AIArtStyleHandle built = nullptr;
    ASSERT_EQ(parsers->CreateNewStyle(parser, &built), kNoErr);
    ASSERT_EQ(parsers->DisposeParser(parser), kNoErr);
    EXPECT_EQ(app->HeldStyleObjectCounts(), host::Application::HeldStyleObjects{});
    ASSERT_EQ(styles->SetArtStyle(Handle("Bare"), built), kNoErr);
    const ArtStyle bare = StyleOf("Bare");
    ASSERT_EQ(bare.paintFields.size(), 3u);
    EXPECT_EQ(bare.paintFields[0].fillPaint()->color, Color::gray(0.5));
    EXPECT_EQ(bare.paintFields[0].effects.at(0).name, "Host Twirl");
    EXPECT_EQ(bare.contentsPosition, 2u);
}

// The focus write keeps what the two-argument write takes away: a stroke unpainted is hidden with
// its parameters, not removed; and a focused stroke is the one the path style shows and aligns.
TEST_F(StyleSuites, TheFocusWriteLosesNothing) {
    const auto* paint = hosttest::Acquire<AIPaintStyleSuite>(app->BasicSuite(), kAIPaintStyleSuite,
                                                             kAIPaintStyleSuiteVersion);
    ASSERT_NE(paint, nullptr);
    ArtStyle twoStrokes = StyleOf("Red");
    twoStrokes.paintFields.push_back(host::model::PaintField::stroke(Color::rgb(0, 0, 1), 2));
    twoStrokes.paintFields[2].focus = true;
    ASSERT_EQ(Doc().setStyle(Named("Red"), twoStrokes), host::model::Status::ok);
    ASSERT_EQ(paint->SetStrokeAlignment(Handle("Red"), kAIStrokeAlignmentInside), kNoErr);
    AIPathStyle style;
    ASSERT_EQ(paths->GetPathStyle(Handle("Red"), &style, nullptr), kNoErr);
    EXPECT_EQ(style.stroke.width, 2.0);  // the focused stroke
    style.strokePaint = false;
    ASSERT_EQ(paths->SetFocusPathStyle(Handle("Red"), &style), kNoErr);
    ArtStyle after = StyleOf("Red");
    ASSERT_EQ(after.paintFields.size(), 3u);
    EXPECT_FALSE(after.paintFields[2].visible);
    EXPECT_TRUE(*after.paintFields[2].strokePaint()->parameters.boolean("StrokeOffsetInside"));
    EXPECT_TRUE(after.paintFields[1].visible);
    style.strokePaint = true;
    ASSERT_EQ(paths->SetFocusPathStyle(Handle("Red"), &style), kNoErr);
    EXPECT_TRUE(StyleOf("Red").paintFields[2].visible);
    style.strokePaint = false;
    ASSERT_EQ(paths->SetPathStyle(Handle("Red"), &style), kNoErr);
    EXPECT_EQ(StyleOf("Red").paintFields.size(), 2u);
    EXPECT_EQ(paint->SetStrokeAlignment(Handle("Bare"), kAIStrokeAlignmentInside), kBadParameterErr);
}

TEST_F(StyleSuites, NamedStylesAreRegisteredOnceAndRedefined) {
    AIArtStyleHandle red = nullptr;
    AIArtStyleHandle ring = nullptr;
    ASSERT_EQ(styles->GetArtStyle(Handle("Red"), &red), kNoErr);
    ASSERT_EQ(styles->GetArtStyle(Handle("Ring"), &ring), kNoErr);
    AIArtStyleHandle named = nullptr;
    ASSERT_EQ(styles->CreateNamedArtStyle(ai::UnicodeString::FromUTF8("Mine"), red, &named), kNoErr);
    EXPECT_EQ(styles->CreateNamedArtStyle(ai::UnicodeString::FromUTF8("Mine"), ring, nullptr),
              kBadParameterErr);
    EXPECT_EQ(styles->CreateNamedArtStyle(ai::UnicodeString::FromUTF8(""), ring, nullptr), kBadParameterErr);
    ASSERT_EQ(styles->RedefineNamedArtStyle(named, ring), kNoErr);
    EXPECT_EQ(styles->RedefineNamedArtStyle(red, ring), kBadParameterErr);
    ASSERT_EQ(Doc().colors().graphicStyles().size(), 1u);
    EXPECT_EQ(Doc().colors().graphicStyles()[0].style, StyleOf("Ring"));
    // Merging appends the merged style's paint fields above the parser's own.
    AIStyleParser parser = nullptr;
    ASSERT_EQ(parsers->NewParser(&parser), kNoErr);
    ASSERT_EQ(parsers->ParseStyle(parser, named), kNoErr);
    ASSERT_EQ(parsers->MergeStyleIntoParser(parser, red), kNoErr);
    EXPECT_EQ(parsers->CountPaintFields(parser), 3);
    ASSERT_EQ(parsers->DisposeParser(parser), kNoErr);
}

TEST_F(StyleSuites, PaintFieldsAreReadRewrittenAndRemoved) {
    AIArtStyleHandle red = nullptr;
    AIStyleParser parser = nullptr;
    ASSERT_EQ(styles->GetArtStyle(Handle("Red"), &red), kNoErr);
    ASSERT_EQ(parsers->NewParser(&parser), kNoErr);
    ASSERT_EQ(parsers->ParseStyle(parser, red), kNoErr);
    ASSERT_EQ(parsers->CountPaintFields(parser), 2);
    AIParserPaintField fill = nullptr;
    AIParserPaintField stroke = nullptr;
    ASSERT_EQ(parsers->GetNthPaintField(parser, 0, &fill), kNoErr);
    ASSERT_EQ(parsers->GetNthPaintField(parser, 1, &stroke), kNoErr);
    EXPECT_EQ(parsers->GetNthPaintField(parser, 2, &stroke), kBadParameterErr);
    ASSERT_EQ(parsers->GetNthPaintField(parser, 1, &stroke), kNoErr);
    EXPECT_TRUE(parsers->IsFill(fill) && !parsers->IsStroke(fill));
    EXPECT_TRUE(parsers->IsStroke(stroke));
    AIStrokeStyle strokeStyle;
    ASSERT_EQ(parsers->GetStroke(stroke, &strokeStyle), kNoErr);
    EXPECT_EQ(strokeStyle.width, 4.0);
    AIFillStyle fillStyle;
    EXPECT_EQ(parsers->GetStroke(fill, &strokeStyle), kBadParameterErr);
    ASSERT_EQ(parsers->GetFill(fill, &fillStyle, nullptr), kNoErr);
    EXPECT_EQ(fillStyle.color.kind, kThreeColor);
    fillStyle.color.kind = kNoneColor;
    ASSERT_EQ(parsers->SetFill(fill, &fillStyle, nullptr), kNoErr);
    ASSERT_EQ(parsers->RemovePaintField(parser, stroke), kNoErr);
    EXPECT_EQ(parsers->GetStroke(stroke, &strokeStyle), kBadParameterErr);
    AIArtStyleHandle built = nullptr;
    ASSERT_EQ(parsers->CreateNewStyle(parser, &built), kNoErr);
    ASSERT_EQ(styles->SetArtStyle(Handle("Red"), built), kNoErr);
    EXPECT_EQ(StyleOf("Red"), ArtStyle::basic(Color::none(), std::nullopt, 0));
    parsers->DisposeParser(parser);
}

struct BadStroke {
    const char* name;
    void (*change)(AIStrokeStyle&);
};

class StyleSuitesBadStroke : public StyleSuites, public testing::WithParamInterface<BadStroke> {};

TEST_P(StyleSuitesBadStroke, IsRefusedAndChangesNothing) {
    AIPathStyle style;
    ASSERT_EQ(paths->GetPathStyle(Handle("Red"), &style, nullptr), kNoErr);
    GetParam().change(style.stroke);
    const ArtStyle before = StyleOf("Red");
    EXPECT_EQ(paths->SetPathStyle(Handle("Red"), &style), kBadParameterErr);
    EXPECT_EQ(StyleOf("Red"), before);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, StyleSuitesBadStroke,
    testing::Values(BadStroke{"negativeWidth", [](AIStrokeStyle& s) { s.width = -1; }},
                    BadStroke{"nanWidth", [](AIStrokeStyle& s) { s.width = NAN; }},
                    BadStroke{"dashCount", [](AIStrokeStyle& s) { s.dash.length = 7; }},
                    BadStroke{"gradient", [](AIStrokeStyle& s) { s.color.kind = kGradient; }},
                    BadStroke{"component", [](AIStrokeStyle& s) { s.color.c.g.gray = 3; }}),
    [](const testing::TestParamInfo<BadStroke>& info) { return info.param.name; });

TEST_F(StyleSuites, PathStyleShowsAndRewritesTheFocalPaint) {
    AIPathStyle style;
    AIBoolean more = true;
    ASSERT_EQ(paths->GetPathStyle(Handle("Red"), &style, &more), kNoErr);
    EXPECT_FALSE(more);
    EXPECT_TRUE(style.fillPaint && style.strokePaint);
    EXPECT_EQ(style.fill.color.c.rgb.red, 1.0);
    EXPECT_EQ(style.stroke.width, 4.0);
    // Painting nothing removes the stroke; the fill turns even-odd.
    style.strokePaint = false;
    style.evenodd = true;
    ASSERT_EQ(paths->SetPathStyle(Handle("Red"), &style), kNoErr);
    ArtStyle expected = ArtStyle::basic(Color::rgb(1, 0, 0), std::nullopt, 0);
    expected.paintFields[0].evenOdd = true;
    EXPECT_EQ(StyleOf("Red"), expected);
    // A stroke added to art without one goes on top.
    style.strokePaint = true;
    style.stroke.width = 6;
    ASSERT_EQ(paths->SetPathStyle(Handle("Bare"), &style), kNoErr);
    ASSERT_EQ(StyleOf("Bare").paintFields.size(), 2u);
    EXPECT_TRUE(StyleOf("Bare").paintFields[1].isStroke());
    EXPECT_EQ(Doc().bounds(Named("Bare"), host::model::BoundsKind::visible)->left, 397.0);
}

TEST_F(StyleSuites, StaleHandlesAreRefused) {
    AIArtHandle gone = Handle("Bare");
    ASSERT_EQ(art->DisposeArt(gone), kNoErr);
    AIArtStyleHandle style = reinterpret_cast<AIArtStyleHandle>(std::uintptr_t{12345});
    EXPECT_EQ(styles->GetArtStyle(gone, &style), kBadParameterErr);
    EXPECT_EQ(style, nullptr);
    EXPECT_EQ(styles->SetArtStyle(Handle("Red"), reinterpret_cast<AIArtStyleHandle>(std::uintptr_t{12345})),
              kBadParameterErr);
    AIPathStyle pathStyle;
    EXPECT_EQ(paths->GetPathStyle(gone, &pathStyle, nullptr), kBadParameterErr);
    EXPECT_EQ(paths->SetPathStyle(Handle("Red"), nullptr), kBadParameterErr);
    EXPECT_EQ(expand->Expand(gone, kExpandStroke, 0), kBadParameterErr);
    EXPECT_FALSE(parsers->IsFill(reinterpret_cast<AIParserPaintField>(std::uintptr_t{777})));
    AIArtHandle styled = nullptr;
    EXPECT_EQ(styles->GetStyledArt(gone, &styled), kBadParameterErr);
}

// --- Expand --------------------------------------------------------------------------------------------

TEST_F(StyleSuites, ExpandingAStrokeGroupsTheFillBelowItsOutline) {
    const ArtId red = Named("Red");
    Doc().editTags(red)->set("_p_tag_x", "string", "red");
    ASSERT_EQ(expand->Expand(Handle("Red"), kExpandStroke | kExpandShowProgress, 7), kNoErr);
    EXPECT_FALSE(Doc().isValid(red));
    const ArtId group = Named("Red");
    ASSERT_EQ(*Doc().type(group), ArtType::group);
    EXPECT_TRUE(Doc().tags(group)->contains("_p_tag_x"));
    const std::vector<ArtId> members = *Doc().children(group);
    ASSERT_EQ(members.size(), 2u);
    // The outline on top: a compound path of the outer and inner edges, filled black.
    ASSERT_EQ(*Doc().type(members[0]), ArtType::compoundPath);
    EXPECT_EQ(*Doc().style(members[0]), [] {
        ArtStyle s = ArtStyle::basic(Color::black(), std::nullopt, 0);
        s.paintFields[0].evenOdd = true;
        return s;
    }());
    EXPECT_EQ(Doc().bounds(members[0], host::model::BoundsKind::geometric)->left, -2.0);
    std::vector<host::model::PathGeometry> rings;
    const std::vector<ArtId> outlineRings = *Doc().children(members[0]);
    for (const ArtId ring : outlineRings) {
        rings.push_back(Doc().contentAs<host::model::PathContent>(ring)->geometry);
    }
    EXPECT_NEAR(host::model::Region::fromPaths(rings, host::model::FillRule::evenOdd).area(),
                104.0 * 104 - 96.0 * 96, 1e-3);
    EXPECT_EQ(*Doc().style(members[1]), ArtStyle::basic(Color::rgb(1, 0, 0), std::nullopt, 0));
    const auto journal = app->Journal().Find("Expand");
    ASSERT_EQ(journal.size(), 1u);
    EXPECT_EQ(journal[0].arguments[1], std::to_string(kExpandStroke | kExpandShowProgress));
    EXPECT_EQ(journal[0].arguments[2], "7");
}

TEST_F(StyleSuites, ExpandLeavesArtWithNothingToExpand) {
    const host::Document before = Doc();
    EXPECT_EQ(expand->Expand(Handle("Ring"), kExpandStroke | kExpandPattern, -1), kNoErr);
    EXPECT_EQ(expand->Expand(Handle("Red"), kExpandPattern | kExpandGradientToPaths, 255), kNoErr);
    EXPECT_EQ(expand->Expand(Handle("Text"), kExpandStroke, 0), kNoErr);
    EXPECT_TRUE(Doc() == before);
    EXPECT_EQ(expand->Expand(Handle("Text"), kExpandText, 0), kNoErr);
    EXPECT_FALSE(Named("Text"));
}

// --- Rasterize -----------------------------------------------------------------------------------------

class Rasterizing : public StyleSuites {
protected:
    AIArtSet SetOf(std::initializer_list<const char*> names) {
        AIArtSet set = nullptr;
        EXPECT_EQ(sets->NewArtSet(&set), kNoErr);
        for (const char* name : names) {
            EXPECT_EQ(sets->AddArtToArtSet(set, Handle(name)), kNoErr);
        }
        return set;
    }

    const host::model::RasterContent* Raster(AIArtHandle handle) {
        return Doc().contentAs<host::model::RasterContent>(ArtId{reinterpret_cast<std::uintptr_t>(handle)});
    }

    // The pixel at the document point, as its bytes.
    static std::vector<int> PixelAt(const host::model::RasterContent& raster, double x, double y) {
        const auto& pixels = raster.pixels;
        const double scaleX = static_cast<double>(pixels.width) / raster.box.frame.width();
        const double scaleY = static_cast<double>(pixels.height) / raster.box.frame.height();
        const auto column = static_cast<std::size_t>((x - raster.box.frame.left) * scaleX);
        const auto row = static_cast<std::size_t>((raster.box.frame.top - y) * scaleY);
        const std::size_t at = (row * pixels.width + column) * pixels.channels();
        return {pixels.bytes.begin() + static_cast<std::ptrdiff_t>(at),
                pixels.bytes.begin() + static_cast<std::ptrdiff_t>(at + pixels.channels())};
    }
};

TEST_F(Rasterizing, BoundsIncludeStrokesAndRefuseStaleArt) {
    AIArtSet set = SetOf({"Red", "Ring"});
    AIRealRect bounds;
    ASSERT_EQ(rasterize->ComputeArtBounds(set, &bounds, false), kNoErr);
    EXPECT_EQ(bounds.left, -2.0);
    EXPECT_EQ(bounds.top, 300.0);
    EXPECT_EQ(bounds.right, 300.0);
    EXPECT_EQ(bounds.bottom, -2.0);
    ASSERT_EQ(art->DisposeArt(Handle("Ring")), kNoErr);
    EXPECT_EQ(rasterize->ComputeArtBounds(set, &bounds, false), kBadParameterErr);
    sets->DisposeArtSet(&set);
}

TEST_F(Rasterizing, DrawsFillsStrokesAndEvenOddHoles) {
    AIArtSet set = SetOf({"Red", "Ring"});
    AIRealRect bounds{-2, 300, 300, -2};
    AIRasterizeSettings settings;
    settings.resolution = 144;
    settings.antialiasing = kRasterizeNoAntialiasing;
    AIArtHandle raster = nullptr;
    ASSERT_EQ(rasterize->Rasterize(set, &settings, &bounds, kPlaceAbove, Handle("Red"), &raster), kNoErr);
    const host::model::RasterContent* content = Raster(raster);
    ASSERT_NE(content, nullptr);
    EXPECT_EQ(content->pixels.width, 604u);
    EXPECT_EQ(content->pixels.height, 604u);
    EXPECT_EQ(PixelAt(*content, 50, 50), (std::vector<int>{255, 0, 0}));        // the red fill
    EXPECT_EQ(PixelAt(*content, 0.5, 50), (std::vector<int>{0, 0, 0}));         // the black stroke
    EXPECT_EQ(PixelAt(*content, 210, 210), (std::vector<int>{0, 0, 255}));      // the ring
    EXPECT_EQ(PixelAt(*content, 250, 250), (std::vector<int>{255, 255, 255}));  // its hole
    EXPECT_EQ(PixelAt(*content, 150, 150), (std::vector<int>{255, 255, 255}));  // between them
    // The raster lies directly above the prep art.
    EXPECT_EQ(*Doc().nextSibling(ArtId{reinterpret_cast<std::uintptr_t>(raster)}), Named("Red"));
    sets->DisposeArtSet(&set);
}

struct SpaceCase {
    const char* name;
    AIRasterizeType type;
    std::vector<int> red;    // the red fill's pixel
    std::vector<int> empty;  // a pixel where nothing is drawn
};

class RasterSpaces : public Rasterizing, public testing::WithParamInterface<SpaceCase> {};

TEST_P(RasterSpaces, ConvertThePixels) {
    AIArtSet set = SetOf({"Red"});
    AIRealRect bounds{-2, 102, 110, -2};
    AIRasterizeSettings settings;
    settings.type = GetParam().type;
    AIArtHandle raster = nullptr;
    ASSERT_EQ(rasterize->Rasterize(set, &settings, &bounds, kPlaceBelow, Handle("Red"), &raster), kNoErr);
    EXPECT_EQ(PixelAt(*Raster(raster), 50, 50), GetParam().red);
    EXPECT_EQ(PixelAt(*Raster(raster), 108, 50), GetParam().empty);
    sets->DisposeArtSet(&set);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RasterSpaces,
    testing::Values(SpaceCase{"rgb", kRasterizeRGB, {255, 0, 0}, {255, 255, 255}},
                    SpaceCase{"argb", kRasterizeARGB, {255, 0, 0, 255}, {0, 0, 0, 0}},
                    SpaceCase{"gray", kRasterizeGrayscale, {76}, {255}},
                    SpaceCase{"cmyk", kRasterizeCMYK, {0, 255, 255, 0}, {0, 0, 0, 0}},
                    SpaceCase{"acmyk", kRasterizeACMYK, {0, 255, 255, 0, 255}, {0, 0, 0, 255, 0}}),
    [](const testing::TestParamInfo<SpaceCase>& info) { return info.param.name; });

TEST_F(Rasterizing, ClipGroupsShowOnlyInsideTheirMasks) {
    AIArtSet set = SetOf({"Clip"});
    AIRealRect bounds{500, 600, 600, 500};
    AIRasterizeSettings settings;
    AIArtHandle raster = nullptr;
    ASSERT_EQ(rasterize->Rasterize(set, &settings, &bounds, kPlaceAbove, Handle("Clip"), &raster), kNoErr);
    EXPECT_EQ(PixelAt(*Raster(raster), 525, 550), (std::vector<int>{0, 255, 0}));
    EXPECT_EQ(PixelAt(*Raster(raster), 575, 550), (std::vector<int>{255, 255, 255}));
    sets->DisposeArtSet(&set);
}

struct RefusedRaster {
    const char* name;
    AIRealRect bounds;
    double resolution;
    ai::int16 type;
};

class RasterRefusals : public Rasterizing, public testing::WithParamInterface<RefusedRaster> {};

TEST_P(RasterRefusals, ChangeNothing) {
    AIArtSet set = SetOf({"Red"});
    AIRasterizeSettings settings;
    settings.resolution = GetParam().resolution;
    settings.type = static_cast<AIRasterizeType>(GetParam().type);
    const host::Document before = Doc();
    AIArtHandle raster = Handle("Red");
    EXPECT_EQ(rasterize->Rasterize(set, &settings, &GetParam().bounds, kPlaceAbove, Handle("Red"), &raster),
              kBadParameterErr);
    EXPECT_EQ(raster, nullptr);
    EXPECT_TRUE(Doc() == before);
    sets->DisposeArtSet(&set);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RasterRefusals,
    testing::Values(RefusedRaster{"zeroResolution", {0, 100, 100, 0}, 0, kRasterizeRGB},
                    RefusedRaster{"negativeResolution", {0, 100, 100, 0}, -72, kRasterizeRGB},
                    RefusedRaster{"nanResolution", {0, 100, 100, 0}, NAN, kRasterizeRGB},
                    RefusedRaster{"tooManyPixels", {0, 100, 100000, 0}, 72, kRasterizeRGB},
                    RefusedRaster{"invertedBounds", {100, 0, 0, 100}, 72, kRasterizeRGB},
                    RefusedRaster{"bitmap", {0, 100, 100, 0}, 72, kRasterizeBitmap},
                    RefusedRaster{"unknownType", {0, 100, 100, 0}, 72, 42}),
    [](const testing::TestParamInfo<RefusedRaster>& info) { return info.param.name; });

}  // namespace
