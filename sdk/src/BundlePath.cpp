// Finding a loaded bundle by its identifier. On Linux the only bundle a module can name is its own:
// the module's identifier is kModuleBundleIdentifier, its path is where the dynamic loader found it.
#include <dlfcn.h>

#include <cstring>
#include <string>

#include "CFBundle.h"

bool GetBundlePathForIdentifier(const char* identifier, std::string* path) {
    if (identifier == nullptr || path == nullptr || std::strcmp(identifier, kModuleBundleIdentifier) != 0) {
        return false;
    }
    Dl_info info{};
    if (dladdr(reinterpret_cast<const void*>(&GetBundlePathForIdentifier), &info) == 0 ||
        info.dli_fname == nullptr) {
        return false;
    }
    *path = info.dli_fname;
    return true;
}
