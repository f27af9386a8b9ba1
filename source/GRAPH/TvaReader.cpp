#include "GRAPH/TvaReader.h"

#include <vector>

namespace {
constexpr size_t kHeaderSize = 18;
}

int TvaReader::Open(const char* fileName) {
    width = height = bitsPerPixel = length = 0;
    frameCount = 1;
    std::vector<uint8_t> file;
    if (!ReadPictureFile(fileName, file) || file.size() < kHeaderSize) return 1;

    const int32_t animationLength = int32_t(ReadLE32(&file[4]));
    const int32_t frames = int32_t(ReadLE32(&file[8]));
    const int w = int16_t(ReadLE16(&file[12]));
    const int h = int16_t(ReadLE16(&file[14]));
    const int bpp = file[16];
    // The size rule alone would accept negative fields whose product is positive, and an empty
    // picture or a zero depth with any frame count.
    if (w < 1 || h < 1 || w > kMaxPictureSide || h > kMaxPictureSide || frames < 1 || bpp == 0)
        return 1;
    const uint64_t frameBits = uint64_t(w) * uint64_t(h) * uint64_t(bpp);
    const uint64_t dataBytes = file.size() - kHeaderSize;
    if (uint64_t(frames) > dataBytes * 8 / frameBits + 1) return 1; // keeps the product in range
    if (dataBytes != frameBits * uint64_t(frames) / 8) return 1;

    width = w;
    height = h;
    bitsPerPixel = bpp;
    frameCount = frames;
    length = animationLength;
    return 0;
}
