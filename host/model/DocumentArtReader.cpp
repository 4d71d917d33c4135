#include <bit>

#include "model/DocumentReader.h"
#include "model/StoryFormat.h"

namespace host::model::reading {

namespace {

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

}  // namespace

// Reads the value of one art key, by what the key belongs to: the attributes and layer flags, the
// keys every object has, those of shapes and boxes, those of text frames, those of layers.
void DocumentReader::readArtKey(ArtKey key, ArtTree& tree, ArtFields& fields, int depth) {
    ArtAttributes attributeBit = 0;
    if (attributeKey(key, &attributeBit)) {
        if (in_.readBool()) {
            tree.data.attributes |= attributeBit;
        }
        return;
    }
    if (const LayerFlag* flag = layerFlag(key)) {
        fields.layerProperties.*(flag->flag) = in_.readBool();
        return;
    }
    if (!readCommonArtKey(key, tree, fields, depth) && !readShapeKey(key, fields) &&
        !readTextFrameKey(key, fields)) {
        readLayerKey(key, fields);
    }
}

// The keys any art object may have; false for another.
bool DocumentReader::readCommonArtKey(ArtKey key, ArtTree& tree, ArtFields& fields, int depth) {
    ArtData& data = tree.data;
    switch (key) {
        case kChildren:
            in_.beginArray();
            while (in_.nextElement()) {
                tree.children.push_back(readArt(depth + 1, true));
            }
            return true;
        case kDictionary:
            data.dictionary = readDictionary(depth + 1);
            return true;
        case kEnvelope:
            data.envelope = in_.readBool();
            return true;
        case kFillPattern:
            data.fillPattern = readMatrix();
            return true;
        case kIntertwine:
            data.intertwine = in_.readBool();
            return true;
        case kName:
            data.name = in_.readString();
            return true;
        case kNote:
            data.note = in_.readString();
            return true;
        case kStrokePattern:
            data.strokePattern = readMatrix();
            return true;
        case kStrokeWidth:
            fields.strokeWidth = in_.readNumber();
            if (*fields.strokeWidth < 0) {
                in_.fail("a stroke width cannot be negative");
            }
            return true;
        case kStyle:
            data.style = readStyle(in_, dictionaryReader(depth + 1));
            return true;
        case kTags:
            data.tags = readTags();
            return true;
        case kType: {
            const std::string type = in_.readString();
            fields.layer = type == "layer";
            fields.type = fields.layer ? ArtType::group : artTypeFromName(type);
            if (!fields.type) {
                in_.fail("unknown art type \"" + type + "\"");
            }
            return true;
        }
        case kWrapInside:
            data.wrapInside = in_.readBool();
            return true;
        case kWrapOffset:
            data.wrapOffset = in_.readNumber();
            return true;
        case kUuid:
            data.uuid = in_.readString();
            if (!data.uuid.empty() && !isUuidText(data.uuid)) {
                in_.fail("expected a UUID of 36 lower-case characters");
            }
            return true;
        default:
            return false;
    }
}

// The keys of paths, groups and the objects drawn in a box (placed files, rasters, symbol
// instances); false for another.
bool DocumentReader::readShapeKey(ArtKey key, ArtFields& fields) {
    switch (key) {
        case kClipped:
            fields.group.clipped = in_.readBool();
            return true;
        case kClosed:
            fields.path.closed = in_.readBool();
            return true;
        case kFile:
            fields.file = in_.readString();
            return true;
        case kFrame:
            fields.box.frame = readRect();
            return true;
        case kGuide:
            fields.guide = in_.readBool();
            return true;
        case kMatrix:
            fields.box.matrix = readMatrix();
            return true;
        case kPixels:
            fields.pixels = readRasterPixels(in_);
            return true;
        case kSegments:
            fields.path.segments = readSegments();
            return true;
        case kSymbol:
            fields.symbol = in_.readString();
            return true;
        default:
            return false;
    }
}

// The keys of text frames; false for another.
bool DocumentReader::readTextFrameKey(ArtKey key, ArtFields& fields) {
    switch (key) {
        case kKind: {
            const std::string kind = in_.readString();
            fields.kind = textKindFromName(kind);
            if (!fields.kind) {
                in_.fail("unknown text kind \"" + kind + "\"");
            }
            return true;
        }
        case kPath:
            fields.textPath = readTextPath();
            return true;
        case kText: {
            std::optional<Story> story = Story::plain(in_.readString());
            if (!story) {
                in_.fail("the text is not UTF-8");
            }
            fields.text.story = *std::move(story);
            return true;
        }
        case kStory:
            fields.text.story = readStory(in_);
            return true;
        case kThread:
            fields.text.thread = readThread(in_);
            return true;
        case kThreadHead:
            fields.text.threadHead = in_.readString();
            return true;
        case kStoryDirection:
            fields.text.storyDirection = static_cast<int>(in_.readInteger(0, 1));
            return true;
        case kAutoSize:
            fields.text.autoSize = in_.readBool();
            return true;
        default:
            return false;
    }
}

// The keys of layers beyond their flags.
void DocumentReader::readLayerKey(ArtKey key, ArtFields& fields) {
    switch (key) {
        case kColor:
            fields.layerProperties.color = readLayerColor();
            break;
        case kDimPercent:
            fields.layerProperties.dimPercent = static_cast<int>(in_.readInteger(0, 100));
            break;
        case kTitle:
            fields.layerProperties.title = in_.readString();
            break;
        default:
            break;
    }
}

LayerColor DocumentReader::readLayerColor() {
    const auto channels = readFixedArray<std::uint16_t, 3>(
        in_, "expected an array of three integers",
        [this] { return static_cast<std::uint16_t>(in_.readInteger(0, 0xFFFF)); });
    return {channels[0], channels[1], channels[2]};
}

ArtContent DocumentReader::contentOf(ArtFields& fields) {
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
            return PlacedContent{std::move(fields.file), fields.box, PlaceFit{}};
        case ArtType::raster:
            return RasterContent{fields.box, std::move(fields.pixels), PlaceFit{}};
        case ArtType::symbol:
            return SymbolContent{std::move(fields.symbol), fields.box};
        default:
            return fields.group;
    }
}

// The checks that need the whole object: its type's keys, its children, and whether a layer
// may stand here. The reader stands at the object's place.
void DocumentReader::checkArt(const ArtTree& tree, const ArtFields& fields, std::uint64_t seen,
                              bool layerAllowed) {
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

ArtTree DocumentReader::readArt(int depth, bool layerAllowed) {
    checkDepth(depth);
    ArtTree tree;
    ArtFields fields;
    const std::uint64_t seen = readMembers(
        in_, kArtKeys, [&](std::size_t key) { readArtKey(static_cast<ArtKey>(key), tree, fields, depth); });
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

void DocumentReader::readLayers(std::vector<ArtTree>& layers) {
    in_.beginArray();
    while (in_.nextElement()) {
        ArtTree layer = readArt(1, true);
        if (!layer.layer) {
            in_.fail("expected a layer");
        }
        layers.push_back(std::move(layer));
    }
}

}  // namespace host::model::reading
