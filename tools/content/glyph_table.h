// The ".fh" glyph table beside a font picture: space advance, glyph height, a line count and one
// line per glyph (code, x, y, width, one ignored number), numbers separated by white space.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace content {

struct GlyphLine {
    int code = 0;
    int x = 0;
    int y = 0;
    int width = 0;
};

struct GlyphTable {
    int spaceAdvance = 0;
    int glyphHeight = 0;
    std::vector<GlyphLine> lines;
};

bool WriteGlyphTable(const std::string& path, const GlyphTable& table, std::string* error);
// Refuses counts and codes outside what a 256-entry table can hold, and truncated files.
bool ReadGlyphTable(const std::string& path, GlyphTable* table, std::string* error);
bool ParseGlyphTable(const std::string& text, GlyphTable* table, std::string* error);

// The table the game ends up with for a picture of the given size: one glyph per frame-height
// row by default, each line overriding its code, and the space advance taken from the last line.
struct FontLayout {
    int16_t x[256];
    int16_t y[256];
    uint8_t width[256];
    int spaceAdvance;
    int glyphHeight;
};
// table is null when the picture has no ".fh" file.
FontLayout ResolveLayout(const GlyphTable* table, int pictureWidth, int frameHeight);

} // namespace content
