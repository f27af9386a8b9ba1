// Text rasterised with FreeType from a font file found at run time, Windows-1252 text in one
// colour on a transparent background. TextFace is one face at one pixel size; DrawGdiText draws
// as GDI's TextOut does with a device context's default font (a system sans face, no
// anti-aliasing) and is what the game's FPS display uses.
#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

struct FT_FaceRec_;

namespace sys {

// A 16-bit picture to draw into; only pixels inside [clipLeft, clipRight) x [clipTop,
// clipBottom) are written (the caller keeps that inside the picture).
struct TextCanvas {
    uint16_t* pixels = nullptr;
    int pitch = 0; // bytes per row
    int clipLeft = 0, clipTop = 0, clipRight = 0, clipBottom = 0;
};

// The same for a 32-bit picture of 0x00RRGGBB pixels; anti-aliased glyphs are blended into it.
struct TextCanvas32 {
    uint32_t* pixels = nullptr;
    int pitch = 0; // bytes per row
    int clipLeft = 0, clipTop = 0, clipRight = 0, clipBottom = 0;
};

class TextFace {
public:
    // The first of `files` FreeType can open, at an em height of emPixels (a Windows font
    // height of -emPixels); null when none opens.
    static std::unique_ptr<TextFace> Open(const std::vector<std::string>& files, int emPixels,
                                          bool antiAliased);
    ~TextFace();
    TextFace(const TextFace&) = delete;
    TextFace& operator=(const TextFace&) = delete;

    const std::string& File() const { return file_; }
    int Ascent() const { return ascent_; }         // cell top to baseline
    int CellHeight() const { return cellHeight_; } // ascent plus descent
    int LineHeight() const { return lineHeight_; } // baseline to baseline
    int Advance(uint8_t character);
    int Width(const char* text, size_t length);

    // Draws `length` characters with (x, y) the top-left corner of their cell; returns the pen
    // position after them. The 16-bit form sets the pixels a glyph covers at least half.
    int Draw(const TextCanvas& canvas, int x, int y, const char* text, size_t length,
             uint16_t pixel);
    int Draw(const TextCanvas32& canvas, int x, int y, const char* text, size_t length,
             uint32_t colour);

private:
    struct Glyph;
    struct Library;
    TextFace();
    const Glyph& GlyphFor(uint8_t character);
    template <class Canvas, class Plot>
    int DrawGlyphs(const Canvas& canvas, int x, int y, const char* text, size_t length, Plot plot);

    std::string file_;
    std::shared_ptr<Library> library_;
    ::FT_FaceRec_* face_ = nullptr;
    bool antiAliased_ = false;
    int ascent_ = 0, cellHeight_ = 0, lineHeight_ = 0;
    std::vector<Glyph> glyphs_; // 256, rendered on first use
    std::vector<bool> loaded_;
};

// Draws `text` with (x, y) the top-left corner of its cell, every covered pixel set to `pixel`.
// False when no system font can be loaded (nothing is drawn).
bool DrawGdiText(const TextCanvas& canvas, int x, int y, const char* text, uint16_t pixel);

// Height of the text cell in pixels (0 without a font).
int GdiTextHeight();

} // namespace sys
