#include "core/FilePaths.h"

#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

std::string ResolvedFolderPath(const std::string& path) {
    if (path.empty() || path.find('\0') != std::string::npos) {
        return {};
    }
    std::error_code failed;
    const fs::path absolute = fs::absolute(path, failed);
    if (failed) {
        return {};
    }
    // The longest leading part the system finds. It walks a path from its start, so past the first
    // component it can't find (or, for a file, enter) no later one is reached.
    fs::path found;
    auto component = absolute.begin();
    for (; component != absolute.end(); ++component) {
        const fs::file_status status = fs::status(found / *component, failed);
        if (!fs::status_known(status)) {
            return {};  // a folder it may not search, a loop of links
        }
        if (!fs::exists(status)) {
            break;
        }
        found /= *component;
    }
    // That part with its links followed, then ".." taken, component by component, as the system
    // takes them ("link/.." is the parent of the link's target).
    fs::path resolved = fs::canonical(found, failed);
    if (failed) {
        return {};
    }
    // The part the system doesn't find keeps its names. A ".." there climbs out of a folder that
    // doesn't exist, which the system fails, and once that folder is made it may lead back into a
    // link: the path is refused rather than tidied as text.
    for (; component != absolute.end(); ++component) {
        if (*component == "..") {
            return {};
        }
        if (!component->empty() && *component != ".") {
            resolved /= *component;
        }
    }
    return resolved.string();
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
    const std::string resolved = ResolvedFolderPath(first);
    return !resolved.empty() && resolved == ResolvedFolderPath(second);
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
