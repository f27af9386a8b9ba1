#include "GRAPH/AviReader.h"

#include <algorithm>
#include <climits>
#include <cmath>

namespace {

constexpr uint32_t kRiff = FourCC("RIFF");
constexpr uint32_t kList = FourCC("LIST");
constexpr uint32_t kIndexEntrySize = 16;
constexpr uint32_t kStreamHeaderSize = 48; // up to and including dwSampleSize
constexpr uint32_t kBitmapHeaderSize = 40;

} // namespace

struct AviReader::Stream {
    int number = 0; // position among the file's streams: chunk ids begin with it in two digits
    uint32_t scale = 0;
    uint32_t rate = 0;
    uint32_t samples = 0;
    int64_t width = 0;
    int64_t height = 0; // negative: rows stored top-down
    int bitsPerPixel = 0;
    uint32_t compression = 0;

    uint32_t ChunkId(const char (&kind)[3]) const {
        return uint32_t('0' + number / 10) | (uint32_t('0' + number % 10) << 8) |
               (uint32_t(uint8_t(kind[0])) << 16) | (uint32_t(uint8_t(kind[1])) << 24);
    }
    bool IsFrameChunk(uint32_t id) const { return id == ChunkId("db") || id == ChunkId("dc"); }
};

int AviReader::Open(const char* fileName) {
    frameOffsets_.clear();
    frame_.clear();
    framesEnd_ = 0;
    width = height = bitsPerPixel = length = 0;
    frameCount = 1;
    if (!file_.Open(fileName)) return 1;

    uint8_t head[12];
    if (!file_.Read(0, head, sizeof(head)) || ReadLE32(head) != kRiff ||
        ReadLE32(head + 8) != FourCC("AVI ")) {
        file_.Close();
        return 1;
    }
    // A file cut short keeps what it still holds.
    const uint64_t end = std::min<uint64_t>(8 + uint64_t(ReadLE32(head + 4)), file_.Size());

    RiffChunk headerList, movie, index;
    Stream stream;
    const bool found = file_.Find(12, end, kList, FourCC("hdrl"), headerList) &&
                       FindVideoStream(headerList, stream) &&
                       file_.Find(12, end, kList, FourCC("movi"), movie);
    // Only uncompressed frames of a sane size and rate can be shown.
    const int64_t rows = stream.height < 0 ? -stream.height : stream.height;
    const bool usable = found && stream.compression == 0 && IsDibDepth(stream.bitsPerPixel) &&
                        stream.width > 0 && stream.width <= kMaxPictureSide && rows > 0 &&
                        rows <= kMaxPictureSide && stream.scale > 0 && stream.rate > 0 &&
                        stream.samples > 0 && stream.number < 100;
    if (!usable) {
        file_.Close();
        return 1;
    }
    stride_ = int(DibStride(stream.width, stream.bitsPerPixel));
    frameBytes_ = uint64_t(stride_) * uint64_t(rows);

    if (!(file_.Find(12, end, FourCC("idx1"), 0, index) && IndexFrames(index, movie, stream)))
        ScanFrames(movie, stream);
    // Every sample the header promises must be there: a missing frame would leave the sprite
    // with pixels nobody wrote.
    const uint64_t ticks = uint64_t(stream.samples) * stream.scale; // fits: both are 32-bit
    const uint64_t milliseconds =
        ticks <= UINT64_MAX / 1000 ? ticks * 1000 / stream.rate : UINT64_MAX;
    if (frameOffsets_.size() < stream.samples || milliseconds > uint64_t(INT_MAX)) {
        frameOffsets_.clear();
        file_.Close();
        return 1;
    }

    scale_ = stream.scale;
    rate_ = stream.rate;
    topDown_ = stream.height < 0;
    width = int(stream.width);
    height = int(rows);
    bitsPerPixel = stream.bitsPerPixel;
    frameCount = int(stream.samples);
    length = int(milliseconds);
    return 0;
}

// The picture size is the stream format's, which is what the frame data really has.
bool AviReader::FindVideoStream(const RiffChunk& headerList, Stream& stream) {
    RiffChunk list;
    int number = 0;
    for (uint64_t at = headerList.ChildrenBegin(); file_.ChunkAt(at, headerList.End(), list);
         at = list.Next()) {
        if (!list.IsList(FourCC("strl"))) continue;
        RiffChunk header, format;
        uint8_t h[kStreamHeaderSize];
        if (file_.Find(list.ChildrenBegin(), list.End(), FourCC("strh"), 0, header) &&
            header.size >= kStreamHeaderSize && file_.Read(header.dataOffset, h, sizeof(h)) &&
            ReadLE32(h) == FourCC("vids")) {
            uint8_t f[kBitmapHeaderSize];
            if (!file_.Find(list.ChildrenBegin(), list.End(), FourCC("strf"), 0, format) ||
                format.size < kBitmapHeaderSize || !file_.Read(format.dataOffset, f, sizeof(f)))
                return false;
            stream.number = number;
            stream.scale = ReadLE32(h + 20);
            stream.rate = ReadLE32(h + 24);
            stream.samples = ReadLE32(h + 32);
            stream.width = int32_t(ReadLE32(f + 4));
            stream.height = int32_t(ReadLE32(f + 8));
            stream.bitsPerPixel = ReadLE16(f + 14);
            stream.compression = ReadLE32(f + 16);
            return true;
        }
        ++number;
    }
    return false;
}

bool AviReader::AddFrame(uint64_t offset, const RiffChunk& movie, const Stream& stream) {
    RiffChunk chunk;
    // Frames may not overlap, so the frames taken never add up to more than the file holds.
    if (offset < std::max(framesEnd_, movie.ChildrenBegin()) ||
        !file_.ChunkAt(offset, movie.End(), chunk) || !stream.IsFrameChunk(chunk.id) ||
        chunk.size < frameBytes_)
        return false;
    frameOffsets_.push_back(chunk.dataOffset);
    framesEnd_ = chunk.End();
    return true;
}

bool AviReader::IndexFrames(const RiffChunk& index, const RiffChunk& movie, const Stream& stream) {
    // Offsets count from the 'movi' form type, or (in some writers' files) from the file start.
    bool baseKnown = false;
    uint64_t base = 0;
    uint8_t entry[kIndexEntrySize];
    const uint64_t entries = index.size / kIndexEntrySize;
    for (uint64_t i = 0; i < entries && frameOffsets_.size() < stream.samples; ++i) {
        if (!file_.Read(index.dataOffset + i * kIndexEntrySize, entry, sizeof(entry))) break;
        if (!stream.IsFrameChunk(ReadLE32(entry))) continue;
        const uint64_t offset = ReadLE32(entry + 8);
        if (!baseKnown) {
            base = offset < movie.dataOffset ? movie.dataOffset : 0;
            baseKnown = true;
        }
        if (!AddFrame(base + offset, movie, stream)) break;
    }
    if (frameOffsets_.size() == stream.samples) return true;
    frameOffsets_.clear(); // an index that does not check out is not used
    framesEnd_ = 0;
    return false;
}

void AviReader::ScanFrames(const RiffChunk& movie, const Stream& stream) {
    RiffChunk chunk;
    for (uint64_t at = movie.ChildrenBegin();
         frameOffsets_.size() < stream.samples && file_.ChunkAt(at, movie.End(), chunk);
         at = chunk.Next()) {
        if (chunk.IsList(FourCC("rec "))) {
            RiffChunk inner;
            for (uint64_t in = chunk.ChildrenBegin();
                 frameOffsets_.size() < stream.samples && file_.ChunkAt(in, chunk.End(), inner);
                 in = inner.Next())
                if (stream.IsFrameChunk(inner.id) && !AddFrame(in, movie, stream)) return;
        } else if (stream.IsFrameChunk(chunk.id) && !AddFrame(at, movie, stream)) {
            return;
        }
    }
}

// The sample nearest to the time: the sprite asks for frame f at (length / frames) * f ms,
// which truncation would place in the sample before f whenever the rate does not divide 1000.
int AviReader::SampleAt(int position) const {
    if (length <= 0) return 0;
    int64_t t = int64_t(position) % length;
    if (t < 0) t += length;
    const double sample = std::floor(double(t) * rate_ / (double(scale_) * 1000.0) + 0.5);
    return int(std::min<double>(sample, frameCount - 1));
}

bool AviReader::FrameAt(int position, PixelSource& source) {
    if (frameOffsets_.empty() || !SetBgrChannels(bitsPerPixel, source)) return false;
    frame_.resize(size_t(frameBytes_));
    if (!file_.Read(frameOffsets_[size_t(SampleAt(position))], frame_.data(), frame_.size()))
        return false;
    source.firstRow = frame_.data();
    source.pitch = stride_;
    source.width = width;
    source.height = height;
    source.bottomUp = !topDown_;
    return true;
}
