#include <algorithm>
#include <cmath>
#include <string>

#include "art.h"
#include "picture.h"
#include "shade.h"

namespace content {

namespace {

using namespace palette;

// Layout of the backdrop (x from the left of the screen): rocks 0..128 and 512..640, the left
// edge of the fall from 90 (blending into the rock, opaque where the rock ends), the fall itself
// 138..502, the right edge to 550.
constexpr int kStoneW = 128, kScreenH = 480;
constexpr int kEdgeW = 48, kFallW = 364;
// Where the game draws the fall (its left edge) and a menu's foot of the fall.
constexpr int kWaterfallLeft = 90, kFootX = 87;
// The game samples rows modulo (height - 1), so the texture repeats every 256 rows and its last
// row repeats its first.
constexpr int kFallPeriod = 256, kFallH = kFallPeriod + 1;

const Rgb kLagoon{0.05, 0.55, 0.66};
const Rgb kTeal{0.10, 0.42, 0.55};

// Falling water at texture point (x, y): long bright streaks of foam over teal, repeating every
// kFallPeriod rows and every `width` columns.
double Streaks(double x, double y, int width, uint32_t seed) {
    const int cellsX = width / 7;
    const double u = x * cellsX / width, v = y * 8.0 / kFallPeriod;
    const double coarse = PeriodicFbm(u, v, cellsX, 8, 3, seed);
    const double fine = PeriodicFbm(u * 3, v * 2, cellsX * 3, 16, 2, seed + 7);
    return Clamp01(coarse * 0.7 + fine * 0.45 - 0.12);
}

Rgb WaterColour(double s, double depth) {
    Rgb c = Mix(Mix(kTeal, kNavy, 0.25 * depth), Mix(kLagoon, kFoam, 0.35), SmoothStep(0.25, 0.55, s));
    return Mix(c, kWhite, SmoothStep(0.55, 0.85, s) * 0.9);
}

Image Fall() {
    return Shade(kFallW, kFallH, 1, [](double x, double y) {
        const double s = Streaks(x, y, kFallW, 31);
        // The middle of the sheet is thicker and brighter.
        const double across = std::fabs(x / kFallW - 0.5) * 2;
        return WithAlpha(WaterColour(s + 0.12 * (1 - across), across * 0.5), 1);
    });
}

// The sides of the fall: the sheet thins out into ragged streaks over the rock.
Image FallEdge(bool left) {
    return Shade(kEdgeW, kFallH, 1, [left](double x, double y) {
        // 0 at the outer side, 1 where the rock ends (10 pixels before the fall) and on.
        const double inward = (left ? x : kEdgeW - x) / (kEdgeW - 10.0);
        const double s = Streaks(x + (left ? 0 : 17), y, kEdgeW, left ? 41 : 43);
        const double rag = PeriodicFbm(x / kEdgeW * 3, y * 16.0 / kFallPeriod, 3, 16, 2, left ? 5 : 6);
        const double a = inward >= 1 ? 1 : SmoothStep(0.1, 0.9, inward + (rag - 0.5) * 0.5 * inward);
        return WithAlpha(WaterColour(s + 0.25 * (1 - inward), 0.3), a);
    });
}

// Boulders: each pixel belongs to the nearest of scattered centres; a boulder is a dome over
// its cell, so neighbouring boulders meet in dark crevices.
struct Boulders {
    double height = 0; // 0 in a crevice .. 1 on top of a boulder
    int cell = 0;      // which boulder, for its own tint
};

Boulders BoulderAt(double x, double y, uint32_t seed) {
    const double size = 58;
    // A gentle warp keeps the outlines from looking like paving.
    x += (PeriodicFbm(x / 40, y / 40, 64, 64, 2, seed + 20) - 0.5) * 26;
    y += (PeriodicFbm(x / 40 + 5, y / 40, 64, 64, 2, seed + 21) - 0.5) * 26;
    const int gx = static_cast<int>(std::floor(x / size)), gy = static_cast<int>(std::floor(y / size));
    double f1 = 1e9, f2 = 1e9;
    int best = 0;
    for (int j = -1; j <= 1; ++j)
        for (int i = -1; i <= 1; ++i) {
            const int cx = gx + i, cy = gy + j;
            const double jx = PeriodicNoise(cx * 1.37 + 0.5, cy * 1.91 + 0.5, 97, 97, seed) * 0.8 + 0.1;
            const double jy = PeriodicNoise(cx * 2.11 + 0.5, cy * 1.13 + 0.5, 97, 97, seed + 1) * 0.8 + 0.1;
            const double px = (cx + jx) * size, py = (cy + jy) * size;
            const double d = std::hypot((x - px) * 1.0, (y - py) * 1.25);
            if (d < f1) {
                f2 = f1;
                f1 = d;
                best = cx * 131 + cy * 71;
            } else if (d < f2) {
                f2 = d;
            }
        }
    return {std::sqrt(SmoothStep(0, 26, f2 - f1)) * (1 - 0.35 * SmoothStep(14, 46, f1)), best};
}

// Rock with coral and moss, lit from the upper left, sinking into the lagoon toward the bottom.
Image Stone(bool left) {
    return Shade(kStoneW, kScreenH, 1, [left](double x, double y) {
        const uint32_t seed = left ? 61 : 67;
        const double ox = left ? 0 : 517; // the right rock continues elsewhere in the same field
        auto height = [&](double px, double py) {
            return BoulderAt(px + ox, py, seed).height + 0.08 * PeriodicFbm(px / 9, py / 9, 64, 64, 2, seed);
        };
        const Boulders b = BoulderAt(x + ox, y, seed);
        const double hx = height(x + 1, y) - height(x - 1, y);
        const double hy = height(x, y + 1) - height(x, y - 1);
        const double nx = -hx * 6, ny = -hy * 6, nz = 1;
        const double nl = std::sqrt(nx * nx + ny * ny + nz * nz);
        const double lit = Diffuse(nx / nl, ny / nl, nz / nl);
        const double tint = PeriodicNoise(b.cell * 0.37, 0.5, 64, 4, seed + 9);
        const Rgb rock = Mix(Rgb{0.55, 0.47, 0.58}, Rgb{0.70, 0.58, 0.52}, tint);
        Rgb c = Mix(Mix(rock, kNavy, 0.55), Mix(rock, kSand, 0.35), Clamp01(lit * 1.25));
        c = Mix(Mix(kNavy, rock, 0.3), c, SmoothStep(0.0, 0.35, b.height)); // crevices
        // Moss on the tops that face up, coral clumps on some boulders.
        const double up = Clamp01(-ny / nl * 2);
        c = Mix(c, Mix(Mix(kLime, kNavy, 0.35), kLime, lit), up * SmoothStep(0.5, 0.8, b.height) * 0.55);
        const double coral = PeriodicFbm(x / 6, y / 6, 64, 128, 2, seed + 3);
        if (tint > 0.6 && b.height > 0.3)
            c = Mix(c, Mix(Mix(kCoral, kPink, coral), kWhite, lit * 0.35), SmoothStep(0.55, 0.62, coral) * 0.9);
        // The inner edge lies in the fall's shade and spray.
        const double inner = left ? x / kStoneW : 1 - x / kStoneW;
        c = Mix(c, Mix(kTeal, kFoam, 0.3), SmoothStep(0.75, 1.0, inner) * 0.3);
        // Deeper down the water tints the rock.
        c = Mix(c, Mix(kTeal, kNavy, 0.4), SmoothStep(140, 480, y) * 0.6);
        return WithAlpha(c, 1);
    });
}

// The river surface at the brink, tiling in both directions.
Image TopWater() {
    const int w = 128, h = 40;
    return Shade(w, h, 2, [](double x, double y) {
        const double n = PeriodicFbm(x / 16, y / 10, 8, 4, 3, 71);
        const double m = PeriodicFbm(x / 32, y / 20, 4, 2, 2, 73);
        const double ripple = 1 - SmoothStep(0.0, 0.04, std::fabs(n - 0.5));
        Rgb c = Mix(Mix(kDeepSea, kLagoon, 0.6), Mix(kLagoon, kFoam, 0.5), m);
        c = Mix(c, kWhite, ripple * 0.35 * m);
        return WithAlpha(c, 1);
    });
}

// Water spilling over the inner top corner of a rock.
Image SideWaterTop(bool left) {
    const int w = 48, h = 64;
    return Shade(w, h, 3, [left](double x, double y) {
        const double fx = left ? x : w - x;
        const double centre = 24 + 6 * std::sin(y / 14.0);
        const double spread = 10 + y * 0.15;
        const double across = (fx - centre) / spread;
        const double foam = PeriodicFbm(x / 8, y / 12, 6, 6, 3, left ? 81 : 83);
        double a = std::exp(-across * across * 1.6) * (1 - SmoothStep(30, 64, y));
        a = Clamp01(a * (0.6 + foam * 0.8));
        return WithAlpha(Mix(Mix(kLagoon, kFoam, 0.5), kWhite, foam), a);
    });
}

// Foam: clusters of small bubbles, each bright at its rim.
double FoamAt(double x, double y, uint32_t seed) {
    const double size = 7;
    const int gx = static_cast<int>(std::floor(x / size)), gy = static_cast<int>(std::floor(y / size));
    double best = 1e9;
    for (int j = -1; j <= 1; ++j)
        for (int i = -1; i <= 1; ++i) {
            const int cx = gx + i, cy = gy + j;
            const double px = (cx + PeriodicNoise(cx * 1.3 + 0.5, cy * 1.7 + 0.5, 97, 97, seed)) * size;
            const double py = (cy + PeriodicNoise(cx * 2.3 + 0.5, cy * 0.7 + 0.5, 97, 97, seed + 1)) * size;
            const double r = 2 + 2.5 * PeriodicNoise(cx * 0.9 + 0.5, cy * 1.1 + 0.5, 97, 97, seed + 2);
            const double d = std::hypot(x - px, y - py) / r;
            best = std::min(best, d);
        }
    if (best > 1) return 0;
    return 0.45 + 0.55 * SmoothStep(0.55, 0.95, best); // rim brighter than the middle
}

// The foot of the fall for the menus, drawn opaque from x = kFootX down to a panel's top edge.
// Its top rows are the falling sheet in the fall's own colours, so the two meet without an edge;
// the water churns into foam where it lands on the panel at the bottom. Its outer columns cover
// the fall's soft edges over the rocks: there it darkens into the shade of the wet rock.
Image FallFoot() {
    const int w = 466, h = 120;
    return Shade(w, h, 2, [](double x, double y) {
        const double v = y / h;
        const double inFall = x - (kWaterfallLeft + kEdgeW - kFootX); // column of the fall's own texture
        const double across = std::min(1.0, std::fabs(inFall / kFallW - 0.5) * 2);
        const double s = Streaks(inFall, y, kFallW, 31);
        Rgb c = WaterColour(s + 0.12 * (1 - across), across * 0.5);
        // Foam thickens towards the landing, as drifts and single bubbles.
        const double churn = PeriodicFbm(x / 30, y / 12, 16, 10, 4, 95);
        const double density = SmoothStep(0.2, 1.0, v);
        const double drift = SmoothStep(0.72 - 0.35 * density, 0.86 - 0.3 * density, churn) * density;
        c = Mix(c, Mix(kFoam, kWhite, 0.6), drift * 0.9);
        c = Mix(c, kWhite, FoamAt(x, y, 91) * 0.4 * density * (1 - drift));
        // The outer columns, over the rocks' inner edges: the water thins into the wet rock's
        // shade, with spray low down.
        const double edge = SmoothStep(0.0, 1.0, std::min(x, w - x) / 24.0);
        c = Mix(Mix(Mix(kTeal, kNavy, 0.55), kFoam, 0.5 * density), c, edge);
        return WithAlpha(c, 1);
    });
}

// A puff of spray: a few droplets in a mist.
Image Sputter(int n) {
    const int size = 16;
    return Shade(size, size, 3, [n](double x, double y) {
        double a = 0;
        for (int i = 0; i < 3 + n % 3; ++i) {
            const double px = 8 + 4 * std::sin(n * 2.1 + i * 2.4), py = 8 + 4 * std::cos(n * 1.7 + i * 2.9);
            const double r = 1.4 + ((n + i) % 3) * 0.7;
            a = std::max(a, 1 - SmoothStep(r * 0.6, r, std::hypot(x - px, y - py)));
        }
        const double mist = std::exp(-(std::pow(x - 8, 2) + std::pow(y - 8, 2)) / 18) * 0.35;
        return WithAlpha(Mix(kFoam, kWhite, 0.6), Clamp01(a * 0.85 + mist));
    });
}

} // namespace

bool DrawSceneArt(const std::string& root) {
    if (!SavePicture(root, "DATA\\flush.jpg", Fall(), PictureKind::Jpeg) ||
        !SavePicture(root, "DATA\\flush_left.tga", FallEdge(true), PictureKind::Masked) ||
        !SavePicture(root, "DATA\\flush_right.tga", FallEdge(false), PictureKind::Masked) ||
        !SavePicture(root, "DATA\\flush_down.jpg", FallFoot(), PictureKind::Jpeg) ||
        !SavePicture(root, "DATA\\Top_Water.tga", TopWater(), PictureKind::Opaque) ||
        !SavePicture(root, "DATA\\Side_L_Water_Top.tga", SideWaterTop(true), PictureKind::Masked) ||
        !SavePicture(root, "DATA\\Side_R_Water_Top.tga", SideWaterTop(false), PictureKind::Masked) ||
        !SavePicture(root, "DATA\\Stone_L.jpg", Stone(true), PictureKind::Jpeg) ||
        !SavePicture(root, "DATA\\Stone_R.jpg", Stone(false), PictureKind::Jpeg))
        return false;
    for (int i = 0; i < 6; ++i)
        if (!SavePicture(root, "DATA\\sputter000" + std::to_string(i) + ".tga", Sputter(i),
                         PictureKind::Masked))
            return false;
    return true;
}

} // namespace content
