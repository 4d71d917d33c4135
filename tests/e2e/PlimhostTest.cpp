// plimhost as a user runs it: script lines in, one reply line each out.
#include <cstdio>
#include <fstream>

#include <unistd.h>

#include "PluginFixture.h"

namespace {

struct PlimhostRun {
    int status = -1;
    std::vector<std::string> lines;
};

PlimhostRun RunPlimhost(const std::string& arguments, const std::string& input) {
    // Tests run in parallel processes: each input gets a file of its own.
    static int calls = 0;
    const std::filesystem::path script = std::filesystem::temp_directory_path() /
                                         ("plimhost-test-" + std::to_string(getpid()) + "-" + std::to_string(++calls) + ".plim");
    std::ofstream(script) << input;
    const std::string command = std::string(PLIM_BIN_DIR) + "/plimhost " + arguments + " < " + script.string() +
                                " 2>/dev/null";
    PlimhostRun run;
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) {
        return run;
    }
    std::string line;
    for (int c = std::fgetc(pipe); c != EOF; c = std::fgetc(pipe)) {
        if (c == '\n') {
            run.lines.push_back(line);
            line.clear();
        } else {
            line += static_cast<char>(c);
        }
    }
    const int status = pclose(pipe);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    std::filesystem::remove(script);
    return run;
}

TEST(Plimhost, AnswersEachScriptLine) {
    const PlimhostRun run = RunPlimhost("", "version {\"uid\":\"u1\"}\nnoSuchCommand {}\n\n# a remark\ncomment {\"text\":\"hi\"}\n");
    EXPECT_EQ(run.status, 0);
    ASSERT_EQ(run.lines.size(), 3u);
    const json version = json::parse(run.lines[0]);
    for (const char* key : {"SDK", "eventType", "pluginPath", "timeStamp", "uid", "version"}) {
        EXPECT_TRUE(version.contains(key)) << key;
    }
    EXPECT_EQ(run.lines[1], R"({"error":"Unknown event type: noSuchCommand"})");
    EXPECT_EQ(run.lines[2], R"({"eventType":"comment"})");
}

TEST(Plimhost, RunsTheExampleScript) {
    const PlimhostRun run = RunPlimhost(std::string(PLIM_SOURCE_DIR) + "/examples/demo.plim", "");
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.lines.size(), 4u);
}

TEST(Plimhost, RefusesAMissingPlugin) {
    EXPECT_EQ(RunPlimhost("--plugin /nonexistent/PlimUtils.so", "version {}\n").status, 1);
}

TEST(Plimhost, RefusesUnknownOptions) { EXPECT_EQ(RunPlimhost("--bogus", "").status, 2); }

}  // namespace
