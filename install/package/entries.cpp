#include "install/package/entries.h"

#include <cstring>

#include "SYS/textcodec.h"

#include "install/package/inflate.h"

namespace pkg {

static std::string TextAt(const PackageBlock& block, uint32_t headerOffset) {
    if (block.kind != BlockKind::kContainer) return {};
    const uint32_t at = ReadWord(block.data + headerOffset);
    if (at >= block.size) return {};
    const void* end = std::memchr(block.data + at, 0, block.size - at);
    if (!end) return {};
    return std::string(reinterpret_cast<const char*>(block.data + at),
                       static_cast<const uint8_t*>(end) - (block.data + at));
}

std::string BlockTypeText(const PackageBlock& block) {
    return TextAt(block, 28);
}
std::string BlockIdText(const PackageBlock& block) {
    return TextAt(block, 32);
}

static bool Fits(const PackageBlock& block, uint64_t offset, uint64_t length) {
    return offset <= block.size && length <= block.size - offset;
}

bool TableCount(const PackageBlock& block, uint32_t tableOffset, uint32_t* count) {
    if (!Fits(block, tableOffset, 4)) return false;
    *count = ReadWord(block.data + tableOffset);
    return Fits(block, uint64_t(tableOffset) + 4, uint64_t(*count) * kEntrySize);
}

bool IsSafeName(std::string_view name) {
    if (name.empty() || name == "." || name == "..") return false;
    for (char c : name) {
        // A control character would become a line of its own in the uninstall log.
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) return false;
    }
    return name.find_first_of("/\\:") == std::string_view::npos;
}

bool ReadEntry(const PackageBlock& block, uint32_t tableOffset, uint32_t index,
               StorageEntry* entry) {
    const uint8_t* p = block.data + tableOffset + 4 + size_t(index) * kEntrySize;
    entry->fileTime = uint64_t(ReadWord(p)) | uint64_t(ReadWord(p + 4)) << 32;
    entry->offset = ReadWord(p + 8);
    entry->size = ReadWord(p + 12);
    entry->packedSize = ReadWord(p + 16);
    const uint32_t nameOffset = ReadWord(p + 20);
    const uint32_t nameLength = ReadWord(p + 24);
    entry->flags = p[28];
    // The name and its terminating zero lie inside the block.
    if (!Fits(block, nameOffset, uint64_t(nameLength) + 1) || block.data[nameOffset + nameLength])
        return false;
    entry->name =
        std::string_view(reinterpret_cast<const char*>(block.data + nameOffset), nameLength);
    if (!IsSafeName(entry->name)) return false;
    if (entry->IsFolder()) {
        uint32_t count;
        return TableCount(block, entry->offset, &count);
    }
    return Fits(block, entry->offset, entry->StoredSize());
}

static std::string_view Trim(std::string_view s) {
    while (!s.empty() && s.front() == ' ') s.remove_prefix(1);
    while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
    return s;
}

Lookup FindEntry(const PackageBlock& block, const std::string& path, StorageEntry* found) {
    if (block.kind != BlockKind::kContainer) return Lookup::kNotFound;
    uint32_t table = kContainerHeaderSize;
    std::string_view rest = Trim(path);
    bool atFolder = true;
    while (!rest.empty()) {
        const size_t cut = rest.find_first_of("\\/");
        const std::string_view component = Trim(rest.substr(0, cut));
        rest = cut == std::string_view::npos ? std::string_view() : rest.substr(cut + 1);
        if (component.empty()) continue;
        // A file before the last component ends the walk.
        if (!atFolder) return Lookup::kNotFound;
        uint32_t count;
        if (!TableCount(block, table, &count)) return Lookup::kCorrupt;
        bool matched = false;
        for (uint32_t i = 0; i < count && !matched; ++i) {
            StorageEntry entry;
            if (!ReadEntry(block, table, i, &entry)) return Lookup::kCorrupt;
            if (!sys::EqualIgnoringCase(entry.name, component)) continue;
            matched = true;
            *found = entry;
            atFolder = entry.IsFolder();
            table = entry.offset;
        }
        if (!matched) return Lookup::kNotFound;
    }
    // An empty path names no entry.
    return atFolder && table == kContainerHeaderSize ? Lookup::kNotFound : Lookup::kFound;
}

bool ReadPackageFile(const PackageStorage& storage, size_t blockIndex, const std::string& path,
                     size_t extra, std::vector<uint8_t>* out) {
    out->clear();
    if (blockIndex >= storage.blocks.size()) return false;
    const PackageBlock& block = storage.blocks[blockIndex];
    StorageEntry entry;
    if (FindEntry(block, path, &entry) != Lookup::kFound || entry.IsFolder()) return false;
    const uint8_t* data = block.data + entry.offset;
    if (!entry.IsCompressed()) {
        out->assign(data, data + entry.size);
        out->resize(out->size() + extra, 0);
        return true;
    }
    if (entry.size > uint64_t(entry.packedSize) * kMaxInflateRatio + 64) return false;
    // The buffer grows with what the stream really yields, not with what the entry claims.
    const bool ok = InflateStream(
        data, entry.packedSize, entry.size,
        [&](const uint8_t* bytes, size_t n) {
            out->insert(out->end(), bytes, bytes + n);
            return true;
        },
        nullptr);
    if (!ok) {
        out->clear();
        return false;
    }
    out->resize(out->size() + extra, 0);
    return true;
}

} // namespace pkg
