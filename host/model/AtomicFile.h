// Files that are replaced whole or not at all: the text goes to a temporary file in the target's
// folder, which is flushed to the disk and renamed over the target only once everything is written.
// A write that fails part-way leaves the previous file as it was. Devices and pipes (/dev/stdout)
// are written in place, as they can't be replaced.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace host::model {

// The temporary files this process is writing, kept where a signal handler can reach them: a path
// is recorded before its file is made and forgotten once the file is gone or has taken its real
// name. The record is fixed storage written in advance, so that removing the files needs no
// allocation, no lock and no library call but unlink.
class TemporaryFileRecord {
public:
    TemporaryFileRecord() = default;
    ~TemporaryFileRecord() { forget(); }
    TemporaryFileRecord(const TemporaryFileRecord&) = delete;
    TemporaryFileRecord& operator=(const TemporaryFileRecord&) = delete;

    // Records the path (made absolute), in place of any path recorded before. False when it can't
    // be kept (too long, or too many files being written at once): the file is then not to be made.
    bool remember(const std::filesystem::path& path);
    // The path is no longer a temporary file of this process.
    void forget();

private:
    int slot_ = -1;
};

// Makes a new temporary file, exclusively, beside the path (in its folder, named after it, unique
// to this process), recorded in the record. The open descriptor, its path in made; -1 with errno
// set when it can't be made.
int makeTemporaryFile(const std::filesystem::path& beside, TemporaryFileRecord& record,
                      std::filesystem::path& made);
// Removes every recorded temporary file. Async-signal-safe: it only reads the fixed records and
// calls unlink.
void removeTemporaryFiles();
// From now on, SIGINT, SIGTERM, SIGHUP and SIGQUIT remove the recorded temporary files and then end
// the process by the same signal, as it would have ended without the handler (same status, same
// signal seen by the parent). A signal that is ignored when this is called stays ignored.
void removeTemporaryFilesOnSignals();

class AtomicFileWriter {
public:
    // Creates the temporary file beside the target (beside the file a symbolic link points to, so
    // that the link stays). error() tells why when that fails.
    explicit AtomicFileWriter(std::filesystem::path target);
    // Removes the temporary file unless it was committed.
    ~AtomicFileWriter();
    AtomicFileWriter(const AtomicFileWriter&) = delete;
    AtomicFileWriter& operator=(const AtomicFileWriter&) = delete;

    bool ok() const { return error_.empty(); }
    const std::string& error() const { return error_; }

    // Appends the bytes; after a failure it does nothing and error() tells why.
    void write(std::string_view bytes);
    // Flushes the temporary file to the disk and renames it over the target. False (error() set)
    // when anything failed; the target is then untouched.
    bool commit();

private:
    void fail(const std::string& what);
    void discard();

    std::filesystem::path target_;  // the file shown to the user
    std::filesystem::path real_;    // where the bytes go: the target, or where its link points
    std::filesystem::path temporary_;
    TemporaryFileRecord record_;  // temporary_, while it exists
    int descriptor_ = -1;
    bool inPlace_ = false;  // the target is a device or a pipe, written directly
    std::string error_;
};

// Replaces the file with the bytes, atomically. False with the reason in *error when it can't.
bool writeFileAtomically(const std::filesystem::path& file, std::string_view bytes, std::string* error);

}  // namespace host::model
