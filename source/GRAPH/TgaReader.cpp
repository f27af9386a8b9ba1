#include "GRAPH/TgaReader.h"

#include <algorithm>

namespace {

constexpr size_t kHeaderSize = 18;
constexpr size_t kColourTableSize = 256 * 3;
constexpr uint8_t kTopDown = 0x20; // image descriptor bit 5

// 8-bit pictures without a colour table index this ramp: entry i is (i, i, i).
const uint8_t* GreyRamp() {
    static const auto ramp = [] {
        std::vector<uint8_t> table(kColourTableSize);
        for (size_t i = 0; i < table.size(); ++i) table[i] = uint8_t(i / 3);
        return table;
    }();
    return ramp.data();
}

} // namespace

int TgaReader::Open(const char* fileName) {
    *this = TgaReader();
    if (!ReadPictureFile(fileName, file_) || file_.size() < kHeaderSize) return 1;

    // Bytes 0-3 are one stored word; the colour-map type (byte 1) is tested as its bit 8.
    hasColourTable_ = (ReadLE32(&file_[0]) & 0x100) != 0;
    const int w = int16_t(ReadLE16(&file_[12]));
    const int h = int16_t(ReadLE16(&file_[14]));
    const int bpp = file_[16];
    topDown_ = (file_[17] & kTopDown) != 0;
    pixelOffset_ = kHeaderSize + (hasColourTable_ ? kColourTableSize : 0);

    // The header is not trusted: the file must hold every pixel it claims (at least one byte
    // each for depths we cannot convert, so a tiny file cannot claim a huge picture).
    if (w < 0 || h < 0 || w > kMaxPictureSide || h > kMaxPictureSide) return 1;
    const uint64_t pixelBytes = uint64_t(w) * uint64_t(h) * uint64_t(std::max(1, (bpp + 7) / 8));
    if (pixelOffset_ > file_.size() || pixelBytes > file_.size() - pixelOffset_) return 1;

    width = w;
    height = h;
    bitsPerPixel = bpp;
    frameCount = 1;
    length = 0;
    return 0;
}

bool TgaReader::FrameAt(int, PixelSource& source) {
    if (file_.empty()) return false;
    if (bitsPerPixel == 8) {
        source.bytesPerPixel = 1;
        source.colourTable = hasColourTable_ ? &file_[kHeaderSize] : GreyRamp();
        source.red = {8, 16};
        source.green = {8, 8};
        source.blue = {8, 0};
        source.channel = source.blue;
    } else if (!SetBgrChannels(bitsPerPixel, source)) {
        return false;
    }
    source.firstRow = file_.data() + pixelOffset_;
    source.pitch = width * source.bytesPerPixel;
    source.width = width;
    source.height = height;
    source.bottomUp = !topDown_;
    return true;
}
