#include <algorithm>
#include <cmath>
#include <string>

#include "art.h"
#include "picture.h"
#include "shade.h"

namespace content {

namespace {

using namespace palette;

// Layout of the backdrop (x from the left of the screen): rocks 0..104 and 536..640, the left
// edge of the fall from 90, the fall itself 138..502, the right edge to 550.
constexpr int kStoneW = 104, kScreenH = 480;
constexpr int kEdgeW = 48, kFallW = 364;
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
        const double inward = left ? x / kEdgeW : 1 - x / kEdgeW; // 0 outside, 1 at the fall
        const double s = Streaks(x + (left ? 0 : 17), y, kEdgeW, left ? 41 : 43);
        const double rag = PeriodicFbm(x / kEdgeW * 3, y * 16.0 / kFallPeriod, 3, 16, 2, left ? 5 : 6);
        const double a = SmoothStep(0.05, 0.75, inward + (rag - 0.5) * 0.6);
        return WithAlpha(WaterColour(s + 0.25 * (1 - inward), 0.3), a);
    });
}

// Rock with coral, lit from the upper left, sinking into the lagoon toward the bottom.
Image Stone(bool left) {
    return Shade(kStoneW, kScreenH, 1, [left](double x, double y) {
        const uint32_t seed = left ? 61 : 67;
        auto height = [&](double px, double py) {
            return PeriodicFbm(px / 26.0, py / 26.0, 64, 64, 4, seed);
        };
        const double hx = height(x + 1, y) - height(x - 1, y);
        const double hy = height(x, y + 1) - height(x, y - 1);
        const double nx = -hx * 9, ny = -hy * 9, nz = 1;
        const double nl = std::sqrt(nx * nx + ny * ny + nz * nz);
        const double lit = Diffuse(nx / nl, ny / nl, nz / nl);
        const double h = height(x, y);
        const Rgb rock = Mix(Rgb{0.42, 0.34, 0.40}, Rgb{0.62, 0.52, 0.50}, h);
        Rgb c = Mix(Mix(rock, kNavy, 0.6), Mix(rock, kSand, 0.3), Clamp01(lit * 1.3));
        // Coral and moss grow where the rock bulges and in the hollows.
        const double coral = PeriodicNoise(x / 9.0, y / 9.0, 64, 64, seed + 3);
        if (h > 0.55 && coral > 0.62)
            c = Mix(c, Mix(Mix(kCoral, kPink, coral), kWhite, lit * 0.3), SmoothStep(0.62, 0.7, coral) * 0.85);
        if (h < 0.42) c = Mix(c, Mix(kLime, kNavy, 0.5 - 0.3 * lit), SmoothStep(0.42, 0.32, h) * 0.6);
        // The inner edge catches spray and lies in the fall's shade.
        const double inner = left ? x / kStoneW : 1 - x / kStoneW;
        c = Mix(c, Mix(kNavy, kTeal, 0.5), SmoothStep(0.7, 1.0, inner) * 0.35);
        // Deeper down the water tints the rock.
        c = Mix(c, Mix(kTeal, kNavy, 0.3), SmoothStep(200, 480, y) * 0.55);
        return WithAlpha(c, 1);
    });
}

// The river surface at the brink, tiling in both directions.
Image TopWater() {
    const int w = 64, h = 40;
    return Shade(w, h, 2, [](double x, double y) {
        const double n = PeriodicFbm(x / 16, y / 10, 4, 4, 3, 71);
        const double ripple = 1 - SmoothStep(0.0, 0.05, std::fabs(n - 0.5));
        Rgb c = Mix(Mix(kDeepSea, kLagoon, 0.5), Mix(kLagoon, kFoam, 0.45), n);
        c = Mix(c, kWhite, ripple * 0.6);
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

// The foot of the fall for the menus: churning foam that settles into the lagoon.
Image FallFoot() {
    const int w = 466, h = 120;
    return Shade(w, h, 1, [](double x, double y) {
        const double v = y / h;
        const double foam = PeriodicFbm(x / 20, y / 14, 24, 8, 4, 91);
        Rgb c = Mix(Mix(kLagoon, kFoam, 0.35), Mix(kTeal, kNavy, 0.2), SmoothStep(0.2, 1.0, v));
        c = Mix(c, kWhite, SmoothStep(0.45, 0.8, foam) * (1 - v * 0.8));
        const double bubble = PeriodicNoise(x / 3, y / 3, 160, 40, 93);
        c = Mix(c, kFoam, SmoothStep(0.82, 0.9, bubble) * 0.6 * v);
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
