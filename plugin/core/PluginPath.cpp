#include "core/PluginPath.h"

#include <filesystem>

#include "CFBundle.h"

extern "C" const char kModuleBundleIdentifier[] = "com.torvi.plugins.PlimUtils";

bool GetPluginPath(std::string& out) {
    std::string bundlePath;
    if (!GetBundlePathForIdentifier(kModuleBundleIdentifier, &bundlePath)) {
        return false;
    }
    std::error_code error;
    const std::filesystem::path folder = std::filesystem::absolute(bundlePath, error).parent_path();
    if (error || !std::filesystem::is_directory(folder, error)) {
        return false;
    }
    out = folder.string();
    return true;
}
