// File version information: the fixed version record in the version resource of a Windows
// program or library. Files without one (every Linux program) read as absent.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

namespace host {

struct FileVersion {
    uint32_t ms = 0; // major << 16 | minor
    uint32_t ls = 0; // build << 16 | revision
};

// Files larger than this are not searched.
constexpr size_t kMaxVersionFileSize = 256u << 20;

bool FileVersionFromBytes(const unsigned char* data, size_t size, FileVersion* out);
bool ReadFileVersion(const std::string& windowsName, FileVersion* out);

} // namespace host
