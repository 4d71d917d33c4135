// The writer of the native document format: the canonical text straight from the model.
#include <algorithm>
#include <string>

#include "model/ArtPaintFormat.h"
#include "model/AtomicFile.h"
#include "model/DocumentFormat.h"
#include "model/DocumentFormatNames.h"
#include "model/JsonText.h"
#include "model/StoryFormat.h"

namespace host::model {

namespace {

// Writes the canonical text straight from the model. Nesting is counted as the reader counts it, so
// that nothing is written that could not be read back.
class DocumentWriter {
public:
    explicit DocumentWriter(JsonWriter& out) : out_(out) {}

    void write(const Document& document) {
        // Nothing is written that the reader would refuse: a file that can't be opened again loses
        // the whole document, where a refused save loses nothing.
        if (document.checkColors() != Status::ok) {
            throw FormatError("",
                              "art names a custom colour, gradient or pattern the document does not have");
        }
        out_.beginObject();
        if (document.artboards().activeIndex() != 0) {
            out_.key("activeArtboard");
            out_.integer(static_cast<std::int64_t>(document.artboards().activeIndex()));
        }
        writeArtboards(document.artboards().list());
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
        writeLayers(document);
        if (!colors.patterns().empty()) {
            out_.key("patterns");
            writeResources(colors.patterns());
        }
        integer("rulerUnits", document.rulerUnits(), kPointsRulerUnits);
        number("scale", document.scale(), 1.0);
        if (!isDefaultSwatchList(colors)) {
            out_.key("swatches");
            writeSwatches(colors.swatches());
        }
        if (!document.symbols().empty()) {
            out_.key("symbols");
            writeSymbols(document.symbols());
        }
        if (hasTextStyles(document.textStyles())) {
            out_.key("textStyles");
            writeTextStyles(out_, document.textStyles());
        }
        out_.key("version");
        out_.integer(kDocumentFormatVersion);
        string("xmp", document.xmp());
        out_.endObject();
    }

private:
    // The artboards are left out while the document has only the one a new document has.
    void writeArtboards(const std::vector<Artboard>& artboards) {
        if (artboards.empty() || (artboards.size() == 1 && artboards.front() == defaultArtboard())) {
            return;
        }
        out_.key("artboards");
        list(artboards, [&](const Artboard& artboard) { writeArtboard(artboard); });
    }

    void writeLayers(const Document& document) {
        out_.beginArray();
        for (std::size_t i = 0; i < document.layers().count(); ++i) {
            out_.element();
            const ArtId group = document.layers().group(*document.layers().nth(i)).valueOr(ArtId{});
            writeDocumentArt(document, group, 1);
        }
        out_.endArray();
    }

    void writeSymbols(const SymbolTable& symbols) {
        list(symbols, [&](const Symbol& symbol) { writeSymbol(symbol); });
    }

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
        list(customs, [&](const CustomColor& custom) {
            const CustomColorDefinition& definition = custom.definition;
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
            flag("spot", definition.spot, false);
            out_.endObject();
        });
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
        list(resources, [&](const PaintResource& resource) {
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
        });
    }

    void writeStops(const std::vector<GradientStop>& stops) {
        const GradientStop defaults;
        list(stops, [&](const GradientStop& stop) {
            out_.beginObject();
            out_.key("color");
            writeColor(out_, stop.color);
            number("midPoint", stop.midPoint, defaults.midPoint);
            number("opacity", stop.opacity, defaults.opacity);
            out_.key("rampPoint");
            out_.number(stop.rampPoint);
            out_.endObject();
        });
    }

    void writeSwatches(const std::vector<Swatch>& swatches) {
        list(swatches, [&](const Swatch& swatch) { writeNamedColor(swatch.name, swatch.color); });
    }

    void writeGraphicStyles(const std::vector<GraphicStyle>& styles) {
        list(styles, [&](const GraphicStyle& style) {
            out_.beginObject();
            out_.key("name");
            out_.string(style.name);
            out_.key("style");
            writeStyle(out_, style.style, dictionaryWriter(kGraphicStyleDictionaryDepth));
            flag("unlisted", style.unlisted, false);
            out_.endObject();
        });
    }

    void numbers(std::initializer_list<double> values) {
        list(values, [&](const double value) { out_.number(value); });
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
        list(segments, [&](const Segment& segment) {
            out_.beginObject();
            out_.key("anchor");
            point(segment.anchor);
            flag("corner", segment.corner, true);
            if (segment.in != segment.anchor) {
                out_.key("in");
                point(segment.in);
            }
            if (segment.out != segment.anchor) {
                out_.key("out");
                point(segment.out);
            }
            out_.endObject();
        });
    }

    // Writes the dictionaries inside a style or a stroke at the depth.
    DictionaryWriter dictionaryWriter(int depth) {
        return
            [this, depth](JsonWriter&, const Dictionary& dictionary) { writeDictionary(dictionary, depth); };
    }

    // Each element as an entry object of its type.
    void writeEntryArray(const EntryArray& array) {
        list(array, [&](const ArrayElement& element) {
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
        });
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
        string("name", artboard.name);
        number("pixelAspectRatio", artboard.pixelAspectRatio, defaults.pixelAspectRatio);
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
    // An art object as the writer sees it: its data, its layer's properties when it is a layer
    // group, and its content by kind (at most one of them set).
    struct ArtView {
        const ArtData& data;
        const LayerProperties* layer;
        const GroupContent* group = std::get_if<GroupContent>(&data.content);
        const PathContent* path = std::get_if<PathContent>(&data.content);
        const TextFrameContent* text = std::get_if<TextFrameContent>(&data.content);
        const PlacedContent* placed = std::get_if<PlacedContent>(&data.content);
        const RasterContent* raster = std::get_if<RasterContent>(&data.content);
        const SymbolContent* symbol = std::get_if<SymbolContent>(&data.content);
        const BoxGeometry* box = text != nullptr     ? &text->box
                                 : placed != nullptr ? &placed->box
                                 : raster != nullptr ? &raster->box
                                 : symbol != nullptr ? &symbol->box
                                                     : nullptr;
    };

    // An array of the items, each written by writeItem.
    template <typename Items, typename WriteItem>
    void list(const Items& items, WriteItem&& writeItem) {
        out_.beginArray();
        for (const auto& item : items) {
            out_.element();
            writeItem(item);
        }
        out_.endArray();
    }

    // A key whose value equals its default (or a text that is empty) is left out.
    void flag(const char* key, bool value, bool byDefault) {
        if (value != byDefault) {
            out_.key(key);
            out_.boolean(value);
        }
    }

    void number(const char* key, double value, double byDefault) {
        if (value != byDefault) {
            out_.key(key);
            out_.number(value);
        }
    }

    void integer(const char* key, std::int64_t value, std::int64_t byDefault) {
        if (value != byDefault) {
            out_.key(key);
            out_.integer(value);
        }
    }

    void string(const char* key, std::string_view value) {
        if (!value.empty()) {
            out_.key(key);
            out_.string(value);
        }
    }

    void attribute(const ArtData& data, const char* key, ArtAttributes bit) {
        flag(key, (data.attributes & bit) != 0, false);
    }

    // One art object with its keys in the canonical order; writeChildren writes the members of its
    // "children" array, when it has any. The keys are sorted, so the keys of each kind of content
    // are written where their names fall.
    template <typename WriteChildren>
    void writeArt(const ArtData& data, const LayerProperties* layer, bool hasChildren, int depth,
                  WriteChildren&& writeChildren) {
        checkDepth(depth);
        const ArtView art{data, layer};
        out_.beginObject();
        if (art.text != nullptr) {
            flag("autoSize", art.text->autoSize, false);
        }
        if (hasChildren) {
            out_.key("children");
            out_.beginArray();
            writeChildren();
            out_.endArray();
        }
        writeArtKeysClippedToLocked(art, depth);
        writeArtKeysMatrixToStyle(art, depth);
        writeArtKeysSymbolToWrapOffset(art);
        out_.endObject();
        out_.drainIfFull();
    }

    void writeArtKeysClippedToLocked(const ArtView& art, int depth) {
        const ArtData& data = art.data;
        const LayerProperties defaults;
        if (art.group != nullptr) {
            flag("clipped", art.group->clipped, false);
        }
        attribute(data, "clippingMask", attribute::clippingMask);
        if (art.path != nullptr) {
            flag("closed", art.path->geometry.closed, false);
        }
        if (art.layer != nullptr) {
            out_.key("color");
            writeLayerColor(art.layer->color);
        }
        if (!data.dictionary.empty()) {
            out_.key("dictionary");
            writeDictionary(data.dictionary, depth + 1);
        }
        if (art.layer != nullptr) {
            integer("dimPercent", art.layer->dimPercent, defaults.dimPercent);
            flag("dimPlacedImages", art.layer->dimPlacedImages, defaults.dimPlacedImages);
            flag("editable", art.layer->editable, defaults.editable);
        }
        flag("envelope", data.envelope, false);
        if (art.placed != nullptr) {
            out_.key("file");
            out_.string(art.placed->file);
        }
        if (!data.fillPattern.isIdentity()) {
            out_.key("fillPattern");
            matrix(data.fillPattern);
        }
        if (art.box != nullptr) {
            out_.key("frame");
            rect(art.box->frame);
        }
        if (art.path != nullptr) {
            flag("guide", art.path->guide, false);
        }
        attribute(data, "hidden", attribute::hidden);
        flag("intertwine", data.intertwine, false);
        if (art.text != nullptr) {
            out_.key("kind");
            out_.string(textKindName(art.text->kind));
        }
        attribute(data, "locked", attribute::locked);
    }

    void writeArtKeysMatrixToStyle(const ArtView& art, int depth) {
        const ArtData& data = art.data;
        const TextFrameContent* text = art.text;
        if (art.box != nullptr && !art.box->matrix.isIdentity()) {
            out_.key("matrix");
            matrix(art.box->matrix);
        }
        if (art.layer == nullptr && !data.name.empty()) {
            out_.key("name");
            out_.string(data.name);
        }
        string("note", data.note);
        if (text != nullptr && (!text->path.segments.empty() || text->path.closed)) {
            out_.key("path");
            writeTextPath(text->path);
        }
        if (art.raster != nullptr && !art.raster->pixels.empty()) {
            out_.key("pixels");
            writeRasterPixels(out_, art.raster->pixels);
        }
        if (art.layer != nullptr) {
            const LayerProperties defaults;
            flag("preview", art.layer->preview, defaults.preview);
            flag("printed", art.layer->printed, defaults.printed);
        }
        if (art.path != nullptr && !art.path->geometry.segments.empty()) {
            out_.key("segments");
            segments(art.path->geometry.segments);
        }
        attribute(data, "selected", attribute::selected);
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
        writeArtStyle(data.style, depth);
    }

    void writeArtKeysSymbolToWrapOffset(const ArtView& art) {
        const ArtData& data = art.data;
        const TextFrameContent* text = art.text;
        if (art.symbol != nullptr) {
            out_.key("symbol");
            out_.string(art.symbol->symbol);
        }
        if (!data.tags.empty()) {
            out_.key("tags");
            writeTags(data.tags);
        }
        if (art.layer != nullptr) {
            flag("template", art.layer->isTemplate, LayerProperties{}.isTemplate);
        }
        if (text != nullptr && text->story.isPlain() && text->story.size() != 0) {
            out_.key("text");
            out_.string(text->story.utf8());
        }
        attribute(data, "textWrap", attribute::textWrap);
        if (text != nullptr && !text->thread.empty()) {
            out_.key("thread");
            writeThread(out_, text->thread);
        }
        if (text != nullptr && !text->threadHead.empty()) {
            out_.key("threadHead");
            out_.string(text->threadHead);
        }
        if (art.layer != nullptr) {
            out_.key("title");
            out_.string(art.layer->title);
        }
        out_.key("type");
        out_.string(art.layer != nullptr ? std::string_view("layer") : artTypeName(data.type()));
        out_.key("uuid");
        out_.string(data.uuid);
        if (art.layer != nullptr) {
            flag("visible", art.layer->visible, LayerProperties{}.visible);
        }
        flag("wrapInside", data.wrapInside, false);
        number("wrapOffset", data.wrapOffset, ArtData{}.wrapOffset);
    }

    void writeLayerColor(const LayerColor& color) {
        out_.beginArray();
        for (const std::uint16_t channel : {color.red, color.green, color.blue}) {
            out_.element();
            out_.integer(channel);
        }
        out_.endArray();
    }

    void writeTextPath(const PathGeometry& path) {
        out_.beginObject();
        flag("closed", path.closed, false);
        if (!path.segments.empty()) {
            out_.key("segments");
            segments(path.segments);
        }
        out_.endObject();
    }

    // A style that is one black stroke (or nothing) is written as "strokeWidth", as older documents
    // have it.
    void writeArtStyle(const ArtStyle& style, int depth) {
        double strokeWidth = 0.0;
        if (style.isStrokeWidthOnly(&strokeWidth)) {
            number("strokeWidth", strokeWidth, 0.0);
            return;
        }
        out_.key("style");
        writeStyle(out_, style, dictionaryWriter(depth + 1));
    }

    void writeTags(const TagList& tags) {
        list(tags.entries(), [&](const auto& entry) {
            out_.beginObject();
            out_.key("name");
            out_.string(entry.name);
            out_.key("type");
            out_.string(entry.type);
            out_.key("value");
            out_.string(entry.value);
            out_.endObject();
        });
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
        const Layer* layer = node->layer ? document.layers().find(node->layer) : nullptr;
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

}  // namespace

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
