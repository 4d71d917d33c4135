// The bound of a placed file's trial: whatever the work does in its own process (spins, takes
// memory, waits for ever, aborts), the trial ends with a verdict and the reason; a content is tried
// once for the process, again only when it is drawn larger.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "ProgramRun.h"
#include "render/PlacedTrial.h"

namespace {

using host::PlacedTrialTarget;

bool Spin(const std::filesystem::path&, const PlacedTrialTarget&, std::string&) {
    volatile unsigned long turns = 0;
    for (;;) {
        turns = turns + 1;
    }
}

bool Hoard(const std::filesystem::path&, const PlacedTrialTarget&, std::string&) {
    std::vector<char*> blocks;
    for (;;) {
        constexpr std::size_t kBlock = std::size_t{64} << 20;
        blocks.push_back(static_cast<char*>(std::malloc(kBlock)));
        if (blocks.back() != nullptr) {
            std::memset(blocks.back(), 1, kBlock);
        }
    }
}

bool Stall(const std::filesystem::path&, const PlacedTrialTarget&, std::string&) {
    for (;;) {
        ::pause();
    }
}

bool Abort(const std::filesystem::path&, const PlacedTrialTarget&, std::string&) {
    std::abort();
}

bool Refuse(const std::filesystem::path&, const PlacedTrialTarget&, std::string& failure) {
    failure = "the reader refuses it";
    return false;
}

bool Throw(const std::filesystem::path&, const PlacedTrialTarget&, std::string&) {
    throw std::runtime_error("no such page");
}

// Draws nothing, and counts its runs in a file beside the one tried.
bool Count(const std::filesystem::path& file, const PlacedTrialTarget&, std::string&) {
    std::ofstream(file.parent_path() / "runs", std::ios::app) << 'x';
    return true;
}

struct TrialCase {
    const char* name;
    host::PlacedTrialWork work;
    bool drawn;
    const char* reason;  // part of the reason given
};

const TrialCase kCases[] = {
    {"Drawn", Count, true, ""},
    {"SpinningPastItsCpuTime", Spin, false, "more than the 3 s of CPU time a placed file may take"},
    {"TakingMoreMemoryThanTheBound", Hoard, false,
     "needed more than the 1 GiB of memory a placed file may take"},
    {"WaitingForEver", Stall, false, "took more than the 6 s a placed file may take"},
    {"Aborting", Abort, false, "failed (it ended with signal 6)"},
    {"RefusedByTheReader", Refuse, false, "the reader refuses it"},
    {"Throwing", Throw, false, "drawing it failed: no such page"},
};

class PlacedTrial : public testing::TestWithParam<TrialCase> {};

TEST_P(PlacedTrial, EndsWithAVerdictAndItsReason) {
    const TrialCase& c = GetParam();
    testsupport::ScratchFolder scratch{"placed_trial"};
    // The content is the verdict's key: each case's own.
    const std::string file = scratch.Write("file.pdf", std::string("content of ") + c.name);
    PlacedTrialTarget target;
    target.width = 60;
    target.height = 60;
    std::string failure;
    EXPECT_EQ(host::TryPlacedFile(file, target, c.work, failure), c.drawn) << failure;
    EXPECT_NE(failure.find(c.reason), std::string::npos) << failure;
    // The verdict is kept: asked again, the same answer without another trial.
    std::string again;
    EXPECT_EQ(host::TryPlacedFile(file, target, Spin, again), c.drawn);
    EXPECT_EQ(again, failure);
}

INSTANTIATE_TEST_SUITE_P(Work, PlacedTrial, testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

// A content placed a thousand times, under two names, is tried once; drawn larger than it was tried,
// or onto another kind of surface, it is tried again.
TEST(PlacedTrialVerdicts, AreKeptForTheContent) {
    testsupport::ScratchFolder scratch{"placed_trial_kept"};
    const std::string first = scratch.Write("first.svg", "<svg kept once/>");
    const std::string second = scratch.Write("second.svg", "<svg kept once/>");
    PlacedTrialTarget target;
    target.width = 100;
    target.height = 100;
    std::string failure;
    for (int i = 0; i < 1000; ++i) {
        ASSERT_TRUE(host::TryPlacedFile(i % 2 == 0 ? first : second, target, Count, failure)) << failure;
    }
    const auto runs = [&] { return std::filesystem::file_size(scratch.Path() / "runs"); };
    EXPECT_EQ(runs(), 1u);
    target.width = 50;
    EXPECT_TRUE(host::TryPlacedFile(first, target, Count, failure));
    EXPECT_EQ(runs(), 1u);
    target.width = 200;
    EXPECT_TRUE(host::TryPlacedFile(first, target, Count, failure));
    EXPECT_EQ(runs(), 2u);
    target.kind = PlacedTrialTarget::Kind::pdf;
    EXPECT_TRUE(host::TryPlacedFile(first, target, Count, failure));
    EXPECT_EQ(runs(), 3u);
}

// A file that can't be read here is not tried: its reader gives the reason.
TEST(PlacedTrialVerdicts, LeaveAFileThatCantBeReadToItsReader) {
    testsupport::ScratchFolder scratch{"placed_trial_missing"};
    std::string failure;
    EXPECT_TRUE(host::TryPlacedFile(scratch.Path() / "missing.png", PlacedTrialTarget{}, Spin, failure));
    EXPECT_TRUE(failure.empty());
}

}  // namespace
