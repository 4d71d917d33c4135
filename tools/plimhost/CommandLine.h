// The command line of plimhost:
//     plimhost [--open FILE | --new] [--save FILE] [--snapshot FILE.png] [--panel] [--plugin PATH] [SCRIPT
//     ...]
#pragma once

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
    bool panel = false;
    bool help = false;
    // The scripts in order; "-" is standard input. None: standard input.
    std::vector<std::string> scripts;
};

inline constexpr const char* kUsage =
    "usage: plimhost [--open FILE | --new] [--save FILE] [--snapshot FILE.png] [--panel] [--plugin PATH]\n"
    "                [--swatch-library FILE ...] [SCRIPT ...]\n";

// Reads the arguments after the program name. False with the reason in *error for a usage error.
// "--" ends the options; "--plugin=PATH" is the same as "--plugin PATH".
bool ParseCommandLine(const std::vector<std::string>& arguments, CommandLine* line, std::string* error);

}  // namespace plimhost
