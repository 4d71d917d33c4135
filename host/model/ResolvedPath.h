// Paths as the system resolves them, for every place the stand-in keeps or writes a file's path.
#pragma once

#include <filesystem>

namespace host::model {

// The path absolute (against the working folder) with its folder resolved as the system resolves
// it: every link, ".", ".." and repeated "/" of the part that exists ("link/.." is the parent of
// the link's target, not the folder that holds the link), the part not made yet normalised as text.
// The last component is kept as given, so a file that is itself a link stays the link; a path
// ending in "/", "." or ".." names a folder and keeps a trailing "/". The path absolute but
// otherwise as given when the system can't resolve it (a loop of links), so that using it fails as
// the system fails; empty only for the empty path. Never throws.
std::filesystem::path resolvedPath(const std::filesystem::path& path);

}  // namespace host::model
