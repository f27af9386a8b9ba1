// The folder tables of a container block: entries read with every offset and size checked
// against the block, path look-up, and reading one file's content out of a block.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "install/package/storage.h"

namespace pkg {

constexpr uint32_t kEntrySize = 32;
constexpr uint8_t kEntryCompressed = 1;
constexpr uint8_t kEntryFolder = 2;

struct StorageEntry {
    uint64_t fileTime = 0;   // Windows FILETIME
    uint32_t offset = 0;     // a file's data or a folder's table
    uint32_t size = 0;       // after extraction
    uint32_t packedSize = 0; // of the zlib stream
    uint8_t flags = 0;
    std::string_view name;
    bool IsFolder() const { return flags & kEntryFolder; }
    bool IsCompressed() const { return flags & kEntryCompressed; }
    // The bytes the entry's data takes in the block.
    uint32_t StoredSize() const { return IsCompressed() ? packedSize : size; }
};

// The texts at the header offsets 28 and 32; empty when the offset does not name a
// zero-terminated text inside the block.
std::string BlockTypeText(const PackageBlock& block);
std::string BlockIdText(const PackageBlock& block);

// A single path component: not empty, not "." or "..", without '/', '\', ':' or control
// characters. Entry names and the header texts that name the log follow it.
bool IsSafeName(std::string_view name);

// The entry count of the table at that offset; false when the table runs past the block.
bool TableCount(const PackageBlock& block, uint32_t tableOffset, uint32_t* count);
// Reads entry `index` of a table whose count was checked. False when its name is empty, not
// zero-terminated inside the block, or not a safe name (IsSafeName), or when its data (a file)
// or table count (a folder) lies outside the block.
bool ReadEntry(const PackageBlock& block, uint32_t tableOffset, uint32_t index,
               StorageEntry* entry);

enum class Lookup { kFound, kNotFound, kCorrupt };
// The path is split at '\' and '/'; blanks around components are ignored; each component is
// compared by length, then ignoring case.
Lookup FindEntry(const PackageBlock& block, const std::string& path, StorageEntry* entry);

// Zlib output no stream can exceed per input byte; a larger declared size is a lie.
constexpr uint64_t kMaxInflateRatio = 1032;

// The entry's content plus `extra` zero bytes; false when the path is missing, names a folder,
// or the data is damaged (a stream that stops short of or runs past the declared size).
bool ReadPackageFile(const PackageStorage& storage, size_t blockIndex, const std::string& path,
                     size_t extra, std::vector<uint8_t>* out);

} // namespace pkg
