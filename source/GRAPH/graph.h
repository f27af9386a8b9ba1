// The display: the window's style and size, the pixel format, the back buffer RenderSurface
// (a 16-bit RGB565 surface in system memory) and the registry of all live sprites.
#pragma once
#include <cstdint>
#include <memory>

class Sprite;
class Surface;

struct PixelFormatDesc {
    uint32_t bitCounts; // red, green, blue, alpha: one byte each from the low byte up
    uint32_t shifts;    // likewise
    uint32_t redMask, greenMask, blueMask, alphaMask;
    uint32_t bitsPerPixel;

    int RedBits() const { return int(bitCounts & 0xFF); }
    int GreenBits() const { return int((bitCounts >> 8) & 0xFF); }
    int BlueBits() const { return int((bitCounts >> 16) & 0xFF); }
    int AlphaBits() const { return int((bitCounts >> 24) & 0xFF); }
    int RedShift() const { return int(shifts & 0xFF); }
    int GreenShift() const { return int((shifts >> 8) & 0xFF); }
    int BlueShift() const { return int((shifts >> 16) & 0xFF); }
    int AlphaShift() const { return int((shifts >> 24) & 0xFF); }
};

// The supported formats in search order, ended by an all-zero entry.
extern const PixelFormatDesc kPixelFormats[];
const PixelFormatDesc& CurrentPixelFormat();
void SetCurrentPixelFormat(const PixelFormatDesc& format);
// Converts 0xAARRGGBB to a pixel of the current format (alpha ignored).
uint32_t ColourToPixel(uint32_t colour);

extern Sprite* RenderSurface; // the back buffer

void SetupDisplay(int width, int height, int bitsPerPixel, int fullScreen);
void Present();
void ShutdownDisplay(bool keep);

constexpr unsigned DDSCAPS_SYSTEMMEMORY = 0x800;
std::unique_ptr<Surface> CreateSurface(int width, int height, unsigned caps);

// Symbolic name of a DirectDraw-style result code: "DD_OK", a "DDERR_..." name, or "not found".
const char* DDErrorName(long code);

// Sprite registry: every live sprite made through the caches.
void RegisterSprite(Sprite* sprite);
void UnregisterSprite(Sprite* sprite);
// The registered sprite whose file name equals `fileName` ignoring case (a null name matches only
// a sprite without name), or null.
Sprite* FindRegisteredSprite(const char* fileName);
