#include "documents/ExportFiles.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

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

JobTempFile::JobTempFile(const std::string& extension) {
    const std::string suffix = "." + extension;
    std::string pattern =
        AddNameToPath(SystemTempFolder(), std::string(kExportTempPrefix) + "XXXXXX" + suffix);
    const int descriptor = CreateUniqueFile(pattern, static_cast<int>(suffix.size()));
    if (descriptor < 0) {
        return;
    }
    const bool usual = fchmod(descriptor, UsualFilePermissions()) == 0;
    close(descriptor);
    fPath = pattern;
    if (!usual) {
        std::remove(fPath.c_str());
        fPath.clear();
    }
}

JobTempFile::~JobTempFile() {
    if (!fPath.empty()) {
        std::remove(fPath.c_str());
    }
}

bool CanWriteInFolder(const std::string& folder) {
    std::string pattern = AddNameToPath(folder, "." + std::string(kExportTempPrefix) + "XXXXXX");
    const int descriptor = CreateUniqueFile(pattern, 0);
    if (descriptor < 0) {
        return false;
    }
    close(descriptor);
    std::remove(pattern.c_str());
    return true;
}
