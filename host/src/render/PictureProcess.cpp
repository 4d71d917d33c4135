#include "render/PictureProcess.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/mman.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <map>
#include <memory>
#include <new>
#include <optional>

#include "render/PictureClock.h"
#include "render/RenderBudget.h"

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

// How much slower a build under the sanitizers runs its own code: its bound's times and allowances
// are this many times as long, so that an ordinary picture doesn't come near them there either.
#ifdef PLIM_PICTURE_UNDER_ASAN
constexpr unsigned kSlowdown = 4;
#else
constexpr unsigned kSlowdown = 1;
#endif

PictureBound DefaultBound() {
    PictureBound bound;
    bound.cpu *= kSlowdown;
    bound.wall *= kSlowdown;
    return bound;
}

PictureBound gBound = DefaultBound();

// The placed files' contents refused in this process, and why.
std::map<ContentId, std::string>& Refusals() {
    static std::map<ContentId, std::string> refused;
    return refused;
}

double Seconds(std::chrono::milliseconds duration) {
    return std::chrono::duration<double>(duration).count();
}

// What the pictures of the running job have left of its base, and the placed files they are to
// draw as frames (those that took the placed files' time), with the reason.
struct JobBudget {
    double art = 0.0;     // CPU seconds its art may take beyond its allowances
    double placed = 0.0;  // CPU seconds its placed files may take beyond what their bytes allow
    std::chrono::milliseconds wall{};
    std::map<ContentId, std::string> framed;
};

JobBudget FreshJob() {
    JobBudget job;
    job.art = Seconds(gBound.cpu);
    job.placed = 2.0 * Seconds(gBound.cpu);
    job.wall = gBound.wall;
    return job;
}

std::optional<JobBudget> gJob;
int gJobScopes = 0;

// The most times one picture is drawn again for placed files its bound stopped, before it fails as
// a whole.
constexpr int kMostRedraws = 4;

// What the child writes after what it made: the outcome, the failure's text, then their lengths,
// so that this process finds them at the end of what it read.
enum class Outcome : char { made = 'M', failed = 'F', beyond = 'B' };
constexpr std::size_t kTrailerBytes = sizeof(std::uint64_t) + sizeof(std::uint32_t) + 1;
constexpr std::size_t kLongestText = 64u << 10;
// The most of what the child wrote to its standard error (poppler's messages, the picture's own
// warnings) that is said here once it has ended.
constexpr std::size_t kChildOutputBytes = std::size_t{4} << 20;
// How often the child is looked at.
constexpr int kWatchMilliseconds = static_cast<int>(WallClock::kWatch.count());
// The descriptor the child writes what it made to, the others from it on closed.
constexpr int kChildResult = 3;

// A wall-clock time as a reader takes it: whole seconds, or milliseconds.
std::string WallText(std::chrono::milliseconds wall) {
    const auto count = wall.count();
    return count % 1000 == 0 ? std::to_string(count / 1000) + " s" : std::to_string(count) + " ms";
}

std::string Memory(std::size_t bytes) {
    if (bytes % (std::size_t{1} << 30) == 0) {
        return std::to_string(bytes >> 30) + " GiB";
    }
    return std::to_string(bytes >> 20) + " MiB";
}

// Seconds as a reader takes them: whole, or to a tenth; below a second, milliseconds.
std::string SecondsText(double seconds) {
    char text[32];
    if (seconds < 1.0) {
        std::snprintf(text, sizeof text, "%.0f ms", std::floor(std::max(seconds, 0.0) * 1000.0));
        return text;
    }
    const double tenths = std::floor(seconds * 10.0 + 1e-6) / 10.0;
    std::snprintf(text, sizeof text, tenths == std::floor(tenths) ? "%.0f s" : "%.1f s", tenths);
    return text;
}

std::string PastCpu(double seconds) {
    return "drawing it took more than the " + SecondsText(seconds) + " of CPU time the picture may take";
}

std::string PastPlacedCpu(double seconds) {
    return "drawing it took more than the " + SecondsText(seconds) + " of CPU time a placed file may take";
}

std::string PastPlacedFilesCpu(double seconds) {
    return "drawing its placed files took more than the " + SecondsText(seconds) +
           " of CPU time they may take";
}

std::string PastMemory(const PictureBound& bound) {
    return "drawing it needed more than the " + Memory(bound.bytes) + " of memory a picture may take";
}

std::string PastWall(std::chrono::milliseconds wall) {
    return "drawing it took more than the " + WallText(wall) + " the picture may take";
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
    char text[128];
    unsigned long long size = 0;
    unsigned long long resident = 0;
    if (!ReadProcessFile(process, "statm", text, sizeof text) ||
        std::sscanf(text, "%llu %llu", &size, &resident) != 2) {
        return 0;
    }
    return static_cast<std::size_t>(resident) * static_cast<std::size_t>(::sysconf(_SC_PAGESIZE));
}

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
// kept output and its result (a job's worker: its channel to this process) to descriptor 3, both
// files of memory, every other descriptor closed;
// the signals that end a process end it as they would any program (not through this process's
// handlers, which remove this process's temporary files), and those this process ignores (nohup)
// it ignores too, none held back; its CPU time is limited (SIGXCPU past the soft limit, which this
// process raises as the picture's bound grows; SIGKILL past the hard limit, the most the bound can
// ever reach, which a process without privileges can lower but not raise), no core file, and its
// result limited to what it may hold (a write past it fails rather than ending the child; a
// worker sets it at each picture). Its memory, with
// what it wrote, is watched by this process instead of limited here: an allocation refused
// (RLIMIT_AS) is one the decoders answer by drawing less (poppler's JBIG2 pages, libjpeg's
// coefficient arrays), and it rules out the sanitizers' shadow memory. librsvg's pool of threads
// keeps to one: the picture draws on one core.
void SetUpChild(pid_t parent, int kept, int output, const rlimit& cpu, const rlimit& written) {
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
    ::dup2(kept, kChildResult);
    CloseDescriptorsFrom(kChildResult + 1);
    for (const int signal : {SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGPIPE, SIGCHLD, SIGABRT}) {
        struct sigaction held {};
        if (::sigaction(signal, nullptr, &held) == 0 && held.sa_handler != SIG_IGN) {
            ::signal(signal, SIG_DFL);
        }
    }
    ::signal(SIGXFSZ, SIG_IGN);
    sigset_t none;
    sigemptyset(&none);
    ::sigprocmask(SIG_SETMASK, &none, nullptr);
    const rlimit noCore{0, 0};
    ::setrlimit(RLIMIT_CORE, &noCore);
    ::setrlimit(RLIMIT_CPU, &cpu);
    ::setrlimit(RLIMIT_FSIZE, &written);
    ::setenv("RAYON_NUM_THREADS", "1", 1);
}

// The most a picture's result file may hold: what it made, the failure's text and the trailer.
rlim_t ResultFileLimit(std::size_t capacity) {
    return capacity + kLongestText + kTrailerBytes;
}

// One picture in its process: the work, whatever it throws its answer too, then the trailer, in the
// result's file; false when they could not be written.
bool DrawAndAnswer(const PictureWork& work, int result, const PictureBound& bound, std::size_t capacity) {
    PictureOutput output(result, capacity);
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
    std::string answer = std::move(failure);
    answer.append(reinterpret_cast<const char*>(&textLength), sizeof textLength);
    answer.append(reinterpret_cast<const char*>(&madeLength), sizeof madeLength);
    answer.push_back(static_cast<char>(outcome));
    return WriteAll(result, answer.data(), answer.size());
}

// The child's whole life: its picture, then its end.
[[noreturn]] void RunChild(const PictureWork& work, const PictureBound& bound, std::size_t capacity) {
    const bool sent = DrawAndAnswer(work, kChildResult, bound, capacity);
    ::_exit(sent ? 0 : 1);  // no handler of this process's at exit, no flush of its buffers, no leak check
}

// What the child said on its standard error; the file then starts again for what is said next.
std::string KeptOutput(int output) {
    const off_t said = output < 0 ? -1 : ::lseek(output, 0, SEEK_CUR);
    if (said <= 0) {
        return {};
    }
    std::string text(std::min<std::size_t>(static_cast<std::size_t>(said), kChildOutputBytes), '\0');
    const ssize_t read = ::pread(output, text.data(), text.size(), 0);
    text.resize(read > 0 ? static_cast<std::size_t>(read) : 0);
    ::lseek(output, 0, SEEK_SET);
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

// What the child has written to its result so far (it writes the file from its start, in order,
// at the offset it shares with this process): what it uses besides its resident memory.
std::size_t WrittenBytes(int descriptor) {
    const off_t end = descriptor < 0 ? -1 : ::lseek(descriptor, 0, SEEK_CUR);
    return end > 0 ? static_cast<std::size_t>(end) : 0;
}

// The CPU time a process has taken, in nanoseconds; -1 when it can't be read.
std::int64_t CpuNanosecondsOf(clockid_t clock) {
    timespec taken{};
    if (::clock_gettime(clock, &taken) != 0) {
        return -1;
    }
    return static_cast<std::int64_t>(taken.tv_sec) * 1'000'000'000 + taken.tv_nsec;
}

constexpr double kNanosecond = 1e-9;

// The most bytes of placed files a picture's allowance grows by.
constexpr double kMostPlacedBytes = double(std::uint64_t{1} << 30);

// The bound of one drawing of a picture, which grows with what it has drawn (the child's meter):
// the CPU seconds of its own art (its allowances and slack, and what the job has left), of each
// placed file and of its placed files together, and the wall-clock time for both.
class GrowingBound {
public:
    GrowingBound(const PictureBound& base, const PictureLoad& load, const JobBudget& job)
        : base_(base), load_(load), job_(job) {}

    // What the art may take without spending the job's base: the allowances of what the picture
    // holds and has priced, and the slack of its process.
    double Allowed(const PictureMeter& meter) const {
        return Allowed(meter.pathWork.load(), meter.pixelWork.load());
    }

    double ArtSeconds(const PictureMeter& meter) const { return job_.art + Allowed(meter); }

    // What the placed files of this drawing may take together: what the job has left of theirs,
    // what their bytes allow, and the slack (to read files it then shows as their frames).
    double PlacedSeconds(const PictureMeter& meter) const { return job_.placed + PlacedAllowed(meter); }

    double PlacedAllowed(const PictureMeter& meter) const {
        return BytesSeconds(static_cast<double>(meter.placedBytes.load())) +
               Seconds(kPictureSlack) * kSlowdown;
    }

    // What one placed file may take: the base, and what its bytes allow.
    double FileSeconds(const PictureMeter& meter) const {
        return Seconds(base_.cpu) + BytesSeconds(static_cast<double>(meter.placedBytes.load()));
    }

    // The most the art and the placed files could ever be allowed together: every page's budget
    // priced to its end, and the most bytes of placed files. The child's hard limit of CPU time.
    double MostSeconds() const {
        const double pages = static_cast<double>(std::max<std::size_t>(load_.pages, 1));
        return job_.art + Allowed(pages * kPathWorkPerPicture, pages * PixelWorkOf(load_.pixels)) +
               job_.placed + BytesSeconds(kMostPlacedBytes);
    }

    // The job's wall-clock time left, and twice what the art is allowed and the placed files have
    // taken: a picture that waits for nothing draws within it, and one that waits (a pipe no one
    // writes) ends about when the job's base would.
    std::chrono::milliseconds Wall(const PictureMeter& meter, double placedTaken) const {
        return job_.wall + WallAllowed(meter, placedTaken);
    }

    std::chrono::milliseconds WallAllowed(const PictureMeter& meter, double placedTaken) const {
        const double grown = 2.0 * (Allowed(meter) - Seconds(kPictureSlack) * kSlowdown + placedTaken);
        return std::chrono::milliseconds(static_cast<long long>(std::min(grown, 1e9) * 1000.0));
    }

    static double BytesSeconds(double bytes) {
        return std::min(bytes, kMostPlacedBytes) * PictureAllowance::kPerPlacedByte * kSlowdown;
    }

private:
    double Allowed(double pathWork, double pixelWork) const {
        using A = PictureAllowance;
        const double grown = static_cast<double>(load_.pixels) * A::kPerSurfacePixel +
                             static_cast<double>(load_.objects) * A::kPerObject +
                             static_cast<double>(load_.points) * A::kPerPoint + pathWork * A::kPerPathWork +
                             pixelWork * A::kPerPixelWork;
        return (grown + Seconds(kPictureSlack)) * kSlowdown;
    }

    PictureBound base_;
    PictureLoad load_;
    const JobBudget& job_;
};

// The child's soft limit of CPU time for a bound of that many seconds: a second beyond it, so that
// the watch, not the limit, stops a picture past its bound while this process runs.
rlim_t SoftCpuLimit(double seconds) {
    return static_cast<rlim_t>(std::min(std::ceil(seconds) + 1.0, 1e9));
}

// How a drawing ended.
struct Watched {
    int status = 0;
    rusage usage{};
    bool killed = false;
    bool tooLarge = false;
    bool late = false;
    bool pastCpu = false;
    bool pastFile = false;        // the placed file being drawn took more than one may
    bool fileHadItsTime = false;  // and the placed files had that much time left when it began
    bool pastPlaced = false;      // the placed files together took more than they may
    bool inPlaced = false;        // it was drawing a placed file when it was killed
    double cpuSeconds = 0.0;
    double fileSeconds = 0.0;
    double placedSeconds = 0.0;
    std::chrono::milliseconds wall{};
    std::chrono::milliseconds taken{};  // the wall-clock time it took, as its watch judged it
    std::int64_t placedTaken = 0;       // the CPU time the placed files had taken
    double used = 0.0;                  // the CPU seconds the picture took
    bool answered = false;              // a job's worker drew it to the end and waits for the next
    rlim_t softCpu = 0;                 // the soft limit of CPU time the process had at the end
};

// The process a picture is drawn in, as it is watched: where it writes the picture's result, and
// for a job's worker, where it answers once it has drawn it, the CPU time (nanoseconds) it had
// taken before the picture, and the descriptor and CPU clock it is watched through (else found for
// the picture).
struct Watching {
    pid_t process = -1;
    int result = -1;
    int answer = -1;
    std::int64_t cpuStart = 0;
    int processFile = -1;
    std::optional<clockid_t> clock = std::nullopt;
};

// Whether the worker answered that it drew its picture.
bool Answered(int answer) {
    char done = 0;
    return ::recv(answer, &done, 1, MSG_DONTWAIT) == 1;
}

// The CPU time a reaped child took, in seconds.
double UsedSeconds(const rusage& usage) {
    const auto seconds = [](const timeval& time) {
        return static_cast<double>(time.tv_sec) + static_cast<double>(time.tv_usec) * 1e-6;
    };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

// Waits for the child to end, while its CPU time, its memory and the clock are watched against the
// bound as it grows with what the child has drawn: past it the child is killed. The child's own
// limit of CPU time follows, so that it stops even while this process is not there to watch. It is
// always reaped once it ends. A job's worker is watched the same way from the picture's start (its
// CPU time since, its soft limit that far beyond it) until it answers, and stays. The wait is on a
// descriptor of the process where the system has one (and on the worker's answer), so that the
// end is seen at once.
Watched Watch(const Watching& at, std::size_t limit, const GrowingBound& bound, PictureMeter& meter,
              WallClock& wall, rlimit cpuLimit) {
    Watched watched;
    const pid_t child = at.process;
    const int process =
        at.processFile >= 0 ? at.processFile : static_cast<int>(::syscall(SYS_pidfd_open, child, 0));
    clockid_t clock = at.clock.value_or(clockid_t{});
    const bool timed = at.clock.has_value() || ::clock_getcpuclockid(child, &clock) == 0;
    const double before = static_cast<double>(at.cpuStart) * kNanosecond;
    // One watch, or less when the child ends or the worker answers.
    const auto waitAWatch = [&] {
        pollfd ends[2]{{process, POLLIN, 0}, {at.answer, POLLIN, 0}};
        ::poll(ends, 2, kWatchMilliseconds);
    };
    // A picture drawn within one watch is not looked at before it ends.
    waitAWatch();
    for (;;) {
        if (at.answer >= 0 && !watched.killed && Answered(at.answer)) {
            watched.answered = true;
            break;
        }
        const pid_t ended = ::wait4(child, &watched.status, watched.killed ? 0 : WNOHANG, &watched.usage);
        if (ended == child || (ended < 0 && errno != EINTR)) {
            break;
        }
        if (ended != 0 || watched.killed) {
            continue;
        }
        const double art = bound.ArtSeconds(meter);
        const double placed = bound.PlacedSeconds(meter);
        meter.placedAllowed.store(static_cast<std::int64_t>(placed / kNanosecond));
        const std::int64_t cpu = timed ? CpuNanosecondsOf(clock) : -1;
        const std::int64_t since = meter.placedSince.load();
        const std::int64_t current = since > 0 && cpu > since ? cpu - since : 0;
        const std::int64_t placedTaken = meter.placedSpent.load() + current;
        watched.inPlaced = since > 0;
        watched.fileSeconds = bound.FileSeconds(meter);
        watched.pastFile =
            watched.inPlaced && static_cast<double>(current) * kNanosecond > watched.fileSeconds;
        watched.fileHadItsTime =
            static_cast<double>(meter.placedSpent.load()) * kNanosecond + watched.fileSeconds <=
            placed - Seconds(kPictureSlack) * kSlowdown;
        watched.pastPlaced = watched.inPlaced && static_cast<double>(placedTaken) * kNanosecond > placed;
        watched.pastCpu =
            cpu >= 0 && static_cast<double>(cpu - at.cpuStart - placedTaken) * kNanosecond > art;
        watched.tooLarge = ResidentBytes(child) + WrittenBytes(at.result) > limit;
        watched.wall = bound.Wall(meter, static_cast<double>(placedTaken) * kNanosecond);
        watched.late = wall.Past(child, watched.wall);
        watched.taken = std::chrono::duration_cast<std::chrono::milliseconds>(wall.Taken());
        watched.cpuSeconds = art;
        watched.placedSeconds = placed;
        watched.placedTaken = placedTaken;
        if (watched.pastFile || watched.pastPlaced || watched.pastCpu || watched.tooLarge || watched.late) {
            ::kill(child, SIGKILL);
            watched.killed = true;
            continue;
        }
        // The child's own soft limit, a little beyond the bound, raised as the bound grows up to
        // the hard limit set at its start; a raise the system refuses is asked for again.
        const rlim_t wanted = std::min(SoftCpuLimit(before + art + placed), cpuLimit.rlim_max);
        if (wanted > cpuLimit.rlim_cur) {
            const rlimit raised{wanted, cpuLimit.rlim_max};
            if (::prlimit(child, RLIMIT_CPU, &raised, nullptr) == 0) {
                cpuLimit = raised;
            }
        }
        waitAWatch();
    }
    if (process != at.processFile) {
        CloseDescriptor(process);
    }
    watched.softCpu = cpuLimit.rlim_cur;
    if (watched.answered) {
        const std::int64_t cpu = timed ? CpuNanosecondsOf(clock) : -1;
        watched.used = cpu >= 0 ? static_cast<double>(cpu - at.cpuStart) * kNanosecond : 0.0;
    } else {
        watched.used = UsedSeconds(watched.usage) - before;
    }
    return watched;
}

PictureResult Beyond(std::string reason) {
    PictureResult result;
    result.end = PictureResult::End::beyond;
    result.failure = std::move(reason);
    return result;
}

// A job's worker writes each picture's result to one file of memory, from its start, and this
// process keeps it mapped: a picture's result that fits finds its pages there, neither asked of
// the system nor mapped anew. A picture's bytes hold it (their lease) until they are read; the
// next picture then gets another file, and so does the one after a result too large to keep.
constexpr std::size_t kKeptResultBytes = std::size_t{64} << 20;

struct KeptResult {
    int file = -1;
    void* mapping = MAP_FAILED;
    std::size_t largest = 0;  // the most a picture has written to it

    KeptResult() = default;
    KeptResult(const KeptResult&) = delete;
    KeptResult& operator=(const KeptResult&) = delete;
    ~KeptResult() {
        if (mapping != MAP_FAILED) {
            ::munmap(mapping, kKeptResultBytes);
        }
        CloseDescriptor(file);
    }

    // None when it can't be made.
    static std::shared_ptr<KeptResult> Make() {
        auto kept = std::make_shared<KeptResult>();
        kept->file = ::memfd_create("picture-result", MFD_CLOEXEC);
        if (kept->file < 0) {
            return nullptr;
        }
        kept->mapping = ::mmap(nullptr, kKeptResultBytes, PROT_READ, MAP_SHARED, kept->file, 0);
        return kept->mapping == MAP_FAILED ? nullptr : kept;
    }
};

// What the child wrote to its result, size bytes, mapped; empty when it wrote nothing or it can't
// be mapped. A kept result's bytes are read where this process keeps it mapped, when they fit.
PictureBytes MapWritten(int result, std::size_t size, const std::shared_ptr<KeptResult>& kept) {
    if (size == 0) {
        return {};
    }
    if (kept != nullptr && size <= kKeptResultBytes) {
        return PictureBytes(kept->mapping, size, kept);
    }
    // Shared with the file and writable, so that what is read can be given back (GiveBack, which
    // takes the pages from the file itself) as it is taken; nothing writes to it.
    void* mapping = ::mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_SHARED | MAP_POPULATE, result, 0);
    if (mapping == MAP_FAILED) {
        return {};
    }
    return PictureBytes(mapping, size, size);
}

// The reason the bound stopped the child, when it did.
std::optional<std::string> PastTheBound(const Watched& watched, const PictureBound& bound) {
    const bool signalled = WIFSIGNALED(watched.status);
    if (watched.pastFile && watched.fileHadItsTime) {
        return PastPlacedCpu(watched.fileSeconds);
    }
    if (watched.pastFile || watched.pastPlaced) {
        return PastPlacedFilesCpu(watched.placedSeconds);
    }
    if (watched.tooLarge) {
        return PastMemory(bound);
    }
    if (watched.pastCpu || (signalled && WTERMSIG(watched.status) == SIGXCPU)) {
        return PastCpu(watched.cpuSeconds);
    }
    if (watched.late) {
        return PastWall(watched.wall);
    }
    return std::nullopt;
}

// The result from what the child wrote and how it ended.
PictureResult Judge(const Watched& watched, int written, const std::shared_ptr<KeptResult>& kept,
                    const PictureBound& bound) {
    const std::size_t size = WrittenBytes(written);
    if (kept != nullptr) {
        kept->largest = std::max(kept->largest, size);
    }
    if (const std::optional<std::string> reason = PastTheBound(watched, bound)) {
        return Beyond(*reason);
    }
    PictureBytes answer = MapWritten(written, size, kept);
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

// The page the child's meter lives in, shared with it.
class SharedMeter {
public:
    // None unless mapped.
    explicit SharedMeter(bool mapped = true) {
        if (!mapped) {
            return;
        }
        void* page =
            ::mmap(nullptr, sizeof(PictureMeter), PROT_READ | PROT_WRITE, MAP_SHARED | MAP_ANONYMOUS, -1, 0);
        meter_ = page == MAP_FAILED ? nullptr : new (page) PictureMeter();
    }
    ~SharedMeter() {
        if (meter_ != nullptr) {
            meter_->~PictureMeter();
            ::munmap(meter_, sizeof(PictureMeter));
        }
    }
    SharedMeter(const SharedMeter&) = delete;
    SharedMeter& operator=(const SharedMeter&) = delete;

    PictureMeter* get() const { return meter_; }

private:
    PictureMeter* meter_ = nullptr;
};

// One drawing of a picture: the placed file its bound stopped it in, when that file took more than a
// file may (or the memory or the wall-clock time it may) and its content was read; and whether its
// placed files together took all the time left to them.
struct Drawing {
    PictureResult result;
    std::optional<ContentId> stoppedIn;
    std::string stoppedFile;
    bool placedTimeSpent = false;
    // What it took of its job's base: CPU seconds of its art beyond its allowances, of its placed
    // files beyond what their bytes allow, and wall-clock time beyond its own.
    double artSpent = 0.0;
    double placedSpent = 0.0;
    std::chrono::milliseconds wallSpent{};
    // The placed files that took more than their bytes allow: those that took the placed time; and
    // those shown as frames once they had no time left.
    std::vector<ContentId> costlyFiles;
    std::vector<ContentId> framedFiles;
};

// What the drawing took of its job's base, and which placed files took more than their bytes
// allow, from the child's meter once it has ended.
void Account(Drawing& drawing, const Watched& watched, const GrowingBound& growing,
             const PictureMeter& meter) {
    // A file still being drawn was stopped: what it took is what the watch saw last.
    const bool unfinished = meter.placedSince.load() > 0;
    std::int64_t placedTaken = meter.placedSpent.load();
    if (unfinished) {
        placedTaken = std::max(placedTaken, watched.placedTaken);
    }
    const double placed = static_cast<double>(placedTaken) * kNanosecond;
    const double art = watched.used - placed;
    drawing.artSpent = std::max(0.0, art - growing.Allowed(meter));
    drawing.placedSpent = std::max(0.0, placed - growing.PlacedAllowed(meter));
    drawing.wallSpent =
        std::max(std::chrono::milliseconds{}, watched.taken - growing.WallAllowed(meter, placed));
    const auto costly = [&](const ContentId& content, std::uint64_t bytes, std::int64_t taken) {
        if (static_cast<double>(taken) * kNanosecond >
            GrowingBound::BytesSeconds(static_cast<double>(bytes))) {
            drawing.costlyFiles.push_back(content);
        }
    };
    const int drawn = std::min(meter.drawnFiles.load(), PictureMeter::kDrawnFiles);
    for (int i = 0; i < drawn; ++i) {
        costly(meter.drawn[i].content, meter.drawn[i].bytes, meter.drawn[i].taken);
    }
    if (unfinished && meter.placedKnown.load()) {
        costly(meter.placedContent, meter.placedContentBytes, placedTaken - meter.placedSpent.load());
    }
    const int framed = std::min(meter.framedFiles.load(), PictureMeter::kDrawnFiles);
    drawing.framedFiles.assign(meter.framed, meter.framed + framed);
}

// The file of memory a picture's process says on its standard error to: of a fixed size that it
// can't grow, its writes past the end failing; how much it wrote is the offset it shares with this
// process. -1 when it can't be made.
int KeptOutputFile() {
    int output = ::memfd_create("picture-output", MFD_CLOEXEC | MFD_ALLOW_SEALING);
    if (output >= 0 && (::ftruncate(output, static_cast<off_t>(kChildOutputBytes)) != 0 ||
                        ::fcntl(output, F_ADD_SEALS, F_SEAL_GROW | F_SEAL_SHRINK) != 0)) {
        ::close(output);
        output = -1;
    }
    return output;
}

// What changes the refusals and frames of placed files a picture's process consults
// (RefusedContent) are at: a worker started before the last change no longer draws.
std::uint64_t gRefusalChanges = 0;

// What the worker is told for each picture, with the files of its recipe and its result.
// A recipe up to this size comes with the order itself; a larger one in a file of its own.
struct WorkerOrder {
    PictureRecipeWork draw = nullptr;
    std::uint64_t capacity = 0;
    std::uint64_t recipeSize = 0;
};
constexpr std::size_t kOrderedRecipe = 32u << 10;

// How far the CPU time a worker may take goes beyond what its first picture may ever reach: its
// hard limit, which it can't raise and this process can't either; a picture that could take it
// beyond starts another worker.
constexpr double kWorkerPictures = 2.0;
// How much the worker's resident memory may grow beyond what it held at its start, for what its
// pictures keep (caches, the allocator's free pages), before another worker is started: a
// picture's memory is watched from what the worker holds when it starts.
constexpr std::size_t kWorkerGrowth = std::size_t{256} << 20;

// The job's worker: a process forked from this one that draws the pictures it is told, one at a
// time, until it is retired (killed and reaped: its CPU time is this process's children's).
class Worker {
public:
    Worker() = default;
    Worker(const Worker&) = delete;
    Worker& operator=(const Worker&) = delete;
    ~Worker() {
        if (process_ > 0) {
            ::kill(process_, SIGKILL);
            int status = 0;
            while (::waitpid(process_, &status, 0) < 0 && errno == EINTR) {
            }
        }
        CloseDescriptor(channel_);
        CloseDescriptor(output_);
        CloseDescriptor(processFile_);
    }

    // A worker holding what this process holds now, under the bound, its CPU time limited to
    // kWorkerPictures times what a picture may ever take (most); null when none can be started.
    static std::unique_ptr<Worker> Start(const PictureHeld& held, const PictureBound& bound, double most);

    // Whether it may draw a picture under this bound that may take most CPU seconds.
    bool Serves(const PictureBound& bound, double most) const {
        return process_ > 0 && bound == bound_ && refusals_ == gRefusalChanges &&
               static_cast<double>(Cpu()) * kNanosecond + most + 1.0 < static_cast<double>(hardCpu_) &&
               resident_ <= startResident_ + kWorkerGrowth;
    }

    // Tells it to draw: the recipe in a file of its own, the result's file. False when it can't be
    // told (it ended).
    bool Order(PictureRecipeWork draw, std::string_view recipe, int result, std::size_t capacity) const;

    // Its CPU time so far, in nanoseconds; 0 when it can't be read.
    std::int64_t Cpu() const { return timed_ ? std::max<std::int64_t>(CpuNanosecondsOf(clock_), 0) : 0; }

    // It ended (and was reaped) while it drew.
    void Ended() { process_ = -1; }

    // Its resident bytes as a picture starts.
    std::size_t Resident() {
        resident_ = ResidentBytes(process_);
        return resident_;
    }

    // The file its next picture's result is to be written to, from its start: the one it keeps,
    // unless a picture's bytes still hold that or it holds more than a result kept may; none when
    // none can be made.
    std::shared_ptr<KeptResult> FreeResult() {
        if (kept_ != nullptr && (kept_.use_count() > 1 || kept_->largest > kKeptResultBytes)) {
            kept_.reset();
        }
        if (kept_ == nullptr) {
            kept_ = KeptResult::Make();
        }
        if (kept_ != nullptr && ::lseek(kept_->file, 0, SEEK_SET) != 0) {
            kept_.reset();
        }
        return kept_;
    }

    // How it is watched: a descriptor of its process, its CPU clock (none when it can't be read).
    Watching Watched(int result) const {
        Watching at{process_, result, channel_, Cpu(), processFile_};
        if (timed_) {
            at.clock = clock_;
        }
        return at;
    }

    // The soft limit of CPU time it has, as this process last set it.
    rlim_t softCpu() const { return softCpu_; }
    void SetSoftCpu(rlim_t limit) { softCpu_ = limit; }

    pid_t process() const { return process_; }
    int channel() const { return channel_; }
    int output() const { return output_; }
    PictureMeter& meter() const { return *meter_.get(); }
    const PictureHeld& held() const { return held_; }
    rlim_t hardCpu() const { return hardCpu_; }

private:
    pid_t process_ = -1;
    int processFile_ = -1;
    int channel_ = -1;
    int output_ = -1;
    SharedMeter meter_;
    PictureHeld held_;
    PictureBound bound_;
    std::uint64_t refusals_ = 0;
    rlim_t hardCpu_ = 0;
    rlim_t softCpu_ = 0;
    std::size_t startResident_ = 0;
    std::size_t resident_ = 0;  // when its last picture started
    std::shared_ptr<KeptResult> kept_;
    clockid_t clock_{};
    bool timed_ = false;
};

std::unique_ptr<Worker> gWorker;

// The worker's life: each order drawn as a child draws its picture (the result's file limited to
// what it may hold), answered on the channel once written; it ends when this process closes the
// channel, or it can't answer.
[[noreturn]] void RunWorker(const PictureBound& bound) {
    std::string ordered(kOrderedRecipe, '\0');
    rlim_t resultLimit = RLIM_INFINITY;  // as set at its start
    for (;;) {
        WorkerOrder order;
        iovec parts[2]{{&order, sizeof order}, {ordered.data(), ordered.size()}};
        alignas(cmsghdr) char control[CMSG_SPACE(2 * sizeof(int))] = {};
        msghdr message{};
        message.msg_iov = parts;
        message.msg_iovlen = 2;
        message.msg_control = control;
        message.msg_controllen = sizeof control;
        ssize_t received = 0;
        do {
            received = ::recvmsg(kChildResult, &message, MSG_CMSG_CLOEXEC);
        } while (received < 0 && errno == EINTR);
        const cmsghdr* rights = CMSG_FIRSTHDR(&message);
        if (received < static_cast<ssize_t>(sizeof order) || rights == nullptr ||
            rights->cmsg_type != SCM_RIGHTS) {
            ::_exit(0);  // this process closed the channel, or told it nothing it can draw
        }
        const auto size = static_cast<std::size_t>(order.recipeSize);
        const bool inOrder = size <= kOrderedRecipe;
        const std::size_t files = inOrder ? 1 : 2;
        if (rights->cmsg_len != CMSG_LEN(files * sizeof(int)) ||
            (inOrder && static_cast<std::size_t>(received) != sizeof order + size)) {
            ::_exit(1);
        }
        int file[2] = {-1, -1};
        std::memcpy(file, CMSG_DATA(rights), files * sizeof(int));
        const int result = file[files - 1];
        void* mapping = inOrder ? nullptr : ::mmap(nullptr, size, PROT_READ, MAP_PRIVATE, file[0], 0);
        if (mapping == MAP_FAILED) {
            ::_exit(1);
        }
        const std::string_view recipe = inOrder ? std::string_view(ordered.data(), size)
                                                : std::string_view(static_cast<const char*>(mapping), size);
        const rlim_t most = ResultFileLimit(static_cast<std::size_t>(order.capacity));
        if (most != resultLimit) {
            const rlimit written{most, RLIM_INFINITY};
            ::setrlimit(RLIMIT_FSIZE, &written);
            resultLimit = most;
        }
        const bool sent = DrawAndAnswer(
            [&](PictureOutput& output, std::string& failure) { return order.draw(recipe, output, failure); },
            result, bound, static_cast<std::size_t>(order.capacity));
        if (mapping != nullptr) {
            ::munmap(mapping, size);
        }
        for (std::size_t i = 0; i < files; ++i) {
            ::close(file[i]);
        }
        const char done = 'D';
        if (!sent || ::send(kChildResult, &done, 1, MSG_NOSIGNAL) != 1) {
            ::_exit(1);
        }
    }
}

std::unique_ptr<Worker> Worker::Start(const PictureHeld& held, const PictureBound& bound, double most) {
    auto worker = std::make_unique<Worker>();
    int channel[2];
    if (worker->meter_.get() == nullptr ||
        ::socketpair(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0, channel) != 0) {
        return nullptr;
    }
    worker->output_ = KeptOutputFile();
    worker->held_ = held;
    worker->bound_ = bound;
    worker->refusals_ = gRefusalChanges;
    worker->hardCpu_ = SoftCpuLimit(kWorkerPictures * most);
    const rlimit cpuLimit{SoftCpuLimit(most), worker->hardCpu_};
    const rlimit written{RLIM_INFINITY, RLIM_INFINITY};
    const pid_t parent = ::getpid();
    const pid_t child = ::fork();
    if (child == 0) {
        SetUpChild(parent, channel[1], worker->output_, cpuLimit, written);
        gPictureMeter = worker->meter_.get();
        RunWorker(bound);
    }
    ::close(channel[1]);
    worker->channel_ = channel[0];
    if (child < 0) {
        return nullptr;
    }
    worker->process_ = child;
    worker->processFile_ = static_cast<int>(::syscall(SYS_pidfd_open, child, 0));
    worker->softCpu_ = cpuLimit.rlim_cur;
    worker->timed_ = ::clock_getcpuclockid(child, &worker->clock_) == 0;
    worker->startResident_ = ResidentBytes(child);
    worker->resident_ = worker->startResident_;
    return worker;
}

bool Worker::Order(PictureRecipeWork draw, std::string_view recipe, int result, std::size_t capacity) const {
    const bool inOrder = recipe.size() <= kOrderedRecipe;
    const int file = inOrder ? -1 : ::memfd_create("picture-recipe", MFD_CLOEXEC);
    if (!inOrder && (file < 0 || !WriteAll(file, recipe.data(), recipe.size()))) {
        CloseDescriptor(file);
        return false;
    }
    WorkerOrder order{draw, capacity, recipe.size()};
    iovec parts[2]{{&order, sizeof order}, {const_cast<char*>(recipe.data()), inOrder ? recipe.size() : 0}};
    const std::size_t files = inOrder ? 1 : 2;
    alignas(cmsghdr) char control[CMSG_SPACE(2 * sizeof(int))] = {};
    msghdr message{};
    message.msg_iov = parts;
    message.msg_iovlen = 2;
    message.msg_control = control;
    message.msg_controllen = CMSG_SPACE(files * sizeof(int));
    cmsghdr* rights = CMSG_FIRSTHDR(&message);
    rights->cmsg_level = SOL_SOCKET;
    rights->cmsg_type = SCM_RIGHTS;
    rights->cmsg_len = CMSG_LEN(files * sizeof(int));
    const int sent[2] = {inOrder ? result : file, result};
    std::memcpy(CMSG_DATA(rights), sent, files * sizeof(int));
    ssize_t written = 0;
    do {
        written = ::sendmsg(channel_, &message, MSG_NOSIGNAL);
    } while (written < 0 && errno == EINTR);
    CloseDescriptor(file);
    return written == static_cast<ssize_t>(sizeof order + (inOrder ? recipe.size() : 0));
}

// A picture a job's worker is to draw, and how its recipe is made.
struct InWorker {
    PictureRecipeWork draw;
    const PictureRecipe& recipe;
    PictureHeld held;
};

// The worker to draw the picture, its recipe made for it: the job's worker when it serves the
// bound and still holds what the recipe names (or the recipe can carry it), else a new one; null
// when none can be started or the recipe can't be made (the picture is then drawn in a process of
// its own).
Worker* ReadyWorker(const InWorker& picture, const PictureBound& bound, double most, std::string& recipe) {
    if (gWorker && !gWorker->Serves(bound, most)) {
        gWorker.reset();
    }
    if (gWorker) {
        if (std::optional<std::string> made = picture.recipe(gWorker->held() == picture.held)) {
            recipe = std::move(*made);
            return gWorker.get();
        }
        gWorker.reset();
    }
    gWorker = Worker::Start(picture.held, bound, most);
    std::optional<std::string> made = gWorker ? picture.recipe(true) : std::nullopt;
    if (!made) {
        return nullptr;
    }
    recipe = std::move(*made);
    return gWorker.get();
}

// The CPU time limits a picture starts under in a process that had taken before seconds: the soft
// limit a little beyond the bound, the hard one hard.
rlimit StartingCpuLimit(const GrowingBound& growing, const PictureMeter& meter, double before, rlim_t hard) {
    return {std::min(SoftCpuLimit(before + growing.ArtSeconds(meter) + growing.PlacedSeconds(meter)), hard),
            hard};
}

// Starts the picture in the worker and watches it: what its process took, and what it said. None
// when it could not be told to draw (the worker is then retired).
std::optional<Watched> DrawInWorker(Worker& worker, PictureRecipeWork draw, std::string_view recipe,
                                    int result, std::size_t capacity, const GrowingBound& growing,
                                    std::string& said) {
    PictureMeter& meter = worker.meter();
    const Watching at = worker.Watched(result);
    const std::size_t limit = worker.Resident() + capacity;
    const double before = static_cast<double>(at.cpuStart) * kNanosecond;
    rlimit cpuLimit = StartingCpuLimit(growing, meter, before, worker.hardCpu());
    if (cpuLimit.rlim_cur != worker.softCpu() &&
        ::prlimit(worker.process(), RLIMIT_CPU, &cpuLimit, nullptr) != 0) {
        cpuLimit.rlim_cur = worker.softCpu();  // as it was: the watch raises it as the bound grows
    }
    WallClock wall(Clock::now(), worker.process());
    if (!worker.Order(draw, recipe, result, capacity)) {
        gWorker.reset();
        return std::nullopt;
    }
    const Watched watched = Watch(at, limit, growing, meter, wall, cpuLimit);
    worker.SetSoftCpu(watched.softCpu);
    said = KeptOutput(worker.output());
    if (!watched.answered) {
        worker.Ended();  // reaped
    }
    return watched;
}

// Draws the picture in a process of its own and watches it: what its process took, and what it
// said. None when no process could be started.
std::optional<Watched> DrawInOwnProcess(const PictureWork& work, int result, std::size_t capacity,
                                        const GrowingBound& growing, const PictureBound& bound,
                                        PictureMeter& meter, std::string& said) {
    const int output = KeptOutputFile();
    const pid_t parent = ::getpid();
    // What the child may hold: what it shares with this process when it starts, the bound, and the
    // picture's surface and result; what it writes counts too.
    const std::size_t limit = ResidentBytes(parent) + capacity;
    // The hard limit is the most the bound can ever reach; the soft limit follows the bound.
    const rlimit cpuLimit = StartingCpuLimit(growing, meter, 0.0, SoftCpuLimit(growing.MostSeconds()));
    WallClock wall(Clock::now());
    const pid_t child = ::fork();
    if (child == 0) {
        const rlimit written{ResultFileLimit(capacity), ResultFileLimit(capacity)};
        SetUpChild(parent, result, output, cpuLimit, written);
        gPictureMeter = &meter;
        RunChild(work, bound, capacity);
    }
    if (child < 0) {
        CloseDescriptor(output);
        return std::nullopt;
    }
    const Watched watched = Watch(Watching{child, result}, limit, growing, meter, wall, cpuLimit);
    said = KeptOutput(output);
    CloseDescriptor(output);
    return watched;
}

Drawing Draw(const PictureWork& work, const InWorker* inWorker, const PictureLoad& load, const JobBudget& job,
             bool framesOnly) {
    Drawing drawing;
    const PictureBound bound = gBound;
    // Showing placed files as frames, the picture still reads them to know them: reading is
    // allowed a file's time.
    JobBudget framing;
    if (framesOnly) {
        framing.art = job.art;
        framing.placed = Seconds(bound.cpu);
        framing.wall = job.wall;
    }
    const GrowingBound growing(bound, load, framesOnly ? framing : job);
    const std::size_t capacity = bound.bytes + load.bytes;
    std::string recipe;
    Worker* worker =
        inWorker != nullptr ? ReadyWorker(*inWorker, bound, growing.MostSeconds(), recipe) : nullptr;
    const SharedMeter shared(worker == nullptr);
    PictureMeter* page = worker != nullptr ? &worker->meter() : shared.get();
    if (page == nullptr) {
        drawing.result = Beyond("no process could be started to draw it");
        return drawing;
    }
    PictureMeter& meter = *page;
    if (worker != nullptr) {
        meter.~PictureMeter();  // the worker's page, fresh for the picture while the worker waits
        new (&meter) PictureMeter();
    }
    meter.framesOnly.store(framesOnly);
    meter.placedAllowed.store(static_cast<std::int64_t>(growing.PlacedSeconds(meter) / kNanosecond));
    // Held here too, so that it outlives a worker retired while it draws.
    const std::shared_ptr<KeptResult> kept = worker != nullptr ? worker->FreeResult() : nullptr;
    const int result = kept != nullptr ? kept->file : ::memfd_create("picture", MFD_CLOEXEC);
    if (result < 0) {
        drawing.result = Beyond("no process could be started to draw it");
        return drawing;
    }
    const auto closeResult = [&] {
        if (kept == nullptr) {
            ::close(result);
        }
    };
    std::string said;
    std::optional<Watched> drawn;
    if (worker != nullptr) {
        drawn = DrawInWorker(*worker, inWorker->draw, recipe, result, capacity, growing, said);
        if (!drawn) {
            // The worker could not be told: the picture is drawn in a process of its own.
            closeResult();
            return Draw(work, nullptr, load, job, framesOnly);
        }
    } else {
        drawn = DrawInOwnProcess(work, result, capacity, growing, bound, meter, said);
        if (!drawn) {
            closeResult();
            drawing.result = Beyond("no process could be started to draw it");
            return drawing;
        }
    }
    const Watched& watched = *drawn;
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
    drawing.result = Judge(watched, result, kept, bound);
    closeResult();
    // Stopped while it drew a placed file (nothing of the page lies, the child is gone): that file
    // is to blame when it took more than one file may while the placed files had that much left
    // for it, or the memory or the wall-clock time, and its content was read; otherwise the files
    // together took their time.
    Account(drawing, watched, growing, meter);
    const bool stoppedInPlaced =
        drawing.result.end == PictureResult::End::beyond && watched.killed && watched.inPlaced;
    const bool toBlame = (watched.pastFile && watched.fileHadItsTime) || watched.tooLarge || watched.late;
    if (stoppedInPlaced && toBlame && meter.placedKnown.load()) {
        drawing.stoppedIn = meter.placedContent;
        drawing.stoppedFile.assign(meter.placedFile, strnlen(meter.placedFile, sizeof meter.placedFile));
    } else if (stoppedInPlaced && (watched.pastFile || watched.pastPlaced)) {
        drawing.placedTimeSpent = true;
    }
    if (worker != nullptr && !watched.answered) {
        // It ended while it drew (killed at the bound, or it failed): the next picture starts another.
        gWorker.reset();
    }
    return drawing;
}

// Draws the picture (drawOnce, with what its job has left and whether its placed files are to be
// shown as frames), again while the bound stops it in placed files; the job's accounts kept.
PictureResult DrawAgainWhileRefused(
    const std::function<Drawing(const JobBudget& job, bool framesOnly)>& drawOnce) {
    const PictureJob scope;  // a picture drawn outside a job is a job of its own
    JobBudget& job = *gJob;
    const auto frame = [&](const ContentId& content) {
        if (job.framed.emplace(content, PastPlacedFilesCpu(2.0 * Seconds(gBound.cpu))).second) {
            ++gRefusalChanges;
        }
    };
    // A file the bound stopped is refused and the picture drawn again; once the files have taken
    // all their time, the picture is drawn again showing those that took it as frames, and so
    // does every later picture of the job.
    bool framesOnly = false;
    for (int redraws = 0;; ++redraws) {
        Drawing drawing = drawOnce(job, framesOnly);
        for (const ContentId& content : drawing.framedFiles) {
            frame(content);
        }
        job.art = std::max(0.0, job.art - drawing.artSpent);
        job.placed = std::max(0.0, job.placed - drawing.placedSpent);
        if (job.placed == 0.0) {
            // The files that took the job's placed time are shown as frames from now on.
            for (const ContentId& content : drawing.costlyFiles) {
                frame(content);
            }
        }
        job.wall = std::max(std::chrono::milliseconds{}, job.wall - drawing.wallSpent);
        const bool again = redraws < kMostRedraws;
        if (drawing.stoppedIn && again) {
            if (Refusals().emplace(*drawing.stoppedIn, drawing.result.failure).second) {
                ++gRefusalChanges;
            }
            const std::string line = "plimhost: the placed file " + drawing.stoppedFile +
                                     " is refused while plimhost runs: " + drawing.result.failure +
                                     "; the picture is drawn again without it\n";
            WriteAll(STDERR_FILENO, line.data(), line.size());
            continue;
        }
        if (drawing.placedTimeSpent && again) {
            job.placed = 0.0;
            framesOnly = true;
            for (const ContentId& content : drawing.costlyFiles) {
                frame(content);
            }
            const std::string line =
                "plimhost: the picture is drawn again, the placed files it has no time "
                "left for as their frames: " +
                drawing.result.failure + "\n";
            WriteAll(STDERR_FILENO, line.data(), line.size());
            continue;
        }
        if (drawing.result.end == PictureResult::End::beyond) {
            const std::string line = "plimhost: the picture is refused: " + drawing.result.failure + "\n";
            WriteAll(STDERR_FILENO, line.data(), line.size());
        }
        return std::move(drawing.result);
    }
}

}  // namespace

ContentId IdentifyContent(std::string_view bytes) {
    return ContentId{bytes.size(), std::hash<std::string_view>{}(bytes)};
}

std::int64_t ProcessCpuNanoseconds() {
    return std::max<std::int64_t>(CpuNanosecondsOf(CLOCK_PROCESS_CPUTIME_ID), 1);
}

PlacedFileWork::PlacedFileWork() {
    if (gPictureMeter != nullptr && gPictureMeter->placedSince.load() == 0) {
        gPictureMeter->placedKnown.store(false);
        gPictureMeter->placedExcused.store(false);
        gPictureMeter->placedSince.store(ProcessCpuNanoseconds());
        started_ = true;
    }
}

PlacedFileWork::~PlacedFileWork() {
    if (started_) {
        const std::int64_t taken =
            gPictureMeter->placedExcused.exchange(false)
                ? 0
                : std::max<std::int64_t>(ProcessCpuNanoseconds() - gPictureMeter->placedSince.load(), 0);
        const int drawn = gPictureMeter->drawnFiles.load();
        if (gPictureMeter->placedKnown.load() && drawn < PictureMeter::kDrawnFiles) {
            gPictureMeter->drawn[drawn] = {gPictureMeter->placedContent, gPictureMeter->placedContentBytes,
                                           taken};
            gPictureMeter->drawnFiles.store(drawn + 1);
        }
        gPictureMeter->placedSpent.fetch_add(taken);
        gPictureMeter->placedSince.store(0);
        gPictureMeter->placedKnown.store(false);
    }
}

bool PlacedFileWork::TimeSpent() {
    return gPictureMeter != nullptr &&
           gPictureMeter->placedSpent.load() > gPictureMeter->placedAllowed.load();
}

void NotePlacedContent(const ContentId& content, const std::filesystem::path& file, std::size_t bytes) {
    if (gPictureMeter == nullptr) {
        return;
    }
    gPictureMeter->placedBytes.fetch_add(bytes);
    if (gPictureMeter->placedSince.load() == 0) {
        return;
    }
    gPictureMeter->placedContent = content;
    if (bytes > 0 || !gPictureMeter->placedKnown.load()) {
        gPictureMeter->placedContentBytes = bytes;
    }
    const std::string& path = file.native();
    const std::size_t length = std::min(path.size(), sizeof gPictureMeter->placedFile - 1);
    std::memcpy(gPictureMeter->placedFile, path.data(), length);
    gPictureMeter->placedFile[length] = '\0';
    gPictureMeter->placedKnown.store(true);
}

void ExcusePlacedReading() {
    if (gPictureMeter != nullptr && gPictureMeter->placedSince.load() > 0) {
        gPictureMeter->placedKnown.store(false);
        gPictureMeter->placedExcused.store(true);
        gPictureMeter->placedSince.store(ProcessCpuNanoseconds());
    }
}

bool ShownAsFrameForTime(const ContentId& content) {
    if (gPictureMeter == nullptr || !gPictureMeter->framesOnly.load()) {
        return false;
    }
    const int framed = gPictureMeter->framedFiles.load();
    if (framed < PictureMeter::kDrawnFiles) {
        gPictureMeter->framed[framed] = content;
        gPictureMeter->framedFiles.store(framed + 1);
    }
    return true;
}

const std::string* RefusedContent(const ContentId& content) {
    if (const auto found = Refusals().find(content); found != Refusals().end()) {
        return &found->second;
    }
    if (gJob) {
        if (const auto found = gJob->framed.find(content); found != gJob->framed.end()) {
            return &found->second;
        }
    }
    return nullptr;
}

PictureJob::PictureJob() {
    if (gJobScopes++ == 0) {
        gJob = FreshJob();
    }
}

PictureJob::~PictureJob() {
    if (--gJobScopes == 0) {
        gJob.reset();
        // What the worker holds is the job's: it ends with it.
        gWorker.reset();
    }
}

void ForgetRefusedContent() {
    Refusals().clear();
    ++gRefusalChanges;
}

PictureBound CurrentPictureBound() {
    return gBound;
}

void SetPictureBound(const PictureBound& bound) {
    gBound = bound == PictureBound{} ? DefaultBound() : bound;
    gBound.cpu = std::max(gBound.cpu, std::chrono::milliseconds(1));
}

void SetPictureLimits(unsigned seconds, std::size_t mebibytes) {
    gBound.cpu = std::chrono::seconds(std::max(seconds, 1u)) * kSlowdown;
    gBound.wall = 2 * gBound.cpu;
    gBound.bytes = mebibytes << 20;
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
        givenBack_ = std::exchange(other.givenBack_, 0);
        lease_ = std::move(other.lease_);
    }
    return *this;
}

PictureBytes::~PictureBytes() {
    Unmap();
}

void PictureBytes::Unmap() noexcept {
    if (mapping_ != nullptr && lease_ == nullptr) {
        ::munmap(mapping_, mapped_);
    }
    mapping_ = nullptr;
    lease_.reset();
}

void PictureBytes::GiveBack(std::size_t end) noexcept {
    const auto page = static_cast<std::size_t>(::sysconf(_SC_PAGESIZE));
    end = std::min(end, size_) / page * page;
    if (mapping_ != nullptr && lease_ == nullptr && end > givenBack_) {
        ::madvise(static_cast<char*>(mapping_) + givenBack_, end - givenBack_, MADV_REMOVE);
        givenBack_ = end;
    }
}

PictureBytes PictureBytes::Prefix(std::size_t size) && {
    PictureBytes prefix = std::move(*this);
    prefix.size_ = std::min(prefix.size_, size);
    return prefix;
}

PictureResult DrawPictureApart(const PictureWork& work, const PictureLoad& load) noexcept {
    try {
        return DrawAgainWhileRefused([&](const JobBudget& job, bool framesOnly) {
            return Draw(work, nullptr, load, job, framesOnly);
        });
    } catch (...) {
        return Beyond("no process could be started to draw it");
    }
}

PictureResult DrawPictureInWorker(PictureRecipeWork draw, const PictureRecipe& recipe,
                                  const PictureHeld& held, const PictureLoad& load) noexcept {
    try {
        // Drawn in a process of its own (when no worker can be started), the picture holds what
        // this process holds.
        const PictureWork apart = [&](PictureOutput& output, std::string& failure) {
            const std::optional<std::string> made = recipe(true);
            if (!made) {
                failure = "it can't be drawn";
                return false;
            }
            return draw(*made, output, failure);
        };
        const InWorker picture{draw, recipe, held};
        return DrawAgainWhileRefused([&](const JobBudget& job, bool framesOnly) {
            return Draw(apart, &picture, load, job, framesOnly);
        });
    } catch (...) {
        return Beyond("no process could be started to draw it");
    }
}

int PictureWorkerProcess() {
    return gWorker ? static_cast<int>(gWorker->process()) : 0;
}

}  // namespace host
