// The user and host names over POSIX: the password entry of the real user (the LOGNAME or USER of
// the environment when there is none), the home folder ($HOME, else the password entry), and
// gethostname.
#include "SystemNames.h"

#include <pwd.h>
#include <unistd.h>

#include <array>
#include <cstdlib>
#include <vector>

namespace {

std::vector<char> PasswordBuffer() {
    const long size = sysconf(_SC_GETPW_R_SIZE_MAX);
    return std::vector<char>(size > 0 ? static_cast<std::size_t>(size) : 16384);
}

// The home folder of a password entry; empty without one.
std::string HomeOf(const passwd* entry) {
    return entry != nullptr && entry->pw_dir != nullptr ? entry->pw_dir : std::string();
}

}  // namespace

std::string NSUserName() {
    std::vector<char> buffer = PasswordBuffer();
    passwd entry{};
    passwd* found = nullptr;
    if (getpwuid_r(getuid(), &entry, buffer.data(), buffer.size(), &found) == 0 && found != nullptr &&
        found->pw_name != nullptr) {
        return found->pw_name;
    }
    for (const char* variable : {"LOGNAME", "USER"}) {
        if (const char* value = std::getenv(variable); value != nullptr) {
            return value;
        }
    }
    return {};
}

std::string NSHomeDirectory() {
    if (const char* home = std::getenv("HOME"); home != nullptr && *home != '\0') {
        return home;
    }
    std::vector<char> buffer = PasswordBuffer();
    passwd entry{};
    passwd* found = nullptr;
    return getpwuid_r(getuid(), &entry, buffer.data(), buffer.size(), &found) == 0 ? HomeOf(found)
                                                                                   : std::string();
}

std::string NSHomeDirectoryForUser(const std::string& name) {
    if (name.empty() || name.find('\0') != std::string::npos) {
        return {};
    }
    std::vector<char> buffer = PasswordBuffer();
    passwd entry{};
    passwd* found = nullptr;
    return getpwnam_r(name.c_str(), &entry, buffer.data(), buffer.size(), &found) == 0 ? HomeOf(found)
                                                                                       : std::string();
}

bool GetKernelHostName(std::string* name) {
    std::array<char, 256> buffer{};
    if (name == nullptr || gethostname(buffer.data(), buffer.size() - 1) != 0) {
        return false;
    }
    *name = buffer.data();
    return !name->empty();
}
