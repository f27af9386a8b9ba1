#include "font_raster.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <cmath>

namespace content {

unsigned long Cp1252ToUnicode(int byte) {
    static const unsigned short high[32] = {
        0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
        0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
        0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};
    if (byte >= 0x80 && byte < 0xA0) return high[byte - 0x80];
    if (byte == 0x7F) return 0;
    return static_cast<unsigned long>(byte);
}

namespace {

struct Rendered {
    int code = 0;
    int left = 0; // ink offset inside the cell
    int top = 0;  // bitmap top above the baseline
    int advance = 0;
    int cellWidth = 0;
    int rows = 0, cols = 0;
    std::vector<uint8_t> coverage;
};

constexpr int kAtlasWidth = 512;

} // namespace

bool RasterizeFont(const std::string& fontFile, int pixelSize, Image* atlas, GlyphTable* table,
                   std::string* error) {
    FT_Library lib;
    if (FT_Init_FreeType(&lib)) {
        if (error) *error = "FreeType did not start";
        return false;
    }
    FT_Face face;
    if (FT_New_Face(lib, fontFile.c_str(), 0, &face) || FT_Set_Pixel_Sizes(face, 0, pixelSize)) {
        FT_Done_FreeType(lib);
        if (error) *error = fontFile + ": cannot be opened as a font of that size";
        return false;
    }
    std::vector<Rendered> glyphs;
    int capHeight = 0, maxTop = 0, maxDescent = 0;
    for (int code = 33; code < 256; ++code) {
        const unsigned long u = Cp1252ToUnicode(code);
        if (u == 0 || code == 0xA0) continue;
        const FT_UInt index = FT_Get_Char_Index(face, u);
        if (index == 0 || FT_Load_Glyph(face, index, FT_LOAD_RENDER | FT_LOAD_TARGET_LIGHT))
            continue;
        const FT_GlyphSlot slot = face->glyph;
        Rendered r;
        r.code = code;
        r.advance = static_cast<int>(std::lround(slot->advance.x / 64.0));
        r.rows = static_cast<int>(slot->bitmap.rows);
        r.cols = static_cast<int>(slot->bitmap.width);
        r.top = slot->bitmap_top;
        const int inkLeft = slot->bitmap_left;
        const int x0 = std::min(0, inkLeft);
        const int x1 = std::max(r.advance, inkLeft + r.cols);
        r.left = inkLeft - x0;
        r.cellWidth = std::min(255, x1 - x0);
        r.coverage.resize(static_cast<size_t>(r.rows) * r.cols);
        for (int y = 0; y < r.rows; ++y)
            for (int x = 0; x < r.cols; ++x)
                r.coverage[static_cast<size_t>(y) * r.cols + x] =
                    slot->bitmap.buffer[y * slot->bitmap.pitch + x];
        if (code == 'H') capHeight = r.top;
        maxTop = std::max(maxTop, r.top);
        maxDescent = std::max(maxDescent, r.rows - r.top);
        glyphs.push_back(std::move(r));
    }
    FT_Load_Char(face, ' ', FT_LOAD_DEFAULT);
    const int spaceAdvance =
        std::max(1, static_cast<int>(std::lround(face->glyph->advance.x / 64.0)));
    FT_Done_Face(face);
    FT_Done_FreeType(lib);
    if (glyphs.empty() || capHeight == 0) {
        if (error) *error = fontFile + ": holds no Latin glyphs";
        return false;
    }
    // Capitals sit in the middle of the line; the line is tall enough for accents and descenders.
    const int half = std::max(maxTop - capHeight / 2, maxDescent + capHeight / 2) + 1;
    const int lineHeight = 2 * half;
    const int baseline = half + capHeight / 2;

    // Shelf packing, the blank cell first.
    int penX = spaceAdvance + 1, penY = 0;
    std::vector<std::pair<int, int>> place;
    for (const Rendered& r : glyphs) {
        if (penX + r.cellWidth > kAtlasWidth) {
            penX = 0;
            penY += lineHeight + 1;
        }
        place.emplace_back(penX, penY);
        penX += r.cellWidth + 1;
    }
    *atlas = Image(kAtlasWidth, penY + lineHeight);
    GlyphTable out;
    out.spaceAdvance = spaceAdvance;
    out.glyphHeight = lineHeight;
    for (int code = 0; code < 33; ++code)
        if (code != ' ') out.lines.push_back({code, 0, 0, spaceAdvance});
    for (size_t i = 0; i < glyphs.size(); ++i) {
        const Rendered& r = glyphs[i];
        const int cx = place[i].first, cy = place[i].second;
        for (int y = 0; y < r.rows; ++y) {
            const int ay = cy + baseline - r.top + y;
            if (ay < cy || ay >= cy + lineHeight) continue;
            for (int x = 0; x < r.cols; ++x) {
                const double c = r.coverage[static_cast<size_t>(y) * r.cols + x] / 255.0;
                // A touch heavier than linear coverage: black ink on light panels looks thin.
                atlas->At(cx + r.left + x, ay)[3] =
                    static_cast<uint8_t>(std::lround(std::pow(c, 0.85) * 255));
            }
        }
        out.lines.push_back({r.code, cx, cy, r.cellWidth});
    }
    for (int code = 33; code < 256; ++code) {
        if (code == 0xA0) {
            out.lines.push_back({code, 0, 0, spaceAdvance});
            continue;
        }
        const bool drawn = std::any_of(glyphs.begin(), glyphs.end(),
                                       [code](const Rendered& r) { return r.code == code; });
        if (!drawn) out.lines.push_back({code, 0, 0, 0}); // nothing to draw, nothing to advance
    }
    out.lines.push_back({' ', 0, 0, spaceAdvance});
    // The colour plane shows the same ink on white, so the glyphs stay readable even where the
    // picture is copied without its mask.
    for (int y = 0; y < atlas->height; ++y)
        for (int x = 0; x < atlas->width; ++x) {
            uint8_t* p = atlas->At(x, y);
            p[0] = p[1] = p[2] = static_cast<uint8_t>(255 - p[3]);
        }
    *table = out;
    return true;
}

} // namespace content
