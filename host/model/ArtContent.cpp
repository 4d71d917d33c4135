#include "model/ArtContent.h"

#include <utility>

namespace host::model {

namespace {
constexpr std::pair<TextKind, std::string_view> kTextKindNames[] = {
    {TextKind::point, "point"},
    {TextKind::area, "area"},
    {TextKind::onPath, "onPath"},
};

// The types in the order of the ArtContent alternatives.
constexpr ArtType kContentTypes[] = {ArtType::group,     ArtType::path,   ArtType::compoundPath,
                                     ArtType::textFrame, ArtType::placed, ArtType::raster,
                                     ArtType::symbol};
static_assert(std::size(kContentTypes) == std::variant_size_v<ArtContent>);
}  // namespace

std::string_view textKindName(TextKind kind) {
    for (const auto& [known, name] : kTextKindNames) {
        if (known == kind) {
            return name;
        }
    }
    return "point";
}

std::optional<TextKind> textKindFromName(std::string_view name) {
    for (const auto& [kind, known] : kTextKindNames) {
        if (known == name) {
            return kind;
        }
    }
    return std::nullopt;
}

ArtType artTypeOf(const ArtContent& content) {
    return kContentTypes[content.index()];
}

std::optional<ArtContent> makeContent(ArtType type) {
    switch (type) {
        case ArtType::group:
            return GroupContent{};
        case ArtType::path:
            return PathContent{};
        case ArtType::compoundPath:
            return CompoundPathContent{};
        case ArtType::textFrame:
            return TextFrameContent{};
        case ArtType::placed:
            return PlacedContent{};
        case ArtType::raster:
            return RasterContent{};
        case ArtType::symbol:
            return SymbolContent{};
        case ArtType::unknown:
            break;
    }
    return std::nullopt;
}

}  // namespace host::model
