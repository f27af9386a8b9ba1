// Private-profile (INI) files with Windows semantics: section and key names ignore case, the
// first match wins, a missing file/section/key reads as the default, and writing creates the
// file and section while keeping the rest of the file. Writes replace the file atomically.
#pragma once
#include <cstddef>

namespace sys {

// Copies the value (or the default) into buffer, cut to size-1 characters; returns the length.
// With key null: all key names of the section, each ended by '\0', the list ended by a second
// '\0' (cut to fit, as Windows does). With section null: all section names, likewise.
size_t GetPrivateProfileString(const char* section, const char* key, const char* defaultValue,
                               char* buffer, size_t size, const char* fileName);
int GetPrivateProfileInt(const char* section, const char* key, int defaultValue,
                         const char* fileName);
// Writes key=value (value null deletes the key; key null deletes the section). False on failure.
bool WritePrivateProfileString(const char* section, const char* key, const char* value,
                               const char* fileName);

} // namespace sys
