// plimhost's command line and script lines.
#include <gtest/gtest.h>
#include <filesystem>

#include "CommandLine.h"
#include "ScriptLine.h"

namespace {

using plimhost::CommandLine;
using plimhost::ParseCommandLine;
using plimhost::ParseScriptLine;

struct LineCase {
    const char* label;
    std::string text;
    bool isCommand;
    std::string name;
    std::string request;
};

class ScriptLines : public testing::TestWithParam<LineCase> {};

TEST_P(ScriptLines, SplitIntoNameAndRequest) {
    const auto line = ParseScriptLine(GetParam().text);
    ASSERT_EQ(line.has_value(), GetParam().isCommand);
    if (line) {
        EXPECT_EQ(line->name, GetParam().name);
        EXPECT_EQ(line->request, GetParam().request);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ScriptLines,
    testing::Values(
        LineCase{"empty", "", false, "", ""}, LineCase{"blank", " \t ", false, "", ""},
        LineCase{"comment", "# version {}", false, "", ""},
        LineCase{"indented_comment", "   # note", false, "", ""},
        LineCase{"carriage_return_only", "\r", false, "", ""},
        LineCase{"name_only", "version", true, "version", ""},
        LineCase{"name_and_json", R"(translate {"deltaX": 1})", true, "translate", R"({"deltaX": 1})"},
        LineCase{"blanks_between", "text \t  {\"a\":1}", true, "text", "{\"a\":1}"},
        LineCase{"trailing_blanks_kept", "comment {} ", true, "comment", "{} "},
        LineCase{"crlf", "version {}\r", true, "version", "{}"},
        LineCase{"indented_command", "  version", true, "version", ""},
        LineCase{"hash_inside", "comment {\"text\":\"#1\"}", true, "comment", "{\"text\":\"#1\"}"},
        LineCase{"not_json", "echo plain words", true, "echo", "plain words"}),
    [](const auto& info) { return std::string(info.param.label); });

struct ArgumentsCase {
    const char* label;
    std::vector<std::string> arguments;
    bool valid;
};

class Arguments : public testing::TestWithParam<ArgumentsCase> {};

TEST_P(Arguments, AreAcceptedOrRefused) {
    CommandLine line;
    std::string error;
    EXPECT_EQ(ParseCommandLine(GetParam().arguments, &line, &error), GetParam().valid) << error;
    EXPECT_EQ(error.empty(), GetParam().valid);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Arguments,
    testing::Values(ArgumentsCase{"nothing", {}, true}, ArgumentsCase{"new", {"--new"}, true},
                    ArgumentsCase{
                        "everything", {"--open", "a", "--save", "b", "--panel", "--plugin", "p", "s"}, true},
                    ArgumentsCase{"equals_form", {"--plugin=p"}, true}, ArgumentsCase{"stdin", {"-"}, true},
                    ArgumentsCase{"unknown", {"--frobnicate"}, false},
                    ArgumentsCase{"short_unknown", {"-x"}, false},
                    ArgumentsCase{"missing_value", {"--plugin"}, false},
                    ArgumentsCase{"empty_value", {"--plugin="}, false},
                    ArgumentsCase{"open_and_new", {"--new", "--open", "a"}, false},
                    ArgumentsCase{"open_twice", {"--open", "a", "--open=b"}, false},
                    ArgumentsCase{"save_twice", {"--save", "a", "--save", "a"}, false}),
    [](const auto& info) { return std::string(info.param.label); });

TEST(CommandLine, KeepScriptsInOrderAndEndOptionsAtDoubleDash) {
    CommandLine line;
    std::string error;
    ASSERT_TRUE(ParseCommandLine({"one", "--plugin", "p.so", "-", "--", "--panel"}, &line, &error));
    EXPECT_EQ(line.scripts, (std::vector<std::string>{"one", "-", "--panel"}));
    EXPECT_EQ(line.pluginPath, "p.so");
    EXPECT_FALSE(line.panel);
}

TEST(CommandLine, ReadValues) {
    CommandLine line;
    std::string error;
    ASSERT_TRUE(ParseCommandLine(
        {"--open=in.json", "--save", "out.json", "--panel", "--help", "--pref", "warning/fontProblem=false",
         "--pref", "a=1", "--folder", "103=arrows", "--cloud", "/c/./d", "--journal", "j.txt"},
        &line, &error));
    // Relative paths are made absolute as they are read.
    const std::string here = std::filesystem::current_path().string();
    EXPECT_EQ(line.openFile, here + "/in.json");
    EXPECT_EQ(line.saveFile, here + "/out.json");
    EXPECT_EQ(line.journalFile, here + "/j.txt");
    EXPECT_EQ(line.cloudFolder, "/c/d");
    EXPECT_EQ(line.folders, (std::map<int, std::string>{{103, here + "/arrows"}}));
    EXPECT_EQ(line.preferences, (std::vector<std::pair<std::string, std::string>>{
                                    {"warning/fontProblem", "false"}, {"a", "1"}}));
    EXPECT_TRUE(line.panel);
    EXPECT_TRUE(line.help);
    EXPECT_TRUE(line.scripts.empty());
    for (const char* bad : {"--folder", "--pref"}) {
        EXPECT_FALSE(ParseCommandLine({bad, "noequals"}, &line, &error)) << bad;
    }
    EXPECT_FALSE(ParseCommandLine({"--folder", "arrows=/x"}, &line, &error));
}

}  // namespace
