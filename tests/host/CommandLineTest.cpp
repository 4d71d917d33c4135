// plimhost's command line and script lines.
#include <gtest/gtest.h>
#include <filesystem>

#include "CommandLine.h"
#include "CommandNames.h"
#include "Replies.h"
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
    testing::Values(
        ArgumentsCase{"nothing", {}, true}, ArgumentsCase{"new", {"--new"}, true},
        ArgumentsCase{"everything", {"--open", "a", "--save", "b", "--panel", "--plugin", "p", "s"}, true},
        ArgumentsCase{"equals_form", {"--plugin=p"}, true}, ArgumentsCase{"stdin", {"-"}, true},
        ArgumentsCase{"unknown", {"--frobnicate"}, false}, ArgumentsCase{"short_unknown", {"-x"}, false},
        ArgumentsCase{"missing_value", {"--plugin"}, false},
        ArgumentsCase{"empty_value", {"--plugin="}, false},
        ArgumentsCase{"open_and_new", {"--new", "--open", "a"}, false},
        ArgumentsCase{"open_twice", {"--open", "a", "--open=b"}, false},
        ArgumentsCase{"save_twice", {"--save", "a", "--save", "a"}, false},
        ArgumentsCase{"fail_on_error", {"--fail-on-error", "s"}, true},
        ArgumentsCase{"version", {"--version"}, true},
        ArgumentsCase{"folder_type_too_long", {"--folder", "1234567890=/x"}, false},
        ArgumentsCase{"picture_limits", {"--picture-time", "3600", "--picture-memory=64"}, true},
        ArgumentsCase{"picture_time_zero", {"--picture-time", "0"}, false},
        ArgumentsCase{"picture_time_too_long", {"--picture-time", "3601"}, false},
        ArgumentsCase{"picture_time_fraction", {"--picture-time", "1.5"}, false},
        ArgumentsCase{"picture_memory_too_small", {"--picture-memory", "63"}, false},
        ArgumentsCase{"picture_memory_huge", {"--picture-memory", "99999999999999"}, false},
        ArgumentsCase{"picture_time_twice", {"--picture-time", "5", "--picture-time", "5"}, false}),
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
         "--picture-time", "10", "--pref", "a=1", "--folder", "103=arrows", "--cloud", "/c/./d", "--journal",
         "j.txt", "--picture-memory", "2048"},
        &line, &error));
    // Relative paths are made absolute as they are read.
    const std::string here = std::filesystem::current_path().string();
    EXPECT_EQ(line.openFile, here + "/in.json");
    EXPECT_EQ(line.saveFile, here + "/out.json");
    EXPECT_EQ(line.journalFile, here + "/j.txt");
    EXPECT_EQ(line.cloudFolder, "/c/d");
    EXPECT_EQ(line.folders, (std::map<int, std::string>{{103, here + "/arrows"}}));
    // The picture's limits are their preferences, set last.
    EXPECT_EQ(line.preferences,
              (std::vector<std::pair<std::string, std::string>>{{"warning/fontProblem", "false"},
                                                                {"a", "1"},
                                                                {"pictureTimeLimit", "10"},
                                                                {"pictureMemoryLimit", "2048"}}));
    EXPECT_TRUE(line.panel);
    EXPECT_TRUE(line.help);
    EXPECT_TRUE(line.scripts.empty());
    for (const char* bad : {"--folder", "--pref"}) {
        EXPECT_FALSE(ParseCommandLine({bad, "noequals"}, &line, &error)) << bad;
    }
    EXPECT_FALSE(ParseCommandLine({"--folder", "arrows=/x"}, &line, &error));
}

TEST(CommandLine, ReadSwitches) {
    CommandLine line;
    std::string error;
    ASSERT_TRUE(ParseCommandLine({"--fail-on-error", "--version"}, &line, &error));
    EXPECT_TRUE(line.failOnError);
    EXPECT_TRUE(line.version);
    ASSERT_TRUE(ParseCommandLine({}, &line, &error));
    EXPECT_FALSE(line.failOnError);
    EXPECT_FALSE(line.version);
}

struct NearestCase {
    const char* label;
    std::string name;
    bool panel;
    std::vector<std::string> nearest;
};

class NearestNames : public testing::TestWithParam<NearestCase> {};

TEST_P(NearestNames, AreTheLikelySlips) {
    EXPECT_EQ(plimhost::NearestCommandNames(GetParam().name, GetParam().panel), GetParam().nearest);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, NearestNames,
    testing::Values(NearestCase{"letter_case", "GETBYTAGS", false, {"getByTags"}},
                    NearestCase{"one_letter_missing", "rotat", false, {"rotate"}},
                    NearestCase{"nearest_only", "getTag", false, {"getTags"}},
                    NearestCase{"cut_short", "ungroup", false, {"ungroupObjects"}},
                    NearestCase{"several_equally_near", "etTags", false, {"setTags", "getTags"}},
                    NearestCase{"at_most_three", "get", false, {"getTags", "getAllTags", "getByTags"}},
                    NearestCase{"nothing_near", "frobnicate", false, {}},
                    NearestCase{"panel_only_names_by_script", "getSymbolLis", false, {}},
                    NearestCase{"panel_only_names_by_panel", "getSymbolLis", true, {"getSymbolList"}},
                    NearestCase{"empty", "", false, {}},
                    NearestCase{"one_letter_too_many", "selectByTagss", false, {"selectByTags"}},
                    NearestCase{
                        "long_slip", "reduceToBasicAppearanceXYZ", false, {"reduceToBasicAppearance"}},
                    // A name longer than any command by more than a slip is compared with none:
                    // a huge name costs no more than a short one.
                    NearestCase{"longer_than_any_command", std::string(40, 'a'), false, {}},
                    NearestCase{"huge", "selectByTags" + std::string(4 << 20, 's'), true, {}}),
    [](const auto& info) { return std::string(info.param.label); });

struct ReplyErrorsCase {
    const char* label;
    std::string reply;
    std::vector<std::string> errors;
};

class ReplyErrorTexts : public testing::TestWithParam<ReplyErrorsCase> {};

TEST_P(ReplyErrorTexts, AreFound) {
    EXPECT_EQ(plimhost::ReplyErrors(GetParam().reply), GetParam().errors);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ReplyErrorTexts,
    testing::Values(
        ReplyErrorsCase{"none", R"({"eventType":"comment"})", {}},
        ReplyErrorsCase{"text", R"({"error":"Art not found","eventType":"rotate"})", {"Art not found"}},
        ReplyErrorsCase{"not_text", R"({"error":{"code":1}})", {R"({"code":1})"}},
        ReplyErrorsCase{"nested_is_not_the_replys", R"({"data":{"error":"x"}})", {}},
        ReplyErrorsCase{"word_in_a_value", R"({"text":"\"error\""})", {}},
        ReplyErrorsCase{"not_json", R"(<payload><result>"error"</result></payload>)", {}},
        ReplyErrorsCase{"array", R"(["error"])", {}},
        ReplyErrorsCase{
            "batch",
            R"({"data":[{"data":{"error":"Bad"},"eventType":"e.rotate"},{"error":"No event data found",)"
            R"("eventType":"e.x"},{"data":{}},7],"errorsPresent":true})",
            {"entry 1 (e.rotate): Bad", "entry 2 (e.x): No event data found"}},
        ReplyErrorsCase{"batch_without_errors", R"({"data":[{"error":"x"}],"errorsPresent":false})", {}},
        ReplyErrorsCase{"batch_refused",
                        R"({"data":[],"error":"No data found","errorsPresent":false})",
                        {"No data found"}}),
    [](const auto& info) { return std::string(info.param.label); });

TEST(Replies, PlaceLines) {
    EXPECT_EQ(plimhost::PlaceLine({"job.plim", 12, "rotate"}, "Art not found"),
              "job.plim:12: rotate: Art not found");
    EXPECT_EQ(plimhost::PlaceLine({"-", 1, "x"}, "y"), "-:1: x: y");
    EXPECT_EQ(plimhost::PlaceLine({"", 0, "com.torvi.event.result"}, "y"),
              "plimhost: com.torvi.event.result: y");
}

TEST(Replies, ByteOrderMarks) {
    for (const auto& [text, left] :
         std::vector<std::pair<std::string, std::string>>{{"\xEF\xBB\xBFversion", "version"},
                                                          {"version\xEF\xBB\xBF", "version\xEF\xBB\xBF"},
                                                          {"\xEF\xBB", "\xEF\xBB"},
                                                          {"", ""},
                                                          {"\xEF\xBB\xBF\xEF\xBB\xBF", "\xEF\xBB\xBF"}}) {
        std::string dropped = text;
        plimhost::DropByteOrderMark(dropped);
        EXPECT_EQ(dropped, left);
    }
}

TEST(Replies, PluginVersionLines) {
    EXPECT_EQ(
        plimhost::PluginVersionLine(
            R"({"SDK":"28.1","eventType":"version","pluginPath":"/p.so","timeStamp":"t","version":"1.0.9"})"),
        "plug-in 1.0.9, SDK 28.1, built t, /p.so");
    EXPECT_EQ(plimhost::PluginVersionLine(R"({"version":"2"})"), "plug-in 2");
    EXPECT_EQ(plimhost::PluginVersionLine("plain"), std::nullopt);
    EXPECT_EQ(plimhost::PluginVersionLine(R"({"error":"x"})"), std::nullopt);
}

}  // namespace
