// PluginModule: one plug-in module opened with dlopen, and its PluginMain.
#pragma once

#include <filesystem>
#include <string>

#include "SPMessageData.h"

namespace host {

class PluginModule {
public:
    PluginModule() = default;
    ~PluginModule() { Close(); }
    PluginModule(const PluginModule&) = delete;
    PluginModule& operator=(const PluginModule&) = delete;

    // Opens the module at its canonical path (RTLD_NOW | RTLD_LOCAL) and finds "PluginMain".
    // False with the reason in *reason when the file is missing, can't be opened or has no entry point.
    bool Open(const std::filesystem::path& path, std::string* reason);
    void Close();

    bool IsOpen() const { return fLibrary != nullptr; }
    PluginMainProc Main() const { return fMain; }
    const std::filesystem::path& Path() const { return fPath; }

private:
    void* fLibrary = nullptr;
    PluginMainProc fMain = nullptr;
    std::filesystem::path fPath;
};

}  // namespace host
