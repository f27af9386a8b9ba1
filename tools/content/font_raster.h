// Rasterising a font file with FreeType into the game's font picture and glyph table: every
// printable Windows-1252 character in its own cell, advances without kerning, all cells one
// line high with capitals centred in the line (the game centres text on the line's middle).
#pragma once
#include <string>

#include "glyph_table.h"
#include "image.h"

namespace content {

// The Unicode code point of a Windows-1252 byte; 0 for the five bytes the code page leaves out.
unsigned long Cp1252ToUnicode(int byte);

// The picture holds the coverage as alpha over black ink. Codes below 33 and the no-break space
// point at a blank cell as wide as a space; the table's last line is the space, since the game
// takes the space advance from the last line.
bool RasterizeFont(const std::string& fontFile, int pixelSize, Image* atlas, GlyphTable* table,
                   std::string* error);

} // namespace content
