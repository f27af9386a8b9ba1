#include "GRAPH/Surface.h"

#include <cstring>
#include <new>

#include "SYS/blocks.h"

namespace {

uint32_t ReadPixel(const uint8_t* p, int bytes) {
    uint32_t v = 0;
    std::memcpy(&v, p, size_t(bytes)); // little-endian, as the formats are stored
    return v;
}

void WritePixel(uint8_t* p, int bytes, uint32_t v) {
    std::memcpy(p, &v, size_t(bytes));
}

bool SameLayout(const PixelFormatDesc& a, const PixelFormatDesc& b) {
    return a.bitsPerPixel == b.bitsPerPixel && a.redMask == b.redMask &&
           a.greenMask == b.greenMask && a.blueMask == b.blueMask;
}

// Unscaled 16-bit rows: plain copy or colour-keyed copy.
PIXEL_LOOP void CopyRow16(uint16_t* dst, const uint16_t* src, int n) {
    std::memcpy(dst, src, size_t(n) * 2);
}

// One unsigned compare tests the key range, and a mask selects: simple enough to vectorise.
PIXEL_LOOP void KeyedRow16(uint16_t* __restrict dst, const uint16_t* __restrict src, int n,
                           uint16_t low, uint16_t high) {
    const uint16_t span = uint16_t(high - low);
    for (int i = 0; i < n; ++i) {
        const uint16_t s = src[i];
        const uint16_t keep = uint16_t(-int(uint16_t(s - low) <= span));
        dst[i] = uint16_t((dst[i] & keep) | (s & ~keep));
    }
}

} // namespace

std::unique_ptr<Surface> Surface::Create(int width, int height, const PixelFormatDesc& format,
                                         long* result) {
    auto fail = [&](long code) {
        if (result) *result = code;
        return std::unique_ptr<Surface>();
    };
    if (width <= 0 || height <= 0) return fail(DDERR_INVALIDPARAMS);
    uint32_t bpp = format.bitsPerPixel;
    if (bpp != 16 && bpp != 24 && bpp != 32) return fail(DDERR_INVALIDPIXELFORMAT);
    // Rows are padded to 4 bytes, as DirectDraw does for system-memory surfaces.
    const int64_t pitch = (int64_t(width) * (bpp / 8) + 3) & ~int64_t(3);
    if (pitch > kMaxSurfacePitch) return fail(DDERR_TOOBIGWIDTH);
    if (uint64_t(pitch) * uint64_t(height) > kMaxSurfaceBytes) return fail(DDERR_TOOBIGSIZE);

    std::unique_ptr<Surface> s(new Surface());
    s->width_ = width;
    s->height_ = height;
    s->pitch_ = int(pitch);
    s->format_ = format;
    try {
        s->memory_.assign(size_t(s->pitch_) * size_t(height), 0);
    } catch (const std::bad_alloc&) {
        return fail(DDERR_OUTOFMEMORY);
    }
    if (result) *result = DD_OK;
    return s;
}

bool Surface::Contains(const SurfaceRect& r) const {
    return r.left >= 0 && r.top >= 0 && r.right <= width_ && r.bottom <= height_ &&
           r.left < r.right && r.top < r.bottom;
}

long Surface::Lock(uint8_t** memory, int* pitch) {
    if (Busy()) return DDERR_SURFACEBUSY;
    locked_ = true;
    *memory = memory_.data();
    *pitch = pitch_;
    return DD_OK;
}

long Surface::Unlock() {
    if (!locked_) return DDERR_NOTLOCKED;
    locked_ = false;
    return DD_OK;
}

long Surface::GetDC(SurfaceDC* dc) {
    if (dcOut_) return DDERR_DCALREADYCREATED;
    if (locked_) return DDERR_SURFACEBUSY;
    dcOut_ = true;
    dc->bits = memory_.data();
    dc->pitch = pitch_;
    return DD_OK;
}

long Surface::ReleaseDC() {
    if (!dcOut_) return DDERR_NODC;
    dcOut_ = false;
    return DD_OK;
}

long Surface::SetColorKey(uint32_t low, uint32_t high) {
    if (low > high) return DDERR_INVALIDPARAMS;
    keyLow_ = low;
    keyHigh_ = high;
    return DD_OK;
}

long Surface::Blt(const SurfaceRect& d, Surface* source, const SurfaceRect& s, uint32_t flags) {
    if (!source) return DDERR_INVALIDPARAMS;
    if (Busy() || source->Busy()) return DDERR_SURFACEBUSY;
    if (!Contains(d) || !source->Contains(s)) return DDERR_INVALIDRECT;
    if (!SameLayout(format_, source->format_)) return DDERR_INVALIDPIXELFORMAT;

    const int dw = d.right - d.left, dh = d.bottom - d.top;
    const int sw = s.right - s.left, sh = s.bottom - s.top;
    const bool keyed = (flags & DDBLT_KEYSRC) != 0;
    const int bytes = BytesPerPixel();
    const uint32_t low = source->keyLow_, high = source->keyHigh_;

    // Blitting a surface onto itself with overlap: work from a copy of the source rows.
    std::vector<uint8_t> copy;
    const uint8_t* srcBase = source->memory_.data();
    int srcPitch = source->pitch_;
    if (source == this) {
        copy = memory_;
        srcBase = copy.data();
    }

    const bool wholeRows = d.left == 0 && s.left == 0 && dw * bytes == pitch_ && srcPitch == pitch_;
    if (dw == sw && dh == sh && wholeRows && !keyed) { // one block, as a full-screen copy is
        std::memcpy(Row(d.top), srcBase + size_t(s.top) * size_t(srcPitch),
                    size_t(dh) * size_t(pitch_));
        return DD_OK;
    }
    if (dw == sw && dh == sh) {
        for (int y = 0; y < dh; ++y) {
            uint8_t* dRow = Row(d.top + y) + size_t(d.left) * size_t(bytes);
            const uint8_t* sRow =
                srcBase + size_t(s.top + y) * size_t(srcPitch) + size_t(s.left) * size_t(bytes);
            if (bytes == 2) {
                auto* dp = reinterpret_cast<uint16_t*>(dRow);
                auto* sp = reinterpret_cast<const uint16_t*>(sRow);
                if (keyed)
                    KeyedRow16(dp, sp, dw, uint16_t(low), uint16_t(high > 0xFFFF ? 0xFFFF : high));
                else
                    CopyRow16(dp, sp, dw);
            } else if (!keyed) {
                std::memcpy(dRow, sRow, size_t(dw) * size_t(bytes));
            } else {
                for (int x = 0; x < dw; ++x) {
                    uint32_t v = ReadPixel(sRow + x * bytes, bytes);
                    if (v < low || v > high) WritePixel(dRow + x * bytes, bytes, v);
                }
            }
        }
        return DD_OK;
    }

    // Scaled: nearest neighbour with 16.16 steps.
    const int64_t xStep = (int64_t(sw) << 16) / dw;
    const int64_t yStep = (int64_t(sh) << 16) / dh;
    std::vector<int> column(static_cast<size_t>(dw));
    for (int x = 0; x < dw; ++x) column[size_t(x)] = s.left + int((x * xStep) >> 16);
    for (int y = 0; y < dh; ++y) {
        const int sy = s.top + int((y * yStep) >> 16);
        uint8_t* dRow = Row(d.top + y) + size_t(d.left) * size_t(bytes);
        const uint8_t* sRow = srcBase + size_t(sy) * size_t(srcPitch);
        for (int x = 0; x < dw; ++x) {
            uint32_t v = ReadPixel(sRow + size_t(column[size_t(x)]) * size_t(bytes), bytes);
            if (!keyed || v < low || v > high) WritePixel(dRow + x * bytes, bytes, v);
        }
    }
    return DD_OK;
}

long Surface::ColorFill(const SurfaceRect& r, uint32_t pixel) {
    if (Busy()) return DDERR_SURFACEBUSY;
    if (!Contains(r)) return DDERR_INVALIDRECT;
    const int bytes = BytesPerPixel();
    const int w = r.right - r.left;
    for (int y = r.top; y < r.bottom; ++y) {
        uint8_t* row = Row(y) + size_t(r.left) * size_t(bytes);
        if (bytes == 2 && y > r.top) {
            // Every row is the first one again.
            std::memcpy(row, Row(r.top) + size_t(r.left) * 2, size_t(w) * 2);
        } else if (bytes == 2) {
            auto* p = reinterpret_cast<uint16_t*>(row);
            for (int x = 0; x < w; ++x) p[x] = uint16_t(pixel);
        } else {
            for (int x = 0; x < w; ++x) WritePixel(row + x * bytes, bytes, pixel);
        }
    }
    return DD_OK;
}
