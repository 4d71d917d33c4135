// Well-known folders: type 52 is the application folder; further types come from the application
// options. Other types are refused.
#include <filesystem>
#include <string>

#include "HostState.h"
#include "IAIFilePath.hpp"
#include "suites/HostSuites.h"
#include "suites/SuiteBoundary.h"

namespace host {
namespace {

const std::filesystem::path* FolderOfType(const HostState& state, AIFolderType type) {
    if (type == kAIApplicationFolderType) {
        return &state.options.applicationFolder;
    }
    const auto found = state.options.folders.find(type);
    return found != state.options.folders.end() ? &found->second : nullptr;
}

// The folder's path goes into `folder` whether the folder exists or not, unless creating it was
// asked for and failed.
AIErr FindFolder(AIFolderType type, AIBoolean createFolder, ai::FilePath& folder) {
    auto [state, error] = StartOperation(kAIFoldersSuite, "FindFolder");
    if (state == nullptr) {
        return error;
    }
    const std::filesystem::path* path = error == kNoErr ? FolderOfType(*state, type) : nullptr;
    error = OutputError(error, path);
    if (error == kNoErr && createFolder != 0) {
        std::error_code created;
        std::filesystem::create_directories(*path, created);
        error = created ? kCantHappenErr : kNoErr;
    }
    if (error == kNoErr) {
        SetFilePathText(*state, folder, path->string());
    }
    state->journal.Record("FindFolder", {std::to_string(type)}, error);
    return error;
}

}  // namespace

AIFoldersSuite gFoldersSuite = {
    PLIM_SUITE_FUNCTION(FindFolder),
};

}  // namespace host
