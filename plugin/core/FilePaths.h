// Telling whether two path texts name the same file, for every folder that compares a path a client
// gave with one the host keeps (an open document's file, a copy's source), and resolving a path once
// into the text that both the checks and the write then use.
#pragma once

#include <string>

// Whether the two paths name the same file (by identity, so "/d/a.ai", "/d/./a.ai" and, from the
// working folder /d, "a.ai" do), or, when either doesn't exist yet, the same path resolved as
// ResolvedFolderPath resolves it. Empty paths, and paths the system fails, name no file. Never throws.
bool IsSameFile(const std::string& first, const std::string& second);

// A folder as the system will take it when something is made or written in it: absolute against
// the working folder, every link, ".", ".." and repeated "/" resolved the way the system resolves
// them ("link/.." is the parent of the link's target, not the folder that holds the link), and a
// trailing "/" dropped. The part the system doesn't find yet keeps its names, "." and repeated "/"
// dropped. Empty for the empty path and for a path the system fails: a ".." after a
// component that doesn't exist ("new/.." while "new" is missing), a loop of links, a folder it may
// not search. Never throws.
std::string ResolvedFolderPath(const std::string& path);
// A file as the system will take it: its folder resolved as ResolvedFolderPath and its own name
// kept (a file that is itself a link stays the link). A path ending in "/", "." or ".." names a
// folder, not a file: it is resolved as a folder and keeps a trailing "/", so that a write to it
// fails as the system's would. Empty as for ResolvedFolderPath. Never throws.
std::string ResolvedFilePath(const std::string& path);
