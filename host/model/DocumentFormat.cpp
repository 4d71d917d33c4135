#include "model/DocumentFormat.h"

#include <algorithm>
#include <array>
#include <bit>
#include <fstream>
#include <limits>
#include <set>
#include <sstream>
#include <tuple>

#include "model/ArtPaintFormat.h"
#include "model/AtomicFile.h"
#include "model/JsonText.h"
#include "model/StoryFormat.h"

namespace host::model {

namespace {

// The keys of an art object, in the canonical order; ArtKey names their indexes.
constexpr std::string_view kArtKeys[] = {
    "autoSize",      "children",    "clipped",     "clippingMask",    "closed",
    "color",         "dictionary",  "dimPercent",  "dimPlacedImages", "editable",
    "envelope",      "file",        "fillPattern", "frame",           "guide",
    "hidden",        "intertwine",  "kind",        "locked",          "matrix",
    "name",          "note",        "path",        "pixels",          "preview",
    "printed",       "segments",    "selected",    "story",           "storyDirection",
    "strokePattern", "strokeWidth", "style",       "symbol",          "tags",
    "template",      "text",        "textWrap",    "thread",          "threadHead",
    "title",         "type",        "uuid",        "visible",         "wrapInside",
    "wrapOffset",
};
static_assert(inCanonicalOrder(kArtKeys));

enum ArtKey : int {
    kAutoSize,
    kChildren,
    kClipped,
    kClippingMask,
    kClosed,
    kColor,
    kDictionary,
    kDimPercent,
    kDimPlacedImages,
    kEditable,
    kEnvelope,
    kFile,
    kFillPattern,
    kFrame,
    kGuide,
    kHidden,
    kIntertwine,
    kKind,
    kLocked,
    kMatrix,
    kName,
    kNote,
    kPath,
    kPixels,
    kPreview,
    kPrinted,
    kSegments,
    kSelected,
    kStory,
    kStoryDirection,
    kStrokePattern,
    kStrokeWidth,
    kStyle,
    kSymbol,
    kTags,
    kTemplate,
    kText,
    kTextWrap,
    kThread,
    kThreadHead,
    kTitle,
    kType,
    kUuid,
    kVisible,
    kWrapInside,
    kWrapOffset,
};

constexpr std::uint64_t bit(ArtKey key) {
    return std::uint64_t{1} << key;
}

// Keys every art object may have ("children" is checked on its own, with a message of its own).
constexpr std::uint64_t kCommonKeys = bit(kChildren) | bit(kClippingMask) | bit(kDictionary) |
                                      bit(kEnvelope) | bit(kFillPattern) | bit(kHidden) | bit(kIntertwine) |
                                      bit(kLocked) | bit(kNote) | bit(kSelected) | bit(kStrokePattern) |
                                      bit(kStrokeWidth) | bit(kStyle) | bit(kTags) | bit(kTextWrap) |
                                      bit(kType) | bit(kUuid) | bit(kWrapInside) | bit(kWrapOffset);
constexpr std::uint64_t kLayerKeys = bit(kColor) | bit(kDimPercent) | bit(kDimPlacedImages) | bit(kEditable) |
                                     bit(kPreview) | bit(kPrinted) | bit(kTemplate) | bit(kTitle) |
                                     bit(kVisible) | bit(kClipped);
constexpr std::uint64_t kBoxKeys = bit(kFrame) | bit(kMatrix);

// The keys of each type beyond the common ones.
std::uint64_t keysOfType(ArtType type, bool layer) {
    if (layer) {
        return kLayerKeys;
    }
    switch (type) {
        case ArtType::group:
            return bit(kName) | bit(kClipped);
        case ArtType::path:
            return bit(kName) | bit(kClosed) | bit(kGuide) | bit(kSegments);
        case ArtType::textFrame:
            return bit(kName) | bit(kKind) | bit(kText) | bit(kPath) | bit(kStory) | bit(kThread) |
                   bit(kThreadHead) | bit(kStoryDirection) | bit(kAutoSize) | kBoxKeys;
        case ArtType::placed:
            return bit(kName) | bit(kFile) | kBoxKeys;
        case ArtType::raster:
            return bit(kName) | bit(kPixels) | kBoxKeys;
        case ArtType::symbol:
            return bit(kName) | bit(kSymbol) | kBoxKeys;
        default:
            return bit(kName);
    }
}

// The keys each type must have.
std::uint64_t requiredKeysOfType(ArtType type, bool layer) {
    if (layer) {
        return bit(kTitle);
    }
    switch (type) {
        case ArtType::textFrame:
            return bit(kKind) | bit(kFrame);
        case ArtType::placed:
            return bit(kFile) | bit(kFrame);
        case ArtType::raster:
            return bit(kFrame);
        case ArtType::symbol:
            return bit(kSymbol) | bit(kFrame);
        default:
            return 0;
    }
}

// The attribute bits by their keys.
constexpr std::pair<ArtAttributes, ArtKey> kAttributeKeys[] = {
    {attribute::selected, kSelected},         {attribute::locked, kLocked},     {attribute::hidden, kHidden},
    {attribute::clippingMask, kClippingMask}, {attribute::textWrap, kTextWrap},
};

bool attributeKey(ArtKey key, ArtAttributes* bitOut) {
    for (const auto& [attributeBit, attributeKey] : kAttributeKeys) {
        if (attributeKey == key) {
            *bitOut = attributeBit;
            return true;
        }
    }
    return false;
}

// The flags of a layer by their keys, with their defaults.
struct LayerFlag {
    ArtKey key;
    bool LayerProperties::*flag;
};
constexpr LayerFlag kLayerFlags[] = {
    {kDimPlacedImages, &LayerProperties::dimPlacedImages},
    {kEditable, &LayerProperties::editable},
    {kPreview, &LayerProperties::preview},
    {kPrinted, &LayerProperties::printed},
    {kTemplate, &LayerProperties::isTemplate},
    {kVisible, &LayerProperties::visible},
};

const LayerFlag* layerFlag(ArtKey key) {
    for (const LayerFlag& flag : kLayerFlags) {
        if (flag.key == key) {
            return &flag;
        }
    }
    return nullptr;
}

// The names of the colour models and of the kinds of custom colours, by their codes.
constexpr std::string_view kColorModelNames[] = {"Grayscale", "RGB", "CMYK"};
constexpr std::string_view kCustomKindNames[] = {"cmyk", "rgb", "lab"};

// The depth of the dictionaries in a named graphic style's effects and strokes: one below the
// document, as an object's dictionary in a top-level layer.
constexpr int kGraphicStyleDictionaryDepth = 2;

[[noreturn]] void failNesting(const std::string& where) {
    throw FormatError(where, "nested too deeply");
}

// --- Writing ---------------------------------------------------------------------------------------

// Writes the canonical text straight from the model. Nesting is counted as the reader counts it, so
// that nothing is written that could not be read back.
class DocumentWriter {
public:
    explicit DocumentWriter(JsonWriter& out) : out_(out) {}

    void write(const Document& document) {
        out_.beginObject();
        if (document.activeArtboard() != 0) {
            out_.key("activeArtboard");
            out_.integer(static_cast<std::int64_t>(document.activeArtboard()));
        }
        const std::vector<Artboard>& artboards = document.artboards();
        const bool onlyDefault =
            artboards.empty() || (artboards.size() == 1 && artboards.front() == defaultArtboard());
        if (!onlyDefault) {
            out_.key("artboards");
            out_.beginArray();
            for (const Artboard& artboard : artboards) {
                out_.element();
                writeArtboard(artboard);
            }
            out_.endArray();
        }
        // Each colour key is left out while it holds what a new document holds.
        const DocumentColors& colors = document.colors();
        if (colors.colorModel() != ColorModel::rgb) {
            out_.key("colorModel");
            out_.string(kColorModelNames[static_cast<int>(colors.colorModel())]);
        }
        if (!colors.customColors().empty()) {
            out_.key("customColors");
            writeCustomColors(colors.customColors());
        }
        if (!document.documentDictionary().empty()) {
            out_.key("dictionary");
            writeDictionary(document.documentDictionary(), 1);
        }
        out_.key("format");
        out_.string(kDocumentFormatName);
        if (!colors.gradients().empty()) {
            out_.key("gradients");
            writeResources(colors.gradients());
        }
        if (!colors.graphicStyles().empty()) {
            out_.key("graphicStyles");
            writeGraphicStyles(colors.graphicStyles());
        }
        out_.key("layers");
        out_.beginArray();
        for (std::size_t i = 0; i < document.layerCount(); ++i) {
            out_.element();
            const ArtId group = document.layerGroup(*document.nthLayer(i)).valueOr(ArtId{});
            writeDocumentArt(document, group, 1);
        }
        out_.endArray();
        if (!colors.patterns().empty()) {
            out_.key("patterns");
            writeResources(colors.patterns());
        }
        if (document.rulerUnits() != kPointsRulerUnits) {
            out_.key("rulerUnits");
            out_.integer(document.rulerUnits());
        }
        if (document.scale() != 1.0) {
            out_.key("scale");
            out_.number(document.scale());
        }
        if (!isDefaultSwatchList(colors)) {
            out_.key("swatches");
            writeSwatches(colors.swatches());
        }
        if (!document.symbols().empty()) {
            out_.key("symbols");
            out_.beginArray();
            for (const Symbol& symbol : document.symbols()) {
                out_.element();
                writeSymbol(symbol);
            }
            out_.endArray();
        }
        if (hasTextStyles(document.textStyles())) {
            out_.key("textStyles");
            writeTextStyles(out_, document.textStyles());
        }
        out_.key("version");
        out_.integer(kDocumentFormatVersion);
        if (!document.xmp().empty()) {
            out_.key("xmp");
            out_.string(document.xmp());
        }
        out_.endObject();
    }

private:
    static void checkDepth(int depth) {
        if (depth > kMaxDocumentDepth) {
            throw FormatError("", "art and dictionaries are nested deeper than " +
                                      std::to_string(kMaxDocumentDepth) +
                                      " levels, more than a document can hold");
        }
    }

    static bool isDefaultSwatchList(const DocumentColors& colors) {
        const std::vector<Swatch> defaults = DocumentColors::defaultSwatches(colors.colorModel());
        return std::equal(
            colors.swatches().begin(), colors.swatches().end(), defaults.begin(), defaults.end(),
            [](const Swatch& a, const Swatch& b) { return a.name == b.name && a.color == b.color; });
    }

    void writeCustomColors(const std::vector<CustomColor>& customs) {
        out_.beginArray();
        for (const CustomColor& custom : customs) {
            const CustomColorDefinition& definition = custom.definition;
            out_.element();
            out_.beginObject();
            out_.key("components");
            out_.beginArray();
            for (std::size_t i = 0; i < definition.componentCount(); ++i) {
                out_.element();
                out_.number(definition.values[i]);
            }
            out_.endArray();
            out_.key("kind");
            out_.string(kCustomKindNames[static_cast<int>(definition.kind)]);
            out_.key("name");
            out_.string(custom.name);
            if (definition.spot) {
                out_.key("spot");
                out_.boolean(true);
            }
            out_.endObject();
        }
        out_.endArray();
    }

    // A named colour: a gradient's or a pattern's flat colour, or a swatch.
    void writeNamedColor(const std::string& name, const Color& color) {
        out_.beginObject();
        out_.key("color");
        writeColor(out_, color);
        out_.key("name");
        out_.string(name);
        out_.endObject();
    }

    // A gradient or pattern: its name and flat colour, and what draws it when it has that.
    void writeResources(const std::vector<PaintResource>& resources) {
        out_.beginArray();
        for (const PaintResource& resource : resources) {
            out_.element();
            out_.beginObject();
            if (resource.art) {
                out_.key("art");
                writeArtTree(*resource.art, 2);
            }
            out_.key("color");
            writeColor(out_, resource.flat);
            out_.key("name");
            out_.string(resource.name);
            if (!resource.stops.empty()) {
                out_.key("stops");
                writeStops(resource.stops);
            }
            if (resource.tile) {
                out_.key("tile");
                rect(*resource.tile);
            }
            if (resource.type == GradientType::radial) {
                out_.key("type");
                out_.string("radial");
            }
            out_.endObject();
        }
        out_.endArray();
    }

    void writeStops(const std::vector<GradientStop>& stops) {
        const GradientStop defaults;
        out_.beginArray();
        for (const GradientStop& stop : stops) {
            out_.element();
            out_.beginObject();
            out_.key("color");
            writeColor(out_, stop.color);
            if (stop.midPoint != defaults.midPoint) {
                out_.key("midPoint");
                out_.number(stop.midPoint);
            }
            if (stop.opacity != defaults.opacity) {
                out_.key("opacity");
                out_.number(stop.opacity);
            }
            out_.key("rampPoint");
            out_.number(stop.rampPoint);
            out_.endObject();
        }
        out_.endArray();
    }

    void writeSwatches(const std::vector<Swatch>& swatches) {
        out_.beginArray();
        for (const Swatch& swatch : swatches) {
            out_.element();
            writeNamedColor(swatch.name, swatch.color);
        }
        out_.endArray();
    }

    void writeGraphicStyles(const std::vector<GraphicStyle>& styles) {
        out_.beginArray();
        for (const GraphicStyle& style : styles) {
            out_.element();
            out_.beginObject();
            out_.key("name");
            out_.string(style.name);
            out_.key("style");
            writeStyle(out_, style.style, dictionaryWriter(kGraphicStyleDictionaryDepth));
            if (style.unlisted) {
                out_.key("unlisted");
                out_.boolean(true);
            }
            out_.endObject();
        }
        out_.endArray();
    }

    void numbers(std::initializer_list<double> values) {
        out_.beginArray();
        for (const double value : values) {
            out_.element();
            out_.number(value);
        }
        out_.endArray();
    }

    void point(Point point) { numbers({point.x, point.y}); }

    void rect(const Rect& rect) {
        if (rect.isEmpty()) {
            throw FormatError("", "a frame is inverted (top below bottom or right left of left)");
        }
        numbers({rect.left, rect.top, rect.right, rect.bottom});
    }

    void matrix(const Matrix& m) { numbers({m.a, m.b, m.c, m.d, m.tx, m.ty}); }

    void segments(const std::vector<Segment>& segments) {
        out_.beginArray();
        for (const Segment& segment : segments) {
            out_.element();
            out_.beginObject();
            out_.key("anchor");
            point(segment.anchor);
            if (!segment.corner) {
                out_.key("corner");
                out_.boolean(false);
            }
            if (segment.in != segment.anchor) {
                out_.key("in");
                point(segment.in);
            }
            if (segment.out != segment.anchor) {
                out_.key("out");
                point(segment.out);
            }
            out_.endObject();
        }
        out_.endArray();
    }

    // Writes the dictionaries inside a style or a stroke at the depth.
    DictionaryWriter dictionaryWriter(int depth) {
        return
            [this, depth](JsonWriter&, const Dictionary& dictionary) { writeDictionary(dictionary, depth); };
    }

    // Each element as an entry object of its type.
    void writeEntryArray(const EntryArray& array) {
        out_.beginArray();
        for (const ArrayElement& element : array) {
            out_.element();
            out_.beginObject();
            out_.key("type");
            out_.string(entryTypeName(static_cast<EntryType>(element.index())));
            out_.key("value");
            if (const auto* integer = std::get_if<std::int32_t>(&element)) {
                out_.integer(*integer);
            } else if (const auto* flag = std::get_if<bool>(&element)) {
                out_.boolean(*flag);
            } else if (const auto* real = std::get_if<double>(&element)) {
                out_.number(*real);
            } else {
                out_.string(std::get<std::string>(element));
            }
            out_.endObject();
        }
        out_.endArray();
    }

    void writeDictionary(const Dictionary& dictionary, int depth) {
        checkDepth(depth);
        out_.beginObject();
        for (const auto& [key, value] : dictionary.entries()) {
            out_.key(key);
            const auto type = static_cast<EntryType>(value.index());
            out_.beginObject();
            out_.key("type");
            out_.string(entryTypeName(type));
            out_.key("value");
            switch (type) {
                case EntryType::integer:
                    out_.integer(std::get<0>(value));
                    break;
                case EntryType::boolean:
                    out_.boolean(std::get<1>(value));
                    break;
                case EntryType::real:
                    out_.number(std::get<2>(value));
                    break;
                case EntryType::string:
                    out_.string(std::get<3>(value));
                    break;
                case EntryType::art:
                    writeArtTree(*std::get<4>(value), depth + 1);
                    break;
                case EntryType::dictionary:
                    writeDictionary(*std::get<5>(value), depth + 1);
                    break;
                case EntryType::fillStyle:
                    writeFillPaint(out_, *std::get<6>(value));
                    break;
                case EntryType::strokeStyle:
                    writeStrokePaint(out_, *std::get<7>(value), dictionaryWriter(depth + 1));
                    break;
                case EntryType::array:
                    writeEntryArray(std::get<8>(value));
                    break;
            }
            out_.endObject();
        }
        out_.endObject();
    }

    void writeArtboard(const Artboard& artboard) {
        const Artboard defaults;
        out_.beginObject();
        if (!artboard.name.empty()) {
            out_.key("name");
            out_.string(artboard.name);
        }
        if (artboard.pixelAspectRatio != defaults.pixelAspectRatio) {
            out_.key("pixelAspectRatio");
            out_.number(artboard.pixelAspectRatio);
        }
        out_.key("rect");
        rect(artboard.bounds);
        if (artboard.rulerOrigin != defaults.rulerOrigin) {
            out_.key("rulerOrigin");
            point(artboard.rulerOrigin);
        }
        const std::pair<const char*, bool> marks[] = {
            {"showCenter", artboard.showCenter},
            {"showCrossHairs", artboard.showCrossHairs},
            {"showSafeAreas", artboard.showSafeAreas},
        };
        for (const auto& [key, shown] : marks) {
            if (shown) {
                out_.key(key);
                out_.boolean(true);
            }
        }
        out_.endObject();
    }

    // One art object with its keys in the canonical order; writeChildren writes the members of its
    // "children" array, when it has any.
    template <typename WriteChildren>
    void writeArt(const ArtData& data, const LayerProperties* layer, bool hasChildren, int depth,
                  WriteChildren&& writeChildren) {
        checkDepth(depth);
        const LayerProperties defaults;
        const ArtContent& content = data.content;
        const auto* group = std::get_if<GroupContent>(&content);
        const auto* path = std::get_if<PathContent>(&content);
        const auto* text = std::get_if<TextFrameContent>(&content);
        const auto* placed = std::get_if<PlacedContent>(&content);
        const auto* raster = std::get_if<RasterContent>(&content);
        const auto* symbol = std::get_if<SymbolContent>(&content);
        const BoxGeometry* box = text != nullptr     ? &text->box
                                 : placed != nullptr ? &placed->box
                                 : raster != nullptr ? &raster->box
                                 : symbol != nullptr ? &symbol->box
                                                     : nullptr;
        const auto flag = [&](const char* key, bool value, bool byDefault) {
            if (value != byDefault) {
                out_.key(key);
                out_.boolean(value);
            }
        };
        const auto attribute = [&](const char* key, ArtAttributes bit) {
            flag(key, (data.attributes & bit) != 0, false);
        };

        out_.beginObject();
        if (text != nullptr) {
            flag("autoSize", text->autoSize, false);
        }
        if (hasChildren) {
            out_.key("children");
            out_.beginArray();
            writeChildren();
            out_.endArray();
        }
        if (group != nullptr) {
            flag("clipped", group->clipped, false);
        }
        attribute("clippingMask", attribute::clippingMask);
        if (path != nullptr) {
            flag("closed", path->geometry.closed, false);
        }
        if (layer != nullptr) {
            out_.key("color");
            out_.beginArray();
            for (const std::uint16_t channel : {layer->color.red, layer->color.green, layer->color.blue}) {
                out_.element();
                out_.integer(channel);
            }
            out_.endArray();
        }
        if (!data.dictionary.empty()) {
            out_.key("dictionary");
            writeDictionary(data.dictionary, depth + 1);
        }
        if (layer != nullptr) {
            if (layer->dimPercent != defaults.dimPercent) {
                out_.key("dimPercent");
                out_.integer(layer->dimPercent);
            }
            flag("dimPlacedImages", layer->dimPlacedImages, defaults.dimPlacedImages);
            flag("editable", layer->editable, defaults.editable);
        }
        flag("envelope", data.envelope, false);
        if (placed != nullptr) {
            out_.key("file");
            out_.string(placed->file);
        }
        if (!data.fillPattern.isIdentity()) {
            out_.key("fillPattern");
            matrix(data.fillPattern);
        }
        if (box != nullptr) {
            out_.key("frame");
            rect(box->frame);
        }
        if (path != nullptr) {
            flag("guide", path->guide, false);
        }
        attribute("hidden", attribute::hidden);
        flag("intertwine", data.intertwine, false);
        if (text != nullptr) {
            out_.key("kind");
            out_.string(textKindName(text->kind));
        }
        attribute("locked", attribute::locked);
        if (box != nullptr && !box->matrix.isIdentity()) {
            out_.key("matrix");
            matrix(box->matrix);
        }
        if (layer == nullptr && !data.name.empty()) {
            out_.key("name");
            out_.string(data.name);
        }
        if (!data.note.empty()) {
            out_.key("note");
            out_.string(data.note);
        }
        if (text != nullptr && (!text->path.segments.empty() || text->path.closed)) {
            out_.key("path");
            out_.beginObject();
            flag("closed", text->path.closed, false);
            if (!text->path.segments.empty()) {
                out_.key("segments");
                segments(text->path.segments);
            }
            out_.endObject();
        }
        if (raster != nullptr && !raster->pixels.empty()) {
            out_.key("pixels");
            writeRasterPixels(out_, raster->pixels);
        }
        if (layer != nullptr) {
            flag("preview", layer->preview, defaults.preview);
            flag("printed", layer->printed, defaults.printed);
        }
        if (path != nullptr && !path->geometry.segments.empty()) {
            out_.key("segments");
            segments(path->geometry.segments);
        }
        attribute("selected", attribute::selected);
        if (text != nullptr && !text->story.isPlain()) {
            out_.key("story");
            writeStory(out_, text->story);
        }
        if (text != nullptr && text->storyDirection != 0) {
            out_.key("storyDirection");
            out_.integer(text->storyDirection);
        }
        if (!data.strokePattern.isIdentity()) {
            out_.key("strokePattern");
            matrix(data.strokePattern);
        }
        // A style that is one black stroke (or nothing) is written as "strokeWidth", as older
        // documents have it.
        double strokeWidth = 0.0;
        if (data.style.isStrokeWidthOnly(&strokeWidth)) {
            if (strokeWidth != 0.0) {
                out_.key("strokeWidth");
                out_.number(strokeWidth);
            }
        } else {
            out_.key("style");
            writeStyle(out_, data.style, dictionaryWriter(depth + 1));
        }
        if (symbol != nullptr) {
            out_.key("symbol");
            out_.string(symbol->symbol);
        }
        if (!data.tags.empty()) {
            out_.key("tags");
            out_.beginArray();
            for (const auto& entry : data.tags.entries()) {
                out_.element();
                out_.beginObject();
                out_.key("name");
                out_.string(entry.name);
                out_.key("type");
                out_.string(entry.type);
                out_.key("value");
                out_.string(entry.value);
                out_.endObject();
            }
            out_.endArray();
        }
        if (layer != nullptr) {
            flag("template", layer->isTemplate, defaults.isTemplate);
        }
        if (text != nullptr && text->story.isPlain() && text->story.size() != 0) {
            out_.key("text");
            out_.string(text->story.utf8());
        }
        attribute("textWrap", attribute::textWrap);
        if (text != nullptr && !text->thread.empty()) {
            out_.key("thread");
            writeThread(out_, text->thread);
        }
        if (text != nullptr && !text->threadHead.empty()) {
            out_.key("threadHead");
            out_.string(text->threadHead);
        }
        if (layer != nullptr) {
            out_.key("title");
            out_.string(layer->title);
        }
        out_.key("type");
        out_.string(layer != nullptr ? std::string_view("layer") : artTypeName(data.type()));
        out_.key("uuid");
        out_.string(data.uuid);
        if (layer != nullptr) {
            flag("visible", layer->visible, defaults.visible);
        }
        flag("wrapInside", data.wrapInside, false);
        if (data.wrapOffset != ArtData{}.wrapOffset) {
            out_.key("wrapOffset");
            out_.number(data.wrapOffset);
        }
        out_.endObject();
        out_.drainIfFull();
    }

    // A symbol that shows nothing is written as its name alone.
    void writeSymbol(const Symbol& symbol) {
        if (*symbol.definition == ArtTree{}) {
            out_.string(symbol.name);
            return;
        }
        out_.beginObject();
        out_.key("art");
        writeArtTree(*symbol.definition, 2);
        out_.key("name");
        out_.string(symbol.name);
        out_.endObject();
    }

    void writeArtTree(const ArtTree& tree, int depth) {
        const LayerProperties* layer = tree.layer ? &*tree.layer : nullptr;
        writeArt(tree.data, layer, !tree.children.empty(), depth, [&] {
            for (const ArtTree& child : tree.children) {
                out_.element();
                writeArtTree(child, depth + 1);
            }
        });
    }

    void writeDocumentArt(const Document& document, ArtId art, int depth) {
        const ArtNode* node = document.find(art);
        const Layer* layer = node->layer ? document.findLayer(node->layer) : nullptr;
        const std::vector<ArtId> children = document.children(art).valueOr(std::vector<ArtId>{});
        writeArt(*node->data, layer != nullptr ? &layer->properties : nullptr, !children.empty(), depth, [&] {
            for (const ArtId child : children) {
                out_.element();
                writeDocumentArt(document, child, depth + 1);
            }
        });
    }

    JsonWriter& out_;
};

// --- Reading ---------------------------------------------------------------------------------------

std::optional<EntryType> entryTypeFromName(std::string_view name) {
    for (const EntryType type :
         {EntryType::integer, EntryType::boolean, EntryType::real, EntryType::string, EntryType::art,
          EntryType::dictionary, EntryType::fillStyle, EntryType::strokeStyle, EntryType::array}) {
        if (entryTypeName(type) == name) {
            return type;
        }
    }
    return std::nullopt;
}

// The colour keys of a document or a swatch library as read, before they are put together: a swatch
// or a style may name a custom colour, gradient or pattern whose key comes later.
struct ColorFields {
    struct Named {
        std::string name;
        Color color;
    };
    struct NamedStyle {
        std::string name;
        ArtStyle style;
        bool unlisted = false;
    };
    ColorModel model = ColorModel::rgb;
    std::vector<std::pair<std::string, CustomColorDefinition>> customColors;
    std::vector<PaintResource> gradients;
    std::vector<PaintResource> patterns;
    std::optional<std::vector<Named>> swatches;  // none: the model's default swatches
    std::vector<NamedStyle> graphicStyles;
};

[[noreturn]] void failToAdd(std::string_view key, std::size_t index, const std::string& name) {
    throw FormatError(std::string(key) + "[" + std::to_string(index) + "]",
                      "\"" + name + "\" cannot be added (a name used twice, or a colour naming nothing)");
}

// Adds each named record in the order the resources depend on one another: custom colours,
// gradients and patterns first, then the swatches and styles that may name them.
DocumentColors colorsFrom(ColorFields fields) {
    DocumentColors colors(fields.model);
    for (std::size_t i = 0; i < fields.customColors.size(); ++i) {
        const auto& [name, definition] = fields.customColors[i];
        if (!colors.addCustomColor(name, definition)) {
            failToAdd("customColors", i, name);
        }
    }
    for (const auto& [key, kind, list] : {std::tuple{"gradients", Color::Kind::gradient, &fields.gradients},
                                          std::tuple{"patterns", Color::Kind::pattern, &fields.patterns}}) {
        for (std::size_t i = 0; i < list->size(); ++i) {
            if (!colors.addResource(kind, (*list)[i])) {
                failToAdd(key, i, (*list)[i].name);
            }
        }
    }
    if (fields.swatches) {
        while (!colors.swatches().empty()) {
            colors.removeSwatch(colors.swatches().back().id);
        }
        for (std::size_t i = 0; i < fields.swatches->size(); ++i) {
            const ColorFields::Named& swatch = (*fields.swatches)[i];
            if (!colors.appendSwatch(swatch.name, swatch.color)) {
                failToAdd("swatches", i, swatch.name);
            }
        }
    }
    for (std::size_t i = 0; i < fields.graphicStyles.size(); ++i) {
        const ColorFields::NamedStyle& style = fields.graphicStyles[i];
        if (!colors.addGraphicStyle(style.name, style.style, style.unlisted)) {
            failToAdd("graphicStyles", i, style.name);
        }
    }
    return colors;
}

// Reads the text straight into the model's values, in one pass. Keys may come in any order; what
// depends on another key (the type of an art object, of a dictionary entry) is checked once the
// object is read.
class DocumentReader {
public:
    explicit DocumentReader(std::string_view text) : in_(text) {}

    DocumentContents read() {
        constexpr std::string_view kKeys[] = {
            "activeArtboard", "artboards",     "colorModel", "customColors", "dictionary", "format",
            "gradients",      "graphicStyles", "layers",     "patterns",     "rulerUnits", "scale",
            "swatches",       "symbols",       "textStyles", "version",      "xmp"};
        static_assert(inCanonicalOrder(kKeys));
        DocumentContents contents;
        ColorFields colors;
        std::int64_t active = 0;
        const std::uint64_t seen = readMembers(in_, kKeys, [&](std::size_t key) {
            if (readColorKey(kKeys[key], colors)) {
                return;
            }
            switch (key) {
                case 0:
                    active = in_.readInteger(0, static_cast<std::int64_t>(kMaxArtboards));
                    break;
                case 1:
                    contents.artboards = readArtboards();
                    break;
                case 4:
                    contents.dictionary = readDictionary(1);
                    break;
                case 5:
                    checkFormat(in_);
                    break;
                case 8:
                    readLayers(contents.layers);
                    break;
                case 10:
                    contents.rulerUnits =
                        static_cast<int>(in_.readInteger(kFirstRulerUnits, kLastRulerUnits));
                    break;
                case 11:
                    contents.scale = in_.readNumber();
                    if (contents.scale <= 0.0) {
                        in_.fail("the scale factor must be above 0");
                    }
                    break;
                case 13:
                    contents.symbols = readSymbols();
                    break;
                case 14:
                    contents.textStyles = readTextStyles(in_);
                    break;
                case 16:
                    contents.xmp = in_.readString();
                    break;
                default:
                    checkVersion(in_);
                    break;
            }
        });
        in_.finish();
        for (const std::size_t required : {5, 15, 8}) {
            if ((seen & (std::uint64_t{1} << required)) == 0) {
                throw FormatError("", "the key \"" + std::string(kKeys[required]) + "\" is missing");
            }
        }
        const std::size_t count = std::max<std::size_t>(contents.artboards.size(), 1);
        if (static_cast<std::size_t>(active) >= count) {
            throw FormatError("activeArtboard",
                              "the integer is out of range (0 to " + std::to_string(count - 1) + ")");
        }
        contents.activeArtboard = static_cast<std::size_t>(active);
        contents.colors = colorsFrom(std::move(colors));
        return contents;
    }

    SwatchLibrary readLibrary() {
        constexpr std::string_view kKeys[] = {"colorModel", "customColors", "gradients", "graphicStyles",
                                              "name",       "patterns",     "swatches"};
        static_assert(inCanonicalOrder(kKeys));
        SwatchLibrary library;
        ColorFields colors;
        readMembers(in_, kKeys, [&](std::size_t key) {
            if (!readColorKey(kKeys[key], colors)) {
                library.name = in_.readString();
            }
        });
        in_.finish();
        if (library.name.empty()) {
            throw FormatError("name", "a library needs a name");
        }
        library.colors = colorsFrom(std::move(colors));
        return library;
    }

    static void checkFormat(JsonReader& in) {
        const std::string format = in.readString();
        if (format != kDocumentFormatName) {
            in.fail("not a document of this host (\"" + format + "\")");
        }
    }

    static void checkVersion(JsonReader& in) {
        const std::int64_t version = in.readInteger(0, 1'000'000);
        if (version != kDocumentFormatVersion) {
            in.fail("version " + std::to_string(version) + " is not supported");
        }
    }

private:
    void checkDepth(int depth) {
        if (depth > kMaxDocumentDepth) {
            failNesting(in_.location());
        }
    }

    // An array of exactly `count` numbers.
    template <std::size_t N>
    std::array<double, N> readNumbers() {
        const std::string expected = "expected an array of " + std::to_string(N) + " numbers";
        if (in_.peek() != JsonKind::array) {
            in_.fail(expected);
        }
        std::array<double, N> result{};
        std::size_t count = 0;
        in_.beginArray();
        while (in_.nextElement()) {
            if (count == N) {
                in_.failAtContainer(expected);
            }
            result[count++] = in_.readNumber();
        }
        if (count != N) {
            in_.fail(expected);
        }
        return result;
    }

    Point readPoint() {
        const auto n = readNumbers<2>();
        return {n[0], n[1]};
    }

    Rect readRect() {
        const auto n = readNumbers<4>();
        const Rect rect(n[0], n[1], n[2], n[3]);
        if (rect.isEmpty()) {
            in_.fail("expected [left, top, right, bottom] with left <= right and top >= bottom");
        }
        return rect;
    }

    Matrix readMatrix() {
        const auto n = readNumbers<6>();
        return {n[0], n[1], n[2], n[3], n[4], n[5]};
    }

    Segment readSegment() {
        constexpr std::string_view kKeys[] = {"anchor", "corner", "in", "out"};
        Segment segment;
        std::optional<Point> in;
        std::optional<Point> out;
        const std::uint64_t seen = readMembers(in_, kKeys, [&](std::size_t key) {
            switch (key) {
                case 0:
                    segment.anchor = readPoint();
                    break;
                case 1:
                    segment.corner = in_.readBool();
                    break;
                case 2:
                    in = readPoint();
                    break;
                default:
                    out = readPoint();
                    break;
            }
        });
        if ((seen & 1) == 0) {
            in_.fail("the key \"anchor\" is missing");
        }
        segment.in = in.value_or(segment.anchor);
        segment.out = out.value_or(segment.anchor);
        return segment;
    }

    std::vector<Segment> readSegments() {
        std::vector<Segment> segments;
        in_.beginArray();
        while (in_.nextElement()) {
            segments.push_back(readSegment());
        }
        return segments;
    }

    PathGeometry readTextPath() {
        constexpr std::string_view kKeys[] = {"closed", "segments"};
        PathGeometry path;
        readMembers(in_, kKeys, [&](std::size_t key) {
            if (key == 0) {
                path.closed = in_.readBool();
            } else {
                path.segments = readSegments();
            }
        });
        return path;
    }

    TagList readTags() {
        constexpr std::string_view kKeys[] = {"name", "type", "value"};
        TagList tags;
        in_.beginArray();
        while (in_.nextElement()) {
            std::string texts[3];
            const std::uint64_t seen =
                readMembers(in_, kKeys, [&](std::size_t key) { texts[key] = in_.readString(); });
            for (std::size_t key = 0; key < 3; ++key) {
                if ((seen & (std::uint64_t{1} << key)) == 0) {
                    in_.fail("the key \"" + std::string(kKeys[key]) + "\" is missing");
                }
            }
            if (tags.contains(texts[0])) {
                in_.fail("a second tag entry named \"" + texts[0] + "\"");
            }
            if (tags.set(texts[0], texts[1], texts[2]) != Status::ok) {
                in_.fail("tag entries need a name and a type");
            }
        }
        return tags;
    }

    LayerColor readLayerColor() {
        const char* expected = "expected an array of three integers";
        if (in_.peek() != JsonKind::array) {
            in_.fail(expected);
        }
        std::uint16_t channels[3] = {};
        std::size_t count = 0;
        in_.beginArray();
        while (in_.nextElement()) {
            if (count == 3) {
                in_.failAtContainer(expected);
            }
            channels[count++] = static_cast<std::uint16_t>(in_.readInteger(0, 0xFFFF));
        }
        if (count != 3) {
            in_.fail(expected);
        }
        return {channels[0], channels[1], channels[2]};
    }

    void readEntryValue(EntryType type, std::string_view key, Dictionary& dictionary, int depth) {
        Status status = Status::badParameter;
        switch (type) {
            case EntryType::integer:
                status = dictionary.setInteger(key, static_cast<std::int32_t>(in_.readInteger(
                                                        std::numeric_limits<std::int32_t>::min(),
                                                        std::numeric_limits<std::int32_t>::max())));
                break;
            case EntryType::boolean:
                status = dictionary.setBoolean(key, in_.readBool());
                break;
            case EntryType::real:
                status = dictionary.setReal(key, in_.readNumber());
                break;
            case EntryType::string:
                status = dictionary.setString(key, in_.readString());
                break;
            case EntryType::art:
                status = dictionary.setArt(key, readArt(depth + 1, false));
                break;
            case EntryType::dictionary:
                status = dictionary.setDictionary(key, readDictionary(depth + 1));
                break;
            case EntryType::fillStyle:
                status = dictionary.setFillStyle(key, readFillPaint(in_));
                break;
            case EntryType::strokeStyle:
                status = dictionary.setStrokeStyle(key, readStrokePaint(in_, dictionaryReader(depth + 1)));
                break;
            case EntryType::array:
                status = dictionary.setArray(key, readEntryArray(depth + 1));
                break;
        }
        if (status != Status::ok) {
            in_.failAtContainer("the entry cannot be stored (empty key, or a paint out of its limits)");
        }
    }

    // Reads the dictionaries inside a style or a stroke at the depth.
    DictionaryReader dictionaryReader(int depth) {
        return [this, depth](JsonReader&) { return readDictionary(depth); };
    }

    Dictionary readDictionary(int depth) {
        checkDepth(depth);
        Dictionary dictionary;
        in_.beginObject();
        std::string_view rawKey;
        while (in_.nextKey(&rawKey)) {
            const std::string key = in_.keyText();
            if (dictionary.contains(key)) {
                in_.failAtContainer("the key \"" + key + "\" is given twice");
            }
            readEntry(key, dictionary, depth);
        }
        return dictionary;
    }

    // One entry, {"type": ..., "value": ...}, stored under the key.
    void readEntry(const std::string& key, Dictionary& dictionary, int depth) {
        constexpr std::string_view kEntryKeys[] = {"type", "value"};
        std::optional<EntryType> type;
        // A value that comes before its type is read again once the type is known.
        std::optional<JsonReader::Mark> value;
        const std::uint64_t seen = readMembers(in_, kEntryKeys, [&](std::size_t entryKey) {
            if (entryKey == 1) {
                if (type) {
                    readEntryValue(*type, key, dictionary, depth);
                } else {
                    value = in_.mark();
                    in_.skipValue();
                }
                return;
            }
            const std::string name = in_.readString();
            type = entryTypeFromName(name);
            if (!type) {
                in_.fail("unknown entry type \"" + name + "\"");
            }
            if (value) {
                const JsonReader::Mark back = in_.mark();
                in_.seek(*value);
                readEntryValue(*type, key, dictionary, depth);
                in_.seek(back);
            }
        });
        if (seen != 0b11) {
            in_.fail(std::string("the key \"") + ((seen & 1) == 0 ? "type" : "value") + "\" is missing");
        }
    }

    // An array entry's value: entries of the scalar types, in order.
    EntryArray readEntryArray(int depth) {
        checkDepth(depth);
        if (in_.peek() != JsonKind::array) {
            in_.fail("expected an array of entries");
        }
        EntryArray array;
        in_.beginArray();
        while (in_.nextElement()) {
            Dictionary element;
            readEntry("element", element, depth + 1);
            std::optional<ArrayElement> value = arrayElementOf(element.entries().begin()->second);
            if (!value) {
                in_.failAtContainer("an array holds integers, booleans, reals and strings");
            }
            array.push_back(std::move(*value));
        }
        return array;
    }

    // Everything an art object's keys say, gathered until its type is known.
    struct ArtFields {
        std::optional<ArtType> type;
        bool layer = false;
        LayerProperties layerProperties;
        GroupContent group;
        PathGeometry path;
        bool guide = false;
        std::optional<TextKind> kind;
        TextFrameContent text;
        PathGeometry textPath;
        std::string file;
        std::string symbol;
        BoxGeometry box;
        RasterPixels pixels;
        std::optional<double> strokeWidth;
    };

    void readArtKey(ArtKey key, ArtTree& tree, ArtFields& fields, int depth) {
        ArtData& data = tree.data;
        ArtAttributes attributeBit = 0;
        if (attributeKey(key, &attributeBit)) {
            if (in_.readBool()) {
                data.attributes |= attributeBit;
            }
            return;
        }
        if (const LayerFlag* flag = layerFlag(key)) {
            fields.layerProperties.*(flag->flag) = in_.readBool();
            return;
        }
        switch (key) {
            case kChildren:
                in_.beginArray();
                while (in_.nextElement()) {
                    tree.children.push_back(readArt(depth + 1, true));
                }
                break;
            case kClipped:
                fields.group.clipped = in_.readBool();
                break;
            case kClosed:
                fields.path.closed = in_.readBool();
                break;
            case kColor:
                fields.layerProperties.color = readLayerColor();
                break;
            case kDictionary:
                data.dictionary = readDictionary(depth + 1);
                break;
            case kDimPercent:
                fields.layerProperties.dimPercent = static_cast<int>(in_.readInteger(0, 100));
                break;
            case kEnvelope:
                data.envelope = in_.readBool();
                break;
            case kFile:
                fields.file = in_.readString();
                break;
            case kFillPattern:
                data.fillPattern = readMatrix();
                break;
            case kFrame:
                fields.box.frame = readRect();
                break;
            case kGuide:
                fields.guide = in_.readBool();
                break;
            case kIntertwine:
                data.intertwine = in_.readBool();
                break;
            case kKind: {
                const std::string kind = in_.readString();
                fields.kind = textKindFromName(kind);
                if (!fields.kind) {
                    in_.fail("unknown text kind \"" + kind + "\"");
                }
                break;
            }
            case kMatrix:
                fields.box.matrix = readMatrix();
                break;
            case kName:
                data.name = in_.readString();
                break;
            case kNote:
                data.note = in_.readString();
                break;
            case kPath:
                fields.textPath = readTextPath();
                break;
            case kPixels:
                fields.pixels = readRasterPixels(in_);
                break;
            case kSegments:
                fields.path.segments = readSegments();
                break;
            case kStrokePattern:
                data.strokePattern = readMatrix();
                break;
            case kStrokeWidth:
                fields.strokeWidth = in_.readNumber();
                if (*fields.strokeWidth < 0) {
                    in_.fail("a stroke width cannot be negative");
                }
                break;
            case kStyle:
                data.style = readStyle(in_, dictionaryReader(depth + 1));
                break;
            case kSymbol:
                fields.symbol = in_.readString();
                break;
            case kTags:
                data.tags = readTags();
                break;
            case kText: {
                std::optional<Story> story = Story::plain(in_.readString());
                if (!story) {
                    in_.fail("the text is not UTF-8");
                }
                fields.text.story = *std::move(story);
                break;
            }
            case kStory:
                fields.text.story = readStory(in_);
                break;
            case kThread:
                fields.text.thread = readThread(in_);
                break;
            case kThreadHead:
                fields.text.threadHead = in_.readString();
                break;
            case kStoryDirection:
                fields.text.storyDirection = static_cast<int>(in_.readInteger(0, 1));
                break;
            case kAutoSize:
                fields.text.autoSize = in_.readBool();
                break;
            case kTitle:
                fields.layerProperties.title = in_.readString();
                break;
            case kType: {
                const std::string type = in_.readString();
                fields.layer = type == "layer";
                fields.type = fields.layer ? ArtType::group : artTypeFromName(type);
                if (!fields.type) {
                    in_.fail("unknown art type \"" + type + "\"");
                }
                break;
            }
            case kWrapInside:
                data.wrapInside = in_.readBool();
                break;
            case kWrapOffset:
                data.wrapOffset = in_.readNumber();
                break;
            case kUuid:
                data.uuid = in_.readString();
                if (!data.uuid.empty() && !isUuidText(data.uuid)) {
                    in_.fail("expected a UUID of 36 lower-case characters");
                }
                break;
            default:
                break;
        }
    }

    static ArtContent contentOf(ArtFields& fields) {
        switch (*fields.type) {
            case ArtType::path:
                return PathContent{std::move(fields.path), fields.guide};
            case ArtType::compoundPath:
                return CompoundPathContent{};
            case ArtType::textFrame:
                fields.text.kind = *fields.kind;
                fields.text.box = fields.box;
                fields.text.path = std::move(fields.textPath);
                return std::move(fields.text);
            case ArtType::placed:
                return PlacedContent{std::move(fields.file), fields.box};
            case ArtType::raster:
                return RasterContent{fields.box, std::move(fields.pixels)};
            case ArtType::symbol:
                return SymbolContent{std::move(fields.symbol), fields.box};
            default:
                return fields.group;
        }
    }

    // The checks that need the whole object: its type's keys, its children, and whether a layer
    // may stand here. The reader stands at the object's place.
    void checkArt(const ArtTree& tree, const ArtFields& fields, std::uint64_t seen, bool layerAllowed) {
        if (!fields.type) {
            in_.fail("the key \"type\" is missing");
        }
        const std::uint64_t allowed = kCommonKeys | keysOfType(*fields.type, fields.layer);
        if (const std::uint64_t unknown = seen & ~allowed; unknown != 0) {
            const int key = std::countr_zero(unknown);
            in_.fail("unknown key \"" + std::string(kArtKeys[key]) + "\"");
        }
        const std::uint64_t required = requiredKeysOfType(*fields.type, fields.layer);
        if (const std::uint64_t missing = required & ~seen; missing != 0) {
            const int key = std::countr_zero(missing);
            in_.fail("the key \"" + std::string(kArtKeys[key]) + "\" is missing");
        }
        if (fields.layer && !layerAllowed) {
            in_.fail("a layer can only be at the top or directly in another layer");
        }
        if ((seen & bit(kText)) != 0 && (seen & bit(kStory)) != 0) {
            in_.fail("a frame holds either \"text\" or \"story\"");
        }
        if (fields.strokeWidth && (seen & bit(kStyle)) != 0) {
            throw FormatError(in_.location() + ".strokeWidth",
                              "give the stroke in \"style\" or \"strokeWidth\", not both");
        }
        if ((seen & bit(kChildren)) != 0 && !isContainerType(*fields.type)) {
            throw FormatError(in_.location() + ".children",
                              "only groups, layers and compound paths have children");
        }
        for (std::size_t i = 0; i < tree.children.size(); ++i) {
            const ArtTree& child = tree.children[i];
            const auto where = [&] { return in_.location() + ".children[" + std::to_string(i) + "]"; };
            if (child.layer && !fields.layer) {
                throw FormatError(where(), "a layer can only be at the top or directly in another layer");
            }
            if (*fields.type == ArtType::compoundPath && !compoundPathAccepts(child.data.type())) {
                throw FormatError(where(), "a compound path holds only paths, compound paths and groups");
            }
        }
    }

    ArtTree readArt(int depth, bool layerAllowed) {
        checkDepth(depth);
        ArtTree tree;
        ArtFields fields;
        const std::uint64_t seen = readMembers(in_, kArtKeys, [&](std::size_t key) {
            readArtKey(static_cast<ArtKey>(key), tree, fields, depth);
        });
        checkArt(tree, fields, seen, layerAllowed);
        if (fields.strokeWidth) {
            tree.data.style = ArtStyle::ofStrokeWidth(*fields.strokeWidth);
        }
        tree.data.content = contentOf(fields);
        if (fields.layer) {
            tree.layer = std::move(fields.layerProperties);
        }
        return tree;
    }

    void readLayers(std::vector<ArtTree>& layers) {
        in_.beginArray();
        while (in_.nextElement()) {
            ArtTree layer = readArt(1, true);
            if (!layer.layer) {
                in_.fail("expected a layer");
            }
            layers.push_back(std::move(layer));
        }
    }

    // Reads the value of a colour key into the fields; false for a key that is not one.
    bool readColorKey(std::string_view key, ColorFields& colors) {
        if (key == "colorModel") {
            colors.model = readColorModel();
        } else if (key == "customColors") {
            readList([&] { colors.customColors.push_back(readCustomColor()); });
        } else if (key == "gradients") {
            readList([&] { colors.gradients.push_back(readResource(Color::Kind::gradient)); });
        } else if (key == "patterns") {
            readList([&] { colors.patterns.push_back(readResource(Color::Kind::pattern)); });
        } else if (key == "swatches") {
            colors.swatches.emplace();
            readList([&] { colors.swatches->push_back(readNamedColor()); });
        } else if (key == "graphicStyles") {
            readList([&] { colors.graphicStyles.push_back(readGraphicStyle()); });
        } else {
            return false;
        }
        return true;
    }

    template <typename ReadElement>
    void readList(ReadElement&& readElement) {
        in_.beginArray();
        while (in_.nextElement()) {
            readElement();
        }
    }

    ColorModel readColorModel() {
        const std::string name = in_.readString();
        const auto known = std::find(std::begin(kColorModelNames), std::end(kColorModelNames), name);
        if (known == std::end(kColorModelNames)) {
            in_.fail("expected \"Grayscale\", \"RGB\" or \"CMYK\"");
        }
        return static_cast<ColorModel>(known - std::begin(kColorModelNames));
    }

    // A name that must be there and not be empty, read as "name" of the object the reader stands at.
    void requireName(std::uint64_t seen, std::uint64_t nameBit, const std::string& name) {
        if ((seen & nameBit) == 0) {
            in_.fail("the key \"name\" is missing");
        }
        if (name.empty()) {
            throw FormatError(in_.location() + ".name", "a name cannot be empty");
        }
    }

    std::pair<std::string, CustomColorDefinition> readCustomColor() {
        constexpr std::string_view kKeys[] = {"components", "kind", "name", "spot"};
        static_assert(inCanonicalOrder(kKeys));
        std::string name;
        CustomColorDefinition definition;
        std::vector<double> components;
        const std::uint64_t seen = readMembers(in_, kKeys, [&](std::size_t key) {
            switch (key) {
                case 0:
                    readList([&] { components.push_back(in_.readNumber()); });
                    break;
                case 1: {
                    const std::string kind = in_.readString();
                    const auto known =
                        std::find(std::begin(kCustomKindNames), std::end(kCustomKindNames), kind);
                    if (known == std::end(kCustomKindNames)) {
                        in_.fail("expected \"cmyk\", \"rgb\" or \"lab\"");
                    }
                    definition.kind =
                        static_cast<CustomColorDefinition::Kind>(known - std::begin(kCustomKindNames));
                    break;
                }
                case 2:
                    name = in_.readString();
                    break;
                default:
                    definition.spot = in_.readBool();
                    break;
            }
        });
        requireName(seen, 0b100, name);
        if ((seen & 0b11) != 0b11) {
            in_.fail("a custom colour needs \"kind\" and \"components\"");
        }
        if (components.size() != definition.componentCount()) {
            throw FormatError(in_.location() + ".components",
                              "expected " + std::to_string(definition.componentCount()) + " components");
        }
        std::copy(components.begin(), components.end(), definition.values.begin());
        if (definition.check() != Status::ok) {
            throw FormatError(in_.location() + ".components", "a component is out of its range");
        }
        return {std::move(name), definition};
    }

    ColorFields::Named readNamedColor() {
        constexpr std::string_view kKeys[] = {"color", "name"};
        ColorFields::Named named;
        const std::uint64_t seen = readMembers(in_, kKeys, [&](std::size_t key) {
            if (key == 0) {
                named.color = readColor(in_);
            } else {
                named.name = in_.readString();
            }
        });
        requireName(seen, 0b10, named.name);
        if ((seen & 1) == 0) {
            in_.fail("the key \"color\" is missing");
        }
        return named;
    }

    // A gradient ("stops", "type") or a pattern ("art", "tile"): the keys of the other kind are refused.
    PaintResource readResource(Color::Kind kind) {
        constexpr std::string_view kKeys[] = {"art", "color", "name", "stops", "tile", "type"};
        const bool gradient = kind == Color::Kind::gradient;
        PaintResource resource;
        const std::uint64_t seen = readMembers(in_, kKeys, [&](std::size_t key) {
            if ((gradient && (key == 0 || key == 4)) || (!gradient && (key == 3 || key == 5))) {
                in_.fail(std::string("a ") + (gradient ? "gradient" : "pattern") + " has no \"" +
                         std::string(kKeys[key]) + "\"");
            }
            switch (key) {
                case 0:
                    resource.art = readArt(2, false);
                    break;
                case 1:
                    resource.flat = readColor(in_);
                    break;
                case 2:
                    resource.name = in_.readString();
                    break;
                case 3:
                    readList([&] { resource.stops.push_back(readStop()); });
                    break;
                case 4:
                    resource.tile = readRect();
                    if (!(resource.tile->right > resource.tile->left &&
                          resource.tile->top > resource.tile->bottom)) {
                        in_.fail("expected a tile wider and taller than 0");
                    }
                    break;
                default: {
                    const std::string type = in_.readString();
                    if (type != "linear" && type != "radial") {
                        in_.fail("expected \"linear\" or \"radial\"");
                    }
                    resource.type = type == "radial" ? GradientType::radial : GradientType::linear;
                    break;
                }
            }
        });
        requireName(seen, 0b100, resource.name);
        if ((seen & 0b10) == 0) {
            in_.fail("the key \"color\" is missing");
        }
        return resource;
    }

    GradientStop readStop() {
        constexpr std::string_view kKeys[] = {"color", "midPoint", "opacity", "rampPoint"};
        GradientStop stop;
        const std::uint64_t seen = readMembers(in_, kKeys, [&](std::size_t key) {
            const auto within = [&](double low, double high, const char* expected) {
                const double value = in_.peek() == JsonKind::number ? in_.readNumber() : low - 1.0;
                if (!(value >= low && value <= high)) {
                    in_.fail(expected);
                }
                return value;
            };
            switch (key) {
                case 0:
                    stop.color = readColor(in_);
                    break;
                case 1:
                    stop.midPoint =
                        within(kLeastMidPoint, kGreatestMidPoint, "expected a number from 13 to 87");
                    break;
                case 2:
                    stop.opacity = within(0.0, 1.0, "expected a number from 0 to 1");
                    break;
                default:
                    stop.rampPoint = within(0.0, 100.0, "expected a number from 0 to 100");
                    break;
            }
        });
        if ((seen & 0b1001) != 0b1001) {
            in_.fail("a stop needs \"color\" and \"rampPoint\"");
        }
        return stop;
    }

    ColorFields::NamedStyle readGraphicStyle() {
        constexpr std::string_view kKeys[] = {"name", "style", "unlisted"};
        ColorFields::NamedStyle named;
        const std::uint64_t seen = readMembers(in_, kKeys, [&](std::size_t key) {
            switch (key) {
                case 0:
                    named.name = in_.readString();
                    break;
                case 1:
                    named.style = readStyle(in_, dictionaryReader(kGraphicStyleDictionaryDepth));
                    break;
                default:
                    named.unlisted = in_.readBool();
                    break;
            }
        });
        requireName(seen, 0b1, named.name);
        if ((seen & 0b10) == 0) {
            in_.fail("the key \"style\" is missing");
        }
        return named;
    }

    // Symbols: a name alone (a symbol that shows nothing) or an object with the name and the
    // artwork; names non-empty, each used once.
    std::vector<SymbolDefinition> readSymbols() {
        std::vector<SymbolDefinition> symbols;
        std::set<std::string, std::less<>> known;
        in_.beginArray();
        while (in_.nextElement()) {
            SymbolDefinition symbol;
            const JsonKind kind = in_.peek();
            if (kind == JsonKind::string) {
                symbol.name = in_.readString();
            } else if (kind == JsonKind::object) {
                constexpr std::string_view kKeys[] = {"art", "name"};
                static_assert(inCanonicalOrder(kKeys));
                const std::uint64_t seen = readMembers(in_, kKeys, [&](std::size_t key) {
                    if (key == 0) {
                        symbol.art = readArt(2, false);
                    } else {
                        symbol.name = in_.readString();
                    }
                });
                if ((seen & 0b10) == 0) {
                    in_.fail("the key \"name\" is missing");
                }
            } else {
                in_.failExpected("a string or an object");
            }
            if (symbol.name.empty()) {
                in_.fail("a symbol needs a name");
            }
            if (!known.insert(symbol.name).second) {
                in_.fail("a second symbol named \"" + symbol.name + "\"");
            }
            symbols.push_back(std::move(symbol));
        }
        return symbols;
    }

    Artboard readArtboard() {
        constexpr std::string_view kKeys[] = {"name",       "pixelAspectRatio", "rect",         "rulerOrigin",
                                              "showCenter", "showCrossHairs",   "showSafeAreas"};
        static_assert(inCanonicalOrder(kKeys));
        Artboard artboard;
        const std::uint64_t seen = readMembers(in_, kKeys, [&](std::size_t key) {
            switch (key) {
                case 0:
                    artboard.name = in_.readString();
                    break;
                case 1:
                    artboard.pixelAspectRatio = in_.readNumber();
                    break;
                case 2:
                    artboard.bounds = readRect();
                    break;
                case 3:
                    artboard.rulerOrigin = readPoint();
                    break;
                case 4:
                    artboard.showCenter = in_.readBool();
                    break;
                case 5:
                    artboard.showCrossHairs = in_.readBool();
                    break;
                default:
                    artboard.showSafeAreas = in_.readBool();
                    break;
            }
        });
        if ((seen & 0b100) == 0) {
            in_.fail("the key \"rect\" is missing");
        }
        if (!isValidArtboard(artboard)) {
            in_.fail("an artboard needs a width and height above 0 and a pixel aspect ratio above 0");
        }
        return artboard;
    }

    std::vector<Artboard> readArtboards() {
        std::vector<Artboard> artboards;
        in_.beginArray();
        while (in_.nextElement()) {
            if (artboards.size() == kMaxArtboards) {
                in_.failAtContainer("more than " + std::to_string(kMaxArtboards) + " artboards");
            }
            artboards.push_back(readArtboard());
        }
        if (artboards.empty()) {
            in_.fail("a document has at least one artboard");
        }
        return artboards;
    }

    JsonReader in_;
};

// A text that is not a document of this format, or of another version, is reported as such even
// when something else in it fails first (keys are sorted, so "format" and "version" come late).
void checkHeader(std::string_view text) {
    JsonReader in(text);
    try {
        in.beginObject();
        std::string_view key;
        while (in.nextKey(&key)) {
            if (key == "format") {
                DocumentReader::checkFormat(in);
            } else if (key == "version") {
                DocumentReader::checkVersion(in);
            } else {
                in.skipValue();
            }
        }
    } catch (const FormatError& error) {
        const std::string_view message = error.what();
        if (message.starts_with("format:") || message.starts_with("version:")) {
            throw;
        }
    }
}

DocumentContents readContents(std::string_view text) {
    try {
        return DocumentReader(text).read();
    } catch (const FormatError& error) {
        if (!std::string_view(error.what()).starts_with("not JSON")) {
            checkHeader(text);
        }
        throw;
    }
}

ReadResult documentFrom(DocumentContents contents, std::optional<std::uint64_t> uuidSeed) {
    ReadResult result;
    Result<Document> document = Document::fromContents(std::move(contents), uuidSeed);
    if (!document) {
        result.error = "the document's structure is not allowed";
        return result;
    }
    result.document = std::move(*document);
    return result;
}

// The whole file in one read; none when it can't be read.
std::optional<std::string> readWholeFile(const std::filesystem::path& file, std::string* error) {
    std::error_code failure;
    if (std::filesystem::is_directory(file, failure)) {
        *error = "cannot open " + file.string() + ": it is a directory";
        return std::nullopt;
    }
    std::ifstream stream(file, std::ios::binary);
    if (!stream) {
        *error = "cannot open " + file.string();
        return std::nullopt;
    }
    std::string text;
    const std::uintmax_t size = std::filesystem::is_regular_file(file, failure)
                                    ? std::filesystem::file_size(file, failure)
                                    : std::uintmax_t{0};
    if (!failure && size > 0) {
        text.resize(static_cast<std::size_t>(size));
        stream.read(text.data(), static_cast<std::streamsize>(size));
        text.resize(static_cast<std::size_t>(stream.gcount()));
    } else {
        std::ostringstream whole;
        whole << stream.rdbuf();
        text = std::move(whole).str();
    }
    if (stream.bad()) {
        *error = "cannot read " + file.string();
        return std::nullopt;
    }
    return text;
}

}  // namespace

ReadResult readDocument(std::string_view text, std::optional<std::uint64_t> uuidSeed) {
    try {
        return documentFrom(readContents(text), uuidSeed);
    } catch (const FormatError& error) {
        return ReadResult{std::nullopt, error.what()};
    }
}

SwatchLibraryResult readSwatchLibrary(std::string_view text) {
    try {
        return SwatchLibraryResult{DocumentReader(text).readLibrary(), {}};
    } catch (const FormatError& error) {
        return SwatchLibraryResult{std::nullopt, error.what()};
    }
}

ReadResult openDocument(const std::filesystem::path& file, std::optional<std::uint64_t> uuidSeed) {
    std::string error;
    std::optional<std::string> text = readWholeFile(file, &error);
    if (!text) {
        return ReadResult{std::nullopt, error};
    }
    std::optional<DocumentContents> contents;
    try {
        contents = readContents(*text);
    } catch (const FormatError& failure) {
        return ReadResult{std::nullopt, file.string() + ": " + failure.what()};
    }
    // The text is not needed once its contents are read: let it go before the document is built.
    text.reset();
    ReadResult result = documentFrom(std::move(*contents), uuidSeed);
    if (!result.document) {
        result.error = file.string() + ": " + result.error;
    }
    return result;
}

WriteResult writeDocument(const Document& document) {
    WriteResult result;
    std::string text;
    try {
        JsonWriter out(text);
        DocumentWriter(out).write(document);
        text += '\n';
        result.text = std::move(text);
    } catch (const FormatError& error) {
        result.error = error.what();
    }
    return result;
}

bool saveDocument(const Document& document, const std::filesystem::path& file, std::string* error) {
    const auto fail = [&](std::string message) {
        if (error != nullptr) {
            *error = std::move(message);
        }
        return false;
    };
    AtomicFileWriter target(file);
    if (!target.ok()) {
        return fail(target.error());
    }
    std::string buffer;
    try {
        JsonWriter out(buffer, [&target](std::string_view bytes) {
            target.write(bytes);
            if (!target.ok()) {
                throw FormatError("", target.error());
            }
        });
        DocumentWriter(out).write(document);
        buffer += '\n';
        out.drain();
    } catch (const FormatError& failure) {
        return fail(failure.what());
    }
    if (!target.commit()) {
        return fail(target.error());
    }
    return true;
}

}  // namespace host::model
