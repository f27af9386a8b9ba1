#include "bubble_look.h"

#include <algorithm>
#include <cmath>

#include "picture.h"
#include "shade.h"

namespace content {

const BubbleSet kBubbleSets[3] = {
    {"DATA\\Candy.BUBBLE", BubbleStyle::Candy},
    {"DATA\\Pearl.BUBBLE", BubbleStyle::Pearl},
    {"DATA\\Symbols.BUBBLE", BubbleStyle::Symbols},
};

namespace {

Rgb Hex(unsigned v) {
    return {((v >> 16) & 0xFF) / 255.0, ((v >> 8) & 0xFF) / 255.0, (v & 0xFF) / 255.0};
}

// Keys: 0 red, 1 yellow, 2 green, 3 blue, 4 purple, 5 orange, 6 sky, 7 grey. The symbol set
// takes the hues that stay apart for the common colour-vision deficiencies and adds a symbol.
const unsigned kCandy[kPlainColours] = {0xF2343F, 0xFFD21F, 0x35C759, 0x2F6BFF,
                                        0xA44DF0, 0xFF8A1A, 0x2FD3F5, 0x8D99A6};
const unsigned kPearl[kPlainColours] = {0xF7858C, 0xFBE38A, 0x8FE0A5, 0x8DAEFA,
                                        0xC9A2F2, 0xFDB982, 0x97E6F7, 0xC2C8CF};
const unsigned kSymbols[kPlainColours] = {0xD55E00, 0xF0E442, 0x009E73, 0x0072B2,
                                          0xCC79A7, 0xE69F00, 0x56B4E9, 0x8D99A6};

Rgb Lighten(Rgb c, double t) {
    return Mix(c, palette::kWhite, t);
}
Rgb Darken(Rgb c, double t) {
    // Shadows lean toward the deep sea rather than black, so they stay colourful.
    return Mix(c, Mix(palette::kNavy, c, 0.25), t);
}

Rgba BubbleAt(BubbleStyle style, Rgb base, int key, double x, double y) {
    const double cx = kBubbleSize / 2.0, cy = kBubbleSize / 2.0, radius = kBubbleSize / 2.0 - 0.6;
    const double dx = (x - cx) / radius, dy = (y - cy) / radius;
    const double d2 = dx * dx + dy * dy;
    if (d2 >= 1) return {};
    const double d = std::sqrt(d2), nz = std::sqrt(1 - d2);
    const double diffuse = Diffuse(dx, dy, nz);
    Rgb c;
    if (style == BubbleStyle::Pearl) {
        // Pearls: milky, with a shimmer that turns the hue near the rim.
        c = Mix(Darken(base, 0.45), Lighten(base, 0.35), std::pow(diffuse, 0.7));
        const double fresnel = std::pow(d, 3);
        const Rgb shimmer =
            Mix(Hex(0xB9F3FF), Hex(0xFFC9F0), 0.5 + 0.5 * std::sin(6 * std::atan2(dy, dx)));
        c = Mix(c, shimmer, fresnel * 0.45);
    } else {
        c = Mix(Darken(base, 0.7), base, std::pow(diffuse, 0.85));
        c = Mix(c, Lighten(base, 0.25), Clamp01(diffuse - 0.85) * 3);
        // Light passing through the candy leaves it at the lower right.
        const double glow =
            SmoothStep(0.35, 0.9, d) * Clamp01((dx + dy) * 0.9) * (1 - SmoothStep(0.9, 1.0, d));
        c = Mix(c, Lighten(base, 0.45), glow * 0.55);
    }
    if (key == 7 && style != BubbleStyle::Pearl) {
        // The grey is stone-like: speckled and less shiny.
        const double speck = PeriodicNoise(x * 0.7, y * 0.7, 64, 64, 7);
        c = Mix(c, Darken(base, 0.5), SmoothStep(0.6, 0.75, speck) * 0.5);
    }
    // A soft rim in the colour's own dark shade.
    c = Mix(c, Darken(base, 0.9), SmoothStep(0.86, 1.0, d) * 0.75);
    // The broad window reflection at the upper left and a sharp glint inside it.
    const double hx = (dx + 0.34) * 0.7071 + (dy + 0.40) * 0.7071;
    const double hy = -(dx + 0.34) * 0.7071 + (dy + 0.40) * 0.7071;
    const double window = 1 - SmoothStep(0.7, 1.0, std::sqrt(hx * hx / 0.09 + hy * hy / 0.033));
    const double gloss = style == BubbleStyle::Pearl ? 0.45 : (key == 7 ? 0.4 : 0.7);
    c = Mix(c, palette::kWhite, window * gloss);
    const double gx = dx + 0.46, gy = dy + 0.46;
    c = Mix(c, palette::kWhite, (1 - SmoothStep(0.05, 0.12, std::sqrt(gx * gx + gy * gy))) * 0.95);
    // A small bounce light on the lower-right rim.
    const double bx = dx - 0.52, by = dy - 0.55;
    c = Mix(c, palette::kWhite, (1 - SmoothStep(0.0, 0.22, std::sqrt(bx * bx + by * by))) * 0.25);
    return WithAlpha(c, 1);
}

void SymbolPath(cairo_t* cr, int key, double cx, double cy, double r) {
    switch (key) {
    case 0: // heart
        cairo_move_to(cr, cx, cy + r * 0.9);
        cairo_curve_to(cr, cx - r * 1.3, cy - r * 0.05, cx - r * 0.75, cy - r * 1.15, cx,
                       cy - r * 0.45);
        cairo_curve_to(cr, cx + r * 0.75, cy - r * 1.15, cx + r * 1.3, cy - r * 0.05, cx,
                       cy + r * 0.9);
        cairo_close_path(cr);
        break;
    case 1: // star
        StarPath(cr, cx, cy + r * 0.08, r * 1.1);
        break;
    case 2: // triangle
        cairo_move_to(cr, cx, cy - r * 0.95);
        cairo_line_to(cr, cx + r * 0.95, cy + r * 0.7);
        cairo_line_to(cr, cx - r * 0.95, cy + r * 0.7);
        cairo_close_path(cr);
        break;
    case 3: // diamond
        cairo_move_to(cr, cx, cy - r);
        cairo_line_to(cr, cx + r * 0.75, cy);
        cairo_line_to(cr, cx, cy + r);
        cairo_line_to(cr, cx - r * 0.75, cy);
        cairo_close_path(cr);
        break;
    case 4: { // plus
        const double t = r * 0.36;
        cairo_rectangle(cr, cx - t, cy - r * 0.9, 2 * t, r * 1.8);
        cairo_rectangle(cr, cx - r * 0.9, cy - t, r * 1.8, 2 * t);
        break;
    }
    case 5: // ring
        cairo_arc(cr, cx, cy, r * 0.85, 0, 2 * M_PI);
        cairo_new_sub_path(cr);
        cairo_arc_negative(cr, cx, cy, r * 0.42, 2 * M_PI, 0);
        break;
    case 6: // square
        cairo_rectangle(cr, cx - r * 0.7, cy - r * 0.7, r * 1.4, r * 1.4);
        break;
    default: // the grey carries a small cross, so it too reads without colour
        cairo_move_to(cr, cx - r * 0.55, cy - r * 0.55);
        cairo_line_to(cr, cx + r * 0.55, cy + r * 0.55);
        cairo_move_to(cr, cx + r * 0.55, cy - r * 0.55);
        cairo_line_to(cr, cx - r * 0.55, cy + r * 0.55);
        break;
    }
}

} // namespace

void StarPath(cairo_t* cr, double cx, double cy, double r) {
    for (int i = 0; i < 10; ++i) {
        const double a = -M_PI / 2 + i * M_PI / 5;
        const double rr = i % 2 ? r * 0.45 : r;
        if (i == 0)
            cairo_move_to(cr, cx + rr * std::cos(a), cy + rr * std::sin(a));
        else
            cairo_line_to(cr, cx + rr * std::cos(a), cy + rr * std::sin(a));
    }
    cairo_close_path(cr);
}

Rgb KeyColour(BubbleStyle style, int key) {
    const unsigned* table = style == BubbleStyle::Candy   ? kCandy
                            : style == BubbleStyle::Pearl ? kPearl
                                                          : kSymbols;
    return Hex(table[key & 7]);
}

void DrawKeySymbol(cairo_t* cr, int key, double cx, double cy, double radius, Rgb rim) {
    cairo_save(cr);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    // The ring needs its hole; the plus's two bars must not cancel where they cross.
    cairo_set_fill_rule(cr, (key & 7) == 5 ? CAIRO_FILL_RULE_EVEN_ODD : CAIRO_FILL_RULE_WINDING);
    const bool stroked = (key & 7) == 7;
    const double lw = std::max(1.0, radius * 0.28);
    // Drop shadow toward the lower right, away from the light.
    SymbolPath(cr, key & 7, cx + 0.7, cy + 0.9, radius);
    SetColour(cr, palette::kNavy, 0.35);
    if (stroked) {
        cairo_set_line_width(cr, lw * 2.2);
        cairo_stroke(cr);
    } else {
        cairo_fill(cr);
    }
    SymbolPath(cr, key & 7, cx, cy, radius);
    SetColour(cr, rim, 0.95);
    cairo_set_line_width(cr, stroked ? lw * 2.6 : lw);
    cairo_stroke_preserve(cr);
    SetColour(cr, palette::kWhite);
    if (stroked) {
        cairo_set_line_width(cr, lw * 1.3);
        cairo_stroke(cr);
    } else {
        cairo_fill(cr);
    }
    cairo_restore(cr);
}

Image DrawBubble(BubbleStyle style, int key) {
    const Rgb base = KeyColour(style, key);
    Image img = Shade(kBubbleSize, kBubbleSize, 4,
                      [&](double x, double y) { return BubbleAt(style, base, key, x, y); });
    if (style != BubbleStyle::Symbols) return img;
    cairo_surface_t* surface = ToCairo(img);
    cairo_t* cr = cairo_create(surface);
    // Only where the bubble is, so the shared silhouette stays the bubble's.
    cairo_arc(cr, 16, 16, 15.4, 0, 2 * M_PI);
    cairo_clip(cr);
    DrawKeySymbol(cr, key, 16.3, 16.6, 7.2, Mix(base, palette::kNavy, 0.6));
    cairo_destroy(cr);
    Image out = FromCairo(surface);
    cairo_surface_destroy(surface);
    // Cairo's edge pixels may gain alpha from the symbol's rim; the silhouette stays the shade's.
    for (size_t i = 3; i < out.rgba.size(); i += 4) out.rgba[i] = img.rgba[i];
    return out;
}

} // namespace content
