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

// Reads a document from its text. Nothing in the text can crash the reader: malformed JSON, wrong
// types, unknown keys, structures the model does not allow and nesting deeper than
// kMaxDocumentDepth give an error. The seed, when given, makes the UUIDs given to art without a
// usable one (and every later one) deterministic.
ReadResult readDocument(std::string_view text, std::optional<std::uint64_t> uuidSeed = std::nullopt);
ReadResult openDocument(const std::filesystem::path& file,
                        std::optional<std::uint64_t> uuidSeed = std::nullopt);

// The canonical text of the document: keys in sorted order, two-space indentation, values equal to
// their defaults left out, and a final newline. Reading it and writing again gives the same bytes.
// Fails for numbers that are not finite, inverted frames and texts that are not UTF-8 (reachable only through
// content changed directly).
WriteResult writeDocument(const Document& document);
// Writes the canonical text to the file; the error text is set when false is returned.
bool saveDocument(const Document& document, const std::filesystem::path& file, std::string* error = nullptr);

// How deeply art, layers and dictionary entries may nest in a document text.
inline constexpr int kMaxDocumentDepth = 256;

}  // namespace host::model
