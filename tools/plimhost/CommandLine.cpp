// Parsing plimhost's arguments.
#include "CommandLine.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <string_view>

#include "model/ResolvedPath.h"

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
    if (option == "--journal") {
        return &line->journalFile;
    }
    if (option == "--cloud") {
        return &line->cloudFolder;
    }
    if (option == "--picture-time") {
        return &line->pictureTime;
    }
    if (option == "--picture-memory") {
        return &line->pictureMemory;
    }
    return nullptr;
}

// A picture's limit given as a whole number from lowest to highest, as the preference that holds
// it; false with the reason otherwise.
bool ReadPictureLimit(const std::optional<std::string>& value, const char* option, const char* preference,
                      long lowest, long highest, const char* unit, CommandLine* line, std::string* error) {
    if (!value) {
        return true;
    }
    const bool digits = value->size() < 10 && std::all_of(value->begin(), value->end(), [](unsigned char c) {
                            return std::isdigit(c) != 0;
                        });
    const long number = digits ? std::stol(*value) : -1;
    if (number < lowest || number > highest) {
        *error = std::string(option) + " needs a whole number of " + unit + " from " +
                 std::to_string(lowest) + " to " + std::to_string(highest) + ", not \"" + *value + "\"";
        return false;
    }
    line->preferences.emplace_back(preference, std::to_string(number));
    return true;
}

// The path made absolute and resolved as the system resolves it ("link/.." is the parent of the
// link's target), once, so that the file plimhost checks is the file it reads or writes.
std::string Absolute(const std::string& path) {
    const std::filesystem::path resolved = host::model::resolvedPath(path);
    return resolved.empty() ? path : resolved.string();
}

// Whether two resolved paths name one file: the same text, or one file by identity.
bool NameOneFile(const std::string& first, const std::string& second) {
    std::error_code failed;
    return first == second ||
           (std::filesystem::exists(first, failed) && std::filesystem::exists(second, failed) &&
            std::filesystem::equivalent(first, second, failed) && !failed);
}

// "NAME=VALUE" split at its first "="; false when there is none or a side is empty.
bool SplitAssignment(const std::string& text, std::string* name, std::string* value) {
    const std::size_t equals = text.find('=');
    if (equals == std::string::npos || equals == 0 || equals + 1 == text.size()) {
        return false;
    }
    *name = text.substr(0, equals);
    *value = text.substr(equals + 1);
    return true;
}

// --pref and --folder, which may repeat; false with the reason for a malformed value.
bool ReadRepeatedOption(const std::string& option, const std::string& value, CommandLine* line,
                        std::string* error) {
    const bool preference = option == "--pref";
    // What the option expected, told with what it got.
    const std::string expected =
        preference
            ? "--pref needs [PREFIX/]NAME=VALUE (such as warning/fontProblem=false), not \"" + value + "\""
            : "--folder needs TYPE=DIR, a folder type number from 0 to 999999999 and a folder (such "
              "as 103=/usr/share/arrows), not \"" +
                  value + "\"";
    std::string name;
    std::string text;
    if (!SplitAssignment(value, &name, &text)) {
        *error = expected;
        return false;
    }
    if (preference) {
        line->preferences.emplace_back(name, text);
        return true;
    }
    const bool numeric =
        !name.empty() && name.size() < 10 &&
        std::all_of(name.begin(), name.end(), [](unsigned char c) { return std::isdigit(c) != 0; });
    if (!numeric) {
        *error = expected;
        return false;
    }
    line->folders[std::stoi(name)] = Absolute(text);
    return true;
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
        if (argument == "--fail-on-error") {
            line->failOnError = true;
            continue;
        }
        if (argument == "--version") {
            line->version = true;
            continue;
        }
        const std::size_t equals = argument.find('=');
        const std::string option = argument.substr(0, equals);
        if (option == "--pref" || option == "--folder") {
            if (i + 1 >= arguments.size()) {
                *error = option + " needs a value";
                return false;
            }
            if (!ReadRepeatedOption(option, arguments[++i], line, error)) {
                return false;
            }
            continue;
        }
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
    for (std::optional<std::string>* path :
         {&line->openFile, &line->saveFile, &line->snapshotFile, &line->journalFile, &line->cloudFolder}) {
        if (*path) {
            **path = Absolute(**path);
        }
    }
    for (std::string& library : line->swatchLibraries) {
        library = Absolute(library);
    }
    if (!ReadPictureLimit(line->pictureTime, "--picture-time", "pictureTimeLimit", 1, 3600, "seconds", line,
                          error) ||
        !ReadPictureLimit(line->pictureMemory, "--picture-memory", "pictureMemoryLimit", 64, 1 << 20, "MiB",
                          line, error)) {
        return false;
    }
    if (newDocument && line->openFile) {
        *error = "--open and --new exclude each other";
        return false;
    }
    // Two of the files written at the end naming one file would leave only the last one written,
    // each reported written.
    const std::pair<const char*, const std::optional<std::string>*> outputs[] = {
        {"--save", &line->saveFile}, {"--snapshot", &line->snapshotFile}, {"--journal", &line->journalFile}};
    for (std::size_t i = 0; i < std::size(outputs); ++i) {
        for (std::size_t j = i + 1; j < std::size(outputs); ++j) {
            if (*outputs[i].second && *outputs[j].second &&
                NameOneFile(**outputs[i].second, **outputs[j].second)) {
                *error = std::string(outputs[i].first) + " and " + outputs[j].first + " name one file";
                return false;
            }
        }
    }
    return true;
}

}  // namespace plimhost
