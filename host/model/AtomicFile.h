// Files that are replaced whole or not at all: the text goes to a temporary file in the target's
// folder, which is flushed to the disk and renamed over the target only once everything is written.
// A write that fails part-way leaves the previous file as it was. Devices and pipes (/dev/stdout)
// are written in place, as they can't be replaced.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace host::model {

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
    int descriptor_ = -1;
    bool inPlace_ = false;  // the target is a device or a pipe, written directly
    std::string error_;
};

// Replaces the file with the bytes, atomically. False with the reason in *error when it can't.
bool writeFileAtomically(const std::filesystem::path& file, std::string_view bytes, std::string* error);

}  // namespace host::model
