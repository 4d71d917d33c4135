#include "documents/ExportFiles.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <system_error>
#include <vector>

namespace {

namespace fs = std::filesystem;

// Creates a unique file from a mkstemps pattern ("...XXXXXX" and a suffix of suffixLength bytes);
// the open descriptor, or -1. The pattern becomes the file's name.
int CreateUniqueFile(std::string& pattern, int suffixLength) {
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back('\0');
    const int descriptor = mkstemps(buffer.data(), suffixLength);
    if (descriptor >= 0) {
        pattern.assign(buffer.data());
    }
    return descriptor;
}

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

std::string SystemTempFolder() {
    for (const char* name : {"TMPDIR", "TMP", "TEMP", "TEMPDIR"}) {
        if (const char* value = std::getenv(name); value != nullptr && *value != '\0') {
            return value;
        }
    }
    return "/tmp";
}

JobTempFile::JobTempFile(const std::string& extension) {
    const std::string suffix = "." + extension;
    std::string pattern = JoinPath(SystemTempFolder(), std::string(kExportTempPrefix) + "XXXXXX" + suffix);
    const int descriptor = CreateUniqueFile(pattern, static_cast<int>(suffix.size()));
    if (descriptor < 0) {
        return;
    }
    close(descriptor);
    fPath = pattern;
}

JobTempFile::~JobTempFile() {
    if (!fPath.empty()) {
        std::remove(fPath.c_str());
    }
}

bool DeliverFile(const std::string& source, const std::string& finalPath) {
    const int from = open(source.c_str(), O_RDONLY | O_CLOEXEC);
    if (from < 0) {
        return false;
    }
    const fs::path target(finalPath);
    std::string pattern =
        JoinPath(target.parent_path().string(), "." + std::string(kExportTempPrefix) + "XXXXXX");
    const int to = CreateUniqueFile(pattern, 0);
    if (to < 0) {
        close(from);
        return false;
    }
    const bool copied = CopyContents(from, to) && fsync(to) == 0;
    close(from);
    const bool closed = close(to) == 0;
    // Files the export writes get the usual permissions, not the private ones of a temporary file.
    const mode_t mask = umask(0);
    umask(mask);
    chmod(pattern.c_str(), 0666 & ~mask);
    if (!copied || !closed || std::rename(pattern.c_str(), finalPath.c_str()) != 0) {
        std::remove(pattern.c_str());
        return false;
    }
    return true;
}

bool CanWriteInFolder(const std::string& folder) {
    std::string pattern = JoinPath(folder, "." + std::string(kExportTempPrefix) + "XXXXXX");
    const int descriptor = CreateUniqueFile(pattern, 0);
    if (descriptor < 0) {
        return false;
    }
    close(descriptor);
    std::remove(pattern.c_str());
    return true;
}

bool MakeFolder(const std::string& folder) {
    std::error_code error;
    fs::create_directories(folder, error);
    return fs::is_directory(folder, error);
}
