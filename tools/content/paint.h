// Shared drawing for the menu art: the palette, soft bevelled shapes lit from the upper left,
// and hand-over between our pictures and Cairo for text and vector work.
#pragma once
#include <cairo.h>

#include "image.h"

namespace content {

struct Rgb {
    double r, g, b; // 0..1
};

namespace palette {
constexpr Rgb kNavy{0.090, 0.247, 0.420};
constexpr Rgb kDeepSea{0.110, 0.435, 0.659};
constexpr Rgb kPanel{141 / 255.0, 193 / 255.0, 249 / 255.0}; // the engine's panel fill
constexpr Rgb kFoam{0.890, 0.957, 1.000};
constexpr Rgb kSun{1.000, 0.824, 0.353};
constexpr Rgb kCoral{1.000, 0.545, 0.380};
constexpr Rgb kPink{1.000, 0.420, 0.600};
constexpr Rgb kLime{0.494, 0.851, 0.341};
constexpr Rgb kSand{0.953, 0.851, 0.643};
constexpr Rgb kLavender{0.710, 0.612, 1.000};
constexpr Rgb kMist{0.690, 0.769, 0.839};
constexpr Rgb kWhite{1.0, 1.0, 1.0};
} // namespace palette

Rgb Mix(Rgb a, Rgb b, double t);

struct BevelStyle {
    Rgb base = palette::kFoam;
    Rgb outline = palette::kNavy;
    double outlineWidth = 1.6;
    double bevel = 6.0;     // width of the rounded rim that catches the light
    double relief = 1.0;    // strength of the lighting; negative sinks the shape in
    double gloss = 0.0;     // white sheen over the upper half
    double topLight = 0.08; // the upper part a little lighter, the lower a little darker
};

// A rounded rectangle composited over the picture.
void PaintBevelRect(Image& img, double x, double y, double w, double h, double radius,
                    const BevelStyle& style);
// A soft shadow of a rounded rectangle, offset down and right.
void PaintShadow(Image& img, double x, double y, double w, double h, double radius, double blur,
                 double opacity);
// A disc lit from the upper left, with sheen: bubbles.
void PaintBubble(Image& img, double cx, double cy, double radius, Rgb colour);

// The game's panel look: a gold rim around a sunken well of the engine's panel colour, with a
// soft shadow; shared by the frame pieces and by pages that bring their own panel. Opaque from 8
// pixels inside its edge.
Image PanelPlate(int w, int h);

// Cairo surface holding a copy of the picture, for text and paths; FromCairo turns it back.
cairo_surface_t* ToCairo(const Image& img);
// Text centred on (cx, cy) in the build font, filled with colour and outlined.
void DrawLabel(cairo_t* cr, const char* text, double cx, double cy, double size, Rgb fill,
               Rgb outline, double outlineWidth, bool bold = true);
void SetColour(cairo_t* cr, Rgb c, double alpha = 1.0);
// A title in the game's rounded display face centred on (cx, cy): a soft shadow toward the lower
// right, a thick outline, and a fill that runs from top to bottom colour.
void DrawTitle(cairo_t* cr, const char* text, double cx, double cy, double size, Rgb top,
               Rgb bottom, Rgb outline, double outlineWidth);
// Frees Cairo's and fontconfig's font caches before a tool exits, so leak checks see only ours.
void ReleaseFontCaches();

} // namespace content
