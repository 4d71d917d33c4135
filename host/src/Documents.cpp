// Several open documents: the current one, which every suite works on, and the others behind it.
// A document that goes behind keeps its handle and its undo history; coming forward again it has
// them back.
#include "Documents.h"

#include <utility>

#include "host/Application.h"

namespace host {

namespace {

// Swaps the current document with the one waiting in the slot.
void SwapWithCurrent(HostState& state, BackgroundDocument& waiting) {
    std::swap(state.document, waiting.document);
    std::swap(state.documentHandle, waiting.handle);
    std::swap(state.undo, waiting.undo);
}

}  // namespace

void BringNextDocumentForward(HostState& state) {
    if (state.document != nullptr || state.backgroundDocuments.empty()) {
        return;
    }
    BackgroundDocument next = std::move(state.backgroundDocuments.front());
    state.backgroundDocuments.erase(state.backgroundDocuments.begin());
    SwapWithCurrent(state, next);
}

model::Document* FindOpenDocument(HostState& state, std::uintptr_t handle) {
    if (handle == 0) {
        return nullptr;
    }
    if (handle == state.documentHandle) {
        return state.document.get();
    }
    for (BackgroundDocument& waiting : state.backgroundDocuments) {
        if (waiting.handle == handle) {
            return waiting.document.get();
        }
    }
    return nullptr;
}

std::vector<std::uintptr_t> OpenDocumentHandles(const HostState& state) {
    std::vector<std::uintptr_t> handles;
    if (state.document != nullptr) {
        handles.push_back(state.documentHandle);
    }
    for (const BackgroundDocument& waiting : state.backgroundDocuments) {
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
    if (state.document != nullptr) {
        BackgroundDocument previous;
        SwapWithCurrent(state, previous);
        state.backgroundDocuments.insert(state.backgroundDocuments.begin(), std::move(previous));
    }
    state.document = std::move(document);
    DocumentBecameCurrent(state);
    if (!path.empty()) {
        state.documentPaths[state.documentHandle] = std::move(path);
    }
}

int Application::DocumentCount() const {
    return static_cast<int>(OpenDocumentHandles(*fState).size());
}

bool Application::ActivateDocument(int n) {
    HostState& state = *fState;
    if (state.callDepth > 0 || n < 0 || n >= DocumentCount()) {
        return false;
    }
    if (n == 0 && state.document != nullptr) {
        return true;
    }
    const auto position = static_cast<std::size_t>(n - (state.document != nullptr ? 1 : 0));
    BackgroundDocument chosen = std::move(state.backgroundDocuments[position]);
    state.backgroundDocuments.erase(state.backgroundDocuments.begin() +
                                    static_cast<std::ptrdiff_t>(position));
    SwapWithCurrent(state, chosen);
    if (chosen.document != nullptr) {
        state.backgroundDocuments.insert(state.backgroundDocuments.begin(), std::move(chosen));
    }
    return true;
}

std::string Application::DocumentPath() const {
    const auto found = fState->documentPaths.find(fState->documentHandle);
    return fState->document != nullptr && found != fState->documentPaths.end() ? found->second
                                                                               : std::string();
}

void Application::SetDocumentPath(std::string path) {
    if (fState->document == nullptr) {
        return;
    }
    fState->documentPaths[fState->documentHandle] = std::move(path);
}

PreferenceStore& Application::Preferences() {
    return fState->preferences;
}

}  // namespace host
