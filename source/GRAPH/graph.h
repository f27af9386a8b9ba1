// The display: the window's style and size, the pixel format, the back buffer RenderSurface
// (a 16-bit RGB565 surface in system memory) and the registry of all live sprites.
#pragma once
#include <cstdint>
#include <memory>
#include <vector>

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

// The pixel layout of the display: our presented picture is RGB565, so the desktop mode reads as
// 16 bits with green mask 0x07E0.
struct DisplayMode {
    uint32_t bitsPerPixel = 16;
    uint32_t greenMask = 0x07E0;
};
DisplayMode DesktopDisplayMode();

// The back buffer's format walk: first, when `bitsPerPixel` equals the mode's depth, every table
// entry with the mode's green mask; then every entry of that depth. Each candidate becomes the
// current pixel format and is tried; returns the first surface made (none if all fail).
std::unique_ptr<Surface> CreateBackBufferSurface(int width, int height, int bitsPerPixel,
                                                 const DisplayMode& mode);

// The back buffer is always 16-bit (the software blits work on 16-bit pixels), whatever depth
// is asked for; `bitsPerPixel` is the full-screen depth request.
void SetupDisplay(int width, int height, int bitsPerPixel, int fullScreen);
void Present();
void ShutdownDisplay(bool keep);

constexpr unsigned DDSCAPS_SYSTEMMEMORY = 0x800;
// An off-screen surface of the current pixel format with source colour key 0..0; none on failure.
std::unique_ptr<Surface> CreateSurface(int width, int height, unsigned caps);

// Symbolic name of a DirectDraw-style result code: "DD_OK", a "DDERR_..." name, or "not found".
const char* DDErrorName(long code);
// A gerr.log record for a failed DirectDraw-style call followed by the code's name (no line break).
void LogDDFailure(long code, const char* expression, const char* sourcePath, int line);

// Sprite registry: every live sprite made through the caches. Registering takes the registry's
// reference (adds one); the first empty slot is reused before the registry grows by 1000.
void RegisterSprite(Sprite* sprite);
// Empties the sprite's slot (called when a sprite is destroyed); no reference changes.
void UnregisterSprite(Sprite* sprite);
// The slots, empty ones null.
const std::vector<Sprite*>& SpriteRegistry();
// Destroys, last entry first, every sprite held only by the registry (the display's shutdown).
void DestroyUnheldSprites();
// The registered sprite whose file name equals `fileName` ignoring case (a null name matches only
// a sprite without name), or null.
Sprite* FindRegisteredSprite(const char* fileName);
