// plimhost --panel: script lines become panel events, and the events the plug-in dispatches are
// printed one per line as TYPE<TAB>DATA.
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "HostFixture.h"
#include "PanelLine.h"
#include "ProgramRun.h"

namespace {

using testsupport::ReadFile;
using Outcome = testsupport::ProgramRun;

class PlimhostPanel : public testing::Test {
protected:
    std::string Write(const std::string& name, const std::string& text) { return scratch.Write(name, text); }

    // Runs plimhost --panel with the arguments and standard input.
    Outcome Plim(const std::string& arguments, const std::string& input) {
        return testsupport::RunProgram(scratch, std::string("'") + HOST_PLIMHOST + "' --panel " + arguments,
                                       input);
    }

    testsupport::ScratchFolder scratch{"plimhost_panel"};
    const std::filesystem::path& folder = scratch.Path();
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
                             {"com.torvi.event.result", 1, "HOST", "x", "{\"a\":\"b\\nc\"}"},
                             "com.torvi.event.result\t{\"a\":\"b\\nc\"}"},
                    LineCase{"empty_data", {"t", 1, "HOST", std::nullopt, ""}, "t\t"},
                    LineCase{"line_breaks",
                             {"t\n", 1, "HOST", std::nullopt, "<payload>\r\n<result>x</result></payload>\n"},
                             "t\\n\t<payload>\\r\\n<result>x</result></payload>\\n"},
                    LineCase{"tabs_stay", {"t", 1, "HOST", std::nullopt, "a\tb"}, "t\ta\tb"}),
    [](const auto& info) { return std::string(info.param.label); });

}  // namespace
