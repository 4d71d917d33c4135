// Parsing script lines.
#include "ScriptLine.h"

namespace plimhost {
namespace {

constexpr std::string_view kBlanks = " \t";

}  // namespace

std::optional<ScriptLine> ParseScriptLine(std::string_view line) {
    if (line.ends_with('\r')) {
        line.remove_suffix(1);
    }
    const std::size_t start = line.find_first_not_of(kBlanks);
    if (start == std::string_view::npos || line[start] == '#') {
        return std::nullopt;
    }
    line.remove_prefix(start);
    const std::size_t nameEnd = std::min(line.find_first_of(kBlanks), line.size());
    ScriptLine parsed{std::string(line.substr(0, nameEnd)), {}};
    const std::size_t requestStart = line.find_first_not_of(kBlanks, nameEnd);
    if (requestStart != std::string_view::npos) {
        parsed.request = line.substr(requestStart);
    }
    return parsed;
}

}  // namespace plimhost
