#include "model/ArtPaintFormat.h"

#include <cmath>
#include <set>

namespace host::model {

namespace {

using nlohmann::json;

// --- Writing ---------------------------------------------------------------------------------------

json finite(double value) {
    if (!std::isfinite(value)) {
        throw PaintFormatError("", "a number is not finite");
    }
    return value;
}

json numbersJson(const double* values, std::size_t count) {
    json result = json::array();
    for (std::size_t i = 0; i < count; ++i) {
        result.push_back(finite(values[i]));
    }
    return result;
}

constexpr const char* kColorKeys[] = {"", "gray", "cmyk", "rgb"};
constexpr const char* kCapNames[] = {"butt", "round", "projecting"};
constexpr const char* kJoinNames[] = {"miter", "round", "bevel"};

json colorJson(const Color& color) {
    if (!color.paints()) {
        return "none";
    }
    const char* key = kColorKeys[static_cast<int>(color.kind)];
    if (color.kind == Color::Kind::gray) {
        return json{{key, finite(color.values[0])}};
    }
    return json{{key, numbersJson(color.values.data(), color.componentCount())}};
}

json blendJson(const BlendAttributes& blend) {
    const BlendAttributes defaults;
    json out = json::object();
    if (blend.mode != defaults.mode) {
        out["mode"] = blend.mode;
    }
    if (blend.opacity != defaults.opacity) {
        out["opacity"] = finite(blend.opacity);
    }
    if (blend.opacityEnabled != defaults.opacityEnabled) {
        out["opacityEnabled"] = blend.opacityEnabled;
    }
    if (blend.isolated != defaults.isolated) {
        out["isolated"] = blend.isolated;
    }
    if (blend.knockout != defaults.knockout) {
        out["knockout"] = blend.knockout;
    }
    if (blend.alphaIsShape != defaults.alphaIsShape) {
        out["alphaIsShape"] = blend.alphaIsShape;
    }
    return out;
}

json effectsJson(const std::vector<Effect>& effects, const DictionaryWriter& writeDictionary) {
    json out = json::array();
    for (const Effect& effect : effects) {
        json entry{{"name", effect.name}};
        if (effect.version != 1) {
            entry["version"] = effect.version;
        }
        if (!effect.visible) {
            entry["visible"] = false;
        }
        if (!effect.parameters.empty()) {
            entry["parameters"] = writeDictionary(effect.parameters);
        }
        out.push_back(std::move(entry));
    }
    return out;
}

json strokeJson(const StrokePaint& stroke, const DictionaryWriter& writeDictionary) {
    const StrokePaint defaults;
    json out{{"color", colorJson(stroke.color)}};
    if (stroke.overprint) {
        out["overprint"] = true;
    }
    if (stroke.width != defaults.width) {
        out["width"] = finite(stroke.width);
    }
    if (stroke.cap != defaults.cap) {
        out["cap"] = kCapNames[static_cast<int>(stroke.cap)];
    }
    if (stroke.join != defaults.join) {
        out["join"] = kJoinNames[static_cast<int>(stroke.join)];
    }
    if (stroke.miterLimit != defaults.miterLimit) {
        out["miterLimit"] = finite(stroke.miterLimit);
    }
    if (!stroke.dashes.empty()) {
        out["dashes"] = numbersJson(stroke.dashes.data(), stroke.dashes.size());
    }
    if (stroke.dashOffset != 0.0) {
        out["dashOffset"] = finite(stroke.dashOffset);
    }
    if (!stroke.parameters.empty()) {
        out["parameters"] = writeDictionary(stroke.parameters);
    }
    return out;
}

json paintFieldJson(const PaintField& field, const DictionaryWriter& writeDictionary) {
    json out = json::object();
    if (const FillPaint* fill = field.fillPaint()) {
        json paint{{"color", colorJson(fill->color)}};
        if (fill->overprint) {
            paint["overprint"] = true;
        }
        out["fill"] = std::move(paint);
    }
    if (const StrokePaint* stroke = field.strokePaint()) {
        out["stroke"] = strokeJson(*stroke, writeDictionary);
    }
    if (!field.effects.empty()) {
        out["effects"] = effectsJson(field.effects, writeDictionary);
    }
    if (!field.visible) {
        out["visible"] = false;
    }
    if (field.evenOdd) {
        out["evenOdd"] = true;
    }
    if (field.blend != BlendAttributes{}) {
        out["blend"] = blendJson(field.blend);
    }
    return out;
}

// --- Reading ---------------------------------------------------------------------------------------

// The keys of one object, read by name; a key nothing asked for is an error.
class Keys {
public:
    Keys(const json& object, std::string where) : object_(object), where_(std::move(where)) {
        if (!object.is_object()) {
            throw PaintFormatError(where_, std::string("expected an object, found ") + object.type_name());
        }
    }
    const json* optional(const std::string& key) {
        used_.insert(key);
        const auto found = object_.find(key);
        return found == object_.end() ? nullptr : &*found;
    }
    std::string at(const std::string& key) const { return where_ + "." + key; }
    void finish() const {
        for (const auto& item : object_.items()) {
            if (!used_.contains(item.key())) {
                throw PaintFormatError(where_, "unknown key \"" + item.key() + "\"");
            }
        }
    }

private:
    const json& object_;
    std::string where_;
    std::set<std::string> used_;
};

double readFinite(const json& value, const std::string& where) {
    if (!value.is_number() || !std::isfinite(value.get<double>())) {
        throw PaintFormatError(where, "expected a finite number");
    }
    return value.get<double>();
}

double readUnit(const json& value, const std::string& where) {
    const double result = readFinite(value, where);
    if (result < 0.0 || result > 1.0) {
        throw PaintFormatError(where, "expected a number from 0 to 1");
    }
    return result;
}

bool readFlag(const json& value, const std::string& where) {
    if (!value.is_boolean()) {
        throw PaintFormatError(where, "expected true or false");
    }
    return value.get<bool>();
}

int readSmallInteger(const json& value, const std::string& where, int low, int high) {
    if (!value.is_number_integer() || value.get<std::int64_t>() < low || value.get<std::int64_t>() > high) {
        throw PaintFormatError(
            where, "expected an integer from " + std::to_string(low) + " to " + std::to_string(high));
    }
    return static_cast<int>(value.get<std::int64_t>());
}

const json& readList(const json& value, const std::string& where) {
    if (!value.is_array()) {
        throw PaintFormatError(where, "expected an array");
    }
    return value;
}

template <std::size_t N>
int readName(const json& value, const std::string& where, const char* const (&names)[N]) {
    if (value.is_string()) {
        for (std::size_t i = 0; i < N; ++i) {
            if (value.get<std::string>() == names[i]) {
                return static_cast<int>(i);
            }
        }
    }
    throw PaintFormatError(where, "unknown name");
}

Color readColor(const json& value, const std::string& where) {
    if (value == "none") {
        return Color::none();
    }
    if (!value.is_object() || value.size() != 1) {
        throw PaintFormatError(
            where,
            "expected \"none\" or one of {\"gray\": g}, {\"rgb\": [r, g, b]}, {\"cmyk\": [c, m, y, k]}");
    }
    Color color;
    const std::string key = value.begin().key();
    const json& components = value.begin().value();
    const std::string at = where + "." + key;
    if (key == "gray") {
        color.kind = Color::Kind::gray;
        color.values[0] = readUnit(components, at);
        return color;
    }
    color.kind = key == "rgb" ? Color::Kind::rgb : key == "cmyk" ? Color::Kind::cmyk : Color::Kind::none;
    if (color.kind == Color::Kind::none) {
        throw PaintFormatError(where, "unknown colour kind \"" + key + "\"");
    }
    if (!components.is_array() || components.size() != color.componentCount()) {
        throw PaintFormatError(at, "expected " + std::to_string(color.componentCount()) + " components");
    }
    for (std::size_t i = 0; i < color.componentCount(); ++i) {
        color.values[i] = readUnit(components[i], at + "[" + std::to_string(i) + "]");
    }
    return color;
}

BlendAttributes readBlend(const json& value, const std::string& where) {
    Keys keys(value, where);
    BlendAttributes blend;
    if (const json* mode = keys.optional("mode")) {
        blend.mode = readSmallInteger(*mode, keys.at("mode"), 0, kLastBlendMode);
    }
    if (const json* opacity = keys.optional("opacity")) {
        blend.opacity = readUnit(*opacity, keys.at("opacity"));
    }
    if (const json* enabled = keys.optional("opacityEnabled")) {
        blend.opacityEnabled = readFlag(*enabled, keys.at("opacityEnabled"));
    }
    if (const json* isolated = keys.optional("isolated")) {
        blend.isolated = readFlag(*isolated, keys.at("isolated"));
    }
    if (const json* knockout = keys.optional("knockout")) {
        blend.knockout = readSmallInteger(*knockout, keys.at("knockout"), 0, kLastKnockout);
    }
    if (const json* alpha = keys.optional("alphaIsShape")) {
        blend.alphaIsShape = readFlag(*alpha, keys.at("alphaIsShape"));
    }
    keys.finish();
    return blend;
}

std::vector<Effect> readEffects(const json& value, const std::string& where,
                                const DictionaryReader& readDictionary) {
    std::vector<Effect> effects;
    for (std::size_t i = 0; i < readList(value, where).size(); ++i) {
        Keys keys(value[i], where + "[" + std::to_string(i) + "]");
        Effect effect;
        const json* name = keys.optional("name");
        if (name == nullptr || !name->is_string() || name->get<std::string>().empty()) {
            throw PaintFormatError(keys.at("name"), "expected the effect's name");
        }
        effect.name = name->get<std::string>();
        if (const json* version = keys.optional("version")) {
            effect.version = readSmallInteger(*version, keys.at("version"), 0, 1 << 30);
        }
        if (const json* visible = keys.optional("visible")) {
            effect.visible = readFlag(*visible, keys.at("visible"));
        }
        if (const json* parameters = keys.optional("parameters")) {
            effect.parameters = readDictionary(*parameters, keys.at("parameters"));
        }
        keys.finish();
        effects.push_back(std::move(effect));
    }
    return effects;
}

double readNonNegative(const json& value, const std::string& where) {
    const double result = readFinite(value, where);
    if (result < 0.0) {
        throw PaintFormatError(where, "expected a number of at least 0");
    }
    return result;
}

StrokePaint readStroke(const json& value, const std::string& where, const DictionaryReader& readDictionary) {
    Keys keys(value, where);
    StrokePaint stroke;
    if (const json* color = keys.optional("color")) {
        stroke.color = readColor(*color, keys.at("color"));
    }
    if (const json* overprint = keys.optional("overprint")) {
        stroke.overprint = readFlag(*overprint, keys.at("overprint"));
    }
    if (const json* width = keys.optional("width")) {
        stroke.width = readNonNegative(*width, keys.at("width"));
    }
    if (const json* cap = keys.optional("cap")) {
        stroke.cap = static_cast<LineCap>(readName(*cap, keys.at("cap"), kCapNames));
    }
    if (const json* join = keys.optional("join")) {
        stroke.join = static_cast<LineJoin>(readName(*join, keys.at("join"), kJoinNames));
    }
    if (const json* limit = keys.optional("miterLimit")) {
        stroke.miterLimit = readFinite(*limit, keys.at("miterLimit"));
        if (stroke.miterLimit < 1.0) {
            throw PaintFormatError(keys.at("miterLimit"), "a miter limit is at least 1");
        }
    }
    if (const json* dashes = keys.optional("dashes")) {
        const std::string at = keys.at("dashes");
        for (std::size_t i = 0; i < readList(*dashes, at).size(); ++i) {
            stroke.dashes.push_back(readNonNegative((*dashes)[i], at + "[" + std::to_string(i) + "]"));
        }
    }
    if (const json* offset = keys.optional("dashOffset")) {
        stroke.dashOffset = readFinite(*offset, keys.at("dashOffset"));
    }
    if (const json* parameters = keys.optional("parameters")) {
        stroke.parameters = readDictionary(*parameters, keys.at("parameters"));
    }
    keys.finish();
    return stroke;
}

PaintField readPaintField(const json& value, const std::string& where,
                          const DictionaryReader& readDictionary) {
    Keys keys(value, where);
    PaintField field;
    const json* fill = keys.optional("fill");
    const json* stroke = keys.optional("stroke");
    if (fill != nullptr && stroke != nullptr) {
        throw PaintFormatError(where, "a paint field is a fill or a stroke, not both");
    }
    if (fill != nullptr) {
        Keys fillKeys(*fill, keys.at("fill"));
        FillPaint paint;
        if (const json* color = fillKeys.optional("color")) {
            paint.color = readColor(*color, fillKeys.at("color"));
        }
        if (const json* overprint = fillKeys.optional("overprint")) {
            paint.overprint = readFlag(*overprint, fillKeys.at("overprint"));
        }
        fillKeys.finish();
        field.paint = paint;
    }
    if (stroke != nullptr) {
        field.paint = readStroke(*stroke, keys.at("stroke"), readDictionary);
    }
    if (const json* effects = keys.optional("effects")) {
        field.effects = readEffects(*effects, keys.at("effects"), readDictionary);
    }
    if (const json* visible = keys.optional("visible")) {
        field.visible = readFlag(*visible, keys.at("visible"));
    }
    if (const json* evenOdd = keys.optional("evenOdd")) {
        field.evenOdd = readFlag(*evenOdd, keys.at("evenOdd"));
    }
    if (const json* blend = keys.optional("blend")) {
        field.blend = readBlend(*blend, keys.at("blend"));
    }
    keys.finish();
    return field;
}

constexpr char kBase64Alphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

int base64Value(char c) {
    for (int i = 0; i < 64; ++i) {
        if (kBase64Alphabet[i] == c) {
            return i;
        }
    }
    return -1;
}

}  // namespace

json styleJson(const ArtStyle& style, const DictionaryWriter& writeDictionary) {
    json out = json::object();
    if (!style.paintFields.empty()) {
        json fields = json::array();
        for (const PaintField& field : style.paintFields) {
            fields.push_back(paintFieldJson(field, writeDictionary));
        }
        out["paintFields"] = std::move(fields);
    }
    if (!style.preEffects.empty()) {
        out["preEffects"] = effectsJson(style.preEffects, writeDictionary);
    }
    if (!style.postEffects.empty()) {
        out["postEffects"] = effectsJson(style.postEffects, writeDictionary);
    }
    if (style.contentsPosition != 0) {
        out["contentsPosition"] = style.contentsPosition;
    }
    if (style.blend != BlendAttributes{}) {
        out["blend"] = blendJson(style.blend);
    }
    return out;
}

ArtStyle readStyle(const json& value, const std::string& where, const DictionaryReader& readDictionary) {
    Keys keys(value, where);
    ArtStyle style;
    if (const json* fields = keys.optional("paintFields")) {
        const std::string at = keys.at("paintFields");
        for (std::size_t i = 0; i < readList(*fields, at).size(); ++i) {
            style.paintFields.push_back(
                readPaintField((*fields)[i], at + "[" + std::to_string(i) + "]", readDictionary));
        }
    }
    if (const json* effects = keys.optional("preEffects")) {
        style.preEffects = readEffects(*effects, keys.at("preEffects"), readDictionary);
    }
    if (const json* effects = keys.optional("postEffects")) {
        style.postEffects = readEffects(*effects, keys.at("postEffects"), readDictionary);
    }
    if (const json* position = keys.optional("contentsPosition")) {
        style.contentsPosition = static_cast<std::size_t>(readSmallInteger(
            *position, keys.at("contentsPosition"), 0, static_cast<int>(style.paintFields.size())));
    }
    if (const json* blend = keys.optional("blend")) {
        style.blend = readBlend(*blend, keys.at("blend"));
    }
    keys.finish();
    return style;
}

json rasterPixelsJson(const RasterPixels& pixels) {
    if (!pixels.isConsistent()) {
        throw PaintFormatError("", "a raster's pixel data does not match its size");
    }
    json out{{"width", pixels.width},
             {"height", pixels.height},
             {"space", std::string(rasterSpaceName(pixels.space))},
             {"data", encodeBase64(pixels.bytes)}};
    if (pixels.alpha) {
        out["alpha"] = true;
    }
    return out;
}

RasterPixels readRasterPixels(const json& value, const std::string& where) {
    Keys keys(value, where);
    RasterPixels pixels;
    // Rasters are at most 16383 pixels on a side, as the rasterizer makes them.
    constexpr int kLargestSide = 16383;
    const json* width = keys.optional("width");
    const json* height = keys.optional("height");
    const json* data = keys.optional("data");
    if (width == nullptr || height == nullptr || data == nullptr) {
        throw PaintFormatError(where, "pixels need \"width\", \"height\" and \"data\"");
    }
    pixels.width = static_cast<std::size_t>(readSmallInteger(*width, keys.at("width"), 1, kLargestSide));
    pixels.height = static_cast<std::size_t>(readSmallInteger(*height, keys.at("height"), 1, kLargestSide));
    if (const json* space = keys.optional("space")) {
        const std::optional<RasterPixels::Space> known =
            space->is_string() ? rasterSpaceFromName(space->get<std::string>()) : std::nullopt;
        if (!known) {
            throw PaintFormatError(keys.at("space"), "expected \"gray\", \"rgb\" or \"cmyk\"");
        }
        pixels.space = *known;
    }
    if (const json* alpha = keys.optional("alpha")) {
        pixels.alpha = readFlag(*alpha, keys.at("alpha"));
    }
    std::optional<std::vector<std::uint8_t>> bytes =
        data->is_string() ? decodeBase64(data->get<std::string>()) : std::nullopt;
    if (!bytes) {
        throw PaintFormatError(keys.at("data"), "expected base64 text");
    }
    pixels.bytes = std::move(*bytes);
    if (!pixels.isConsistent()) {
        throw PaintFormatError(keys.at("data"), "the pixel data does not match the raster's size");
    }
    keys.finish();
    return pixels;
}

std::string encodeBase64(const std::vector<std::uint8_t>& bytes) {
    std::string text;
    text.reserve((bytes.size() + 2) / 3 * 4);
    for (std::size_t i = 0; i < bytes.size(); i += 3) {
        const std::size_t count = std::min<std::size_t>(3, bytes.size() - i);
        std::uint32_t group = static_cast<std::uint32_t>(bytes[i]) << 16;
        if (count > 1) {
            group |= static_cast<std::uint32_t>(bytes[i + 1]) << 8;
        }
        if (count > 2) {
            group |= bytes[i + 2];
        }
        for (std::size_t k = 0; k < 4; ++k) {
            text.push_back(k <= count ? kBase64Alphabet[(group >> (18 - 6 * k)) & 63] : '=');
        }
    }
    return text;
}

std::optional<std::vector<std::uint8_t>> decodeBase64(std::string_view text) {
    if (text.size() % 4 != 0) {
        return std::nullopt;
    }
    std::vector<std::uint8_t> bytes;
    bytes.reserve(text.size() / 4 * 3);
    for (std::size_t i = 0; i < text.size(); i += 4) {
        const bool last = i + 4 == text.size();
        const std::size_t padding = last ? (text[i + 3] == '=' ? (text[i + 2] == '=' ? 2 : 1) : 0) : 0;
        std::uint32_t group = 0;
        for (std::size_t k = 0; k < 4; ++k) {
            const int value = k < 4 - padding ? base64Value(text[i + k]) : 0;
            if (value < 0) {
                return std::nullopt;
            }
            group = (group << 6) | static_cast<std::uint32_t>(value);
        }
        for (std::size_t k = 0; k < 3 - padding; ++k) {
            bytes.push_back(static_cast<std::uint8_t>((group >> (16 - 8 * k)) & 0xFF));
        }
        // Canonical text: the bits that padding leaves over are zero.
        if (padding > 0 && encodeBase64({bytes.end() - static_cast<std::ptrdiff_t>(3 - padding),
                                         bytes.end()}) != text.substr(i, 4)) {
            return std::nullopt;
        }
    }
    return bytes;
}

}  // namespace host::model
