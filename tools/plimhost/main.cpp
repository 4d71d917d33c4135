// plimhost: loads the plug-in into the simulated application, starts it, sends each script line
// as a script message and prints each reply on a line of its own.
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include "CommandLine.h"
#include "ScriptLine.h"
#include "host/Application.h"
#include "host/HostOperation.h"

namespace {

constexpr int kExitDelivered = 0;
constexpr int kExitCantLoad = 1;
constexpr int kExitUsage = 2;

int UsageError(const std::string& message) {
    std::cerr << "plimhost: " << message << "\n" << plimhost::kUsage;
    return kExitUsage;
}

// Options the host does not offer yet.
std::string UnavailableOption(const plimhost::CommandLine& line) {
    if (line.openFile) {
        return "--open";
    }
    if (line.saveFile) {
        return "--save";
    }
    if (line.panel) {
        return "--panel";
    }
    return {};
}

bool CheckScriptsReadable(const std::vector<std::string>& scripts) {
    for (const std::string& script : scripts) {
        if (script == "-") {
            continue;
        }
        std::ifstream file(script);
        if (!file) {
            std::cerr << "plimhost: cannot read the script " << script << "\n";
            return false;
        }
    }
    return true;
}

void RunScript(host::Application& application, std::istream& script) {
    std::string text;
    while (std::getline(script, text)) {
        const std::optional<plimhost::ScriptLine> line = plimhost::ParseScriptLine(text);
        if (!line) {
            continue;
        }
        const host::ScriptResult reply = application.ScriptMessage(line->name, line->request);
        std::cout << reply.output << '\n';
        if (reply.error != kNoErr) {
            std::cerr << "plimhost: " << line->name << ": the plug-in answered "
                      << host::ErrorText(reply.error) << "\n";
        }
    }
}

int Run(const plimhost::CommandLine& line) {
    host::ApplicationOptions options;
    if (line.pluginPath) {
        options.pluginPath = *line.pluginPath;
    }
    host::Application application(options);
    application.Journal().SetEnabled(false);
    if (!application.Load()) {
        std::cerr << "plimhost: " << application.LoadError() << "\n";
        return kExitCantLoad;
    }
    if (const ASErr error = application.Startup()) {
        std::cerr << "plimhost: the plug-in failed to start: " << host::ErrorText(error) << "\n";
        return kExitCantLoad;
    }
    application.NotifyApplicationStarted();
    application.NotifyPanelLibraryReady();

    const std::vector<std::string> scripts =
        line.scripts.empty() ? std::vector<std::string>{"-"} : line.scripts;
    for (const std::string& script : scripts) {
        if (script == "-") {
            RunScript(application, std::cin);
            continue;
        }
        std::ifstream file(script);
        RunScript(application, file);
    }
    std::cout.flush();
    application.Shutdown();
    return kExitDelivered;
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    plimhost::CommandLine line;
    std::string error;
    if (!plimhost::ParseCommandLine(arguments, &line, &error)) {
        return UsageError(error);
    }
    if (line.help) {
        std::cout << plimhost::kUsage;
        return kExitDelivered;
    }
    if (const std::string option = UnavailableOption(line); !option.empty()) {
        std::cerr << "plimhost: " << option << " is not available yet\n";
        return kExitUsage;
    }
    if (!CheckScriptsReadable(line.scripts)) {
        return kExitCantLoad;
    }
    return Run(line);
}
