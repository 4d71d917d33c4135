#include "model/ResolvedPath.h"

#include <system_error>

namespace host::model {

std::optional<std::filesystem::path> systemPath(const std::filesystem::path& path) {
    if (path.empty() || path.native().find('\0') != std::string::npos) {
        return std::nullopt;
    }
    std::error_code failed;
    const std::filesystem::path absolute = std::filesystem::absolute(path, failed);
    if (failed) {
        return std::nullopt;
    }
    // The longest leading part the system finds. It walks a path from its start, so past the first
    // component it can't find (or, for a file, enter) no later one is reached.
    std::filesystem::path found;
    auto component = absolute.begin();
    for (; component != absolute.end(); ++component) {
        const std::filesystem::file_status status = std::filesystem::status(found / *component, failed);
        if (!std::filesystem::status_known(status)) {
            return std::nullopt;  // a folder it may not search, a loop of links
        }
        if (!std::filesystem::exists(status)) {
            break;
        }
        found /= *component;
    }
    // That part with its links followed, then ".." taken, component by component, as the system
    // takes them ("link/.." is the parent of the link's target).
    std::filesystem::path resolved = std::filesystem::canonical(found, failed);
    if (failed) {
        return std::nullopt;
    }
    // The part the system doesn't find keeps its names. A ".." there climbs out of a folder that
    // doesn't exist, which the system fails, and once that folder is made it may lead back into a
    // link: the path is refused rather than tidied as text.
    for (; component != absolute.end(); ++component) {
        if (*component == "..") {
            return std::nullopt;
        }
        if (!component->empty() && *component != ".") {
            resolved /= *component;
        }
    }
    return resolved;
}

std::filesystem::path resolvedPath(const std::filesystem::path& path) {
    if (path.empty()) {
        return {};
    }
    const std::filesystem::path name = path.filename();
    const bool folder = name.empty() || name == "." || name == "..";
    const std::filesystem::path parent = folder ? path : path.has_parent_path() ? path.parent_path() : ".";
    const std::optional<std::filesystem::path> resolved = systemPath(parent);
    if (!resolved) {
        std::error_code failed;
        const std::filesystem::path absolute = std::filesystem::absolute(path, failed);
        return failed ? path : absolute;
    }
    // A folder keeps a trailing "/" (an empty last component) so that writing it as a file fails.
    return *resolved / (folder ? std::filesystem::path() : name);
}

}  // namespace host::model
