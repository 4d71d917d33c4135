// A picture's own process: whatever its work does (spins, takes memory, waits for ever, aborts,
// throws, is refused), the picture ends with what it made or its reason, and this process stays as
// it was: one thread, no child left, the next picture drawn as the first.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

#include "ProgramRun.h"
#include "model/Document.h"
#include "render/PictureProcess.h"
#include "render/Renderer.h"

namespace {

using host::PictureOutput;
using host::PictureResult;
using namespace std::chrono_literals;

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
};

// Each case's bound leaves the others' limits far away, so that a loaded machine meets the one tried.
const WorkCase kCases[] = {
    {"Made", MakeMany, {30, std::size_t{1} << 30, 60s}, PictureResult::End::made, ""},
    {"SpinningPastItsCpuTime",
     Spin,
     {1, std::size_t{1} << 30, 60s},
     PictureResult::End::beyond,
     "more than the 1 s of CPU time a picture may take"},
    {"TakingMoreMemoryThanTheBound",
     Hoard,
     {30, std::size_t{128} << 20, 60s},
     PictureResult::End::beyond,
     "needed more than the 128 MiB of memory a picture may take"},
    {"WritingMoreThanTheBound",
     Flood,
     {30, std::size_t{128} << 20, 60s},
     PictureResult::End::beyond,
     "needed more than the 128 MiB of memory a picture may take"},
    {"WaitingForEver",
     Stall,
     {30, std::size_t{1} << 30, 500ms},
     PictureResult::End::beyond,
     "took more than the 500 ms a picture may take"},
    {"Aborting",
     Abort,
     {30, std::size_t{1} << 30, 60s},
     PictureResult::End::beyond,
     "failed (it ended with signal 6)"},
    {"RefusedByItsWork",
     Refuse,
     {30, std::size_t{1} << 30, 60s},
     PictureResult::End::failed,
     "the reader refuses it"},
    {"Throwing",
     Throw,
     {30, std::size_t{1} << 30, 60s},
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
    const PictureResult result = host::DrawPictureApart(c.work, 0);
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
        0);
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
        0);
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

}  // namespace
