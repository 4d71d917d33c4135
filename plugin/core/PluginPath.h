// Where the plug-in is installed.
#pragma once

#include <string>

// The folder that holds the plug-in's bundle; false when the bundle can't be found or the folder
// doesn't exist.
bool GetPluginPath(std::string& out);
