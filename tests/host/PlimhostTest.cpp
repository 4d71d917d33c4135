// The command-line host, run as users run it, with the probe as its plug-in.
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "HostFixture.h"
#include "ProgramRun.h"

namespace {

using testsupport::ReadFile;
using Outcome = testsupport::ProgramRun;

class Plimhost : public testing::Test {
protected:
    std::string Write(const std::string& name, const std::string& text) { return scratch.Write(name, text); }

    // Runs plimhost with the arguments (already quoted where needed) and standard input.
    Outcome Plim(const std::string& arguments, const std::string& input = "") {
        return testsupport::RunProgram(scratch, std::string("'") + HOST_PLIMHOST + "' " + arguments, input);
    }

    std::string WithProbe(const std::string& rest = "") {
        return std::string("--plugin '") + HOST_PROBE_PLUGIN + "' " + rest;
    }

    testsupport::ScratchFolder scratch{"plimhost"};
    const std::filesystem::path& folder = scratch.Path();
};

TEST_F(Plimhost, PrintsOneReplyLinePerCommandLine) {
    const Outcome run =
        Plim(WithProbe(), "# a comment\n\necho {\"a\": 1}\r\nlength \xF0\x9F\x98\x80\n   \necho\n");
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "{\"a\": 1}\n2\n\n");
    EXPECT_EQ(run.err, "");
}

TEST_F(Plimhost, ReadsScriptsInOrderWithDashForStandardInput) {
    const std::string first = Write("first.plim", "echo one\n");
    const std::string second = Write("second.plim", "echo three\n");
    const Outcome run = Plim(WithProbe("'" + first + "' - '" + second + "'"), "echo two\n");
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "one\ntwo\nthree\n");
}

TEST_F(Plimhost, StartsThePluginAndTellsItTheApplicationStarted) {
    const Outcome run = Plim(WithProbe(), "log\n");
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "SP Interface/Startup\nnotify probe started AI Application Started Notifier\n");
}

TEST_F(Plimhost, APluginErrorIsReportedButTheLineCountsAsDelivered) {
    const Outcome run = Plim(WithProbe(), "fail 7\necho after\n");
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, "\nafter\n");
    EXPECT_NE(run.err.find("fail"), std::string::npos) << run.err;
}

struct RefusedCase {
    const char* label;
    std::string arguments;
    int status;
    std::string message;
};

class Refused : public Plimhost, public testing::WithParamInterface<RefusedCase> {};

TEST_P(Refused, ExitsWithTheStatusAndReason) {
    const Outcome run = Plim(GetParam().arguments, "echo never\n");
    EXPECT_EQ(run.status, GetParam().status);
    EXPECT_EQ(run.out, "");
    EXPECT_NE(run.err.find(GetParam().message), std::string::npos) << run.err;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Refused,
    testing::Values(
        RefusedCase{"missing_document", "--open /nonexistent/doc.json", 1, "/nonexistent/doc.json"},
        RefusedCase{"unknown_option", "--frobnicate", 2, "usage: plimhost"},
        RefusedCase{"missing_value", "--plugin", 2, "--plugin needs a value"},
        RefusedCase{"missing_plugin", "--plugin /nonexistent/Plugin.so", 1, "/nonexistent/Plugin.so"},
        RefusedCase{"open_a_directory", "--open /tmp", 1, "/tmp: it is a directory"},
        RefusedCase{"open_twice", "--open a.json --open b.json", 2, "--open is given twice"},
        RefusedCase{"script_is_a_directory", std::string("--plugin '") + HOST_PROBE_PLUGIN + "' /tmp", 1,
                    "/tmp: it is a directory"},
        RefusedCase{"missing_script",
                    std::string("--plugin '") + HOST_PROBE_PLUGIN + "' /nonexistent/script.plim", 1,
                    "/nonexistent/script.plim"}),
    [](const auto& info) { return std::string(info.param.label); });

TEST_F(Plimhost, HelpPrintsTheUsage) {
    const Outcome run = Plim("--help");
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out.rfind("usage: plimhost", 0), 0u);
}

}  // namespace
