// Lengths in request units: the unit table both ways, the document's ruler unit for "current",
// the document scale applied alike in both directions, and fixed-point formatting.
#include <gtest/gtest.h>

#include <ostream>

#include "StandIn.h"
#include "core/DocumentSettings.h"
#include "core/Units.h"

namespace {

// The document's scale and ruler unit as the host's model keeps them. Values the model refuses
// (a scale that isn't positive, a code outside the table) are met as the host failing to answer.
void SetScale(unittest::StandIn& host, std::optional<double> scale) {
    if (!scale || host.Doc().setScale(*scale) != host::model::Status::ok) {
        host.Fail("AI Document Suite", "GetDocumentScale");
    }
}

void SetRulerUnits(unittest::StandIn& host, std::optional<int> code) {
    if (!code || host.Doc().setRulerUnits(*code) != host::model::Status::ok) {
        host.Fail("AI Document Suite", "GetDocumentRulerUnits");
    }
}

struct UnitCase {
    const char* units;
    double points;  // in one of the unit
};

void PrintTo(const UnitCase& c, std::ostream* out) {
    *out << "\"" << c.units << "\"";
}

class UnitTable : public testing::TestWithParam<UnitCase> {
protected:
    unittest::StandIn host;
};

TEST_P(UnitTable, ConvertsBothWays) {
    EXPECT_DOUBLE_EQ(LenUnitsToPoints(1.0, GetParam().units), GetParam().points);
    EXPECT_DOUBLE_EQ(PointsToLenUnits(GetParam().points, GetParam().units), 1.0);
}

TEST_P(UnitTable, RoundTripsOnAnyScale) {
    for (const double scale : {1.0, 2.5, 10.0, 0.25}) {
        SetScale(host, scale);
        for (const double value : {3.7, -12.0, 0.001}) {
            EXPECT_NEAR(PointsToLenUnits(LenUnitsToPoints(value, GetParam().units), GetParam().units), value,
                        1e-12 * std::abs(value) + 1e-15)
                << "scale " << scale;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Spellings, UnitTable,
    testing::Values(UnitCase{"inches", 72}, UnitCase{"in", 72}, UnitCase{"centimeters", 72 / 2.54},
                    UnitCase{"cm", 72 / 2.54}, UnitCase{"points", 1}, UnitCase{"pt", 1},
                    UnitCase{"picas", 12}, UnitCase{"pc", 12}, UnitCase{"p", 12},
                    UnitCase{"millimeters", 72 / 25.4}, UnitCase{"mm", 72 / 25.4}, UnitCase{"pixels", 1},
                    UnitCase{"px", 1}, UnitCase{"feetInches", 864}, UnitCase{"meters", 7200 / 2.54},
                    UnitCase{"m", 7200 / 2.54}, UnitCase{"yards", 2592}, UnitCase{"yd", 2592},
                    UnitCase{"feet", 864}, UnitCase{"ft", 864},
                    // Unknown names and the empty one are points; letter case matters.
                    UnitCase{"", 1}, UnitCase{"Inches", 1}, UnitCase{"MM", 1}, UnitCase{"inch", 1}),
    [](const testing::TestParamInfo<UnitCase>& info) {
        return *info.param.units != '\0' ? std::string(info.param.units) : std::string("empty");
    });

struct RulerCase {
    int code;
    double points;
    const char* name;
};

void PrintTo(const RulerCase& c, std::ostream* out) {
    *out << c.code;
}

class RulerUnits : public testing::TestWithParam<RulerCase> {
protected:
    unittest::StandIn host;
};

TEST_P(RulerUnits, CurrentAndCapitalisedCurrentMeanTheRulerUnit) {
    SetRulerUnits(host, GetParam().code);
    for (const char* current : {"current", "Current"}) {
        EXPECT_DOUBLE_EQ(LenUnitsToPoints(2.0, current), 2 * GetParam().points) << current;
        EXPECT_DOUBLE_EQ(PointsToLenUnits(2 * GetParam().points, current), 2.0) << current;
    }
    EXPECT_EQ(GetDocumentLenUnits(), GetParam().name);
}

INSTANTIATE_TEST_SUITE_P(Codes, RulerUnits,
                         testing::Values(RulerCase{1, 72, "inches"}, RulerCase{2, 72 / 2.54, "centimeters"},
                                         RulerCase{3, 1, "points"}, RulerCase{4, 12, "picas"},
                                         RulerCase{5, 72 / 25.4, "millimeters"}, RulerCase{6, 1, "pixels"},
                                         RulerCase{7, 1, ""}, RulerCase{8, 864, "feetInches"},
                                         RulerCase{9, 7200 / 2.54, "meters"}, RulerCase{10, 2592, "yards"},
                                         RulerCase{11, 864, "feet"}, RulerCase{0, 1, ""},
                                         RulerCase{12, 1, ""}),
                         [](const testing::TestParamInfo<RulerCase>& info) {
                             return "Code" + std::to_string(info.param.code);
                         });

TEST(Units, TheScaleDividesOnTheWayToTheHostAndMultipliesOnTheWayBack) {
    unittest::StandIn host;
    SetScale(host, 10.0);
    EXPECT_DOUBLE_EQ(LenUnitsToPoints(1, "in"), 7.2);
    EXPECT_DOUBLE_EQ(PointsToLenUnits(72, "in"), 10);
    SetScale(host, 2.0);
    // An empty or unknown unit is points, scaled alike both ways.
    EXPECT_DOUBLE_EQ(LenUnitsToPoints(5, ""), 2.5);
    EXPECT_DOUBLE_EQ(PointsToLenUnits(5, ""), 10);
    EXPECT_DOUBLE_EQ(LenUnitsToPoints(5, "Inches"), 2.5);
    EXPECT_DOUBLE_EQ(PointsToLenUnits(5, "Inches"), 10);
}

TEST(Units, AnUnusableScaleLeavesTheValueAlone) {
    unittest::StandIn host;
    for (const std::optional<double> scale :
         {std::optional<double>(0.0), std::optional<double>(-2.0), std::optional<double>()}) {
        SetScale(host, scale);
        EXPECT_EQ(LenUnitsToPoints(5, "in"), 5);
        EXPECT_EQ(PointsToLenUnits(5, "in"), 5);
        EXPECT_EQ(LenUnitsToPoints(5, ""), 5);
        EXPECT_EQ(GetDocumentScale(), 1.0);
    }
}

TEST(Units, AFailingRulerUnitMeansPoints) {
    unittest::StandIn host;
    SetRulerUnits(host, std::nullopt);
    EXPECT_EQ(LenUnitsToPoints(5, "current"), 5);
    EXPECT_EQ(PointsToLenUnits(5, "Current"), 5);
    EXPECT_EQ(GetDocumentLenUnits(), "");
}

struct FormatCase {
    double value;
    const char* units;
    int precision;
    const char* text;
};

void PrintTo(const FormatCase& c, std::ostream* out) {
    *out << c.value << " " << c.units << " " << c.precision;
}

class LenToStringFormat : public testing::TestWithParam<FormatCase> {
protected:
    unittest::StandIn host;
};

TEST_P(LenToStringFormat, WritesFixedPoint) {
    EXPECT_EQ(LenToString(GetParam().value, GetParam().units, GetParam().precision), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, LenToStringFormat,
    testing::Values(FormatCase{2.5, "mm", -1, "2.50"}, FormatCase{2.5, "furlongs", -1, "2.5000"},
                    FormatCase{2.5, "", -1, "2.5000"}, FormatCase{2.5, "in", 1, "2.5"},
                    FormatCase{2.5, "in", -1, "2.500"}, FormatCase{2.6, "pt", -1, "3"},
                    FormatCase{2.4, "px", -1, "2"}, FormatCase{-1.255, "mm", -1, "-1.25"},
                    FormatCase{-1.256, "mm", -1, "-1.26"}, FormatCase{1234.5678, "m", -1, "1234.5678"},
                    FormatCase{1, "feetInches", -1, "1.0000"}, FormatCase{1, "pc", -1, "1.000"},
                    FormatCase{1e6, "cm", 0, "1000000"}, FormatCase{0.125, "yd", 2, "0.12"},
                    // The document's ruler unit (points in a new document) decides the digits of "current".
                    FormatCase{2.5, "current", -1, "2"}, FormatCase{2.5, "Current", -1, "2"}),
    [](const testing::TestParamInfo<FormatCase>& info) { return "Case" + std::to_string(info.index); });

TEST(Units, LenToStringDoesNotConvert) {
    unittest::StandIn host;
    SetScale(host, 4.0);
    SetRulerUnits(host, 5);  // millimetres
    EXPECT_EQ(LenToString(72, "current", -1), "72.00");
    SetRulerUnits(host, 7);  // no name: the digits of an unknown unit
    EXPECT_EQ(LenToString(72, "Current", -1), "72.0000");
}

TEST(Units, PointsToLenUnitsStringConvertsAndFormats) {
    unittest::StandIn host;
    EXPECT_EQ(PointsToLenUnitsString(72, "in", -1), "1.000");
    SetRulerUnits(host, 5);
    EXPECT_EQ(PointsToLenUnitsString(72, "current", -1), "25.40");
    SetScale(host, 2.0);
    EXPECT_EQ(PointsToLenUnitsString(36, "in", 2), "1.00");
}

TEST(Units, AbsurdPrecisionIsCapped) {
    unittest::StandIn host;
    EXPECT_EQ(LenToString(1, "pt", 1000000).size(), 52u);
}

}  // namespace
