#include "GRAPH/BmpReader.h"

namespace {

constexpr size_t kFileHeaderSize = 14;
constexpr uint32_t kInfoHeaderSize = 40;
constexpr uint32_t kRgb = 0;       // BI_RGB
constexpr uint32_t kBitfields = 3; // BI_BITFIELDS: the pixels are still read as the table says

} // namespace

int BmpReader::Open(const char* fileName) {
    *this = BmpReader();
    if (!ReadPictureFile(fileName, file_)) return 1;
    const size_t size = file_.size();
    if (size < kFileHeaderSize + kInfoHeaderSize || file_[0] != 'B' || file_[1] != 'M') return 1;

    const uint32_t dataOffset = ReadLE32(&file_[10]);
    const uint8_t* info = &file_[kFileHeaderSize];
    const uint32_t infoSize = ReadLE32(info);
    const int64_t w = int32_t(ReadLE32(info + 4));
    const int64_t h = int32_t(ReadLE32(info + 8));
    const int bpp = ReadLE16(info + 14);
    const uint32_t compression = ReadLE32(info + 16);

    // Everything the header claims must lie inside the file; run-length and embedded
    // compressed formats are not loaded.
    if (infoSize < kInfoHeaderSize || infoSize > size - kFileHeaderSize) return 1;
    if (!IsDibDepth(bpp)) return 1;
    if (compression != kRgb && !(compression == kBitfields && (bpp == 16 || bpp == 32))) return 1;
    if (w <= 0 || w > kMaxPictureSide || h == 0 || h < -kMaxPictureSide || h > kMaxPictureSide)
        return 1;
    const int64_t rows = h < 0 ? -h : h;
    const uint64_t pixelBytes = uint64_t(DibStride(w, bpp) * rows);
    if (dataOffset < kFileHeaderSize + infoSize || dataOffset > size ||
        pixelBytes > size - dataOffset)
        return 1;

    pixelOffset_ = dataOffset;
    topDown_ = h < 0;
    width = int(w);
    height = int(rows);
    bitsPerPixel = bpp;
    frameCount = 1;
    length = 0;
    return 0;
}

bool BmpReader::FrameAt(int, PixelSource& source) {
    if (file_.empty() || !SetBgrChannels(bitsPerPixel, source)) return false;
    source.firstRow = file_.data() + pixelOffset_;
    source.pitch = int(DibStride(width, bitsPerPixel));
    source.width = width;
    source.height = height;
    source.bottomUp = !topDown_;
    return true;
}
