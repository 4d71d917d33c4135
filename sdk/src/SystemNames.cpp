// The user and host names over POSIX: the password entry of the real user (the LOGNAME or USER of
// the environment when there is none), and gethostname.
#include "SystemNames.h"

#include <pwd.h>
#include <unistd.h>

#include <array>
#include <cstdlib>
#include <vector>

std::string NSUserName() {
    long size = sysconf(_SC_GETPW_R_SIZE_MAX);
    std::vector<char> buffer(size > 0 ? static_cast<std::size_t>(size) : 16384);
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

bool GetKernelHostName(std::string* name) {
    std::array<char, 256> buffer{};
    if (name == nullptr || gethostname(buffer.data(), buffer.size() - 1) != 0) {
        return false;
    }
    *name = buffer.data();
    return !name->empty();
}
