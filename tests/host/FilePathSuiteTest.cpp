// The file path suite: UTF-8 paths, one separator per added component, existence on disk.
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include <nlohmann/json.hpp>

#include "AICloudDocument.h"
#include "AIFilePath.h"
#include "HostFixture.h"
#include "IAIFilePath.hpp"

namespace {

using hosttest::HostTest;

class FilePaths : public HostTest {
protected:
    void SetUp() override {
        suite =
            hosttest::Acquire<AIFilePathSuite>(app->BasicSuite(), kAIFilePathSuite, kAIFilePathSuiteVersion);
        ASSERT_NE(suite, nullptr);
    }

    std::string Text(AIFilePathRef ref) {
        const char* text = nullptr;
        EXPECT_EQ(suite->GetPath(ref, &text), kNoErr);
        return text != nullptr ? text : "<null>";
    }

    const AIFilePathSuite* suite = nullptr;
};

struct ComponentCase {
    const char* path;
    const char* component;
    const char* expected;
};

class AddComponent : public FilePaths, public testing::WithParamInterface<ComponentCase> {};

TEST_P(AddComponent, JoinsWithOneSeparator) {
    AIFilePathRef ref = nullptr;
    ASSERT_EQ(suite->Create(GetParam().path, &ref), kNoErr);
    ASSERT_EQ(suite->AddComponent(ref, GetParam().component), kNoErr);
    EXPECT_EQ(Text(ref), GetParam().expected);
    suite->Dispose(ref);
}

INSTANTIATE_TEST_SUITE_P(Cases, AddComponent,
                         testing::Values(ComponentCase{"/a", "b", "/a/b"}, ComponentCase{"/a/", "b", "/a/b"},
                                         ComponentCase{"/a", "/b", "/a/b"},
                                         ComponentCase{"/a//", "//b/c", "/a/b/c"},
                                         ComponentCase{"/", "a", "/a"}, ComponentCase{"", "b", "b"},
                                         ComponentCase{"", "/b", "/b"}, ComponentCase{"/a", "", "/a"},
                                         ComponentCase{"/a", "/", "/a"}, ComponentCase{"a", "b", "a/b"},
                                         ComponentCase{"/app/bin", "/Frameworks/PlugPlugOwl.framework",
                                                       "/app/bin/Frameworks/PlugPlugOwl.framework"},
                                         ComponentCase{"/d\xC3\xA9j\xC3\xA0", "\xE2\x82\xAC",
                                                       "/d\xC3\xA9j\xC3\xA0/\xE2\x82\xAC"}));

class Existence : public FilePaths {
protected:
    void SetUp() override {
        FilePaths::SetUp();
        folder = std::filesystem::temp_directory_path() / ("host_paths_" + std::to_string(getpid()));
        std::filesystem::create_directories(folder);
        std::ofstream(folder / "file.txt") << "x";
        std::filesystem::create_symlink(folder / "nowhere", folder / "dangling");
    }
    void TearDown() override { std::filesystem::remove_all(folder); }

    struct Answer {
        bool exists;
        bool isFile;
    };
    Answer Ask(const std::filesystem::path& path, bool resolveLinks) {
        ai::FilePath file(path.string());
        AIBoolean longPath = true;
        AIBoolean isFile = false;
        const bool exists = suite->Exists(file, resolveLinks, &longPath, &isFile) != 0;
        return {exists, isFile != 0};
    }

    std::filesystem::path folder;
};

TEST_F(Existence, TellsFilesFromFolders) {
    EXPECT_TRUE(Ask(folder / "file.txt", false).exists);
    EXPECT_TRUE(Ask(folder / "file.txt", false).isFile);
    EXPECT_TRUE(Ask(folder, false).exists);
    EXPECT_FALSE(Ask(folder, false).isFile);
    EXPECT_FALSE(Ask(folder / "missing", false).exists);
}

TEST_F(Existence, FollowsLinksOnlyWhenAsked) {
    EXPECT_TRUE(Ask(folder / "dangling", false).exists);
    EXPECT_FALSE(Ask(folder / "dangling", true).exists);
}

// A path holding a NUL names no file, though the text before the NUL does: the C string the suite
// takes would end there.
TEST_F(Existence, APathHoldingANulNamesNoFile) {
    const std::string nul("\0.x", 3);
    const std::string file = (folder / "file.txt").string();
    EXPECT_FALSE(Ask(file + nul, false).exists);
    EXPECT_TRUE(ai::FilePath(file + nul).GetFullPathUTF8().empty());
    ai::FilePath joined(folder.string());
    joined.AddComponent(ai::UnicodeString::FromUTF8("file.txt" + nul));
    EXPECT_FALSE(joined.Exists(false));
    ai::FilePath set(file);
    ASSERT_TRUE(set.Exists(false));
    set.Set(ai::UnicodeString::FromUTF8(file + nul));
    EXPECT_FALSE(set.Exists(false));
}

// The cloud storage refuses a path the system fails, saving or opening: one holding a NUL (the file
// system would end the path there and reach the document before it), and any path below a root
// that climbs out of a folder that doesn't exist (read as text, "root/new/../c" is root/c).
TEST(CloudPaths, APathTheSystemFailsReachesNoDocument) {
    const std::filesystem::path root =
        std::filesystem::temp_directory_path() / ("host_cloud_" + std::to_string(getpid()));
    std::filesystem::create_directories(root / "c");
    std::ofstream(root / "c/doc.aic") << "kept";
    const std::string nul("\0", 1);
    const struct {
        const char* rootSpelling;  // added to the root
        std::string saved;         // the storage path saved to
        std::string opened;        // the storage path opened
    } cases[] = {{"", "c/doc.aic" + nul, "c/doc.aic" + nul + ".ai"}, {"new/../c", "doc.aic", "doc.aic"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.rootSpelling);
        host::ApplicationOptions options = hosttest::ProbeOptions();
        options.cloudFolder = root / c.rootSpelling;
        host::Application app(options);
        const auto* cloud = hosttest::Acquire<AICloudDocumentSuite>(app.BasicSuite(), kAICloudDocumentSuite,
                                                                    kAICloudDocumentSuiteVersion);
        ASSERT_NE(cloud, nullptr);
        EXPECT_EQ(cloud->SaveDocumentAsCloudDocument(ai::UnicodeString::FromUTF8(c.saved)), kBadParameterErr);
        const std::string description = nlohmann::json{{"path", "/cloud-content/" + c.opened}}.dump();
        AIDocumentHandle document = nullptr;
        EXPECT_EQ(cloud->OpenCloudDocument(ai::UnicodeString::FromUTF8(description), &document),
                  kBadParameterErr);
        EXPECT_EQ(document, nullptr);
        EXPECT_EQ(app.DocumentCount(), 1);
    }
    std::ostringstream kept;
    kept << std::ifstream(root / "c/doc.aic").rdbuf();
    EXPECT_EQ(kept.str(), "kept");
    EXPECT_FALSE(std::filesystem::exists(root / "new"));
    std::filesystem::remove_all(root);
}

TEST_F(Existence, AnEmptyPathDoesNotExistAndOutputsAreOptional) {
    EXPECT_FALSE(ai::FilePath().Exists(false));
    EXPECT_NE(suite->Exists(ai::FilePath(std::string("/")), false, nullptr, nullptr), 0);
}

TEST_F(FilePaths, SetDuplicateAndDisposeKeepPathsApart) {
    AIFilePathRef first = nullptr;
    AIFilePathRef second = nullptr;
    ASSERT_EQ(suite->Create("/one", &first), kNoErr);
    ASSERT_EQ(suite->Duplicate(first, &second), kNoErr);
    ASSERT_EQ(suite->Set(first, "/two"), kNoErr);
    EXPECT_EQ(Text(first), "/two");
    EXPECT_EQ(Text(second), "/one");
    EXPECT_EQ(suite->Dispose(first), kNoErr);
    EXPECT_EQ(suite->Dispose(first), kBadParameterErr);
    const char* text = nullptr;
    EXPECT_EQ(suite->GetPath(first, &text), kBadParameterErr);
    EXPECT_EQ(suite->Set(first, "/x"), kBadParameterErr);
    EXPECT_EQ(suite->AddComponent(first, "x"), kBadParameterErr);
    AIFilePathRef copy = reinterpret_cast<AIFilePathRef>(0x40);
    EXPECT_EQ(suite->Duplicate(first, &copy), kBadParameterErr);
    EXPECT_EQ(copy, nullptr);
    EXPECT_EQ(suite->Create(nullptr, &copy), kBadParameterErr);
    EXPECT_EQ(suite->AddComponent(second, nullptr), kBadParameterErr);
    suite->Dispose(second);
}

TEST_F(FilePaths, TheHostsOwnClassBuildsPaths) {
    const size_t before = app->LivePaths();
    {
        ai::FilePath path(std::string("/base"));
        path.AddComponent(ai::UnicodeString("child"));
        EXPECT_EQ(path.GetFullPathUTF8(), "/base/child");
        EXPECT_EQ(path.GetFullPath().as_UTF8(), "/base/child");
        EXPECT_FALSE(path.IsEmpty());
        EXPECT_TRUE(ai::FilePath().IsEmpty());
    }
    EXPECT_EQ(app->LivePaths(), before);
}

}  // namespace
