// Home-relative paths: "~" is the user's home folder ($HOME, else the password database), "~name"
// that user's, as a shell takes them. Temporary files and the signals that end the process.
#include <gtest/gtest.h>

#include <pwd.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "documents/ExportFiles.h"
#include "documents/FileHelpers.h"

namespace {

// HOME set (or unset) for the scope, put back afterwards.
class HomeVariable {
public:
    explicit HomeVariable(const char* value) {
        if (const char* old = std::getenv("HOME")) {
            fOld = old;
        }
        value != nullptr ? setenv("HOME", value, 1) : unsetenv("HOME");
    }
    ~HomeVariable() { fOld ? setenv("HOME", fOld->c_str(), 1) : unsetenv("HOME"); }
    HomeVariable(const HomeVariable&) = delete;
    HomeVariable& operator=(const HomeVariable&) = delete;

private:
    std::optional<std::string> fOld;
};

std::string PasswordHome() {
    const passwd* entry = getpwuid(getuid());
    return entry != nullptr && entry->pw_dir != nullptr ? entry->pw_dir : std::string();
}

}  // namespace

TEST(FileHelpers, HomeRelativePathsAreExpandedAsAShellDoes) {
    struct Case {
        const char* label;
        const char* home;  // HOME; null: unset
        std::string path;
        std::optional<std::string> expanded;  // none: not expanded
    };
    const passwd* root = getpwnam("root");
    ASSERT_NE(root, nullptr);
    const std::string rootHome = root->pw_dir;
    const Case cases[] = {
        {"home_alone", "/home/ann", "~", "/home/ann"},
        {"home_folder", "/home/ann", "~/x/y.ai", "/home/ann/x/y.ai"},
        {"home_with_a_slash", "/home/ann/", "~/x", "/home/ann/x"},
        {"root_as_home", "/", "~/x", "/x"},
        {"empty_home_asks_the_database", "", "~/x", PasswordHome() + "/x"},
        {"no_home_asks_the_database", nullptr, "~", PasswordHome()},
        {"another_user", "/home/ann", "~root/x", rootHome + "/x"},
        {"another_user_alone", "/home/ann", "~root", rootHome},
        {"no_such_user", "/home/ann", "~nobody-of-this-name/x", std::nullopt},
        {"not_at_the_start", "/home/ann", "x/~", std::nullopt},
        {"empty", "/home/ann", "", std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        const HomeVariable home(c.home);
        std::string out = "untouched";
        const bool expanded = UserPathToAbsPath(c.path, out);
        EXPECT_EQ(expanded, c.expanded.has_value());
        EXPECT_EQ(out, c.expanded.value_or("untouched"));
        EXPECT_EQ(ExpandUserPath(c.path), c.expanded.value_or(c.path));
    }
}

namespace {

namespace fs = std::filesystem;

struct HeldFileCase {
    const char* name;
    void (*write)(const fs::path& folder);  // makes a temporary file and meets a signal meanwhile
};

void PrintTo(const HeldFileCase& c, std::ostream* out) {
    *out << c.name;
}

class TemporaryFileMetBySignal : public testing::TestWithParam<HeldFileCase> {};

// A child process receives an interrupt while the plug-in holds a temporary file (an export's
// file, a copy on its way to the destination): the interrupt ends the process only once the file
// is gone, and the copy is then whole.
TEST_P(TemporaryFileMetBySignal, EndsTheProcessOnceTheFileIsGone) {
    const fs::path folder =
        fs::temp_directory_path() / ("plim_held_" + std::to_string(getpid()) + GetParam().name);
    fs::remove_all(folder);
    fs::create_directories(folder);
    std::ofstream(folder / "source") << "source";
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        ::signal(SIGINT, SIG_DFL);
        setenv("TMPDIR", folder.c_str(), 1);
        GetParam().write(folder);
        _exit(0);  // not reached: the interrupt ends the process first
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGINT) << status;
    std::vector<std::string> names;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"copy", "source"}));
    std::ifstream copy(folder / "copy");
    std::string text;
    std::getline(copy, text);
    EXPECT_EQ(text, "source");
    fs::remove_all(folder);
}

INSTANTIATE_TEST_SUITE_P(Writers, TemporaryFileMetBySignal,
                         testing::Values(HeldFileCase{"exportFile",
                                                      [](const fs::path& folder) {
                                                          const JobTempFile temporary("job", "ai");
                                                          ::raise(SIGINT);
                                                          FileDirCopy((folder / "source").string(),
                                                                      (folder / "copy").string(), true);
                                                      }},
                                         HeldFileCase{"copy",
                                                      [](const fs::path& folder) {
                                                          const TerminationDeferred around;
                                                          ::raise(SIGINT);
                                                          FileDirCopy((folder / "source").string(),
                                                                      (folder / "copy").string(), true);
                                                      }}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
