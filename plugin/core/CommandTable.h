// The command table: every command once (core/CommandRows.h), found by name for one way in, and
// the one dispatch that runs a command for scripts, the panel and batches alike.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "core/CommandRows.h"
#include "core/PlimUtilsPlugin.h"

struct CommandRow {
    const char* name;
    CommandHandler handler;  // null for the routes that run no member
    Route route;
    unsigned ways;  // kByScript, kByPanel, kInBatch

    bool TakenBy(unsigned way) const { return (ways & way) != 0; }
};

namespace command_rows {
using P = PlimUtilsPlugin;
inline constexpr CommandRow kRows[] = {
#define PLIM_COMMAND_ROW(name, member, route, ways) {name, member, Route::route, ways},
    PLIM_COMMAND_ROWS(PLIM_COMMAND_ROW)
#undef PLIM_COMMAND_ROW
};
}  // namespace command_rows

// The panel names a command by its event type: this prefix, then the command's name.
inline constexpr std::string_view kEventPrefix = "com.torvi.event.";

// Every row, in the panel's registration order.
inline constexpr const auto& kCommandRows = command_rows::kRows;

// The row of the name when the way in takes it; null otherwise (names are compared exactly).
const CommandRow* FindCommand(std::string_view name, unsigned way);

// Runs the row's command on the request text for one way in: the route's flags, application
// context and undo kind (none inside a batch), then the member. A member that may change the
// document and answers "error" leaves it as it was: what it changed is taken back (unless it
// called KeepChangesDespiteError). An exception that escapes the
// member becomes a reply with "eventType", the request's "uid" and "error", so nothing is thrown
// past this call. Answers the reply text: empty for the routes that answer nothing, the XML text
// for kXml.
// When answer is given, it receives the reply while the application context is still pushed.
std::string RunCommand(const CommandRow& row, const std::string& request, unsigned way,
                       const std::function<void(const std::string&)>& answer = {});

// Called by the running command when its "error" reports a part of its work that it left while
// the rest of its work stands on purpose: the document then keeps the command's changes.
void KeepChangesDespiteError();
