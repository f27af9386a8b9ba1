// Windows-style file names on a POSIX file system: '\' separates folders, and a component that
// does not exist as written is matched ignoring case (the exact name wins when two differ by case;
// when none is exact, the byte-wise smallest, so the choice does not depend on listing order).
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
// True for a file or a folder, as a Windows attribute query is.
bool FileExists(const std::string& windowsName);
// The whole content of a regular file; false (and no bytes) when it cannot be read.
bool ReadWholeFile(const std::string& windowsName, std::vector<unsigned char>& bytes);
// Writes the file as a whole: the bytes go to a new file in the same folder that is then renamed
// over the old one, so readers and crashes see either the old or the new content, never a mix.
// An existing file keeps its permissions and one the user may not write (or has made read-only)
// is left alone; a symbolic link is written through. False on failure.
bool ReplaceFileAtomically(const std::string& windowsName, const std::string& bytes);

// Names (not paths) of the entries of a folder that match a pattern with '*' and '?', ignoring
// case; "DATA\*.BUBBLE" searches folder DATA. "." and ".." are listed too, first, as Windows
// does; a trailing ".*" also matches names without an extension ("*.*" lists everything). The
// other names come sorted ignoring case as Windows' file system keeps them (names differing only
// by case byte-wise), so an index into the list means the same entry on every disk.
std::vector<std::string> FindFiles(const std::string& windowsPattern);

// The current folder as a host path; SetCurrentFolder takes a host or Windows-style name.
std::string GetCurrentFolder();
bool SetCurrentFolder(const std::string& path);

} // namespace sys
