#include "core/DocumentSettings.h"

#include <array>
#include <cmath>
#include <string_view>

#include "AIDocument.h"
#include "core/Suites.h"

namespace {

// The names of the ruler units by the host's codes 1 to 11; code 7 (quarter millimetres) has none.
constexpr std::array<std::string_view, 11> kRulerUnitNames{
    "inches", "centimeters", "points", "picas", "millimeters", "pixels",
    "",       "feetInches",  "meters", "yards", "feet",
};

}  // namespace

std::optional<int> GetDocumentRulerUnitsCode() {
    ai::int16 code = 0;
    if (sAIDocument == nullptr || sAIDocument->GetDocumentRulerUnits(&code) != kNoErr) {
        return std::nullopt;
    }
    return code;
}

std::string GetDocumentLenUnits() {
    const std::optional<int> code = GetDocumentRulerUnitsCode();
    if (!code || *code < 1 || *code > static_cast<int>(kRulerUnitNames.size())) {
        return {};
    }
    return std::string(kRulerUnitNames[static_cast<std::size_t>(*code - 1)]);
}

std::optional<double> ReadDocumentScale() {
    AIReal scale = 0.0;
    if (sAIDocument == nullptr || sAIDocument->GetDocumentScale(&scale) != kNoErr || !std::isfinite(scale) ||
        scale <= 0.0) {
        return std::nullopt;
    }
    return scale;
}

double GetDocumentScale() {
    return ReadDocumentScale().value_or(1.0);
}
