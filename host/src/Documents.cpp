// Several open documents: the current one, which every suite works on, and the others behind it.
// A document that goes behind keeps its handle and its undo history; coming forward again it has
// them back.
#include "Documents.h"

#include <utility>

#include <fstream>
#include <sstream>
#include "host/Application.h"
#include "model/DocumentFormat.h"

namespace host {

namespace {

// Swaps the current document with the one waiting in the slot.
void SwapWithCurrent(HostState& state, BackgroundDocument& waiting) {
    std::swap(state.documents.current, waiting.document);
    std::swap(state.documents.handle, waiting.handle);
    std::swap(state.documents.undo, waiting.undo);
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

// --- Application ------------------------------------------------------------------------------------

void Application::OpenDocument(std::unique_ptr<Document> document, std::string path) {
    HostState& state = *fState;
    if (document == nullptr) {
        return;
    }
    if (state.documents.current != nullptr) {
        BackgroundDocument previous;
        SwapWithCurrent(state, previous);
        state.documents.background.insert(state.documents.background.begin(), std::move(previous));
    }
    state.documents.current = std::move(document);
    DocumentBecameCurrent(state);
    if (!path.empty()) {
        state.documents.paths[state.documents.handle] = std::move(path);
    }
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
    const auto position = static_cast<std::size_t>(n - (state.documents.current != nullptr ? 1 : 0));
    BackgroundDocument chosen = std::move(state.documents.background[position]);
    state.documents.background.erase(state.documents.background.begin() +
                                     static_cast<std::ptrdiff_t>(position));
    SwapWithCurrent(state, chosen);
    if (chosen.document != nullptr) {
        state.documents.background.insert(state.documents.background.begin(), std::move(chosen));
    }
    return true;
}

std::string Application::DocumentPath() const {
    const auto found = fState->documents.paths.find(fState->documents.handle);
    return fState->documents.current != nullptr && found != fState->documents.paths.end() ? found->second
                                                                                          : std::string();
}

bool Application::LoadSwatchLibrary(const std::filesystem::path& file, std::string* error) {
    std::ifstream stream(file, std::ios::binary);
    std::ostringstream text;
    text << stream.rdbuf();
    if (!stream) {
        if (error != nullptr) {
            *error = "cannot read " + file.string();
        }
        return false;
    }
    model::SwatchLibraryResult read = model::readSwatchLibrary(text.str());
    if (!read.library) {
        if (error != nullptr) {
            *error = file.string() + ": " + read.error;
        }
        return false;
    }
    fState->colors.swatchLibraries.push_back(
        SwatchLibraryRecord{detail::NextHandleNumber(), read.library->name, std::move(read.library->colors)});
    return true;
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
