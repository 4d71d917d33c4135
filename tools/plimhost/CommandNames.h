// The plug-in's command names as plimhost knows them, to name the nearest ones when a script line
// names no command. plimhost plays the application and never links the plug-in, so it keeps its own
// copy of the names and the ways in that take each; a test holds the copy to the plug-in's table.
#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace plimhost {

struct CommandName {
    std::string_view name;
    bool byScript;  // taken as a script message
    bool byPanel;   // taken as a panel event
};

// Every command of the plug-in, in the order of its command table.
std::span<const CommandName> CommandNames();

// The names nearest to `name` among the commands the way in takes (edit distance with letter case
// ignored; a name that starts a command's name counts as one letter away), at most three in the
// table's order; none when no name is near enough to be a likely slip.
std::vector<std::string> NearestCommandNames(std::string_view name, bool panel);

// The command of that name, or null.
const CommandName* FindCommandName(std::string_view name);

}  // namespace plimhost
