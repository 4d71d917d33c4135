#include "render/PictureClock.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace host {

bool ReadProcessFile(pid_t process, const char* name, char* text, std::size_t size) {
    if (size == 0) {
        return false;
    }
    char path[64];
    std::snprintf(path, sizeof path, "/proc/%d/%s", static_cast<int>(process), name);
    const int descriptor = ::open(path, O_RDONLY | O_CLOEXEC);
    if (descriptor < 0) {
        return false;
    }
    const ssize_t read = ::read(descriptor, text, size - 1);
    ::close(descriptor);
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
