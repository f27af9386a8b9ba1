#include "install/package/blocks.h"

#include <algorithm>
#include <cstring>
#include <zlib.h>

namespace pkg {

static bool HasMagic(const uint8_t* p, const char* magic) {
    return std::memcmp(p, magic, 4) == 0;
}

BlockKind BlockAt(const uint8_t* image, size_t imageSize, size_t pos, uint32_t* blockSize) {
    if (pos >= imageSize) return BlockKind::kNone;
    const uint8_t* p = image + pos;
    const size_t left = imageSize - pos;
    if (left >= kContainerHeaderSize && HasMagic(p, "stgc") && HasMagic(p + 4, "_hdr") &&
        ReadWord(p + 8) == 1 && HasMagic(p + 36, "data")) {
        const uint32_t size = ReadWord(p + 16);
        // The root table's entry count must be inside the block too.
        if (size >= kContainerHeaderSize + 4 && size <= left) {
            *blockSize = size;
            return BlockKind::kContainer;
        }
    }
    if (left > kSingleFileHeaderSize && HasMagic(p, "sstg") && HasMagic(p + 4, "__hd") &&
        HasMagic(p + 24, "data")) {
        const uint32_t size = ReadWord(p + 8);
        if (size > kSingleFileHeaderSize && size <= left) {
            *blockSize = size;
            return BlockKind::kSingleFile;
        }
    }
    return BlockKind::kNone;
}

size_t FindFirstBlock(const uint8_t* image, size_t imageSize) {
    size_t pos = 0;
    while (pos < imageSize) {
        // Only an 's' can start a header, so skip to the next one.
        const void* next = std::memchr(image + pos, 's', imageSize - pos);
        if (!next) break;
        pos = size_t(static_cast<const uint8_t*>(next) - image);
        uint32_t size;
        if (BlockAt(image, imageSize, pos, &size) != BlockKind::kNone) return pos;
        ++pos;
    }
    return imageSize;
}

static inline uint32_t Rotl(uint32_t v, unsigned n) {
    return (v << n) | (v >> ((32 - n) & 31));
}

uint32_t RotateXorChecksum(const uint8_t* data, size_t size, uint32_t sum) {
    size_t i = 0;
    // Eight bytes turn the running value by 24 bits; their own terms do not depend on each
    // other, so they are computed side by side instead of one long chain.
    for (; i + 8 <= size; i += 8) {
        const uint8_t* b = data + i;
        const uint32_t group = Rotl(b[0], 21) ^ Rotl(b[1], 18) ^ Rotl(b[2], 15) ^ Rotl(b[3], 12) ^
                               Rotl(b[4], 9) ^ Rotl(b[5], 6) ^ Rotl(b[6], 3) ^ b[7];
        sum = Rotl(sum, 24) ^ group;
    }
    for (; i < size; ++i) sum = Rotl(sum, 3) ^ data[i];
    return sum;
}

bool VerifyBlock(BlockKind kind, const uint8_t* block, uint32_t size,
                 const VerifyProgress& progress) {
    const uint32_t first =
        kind == BlockKind::kContainer ? kContainerHeaderSize : kSingleFileHeaderSize;
    if (kind == BlockKind::kNone || size < first) return false;
    uint32_t sum = 0;
    uLong crc = crc32(0L, Z_NULL, 0);
    for (size_t done = first; done < size;) {
        const size_t piece = std::min<size_t>(kVerifyStep, size - done);
        if (kind == BlockKind::kContainer)
            sum = RotateXorChecksum(block + done, piece, sum);
        else
            crc = crc32(crc, block + done, uInt(piece));
        done += piece;
        if (progress) progress(done, size);
    }
    if (kind == BlockKind::kContainer) return sum == ReadWord(block + 12);
    if (uint32_t(crc) != ReadWord(block + 20)) return false;
    // The destination path must end inside the block, before the data it names.
    const uint32_t dataOffset = ReadWord(block + 16);
    if (dataOffset < kSingleFileHeaderSize || dataOffset > size) return false;
    return std::memchr(block + kSingleFileHeaderSize, 0, dataOffset - kSingleFileHeaderSize) !=
           nullptr;
}

} // namespace pkg
