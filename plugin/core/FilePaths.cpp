#include "core/FilePaths.h"

#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

std::string NormalisedPath(const std::string& path) {
    std::error_code failed;
    const fs::path absolute = fs::absolute(path, failed);
    const fs::path canonical = failed ? fs::path() : fs::weakly_canonical(absolute, failed);
    return failed ? fs::path(path).lexically_normal().string() : canonical.string();
}

bool IsSameFile(const std::string& first, const std::string& second) {
    if (first.empty() || second.empty()) {
        return false;
    }
    std::error_code failed;
    if (fs::exists(first, failed) && fs::exists(second, failed)) {
        const bool same = fs::equivalent(first, second, failed);
        return !failed && same;
    }
    return NormalisedPath(first) == NormalisedPath(second);
}

std::string ResolvedFolderPath(const std::string& path) {
    if (path.empty() || path.find('\0') != std::string::npos) {
        return {};
    }
    std::error_code failed;
    const fs::path absolute = fs::absolute(path, failed);
    // The system resolves the part that exists (links, then "..", component by component); only the
    // part still to be made is normalised as text.
    fs::path resolved = failed ? fs::path() : fs::weakly_canonical(absolute, failed);
    if (failed || resolved.empty()) {
        return {};
    }
    std::string text = resolved.string();
    while (text.size() > 1 && text.back() == '/') {
        text.pop_back();
    }
    return text;
}

std::string ResolvedFilePath(const std::string& path) {
    if (path.empty()) {
        return {};
    }
    const fs::path given(path);
    const fs::path name = given.filename();
    if (name.empty() || name == "." || name == "..") {
        const std::string folder = ResolvedFolderPath(path);
        return folder.empty() || folder == "/" ? folder : folder + "/";
    }
    const std::string folder =
        ResolvedFolderPath(given.has_parent_path() ? given.parent_path().string() : ".");
    if (folder.empty()) {
        return {};
    }
    return (folder == "/" ? folder : folder + "/") + name.string();
}
