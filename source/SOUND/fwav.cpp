#include "SOUND/fwav.h"

#include <algorithm>
#include <cstring>

#include "BASE/errlog.h"
#include "SYS/files.h"

namespace {

// The multimedia I/O result for a chunk that is not where it was looked for.
constexpr long kChunkNotFound = 265;

uint32_t Le32(const unsigned char* p) {
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}
uint16_t Le16(const unsigned char* p) {
    return uint16_t(p[0] | p[1] << 8);
}

} // namespace

int WaveReader::Open(const char* name) {
    Close();
    file_ = sys::OpenFile(name, "rb");
    if (!file_) {
        LogFailure(1, "!( hmmioIn = mmioOpen( strFilename, NULL, MMIO_ALLOCBUF | MMIO_READ ) )",
                   __FILE__, 39);
        return 1;
    }
    std::fseek(file_, 0, SEEK_END);
    long size = std::ftell(file_);
    fileSize_ = size > 0 ? uint64_t(size) : 0;

    unsigned char riff[12];
    std::fseek(file_, 0, SEEK_SET);
    if (std::fread(riff, 1, sizeof riff, file_) != sizeof riff ||
        std::memcmp(riff, "RIFF", 4) != 0 || std::memcmp(riff + 8, "WAVE", 4) != 0) {
        LogFailure(kChunkNotFound, "mmioDescend( hmmioIn, &pckInRIFF, NULL, 0 )", __FILE__, 40);
        Close();
        return 1;
    }
    // A RIFF size that claims more than the file holds is cut to the file.
    riffEnd_ = std::min<uint64_t>(8 + uint64_t(Le32(riff + 4)), fileSize_);

    Chunk fmt;
    if (!FindChunk("fmt ", 12, riffEnd_, fmt)) {
        LogFailure(kChunkNotFound, "mmioDescend( hmmioIn, &ckIn, &pckInRIFF, MMIO_FINDCHUNK )",
                   __FILE__, 42);
        Close();
        return 1;
    }
    unsigned char pcm[16];
    bool complete = fmt.size >= sizeof pcm && fmt.dataOffset + sizeof pcm <= fileSize_ &&
                    std::fseek(file_, long(fmt.dataOffset), SEEK_SET) == 0 &&
                    std::fread(pcm, 1, sizeof pcm, file_) == sizeof pcm;
    if (!complete) {
        LogFailure(1, "( mmioRead( hmmioIn, (HPSTR) &pcm, sizeof(PCMWAVEFORMAT) ) <= 0)", __FILE__,
                   43);
        Close();
        return 1;
    }
    format_.formatTag = Le16(pcm);
    format_.channels = Le16(pcm + 2);
    format_.samplesPerSec = Le32(pcm + 4);
    format_.avgBytesPerSec = Le32(pcm + 8);
    format_.blockAlign = Le16(pcm + 12);
    format_.bitsPerSample = Le16(pcm + 14);
    format_.extraSize = 0;
    Rewind();
    return 0;
}

bool WaveReader::FindChunk(const char* id, uint64_t from, uint64_t end, Chunk& found) {
    uint64_t offset = from;
    while (offset + 8 <= end) {
        unsigned char header[8];
        if (std::fseek(file_, long(offset), SEEK_SET) != 0 ||
            std::fread(header, 1, sizeof header, file_) != sizeof header)
            return false;
        uint32_t size = Le32(header + 4);
        if (std::memcmp(header, id, 4) == 0) {
            found.dataOffset = offset + 8;
            found.size = size;
            return true;
        }
        offset += 8 + uint64_t(size) + (size & 1); // chunks are padded to even sizes
    }
    return false;
}

void WaveReader::Rewind() {
    position_ = 0;
    dataOffset_ = 0;
    dataLength_ = 0;
    if (!file_) return;
    Chunk data;
    if (!FindChunk("data", 12, riffEnd_, data)) return;
    dataOffset_ = data.dataOffset;
    // A data chunk that claims more than the file holds ends where the file ends.
    uint64_t available = fileSize_ > data.dataOffset ? fileSize_ - data.dataOffset : 0;
    dataLength_ = uint32_t(std::min<uint64_t>(data.size, available));
}

int WaveReader::Read(void* buffer, int length, bool loop) {
    if (!file_ || length <= 0) return 0;
    auto* out = static_cast<unsigned char*>(buffer);
    int delivered = 0;
    bool restarted = position_ == 0;
    for (;;) {
        uint32_t wanted = std::min<uint32_t>(uint32_t(length - delivered), dataLength_ - position_);
        size_t got = 0;
        if (wanted > 0 && std::fseek(file_, long(dataOffset_ + position_), SEEK_SET) == 0)
            got = std::fread(out + delivered, 1, wanted, file_);
        delivered += int(got);
        position_ += uint32_t(got);
        if (got < wanted) dataLength_ = position_; // the file shrank under us: its data ends here
        if (delivered >= length || !loop || (got == 0 && restarted)) return delivered;
        position_ = 0;
        restarted = true;
    }
}

void WaveReader::Close() {
    if (file_) std::fclose(file_);
    file_ = nullptr;
    dataLength_ = 0;
    position_ = 0;
}
