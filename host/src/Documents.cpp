// Several open documents: the current one, which every suite works on, and the others behind it.
// A document that goes behind keeps its handle and its undo history; coming forward again it has
// them back.
#include "Documents.h"

#include <algorithm>
#include <filesystem>
#include <optional>
#include <system_error>
#include <utility>

#include "AIDocument.h"
#include "Transactions.h"
#include "host/Application.h"
#include "model/AtomicFile.h"
#include "model/DocumentFormat.h"
#include "model/ResolvedPath.h"

namespace host {

namespace {

// Whether the two paths name one file: by identity when both exist, else by their paths as the
// system resolves them. A path the system fails names no file.
bool IsSameFile(const std::filesystem::path& first, const std::filesystem::path& second) {
    if (first.empty() || second.empty()) {
        return false;
    }
    std::error_code failed;
    if (std::filesystem::exists(first, failed) && std::filesystem::exists(second, failed)) {
        const bool same = std::filesystem::equivalent(first, second, failed);
        return !failed && same;
    }
    const std::optional<std::filesystem::path> resolved = model::systemPath(first);
    return resolved && resolved == model::systemPath(second);
}

// Swaps the current document with the one waiting in the slot.
void SwapWithCurrent(HostState& state, BackgroundDocument& waiting) {
    std::swap(state.documents.current, waiting.document);
    std::swap(state.documents.handle, waiting.handle);
    std::swap(state.documents.undo, waiting.undo);
}

// The history of an open document: the current one's, or the one it keeps while it waits behind.
UndoHistory* HistoryOf(HostState& state, std::uintptr_t handle) {
    if (handle != 0 && handle == state.documents.handle) {
        return &state.documents.undo;
    }
    for (BackgroundDocument& waiting : state.documents.background) {
        if (waiting.handle == handle) {
            return &waiting.undo;
        }
    }
    return nullptr;
}

}  // namespace

void BringNextDocumentForward(HostState& state) {
    if (state.documents.current != nullptr || state.documents.background.empty()) {
        return;
    }
    BackgroundDocument next = std::move(state.documents.background.front());
    state.documents.background.erase(state.documents.background.begin());
    SwapWithCurrent(state, next);
}

model::Document* FindOpenDocument(HostState& state, std::uintptr_t handle) {
    if (handle == 0) {
        return nullptr;
    }
    if (handle == state.documents.handle) {
        return state.documents.current.get();
    }
    for (BackgroundDocument& waiting : state.documents.background) {
        if (waiting.handle == handle) {
            return waiting.document.get();
        }
    }
    return nullptr;
}

std::vector<std::uintptr_t> OpenDocumentHandles(const HostState& state) {
    std::vector<std::uintptr_t> handles;
    if (state.documents.current != nullptr) {
        handles.push_back(state.documents.handle);
    }
    for (const BackgroundDocument& waiting : state.documents.background) {
        handles.push_back(waiting.handle);
    }
    return handles;
}

std::uintptr_t OpenAsCurrent(HostState& state, std::unique_ptr<Document> document, std::string path) {
    if (state.documents.current != nullptr) {
        DocumentGoingBehind(state);
        BackgroundDocument previous;
        SwapWithCurrent(state, previous);
        state.documents.background.insert(state.documents.background.begin(), std::move(previous));
    }
    state.documents.current = std::move(document);
    DocumentBecameCurrent(state);
    if (!path.empty()) {
        state.documents.paths[state.documents.handle] = std::move(path);
    }
    return state.documents.handle;
}

AIErr OpenDocumentFile(HostState& state, const std::string& path, ai::int16 colorModel, bool forceCopy,
                       std::uintptr_t* handle) {
    // The file as the system resolves its path ("link/.." is the parent of the link's target):
    // the document read is the one the system names, and its saves go back to that file.
    std::error_code failed;
    const std::filesystem::path file = model::resolvedPath(path);
    if (path.empty() || !std::filesystem::is_regular_file(file, failed)) {
        return kCantHappenErr;
    }
    model::ReadResult read = model::openDocument(file);
    if (!read.document) {
        state.journal.Record("OpenFailed", {file.string(), read.error});
        return kCantHappenErr;
    }
    const std::uintptr_t opened = OpenAsCurrent(state, std::make_unique<Document>(std::move(*read.document)),
                                                forceCopy ? std::string() : file.string());
    if (colorModel >= kDocGrayColor && colorModel <= kDocCMYKColor) {
        // Converted as it opens: the document starts in that model, unmodified.
        state.documents.current->editColors().setColorModel(static_cast<model::ColorModel>(colorModel));
        state.documents.current->takeChanges();
    }
    *handle = opened;
    return kNoErr;
}

const char* const kDefaultXmpPacket =
    "<?xpacket begin=\"\xEF\xBB\xBF\" id=\"W5M0MpCehiHzreSzNTczkc9d\"?>\n"
    "<x:xmpmeta xmlns:x=\"urn:plimhost:meta/\">\n"
    " <rdf:RDF xmlns:rdf=\"http://www.w3.org/1999/02/22-rdf-syntax-ns#\">\n"
    "  <rdf:Description rdf:about=\"\"\n"
    "    xmlns:dc=\"http://purl.org/dc/elements/1.1/\"\n"
    "    xmlns:xmp=\"urn:plimhost:xmp/\"\n"
    "    xmlns:xmpRights=\"urn:plimhost:xmpRights/\"\n"
    "    xmlns:photoshop=\"urn:plimhost:photoshop/\"/>\n"
    " </rdf:RDF>\n"
    "</x:xmpmeta>\n"
    "<?xpacket end=\"w\"?>";

std::unique_ptr<Document> NewHostDocument(std::uint64_t number) {
    // Any fixed value serves; a document read from a file keeps a generator seeded at random, as the
    // UUIDs its art already has came from one.
    constexpr std::uint64_t kFirstNewDocumentSeed = 0x706c696d686f7374;  // "plimhost"
    auto document = std::make_unique<Document>(kFirstNewDocumentSeed + number);
    document->setXmp(kDefaultXmpPacket);
    document->takeChanges();
    return document;
}

AIErr OpenLibraryFile(HostState& state, const std::string& path, std::uintptr_t* handle) {
    // The file as the system resolves its path ("link/.." is the parent of the link's target):
    // the document read is the one the system names, and its saves go back to that file.
    std::error_code failed;
    const std::filesystem::path file = model::resolvedPath(path);
    if (path.empty() || !std::filesystem::is_regular_file(file, failed)) {
        return kCantHappenErr;
    }
    if (const auto known = state.documents.libraries.find(file.string());
        known != state.documents.libraries.end()) {
        *handle = known->second.handle;
        return kNoErr;
    }
    model::ReadResult read = model::openDocument(file);
    if (!read.document) {
        state.journal.Record("OpenFailed", {file.string(), read.error});
        return kCantHappenErr;
    }
    LibraryDocument library{detail::NextHandleNumber(),
                            std::make_unique<Document>(std::move(*read.document))};
    *handle = library.handle;
    state.documents.libraries.emplace(file.string(), std::move(library));
    return kNoErr;
}

model::Document* FindDocumentOrLibrary(HostState& state, std::uintptr_t handle) {
    if (model::Document* open = FindOpenDocument(state, handle)) {
        return open;
    }
    for (auto& [path, library] : state.documents.libraries) {
        if (handle != 0 && library.handle == handle) {
            return library.document.get();
        }
    }
    return nullptr;
}

const model::Document* FindDocumentOfSymbol(HostState& state, model::SymbolId symbol) {
    std::vector<const model::Document*> documents;
    for (const std::uintptr_t handle : OpenDocumentHandles(state)) {
        documents.push_back(FindOpenDocument(state, handle));
    }
    for (const auto& [path, library] : state.documents.libraries) {
        documents.push_back(library.document.get());
    }
    const auto found = std::find_if(documents.begin(), documents.end(), [&](const model::Document* each) {
        return each != nullptr && each->symbols().find(symbol) != nullptr;
    });
    return found == documents.end() ? nullptr : *found;
}

void ForgetDocument(HostState& state, std::uintptr_t handle) {
    state.documents.paths.erase(handle);
    state.documents.cloudPaths.erase(handle);
    state.documents.savedRevisions.erase(handle);
}

AIErr CloseOpenDocument(HostState& state, std::uintptr_t handle) {
    if (handle != 0 && handle == state.documents.handle && state.documents.current != nullptr) {
        ForgetDocument(state, handle);
        DocumentLeaving(state);
        state.documents.current.reset();
        DocumentBecameCurrent(state);
        BringNextDocumentForward(state);
        JoinRunningCall(state);
        return kNoErr;
    }
    auto& background = state.documents.background;
    for (auto waiting = background.begin(); waiting != background.end(); ++waiting) {
        if (waiting->handle == handle) {
            ForgetDocument(state, handle);
            background.erase(waiting);
            return kNoErr;
        }
    }
    return kBadParameterErr;
}

AIErr ActivateOpenDocument(HostState& state, std::uintptr_t handle) {
    if (handle != 0 && handle == state.documents.handle && state.documents.current != nullptr) {
        return kNoErr;
    }
    auto& background = state.documents.background;
    const auto found =
        std::find_if(background.begin(), background.end(),
                     [handle](const BackgroundDocument& waiting) { return waiting.handle == handle; });
    if (handle == 0 || found == background.end()) {
        return kBadParameterErr;
    }
    // The call's changes so far stay with the document they were made to.
    if (state.documents.current != nullptr) {
        DocumentGoingBehind(state);
    }
    BackgroundDocument chosen = std::move(*found);
    background.erase(found);
    SwapWithCurrent(state, chosen);
    if (chosen.document != nullptr) {
        background.insert(background.begin(), std::move(chosen));
    }
    JoinRunningCall(state);
    return kNoErr;
}

bool IsDocumentModified(HostState& state, std::uintptr_t handle) {
    const UndoHistory* history = HistoryOf(state, handle);
    if (history == nullptr) {
        return false;
    }
    const auto saved = state.documents.savedRevisions.find(handle);
    const std::uint64_t savedRevision = saved != state.documents.savedRevisions.end() ? saved->second : 0;
    if (history->Revision() != savedRevision) {
        return true;
    }
    // The current document's changes so far may lie partly behind revert marks.
    return handle == state.documents.handle ? CallChangedCurrentDocument(state)
                                            : history->HasOpenChanges(FindOpenDocument(state, handle));
}

void SetDocumentModified(HostState& state, std::uintptr_t handle, bool modified) {
    UndoHistory* history = HistoryOf(state, handle);
    if (history == nullptr) {
        return;
    }
    if (modified) {
        state.documents.savedRevisions[handle] = kModifiedRevision;
        return;
    }
    // Changes the running call made so far count as saved too, so that only later changes show
    // again; they stay in the call's one step.
    if (handle == state.documents.handle) {
        CurrentDocumentSaved(state);
    } else {
        history->SavedDuringCall(FindOpenDocument(state, handle));
    }
    state.documents.savedRevisions[handle] = history->Revision();
}

ai::int16 DocumentColorModel(HostState& state, std::uintptr_t handle) {
    const model::Document* document = FindOpenDocument(state, handle);
    return static_cast<ai::int16>(document != nullptr ? document->colors().colorModel()
                                                      : model::ColorModel::rgb);
}

bool WriteDocumentFile(HostState& state, const Document& document, const std::filesystem::path& file,
                       std::string* error) {
    // The application writes no document over the file of another open document (found by the
    // file's identity, or by its path while it doesn't exist): that file holds the other
    // document's work as last saved. A document saved in place writes its own file, also when the
    // file is open a second time.
    const auto own = state.documents.paths.find(state.documents.handle);
    const bool inPlace = own != state.documents.paths.end() && IsSameFile(own->second, file);
    for (const auto& [handle, path] : state.documents.paths) {
        if (!inPlace && handle != state.documents.handle && IsSameFile(path, file)) {
            *error = file.string() + " is the file of another open document";
            return false;
        }
    }
    const model::WriteResult written = model::writeDocument(document);
    if (!written.text) {
        *error = written.error;
        return false;
    }
    model::AtomicFileWriter writer(file);
    writer.write(*written.text);
    // Without the commit the writer removes its temporary file: the target stays as it was.
    if (state.faults.Check(kHostFileSystem, "Rename") != kNoErr) {
        *error = "cannot replace " + file.string();
        return false;
    }
    if (!writer.commit()) {
        *error = writer.error();
        return false;
    }
    return true;
}

// --- Application ------------------------------------------------------------------------------------

void Application::OpenDocument(std::unique_ptr<Document> document, std::string path) {
    if (document == nullptr) {
        return;
    }
    OpenAsCurrent(*fState, std::move(document), std::move(path));
}

Application::HeldStyleObjects Application::HeldStyleObjectCounts() const {
    HeldStyleObjects held;
    fState->styles.parsers.ForEach([&](std::uintptr_t, const StyleParserRecord& record) {
        ++held.parsers;
        held.newPaintFields += static_cast<int>(record.newPaintFields.size());
        held.newEffects += static_cast<int>(record.newEffects.size());
    });
    fState->art.dictionaries.ForEach(
        [&](std::uintptr_t, const DictionaryRecord& record) { held.dictionaries += record.owned ? 1 : 0; });
    return held;
}

int Application::DocumentCount() const {
    return static_cast<int>(OpenDocumentHandles(*fState).size());
}

bool Application::ActivateDocument(int n) {
    HostState& state = *fState;
    if (state.plugin.callDepth > 0 || n < 0 || n >= DocumentCount()) {
        return false;
    }
    if (n == 0 && state.documents.current != nullptr) {
        return true;
    }
    return ActivateOpenDocument(state, OpenDocumentHandles(state)[static_cast<std::size_t>(n)]) == kNoErr;
}

bool Application::DocumentModified() {
    return IsDocumentModified(*fState, fState->documents.handle);
}

int Application::DocumentColorModel() {
    return host::DocumentColorModel(*fState, fState->documents.handle);
}

std::string Application::DocumentPath() const {
    const auto found = fState->documents.paths.find(fState->documents.handle);
    return fState->documents.current != nullptr && found != fState->documents.paths.end() ? found->second
                                                                                          : std::string();
}

bool Application::LoadSwatchLibrary(const std::filesystem::path& file, std::string* error) {
    model::SwatchLibraryResult read = model::openSwatchLibrary(file);
    if (!read.library) {
        if (error != nullptr) {
            *error = read.error;
        }
        return false;
    }
    fState->colors.swatchLibraries.push_back(
        SwatchLibraryRecord{detail::NextHandleNumber(), read.library->name, std::move(read.library->colors)});
    return true;
}

int Application::DocumentOfFile(const std::filesystem::path& file) const {
    const std::vector<std::uintptr_t> handles = OpenDocumentHandles(*fState);
    for (std::size_t n = 0; n < handles.size(); ++n) {
        const auto found = fState->documents.paths.find(handles[n]);
        if (found != fState->documents.paths.end() && IsSameFile(found->second, file)) {
            return static_cast<int>(n);
        }
    }
    return -1;
}

void Application::SetDocumentPath(std::string path) {
    if (fState->documents.current == nullptr) {
        return;
    }
    fState->documents.paths[fState->documents.handle] = std::move(path);
}

PreferenceStore& Application::Preferences() {
    return fState->preferences;
}

}  // namespace host
