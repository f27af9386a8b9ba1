#include "GRAPH/RiffFile.h"

#include "GRAPH/PictureReader.h"
#include "SYS/files.h"

bool RiffFile::Open(const char* fileName) {
    Close();
    if (fileName == nullptr) return false;
    file_ = sys::OpenFile(fileName, "rb");
    if (file_ == nullptr) return false;
    if (std::fseek(file_, 0, SEEK_END) != 0) {
        Close();
        return false;
    }
    const long size = std::ftell(file_);
    if (size < 0) {
        Close();
        return false;
    }
    size_ = uint64_t(size);
    return true;
}

void RiffFile::Close() {
    if (file_ != nullptr) std::fclose(file_);
    file_ = nullptr;
    size_ = 0;
}

bool RiffFile::Read(uint64_t offset, void* dst, size_t count) {
    if (file_ == nullptr || offset > size_ || count > size_ - offset) return false;
    if (std::fseek(file_, long(offset), SEEK_SET) != 0) return false;
    return std::fread(dst, 1, count, file_) == count;
}

bool RiffFile::ChunkAt(uint64_t offset, uint64_t end, RiffChunk& chunk) {
    uint8_t header[12];
    if (end > size_ || offset > end || end - offset < 8 || !Read(offset, header, 8)) return false;
    chunk.id = ReadLE32(header);
    chunk.size = ReadLE32(header + 4);
    chunk.dataOffset = offset + 8;
    chunk.formType = 0;
    if (chunk.End() > end) return false;
    if ((chunk.id == FourCC("LIST") || chunk.id == FourCC("RIFF")) && chunk.size >= 4) {
        if (!Read(chunk.dataOffset, header + 8, 4)) return false;
        chunk.formType = ReadLE32(header + 8);
    }
    return true;
}

bool RiffFile::Find(uint64_t begin, uint64_t end, uint32_t id, uint32_t formType,
                    RiffChunk& found) {
    RiffChunk chunk;
    for (uint64_t at = begin; ChunkAt(at, end, chunk); at = chunk.Next()) {
        if (chunk.id == id && (formType == 0 || chunk.formType == formType)) {
            found = chunk;
            return true;
        }
    }
    return false;
}
