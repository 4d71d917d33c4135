// The wall-clock time a picture's process may take (PictureProcess.h), as its watch sees it.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <cstddef>

namespace host {

// Reads the start of /proc/PID/NAME into text, ended by a NUL; false when the system doesn't say.
bool ReadProcessFile(pid_t process, const char* name, char* text, std::size_t size);

// How long a process has waited for a processor while it could run (/proc/PID/schedstat); zero
// when the system doesn't say.
std::chrono::nanoseconds WaitedToRun(pid_t process);

// The state of a process as /proc/PID/stat gives it ('R' running, 'S' sleeping, 'D' in
// uninterruptible sleep: on a machine short of memory, waiting for the system to reclaim pages);
// NUL when the system doesn't say.
char ProcessState(pid_t process);

// The wall-clock time the child has taken since it started, not counting the time it waited for a
// processor, nor the time it was seen stalled in the system (a machine short of memory), nor the
// time this process itself did not run (stopped by Ctrl-Z, or not given a processor: its watch
// came round far later than it asked, and the child, stopped with it or not watched, was not
// judged): a machine busy with other work doesn't make an ordinary picture go beyond the bound,
// while a child that waits for anything else (a pipe no one writes) does. However busy the
// machine, the child ends after ten times the bound of the time this process ran.
class WallClock {
public:
    using Clock = std::chrono::steady_clock;

    explicit WallClock(Clock::time_point start) : start_(start), seen_(start) {}
    // The same for a process that already runs (a job's worker, given one picture after another):
    // the time it waited for a processor before the start doesn't count either.
    WallClock(Clock::time_point start, pid_t running);

    // Looked at every few milliseconds (kWatch) while the child runs, against the bound of that
    // moment.
    bool Past(pid_t child, std::chrono::milliseconds bound, Clock::time_point now = Clock::now());

    // The time the child had taken, as judged, when it was last looked at.
    Clock::duration Taken() const { return taken_; }

    static constexpr std::chrono::milliseconds kWatch{5};

private:
    // A watch this late means this process itself did not run in between.
    static constexpr std::chrono::milliseconds kLateWatch{250};

    Clock::time_point start_;
    Clock::time_point seen_;
    Clock::duration stalled_{};
    Clock::duration paused_{};
    Clock::duration taken_{};
    std::chrono::nanoseconds waitedBefore_{};
};

}  // namespace host
