#include "model/AtomicFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>

namespace host::model {

namespace {

// The most of the target's name a temporary name holds: with its dot and numbers it stays within
// the 255 bytes a file name may have, whatever the target's name.
constexpr std::size_t kNameBytesKept = 200;

// A name in the folder that no other writer of this process or another one picks.
std::filesystem::path temporaryNameBeside(const std::filesystem::path& file, int attempt) {
    static std::atomic<unsigned> counter{0};
    std::string name = ".";
    name += file.filename().string().substr(0, kNameBytesKept);
    for (const auto part : {static_cast<unsigned>(getpid()), counter++, static_cast<unsigned>(attempt)}) {
        name += '.';
        name += std::to_string(part);
    }
    name += ".tmp";
    return file.parent_path() / name;
}

// Makes the new file's contents durable in its folder's listing too, where the system allows it.
void syncFolder(const std::filesystem::path& folder) {
    const int descriptor = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (descriptor >= 0) {
        ::fsync(descriptor);
        ::close(descriptor);
    }
}

}  // namespace

AtomicFileWriter::AtomicFileWriter(std::filesystem::path target)
    : target_(std::move(target)), real_(target_) {
    struct stat existing {};
    const bool exists = ::stat(target_.c_str(), &existing) == 0;
    if (exists && S_ISDIR(existing.st_mode)) {
        fail("it is a directory");
        return;
    }
    // A device or a pipe (a terminal, /dev/stdout) can't be replaced: it is written in place. It is
    // opened without waiting, so that a named pipe no process reads fails the write at once instead
    // of holding it for ever; the writes that follow wait as usual.
    if (exists && !S_ISREG(existing.st_mode)) {
        descriptor_ = ::open(target_.c_str(), O_WRONLY | O_CLOEXEC | O_NONBLOCK);
        if (descriptor_ < 0) {
            fail(errno == ENXIO ? "no process reads the pipe" : std::strerror(errno));
            return;
        }
        const int flags = ::fcntl(descriptor_, F_GETFL);
        inPlace_ = true;
        if (flags < 0 || ::fcntl(descriptor_, F_SETFL, flags & ~O_NONBLOCK) != 0) {
            fail(std::strerror(errno));
        }
        return;
    }
    std::error_code ignored;
    if (std::filesystem::is_symlink(target_, ignored)) {
        real_ = std::filesystem::weakly_canonical(target_, ignored);
    }
    constexpr int kAttempts = 100;
    for (int attempt = 0; attempt < kAttempts && descriptor_ < 0; ++attempt) {
        temporary_ = temporaryNameBeside(real_, attempt);
        descriptor_ = ::open(temporary_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (descriptor_ < 0 && errno != EEXIST) {
            break;
        }
    }
    if (descriptor_ < 0) {
        fail(std::strerror(errno));
        return;
    }
    // The replacement keeps the permissions of the file it replaces.
    if (exists) {
        ::fchmod(descriptor_, existing.st_mode & 07777);
    }
}

AtomicFileWriter::~AtomicFileWriter() {
    discard();
}

void AtomicFileWriter::fail(const std::string& what) {
    if (error_.empty()) {
        error_ = "cannot write " + target_.string() + ": " + what;
    }
    discard();
}

void AtomicFileWriter::discard() {
    if (descriptor_ >= 0) {
        ::close(descriptor_);
        descriptor_ = -1;
        if (!inPlace_) {
            ::unlink(temporary_.c_str());
        }
    }
}

void AtomicFileWriter::write(std::string_view bytes) {
    while (ok() && !bytes.empty()) {
        const ssize_t written = ::write(descriptor_, bytes.data(), bytes.size());
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            fail(written < 0 ? std::strerror(errno) : "nothing could be written");
            return;
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
}

bool AtomicFileWriter::commit() {
    if (!ok()) {
        return false;
    }
    if (inPlace_) {
        const int closed = ::close(descriptor_);
        descriptor_ = -1;
        if (closed != 0) {
            fail(std::strerror(errno));
            return false;
        }
        return true;
    }
    if (::fsync(descriptor_) != 0 && errno != EINVAL) {
        fail(std::strerror(errno));
        return false;
    }
    const int closed = ::close(descriptor_);
    descriptor_ = -1;
    if (closed != 0 || ::rename(temporary_.c_str(), real_.c_str()) != 0) {
        const std::string reason = std::strerror(errno);
        ::unlink(temporary_.c_str());
        fail(reason);
        return false;
    }
    syncFolder(real_.parent_path());
    return true;
}

bool writeFileAtomically(const std::filesystem::path& file, std::string_view bytes, std::string* error) {
    AtomicFileWriter writer(file);
    writer.write(bytes);
    if (writer.commit()) {
        return true;
    }
    if (error != nullptr) {
        *error = writer.error();
    }
    return false;
}

}  // namespace host::model
