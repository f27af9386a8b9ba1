#include "GRAPH/PictureReader.h"

#include <algorithm>
#include <cstring>

#include "GRAPH/AviReader.h"
#include "GRAPH/BmpReader.h"
#include "GRAPH/JpegReader.h"
#include "GRAPH/RdrGenerator.h"
#include "GRAPH/TgaReader.h"
#include "GRAPH/TvaReader.h"
#include "SYS/files.h"

std::unique_ptr<PictureReader> ReaderFor(const char* fileName) {
    if (fileName == nullptr) return nullptr;
    // The original worked on a 1024-byte copy, so a kind named past that point is not seen.
    char lowered[1024];
    size_t n = 0;
    for (; n < sizeof(lowered) - 1 && fileName[n] != '\0'; ++n) {
        char c = fileName[n];
        lowered[n] = (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c;
    }
    lowered[n] = '\0';

    if (std::strstr(lowered, ".tga")) return std::make_unique<TgaReader>();
    if (std::strstr(lowered, ".avi")) return std::make_unique<AviReader>();
    if (std::strstr(lowered, ".bmp")) return std::make_unique<BmpReader>();
    if (std::strstr(lowered, ".jpg")) return std::make_unique<JpegReader>();
    if (std::strstr(lowered, ".rdr")) return std::make_unique<RdrGenerator>();
    if (std::strstr(lowered, ".tva")) return std::make_unique<TvaReader>();
    return nullptr;
}

bool ReadPictureFile(const char* fileName, std::vector<uint8_t>& bytes) {
    bytes.clear();
    if (fileName == nullptr || !sys::ReadWholeFile(fileName, bytes) || bytes.empty()) {
        bytes.clear();
        return false;
    }
    return true;
}

bool SetBgrChannels(int bitsPerPixel, PixelSource& source) {
    switch (bitsPerPixel) {
    case 32:
        source.red = {8, 16};
        source.green = {8, 8};
        source.blue = {8, 0};
        source.alpha = {8, 24};
        source.channel = source.alpha;
        break;
    case 24:
        source.red = {8, 16};
        source.green = {8, 8};
        source.blue = {8, 0};
        source.channel = source.blue;
        break;
    case 16:
        source.red = {5, 10};
        source.green = {5, 5};
        source.blue = {5, 0};
        source.channel = source.blue;
        break;
    default:
        return false;
    }
    source.bytesPerPixel = bitsPerPixel / 8;
    return true;
}

namespace {

struct ChannelTarget {
    ChannelLayout from;
    int bits;
    int shift;
};

bool TargetFits(int bytesPerPixel, int bits, int shift) {
    if (bits == 0) return true; // channel not written
    return bits > 0 && bits <= 8 && shift >= 0 && shift + bits <= bytesPerPixel * 8;
}

uint32_t FetchSourcePixel(const PixelSource& source, const uint8_t* p) {
    uint32_t value = 0;
    for (int b = 0; b < source.bytesPerPixel; ++b) value |= uint32_t(p[b]) << (8 * b);
    if (source.colourTable != nullptr) {
        const uint8_t* entry = source.colourTable + 3 * (value & 0xFF);
        value = uint32_t(entry[0]) | (uint32_t(entry[1]) << 8) | (uint32_t(entry[2]) << 16);
    }
    return value;
}

// The source channel widened to 8 bits (its low bits zero).
unsigned Widen(uint32_t pixel, const ChannelLayout& channel) {
    unsigned value = (pixel >> channel.shift) & ((1u << channel.bits) - 1);
    return channel.bits >= 8 ? value >> (channel.bits - 8) : value << (8 - channel.bits);
}

// Each destination pixel takes the average of the block of source pixels it covers (a single
// pixel when both have the same size); each channel keeps the top destination bits.
int Convert(const PixelSource& source, uint8_t* dst, int bytesPerPixel, int pitch, int width,
            int height, const ChannelTarget* targets, int targetCount) {
    if (dst == nullptr || bytesPerPixel < 1 || bytesPerPixel > 4 || width < 0 || height < 0)
        return -1;
    for (int c = 0; c < targetCount; ++c)
        if (!TargetFits(bytesPerPixel, targets[c].bits, targets[c].shift)) return -1;
    if (width == 0 || height == 0) return 0;
    if (source.width <= 0 || source.height <= 0 || source.firstRow == nullptr) return -1;

    const int64_t sw = source.width, sh = source.height;
    for (int y = 0; y < height; ++y) {
        const int64_t sy0 = y * sh / height;
        const int64_t sy1 = std::max(sy0 + 1, (y + 1) * sh / height);
        uint8_t* out = dst + ptrdiff_t(y) * pitch;
        for (int x = 0; x < width; ++x, out += bytesPerPixel) {
            const int64_t sx0 = x * sw / width;
            const int64_t sx1 = std::max(sx0 + 1, (x + 1) * sw / width);
            uint64_t sums[4] = {0, 0, 0, 0};
            for (int64_t sy = sy0; sy < sy1; ++sy) {
                const int64_t row = source.bottomUp ? sh - 1 - sy : sy;
                const uint8_t* in = source.firstRow + ptrdiff_t(row) * source.pitch +
                                    ptrdiff_t(sx0) * source.bytesPerPixel;
                for (int64_t sx = sx0; sx < sx1; ++sx, in += source.bytesPerPixel) {
                    const uint32_t pixel = FetchSourcePixel(source, in);
                    for (int c = 0; c < targetCount; ++c)
                        if (targets[c].bits > 0) sums[c] += Widen(pixel, targets[c].from);
                }
            }
            const uint64_t count = uint64_t((sy1 - sy0) * (sx1 - sx0));

            uint32_t value = 0;
            for (int b = 0; b < bytesPerPixel; ++b) value |= uint32_t(out[b]) << (8 * b);
            for (int c = 0; c < targetCount; ++c) {
                const ChannelTarget& t = targets[c];
                if (t.bits == 0) continue;
                const uint32_t mask = ((1u << t.bits) - 1) << t.shift;
                const uint32_t channel = uint32_t(sums[c] / count) >> (8 - t.bits);
                value = (value & ~mask) | (channel << t.shift);
            }
            for (int b = 0; b < bytesPerPixel; ++b) out[b] = uint8_t(value >> (8 * b));
        }
    }
    return 0;
}

} // namespace

int ConvertingReader::ReadChannel(uint8_t* dst, int position, int bytesPerPixel, int pitch,
                                  int bits, int shift, int width, int height) {
    PixelSource source;
    if (!FrameAt(position, source) || source.channel.bits == 0) return -1;
    const ChannelTarget target{source.channel, bits, shift};
    return Convert(source, dst, bytesPerPixel, pitch, width, height, &target, 1);
}

int ConvertingReader::ReadPixels(uint8_t* dst, int position, int bytesPerPixel, int pitch,
                                 int redBits, int greenBits, int blueBits, int alphaBits,
                                 int redShift, int greenShift, int blueShift, int alphaShift,
                                 int width, int height) {
    PixelSource source;
    if (!FrameAt(position, source)) return -1;
    // Without an alpha channel in the source the destination's alpha bits are left as they are.
    const bool writeAlpha = alphaBits > 0 && source.alpha.bits > 0;
    const ChannelTarget targets[4] = {
        {source.red, redBits, redShift},
        {source.green, greenBits, greenShift},
        {source.blue, blueBits, blueShift},
        {source.alpha, writeAlpha ? alphaBits : 0, alphaShift},
    };
    return Convert(source, dst, bytesPerPixel, pitch, width, height, targets, 4);
}
