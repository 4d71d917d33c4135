// Telling whether two path texts name the same file, for every folder that compares a path a client
// gave with one the host keeps (an open document's file, a copy's source), and resolving a path once
// into the text that both the checks and the write then use.
#pragma once

#include <string>

// Whether the two paths name the same file (by identity, so "/d/a.ai", "/d/./a.ai" and, from the
// working folder /d, "a.ai" do), or, when either doesn't exist yet, the same resolved absolute
// path. Empty paths name no file. Never throws.
bool IsSameFile(const std::string& first, const std::string& second);
// The path absolute and resolved as the system resolves it, the links of the part that exists
// included, so that two spellings of one path not yet made ("/d/x/../a.png", "/link-to-d/a.png")
// give one text; the path lexically normalised when the system can't tell. Never throws.
std::string NormalisedPath(const std::string& path);

// A folder as the system will take it when something is made or written in it: absolute against
// the working folder, every link, ".", ".." and repeated "/" resolved the way the system resolves
// them ("link/.." is the parent of the link's target, not the folder that holds the link), and a
// trailing "/" dropped. The part that doesn't exist yet is normalised as text: it holds no link, and
// once made the system resolves it the same way. Empty for the empty path and when the system
// can't resolve it (a loop of links, a folder it may not search). Never throws.
std::string ResolvedFolderPath(const std::string& path);
// A file as the system will take it: its folder resolved as ResolvedFolderPath and its own name
// kept (a file that is itself a link stays the link). A path ending in "/", "." or ".." names a
// folder, not a file: it is resolved as a folder and keeps a trailing "/", so that a write to it
// fails as the system's would. Empty as for ResolvedFolderPath. Never throws.
std::string ResolvedFilePath(const std::string& path);
