// The reader of the native document format: one pass over the text, straight into the model's
// values. Its members are defined by what they read: DocumentReader.cpp (the document, geometry,
// tags, dictionaries, symbols and artboards), DocumentArtReader.cpp (art objects and layers) and
// DocumentColorsReader.cpp (colour models, custom colours, gradients, patterns, swatches and
// graphic styles).
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "model/ArtPaintFormat.h"
#include "model/DocumentFormat.h"
#include "model/DocumentFormatNames.h"
#include "model/JsonText.h"

namespace host::model::reading {

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

// The document's colours from the fields, each named record added after those it may name.
DocumentColors colorsFrom(ColorFields fields);

// Reads the text straight into the model's values, in one pass. Keys may come in any order; what
// depends on another key (the type of an art object, of a dictionary entry) is checked once the
// object is read. Every failure throws FormatError naming the place.
class DocumentReader {
public:
    explicit DocumentReader(std::string_view text) : in_(text) {}

    DocumentContents read();
    SwatchLibrary readLibrary();

    static void checkFormat(JsonReader& in);
    static void checkVersion(JsonReader& in);

private:
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

    void checkDepth(int depth);

    // An array of exactly N numbers.
    template <std::size_t N>
    std::array<double, N> readNumbers() {
        return readFixedArray<double, N>(in_, "expected an array of " + std::to_string(N) + " numbers",
                                         [this] { return in_.readNumber(); });
    }

    template <typename ReadElement>
    void readList(ReadElement&& readElement) {
        in_.beginArray();
        while (in_.nextElement()) {
            readElement();
        }
    }

    // Geometry and tags.
    Point readPoint();
    Rect readRect();
    Matrix readMatrix();
    Segment readSegment();
    std::vector<Segment> readSegments();
    PathGeometry readTextPath();
    TagList readTags();

    // Dictionaries.
    void readEntryValue(EntryType type, std::string_view key, Dictionary& dictionary, int depth);
    DictionaryReader dictionaryReader(int depth);
    Dictionary readDictionary(int depth);
    void readEntry(const std::string& key, Dictionary& dictionary, int depth);
    EntryArray readEntryArray(int depth);

    // Art objects and layers.
    void readArtKey(ArtKey key, ArtTree& tree, ArtFields& fields, int depth);
    bool readCommonArtKey(ArtKey key, ArtTree& tree, ArtFields& fields, int depth);
    bool readShapeKey(ArtKey key, ArtFields& fields);
    bool readTextFrameKey(ArtKey key, ArtFields& fields);
    void readLayerKey(ArtKey key, ArtFields& fields);
    LayerColor readLayerColor();
    static ArtContent contentOf(ArtFields& fields);
    void checkArt(const ArtTree& tree, const ArtFields& fields, std::uint64_t seen, bool layerAllowed);
    ArtTree readArt(int depth, bool layerAllowed);
    void readLayers(std::vector<ArtTree>& layers);

    // Colours.
    bool readColorKey(std::string_view key, ColorFields& colors);
    ColorModel readColorModel();
    void requireName(std::uint64_t seen, std::uint64_t nameBit, const std::string& name);
    std::pair<std::string, CustomColorDefinition> readCustomColor();
    ColorFields::Named readNamedColor();
    PaintResource readResource(Color::Kind kind);
    GradientStop readStop();
    ColorFields::NamedStyle readGraphicStyle();

    // Symbols and artboards.
    std::vector<SymbolDefinition> readSymbols();
    Artboard readArtboard();
    std::vector<Artboard> readArtboards();

    JsonReader in_;
};

}  // namespace host::model::reading
