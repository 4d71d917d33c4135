// The user's manual of the commands (docs/commands.md) against the program: every command of the
// table has a section with an example of its own, and every example runs through plimhost on its
// example document and answers with the keys the manual shows, so the manual can't drift from the
// program unnoticed.
//
// An example is a fenced block with the info string "plim DOCUMENT" (script lines, sent as script
// messages) or "plim-panel DOCUMENT" (sent as panel events with --panel), DOCUMENT being a path from
// the repository root or "new"; the block after it shows what the last line answers (a ```json
// reply) or, for panel blocks, every event printed (a ```text block of TYPE<TAB>DATA lines).
#include <atomic>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <thread>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "CommandTableRows.h"
#include "ProgramRun.h"

// Names a row of the command table by its command in test output.
static void PrintTo(const Row& row, std::ostream* out) {
    *out << row.name;
}

namespace {

namespace fs = std::filesystem;
using json = nlohmann::json;

// The folder the examples write their files into; each run gets its own in its place.
constexpr std::string_view kExampleOutput = "/tmp/plim-manual";

// The manual, from the repository root.
constexpr std::string_view kManual = "docs/commands.md";

struct Example {
    std::string file;     // the manual file, from the repository root
    int line = 0;         // the line of the block's opening fence
    std::string section;  // the command of the section it stands in ("" before the first)
    bool panel = false;
    std::string document;             // "new" or a path from the repository root
    std::vector<std::string> script;  // the lines sent; the last is the example
    std::vector<std::string> shown;   // what the manual shows it answers
    bool shownIsJson = false;

    // The command the example's last line sends.
    std::string Command() const {
        const std::string& last = script.empty() ? std::string() : script.back();
        return last.substr(0, last.find(' '));
    }
};

std::string Trim(const std::string& text) {
    const size_t first = text.find_first_not_of(" \t\r");
    if (first == std::string::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

// The command a "### `name`" heading names; empty for any other line.
std::string SectionName(const std::string& line) {
    const std::string prefix = "### `";
    if (line.rfind(prefix, 0) != 0) {
        return {};
    }
    const size_t end = line.find('`', prefix.size());
    return end == std::string::npos ? std::string() : line.substr(prefix.size(), end - prefix.size());
}

std::vector<std::string> ReadLines(const fs::path& path) {
    std::ifstream file(path);
    std::vector<std::string> lines;
    for (std::string line; std::getline(file, line);) {
        lines.push_back(line);
    }
    return lines;
}

// The lines of the fenced block opened at lines[at], up to its closing fence; at ends on the fence.
std::vector<std::string> BlockBody(const std::vector<std::string>& lines, size_t& at) {
    std::vector<std::string> body;
    for (++at; at < lines.size() && Trim(lines[at]) != "```"; ++at) {
        body.push_back(lines[at]);
    }
    return body;
}

// The example blocks of one manual file, each with the block that follows it.
std::vector<Example> ParseExamples(const std::string& file) {
    const std::vector<std::string> lines = ReadLines(fs::path(PLIM_SOURCE_DIR) / file);
    std::vector<Example> examples;
    std::string section;
    for (size_t i = 0; i < lines.size(); ++i) {
        if (const std::string name = SectionName(lines[i]); !name.empty()) {
            section = name;
            continue;
        }
        std::istringstream fence(lines[i]);
        std::string info;
        std::string document;
        fence >> info >> document;
        if (info != "```plim" && info != "```plim-panel") {
            continue;
        }
        Example example;
        example.file = file;
        example.line = static_cast<int>(i) + 1;
        example.section = section;
        example.panel = info == "```plim-panel";
        example.document = document;
        for (const std::string& line : BlockBody(lines, i)) {
            if (!Trim(line).empty() && Trim(line)[0] != '#') {
                example.script.push_back(Trim(line));
            }
        }
        // The reply block is the next fenced block.
        size_t next = i + 1;
        while (next < lines.size() && Trim(lines[next]).rfind("```", 0) != 0) {
            ++next;
        }
        if (next < lines.size()) {
            example.shownIsJson = Trim(lines[next]) == "```json";
            example.shown = BlockBody(lines, next);
            i = next;
        }
        examples.push_back(std::move(example));
    }
    return examples;
}

std::vector<Example> AllExamples() {
    return ParseExamples(std::string(kManual));
}

// The command sections of the manual, by command name.
std::set<std::string> Sections() {
    std::set<std::string> sections;
    for (const std::string& line : ReadLines(fs::path(PLIM_SOURCE_DIR) / kManual)) {
        if (std::string name = SectionName(line); !name.empty()) {
            sections.insert(std::move(name));
        }
    }
    return sections;
}

using testsupport::Replace;

std::set<std::string> KeysOf(const json& object) {
    std::set<std::string> keys;
    for (const auto& [key, value] : object.items()) {
        keys.insert(key);
    }
    return keys;
}

// Runs the example's lines through plimhost in a scratch folder that holds a copy of examples/ (so
// that an example that saves its document can't change the repository's), with "/tmp/plim-manual"
// turned into a folder of the scratch folder.
testsupport::ProgramRun RunExample(const Example& example) {
    const testsupport::ScratchFolder scratch("plim-manual");
    fs::copy(fs::path(PLIM_SOURCE_DIR) / "examples", scratch.Path() / "examples",
             fs::copy_options::recursive);
    const std::string output = (scratch.Path() / "plim-manual").string();
    fs::create_directories(output);
    std::string script;
    for (const std::string& line : example.script) {
        script += Replace(line, kExampleOutput, output) + "\n";
    }
    std::string command = "cd '" + scratch.Path().string() + "' && '" + PLIM_BIN_DIR + "/plimhost'";
    if (example.panel) {
        command += " --panel";
    }
    if (example.document != "new") {
        command += " --open '" + example.document + "'";
    }
    return testsupport::RunProgram(scratch, command, script);
}

// The event types of TYPE<TAB>DATA lines, and the data of each.
std::vector<std::pair<std::string, std::string>> PanelEvents(const std::vector<std::string>& lines) {
    std::vector<std::pair<std::string, std::string>> events;
    for (const std::string& line : lines) {
        const size_t gap = line.find_first_of(" \t");
        events.emplace_back(line.substr(0, gap), gap == std::string::npos ? "" : Trim(line.substr(gap)));
    }
    return events;
}

class ManualCommands : public testing::TestWithParam<Row> {};

TEST_P(ManualCommands, HaveASectionWithAnExampleOfTheirOwn) {
    const std::string name = GetParam().name;
    ASSERT_EQ(Sections().count(name), 1u) << "no section \"### `" << name << "`\" in docs/commands.md";
    bool exampled = false;
    for (const Example& example : AllExamples()) {
        exampled = exampled || (example.section == name && example.Command() == name);
    }
    EXPECT_TRUE(exampled) << "the section of " << name << " has no example whose last line sends it";
}

// A command name as a test name: letters and digits only ("z-order" becomes "z_order").
std::string TestName(std::string name) {
    for (char& c : name) {
        c = std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
    }
    return name;
}

std::string RowName(const testing::TestParamInfo<Row>& info) {
    return TestName(info.param.name);
}

INSTANTIATE_TEST_SUITE_P(Table, ManualCommands, testing::ValuesIn(kRows), RowName);

std::string Where(const Example& example) {
    return example.file + ":" + std::to_string(example.line);
}

// Names a failing example by where it stands in the manual.
void PrintTo(const Example& example, std::ostream* out) {
    *out << Where(example);
}

// Each example is one plimhost run. The runs of the examples this process will check are made
// before the first check, a few at a time, so that the whole manual takes about as long as its
// slowest runs rather than the sum of them all.
class ManualExamples : public testing::TestWithParam<Example> {
public:
    static void SetUpTestSuite() {
        std::set<std::string> selected;
        const testing::TestSuite* suite = testing::UnitTest::GetInstance()->current_test_suite();
        for (int i = 0; suite != nullptr && i < suite->total_test_count(); ++i) {
            const testing::TestInfo* test = suite->GetTestInfo(i);
            if (test->should_run() && test->value_param() != nullptr) {
                selected.insert(test->value_param());
            }
        }
        std::vector<Example> examples;
        for (Example& example : AllExamples()) {
            if (selected.contains(Where(example))) {
                examples.push_back(std::move(example));
            }
        }
        std::vector<testsupport::ProgramRun> runs(examples.size());
        std::atomic<size_t> next{0};
        const auto work = [&] {
            for (size_t i = next++; i < examples.size(); i = next++) {
                runs[i] = RunExample(examples[i]);
            }
        };
        std::vector<std::thread> workers;
        for (unsigned n = 0; n < kConcurrentRuns; ++n) {
            workers.emplace_back(work);
        }
        for (std::thread& worker : workers) {
            worker.join();
        }
        for (size_t i = 0; i < examples.size(); ++i) {
            Runs()[Where(examples[i])] = std::move(runs[i]);
        }
    }
    static void TearDownTestSuite() { Runs().clear(); }

protected:
    // The run made for the example, or a run made now when there is none.
    static testsupport::ProgramRun RunOf(const Example& example) {
        const auto made = Runs().find(Where(example));
        return made != Runs().end() ? made->second : RunExample(example);
    }

private:
    static constexpr unsigned kConcurrentRuns = 4;

    static std::map<std::string, testsupport::ProgramRun>& Runs() {
        static std::map<std::string, testsupport::ProgramRun> runs;
        return runs;
    }
};

TEST_P(ManualExamples, AnswerWithTheKeysTheManualShows) {
    const Example& example = GetParam();
    SCOPED_TRACE(Where(example));
    ASSERT_FALSE(example.script.empty()) << "the example has no script line";
    // A panel example may show no event at all: some commands send the panel nothing.
    ASSERT_TRUE(example.panel || !example.shown.empty()) << "the example shows no reply";
    const testsupport::ProgramRun run = RunOf(example);
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out.find("Unknown event type"), std::string::npos) << run.out;
    const std::vector<std::string> lines = run.Lines();
    if (example.panel) {
        ASSERT_FALSE(example.shownIsJson) << "a panel example shows its events in a ```text block";
        const auto printed = PanelEvents(lines);
        const auto shown = PanelEvents(example.shown);
        ASSERT_EQ(printed.size(), shown.size()) << run.out;
        for (size_t i = 0; i < shown.size(); ++i) {
            EXPECT_EQ(printed[i].first, shown[i].first) << run.out;
            const json got = json::parse(printed[i].second, nullptr, false);
            const json want = json::parse(shown[i].second, nullptr, false);
            if (got.is_object() && want.is_object()) {
                EXPECT_EQ(KeysOf(got), KeysOf(want)) << printed[i].second;
            }
        }
        return;
    }
    ASSERT_TRUE(example.shownIsJson) << "a script example shows its reply in a ```json block";
    ASSERT_EQ(lines.size(), example.script.size()) << run.out;
    std::string shownText;
    for (const std::string& line : example.shown) {
        shownText += line + "\n";
    }
    const json shown = json::parse(shownText, nullptr, false);
    ASSERT_TRUE(shown.is_object()) << "the reply the manual shows is not a JSON object";
    const json reply = json::parse(lines.back(), nullptr, false);
    ASSERT_TRUE(reply.is_object()) << lines.back();
    EXPECT_EQ(KeysOf(reply), KeysOf(shown)) << lines.back();
    EXPECT_EQ(reply.value("eventType", ""), shown.value("eventType", "")) << lines.back();
}

std::string ExampleName(const testing::TestParamInfo<Example>& info) {
    std::string name = TestName(info.param.Command()) + "_line" + std::to_string(info.param.line);
    return name;
}

INSTANTIATE_TEST_SUITE_P(Manual, ManualExamples, testing::ValuesIn(AllExamples()), ExampleName);

// The examples are found at all: a parameterised test over none would pass unseen.
TEST(Manual, HoldsAnExampleForEachSection) {
    EXPECT_GE(AllExamples().size(), Sections().size());
}

}  // namespace
