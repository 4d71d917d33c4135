#include "model/ArtContent.h"

namespace host::model {

namespace {

constexpr std::pair<RasterPixels::Space, std::string_view> kSpaceNames[] = {
    {RasterPixels::Space::gray, "gray"},
    {RasterPixels::Space::rgb, "rgb"},
    {RasterPixels::Space::cmyk, "cmyk"},
};

}  // namespace

std::size_t RasterPixels::channels() const {
    const std::size_t components = space == Space::gray ? 1 : space == Space::rgb ? 3 : 4;
    return components + (alpha ? 1 : 0);
}

bool RasterPixels::isConsistent() const {
    if (width == 0 || height == 0) {
        return width == 0 && height == 0 && bytes.empty();
    }
    // Guards the product against overflow before comparing it.
    const std::size_t rowBytes = width * channels();
    return rowBytes / channels() == width && bytes.size() / rowBytes == height &&
           bytes.size() % rowBytes == 0;
}

std::string_view rasterSpaceName(RasterPixels::Space space) {
    for (const auto& [known, name] : kSpaceNames) {
        if (known == space) {
            return name;
        }
    }
    return "rgb";
}

std::optional<RasterPixels::Space> rasterSpaceFromName(std::string_view name) {
    for (const auto& [space, known] : kSpaceNames) {
        if (known == name) {
            return space;
        }
    }
    return std::nullopt;
}

}  // namespace host::model
