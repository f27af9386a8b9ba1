#include "SYS/gdi_text.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <cstdio>
#include <cstring>
#include <mutex>

#include "SYS/textcodec.h"

namespace sys {

struct TextFace::Glyph {
    int left = 0; // from the pen position to the first column
    int top = 0;  // from the cell top to the first row
    int width = 0, rows = 0;
    int advance = 0;
    std::vector<uint8_t> coverage; // width * rows, 0 (clear) to 255 (covered)
};

// One FreeType instance for every face, released with the last of them.
struct TextFace::Library {
    FT_Library handle = nullptr;
    ~Library() {
        if (handle) FT_Done_FreeType(handle);
    }
};

namespace {

// The code point of one Windows-1252 byte.
uint32_t CodePoint(uint8_t byte) {
    std::string utf8 = Cp1252ToUtf8(std::string(1, char(byte)));
    if (utf8.empty()) return 0;
    auto b = [&](size_t i) { return uint32_t(uint8_t(utf8[i])); };
    if (utf8.size() == 1) return b(0);
    if (utf8.size() == 2) return ((b(0) & 0x1F) << 6) | (b(1) & 0x3F);
    return ((b(0) & 0x0F) << 12) | ((b(1) & 0x3F) << 6) | (b(2) & 0x3F);
}

} // namespace

TextFace::TextFace() : glyphs_(256), loaded_(256, false) {}

TextFace::~TextFace() {
    if (face_) FT_Done_Face(face_);
}

std::unique_ptr<TextFace> TextFace::Open(const std::vector<std::string>& files, int emPixels,
                                         bool antiAliased) {
    if (emPixels <= 0) return nullptr;
    static std::mutex mutex;
    static std::weak_ptr<Library> shared;
    std::shared_ptr<Library> library;
    {
        std::lock_guard<std::mutex> lock(mutex);
        library = shared.lock();
        if (!library) {
            library = std::make_shared<Library>();
            if (FT_Init_FreeType(&library->handle) != 0) {
                library->handle = nullptr;
                std::fprintf(stderr, "text: FreeType cannot start\n");
                return nullptr;
            }
            shared = library;
        }
    }
    std::unique_ptr<TextFace> face(new TextFace);
    face->library_ = library;
    face->antiAliased_ = antiAliased;
    for (const std::string& file : files) {
        FT_Face handle = nullptr;
        if (FT_New_Face(library->handle, file.c_str(), 0, &handle) != 0) continue;
        if (FT_Set_Pixel_Sizes(handle, 0, FT_UInt(emPixels)) != 0) {
            FT_Done_Face(handle);
            continue;
        }
        face->face_ = handle;
        face->file_ = file;
        break;
    }
    if (!face->face_) return nullptr;
    const FT_Size_Metrics& metrics = face->face_->size->metrics;
    face->ascent_ = int(metrics.ascender >> 6);
    face->cellHeight_ = face->ascent_ - int(metrics.descender >> 6);
    face->lineHeight_ = int(metrics.height >> 6);
    if (face->lineHeight_ < face->cellHeight_) face->lineHeight_ = face->cellHeight_;
    return face;
}

const TextFace::Glyph& TextFace::GlyphFor(uint8_t character) {
    Glyph& g = glyphs_[character];
    if (loaded_[character]) return g;
    loaded_[character] = true;
    const FT_Int32 flags =
        FT_LOAD_RENDER | (antiAliased_ ? FT_LOAD_TARGET_NORMAL : FT_LOAD_TARGET_MONO);
    if (FT_Load_Char(face_, CodePoint(character), flags) != 0) return g;
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
            uint8_t value;
            if (bm.pixel_mode == FT_PIXEL_MODE_MONO)
                value = ((row[c >> 3] >> (7 - (c & 7))) & 1) ? 255 : 0;
            else
                value = row[c];
            g.coverage[size_t(r) * size_t(g.width) + size_t(c)] = value;
        }
    }
    return g;
}

int TextFace::Advance(uint8_t character) {
    return GlyphFor(character).advance;
}

int TextFace::Width(const char* text, size_t length) {
    int width = 0;
    for (size_t i = 0; i < length; ++i) width += GlyphFor(uint8_t(text[i])).advance;
    return width;
}

namespace {

// Calls plot(x, y, coverage) for every covered pixel of the glyph inside the clip.
template <class Canvas, class Plot>
void ForGlyphPixels(const Canvas& c, int penX, int top, const std::vector<uint8_t>& coverage,
                    int left, int glyphTop, int width, int rows, Plot plot) {
    const int x0 = penX + left, y0 = top + glyphTop;
    for (int r = 0; r < rows; ++r) {
        const int y = y0 + r;
        if (y < c.clipTop || y >= c.clipBottom) continue;
        const uint8_t* cov = coverage.data() + size_t(r) * size_t(width);
        for (int col = 0; col < width; ++col) {
            const int x = x0 + col;
            if (cov[col] && x >= c.clipLeft && x < c.clipRight) plot(x, y, cov[col]);
        }
    }
}

template <class Pixel, class Canvas> Pixel* RowOf(const Canvas& c, int y) {
    return reinterpret_cast<Pixel*>(reinterpret_cast<uint8_t*>(c.pixels) +
                                    size_t(y) * size_t(c.pitch));
}

uint32_t Blend(uint32_t under, uint32_t over, unsigned alpha) {
    uint32_t out = 0;
    for (int shift = 0; shift <= 16; shift += 8) {
        const unsigned a = (under >> shift) & 0xFF, b = (over >> shift) & 0xFF;
        out |= uint32_t((a * (255 - alpha) + b * alpha + 127) / 255) << shift;
    }
    return out;
}

} // namespace

template <class Canvas, class Plot>
int TextFace::DrawGlyphs(const Canvas& canvas, int x, int y, const char* text, size_t length,
                         Plot plot) {
    int pen = x;
    for (size_t i = 0; i < length; ++i) {
        const Glyph& g = GlyphFor(uint8_t(text[i]));
        if (canvas.pixels && pen < canvas.clipRight)
            ForGlyphPixels(canvas, pen, y, g.coverage, g.left, g.top, g.width, g.rows, plot);
        pen += g.advance;
    }
    return pen;
}

int TextFace::Draw(const TextCanvas& canvas, int x, int y, const char* text, size_t length,
                   uint16_t pixel) {
    return DrawGlyphs(canvas, x, y, text, length, [&](int px, int py, uint8_t cov) {
        if (cov >= 128) RowOf<uint16_t>(canvas, py)[px] = pixel;
    });
}

int TextFace::Draw(const TextCanvas32& canvas, int x, int y, const char* text, size_t length,
                   uint32_t colour) {
    return DrawGlyphs(canvas, x, y, text, length, [&](int px, int py, uint8_t cov) {
        uint32_t& p = RowOf<uint32_t>(canvas, py)[px];
        p = cov == 255 ? colour : Blend(p, colour, cov);
    });
}

namespace {

// The default GDI font's cell is 16 pixels high; this em size gives the Debian fonts that cell.
constexpr int kGdiEmPixels = 13;

TextFace* GdiFace() {
    static std::unique_ptr<TextFace> face = [] {
        auto f = TextFace::Open({"/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf",
                                 "/usr/share/fonts/truetype/liberation/LiberationSans-Regular.ttf",
                                 "/usr/share/fonts/truetype/liberation2/LiberationSans-Regular.ttf",
                                 "/usr/share/fonts/truetype/freefont/FreeSans.ttf"},
                                kGdiEmPixels, false);
        if (!f)
            std::fprintf(stderr, "text: no system font found (DejaVu Sans or Liberation Sans)\n");
        return f;
    }();
    return face.get();
}

} // namespace

bool DrawGdiText(const TextCanvas& canvas, int x, int y, const char* text, uint16_t pixel) {
    TextFace* face = GdiFace();
    if (!face) return false;
    if (!text || !canvas.pixels) return true;
    face->Draw(canvas, x, y, text, std::strlen(text), pixel);
    return true;
}

int GdiTextHeight() {
    TextFace* face = GdiFace();
    return face ? face->CellHeight() : 0;
}

} // namespace sys
