// Sprite: a reference-counted picture of one or more equal frames stacked vertically, in a
// system-memory surface of the current pixel format or in an own 16-bit buffer, optionally with
// an 8-bit alpha plane. Every picture, every font and the back buffer are sprites.
#pragma once
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class Surface;
class PictureReader;

// Blit-operation flags.
constexpr uint32_t OP_MASK = 0x8000;      // honour the source's colour key if its bMask is set
constexpr uint32_t OP_ADD = 0x1000000;    // add source to destination, saturating per channel
constexpr uint32_t OP_ALPHA = 0x80000000; // blend with the source's alpha plane

constexpr int SPRITE_BMASK = 1; // flags bit 0: the picture holds pure black (transparent) pixels

struct ClipRect {
    int16_t left = 0, top = 0, right = 0, bottom = 0;
};

struct TexturePoint {
    float u = 0, v = 0;
};
struct ScreenPoint {
    float x = 0, y = 0;
};

class Sprite {
public:
    int refCount = 0;
    std::optional<std::string> fileName;     // none for a blank sprite
    std::optional<std::string> maskFileName; // file whose channel becomes the alpha plane
    float frameScale = 1.0f;                 // 1 / animation length, or 1.0
    ClipRect clip;
    int16_t width = 0;
    int16_t frameHeight = 0;
    int16_t pitch = 0; // bytes per row of the pixel memory
    int16_t frameCount = 1;
    int flags = 0;
    uint8_t* pixels = nullptr;  // locked surface memory, or the own 16-bit buffer
    std::vector<uint8_t> alpha; // width * frameHeight * frameCount bytes, or empty
    std::unique_ptr<Surface> lpDDSurface;
    std::vector<uint8_t> ownPixels; // the own 16-bit buffer of a sprite without surface

    Sprite();
    Sprite(const Sprite&) = delete;
    Sprite& operator=(const Sprite&) = delete;
    virtual ~Sprite();      // destroy: frees the pixel data and the registry slot
    virtual void Release(); // drop one reference, destroy at 0
    virtual void Reload();  // (re)load the picture from fileName / maskFileName
    void AddRef() { ++refCount; }

    bool bMask() const { return (flags & SPRITE_BMASK) != 0; }
    bool HasAlpha() const { return !alpha.empty(); }

    // Columns and rows of pixel memory the sprite really has, whatever its size fields say.
    struct Extent {
        int columns = 0, rows = 0;
    };
    Extent PixelExtent() const;

    void Lock();
    void Unlock();

    void FillRect(int left, int top, int right, int bottom, uint32_t colour);
    void DrawSprite(int x, int y, Sprite* source, uint32_t flags, float position);
    void BlitRect(int dx, int dy, int w, int h, Sprite* source, int sx, int sy, uint32_t flags,
                  float position);
    void StretchBlit(int dx, int dy, int dw, int dh, Sprite* source, int sx, int sy, int sw, int sh,
                     uint32_t flags, float position);
    void TileRect(int dx, int dy, int w, int h, Sprite* source, int offsetX, int offsetY,
                  uint32_t flags);
    // Row dy + j shows source row rows[j] (columns from sx on), as `count` one-row BlitRect
    // calls would draw them, with the clipping worked out once.
    void BlitRows(int dx, int dy, int w, Sprite* source, int sx, const int* rows, int count,
                  uint32_t flags);
    void DrawTriangle(uint32_t flags, Sprite* source, const ScreenPoint (&points)[3],
                      const TexturePoint (&texture)[3], float position);
    // Text in the system font, (x, y) the top-left of its cell; `colour` is a GDI colour value
    // 0x00BBGGRR (red in the low byte), as SetTextColor takes it.
    void DrawGdiText(int x, int y, const char* text, uint32_t colour);

    // Frame index for an animation position: nearest integer (halves to even) of
    // fmod(position * frameScale, 1.00001) * (frameCount - 1).
    int FrameIndex(float position) const;

private:
    void FreePixels();
    void ReadPicture(PictureReader& reader);
    void ReadMask();
    bool FirstFrameHasBlack() const;
};

// The mask file of a picture: its folder, "_" and its base name ("DATA\Menu00.tga" gives
// "DATA\_Menu00.tga").
std::string DefaultMaskName(const std::string& fileName);

// The sprite cache: a registered sprite whose file name equals `fileName` ignoring case is
// returned unchanged unless `reload` is set; otherwise one is made (or reloaded). The mask name
// defaults to the file's folder + "_" + base name. The caller adds its own reference.
Sprite* LoadSprite(const char* fileName, const char* maskFileName, bool reload);
// LoadSprite without reloading, plus a reference of the caller's own, so the picture stays loaded
// while the caller holds it; null when it cannot be loaded.
Sprite* LoadHeldSprite(const char* fileName, const char* maskFileName = nullptr);
// Gives back the caller's reference and clears the slot.
void ReleaseHeldSprite(Sprite*& slot);
