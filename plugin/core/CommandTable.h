// The script commands: the table from command name to handler, and the guarded call of a handler.
#pragma once

#include <map>
#include <string>

#include "core/PlimUtilsPlugin.h"

struct CommandEntry {
    CommandHandler handler;
    bool undoable;  // the undo kind is set before the command runs
};

// Built once, on first use; never changed afterwards.
const std::map<std::string, CommandEntry>& GetCommandTable();

// Runs a command on the plug-in object. An exception that escapes the command becomes a reply
// with "error", so nothing is thrown past this call.
std::string RunCommand(const std::string& eventType, CommandHandler handler, const std::string& request);

// Runs duplicate or z-order with the same guard.
std::string RunDuplicateCommand(const std::string& eventType, bool zOrder, const std::string& request);
