// The files of one export job: the job's own temporary file and the writability test of
// "testExport".
#pragma once

#include <string>

// Every temporary file of an export begins with this name.
inline constexpr const char* kExportTempPrefix = "torviAiTempFile";

// The system's temporary folder: "TMPDIR", "TMP", "TEMP" or "TEMPDIR", else "/tmp".
std::string SystemTempFolder();

// A unique temporary file of the job, created empty and exclusively in the system's temporary
// folder ("torviAiTempFile", a unique part, "." and the format), with the permissions of a new file
// so that the delivered copy has them too; removed when the object goes. An export never removes a
// file it did not create. The finished file is delivered with FileDirCopy.
class JobTempFile {
public:
    explicit JobTempFile(const std::string& extension);
    ~JobTempFile();
    JobTempFile(const JobTempFile&) = delete;
    JobTempFile& operator=(const JobTempFile&) = delete;

    bool Created() const { return !fPath.empty(); }
    const std::string& Path() const { return fPath; }

private:
    std::string fPath;
};

// Whether a file can be made in the folder: a unique file of its own is created there and removed;
// nothing else in the folder is touched.
bool CanWriteInFolder(const std::string& folder);
