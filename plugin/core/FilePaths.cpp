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
