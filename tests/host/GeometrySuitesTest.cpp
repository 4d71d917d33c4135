// The suites of geometry and settings: real math (the matrix layout shears rely on, rectangles with
// y up), the transform art suite applied to every kind of art, the hard/soft conversion of ruler
// coordinates, and the preference suite.
#include <cmath>

#include "AIHardSoft.h"
#include "AIPreference.h"
#include "AIRealMath.h"
#include "AITransformArt.h"
#include "HostFixture.h"
#include "model/DocumentFormat.h"

namespace {

using hosttest::Acquire;

constexpr const char* kGeometryDocument = R"({
  "format": "plimhost-document", "version": 1,
  "artboards": [{"name": "One", "rect": [0, 300, 200, 0]},
                {"name": "Two", "rect": [500, 400, 700, 100], "rulerOrigin": [10, 20]}],
  "layers": [{"type": "layer", "title": "L", "children": [
    {"type": "group", "name": "Group", "children": [
      {"type": "path", "name": "Curve", "strokeWidth": 2,
       "segments": [{"anchor": [0, 0], "out": [10, 20]}, {"anchor": [40, 0], "in": [30, 20]}]}]},
    {"type": "textFrame", "name": "Text", "kind": "point", "text": "Hi", "frame": [0, 10, 30, 0]},
    {"type": "textFrame", "name": "OnPath", "kind": "onPath", "text": "Go",
     "frame": [0, 0, 0, 0], "path": {"segments": [{"anchor": [0, 0]}, {"anchor": [10, 0]}]}},
    {"type": "placed", "name": "Placed", "file": "a.png", "frame": [0, 10, 10, 0]},
    {"type": "raster", "name": "Raster", "frame": [0, 10, 10, 0], "matrix": [2, 0, 0, 2, 0, 0]},
    {"type": "symbol", "name": "Symbol", "symbol": "S", "frame": [0, 10, 10, 0]}
  ]}],
  "symbols": ["S"]
})";

class GeometrySuites : public hosttest::HostTest {
protected:
    void SetUp() override {
        host::model::ReadResult read = host::model::readDocument(kGeometryDocument, 3);
        ASSERT_TRUE(read.document) << read.error;
        app->SetDocument(std::make_unique<host::Document>(std::move(*read.document)));
        const SPBasicSuite& basic = app->BasicSuite();
        math = Acquire<AIRealMathSuite>(basic, kAIRealMathSuite, kAIRealMathSuiteVersion);
        transform = Acquire<AITransformArtSuite>(basic, kAITransformArtSuite, kAITransformArtSuiteVersion);
        hardSoft = Acquire<AIHardSoftSuite>(basic, kAIHardSoftSuite, kAIHardSoftSuiteVersion);
        preference = Acquire<AIPreferenceSuite>(basic, kAIPreferenceSuite, kAIPreferenceSuiteVersion);
        ASSERT_TRUE(math && transform && hardSoft && preference);
    }

    host::Document& Doc() { return *app->CurrentDocument(); }

    AIArtHandle Art(const std::string& name) {
        for (const host::model::ArtId id : Doc().documentOrder()) {
            if (Doc().name(id)->text == name) {
                return reinterpret_cast<AIArtHandle>(static_cast<std::uintptr_t>(id.value));
            }
        }
        ADD_FAILURE() << "no art named " << name;
        return nullptr;
    }

    const host::model::ArtData& Data(const std::string& name) {
        return *Doc().find(host::model::ArtId{reinterpret_cast<std::uintptr_t>(Art(name))})->data;
    }

    host::model::Matrix BoxMatrix(const std::string& name) {
        const auto& content = Data(name).content;
        if (const auto* text = std::get_if<host::model::TextFrameContent>(&content)) {
            return text->box.matrix;
        }
        if (const auto* placed = std::get_if<host::model::PlacedContent>(&content)) {
            return placed->box.matrix;
        }
        if (const auto* raster = std::get_if<host::model::RasterContent>(&content)) {
            return raster->box.matrix;
        }
        return std::get<host::model::SymbolContent>(content).box.matrix;
    }

    const AIRealMathSuite* math = nullptr;
    const AITransformArtSuite* transform = nullptr;
    const AIHardSoftSuite* hardSoft = nullptr;
    const AIPreferenceSuite* preference = nullptr;
};

void ExpectMatrix(const AIRealMatrix& m, std::array<double, 6> expected) {
    const std::array<double, 6> actual{m.a, m.b, m.c, m.d, m.tx, m.ty};
    for (std::size_t i = 0; i < 6; ++i) {
        EXPECT_NEAR(actual[i], expected[i], 1e-12) << "element " << i;
    }
}

// --- Real math --------------------------------------------------------------------------------------------

TEST_F(GeometrySuites, MatricesMapXThroughAAndCAndYThroughBAndD) {
    AIRealMatrix shear;
    math->AIRealMatrixSetIdentity(&shear);
    shear.c = 1;  // x grows with y: a horizontal shear
    AIRealPoint point{2, 3};
    math->AIRealMatrixXformPoint(&shear, &point, &point);
    EXPECT_EQ(point.h, 5);
    EXPECT_EQ(point.v, 3);
}

TEST_F(GeometrySuites, ConcatAppliesTheFirstMatrixFirst) {
    AIRealMatrix scale;
    AIRealMatrix move;
    math->AIRealMatrixSetScale(&scale, 2, 3);
    math->AIRealMatrixSetTranslate(&move, 10, 20);
    AIRealMatrix both;
    math->AIRealMatrixConcat(&scale, &move, &both);
    ExpectMatrix(both, {2, 0, 0, 3, 10, 20});
    math->AIRealMatrixConcat(&move, &scale, &both);
    ExpectMatrix(both, {2, 0, 0, 3, 20, 60});
}

TEST_F(GeometrySuites, RotationIsCounterClockwiseInRadians) {
    AIRealMatrix turn;
    math->AIRealMatrixSetRotate(&turn, M_PI / 2);
    AIRealPoint point{1, 0};
    math->AIRealMatrixXformPoint(&turn, &point, &point);
    EXPECT_NEAR(point.h, 0, 1e-15);
    EXPECT_NEAR(point.v, 1, 1e-15);
}

struct UnionCase {
    const char* label;
    AIRealRect a;
    AIRealRect b;
    AIRealRect united;
};

void PrintTo(const UnionCase& c, std::ostream* out) {
    *out << c.label;
}

class RectUnion : public GeometrySuites, public testing::WithParamInterface<UnionCase> {};

TEST_P(RectUnion, HoldsBothWithYUp) {
    AIRealRect result{};
    math->AIUnionRealRect(&GetParam().a, &GetParam().b, &result);
    EXPECT_EQ(result.left, GetParam().united.left);
    EXPECT_EQ(result.top, GetParam().united.top);
    EXPECT_EQ(result.right, GetParam().united.right);
    EXPECT_EQ(result.bottom, GetParam().united.bottom);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RectUnion,
    testing::Values(UnionCase{"apart", {0, 10, 10, 0}, {20, 30, 30, 20}, {0, 30, 30, 0}},
                    // A line of zero height is a real extent, not an empty rectangle.
                    UnionCase{"zeroHeight", {0, 10, 10, 10}, {20, 5, 30, 0}, {0, 10, 30, 0}},
                    UnionCase{"point", {5, 5, 5, 5}, {20, 30, 30, 20}, {5, 30, 30, 5}},
                    UnionCase{"invertedIsEmpty", {10, 0, 0, 10}, {20, 30, 30, 20}, {20, 30, 30, 20}}),
    [](const testing::TestParamInfo<UnionCase>& info) { return std::string(info.param.label); });

TEST_F(GeometrySuites, AFailedMathOperationLeavesItsOutputAlone) {
    app->Faults().FailOperation(kAIRealMathSuite, "AIRealMatrixSetTranslate", kCantHappenErr);
    AIRealMatrix matrix{1, 2, 3, 4, 5, 6};
    math->AIRealMatrixSetTranslate(&matrix, 10, 20);
    ExpectMatrix(matrix, {1, 2, 3, 4, 5, 6});
}

// --- Transform art
// ------------------------------------------------------------------------------------------

TEST_F(GeometrySuites, PathPointsAndTheirDirectionPointsMove) {
    AIRealMatrix move;
    math->AIRealMatrixSetTranslate(&move, 5, 7);
    ASSERT_EQ(transform->TransformArt(Art("Curve"), &move, 1.0, kTransformObjects), kNoErr);
    const auto& path = std::get<host::model::PathContent>(Data("Curve").content).geometry;
    EXPECT_EQ(path.segments[0].anchor, (host::model::Point{5, 7}));
    EXPECT_EQ(path.segments[0].out, (host::model::Point{15, 27}));
    EXPECT_EQ(path.segments[1].in, (host::model::Point{35, 27}));
}

TEST_F(GeometrySuites, FramesOfTextPlacedArtRastersAndSymbolsTakeTheMatrix) {
    AIRealMatrix scale;
    math->AIRealMatrixSetScale(&scale, 3, 3);
    for (const char* name : {"Text", "Placed", "Raster", "Symbol"}) {
        ASSERT_EQ(transform->TransformArt(Art(name), &scale, 1.0, kTransformObjects), kNoErr) << name;
    }
    EXPECT_EQ(BoxMatrix("Text"), host::model::Matrix::scaling(3, 3));
    EXPECT_EQ(BoxMatrix("Placed"), host::model::Matrix::scaling(3, 3));
    EXPECT_EQ(BoxMatrix("Raster"), host::model::Matrix::scaling(6, 6));
    EXPECT_EQ(BoxMatrix("Symbol"), host::model::Matrix::scaling(3, 3));
    ASSERT_EQ(transform->TransformArt(Art("OnPath"), &scale, 1.0, kTransformObjects), kNoErr);
    const auto& text = std::get<host::model::TextFrameContent>(Data("OnPath").content);
    EXPECT_EQ(text.path.segments[1].anchor, (host::model::Point{30, 0}));
}

TEST_F(GeometrySuites, LineWidthsScaleOnlyWhenAsked) {
    AIRealMatrix scale;
    math->AIRealMatrixSetScale(&scale, 2, 2);
    transform->TransformArt(Art("Curve"), &scale, 2.0, kTransformObjects);
    EXPECT_EQ(Data("Curve").strokeWidth(), 2.0);
    transform->TransformArt(Art("Curve"), &scale, 2.0, kTransformObjects | kScaleLines);
    EXPECT_EQ(Data("Curve").strokeWidth(), 4.0);
}

TEST_F(GeometrySuites, PatternOptionsAreRecordedOnTheArt) {
    AIRealMatrix move;
    math->AIRealMatrixSetTranslate(&move, 1, 2);
    transform->TransformArt(Art("Curve"), &move, 1.0, kTransformFillPatterns);
    EXPECT_EQ(Data("Curve").fillPattern, host::model::Matrix::translation(1, 2));
    EXPECT_TRUE(Data("Curve").strokePattern.isIdentity());
    transform->TransformArt(Art("Curve"), &move, 1.0, kTransformStrokePatterns);
    EXPECT_EQ(Data("Curve").strokePattern, host::model::Matrix::translation(1, 2));
}

TEST_F(GeometrySuites, AGroupMovesItsMembersOnlyWithTheGeometryOption) {
    AIRealMatrix move;
    math->AIRealMatrixSetTranslate(&move, 100, 0);
    transform->TransformArt(Art("Group"), &move, 1.0, kTransformFillPatterns | kScaleLines);
    EXPECT_EQ(std::get<host::model::PathContent>(Data("Curve").content).geometry.segments[0].anchor,
              (host::model::Point{0, 0}));
    EXPECT_EQ(Data("Group").fillPattern, host::model::Matrix::translation(100, 0));
    transform->TransformArt(Art("Group"), &move, 1.0, kTransformObjects);
    EXPECT_EQ(std::get<host::model::PathContent>(Data("Curve").content).geometry.segments[0].anchor,
              (host::model::Point{100, 0}));
}

TEST_F(GeometrySuites, TransformArtRefusesBadArgumentsAndRecordsItsCalls) {
    AIRealMatrix identity;
    const AIRealMatrix infinite{INFINITY, 0, 0, 1, 0, 0};
    EXPECT_EQ(transform->TransformArt(Art("Curve"), nullptr, 1.0, kTransformObjects), kBadParameterErr);
    EXPECT_EQ(transform->TransformArt(Art("Curve"), &infinite, 1.0, kTransformObjects), kBadParameterErr);
    EXPECT_EQ(transform->TransformArt(Art("Curve"), &identity, -1.0, kScaleLines), kBadParameterErr);
    EXPECT_EQ(transform->TransformArt(nullptr, &identity, 1.0, kTransformObjects), kBadParameterErr);
    EXPECT_EQ(transform->TransformArt(Art("Curve"), &identity, 1.0, 29), kNoErr);
    EXPECT_EQ(app->Journal().Count("TransformArt"), 5);
    app->CloseDocument();
    EXPECT_EQ(transform->TransformArt(nullptr, &identity, 1.0, kTransformObjects), kNoDocumentErr);
}

// --- Hard and soft coordinates -----------------------------------------------------------------------------

struct Conversion {
    const char* label;
    int activeArtboard;
    AIRealPoint soft;  // artboard coordinates
    AIRealPoint hard;  // document coordinates
};

void PrintTo(const Conversion& c, std::ostream* out) {
    *out << c.label;
}

class HardSoft : public GeometrySuites, public testing::WithParamInterface<Conversion> {};

TEST_P(HardSoft, ConvertsBothWays) {
    ASSERT_EQ(Doc().editArtboards().setActive(static_cast<std::size_t>(GetParam().activeArtboard)),
              host::model::Status::ok);
    AIRealPoint point = GetParam().soft;
    ASSERT_EQ(
        hardSoft->ConvertCoordinates(&point, kAIArtboardCoordinateSystem, kAIDocumentCoordinateSystem, false),
        kNoErr);
    EXPECT_EQ(point.h, GetParam().hard.h);
    EXPECT_EQ(point.v, GetParam().hard.v);
    ASSERT_EQ(
        hardSoft->ConvertCoordinates(&point, kAIDocumentCoordinateSystem, kAIArtboardCoordinateSystem, false),
        kNoErr);
    EXPECT_EQ(point.h, GetParam().soft.h);
    EXPECT_EQ(point.v, GetParam().soft.v);
}

INSTANTIATE_TEST_SUITE_P(
    Points, HardSoft,
    testing::Values(Conversion{"topLeftOfTheFirst", 0, {0, 0}, {0, 300}},
                    Conversion{"downIsPositive", 0, {10, 20}, {10, 280}},
                    Conversion{"belowTheArtboard", 0, {-5, 400}, {-5, -100}},
                    // The second artboard's rulers count from 10 right and 20 down of its corner.
                    Conversion{"secondArtboard", 1, {0, 0}, {510, 380}},
                    Conversion{"secondFurther", 1, {5, 5}, {515, 375}}),
    [](const testing::TestParamInfo<Conversion>& info) { return std::string(info.param.label); });

TEST_F(GeometrySuites, VectorsOnlyTurnTheVerticalAxis) {
    AIRealPoint vector{3, 4};
    ASSERT_EQ(
        hardSoft->ConvertCoordinates(&vector, kAIArtboardCoordinateSystem, kAIDocumentCoordinateSystem, true),
        kNoErr);
    EXPECT_EQ(vector.h, 3);
    EXPECT_EQ(vector.v, -4);
}

TEST_F(GeometrySuites, ConversionRefusesUnknownSystems) {
    AIRealPoint point{1, 2};
    EXPECT_EQ(hardSoft->ConvertCoordinates(&point, 2, 0, false), kBadParameterErr);
    EXPECT_EQ(hardSoft->ConvertCoordinates(nullptr, 1, 0, false), kBadParameterErr);
    EXPECT_EQ(point.h, 1);
    EXPECT_EQ(point.v, 2);
    EXPECT_EQ(hardSoft->ConvertCoordinates(&point, 0, 0, false), kNoErr);
    EXPECT_EQ(point.v, 2);
}

// --- Preferences ------------------------------------------------------------------------------------------

TEST_F(GeometrySuites, TheApplicationsOwnPreferencesAreSet) {
    AIBoolean set = false;
    ASSERT_EQ(preference->IsSet(nullptr, "includeStrokeInBounds", &set), kNoErr);
    EXPECT_TRUE(set);
    AIBoolean stroke = true;
    ASSERT_EQ(preference->GetBooleanPreference(nullptr, "includeStrokeInBounds", &stroke), kNoErr);
    EXPECT_FALSE(stroke);
    ai::int32 corners = 0;
    ASSERT_EQ(preference->GetIntegerPreference("", "policyForPreservingCorners", &corners), kNoErr);
    EXPECT_EQ(corners, 2);
}

TEST_F(GeometrySuites, PreferencesAreKeptByPrefixAndName) {
    AIBoolean set = true;
    ASSERT_EQ(preference->IsSet("PlimUtils", "includeStrokeInBounds", &set), kNoErr);
    EXPECT_FALSE(set);
    ai::int32 value = 7;
    EXPECT_EQ(preference->GetIntegerPreference("PlimUtils", "count", &value), kBadParameterErr);
    ASSERT_EQ(preference->PutIntegerPreference("PlimUtils", "count", 42), kNoErr);
    ASSERT_EQ(preference->GetIntegerPreference("PlimUtils", "count", &value), kNoErr);
    EXPECT_EQ(value, 42);
    AIBoolean flag = false;
    ASSERT_EQ(preference->GetBooleanPreference("PlimUtils", "count", &flag), kNoErr);
    EXPECT_TRUE(flag);
    EXPECT_EQ(app->Preferences().Get("PlimUtils", "count"), host::PreferenceStore::Value(ai::int32{42}));
    EXPECT_EQ(preference->PutBooleanPreference(nullptr, nullptr, true), kBadParameterErr);
}

TEST_F(GeometrySuites, PreferenceReadsAndWritesAreRecorded) {
    AIBoolean stroke = false;
    preference->GetBooleanPreference(nullptr, "includeStrokeInBounds", &stroke);
    preference->PutIntegerPreference(nullptr, "policyForPreservingCorners", 1);
    EXPECT_TRUE(app->Journal().Contains("GetBooleanPreference(, includeStrokeInBounds)"));
    EXPECT_TRUE(app->Journal().Contains("PutIntegerPreference(, policyForPreservingCorners, 1)"));
}

}  // namespace
