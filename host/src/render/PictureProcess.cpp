#include "render/PictureProcess.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/mman.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>
#include <optional>

#if defined(__SANITIZE_ADDRESS__)
#define PLIM_PICTURE_UNDER_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define PLIM_PICTURE_UNDER_ASAN 1
#endif
#endif

namespace host {
namespace {

using Clock = std::chrono::steady_clock;

// The defaults, for a build under the sanitizers four times as long: its own code runs several
// times slower there, and an ordinary picture must not come near the bound.
PictureBound DefaultBound() {
    PictureBound bound;
#ifdef PLIM_PICTURE_UNDER_ASAN
    bound.cpuSeconds *= 4;
    bound.wall *= 4;
#endif
    return bound;
}

PictureBound gBound = DefaultBound();

// What the child writes after what it made: the outcome, the failure's text, then their lengths,
// so that this process finds them at the end of what it read.
enum class Outcome : char { made = 'M', failed = 'F', beyond = 'B' };
constexpr std::size_t kTrailerBytes = sizeof(std::uint64_t) + sizeof(std::uint32_t) + 1;
constexpr std::size_t kLongestText = 64u << 10;
// The most of what the child wrote to its standard error (poppler's messages, the picture's own
// warnings) that is said here once it has ended.
constexpr std::size_t kChildOutputBytes = std::size_t{4} << 20;
// How often the child's resident memory is looked at.
constexpr int kWatchMilliseconds = 5;
// The descriptor the child writes what it made to, the others from it on closed.
constexpr int kChildResult = 3;

std::string Seconds(std::chrono::milliseconds wall) {
    const auto count = wall.count();
    return count % 1000 == 0 ? std::to_string(count / 1000) + " s" : std::to_string(count) + " ms";
}

std::string Memory(std::size_t bytes) {
    if (bytes % (std::size_t{1} << 30) == 0) {
        return std::to_string(bytes >> 30) + " GiB";
    }
    return std::to_string(bytes >> 20) + " MiB";
}

std::string PastCpu(const PictureBound& bound) {
    return "drawing it took more than the " + std::to_string(bound.cpuSeconds) +
           " s of CPU time a picture may take";
}

std::string PastMemory(const PictureBound& bound) {
    return "drawing it needed more than the " + Memory(bound.bytes) + " of memory a picture may take";
}

std::string PastWall(const PictureBound& bound) {
    return "drawing it took more than the " + Seconds(bound.wall) + " a picture may take";
}

void CloseDescriptor(int descriptor) {
    if (descriptor >= 0) {
        ::close(descriptor);
    }
}

bool WriteAll(int descriptor, const void* data, std::size_t size) {
    const char* at = static_cast<const char*>(data);
    while (size > 0) {
        const ssize_t written = ::write(descriptor, at, size);
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            return false;
        }
        at += written;
        size -= static_cast<std::size_t>(written);
    }
    return true;
}

// The resident bytes of a process (this one, or a child); 0 when they can't be read.
std::size_t ResidentBytes(pid_t process) {
    char path[64];
    std::snprintf(path, sizeof path, "/proc/%d/statm", static_cast<int>(process));
    const int descriptor = ::open(path, O_RDONLY | O_CLOEXEC);
    if (descriptor < 0) {
        return 0;
    }
    char text[128];
    const ssize_t read = ::read(descriptor, text, sizeof text - 1);
    ::close(descriptor);
    if (read <= 0) {
        return 0;
    }
    text[read] = '\0';
    unsigned long long size = 0;
    unsigned long long resident = 0;
    if (std::sscanf(text, "%llu %llu", &size, &resident) != 2) {
        return 0;
    }
    return static_cast<std::size_t>(resident) * static_cast<std::size_t>(::sysconf(_SC_PAGESIZE));
}

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

// The wall-clock time the child has taken since it started, not counting the time it waited for a
// processor, nor the time it was seen stalled in the system (a machine short of memory): a machine
// busy with other work doesn't make an ordinary picture go beyond the bound, while a child that
// waits for anything else (a pipe no one writes) does. However busy the machine, the child ends
// after ten times the bound.
class WallClock {
public:
    WallClock(Clock::time_point start, std::chrono::milliseconds bound)
        : start_(start), seen_(start), bound_(bound) {}

    // Looked at every few milliseconds while the child runs.
    bool Past(pid_t child) {
        const Clock::time_point now = Clock::now();
        if (Stalled(child)) {
            stalled_ += now - seen_;
        }
        seen_ = now;
        const Clock::duration taken = now - start_;
        return taken - WaitedToRun(child) - stalled_ >= bound_ || taken >= bound_ * 10;
    }

private:
    Clock::time_point start_;
    Clock::time_point seen_;
    Clock::duration stalled_{};
    std::chrono::milliseconds bound_;
};

// Every descriptor from `first` on closed, so that the child holds no file or pipe of this
// process's (a reader waiting for the end of a pipe this process writes would wait for it too).
void CloseDescriptorsFrom(int first) {
    if (::close_range(static_cast<unsigned>(first), ~0u, 0) != 0) {
        const long most = ::sysconf(_SC_OPEN_MAX);
        for (long descriptor = first; descriptor < (most > 0 ? most : 1024); ++descriptor) {
            ::close(static_cast<int>(descriptor));
        }
    }
}

// The child's own setting: it dies with this process; its standard output and error go to the
// kept output and its result to descriptor 3, both files of memory, every other descriptor closed;
// the signals that end a process end it as they would any program (not through this process's
// handlers, which remove this process's temporary files), none held back; its CPU time is limited
// (SIGXCPU past the soft limit, SIGKILL a second later), no core file, and its result limited to
// what it may hold (a write past it fails rather than ending the child). Its memory, with
// what it wrote, is watched by this process instead of limited here: an allocation refused
// (RLIMIT_AS) is one the decoders answer by drawing less (poppler's JBIG2 pages, libjpeg's
// coefficient arrays), and it rules out the sanitizers' shadow memory. librsvg's pool of threads
// keeps to one: the picture draws on one core.
void SetUpChild(pid_t parent, int result, int output, const PictureBound& bound, std::size_t capacity) {
    ::prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (::getppid() != parent) {
        ::_exit(1);  // this process ended before the child could ask to end with it
    }
    const int null = ::open("/dev/null", O_RDONLY);
    if (null >= 0) {
        ::dup2(null, STDIN_FILENO);
    }
    if (output >= 0) {
        ::dup2(output, STDOUT_FILENO);
        ::dup2(output, STDERR_FILENO);
    }
    ::dup2(result, kChildResult);
    CloseDescriptorsFrom(kChildResult + 1);
    for (const int signal : {SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGPIPE, SIGCHLD, SIGABRT}) {
        ::signal(signal, SIG_DFL);
    }
    ::signal(SIGXFSZ, SIG_IGN);
    sigset_t none;
    sigemptyset(&none);
    ::sigprocmask(SIG_SETMASK, &none, nullptr);
    const rlimit noCore{0, 0};
    ::setrlimit(RLIMIT_CORE, &noCore);
    const rlimit cpu{bound.cpuSeconds, bound.cpuSeconds + 1};
    ::setrlimit(RLIMIT_CPU, &cpu);
    const rlim_t most = capacity + kLongestText + kTrailerBytes;  // the result's file
    const rlimit written{most, most};
    ::setrlimit(RLIMIT_FSIZE, &written);
    ::setenv("RAYON_NUM_THREADS", "1", 1);
}

// The child's whole life: the work, whatever it throws its answer too, then the trailer.
[[noreturn]] void RunChild(const PictureWork& work, const PictureBound& bound, std::size_t capacity) {
    PictureOutput output(kChildResult, capacity);
    Outcome outcome = Outcome::failed;
    std::string failure;
    try {
        if (work(output, failure)) {
            outcome = Outcome::made;
        } else if (failure.empty()) {
            failure = "it can't be drawn";
        }
    } catch (const std::bad_alloc&) {
        outcome = Outcome::beyond;
        failure = PastMemory(bound);
    } catch (const std::exception& error) {
        failure = std::string("drawing it failed: ") + error.what();
    } catch (...) {
        failure = "drawing it failed";
    }
    if (output.full()) {
        outcome = Outcome::beyond;
        failure = PastMemory(bound);
    }
    failure.resize(std::min(failure.size(), kLongestText));
    const std::uint32_t textLength = static_cast<std::uint32_t>(failure.size());
    const std::uint64_t madeLength = output.written();
    const char outcomeByte = static_cast<char>(outcome);
    const bool sent = WriteAll(kChildResult, failure.data(), failure.size()) &&
                      WriteAll(kChildResult, &textLength, sizeof textLength) &&
                      WriteAll(kChildResult, &madeLength, sizeof madeLength) &&
                      WriteAll(kChildResult, &outcomeByte, 1);
    ::_exit(sent ? 0 : 1);  // no handler of this process's at exit, no flush of its buffers, no leak check
}

// What the child said on its standard error.
std::string KeptOutput(int output) {
    const off_t said = output < 0 ? -1 : ::lseek(output, 0, SEEK_CUR);
    if (said <= 0) {
        return {};
    }
    std::string text(std::min<std::size_t>(static_cast<std::size_t>(said), kChildOutputBytes), '\0');
    const ssize_t read = ::pread(output, text.data(), text.size(), 0);
    text.resize(read > 0 ? static_cast<std::size_t>(read) : 0);
    return text;
}

#ifdef PLIM_PICTURE_UNDER_ASAN
// A sanitizer's report of a fault in what the child ran, from what it wrote to standard error; none
// for the reports of memory running out, which is the bound doing its work.
std::optional<std::string> SanitizerReport(const std::string& text) {
    std::size_t at = text.find("ERROR: AddressSanitizer");
    if (at == std::string::npos) {
        at = text.find("runtime error:");
    }
    if (at == std::string::npos) {
        return std::nullopt;
    }
    for (const char* exhausted : {"out of memory", "failed to allocate", "allocation-size-too-big",
                                  "exceeds maximum supported size", "Failed to mmap", "stack-overflow"}) {
        if (text.find(exhausted, at) != std::string::npos) {
            return std::nullopt;
        }
    }
    const std::size_t line = text.rfind('\n', at);
    return text.substr(line == std::string::npos ? 0 : line + 1);
}
#endif

std::string Ending(int status) {
    if (WIFSIGNALED(status)) {
        return "it ended with signal " + std::to_string(WTERMSIG(status));
    }
    return "it ended with status " + std::to_string(WEXITSTATUS(status));
}

// What the child used besides its resident memory: the file of memory it wrote its result to.
std::size_t WrittenBytes(int descriptor) {
    struct stat info {};
    if (descriptor < 0 || ::fstat(descriptor, &info) != 0 || info.st_blocks < 0) {
        return 0;
    }
    return static_cast<std::size_t>(info.st_blocks) * 512;
}

// Waits for the child to end, while its memory and the clock are watched: past the bound it is
// killed. It is always reaped. The wait is on a descriptor of the process where the system has one,
// so that its end is seen at once.
struct Watched {
    int status = 0;
    rusage usage{};
    bool killed = false;
    bool tooLarge = false;
    bool late = false;
};

Watched Watch(pid_t child, int result, std::size_t limit, WallClock& wall) {
    Watched watched;
    const int process = static_cast<int>(::syscall(SYS_pidfd_open, child, 0));
    for (;;) {
        const pid_t ended = ::wait4(child, &watched.status, watched.killed ? 0 : WNOHANG, &watched.usage);
        if (ended == child || (ended < 0 && errno != EINTR)) {
            break;
        }
        if (ended != 0 || watched.killed) {
            continue;
        }
        watched.tooLarge = ResidentBytes(child) + WrittenBytes(result) > limit;
        watched.late = wall.Past(child);
        if (watched.tooLarge || watched.late) {
            ::kill(child, SIGKILL);
            watched.killed = true;
            continue;
        }
        pollfd end{process, POLLIN, 0};
        ::poll(&end, process >= 0 ? 1 : 0, kWatchMilliseconds);
    }
    CloseDescriptor(process);
    return watched;
}

PictureResult Beyond(std::string reason) {
    PictureResult result;
    result.end = PictureResult::End::beyond;
    result.failure = std::move(reason);
    return result;
}

// What the child wrote to its result, mapped; empty when it wrote nothing or it can't be mapped.
PictureBytes MapWritten(int result) {
    struct stat info {};
    if (::fstat(result, &info) != 0 || info.st_size <= 0) {
        return {};
    }
    const auto size = static_cast<std::size_t>(info.st_size);
    void* mapping = ::mmap(nullptr, size, PROT_READ, MAP_PRIVATE | MAP_POPULATE, result, 0);
    if (mapping == MAP_FAILED) {
        return {};
    }
    return PictureBytes(mapping, size, size);
}

// The result from what the child wrote and how it ended.
PictureResult Judge(const Watched& watched, int written, const PictureBound& bound) {
    const double cpu =
        static_cast<double>(watched.usage.ru_utime.tv_sec + watched.usage.ru_stime.tv_sec) +
        static_cast<double>(watched.usage.ru_utime.tv_usec + watched.usage.ru_stime.tv_usec) / 1e6;
    const bool signalled = WIFSIGNALED(watched.status);
    if (signalled && WTERMSIG(watched.status) == SIGXCPU) {
        return Beyond(PastCpu(bound));
    }
    if (watched.tooLarge) {
        return Beyond(PastMemory(bound));
    }
    if (signalled && cpu >= bound.cpuSeconds) {
        return Beyond(PastCpu(bound));
    }
    if (watched.late) {
        return Beyond(PastWall(bound));
    }
    PictureBytes answer = MapWritten(written);
    const std::string_view bytes = answer.view();
    if (!WIFEXITED(watched.status) || WEXITSTATUS(watched.status) != 0 || bytes.size() < kTrailerBytes) {
        return Beyond("drawing it failed (" + Ending(watched.status) + ")");
    }
    std::uint32_t textLength = 0;
    std::uint64_t madeLength = 0;
    const std::size_t trailer = bytes.size() - kTrailerBytes;
    std::memcpy(&textLength, bytes.data() + trailer, sizeof textLength);
    std::memcpy(&madeLength, bytes.data() + trailer + sizeof textLength, sizeof madeLength);
    const auto outcome = static_cast<Outcome>(bytes.back());
    if (textLength > trailer || madeLength != trailer - textLength) {
        return Beyond("drawing it failed (its answer is incomplete)");
    }
    PictureResult result;
    result.failure = std::string(bytes.substr(trailer - textLength, textLength));
    switch (outcome) {
        case Outcome::made:
            result.end = PictureResult::End::made;
            result.bytes = std::move(answer).Prefix(static_cast<std::size_t>(madeLength));
            return result;
        case Outcome::failed:
            result.end = PictureResult::End::failed;
            return result;
        case Outcome::beyond:
        default:
            result.end = PictureResult::End::beyond;
            return result;
    }
}

PictureResult Draw(const PictureWork& work, std::size_t surfaceBytes) {
    const PictureBound bound = gBound;
    const int result = ::memfd_create("picture", MFD_CLOEXEC);
    if (result < 0) {
        return Beyond("no process could be started to draw it");
    }
    // The child's standard error: a file of a fixed size that it can't grow, its writes past the
    // end failing; how much it wrote is the offset it shares with this process.
    int output = ::memfd_create("picture-output", MFD_CLOEXEC | MFD_ALLOW_SEALING);
    if (output >= 0 && (::ftruncate(output, static_cast<off_t>(kChildOutputBytes)) != 0 ||
                        ::fcntl(output, F_ADD_SEALS, F_SEAL_GROW | F_SEAL_SHRINK) != 0)) {
        ::close(output);
        output = -1;
    }
    const pid_t parent = ::getpid();
    const std::size_t baseline = ResidentBytes(parent);
    // What the child may hold: what it shares with this process when it starts, the bound, and the
    // picture's surface and result; what it writes counts too.
    const std::size_t limit = baseline + bound.bytes + surfaceBytes;
    WallClock wall(Clock::now(), bound.wall);
    const pid_t child = ::fork();
    if (child == 0) {
        const std::size_t capacity = bound.bytes + surfaceBytes;
        SetUpChild(parent, result, output, bound, capacity);
        RunChild(work, bound, capacity);
    }
    if (child < 0) {
        ::close(result);
        CloseDescriptor(output);
        return Beyond("no process could be started to draw it");
    }
    const Watched watched = Watch(child, result, limit, wall);
    const std::string said = KeptOutput(output);
    CloseDescriptor(output);
#ifdef PLIM_PICTURE_UNDER_ASAN
    if (const std::optional<std::string> report = SanitizerReport(said)) {
        // A fault in the code the child ran: the sanitizer's report is this process's too.
        WriteAll(STDERR_FILENO, report->data(), report->size());
        constexpr std::string_view kEnd =
            "\nplimhost: the sanitizer reported the fault above while a picture was drawn\n";
        WriteAll(STDERR_FILENO, kEnd.data(), kEnd.size());
        std::abort();
    }
#endif
    WriteAll(STDERR_FILENO, said.data(), said.size());
    PictureResult judged = Judge(watched, result, bound);
    ::close(result);
    return judged;
}

}  // namespace

PictureBound CurrentPictureBound() {
    return gBound;
}

void SetPictureBound(const PictureBound& bound) {
    gBound = bound == PictureBound{} ? DefaultBound() : bound;
    gBound.cpuSeconds = std::max(gBound.cpuSeconds, 1u);
}

bool PictureOutput::Write(const void* data, std::size_t size) {
    if (size > capacity_ - std::min(capacity_, written_)) {
        full_ = true;
        return false;
    }
    if (!WriteAll(descriptor_, data, size)) {
        return false;
    }
    written_ += size;
    return true;
}

PictureBytes& PictureBytes::operator=(PictureBytes&& other) noexcept {
    if (this != &other) {
        Unmap();
        mapping_ = std::exchange(other.mapping_, nullptr);
        mapped_ = std::exchange(other.mapped_, 0);
        size_ = std::exchange(other.size_, 0);
    }
    return *this;
}

PictureBytes::~PictureBytes() {
    Unmap();
}

void PictureBytes::Unmap() noexcept {
    if (mapping_ != nullptr) {
        ::munmap(mapping_, mapped_);
        mapping_ = nullptr;
    }
}

PictureBytes PictureBytes::Prefix(std::size_t size) && {
    PictureBytes prefix = std::move(*this);
    prefix.size_ = std::min(prefix.size_, size);
    return prefix;
}

PictureResult DrawPictureApart(const PictureWork& work, std::size_t surfaceBytes) noexcept {
    try {
        PictureResult result = Draw(work, surfaceBytes);
        if (result.end == PictureResult::End::beyond) {
            const std::string line = "plimhost: the picture is refused: " + result.failure + "\n";
            WriteAll(STDERR_FILENO, line.data(), line.size());
        }
        return result;
    } catch (...) {
        return Beyond("no process could be started to draw it");
    }
}

}  // namespace host
