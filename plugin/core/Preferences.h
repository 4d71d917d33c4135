// Reading and writing the host's preferences. An empty prefix names the application's own
// preferences ("includeStrokeInBounds", "policyForPreservingCorners"); it is passed to the host as a
// null pointer.
#pragma once

#include <map>
#include <set>
#include <string>

// Reads a boolean preference. False, leaving out untouched, when it is not set or the host fails.
bool ReadPluginPrefBool(const std::string& prefix, const std::string& name, bool& out);
// Reads an integer preference. False, leaving out untouched, when it is not set or the host fails.
bool ReadPluginPrefInt(const std::string& prefix, const std::string& name, int& out);
// Writes an integer preference that is set already: false, writing nothing, when it is not set;
// otherwise whether the host's write succeeds.
bool WritePluginPrefInt(const std::string& prefix, const std::string& name, int value);

// Writes a boolean preference that is set already: false, writing nothing, when it is not set;
// otherwise whether the host's write succeeds. Preferences are never created.
bool WritePluginPrefBool(const std::string& prefix, const std::string& name, bool value);

// Boolean preferences of the application's own (empty prefix), by name.
using PreferenceMap = std::map<std::string, bool>;

// The current values of those names that are set; the others are left out.
PreferenceMap ReadHostOptionsBool(const std::set<std::string>& names);
// Writes every entry that is set already; true when at least one write succeeded.
bool WriteHostOptionsBool(const PreferenceMap& values);
// Sets those wanted preferences that are set already and answers their previous values, for
// putting them back with WriteHostOptionsBool.
PreferenceMap ReplaceExistingHostOptionsBool(const PreferenceMap& wanted);

// The preferences that open documents without warnings: no missing-font dialog, and no warnings of
// colour conversion, font problems, live trace or legacy text conversion.
const PreferenceMap& OpenNoWarningsOptions();
