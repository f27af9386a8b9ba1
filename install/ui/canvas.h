// The 32-bit picture a page window is drawn into, and the drawing the controls and the wizard's
// background painter share: fills, frames, skin pictures cut from their sheets, text in the skin
// font. Colours are 0x00RRGGBB (as inst::Picture holds them); every operation clips to the
// canvas and to the canvas's clip rectangle.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "SYS/window.h"
#include "install/skin.h"

namespace ui {

constexpr uint32_t Rgb(unsigned red, unsigned green, unsigned blue) {
    return (uint32_t(red & 0xFF) << 16) | (uint32_t(green & 0xFF) << 8) | uint32_t(blue & 0xFF);
}

// Colours of the skinned controls.
constexpr uint32_t kSkinBackground = inst::kSkinColour;   // red 239, green 245, blue 228
constexpr uint32_t kButtonTextFocused = Rgb(112, 0, 60);
constexpr uint32_t kButtonTextNormal = Rgb(84, 0, 40);
constexpr uint32_t kBlack = Rgb(0, 0, 0);
constexpr uint32_t kWhite = Rgb(255, 255, 255);

struct Canvas {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels;  // width * height, rows top to bottom
    sys::Rect clip;                // drawing stays inside; Resize sets it to the whole canvas

    void Resize(int w, int h, uint32_t colour);
    uint32_t At(int x, int y) const;  // 0 outside the canvas
    void Fill(const sys::Rect& area, uint32_t colour);
    // A one-pixel outline just inside `area`.
    void Outline(const sys::Rect& area, uint32_t colour);
    // The dotted rectangle that marks keyboard focus.
    void FocusRect(const sys::Rect& area, uint32_t colour);
    // Copies w x h pixels of `picture` starting at (srcX, srcY) to (dstX, dstY).
    void Blit(const inst::Picture& picture, int srcX, int srcY, int w, int h, int dstX, int dstY);
    // A whole picture with its top-left corner at (x, y).
    void Draw(const inst::Picture& picture, int x, int y);
    // Frame `frame` of `sheet` with its anchor point at (anchorX, anchorY).
    void DrawFrame(const inst::Picture& sheet, const inst::AnimFrame& frame, int anchorX, int anchorY);
};

// The rectangle frame `frame` covers when drawn with its anchor at (anchorX, anchorY).
sys::Rect FrameRect(const inst::AnimFrame& frame, int anchorX, int anchorY);

// The skin font: Liberation Sans at 8 points (-(8 * 96 / 72) = 11 pixels em height), found at
// run time, anti-aliased. Text is Windows-1252. Without the font nothing is drawn and widths
// are 0; FontReady says which.
bool FontReady();
int FontAscent();      // baseline below the top of a line
int FontLineHeight();  // distance between two baselines
int TextWidth(const std::string& text);
int TextWidth(const char* text, size_t length);
// Draws one line of text with its baseline at `baseline`, starting at x; transparent background.
void DrawText(Canvas& canvas, int x, int baseline, const std::string& text, uint32_t colour);
void DrawText(Canvas& canvas, int x, int baseline, const char* text, size_t length, uint32_t colour);

} // namespace ui
