// Opening plug-in modules.
#include "PluginModule.h"

#include <dlfcn.h>

namespace host {

bool PluginModule::Open(const std::filesystem::path& path, std::string* reason) {
    Close();
    std::error_code error;
    const std::filesystem::path canonical = std::filesystem::canonical(path, error);
    if (error) {
        *reason = "cannot find the plug-in " + path.string() + ": " + error.message();
        return false;
    }
    void* library = dlopen(canonical.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (library == nullptr) {
        const char* message = dlerror();
        *reason = "cannot load the plug-in " + canonical.string() + ": " +
                  (message != nullptr ? message : "unknown error");
        return false;
    }
    auto* main = reinterpret_cast<PluginMainProc>(dlsym(library, "PluginMain"));
    if (main == nullptr) {
        dlclose(library);
        *reason = "the plug-in " + canonical.string() + " does not export PluginMain";
        return false;
    }
    fLibrary = library;
    fMain = main;
    fPath = canonical;
    return true;
}

void PluginModule::Close() {
    if (fLibrary != nullptr) {
        dlclose(fLibrary);
    }
    fLibrary = nullptr;
    fMain = nullptr;
    fPath.clear();
}

}  // namespace host
