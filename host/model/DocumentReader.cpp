#include "model/DocumentReader.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <limits>
#include <set>

#include "model/StoryFormat.h"

namespace host::model::reading {

namespace {

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

}  // namespace

DocumentContents DocumentReader::read() {
    static constexpr std::string_view kKeys[] = {
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
            case keyIndex(kKeys, "activeArtboard"):
                active = in_.readInteger(0, static_cast<std::int64_t>(kMaxArtboards));
                break;
            case keyIndex(kKeys, "artboards"):
                contents.artboards = readArtboards();
                break;
            case keyIndex(kKeys, "dictionary"):
                contents.dictionary = readDictionary(1);
                break;
            case keyIndex(kKeys, "format"):
                checkFormat(in_);
                break;
            case keyIndex(kKeys, "layers"):
                readLayers(contents.layers);
                break;
            case keyIndex(kKeys, "rulerUnits"):
                contents.rulerUnits = static_cast<int>(in_.readInteger(kFirstRulerUnits, kLastRulerUnits));
                break;
            case keyIndex(kKeys, "scale"):
                contents.scale = in_.readNumber();
                if (contents.scale <= 0.0) {
                    in_.fail("the scale factor must be above 0");
                }
                break;
            case keyIndex(kKeys, "symbols"):
                contents.symbols = readSymbols();
                break;
            case keyIndex(kKeys, "textStyles"):
                contents.textStyles = readTextStyles(in_);
                break;
            case keyIndex(kKeys, "xmp"):
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

SwatchLibrary DocumentReader::readLibrary() {
    static constexpr std::string_view kKeys[] = {"colorModel", "customColors", "gradients", "graphicStyles",
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

void DocumentReader::checkFormat(JsonReader& in) {
    const std::string format = in.readString();
    if (format != kDocumentFormatName) {
        in.fail("not a document of this host (\"" + format + "\")");
    }
}

void DocumentReader::checkVersion(JsonReader& in) {
    const std::int64_t version = in.readInteger(0, 1'000'000);
    if (version != kDocumentFormatVersion) {
        in.fail("version " + std::to_string(version) + " is not supported");
    }
}

void DocumentReader::checkDepth(int depth) {
    if (depth > kMaxDocumentDepth) {
        throw FormatError(in_.location(), "nested too deeply");
    }
}

Point DocumentReader::readPoint() {
    const auto n = readNumbers<2>();
    return {n[0], n[1]};
}

Rect DocumentReader::readRect() {
    const auto n = readNumbers<4>();
    const Rect rect(n[0], n[1], n[2], n[3]);
    if (rect.isEmpty()) {
        in_.fail("expected [left, top, right, bottom] with left <= right and top >= bottom");
    }
    return rect;
}

Matrix DocumentReader::readMatrix() {
    const auto n = readNumbers<6>();
    return {n[0], n[1], n[2], n[3], n[4], n[5]};
}

Segment DocumentReader::readSegment() {
    static constexpr std::string_view kKeys[] = {"anchor", "corner", "in", "out"};
    Segment segment;
    std::optional<Point> in;
    std::optional<Point> out;
    const std::uint64_t seen = readMembers(in_, kKeys, [&](std::size_t key) {
        switch (key) {
            case keyIndex(kKeys, "anchor"):
                segment.anchor = readPoint();
                break;
            case keyIndex(kKeys, "corner"):
                segment.corner = in_.readBool();
                break;
            case keyIndex(kKeys, "in"):
                in = readPoint();
                break;
            default:
                out = readPoint();
                break;
        }
    });
    if ((seen & keyBit(kKeys, "anchor")) == 0) {
        in_.fail("the key \"anchor\" is missing");
    }
    segment.in = in.value_or(segment.anchor);
    segment.out = out.value_or(segment.anchor);
    return segment;
}

std::vector<Segment> DocumentReader::readSegments() {
    std::vector<Segment> segments;
    in_.beginArray();
    while (in_.nextElement()) {
        segments.push_back(readSegment());
    }
    return segments;
}

PathGeometry DocumentReader::readTextPath() {
    static constexpr std::string_view kKeys[] = {"closed", "segments"};
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

TagList DocumentReader::readTags() {
    static constexpr std::string_view kKeys[] = {"name", "type", "value"};
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

void DocumentReader::readEntryValue(EntryType type, std::string_view key, Dictionary& dictionary, int depth) {
    Status status = Status::badParameter;
    switch (type) {
        case EntryType::integer:
            status = dictionary.setInteger(
                key, static_cast<std::int32_t>(in_.readInteger(std::numeric_limits<std::int32_t>::min(),
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
DictionaryReader DocumentReader::dictionaryReader(int depth) {
    return [this, depth](JsonReader&) { return readDictionary(depth); };
}

Dictionary DocumentReader::readDictionary(int depth) {
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
void DocumentReader::readEntry(const std::string& key, Dictionary& dictionary, int depth) {
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
EntryArray DocumentReader::readEntryArray(int depth) {
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

// Symbols: a name alone (a symbol that shows nothing) or an object with the name and the
// artwork; names non-empty, each used once.
std::vector<SymbolDefinition> DocumentReader::readSymbols() {
    std::vector<SymbolDefinition> symbols;
    std::set<std::string, std::less<>> known;
    in_.beginArray();
    while (in_.nextElement()) {
        SymbolDefinition symbol;
        const JsonKind kind = in_.peek();
        if (kind == JsonKind::string) {
            symbol.name = in_.readString();
        } else if (kind == JsonKind::object) {
            static constexpr std::string_view kKeys[] = {"art", "name"};
            static_assert(inCanonicalOrder(kKeys));
            const std::uint64_t seen = readMembers(in_, kKeys, [&](std::size_t key) {
                if (key == 0) {
                    symbol.art = readArt(2, false);
                } else {
                    symbol.name = in_.readString();
                }
            });
            if ((seen & keyBit(kKeys, "name")) == 0) {
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

Artboard DocumentReader::readArtboard() {
    static constexpr std::string_view kKeys[] = {
        "name", "pixelAspectRatio", "rect", "rulerOrigin", "showCenter", "showCrossHairs", "showSafeAreas"};
    static_assert(inCanonicalOrder(kKeys));
    Artboard artboard;
    const std::uint64_t seen = readMembers(in_, kKeys, [&](std::size_t key) {
        switch (key) {
            case keyIndex(kKeys, "name"):
                artboard.name = in_.readString();
                break;
            case keyIndex(kKeys, "pixelAspectRatio"):
                artboard.pixelAspectRatio = in_.readNumber();
                break;
            case keyIndex(kKeys, "rect"):
                artboard.bounds = readRect();
                break;
            case keyIndex(kKeys, "rulerOrigin"):
                artboard.rulerOrigin = readPoint();
                break;
            case keyIndex(kKeys, "showCenter"):
                artboard.showCenter = in_.readBool();
                break;
            case keyIndex(kKeys, "showCrossHairs"):
                artboard.showCrossHairs = in_.readBool();
                break;
            default:
                artboard.showSafeAreas = in_.readBool();
                break;
        }
    });
    if ((seen & keyBit(kKeys, "rect")) == 0) {
        in_.fail("the key \"rect\" is missing");
    }
    if (!isValidArtboard(artboard)) {
        in_.fail("an artboard needs a width and height above 0 and a pixel aspect ratio above 0");
    }
    return artboard;
}

std::vector<Artboard> DocumentReader::readArtboards() {
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

}  // namespace host::model::reading

namespace host::model {

namespace {

using reading::DocumentReader;

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

// The whole file; none when it can't be read, with the system's reason in *error.
std::optional<std::string> readWholeFile(const std::filesystem::path& file, std::string* error) {
    std::error_code failure;
    if (std::filesystem::is_directory(file, failure)) {
        *error = "cannot open " + file.string() + ": it is a directory";
        return std::nullopt;
    }
    const int descriptor = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
    if (descriptor < 0) {
        *error = "cannot open " + file.string() + ": " + std::strerror(errno);
        return std::nullopt;
    }
    std::string text;
    struct stat status {};
    if (::fstat(descriptor, &status) == 0 && S_ISREG(status.st_mode) && status.st_size > 0) {
        text.reserve(static_cast<std::size_t>(status.st_size));
    }
    std::string chunk(1 << 16, '\0');
    for (;;) {
        const ssize_t got = ::read(descriptor, chunk.data(), chunk.size());
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0) {
            *error = "cannot read " + file.string() + ": " + std::strerror(errno);
            ::close(descriptor);
            return std::nullopt;
        }
        if (got == 0) {
            break;
        }
        text.append(chunk.data(), static_cast<std::size_t>(got));
    }
    ::close(descriptor);
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

SwatchLibraryResult openSwatchLibrary(const std::filesystem::path& file) {
    std::string error;
    const std::optional<std::string> text = readWholeFile(file, &error);
    if (!text) {
        return SwatchLibraryResult{std::nullopt, error};
    }
    SwatchLibraryResult result = readSwatchLibrary(*text);
    if (!result.library) {
        result.error = file.string() + ": " + result.error;
    }
    return result;
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

}  // namespace host::model
