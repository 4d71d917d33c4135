// plimhost: loads the plug-in into the simulated application, starts it, sends each script line
// as a script message and prints each reply on a line of its own. With --panel each line is a panel
// event instead, and every event the plug-in dispatches to the panel is printed. Each reply is
// written out as soon as it is made, and each error it holds is told on standard error with the
// script's line.
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <exception>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "CommandLine.h"
#include "CommandNames.h"
#include "PanelLine.h"
#include "Replies.h"
#include "ScriptLine.h"
#include "host/Application.h"
#include "host/HostOperation.h"
#include "host/Picture.h"
#include "model/AtomicFile.h"
#include "model/DocumentFormat.h"

namespace {

using plimhost::kExitCantLoad;
using plimhost::kExitDelivered;
using plimhost::kExitErrorReply;
using plimhost::kExitUsage;

int UsageError(const std::string& message) {
    std::cerr << "plimhost: " << message << "\n" << plimhost::kUsage;
    return kExitUsage;
}

// A script named on the command line, checked before the plug-in starts and read once when its
// turn comes. A regular file (or a device) is opened by the check and read through that one
// opening. A named pipe is only looked at: opening it would take the writer's one connection (the
// writer's lines go to an opening that is closed at once, and the real opening waits for a writer
// that has gone), so it is opened once, when its lines are read.
struct ScriptSource {
    std::string name;
    std::unique_ptr<std::ifstream> opened;  // null for standard input and named pipes
};

// Opens or checks every script; false, with the reason on standard error, when one can't be read.
bool OpenScripts(const std::vector<std::string>& scripts, std::vector<ScriptSource>& sources) {
    for (const std::string& script : scripts) {
        ScriptSource source{script, nullptr};
        if (script != "-") {
            struct stat status {};
            const bool found = ::stat(script.c_str(), &status) == 0;
            std::string reason;
            if (found && S_ISDIR(status.st_mode)) {
                reason = "it is a directory";
            } else if (found && S_ISFIFO(status.st_mode)) {
                if (::access(script.c_str(), R_OK) != 0) {
                    reason = std::strerror(errno);
                }
            } else {
                errno = 0;
                source.opened = std::make_unique<std::ifstream>(script);
                if (!source.opened->is_open()) {
                    reason = std::strerror(errno != 0 ? errno : ENOENT);
                }
            }
            if (!reason.empty()) {
                std::cerr << "plimhost: cannot read the script " << script << ": " << reason << "\n";
                return false;
            }
        }
        sources.push_back(std::move(source));
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
// that is neither a boolean nor a 32-bit integer.
bool SetPreferences(host::Application& application, const plimhost::CommandLine& line) {
    for (const auto& [name, text] : line.preferences) {
        const std::optional<host::PreferenceStore::Value> value = PreferenceValue(text);
        if (!value) {
            std::cerr << "plimhost: --pref " << name
                      << ": the value must be true, false or a 32-bit integer\n";
            return false;
        }
        application.Preferences().Set("", name, *value);
    }
    return true;
}

// Writes the call journal, one entry per line; false, with the reason on standard error, when it
// can't be written.
bool WriteJournal(host::Application& application, const std::string& file) {
    // An open document's file holds that document's work as last saved: no journal replaces it.
    if (application.DocumentOfFile(file) >= 0) {
        std::cerr << "plimhost: cannot write the journal " << file
                  << ": it is the file of an open document\n";
        return false;
    }
    std::string text;
    for (const std::string& entry : application.Journal().Texts()) {
        text += entry;
        text += '\n';
    }
    std::string error;
    if (host::model::writeFileAtomically(file, text, &error)) {
        return true;
    }
    std::cerr << "plimhost: cannot write the journal " << file << ": " << error << "\n";
    return false;
}

// Saves the current document in the native format; false, with the reason on standard error, when
// it can't be written.
bool SaveDocument(host::Application& application, const std::string& file) {
    const host::Document* document = application.CurrentDocument();
    std::string error = "no document is open";
    // The current document may be saved to its own file; the file of another open document holds
    // that one's work as last saved and is not written over.
    if (document != nullptr && application.DocumentOfFile(file) > 0) {
        error = "it is the file of another open document";
    } else if (document != nullptr && host::model::saveDocument(*document, file, &error)) {
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
    if (document != nullptr && application.DocumentOfFile(file) >= 0) {
        error = "it is the file of an open document";
    } else if (document != nullptr && host::WriteArtboardPicture(*document, file, &error)) {
        return true;
    }
    std::cerr << "plimhost: cannot write the snapshot " << file << ": " << error << "\n";
    return false;
}

// The panel's requests are events of this prefix followed by the command name.
constexpr const char* kPanelEventPrefix = "com.torvi.event.";

// Standard output, written line by line straight to the descriptor, so that every reply is out
// when it is made and a write that fails is known with the system's reason. Once a write fails
// (a full device, a reader that has gone) no further reply is written: the failure is told once on
// standard error, the lines still run and the files are still written, and the exit status says
// that replies were lost.
class ReplyOutput {
public:
    void WriteLine(const std::string& text) {
        if (lost_) {
            return;
        }
        std::string line = text;
        line += '\n';
        for (std::size_t done = 0; done < line.size();) {
            const ssize_t written = ::write(STDOUT_FILENO, line.data() + done, line.size() - done);
            if (written < 0 && errno == EINTR) {
                continue;
            }
            if (written <= 0) {
                lost_ = true;
                std::cerr << "plimhost: cannot write the replies to standard output: "
                          << std::strerror(written < 0 ? errno : EIO)
                          << "; the lines still run, their replies are not written\n";
                return;
            }
            done += static_cast<std::size_t>(written);
        }
    }

    // Whether a reply could not be written.
    bool Lost() const { return lost_; }

private:
    bool lost_ = false;
};

// One run of the scripts: sends each line, writes each reply (or dispatched event) as soon as it is
// made, so that a reader at the other end of a pipe sees it at once, and tells every error a reply
// holds on standard error, with the line that asked.
class Session {
public:
    Session(host::Application& application, bool panel, ReplyOutput& output)
        : application_(application), panel_(panel), output_(output) {
        if (panel_) {
            application_.Panel().OnDispatch([this](const host::PanelEvent& event) { Dispatched(event); });
        }
    }
    ~Session() {
        if (panel_) {
            application_.Panel().OnDispatch(nullptr);
        }
    }
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    // The script's lines in order; `name` is how the script was named ("-": standard input).
    void RunScript(std::istream& script, const std::string& name) {
        std::string text;
        for (std::size_t number = 1; std::getline(script, text); ++number) {
            if (number == 1) {
                plimhost::DropByteOrderMark(text);
            }
            const std::optional<plimhost::ScriptLine> line = plimhost::ParseScriptLine(text);
            if (!line) {
                continue;
            }
            place_ = {name, number, plimhost::ShownName(line->name)};
            if (panel_) {
                SendPanelEvent(*line);
            } else {
                SendScriptMessage(*line);
            }
            place_ = {};
        }
    }

    // Whether a reply held "error", the plug-in answered an error code or no listener took an event.
    bool SawError() const { return sawError_; }

private:
    void SendScriptMessage(const plimhost::ScriptLine& line) {
        // A name the application can't hand over whole is answered as a name that is no command,
        // without reaching the plug-in.
        const host::ScriptResult reply =
            plimhost::CanBeSentAsName(line.name)
                ? application_.ScriptMessage(line.name, line.request)
                : host::ScriptResult{kNoErr, plimhost::NoCommandReply(line.name, line.request)};
        Write(reply.output);
        const std::vector<std::string> errors = plimhost::ReplyErrors(reply.output);
        Report(place_, errors);
        if (reply.error != kNoErr) {
            sawError_ = true;
            std::cerr << "plimhost: " << place_.command << ": the plug-in answered "
                      << host::ErrorText(reply.error) << "\n";
        }
        if (!errors.empty() && errors.front().starts_with("Unknown event type")) {
            Note(plimhost::UnknownCommandNote(line.name, false));
        }
    }

    void SendPanelEvent(const plimhost::ScriptLine& line) {
        const std::string type = kPanelEventPrefix + line.name;
        const bool sendable = plimhost::CanBeSentAsName(line.name);
        if (sendable && !plimhost::CanBeSentAsName(line.request)) {
            // The event's data is a C string too: cut at the NUL it would be another request.
            sawError_ = true;
            std::cerr << plimhost::PlaceLine(
                             place_, "a panel event's data can't hold a NUL character: the line is not sent")
                      << "\n";
            return;
        }
        if (sendable && application_.Panel().Send(type, line.request) != 0) {
            return;
        }
        sawError_ = true;
        if (sendable && !application_.Panel().IsBound()) {
            // Without the panel library no event reaches the plug-in, whatever it names.
            std::cerr << "plimhost: " << place_.command
                      << ": nothing listens for panel events: there is no panel library "
                      << PanelLibraryPath(application_) << "\n";
            return;
        }
        std::cerr << "plimhost: " << place_.command << ": nothing listens to " << plimhost::ShownName(type)
                  << "\n";
        Note(plimhost::UnknownCommandNote(line.name, true));
    }

    static std::string PanelLibraryPath(const host::Application& application) {
        return (application.ApplicationFolder() / "Frameworks" / "PlugPlugOwl.framework" / "PlugPlugOwl")
            .string();
    }

    // An event the plug-in dispatched to the panel, told as the reply to the line being run (to its
    // type outside any line: start-up, shut-down).
    void Dispatched(const host::PanelEvent& event) {
        Write(plimhost::PanelEventLine(event));
        application_.Panel().ClearDispatched();
        const plimhost::LinePlace place =
            place_.script.empty() ? plimhost::LinePlace{{}, 0, event.type} : place_;
        Report(place, plimhost::ReplyErrors(event.data));
    }

    void Write(const std::string& reply) { output_.WriteLine(reply); }

    void Report(const plimhost::LinePlace& place, const std::vector<std::string>& errors) {
        for (const std::string& error : errors) {
            sawError_ = true;
            std::cerr << plimhost::PlaceLine(place, error) << '\n';
        }
    }

    void Note(const std::string& note) const { std::cerr << plimhost::PlaceLine(place_, note) << '\n'; }

    host::Application& application_;
    bool panel_;
    ReplyOutput& output_;
    plimhost::LinePlace place_;
    bool sawError_ = false;
};

// The folder that holds the running plimhost, where its plug-in is.
std::filesystem::path ExecutableFolder() {
    std::error_code error;
    const std::filesystem::path executable = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::filesystem::current_path() : executable.parent_path();
}

host::ApplicationOptions OptionsOf(const plimhost::CommandLine& line) {
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
    // Type 52 is the application folder, where the panel library is looked for; the plug-in is
    // still the one beside plimhost unless --plugin names another.
    if (const auto application = line.folders.find(kAIApplicationFolderType);
        application != line.folders.end()) {
        options.applicationFolder = application->second;
        options.folders.erase(kAIApplicationFolderType);
        if (!line.pluginPath) {
            options.pluginPath = ExecutableFolder() / "PlimUtils.so";
        }
    }
    return options;
}

// Loads and starts the plug-in; false, with the reason on standard error, when it can't.
bool StartPlugin(host::Application& application) {
    if (!application.Load()) {
        std::cerr << "plimhost: " << application.LoadError() << "\n";
        return false;
    }
    if (const ASErr error = application.Startup()) {
        std::cerr << "plimhost: the plug-in failed to start: " << host::ErrorText(error) << "\n";
        return false;
    }
    return true;
}

// The status, or kExitCantLoad with the reason when what --help or --version printed could not be
// written.
int StandardOutputWritten(int status) {
    if (std::cout.flush()) {
        return status;
    }
    std::cerr << "plimhost: cannot write to standard output: " << std::strerror(errno != 0 ? errno : EIO)
              << "\n";
    return kExitCantLoad;
}

// --version: plimhost's version, then the plug-in's as its "version" command states it.
int PrintVersions(const plimhost::CommandLine& line) {
    errno = 0;
    std::cout << "plimhost " << PLIMHOST_VERSION << '\n' << std::flush;
    if (!std::cout) {
        return StandardOutputWritten(kExitCantLoad);
    }
    host::Application application(OptionsOf(line));
    application.Journal().SetEnabled(false);
    if (!StartPlugin(application)) {
        return kExitCantLoad;
    }
    const host::ScriptResult reply = application.ScriptMessage("version", "{}");
    application.Shutdown();
    const std::optional<std::string> version = plimhost::PluginVersionLine(reply.output);
    if (!version) {
        std::cerr << "plimhost: the plug-in answered \"version\" with no version: " << reply.output << "\n";
        return kExitCantLoad;
    }
    std::cout << *version << '\n';
    return StandardOutputWritten(kExitDelivered);
}

int Run(const plimhost::CommandLine& line, std::vector<ScriptSource>& scripts) {
    host::Application application(OptionsOf(line));
    application.Journal().SetEnabled(line.journalFile.has_value());
    if (!SetPreferences(application, line)) {
        return kExitUsage;
    }
    ReplyOutput output;
    Session session(application, line.panel, output);
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
    if (!StartPlugin(application)) {
        return kExitCantLoad;
    }
    application.NotifyApplicationStarted();
    application.NotifyPanelLibraryReady();

    for (ScriptSource& script : scripts) {
        if (script.name == "-") {
            session.RunScript(std::cin, script.name);
        } else if (script.opened) {
            session.RunScript(*script.opened, script.name);
        } else {
            std::ifstream pipe(script.name);
            session.RunScript(pipe, script.name);
        }
    }
    const bool saved = !line.saveFile || SaveDocument(application, *line.saveFile);
    const bool pictured = !line.snapshotFile || WriteSnapshot(application, *line.snapshotFile);
    application.Shutdown();
    const bool journaled = !line.journalFile || WriteJournal(application, *line.journalFile);
    if (!saved || !pictured || !journaled || output.Lost()) {
        return kExitCantLoad;
    }
    return line.failOnError && session.SawError() ? kExitErrorReply : kExitDelivered;
}

int Main(int argc, char** argv) {
    // A reader that goes away (plimhost ... | head -1) makes a write fail with EPIPE instead of
    // ending plimhost: the lines still run and --save still writes (ReplyOutput).
    ::signal(SIGPIPE, SIG_IGN);
    // An interrupt (Ctrl-C), a kill or a hang-up during a save or an export ends plimhost as
    // usual, but the temporary file of the write in progress goes with it: the target keeps its
    // previous content and no stray file is left beside it.
    host::model::removeTemporaryFilesOnSignals();
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    plimhost::CommandLine line;
    std::string error;
    if (!plimhost::ParseCommandLine(arguments, &line, &error)) {
        return UsageError(error);
    }
    if (line.help) {
        errno = 0;
        std::cout << plimhost::kUsage << plimhost::kHelpTail;
        return StandardOutputWritten(kExitDelivered);
    }
    if (line.version) {
        return PrintVersions(line);
    }
    std::vector<ScriptSource> scripts;
    if (!OpenScripts(line.scripts.empty() ? std::vector<std::string>{"-"} : line.scripts, scripts)) {
        return kExitCantLoad;
    }
    return Run(line, scripts);
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
