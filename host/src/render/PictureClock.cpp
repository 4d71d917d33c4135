#include "render/PictureClock.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>

namespace host {
namespace {

// How long a process has waited for a processor while it could run (/proc/PID/schedstat); zero
// when the system doesn't say.
std::chrono::nanoseconds WaitedToRun(pid_t process) {
    char path[64];
    std::snprintf(path, sizeof path, "/proc/%d/schedstat", static_cast<int>(process));
    const int descriptor = ::open(path, O_RDONLY | O_CLOEXEC);
    if (descriptor < 0) {
        return {};
    }
    char text[128];
    const ssize_t read = ::read(descriptor, text, sizeof text - 1);
    ::close(descriptor);
    if (read <= 0) {
        return {};
    }
    text[read] = '\0';
    unsigned long long running = 0;
    unsigned long long waiting = 0;
    if (std::sscanf(text, "%llu %llu", &running, &waiting) != 2) {
        return {};
    }
    return std::chrono::nanoseconds(static_cast<long long>(waiting));
}

// Whether the process is in uninterruptible sleep ('D' in /proc/PID/stat): on a machine short of
// memory, waiting for the system to reclaim pages.
bool Stalled(pid_t process) {
    char path[64];
    std::snprintf(path, sizeof path, "/proc/%d/stat", static_cast<int>(process));
    const int descriptor = ::open(path, O_RDONLY | O_CLOEXEC);
    if (descriptor < 0) {
        return false;
    }
    char text[512];
    const ssize_t read = ::read(descriptor, text, sizeof text - 1);
    ::close(descriptor);
    if (read <= 0) {
        return false;
    }
    text[read] = '\0';
    const char* name = std::strrchr(text, ')');
    return name != nullptr && name[1] == ' ' && name[2] == 'D';
}

}  // namespace

bool WallClock::Past(pid_t child, std::chrono::milliseconds bound, Clock::time_point now) {
    const Clock::duration since = now - seen_;
    if (since > kLateWatch) {
        paused_ += since - kWatch;
    } else if (Stalled(child)) {
        stalled_ += since;
    }
    seen_ = now;
    const Clock::duration ran = now - start_ - paused_;
    return ran - WaitedToRun(child) - stalled_ >= bound || ran >= bound * 10;
}

}  // namespace host
