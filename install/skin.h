// The wizard's skin: PNG pictures decoded and blended over a fixed colour, and the "anim"
// frame tables that cut the button faces and page pictures out of their sheets.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

namespace inst {

// The colour skinned text and transparent picture parts sit on (red 239, green 245, blue 228).
constexpr uint32_t kSkinColour = 0xEFF5E4;
// Pictures larger than this are refused, so a package's picture cannot demand unbounded memory.
constexpr uint32_t kMaxPictureSide = 4096;

struct Picture {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels; // 0x00RRGGBB, rows top to bottom
};

struct AnimFrame {
    float left, top, right, bottom;                 // fractions of the sheet
    int16_t minusLeft, right16, minusTop, bottom16; // extents around the anchor
    uint16_t x, y;                                  // top-left pixel in the sheet
    int Width() const { return minusLeft + right16; }
    int Height() const { return minusTop + bottom16; }
};

// Decodes a PNG; where it has alpha, its pixels are blended over background (0x00RRGGBB).
bool DecodePng(const unsigned char* data, size_t size, uint32_t background, Picture* out);
// Reads an "anim" frame table; false when the data is not one.
bool ParseAnim(const unsigned char* data, size_t size, std::vector<AnimFrame>* frames);
// True when every frame lies inside the sheet.
bool FramesFitSheet(const std::vector<AnimFrame>& frames, const Picture& sheet);

struct Skin {
    Picture background; // PNG 118
    Picture buttons;    // PNG 119
    Picture pictures;   // PNG 120
    Picture package;    // PNG 124, until a package brings its own
    Picture marks;      // bitmap 128: the requirement list's two 18-pixel images (met, not met)
    std::vector<AnimFrame> buttonFrames;  // "anim" 115
    std::vector<AnimFrame> pictureFrames; // "anim" 117
};

// Loads the skin from the built-in resources; false when one is missing or damaged.
bool LoadSkin(Skin* skin);

} // namespace inst
