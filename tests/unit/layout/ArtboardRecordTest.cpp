// The artboard and layer request records: presets, keys read with their units, what stays unset,
// the checks that keep values the application would refuse away from it; and the pure helpers of
// the artboard commands (grid counts, order checks, numbered names).
#include <gtest/gtest.h>

#include <limits>
#include <ostream>

#include "StandIn.h"
#include "layout/Artboards.h"
#include "layout/Layers.h"

namespace {

// --- Presets -------------------------------------------------------------------------------------------

struct PresetCase {
    const char* name;
    double width;
    double height;
    double par;
};

void PrintTo(const PresetCase& c, std::ostream* out) {
    *out << "\"" << c.name << "\"";
}

class Presets : public testing::TestWithParam<PresetCase> {
protected:
    unittest::StandIn host;
};

TEST_P(Presets, SetWidthHeightAndRatioInPoints) {
    const Artboard record(json{{"template", GetParam().name}, {"units", "mm"}});
    ASSERT_TRUE(record.width && record.height && record.par);
    EXPECT_DOUBLE_EQ(*record.width, GetParam().width);
    EXPECT_DOUBLE_EQ(*record.height, GetParam().height);
    EXPECT_DOUBLE_EQ(*record.par, GetParam().par);
    EXPECT_EQ(record.anchorPoint, "C");
    EXPECT_FALSE(record.x || record.y || record.newName || record.rulerOrigin || record.centerMark);
}

INSTANTIATE_TEST_SUITE_P(
    Table, Presets,
    testing::Values(PresetCase{"Letter", 612, 792, 1}, PresetCase{"A4", 595.2756, 841.8898, 1},
                    PresetCase{"B4", 728.5039, 1031.811, 1}, PresetCase{"800 x 600 (SVGA)", 600, 800, 1},
                    PresetCase{"640 x 480 (VGA)", 640, 480, 1}, PresetCase{"NTSC DV", 480, 654, 0.9091},
                    PresetCase{"PAL D1 / DV Widescreen", 576, 1050, 1.4587},
                    PresetCase{"HDTV 1080", 1080, 1920, 1}, PresetCase{"DVCPRO HD 1080", 1080, 1920, 1.5},
                    PresetCase{"Film(4K)", 3112, 4096, 1}));

TEST(PresetNames, AreExactAndCaseSensitive) {
    unittest::StandIn host;
    for (const char* name : {"a4", "letter", "A4 ", "", "Film(8K)"}) {
        const Artboard record(json{{"template", name}});
        EXPECT_FALSE(record.width || record.height || record.par) << name;
    }
    EXPECT_FALSE(FindArtboardPreset("iphone X"));
    EXPECT_TRUE(FindArtboardPreset("iPhone X"));
}

TEST(PresetNames, OwnKeysOverrideThePresetInTheirUnits) {
    unittest::StandIn host;
    const Artboard record(json{{"template", "Letter"}, {"width", 10}, {"units", "in"}});
    EXPECT_DOUBLE_EQ(*record.width, 720);
    EXPECT_DOUBLE_EQ(*record.height, 792);
    const Artboard ratio(json{{"template", "NTSC DV"}, {"par", 2}});
    EXPECT_DOUBLE_EQ(*ratio.par, 2);
}

// --- The artboard record --------------------------------------------------------------------------------

TEST(ArtboardRecord, ReadsEveryKeyWithItsUnits) {
    unittest::StandIn host;
    const Artboard record(json{{"units", "in"},
                               {"width", 2},
                               {"height", 1},
                               {"x", 1},
                               {"y", -1},
                               {"anchorPoint", "tl"},
                               {"par", 1.5},
                               {"centerMark", true},
                               {"crossHairMark", false},
                               {"safeAreasMark", true},
                               {"newName", "Cover"},
                               {"rulerX", 0.5},
                               {"rulerY", 0.25}});
    EXPECT_DOUBLE_EQ(*record.width, 144);
    EXPECT_DOUBLE_EQ(*record.height, 72);
    EXPECT_DOUBLE_EQ(*record.x, 72);
    EXPECT_DOUBLE_EQ(*record.y, -72);
    EXPECT_EQ(record.anchorPoint, "tl");  // upper-cased where it is used
    EXPECT_DOUBLE_EQ(*record.par, 1.5);   // no unit
    EXPECT_TRUE(*record.centerMark);
    EXPECT_FALSE(*record.crossHairMark);
    EXPECT_TRUE(*record.safeAreasMark);
    EXPECT_EQ(*record.newName, "Cover");
    ASSERT_TRUE(record.rulerOrigin);
    EXPECT_DOUBLE_EQ(record.rulerOrigin->h, 36);
    EXPECT_DOUBLE_EQ(record.rulerOrigin->v, 18);
    EXPECT_EQ(record.Check(), "");
}

TEST(ArtboardRecord, ARulerOriginNeedsBothCoordinates) {
    unittest::StandIn host;
    EXPECT_FALSE(Artboard(json{{"rulerX", 5}}).rulerOrigin);
    EXPECT_FALSE(Artboard(json{{"rulerY", 5}}).rulerOrigin);
    const Artboard both(json{{"rulerX", 5}, {"rulerY", 0}});
    ASSERT_TRUE(both.rulerOrigin);
    EXPECT_DOUBLE_EQ(both.rulerOrigin->h, 5);
    EXPECT_DOUBLE_EQ(both.rulerOrigin->v, 0);
}

TEST(ArtboardRecord, AnEmptyRequestSetsNothing) {
    unittest::StandIn host;
    const Artboard record(json::object());
    EXPECT_FALSE(record.width || record.height || record.x || record.y || record.par || record.centerMark ||
                 record.crossHairMark || record.safeAreasMark || record.newName || record.rulerOrigin);
    EXPECT_EQ(record.anchorPoint, "C");
}

TEST(ArtboardRecord, FromARectangleReproducesIt) {
    const Artboard record(AIRealRect{10, 200, 110, 50});
    EXPECT_DOUBLE_EQ(*record.width, 100);
    EXPECT_DOUBLE_EQ(*record.height, 150);
    EXPECT_DOUBLE_EQ(*record.x, 60);
    EXPECT_DOUBLE_EQ(*record.y, 125);
    EXPECT_EQ(record.anchorPoint, "C");
    EXPECT_FALSE(record.par || record.newName);
}

struct WrongTypeCase {
    const char* label;
    json request;
};

void PrintTo(const WrongTypeCase& c, std::ostream* out) {
    *out << c.label;
}

class WrongTypes : public testing::TestWithParam<WrongTypeCase> {
protected:
    unittest::StandIn host;
};

TEST_P(WrongTypes, FailTheCommand) {
    EXPECT_THROW(Artboard{GetParam().request}, std::exception);
}

INSTANTIATE_TEST_SUITE_P(Keys, WrongTypes,
                         testing::Values(WrongTypeCase{"widthAsText", json{{"width", "10"}}},
                                         WrongTypeCase{"nameAsNumber", json{{"newName", 3}}},
                                         WrongTypeCase{"markAsNumber", json{{"centerMark", 1}}},
                                         WrongTypeCase{"templateAsNumber", json{{"template", 4}}},
                                         WrongTypeCase{"rulerAsText", json{{"rulerX", "1"}, {"rulerY", 1}}}),
                         [](const auto& info) { return std::string(info.param.label); });

struct CheckCase {
    const char* label;
    Artboard record;
    bool accepted;
};

void PrintTo(const CheckCase& c, std::ostream* out) {
    *out << c.label;
}

Artboard With(void (*change)(Artboard&)) {
    Artboard record;
    change(record);
    return record;
}

class Checks : public testing::TestWithParam<CheckCase> {};

TEST_P(Checks, KeepRefusedValuesFromTheApplication) {
    EXPECT_EQ(GetParam().record.Check().empty(), GetParam().accepted);
}

constexpr double kInf = std::numeric_limits<double>::infinity();
const double kNaN = std::numeric_limits<double>::quiet_NaN();

INSTANTIATE_TEST_SUITE_P(
    Values, Checks,
    testing::Values(CheckCase{"nothingSet", Artboard(), true},
                    CheckCase{"positiveSize", Artboard(1, 0.01, "C", 0, 0), true},
                    CheckCase{"zeroWidth", Artboard(0, 10, "C", 0, 0), false},
                    CheckCase{"negativeHeight", Artboard(10, -1, "C", 0, 0), false},
                    CheckCase{"infiniteWidth", Artboard(kInf, 10, "C", 0, 0), false},
                    CheckCase{"nanHeight", Artboard(10, kNaN, "C", 0, 0), false},
                    CheckCase{"infiniteX", Artboard(10, 10, "C", kInf, 0), false},
                    CheckCase{"negativeCoordinates", Artboard(10, 10, "C", -500, -500), true},
                    CheckCase{"zeroRatio", With([](Artboard& a) { a.par = 0.0; }), false},
                    CheckCase{"negativeRatio", With([](Artboard& a) { a.par = -1.0; }), false},
                    CheckCase{"infiniteRatio", With([](Artboard& a) { a.par = kInf; }), false},
                    CheckCase{"ratio", With([](Artboard& a) { a.par = 0.9091; }), true},
                    CheckCase{"infiniteRuler", With([](Artboard& a) {
                                  a.rulerOrigin = AIRealPoint{0, kInf};
                              }),
                              false},
                    CheckCase{"ruler", With([](Artboard& a) {
                                  a.rulerOrigin = AIRealPoint{-3, 4};
                              }),
                              true}),
    [](const auto& info) { return std::string(info.param.label); });

TEST(ArtboardRecord, HugeLengthsInLargeUnitsAreRefused) {
    unittest::StandIn host;
    // 1e308 feet overflow the points they stand for.
    const Artboard record(json{{"width", 1e308}, {"height", 10}, {"units", "ft"}});
    EXPECT_FALSE(record.Check().empty());
}

// --- Grids, orders and names ---------------------------------------------------------------------------

struct GridCase {
    int n;
    int first;
    int second;
    int firstCount;
    int secondCount;
};

void PrintTo(const GridCase& c, std::ostream* out) {
    *out << c.n << " artboards, " << c.first << " and " << c.second;
}

class Grids : public testing::TestWithParam<GridCase> {};

TEST_P(Grids, CountRowsAndColumns) {
    int firstCount = -7;
    int secondCount = -7;
    ASSERT_TRUE(
        CountRowsAndColumns(GetParam().n, GetParam().first, GetParam().second, firstCount, secondCount));
    EXPECT_EQ(firstCount, GetParam().firstCount);
    EXPECT_EQ(secondCount, GetParam().secondCount);
}

INSTANTIATE_TEST_SUITE_P(
    Table, Grids,
    testing::Values(GridCase{5, 0, 0, 2, 3},  // a square: ceil(sqrt(5)) = 3 of the second
                    GridCase{5, 2, 4, 2, 4},  // the second count wins
                    GridCase{5, 2, 0, 2, 3}, GridCase{5, 0, 2, 3, 2},
                    GridCase{5, 0, 9, 1, 5},  // no more than n
                    GridCase{5, 9, 0, 5, 1}, GridCase{1, 0, 0, 1, 1}, GridCase{4, 0, 0, 2, 2},
                    GridCase{10, -3, -1, 3, 4}, GridCase{7, 3, 0, 3, 3}));

TEST(Grids, NoArtboardsNoGrid) {
    int first = 11;
    int second = 12;
    EXPECT_FALSE(CountRowsAndColumns(0, 1, 1, first, second));
    EXPECT_FALSE(CountRowsAndColumns(-4, 1, 1, first, second));
    EXPECT_EQ(first, 11);
    EXPECT_EQ(second, 12);
}

struct OrderCase {
    std::vector<int> order;
    int n;
    bool valid;
};

void PrintTo(const OrderCase& c, std::ostream* out) {
    *out << c.order.size() << " entries for " << c.n;
}

class Orders : public testing::TestWithParam<OrderCase> {};

TEST_P(Orders, HoldEachArtboardOnce) {
    EXPECT_EQ(CheckArtboardsOrder(GetParam().order, GetParam().n), GetParam().valid);
}

INSTANTIATE_TEST_SUITE_P(Table, Orders,
                         testing::Values(OrderCase{{1, 0, 2}, 3, true}, OrderCase{{0, 1, 2}, 3, true},
                                         OrderCase{{0, 0, 1}, 3, false}, OrderCase{{0, 1}, 3, false},
                                         OrderCase{{0, 1, 2, 3}, 3, false}, OrderCase{{1, 2, 3}, 3, false},
                                         OrderCase{{-1, 0, 1}, 3, false}, OrderCase{{}, 0, true},
                                         OrderCase{{}, 2, false}));

TEST(Names, NameAndNumber) {
    EXPECT_EQ(NameAndNumberToStr("Artboard", 3), "Artboard 3");
    EXPECT_EQ(NameAndNumberToStr("Cover", 12), "Cover 12");
    EXPECT_EQ(NameAndNumberToStr("", 1), " 1");
}

// --- The layer record ---------------------------------------------------------------------------------

TEST(LayerRecord, ReadsEveryKey) {
    const Layer record(json{{"newName", "Ink"},
                            {"color", {{"red", 255}, {"green", 0}, {"blue", 128}}},
                            {"locked", true},
                            {"visible", false},
                            {"template", true},
                            {"print", false},
                            {"preview", true},
                            {"dimmedPercent", 30}});
    EXPECT_EQ(*record.name, "Ink");
    EXPECT_EQ(*record.color, (std::array<int, 3>{255, 0, 128}));
    EXPECT_TRUE(*record.locked);
    EXPECT_TRUE(*record.hidden);
    EXPECT_TRUE(*record.isTemplate);
    EXPECT_FALSE(*record.print);
    EXPECT_TRUE(*record.preview);
    EXPECT_EQ(*record.dimmedPercent, 30);
}

TEST(LayerRecord, AnEmptyRequestSetsNothing) {
    const Layer record(json::object());
    EXPECT_FALSE(record.name || record.color || record.locked || record.hidden || record.isTemplate ||
                 record.print || record.preview || record.dimmedPercent);
    EXPECT_FALSE(Layer(json{{"layerName", "L"}}).name);  // only "newName" names it
}

struct ColorCase {
    const char* label;
    json color;
    bool set;
};

void PrintTo(const ColorCase& c, std::ostream* out) {
    *out << c.label;
}

class LayerColors : public testing::TestWithParam<ColorCase> {};

TEST_P(LayerColors, NeedAllThreeChannels) {
    EXPECT_EQ(Layer(json{{"color", GetParam().color}}).color.has_value(), GetParam().set);
}

INSTANTIATE_TEST_SUITE_P(
    Table, LayerColors,
    testing::Values(ColorCase{"all", {{"red", 1}, {"green", 2}, {"blue", 3}}, true},
                    ColorCase{"noBlue", {{"red", 255}, {"green", 0}}, false},
                    ColorCase{"textChannel", {{"red", "1"}, {"green", 2}, {"blue", 3}}, false},
                    ColorCase{"fractions", {{"red", 1.9}, {"green", 2}, {"blue", 3}}, true},
                    ColorCase{"notAnObject", json::array({1, 2, 3}), false}, ColorCase{"text", "red", false}),
    [](const auto& info) { return std::string(info.param.label); });

struct DimCase {
    double percent;
    std::optional<int> stored;
};

void PrintTo(const DimCase& c, std::ostream* out) {
    *out << c.percent;
}

class Dimming : public testing::TestWithParam<DimCase> {};

TEST_P(Dimming, TakesMinusOneToAHundred) {
    EXPECT_EQ(Layer(json{{"dimmedPercent", GetParam().percent}}).dimmedPercent, GetParam().stored);
}

INSTANTIATE_TEST_SUITE_P(Table, Dimming,
                         testing::Values(DimCase{-1, -1}, DimCase{0, 0}, DimCase{100, 100}, DimCase{50.7, 50},
                                         DimCase{101, std::nullopt}, DimCase{-2, std::nullopt},
                                         DimCase{1e12, std::nullopt}));

TEST(LayerRecord, WrongTypesFailTheCommand) {
    EXPECT_THROW(Layer(json{{"visible", "no"}}), std::exception);
    EXPECT_THROW(Layer(json{{"newName", 1}}), std::exception);
    EXPECT_THROW(Layer(json{{"dimmedPercent", "5"}}), std::exception);
}

}  // namespace
