// The model's artboards (list, active one, ruler origin, their part of the document format) and
// the transformation of art as the transform art suite asks for it.
#include <cmath>

#include "ModelTestSupport.h"

namespace host::model {
namespace {

using testing::addArt;
using testing::addRectangle;
using testing::findByName;

Artboard board(const std::string& name, Rect bounds) {
    Artboard artboard;
    artboard.name = name;
    artboard.bounds = bounds;
    return artboard;
}

// --- Artboards ---------------------------------------------------------------------------------------------

TEST(Artboards, ANewDocumentHasOneLetterPage) {
    const Document document;
    ASSERT_EQ(document.artboards().size(), 1u);
    EXPECT_EQ(document.artboards()[0].name, "Artboard 1");
    EXPECT_EQ(document.artboards()[0].bounds, Rect(0, 792, 612, 0));
    EXPECT_EQ(document.artboards().activeIndex(), 0u);
    EXPECT_EQ(document.artboards().rulerOrigin(), (Point{0, 792}));
}

TEST(Artboards, InsertNamesUnnamedOnesByNumber) {
    Document document;
    Artboard unnamed;
    unnamed.bounds = Rect(0, 10, 10, 0);
    EXPECT_EQ(document.editArtboards().insert(unnamed).valueOr(99), 1u);
    EXPECT_EQ(document.artboards()[1].name, "Artboard 2");
    EXPECT_EQ(document.editArtboards().insert(board("Named", Rect(0, 10, 10, 0))).valueOr(99), 2u);
    EXPECT_EQ(document.artboards()[2].name, "Named");
}

struct InvalidBoard {
    const char* label;
    Artboard artboard;
};

void PrintTo(const InvalidBoard& c, std::ostream* out) {
    *out << c.label;
}

class InvalidArtboards : public ::testing::TestWithParam<InvalidBoard> {};

TEST_P(InvalidArtboards, AreRefusedAndChangeNothing) {
    Document document;
    const Document before = document;
    EXPECT_EQ(document.editArtboards().insert(GetParam().artboard).status(), Status::badParameter);
    EXPECT_EQ(document.editArtboards().update(0, GetParam().artboard), Status::badParameter);
    EXPECT_TRUE(document == before);
}

Artboard withRatio(double ratio) {
    Artboard artboard;
    artboard.pixelAspectRatio = ratio;
    return artboard;
}

Artboard withOrigin(double x) {
    Artboard artboard;
    artboard.rulerOrigin = {x, 0};
    return artboard;
}

INSTANTIATE_TEST_SUITE_P(Cases, InvalidArtboards,
                         ::testing::Values(InvalidBoard{"zeroWidth", board("z", Rect(5, 10, 5, 0))},
                                           InvalidBoard{"zeroHeight", board("z", Rect(0, 5, 10, 5))},
                                           InvalidBoard{"inverted", board("z", Rect(10, 0, 0, 10))},
                                           InvalidBoard{"infinite", board("z", Rect(0, INFINITY, 10, 0))},
                                           InvalidBoard{"badName", board("\xff", Rect(0, 10, 10, 0))},
                                           InvalidBoard{"zeroRatio", withRatio(0)},
                                           InvalidBoard{"nanOrigin", withOrigin(NAN)}),
                         [](const ::testing::TestParamInfo<InvalidBoard>& info) {
                             return std::string(info.param.label);
                         });

TEST(Artboards, UpdateAndActivateNeedAnExistingIndex) {
    Document document;
    EXPECT_EQ(document.editArtboards().update(1, board("x", Rect(0, 1, 1, 0))), Status::notFound);
    EXPECT_EQ(document.editArtboards().setActive(1), Status::badParameter);
    EXPECT_EQ(document.editArtboards().update(0, board("Page", Rect(0, 100, 50, 0))), Status::ok);
    EXPECT_EQ(document.artboards()[0].name, "Page");
}

TEST(Artboards, DeletingKeepsTheActiveOneActive) {
    Document document;
    document.editArtboards().insert(board("Second", Rect(0, 1, 1, 0)));
    document.editArtboards().insert(board("Third", Rect(0, 1, 1, 0)));
    ASSERT_EQ(document.editArtboards().setActive(2), Status::ok);
    EXPECT_EQ(document.editArtboards().remove(0), Status::ok);
    EXPECT_EQ(document.artboards().active().name, "Third");
    // The active one removed: the one taking its place, or the new last one.
    EXPECT_EQ(document.editArtboards().remove(1), Status::ok);
    EXPECT_EQ(document.artboards().activeIndex(), 0u);
    EXPECT_EQ(document.editArtboards().remove(0), Status::notAllowed);
    EXPECT_EQ(document.editArtboards().remove(3), Status::notFound);
}

TEST(Artboards, TheRulerOriginIsMeasuredDownFromTheActiveTopLeftCorner) {
    Document document;
    Artboard second = board("Second", Rect(100, 500, 300, 200));
    second.rulerOrigin = {10, 20};
    document.editArtboards().insert(second);
    document.editArtboards().setActive(1);
    EXPECT_EQ(document.artboards().rulerOrigin(), (Point{110, 480}));
}

TEST(Artboards, AreSavedAndOpenedWithEveryProperty) {
    Document document;
    Artboard second = board("Second", Rect(100, 500, 300, 200));
    second.rulerOrigin = {10, 20};
    second.pixelAspectRatio = 2;
    second.showCenter = true;
    second.showSafeAreas = true;
    document.editArtboards().insert(second);
    document.editArtboards().setActive(1);
    const WriteResult written = writeDocument(document);
    ASSERT_TRUE(written.text) << written.error;
    EXPECT_NE(written.text->find("\"activeArtboard\": 1"), std::string::npos);
    const ReadResult read = readDocument(*written.text);
    ASSERT_TRUE(read.document) << read.error;
    EXPECT_EQ(read.document->artboards(), document.artboards());
    EXPECT_EQ(read.document->artboards().activeIndex(), 1u);
    EXPECT_EQ(writeDocument(*read.document).text, written.text);
}

TEST(Artboards, OnlyTheDefaultArtboardIsLeftOut) {
    const WriteResult written = writeDocument(Document());
    ASSERT_TRUE(written.text);
    EXPECT_EQ(written.text->find("artboards"), std::string::npos);
}

TEST(Artboards, TheSampleHasTwo) {
    const Document sample = testing::loadSample();
    ASSERT_EQ(sample.artboards().size(), 2u);
    EXPECT_EQ(sample.artboards()[1].name, "Badge");
    EXPECT_EQ(sample.artboards()[1].bounds, Rect(400, 600, 600, 400));
}

struct BadArtboardText {
    const char* label;
    const char* artboards;
    const char* error;
};

void PrintTo(const BadArtboardText& c, std::ostream* out) {
    *out << c.label;
}

class BadArtboards : public ::testing::TestWithParam<BadArtboardText> {};

TEST_P(BadArtboards, AreRefusedWithAReason) {
    const std::string text = std::string(R"({"format": "plimhost-document", "version": 1, "layers": [], )") +
                             GetParam().artboards + "}";
    const ReadResult read = readDocument(text);
    EXPECT_FALSE(read.document);
    EXPECT_NE(read.error.find(GetParam().error), std::string::npos) << read.error;
}

INSTANTIATE_TEST_SUITE_P(
    Inputs, BadArtboards,
    ::testing::Values(
        BadArtboardText{"none", R"("artboards": [])", "at least one artboard"},
        BadArtboardText{"noRect", R"("artboards": [{"name": "x"}])", "\"rect\" is missing"},
        BadArtboardText{"flat", R"("artboards": [{"rect": [0, 10, 10, 10]}])", "width and height above 0"},
        BadArtboardText{"unknownKey", R"("artboards": [{"rect": [0, 10, 10, 0], "colour": 1}])",
                        "unknown key"},
        BadArtboardText{"activeOutOfRange", R"("artboards": [{"rect": [0, 10, 10, 0]}], "activeArtboard": 1)",
                        "activeArtboard"},
        BadArtboardText{"activeWithoutList", R"("activeArtboard": 1)", "activeArtboard"},
        BadArtboardText{"badRatio", R"("artboards": [{"rect": [0, 10, 10, 0], "pixelAspectRatio": 0}])",
                        "pixel aspect ratio"}),
    [](const ::testing::TestParamInfo<BadArtboardText>& info) { return std::string(info.param.label); });

// --- transformArt ------------------------------------------------------------------------------------------

class TransformArt : public ::testing::Test {
protected:
    void SetUp() override {
        group = addArt(document, ArtType::group, "Group", PaintOrder::insideOnTop, layerGroup());
        path = addRectangle(document, "Path", Rect(0, 10, 10, 0), PaintOrder::insideOnTop, group);
        document.setStrokeWidth(path, 2);
    }

    ArtId layerGroup() { return document.layers().group(document.layers().first()).valueOr(ArtId{}); }
    Rect boundsOf(ArtId art) { return document.bounds(art, BoundsKind::geometric).valueOr(Rect()); }
    const ArtData& data(ArtId art) { return *document.find(art)->data; }

    Document document;
    ArtId group;
    ArtId path;
};

TEST_F(TransformArt, AGroupWithTheGeometryOptionTakesItsMembersAlong) {
    TransformOptions options;
    ASSERT_EQ(document.transformArt(group, Matrix::translation(5, 0), 1.0, options), Status::ok);
    EXPECT_EQ(boundsOf(path), Rect(5, 10, 15, 0));
}

TEST_F(TransformArt, WithoutTheGeometryOptionOnlyTheObjectsOwnRecordsChange) {
    TransformOptions options;
    options.objects = false;
    options.fillPatterns = true;
    options.scaleLines = true;
    ASSERT_EQ(document.transformArt(group, Matrix::scaling(2, 2), 3.0, options), Status::ok);
    EXPECT_EQ(boundsOf(path), Rect(0, 10, 10, 0));
    EXPECT_EQ(data(path).strokeWidth(), 2.0);
    EXPECT_EQ(data(group).fillPattern, Matrix::scaling(2, 2));
    EXPECT_TRUE(data(path).fillPattern.isIdentity());
}

TEST_F(TransformArt, PatternsAndLinesFollowAsAsked) {
    TransformOptions options;
    options.strokePatterns = true;
    options.scaleLines = true;
    ASSERT_EQ(document.transformArt(path, Matrix::scaling(3, 3), 3.0, options), Status::ok);
    EXPECT_EQ(boundsOf(path), Rect(0, 30, 30, 0));
    EXPECT_EQ(data(path).strokeWidth(), 6.0);
    EXPECT_EQ(data(path).strokePattern, Matrix::scaling(3, 3));
    EXPECT_TRUE(data(path).fillPattern.isIdentity());
}

TEST_F(TransformArt, PatternMatricesAreSavedAndOpened) {
    TransformOptions options;
    options.fillPatterns = true;
    options.strokePatterns = true;
    document.transformArt(path, Matrix::translation(1, 2), 1.0, options);
    const WriteResult written = writeDocument(document);
    ASSERT_TRUE(written.text) << written.error;
    const ReadResult read = readDocument(*written.text);
    ASSERT_TRUE(read.document) << read.error;
    const ArtId reopened = findByName(*read.document, "Path");
    EXPECT_EQ(read.document->find(reopened)->data->fillPattern, Matrix::translation(1, 2));
    EXPECT_EQ(read.document->find(reopened)->data->strokePattern, Matrix::translation(1, 2));
}

TEST_F(TransformArt, RefusesWhatWouldNotBeFiniteAndChangesNothing) {
    const Document before = document;
    TransformOptions options;
    options.scaleLines = true;
    EXPECT_EQ(document.transformArt(group, Matrix::scaling(1e300, 1e300), 1.0, options), Status::ok);
    EXPECT_EQ(document.transformArt(group, Matrix::scaling(1e300, 1e300), 1.0, options),
              Status::badParameter);
    const Document scaledOnce = document;
    EXPECT_EQ(document.transformArt(path, Matrix::identity(), -1.0, options), Status::badParameter);
    EXPECT_EQ(document.transformArt(path, Matrix::identity(), NAN, options), Status::badParameter);
    EXPECT_EQ(document.transformArt(path, Matrix{NAN, 0, 0, 1, 0, 0}, 1.0, options), Status::badParameter);
    EXPECT_EQ(document.transformArt(ArtId{12345}, Matrix::identity(), 1.0, options), Status::invalidHandle);
    EXPECT_TRUE(document == scaledOnce);
    EXPECT_FALSE(document == before);
}

}  // namespace
}  // namespace host::model
