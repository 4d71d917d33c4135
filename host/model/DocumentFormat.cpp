#include "model/DocumentFormat.h"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <limits>
#include <set>
#include <sstream>
#include <stdexcept>

#include <nlohmann/json.hpp>

#include "model/ArtPaintFormat.h"

namespace host::model {

namespace {

using nlohmann::json;

// A problem with the text, with the place where it was found ("layers[0].children[2].segments").
class FormatError : public std::runtime_error {
public:
    FormatError(const std::string& where, const std::string& what)
        : std::runtime_error(where.empty() ? what : where + ": " + what) {}
};

// Runs a reader or writer of ArtPaintFormat.h, its errors reported as this format's.
template <typename Work>
auto paintFormat(Work&& work) {
    try {
        return work();
    } catch (const PaintFormatError& error) {
        throw FormatError("", error.what());
    }
}

// --- Writing ---------------------------------------------------------------------------------------

json number(double value) {
    if (!std::isfinite(value)) {
        throw FormatError("", "a number is not finite");
    }
    return value;
}

json pointJson(Point point) {
    return json::array({number(point.x), number(point.y)});
}

json rectJson(const Rect& rect) {
    if (rect.isEmpty()) {
        throw FormatError("", "a frame is inverted (top below bottom or right left of left)");
    }
    return json::array({number(rect.left), number(rect.top), number(rect.right), number(rect.bottom)});
}

json matrixJson(const Matrix& m) {
    return json::array({number(m.a), number(m.b), number(m.c), number(m.d), number(m.tx), number(m.ty)});
}

json segmentJson(const Segment& segment) {
    json result{{"anchor", pointJson(segment.anchor)}};
    if (segment.in != segment.anchor) {
        result["in"] = pointJson(segment.in);
    }
    if (segment.out != segment.anchor) {
        result["out"] = pointJson(segment.out);
    }
    if (!segment.corner) {
        result["corner"] = false;
    }
    return result;
}

void writePath(const PathGeometry& path, json& out) {
    if (path.closed) {
        out["closed"] = true;
    }
    if (path.segments.empty()) {
        return;
    }
    json segments = json::array();
    for (const Segment& segment : path.segments) {
        segments.push_back(segmentJson(segment));
    }
    out["segments"] = std::move(segments);
}

void writeBox(const BoxGeometry& box, json& out) {
    out["frame"] = rectJson(box.frame);
    if (!box.matrix.isIdentity()) {
        out["matrix"] = matrixJson(box.matrix);
    }
}

json artJson(const ArtTree& tree);

json dictionaryJson(const Dictionary& dictionary) {
    json result = json::object();
    for (const auto& [key, value] : dictionary.entries()) {
        const auto type = static_cast<EntryType>(value.index());
        json entry{{"type", entryTypeName(type)}};
        switch (type) {
            case EntryType::integer:
                entry["value"] = std::get<0>(value);
                break;
            case EntryType::boolean:
                entry["value"] = std::get<1>(value);
                break;
            case EntryType::real:
                entry["value"] = number(std::get<2>(value));
                break;
            case EntryType::string:
                entry["value"] = std::get<3>(value);
                break;
            case EntryType::art:
                entry["value"] = artJson(*std::get<4>(value));
                break;
            case EntryType::dictionary:
                entry["value"] = dictionaryJson(*std::get<5>(value));
                break;
        }
        result[key] = std::move(entry);
    }
    return result;
}

void writeContent(const ArtContent& content, json& out) {
    struct Writer {
        json& out;
        void operator()(const GroupContent& group) const {
            if (group.clipped) {
                out["clipped"] = true;
            }
        }
        void operator()(const CompoundPathContent&) const {}
        void operator()(const PathContent& path) const { writePath(path.geometry, out); }
        void operator()(const TextFrameContent& text) const {
            out["kind"] = textKindName(text.kind);
            if (!text.text.empty()) {
                out["text"] = text.text;
            }
            writeBox(text.box, out);
            if (!text.path.segments.empty() || text.path.closed) {
                json path = json::object();
                writePath(text.path, path);
                out["path"] = std::move(path);
            }
        }
        void operator()(const PlacedContent& placed) const {
            out["file"] = placed.file;
            writeBox(placed.box, out);
        }
        void operator()(const RasterContent& raster) const {
            writeBox(raster.box, out);
            if (!raster.pixels.empty()) {
                out["pixels"] = paintFormat([&] { return rasterPixelsJson(raster.pixels); });
            }
        }
        void operator()(const SymbolContent& symbol) const {
            out["symbol"] = symbol.symbol;
            writeBox(symbol.box, out);
        }
    };
    std::visit(Writer{out}, content);
}

// The attribute bits by their names in the format, in bit order.
constexpr std::pair<ArtAttributes, const char*> kAttributeNames[] = {
    {attribute::selected, "selected"}, {attribute::locked, "locked"},
    {attribute::hidden, "hidden"},     {attribute::clippingMask, "clippingMask"},
    {attribute::textWrap, "textWrap"},
};

void writeLayer(const LayerProperties& layer, json& out) {
    const LayerProperties defaults;
    out["title"] = layer.title;
    out["color"] = json::array({layer.color.red, layer.color.green, layer.color.blue});
    const std::pair<const char*, bool> flags[] = {
        {"visible", layer.visible},     {"editable", layer.editable},
        {"printed", layer.printed},     {"preview", layer.preview},
        {"template", layer.isTemplate}, {"dimPlacedImages", layer.dimPlacedImages},
    };
    const bool defaultFlags[] = {defaults.visible, defaults.editable,   defaults.printed,
                                 defaults.preview, defaults.isTemplate, defaults.dimPlacedImages};
    for (std::size_t i = 0; i < std::size(flags); ++i) {
        if (flags[i].second != defaultFlags[i]) {
            out[flags[i].first] = flags[i].second;
        }
    }
    if (layer.dimPercent != defaults.dimPercent) {
        out["dimPercent"] = layer.dimPercent;
    }
}

json artJson(const ArtTree& tree) {
    const ArtData& data = tree.data;
    json out = json::object();
    out["type"] = tree.layer ? std::string("layer") : std::string(artTypeName(data.type()));
    out["uuid"] = data.uuid;
    if (tree.layer) {
        writeLayer(*tree.layer, out);
    } else if (!data.name.empty()) {
        out["name"] = data.name;
    }
    if (!data.note.empty()) {
        out["note"] = data.note;
    }
    for (const auto& [bit, name] : kAttributeNames) {
        if ((data.attributes & bit) != 0) {
            out[name] = true;
        }
    }
    // A style that is one black stroke (or nothing) is written as "strokeWidth", as older documents
    // have it.
    double strokeWidth = 0.0;
    if (!data.style.isStrokeWidthOnly(&strokeWidth)) {
        out["style"] = paintFormat([&] { return styleJson(data.style, dictionaryJson); });
    } else if (strokeWidth != 0.0) {
        out["strokeWidth"] = number(strokeWidth);
    }
    if (!data.fillPattern.isIdentity()) {
        out["fillPattern"] = matrixJson(data.fillPattern);
    }
    if (!data.strokePattern.isIdentity()) {
        out["strokePattern"] = matrixJson(data.strokePattern);
    }
    if (data.envelope) {
        out["envelope"] = true;
    }
    if (data.intertwine) {
        out["intertwine"] = true;
    }
    if (!data.tags.empty()) {
        json tags = json::array();
        for (const TagEntry& entry : data.tags.entries()) {
            tags.push_back({{"name", entry.name}, {"type", entry.type}, {"value", entry.value}});
        }
        out["tags"] = std::move(tags);
    }
    if (!data.dictionary.empty()) {
        out["dictionary"] = dictionaryJson(data.dictionary);
    }
    writeContent(data.content, out);
    if (!tree.children.empty()) {
        json children = json::array();
        for (const ArtTree& child : tree.children) {
            children.push_back(artJson(child));
        }
        out["children"] = std::move(children);
    }
    return out;
}

json artboardJson(const Artboard& artboard) {
    const Artboard defaults;
    json out{{"rect", rectJson(artboard.bounds)}};
    if (!artboard.name.empty()) {
        out["name"] = artboard.name;
    }
    if (artboard.rulerOrigin != defaults.rulerOrigin) {
        out["rulerOrigin"] = pointJson(artboard.rulerOrigin);
    }
    if (artboard.pixelAspectRatio != defaults.pixelAspectRatio) {
        out["pixelAspectRatio"] = number(artboard.pixelAspectRatio);
    }
    const std::pair<const char*, bool> marks[] = {
        {"showCenter", artboard.showCenter},
        {"showCrossHairs", artboard.showCrossHairs},
        {"showSafeAreas", artboard.showSafeAreas},
    };
    for (const auto& [key, shown] : marks) {
        if (shown) {
            out[key] = true;
        }
    }
    return out;
}

// The artboards are left out when the document has only the default one.
void writeArtboards(const DocumentContents& contents, json& out) {
    const bool onlyDefault = contents.artboards.empty() || (contents.artboards.size() == 1 &&
                                                            contents.artboards.front() == defaultArtboard());
    if (!onlyDefault) {
        json artboards = json::array();
        for (const Artboard& artboard : contents.artboards) {
            artboards.push_back(artboardJson(artboard));
        }
        out["artboards"] = std::move(artboards);
    }
    if (contents.activeArtboard != 0) {
        out["activeArtboard"] = contents.activeArtboard;
    }
}

json documentJson(const DocumentContents& contents) {
    json layers = json::array();
    for (const ArtTree& layer : contents.layers) {
        layers.push_back(artJson(layer));
    }
    json out{
        {"format", kDocumentFormatName}, {"version", kDocumentFormatVersion}, {"layers", std::move(layers)}};
    if (!contents.dictionary.empty()) {
        out["dictionary"] = dictionaryJson(contents.dictionary);
    }
    if (contents.scale != 1.0) {
        out["scale"] = number(contents.scale);
    }
    if (contents.rulerUnits != kPointsRulerUnits) {
        out["rulerUnits"] = contents.rulerUnits;
    }
    if (!contents.symbols.empty()) {
        out["symbols"] = contents.symbols;
    }
    writeArtboards(contents, out);
    return out;
}

// --- Reading ---------------------------------------------------------------------------------------

std::string describe(const json& value) {
    return value.type_name();
}

// The keys of one JSON object, read by name; keys that nothing asked for are errors, so that a
// misspelt key is reported instead of silently dropped.
class Fields {
public:
    Fields(const json& object, std::string path) : object_(object), path_(std::move(path)) {
        if (!object.is_object()) {
            throw FormatError(path_, "expected an object, found " + describe(object));
        }
    }

    const json* optional(const std::string& key) {
        used_.insert(key);
        const auto found = object_.find(key);
        return found == object_.end() ? nullptr : &*found;
    }

    const json& required(const std::string& key) {
        const json* value = optional(key);
        if (value == nullptr) {
            throw FormatError(path_, "the key \"" + key + "\" is missing");
        }
        return *value;
    }

    std::string at(const std::string& key) const { return path_ + (path_.empty() ? "" : ".") + key; }
    const std::string& path() const { return path_; }

    void finish() const {
        for (const auto& item : object_.items()) {
            if (!used_.contains(item.key())) {
                throw FormatError(path_, "unknown key \"" + item.key() + "\"");
            }
        }
    }

private:
    const json& object_;
    std::string path_;
    std::set<std::string> used_;
};

std::string readString(const json& value, const std::string& where) {
    if (!value.is_string()) {
        throw FormatError(where, "expected a string, found " + describe(value));
    }
    return value.get<std::string>();
}

bool readBool(const json& value, const std::string& where) {
    if (!value.is_boolean()) {
        throw FormatError(where, "expected true or false, found " + describe(value));
    }
    return value.get<bool>();
}

double readNumber(const json& value, const std::string& where) {
    if (!value.is_number()) {
        throw FormatError(where, "expected a number, found " + describe(value));
    }
    const double result = value.get<double>();
    if (!std::isfinite(result)) {
        throw FormatError(where, "the number is out of range");
    }
    return result;
}

std::int64_t readInteger(const json& value, const std::string& where, std::int64_t low, std::int64_t high) {
    if (!value.is_number_integer()) {
        throw FormatError(where, "expected an integer, found " + describe(value));
    }
    // Unsigned JSON integers can exceed what a signed 64-bit value holds; compare them unsigned first.
    if (value.is_number_unsigned() && value.get<std::uint64_t>() > static_cast<std::uint64_t>(high)) {
        throw FormatError(where, "the integer is out of range");
    }
    const bool inRange = value.get<std::int64_t>() >= low && value.get<std::int64_t>() <= high;
    if (!inRange) {
        throw FormatError(where, "the integer is out of range");
    }
    return value.get<std::int64_t>();
}

std::vector<double> readNumbers(const json& value, const std::string& where, std::size_t count) {
    if (!value.is_array() || value.size() != count) {
        throw FormatError(where, "expected an array of " + std::to_string(count) + " numbers");
    }
    std::vector<double> result;
    for (std::size_t i = 0; i < count; ++i) {
        result.push_back(readNumber(value[i], where + "[" + std::to_string(i) + "]"));
    }
    return result;
}

Point readPoint(const json& value, const std::string& where) {
    const auto n = readNumbers(value, where, 2);
    return {n[0], n[1]};
}

Rect readRect(const json& value, const std::string& where) {
    const auto n = readNumbers(value, where, 4);
    const Rect rect(n[0], n[1], n[2], n[3]);
    if (rect.isEmpty()) {
        throw FormatError(where, "expected [left, top, right, bottom] with left <= right and top >= bottom");
    }
    return rect;
}

Matrix readMatrix(const json& value, const std::string& where) {
    const auto n = readNumbers(value, where, 6);
    return {n[0], n[1], n[2], n[3], n[4], n[5]};
}

const json& readArray(const json& value, const std::string& where) {
    if (!value.is_array()) {
        throw FormatError(where, "expected an array, found " + describe(value));
    }
    return value;
}

Segment readSegment(const json& value, const std::string& where) {
    Fields fields(value, where);
    Segment segment;
    segment.anchor = readPoint(fields.required("anchor"), fields.at("anchor"));
    const json* in = fields.optional("in");
    const json* out = fields.optional("out");
    const json* corner = fields.optional("corner");
    segment.in = in != nullptr ? readPoint(*in, fields.at("in")) : segment.anchor;
    segment.out = out != nullptr ? readPoint(*out, fields.at("out")) : segment.anchor;
    segment.corner = corner != nullptr ? readBool(*corner, fields.at("corner")) : true;
    fields.finish();
    return segment;
}

void readPath(Fields& fields, PathGeometry& path) {
    if (const json* closed = fields.optional("closed")) {
        path.closed = readBool(*closed, fields.at("closed"));
    }
    if (const json* segments = fields.optional("segments")) {
        const std::string where = fields.at("segments");
        for (std::size_t i = 0; i < readArray(*segments, where).size(); ++i) {
            path.segments.push_back(readSegment((*segments)[i], where + "[" + std::to_string(i) + "]"));
        }
    }
}

void readBox(Fields& fields, BoxGeometry& box) {
    box.frame = readRect(fields.required("frame"), fields.at("frame"));
    if (const json* matrix = fields.optional("matrix")) {
        box.matrix = readMatrix(*matrix, fields.at("matrix"));
    }
}

std::string readText(Fields& fields, const std::string& key, bool required) {
    const json* value = required ? &fields.required(key) : fields.optional(key);
    return value == nullptr ? std::string() : readString(*value, fields.at(key));
}

void checkDepth(int depth, const std::string& where) {
    if (depth > kMaxDocumentDepth) {
        throw FormatError(where, "nested too deeply");
    }
}

ArtTree readArt(const json& value, const std::string& where, int depth, bool layerAllowed);

Dictionary readDictionary(const json& value, const std::string& where, int depth) {
    checkDepth(depth, where);
    if (!value.is_object()) {
        throw FormatError(where, "expected an object, found " + describe(value));
    }
    Dictionary dictionary;
    for (const auto& item : value.items()) {
        const std::string entryWhere = where + "." + item.key();
        Fields fields(item.value(), entryWhere);
        const std::string type = readString(fields.required("type"), fields.at("type"));
        const json& entry = fields.required("value");
        const std::string valueWhere = fields.at("value");
        Status status = Status::badParameter;
        if (type == "integer") {
            const auto low = std::numeric_limits<std::int32_t>::min();
            const auto high = std::numeric_limits<std::int32_t>::max();
            status = dictionary.setInteger(
                item.key(), static_cast<std::int32_t>(readInteger(entry, valueWhere, low, high)));
        } else if (type == "boolean") {
            status = dictionary.setBoolean(item.key(), readBool(entry, valueWhere));
        } else if (type == "real") {
            status = dictionary.setReal(item.key(), readNumber(entry, valueWhere));
        } else if (type == "string") {
            status = dictionary.setString(item.key(), readString(entry, valueWhere));
        } else if (type == "art") {
            status = dictionary.setArt(item.key(), readArt(entry, valueWhere, depth + 1, false));
        } else if (type == "dictionary") {
            status = dictionary.setDictionary(item.key(), readDictionary(entry, valueWhere, depth + 1));
        } else {
            throw FormatError(fields.at("type"), "unknown entry type \"" + type + "\"");
        }
        if (status != Status::ok) {
            throw FormatError(entryWhere, "the entry cannot be stored (empty key?)");
        }
        fields.finish();
    }
    return dictionary;
}

TagList readTags(const json& value, const std::string& where) {
    TagList tags;
    for (std::size_t i = 0; i < readArray(value, where).size(); ++i) {
        const std::string entryWhere = where + "[" + std::to_string(i) + "]";
        Fields fields(value[i], entryWhere);
        const std::string name = readText(fields, "name", true);
        const std::string type = readText(fields, "type", true);
        const std::string text = readText(fields, "value", true);
        fields.finish();
        if (tags.contains(name)) {
            throw FormatError(entryWhere, "a second tag entry named \"" + name + "\"");
        }
        if (tags.set(name, type, text) != Status::ok) {
            throw FormatError(entryWhere, "tag entries need a name and a type");
        }
    }
    return tags;
}

LayerProperties readLayer(Fields& fields) {
    LayerProperties layer;
    layer.title = readText(fields, "title", true);
    if (const json* color = fields.optional("color")) {
        const std::string where = fields.at("color");
        if (!color->is_array() || color->size() != 3) {
            throw FormatError(where, "expected an array of three integers");
        }
        layer.color.red = static_cast<std::uint16_t>(readInteger((*color)[0], where + "[0]", 0, 0xFFFF));
        layer.color.green = static_cast<std::uint16_t>(readInteger((*color)[1], where + "[1]", 0, 0xFFFF));
        layer.color.blue = static_cast<std::uint16_t>(readInteger((*color)[2], where + "[2]", 0, 0xFFFF));
    }
    const std::pair<const char*, bool*> flags[] = {
        {"visible", &layer.visible},     {"editable", &layer.editable},
        {"printed", &layer.printed},     {"preview", &layer.preview},
        {"template", &layer.isTemplate}, {"dimPlacedImages", &layer.dimPlacedImages},
    };
    for (const auto& [key, flag] : flags) {
        if (const json* value = fields.optional(key)) {
            *flag = readBool(*value, fields.at(key));
        }
    }
    if (const json* percent = fields.optional("dimPercent")) {
        layer.dimPercent = static_cast<int>(readInteger(*percent, fields.at("dimPercent"), 0, 100));
    }
    return layer;
}

ArtContent readContent(ArtType type, Fields& fields) {
    switch (type) {
        case ArtType::group: {
            GroupContent group;
            if (const json* clipped = fields.optional("clipped")) {
                group.clipped = readBool(*clipped, fields.at("clipped"));
            }
            return group;
        }
        case ArtType::path: {
            PathContent path;
            readPath(fields, path.geometry);
            return path;
        }
        case ArtType::compoundPath:
            return CompoundPathContent{};
        case ArtType::textFrame: {
            TextFrameContent text;
            const std::string kind = readText(fields, "kind", true);
            const std::optional<TextKind> known = textKindFromName(kind);
            if (!known) {
                throw FormatError(fields.at("kind"), "unknown text kind \"" + kind + "\"");
            }
            text.kind = *known;
            text.text = readText(fields, "text", false);
            readBox(fields, text.box);
            if (const json* path = fields.optional("path")) {
                Fields pathFields(*path, fields.at("path"));
                readPath(pathFields, text.path);
                pathFields.finish();
            }
            return text;
        }
        case ArtType::placed: {
            PlacedContent placed;
            placed.file = readText(fields, "file", true);
            readBox(fields, placed.box);
            return placed;
        }
        case ArtType::raster: {
            RasterContent raster;
            readBox(fields, raster.box);
            if (const json* pixels = fields.optional("pixels")) {
                raster.pixels = paintFormat([&] { return readRasterPixels(*pixels, fields.at("pixels")); });
            }
            return raster;
        }
        case ArtType::symbol: {
            SymbolContent symbol;
            symbol.symbol = readText(fields, "symbol", true);
            readBox(fields, symbol.box);
            return symbol;
        }
        case ArtType::unknown:
            break;
    }
    throw FormatError(fields.path(), "unknown art type");
}

void readArtData(Fields& fields, ArtData& data, int depth) {
    data.uuid = readText(fields, "uuid", false);
    if (!data.uuid.empty() && !isUuidText(data.uuid)) {
        throw FormatError(fields.at("uuid"), "expected a UUID of 36 lower-case characters");
    }
    data.note = readText(fields, "note", false);
    for (const auto& [bit, name] : kAttributeNames) {
        if (const json* value = fields.optional(name);
            value != nullptr && readBool(*value, fields.at(name))) {
            data.attributes |= bit;
        }
    }
    const json* style = fields.optional("style");
    if (const json* width = fields.optional("strokeWidth")) {
        const double strokeWidth = readNumber(*width, fields.at("strokeWidth"));
        if (strokeWidth < 0) {
            throw FormatError(fields.at("strokeWidth"), "a stroke width cannot be negative");
        }
        if (style != nullptr) {
            throw FormatError(fields.at("strokeWidth"), "give the stroke in \"style\" or \"strokeWidth\", not both");
        }
        data.style = ArtStyle::ofStrokeWidth(strokeWidth);
    }
    if (style != nullptr) {
        const DictionaryReader readEntries = [depth](const json& value, const std::string& where) {
            return readDictionary(value, where, depth + 1);
        };
        data.style = paintFormat([&] { return readStyle(*style, fields.at("style"), readEntries); });
    }
    if (const json* pattern = fields.optional("fillPattern")) {
        data.fillPattern = readMatrix(*pattern, fields.at("fillPattern"));
    }
    if (const json* pattern = fields.optional("strokePattern")) {
        data.strokePattern = readMatrix(*pattern, fields.at("strokePattern"));
    }
    if (const json* envelope = fields.optional("envelope")) {
        data.envelope = readBool(*envelope, fields.at("envelope"));
    }
    if (const json* intertwine = fields.optional("intertwine")) {
        data.intertwine = readBool(*intertwine, fields.at("intertwine"));
    }
    if (const json* tags = fields.optional("tags")) {
        data.tags = readTags(*tags, fields.at("tags"));
    }
    if (const json* dictionary = fields.optional("dictionary")) {
        data.dictionary = readDictionary(*dictionary, fields.at("dictionary"), depth + 1);
    }
}

ArtTree readArt(const json& value, const std::string& where, int depth, bool layerAllowed) {
    checkDepth(depth, where);
    Fields fields(value, where);
    const std::string typeName = readText(fields, "type", true);
    ArtTree tree;
    const bool isLayer = typeName == "layer";
    const std::optional<ArtType> type = isLayer ? ArtType::group : artTypeFromName(typeName);
    if (!type) {
        throw FormatError(fields.at("type"), "unknown art type \"" + typeName + "\"");
    }
    if (isLayer && !layerAllowed) {
        throw FormatError(where, "a layer can only be at the top or directly in another layer");
    }
    if (isLayer) {
        tree.layer = readLayer(fields);
    } else {
        tree.data.name = readText(fields, "name", false);
    }
    readArtData(fields, tree.data, depth);
    tree.data.content = readContent(*type, fields);
    if (const json* children = fields.optional("children")) {
        const std::string childrenWhere = fields.at("children");
        if (!isContainerType(*type)) {
            throw FormatError(childrenWhere, "only groups, layers and compound paths have children");
        }
        for (std::size_t i = 0; i < readArray(*children, childrenWhere).size(); ++i) {
            const std::string childWhere = childrenWhere + "[" + std::to_string(i) + "]";
            ArtTree child = readArt((*children)[i], childWhere, depth + 1, isLayer);
            if (*type == ArtType::compoundPath && !compoundPathAccepts(child.data.type())) {
                throw FormatError(childWhere, "a compound path holds only paths, compound paths and groups");
            }
            tree.children.push_back(std::move(child));
        }
    }
    fields.finish();
    return tree;
}

// Symbol names: non-empty texts, each used once.
std::vector<std::string> readSymbols(const json& value) {
    std::vector<std::string> names;
    for (std::size_t i = 0; i < readArray(value, "symbols").size(); ++i) {
        const std::string where = "symbols[" + std::to_string(i) + "]";
        std::string name = readString(value[i], where);
        if (name.empty()) {
            throw FormatError(where, "a symbol needs a name");
        }
        if (std::find(names.begin(), names.end(), name) != names.end()) {
            throw FormatError(where, "a second symbol named \"" + name + "\"");
        }
        names.push_back(std::move(name));
    }
    return names;
}

Artboard readArtboard(const json& value, const std::string& where) {
    Fields fields(value, where);
    Artboard artboard;
    artboard.bounds = readRect(fields.required("rect"), fields.at("rect"));
    artboard.name = readText(fields, "name", false);
    if (const json* origin = fields.optional("rulerOrigin")) {
        artboard.rulerOrigin = readPoint(*origin, fields.at("rulerOrigin"));
    }
    if (const json* ratio = fields.optional("pixelAspectRatio")) {
        artboard.pixelAspectRatio = readNumber(*ratio, fields.at("pixelAspectRatio"));
    }
    for (auto [key, shown] : {std::pair{"showCenter", &artboard.showCenter},
                              std::pair{"showCrossHairs", &artboard.showCrossHairs},
                              std::pair{"showSafeAreas", &artboard.showSafeAreas}}) {
        if (const json* flag = fields.optional(key)) {
            *shown = readBool(*flag, fields.at(key));
        }
    }
    fields.finish();
    if (!isValidArtboard(artboard)) {
        throw FormatError(where,
                          "an artboard needs a width and height above 0 and a pixel aspect ratio above 0");
    }
    return artboard;
}

std::vector<Artboard> readArtboards(const json& value) {
    std::vector<Artboard> artboards;
    const json& list = readArray(value, "artboards");
    if (list.empty()) {
        throw FormatError("artboards", "a document has at least one artboard");
    }
    if (list.size() > kMaxArtboards) {
        throw FormatError("artboards", "more than " + std::to_string(kMaxArtboards) + " artboards");
    }
    for (std::size_t i = 0; i < list.size(); ++i) {
        artboards.push_back(readArtboard(list[i], "artboards[" + std::to_string(i) + "]"));
    }
    return artboards;
}

DocumentContents readContents(const json& root) {
    Fields fields(root, "");
    const std::string format = readText(fields, "format", true);
    if (format != kDocumentFormatName) {
        throw FormatError("format", "not a document of this host (\"" + format + "\")");
    }
    const std::int64_t version = readInteger(fields.required("version"), "version", 0, 1'000'000);
    if (version != kDocumentFormatVersion) {
        throw FormatError("version", "version " + std::to_string(version) + " is not supported");
    }
    DocumentContents contents;
    const json& layers = readArray(fields.required("layers"), "layers");
    for (std::size_t i = 0; i < layers.size(); ++i) {
        const std::string where = "layers[" + std::to_string(i) + "]";
        ArtTree layer = readArt(layers[i], where, 1, true);
        if (!layer.layer) {
            throw FormatError(where, "expected a layer");
        }
        contents.layers.push_back(std::move(layer));
    }
    if (const json* dictionary = fields.optional("dictionary")) {
        contents.dictionary = readDictionary(*dictionary, "dictionary", 1);
    }
    if (const json* scale = fields.optional("scale")) {
        contents.scale = readNumber(*scale, "scale");
        if (contents.scale <= 0.0) {
            throw FormatError("scale", "the scale factor must be above 0");
        }
    }
    if (const json* units = fields.optional("rulerUnits")) {
        contents.rulerUnits =
            static_cast<int>(readInteger(*units, "rulerUnits", kFirstRulerUnits, kLastRulerUnits));
    }
    if (const json* symbols = fields.optional("symbols")) {
        contents.symbols = readSymbols(*symbols);
    }
    if (const json* artboards = fields.optional("artboards")) {
        contents.artboards = readArtboards(*artboards);
    }
    if (const json* active = fields.optional("activeArtboard")) {
        const std::size_t count = std::max<std::size_t>(contents.artboards.size(), 1);
        contents.activeArtboard = static_cast<std::size_t>(
            readInteger(*active, "activeArtboard", 0, static_cast<std::int64_t>(count) - 1));
    }
    fields.finish();
    return contents;
}

}  // namespace

ReadResult readDocument(std::string_view text, std::optional<std::uint64_t> uuidSeed) {
    ReadResult result;
    try {
        const json root = json::parse(text.begin(), text.end());
        Result<Document> document = Document::fromContents(readContents(root), uuidSeed);
        if (!document) {
            result.error = "the document's structure is not allowed";
            return result;
        }
        result.document = std::move(*document);
    } catch (const FormatError& error) {
        result.error = error.what();
    } catch (const json::exception& error) {
        result.error = std::string("not JSON: ") + error.what();
    }
    return result;
}

ReadResult openDocument(const std::filesystem::path& file, std::optional<std::uint64_t> uuidSeed) {
    std::ifstream stream(file, std::ios::binary);
    if (!stream) {
        return ReadResult{std::nullopt, "cannot open " + file.string()};
    }
    std::ostringstream text;
    text << stream.rdbuf();
    if (stream.bad()) {
        return ReadResult{std::nullopt, "cannot read " + file.string()};
    }
    ReadResult result = readDocument(text.str(), uuidSeed);
    if (!result.document) {
        result.error = file.string() + ": " + result.error;
    }
    return result;
}

WriteResult writeDocument(const Document& document) {
    WriteResult result;
    try {
        result.text = documentJson(document.contents()).dump(2) + "\n";
    } catch (const FormatError& error) {
        result.error = error.what();
    } catch (const json::exception& error) {
        result.error = error.what();
    }
    return result;
}

bool saveDocument(const Document& document, const std::filesystem::path& file, std::string* error) {
    const WriteResult written = writeDocument(document);
    const auto fail = [&](std::string message) {
        if (error != nullptr) {
            *error = std::move(message);
        }
        return false;
    };
    if (!written.text) {
        return fail(written.error);
    }
    std::ofstream stream(file, std::ios::binary | std::ios::trunc);
    stream << *written.text;
    stream.flush();
    if (!stream) {
        return fail("cannot write " + file.string());
    }
    return true;
}

}  // namespace host::model
