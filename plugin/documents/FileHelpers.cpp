#include "documents/FileHelpers.h"

#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <filesystem>
#include <system_error>

#include "SystemNames.h"

namespace fs = std::filesystem;

namespace {

// A name beside the destination that no other copy of this process picks.
fs::path TemporaryBeside(const fs::path& destination) {
    static std::atomic<unsigned> counter{0};
    return destination.parent_path() /
           ("." + destination.filename().string() + "." + std::to_string(::getpid()) + "." +
            std::to_string(counter++) + ".tmp");
}

}  // namespace

std::string ToLower(std::string text) {
    for (char& c : text) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    return text;
}

bool GetUserDir(std::string& out) {
    out = "/Users/" + NSUserName();
    return true;
}

bool UserPathToAbsPath(const std::string& path, std::string& out) {
    if (path.size() < 2 || path.front() != '~') {
        return false;
    }
    std::string home;
    GetUserDir(home);
    out = home + path.substr(1);
    return true;
}

std::string ExpandUserPath(const std::string& path) {
    std::string expanded = path;
    UserPathToAbsPath(path, expanded);
    return expanded;
}

std::string StringPathExtension(const std::string& path) {
    const std::size_t dot = path.rfind('.');
    if (path.empty() || dot == std::string::npos || dot + 1 == path.size()) {
        return {};
    }
    const std::string extension = path.substr(dot + 1);
    return extension.find_first_of("/\\") == std::string::npos ? extension : std::string();
}

bool FileExists(const std::string& path) {
    return !path.empty() && ai::FilePath(path).Exists(false);
}

bool IsRegularFile(const std::string& path) {
    std::error_code failed;
    return fs::is_regular_file(path, failed);
}

bool IsSameFile(const std::string& first, const std::string& second) {
    std::error_code failed;
    if (fs::exists(first, failed) && fs::exists(second, failed)) {
        const bool same = fs::equivalent(first, second, failed);
        return !failed && same;
    }
    const fs::path a = fs::weakly_canonical(first, failed);
    const fs::path b = failed ? fs::path() : fs::weakly_canonical(second, failed);
    return !failed && a == b;
}

bool RemoveFile(const std::string& path) {
    return !path.empty() && std::remove(path.c_str()) == 0;
}

bool FileDirCopy(const std::string& source, const std::string& destination, bool overwrite) {
    std::error_code failed;
    if (!fs::is_regular_file(source, failed) || destination.empty()) {
        return false;
    }
    if (!overwrite && fs::exists(destination, failed)) {
        return false;
    }
    const fs::path temporary = TemporaryBeside(fs::absolute(destination, failed));
    if (failed || !fs::copy_file(source, temporary, fs::copy_options::none, failed) || failed) {
        fs::remove(temporary, failed);
        return false;
    }
    fs::rename(temporary, destination, failed);
    if (failed) {
        std::error_code ignored;
        fs::remove(temporary, ignored);
        return false;
    }
    return true;
}

bool FileCopy(const std::string& source, const std::string& destination) {
    return FileDirCopy(source, destination, false);
}

bool CreateNewDirectory(const std::string& path, ai::FilePath& out) {
    if (path.size() < 2) {
        return false;
    }
    std::error_code failed;
    const fs::path folder = fs::absolute(path, failed).lexically_normal();
    if (failed) {
        return false;
    }
    fs::create_directories(folder, failed);
    if (failed || !fs::is_directory(folder, failed)) {
        return false;
    }
    out = ai::FilePath(folder.string());
    return out.Exists(false);
}

std::string SafeFileName(const std::string& name) {
    if (name.empty() || name == "." || name == "..") {
        return "_";
    }
    std::string safe = name;
    for (char& c : safe) {
        if (c == '/' || c == '\0') {
            c = '_';
        }
    }
    return safe;
}

std::string AddNameToPath(const std::string& folder, const std::string& name) {
    ai::FilePath path(folder);
    path.AddComponent(ai::UnicodeString::FromUTF8(SafeFileName(name)));
    return path.GetFullPathUTF8();
}
