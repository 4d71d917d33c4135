// The kinds of art objects and their type codes as the host's art suite reports them.
#pragma once

#include <optional>
#include <string_view>

namespace host::model {

// The codes are part of the host's interface: plug-ins compare them with their own constants.
// Codes that are not listed (4-6, 8, 10, 11 and anything above 13) name no art of this host.
enum class ArtType : int {
    unknown = 0,
    group = 1,
    path = 2,
    compoundPath = 3,
    placed = 7,
    raster = 9,
    textFrame = 12,
    symbol = 13,
};

// The kinds that can be created, in code order.
inline constexpr ArtType kArtTypes[] = {ArtType::group,  ArtType::path,   ArtType::compoundPath,
                                        ArtType::placed, ArtType::raster, ArtType::textFrame,
                                        ArtType::symbol};

// The name used in the document format: "group", "path", "compoundPath", "placed", "raster",
// "textFrame", "symbol" ("unknown" for anything else).
std::string_view artTypeName(ArtType type);
std::optional<ArtType> artTypeFromName(std::string_view name);
// A code that names one of the kinds above (unknown excluded).
std::optional<ArtType> artTypeFromCode(int code);

// Containers hold other art: groups (layer groups included) and compound paths.
inline bool isContainerType(ArtType type) {
    return type == ArtType::group || type == ArtType::compoundPath;
}

}  // namespace host::model
