#include "render/PictureClock.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>

namespace host {

namespace {

// The files of processes read last, kept open: a job's worker is looked at as each of its pictures
// starts, and reading a file again from its start costs a fraction of finding and opening it. A
// file of a process that has ended reads nothing (even once another process has its id): it is
// then opened anew. A child forked since they were opened forgets them: their descriptors are its
// parent's (closed in the child, or their numbers another file's), not its own to read or close.
class OpenProcessFiles {
public:
    OpenProcessFiles() = default;
    OpenProcessFiles(const OpenProcessFiles&) = delete;
    OpenProcessFiles& operator=(const OpenProcessFiles&) = delete;
    ~OpenProcessFiles() {
        if (owner_ != ::getpid()) {
            return;
        }
        for (const Entry& entry : entries_) {
            if (entry.descriptor >= 0) {
                ::close(entry.descriptor);
            }
        }
    }

    // The text read, or -1.
    ssize_t Read(pid_t process, const char* name, char* text, std::size_t size) {
        if (const pid_t self = ::getpid(); self != owner_) {
            std::fill(entries_, entries_ + kEntries, Entry{});
            owner_ = self;
        }
        Entry* kept = nullptr;
        for (Entry& entry : entries_) {
            if (entry.descriptor >= 0 && entry.process == process && std::strcmp(entry.name, name) == 0) {
                kept = &entry;
            }
        }
        if (kept != nullptr) {
            const ssize_t read = ::pread(kept->descriptor, text, size, 0);
            if (read > 0) {
                kept->used = ++uses_;
                return read;
            }
            ::close(kept->descriptor);
            kept->descriptor = -1;
        }
        char path[64];
        std::snprintf(path, sizeof path, "/proc/%d/%s", static_cast<int>(process), name);
        const int descriptor = ::open(path, O_RDONLY | O_CLOEXEC);
        if (descriptor < 0) {
            return -1;
        }
        const ssize_t read = ::pread(descriptor, text, size, 0);
        Entry& slot = *std::min_element(entries_, entries_ + kEntries,
                                        [](const Entry& a, const Entry& b) { return a.used < b.used; });
        if (slot.descriptor >= 0) {
            ::close(slot.descriptor);
        }
        slot = Entry{descriptor, process, {}, ++uses_};
        std::snprintf(slot.name, sizeof slot.name, "%s", name);
        return read;
    }

private:
    struct Entry {
        int descriptor = -1;
        pid_t process = 0;
        char name[16] = {};
        std::uint64_t used = 0;
    };
    static constexpr std::size_t kEntries = 4;
    Entry entries_[kEntries];
    std::uint64_t uses_ = 0;
    pid_t owner_ = ::getpid();
};

}  // namespace

bool ReadProcessFile(pid_t process, const char* name, char* text, std::size_t size) {
    if (size == 0) {
        return false;
    }
    thread_local OpenProcessFiles files;
    const ssize_t read = files.Read(process, name, text, size - 1);
    if (read <= 0) {
        return false;
    }
    text[read] = '\0';
    return true;
}

std::chrono::nanoseconds WaitedToRun(pid_t process) {
    char text[128];
    unsigned long long running = 0;
    unsigned long long waiting = 0;
    if (!ReadProcessFile(process, "schedstat", text, sizeof text) ||
        std::sscanf(text, "%llu %llu", &running, &waiting) != 2) {
        return {};
    }
    return std::chrono::nanoseconds(static_cast<long long>(waiting));
}

char ProcessState(pid_t process) {
    char text[512];
    if (!ReadProcessFile(process, "stat", text, sizeof text)) {
        return '\0';
    }
    const char* name = std::strrchr(text, ')');
    return name != nullptr && name[1] == ' ' ? name[2] : '\0';
}

WallClock::WallClock(Clock::time_point start, pid_t running)
    : start_(start), seen_(start), waitedBefore_(WaitedToRun(running)) {}

bool WallClock::Past(pid_t child, std::chrono::milliseconds bound, Clock::time_point now) {
    const Clock::duration since = now - seen_;
    if (since > kLateWatch) {
        paused_ += since - kWatch;
    } else if (ProcessState(child) == 'D') {
        stalled_ += since;
    }
    seen_ = now;
    const Clock::duration ran = now - start_ - paused_;
    taken_ = std::max(ran - (WaitedToRun(child) - waitedBefore_) - stalled_, Clock::duration::zero());
    return taken_ >= bound || ran >= bound * 10;
}

}  // namespace host
