// The host's native document format: JSON text, described in docs/document-format.md.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "model/Document.h"

namespace host::model {

inline constexpr std::string_view kDocumentFormatName = "plimhost-document";
inline constexpr int kDocumentFormatVersion = 1;

struct ReadResult {
    std::optional<Document> document;
    std::string error;  // why there is no document: where in the text and what is wrong
};

struct WriteResult {
    std::optional<std::string> text;
    std::string error;
};

// Reads a document from its text in one pass, straight into the model. Nothing in the text can
// crash the reader: malformed JSON, wrong types, unknown keys, keys given twice, structures the
// model does not allow and nesting deeper than kMaxDocumentDepth give an error that names the place.
// The seed, when given, makes the UUIDs given to art without a usable one (and every later one)
// deterministic.
ReadResult readDocument(std::string_view text, std::optional<std::uint64_t> uuidSeed = std::nullopt);
// The document in the file; a file that can't be read gives the system's reason ("cannot open FILE:
// No such file or directory").
ReadResult openDocument(const std::filesystem::path& file,
                        std::optional<std::uint64_t> uuidSeed = std::nullopt);

// The canonical text of the document: keys in sorted order, two-space indentation, values equal to
// their defaults left out, and a final newline. Reading it and writing again gives the same bytes.
// Fails for what the reader would refuse: numbers that are not finite, inverted frames and texts
// that are not UTF-8 (reachable only through content changed directly), nesting deeper than
// kMaxDocumentDepth, and art that names a colour the document does not have (Document::checkColors).
WriteResult writeDocument(const Document& document);
// Writes the canonical text to the file, atomically: a temporary file in the same folder, renamed
// over the target once all of it is on the disk. When anything fails the target keeps its bytes and
// the error text is set.
bool saveDocument(const Document& document, const std::filesystem::path& file, std::string* error = nullptr);

// A swatch library file: {"name": text} with the colour keys of a document ("colorModel",
// "customColors", "gradients", "graphicStyles", "patterns", "swatches"), read as strictly as a
// document.
struct SwatchLibrary {
    std::string name;
    DocumentColors colors;
};
struct SwatchLibraryResult {
    std::optional<SwatchLibrary> library;
    std::string error;
};
SwatchLibraryResult readSwatchLibrary(std::string_view text);
// The library in the file; a file that can't be read gives the system's reason ("cannot open FILE:
// No such file or directory"), one that can't be used the reader's, after the file's name.
SwatchLibraryResult openSwatchLibrary(const std::filesystem::path& file);

// How deeply art, layers and dictionaries may nest in a document, the depth the reader accepts and
// the writer writes. A top-level layer group is at depth 1 and each child one deeper; an object's
// dictionary (and those in its style) is one deeper than the object; an art or dictionary entry is
// one deeper than the dictionary holding it; the document dictionary is at depth 1.
inline constexpr int kMaxDocumentDepth = 256;

}  // namespace host::model
