// The command-line host, run as users run it, with the probe as its plug-in.
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
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

// A named pipe among the scripts is opened once, when its turn comes: its writer, started first
// and waiting for a reader, hands all its lines to that opening (none to a check that opens and
// closes the pipe before the run, which would leave the real opening waiting for ever).
TEST_F(Plimhost, ReadsANamedPipeOnceWhenItsTurnComes) {
    const std::string first = Write("first.plim", "echo one\n");
    const std::string last = Write("last.plim", "echo four\n");
    const std::string pipe = (folder / "lines.plim").string();
    ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
    const Outcome run = testsupport::RunProgram(
        scratch,
        "{ printf 'echo two\\necho three\\n' > '" + pipe + "' & '" + std::string(HOST_PLIMHOST) + "' " +
            WithProbe("'" + first + "' '" + pipe + "' '" + last + "'") + "; status=$?; wait; exit $status; }",
        "");
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "one\ntwo\nthree\nfour\n");
    EXPECT_EQ(run.err, "");
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
        RefusedCase{"missing_document", "--open /nonexistent/doc.json", 1,
                    "plimhost: cannot open /nonexistent/doc.json: No such file or directory"},
        RefusedCase{"missing_swatch_library", "--swatch-library /nonexistent/library.json", 1,
                    "plimhost: cannot open /nonexistent/library.json: No such file or directory"},
        RefusedCase{"unknown_option", "--frobnicate", 2, "usage: plimhost"},
        RefusedCase{"missing_value", "--plugin", 2, "--plugin needs a value"},
        RefusedCase{"missing_plugin", "--plugin /nonexistent/Plugin.so", 1, "/nonexistent/Plugin.so"},
        RefusedCase{"open_a_directory", "--open /tmp", 1, "/tmp: it is a directory"},
        RefusedCase{"open_twice", "--open a.json --open b.json", 2, "--open is given twice"},
        RefusedCase{"script_is_a_directory", std::string("--plugin '") + HOST_PROBE_PLUGIN + "' /tmp", 1,
                    "/tmp: it is a directory"},
        RefusedCase{"missing_script",
                    std::string("--plugin '") + HOST_PROBE_PLUGIN + "' /nonexistent/script.plim", 1,
                    "cannot read the script /nonexistent/script.plim: No such file or directory"},
        RefusedCase{"folder_without_a_number", "--folder arrows=/x", 2,
                    "--folder needs TYPE=DIR, a folder type number from 0 to 999999999 and a folder (such as "
                    "103=/usr/share/arrows), not \"arrows=/x\""},
        RefusedCase{
            "preference_without_a_value", "--pref fontProblem", 2,
            "--pref needs [PREFIX/]NAME=VALUE (such as warning/fontProblem=false), not \"fontProblem\""},
        RefusedCase{"preference_of_no_type",
                    std::string("--plugin '") + HOST_PROBE_PLUGIN + "' --pref a=maybe", 2,
                    "--pref a: the value must be true, false or a 32-bit integer"},
        RefusedCase{"preference_beyond_32_bits",
                    std::string("--plugin '") + HOST_PROBE_PLUGIN + "' --pref x=4294967296", 2,
                    "--pref x: the value must be true, false or a 32-bit integer"}),
    [](const auto& info) { return std::string(info.param.label); });

TEST_F(Plimhost, HelpPrintsTheUsageAndWhereTheCommandsAreDescribed) {
    const Outcome run = Plim("--help");
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out.rfind("usage: plimhost", 0), 0u);
    EXPECT_NE(run.out.find("docs/commands.md"), std::string::npos) << run.out;
}

// The probe asks for the size of plimhost's own standard output (a file here) while the script
// runs: the replies before it are already there, not held in a buffer until the end.
TEST_F(Plimhost, WritesEachReplyOutWhenItIsMade) {
    const std::string out = (folder / "stdout.txt").string();
    const Outcome run = Plim(WithProbe(), "echo one\nsize " + out + "\necho three\nsize " + out + "\n");
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "one\n4\nthree\n12\n");
}

struct ErrorReplyCase {
    const char* label;
    std::string options;
    std::string script;  // in the file script.plim, named SCRIPT in `err`
    std::string input;   // standard input, read after the script
    int status;
    std::string err;  // all of standard error
};

class ErrorReplies : public Plimhost, public testing::WithParamInterface<ErrorReplyCase> {};

TEST_P(ErrorReplies, AreToldOnStandardErrorWithTheirLine) {
    const ErrorReplyCase& test = GetParam();
    std::string scripts;
    std::string err = test.err;
    if (!test.script.empty()) {
        const std::string script = Write("script.plim", test.script);
        scripts = "'" + script + "' -";
        for (std::size_t at = err.find("SCRIPT"); at != std::string::npos; at = err.find("SCRIPT", at)) {
            err.replace(at, 6, script);
        }
    }
    const Outcome run = Plim(WithProbe(test.options + " " + scripts), test.input);
    EXPECT_EQ(run.status, test.status);
    EXPECT_EQ(run.err, err);
}

const std::string kBatchReply =
    R"({"data":[{"error":"No eventType found"},{"data":{"error":"inner"},"eventType":"com.torvi.event.x"},)"
    R"({"data":{},"eventType":"com.torvi.event.y"}],"errorsPresent":true})";

INSTANTIATE_TEST_SUITE_P(
    Cases, ErrorReplies,
    testing::Values(
        ErrorReplyCase{"standard_input_is_dash", "", "", "echo fine\necho {\"error\":\"Art not found\"}\n", 0,
                       "-:2: echo: Art not found\n"},
        ErrorReplyCase{"fail_on_error", "--fail-on-error", "",
                       "echo {\"error\":\"Art not found\"}\necho after\n", 3, "-:1: echo: Art not found\n"},
        ErrorReplyCase{"lines_counted_with_comments_and_blanks", "--fail-on-error",
                       "# first\n\necho {\"eventType\":\"x\",\"error\":\"Bad units\"}\n",
                       "echo {\"error\":7}\n", 3, "SCRIPT:3: echo: Bad units\n-:1: echo: 7\n"},
        ErrorReplyCase{
            "batch_entries", "", "", "echo " + kBatchReply + "\n", 0,
            "-:1: echo: entry 1 (?): No eventType found\n-:1: echo: entry 2 (com.torvi.event.x): inner\n"},
        ErrorReplyCase{"no_error_key", "--fail-on-error", "",
                       "echo {\"warning\":\"error\",\"a\":{\"error\":1}}\necho \"error\"\necho {\"error\"\n",
                       0, ""},
        ErrorReplyCase{"byte_order_mark_skipped", "--fail-on-error",
                       "\xEF\xBB\xBF"
                       "echo {\"error\":\"x\"}\n",
                       "\xEF\xBB\xBF"
                       "echo {\"error\":\"y\"}\n",
                       3, "SCRIPT:1: echo: x\n-:1: echo: y\n"},
        ErrorReplyCase{"plugin_error_code", "--fail-on-error", "", "fail 7\n", 3,
                       "plimhost: fail: the plug-in answered 7\n"}),
    [](const auto& info) { return std::string(info.param.label); });

TEST_F(Plimhost, AByteOrderMarkOnlyStartsAScript) {
    const std::string script = Write("marked.plim", "\xEF\xBB\xBF# a comment\necho one\n");
    const Outcome run = Plim(WithProbe("'" + script + "' -"),
                             "\xEF\xBB\xBF"
                             "echo two\n");
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "one\ntwo\n");
}

// A name that is no command: the plug-in's reply, then a note naming the nearest commands; with the
// plug-in beside plimhost.
struct UnknownNameCase {
    const char* label;
    std::string options;
    std::string line;
    std::string out;
    std::string err;
};

class UnknownNames : public Plimhost, public testing::WithParamInterface<UnknownNameCase> {};

TEST_P(UnknownNames, AreAnsweredAndTheNearestNamesNoted) {
    const Outcome run = Plim("--fail-on-error " + GetParam().options, GetParam().line + "\n");
    EXPECT_EQ(run.status, 3);
    EXPECT_EQ(run.out, GetParam().out);
    EXPECT_EQ(run.err, GetParam().err);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, UnknownNames,
    testing::Values(
        UnknownNameCase{"letter_case", "", "selectBytags {}",
                        "{\"error\":\"Unknown event type: selectBytags\"}\n",
                        "-:1: selectBytags: Unknown event type: selectBytags\n"
                        "-:1: selectBytags: no command is named selectBytags; the nearest: selectByTags\n"},
        UnknownNameCase{"slips", "", "getTag {\"uid\":\"u\"}",
                        "{\"error\":\"Unknown event type: getTag\",\"uid\":\"u\"}\n",
                        "-:1: getTag: Unknown event type: getTag\n"
                        "-:1: getTag: no command is named getTag; the nearest: getTags\n"},
        UnknownNameCase{"nothing_near", "", "frobnicate", "{\"error\":\"Unknown event type: frobnicate\"}\n",
                        "-:1: frobnicate: Unknown event type: frobnicate\n"
                        "-:1: frobnicate: no command is named frobnicate (the commands: docs/commands.md)\n"},
        UnknownNameCase{
            "panel_only", "", "getSymbolList", "{\"error\":\"Unknown event type: getSymbolList\"}\n",
            "-:1: getSymbolList: Unknown event type: getSymbolList\n"
            "-:1: getSymbolList: getSymbolList is a panel event only: send it with plimhost --panel\n"},
        UnknownNameCase{"panel", "--panel", "coment {\"uid\":\"u\"}", "",
                        "plimhost: coment: nothing listens to com.torvi.event.coment\n"
                        "-:1: coment: no command is named coment; the nearest: comment\n"},
        // A NUL ends the name the application hands over: the line must not run "closeDocument"
        // (the document stays open for the next line) and is answered as a name that is no command.
        UnknownNameCase{"nul_in_the_name", "",
                        std::string("closeDocument") + '\0' + "x {\"uid\":\"u\"}\ngetDocumentUnits",
                        "{\"error\":\"Unknown event type: closeDocument\\u0000x\",\"uid\":\"u\"}\n"
                        "{\"documentUnits\":\"points\",\"eventType\":\"getDocumentUnits\"}\n",
                        "-:1: closeDocument\\0x: Unknown event type: closeDocument\\0x\n"
                        "-:1: closeDocument\\0x: no command is named closeDocument\\0x: a command name can't "
                        "hold a NUL character\n"},
        UnknownNameCase{
            "nul_in_the_name_of_a_panel_event", "--panel",
            std::string("closeDocument") + '\0' + "x {}\ngetDocumentUnits",
            "com.torvi.event.result\t{\"documentUnits\":\"points\",\"eventType\":\"getDocumentUnits\"}\n",
            "plimhost: closeDocument\\0x: nothing listens to com.torvi.event.closeDocument\\0x\n"
            "-:1: closeDocument\\0x: no command is named closeDocument\\0x: a command name can't "
            "hold a NUL character\n"},
        UnknownNameCase{
            "nul_in_the_data_of_a_panel_event", "--panel",
            std::string("comment {}") + '\0' + "{\"uid\":\"x\"}", "",
            "-:1: comment: a panel event's data can't hold a NUL character: the line is not sent\n"},
        // --folder 52 names the application folder, where the panel library is looked for.
        UnknownNameCase{"no_panel_library", "--panel --folder 52=/nonexistent/application", "comment {}", "",
                        "plimhost: comment: nothing listens for panel events: there is no panel library "
                        "/nonexistent/application/Frameworks/PlugPlugOwl.framework/PlugPlugOwl\n"},
        UnknownNameCase{"a_command_the_plugin_does_not_take",
                        std::string("--panel --plugin '") + HOST_PROBE_PLUGIN + "'", "comment {}", "",
                        "plimhost: comment: nothing listens to com.torvi.event.comment\n"
                        "-:1: comment: comment is a command, but the plug-in loaded does not take it\n"},
        UnknownNameCase{"panel_reply", "--panel", "selectByTags {\"uid\":\"u\"}",
                        "com.torvi.event.result\t{\"add\":false,\"error\":\"Tag search is empty\","
                        "\"eventType\":\"selectByTags\",\"tagSearch\":\"\",\"uid\":\"u\"}\n",
                        "-:1: selectByTags: Tag search is empty\n"}),
    [](const auto& info) { return std::string(info.param.label); });

TEST_F(Plimhost, VersionTellsItsOwnAndThePluginsVersion) {
    const Outcome run = Plim("--version");
    EXPECT_EQ(run.status, 0) << run.err;
    ASSERT_EQ(run.Lines().size(), 2u) << run.out;
    EXPECT_EQ(run.Lines()[0], std::string("plimhost ") + HOST_PROJECT_VERSION);
    EXPECT_EQ(run.Lines()[1].rfind("plug-in 1.0.", 0), 0u) << run.out;
    EXPECT_NE(run.Lines()[1].find(", SDK "), std::string::npos) << run.out;
    EXPECT_NE(run.Lines()[1].find(", built "), std::string::npos) << run.out;

    const Outcome probe = Plim(WithProbe("--version"));
    EXPECT_EQ(probe.status, 1);
    EXPECT_EQ(probe.out, std::string("plimhost ") + HOST_PROJECT_VERSION + "\n");
    EXPECT_EQ(probe.err, "plimhost: the plug-in answered \"version\" with no version: unknown version\n");

    const Outcome missing = Plim("--plugin /nonexistent/Plugin.so --version");
    EXPECT_EQ(missing.status, 1);
    EXPECT_EQ(missing.out, probe.out);
    EXPECT_NE(missing.err.find("/nonexistent/Plugin.so"), std::string::npos) << missing.err;
}

// Files plimhost writes after the last line: every line is delivered first, then a file that can't
// be written gives status 1 and the reason.
struct UnwritableCase {
    const char* label;
    std::string options;
    std::string message;
};

class UnwritableFiles : public Plimhost, public testing::WithParamInterface<UnwritableCase> {};

TEST_P(UnwritableFiles, FailAfterTheLinesWereDelivered) {
    const Outcome run = Plim(WithProbe("--fail-on-error " + GetParam().options), "echo {\"error\":\"x\"}\n");
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, "{\"error\":\"x\"}\n");
    EXPECT_NE(run.err.find(GetParam().message), std::string::npos) << run.err;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, UnwritableFiles,
    testing::Values(
        UnwritableCase{
            "journal", "--journal /nonexistent/j.txt",
            "cannot write the journal /nonexistent/j.txt: cannot write /nonexistent/j.txt: No such file "
            "or directory"},
        UnwritableCase{"save", "--save /nonexistent/d.json",
                       "cannot save the document to /nonexistent/d.json"},
        UnwritableCase{"snapshot", "--snapshot /nonexistent/s.png",
                       "cannot write the snapshot /nonexistent/s.png"}),
    [](const auto& info) { return std::string(info.param.label); });

// Replies that can't be written (a full device, a reader that has gone, which would otherwise end
// plimhost by SIGPIPE): told once on standard error with the system's reason; every line still
// runs (the second line's error is told) and --save still writes; the exit status is 1.
struct LostRepliesCase {
    const char* label;
    std::string redirection;  // of plimhost's standard output; FD: a pipe whose reader has gone
    std::string reason;
};

class LostReplies : public Plimhost, public testing::WithParamInterface<LostRepliesCase> {};

TEST_P(LostReplies, AreToldAndTheRunGoesOn) {
    int pipe[2] = {-1, -1};
    ASSERT_EQ(::pipe(pipe), 0);
    ::close(pipe[0]);
    std::string redirection = GetParam().redirection;
    if (redirection == "FD") {
        redirection = ">&" + std::to_string(pipe[1]);
    }
    const std::string saved = (folder / "saved.json").string();
    const std::string command = std::string("'") + HOST_PLIMHOST + "' " +
                                WithProbe("--save '" + saved + "' --fail-on-error") + " " + redirection;
    const Outcome run = testsupport::RunProgram(scratch, "sh -c \"" + command + "\"",
                                                "echo one\necho {\"error\":\"late\"}\n");
    ::close(pipe[1]);
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "plimhost: cannot write the replies to standard output: " + GetParam().reason +
                           "; the lines still run, their replies are not written\n-:2: echo: late\n");
    EXPECT_TRUE(std::filesystem::exists(saved));
}

INSTANTIATE_TEST_SUITE_P(Cases, LostReplies,
                         testing::Values(LostRepliesCase{"full_device", ">/dev/full",
                                                         "No space left on device"},
                                         LostRepliesCase{"reader_gone", "FD", "Broken pipe"}),
                         [](const auto& info) { return std::string(info.param.label); });

// What --help and --version print is checked as the replies are: a failed write is told, status 1.
TEST_F(Plimhost, HelpAndVersionTellAFailedWrite) {
    for (const char* option : {"--help", "--version"}) {
        SCOPED_TRACE(option);
        const Outcome run = testsupport::RunProgram(
            scratch, std::string("sh -c \"'") + HOST_PLIMHOST + "' " + option + " >/dev/full\"", "");
        EXPECT_EQ(run.status, 1);
        EXPECT_EQ(run.err, "plimhost: cannot write to standard output: No space left on device\n");
    }
}

// Every script of examples/ runs through plimhost, with the plug-in beside it, on the document it is
// written for, without an error reply. A new script needs its row here.
struct ExampleScript {
    const char* script;
    const char* document;  // in examples/; empty for a new document
};

constexpr ExampleScript kExampleScripts[] = {
    {"demo.plim", ""},
    {"layout.plim", "sample.json"},
    {"poster.plim", "poster.json"},
    {"tags.plim", "sample.json"},
};

TEST_F(Plimhost, EveryExampleScriptRunsWithoutAnErrorReply) {
    const std::filesystem::path examples = HOST_EXAMPLES_DIR;
    std::size_t scripts = 0;
    for (const auto& entry : std::filesystem::directory_iterator(examples)) {
        if (entry.path().extension() != ".plim") {
            continue;
        }
        ++scripts;
        const std::string name = entry.path().filename().string();
        SCOPED_TRACE(name);
        const auto* example = std::find_if(std::begin(kExampleScripts), std::end(kExampleScripts),
                                           [&name](const ExampleScript& row) { return name == row.script; });
        ASSERT_NE(example, std::end(kExampleScripts)) << "no document is named for " << name;
        const std::string open =
            *example->document == '\0' ? "" : "--open '" + (examples / example->document).string() + "' ";
        // The scripts name files relative to the repository's folder (the photo poster.plim places,
        // the folder it exports to): they run in a folder laid out the same way.
        const testsupport::ScratchFolder run("plimhost_example");
        const Outcome outcome =
            testsupport::RunProgram(run,
                                    "cd '" + run.Path().string() + "' && ln -s '" + examples.string() +
                                        "' examples && mkdir -p build/release/demo && '" + HOST_PLIMHOST +
                                        "' --fail-on-error " + open + "'" + entry.path().string() + "'",
                                    "");
        EXPECT_EQ(outcome.status, 0) << outcome.out << outcome.err;
        EXPECT_EQ(outcome.err, "");
        EXPECT_FALSE(outcome.out.empty());
    }
    EXPECT_EQ(scripts, std::size(kExampleScripts));
}

}  // namespace
