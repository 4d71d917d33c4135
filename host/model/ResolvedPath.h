// Paths as the system resolves them, for every place the stand-in keeps or writes a file's path.
#pragma once

#include <filesystem>
#include <optional>

namespace host::model {

// The whole path as the system resolves it: absolute against the working folder, every link, ".",
// ".." and repeated "/" of the part that exists resolved component by component ("link/.." is the
// parent of the link's target), the last component's link included; the part the system doesn't
// find yet keeps its names, "." and repeated "/" dropped. None for the empty path and for a path
// the system fails: a ".." after a component that doesn't exist ("new/.." while "new" is missing),
// a loop of links, a folder it may not search. Never throws.
std::optional<std::filesystem::path> systemPath(const std::filesystem::path& path);

// The path absolute (against the working folder) with its folder resolved as systemPath resolves
// it. The last component is kept as given, so a file that is itself a link stays the link; a path
// ending in "/", "." or ".." names a folder and keeps a trailing "/". The path absolute but
// otherwise as given when the system fails its folder ("new/../a.ai" while "new" is missing, a loop
// of links), so that using it fails as the system fails; empty only for the empty path. Never
// throws.
std::filesystem::path resolvedPath(const std::filesystem::path& path);

}  // namespace host::model
