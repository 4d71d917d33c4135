// File paths: UTF-8 text behind opaque references.
#include <filesystem>
#include <memory>

#include "HostState.h"
#include "IAIFilePath.hpp"
#include "suites/HostSuites.h"
#include "suites/SuiteBoundary.h"

namespace host {
namespace {

constexpr const char* kSuite = kAIFilePathSuite;

AIErr Create(const char* utf8Path, AIFilePathRef* out) {
    auto [state, error] = StartOperation(kSuite, "Create");
    if (error == kNoErr && (utf8Path == nullptr || out == nullptr)) {
        error = kBadParameterErr;
    }
    if (error != kNoErr) {
        return Refuse(out, error);
    }
    *out = state->text.paths.Add<AIFilePathRef>(std::make_unique<std::string>(utf8Path));
    return kNoErr;
}

AIErr Dispose(AIFilePathRef path) {
    auto [state, error] = StartOperation(kSuite, "Dispose");
    if (error != kNoErr) {
        return error;
    }
    return state->text.paths.Remove(path) ? kNoErr : kBadParameterErr;
}

AIErr Duplicate(AIFilePathRef path, AIFilePathRef* out) {
    auto [state, error] = StartOperation(kSuite, "Duplicate");
    const std::string* text = error == kNoErr ? state->text.paths.Find(path) : nullptr;
    if (error == kNoErr && (text == nullptr || out == nullptr)) {
        error = kBadParameterErr;
    }
    if (error != kNoErr) {
        return Refuse(out, error);
    }
    *out = state->text.paths.Add<AIFilePathRef>(std::make_unique<std::string>(*text));
    return kNoErr;
}

AIErr GetPath(AIFilePathRef path, const char** utf8Path) {
    auto [state, error] = StartOperation(kSuite, "GetPath");
    if (error != kNoErr) {
        return error;
    }
    const std::string* text = state->text.paths.Find(path);
    if (text == nullptr || utf8Path == nullptr) {
        return kBadParameterErr;
    }
    *utf8Path = text->c_str();
    return kNoErr;
}

AIErr Set(AIFilePathRef path, const char* utf8Path) {
    auto [state, error] = StartOperation(kSuite, "Set");
    if (error != kNoErr) {
        return error;
    }
    std::string* text = state->text.paths.Find(path);
    if (text == nullptr || utf8Path == nullptr) {
        return kBadParameterErr;
    }
    *text = utf8Path;
    return kNoErr;
}

// One separator between the path and the component, whatever separators either brings: "/a/" and
// "/b" give "/a/b". An empty path takes the component as it is; an empty component adds nothing.
AIErr AddComponent(AIFilePathRef path, const char* component) {
    auto [state, error] = StartOperation(kSuite, "AddComponent");
    if (error != kNoErr) {
        return error;
    }
    std::string* text = state->text.paths.Find(path);
    if (text == nullptr || component == nullptr) {
        return kBadParameterErr;
    }
    if (text->empty()) {
        *text = component;
        return kNoErr;
    }
    std::string_view tail = component;
    tail.remove_prefix(std::min(tail.find_first_not_of('/'), tail.size()));
    if (tail.empty()) {
        return kNoErr;
    }
    while (text->size() > 1 && text->back() == '/') {
        text->pop_back();
    }
    if (text->back() != '/') {
        text->push_back('/');
    }
    text->append(tail);
    return kNoErr;
}

AIBoolean Exists(const ai::FilePath& path, AIBoolean resolveLinks, AIBoolean* longPath, AIBoolean* isFile) {
    auto [state, error] = StartOperation(kSuite, "Exists");
    if (error != kNoErr) {
        return false;
    }
    const std::string* text = state->text.paths.Find(path.ref());
    if (text == nullptr || text->empty()) {
        return false;
    }
    std::error_code statusError;
    const std::filesystem::file_status status = resolveLinks != 0
                                                    ? std::filesystem::status(*text, statusError)
                                                    : std::filesystem::symlink_status(*text, statusError);
    if (statusError || !std::filesystem::exists(status)) {
        return false;
    }
    if (longPath != nullptr) {
        *longPath = false;
    }
    if (isFile != nullptr) {
        *isFile = !std::filesystem::is_directory(status);
    }
    return true;
}

}  // namespace

AIFilePathSuite gFilePathSuite = {
    PLIM_SUITE_FUNCTION(Create),  PLIM_SUITE_FUNCTION(Dispose), PLIM_SUITE_FUNCTION(Duplicate),
    PLIM_SUITE_FUNCTION(GetPath), PLIM_SUITE_FUNCTION(Set),     PLIM_SUITE_FUNCTION(AddComponent),
    PLIM_SUITE_FUNCTION(Exists),
};

void SetFilePathText(HostState& state, ai::FilePath& path, const std::string& utf8Path) {
    if (std::string* text = state.text.paths.Find(path.ref())) {
        *text = utf8Path;
        return;
    }
    // The object holds no live reference: give it a new one, as the host's own work.
    FaultInjector::Suspension suspension(state.faults);
    path = ai::FilePath(utf8Path);
}

}  // namespace host

// The host's own ai::FilePath values go through the host's table. Weak, so that a program holding
// the plug-in's own pointer (the unit tests, which fill it from this host) keeps one pointer for both.
extern "C" {
__attribute__((weak)) AIFilePathSuite* sAIFilePath = &host::gFilePathSuite;
}
