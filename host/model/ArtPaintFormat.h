// The document format's text for the paint of art: art styles ("style") and raster pixels
// ("pixels"). DocumentFormat.cpp calls these for each art object; the dictionaries inside styles
// (effect and stroke parameters) are written and read by the callbacks it passes.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include <nlohmann/json.hpp>

#include "model/ArtContent.h"
#include "model/ArtStyle.h"
#include "model/Dictionary.h"

namespace host::model {

// A problem with the text, its message starting with the place where it was found.
class PaintFormatError : public std::runtime_error {
public:
    PaintFormatError(const std::string& where, const std::string& what)
        : std::runtime_error(where.empty() ? what : where + ": " + what) {}
};

using DictionaryWriter = std::function<nlohmann::json(const Dictionary&)>;
using DictionaryReader = std::function<Dictionary(const nlohmann::json&, const std::string& where)>;

// Only values that differ from the defaults are written. Throws PaintFormatError for numbers that
// are not finite.
nlohmann::json styleJson(const ArtStyle& style, const DictionaryWriter& writeDictionary);
// Throws PaintFormatError for unknown keys, wrong types and values out of their limits.
ArtStyle readStyle(const nlohmann::json& value, const std::string& where,
                   const DictionaryReader& readDictionary);

nlohmann::json rasterPixelsJson(const RasterPixels& pixels);
RasterPixels readRasterPixels(const nlohmann::json& value, const std::string& where);

std::string encodeBase64(const std::vector<std::uint8_t>& bytes);
// None for text that is not canonical base64 (padding included, no blanks).
std::optional<std::vector<std::uint8_t>> decodeBase64(std::string_view text);

}  // namespace host::model
