// plimhost --panel: script lines become panel events, and the events the plug-in dispatches are
// printed one per line as TYPE<TAB>DATA.
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "HostFixture.h"
#include "PanelLine.h"

namespace {

struct Outcome {
    int status = -1;
    std::string out;
    std::string err;
};

std::string ReadFile(const std::filesystem::path& path) {
    std::ifstream file(path);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

class PlimhostPanel : public testing::Test {
protected:
    void SetUp() override {
        folder = std::filesystem::temp_directory_path() /
                 ("plimhost_panel_" + std::to_string(getpid()) + "_" +
                  testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::create_directories(folder);
    }
    void TearDown() override { std::filesystem::remove_all(folder); }

    // Runs plimhost --panel with the arguments and standard input.
    Outcome Plim(const std::string& arguments, const std::string& input) {
        const std::filesystem::path in = folder / "stdin.txt";
        std::ofstream(in) << input;
        const std::string command = std::string("'") + HOST_PLIMHOST + "' --panel " + arguments + " < '" +
                                    in.string() + "' > '" + (folder / "out.txt").string() + "' 2> '" +
                                    (folder / "err.txt").string() + "'";
        const int raw = std::system(command.c_str());
        Outcome run;
        run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
        run.out = ReadFile(folder / "out.txt");
        run.err = ReadFile(folder / "err.txt");
        return run;
    }

    std::filesystem::path folder;
};

// The plug-in beside plimhost adds its panel listeners when the panel library is ready.
TEST_F(PlimhostPanel, EachLineIsAPanelEventAndEachDispatchedEventALine) {
    const Outcome run =
        Plim("", "# the panel asks\ncomment {\"uid\":\"u1\"}\n\ncomment\r\ntagNotifyOff {}\n");
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out,
              "com.torvi.event.result\t{\"eventType\":\"comment\",\"uid\":\"u1\"}\n"
              "com.torvi.event.result\t{\"eventType\":\"comment\"}\n");
    EXPECT_EQ(run.err, "");
}

TEST_F(PlimhostPanel, AnEventNobodyListensToPrintsNothingAndIsNoted) {
    const Outcome run = Plim("", "noSuchEvent {}\ncomment {\"uid\":\"after\"}\n");
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, "com.torvi.event.result\t{\"eventType\":\"comment\",\"uid\":\"after\"}\n");
    EXPECT_NE(run.err.find("plimhost: noSuchEvent: nothing listens to com.torvi.event.noSuchEvent"),
              std::string::npos)
        << run.err;
}

TEST_F(PlimhostPanel, APluginWithoutListenersHearsNothing) {
    const Outcome run = Plim(std::string("--plugin '") + HOST_PROBE_PLUGIN + "'", "echo x\n");
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, "");
    EXPECT_NE(run.err.find("nothing listens to com.torvi.event.echo"), std::string::npos) << run.err;
}

struct LineCase {
    const char* label;
    host::PanelEvent event;
    const char* line;
};

class PanelEventLines : public testing::TestWithParam<LineCase> {};

TEST_P(PanelEventLines, AreTypeTabData) {
    EXPECT_EQ(plimhost::PanelEventLine(GetParam().event), GetParam().line);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PanelEventLines,
    testing::Values(LineCase{"json",
                             {"com.torvi.event.result", 1, "ILST", "x", "{\"a\":\"b\\nc\"}"},
                             "com.torvi.event.result\t{\"a\":\"b\\nc\"}"},
                    LineCase{"empty_data", {"t", 1, "ILST", std::nullopt, ""}, "t\t"},
                    LineCase{"line_breaks",
                             {"t\n", 1, "ILST", std::nullopt, "<payload>\r\n<result>x</result></payload>\n"},
                             "t\\n\t<payload>\\r\\n<result>x</result></payload>\\n"},
                    LineCase{"tabs_stay", {"t", 1, "ILST", std::nullopt, "a\tb"}, "t\ta\tb"}),
    [](const auto& info) { return std::string(info.param.label); });

}  // namespace
