// Reading one file out of a package: the input's first line is the path inside the block, the
// rest is the block after its header (a valid header and checksum are put in front).
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "install/package/builder.h"
#include "install/package/entries.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    const uint8_t* newline = static_cast<const uint8_t*>(std::memchr(data, '\n', size));
    if (!newline) return 0;
    const std::string path(reinterpret_cast<const char*>(data), size_t(newline - data));
    std::vector<uint8_t> block = pkg::BuildContainer({}, {});
    block.resize(pkg::kContainerHeaderSize);
    block.insert(block.end(), newline + 1, data + size);
    pkg::PutWord(block, 16, uint32_t(block.size()));
    pkg::SealBlock(block);
    pkg::PackageStorage storage;
    storage.blocks.push_back({pkg::BlockKind::kContainer, block.data(), uint32_t(block.size()), 0});
    std::vector<uint8_t> out;
    if (pkg::ReadPackageFile(storage, 0, path, 2, &out) && out.size() < 2) __builtin_trap();
    return 0;
}
