// What plimhost tells about a reply on standard error: the errors it holds, each as
// "SCRIPT:LINE: COMMAND: TEXT", and for a name that is no command the nearest names.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace plimhost {

// Where a request came from: the script as it was named ("-" for standard input), the number of its
// line (from 1) and the command the line names.
struct LinePlace {
    std::string script;
    std::size_t line = 0;
    std::string command;
};

// The error texts a reply holds: its "error", and for a batch the "error" of each entry or of the
// entry's own reply, as "entry N (NAME): TEXT" (N from 1). None for a reply that is no JSON object.
std::vector<std::string> ReplyErrors(std::string_view reply);

// "SCRIPT:LINE: COMMAND: TEXT"; without a place (no line is being run) "plimhost: COMMAND: TEXT".
std::string PlaceLine(const LinePlace& place, std::string_view text);

// The note on a name that is no command of the way in: the nearest names, a command that only the
// other way in takes, or where the commands are listed.
std::string UnknownCommandNote(std::string_view name, bool panel);

// Whether the name can be sent at all: the application hands a command name to the plug-in as a C
// string, which a NUL would cut short ("closeDocument<NUL>x" would run "closeDocument").
bool CanBeSentAsName(std::string_view name);

// The name as told on standard error: a NUL shown as the two characters "\0".
std::string ShownName(std::string_view name);

// The reply a name that is no command gets ("Unknown event type: NAME", with the request's "uid"),
// for a line plimhost can't send (CanBeSentAsName).
std::string NoCommandReply(std::string_view name, std::string_view request);

// The plug-in's version as its "version" reply states it: "plug-in VERSION, SDK SDK, built TIME,
// PATH" (what the reply holds of them); nothing when the reply names no version.
std::optional<std::string> PluginVersionLine(std::string_view reply);

// A UTF-8 byte-order mark at the start of the text, taken away.
void DropByteOrderMark(std::string& text);

}  // namespace plimhost
