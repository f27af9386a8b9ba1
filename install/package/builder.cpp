#include "install/package/builder.h"

#include <cstring>
#include <zlib.h>

#include "install/package/blocks.h"
#include "install/package/entries.h"

namespace pkg {

void PutWord(std::vector<uint8_t>& bytes, size_t at, uint32_t value) {
    for (int i = 0; i < 4; ++i) bytes[at + i] = uint8_t(value >> (8 * i));
}

static uint32_t Append(std::vector<uint8_t>& bytes, const void* data, size_t size) {
    const uint32_t at = uint32_t(bytes.size());
    bytes.insert(bytes.end(), static_cast<const uint8_t*>(data),
                 static_cast<const uint8_t*>(data) + size);
    return at;
}

static uint32_t AppendText(std::vector<uint8_t>& bytes, const std::string& text) {
    return Append(bytes, text.c_str(), text.size() + 1);
}

// The zlib stream of the content, or nothing when it would not be smaller.
static bool Compress(const std::string& content, std::vector<uint8_t>* packed) {
    uLongf size = compressBound(uLong(content.size()));
    packed->resize(size);
    if (compress2(packed->data(), &size, reinterpret_cast<const Bytef*>(content.data()),
                  uLong(content.size()), Z_DEFAULT_COMPRESSION) != Z_OK)
        return false;
    packed->resize(size);
    return size < content.size();
}

static uint32_t WriteTable(std::vector<uint8_t>& bytes, const std::vector<BuildNode>& nodes) {
    const uint32_t table = uint32_t(bytes.size());
    bytes.resize(bytes.size() + 4 + nodes.size() * kEntrySize, 0);
    PutWord(bytes, table, uint32_t(nodes.size()));
    for (size_t i = 0; i < nodes.size(); ++i) {
        const BuildNode& node = nodes[i];
        const size_t at = table + 4 + i * kEntrySize;
        const uint32_t name = AppendText(bytes, node.name);
        uint32_t offset, size = 0, packedSize = 0;
        uint8_t flags = 0;
        if (node.folder) {
            flags = kEntryFolder;
            offset = WriteTable(bytes, node.children);
        } else {
            std::vector<uint8_t> packed;
            size = uint32_t(node.content.size());
            if (node.compress && Compress(node.content, &packed)) {
                flags = kEntryCompressed;
                packedSize = uint32_t(packed.size());
                offset = Append(bytes, packed.data(), packed.size());
            } else {
                offset = Append(bytes, node.content.data(), node.content.size());
            }
        }
        PutWord(bytes, at, uint32_t(node.fileTime));
        PutWord(bytes, at + 4, uint32_t(node.fileTime >> 32));
        PutWord(bytes, at + 8, offset);
        PutWord(bytes, at + 12, size);
        PutWord(bytes, at + 16, packedSize);
        PutWord(bytes, at + 20, name);
        PutWord(bytes, at + 24, uint32_t(node.name.size()));
        bytes[at + 28] = flags;
    }
    return table;
}

std::vector<uint8_t> BuildContainer(const ContainerHeader& header,
                                    const std::vector<BuildNode>& root) {
    std::vector<uint8_t> bytes(kContainerHeaderSize, 0);
    std::memcpy(bytes.data(), "stgc_hdr", 8);
    PutWord(bytes, 8, 1);
    PutWord(bytes, 20, header.word20);
    PutWord(bytes, 24, header.word24);
    std::memcpy(bytes.data() + 36, "data", 4);
    WriteTable(bytes, root);
    PutWord(bytes, 28, AppendText(bytes, header.type));
    PutWord(bytes, 32, AppendText(bytes, header.id));
    PutWord(bytes, 16, uint32_t(bytes.size()));
    SealBlock(bytes);
    return bytes;
}

std::vector<uint8_t> BuildSingleFile(const std::string& destination, const std::string& content) {
    std::vector<uint8_t> bytes(kSingleFileHeaderSize, 0);
    std::memcpy(bytes.data(), "sstg__hd", 8);
    std::memcpy(bytes.data() + 24, "data", 4);
    AppendText(bytes, destination);
    std::vector<uint8_t> packed;
    Compress(content, &packed);
    PutWord(bytes, 16, Append(bytes, packed.data(), packed.size()));
    PutWord(bytes, 8, uint32_t(bytes.size()));
    SealBlock(bytes);
    return bytes;
}

void SealBlock(std::vector<uint8_t>& block) {
    if (std::memcmp(block.data(), "stgc", 4) == 0) {
        PutWord(block, 12,
                RotateXorChecksum(block.data() + kContainerHeaderSize,
                                  block.size() - kContainerHeaderSize));
    } else {
        const uLong crc = crc32(crc32(0L, Z_NULL, 0), block.data() + kSingleFileHeaderSize,
                                uInt(block.size() - kSingleFileHeaderSize));
        PutWord(block, 20, uint32_t(crc));
    }
}

} // namespace pkg
