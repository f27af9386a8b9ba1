#include "GRAPH/font.h"

#include <algorithm>
#include <climits>
#include <string>
#include <vector>

#include "BASE/errlog.h"
#include "BASE/rnd.h"
#include "GRAPH/GlyphTable.h"
#include "GRAPH/Surface.h"
#include "GRAPH/graph.h"
#include "GRAPH/pixel_fields.h"
#include "SYS/files.h"

namespace {

// "DATA\FontMenu.tga" -> "DATA\FontMenu.fh": searching backwards, a dot before any backslash
// has what follows it replaced; otherwise ".fh" is appended.
std::string DescriptionNameFor(const std::string& pictureName) {
    const size_t found = pictureName.find_last_of("\\.");
    if (found != std::string::npos && pictureName[found] == '.')
        return pictureName.substr(0, found + 1) + "fh";
    return pictureName + ".fh";
}

void ReportGlyphTableProblem(const std::string& description, const char* problem, long count) {
    const std::string what = std::string(problem) + " in " + description;
    LogFailure(count, what.c_str(), __FILE__, __LINE__);
}

struct Area {
    int left, top, right, bottom;
};

Area PixelArea(const Sprite& sprite) {
    const Sprite::Extent e = sprite.PixelExtent();
    return {0, 0, e.columns, e.rows};
}

Area Intersect(const Area& a, const Area& b) {
    return {std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
            std::min(a.bottom, b.bottom)};
}

// Each field blended towards black by the glyph's alpha; bits outside the fields are kept.
template <bool Rgb565>
void InkRow(uint16_t* row, const uint8_t* alpha, int n, const pixel_fields::Channels& format) {
    using namespace pixel_fields;
    const Channels c = Rgb565 ? kRgb565 : format;
    const uint16_t others =
        uint16_t(~((c.max[0] << c.shift[0]) | (c.max[1] << c.shift[1]) | (c.max[2] << c.shift[2])));
    for (int i = 0; i < n; ++i) {
        const int16_t a = alpha[i];
        if (a <= 15) continue;
        const uint16_t d = row[i];
        row[i] = uint16_t((d & others) | BlendField(0, d, a, c, 0) | BlendField(0, d, a, c, 1) |
                          BlendField(0, d, a, c, 2));
    }
}

// Darkens the target under the glyph's alpha: black text whose edges follow the alpha plane.
void InkGlyph(Sprite& target, const Font& font, int x, int y, int sourceX, int sourceY, int w,
              int h) {
    if (!target.pixels) target.Lock();
    if (!target.pixels) return;
    const ClipRect& c = target.clip;
    Area drawn = Intersect(Intersect({x, y, x + w, y + h}, {c.left, c.top, c.right, c.bottom}),
                           PixelArea(target));
    // Only the columns whose glyph column lies inside the font picture.
    drawn.left = std::max(drawn.left, x - sourceX);
    drawn.right = std::min(drawn.right, x - sourceX + font.width);
    if (drawn.left >= drawn.right) return;
    const int alphaRows = font.width > 0 ? int(font.alpha.size() / size_t(font.width)) : 0;
    const pixel_fields::Channels channels = pixel_fields::CurrentChannels();
    const bool rgb565 = pixel_fields::IsRgb565(channels);
    for (int ty = drawn.top; ty < drawn.bottom; ++ty) {
        const int sy = sourceY + (ty - y);
        if (sy < 0 || sy >= alphaRows) continue;
        auto* row =
            reinterpret_cast<uint16_t*>(target.pixels + ptrdiff_t(ty) * target.pitch) + drawn.left;
        const uint8_t* alpha = font.alpha.data() + size_t(sy) * size_t(font.width) +
                               size_t(sourceX + (drawn.left - x));
        if (rgb565)
            InkRow<true>(row, alpha, drawn.right - drawn.left, channels);
        else
            InkRow<false>(row, alpha, drawn.right - drawn.left, channels);
    }
}

// Copies the glyph, background included; the part of the glyph rectangle outside the font
// picture (a bad .fh position) is left out rather than read.
void CopyGlyph(Sprite& target, Font& font, int x, int y, int sourceX, int sourceY, int w, int h) {
    const Area picture = {0, 0, font.width, font.frameHeight * font.frameCount};
    const Area source = Intersect({sourceX, sourceY, sourceX + w, sourceY + h}, picture);
    if (source.right <= source.left || source.bottom <= source.top) return;
    target.BlitRect(x + (source.left - sourceX), y + (source.top - sourceY),
                    source.right - source.left, source.bottom - source.top, &font, source.left,
                    source.top, 0, 0.0f);
}

} // namespace

void Font::Reload() {
    Sprite::Reload();
    // One glyph per frame-height row, as wide as the picture; space advance and glyph height
    // are the clip rectangle's right and bottom, already the width and frame height.
    for (int i = 0; i < 256; ++i) {
        glyphX[i] = 0;
        glyphY[i] = int16_t(i * frameHeight);
        glyphWidth[i] = uint8_t(width);
    }
    if (!fileName) return;

    const std::string description = DescriptionNameFor(*fileName);
    std::vector<unsigned char> text;
    if (!sys::ReadWholeFile(description, text)) return;
    const GlyphTableText table =
        ParseGlyphTable(reinterpret_cast<const char*>(text.data()), text.size());
    if (table.spaceAdvance) clip.right = *table.spaceAdvance;
    if (table.glyphHeight) clip.bottom = *table.glyphHeight;
    for (const GlyphLine& line : table.lines) {
        glyphX[line.code] = line.x;
        glyphY[line.code] = line.y;
        glyphWidth[line.code] = uint8_t(line.width);
        clip.right = line.width; // every glyph line sets the space advance too
    }
    if (table.badCodes > 0)
        ReportGlyphTableProblem(description, "glyph lines with a code outside 0..255 skipped",
                                table.badCodes);
    if (table.missingLines > 0)
        ReportGlyphTableProblem(description, "glyph lines missing", table.missingLines);
}

Font* LoadFont(const char* pictureName) {
    if (pictureName == nullptr) return nullptr;
    // A plain sprite of the same picture is not a font: a font of its own is made beside it.
    if (Font* font = dynamic_cast<Font*>(FindRegisteredSprite(pictureName))) return font;
    Font* font = new Font();
    RegisterSprite(font);
    font->fileName = std::string(pictureName);
    font->maskFileName = DefaultMaskName(pictureName);
    font->Reload();
    return font;
}

void ReleaseFont(Font* font) {
    if (font) font->Release();
}

int TextWidth(const Font* font, const char* text, int maxCharacters) {
    if (font == nullptr || text == nullptr) return 0;
    if (maxCharacters < 0) maxCharacters = INT_MAX;
    int total = 0;
    for (int i = 0; i < maxCharacters && text[i] != '\0'; ++i) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        total += c < 33 ? font->SpaceAdvance() : font->glyphWidth[c];
    }
    return total;
}

void DrawText(Sprite* target, Font* font, int x, int y, const char* text, float position,
              int horizontalAlignment, int verticalAlignment) {
    if (target == nullptr || font == nullptr || text == nullptr) return;
    const int glyphHeight = font->GlyphHeight();
    const int offset =
        font->frameHeight < glyphHeight ? rnd(double(font->frameHeight) * position) : 0;

    if (horizontalAlignment == 0)
        x -= TextWidth(font, text, -1) / 2;
    else if (horizontalAlignment > 0)
        x -= TextWidth(font, text, -1);
    if (verticalAlignment == 0)
        y -= glyphHeight / 2;
    else if (verticalAlignment > 0)
        y -= glyphHeight;

    for (const char* p = text; *p != '\0'; ++p) {
        const unsigned char c = static_cast<unsigned char>(*p);
        if (c < 33) {
            x += font->SpaceAdvance();
            continue;
        }
        const int w = font->glyphWidth[c];
        const int sourceY = font->glyphY[c] + offset;
        if (font->HasAlpha())
            InkGlyph(*target, *font, x, y, font->glyphX[c], sourceY, w, glyphHeight);
        else
            CopyGlyph(*target, *font, x, y, font->glyphX[c], sourceY, w, glyphHeight);
        x += w;
    }
}
