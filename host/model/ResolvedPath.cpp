#include "model/ResolvedPath.h"

#include <string>
#include <system_error>

namespace host::model {

namespace {

// The folder resolved by the system, without a trailing "/"; empty when it can't be.
std::filesystem::path resolvedFolder(const std::filesystem::path& folder) {
    std::error_code failed;
    const std::filesystem::path absolute = std::filesystem::absolute(folder, failed);
    const std::filesystem::path resolved =
        failed ? std::filesystem::path() : std::filesystem::weakly_canonical(absolute, failed);
    if (failed) {
        return {};
    }
    std::string text = resolved.string();
    while (text.size() > 1 && text.back() == '/') {
        text.pop_back();
    }
    return text;
}

}  // namespace

std::filesystem::path resolvedPath(const std::filesystem::path& path) {
    if (path.empty()) {
        return {};
    }
    const std::filesystem::path name = path.filename();
    const bool folder = name.empty() || name == "." || name == "..";
    const std::filesystem::path parent = folder ? path : path.has_parent_path() ? path.parent_path() : ".";
    const std::filesystem::path resolved = resolvedFolder(parent);
    if (resolved.empty()) {
        std::error_code failed;
        const std::filesystem::path absolute = std::filesystem::absolute(path, failed);
        return failed ? path : absolute;
    }
    // A folder keeps a trailing "/" (an empty last component) so that writing it as a file fails.
    return resolved / (folder ? std::filesystem::path() : name);
}

}  // namespace host::model
