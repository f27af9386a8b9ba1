// The ".fh" font description: numbers separated by white space — the space advance, the glyph
// height, a count N, then N glyph lines of character code, x, y, width and one number that is
// read and ignored.
#pragma once
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

struct GlyphLine {
    uint8_t code;
    int16_t x;
    int16_t y;
    int16_t width;
};

struct GlyphTableText {
    // Absent when the text ends (or stops being numbers) before them.
    std::optional<int16_t> spaceAdvance;
    std::optional<int16_t> glyphHeight;
    int announcedLines = 0;
    std::vector<GlyphLine> lines; // in file order, only those with a code of 0..255
    int badCodes = 0;             // lines skipped for a code outside 0..255
    int missingLines = 0;         // announced lines the text did not hold
};

// Reads as the C library's scanf would: reading stops at the first thing that is not a number,
// and a glyph line counts once its code, x, y and width were read. The lines kept never
// outnumber what the text holds, whatever N says.
GlyphTableText ParseGlyphTable(const char* text, size_t size);
