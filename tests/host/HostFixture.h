// Common ground of the host's tests: an application serving the probe plug-in, and suites acquired
// through the basic suite the way a plug-in acquires them.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "SPBasic.h"
#include "host/Application.h"

namespace hosttest {

inline host::ApplicationOptions ProbeOptions() {
    host::ApplicationOptions options;
    options.applicationFolder = HOST_BIN_DIR;
    options.pluginPath = HOST_PROBE_PLUGIN;
    return options;
}

// The table of a suite, acquired through the basic suite (each acquisition counted as a plug-in's).
template <typename Suite>
const Suite* Acquire(const SPBasicSuite& basic, const char* name, ASInt32 version) {
    const void* table = nullptr;
    if (basic.AcquireSuite(name, version, &table) != kNoErr) {
        return nullptr;
    }
    return static_cast<const Suite*>(table);
}

inline bool Has(const std::vector<std::string>& lines, const std::string& line) {
    return std::find(lines.begin(), lines.end(), line) != lines.end();
}

inline std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream stream(text);
    for (std::string line; std::getline(stream, line);) {
        lines.push_back(line);
    }
    return lines;
}

// An application without a started plug-in.
class HostTest : public testing::Test {
protected:
    std::unique_ptr<host::Application> app = std::make_unique<host::Application>(ProbeOptions());
};

// An application with the probe started, the application started and the panel library ready.
class ProbeTest : public testing::Test {
protected:
    void SetUp() override {
        app = std::make_unique<host::Application>(ProbeOptions());
        ASSERT_EQ(app->Startup(), kNoErr) << app->LoadError();
    }

    std::string Script(const std::string& name, const std::string& input = {}) {
        const host::ScriptResult result = app->ScriptMessage(name, input);
        EXPECT_EQ(result.error, kNoErr) << name;
        return result.output;
    }

    std::vector<std::string> ProbeLog() { return Lines(Script("log")); }

    std::unique_ptr<host::Application> app;
};

}  // namespace hosttest
