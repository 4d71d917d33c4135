// plimhost as a user runs it: script lines in, one reply line each out.
#include <algorithm>
#include <cstdio>
#include <fstream>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/inotify.h>
#include <sys/wait.h>
#include <unistd.h>

#include "CommandNames.h"
#include "CommandTableRows.h"
#include "PluginFixture.h"
#include "ProgramRun.h"

namespace {

struct PlimhostRun {
    int status = -1;
    std::vector<std::string> lines;
};

PlimhostRun RunPlimhost(const std::string& arguments, const std::string& input) {
    const testsupport::ScratchFolder scratch("plimhost-e2e");
    const testsupport::ProgramRun program =
        testsupport::RunProgram(scratch, std::string(PLIM_BIN_DIR) + "/plimhost " + arguments, input);
    return {program.status, program.Lines()};
}

TEST(Plimhost, AnswersEachScriptLine) {
    const PlimhostRun run = RunPlimhost(
        "", "version {\"uid\":\"u1\"}\nnoSuchCommand {}\n\n# a remark\ncomment {\"text\":\"hi\"}\n");
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
    EXPECT_EQ(run.lines.size(), 3u);
}

TEST(Plimhost, RefusesAMissingPlugin) {
    EXPECT_EQ(RunPlimhost("--plugin /nonexistent/PlimUtils.so", "version {}\n").status, 1);
}

TEST(Plimhost, RefusesUnknownOptions) {
    EXPECT_EQ(RunPlimhost("--bogus", "").status, 2);
}

// Closing the last open document leaves none, whether plimhost started with a file or a new
// document: the commands answer that there is no document, and --save writes nothing, says why and
// fails.
TEST(Plimhost, ClosingTheLastDocumentLeavesNone) {
    const std::string sample = std::string(PLIM_SOURCE_DIR) + "/examples/sample.json";
    const std::vector<std::pair<const char*, const char*>> lines = {
        {"closeDocument {}", R"({"eventType":"closeDocument"})"},
        {"saveFile {}", R"({"error":"Document not found","eventType":"saveFile"})"},
        {"saveCloudFile {}", R"({"error":"No current document","eventType":"saveCloudFile"})"},
        {"revert {}", R"({"error":"Document not found","eventType":"revert"})"},
        {R"(setDocumentColorMode {"colorMode":"RGB"})",
         R"({"error":"Document not found","eventType":"setDocumentColorMode"})"},
        {"closeDocument {}", R"({"error":"Can't close a document","eventType":"closeDocument"})"},
    };
    std::string script;
    for (const auto& [line, reply] : lines) {
        script += std::string(line) + "\n";
    }
    for (const std::string& start : {"--open " + sample, std::string("--new")}) {
        SCOPED_TRACE(start);
        const testsupport::ScratchFolder scratch("plimhost-closed");
        const std::string saved = (scratch.Path() / "saved.ai").string();
        const testsupport::ProgramRun run = testsupport::RunProgram(
            scratch, std::string(PLIM_BIN_DIR) + "/plimhost " + start + " --save " + saved, script);
        EXPECT_EQ(run.status, 1);
        EXPECT_NE(run.err.find("cannot save the document to " + saved + ": no document is open"),
                  std::string::npos)
            << run.err;
        EXPECT_FALSE(std::filesystem::exists(saved));
        ASSERT_EQ(run.Lines().size(), lines.size()) << run.out;
        for (std::size_t i = 0; i < lines.size(); ++i) {
            EXPECT_EQ(run.Lines()[i], lines[i].second);
        }
    }
}

}  // namespace

namespace {

// The tag commands as a script user runs them: on the example document, saved afterwards.
TEST(Plimhost, TagScriptOnTheExampleDocument) {
    const std::filesystem::path saved =
        std::filesystem::temp_directory_path() / ("plimhost-tags-" + std::to_string(getpid()) + ".json");
    const PlimhostRun run = RunPlimhost(
        "--open " + std::string(PLIM_SOURCE_DIR) + "/examples/sample.json --save " + saved.string(),
        "setTags {\"tagSearch\":\"logo\",\"tags\":[\"Sale Item\"]}\n"
        "getByTags {\"tagSearch\":\"sale_item & logo\"}\n"
        "removeTags {\"tags\":[\"title\"]}\n"
        "getAllTags {\"contents\":false}\n");
    EXPECT_EQ(run.status, 0);
    ASSERT_EQ(run.lines.size(), 4u);
    EXPECT_EQ(run.lines[0],
              R"({"eventType":"setTags","replace":false,"tagSearch":"logo","tags":["Sale Item"]})");
    EXPECT_EQ(
        run.lines[1],
        R"({"eventType":"getByTags","tagSearch":"sale_item & logo","uuid":["2bafb2c4-dc21-44ec-b494-af1019f0d72c"]})");
    EXPECT_EQ(run.lines[2], R"({"all":false,"eventType":"removeTags","tags":["title"]})");
    const json all = json::parse(run.lines[3]);
    EXPECT_EQ(std::count(all["tags"].begin(), all["tags"].end(), "title"), 0);
    EXPECT_EQ(std::count(all["tags"].begin(), all["tags"].end(), "sale_item"), 1);

    std::ifstream file(saved);
    const json document = json::parse(file);
    const std::string text = document.dump();
    EXPECT_NE(text.find("\"value\":\"sale_item\""), std::string::npos);
    EXPECT_EQ(text.find("\"value\":\"title\""), std::string::npos);
    std::filesystem::remove(saved);
}

// What the writers' libraries have to say stays off standard error, which holds plimhost's own
// lines only: the poster with its picture placed twice (qpdf mends the PDF cairo writes for it) in
// every format, with its metadata.
TEST(Plimhost, ExportsLeaveStandardErrorToPlimhost) {
    const testsupport::ScratchFolder scratch("plimhost-export-quiet");
    const std::filesystem::path examples = std::filesystem::path(PLIM_SOURCE_DIR) / "examples";
    std::filesystem::copy_file(examples / "poster-photo.png", scratch.Path() / "poster-photo.png");
    json poster = json::parse(testsupport::ReadFile(examples / "poster.json"));
    bool twinned = false;
    for (json& layer : poster["layers"]) {
        json& children = layer["children"];
        for (std::size_t i = 0; i < children.size(); ++i) {
            if (children[i].contains("file")) {
                json twin = children[i];
                twin.erase("uuid");
                twin["matrix"][4] = 10.0;
                children.push_back(twin);
                twinned = true;
                break;
            }
        }
    }
    ASSERT_TRUE(twinned);
    const std::string document = scratch.Write("poster.ai", poster.dump());
    const std::string script =
        "exportFile {\"formats\":[\"pdf\",\"svg\",\"eps\",\"ai\",\"png\",\"jpg\",\"tif\","
        "\"psd\"],\"document\":true,\"folderPath\":\"out\",\"fileName\":\"p\","
        "\"metadata\":{\"author\":[\"A\"]}}\n";
    const testsupport::ProgramRun run =
        testsupport::RunProgram(scratch,
                                "cd '" + scratch.Path().string() + "' && '" + PLIM_BIN_DIR +
                                    "/plimhost' --fail-on-error --open '" + document + "'",
                                script);
    EXPECT_EQ(run.status, 0) << run.out << run.err;
    EXPECT_EQ(run.err, "");
    ASSERT_EQ(run.Lines().size(), 1u) << run.out;
    for (const json& result : json::parse(run.Lines()[0])["Results"]) {
        EXPECT_EQ(result["exportSuccessful"], true) << result.dump();
    }
}

// The panel's side through plimhost --panel: the handshake, one result per request addressed to
// the sender, nothing for the notification switches, and the XML form of the older requests.
TEST(Plimhost, PanelEvents) {
    const PlimhostRun run =
        RunPlimhost("--panel --open " + std::string(PLIM_SOURCE_DIR) + "/examples/sample.json",
                    "panelready\n"
                    "version {\"uid\":\"p\"}\n"
                    "tagNotifyOff\n"
                    "selectByTags {\"tagSearch\":\"logo\"}\n"
                    "getSymbolList\n");
    EXPECT_EQ(run.status, 0);
    ASSERT_EQ(run.lines.size(), 4u);
    EXPECT_EQ(run.lines[0],
              "com.torvi.event.startup_callback\t<payload><pluginInfo>PlimUtils Plugin "
              "v.0.0.1</pluginInfo></payload>");
    EXPECT_EQ(run.lines[1].rfind("com.torvi.event.result\t{\"SDK\":\"28.1\",\"eventType\":\"version\"", 0),
              0u);
    EXPECT_EQ(
        run.lines[2],
        "com.torvi.event.result\t{\"add\":false,\"eventType\":\"selectByTags\",\"tagSearch\":\"logo\"}");
    EXPECT_EQ(run.lines[3], "com.torvi.event.result\t<payload><result>Star</result></payload>");
}

}  // namespace

namespace {

// The swatch commands with a swatch library through plimhost, the saved document read back; and a
// library that can't be read.
TEST(Plimhost, SwatchScriptWithALibrary) {
    const std::filesystem::path saved =
        std::filesystem::temp_directory_path() / ("plimhost-swatches-" + std::to_string(getpid()) + ".json");
    const std::string examples = std::string(PLIM_SOURCE_DIR) + "/examples/";
    const PlimhostRun run =
        RunPlimhost("--open " + examples + "appearance.json --swatch-library " + examples +
                        "libraries/brand-library.json --save " + saved.string(),
                    "makeSwatch {\"color\":{\"swatchName\":\"Book "
                    "Red\",\"swatchLibrary\":\"Brand Book\",\"colorSpace\":\"Custom\"}}\n"
                    "mergeSwatches {\"target\":\"Leaf\",\"swatches\":[\"Moss\"]}\n"
                    "getGraphicStyle {\"tagSearch\":\"leafy\"}\n");
    EXPECT_EQ(run.status, 0);
    ASSERT_EQ(run.lines.size(), 3u);
    EXPECT_EQ(run.lines[0], R"({"eventType":"makeSwatch"})");
    EXPECT_EQ(json::parse(run.lines[2]).at("graphicStyle").at("paintFields")[1].at("color").at("swatchName"),
              "Leaf");
    const auto reopened = host::model::openDocument(saved);
    std::filesystem::remove(saved);
    ASSERT_TRUE(reopened.document) << reopened.error;
    const auto& colors = reopened.document->colors();
    EXPECT_NE(colors.customColorByName("Book Red"), nullptr);
    EXPECT_NE(colors.swatchByName("Book Red"), nullptr);
    EXPECT_EQ(colors.swatchByName("Moss"), nullptr);
    EXPECT_EQ(RunPlimhost("--swatch-library /nonexistent.json", "version {}\n").status, 1);
}

}  // namespace

namespace {

// The panel's older requests through plimhost --panel, the saved document read back.
TEST(Plimhost, PanelPaintAndStyleList) {
    const std::filesystem::path saved =
        std::filesystem::temp_directory_path() / ("plimhost-paint-" + std::to_string(getpid()) + ".json");
    const PlimhostRun run = RunPlimhost(
        "--panel --open " + std::string(PLIM_SOURCE_DIR) + "/examples/appearance.json --save " +
            saved.string(),
        "applyPaint <payload><tag>_p_tag_38d2a198</tag><fill><swatch>Moss</swatch></fill></payload>\n"
        "getArtStyleList\n");
    EXPECT_EQ(run.status, 0);
    ASSERT_EQ(run.lines.size(), 2u);
    EXPECT_EQ(run.lines[0], "com.torvi.event.result\t<payload><result>_p_tag_38d2a198</result></payload>");
    EXPECT_EQ(run.lines[1], "com.torvi.event.result\t<payload><result>'Outlined','Bob's'</result></payload>");
    std::ifstream file(saved);
    const json document = json::parse(file, nullptr, false);
    std::filesystem::remove(saved);
    EXPECT_EQ(
        document.value(json::json_pointer("/layers/0/children/1/style/paintFields/0/fill/color"), json()),
        json::parse(R"({"rgb":[0.2,0.4,0.2]})"));
}

}  // namespace

namespace {

// plimhost never links the plug-in: it keeps the command names (to name the nearest ones to a name
// that is none) in a list of its own, which must be the plug-in's table.
TEST(Plimhost, KnowsTheCommandTable) {
    const std::span<const plimhost::CommandName> names = plimhost::CommandNames();
    ASSERT_EQ(names.size(), std::size(kRows));
    for (std::size_t i = 0; i < names.size(); ++i) {
        SCOPED_TRACE(kRows[i].name);
        EXPECT_EQ(names[i].name, kRows[i].name);
        EXPECT_EQ(names[i].byScript, (kRows[i].ways & kByScript) != 0);
        EXPECT_EQ(names[i].byPanel, (kRows[i].ways & kByPanel) != 0);
    }
}

}  // namespace

namespace {

// Folders of one character are folders as any other ("." the working folder, "x" a folder in it,
// "/" the root, tried by a test export), a file of one character opens, and "~" is $HOME.
TEST(Plimhost, OneCharacterPathsAndTheHomeFolder) {
    const testsupport::ScratchFolder scratch("plimhost-paths");
    const std::filesystem::path home = scratch.Path() / "home";
    std::filesystem::create_directories(home);
    const std::string sample = std::string(PLIM_SOURCE_DIR) + "/examples/boards.json";
    const std::string script =
        "saveFile {\"outputPath\":\".\",\"fileName\":\"dot.ai\"}\n"
        "saveFile {\"outputPath\":\"x\",\"fileName\":\"x.ai\"}\n"
        "exportFile {\"formats\":[\"svg\"],\"document\":true,\"folderPath\":\".\",\"fileName\":\"e1\"}\n"
        "exportFile {\"formats\":[\"svg\"],\"document\":true,\"folderPath\":\"y\",\"fileName\":\"e2\"}\n"
        "exportFile {\"formats\":[\"svg\"],\"document\":true,\"folderPath\":\"/\",\"fileName\":\"e3\","
        "\"testExport\":true}\n"
        "saveFile {\"outputPath\":\"~\",\"fileName\":\"home.ai\"}\n"
        "exportFile {\"formats\":[\"svg\"],\"document\":true,\"folderPath\":\"~/ex\",\"fileName\":\"e4\"}\n"
        "copyFile {\"source\":\"~/home.ai\",\"destination\":\"z\"}\n"
        "openFile {\"filePath\":\"z\"}\n";
    const testsupport::ProgramRun run =
        testsupport::RunProgram(scratch,
                                "cd '" + scratch.Path().string() + "' && HOME='" + home.string() + "' '" +
                                    PLIM_BIN_DIR + "/plimhost' --fail-on-error --open '" + sample + "'",
                                script);
    EXPECT_EQ(run.status, 0) << run.out << run.err;
    EXPECT_EQ(run.err, "");
    ASSERT_EQ(run.Lines().size(), 9u) << run.out;
    for (const std::string& reply : run.Lines()) {
        EXPECT_FALSE(json::parse(reply).contains("error")) << reply;
    }
    EXPECT_EQ(json::parse(run.Lines()[8]).value("filePath", ""), "z");
    for (const std::filesystem::path& file :
         {scratch.Path() / "dot.ai", scratch.Path() / "x/x.ai", scratch.Path() / "e1.svg",
          scratch.Path() / "y/e2.svg", home / "home.ai", home / "ex/e4.svg", scratch.Path() / "z"}) {
        EXPECT_TRUE(std::filesystem::is_regular_file(file)) << file;
    }
    EXPECT_FALSE(std::filesystem::exists("/e3.svg"));
}

}  // namespace

namespace {

// A signal that ends plimhost while a file is being made leaves no temporary file, also after a
// picture has drawn an SVG file with a filter (whose library starts threads of its own, in the
// picture's process only): plimhost holds the signal back until the file is delivered or removed,
// then ends by it.
struct SignalCase {
    const char* name;
    // The script's last line, during which the signal comes.
    std::string (*lastLine)(const testsupport::ScratchFolder& folder);
    // The folder where the line makes its temporary file, and how the file's name begins.
    const char* watched;
    const char* prefix;
};

const SignalCase kSignalCases[] = {
    {"DuringAnExport",
     [](const testsupport::ScratchFolder& folder) {
         return R"(exportFile {"formats":["png","pdf","svg"],"folderPath":")" +
                (folder.Path() / "out").string() + R"(","fileName":"second","resolution":300})";
     },
     "tmp", "torviAiTempFile"},
    {"DuringACopy",
     [](const testsupport::ScratchFolder& folder) {
         const std::filesystem::path big = folder.Path() / "big.bin";
         std::ofstream(big, std::ios::binary) << std::string(std::size_t{256} << 20, 'x');
         return R"(copyFile {"source":")" + big.string() + R"(","destination":")" +
                (folder.Path() / "copy" / "big.bin").string() + R"("})";
     },
     "copy", "."},
};

class PlimhostSignals : public testing::TestWithParam<SignalCase> {};

TEST_P(PlimhostSignals, LeaveNoTemporaryFile) {
    const SignalCase& c = GetParam();
    const testsupport::ScratchFolder scratch("plimhost-signals");
    for (const char* folder : {"tmp", "out", "copy"}) {
        std::filesystem::create_directory(scratch.Path() / folder);
    }
    const std::string svg = scratch.Write(
        "blurred.svg", R"(<svg xmlns="http://www.w3.org/2000/svg" width="20" height="20">)"
                       R"(<filter id="b"><feGaussianBlur stdDeviation="2"/></filter>)"
                       R"x(<rect width="20" height="20" fill="#0000ff" filter="url(#b)"/></svg>)x");
    const std::string document =
        scratch.Write("poster.ai", R"({"format": "plimhost-document", "version": 1,
  "artboards": [{"name": "One", "rect": [0.0, 400.0, 400.0, 0.0]}],
  "layers": [{"type": "layer", "title": "Art", "children": [{"type": "placed", "file": )" +
                                       json(svg).dump() +
                                       R"(, "frame": [0, 20, 20, 0], "matrix": [20, 0, 0, 20, 0, 0]}]}]})");
    const std::string script = scratch.Write(
        "script.plim", R"(exportFile {"formats":["png"],"folderPath":")" + (scratch.Path() / "out").string() +
                           R"(","fileName":"first"})" + "\n" + c.lastLine(scratch) + "\n");
    const std::filesystem::path watched = scratch.Path() / c.watched;
    const int notify = inotify_init1(IN_CLOEXEC);
    ASSERT_GE(notify, 0);
    ASSERT_GE(inotify_add_watch(notify, watched.c_str(), IN_CREATE), 0);

    const std::string tmp = "TMPDIR=" + (scratch.Path() / "tmp").string();
    const std::string plimhost = std::string(PLIM_BIN_DIR) + "/plimhost";
    const std::string out = (scratch.Path() / "stdout.txt").string();
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        ::putenv(const_cast<char*>(tmp.c_str()));
        const int quiet = ::open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        ::dup2(quiet, STDOUT_FILENO);
        ::execl(plimhost.c_str(), plimhost.c_str(), "--open", document.c_str(), script.c_str(),
                static_cast<char*>(nullptr));
        ::_exit(127);
    }
    // The signal comes once the line's temporary file is there.
    bool sent = false;
    int made = 0;
    while (!sent) {
        pollfd ready{notify, POLLIN, 0};
        if (::poll(&ready, 1, 120'000) <= 0) {
            break;
        }
        alignas(inotify_event) char events[4096];
        const ssize_t length = ::read(notify, events, sizeof events);
        for (ssize_t at = 0; at < length && !sent;) {
            const auto* event = reinterpret_cast<const inotify_event*>(events + at);
            const std::string name = event->len > 0 ? event->name : "";
            // The first line's job makes a temporary folder too: the last line's is the one.
            if (name.rfind(c.prefix, 0) == 0 && (std::string(c.watched) != "tmp" || ++made == 2)) {
                sent = ::kill(child, SIGTERM) == 0;
            }
            at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
        }
    }
    ::close(notify);
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(sent);
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGTERM) << status;
    for (const char* folder : {"tmp", "out", "copy"}) {
        for (const auto& entry : std::filesystem::directory_iterator(scratch.Path() / folder)) {
            const std::string name = entry.path().filename().string();
            // Whole files only: a file delivered before the signal took effect may be there.
            EXPECT_TRUE(name == "first.png" || name.rfind("second.", 0) == 0 || name == "big.bin")
                << entry.path();
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, PlimhostSignals, testing::ValuesIn(kSignalCases),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
