// Surface: an off-screen picture in system memory with DirectDraw's contract — width, height,
// pitch, pixel format; Lock/Unlock; plain, colour-keyed and scaled blits; colour fill; device
// context access for text and presenting. Calls return DirectDraw result codes (0 is DD_OK).
#pragma once
#include <cstdint>
#include <memory>
#include <vector>

#include "GRAPH/graph.h"

// DirectDraw result codes: MAKE_HRESULT(1, 0x876, code) and the generic COM failures.
constexpr long DDResult(unsigned code) {
    return long(int32_t(0x88760000u | code));
}
constexpr long DD_OK = 0;
constexpr long DDERR_GENERIC = long(int32_t(0x80004005u));
constexpr long DDERR_UNSUPPORTED = long(int32_t(0x80004001u));
constexpr long DDERR_OUTOFMEMORY = long(int32_t(0x8007000Eu));
constexpr long DDERR_INVALIDPARAMS = long(int32_t(0x80070057u));
constexpr long DDERR_NOTINITIALIZED = long(int32_t(0x800401F0u));
constexpr long DDERR_INVALIDRECT = DDResult(150);
constexpr long DDERR_INVALIDPIXELFORMAT = DDResult(145);
constexpr long DDERR_TOOBIGSIZE = DDResult(480);
constexpr long DDERR_TOOBIGWIDTH = DDResult(490);
constexpr long DDERR_SURFACEBUSY = DDResult(430);
constexpr long DDERR_SURFACELOST = DDResult(450);
constexpr long DDERR_NOTLOCKED = DDResult(584);
constexpr long DDERR_NODC = DDResult(586);
constexpr long DDERR_DCALREADYCREATED = DDResult(620);

// Blt flags (DirectDraw's values).
constexpr uint32_t DDBLT_COLORFILL = 0x400;
constexpr uint32_t DDBLT_KEYSRC = 0x8000;
constexpr uint32_t DDBLT_WAIT = 0x1000000;

// Rows are addressed with 16-bit pitches, and no file may make us allocate without bound.
constexpr int kMaxSurfacePitch = 32767;
constexpr size_t kMaxSurfaceBytes = size_t(256) << 20;

struct SurfaceRect {
    int left = 0, top = 0, right = 0, bottom = 0;
};

// What a device context of a surface gives: its memory while the context is held.
struct SurfaceDC {
    uint8_t* bits = nullptr;
    int pitch = 0;
};

class Surface {
public:
    // DDERR_INVALIDPARAMS for empty sizes, DDERR_INVALIDPIXELFORMAT for a depth other than
    // 16, 24 or 32, DDERR_TOOBIGWIDTH / DDERR_TOOBIGSIZE beyond the limits above,
    // DDERR_OUTOFMEMORY when the memory cannot be had.
    static std::unique_ptr<Surface> Create(int width, int height, const PixelFormatDesc& format,
                                           long* result);

    int Width() const { return width_; }
    int Height() const { return height_; }
    int Pitch() const { return pitch_; }
    const PixelFormatDesc& Format() const { return format_; }
    bool IsLocked() const { return locked_; }

    // DDERR_SURFACEBUSY while locked or while a device context is out.
    long Lock(uint8_t** memory, int* pitch);
    long Unlock(); // DDERR_NOTLOCKED when not locked
    long GetDC(SurfaceDC* dc);
    long ReleaseDC(); // DDERR_NODC when no context is out

    long SetColorKey(uint32_t low, uint32_t high);

    // Copies `srcRect` of `source` to `dstRect`, scaling nearest-neighbour when the sizes differ.
    // With DDBLT_KEYSRC, source pixels inside the source's colour-key range are not copied.
    // Rectangles must lie inside their surfaces (DDERR_INVALIDRECT), formats must match.
    long Blt(const SurfaceRect& dstRect, Surface* source, const SurfaceRect& srcRect,
             uint32_t flags);
    // Fills `rect` with a pixel value of this surface's format.
    long ColorFill(const SurfaceRect& rect, uint32_t pixel);

private:
    Surface() = default;
    bool Busy() const { return locked_ || dcOut_; }
    bool Contains(const SurfaceRect& r) const;
    int BytesPerPixel() const { return int(format_.bitsPerPixel / 8); }
    uint8_t* Row(int y) { return memory_.data() + size_t(y) * size_t(pitch_); }

    int width_ = 0, height_ = 0, pitch_ = 0;
    PixelFormatDesc format_{};
    std::vector<uint8_t> memory_;
    uint32_t keyLow_ = 0, keyHigh_ = 0;
    bool locked_ = false;
    bool dcOut_ = false;
};
