#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

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
// The flat sky the game paints above the river, between the rocks (0xff99b2eb).
const Rgb kSky{0x99 / 255.0, 0xb2 / 255.0, 0xeb / 255.0};

// Rows of the surface strip: the game tiles it from y = 16, so the brink lies at y = 32, the
// highest row a menu's foot of the fall reaches.
constexpr int kTopWaterH = 16, kSkyRows = 16;
// The rocks' faces along the fall are smooth wet cliff, the same in every row, for the width
// that the menus' foot of the fall covers (it starts at x = 87 and is as wide as the fall with
// its edges); the boulders' outline wanders up to 2 kCliffBlend columns beyond that.
constexpr double kCliffW = kStoneW - kFootX, kCliffBlend = 14;

// Grooves worn down the wet cliff, 0..1, at distance d from the rock's inner edge.
double Grooves(double d, bool left) {
    return PeriodicFbm(d / 9 + (left ? 0 : 9), 0.5, 64, 4, 3, left ? 51 : 53);
}

// The wet cliff at distance d from the rock's inner edge (d = 0 where the fall begins): dark
// rock worn into vertical grooves, lit from the left, filmed with water and misted by spray.
Rgb Cliff(double d, bool left) {
    const double g = Grooves(d, left);
    // The slope across the grooves turns each toward or away from the light.
    const double slope = (Grooves(d + 0.7, left) - Grooves(d - 0.7, left)) * (left ? 1 : -1);
    const double lit = Clamp01(0.45 + slope * 4.5 + (left ? -0.1 : 0.1));
    const Rgb rock = Mix(Rgb{0.55, 0.47, 0.58}, kNavy, 0.5);
    Rgb c = Mix(Mix(rock, kNavy, 0.5), Mix(rock, kSand, 0.3), lit);
    c = Mix(c, Mix(kLime, kNavy, 0.55), SmoothStep(0.55, 0.2, g) * 0.35); // algae in the grooves
    c = Mix(c, Mix(kTeal, kNavy, 0.4), 0.3);                              // the water's tint
    c = Mix(c, Mix(kFoam, kLagoon, 0.3), SmoothStep(0.7, 0.9, g) * 0.3);  // water films
    // Spray mists the rock next to the falling water.
    return Mix(c, Mix(kTeal, kFoam, 0.45), (1 - SmoothStep(0, 12, d)) * 0.5);
}

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
    Rgb c =
        Mix(Mix(kTeal, kNavy, 0.25 * depth), Mix(kLagoon, kFoam, 0.35), SmoothStep(0.25, 0.55, s));
    return Mix(c, kWhite, SmoothStep(0.55, 0.85, s) * 0.9);
}

// A point of the falling sheet, at texture column x.
Rgba FallAt(double x, double y) {
    const double s = Streaks(x, y, kFallW, 31);
    // The middle of the sheet is thicker and brighter.
    const double across = std::fabs(x / kFallW - 0.5) * 2;
    return WithAlpha(WaterColour(s + 0.12 * (1 - across), across * 0.5), 1);
}

Image Fall() {
    return Shade(kFallW, kFallH, 1, FallAt);
}

// A point of a side of the fall, x from the edge picture's left: the sheet thins out into
// ragged streaks over the rock.
Rgba EdgeAt(double x, double y, bool left) {
    // 0 at the outer side, 1 where the rock ends (10 pixels before the fall) and on.
    const double inward = (left ? x : kEdgeW - x) / (kEdgeW - 10.0);
    const double s = Streaks(x + (left ? 0 : 17), y, kEdgeW, left ? 41 : 43);
    const double rag = PeriodicFbm(x / kEdgeW * 3, y * 16.0 / kFallPeriod, 3, 16, 2, left ? 5 : 6);
    const double a = inward >= 1 ? 1 : SmoothStep(0.25, 0.95, inward + (rag - 0.5) * 0.5 * inward);
    return WithAlpha(WaterColour(s + 0.25 * (1 - inward), 0.3), a);
}

Image FallEdge(bool left) {
    return Shade(kEdgeW, kFallH, 1, [left](double x, double y) { return EdgeAt(x, y, left); });
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
    const int gx = static_cast<int>(std::floor(x / size)),
              gy = static_cast<int>(std::floor(y / size));
    double f1 = 1e9, f2 = 1e9;
    int best = 0;
    for (int j = -1; j <= 1; ++j)
        for (int i = -1; i <= 1; ++i) {
            const int cx = gx + i, cy = gy + j;
            const double jx =
                PeriodicNoise(cx * 1.37 + 0.5, cy * 1.91 + 0.5, 97, 97, seed) * 0.8 + 0.1;
            const double jy =
                PeriodicNoise(cx * 2.11 + 0.5, cy * 1.13 + 0.5, 97, 97, seed + 1) * 0.8 + 0.1;
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
            return BoulderAt(px + ox, py, seed).height +
                   0.08 * PeriodicFbm(px / 9, py / 9, 64, 64, 2, seed);
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
        c = Mix(c, Mix(Mix(kLime, kNavy, 0.35), kLime, lit),
                up * SmoothStep(0.5, 0.8, b.height) * 0.55);
        const double coral = PeriodicFbm(x / 6, y / 6, 64, 128, 2, seed + 3);
        if (tint > 0.6 && b.height > 0.3)
            c = Mix(c, Mix(Mix(kCoral, kPink, coral), kWhite, lit * 0.35),
                    SmoothStep(0.55, 0.62, coral) * 0.9);
        // Deeper down the water tints the rock.
        c = Mix(c, Mix(kTeal, kNavy, 0.4), SmoothStep(140, 480, y) * 0.6);
        // Toward the fall the boulders give way to the smooth wet cliff, with a worn rim.
        const double d = left ? kStoneW - x : x;
        const double edge =
            kCliffW + 1 +
            kCliffBlend * 2 * std::max(0.0, PeriodicFbm(y / 18, 0.5, 32, 2, 3, seed + 30) - 0.25);
        const double boulders = SmoothStep(edge, edge + 6, d);
        const double rim = std::exp(-std::pow((d - edge - 4) / 3, 2)) * (left ? 0.3 : 0.15);
        c = Mix(Mix(Cliff(d, left), kSand, rim), c, boulders);
        // At the top the rock's shoulder slopes down to the river, against the game's sky.
        const double top = kSkyRows * std::exp(-std::pow(d / 36, 2)) +
                           1.5 * PeriodicFbm(d / 8, 0.5, 16, 2, 2, seed + 40);
        // Where the fall's soft edge lies over the rock, its water already runs down the rows
        // above the fall's first row (the game starts it at y = 20), so that row shows no line.
        const double ex =
            left ? x - kWaterfallLeft : x + (640 - kStoneW) - (kWaterfallLeft + kEdgeW + kFallW);
        if (y < 20 && ex >= 0 && ex < kEdgeW) {
            Rgb run{0, 0, 0};
            for (int ty = 0; ty < 8; ++ty) {
                const Rgba e = Over(EdgeAt(ex, ty * 32.0, left), WithAlpha(c, 1));
                run = {run.r + e.r / 8, run.g + e.g / 8, run.b + e.b / 8};
            }
            c = Mix(c, run, SmoothStep(top, 20, y));
        }
        const double below = y - top;
        c = Mix(c, Mix(Mix(kLime, kSand, 0.4), kWhite, left ? 0.1 : 0.3),
                std::exp(-std::max(0.0, below) / 2.2) * 0.55);
        return WithAlpha(Mix(kSky, c, SmoothStep(-0.6, 0.6, below)), 1);
    });
}

// The river at the brink, seen low over the water: a far horizon under the sky, the sky's haze
// mirrored on the far water, ripples catching the light as they come nearer, and the glassy roll
// of the lip, which turns down into the fall's own teal. The game scrolls it sideways only, so
// the rows stay where they are; it still repeats both ways (the turn matches the horizon).
Image TopWater() {
    const int w = 128, h = kTopWaterH;
    return Shade(w, h, 3, [](double x, double y) {
        const double v = y / h;
        // Ripples stretch sideways and grow toward the viewer.
        const double n = PeriodicFbm(x / 24, y * (0.6 + v) / 3, 5, 8, 3, 71);
        const double glint =
            SmoothStep(0.6, 0.76, n) * SmoothStep(0.25, 0.45, v) * (1 - SmoothStep(0.55, 0.65, v));
        const Rgb turn = Mix(kLagoon, kSky, 0.35);
        const Rgb haze = Mix(kSky, kFoam, 0.35);
        const auto band = [v](double centre, double width) {
            return std::exp(-std::pow((v - centre) / width, 2));
        };
        Rgb c = Mix(turn, haze, band(0.16, 0.12));                       // haze on the far water
        c = Mix(c, Mix(kDeepSea, kLagoon, 0.4), band(0.45, 0.14) * 0.8); // the nearer, darker water
        c = Mix(c, kWhite, glint * 0.6);
        c = Mix(c, Mix(haze, kWhite, 0.5 * n), band(0.75, 0.1) * (0.8 + 0.2 * n)); // the lip
        return WithAlpha(c, 1);
    });
}

// The river breaking on the inner top corner of a rock: a mound of foam over the end of the
// brink that spills down the cliff in streaks and thins out. It covers where the fall's soft
// edge starts over the rock.
Image SideWaterTop(bool left) {
    const int w = 80, h = 72;
    return Shade(w, h, 3, [left](double x, double y) {
        const double fx = left ? x : w - x; // 40 is the rock's inner edge
        const double foam = PeriodicFbm(x / 7, y / 9, 12, 8, 3, left ? 81 : 83);
        const double streak = PeriodicFbm(x / 3, y / 40, 27, 2, 2, left ? 85 : 87);
        // The mound: a dome of foam where the brink meets the rock (its inner edge at fx = 40,
        // the lip 16 rows down), rising a little over the rock's shoulder.
        const double dome = std::hypot((fx - 42) / 26, (y - 12) / 12);
        const double mound = 1 - SmoothStep(0.55, 1.0, dome);
        // Below it, water runs down the cliff's face in streaks.
        const double runs = SmoothStep(0.45, 0.7, streak) * std::exp(-std::pow((fx - 38) / 12, 2)) *
                            (1 - SmoothStep(20, 72, y));
        const double a = Clamp01(std::max(mound * (0.75 + foam * 0.5), runs * 0.7));
        Rgb c = Mix(Mix(kLagoon, kFoam, 0.55), kWhite, foam * 0.8);
        c = Mix(c, Mix(kTeal, kFoam, 0.2), Clamp01(y / 60.0) * 0.5); // the shade of the rock below
        return WithAlpha(c, a);
    });
}

// Foam: clusters of small bubbles, each bright at its rim.
double FoamAt(double x, double y, uint32_t seed) {
    const double size = 7;
    const int gx = static_cast<int>(std::floor(x / size)),
              gy = static_cast<int>(std::floor(y / size));
    double best = 1e9;
    for (int j = -1; j <= 1; ++j)
        for (int i = -1; i <= 1; ++i) {
            const int cx = gx + i, cy = gy + j;
            const double px =
                (cx + PeriodicNoise(cx * 1.3 + 0.5, cy * 1.7 + 0.5, 97, 97, seed)) * size;
            const double py =
                (cy + PeriodicNoise(cx * 2.3 + 0.5, cy * 0.7 + 0.5, 97, 97, seed + 1)) * size;
            const double r =
                2 + 2.5 * PeriodicNoise(cx * 0.9 + 0.5, cy * 1.1 + 0.5, 97, 97, seed + 2);
            const double d = std::hypot(x - px, y - py) / r;
            best = std::min(best, d);
        }
    if (best > 1) return 0;
    return 0.45 + 0.55 * SmoothStep(0.55, 0.95, best); // rim brighter than the middle
}

// What the backdrop shows at screen column sx and texture row ty of the fall: the falling sheet,
// or its soft edges over the rocks' cliff faces (which are the same in every row).
Rgb BehindFoot(double sx, double ty) {
    const double fallLeft = kWaterfallLeft + kEdgeW, fallRight = fallLeft + kFallW;
    if (sx >= fallLeft && sx < fallRight) {
        const Rgba c = FallAt(sx - fallLeft, ty);
        return {c.r, c.g, c.b};
    }
    const bool left = sx < fallLeft;
    const Rgb rock = left ? Cliff(kStoneW - sx, true) : Cliff(sx - (640 - kStoneW), false);
    const double ex = left ? sx - kWaterfallLeft : sx - fallRight;
    const Rgba c = Over(ex >= 0 && ex < kEdgeW ? EdgeAt(ex, ty, left) : Rgba{}, WithAlpha(rock, 1));
    return {c.r, c.g, c.b};
}

// Lower down the fall table stretches the sheet about this much: the foot's streaks match.
constexpr double kFootStretch = 0.7;

// The foot of the fall for the menus, drawn opaque from x = kFootX down to a panel's top edge,
// at any height. Each column is what the backdrop shows there, nine tenths of the way from the
// column's mean over the moving texture, so the still picture meets the moving water above it with
// no edge and its sides meet the cliffs exactly. The water churns into foam toward the bottom,
// where it lands on the panel; the foam stays off the sides, where narrow panels leave the water
// falling.
Image FallFoot() {
    const int w = 466, h = 72;
    std::vector<Rgb> mean(w);
    for (int x = 0; x < w; ++x) {
        Rgb sum{0, 0, 0};
        for (int ty = 0; ty < kFallPeriod; ty += 4) {
            const Rgb c = BehindFoot(kFootX + x + 0.5, ty);
            sum = {sum.r + c.r, sum.g + c.g, sum.b + c.b};
        }
        const double n = kFallPeriod / 4;
        mean[size_t(x)] = {sum.r / n, sum.g / n, sum.b / n};
    }
    return Shade(w, h, 2, [=](double x, double y) {
        const int column = std::clamp(static_cast<int>(x), 0, w - 1);
        Rgb col = Mix(mean[size_t(column)], BehindFoot(kFootX + x, y * kFootStretch), 0.9);
        // Foam thickens towards the landing, as drifts and single bubbles.
        const double v = y / h;
        const auto churn = [](double px, double py) {
            return PeriodicFbm(px / 30, py / 12, 16, 10, 4, 95);
        };
        // The narrowest panels span about x = 175 .. 465: beside them the water falls on, so
        // the foam thins out toward the foot's sides.
        const double density = SmoothStep(0.05, 1.0, v) * SmoothStep(6, 90, std::min(x, w - x));
        const double c = churn(x, y);
        const double drift = SmoothStep(0.72 - 0.35 * density, 0.86 - 0.3 * density, c) * density;
        // Drifts are lit on their upper side and shaded blue beneath, like the bubbles.
        const double lit = Clamp01(0.6 + (churn(x - 1.5, y - 2) - churn(x + 1.5, y + 2)) * 6);
        const Rgb foam = Mix(Mix(kFoam, kLagoon, 0.35), kWhite, lit);
        col = Mix(col, foam, drift * 0.92);
        col = Mix(col, kWhite, FoamAt(x, y, 91) * 0.22 * density * (1 - drift));
        return WithAlpha(col, 1);
    });
}

// A puff of spray: a few droplets in a mist.
Image Sputter(int n) {
    const int size = 16;
    return Shade(size, size, 3, [n](double x, double y) {
        double a = 0;
        for (int i = 0; i < 3 + n % 3; ++i) {
            const double px = 8 + 4 * std::sin(n * 2.1 + i * 2.4),
                         py = 8 + 4 * std::cos(n * 1.7 + i * 2.9);
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
        !SavePicture(root, "DATA\\Side_R_Water_Top.tga", SideWaterTop(false),
                     PictureKind::Masked) ||
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
