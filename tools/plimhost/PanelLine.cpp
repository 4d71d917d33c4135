// Printing the events the plug-in dispatches to the panel.
#include "PanelLine.h"

namespace plimhost {
namespace {

void AppendOnOneLine(std::string& line, const std::string& text) {
    for (const char character : text) {
        if (character == '\n') {
            line += "\\n";
        } else if (character == '\r') {
            line += "\\r";
        } else {
            line += character;
        }
    }
}

}  // namespace

std::string PanelEventLine(const host::PanelEvent& event) {
    std::string line;
    AppendOnOneLine(line, event.type);
    line += '\t';
    AppendOnOneLine(line, event.data);
    return line;
}

}  // namespace plimhost
