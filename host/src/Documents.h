// The documents open besides the current one, opening and closing them, their files, modified
// flags and colour models, and writing them to files.
#pragma once

#include <cstdint>
#include <filesystem>
#include <limits>
#include <memory>
#include <string>

#include "HostState.h"

namespace host {

// The saved revision of a document marked modified whatever its history says.
inline constexpr std::uint64_t kModifiedRevision = std::numeric_limits<std::uint64_t>::max();

// The XMP packet of a new document: it declares the prefixes the plug-in writes (dc, xmp, xmpRights,
// photoshop, with rdf and x) and holds no dates, so that saving a new document gives the same bytes
// every time.
extern const char* const kDefaultXmpPacket;
// A new document as the application makes one: one layer, the default XMP packet, unmodified.
// Its UUIDs (its layer's, and those of the art made in it) follow from a seed made of `number`, the
// count of new documents the application made before it: the same script on a new document saves
// the same bytes every time, and two new documents of one session don't share UUIDs.
std::unique_ptr<Document> NewHostDocument(std::uint64_t number);

// After the current document was closed: the most recently current of the others (if any) becomes
// current, with its handle and undo history.
void BringNextDocumentForward(HostState& state);

// The document of a handle, current or open behind it; null when the handle names none.
model::Document* FindOpenDocument(HostState& state, std::uintptr_t handle);

// The handles of the open documents in the document list's order: the current one first.
std::vector<std::uintptr_t> OpenDocumentHandles(const HostState& state);

// Makes the document the current one; the one current until now stays open behind it. The path is
// its file (empty: a new document). Answers the document's handle.
std::uintptr_t OpenAsCurrent(HostState& state, std::unique_ptr<Document> document, std::string path);
// Reads the file in the native format and opens it as the current document, as its file the
// path made absolute; a colour model 0 to 2 converts it. kCantHappenErr when it can't be read.
AIErr OpenDocumentFile(HostState& state, const std::string& path, ai::int16 colorModel, bool forceCopy,
                       std::uintptr_t* handle);
// Closes an open document; when it was the current one, the most recently current of the others
// comes forward. kBadParameterErr for a handle that names no open document.
AIErr CloseOpenDocument(HostState& state, std::uintptr_t handle);
// Makes an open document current, also during a call into the plug-in: the call's changes so far
// close as a transaction of the document going behind, and the call goes on with the other one.
AIErr ActivateOpenDocument(HostState& state, std::uintptr_t handle);
// Reads the file as a library of styles and symbols (a native document kept outside the document
// list); a file opened as a library before gives the same handle. kCantHappenErr when it can't be
// read.
AIErr OpenLibraryFile(HostState& state, const std::string& path, std::uintptr_t* handle);
// The document of a handle: an open document or a library; null when the handle names none.
model::Document* FindDocumentOrLibrary(HostState& state, std::uintptr_t handle);
// The open document or library that has the symbol; null when none has it.
const model::Document* FindDocumentOfSymbol(HostState& state, model::SymbolId symbol);
// Drops what the application knows of a document besides its content (it is no longer open).
void ForgetDocument(HostState& state, std::uintptr_t handle);

// Whether the open document has changes not saved: its history moved since it was opened or
// saved, or the running call changed it.
bool IsDocumentModified(HostState& state, std::uintptr_t handle);
void SetDocumentModified(HostState& state, std::uintptr_t handle, bool modified);
// The colour model of an open document (AIDocumentColorModelValue): RGB unless set.
ai::int16 DocumentColorModel(HostState& state, std::uintptr_t handle);

// Writes the document's native text to the file atomically (model/AtomicFile.h): a failure at any
// step leaves the file as it was. The final rename is the host operation "Host File System" /
// "Rename", which tests can make fail.
bool WriteDocumentFile(HostState& state, const Document& document, const std::filesystem::path& file,
                       std::string* error);

}  // namespace host
