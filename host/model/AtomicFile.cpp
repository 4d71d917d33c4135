#include "model/AtomicFile.h"

#include <fcntl.h>
#include <signal.h>
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

// The records of the temporary files: a slot is free (0), being filled (1) or holds a path that a
// signal handler may remove (2). Only lock-free atomics and fixed arrays, for the handler's sake.
constexpr std::size_t kTemporarySlots = 64;
constexpr std::size_t kTemporaryPathBytes = 4096;
enum : int { kSlotFree = 0, kSlotFilling = 1, kSlotHeld = 2 };

struct TemporarySlot {
    std::atomic<int> state{kSlotFree};
    char path[kTemporaryPathBytes];
};
static_assert(std::atomic<int>::is_always_lock_free);

TemporarySlot gTemporarySlots[kTemporarySlots];

extern "C" void removeTemporaryFilesAndEnd(int signal) {
    removeTemporaryFiles();
    // The handler was reset to the default when it was entered; the signal is blocked until the
    // handler returns, and then ends the process as it would have without the handler.
    ::raise(signal);
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

bool TemporaryFileRecord::remember(const std::filesystem::path& path) {
    forget();
    std::error_code failed;
    const std::string absolute = std::filesystem::absolute(path, failed).string();
    if (failed || absolute.size() >= kTemporaryPathBytes) {
        return false;
    }
    for (std::size_t i = 0; i < kTemporarySlots; ++i) {
        int expected = kSlotFree;
        TemporarySlot& slot = gTemporarySlots[i];
        if (slot.state.compare_exchange_strong(expected, kSlotFilling)) {
            std::memcpy(slot.path, absolute.c_str(), absolute.size() + 1);
            slot.state.store(kSlotHeld);
            slot_ = static_cast<int>(i);
            return true;
        }
    }
    return false;
}

void TemporaryFileRecord::forget() {
    if (slot_ >= 0) {
        gTemporarySlots[slot_].state.store(kSlotFree);
        slot_ = -1;
    }
}

int makeTemporaryFile(const std::filesystem::path& beside, TemporaryFileRecord& record,
                      std::filesystem::path& made) {
    constexpr int kAttempts = 100;
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        made = temporaryNameBeside(beside, attempt);
        // Recorded before it is made, so that no signal finds the file made and not recorded.
        if (!record.remember(made)) {
            errno = ENFILE;
            return -1;
        }
        const int descriptor = ::open(made.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (descriptor >= 0) {
            return descriptor;
        }
        const int reason = errno;
        record.forget();
        errno = reason;
        if (reason != EEXIST) {
            return -1;
        }
    }
    return -1;
}

void removeTemporaryFiles() {
    for (TemporarySlot& slot : gTemporarySlots) {
        if (slot.state.load() == kSlotHeld) {
            ::unlink(slot.path);
        }
    }
}

void removeTemporaryFilesOnSignals() {
    for (const int signal : {SIGINT, SIGTERM, SIGHUP, SIGQUIT}) {
        struct sigaction previous {};
        if (::sigaction(signal, nullptr, &previous) != 0 || previous.sa_handler == SIG_IGN) {
            continue;
        }
        struct sigaction action {};
        action.sa_handler = removeTemporaryFilesAndEnd;
        sigemptyset(&action.sa_mask);
        action.sa_flags = SA_RESETHAND;
        ::sigaction(signal, &action, nullptr);
    }
}

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
    descriptor_ = makeTemporaryFile(real_, record_, temporary_);
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
            record_.forget();
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
        record_.forget();
        fail(reason);
        return false;
    }
    // The temporary name is gone with the rename: nothing of this writer is left to remove.
    record_.forget();
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
