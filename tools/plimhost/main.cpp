// plimhost: loads the plug-in into the simulated application, starts it, sends each script line
// as a script message and prints each reply on a line of its own. With --panel each line is a panel
// event instead, and every event the plug-in dispatches to the panel is printed.
#include <cstdint>
#include <exception>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "CommandLine.h"
#include "PanelLine.h"
#include "ScriptLine.h"
#include "host/Application.h"
#include "host/HostOperation.h"
#include "host/Picture.h"
#include "model/DocumentFormat.h"

namespace {

constexpr int kExitDelivered = 0;
constexpr int kExitCantLoad = 1;
constexpr int kExitUsage = 2;

int UsageError(const std::string& message) {
    std::cerr << "plimhost: " << message << "\n" << plimhost::kUsage;
    return kExitUsage;
}

bool CheckScriptsReadable(const std::vector<std::string>& scripts) {
    for (const std::string& script : scripts) {
        if (script == "-") {
            continue;
        }
        std::error_code ignored;
        if (std::filesystem::is_directory(script, ignored)) {
            std::cerr << "plimhost: cannot read the script " << script << ": it is a directory\n";
            return false;
        }
        std::ifstream file(script);
        if (!file) {
            std::cerr << "plimhost: cannot read the script " << script << "\n";
            return false;
        }
    }
    return true;
}

// Makes the document in the file (the native format) the current one; false, with the reason on
// standard error, when it can't be read.
bool OpenDocument(host::Application& application, const std::string& file) {
    host::model::ReadResult read = host::model::openDocument(file);
    if (!read.document) {
        std::cerr << "plimhost: " << read.error << "\n";
        return false;
    }
    // Started with a file, the application holds that document alone: the untitled one it starts
    // with goes, so that closing the file leaves no document open.
    application.CloseDocument();
    // The document's file is the path as given: the command line made it absolute.
    application.OpenDocument(std::make_unique<host::Document>(std::move(*read.document)), file);
    return true;
}

// A preference's value: "true", "false" or a 32-bit integer.
std::optional<host::PreferenceStore::Value> PreferenceValue(const std::string& text) {
    if (text == "true" || text == "false") {
        return host::PreferenceStore::Value(text == "true");
    }
    std::size_t used = 0;
    try {
        const long long number = std::stoll(text, &used);
        if (used == text.size() && number >= INT32_MIN && number <= INT32_MAX) {
            return host::PreferenceStore::Value(static_cast<ai::int32>(number));
        }
    } catch (const std::exception&) {
    }
    return std::nullopt;
}

// Sets the preferences of the command line; false, with the reason on standard error, for a value
// that is neither a boolean nor an integer.
bool SetPreferences(host::Application& application, const plimhost::CommandLine& line) {
    for (const auto& [name, text] : line.preferences) {
        const std::optional<host::PreferenceStore::Value> value = PreferenceValue(text);
        if (!value) {
            std::cerr << "plimhost: --pref " << name << ": the value must be true, false or an integer\n";
            return false;
        }
        application.Preferences().Set("", name, *value);
    }
    return true;
}

// Writes the call journal, one entry per line; false, with the reason on standard error, when it
// can't be written.
bool WriteJournal(host::Application& application, const std::string& file) {
    std::ofstream out(file, std::ios::trunc);
    for (const std::string& entry : application.Journal().Texts()) {
        out << entry << '\n';
    }
    out.close();
    if (out) {
        return true;
    }
    std::cerr << "plimhost: cannot write the journal " << file << "\n";
    return false;
}

// Saves the current document in the native format; false, with the reason on standard error, when
// it can't be written.
bool SaveDocument(host::Application& application, const std::string& file) {
    const host::Document* document = application.CurrentDocument();
    std::string error = "no document is open";
    if (document != nullptr && host::model::saveDocument(*document, file, &error)) {
        return true;
    }
    std::cerr << "plimhost: cannot save the document to " << file << ": " << error << "\n";
    return false;
}

// Writes a picture of the current document's active artboard; false, with the reason on standard
// error, when it can't be written.
bool WriteSnapshot(host::Application& application, const std::string& file) {
    const host::Document* document = application.CurrentDocument();
    std::string error = "no document is open";
    if (document != nullptr && host::WriteArtboardPicture(*document, file, &error)) {
        return true;
    }
    std::cerr << "plimhost: cannot write the snapshot " << file << ": " << error << "\n";
    return false;
}

// The panel's requests are events of this prefix followed by the command name.
constexpr const char* kPanelEventPrefix = "com.torvi.event.";

// Prints every event the plug-in dispatches to the panel, as it is dispatched.
void PrintDispatchedEvents(host::Application& application) {
    application.Panel().OnDispatch([&application](const host::PanelEvent& event) {
        std::cout << plimhost::PanelEventLine(event) << '\n';
        application.Panel().ClearDispatched();
    });
}

void SendPanelEvent(host::Application& application, const plimhost::ScriptLine& line) {
    const std::string type = kPanelEventPrefix + line.name;
    if (application.Panel().Send(type, line.request) == 0) {
        std::cerr << "plimhost: " << line.name << ": nothing listens to " << type << "\n";
    }
}

void RunScript(host::Application& application, std::istream& script, bool panel) {
    std::string text;
    while (std::getline(script, text)) {
        const std::optional<plimhost::ScriptLine> line = plimhost::ParseScriptLine(text);
        if (!line) {
            continue;
        }
        if (panel) {
            SendPanelEvent(application, *line);
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
    if (line.cloudFolder) {
        options.cloudFolder = *line.cloudFolder;
    }
    for (const auto& [type, folder] : line.folders) {
        options.folders[type] = folder;
    }
    host::Application application(options);
    application.Journal().SetEnabled(line.journalFile.has_value());
    if (!SetPreferences(application, line)) {
        return kExitUsage;
    }
    if (line.panel) {
        PrintDispatchedEvents(application);
    }
    if (line.openFile && !OpenDocument(application, *line.openFile)) {
        return kExitCantLoad;
    }
    for (const std::string& library : line.swatchLibraries) {
        std::string error;
        if (!application.LoadSwatchLibrary(library, &error)) {
            std::cerr << "plimhost: " << error << "\n";
            return kExitCantLoad;
        }
    }
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
            RunScript(application, std::cin, line.panel);
            continue;
        }
        std::ifstream file(script);
        RunScript(application, file, line.panel);
    }
    std::cout.flush();
    const bool saved = !line.saveFile || SaveDocument(application, *line.saveFile);
    const bool pictured = !line.snapshotFile || WriteSnapshot(application, *line.snapshotFile);
    application.Shutdown();
    const bool journaled = !line.journalFile || WriteJournal(application, *line.journalFile);
    return saved && pictured && journaled ? kExitDelivered : kExitCantLoad;
}

int Main(int argc, char** argv) {
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
    if (!CheckScriptsReadable(line.scripts)) {
        return kExitCantLoad;
    }
    return Run(line);
}

}  // namespace

// Whatever goes wrong inside ends as a message and a failure status, never as an abort.
int main(int argc, char** argv) {
    try {
        return Main(argc, argv);
    } catch (const std::exception& error) {
        std::cerr << "plimhost: " << error.what() << "\n";
    } catch (...) {
        std::cerr << "plimhost: an unexpected error\n";
    }
    return kExitCantLoad;
}
