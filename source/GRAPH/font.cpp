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

// Darkens the target under the glyph's alpha: black text whose edges follow the alpha plane.
void InkGlyph(Sprite& target, const Font& font, int x, int y, int sourceX, int sourceY, int w,
              int h) {
    if (!target.pixels) target.Lock();
    if (!target.pixels) return;
    const ClipRect& c = target.clip;
    const Area drawn = Intersect(
        Intersect({x, y, x + w, y + h}, {c.left, c.top, c.right, c.bottom}), PixelArea(target));
    const int alphaRows = font.width > 0 ? int(font.alpha.size() / size_t(font.width)) : 0;
    const PixelFormatDesc& format = CurrentPixelFormat();
    const uint32_t masks[3] = {format.redMask, format.greenMask, format.blueMask};
    const int shifts[3] = {format.RedShift(), format.GreenShift(), format.BlueShift()};

    for (int ty = drawn.top; ty < drawn.bottom; ++ty) {
        const int sy = sourceY + (ty - y);
        if (sy < 0 || sy >= alphaRows) continue;
        uint8_t* row = target.pixels + ptrdiff_t(ty) * target.pitch;
        for (int tx = drawn.left; tx < drawn.right; ++tx) {
            const int sx = sourceX + (tx - x);
            if (sx < 0 || sx >= font.width) continue;
            const int a = font.alpha[size_t(sy) * size_t(font.width) + size_t(sx)];
            if (a <= 15) continue;
            uint32_t pixel = uint32_t(row[2 * tx]) | (uint32_t(row[2 * tx + 1]) << 8);
            for (int i = 0; i < 3; ++i) {
                const int channel = int((pixel & masks[i]) >> shifts[i]);
                const int darker = channel + ((a * (0 - channel)) >> 8);
                pixel = (pixel & ~masks[i]) | ((uint32_t(darker) << shifts[i]) & masks[i]);
            }
            row[2 * tx] = uint8_t(pixel);
            row[2 * tx + 1] = uint8_t(pixel >> 8);
        }
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
