// Parsing plimhost's arguments.
#include "CommandLine.h"

#include <string_view>

namespace plimhost {
namespace {

// Options that take a value, and where the value goes.
std::optional<std::string>* ValueSlot(std::string_view option, CommandLine* line) {
    if (option == "--open") {
        return &line->openFile;
    }
    if (option == "--save") {
        return &line->saveFile;
    }
    if (option == "--snapshot") {
        return &line->snapshotFile;
    }
    if (option == "--plugin") {
        return &line->pluginPath;
    }
    return nullptr;
}

}  // namespace

bool ParseCommandLine(const std::vector<std::string>& arguments, CommandLine* line, std::string* error) {
    *line = CommandLine{};
    bool optionsEnded = false;
    bool newDocument = false;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (optionsEnded || argument == "-" || !argument.starts_with("-")) {
            line->scripts.push_back(argument);
            continue;
        }
        if (argument == "--") {
            optionsEnded = true;
            continue;
        }
        if (argument == "--help" || argument == "-h") {
            line->help = true;
            continue;
        }
        if (argument == "--new") {
            newDocument = true;
            continue;
        }
        if (argument == "--panel") {
            line->panel = true;
            continue;
        }
        const std::size_t equals = argument.find('=');
        const std::string option = argument.substr(0, equals);
        std::optional<std::string> library;
        std::optional<std::string>* slot = option == "--swatch-library" ? &library : ValueSlot(option, line);
        if (slot == nullptr) {
            *error = "unknown option " + argument;
            return false;
        }
        if (slot->has_value()) {
            *error = option + " is given twice";
            return false;
        }
        if (equals != std::string::npos) {
            *slot = argument.substr(equals + 1);
        } else if (i + 1 < arguments.size()) {
            *slot = arguments[++i];
        } else {
            *error = option + " needs a value";
            return false;
        }
        if ((*slot)->empty()) {
            *error = option + " needs a value";
            return false;
        }
        if (library) {
            line->swatchLibraries.push_back(*library);
        }
    }
    if (newDocument && line->openFile) {
        *error = "--open and --new exclude each other";
        return false;
    }
    return true;
}

}  // namespace plimhost
