// Files replaced whole or not at all, also when a signal ends the process in the middle of a write.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "model/AtomicFile.h"

namespace host::model {
namespace {

namespace fs = std::filesystem;

struct SignalCase {
    const char* name;
    int signal;
    bool ignored;  // ignored before the handlers are installed
};

void PrintTo(const SignalCase& c, std::ostream* out) {
    *out << c.name;
}

class WriteMetBySignal : public ::testing::TestWithParam<SignalCase> {};

// A child process writes a file over a previous one and receives the signal with the temporary
// file complete but not yet renamed, the point where an interrupted save left its temporary file
// behind. A signal that ends the process leaves the previous file and nothing else; one that was
// ignored stays ignored and the write completes.
TEST_P(WriteMetBySignal, LeavesNoTemporaryFile) {
    const SignalCase& c = GetParam();
    const fs::path folder =
        fs::temp_directory_path() / ("plim_atomic_" + std::to_string(getpid()) + "_" + c.name);
    fs::remove_all(folder);
    fs::create_directories(folder);
    const fs::path target = folder / "document.ai";
    std::ofstream(target) << "previous";
    const std::string replacement(1 << 20, 'x');

    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        ::signal(c.signal, c.ignored ? SIG_IGN : SIG_DFL);
        removeTemporaryFilesOnSignals();
        AtomicFileWriter writer(target);
        writer.write(replacement);
        ::raise(c.signal);
        _exit(writer.commit() ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    if (c.ignored) {
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    } else {
        EXPECT_TRUE(WIFSIGNALED(status)) << status;
        EXPECT_EQ(WTERMSIG(status), c.signal);
    }
    std::vector<std::string> names;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder)) {
        names.push_back(entry.path().filename().string());
    }
    EXPECT_EQ(names, std::vector<std::string>{"document.ai"});
    std::ifstream stream(target, std::ios::binary);
    std::ostringstream text;
    text << stream.rdbuf();
    EXPECT_EQ(text.str(), c.ignored ? replacement : std::string("previous"));
    fs::remove_all(folder);
}

INSTANTIATE_TEST_SUITE_P(Signals, WriteMetBySignal,
                         ::testing::Values(SignalCase{"interrupt", SIGINT, false},
                                           SignalCase{"terminate", SIGTERM, false},
                                           SignalCase{"hangUp", SIGHUP, false},
                                           SignalCase{"quit", SIGQUIT, false},
                                           SignalCase{"ignoredInterrupt", SIGINT, true}),
                         [](const auto& info) { return std::string(info.param.name); });

// Writes that end without a signal forget their temporary files: a signal that comes later removes
// nothing, however many writes came before (the records are reused, not used up).
TEST(AtomicFile, FinishedWritesLeaveNothingForASignalToRemove) {
    const fs::path folder = fs::temp_directory_path() / ("plim_atomic_" + std::to_string(getpid()) + "_many");
    fs::remove_all(folder);
    fs::create_directories(folder);
    for (int i = 0; i < 70; ++i) {
        std::string error;
        ASSERT_TRUE(writeFileAtomically(folder / "file", std::to_string(i), &error)) << error;
        AtomicFileWriter abandoned(folder / "abandoned");
        abandoned.write("never committed");
    }
    const fs::path kept = folder / "kept";
    std::ofstream(kept) << "kept";
    removeTemporaryFiles();
    std::vector<std::string> names;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"file", "kept"}));
    fs::remove_all(folder);
}

}  // namespace
}  // namespace host::model
