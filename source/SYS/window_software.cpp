#include "SYS/window_software.h"

#include <algorithm>
#include <cstring>
#include <strings.h>

#include "SYS/blocks.h"

namespace sys {
namespace {

inline uint32_t Widen(uint32_t p) {
    const uint32_t r = p >> 11, g = (p >> 5) & 63, b = p & 31;
    return 0xFF000000u | ((r << 3 | r >> 2) << 16) | ((g << 2 | g >> 4) << 8) | (b << 3 | b >> 2);
}

// The first output pixel whose picture pixel is at least `pixel`: ceil(pixel * out / in).
int FirstCovering(int pixel, int in, int out) {
    return int((int64_t(pixel) * out + in - 1) / in);
}

// Output pixels [first * Factor, end * Factor) of a row enlarged by a whole factor.
template <int Factor>
PIXEL_LOOP void EnlargeRow(const uint16_t* __restrict src, int first, int end,
                           uint32_t* __restrict dst) {
    constexpr int kBlock = 16;
    const auto widenBlock = [&](int s, int n) {
        for (int j = 0; j < n; ++j) {
            const uint32_t v = Widen(src[s + j]);
            for (int k = 0; k < Factor; ++k) dst[(s + j) * Factor + k] = v;
        }
    };
    int s = first;
    for (; s + kBlock <= end; s += kBlock) widenBlock(s, kBlock);
    widenBlock(s, end - s);
}

// One output row from picture pixels [first, end), which cover output pixels from
// FirstCovering(first) on.
void ScaleRow(const uint16_t* src, int first, int end, int width, int outWidth, uint32_t* dst) {
    // The window scales by whole factors (1 to 3 on today's desktops): loops of their own.
    if (outWidth == width) return EnlargeRow<1>(src, first, end, dst);
    if (outWidth == 2 * width) return EnlargeRow<2>(src, first, end, dst);
    if (outWidth == 3 * width) return EnlargeRow<3>(src, first, end, dst);
    // Picture pixel s covers output pixels [c(s), c(s + 1)) with c(s) = ceil(s * out / in),
    // stepped by whole and remainder parts instead of dividing per pixel.
    const int64_t start = int64_t(first) * outWidth + width - 1;
    int c = int(start / width), e = int(start % width);
    const int q = outWidth / width, r = outWidth % width;
    for (int s = first; s < end; ++s) {
        int next = c + q;
        e += r;
        if (e >= width) e -= width, ++next;
        const uint32_t v = Widen(src[s]);
        for (int d = c; d < next; ++d) dst[d] = v;
        c = next;
    }
}

constexpr int kRun = 16; // pixels compared at a time

// A whole run compares with a constant length, which the compiler expands into a few loads in
// place; only a row's last, shorter run calls the library.
inline bool SameRun(const uint16_t* a, const uint16_t* b, int n) {
    if (n == kRun) return std::memcmp(a, b, kRun * sizeof(uint16_t)) == 0;
    return std::memcmp(a, b, size_t(n) * 2) == 0;
}

} // namespace

bool IsSoftwareRasterizer(const char* glRenderer) {
    if (!glRenderer) return false;
    static const char* const kSoftware[] = {"llvmpipe", "softpipe", "software rasterizer",
                                            "swrast"};
    for (const char* name : kSoftware) {
        const size_t length = std::strlen(name);
        for (const char* at = glRenderer; *at; ++at)
            if (strncasecmp(at, name, length) == 0) return true;
    }
    return false;
}

void ScaleRGB565ToXRGB8888(const uint16_t* pixels, int pitch, int width, int height,
                           const Rect& clip, uint32_t* out, int outPitch, int outWidth,
                           int outHeight) {
    if (!pixels || !out || width <= 0 || height <= 0 || outWidth <= 0 || outHeight <= 0) return;
    const int left = std::max(clip.left, 0), right = std::min(clip.right, width);
    const int top = std::max(clip.top, 0), bottom = std::min(clip.bottom, height);
    if (left >= right || top >= bottom) return;
    const int firstColumn = FirstCovering(left, width, outWidth);
    const int endColumn = FirstCovering(right, width, outWidth);
    const int endRow = FirstCovering(bottom, height, outHeight);
    auto* outBytes = reinterpret_cast<uint8_t*>(out);
    const auto* inBytes = reinterpret_cast<const uint8_t*>(pixels);
    int lastSource = -1;
    const uint32_t* lastRow = nullptr;
    for (int y = FirstCovering(top, height, outHeight); y < endRow; ++y) {
        const int source = int(int64_t(y) * height / outHeight);
        auto* row = reinterpret_cast<uint32_t*>(outBytes + size_t(y) * size_t(outPitch));
        if (source == lastSource) {
            // An enlarged row repeats the one above it.
            std::memcpy(row + firstColumn, lastRow + firstColumn,
                        size_t(endColumn - firstColumn) * sizeof(uint32_t));
        } else {
            const auto* src =
                reinterpret_cast<const uint16_t*>(inBytes + size_t(source) * size_t(pitch));
            ScaleRow(src, left, right, width, outWidth, row);
        }
        lastSource = source;
        lastRow = row;
    }
}

RowSpan ScaleChangesRGB565ToXRGB8888(const uint16_t* pixels, int pitch, int width, int height,
                                     const Rect& clip, ShownPicture& shown, uint32_t* out,
                                     int outPitch, int outWidth, int outHeight) {
    RowSpan written;
    if (!pixels || !out || width <= 0 || height <= 0 || outWidth <= 0 || outHeight <= 0)
        return written;
    const auto* inBytes = reinterpret_cast<const uint8_t*>(pixels);
    auto inRow = [&](int y) {
        return reinterpret_cast<const uint16_t*>(inBytes + size_t(y) * size_t(pitch));
    };
    if (shown.pixels.empty() || shown.width != width || shown.height != height) {
        shown.width = width;
        shown.height = height;
        shown.pixels.resize(size_t(width) * size_t(height));
        for (int y = 0; y < height; ++y)
            std::memcpy(&shown.pixels[size_t(y) * size_t(width)], inRow(y), size_t(width) * 2);
        ScaleRGB565ToXRGB8888(pixels, pitch, width, height, Rect{0, 0, width, height}, out,
                              outPitch, outWidth, outHeight);
        return RowSpan{0, outHeight};
    }
    const int left = std::max(clip.left, 0), right = std::min(clip.right, width);
    const int top = std::max(clip.top, 0), bottom = std::min(clip.bottom, height);
    if (left >= right || top >= bottom) return written;
    auto* outBytes = reinterpret_cast<uint8_t*>(out);
    auto outRow = [&](int y) {
        return reinterpret_cast<uint32_t*>(outBytes + size_t(y) * size_t(outPitch));
    };
    for (int y = top; y < bottom; ++y) {
        const uint16_t* now = inRow(y);
        uint16_t* before = &shown.pixels[size_t(y) * size_t(width)];
        if (std::memcmp(now + left, before + left, size_t(right - left) * 2) == 0) continue;
        const int firstOut = FirstCovering(y, height, outHeight),
                  endOut = FirstCovering(y + 1, height, outHeight);
        if (firstOut >= endOut) {
            // A smaller output shows no pixel of this row.
            std::memcpy(before + left, now + left, size_t(right - left) * 2);
            continue;
        }
        for (int x = left; x < right;) {
            if (SameRun(now + x, before + x, std::min(kRun, right - x))) {
                x += std::min(kRun, right - x);
                continue;
            }
            const int start = x;
            while (x < right && !SameRun(now + x, before + x, std::min(kRun, right - x)))
                x += std::min(kRun, right - x);
            std::memcpy(before + start, now + start, size_t(x - start) * 2);
            ScaleRow(now, start, x, width, outWidth, outRow(firstOut));
            const int firstColumn = FirstCovering(start, width, outWidth);
            const int endColumn = FirstCovering(x, width, outWidth);
            for (int o = firstOut + 1; o < endOut; ++o)
                std::memcpy(outRow(o) + firstColumn, outRow(firstOut) + firstColumn,
                            size_t(endColumn - firstColumn) * sizeof(uint32_t));
        }
        if (written.bottom == written.top) written.top = firstOut;
        written.bottom = endOut;
    }
    return written;
}

} // namespace sys
