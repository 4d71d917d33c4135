#include "model/ArtType.h"

#include <utility>

namespace host::model {

namespace {
constexpr std::pair<ArtType, std::string_view> kTypeNames[] = {
    {ArtType::group, "group"},   {ArtType::path, "path"},     {ArtType::compoundPath, "compoundPath"},
    {ArtType::placed, "placed"}, {ArtType::raster, "raster"}, {ArtType::textFrame, "textFrame"},
    {ArtType::symbol, "symbol"},
};
}  // namespace

std::string_view artTypeName(ArtType type) {
    for (const auto& [known, name] : kTypeNames) {
        if (known == type) {
            return name;
        }
    }
    return "unknown";
}

std::optional<ArtType> artTypeFromName(std::string_view name) {
    for (const auto& [type, known] : kTypeNames) {
        if (known == name) {
            return type;
        }
    }
    return std::nullopt;
}

std::optional<ArtType> artTypeFromCode(int code) {
    for (const auto& [type, name] : kTypeNames) {
        if (static_cast<int>(type) == code) {
            return type;
        }
    }
    return std::nullopt;
}

}  // namespace host::model
