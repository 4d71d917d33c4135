#include "documents/ExportFiles.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <vector>

#include "documents/FileHelpers.h"

namespace {

// The permissions a new file gets from the process's mask: the finished file keeps them.
mode_t UsualFilePermissions() {
    const mode_t mask = umask(0);
    umask(mask);
    return 0666 & ~mask;
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

JobTempFile::JobTempFile(const std::string& fileName, const std::string& extension) {
    std::string folder = AddNameToPath(SystemTempFolder(), std::string(kExportTempPrefix) + "XXXXXX");
    std::vector<char> pattern(folder.begin(), folder.end());
    pattern.push_back('\0');
    if (mkdtemp(pattern.data()) == nullptr) {
        return;
    }
    fFolder = pattern.data();
    const std::string path = AddNameToPath(fFolder, fileName + "." + extension);
    const int descriptor =
        open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, UsualFilePermissions());
    if (descriptor < 0) {
        return;
    }
    // The mask may have narrowed what open gave; the file gets the usual permissions exactly.
    const bool usual = fchmod(descriptor, UsualFilePermissions()) == 0;
    close(descriptor);
    if (!usual) {
        std::remove(path.c_str());
        return;
    }
    fPath = path;
}

JobTempFile::~JobTempFile() {
    if (!fPath.empty()) {
        std::remove(fPath.c_str());
    }
    if (!fFolder.empty()) {
        rmdir(fFolder.c_str());
    }
}

bool CanWriteInFolder(const std::string& folder) {
    const TerminationDeferred deferred;
    std::string pattern = AddNameToPath(folder, "." + std::string(kExportTempPrefix) + "XXXXXX");
    const int descriptor = CreateUniqueFile(pattern, 0);
    if (descriptor < 0) {
        return false;
    }
    close(descriptor);
    std::remove(pattern.c_str());
    return true;
}
