#include "render/PlacedTrial.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/mman.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <tuple>

#include <glib.h>

#include "render/PlacedFiles.h"

#if defined(__SANITIZE_ADDRESS__)
#define PLIM_TRIAL_UNDER_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define PLIM_TRIAL_UNDER_ASAN 1
#endif
#endif

namespace host {
namespace {

using Clock = std::chrono::steady_clock;

// What a trial answers: the file was drawn, the readers refused it (the reason follows), it went
// beyond the bound (the reason follows), or, under the sanitizers, the child's sanitizer reported a
// fault in the code it ran (the report follows).
enum class Outcome : char { drawn = 'D', refused = 'R', beyond = 'B', report = 'S' };

struct Reply {
    Outcome outcome = Outcome::beyond;
    std::string text;
};

// A request to the helper: the target, the work to do and the length of the path that follows (all
// of one width, so that no padding goes out unset).
struct Request {
    std::uint64_t kind = 0;
    std::uint64_t width = 0;
    std::uint64_t height = 0;
    std::uint64_t work = 0;
    std::uint64_t pathLength = 0;
};

constexpr std::size_t kLongestText = 64u << 10;
// The most a trial's child may write to its standard error (poppler's messages), kept under the
// sanitizers to find their report in.
constexpr rlim_t kChildOutputBytes = 4u << 20;
// How much longer than a trial's wall-clock bound this process waits for the helper's answer.
constexpr auto kHelperGrace = std::chrono::seconds(2);

std::string Seconds(unsigned seconds) {
    return std::to_string(seconds) + " s";
}

std::string BoundMemory() {
    return std::to_string(kPlacedTrialBytes >> 30) + " GiB";
}

bool SendAll(int channel, const void* data, std::size_t size) {
    const char* at = static_cast<const char*>(data);
    while (size > 0) {
        const ssize_t sent = ::send(channel, at, size, MSG_NOSIGNAL);
        if (sent < 0 && errno == EINTR) {
            continue;
        }
        if (sent <= 0) {
            return false;
        }
        at += sent;
        size -= static_cast<std::size_t>(sent);
    }
    return true;
}

// Reads exactly size bytes; false at the end of the stream, on an error, or (timedOut set) when the
// deadline passes first. No deadline: waits as long as it takes.
bool ReceiveAll(int channel, void* data, std::size_t size, std::optional<Clock::time_point> deadline,
                bool& timedOut) {
    char* at = static_cast<char*>(data);
    while (size > 0) {
        if (deadline) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(*deadline - Clock::now());
            if (left.count() <= 0) {
                timedOut = true;
                return false;
            }
            pollfd ready{channel, POLLIN, 0};
            const int polled = ::poll(&ready, 1, static_cast<int>(std::min<long long>(left.count(), 1000)));
            if (polled < 0 && errno != EINTR) {
                return false;
            }
            if (polled <= 0) {
                continue;
            }
        }
        const ssize_t received = ::recv(channel, at, size, 0);
        if (received < 0 && errno == EINTR) {
            continue;
        }
        if (received <= 0) {
            return false;
        }
        at += received;
        size -= static_cast<std::size_t>(received);
    }
    return true;
}

bool SendReply(int channel, const Reply& reply) {
    const std::uint32_t length = static_cast<std::uint32_t>(std::min(reply.text.size(), kLongestText));
    const char outcome = static_cast<char>(reply.outcome);
    return SendAll(channel, &outcome, 1) && SendAll(channel, &length, sizeof length) &&
           SendAll(channel, reply.text.data(), length);
}

bool ReceiveReply(int channel, Reply& reply, std::optional<Clock::time_point> deadline, bool& timedOut) {
    char outcome = 0;
    std::uint32_t length = 0;
    if (!ReceiveAll(channel, &outcome, 1, deadline, timedOut) ||
        !ReceiveAll(channel, &length, sizeof length, deadline, timedOut) || length > kLongestText) {
        return false;
    }
    reply.outcome = static_cast<Outcome>(outcome);
    reply.text.assign(length, '\0');
    return ReceiveAll(channel, reply.text.data(), length, deadline, timedOut);
}

void CloseDescriptor(int descriptor) {
    if (descriptor >= 0) {
        ::close(descriptor);
    }
}

// Every descriptor from `first` on closed, so that a helper holds no file or pipe of this process's
// (a reader waiting for the end of a pipe this process writes would otherwise wait for the helper).
void CloseDescriptorsFrom(int first) {
    if (::close_range(static_cast<unsigned>(first), ~0u, 0) != 0) {
        const long most = ::sysconf(_SC_OPEN_MAX);
        for (long descriptor = first; descriptor < (most > 0 ? most : 1024); ++descriptor) {
            ::close(static_cast<int>(descriptor));
        }
    }
}

// The bound, set on the trial's own process: CPU time (SIGXCPU past the soft limit, SIGKILL a second
// later), no core file, and a limit on what it writes (its standard error) that fails the write
// rather than ending the process. Its memory is watched by the helper instead of limited here: an
// allocation refused to the trial (RLIMIT_AS) is one the decoders answer by drawing less (poppler's
// JBIG2 pages, libjpeg's coefficient arrays), and this process, which draws the file after the trial,
// would then be granted it. librsvg's pool of threads keeps to one: the trial draws on one core.
void BoundThisProcess() {
    const rlimit noCore{0, 0};
    ::setrlimit(RLIMIT_CORE, &noCore);
    const rlimit cpu{kPlacedTrialCpuSeconds, kPlacedTrialCpuSeconds + 1};
    ::setrlimit(RLIMIT_CPU, &cpu);
    const rlimit output{kChildOutputBytes, kChildOutputBytes};
    ::setrlimit(RLIMIT_FSIZE, &output);
    ::signal(SIGXFSZ, SIG_IGN);
    // An abort ends it as an abort does (a fuzzer's handler would otherwise take it for a finding).
    ::signal(SIGABRT, SIG_DFL);
    ::setenv("RAYON_NUM_THREADS", "1", 1);
}

// The resident bytes of a process (its own, or a child's); 0 when they can't be read.
std::size_t ResidentBytes(pid_t process) {
    const std::string path = "/proc/" + std::to_string(process) + "/statm";
    std::FILE* statm = std::fopen(path.c_str(), "re");
    if (statm == nullptr) {
        return 0;
    }
    unsigned long long size = 0;
    unsigned long long resident = 0;
    const bool read = std::fscanf(statm, "%llu %llu", &size, &resident) == 2;
    std::fclose(statm);
    return read ? static_cast<std::size_t>(resident) * static_cast<std::size_t>(::sysconf(_SC_PAGESIZE)) : 0;
}

// The work, in the trial's process: whatever it throws is its answer too.
Reply DoWork(const std::filesystem::path& file, const PlacedTrialTarget& target, PlacedTrialWork work) {
    try {
        std::string failure;
        if (work(file, target, failure)) {
            return {Outcome::drawn, {}};
        }
        return {Outcome::refused, failure.empty() ? std::string("it can't be drawn") : failure};
    } catch (const std::bad_alloc&) {
        return {Outcome::beyond, "reading and drawing it needed more than the " + BoundMemory() +
                                     " of memory a placed file may take"};
    } catch (const std::exception& error) {
        return {Outcome::refused, std::string("drawing it failed: ") + error.what()};
    } catch (...) {
        return {Outcome::refused, "drawing it failed"};
    }
}

#ifdef PLIM_TRIAL_UNDER_ASAN
// A sanitizer's report of a fault in what the trial ran, from what it wrote to standard error; none
// for the reports of memory running out, which is the bound doing its work.
std::optional<std::string> SanitizerReport(int output) {
    std::string text(kChildOutputBytes, '\0');
    const ssize_t read = ::pread(output, text.data(), text.size(), 0);
    text.resize(read > 0 ? static_cast<std::size_t>(read) : 0);
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
    return text.substr(text.rfind('\n', at) == std::string::npos ? 0 : text.rfind('\n', at) + 1,
                       kLongestText);
}
#endif

// How the trial's process ended, in words.
std::string Ending(int status) {
    if (WIFSIGNALED(status)) {
        return "it ended with signal " + std::to_string(WTERMSIG(status));
    }
    return "it ended with status " + std::to_string(WEXITSTATUS(status));
}

// One trial, run by the helper: a child of its own reads and draws the file under the bound; the
// helper waits for its answer until the wall-clock limit, then kills it, and always reaps it.
Reply RunTrial(const std::filesystem::path& file, const PlacedTrialTarget& target, PlacedTrialWork work) {
    int channel[2];
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, channel) != 0) {
        return {Outcome::beyond, "no process could be started to read it in"};
    }
#ifdef PLIM_TRIAL_UNDER_ASAN
    // The child's standard error is kept, to find a sanitizer's report in.
    const int output = ::memfd_create("placed-trial-output", MFD_CLOEXEC);
#else
    const int output = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
#endif
    const Clock::time_point deadline = Clock::now() + std::chrono::seconds(kPlacedTrialWallSeconds);
    const pid_t child = ::fork();
    if (child == 0) {
        ::prctl(PR_SET_PDEATHSIG, SIGKILL);
        ::close(channel[0]);
        if (output >= 0) {
            ::dup2(output, STDOUT_FILENO);
            ::dup2(output, STDERR_FILENO);
        }
        BoundThisProcess();
        const Reply reply = DoWork(file, target, work);
        SendReply(channel[1], reply);
        ::_exit(0);  // no handler of this process's at exit, no flush of its buffers, no leak check
    }
    ::close(channel[1]);
    if (child < 0) {
        ::close(channel[0]);
        CloseDescriptor(output);
        return {Outcome::beyond, "no process could be started to read it in"};
    }
    // The answer, read as it comes until the child closes its end, while its resident memory is
    // watched: past the bound, or past the wall-clock limit, it is killed. It is always reaped.
    const std::size_t baseline = ResidentBytes(::getpid());
    std::string answer;
    bool killed = false;
    bool tooLarge = false;
    for (bool open = true; open && !killed;) {
        pollfd ready{channel[0], POLLIN, 0};
        constexpr int kWatchMilliseconds = 5;
        if (::poll(&ready, 1, kWatchMilliseconds) > 0) {
            char buffer[4096];
            const ssize_t received = ::recv(channel[0], buffer, sizeof buffer, 0);
            if (received > 0 && answer.size() < kLongestText + 8) {
                answer.append(buffer, static_cast<std::size_t>(received));
            }
            open = received > 0 || (received < 0 && errno == EINTR);
        }
        tooLarge = ResidentBytes(child) > baseline + kPlacedTrialBytes;
        if (tooLarge || Clock::now() >= deadline) {
            ::kill(child, SIGKILL);
            killed = true;
        }
    }
    ::close(channel[0]);
    int status = 0;
    rusage usage{};
    for (;;) {
        const pid_t ended = ::wait4(child, &status, killed ? 0 : WNOHANG, &usage);
        if (ended == child || (ended < 0 && errno != EINTR)) {
            break;
        }
        if (ended == 0 && Clock::now() < deadline) {
            ::poll(nullptr, 0, 1);
        } else if (ended == 0) {
            ::kill(child, SIGKILL);
            killed = true;
        }
    }
    Reply reply;
    bool answered = false;
    if (answer.size() >= 5) {
        std::uint32_t length = 0;
        std::memcpy(&length, answer.data() + 1, sizeof length);
        answered = answer.size() == 5 + static_cast<std::size_t>(length);
        reply.outcome = static_cast<Outcome>(answer[0]);
        reply.text = answer.substr(5);
    }
    std::optional<std::string> report;
#ifdef PLIM_TRIAL_UNDER_ASAN
    if (output >= 0) {
        report = SanitizerReport(output);
    }
#endif
    CloseDescriptor(output);
    if (report) {
        return {Outcome::report, *report};
    }
    if (answered && !killed && WIFEXITED(status) && WEXITSTATUS(status) == 0) {
        return reply;
    }
    const double cpu = static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
                       static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
    if ((WIFSIGNALED(status) && WTERMSIG(status) == SIGXCPU) || cpu >= kPlacedTrialCpuSeconds) {
        return {Outcome::beyond, "reading and drawing it took more than the " +
                                     Seconds(kPlacedTrialCpuSeconds) + " of CPU time a placed file may take"};
    }
    if (tooLarge) {
        return {Outcome::beyond, "reading and drawing it needed more than the " + BoundMemory() +
                                     " of memory a placed file may take"};
    }
    if (killed) {
        return {Outcome::beyond, "reading and drawing it took more than the " +
                                     Seconds(kPlacedTrialWallSeconds) + " a placed file may take"};
    }
    return {Outcome::beyond, "reading and drawing it failed (" + Ending(status) + ")"};
}

// The helper's loop: one trial per request, until this process closes its end.
[[noreturn]] void ServeTrials(int channel) {
    for (;;) {
        Request request;
        bool timedOut = false;
        if (!ReceiveAll(channel, &request, sizeof request, std::nullopt, timedOut) ||
            request.pathLength > (1u << 20)) {
            ::_exit(0);
        }
        std::string path(request.pathLength, '\0');
        if (!ReceiveAll(channel, path.data(), path.size(), std::nullopt, timedOut)) {
            ::_exit(0);
        }
        PlacedTrialTarget target;
        target.kind = static_cast<PlacedTrialTarget::Kind>(request.kind);
        target.width = request.width;
        target.height = request.height;
        const auto work = reinterpret_cast<PlacedTrialWork>(static_cast<std::uintptr_t>(request.work));
        if (!SendReply(channel, RunTrial(path, target, work))) {
            ::_exit(0);
        }
    }
}

// The helper process and this process's end of its channel.
struct Helper {
    pid_t pid = -1;
    int channel = -1;
    pid_t owner = -1;  // the process that started it: a forked copy of this process starts its own
};

void StopHelper(Helper& helper) {
    if (helper.owner == ::getpid() && helper.pid > 0) {
        ::kill(helper.pid, SIGKILL);
        while (::waitpid(helper.pid, nullptr, 0) < 0 && errno == EINTR) {
        }
    }
    CloseDescriptor(helper.channel);
    helper = Helper{};
}

bool StartHelper(Helper& helper) {
    int channel[2];
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, channel) != 0) {
        return false;
    }
    const pid_t parent = ::getpid();
    const pid_t pid = ::fork();
    if (pid == 0) {
        // Ends when this process's end of the channel closes (when it ends, however it ends); holds
        // none of its descriptors; reaps its own children. (Not PR_SET_PDEATHSIG: that follows the
        // thread that forked it, which may end long before the process.)
        const int null = ::open("/dev/null", O_RDWR);
        for (int standard = 0; standard < 3 && null >= 0; ++standard) {
            ::dup2(null, standard);
        }
        constexpr int kChannel = 3;
        if (channel[1] != kChannel) {
            ::dup2(channel[1], kChannel);
        }
        CloseDescriptorsFrom(kChannel + 1);
        ::signal(SIGCHLD, SIG_DFL);
        ::signal(SIGPIPE, SIG_IGN);
        sigset_t none;
        sigemptyset(&none);
        ::sigprocmask(SIG_SETMASK, &none, nullptr);
        ServeTrials(kChannel);
    }
    ::close(channel[1]);
    if (pid < 0) {
        ::close(channel[0]);
        return false;
    }
    helper = Helper{pid, channel[0], parent};
    return true;
}

// The trial through the helper, started (or started again, once, when it has ended) as needed.
Reply Trial(Helper& helper, const std::filesystem::path& file, const PlacedTrialTarget& target,
            PlacedTrialWork work) {
    if (helper.owner != ::getpid()) {
        StopHelper(helper);  // a copy of the process that started it: its channel is not this one's
    }
    const std::string& path = file.native();
    Request request;
    request.kind = static_cast<std::uint64_t>(target.kind);
    request.width = target.width;
    request.height = target.height;
    request.work = reinterpret_cast<std::uintptr_t>(work);
    request.pathLength = path.size();
    for (int attempt = 0; attempt < 2; ++attempt) {
        if (helper.pid < 0 && !StartHelper(helper)) {
            return {Outcome::beyond, "no process could be started to read it in"};
        }
        if (!SendAll(helper.channel, &request, sizeof request) ||
            !SendAll(helper.channel, path.data(), path.size())) {
            StopHelper(helper);
            continue;
        }
        Reply reply;
        bool timedOut = false;
        if (ReceiveReply(helper.channel, reply,
                         Clock::now() + std::chrono::seconds(kPlacedTrialWallSeconds) + kHelperGrace,
                         timedOut)) {
            return reply;
        }
        StopHelper(helper);
        if (timedOut) {
            return {Outcome::beyond, "reading and drawing it took more than the " +
                                         Seconds(kPlacedTrialWallSeconds) + " a placed file may take"};
        }
    }
    return {Outcome::beyond, "the process reading it ended before it answered"};
}

// What identifies a file's content without reading it: its device and inode, size, and times of
// last change (nanoseconds), which any write changes.
using FileIdentity = std::tuple<dev_t, ino_t, off_t, long long, long long, long long, long long>;

FileIdentity IdentityOf(const struct stat& info) {
    return {info.st_dev,          info.st_ino,         info.st_size,        info.st_mtim.tv_sec,
            info.st_mtim.tv_nsec, info.st_ctim.tv_sec, info.st_ctim.tv_nsec};
}

// The digests already worked out, by path: a picture after the first hashes no file again that
// hasn't changed since.
std::map<std::string, std::pair<FileIdentity, std::string>>& KnownDigests() {
    static std::map<std::string, std::pair<FileIdentity, std::string>> digests;
    return digests;
}

// The content's SHA-256 and length; none when the file can't be read here (not a regular file, too
// large, a path holding a NUL): its reader then refuses it with the reason.
std::optional<std::string> ContentDigest(const std::filesystem::path& file) {
    if (file.native().find('\0') != std::string::npos) {
        return std::nullopt;
    }
    const int descriptor = ::open(file.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (descriptor < 0) {
        return std::nullopt;
    }
    struct stat info {};
    std::optional<std::string> digest;
    if (::fstat(descriptor, &info) == 0 && S_ISREG(info.st_mode) &&
        static_cast<std::uintmax_t>(info.st_size) <= kMaxPlacedFileBytes) {
        const auto known = KnownDigests().find(file.native());
        if (known != KnownDigests().end() && known->second.first == IdentityOf(info)) {
            ::close(descriptor);
            return known->second.second;
        }
        GChecksum* sum = g_checksum_new(G_CHECKSUM_SHA256);
        std::string buffer(1u << 20, '\0');
        bool whole = true;
        for (;;) {
            const ssize_t read = ::read(descriptor, buffer.data(), buffer.size());
            if (read < 0 && errno == EINTR) {
                continue;
            }
            if (read <= 0) {
                whole = read == 0;
                break;
            }
            g_checksum_update(sum, reinterpret_cast<const guchar*>(buffer.data()), static_cast<gssize>(read));
        }
        if (whole) {
            digest = std::string(g_checksum_get_string(sum)) + ":" + std::to_string(info.st_size);
            // A file changed within the last second is hashed again next time: the times of change
            // are coarse, and a write in the same tick would leave them as they are.
            timespec now{};
            ::clock_gettime(CLOCK_REALTIME, &now);
            if (now.tv_sec - std::max(info.st_mtim.tv_sec, info.st_ctim.tv_sec) > 1) {
                KnownDigests()[file.native()] = {IdentityOf(info), *digest};
            }
        }
        g_checksum_free(sum);
    }
    ::close(descriptor);
    return digest;
}

// What the trials found, by content, the file's extension (which picks its reader) and the kind of
// target: the largest target it was drawn on within the bound, and the smallest it was refused on.
struct Verdicts {
    struct Size {
        std::size_t width = 0;
        std::size_t height = 0;
    };
    std::optional<Size> drawnUpTo;
    std::optional<Size> refusedFrom;
    std::string reason;
};

std::string LowerExtension(const std::filesystem::path& file) {
    std::string extension = file.extension().string();
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](char c) { return g_ascii_tolower(c); });
    return extension;
}

}  // namespace

bool TryPlacedFile(const std::filesystem::path& file, const PlacedTrialTarget& target, PlacedTrialWork work,
                   std::string& failure) noexcept {
    static std::mutex mutex;
    static Helper helper;
    static std::map<std::tuple<std::string, std::string, int>, Verdicts> known;
    try {
        const std::lock_guard<std::mutex> lock(mutex);
        // A process that meets a great many contents (a fuzzer) forgets them all now and then.
        constexpr std::size_t kMostVerdicts = 65536;
        if (known.size() >= kMostVerdicts || KnownDigests().size() >= kMostVerdicts) {
            known.clear();
            KnownDigests().clear();
        }
        const std::optional<std::string> digest = ContentDigest(file);
        if (!digest) {
            return true;
        }
        Verdicts& verdicts = known[{*digest, LowerExtension(file), static_cast<int>(target.kind)}];
        if (verdicts.drawnUpTo && target.width <= verdicts.drawnUpTo->width &&
            target.height <= verdicts.drawnUpTo->height) {
            return true;
        }
        if (verdicts.refusedFrom && target.width >= verdicts.refusedFrom->width &&
            target.height >= verdicts.refusedFrom->height) {
            failure = verdicts.reason;
            return false;
        }
        const Reply reply = Trial(helper, file, target, work);
        switch (reply.outcome) {
            case Outcome::drawn:
                verdicts.drawnUpTo = Verdicts::Size{
                    std::max(target.width, verdicts.drawnUpTo ? verdicts.drawnUpTo->width : 0),
                    std::max(target.height, verdicts.drawnUpTo ? verdicts.drawnUpTo->height : 0)};
                return true;
            case Outcome::report:
                // A fault in the code the trial ran: the sanitizer's report is this process's too.
                std::fputs(reply.text.c_str(), stderr);
                std::fputs(
                    "\nplimhost: the sanitizer reported the fault above while a placed file was read\n",
                    stderr);
                std::abort();
            case Outcome::refused:
                // The readers' refusal doesn't depend on the size drawn.
                verdicts.refusedFrom = Verdicts::Size{0, 0};
                break;
            case Outcome::beyond:
            default:
                verdicts.refusedFrom = Verdicts::Size{target.width, target.height};
                break;
        }
        verdicts.reason = reply.text;
        failure = reply.text;
        return false;
    } catch (const std::exception& error) {
        failure = std::string("the file could not be tried: ") + error.what();
    } catch (...) {
        failure = "the file could not be tried";
    }
    return false;
}

}  // namespace host
