// The two storage-block formats a package travels in: container blocks ("stgc") holding a
// folder tree, and single-file blocks ("sstg") holding one compressed file. Finding a block
// header in an image, and checking a block's checksum or CRC.
#pragma once
#include <cstddef>
#include <cstdint>
#include <functional>

namespace pkg {

enum class BlockKind { kNone, kContainer, kSingleFile };

// Container header: the root folder table follows at this offset.
constexpr uint32_t kContainerHeaderSize = 40;
// Single-file header: the destination path follows at this offset.
constexpr uint32_t kSingleFileHeaderSize = 28;

inline uint32_t ReadWord(const uint8_t* p) {
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

// The kind of block whose header starts at image[pos], or kNone. The header must be complete,
// its block size must fit in the rest of the image and be large enough to hold the header's
// fixed part (a size of zero would make the next block start at the same place for ever).
BlockKind BlockAt(const uint8_t* image, size_t imageSize, size_t pos, uint32_t* blockSize);
// The first position holding a valid block header, searched byte by byte; imageSize when none.
size_t FindFirstBlock(const uint8_t* image, size_t imageSize);

// Per byte: rotate left by 3 bits, then exclusive-or the byte in. A new sum starts at 0; a
// later piece continues from the sum of the pieces before it.
uint32_t RotateXorChecksum(const uint8_t* data, size_t size, uint32_t sum = 0);
// Called with the bytes verified so far in the current block; runs every kVerifyStep bytes.
using VerifyProgress = std::function<void(size_t done, size_t blockSize)>;
constexpr size_t kVerifyStep = 1024;

// Checks the checksum ("stgc", bytes 40 to the end against the word at 12) or the CRC-32
// ("sstg", bytes 28 to the end against the word at 20), and for a single-file block that its
// destination path ends inside the block and its data offset lies inside it.
bool VerifyBlock(BlockKind kind, const uint8_t* block, uint32_t size,
                 const VerifyProgress& progress);

} // namespace pkg
