// Writing the ".fh" glyph table beside a font picture: space advance, glyph height, a line count
// and one line per glyph (code, x, y, width, one ignored number). The game's font loader reads it
// (GRAPH/GlyphTable.h).
#pragma once
#include <string>
#include <vector>

namespace content {

struct GlyphCell {
    int code = 0;
    int x = 0;
    int y = 0;
    int width = 0;
};

struct GlyphTable {
    int spaceAdvance = 0;
    int glyphHeight = 0;
    std::vector<GlyphCell> lines;
};

bool WriteGlyphTable(const std::string& path, const GlyphTable& table, std::string* error);

} // namespace content
