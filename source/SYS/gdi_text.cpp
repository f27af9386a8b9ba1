#include "SYS/gdi_text.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <array>
#include <cstdio>
#include <string>
#include <vector>

#include "SYS/textcodec.h"

namespace sys {
namespace {

// The default GDI font's cell is 16 pixels high; this em size gives the Debian fonts that cell.
constexpr int kEmPixels = 13;

const char* const kFontCandidates[] = {
    "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf",
    "/usr/share/fonts/truetype/liberation/LiberationSans-Regular.ttf",
    "/usr/share/fonts/truetype/liberation2/LiberationSans-Regular.ttf",
    "/usr/share/fonts/truetype/freefont/FreeSans.ttf",
};

struct Glyph {
    int left = 0;    // from the pen position to the first column
    int top = 0;     // from the cell top to the first row
    int width = 0, rows = 0;
    int advance = 0;
    std::vector<uint8_t> coverage; // width * rows, 1 where the pixel is set
};

// The code point of one Windows-1252 byte.
uint32_t CodePoint(uint8_t byte) {
    std::string utf8 = Cp1252ToUtf8(std::string(1, char(byte)));
    if (utf8.empty()) return 0;
    auto b = [&](size_t i) { return uint32_t(uint8_t(utf8[i])); };
    if (utf8.size() == 1) return b(0);
    if (utf8.size() == 2) return ((b(0) & 0x1F) << 6) | (b(1) & 0x3F);
    return ((b(0) & 0x0F) << 12) | ((b(1) & 0x3F) << 6) | (b(2) & 0x3F);
}

class GdiFont {
public:
    static GdiFont& Instance() {
        static GdiFont font;
        return font;
    }
    bool Ready() const { return face_ != nullptr; }
    int CellHeight() const { return cellHeight_; }

    const Glyph& GlyphFor(uint8_t byte) {
        Glyph& g = glyphs_[byte];
        if (!loaded_[byte]) {
            loaded_[byte] = true;
            Render(CodePoint(byte), g);
        }
        return g;
    }

    ~GdiFont() {
        if (face_) FT_Done_Face(face_);
        if (library_) FT_Done_FreeType(library_);
    }

private:
    GdiFont() {
        if (FT_Init_FreeType(&library_) != 0) {
            library_ = nullptr;
            std::fprintf(stderr, "text: FreeType cannot start\n");
            return;
        }
        for (const char* path : kFontCandidates) {
            if (FT_New_Face(library_, path, 0, &face_) == 0) break;
            face_ = nullptr;
        }
        if (!face_ || FT_Set_Pixel_Sizes(face_, 0, kEmPixels) != 0) {
            if (face_) FT_Done_Face(face_);
            face_ = nullptr;
            std::fprintf(stderr, "text: no system font found (DejaVu Sans or Liberation Sans)\n");
            return;
        }
        ascent_ = int(face_->size->metrics.ascender >> 6);
        cellHeight_ = ascent_ - int(face_->size->metrics.descender >> 6);
    }

    void Render(uint32_t codePoint, Glyph& g) {
        if (!face_) return;
        if (FT_Load_Char(face_, codePoint, FT_LOAD_RENDER | FT_LOAD_TARGET_MONO) != 0) return;
        FT_GlyphSlot slot = face_->glyph;
        const FT_Bitmap& bm = slot->bitmap;
        g.left = slot->bitmap_left;
        g.top = ascent_ - slot->bitmap_top;
        g.width = int(bm.width);
        g.rows = int(bm.rows);
        g.advance = int(slot->advance.x >> 6);
        g.coverage.assign(size_t(g.width) * size_t(g.rows), 0);
        for (int r = 0; r < g.rows; ++r) {
            const uint8_t* row = bm.buffer + r * bm.pitch;
            for (int c = 0; c < g.width; ++c) {
                bool on = bm.pixel_mode == FT_PIXEL_MODE_MONO ? (row[c >> 3] >> (7 - (c & 7))) & 1
                                                              : row[c] >= 128;
                g.coverage[size_t(r) * size_t(g.width) + size_t(c)] = on ? 1 : 0;
            }
        }
    }

    FT_Library library_ = nullptr;
    FT_Face face_ = nullptr;
    int ascent_ = 0;
    int cellHeight_ = 0;
    std::array<Glyph, 256> glyphs_{};
    std::array<bool, 256> loaded_{};
};

void DrawGlyph(const TextCanvas& c, int penX, int top, const Glyph& g, uint16_t pixel) {
    const int x0 = penX + g.left, y0 = top + g.top;
    for (int r = 0; r < g.rows; ++r) {
        const int y = y0 + r;
        if (y < c.clipTop || y >= c.clipBottom) continue;
        auto* row = reinterpret_cast<uint16_t*>(reinterpret_cast<uint8_t*>(c.pixels) +
                                                size_t(y) * size_t(c.pitch));
        const uint8_t* cov = g.coverage.data() + size_t(r) * size_t(g.width);
        for (int col = 0; col < g.width; ++col) {
            const int x = x0 + col;
            if (cov[col] && x >= c.clipLeft && x < c.clipRight) row[x] = pixel;
        }
    }
}

} // namespace

bool DrawGdiText(const TextCanvas& canvas, int x, int y, const char* text, uint16_t pixel) {
    GdiFont& font = GdiFont::Instance();
    if (!font.Ready()) return false;
    if (!text || !canvas.pixels) return true;
    int pen = x;
    for (const char* p = text; *p && pen < canvas.clipRight; ++p) {
        const Glyph& g = font.GlyphFor(uint8_t(*p));
        DrawGlyph(canvas, pen, y, g, pixel);
        pen += g.advance;
    }
    return true;
}

int GdiTextHeight() { return GdiFont::Instance().CellHeight(); }

} // namespace sys
