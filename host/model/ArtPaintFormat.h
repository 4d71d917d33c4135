// The document format's text for the paint of art: art styles ("style") and raster pixels
// ("pixels"). The document reader and writer call these for each art object; the dictionaries inside
// styles (effect and stroke parameters) are written and read by the callbacks they pass.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string_view>
#include <vector>

#include "model/ArtContent.h"
#include "model/ArtStyle.h"
#include "model/Dictionary.h"
#include "model/JsonText.h"

namespace host::model {

using DictionaryWriter = std::function<void(JsonWriter&, const Dictionary&)>;
using DictionaryReader = std::function<Dictionary(JsonReader&)>;

// Only values that differ from the defaults are written. Throws FormatError for numbers that are
// not finite.
void writeStyle(JsonWriter& out, const ArtStyle& style, const DictionaryWriter& writeDictionary);
// Throws FormatError for unknown or repeated keys, wrong types and values out of their limits.
ArtStyle readStyle(JsonReader& in, const DictionaryReader& readDictionary);

// A colour alone, as paint fields write it (text colours use it too).
void writePaintColor(JsonWriter& out, const Color& color);
Color readPaintColor(JsonReader& in);

// Colours, fills and strokes on their own (swatches, custom colours, dictionary entries). A colour
// is "none", {"gray": g}, {"rgb": [r, g, b]}, {"cmyk": [c, m, y, k]}, {"custom": name, "tint": t},
// {"pattern": name} or {"gradient": name}; the readers throw FormatError as readStyle does.
void writeColor(JsonWriter& out, const Color& color);
Color readColor(JsonReader& in);
void writeFillPaint(JsonWriter& out, const FillPaint& fill);
void writeStrokePaint(JsonWriter& out, const StrokePaint& stroke, const DictionaryWriter& writeDictionary);
FillPaint readFillPaint(JsonReader& in);
StrokePaint readStrokePaint(JsonReader& in, const DictionaryReader& readDictionary);

void writeRasterPixels(JsonWriter& out, const RasterPixels& pixels);
RasterPixels readRasterPixels(JsonReader& in);

std::string encodeBase64(const std::vector<std::uint8_t>& bytes);
// None for text that is not canonical base64 (padding included, no blanks).
std::optional<std::vector<std::uint8_t>> decodeBase64(std::string_view text);

}  // namespace host::model
