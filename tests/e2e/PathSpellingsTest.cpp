// Every command that writes, replaces or deletes a file, given its folder in every spelling the
// system resolves one way and a text could be read another: a link followed by "..", "./", "//", a
// trailing "/", "~", a folder that is a link, a relative path, a folder that doesn't exist followed
// by "..". Each spelling is resolved once: the file a command checks (an open document's file, two
// jobs of one file) is the file it then writes or deletes, and a spelling the system fails is
// refused with nothing written. Run through plimhost as a user runs it, from a scratch folder that
// is the working folder and the home folder.
#include <algorithm>
#include <filesystem>
#include <iterator>
#include <string>
#include <vector>

#include "PluginFixture.h"
#include "ProgramRun.h"

namespace {

namespace fs = std::filesystem;
using testsupport::ReadFile;

using testsupport::Replace;

// Where the system takes a spelling: the scratch folder T, which holds the open documents doc.ai
// and doc.aic, or its folder T/a, which holds files of the same names that no document has open;
// or nowhere: the path climbs out of a folder that doesn't exist, and the system fails it.
enum class Place { top, a, none };

struct Spelling {
    const char* name;
    const char* folder;  // $ stands for T (absolute); T/lnk -> a/b, T/dirlink -> a; T/made exists, T/new not
    Place place;
};

const Spelling kSpellings[] = {
    {"LinkThenUp", "$/lnk/..", Place::a},  // T/a/b/.., not T
    {"LinkThenUpTwice", "$/lnk/../..", Place::top},
    {"DotSlash", "$/./a", Place::a},
    {"RelativeDotSlash", "./a", Place::a},
    {"DoubleSlash", "$//a", Place::a},
    {"TrailingSlash", "$/a/", Place::a},
    {"TrailingSlashOfTop", "$/", Place::top},
    {"Home", "~", Place::top},
    {"HomeFolder", "~/a", Place::a},
    {"FolderLink", "$/dirlink", Place::a},
    {"FolderLinkThenUp", "$/dirlink/..", Place::top},
    {"Relative", "a", Place::a},
    {"RelativeDot", ".", Place::top},
    {"Plain", "$", Place::top},
    // Read as text, each of these is T/a or T; the system takes them component by component.
    {"MissingThenUp", "$/new/../a", Place::none},
    {"MissingThenLinkThenUp", "$/new/../lnk/..", Place::none},
    {"MadeThenUp", "$/made/../a", Place::a},
    {"MadeThenLinkThenUp", "$/made/../lnk/..", Place::a},  // T/a/b/.., not T
};

enum class Effect {
    writes,   // writes the file at a, is refused at T (an open document's file)
    tests,    // checks as writes does, writes nothing
    deletes,  // closes the document of the file at T and deletes the file; at a there is none
};

struct Command {
    const char* name;
    const char*
        use;  // the script line, or plimhost's option (quoted, so no shell expands "~"); %F is the folder
    const char* file;     // the file it names in the folder
    const char* refusal;  // what the reply or standard error says at T (for deletes: at a)
    const char* done;     // what the reply says when it did its work
    const char* fails;    // what it says when the system fails the path
    Effect effect;
    bool option = false;       // a plimhost option, not a script line
    bool expandsHome = false;  // "~" is a home folder (docs/commands.md, Home folders)
    bool storage = false;      // the folder is a path of the cloud storage, whose root is T
};

const Command kCommands[] = {
    {"exportFile", R"(exportFile {"formats":["ai"],"folderPath":"%F","fileName":"doc"})", "doc.ai",
     R"("error":"Can't export over the file of an open document")", R"("exportSuccessful":true)",
     R"("error":"Can't create output directory")", Effect::writes, false, true},
    {"testExport", R"(exportFile {"formats":["ai"],"folderPath":"%F","fileName":"doc","testExport":true})",
     "doc.ai", R"("error":"Can't export over the file of an open document")", R"("exportSuccessful":true)",
     R"("error":"Can't create output directory")", Effect::tests, false, true},
    {"saveFile", R"(saveFile {"outputPath":"%F","fileName":"doc.ai"})", "doc.ai",
     R"("error":"Can't save over the file of an open document")", R"({"eventType":"saveFile"})",
     R"("error":"Can't create output directory")", Effect::writes, false, true},
    {"copyFile", R"(copyFile {"destination":"%F/doc.ai"})", "doc.ai",
     R"("error":"Can't copy over the file of an open document")", R"("copySuccessful":true)",
     R"("error":"Can't copy a file")", Effect::writes, false, true},
    {"saveCloudFile", R"(saveCloudFile {"filePath":"%F/doc"})", "doc.aic",
     R"("error":"Can't save a cloud document")", R"({"eventType":"saveCloudFile"})",
     R"("error":"Can't save a cloud document")", Effect::writes, false, false, true},
    {"closeDocument", R"(closeDocument {"filePath":"%F/doc.ai","deleteFile":true})", "doc.ai",
     R"("error":"Can't close a document")", R"({"eventType":"closeDocument"})",
     R"("error":"Can't close a document")", Effect::deletes},
    {"save", "--save '%F/doc.ai'", "doc.ai", "is the file of another open document", "",
     "No such file or directory", Effect::writes, true},
    {"journal", "--journal '%F/doc.ai'", "doc.ai", "is the file of an open document", "",
     "No such file or directory", Effect::writes, true},
    {"snapshot", "--snapshot '%F/doc.ai'", "doc.ai", "is the file of an open document", "",
     "No such file or directory", Effect::writes, true},
};

// The scratch folder T: the sample document at T/doc.ai (opened by --open) and T/doc.aic (opened
// by the script), the poster at T/cur.ai (opened last: the current document, whose content the
// commands write), copies of the sample at T/a/doc.ai and T/a/doc.aic, the folders T/a/b and
// T/made, and the links T/lnk -> a/b and T/dirlink -> a. T is the working folder, the home folder
// and the cloud storage's root.
class Scratch {
public:
    Scratch() : fFolder("spellings") {
        fSample = ReadFile(std::string(PLIM_SOURCE_DIR) + "/examples/sample.json");
        const fs::path& t = fFolder.Path();
        fs::create_directories(t / "a/b");
        fs::create_directory(t / "made");
        for (const char* file : {"doc.ai", "doc.aic", "a/doc.ai", "a/doc.aic"}) {
            fFolder.Write(file, fSample);
        }
        fFolder.Write("cur.ai", ReadFile(std::string(PLIM_SOURCE_DIR) + "/examples/poster.json"));
        fs::create_directory_symlink("a/b", t / "lnk");
        fs::create_directory_symlink("a", t / "dirlink");
    }

    std::string T() const { return fFolder.Path().string(); }
    const std::string& Sample() const { return fSample; }

    // plimhost with the options after --open T/doc.ai, running the lines after the two openings.
    testsupport::ProgramRun Run(const std::string& options, const std::string& lines) const {
        const std::string script =
            Replace("openFile {\"filePath\":\"$/doc.aic\"}\nopenFile {\"filePath\":\"$/cur.ai\"}\n" + lines,
                    "$", T());
        return testsupport::RunProgram(fFolder,
                                       "cd '" + T() + "' && HOME='" + T() + "' " + std::string(PLIM_BIN_DIR) +
                                           "/plimhost --open '" + T() + "/doc.ai' --cloud '" + T() + "' " +
                                           options,
                                       script);
    }

    // Whether the file holds the sample as it was written (an open document's file as last saved).
    bool Unchanged(const std::string& file) const { return fs::exists(file) && ReadFile(file) == fSample; }
    // Whether the file was written by the command: it holds something else than the sample.
    bool Written(const std::string& file) const { return fs::exists(file) && ReadFile(file) != fSample; }

private:
    testsupport::ScratchFolder fFolder;
    std::string fSample;
};

// The folder text a command is given for a spelling: a storage path is read from the storage's
// root (T), so "$" stands for nothing there.
std::string FolderText(const Spelling& spelling, const Command& command, const std::string& t) {
    return Replace(spelling.folder, "$", command.storage ? "" : t);
}

// How many entries the folder holds.
long EntryCount(const std::string& folder) {
    return std::distance(fs::directory_iterator(folder), fs::directory_iterator());
}

// The spellings that name a folder, which two jobs of one export can share.
std::vector<Spelling> FolderSpellings() {
    std::vector<Spelling> folders;
    std::copy_if(std::begin(kSpellings), std::end(kSpellings), std::back_inserter(folders),
                 [](const Spelling& spelling) { return spelling.place != Place::none; });
    return folders;
}

using SpellingCase = std::tuple<Command, Spelling>;

class PathSpellings : public testing::TestWithParam<SpellingCase> {};

// Each spelling is written exactly where it is checked: at T it names an open document's file and
// is refused, changing nothing (closeDocument finds that document, closes it and deletes its file);
// at T/a it writes (or deletes) the file there and leaves T's file as it was saved. A "~" that is
// no home folder for the command names the folder "~" in T; the storage refuses a path with "..".
TEST_P(PathSpellings, WritesWhereItChecks) {
    const auto& [command, spelling] = GetParam();
    const Scratch scratch;
    const std::string t = scratch.T();
    const std::string folder = FolderText(spelling, command, t);
    const std::string use = Replace(command.use, "%F", folder);
    const testsupport::ProgramRun run = command.option ? scratch.Run(use, "") : scratch.Run("", use + "\n");
    const std::string reply = command.option || run.Lines().size() < 3 ? std::string() : run.Lines()[2];
    SCOPED_TRACE(use + "\n" + run.out + run.err);

    const std::string top = t + "/" + command.file;
    const std::string inA = t + "/a/" + command.file;
    const bool literalHome = spelling.folder[0] == '~' && !command.expandsHome;
    const bool storageRefuses =
        command.storage && std::string(spelling.folder).find("..") != std::string::npos;
    // What the command's text says, for the answers below.
    const auto says = [&](const char* text) {
        return command.option ? run.err.find(text) != std::string::npos
                              : reply.find(text) != std::string::npos;
    };

    if (literalHome) {
        // "~" is a folder of that name in T: a document's file there is none, and what is written
        // goes there (the storage makes the folder; plimhost's options need it to exist).
        const std::string there = t + "/~" + (spelling.place == Place::a ? "/a/" : "/") + command.file;
        if (command.storage) {
            EXPECT_TRUE(says(command.done));
            EXPECT_TRUE(scratch.Written(there));
        } else {
            EXPECT_FALSE(fs::exists(there));
            EXPECT_TRUE(command.option ? run.status == 1 : says(command.refusal));
        }
        EXPECT_TRUE(scratch.Unchanged(top));
        EXPECT_TRUE(scratch.Unchanged(inA));
        return;
    }
    if (storageRefuses) {
        EXPECT_TRUE(says(command.refusal));
        EXPECT_TRUE(scratch.Unchanged(top));
        EXPECT_TRUE(scratch.Unchanged(inA));
        return;
    }
    if (command.effect == Effect::deletes) {
        if (spelling.place == Place::top) {
            EXPECT_TRUE(says(command.done));
            EXPECT_FALSE(fs::exists(top));
        } else {
            EXPECT_TRUE(says(command.refusal));
            EXPECT_TRUE(scratch.Unchanged(top));
        }
        EXPECT_TRUE(scratch.Unchanged(inA));
        return;
    }
    if (spelling.place == Place::none) {
        // Nothing is made on the way: not the missing folder, not a file where the text would lead.
        EXPECT_TRUE(says(command.fails));
        EXPECT_EQ(run.status, command.option ? 1 : 0);
        EXPECT_FALSE(fs::exists(t + "/new"));
        EXPECT_TRUE(scratch.Unchanged(top));
        EXPECT_TRUE(scratch.Unchanged(inA));
        EXPECT_EQ(EntryCount(t + "/a"), 3);
        return;
    }
    if (spelling.place == Place::top) {
        EXPECT_TRUE(says(command.refusal));
        EXPECT_EQ(run.status, command.option ? 1 : 0);
        EXPECT_TRUE(scratch.Unchanged(top));
        EXPECT_TRUE(scratch.Unchanged(inA));
        return;
    }
    EXPECT_EQ(run.status, 0);
    EXPECT_TRUE(command.option || says(command.done));
    EXPECT_TRUE(scratch.Unchanged(top));
    if (command.effect == Effect::tests) {
        EXPECT_TRUE(scratch.Unchanged(inA));
        EXPECT_EQ(EntryCount(t + "/a"), 3);
    } else {
        EXPECT_TRUE(scratch.Written(inA));
    }
}

INSTANTIATE_TEST_SUITE_P(Commands, PathSpellings,
                         testing::Combine(testing::ValuesIn(kCommands), testing::ValuesIn(kSpellings)),
                         [](const testing::TestParamInfo<SpellingCase>& info) {
                             return std::string(std::get<0>(info.param).name) + "_" +
                                    std::get<1>(info.param).name;
                         });

class TwoSpellings : public testing::TestWithParam<Spelling> {};

// Two spellings of one folder in one request are one file: an export whose jobs would both write it
// fails with nothing written, and plimhost refuses --save and --journal naming it. Two folders that
// a text could take for one (T/lnk/.. and T) are two files, both written.
TEST_P(TwoSpellings, AreOneFile) {
    const Spelling& spelling = GetParam();
    const Scratch scratch;
    const std::string t = scratch.T();
    const std::string folder = Replace(spelling.folder, "$", t);
    const std::string same = spelling.place == Place::a ? t + "/a" : t;
    const std::string other = spelling.place == Place::a ? t : t + "/a";
    const std::string jobs = R"(exportFile {"formats":["ai"],"fileName":"x","jobs":[{"folderPath":")" +
                             folder + R"("},{"folderPath":")";
    const testsupport::ProgramRun run = scratch.Run("", jobs + same + "\"}]}\n" + jobs + other + "\"}]}\n");
    ASSERT_EQ(run.Lines().size(), 4u) << run.out << run.err;
    EXPECT_NE(run.Lines()[2].find(R"("error":"Can't process a file name or path")"), std::string::npos)
        << run.Lines()[2];
    EXPECT_EQ(run.Lines()[3].find("false"), std::string::npos) << run.Lines()[3];
    EXPECT_TRUE(scratch.Written(t + "/x.ai"));
    EXPECT_TRUE(scratch.Written(t + "/a/x.ai"));

    if (spelling.folder[0] != '~') {  // plimhost's options take "~" as a folder of that name
        const testsupport::ProgramRun options =
            scratch.Run("--save '" + folder + "/y.json' --journal '" + same + "/y.json'", "");
        EXPECT_EQ(options.status, 2) << options.err;
        EXPECT_NE(options.err.find("--save and --journal name one file"), std::string::npos) << options.err;
        EXPECT_FALSE(fs::exists(same + "/y.json"));
    }
}

INSTANTIATE_TEST_SUITE_P(Folders, TwoSpellings, testing::ValuesIn(FolderSpellings()),
                         [](const testing::TestParamInfo<Spelling>& info) { return info.param.name; });

// The path of a document to close or open is the file as named: its name lower- or upper-cased
// names another file (T holds doc.ai, no DOC.AI), and a ".." after a folder that doesn't exist
// names none, so no document is closed, saved, deleted or brought forward, and the changed
// document keeps its change. Writing to such a name writes that other file.
struct CaseCase {
    const char* name;
    const char* line;   // $ stands for T
    const char* reply;  // what the reply holds
    bool docKept;       // T/doc.ai is still the sample, and its document is still open and changed
    const char* written = nullptr;  // a file the line wrote
};

const CaseCase kCaseCases[] = {
    {"CloseUpperCase", R"(closeDocument {"filePath":"$/DOC.AI","deleteFile":true})",
     R"("error":"Can't close a document")", true},
    {"CloseMixedCase", R"(closeDocument {"filePath":"$/Doc.ai","saveChanges":true})",
     R"("error":"Can't close a document")", true},
    {"CloseUpperCaseOnly", R"(closeDocument {"filePath":"$/DOC.AI"})", R"("error":"Can't close a document")",
     true},
    {"OpenThroughAMissingFolder", R"(openFile {"filePath":"$/new/../doc.ai"})",
     R"("error":"File path not found")", true},
    {"CloseAsNamed", R"(closeDocument {"filePath":"$/doc.ai","deleteFile":true})",
     R"({"eventType":"closeDocument"})", false},
    {"SaveUpperCase", R"(saveFile {"outputPath":"$","fileName":"DOC.AI"})", R"({"eventType":"saveFile"})",
     true, "DOC.AI"},
    {"CopyUpperCase", R"(copyFile {"destination":"$/DOC.AI"})", R"("copySuccessful":true)", true, "DOC.AI"},
    {"ExportUpperCase", R"(exportFile {"formats":["ai"],"folderPath":"$","fileName":"DOC"})",
     R"("exportSuccessful":true)", true, "DOC.ai"},
};

class CaseVariants : public testing::TestWithParam<CaseCase> {};

TEST_P(CaseVariants, NameNoOtherDocument) {
    const CaseCase& c = GetParam();
    const Scratch scratch;
    const std::string t = scratch.T();
    // doc.ai is brought forward and changed, then cur.ai is made current again.
    const testsupport::ProgramRun run = scratch.Run(
        "",
        Replace(std::string(
                    "openFile {\"filePath\":\"$/doc.ai\"}\nsetDocumentColorMode {\"colorMode\":\"CMYK\"}\n"
                    "openFile {\"filePath\":\"$/cur.ai\"}\n") +
                    c.line + "\nopenFile {\"filePath\":\"$/doc.ai\"}\n",
                "$", t));
    const std::vector<std::string> lines = run.Lines();
    ASSERT_EQ(lines.size(), 7u) << run.out << run.err;
    EXPECT_NE(lines[5].find(c.reply), std::string::npos) << lines[5];
    EXPECT_EQ(scratch.Unchanged(t + "/doc.ai"), c.docKept);
    if (c.docKept) {
        EXPECT_NE(lines[6].find(R"("colorSpace":"CMYK")"), std::string::npos) << lines[6];
        EXPECT_NE(lines[6].find(R"("isOpen":true,"isSaved":false)"), std::string::npos) << lines[6];
    }
    if (c.written != nullptr) {
        EXPECT_TRUE(scratch.Written(t + "/" + c.written));
    }
}

INSTANTIATE_TEST_SUITE_P(Paths, CaseVariants, testing::ValuesIn(kCaseCases),
                         [](const testing::TestParamInfo<CaseCase>& info) { return info.param.name; });

}  // namespace
