// The bundle functions on Linux. A bundle is a folder "Name.framework" (or "Name.bundle") whose
// executable is the shared library "Name" inside it, or a shared library file itself. URLs are file
// paths. Objects are reference counted; CFRelease of the last reference frees them and closes a
// bundle's library.
#include "CFBundle.h"

#include <dlfcn.h>

#include <filesystem>
#include <memory>
#include <mutex>
#include <set>
#include <string>

namespace {

enum class Kind { kURL, kBundle };

struct Object {
    Kind kind;
    int references = 1;
};

}  // namespace

struct __CFURL : Object {
    std::string path;
};

struct __CFBundle : Object {
    void* library = nullptr;
};

struct __CFString {
    std::string text;
};

namespace {

// The library file that a bundle path names.
std::filesystem::path BundleExecutable(const std::filesystem::path& bundle) {
    std::error_code error;
    if (std::filesystem::is_directory(bundle, error)) {
        return bundle / bundle.stem();
    }
    return bundle;
}

}  // namespace

CFStringRef CFStringMakeConstantString(const char* text) {
    // Constant strings live as long as the program, one per distinct text.
    static std::mutex mutex;
    static std::set<std::string> texts;
    std::lock_guard lock(mutex);
    const std::string& stored = *texts.insert(text != nullptr ? text : "").first;
    return reinterpret_cast<CFStringRef>(&stored);
}

CFURLRef CFURLCreateWithFileSystemPath(const char* utf8Path) {
    auto* url = new __CFURL{{Kind::kURL}, utf8Path != nullptr ? utf8Path : ""};
    return url;
}

CFBundleRef CFBundleCreate(CFAllocatorRef, CFURLRef bundleURL) {
    if (bundleURL == nullptr || bundleURL->path.empty()) {
        return nullptr;
    }
    const std::filesystem::path executable = BundleExecutable(bundleURL->path);
    void* library = dlopen(executable.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (library == nullptr) {
        return nullptr;
    }
    return new __CFBundle{{Kind::kBundle}, library};
}

void* CFBundleGetFunctionPointerForName(CFBundleRef bundle, CFStringRef functionName) {
    if (bundle == nullptr || bundle->library == nullptr || functionName == nullptr) {
        return nullptr;
    }
    const auto* name = reinterpret_cast<const std::string*>(functionName);
    return dlsym(bundle->library, name->c_str());
}

unsigned char CFBundleIsExecutableLoaded(CFBundleRef bundle) {
    return bundle != nullptr && bundle->library != nullptr ? 1 : 0;
}

void CFRelease(CFTypeRef object) {
    if (object == nullptr) {
        return;
    }
    auto* header = static_cast<Object*>(const_cast<void*>(object));
    if (--header->references > 0) {
        return;
    }
    if (header->kind == Kind::kBundle) {
        auto* bundle = static_cast<__CFBundle*>(header);
        dlclose(bundle->library);
        delete bundle;
    } else {
        delete static_cast<__CFURL*>(header);
    }
}
