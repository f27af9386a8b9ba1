// Bitmap fonts: a sprite holding the glyphs plus a 256-entry glyph table read from the ".fh"
// text file beside the picture.
#pragma once
#include <cstdint>

#include "GRAPH/Sprite.h"

class Font : public Sprite {
public:
    int16_t glyphX[256] = {};
    int16_t glyphY[256] = {};
    uint8_t glyphWidth[256] = {};

    // The space advance and the glyph height live in the clip rectangle's right and bottom
    // (a font is never drawn into).
    int16_t SpaceAdvance() const { return clip.right; }
    int16_t GlyphHeight() const { return clip.bottom; }

    void Reload() override;
};

// The registered font with that picture name (ignoring case), or a new one loaded and registered
// with one reference for the registry. Adds no reference for the caller. Null for a null name.
Font* LoadFont(const char* pictureName);
void ReleaseFont(Font* font);

// Sum of the advances of the text's characters, up to its end or maxCharacters (negative: no
// limit).
int TextWidth(const Font* font, const char* text, int maxCharacters);
// Horizontal/vertical alignment: 0 centred, positive right/bottom, negative left/top.
void DrawText(Sprite* target, Font* font, int x, int y, const char* text, float position,
              int horizontalAlignment, int verticalAlignment);
