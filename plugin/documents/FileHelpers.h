// Paths, files and folders for the document commands, placing and export. Paths are UTF-8 texts.
// No helper throws: every failure, the file library's errors included, is answered by the result.
#pragma once

#include <string>

#include "IAIFilePath.hpp"
#include "core/FilePaths.h"

// The user's home folder: $HOME, else the home folder of the user's password entry. False (out
// empty) when neither tells.
bool GetUserDir(std::string& out);
// A path beginning with "~" is home-relative, as in a shell: "~" alone and "~/rest" stand for the
// user's home folder (GetUserDir) followed by the rest, "~name" and "~name/rest" for the home folder
// of the user of that login name. out is set and the answer is true; other paths, and a home folder
// that can't be told (no such user), give false with out untouched.
bool UserPathToAbsPath(const std::string& path, std::string& out);
// The path with "~" expanded when it begins with one.
std::string ExpandUserPath(const std::string& path);

// The text after the last "." of the path; empty when there is none, the path ends with ".", or
// the "." belongs to a folder name.
std::string StringPathExtension(const std::string& path);

// Whether the host reports that the path exists (file or folder, links not followed).
bool FileExists(const std::string& path);
// Whether the path is a regular file.
bool IsRegularFile(const std::string& path);
// Removes the file (or empty folder); false when it is missing or can't be removed.
bool RemoveFile(const std::string& path);

// Copies a regular file. The copy goes to a unique temporary file in the destination's folder,
// gets the source's permissions, is flushed to disk and is renamed over the destination, so that a
// failed copy leaves the destination as it was. Without overwrite an existing destination is a failure. False
// for a source that is not a regular file and on any failure.
bool FileDirCopy(const std::string& source, const std::string& destination, bool overwrite);

// Makes the folder with every missing parent, by its path as the system resolves it
// (ResolvedFolderPath; the working folder is never changed). True when the folder exists at the end;
// out is then that resolved path. Only the empty path, and one the system can't resolve, are
// refused: ".", "/" and a one-letter folder are folders as any other.
bool CreateNewDirectory(const std::string& path, ai::FilePath& out);

// Creates a unique file, exclusively, from a pattern ending in "XXXXXX" and a suffix of
// suffixLength bytes; the pattern becomes the file's path. The open descriptor, or -1.
int CreateUniqueFile(std::string& pattern, int suffixLength);

// A file name made safe to join to a folder: "/" and NUL become "_", and "." and ".." (and the
// empty name) become "_" too, so that the name can't leave the folder.
std::string SafeFileName(const std::string& name);
// The full path of the folder with the name added as its last component (made safe first).
std::string AddNameToPath(const std::string& folder, const std::string& name);
