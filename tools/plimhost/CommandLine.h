// The command line of plimhost:
//     plimhost [--open FILE | --new] [--save FILE] [--snapshot FILE.png] [--journal FILE]
//              [--pref [PREFIX/]NAME=VALUE] [--cloud DIR] [--folder TYPE=DIR] [--panel]
//              [--picture-time SECONDS] [--picture-memory MIB]
//              [--plugin PATH] [--swatch-library FILE ...] [--fail-on-error] [SCRIPT ...]
//     plimhost --version | --help
#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace plimhost {

struct CommandLine {
    std::optional<std::string> openFile;
    std::optional<std::string> saveFile;
    // A PNG picture of the active artboard, written after the last line.
    std::optional<std::string> snapshotFile;
    std::optional<std::string> pluginPath;
    // Swatch library files, loaded in order (--swatch-library, repeatable).
    std::vector<std::string> swatchLibraries;
    // The call journal, written after the last line.
    std::optional<std::string> journalFile;
    // The root of the cloud storage.
    std::optional<std::string> cloudFolder;
    // Preferences set before the plug-in starts: "[PREFIX/]NAME" to the value's text; the picture's
    // limits (--picture-time, --picture-memory) come last, as their preferences.
    std::vector<std::pair<std::string, std::string>> preferences;
    std::optional<std::string> pictureTime;
    std::optional<std::string> pictureMemory;
    // Folder types the folders suite answers.
    std::map<int, std::string> folders;
    bool panel = false;
    // Exit with kExitErrorReply when a reply held "error" (--fail-on-error).
    bool failOnError = false;
    bool help = false;
    bool version = false;
    // The scripts in order; "-" is standard input. None: standard input.
    std::vector<std::string> scripts;
};

inline constexpr const char* kUsage =
    "usage: plimhost [--open FILE | --new] [--save FILE] [--snapshot FILE.png] [--journal FILE]\n"
    "                [--pref [PREFIX/]NAME=VALUE] [--cloud DIR] [--folder TYPE=DIR] [--panel]\n"
    "                [--picture-time SECONDS] [--picture-memory MIB]\n"
    "                [--plugin PATH] [--swatch-library FILE ...] [--fail-on-error] [SCRIPT ...]\n"
    "       plimhost --version | --help\n";

// --help: the usage, then where to read on.
inline constexpr const char* kHelpTail =
    "\n"
    "Each script line is NAME [JSON]: a command and its request; every reply is printed on a line.\n"
    "The commands, their requests, replies and errors: docs/commands.md.\n"
    "The options and exit statuses: docs/cli.md.\n";

// The exit statuses.
inline constexpr int kExitDelivered = 0;
inline constexpr int kExitCantLoad = 1;
inline constexpr int kExitUsage = 2;
// Every line was delivered, and under --fail-on-error at least one reply held "error".
inline constexpr int kExitErrorReply = 3;

// Reads the arguments after the program name. False with the reason in *error for a usage error.
// "--" ends the options; "--plugin=PATH" is the same as "--plugin PATH". Relative paths are made
// absolute (against the working folder) as they are read; --pref and --folder may repeat.
bool ParseCommandLine(const std::vector<std::string>& arguments, CommandLine* line, std::string* error);

}  // namespace plimhost
