#include "GRAPH/PictureReader.h"

#include <algorithm>
#include <cstring>

#include "GRAPH/AviReader.h"
#include "GRAPH/BmpReader.h"
#include "GRAPH/JpegReader.h"
#include "GRAPH/RdrGenerator.h"
#include "GRAPH/TgaReader.h"
#include "GRAPH/TvaReader.h"
#include "SYS/blocks.h"
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
    default: return false;
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

uint32_t LoadLE(const uint8_t* p, int bytes) {
    switch (bytes) {
    case 1: return p[0];
    case 2: return uint32_t(p[0]) | (uint32_t(p[1]) << 8);
    case 3: return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16);
    default: return ReadLE32(p);
    }
}

void StoreLE(uint8_t* p, int bytes, uint32_t value) {
    for (int b = 0; b < bytes; ++b) p[b] = uint8_t(value >> (8 * b));
}

uint32_t FetchSourcePixel(const PixelSource& source, const uint8_t* p) {
    const uint32_t value = LoadLE(p, source.bytesPerPixel);
    if (source.colourTable == nullptr) return value;
    const uint8_t* entry = source.colourTable + 3 * (value & 0xFF);
    return uint32_t(entry[0]) | (uint32_t(entry[1]) << 8) | (uint32_t(entry[2]) << 16);
}

// One written channel: where it is in the source and in the destination.
struct ChannelPlan {
    int sourceShift;
    uint32_t sourceMask; // after the shift
    int widen;           // to 8 bits: the low bits become zero
    int narrow;          // to the destination bits: the low bits are dropped
    int destinationShift;
    uint32_t destinationMask;

    uint32_t Widened(uint32_t pixel) const {
        return ((pixel >> sourceShift) & sourceMask) << widen;
    }
    uint32_t Place(uint32_t value, uint32_t widened) const {
        return (value & ~destinationMask) | ((widened >> narrow) << destinationShift);
    }
};

ChannelPlan PlanFor(const ChannelTarget& t) {
    return {t.from.shift, (1u << t.from.bits) - 1,        8 - t.from.bits, 8 - t.bits,
            t.shift,      ((1u << t.bits) - 1) << t.shift};
}

void ConvertSameSize(const PixelSource& source, uint8_t* dst, int bytesPerPixel, int pitch,
                     const ChannelPlan* plans, int planCount) {
    for (int y = 0; y < source.height; ++y) {
        const int row = source.bottomUp ? source.height - 1 - y : y;
        const uint8_t* in = source.firstRow + ptrdiff_t(row) * source.pitch;
        uint8_t* out = dst + ptrdiff_t(y) * pitch;
        for (int x = 0; x < source.width; ++x, in += source.bytesPerPixel, out += bytesPerPixel) {
            const uint32_t pixel = FetchSourcePixel(source, in);
            uint32_t value = LoadLE(out, bytesPerPixel);
            for (int c = 0; c < planCount; ++c)
                value = plans[c].Place(value, plans[c].Widened(pixel));
            StoreLE(out, bytesPerPixel, value);
        }
    }
}

// --- Dedicated loops for the back buffer's RGB565 ------------------------------------------------
// They give exactly the pixels of ConvertSameSize, without its per-pixel generality.

bool PlacesRgb565(const ChannelPlan* plans, int planCount) {
    return planCount == 3 && plans[0].destinationMask == 0xF800 && plans[0].narrow == 3 &&
           plans[1].destinationMask == 0x07E0 && plans[1].narrow == 2 &&
           plans[2].destinationMask == 0x001F && plans[2].narrow == 3;
}

bool Is(const ChannelLayout& layout, int bits, int shift) {
    return layout.bits == bits && layout.shift == shift;
}

uint16_t Rgb565(uint32_t red, uint32_t green, uint32_t blue) {
    return uint16_t(((red >> 3) << 11) | ((green >> 2) << 5) | (blue >> 3));
}

// One source row after another in display order, each handed to `convertRow` with the output row.
template <class ConvertRow>
void ForEachRow(const PixelSource& source, uint8_t* dst, int pitch, ConvertRow convertRow) {
    for (int y = 0; y < source.height; ++y) {
        const int row = source.bottomUp ? source.height - 1 - y : y;
        convertRow(source.firstRow + ptrdiff_t(row) * source.pitch,
                   reinterpret_cast<uint16_t*>(dst + ptrdiff_t(y) * pitch));
    }
}

// 8-bit channels at byte offsets R, G, B of a Bytes-byte pixel (BGR and RGB orders, 24 and 32
// bits).
template <int Bytes, int R, int G, int B>
void ConvertBytesTo565(const PixelSource& source, uint8_t* dst, int pitch) {
    const int width = source.width;
    ForEachRow(source, dst, pitch, [width](const uint8_t* __restrict in, uint16_t* __restrict out) {
        for (int x = 0; x < width; ++x, in += Bytes) out[x] = Rgb565(in[R], in[G], in[B]);
    });
}

// Blue-green-red-alpha words, each pixel read whole.
void ConvertBgraTo565(const PixelSource& source, uint8_t* dst, int pitch) {
    const int width = source.width;
    ForEachRow(source, dst, pitch, [width](const uint8_t* __restrict in, uint16_t* __restrict out) {
        sys::ConvertInBlocks<16>(in, out, 0, width, [](const uint8_t* pixels, int x) {
            uint32_t v;
            std::memcpy(&v, pixels + 4 * x, 4);
            return uint16_t(((v >> 8) & 0xF800) | ((v >> 5) & 0x07E0) | ((v >> 3) & 0x001F));
        });
    });
}

void Convert555To565(const PixelSource& source, uint8_t* dst, int pitch) {
    const int width = source.width;
    ForEachRow(source, dst, pitch, [width](const uint8_t* __restrict in, uint16_t* __restrict out) {
        for (int x = 0; x < width; ++x, in += 2) {
            const uint32_t v = uint32_t(in[0]) | (uint32_t(in[1]) << 8);
            // Five bits of green widened to eight and cut to six: one zero bit below them.
            out[x] = uint16_t(((v & 0x7C00) << 1) | ((v & 0x03E0) << 1) | (v & 0x001F));
        }
    });
}

// Indexed pictures: every colour-table entry converted once.
void ConvertIndexedTo565(const PixelSource& source, uint8_t* dst, int pitch,
                         const ChannelPlan* plans) {
    uint16_t table[256];
    for (int i = 0; i < 256; ++i) {
        const uint8_t index = uint8_t(i);
        const uint32_t pixel = FetchSourcePixel(source, &index);
        uint32_t value = 0;
        for (int c = 0; c < 3; ++c) value = plans[c].Place(value, plans[c].Widened(pixel));
        table[i] = uint16_t(value);
    }
    const int width = source.width;
    ForEachRow(source, dst, pitch, [width, &table](const uint8_t* in, uint16_t* out) {
        for (int x = 0; x < width; ++x) out[x] = table[in[x]];
    });
}

// False when the pair has no dedicated loop.
bool ConvertTo565Directly(const PixelSource& source, uint8_t* dst, int pitch,
                          const ChannelPlan* plans) {
    const ChannelLayout &r = source.red, &g = source.green, &b = source.blue;
    if (source.bytesPerPixel == 1 && source.colourTable && Is(r, 8, 16) && Is(g, 8, 8) &&
        Is(b, 8, 0)) {
        ConvertIndexedTo565(source, dst, pitch, plans);
        return true;
    }
    if (source.colourTable) return false;
    if (source.bytesPerPixel == 2 && Is(r, 5, 10) && Is(g, 5, 5) && Is(b, 5, 0)) {
        Convert555To565(source, dst, pitch);
        return true;
    }
    const bool bgr = Is(r, 8, 16) && Is(g, 8, 8) && Is(b, 8, 0);
    const bool rgb = Is(r, 8, 0) && Is(g, 8, 8) && Is(b, 8, 16);
    if (source.bytesPerPixel == 3 && bgr)
        ConvertBytesTo565<3, 2, 1, 0>(source, dst, pitch);
    else if (source.bytesPerPixel == 3 && rgb)
        ConvertBytesTo565<3, 0, 1, 2>(source, dst, pitch);
    else if (source.bytesPerPixel == 4 && bgr)
        ConvertBgraTo565(source, dst, pitch);
    else if (source.bytesPerPixel == 4 && rgb)
        ConvertBytesTo565<4, 0, 1, 2>(source, dst, pitch);
    else
        return false;
    return true;
}

// Each destination pixel takes the average of the block of source pixels it covers (the
// nearest pixel when the destination is the larger).
void ConvertScaled(const PixelSource& source, uint8_t* dst, int bytesPerPixel, int pitch, int width,
                   int height, const ChannelPlan* plans, int planCount) {
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
                    for (int c = 0; c < planCount; ++c) sums[c] += plans[c].Widened(pixel);
                }
            }
            const uint64_t count = uint64_t((sy1 - sy0) * (sx1 - sx0));
            uint32_t value = LoadLE(out, bytesPerPixel);
            for (int c = 0; c < planCount; ++c)
                value = plans[c].Place(value, uint32_t(sums[c] / count));
            StoreLE(out, bytesPerPixel, value);
        }
    }
}

// Source channels are widened to 8 bits, each destination channel keeps the top bits of that
// (no rounding, no dithering), and destination bits outside the written channels stay.
int Convert(const PixelSource& source, uint8_t* dst, int bytesPerPixel, int pitch, int width,
            int height, const ChannelTarget* targets, int targetCount) {
    if (dst == nullptr || bytesPerPixel < 1 || bytesPerPixel > 4 || width < 0 || height < 0)
        return -1;
    ChannelPlan plans[4];
    int planCount = 0;
    for (int c = 0; c < targetCount && c < 4; ++c) {
        if (!TargetFits(bytesPerPixel, targets[c].bits, targets[c].shift)) return -1;
        if (targets[c].bits > 0) plans[planCount++] = PlanFor(targets[c]);
    }
    if (width == 0 || height == 0) return 0;
    if (source.width <= 0 || source.height <= 0 || source.firstRow == nullptr) return -1;
    const bool sameSize = width == source.width && height == source.height;
    // Every bit of an RGB565 pixel is written, so the dedicated loops need not read it first.
    if (sameSize && bytesPerPixel == 2 && PlacesRgb565(plans, planCount) &&
        ConvertTo565Directly(source, dst, pitch, plans))
        return 0;
    if (sameSize)
        ConvertSameSize(source, dst, bytesPerPixel, pitch, plans, planCount);
    else
        ConvertScaled(source, dst, bytesPerPixel, pitch, width, height, plans, planCount);
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
