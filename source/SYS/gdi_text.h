// Text as GDI's TextOut draws it with a device context's default font: Windows-1252 text, one
// colour, transparent background, no anti-aliasing. The glyphs come from a system font found at
// run time and rasterised with FreeType.
#pragma once
#include <cstdint>

namespace sys {

// A 16-bit picture to draw into; only pixels inside [clipLeft, clipRight) x [clipTop,
// clipBottom) are written (the caller keeps that inside the picture).
struct TextCanvas {
    uint16_t* pixels = nullptr;
    int pitch = 0; // bytes per row
    int clipLeft = 0, clipTop = 0, clipRight = 0, clipBottom = 0;
};

// Draws `text` with (x, y) the top-left corner of its cell, every covered pixel set to `pixel`.
// False when no system font can be loaded (nothing is drawn).
bool DrawGdiText(const TextCanvas& canvas, int x, int y, const char* text, uint16_t pixel);

// Height of the text cell in pixels (0 without a font).
int GdiTextHeight();

} // namespace sys
