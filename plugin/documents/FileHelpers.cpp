#include "documents/FileHelpers.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <system_error>
#include <vector>

#include "SystemNames.h"
#include "documents/DocumentScopes.h"

namespace fs = std::filesystem;

namespace {

std::string JoinPath(const std::string& folder, const std::string& name) {
    if (folder.empty() || folder.back() == '/') {
        return folder + name;
    }
    return folder + "/" + name;
}

bool CopyContents(int from, int to) {
    std::vector<char> buffer(1 << 16);
    for (;;) {
        const ssize_t got = read(from, buffer.data(), buffer.size());
        if (got == 0) {
            return true;
        }
        if (got < 0) {
            return false;
        }
        for (ssize_t done = 0; done < got;) {
            const ssize_t put = write(to, buffer.data() + done, static_cast<std::size_t>(got - done));
            if (put <= 0) {
                return false;
            }
            done += put;
        }
    }
}

}  // namespace

bool GetUserDir(std::string& out) {
    out = NSHomeDirectory();
    return !out.empty();
}

bool UserPathToAbsPath(const std::string& path, std::string& out) {
    if (path.empty() || path.front() != '~') {
        return false;
    }
    // "~" and "~/..." are the user's own home folder; "~name" and "~name/..." that user's.
    const std::size_t slash = std::min(path.find('/'), path.size());
    std::string home;
    if (slash == 1) {
        GetUserDir(home);
    } else {
        home = NSHomeDirectoryForUser(path.substr(1, slash - 1));
    }
    if (home.empty()) {
        return false;
    }
    // The home folder's own trailing "/" (a home of "/") is not doubled.
    if (slash < path.size() && home.back() == '/') {
        home.pop_back();
    }
    out = home + path.substr(slash);
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
    // From the temporary file's making to its rename or removal no signal ends the process.
    const TerminationDeferred deferred;
    Descriptor from(open(source.c_str(), O_RDONLY | O_CLOEXEC));
    struct stat status {};
    if (from.Get() < 0 || fstat(from.Get(), &status) != 0) {
        return false;
    }
    // The temporary name holds at most kTemporaryNameBytesKept bytes of the destination's name, so
    // that with its dot and random part it stays within the 255 bytes a file name may have: a
    // destination of the longest allowed name is copied as any other.
    constexpr std::size_t kTemporaryNameBytesKept = 200;
    const fs::path target = fs::absolute(destination, failed);
    std::string temporary =
        JoinPath(target.parent_path().string(),
                 "." + target.filename().string().substr(0, kTemporaryNameBytesKept) + ".XXXXXX");
    Descriptor to(CreateUniqueFile(temporary, 0));
    if (to.Get() < 0) {
        return false;
    }
    // The copy is complete on disk before it takes the destination's name, and has the source's
    // permissions rather than the private ones of a temporary file.
    const bool copied = CopyContents(from.Get(), to.Get()) && fchmod(to.Get(), status.st_mode & 07777) == 0 &&
                        fsync(to.Get()) == 0;
    if (!to.Close() || !copied || std::rename(temporary.c_str(), destination.c_str()) != 0) {
        std::remove(temporary.c_str());
        return false;
    }
    return true;
}

bool CreateNewDirectory(const std::string& path, ai::FilePath& out) {
    if (path.empty()) {
        return false;
    }
    // The folder as the system resolves it ("link/.." is the parent of the link's target), so that
    // the folder made is the one a caller resolved and checked with ResolvedFolderPath.
    const std::string folder = ResolvedFolderPath(path);
    if (folder.empty()) {
        return false;
    }
    std::error_code failed;
    fs::create_directories(folder, failed);
    if (failed || !fs::is_directory(folder, failed)) {
        return false;
    }
    out = ai::FilePath(folder);
    return out.Exists(false);
}

int CreateUniqueFile(std::string& pattern, int suffixLength) {
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back('\0');
    const int descriptor = mkostemps(buffer.data(), suffixLength, O_CLOEXEC);
    if (descriptor >= 0) {
        pattern.assign(buffer.data());
    }
    return descriptor;
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
