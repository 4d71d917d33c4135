// A picture's own process: whatever its work does (spins, takes memory, waits for ever, aborts,
// throws, is refused), the picture ends with what it made or its reason, and this process stays as
// it was: one thread, no child left, the next picture drawn as the first. Its bound grows with
// what it holds; a placed file it stops is refused, and the picture drawn again without it.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <linux/capability.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "ProgramRun.h"
#include "host/Preferences.h"
#include "model/Document.h"
#include "render/PictureClock.h"
#include "render/PictureProcess.h"
#include "render/Renderer.h"

namespace {

using host::PictureOutput;
using host::PictureResult;
using namespace std::chrono_literals;

bool MakeMany(PictureOutput& output, std::string&);

bool Spin(PictureOutput&, std::string&) {
    volatile unsigned long turns = 0;
    for (;;) {
        turns = turns + 1;
    }
}

bool Hoard(PictureOutput&, std::string&) {
    std::vector<char*> blocks;
    for (;;) {
        constexpr std::size_t kBlock = std::size_t{16} << 20;
        blocks.push_back(static_cast<char*>(std::malloc(kBlock)));
        if (blocks.back() != nullptr) {
            std::memset(blocks.back(), 1, kBlock);
        }
    }
}

// Writes to its result without end: what it wrote counts as its memory.
bool Flood(PictureOutput& output, std::string&) {
    const std::string block(std::size_t{1} << 20, 'x');
    while (output.Write(block)) {
    }
    return true;
}

// Takes that many seconds of CPU time, then makes 8 MiB.
template <int kTenths>
bool SpinThenMake(PictureOutput& output, std::string& failure) {
    const std::int64_t start = host::ProcessCpuNanoseconds();
    while (host::ProcessCpuNanoseconds() - start < std::int64_t{kTenths} * 100'000'000) {
    }
    return MakeMany(output, failure);
}

bool Stall(PictureOutput&, std::string&) {
    for (;;) {
        ::pause();
    }
}

bool Abort(PictureOutput&, std::string&) {
    std::abort();
}

bool Refuse(PictureOutput&, std::string& failure) {
    failure = "the reader refuses it";
    return false;
}

bool Throw(PictureOutput&, std::string&) {
    throw std::runtime_error("no such page");
}

// 8 MiB of a pattern.
bool MakeMany(PictureOutput& output, std::string&) {
    std::string bytes(std::size_t{8} << 20, '\0');
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        bytes[i] = static_cast<char>(i * 7 % 251);
    }
    return output.Write(bytes);
}

struct WorkCase {
    const char* name;
    bool (*work)(PictureOutput&, std::string&);
    host::PictureBound bound;
    PictureResult::End end;
    const char* reason;  // part of the reason given
    host::PictureLoad load = {};
};

// Each case's bound leaves the others' limits far away, so that a loaded machine meets the one tried.
const WorkCase kCases[] = {
    {"Made", MakeMany, {30s, std::size_t{1} << 30, 60s}, PictureResult::End::made, ""},
    {"SpinningPastItsCpuTime",
     Spin,
     {1s, std::size_t{1} << 30, 60s},
     PictureResult::End::beyond,
     "more than the 1 s of CPU time the picture may take"},
    // A picture holding more may take more: 20,000 objects give it seconds more than its base, over
    // four times the 1.5 s it takes; holding nothing, it may take less than a quarter of that.
    {"TakingMoreThanTheBaseForWhatItHolds",
     SpinThenMake<15>,
     {250ms, std::size_t{1} << 30, 60s},
     PictureResult::End::made,
     "",
     {0, 0, 20'000, 0}},
    {"TakingMoreThanTheBaseHoldingNothing",
     SpinThenMake<15>,
     {250ms, std::size_t{1} << 30, 60s},
     PictureResult::End::beyond,
     " ms of CPU time the picture may take"},
    {"TakingMoreMemoryThanTheBound",
     Hoard,
     {30s, std::size_t{128} << 20, 60s},
     PictureResult::End::beyond,
     "needed more than the 128 MiB of memory a picture may take"},
    {"WritingMoreThanTheBound",
     Flood,
     {30s, std::size_t{128} << 20, 60s},
     PictureResult::End::beyond,
     "needed more than the 128 MiB of memory a picture may take"},
    {"WaitingForEver",
     Stall,
     {30s, std::size_t{1} << 30, 500ms},
     PictureResult::End::beyond,
     "took more than the 500 ms the picture may take"},
    {"Aborting",
     Abort,
     {30s, std::size_t{1} << 30, 60s},
     PictureResult::End::beyond,
     "failed (it ended with signal 6)"},
    {"RefusedByItsWork",
     Refuse,
     {30s, std::size_t{1} << 30, 60s},
     PictureResult::End::failed,
     "the reader refuses it"},
    {"Throwing",
     Throw,
     {30s, std::size_t{1} << 30, 60s},
     PictureResult::End::failed,
     "drawing it failed: no such page"},
};

// The threads of this process.
std::size_t Threads() {
    std::size_t count = 0;
    for ([[maybe_unused]] const auto& task : std::filesystem::directory_iterator("/proc/self/task")) {
        ++count;
    }
    return count;
}

class PictureProcess : public testing::TestWithParam<WorkCase> {
protected:
    void TearDown() override { host::SetPictureBound({}); }
};

TEST_P(PictureProcess, EndsWithWhatItMadeOrItsReason) {
    const WorkCase& c = GetParam();
    host::SetPictureBound(c.bound);
    testing::internal::CaptureStderr();
    const PictureResult result = host::DrawPictureApart(c.work, c.load);
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_EQ(result.end, c.end) << result.failure;
    EXPECT_NE(result.failure.find(c.reason), std::string::npos) << result.failure;
    // Past the bound, standard error says why.
    EXPECT_EQ(said.find("the picture is refused: " + result.failure) != std::string::npos,
              c.end == PictureResult::End::beyond)
        << said;
    if (c.end == PictureResult::End::made) {
        ASSERT_EQ(result.bytes.size(), std::size_t{8} << 20);
        for (std::size_t i = 0; i < result.bytes.size(); i += 4093) {
            ASSERT_EQ(result.bytes[i], static_cast<char>(i * 7 % 251)) << i;
        }
    }
    // No child is left, and this process has its one thread.
    EXPECT_EQ(::waitpid(-1, nullptr, WNOHANG), -1);
    EXPECT_EQ(Threads(), 1u);
}

INSTANTIATE_TEST_SUITE_P(Work, PictureProcess, testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

// What the picture's process says on standard error is said here once it has ended.
TEST(PictureProcessOutput, IsSaidHere) {
    testing::internal::CaptureStderr();
    const PictureResult result = host::DrawPictureApart(
        [](PictureOutput&, std::string&) {
            std::fputs("plimhost: a warning of the picture\n", stderr);
            return true;
        },
        {});
    EXPECT_TRUE(result.made()) << result.failure;
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "plimhost: a warning of the picture\n");
}

// Of a flood of warnings, the first 4 MiB are said, and the picture is drawn.
TEST(PictureProcessOutput, IsSaidUpToItsLimit) {
    testing::internal::CaptureStderr();
    const PictureResult result = host::DrawPictureApart(
        [](PictureOutput&, std::string&) {
            const std::string line(1023, 'w');
            for (int i = 0; i < 8192; ++i) {
                std::fprintf(stderr, "%s\n", line.c_str());
            }
            return true;
        },
        {});
    EXPECT_TRUE(result.made()) << result.failure;
    EXPECT_EQ(testing::internal::GetCapturedStderr().size(), std::size_t{4} << 20);
}

// librsvg starts a pool of threads for a filter: drawn in the picture's process, it leaves this
// process with its one thread, which forks the next picture and draws it as the first.
TEST(PictureProcessOutput, AnSvgWithAFilterLeavesThisProcessOneThread) {
    testsupport::ScratchFolder scratch{"picture_filter"};
    const std::string svg = scratch.Write(
        "blurred.svg", R"(<svg xmlns="http://www.w3.org/2000/svg" width="20" height="20">)"
                       R"(<filter id="b"><feGaussianBlur stdDeviation="0.5"/></filter>)"
                       R"x(<rect width="20" height="20" fill="#0000ff" filter="url(#b)"/></svg>)x");
    host::model::Document document(std::uint64_t{5});
    const host::model::ArtId layer = *document.layers().group(document.layers().first());
    const host::model::ArtId art =
        *document.newArt(host::model::ArtType::placed, host::model::PaintOrder::insideOnBottom, layer);
    auto* placed = document.editContent<host::model::PlacedContent>(art);
    placed->file = svg;
    placed->box.frame = host::model::Rect(0, 20, 20, 0);
    placed->box.matrix = host::model::Matrix{5, 0, 0, 5, 0, 0};
    for (int picture = 0; picture < 3; ++picture) {
        const std::optional<host::model::RasterPixels> pixels =
            host::RenderArt(document, host::LayerGroupsBottomFirst(document), {0.0, 100.0, 100.0, 0.0}, {});
        ASSERT_TRUE(pixels) << picture;
        ASSERT_EQ(pixels->width, 100u);
        const std::uint8_t* middle = &pixels->bytes[(50 * 100 + 50) * 3];
        EXPECT_EQ(middle[0], 0) << picture;
        EXPECT_EQ(middle[2], 255) << picture;
        EXPECT_EQ(Threads(), 1u) << picture;
    }
}

// A placed file the bound stops: refused by its content for as long as this process runs, and the
// picture drawn again at once showing it as its frame; the next picture that places it pays nothing.
bool DrawASpinningPlacedFile(PictureOutput& output, std::string&) {
    const host::ContentId content = host::IdentifyContent("a placed file that never ends");
    if (host::RefusedContent(content) != nullptr) {
        return output.Write("its frame");
    }
    const host::PlacedFileWork work;
    host::NotePlacedContent(content, "/files/spinning.pdf", 29);
    std::string unused;
    return Spin(output, unused);
}

TEST(PictureProcessPlacedFiles, AFileTheBoundStopsIsRefusedAndThePictureDrawnAgain) {
    host::ForgetRefusedContent();
    host::SetPictureBound({1s, std::size_t{1} << 30, 60s});
    for (int picture = 0; picture < 2; ++picture) {
        testing::internal::CaptureStderr();
        const PictureResult result = host::DrawPictureApart(DrawASpinningPlacedFile, {});
        const std::string said = testing::internal::GetCapturedStderr();
        ASSERT_TRUE(result.made()) << result.failure << said;
        EXPECT_EQ(result.bytes.view(), "its frame");
        // Said once, by the first picture.
        EXPECT_EQ(said.find("plimhost: the placed file /files/spinning.pdf is refused while plimhost runs: "
                            "drawing it took more than the 1 s of CPU time a placed file may take; the "
                            "picture is drawn again without it") != std::string::npos,
                  picture == 0)
            << said;
    }
    EXPECT_NE(host::RefusedContent(host::IdentifyContent("a placed file that never ends")), nullptr);
    host::ForgetRefusedContent();
    host::SetPictureBound({});
}

// Placed files take twice the base in all: the first never ends and is refused at the base; the
// second takes under a third of the base and is drawn; the third never ends and finds less than the
// base left, so it is not to blame; the picture shows them all as their frames, and ends.
TEST(PictureProcessPlacedFiles, TakeTwiceTheBaseInAll) {
    host::ForgetRefusedContent();
    host::SetPictureBound({1s, std::size_t{1} << 30, 60s});
    const auto drawFiles = [](PictureOutput& output, std::string&) {
        std::string shown;
        for (const auto& [file, tenths] : {std::pair{"one", 0}, {"two", 3}, {"three", 0}, {"four", 0}}) {
            const host::ContentId content = host::IdentifyContent(file);
            if (host::RefusedContent(content) != nullptr || host::PlacedFileWork::TimeSpent() ||
                host::ShownAsFrameForTime(content)) {
                shown += '-';
                continue;
            }
            const host::PlacedFileWork work;
            host::NotePlacedContent(content, file, 3);
            const std::int64_t start = host::ProcessCpuNanoseconds();
            while (tenths == 0 ||
                   host::ProcessCpuNanoseconds() - start < std::int64_t{tenths} * 100'000'000) {
            }
            shown += '+';
        }
        return output.Write(shown);
    };
    testing::internal::CaptureStderr();
    const PictureResult result = host::DrawPictureApart(drawFiles, {});
    const std::string said = testing::internal::GetCapturedStderr();
    ASSERT_TRUE(result.made()) << result.failure << said;
    EXPECT_EQ(result.bytes.view(), "----");
    EXPECT_NE(host::RefusedContent(host::IdentifyContent("one")), nullptr);
    EXPECT_EQ(host::RefusedContent(host::IdentifyContent("two")), nullptr);
    EXPECT_EQ(host::RefusedContent(host::IdentifyContent("three")), nullptr);
    EXPECT_NE(said.find("plimhost: the picture is drawn again, the placed files it has no time left for as "
                        "their frames: drawing its placed files took more than the "),
              std::string::npos)
        << said;
    host::ForgetRefusedContent();
    host::SetPictureBound({});
}

// The pictures of one job share its base: the first that spins spends it all and is refused; the
// next that spins has only the slack of its own process; one that takes nothing is drawn; and the
// next job has the whole base again.
TEST(PictureJob, SharesOneBase) {
    host::SetPictureBound({1s, std::size_t{1} << 30, 60s});
    const auto drawn = [](PictureOutput& output, std::string&) { return output.Write("drawn"); };
    testing::internal::CaptureStderr();
    {
        const host::PictureJob job;
        const PictureResult first = host::DrawPictureApart(Spin, {});
        EXPECT_NE(first.failure.find("more than the 1 s of CPU time the picture may take"), std::string::npos)
            << first.failure;
        const PictureResult second = host::DrawPictureApart(Spin, {});
        EXPECT_EQ(second.end, PictureResult::End::beyond);
        EXPECT_NE(second.failure.find(" ms of CPU time the picture may take"), std::string::npos)
            << second.failure;
        EXPECT_TRUE(host::DrawPictureApart(drawn, {}).made());
    }
    const PictureResult next = host::DrawPictureApart(Spin, {});
    testing::internal::GetCapturedStderr();
    EXPECT_NE(next.failure.find("more than the 1 s of CPU time the picture may take"), std::string::npos)
        << next.failure;
    host::SetPictureBound({});
}

// The picture's process may not raise its own hard limit of CPU time, and this process, without the
// privilege to raise a hard limit, raises its soft limit as the bound grows (seen in
// /proc/PID/limits), up to the hard limit set at its start.
TEST(PictureJob, RaisesTheCpuLimitWithoutPrivilege) {
    const pid_t user = ::fork();
    ASSERT_GE(user, 0);
    if (user == 0) {
        __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
        __user_cap_data_struct data[2]{};
        if (::syscall(SYS_capget, &header, data) == 0) {
            data[CAP_SYS_RESOURCE / 32].effective &= ~(1u << (CAP_SYS_RESOURCE % 32));
            data[CAP_SYS_RESOURCE / 32].permitted &= ~(1u << (CAP_SYS_RESOURCE % 32));
            ::syscall(SYS_capset, &header, data);
        }
        host::SetPictureBound({1s, std::size_t{1} << 30, 60s});
        const PictureResult result = host::DrawPictureApart(
            [](PictureOutput& output, std::string&) {
                rlimit start{};
                ::getrlimit(RLIMIT_CPU, &start);
                // Priced work the bound grows by, many seconds' worth.
                host::MeterWork(&host::PictureMeter::pathWork, 5'000'000.0);
                rlimit now = start;
                while (now.rlim_cur == start.rlim_cur && host::ProcessCpuNanoseconds() < 900'000'000) {
                    ::getrlimit(RLIMIT_CPU, &now);
                }
                std::ifstream limits("/proc/self/limits");
                std::string line;
                while (std::getline(limits, line) && line.rfind("Max cpu time", 0) != 0) {
                }
                unsigned long soft = 0;
                unsigned long hard = 0;
                std::sscanf(line.c_str(), "Max cpu time %lu %lu", &soft, &hard);
                return soft > start.rlim_cur && soft <= hard && hard == start.rlim_max &&
                       output.Write("raised");
            },
            {});
        ::_exit(result.made() && result.bytes.view() == "raised" ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(user, &status, 0), user);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
}

// A signal this process ignores (nohup, a script's background job) the picture's process ignores
// too; one it takes ends the picture's process as any program.
TEST(PictureProcessSignals, IgnoredHereAreIgnoredThere) {
    for (const int signal : {SIGHUP, SIGINT, SIGQUIT, SIGTERM}) {
        struct sigaction previous {};
        struct sigaction ignore {};
        ignore.sa_handler = SIG_IGN;
        ASSERT_EQ(::sigaction(signal, &ignore, &previous), 0);
        const PictureResult ignored = host::DrawPictureApart(
            [signal](PictureOutput& output, std::string&) {
                ::raise(signal);
                return output.Write("drawn");
            },
            {});
        ::sigaction(signal, &previous, nullptr);
        EXPECT_TRUE(ignored.made()) << signal << ": " << ignored.failure;
    }
    // Taken here whatever this test runs under (nohup ignores it).
    struct sigaction previous {};
    struct sigaction taking {};
    taking.sa_handler = SIG_DFL;
    ASSERT_EQ(::sigaction(SIGHUP, &taking, &previous), 0);
    testing::internal::CaptureStderr();
    const PictureResult taken = host::DrawPictureApart(
        [](PictureOutput& output, std::string&) {
            ::raise(SIGHUP);
            return output.Write("drawn");
        },
        {});
    testing::internal::GetCapturedStderr();
    ::sigaction(SIGHUP, &previous, nullptr);
    EXPECT_NE(taken.failure.find("it ended with signal 1"), std::string::npos) << taken.failure;
}

// The files of the processes read last are kept open: a child forked since reads its own, and
// neither reads nor closes the descriptors it was handed, whose numbers are other files' by then.
TEST(PictureWallClock, AChildForkedSinceOpensTheFilesItReads) {
    const pid_t parent = ::getpid();
    ASSERT_NE(host::ProcessState(parent), '\0');
    const pid_t child = ::fork();
    if (child == 0) {
        constexpr int kLast = 255;
        ::close_range(3, ~0u, 0);
        const int zero = ::open("/dev/zero", O_RDONLY);
        for (int number = 3; number <= kLast; ++number) {
            if (number != zero) {
                ::dup2(zero, number);
            }
        }
        const bool read = host::ProcessState(parent) != '\0';
        bool kept = true;
        for (int number = 3; number <= kLast; ++number) {
            kept = kept && ::fcntl(number, F_GETFD) != -1;
        }
        ::_exit(read && kept ? 0 : 1);
    }
    ASSERT_GT(child, 0);
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
}

// The wall clock leaves out the time the watching process did not run (stopped, then continued):
// its watch comes round late, and that time counts for neither. The sleeper is watched once it
// sleeps, so that the time it waited for a processor (left out too) no longer changes.
TEST(PictureWallClock, LeavesOutTheTimeTheWatchDidNotRun) {
    const pid_t sleeper = ::fork();
    if (sleeper == 0) {
        for (;;) {
            ::pause();
        }
    }
    ASSERT_GT(sleeper, 0);
    for (int tries = 0; tries < 10'000 && host::ProcessState(sleeper) != 'S'; ++tries) {
        std::this_thread::sleep_for(1ms);
    }
    ASSERT_EQ(host::ProcessState(sleeper), 'S');
    const auto waited = host::WaitedToRun(sleeper);
    using Clock = host::WallClock::Clock;
    const Clock::time_point start = Clock::now();
    host::WallClock wall(start);
    const auto watch = [&](Clock::duration at) { return wall.Past(sleeper, 1000ms, start + at); };
    Clock::duration at{};
    for (; at < 600ms; at += 5ms) {
        ASSERT_FALSE(watch(at)) << at.count();
    }
    // Stopped for 8 s, then watched again every 5 ms: 600 ms ran before, the bound is reached 400
    // ms after, and as much again as the sleeper waited to run.
    at += 8s;
    for (; at < 8s + 990ms; at += 5ms) {
        ASSERT_FALSE(watch(at)) << at.count();
    }
    bool past = false;
    for (const Clock::duration end = at + 20ms + waited; at < end;) {
        at += 5ms;
        past = watch(at);
    }
    EXPECT_TRUE(past) << waited.count();
    ::kill(sleeper, SIGKILL);
    ::waitpid(sleeper, nullptr, 0);
}

// The user sets the base of every picture's bound through two preferences, taken as set: seconds of
// CPU time (wall-clock time twice as long) and MiB of memory, each within its range.
TEST(PictureBoundPreferences, SetTheBase) {
    struct {
        ai::int32 seconds;
        ai::int32 mebibytes;
        unsigned expectedSeconds;
        std::size_t expectedMebibytes;
    } const cases[] = {{7, 100, 7, 100}, {0, 1, 1, 64}, {-5, 1 << 30, 1, 1 << 20}, {5000, 2048, 3600, 2048}};
    host::PreferenceStore preferences;
    EXPECT_EQ(preferences.Get("", "pictureTimeLimit"), host::PreferenceStore::Value(ai::int32{3}));
    EXPECT_EQ(preferences.Get("", "pictureMemoryLimit"), host::PreferenceStore::Value(ai::int32{1024}));
    for (const auto& c : cases) {
        preferences.Set("", "pictureTimeLimit", c.seconds);
        preferences.Set("", "pictureMemoryLimit", c.mebibytes);
        const host::PictureBound bound = host::CurrentPictureBound();
        // Four times as long under the sanitizers.
        EXPECT_TRUE(bound.cpu == std::chrono::seconds(c.expectedSeconds) ||
                    bound.cpu == std::chrono::seconds(4 * c.expectedSeconds))
            << bound.cpu.count();
        EXPECT_EQ(bound.wall, 2 * bound.cpu);
        EXPECT_EQ(bound.bytes, c.expectedMebibytes << 20);
    }
    host::SetPictureBound({});
}

}  // namespace
