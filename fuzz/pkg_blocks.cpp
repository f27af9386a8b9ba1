// The block scanner and verifier over a package image. When the first byte is odd, the block
// headers found are given correct checksums first, so the chain behind them is reached too.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "install/package/blocks.h"
#include "install/package/builder.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    const bool seal = data[0] & 1;
    std::vector<uint8_t> image(data + 1, data + size);
    size_t pos = pkg::FindFirstBlock(image.data(), image.size());
    while (pos < image.size()) {
        uint32_t blockSize = 0;
        const pkg::BlockKind kind = pkg::BlockAt(image.data(), image.size(), pos, &blockSize);
        if (kind == pkg::BlockKind::kNone) break;
        if (seal) {
            std::vector<uint8_t> block(image.begin() + long(pos),
                                       image.begin() + long(pos + blockSize));
            pkg::SealBlock(block);
            std::copy(block.begin(), block.end(), image.begin() + long(pos));
        }
        if (!pkg::VerifyBlock(kind, image.data() + pos, blockSize, nullptr)) break;
        pos += blockSize;
    }
    return 0;
}
