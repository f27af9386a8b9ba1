// The look of one bubble colour, shared by the bubble sets, the two-colour bubbles, the launcher
// and the contact sheet: the colour of each key in each set, and the symbol the colour-blind set
// puts on it.
#pragma once
#include <cairo.h>

#include "image.h"
#include "paint.h"

namespace content {

constexpr int kBubbleSize = 32;
constexpr int kPlainColours = 8; // 0..6 fired by the launcher, 7 the grey

enum class BubbleStyle {
    Candy,   // glossy candy, the default
    Pearl,   // soft pearls with a shimmer
    Symbols, // colour-blind friendly colours, each with its own symbol
};

struct BubbleSet {
    const char*
        folder; // "DATA\\Candy.BUBBLE"; the scan lists them sorted, so the order is the name order
    BubbleStyle style;
};
extern const BubbleSet kBubbleSets[3];

Rgb KeyColour(BubbleStyle style, int key);
// A 32 x 32 bubble of one key (alpha is the bubble's silhouette, the same for every key).
Image DrawBubble(BubbleStyle style, int key);
// The symbol of a key, centred on (cx, cy) with the given radius, white with a dark rim.
// A five-pointed star path of outer radius r.
void StarPath(cairo_t* cr, double cx, double cy, double r);
void DrawKeySymbol(cairo_t* cr, int key, double cx, double cy, double radius, Rgb rim);

} // namespace content
