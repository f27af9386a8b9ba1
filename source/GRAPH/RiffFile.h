// Chunks of a RIFF file, read from disk on demand: a four-letter id, a little-endian 32-bit
// size, the data, and a pad byte after odd sizes. RIFF and LIST chunks begin their data with a
// four-letter form type followed by their child chunks.
#pragma once
#include <cstdint>
#include <cstdio>

constexpr uint32_t FourCC(const char (&code)[5]) {
    return uint32_t(uint8_t(code[0])) | (uint32_t(uint8_t(code[1])) << 8) |
           (uint32_t(uint8_t(code[2])) << 16) | (uint32_t(uint8_t(code[3])) << 24);
}

struct RiffChunk {
    uint32_t id = 0;
    uint32_t size = 0;
    uint64_t dataOffset = 0;
    uint32_t formType = 0; // RIFF and LIST chunks only

    uint64_t End() const { return dataOffset + size; }
    uint64_t Next() const { return dataOffset + size + (size & 1); }
    uint64_t ChildrenBegin() const { return dataOffset + 4; }
    bool IsList(uint32_t type) const { return id == FourCC("LIST") && formType == type; }
};

class RiffFile {
public:
    RiffFile() = default;
    RiffFile(const RiffFile&) = delete;
    RiffFile& operator=(const RiffFile&) = delete;
    ~RiffFile() { Close(); }

    bool Open(const char* fileName);
    void Close();
    uint64_t Size() const { return size_; }

    // False unless all `count` bytes were read.
    bool Read(uint64_t offset, void* dst, size_t count);
    // The chunk whose header is at `offset`; false unless it lies wholly before `end` (a chunk
    // that claims more than its parent holds is not trusted).
    bool ChunkAt(uint64_t offset, uint64_t end, RiffChunk& chunk);
    // The first chunk among those in [begin, end) with that id (and, when formType is non-zero,
    // that form type).
    bool Find(uint64_t begin, uint64_t end, uint32_t id, uint32_t formType, RiffChunk& found);

private:
    FILE* file_ = nullptr;
    uint64_t size_ = 0;
};
