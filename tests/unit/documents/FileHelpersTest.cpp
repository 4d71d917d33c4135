// Home-relative paths: "~" is the user's home folder ($HOME, else the password database), "~name"
// that user's, as a shell takes them.
#include <gtest/gtest.h>

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <optional>
#include <string>

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
