#include <algorithm>
#include <cmath>
#include <string>

#include "art.h"
#include "bubble_look.h"
#include "picture.h"
#include "shade.h"

namespace content {

namespace {

using namespace palette;

// The launcher's pointer: 8 frames of 32 x 64 (power-of-two sides, the game maps it onto
// triangles). Frame 0 is the pointer at rest; after a shot the head flashes and the shaft kicks
// back and springs out again.
constexpr int kGunW = 32, kGunH = 64, kGunFrames = 8;

Rgba GunAt(Rgb colour, int frame, double x, double y) {
    const double t = frame / double(kGunFrames - 1); // 0 at rest .. 1 settled again
    const double kick = frame == 0 ? 0 : std::sin(t * M_PI) * std::exp(-t * 1.5) * 7; // px
    const double flash = frame == 0 ? 0 : std::exp(-t * 3.5);
    const double cx = kGunW / 2.0;
    const double headTip = 3 + kick, headBase = 21 + kick * 0.8;
    const double shaftTop = headBase - 1, shaftBottom = 52;
    Rgba out;
    // Shaft: a rounded glass rod, a little wider at the bottom, kicked shorter after a shot.
    if (y > shaftTop && y < shaftBottom) {
        const double f = (y - shaftTop) / (shaftBottom - shaftTop);
        const double half = 3.6 + f * 1.6;
        const double u = (x - cx) / half;
        if (std::fabs(u) < 1) {
            const double nz = std::sqrt(1 - u * u);
            const double lit = Diffuse(u, 0, nz);
            Rgb c = Mix(Mix(colour, kNavy, 0.55), Mix(colour, kWhite, 0.25), lit);
            c = Mix(c, kWhite, (1 - SmoothStep(0.0, 0.3, std::fabs(u + 0.45))) * 0.7);
            // Gold bands.
            const double band = std::fmod(y - shaftTop + 200, 9.0);
            if (band < 1.6) c = Mix(Mix(kSun, kSand, 0.3), kNavy, 0.25 + 0.4 * (1 - lit));
            const double fade = 1 - SmoothStep(44, shaftBottom, y); // melts into the bubble
            out = Over(out, WithAlpha(c, 0.95 * fade + 0.05));
            if (fade < 0.1) out.a *= fade * 10;
        }
    }
    // Head: a rounded arrow.
    if (y > headTip - 1 && y < headBase + 2) {
        const double f = Clamp01((y - headTip) / (headBase - headTip));
        const double half = 1.5 + f * 10.5;
        const double u = (x - cx) / half;
        const double bottomCut = headBase - std::fabs(x - cx) * 0.35;
        if (std::fabs(u) < 1 && y < bottomCut) {
            const double nz = std::sqrt(std::max(0.05, 1 - u * u));
            const double lit = Diffuse(u * 0.8, -0.3, nz);
            Rgb c = Mix(Mix(colour, kNavy, 0.5), Mix(colour, kWhite, 0.3), lit);
            const double edge = std::min(1 - std::fabs(u), (bottomCut - y) / 2.0);
            c = Mix(Mix(colour, kNavy, 0.7), c, SmoothStep(0.0, 0.25, edge));
            c = Mix(c, kWhite, (1 - SmoothStep(0.0, 0.2, std::fabs(u + 0.35))) * (1 - f) * 0.8);
            c = Mix(c, kWhite, flash * 0.75);
            out = Over(WithAlpha(c, 1), out);
        }
    }
    // Flash ring around the head right after the shot.
    if (flash > 0.05) {
        const double d = std::hypot(x - cx, y - (headTip + 8));
        const double radius = 6 + t * 14;
        const double ring = std::exp(-std::pow((d - radius) / 1.6, 2)) * flash;
        out = Over(out, WithAlpha(Mix(colour, kWhite, 0.7), ring * 0.9));
    }
    return out;
}

Image GunStrip(Rgb colour) {
    Image strip(kGunW, kGunH * kGunFrames);
    for (int f = 0; f < kGunFrames; ++f)
        Composite(
            strip,
            Shade(kGunW, kGunH, 3, [&](double x, double y) { return GunAt(colour, f, x, y); }), 0,
            f * kGunH);
    return strip;
}

// The cradle behind the loaded bubble: a scallop shell with a glow of the bubble's colour. Its
// top lies 17 pixels above the launcher's centre; it reaches the bottom of the screen.
constexpr int kWeaponW = 80, kWeaponH = 42, kWeaponCentreY = 17;

Image Weapon(Rgb colour) {
    return Shade(kWeaponW, kWeaponH, 3, [colour](double x, double y) -> Rgba {
        const double cx = kWeaponW / 2.0, cy = kWeaponCentreY;
        const double dx = x - cx, dy = y - cy;
        Rgba out;
        // Glow of the loaded colour around the bubble.
        const double d = std::hypot(dx, dy);
        out = Over(
            WithAlpha(Mix(colour, kWhite, 0.3), std::exp(-std::pow((d - 17) / 3.5, 2)) * 0.8), out);
        // Shell: a fan of ribs below the bubble's equator.
        const double sy = y - (cy + 2);
        if (sy > -8) {
            const double angle = std::atan2(dx, sy + 14); // rib direction from a hinge below
            const double r = std::hypot(dx, sy + 14);
            const double outer = 38 - 3 * std::pow(std::fabs(std::sin(angle * 9)), 0.6);
            if (r < outer && r > 12 && std::fabs(angle) < 1.35) {
                const double rib = std::cos(angle * 18);
                const double lit = Clamp01(0.55 + 0.35 * rib * (angle < 0 ? 1 : -0.4) - sy * 0.004);
                Rgb c = Mix(Mix(kSand, kCoral, 0.35), kWhite, 0.25);
                c = Mix(Mix(c, kNavy, 0.45), c, lit);
                c = Mix(c, Mix(kCoral, kNavy, 0.4), SmoothStep(outer - 2.5, outer, r));
                const double a =
                    SmoothStep(-8, -3, sy) * (1 - SmoothStep(1.25, 1.35, std::fabs(angle)));
                out = Over(out, WithAlpha(c, a));
            }
        }
        // A gem of the colour in the hinge.
        const double gx = dx, gy = y - (kWeaponH - 5);
        const double g = std::hypot(gx, gy * 1.2);
        if (g < 5) {
            const double nz = std::sqrt(1 - g * g / 25);
            Rgb c =
                Mix(Mix(colour, kNavy, 0.5), Mix(colour, kWhite, 0.4), Diffuse(gx / 5, gy / 5, nz));
            out = Over(WithAlpha(c, SmoothStep(5, 4.2, g)), out);
        }
        return out;
    });
}

// The field's backdrop, sized for the widest field the rule files may ask for (14 bubbles a row,
// 464 pixels) and the full height above the launcher.
constexpr int kFieldW = 464, kFieldH = 455;

Image FieldBackground() {
    return Shade(kFieldW, kFieldH, 1, [](double x, double y) {
        const double v = y / kFieldH;
        Rgb c = Mix(Mix(kDeepSea, kFoam, 0.18), Mix(kNavy, kDeepSea, 0.35), std::pow(v, 0.8));
        // Sun rays slanting in from the upper left.
        const double ray = PeriodicNoise((x + y * 0.45) * 0.03, 0.5, 64, 4, 3);
        c = Mix(c, Mix(kFoam, kSun, 0.2), SmoothStep(0.55, 0.9, ray) * 0.16 * (1 - v));
        // Caustics: bright where two layers of cells meet.
        const double n1 = PeriodicFbm(x * 0.035, y * 0.05, 64, 64, 2, 11);
        const double n2 = PeriodicFbm(x * 0.035 + 7.3, y * 0.05 + 2.1, 64, 64, 2, 12);
        const double caustic = 1 - SmoothStep(0.0, 0.06, std::fabs(n1 - n2));
        c = Mix(c, kFoam, caustic * 0.10 * (1 - 0.6 * v));
        // A soft vignette toward the walls.
        const double edge = std::min(x, kFieldW - x);
        c = Mix(Mix(kNavy, c, 0.55), c, SmoothStep(0, 22, edge));
        return WithAlpha(c, 1);
    });
}

// Side panels show a caption 20 pixels and a value 50 pixels below their top.
Image SidePanel() {
    return PanelPlate(96, 84);
}

// The beam across the top of the field: a bevelled driftwood bar with gold caps.
Image Beam() {
    const int w = 512, h = 30;
    Image img(w, h);
    PaintShadow(img, 4, 5, w - 8, h - 7, 10, 2.0, 0.4);
    BevelStyle wood;
    wood.base = Mix(kCoral, kSand, 0.55);
    wood.bevel = 6;
    wood.gloss = 0.3;
    PaintBevelRect(img, 2, 2, w - 8, h - 8, 10, wood);
    BevelStyle cap;
    cap.base = Mix(kSun, kSand, 0.3);
    cap.bevel = 5;
    cap.gloss = 0.5;
    PaintBevelRect(img, 2, 1, 34, h - 6, 10, cap);
    PaintBevelRect(img, w - 40, 1, 34, h - 6, 10, cap);
    for (int i = 0; i < 7; ++i) PaintBubble(img, 80 + i * 58.7, (h - 6) / 2.0, 3.2, kFoam);
    return img;
}

// The crest of the water line: foam at the top fading into the translucent water below it.
Image WaveCrest() {
    return Shade(512, 10, 2, [](double x, double y) {
        const double foam = PeriodicNoise(x * 0.12, 0.5, 64, 4, 5);
        const double a = y < 2 ? SmoothStep(0, 1.5, y) : 1 - SmoothStep(2, 10, y);
        return WithAlpha(Mix(Mix(kFoam, kDeepSea, 0.25), kWhite, Clamp01(foam * (1 - y / 6))),
                         a * 0.85);
    });
}

// The score gauge, drawn filled from the bottom: a glass tube of glowing liquid.
Image Thermometer() {
    const int w = 20, h = 270;
    return Shade(w, h, 3, [](double x, double y) -> Rgba {
        const double r = 7.5, cx = w / 2.0;
        double dy = 0;
        if (y < r + 1) dy = (r + 1) - y;
        if (y > h - r - 1) dy = y - (h - r - 1);
        const double d = std::hypot(x - cx, dy);
        if (d > r + 1.5) return {};
        const double u = (x - cx) / r;
        const double v = y / h;
        const Rgb liquid = Mix(Mix(kSun, kWhite, 0.1), Mix(kCoral, kPink, 0.3), v);
        const double nz = std::sqrt(std::max(0.0, 1 - u * u));
        Rgb c = Mix(Mix(liquid, kNavy, 0.4), liquid, Diffuse(u, 0, nz));
        c = Mix(c, kWhite, (1 - SmoothStep(0.0, 0.25, std::fabs(u + 0.45))) * 0.7);
        c = Mix(c, Mix(kSun, kSand, 0.2), SmoothStep(r - 0.8, r + 0.2, d)); // gold rim
        return WithAlpha(c, 1 - SmoothStep(r + 0.8, r + 1.5, d));
    });
}

// A banner: a title over a soft ribbon, black where nothing is drawn.
Image Banner(const char* text, Rgb ribbon, Rgb top, Rgb bottom) {
    const int w = 360, h = 96;
    Image img(w, h);
    PaintShadow(img, 16, 22, w - 30, h - 40, 26, 4, 0.35);
    BevelStyle style;
    style.base = ribbon;
    style.bevel = 9;
    style.gloss = 0.45;
    style.outline = Mix(ribbon, kNavy, 0.7);
    PaintBevelRect(img, 12, 16, w - 30, h - 40, 26, style);
    cairo_surface_t* surface = ToCairo(img);
    cairo_t* cr = cairo_create(surface);
    DrawTitle(cr, text, w / 2.0 - 4, h / 2.0 - 4, 42, top, bottom, kNavy, 3);
    cairo_destroy(cr);
    Image out = FromCairo(surface);
    cairo_surface_destroy(surface);
    return out;
}

} // namespace

bool DrawFieldArt(const std::string& root) {
    for (int key = 0; key < kPlainColours; ++key) {
        const Rgb colour = KeyColour(BubbleStyle::Candy, key);
        const std::string n = std::to_string(key) + ".tga";
        const Image gun = GunStrip(colour);
        const Image weapon = Weapon(colour);
        if (!SavePicture(root, "DATA\\GUN\\" + n, gun, PictureKind::Opaque) ||
            !SavePicture(root, "DATA\\WEAPON\\" + n, weapon, PictureKind::Opaque))
            return false;
        // Every colour has the same outline, so one mask serves them all.
        if (key == 0 && (!SaveMask(root, "DATA\\GUN\\_gun.tga", gun) ||
                         !SaveMask(root, "DATA\\WEAPON\\_weapon.tga", weapon)))
            return false;
    }
    return SavePicture(root, "DATA\\background.tga", FieldBackground(), PictureKind::Opaque) &&
           SavePicture(root, "DATA\\Side_Menu.tga", SidePanel(), PictureKind::Masked) &&
           SavePicture(root, "DATA\\balka_center.tga", Beam(), PictureKind::Masked) &&
           SavePicture(root, "DATA\\wave.tga", WaveCrest(), PictureKind::Masked) &&
           SavePicture(root, "DATA\\thermometr.tga", Thermometer(), PictureKind::Masked) &&
           SavePicture(root, "DATA\\defeat.tga",
                       Banner("GAME OVER", Mix(kLavender, kNavy, 0.35), kFoam, kMist),
                       PictureKind::Masked) &&
           SavePicture(root, "DATA\\levelup.tga",
                       Banner("LEVEL UP!", Mix(kCoral, kPink, 0.4), kWhite, kSun),
                       PictureKind::Masked);
}

} // namespace content
