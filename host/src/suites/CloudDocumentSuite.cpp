// Cloud documents: native documents kept under the cloud storage's root folder (the application
// option cloudFolder). A document's path in the storage is relative to the root; a path with a ".."
// component, or one that leads out of the root through a link, is refused.
#include <algorithm>
#include <filesystem>
#include <optional>
#include <string>

#include <nlohmann/json.hpp>

#include "AICloudDocument.h"
#include "Documents.h"
#include "HostState.h"
#include "model/ResolvedPath.h"
#include "suites/DocumentAccess.h"
#include "suites/HostSuites.h"
#include "suites/SuiteBoundary.h"

namespace host {
namespace {

constexpr const char* kSuite = kAICloudDocumentSuite;
constexpr std::string_view kCloudContent = "/cloud-content/";
constexpr std::string_view kCloudExtension = ".aic";

// The file that a path in the storage names; none without a storage, for an empty path, a path
// holding a NUL (the file system would end the path there and reach another file), a ".."
// component, or a file that would lie outside the root.
std::optional<std::filesystem::path> CloudFile(const HostState& state, const std::string& storagePath) {
    const std::filesystem::path& root = state.options.cloudFolder;
    const std::filesystem::path relative = std::filesystem::path(storagePath).relative_path();
    if (root.empty() || relative.empty() || storagePath.find('\0') != std::string::npos) {
        return std::nullopt;
    }
    for (const std::filesystem::path& component : relative) {
        if (component == "..") {
            return std::nullopt;
        }
    }
    // Both as the system resolves them: a root the system fails ("new/.." while "new" is missing)
    // holds no file.
    const std::optional<std::filesystem::path> realRoot = model::systemPath(root);
    const std::optional<std::filesystem::path> file = model::systemPath(root / relative);
    if (!realRoot || !file) {
        return std::nullopt;
    }
    const auto [rootEnd, fileAt] =
        std::mismatch(realRoot->begin(), realRoot->end(), file->begin(), file->end());
    if (rootEnd != realRoot->end() || fileAt == file->end()) {
        return std::nullopt;
    }
    return file;
}

// The storage path in a description {"path": "/cloud-content/..."}; none for another form.
std::optional<std::string> DescribedPath(const std::string& description) {
    const nlohmann::json parsed = nlohmann::json::parse(description, nullptr, false);
    const auto path = parsed.is_object() ? parsed.find("path") : parsed.end();
    if (!parsed.is_object() || path == parsed.end() || !path->is_string()) {
        return std::nullopt;
    }
    const std::string& text = path->get_ref<const std::string&>();
    if (!text.starts_with(kCloudContent)) {
        return std::nullopt;
    }
    return text.substr(kCloudContent.size());
}

// Writes the current document to its place in the storage and makes it a saved cloud document.
AIErr SaveToStorage(HostState& state, const std::string& storagePath) {
    const std::optional<std::filesystem::path> file = CloudFile(state, storagePath);
    if (!file) {
        return kBadParameterErr;
    }
    std::error_code failed;
    std::filesystem::create_directories(file->parent_path(), failed);
    std::string reason;
    if (failed || !WriteDocumentFile(state, *state.documents.current, *file, &reason)) {
        return kCantHappenErr;
    }
    const std::uintptr_t handle = state.documents.handle;
    state.documents.cloudPaths[handle] = storagePath;
    state.documents.paths[handle] = file->string();
    SetDocumentModified(state, handle, false);
    return kNoErr;
}

// The open document whose file is the file, cloud document or not; 0 when none is. A document is
// open once: opening its file again brings it forward with its unsaved changes, rather than a second
// copy that would save over what the first one holds.
std::uintptr_t OpenDocumentOfFile(const HostState& state, const std::filesystem::path& file) {
    for (const std::uintptr_t handle : OpenDocumentHandles(state)) {
        const auto found = state.documents.paths.find(handle);
        std::error_code failed;
        if (found != state.documents.paths.end() && !found->second.empty() &&
            std::filesystem::equivalent(found->second, file, failed) && !failed) {
            return handle;
        }
    }
    return 0;
}

AIErr OpenCloudDocument(const ai::UnicodeString& description, AIDocumentHandle* document) {
    auto [state, error] = StartOperation(kSuite, "OpenCloudDocument");
    const std::optional<std::string> text = state != nullptr ? StringText(*state, description) : std::nullopt;
    if (error == kNoErr && (document == nullptr || !text)) {
        error = kBadParameterErr;
    }
    if (error == kNoErr && state->options.cloudFolder.empty()) {
        error = kCantHappenErr;
    }
    const std::optional<std::string> storagePath = error == kNoErr ? DescribedPath(*text) : std::nullopt;
    const std::optional<std::filesystem::path> file =
        storagePath ? CloudFile(*state, *storagePath) : std::optional<std::filesystem::path>();
    if (error == kNoErr && !file) {
        error = kBadParameterErr;
    }
    std::uintptr_t opened = error == kNoErr ? OpenDocumentOfFile(*state, *file) : 0;
    if (opened != 0) {
        error = ActivateOpenDocument(*state, opened);
    } else if (error == kNoErr) {
        error = OpenDocumentFile(*state, file->string(), -1, false, &opened);
    }
    if (error == kNoErr) {
        state->documents.cloudPaths[opened] = *storagePath;
    }
    Record(state, "OpenCloudDocument", {text.value_or("")}, error);
    if (error != kNoErr) {
        return Refuse(document, error);
    }
    *document = reinterpret_cast<AIDocumentHandle>(opened);
    return kNoErr;
}

// The storage path of an open cloud document; none when the handle names no cloud document.
const std::string* StoragePathOf(const HostState& state, std::uintptr_t handle) {
    const auto found = state.documents.cloudPaths.find(handle);
    return found != state.documents.cloudPaths.end() ? &found->second : nullptr;
}

AIErr GetCloudDocumentPath(AIDocumentHandle document, ai::UnicodeString& path) {
    auto [state, error] = StartOperation(kSuite, "GetCloudDocumentPath");
    if (error != kNoErr) {
        return error;
    }
    if (state->options.cloudFolder.empty()) {
        return kCantHappenErr;
    }
    const std::string* storagePath = StoragePathOf(*state, reinterpret_cast<std::uintptr_t>(document));
    if (storagePath == nullptr) {
        return kBadParameterErr;
    }
    SetStringText(*state, path, *storagePath);
    return kNoErr;
}

AIErr SaveCloudDocument() {
    auto [state, current, error] = StartDocumentOperation(kSuite, "SaveCloudDocument");
    if (error == kNoErr && state->options.cloudFolder.empty()) {
        error = kCantHappenErr;
    }
    const std::string* storagePath =
        error == kNoErr ? StoragePathOf(*state, state->documents.handle) : nullptr;
    error = OutputError(error, storagePath);
    if (error == kNoErr) {
        error = SaveToStorage(*state, std::string(*storagePath));
    }
    Record(state, "SaveCloudDocument", {}, error);
    return error;
}

AIErr SaveDocumentAsCloudDocument(const ai::UnicodeString& name) {
    auto [state, current, error] = StartDocumentOperation(kSuite, "SaveDocumentAsCloudDocument");
    const std::optional<std::string> text = state != nullptr ? StringText(*state, name) : std::nullopt;
    if (error == kNoErr && !text) {
        error = kBadParameterErr;
    }
    if (error == kNoErr && state->options.cloudFolder.empty()) {
        error = kCantHappenErr;
    }
    std::string storagePath = text.value_or("");
    if (storagePath.empty()) {
        storagePath = "Untitled";
    }
    if (!storagePath.ends_with(kCloudExtension)) {
        storagePath += kCloudExtension;
    }
    if (error == kNoErr) {
        error = SaveToStorage(*state, storagePath);
    }
    Record(state, "SaveDocumentAsCloudDocument", {storagePath}, error);
    return error;
}

}  // namespace

AICloudDocumentSuite gCloudDocumentSuite = {
    PLIM_SUITE_FUNCTION(OpenCloudDocument),
    PLIM_SUITE_FUNCTION(GetCloudDocumentPath),
    PLIM_SUITE_FUNCTION(SaveCloudDocument),
    PLIM_SUITE_FUNCTION(SaveDocumentAsCloudDocument),
};

}  // namespace host
