#include "core/Units.h"

#include <algorithm>
#include <array>
#include <iomanip>
#include <locale>
#include <optional>
#include <sstream>
#include <string_view>

#include "core/DocumentSettings.h"

namespace {

struct LengthUnit {
    std::string_view name;
    double points;  // points in one of the unit
    int decimals;   // digits LenToString writes by default
};

constexpr double kInch = 72.0;
constexpr double kCentimeter = 72.0 / 2.54;
constexpr double kMillimeter = 72.0 / 25.4;
constexpr double kMeter = 7200.0 / 2.54;
constexpr double kFoot = 864.0;
constexpr double kYard = 2592.0;
constexpr double kPica = 12.0;

constexpr std::array<LengthUnit, 20> kLengthUnits{{
    {"inches", kInch, 3},
    {"in", kInch, 3},
    {"centimeters", kCentimeter, 3},
    {"cm", kCentimeter, 3},
    {"points", 1.0, 0},
    {"pt", 1.0, 0},
    {"picas", kPica, 3},
    {"pc", kPica, 3},
    {"p", kPica, 3},
    {"millimeters", kMillimeter, 2},
    {"mm", kMillimeter, 2},
    {"pixels", 1.0, 0},
    {"px", 1.0, 0},
    {"feetInches", kFoot, 4},
    {"meters", kMeter, 4},
    {"m", kMeter, 4},
    {"yards", kYard, 4},
    {"yd", kYard, 4},
    {"feet", kFoot, 4},
    {"ft", kFoot, 4},
}};

// Points per unit by the host's ruler-unit codes 1 to 11 (7, quarter millimetres, has no name of
// its own here and counts as points).
constexpr std::array<double, 11> kRulerUnitSizes{kInch, kCentimeter, 1.0,    kPica, kMillimeter, 1.0,
                                                 1.0,   kFoot,       kMeter, kYard, kFoot};

constexpr int kUnknownUnitDecimals = 4;
constexpr int kMaxDecimals = 50;

bool IsCurrentUnit(const std::string& units) {
    return units == "current" || units == "Current";
}

std::optional<LengthUnit> FindUnit(std::string_view name) {
    const auto found = std::find_if(kLengthUnits.begin(), kLengthUnits.end(),
                                    [&](const LengthUnit& unit) { return unit.name == name; });
    if (found == kLengthUnits.end()) {
        return std::nullopt;
    }
    return *found;
}

double RulerUnitSize() {
    const std::optional<int> code = GetDocumentRulerUnitsCode();
    if (!code || *code < 1 || *code > static_cast<int>(kRulerUnitSizes.size())) {
        return 1.0;
    }
    return kRulerUnitSizes[static_cast<std::size_t>(*code - 1)];
}

}  // namespace

double UnitSizeInPoints(const std::string& units) {
    if (IsCurrentUnit(units)) {
        return RulerUnitSize();
    }
    const std::optional<LengthUnit> unit = FindUnit(units);
    return unit ? unit->points : 1.0;
}

double LenUnitsToPoints(double value, const std::string& units) {
    const std::optional<double> scale = ReadDocumentScale();
    if (!scale) {
        return value;
    }
    return UnitSizeInPoints(units) * value / *scale;
}

double PointsToLenUnits(double value, const std::string& units) {
    const std::optional<double> scale = ReadDocumentScale();
    if (!scale) {
        return value;
    }
    return value / UnitSizeInPoints(units) * *scale;
}

std::string LenToString(double value, const std::string& units, int precision) {
    const std::string name = IsCurrentUnit(units) ? GetDocumentLenUnits() : units;
    int decimals = precision;
    if (decimals < 0) {
        const std::optional<LengthUnit> unit = FindUnit(name);
        decimals = unit ? unit->decimals : kUnknownUnitDecimals;
    }
    std::ostringstream text;
    text.imbue(std::locale::classic());
    text << std::fixed << std::setprecision(std::min(decimals, kMaxDecimals)) << value;
    return text.str();
}

std::string PointsToLenUnitsString(double value, const std::string& units, int precision) {
    return LenToString(PointsToLenUnits(value, units), units, precision);
}
