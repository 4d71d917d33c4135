// Finding the errors of a reply and writing where they came from.
#include "Replies.h"

#include <nlohmann/json.hpp>

#include "CommandNames.h"

namespace plimhost {
namespace {

using json = nlohmann::json;

std::string Text(const json& value) {
    return value.is_string() ? value.get<std::string>() : value.dump();
}

// The errors of a batch's entries: an entry the batch refused, or one whose command answered one.
void AddEntryErrors(const json& entries, std::vector<std::string>& errors) {
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const json& entry = entries[i];
        if (!entry.is_object()) {
            continue;
        }
        const json* error = nullptr;
        if (entry.contains("error")) {
            error = &entry["error"];
        } else if (entry.contains("data") && entry["data"].is_object() && entry["data"].contains("error")) {
            error = &entry["data"]["error"];
        }
        if (error == nullptr) {
            continue;
        }
        const std::string name = Text(entry.value("eventType", json("?")));
        errors.push_back("entry " + std::to_string(i + 1) + " (" + name + "): " + Text(*error));
    }
}

}  // namespace

std::vector<std::string> ReplyErrors(std::string_view reply) {
    std::vector<std::string> errors;
    // Most replies hold no error: they are not read twice.
    if (reply.find("\"error\"") == std::string_view::npos) {
        return errors;
    }
    const json parsed = json::parse(reply, nullptr, false);
    if (!parsed.is_object()) {
        return errors;
    }
    if (parsed.contains("error")) {
        errors.push_back(Text(parsed["error"]));
    }
    if (parsed.value("errorsPresent", false) && parsed.contains("data") && parsed["data"].is_array()) {
        AddEntryErrors(parsed["data"], errors);
    }
    return errors;
}

std::string PlaceLine(const LinePlace& place, std::string_view text) {
    std::string line =
        place.script.empty() ? std::string("plimhost") : place.script + ":" + std::to_string(place.line);
    line += ": ";
    line += place.command;
    line += ": ";
    // A NUL (a name that held one, echoed in a reply) is shown, not written to the terminal.
    line += ShownName(text);
    return line;
}

bool CanBeSentAsName(std::string_view name) {
    return name.find('\0') == std::string_view::npos;
}

std::string ShownName(std::string_view name) {
    std::string shown;
    for (const char character : name) {
        if (character == '\0') {
            shown += "\\0";
        } else {
            shown += character;
        }
    }
    return shown;
}

std::string NoCommandReply(std::string_view name, std::string_view request) {
    json reply = {{"error", "Unknown event type: " + std::string(name)}};
    const json parsed = json::parse(request, nullptr, false);
    if (parsed.is_object() && parsed.contains("uid")) {
        reply["uid"] = parsed["uid"];
    }
    // A name that is no UTF-8 is written with its bytes replaced, as the plug-in writes its replies.
    return reply.dump(-1, ' ', false, json::error_handler_t::replace);
}

std::string UnknownCommandNote(std::string_view name, bool panel) {
    if (!CanBeSentAsName(name)) {
        return "no command is named " + ShownName(name) + ": a command name can't hold a NUL character";
    }
    const CommandName* command = FindCommandName(name);
    if (command != nullptr && !command->byScript && !panel) {
        return std::string(name) + " is a panel event only: send it with plimhost --panel";
    }
    if (command != nullptr && (panel ? command->byPanel : command->byScript)) {
        // The name is right: the plug-in loaded is not one that takes it, or has not started its
        // panel.
        return std::string(name) + " is a command, but the plug-in loaded does not take it";
    }
    const std::vector<std::string> nearest = NearestCommandNames(name, panel);
    if (nearest.empty()) {
        return "no command is named " + std::string(name) + " (the commands: docs/commands.md)";
    }
    std::string note = "no command is named " + std::string(name) + "; the nearest: ";
    for (std::size_t i = 0; i < nearest.size(); ++i) {
        note += (i == 0 ? "" : ", ") + nearest[i];
    }
    return note;
}

std::optional<std::string> PluginVersionLine(std::string_view reply) {
    const json parsed = json::parse(reply, nullptr, false);
    if (!parsed.is_object() || !parsed.contains("version")) {
        return std::nullopt;
    }
    std::string line = "plug-in " + Text(parsed["version"]);
    for (const auto& [key, label] : {std::pair{"SDK", "SDK "}, {"timeStamp", "built "}, {"pluginPath", ""}}) {
        if (parsed.contains(key)) {
            line += ", " + std::string(label) + Text(parsed[key]);
        }
    }
    return line;
}

void DropByteOrderMark(std::string& text) {
    if (text.starts_with("\xEF\xBB\xBF")) {
        text.erase(0, 3);
    }
}

}  // namespace plimhost
