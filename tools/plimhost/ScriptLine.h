// One line of a plimhost script: "NAME [JSON]".
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace plimhost {

struct ScriptLine {
    std::string name;
    std::string request;  // the rest of the line after the name and the blanks after it, as it stands
};

// Nothing for a blank line or a comment (first non-blank character '#'). A carriage return ending
// the line is not part of it.
std::optional<ScriptLine> ParseScriptLine(std::string_view line);

}  // namespace plimhost
