// The files of one export job: the job's own temporary file and the writability test of
// "testExport".
#pragma once

#include <string>

#include "documents/DocumentScopes.h"

// Every temporary file of an export begins with this name.
inline constexpr const char* kExportTempPrefix = "torviAiTempFile";

// The system's temporary folder: "TMPDIR", "TMP", "TEMP" or "TEMPDIR", else "/tmp".
std::string SystemTempFolder();

// The job's temporary file: a private folder made for the job alone in the system's temporary
// folder ("torviAiTempFile" and a unique part) holding the file under the name it is delivered as
// (file name, "." and the format), created empty and exclusively with the permissions of a new
// file so that the delivered copy has them too. Writers that record a file's name in the file (a
// PDF's title, an EPS's %%Title, an SVG's title) thus record the delivered name. The file and its
// folder are removed when the object goes; an export never removes a file it did not create. The
// finished file is delivered with FileDirCopy. While the object lives the signals that end the
// process are held back, so that none leaves the file or its folder behind.
class JobTempFile {
public:
    JobTempFile(const std::string& fileName, const std::string& extension);
    ~JobTempFile();
    JobTempFile(const JobTempFile&) = delete;
    JobTempFile& operator=(const JobTempFile&) = delete;

    bool Created() const { return !fPath.empty(); }
    const std::string& Path() const { return fPath; }

private:
    TerminationDeferred fDeferred;  // made first, given back last
    std::string fFolder;
    std::string fPath;
};

// Whether a file can be made in the folder: a unique file of its own is created there and removed;
// nothing else in the folder is touched.
bool CanWriteInFolder(const std::string& folder);
