// Telling whether two path texts name the same file, for every folder that compares a path a client
// gave with one the host keeps (an open document's file, a copy's source).
#pragma once

#include <string>

// Whether the two paths name the same file (by identity, so "/d/a.ai", "/d/./a.ai" and, from the
// working folder /d, "a.ai" do), or, when either doesn't exist yet, the same normalised absolute
// path. Empty paths name no file. Never throws.
bool IsSameFile(const std::string& first, const std::string& second);
// The path absolute and normalised, with the links of the part that exists resolved, so that two
// spellings of one path not yet made ("/d/x/../a.png", "/link-to-d/a.png") give one text; the path
// lexically normalised when the system can't tell. Never throws.
std::string NormalisedPath(const std::string& path);
