// Windows-style file names on a POSIX file system: '\' separates folders, and a component that
// does not exist as written is matched ignoring case (the exact name wins when two differ by case).
#pragma once
#include <cstdio>
#include <string>
#include <vector>

namespace sys {

// The host path for a Windows-style name (relative names stay relative to the current folder).
// Components that do not exist are kept as written, so the result can name a file to create.
std::string ResolvePath(const std::string& windowsName);

// fopen on a resolved name.
FILE* OpenFile(const std::string& windowsName, const char* mode);
bool FileExists(const std::string& windowsName);
bool ReadWholeFile(const std::string& windowsName, std::vector<unsigned char>& bytes);

// Names (not paths) of the entries of a folder that match a pattern with '*' and '?', ignoring
// case, in the order the folder lists them; "DATA\*.BUBBLE" searches folder DATA.
// "." and ".." are listed too, as Windows does.
std::vector<std::string> FindFiles(const std::string& windowsPattern);

// Current folder as a Windows-style absolute name is not needed: these return host paths.
std::string GetCurrentFolder();
bool SetCurrentFolder(const std::string& path);

} // namespace sys
