// Private-profile (INI) files with Windows semantics: section and key names ignore case, the
// first match wins, a missing file/section/key reads as the default, and writing creates the
// file and section while keeping the rest of the file. Writes replace the file atomically.
// File names are Windows-style names (files.h); a bare name is looked for in the current folder,
// not in a Windows folder.
#pragma once
#include <cstddef>

namespace sys {

// Copies the value (or the default) into buffer, cut to size-1 characters; returns the length.
// Blanks around keys and values do not count, a value in matching double or single quotes loses
// them, and the default loses its trailing blanks, as on Windows. Lines starting with ';' are
// comments; CR LF and LF line ends are both read.
// With key null: all key names of the section, each ended by '\0', the list ended by a second
// '\0' (cut to fit, as Windows does). With section null: all section names, likewise.
size_t GetPrivateProfileString(const char* section, const char* key, const char* defaultValue,
                               char* buffer, size_t size, const char* fileName);
// An optional sign and the leading decimal digits, in 32-bit arithmetic; the default when the
// key is missing or empty.
int GetPrivateProfileInt(const char* section, const char* key, int defaultValue,
                         const char* fileName);
// Writes key=value (value null deletes the key; key null deletes the section). New lines follow
// the file's line ends (CR LF for a new file). False on failure, and for texts that would change
// the file's structure rather than store a value: line breaks, a key with '=' or starting with
// '[' or ';'.
bool WritePrivateProfileString(const char* section, const char* key, const char* value,
                               const char* fileName);

} // namespace sys
