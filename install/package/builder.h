// Writing storage blocks: the package builder's core, also used to make test packages.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace pkg {

struct BuildNode {
    std::string name;
    bool folder = false;
    uint64_t fileTime = 0; // Windows FILETIME
    std::string content;   // a file's bytes
    bool compress = true;  // stored as a zlib stream when that is smaller
    std::vector<BuildNode> children;
};

struct ContainerHeader {
    std::string type = "game";
    std::string id;
    uint32_t word20 = 0;
    uint32_t word24 = 0;
};

// A complete "stgc" block: the root table's entries in the given order, every table before
// the names and data of its own entries.
std::vector<uint8_t> BuildContainer(const ContainerHeader& header,
                                    const std::vector<BuildNode>& root);
// A complete "sstg" block whose data inflates to `content`.
std::vector<uint8_t> BuildSingleFile(const std::string& destination, const std::string& content);
// Recomputes the checksum ("stgc") or CRC ("sstg") after the block's bytes were changed.
void SealBlock(std::vector<uint8_t>& block);

void PutWord(std::vector<uint8_t>& bytes, size_t at, uint32_t value);

} // namespace pkg
