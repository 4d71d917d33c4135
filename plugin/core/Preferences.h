// Reading and writing the host's preferences. An empty prefix names the application's own
// preferences ("includeStrokeInBounds", "policyForPreservingCorners"); it is passed to the host as a
// null pointer.
#pragma once

#include <string>

// Reads a boolean preference. False, leaving out untouched, when it is not set or the host fails.
bool ReadPluginPrefBool(const std::string& prefix, const std::string& name, bool& out);
// Reads an integer preference. False, leaving out untouched, when it is not set or the host fails.
bool ReadPluginPrefInt(const std::string& prefix, const std::string& name, int& out);
// Writes an integer preference that is set already: false, writing nothing, when it is not set;
// otherwise whether the host's write succeeds.
bool WritePluginPrefInt(const std::string& prefix, const std::string& name, int value);
