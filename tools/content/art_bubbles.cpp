#include <cmath>
#include <string>

#include "art.h"
#include "bubble_look.h"
#include "picture.h"
#include "shade.h"

namespace content {

namespace {

using namespace palette;

// The two-colour bubbles by their keys, as the game names them.
const int kTwoColourKeys[10][2] = {{0, 2}, {0, 3}, {0, 5}, {1, 3}, {2, 3},
                                   {2, 4}, {2, 5}, {2, 6}, {3, 6}, {4, 6}};

Image WithSymbols(Image img, const std::function<void(cairo_t*)>& draw) {
    cairo_surface_t* surface = ToCairo(img);
    cairo_t* cr = cairo_create(surface);
    draw(cr);
    cairo_destroy(cr);
    Image out = FromCairo(surface);
    cairo_surface_destroy(surface);
    return out;
}

// Two halves, each its key's candy colour under one shared shading, split by a pale seam, each
// half with its key's symbol so the pair also reads without colour.
Image TwoColourBubble(int left, int right) {
    const Image a = DrawBubble(BubbleStyle::Candy, left);
    const Image b = DrawBubble(BubbleStyle::Candy, right);
    Image img = a;
    for (int y = 0; y < kBubbleSize; ++y)
        for (int x = 0; x < kBubbleSize; ++x) {
            // The seam leans like the light, from upper right to lower left.
            const double s = (x + 0.5 - 16) + (y + 0.5 - 16) * 0.35;
            const double t = SmoothStep(-0.8, 0.8, s);
            uint8_t* p = img.At(x, y);
            const uint8_t* q = b.At(x, y);
            for (int c = 0; c < 3; ++c)
                p[c] = static_cast<uint8_t>(std::lround(p[c] + (q[c] - p[c]) * t));
            const double seam = 1 - SmoothStep(0.3, 1.3, std::fabs(s));
            for (int c = 0; c < 3; ++c)
                p[c] = static_cast<uint8_t>(std::lround(p[c] + (255 - p[c]) * seam * 0.6));
        }
    Image out = WithSymbols(img, [&](cairo_t* cr) {
        cairo_arc(cr, 16, 16, 15.4, 0, 2 * M_PI);
        cairo_clip(cr);
        DrawKeySymbol(cr, left, 9.6, 17.5, 3.9,
                      Mix(KeyColour(BubbleStyle::Candy, left), kNavy, 0.6));
        DrawKeySymbol(cr, right, 22.6, 15.0, 3.9,
                      Mix(KeyColour(BubbleStyle::Candy, right), kNavy, 0.6));
    });
    for (size_t i = 3; i < out.rgba.size(); i += 4) out.rgba[i] = a.rgba[i];
    return out;
}

// Bonus icons share one silhouette: a round badge in the middle of the bubble, which leaves a
// ring of the bubble's colour around it.
constexpr double kBadgeRadius = 9.6;

Image BadgeBase(Rgb face) {
    return Shade(kBubbleSize, kBubbleSize, 4, [face](double x, double y) -> Rgba {
        const double dx = (x - 16) / kBadgeRadius, dy = (y - 16) / kBadgeRadius;
        const double d = std::sqrt(dx * dx + dy * dy);
        if (d >= 1) return {};
        const double nz = std::sqrt(std::max(0.0, 1 - d * d));
        // A gold rim around a gently domed face.
        const bool rim = d > 0.8;
        const Rgb gold = Mix(kSun, kSand, 0.3);
        const Rgb base = rim ? gold : face;
        const double lit = rim ? Diffuse(dx, dy, nz) : Diffuse(dx * 0.35, dy * 0.35, 1);
        Rgb c = Mix(Mix(base, kNavy, 0.45), Mix(base, kWhite, 0.15), Clamp01(lit * 1.25));
        c = Mix(c, Mix(gold, kNavy, 0.5), SmoothStep(0.93, 1.0, d));
        c = Mix(c, Mix(gold, kNavy, 0.35), (1 - SmoothStep(0.0, 0.05, std::fabs(d - 0.8))) * 0.8);
        return WithAlpha(c, 1);
    });
}

void Text(cairo_t* cr, const char* text, double cx, double cy, double size, Rgb fill) {
    DrawLabel(cr, text, cx, cy, size, fill, kWhite, 0, true);
}

Image BonusIcon(const std::string& kind) {
    Image base = BadgeBase(kind == "bomb" ? Mix(kNavy, kMist, 0.25) : kFoam);
    Image out = WithSymbols(base, [&](cairo_t* cr) {
        cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
        cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
        if (kind == "x2" || kind == "x3") {
            const Rgb c = kind == "x2" ? Mix(kCoral, kPink, 0.5) : Mix(kLavender, kNavy, 0.35);
            // A shadowed "×n": small multiplication sign and a big digit.
            Text(cr, kind == "x2" ? "2" : "3", 18.2, 16.9, 13, Mix(c, kNavy, 0.6));
            Text(cr, kind == "x2" ? "2" : "3", 17.7, 16.2, 13, c);
            cairo_set_line_width(cr, 1.6);
            SetColour(cr, Mix(c, kNavy, 0.3));
            cairo_move_to(cr, 9.6, 13.3), cairo_line_to(cr, 13.0, 16.7);
            cairo_move_to(cr, 13.0, 13.3), cairo_line_to(cr, 9.6, 16.7);
            cairo_stroke(cr);
        } else if (kind == "help") {
            // The aiming guide: a dotted path bending off a wall to a target ring.
            SetColour(cr, Mix(kLime, kNavy, 0.35));
            for (int i = 0; i < 4; ++i) {
                cairo_arc(cr, 10.5 + i * 1.7, 22 - i * 2.6, 1.15, 0, 2 * M_PI);
                cairo_fill(cr);
            }
            cairo_set_line_width(cr, 1.7);
            cairo_arc(cr, 19.5, 11.5, 3.4, 0, 2 * M_PI);
            cairo_stroke(cr);
            cairo_arc(cr, 19.5, 11.5, 1.1, 0, 2 * M_PI);
            cairo_fill(cr);
        } else if (kind == "up") {
            SetColour(cr, Mix(kNavy, kDeepSea, 0.4), 0.4);
            cairo_move_to(cr, 16.6, 9.6), cairo_line_to(cr, 22.6, 16.4),
                cairo_line_to(cr, 19.1, 16.4);
            cairo_line_to(cr, 19.1, 22.6), cairo_line_to(cr, 14.1, 22.6),
                cairo_line_to(cr, 14.1, 16.4);
            cairo_line_to(cr, 10.6, 16.4), cairo_close_path(cr);
            cairo_fill(cr);
            SetColour(cr, kDeepSea);
            cairo_move_to(cr, 16, 9), cairo_line_to(cr, 22, 15.8), cairo_line_to(cr, 18.5, 15.8);
            cairo_line_to(cr, 18.5, 22), cairo_line_to(cr, 13.5, 22), cairo_line_to(cr, 13.5, 15.8);
            cairo_line_to(cr, 10, 15.8), cairo_close_path(cr);
            cairo_fill(cr);
        } else if (kind == "freeze") {
            SetColour(cr, Mix(kDeepSea, kFoam, 0.15));
            cairo_set_line_width(cr, 1.5);
            for (int i = 0; i < 3; ++i) {
                const double a = i * M_PI / 3 + M_PI / 2;
                const double ca = std::cos(a) * 6.6, sa = std::sin(a) * 6.6;
                cairo_move_to(cr, 16 - ca, 16 - sa), cairo_line_to(cr, 16 + ca, 16 + sa);
            }
            for (int i = 0; i < 6; ++i) {
                const double a = i * M_PI / 3 + M_PI / 2;
                const double bx = 16 + std::cos(a) * 4.2, by = 16 + std::sin(a) * 4.2;
                for (double side : {-1.0, 1.0}) {
                    const double b = a + side * 0.75;
                    cairo_move_to(cr, bx, by);
                    cairo_line_to(cr, bx + std::cos(b) * 2.4, by + std::sin(b) * 2.4);
                }
            }
            cairo_stroke(cr);
        } else if (kind == "bomb") {
            cairo_pattern_t* body = cairo_pattern_create_radial(13.5, 15, 0.5, 16, 17.5, 6.5);
            cairo_pattern_add_color_stop_rgb(body, 0, 0.55, 0.6, 0.7);
            cairo_pattern_add_color_stop_rgb(body, 1, 0.05, 0.08, 0.14);
            cairo_arc(cr, 16, 17.5, 6, 0, 2 * M_PI);
            cairo_set_source(cr, body);
            cairo_fill(cr);
            cairo_pattern_destroy(body);
            SetColour(cr, kSand);
            cairo_set_line_width(cr, 1.3);
            cairo_move_to(cr, 19.5, 12.5), cairo_curve_to(cr, 20.5, 10, 22, 10.5, 22.5, 9);
            cairo_stroke(cr);
            SetColour(cr, kSun);
            StarPath(cr, 23, 8.5, 2.6);
            cairo_fill(cr);
        } else { // rot: a paint drop in three colours, which repaints the grey
            const Rgb drops[3] = {KeyColour(BubbleStyle::Candy, 0),
                                  KeyColour(BubbleStyle::Candy, 1),
                                  KeyColour(BubbleStyle::Candy, 3)};
            for (int i = 0; i < 3; ++i) {
                const double a = -M_PI / 2 + i * 2 * M_PI / 3;
                const double cx = 16 + std::cos(a) * 3.4, cy = 16.5 + std::sin(a) * 3.4;
                cairo_arc(cr, cx, cy, 3.4, 0, 2 * M_PI);
                SetColour(cr, drops[i], 0.92);
                cairo_fill(cr);
            }
            SetColour(cr, kWhite, 0.8);
            cairo_arc(cr, 14.8, 12.2, 1.0, 0, 2 * M_PI);
            cairo_fill(cr);
        }
    });
    for (size_t i = 3; i < out.rgba.size(); i += 4) out.rgba[i] = base.rgba[i];
    return out;
}

// Frost over the lower half of a bubble with a few icicles, drawn from 2 pixels above the
// bubble's centre.
Image Ice() {
    const int w = 32, h = 21;
    return Shade(w, h, 4, [](double x, double y) -> Rgba {
        const double cx = 16, cy = 2; // the bubble's centre in the ice picture
        const double dx = x - cx, dy = y - cy;
        const double d = std::sqrt(dx * dx + dy * dy);
        double a = 0;
        Rgb c = Mix(kFoam, kWhite, 0.3);
        // A crust with a jagged upper edge, faceted like crystals and brightest at the rim.
        const double edge = 1.5 + 3.5 * PeriodicNoise(x * 0.45, 0.5, 16, 4, 23);
        if (d < 15.8 && dy > edge - 2) {
            const double facet = PeriodicNoise(x * 0.35 + y * 0.2, y * 0.35 - x * 0.1, 16, 16, 21);
            const double shine =
                SmoothStep(0.55, 0.62, facet) * (1 - SmoothStep(0.62, 0.75, facet));
            a = 0.42 + 0.3 * SmoothStep(10, 15.6, d) + 0.25 * shine;
            a *= SmoothStep(edge - 2, edge, dy);
            c = Mix(Mix(kDeepSea, kFoam, 0.75), kWhite,
                    Clamp01(0.35 * facet + shine + 0.4 * SmoothStep(12, 15.6, d)));
            // A bright line along the crust's top edge.
            c = Mix(c, kWhite, (1 - SmoothStep(0.0, 1.2, std::fabs(dy - edge))) * 0.8);
            if (std::fabs(dy - edge) < 1.2) a = std::max(a, 0.75);
        }
        // Icicles below the rim.
        const double icicles[3][3] = {{9, 15, 4}, {17, 16.5, 4.3}, {23.5, 14.8, 3.5}};
        for (const auto& ic : icicles) {
            const double top = ic[1], len = ic[2];
            if (y > top - 1 && y < top + len) {
                const double half = 1.6 * (1 - (y - top) / len);
                if (std::fabs(x - ic[0]) < half) {
                    a = std::max(a, 0.8);
                    c = Mix(kFoam, kWhite, x < ic[0] ? 0.8 : 0.2);
                }
            }
        }
        return WithAlpha(c, a);
    });
}

// Additive debris on black: light only adds, so black is nothing.
Image Glow(int size, const std::function<double(double, double)>& brightness, Rgb tint) {
    return Shade(size, size, 4, [&](double x, double y) {
        const double v = Clamp01(brightness(x, y));
        return Rgba{tint.r * v, tint.g * v, tint.b * v, 1};
    });
}

Image BurstBubble() {
    return Glow(32,
                [](double x, double y) {
                    const double d = std::hypot(x - 16, y - 16);
                    const double ring = std::exp(-std::pow((d - 13.5) / 1.6, 2));
                    const double glint =
                        std::exp(-(std::pow(x - 10, 2) + std::pow(y - 10, 2)) / 5.0);
                    return ring * 0.75 + glint * 0.9 + 0.08 * (d < 13 ? 1 : 0);
                },
                {0.75, 0.92, 1.0});
}

Image SmallBubble() {
    return Glow(10,
                [](double x, double y) {
                    const double d = std::hypot(x - 5, y - 5);
                    const double ring = std::exp(-std::pow((d - 3.6) / 0.8, 2));
                    const double glint =
                        std::exp(-(std::pow(x - 3.6, 2) + std::pow(y - 3.4, 2)) / 0.8);
                    return ring * 0.7 + glint * 0.8 + 0.12 * (d < 3.6 ? 1 : 0);
                },
                {0.7, 0.9, 1.0});
}

Image Snowflake() {
    return Glow(16,
                [](double x, double y) {
                    const double dx = x - 8, dy = y - 8, d = std::hypot(dx, dy);
                    double v = 0;
                    for (int i = 0; i < 6; ++i) {
                        const double a = i * M_PI / 3;
                        const double along = dx * std::cos(a) + dy * std::sin(a);
                        const double across = -dx * std::sin(a) + dy * std::cos(a);
                        if (along > 0 && along < 7)
                            v = std::max(v, std::exp(-across * across / 0.35));
                        // Side twigs.
                        const double bx = along - 4.2;
                        for (double s : {-1.0, 1.0}) {
                            const double t = bx * 0.5 + s * across * 0.866;
                            const double off = -bx * 0.866 * s + across * 0.5;
                            if (t > 0 && t < 2.2) v = std::max(v, 0.8 * std::exp(-off * off / 0.3));
                        }
                    }
                    return v * (1 - SmoothStep(7, 8, d)) + std::exp(-d * d / 3) * 0.5;
                },
                {0.85, 0.95, 1.0});
}

} // namespace

bool DrawBubbleArt(const std::string& root) {
    for (const BubbleSet& set : kBubbleSets)
        for (int key = 0; key < kPlainColours; ++key)
            if (!SavePicture(root, std::string(set.folder) + "\\" + std::to_string(key) + ".tga",
                             DrawBubble(set.style, key), PictureKind::Opaque))
                return false;
    if (!SaveMask(root, "DATA\\_bubble.tga", DrawBubble(BubbleStyle::Candy, 0))) return false;
    for (const auto& keys : kTwoColourKeys) {
        const std::string name =
            "DATA\\BONUS\\" + std::to_string(keys[0]) + std::to_string(keys[1]) + ".tga";
        if (!SavePicture(root, name, TwoColourBubble(keys[0], keys[1]), PictureKind::Opaque))
            return false;
    }
    for (const char* kind : {"x2", "help", "up", "freeze", "x3", "bomb", "rot"})
        if (!SavePicture(root, std::string("DATA\\BONUS\\") + kind + ".tga", BonusIcon(kind),
                         PictureKind::Opaque))
            return false;
    return SaveMask(root, "DATA\\BONUS\\_bonus.tga", BadgeBase(kFoam)) &&
           SavePicture(root, "DATA\\ice.tga", Ice(), PictureKind::Masked) &&
           SavePicture(root, "DATA\\bub.tga", BurstBubble(), PictureKind::Opaque) &&
           SavePicture(root, "DATA\\bubsmall.tga", SmallBubble(), PictureKind::Opaque) &&
           SavePicture(root, "DATA\\snowflake.tga", Snowflake(), PictureKind::Opaque);
}

} // namespace content
