#include "model/ArtPaintFormat.h"

#include <algorithm>
#include <array>

namespace host::model {

namespace {

constexpr std::string_view kCapNames[] = {"butt", "round", "projecting"};
constexpr std::string_view kJoinNames[] = {"miter", "round", "bevel"};
constexpr std::string_view kColorKeys[] = {"", "gray", "cmyk", "rgb", "custom", "pattern", "gradient"};

// --- Writing ---------------------------------------------------------------------------------------

void writeNumbers(JsonWriter& out, const double* values, std::size_t count) {
    out.beginArray();
    for (std::size_t i = 0; i < count; ++i) {
        out.element();
        out.number(values[i]);
    }
    out.endArray();
}

// Only the values that differ from the default placement (which follows the art's bounds).
void writePlacement(JsonWriter& out, const GradientPlacement& placement) {
    const GradientPlacement defaults;
    out.beginObject();
    if (placement.angle != defaults.angle) {
        out.key("angle");
        out.number(placement.angle);
    }
    if (placement.highlightAngle != defaults.highlightAngle ||
        placement.highlightLength != defaults.highlightLength) {
        const double highlight[] = {placement.highlightAngle, placement.highlightLength};
        out.key("highlight");
        writeNumbers(out, highlight, 2);
    }
    if (placement.length != defaults.length) {
        out.key("length");
        out.number(placement.length);
    }
    if (placement.matrix != defaults.matrix) {
        const Matrix& m = placement.matrix;
        const double values[] = {m.a, m.b, m.c, m.d, m.tx, m.ty};
        out.key("matrix");
        writeNumbers(out, values, 6);
    }
    if (placement.origin != defaults.origin) {
        const double origin[] = {placement.origin.x, placement.origin.y};
        out.key("origin");
        writeNumbers(out, origin, 2);
    }
    out.endObject();
}

}  // namespace

void writeColor(JsonWriter& out, const Color& color) {
    if (!color.paints()) {
        out.string("none");
        return;
    }
    out.beginObject();
    out.key(kColorKeys[static_cast<int>(color.kind)]);
    if (color.isResource()) {
        out.string(color.resource);
        if (color.kind == Color::Kind::custom && color.values[0] != 0.0) {
            out.key("tint");
            out.number(color.values[0]);
        }
        if (color.kind == Color::Kind::gradient && color.placement != GradientPlacement{}) {
            out.key("placement");
            writePlacement(out, color.placement);
        }
    } else if (color.kind == Color::Kind::gray) {
        out.number(color.values[0]);
    } else {
        writeNumbers(out, color.values.data(), color.componentCount());
    }
    out.endObject();
}

namespace {

void writeBlend(JsonWriter& out, const BlendAttributes& blend) {
    const BlendAttributes defaults;
    out.beginObject();
    if (blend.alphaIsShape != defaults.alphaIsShape) {
        out.key("alphaIsShape");
        out.boolean(blend.alphaIsShape);
    }
    if (blend.isolated != defaults.isolated) {
        out.key("isolated");
        out.boolean(blend.isolated);
    }
    if (blend.knockout != defaults.knockout) {
        out.key("knockout");
        out.integer(blend.knockout);
    }
    if (blend.mode != defaults.mode) {
        out.key("mode");
        out.integer(blend.mode);
    }
    if (blend.opacity != defaults.opacity) {
        out.key("opacity");
        out.number(blend.opacity);
    }
    if (blend.opacityEnabled != defaults.opacityEnabled) {
        out.key("opacityEnabled");
        out.boolean(blend.opacityEnabled);
    }
    out.endObject();
}

void writeEffects(JsonWriter& out, const std::vector<Effect>& effects,
                  const DictionaryWriter& writeDictionary) {
    out.beginArray();
    for (const Effect& effect : effects) {
        out.element();
        out.beginObject();
        out.key("name");
        out.string(effect.name);
        if (!effect.parameters.empty()) {
            out.key("parameters");
            writeDictionary(out, effect.parameters);
        }
        if (effect.version != 1) {
            out.key("version");
            out.integer(effect.version);
        }
        if (!effect.visible) {
            out.key("visible");
            out.boolean(false);
        }
        out.endObject();
    }
    out.endArray();
}

}  // namespace

void writeFillPaint(JsonWriter& out, const FillPaint& fill) {
    out.beginObject();
    out.key("color");
    writeColor(out, fill.color);
    if (fill.overprint) {
        out.key("overprint");
        out.boolean(true);
    }
    out.endObject();
}

void writeStrokePaint(JsonWriter& out, const StrokePaint& stroke, const DictionaryWriter& writeDictionary) {
    const StrokePaint defaults;
    out.beginObject();
    if (stroke.cap != defaults.cap) {
        out.key("cap");
        out.string(kCapNames[static_cast<int>(stroke.cap)]);
    }
    out.key("color");
    writeColor(out, stroke.color);
    if (stroke.dashOffset != 0.0) {
        out.key("dashOffset");
        out.number(stroke.dashOffset);
    }
    if (!stroke.dashes.empty()) {
        out.key("dashes");
        writeNumbers(out, stroke.dashes.data(), stroke.dashes.size());
    }
    if (stroke.join != defaults.join) {
        out.key("join");
        out.string(kJoinNames[static_cast<int>(stroke.join)]);
    }
    if (stroke.miterLimit != defaults.miterLimit) {
        out.key("miterLimit");
        out.number(stroke.miterLimit);
    }
    if (stroke.overprint) {
        out.key("overprint");
        out.boolean(true);
    }
    if (!stroke.parameters.empty()) {
        out.key("parameters");
        writeDictionary(out, stroke.parameters);
    }
    if (stroke.width != defaults.width) {
        out.key("width");
        out.number(stroke.width);
    }
    out.endObject();
}

namespace {

void writePaintField(JsonWriter& out, const PaintField& field, const DictionaryWriter& writeDictionary) {
    out.beginObject();
    if (field.blend != BlendAttributes{}) {
        out.key("blend");
        writeBlend(out, field.blend);
    }
    if (!field.effects.empty()) {
        out.key("effects");
        writeEffects(out, field.effects, writeDictionary);
    }
    if (field.evenOdd) {
        out.key("evenOdd");
        out.boolean(true);
    }
    if (const FillPaint* fill = field.fillPaint()) {
        out.key("fill");
        writeFillPaint(out, *fill);
    }
    if (field.focus) {
        out.key("focus");
        out.boolean(true);
    }
    if (const StrokePaint* stroke = field.strokePaint()) {
        out.key("stroke");
        writeStrokePaint(out, *stroke, writeDictionary);
    }
    if (!field.visible) {
        out.key("visible");
        out.boolean(false);
    }
    out.endObject();
}

// --- Reading ---------------------------------------------------------------------------------------

double readFinite(JsonReader& in) {
    if (in.peek() != JsonKind::number) {
        in.fail("expected a finite number");
    }
    return in.readNumber();
}

double readUnit(JsonReader& in) {
    const double result = readFinite(in);
    if (result < 0.0 || result > 1.0) {
        in.fail("expected a number from 0 to 1");
    }
    return result;
}

double readNonNegative(JsonReader& in) {
    const double result = readFinite(in);
    if (result < 0.0) {
        in.fail("expected a number of at least 0");
    }
    return result;
}

int readSmallInteger(JsonReader& in, int low, int high) {
    return static_cast<int>(in.readInteger(low, high));
}

template <std::size_t N>
int readName(JsonReader& in, const std::string_view (&names)[N]) {
    if (in.peek() == JsonKind::string) {
        const std::string name = in.readString();
        for (std::size_t i = 0; i < N; ++i) {
            if (name == names[i]) {
                return static_cast<int>(i);
            }
        }
    }
    in.fail("unknown name");
}

constexpr const char* kColorExpected =
    "expected \"none\" or one of {\"gray\": g}, {\"rgb\": [r, g, b]}, {\"cmyk\": [c, m, y, k]}, "
    "{\"custom\": name, \"tint\": t}, {\"pattern\": name}, {\"gradient\": name, \"placement\": {...}}";

template <std::size_t N>
std::array<double, N> readFiniteNumbers(JsonReader& in) {
    return readFixedArray<double, N>(in, "expected an array of " + std::to_string(N) + " numbers",
                                     [&] { return readFinite(in); });
}

GradientPlacement readPlacement(JsonReader& in) {
    static constexpr std::string_view kKeys[] = {"angle", "highlight", "length", "matrix", "origin"};
    GradientPlacement placement;
    readMembers(in, kKeys, [&](std::size_t key) {
        switch (key) {
            case keyIndex(kKeys, "angle"):
                placement.angle = readFinite(in);
                break;
            case keyIndex(kKeys, "highlight"): {
                const auto highlight = readFiniteNumbers<2>(in);
                placement.highlightAngle = highlight[0];
                placement.highlightLength = highlight[1];
                break;
            }
            case keyIndex(kKeys, "length"):
                placement.length = readNonNegative(in);
                break;
            case keyIndex(kKeys, "matrix"): {
                const auto m = readFiniteNumbers<6>(in);
                placement.matrix = Matrix{m[0], m[1], m[2], m[3], m[4], m[5]};
                break;
            }
            default: {
                const auto origin = readFiniteNumbers<2>(in);
                placement.origin = Point{origin[0], origin[1]};
                break;
            }
        }
    });
    return placement;
}

// {"custom": name, "tint": t}, {"pattern": name} or {"gradient": name, "placement": {...}}, its first
// key read: one resource name, a tint only for a custom colour and a placement only for a gradient.
Color readResourceColor(JsonReader& in, Color::Kind kind) {
    Color color;
    color.kind = kind;
    if (in.peek() != JsonKind::string || (color.resource = in.readString()).empty()) {
        in.fail("expected a name");
    }
    const std::string_view extra = kind == Color::Kind::custom     ? "tint"
                                   : kind == Color::Kind::gradient ? "placement"
                                                                   : "";
    bool seen = false;
    std::string_view key;
    while (in.nextKey(&key)) {
        if (extra.empty() || key != extra) {
            in.failAtContainer(kColorExpected);
        }
        if (seen) {
            in.failAtContainer("the key \"" + std::string(extra) + "\" is given twice");
        }
        seen = true;
        if (kind == Color::Kind::custom) {
            color.values[0] = readUnit(in);
        } else {
            color.placement = readPlacement(in);
        }
    }
    return color;
}

}  // namespace

Color readColor(JsonReader& in) {
    const JsonKind kind = in.peek();
    if (kind == JsonKind::string && in.readString() == "none") {
        return Color::none();
    }
    if (kind != JsonKind::object) {
        in.fail(kColorExpected);
    }
    in.beginObject();
    std::string_view key;
    if (!in.nextKey(&key)) {
        in.fail(kColorExpected);
    }
    Color color;
    const auto known = std::find(std::begin(kColorKeys) + 1, std::end(kColorKeys), key);
    if (known == std::end(kColorKeys)) {
        in.failAtContainer("unknown colour kind \"" + in.keyText() + "\"");
    }
    color.kind = static_cast<Color::Kind>(known - std::begin(kColorKeys));
    if (color.isResource()) {
        return readResourceColor(in, color.kind);
    }
    if (color.kind == Color::Kind::gray) {
        color.values[0] = readUnit(in);
    } else {
        in.beginArray();
        std::size_t count = 0;
        while (in.nextElement()) {
            if (count == color.componentCount()) {
                in.failAtContainer("expected " + std::to_string(color.componentCount()) + " components");
            }
            color.values[count++] = readUnit(in);
        }
        if (count != color.componentCount()) {
            in.fail("expected " + std::to_string(color.componentCount()) + " components");
        }
    }
    if (in.nextKey(&key)) {
        in.failAtContainer(kColorExpected);
    }
    return color;
}

namespace {

BlendAttributes readBlend(JsonReader& in) {
    static constexpr std::string_view kKeys[] = {"alphaIsShape", "isolated", "knockout",
                                                 "mode",         "opacity",  "opacityEnabled"};
    BlendAttributes blend;
    readMembers(in, kKeys, [&](std::size_t key) {
        switch (key) {
            case keyIndex(kKeys, "alphaIsShape"):
                blend.alphaIsShape = in.readBool();
                break;
            case keyIndex(kKeys, "isolated"):
                blend.isolated = in.readBool();
                break;
            case keyIndex(kKeys, "knockout"):
                blend.knockout = readSmallInteger(in, 0, kLastKnockout);
                break;
            case keyIndex(kKeys, "mode"):
                blend.mode = readSmallInteger(in, 0, kLastBlendMode);
                break;
            case keyIndex(kKeys, "opacity"):
                blend.opacity = readUnit(in);
                break;
            default:
                blend.opacityEnabled = in.readBool();
                break;
        }
    });
    return blend;
}

std::vector<Effect> readEffects(JsonReader& in, const DictionaryReader& readDictionary) {
    static constexpr std::string_view kKeys[] = {"name", "parameters", "version", "visible"};
    std::vector<Effect> effects;
    in.beginArray();
    while (in.nextElement()) {
        Effect effect;
        const std::uint64_t seen = readMembers(in, kKeys, [&](std::size_t key) {
            switch (key) {
                case keyIndex(kKeys, "name"):
                    if (in.peek() != JsonKind::string || (effect.name = in.readString()).empty()) {
                        in.fail("expected the effect's name");
                    }
                    break;
                case keyIndex(kKeys, "parameters"):
                    effect.parameters = readDictionary(in);
                    break;
                case keyIndex(kKeys, "version"):
                    effect.version = readSmallInteger(in, 0, 1 << 30);
                    break;
                default:
                    effect.visible = in.readBool();
                    break;
            }
        });
        if ((seen & keyBit(kKeys, "name")) == 0) {
            throw FormatError(in.location() + ".name", "expected the effect's name");
        }
        effects.push_back(std::move(effect));
    }
    return effects;
}

}  // namespace

StrokePaint readStrokePaint(JsonReader& in, const DictionaryReader& readDictionary) {
    static constexpr std::string_view kKeys[] = {"cap",        "color",     "dashOffset", "dashes", "join",
                                                 "miterLimit", "overprint", "parameters", "width"};
    static_assert(inCanonicalOrder(kKeys));
    StrokePaint stroke;
    readMembers(in, kKeys, [&](std::size_t key) {
        switch (key) {
            case keyIndex(kKeys, "cap"):
                stroke.cap = static_cast<LineCap>(readName(in, kCapNames));
                break;
            case keyIndex(kKeys, "color"):
                stroke.color = readColor(in);
                break;
            case keyIndex(kKeys, "dashOffset"):
                stroke.dashOffset = readFinite(in);
                break;
            case keyIndex(kKeys, "dashes"):
                in.beginArray();
                while (in.nextElement()) {
                    stroke.dashes.push_back(readNonNegative(in));
                }
                break;
            case keyIndex(kKeys, "join"):
                stroke.join = static_cast<LineJoin>(readName(in, kJoinNames));
                break;
            case keyIndex(kKeys, "miterLimit"):
                stroke.miterLimit = readFinite(in);
                if (stroke.miterLimit < 1.0) {
                    in.fail("a miter limit is at least 1");
                }
                break;
            case keyIndex(kKeys, "overprint"):
                stroke.overprint = in.readBool();
                break;
            case keyIndex(kKeys, "parameters"):
                stroke.parameters = readDictionary(in);
                break;
            default:
                stroke.width = readNonNegative(in);
                break;
        }
    });
    return stroke;
}

FillPaint readFillPaint(JsonReader& in) {
    static constexpr std::string_view kKeys[] = {"color", "overprint"};
    FillPaint fill;
    readMembers(in, kKeys, [&](std::size_t key) {
        if (key == 0) {
            fill.color = readColor(in);
        } else {
            fill.overprint = in.readBool();
        }
    });
    return fill;
}

namespace {

PaintField readPaintField(JsonReader& in, const DictionaryReader& readDictionary) {
    static constexpr std::string_view kKeys[] = {"blend", "effects", "evenOdd", "fill",
                                                 "focus", "stroke",  "visible"};
    static_assert(inCanonicalOrder(kKeys));
    PaintField field;
    const std::uint64_t seen = readMembers(in, kKeys, [&](std::size_t key) {
        switch (key) {
            case keyIndex(kKeys, "blend"):
                field.blend = readBlend(in);
                break;
            case keyIndex(kKeys, "effects"):
                field.effects = readEffects(in, readDictionary);
                break;
            case keyIndex(kKeys, "evenOdd"):
                field.evenOdd = in.readBool();
                break;
            case keyIndex(kKeys, "fill"):
                if (field.isStroke()) {
                    in.failAtContainer("a paint field is a fill or a stroke, not both");
                }
                field.paint = readFillPaint(in);
                break;
            case keyIndex(kKeys, "focus"):
                field.focus = in.readBool();
                break;
            case keyIndex(kKeys, "stroke"):
                if (field.isFill()) {
                    in.failAtContainer("a paint field is a fill or a stroke, not both");
                }
                field.paint = readStrokePaint(in, readDictionary);
                break;
            default:
                field.visible = in.readBool();
                break;
        }
    });
    static_cast<void>(seen);
    return field;
}

constexpr char kBase64Alphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

// The value of each base64 character, -1 for the rest.
constexpr std::array<int, 256> kBase64Values = [] {
    std::array<int, 256> values{};
    values.fill(-1);
    for (int i = 0; i < 64; ++i) {
        values[static_cast<unsigned char>(kBase64Alphabet[i])] = i;
    }
    return values;
}();

}  // namespace

void writePaintColor(JsonWriter& out, const Color& color) {
    writeColor(out, color);
}

Color readPaintColor(JsonReader& in) {
    return readColor(in);
}

void writeStyle(JsonWriter& out, const ArtStyle& style, const DictionaryWriter& writeDictionary) {
    out.beginObject();
    if (style.blend != BlendAttributes{}) {
        out.key("blend");
        writeBlend(out, style.blend);
    }
    if (style.contentsPosition != 0) {
        out.key("contentsPosition");
        out.integer(static_cast<std::int64_t>(style.contentsPosition));
    }
    if (!style.paintFields.empty()) {
        out.key("paintFields");
        out.beginArray();
        for (const PaintField& field : style.paintFields) {
            out.element();
            writePaintField(out, field, writeDictionary);
        }
        out.endArray();
    }
    if (!style.postEffects.empty()) {
        out.key("postEffects");
        writeEffects(out, style.postEffects, writeDictionary);
    }
    if (!style.preEffects.empty()) {
        out.key("preEffects");
        writeEffects(out, style.preEffects, writeDictionary);
    }
    out.endObject();
}

ArtStyle readStyle(JsonReader& in, const DictionaryReader& readDictionary) {
    static constexpr std::string_view kKeys[] = {"blend", "contentsPosition", "paintFields", "postEffects",
                                                 "preEffects"};
    static_assert(inCanonicalOrder(kKeys));
    ArtStyle style;
    // The contents position is checked against the paint fields, which may come after it.
    std::int64_t contentsPosition = 0;
    readMembers(in, kKeys, [&](std::size_t key) {
        switch (key) {
            case keyIndex(kKeys, "blend"):
                style.blend = readBlend(in);
                break;
            case keyIndex(kKeys, "contentsPosition"):
                contentsPosition = in.readInteger(0, 1 << 30);
                break;
            case keyIndex(kKeys, "paintFields"):
                in.beginArray();
                while (in.nextElement()) {
                    style.paintFields.push_back(readPaintField(in, readDictionary));
                }
                break;
            case keyIndex(kKeys, "postEffects"):
                style.postEffects = readEffects(in, readDictionary);
                break;
            default:
                style.preEffects = readEffects(in, readDictionary);
                break;
        }
    });
    if (static_cast<std::size_t>(contentsPosition) > style.paintFields.size()) {
        throw FormatError(in.location() + ".contentsPosition",
                          "expected an integer from 0 to " + std::to_string(style.paintFields.size()));
    }
    style.contentsPosition = static_cast<std::size_t>(contentsPosition);
    return style;
}

void writeRasterPixels(JsonWriter& out, const RasterPixels& pixels) {
    if (!pixels.isConsistent()) {
        throw FormatError("", "a raster's pixel data does not match its size");
    }
    out.beginObject();
    if (pixels.alpha) {
        out.key("alpha");
        out.boolean(true);
    }
    out.key("data");
    out.string(encodeBase64(pixels.bytes));
    out.key("height");
    out.integer(static_cast<std::int64_t>(pixels.height));
    out.key("space");
    out.string(rasterSpaceName(pixels.space));
    out.key("width");
    out.integer(static_cast<std::int64_t>(pixels.width));
    out.endObject();
}

RasterPixels readRasterPixels(JsonReader& in) {
    static constexpr std::string_view kKeys[] = {"alpha", "data", "height", "space", "width"};
    static_assert(inCanonicalOrder(kKeys));
    // Rasters are at most 16383 pixels on a side, as the rasterizer makes them.
    constexpr int kLargestSide = 16383;
    RasterPixels pixels;
    const std::uint64_t seen = readMembers(in, kKeys, [&](std::size_t key) {
        switch (key) {
            case keyIndex(kKeys, "alpha"):
                pixels.alpha = in.readBool();
                break;
            case keyIndex(kKeys, "data"): {
                std::optional<std::vector<std::uint8_t>> bytes =
                    in.peek() == JsonKind::string ? decodeBase64(in.readString()) : std::nullopt;
                if (!bytes) {
                    in.fail("expected base64 text");
                }
                pixels.bytes = std::move(*bytes);
                break;
            }
            case keyIndex(kKeys, "height"):
                pixels.height = static_cast<std::size_t>(readSmallInteger(in, 1, kLargestSide));
                break;
            case keyIndex(kKeys, "space"): {
                const std::optional<RasterPixels::Space> known =
                    in.peek() == JsonKind::string ? rasterSpaceFromName(in.readString()) : std::nullopt;
                if (!known) {
                    in.fail("expected \"gray\", \"rgb\" or \"cmyk\"");
                }
                pixels.space = *known;
                break;
            }
            default:
                pixels.width = static_cast<std::size_t>(readSmallInteger(in, 1, kLargestSide));
                break;
        }
    });
    constexpr std::uint64_t kRequired =
        keyBit(kKeys, "data") | keyBit(kKeys, "height") | keyBit(kKeys, "width");
    if ((seen & kRequired) != kRequired) {
        in.fail("pixels need \"width\", \"height\" and \"data\"");
    }
    if (!pixels.isConsistent()) {
        throw FormatError(in.location() + ".data", "the pixel data does not match the raster's size");
    }
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
            const int value = k < 4 - padding ? kBase64Values[static_cast<unsigned char>(text[i + k])] : 0;
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
