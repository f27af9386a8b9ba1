#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include <cstdio>

#include "art.h"
#include "ini_file.h"
#include "picture.h"
#include "shade.h"

namespace content {

namespace {

using namespace palette;

// The hero: a little coral octopus. Every frame is drawn from a pose; each animation is a
// function of its progress 0..1 that returns the pose, eased, with squash and stretch.
constexpr int kFrameW = 112, kFrameH = 128;

struct Pose {
    double dx = 0, dy = 0;       // body offset, pixels
    double sx = 1, sy = 1;       // squash and stretch of the head
    double tilt = 0;             // radians, positive leans right
    double scale = 1;            // whole figure
    double eyeOpen = 1;          // 0 closed .. 1 open
    double happyEyes = 0;        // 1 draws closed smiling arcs instead of open eyes
    double lookX = 0, lookY = 0; // pupils, -1..1
    double brow = 0;             // >0 worried, <0 determined
    double mouthOpen = 0;        // 0 closed .. 1 wide open
    double smile = 0.6;          // -1 frown .. 1 big smile
    double wave = 0;             // tentacle sway phase, radians
    double waveAmp = 1;
    double armL = 0, armR = 0; // front tentacles raised, 0..1
    double armWave = 0;        // raised arm's waggle, radians
    double blush = 0.35;
    double tears = 0, sweat = 0;
    double sparkle = -1; // >= 0: sparkles at this phase
    double bubble = -1;  // >= 0: a bubble blown, at this phase
    double shell = -1;   // >= 0: still inside its birth bubble, 1 = just burst
};

double EaseOutBack(double t) {
    const double c = 1.9;
    return 1 + (c + 1) * std::pow(t - 1, 3) + c * std::pow(t - 1, 2);
}
double EaseInOut(double t) {
    return t * t * (3 - 2 * t);
}
// A hop: 0 at both ends, 1 at the top, with squash on take-off and landing.
void Hop(Pose& p, double t, double height) {
    const double h = std::sin(Clamp01(t) * M_PI);
    p.dy -= h * height;
    const double ground = 1 - SmoothStep(0.0, 0.18, std::min(t, 1 - t));
    p.sx *= 1 + 0.14 * ground - 0.06 * h;
    p.sy *= 1 - 0.14 * ground + 0.08 * h;
}
void Breathe(Pose& p, double t, double cycles) {
    const double b = std::sin(t * 2 * M_PI * cycles);
    p.dy += b * 1.5;
    p.sx *= 1 + 0.025 * b;
    p.sy *= 1 - 0.025 * b;
    p.wave = t * 2 * M_PI * cycles;
}
void Blink(Pose& p, double t, double at) {
    const double d = std::fabs(t - at);
    if (d < 0.06) p.eyeOpen = std::min(p.eyeOpen, d / 0.06);
}
// Mouth moving as in speech: a few syllables of different widths.
void Talk(Pose& p, double t, int syllables, uint32_t seed) {
    const double s = t * syllables;
    const int k = static_cast<int>(s);
    const double open = std::sin((s - k) * M_PI);
    const double amount = 0.45 + 0.5 * ((seed * 7 + k * 13) % 5) / 4.0;
    p.mouthOpen = open * amount;
    p.smile = 0.5;
}

struct Animation {
    const char* section;
    Pose (*pose)(double t);
};

Pose Birth(double t) {
    Pose p;
    if (t < 0.45) { // a bubble rises and wobbles
        const double u = t / 0.45;
        p.shell = u;
        p.scale = 0.35 + 0.2 * EaseInOut(u);
        p.dy = 10 * (1 - u);
        p.eyeOpen = 0;
        p.smile = 0.2;
        p.blush = 0;
    } else { // it bursts and the hero unfolds with an overshoot
        const double u = (t - 0.45) / 0.55;
        p.shell = u < 0.15 ? 1 + u : -1;
        p.scale = 0.55 + 0.45 * EaseOutBack(Clamp01(u * 1.4));
        const double settle = std::sin(u * M_PI * 3) * std::exp(-u * 3);
        p.sx = 1 - 0.12 * settle;
        p.sy = 1 + 0.12 * settle;
        p.eyeOpen = SmoothStep(0.2, 0.5, u);
        p.smile = 0.9;
        p.sparkle = u;
    }
    p.wave = t * 6;
    return p;
}

Pose Hello(double t) {
    Pose p;
    Breathe(p, t, 1);
    p.armR = EaseInOut(SmoothStep(0.0, 0.2, t)) * (1 - SmoothStep(0.85, 1.0, t));
    p.armWave = std::sin(t * 2 * M_PI * 3) * 0.6;
    p.tilt = -0.08 * p.armR;
    p.smile = 1;
    p.mouthOpen = 0.35 * p.armR;
    p.happyEyes = SmoothStep(0.25, 0.35, t) * (1 - SmoothStep(0.7, 0.8, t));
    return p;
}

Pose Idle(double t) {
    Pose p;
    Breathe(p, t, 1);
    Blink(p, t, 0.7);
    return p;
}

Pose LookAround(double t) {
    Pose p;
    Breathe(p, t, 1);
    p.lookX = std::sin(t * 2 * M_PI) * 0.9;
    p.lookY = -0.2 * std::sin(t * M_PI);
    p.tilt = 0.06 * std::sin(t * 2 * M_PI);
    Blink(p, t, 0.52);
    p.smile = 0.4;
    return p;
}

Pose Yawn(double t) {
    Pose p;
    Breathe(p, t, 1);
    const double y = std::sin(Clamp01(t / 0.8) * M_PI);
    p.mouthOpen = y * 0.9;
    p.smile = 0.1;
    p.eyeOpen = 1 - 0.85 * y;
    p.sy *= 1 + 0.08 * y;
    p.sx *= 1 - 0.05 * y;
    p.armL = p.armR = 0.5 * y;
    p.armWave = 0.3;
    return p;
}

Pose BlowBubble(double t) {
    Pose p;
    Breathe(p, t, 1);
    const double puff = SmoothStep(0.0, 0.3, t) * (1 - SmoothStep(0.3, 0.4, t));
    p.sx *= 1 + 0.06 * puff;
    p.mouthOpen = 0.25 * puff;
    p.smile = 0.2;
    p.blush = 0.35 + 0.4 * puff;
    p.bubble = t > 0.3 ? (t - 0.3) / 0.7 : -1;
    p.lookY = -0.8 * SmoothStep(0.3, 0.5, t);
    return p;
}

Pose Speak1(double t) {
    Pose p;
    Breathe(p, t, 1);
    Talk(p, t, 4, 1);
    p.armR = 0.35 + 0.15 * std::sin(t * 2 * M_PI);
    p.armWave = std::sin(t * 4 * M_PI) * 0.3;
    return p;
}

Pose Speak2(double t) {
    Pose p;
    Breathe(p, t, 1);
    Talk(p, t, 5, 2);
    p.tilt = 0.1 * std::sin(t * M_PI);
    p.brow = -0.3;
    p.lookX = 0.4;
    return p;
}

Pose Speak3(double t) {
    Pose p;
    Breathe(p, t, 1);
    Talk(p, t, 3, 3);
    p.armL = p.armR = 0.45 * std::sin(t * M_PI);
    p.armWave = 0.2;
    p.brow = 0.2;
    Hop(p, t, 4);
    return p;
}

Pose Go(double t) {
    Pose p;
    Breathe(p, t, 1);
    const double crouch = SmoothStep(0.0, 0.3, t) * (1 - SmoothStep(0.3, 0.4, t));
    p.sx *= 1 + 0.15 * crouch;
    p.sy *= 1 - 0.15 * crouch;
    if (t > 0.3) Hop(p, (t - 0.3) / 0.7, 14);
    p.armR = SmoothStep(0.3, 0.45, t);
    p.armWave = -0.4;
    p.brow = -0.7;
    p.smile = 0.8;
    p.mouthOpen = 0.5 * SmoothStep(0.3, 0.45, t) * (1 - SmoothStep(0.8, 1.0, t));
    return p;
}

Pose LevelUp(double t) {
    Pose p;
    Hop(p, t, 18);
    p.armL = p.armR = std::sin(t * M_PI);
    p.armWave = std::sin(t * 6 * M_PI) * 0.4;
    p.happyEyes = 1;
    p.smile = 1;
    p.mouthOpen = 0.7;
    p.sparkle = t;
    p.blush = 0.6;
    p.wave = t * 10;
    return p;
}

Pose Warning(double t) {
    Pose p;
    Breathe(p, t, 2);
    p.dx = std::sin(t * 2 * M_PI * 6) * 2.2 * std::sin(t * M_PI);
    p.brow = 1;
    p.smile = -0.6;
    p.mouthOpen = 0.3;
    p.sweat = t;
    p.lookX = -0.5;
    p.lookY = -0.6;
    p.armL = p.armR = 0.3;
    return p;
}

Pose Defeat0(double t) {
    Pose p;
    const double droop = EaseInOut(SmoothStep(0.0, 0.7, t));
    p.dy = 10 * droop;
    p.sx = 1 + 0.1 * droop;
    p.sy = 1 - 0.12 * droop;
    p.brow = 1;
    p.smile = -1;
    p.eyeOpen = 1 - 0.4 * droop;
    p.lookY = 0.7 * droop;
    p.tears = droop;
    p.waveAmp = 1 - 0.6 * droop;
    p.wave = t * 3;
    p.blush = 0.2;
    return p;
}

Pose Defeat1(double t) {
    Pose p = Defeat0(1);
    const double sob = std::sin(t * 2 * M_PI * 2);
    p.dy += 1.5 * sob;
    p.sy *= 1 + 0.03 * sob;
    p.mouthOpen = 0.25 + 0.15 * sob;
    p.tears = 1 + t;
    p.wave = t * 2 * M_PI;
    return p;
}

Pose BestShot(double t) {
    Pose p;
    Hop(p, t, 14);
    p.tilt = std::sin(t * 2 * M_PI) * 0.25;
    p.eyeOpen = 1.15;
    p.mouthOpen = 0.8 * std::sin(Clamp01(t * 1.3) * M_PI);
    p.smile = 0.7;
    p.sparkle = t;
    p.armL = p.armR = 0.8 * std::sin(t * M_PI);
    p.blush = 0.6;
    return p;
}

Pose Joy(double t) {
    Pose p;
    Hop(p, std::fmod(t * 2, 1.0), 9);
    p.happyEyes = 1;
    p.smile = 1;
    p.mouthOpen = 0.4;
    p.armL = p.armR = 0.4 + 0.3 * std::sin(t * 4 * M_PI);
    p.blush = 0.6;
    p.wave = t * 12;
    return p;
}

Pose Win1(double t) {
    Pose p;
    Hop(p, t, 18);
    p.tilt = std::sin(t * 2 * M_PI) * 0.35; // a twirl in the air
    p.armL = p.armR = 1;
    p.armWave = std::sin(t * 8 * M_PI) * 0.5;
    p.happyEyes = 1;
    p.smile = 1;
    p.mouthOpen = 0.8;
    p.sparkle = t;
    p.blush = 0.7;
    return p;
}

Pose Win2(double t) { // a dance that loops
    Pose p;
    const double beat = std::sin(t * 2 * M_PI * 2);
    p.dx = 5 * std::sin(t * 2 * M_PI);
    p.dy = -4 * std::fabs(beat);
    p.tilt = 0.15 * std::sin(t * 2 * M_PI);
    p.sx = 1 + 0.05 * beat;
    p.sy = 1 - 0.05 * beat;
    p.armL = 0.6 + 0.4 * std::sin(t * 2 * M_PI);
    p.armR = 0.6 - 0.4 * std::sin(t * 2 * M_PI);
    p.armWave = beat * 0.4;
    p.happyEyes = 1;
    p.smile = 1;
    p.mouthOpen = 0.5;
    p.blush = 0.6;
    p.wave = t * 2 * M_PI * 2;
    p.sparkle = std::fmod(t * 2, 1.0);
    return p;
}

const Animation kAnimations[] = {
    {"birth", Birth},       {"hello", Hello},
    {"stop0", Idle},        {"stop1", LookAround},
    {"stop2", Yawn},        {"stop3", BlowBubble},
    {"speak1", Speak1},     {"speak2", Speak2},
    {"speak3", Speak3},     {"go", Go},
    {"levelup", LevelUp},   {"warning", Warning},
    {"defeat0", Defeat0},   {"defeat1", Defeat1},
    {"bestshot", BestShot}, {"joy", Joy},
    {"win1", Win1},         {"win2", Win2},
};

const Rgb kSkin{1.0, 0.50, 0.40};
const Rgb kSkinLight{1.0, 0.78, 0.62};
const Rgb kInk{0.42, 0.13, 0.20};

void Tentacle(cairo_t* cr, double x0, double y0, double dir, double len, double phase, double amp,
              double lift, double waggle) {
    // A tapering curl: centre line from the body outward and down, lifted when raised.
    const int n = 14;
    std::vector<double> xs(n + 1), ys(n + 1);
    double x = x0, y = y0, a = M_PI / 2 - dir * 0.35 - dir * lift * 2.6;
    for (int i = 0; i <= n; ++i) {
        xs[i] = x, ys[i] = y;
        const double f = i / double(n);
        a += dir * (0.05 + 0.22 * f) * (1 - lift) + std::sin(phase + f * 3) * 0.09 * amp +
             waggle * lift * 0.08;
        x += std::cos(a) * len / n;
        y += std::sin(a) * len / n;
    }
    for (int pass = 0; pass < 2; ++pass) {
        for (int i = 0; i < n; ++i) {
            const double f = i / double(n);
            const double w = 7.5 * (1 - f) + 1.6;
            cairo_set_line_width(cr, pass == 0 ? w + 2.4 : w);
            cairo_move_to(cr, xs[i], ys[i]);
            cairo_line_to(cr, xs[i + 1], ys[i + 1]);
            if (pass == 0)
                SetColour(cr, kInk);
            else
                SetColour(cr, Mix(kSkin, kInk, 0.12 + 0.2 * f));
            cairo_stroke(cr);
        }
    }
    // Suckers along the underside.
    SetColour(cr, kSkinLight);
    for (int i = 3; i < n - 2; i += 3) {
        const double f = i / double(n);
        cairo_arc(cr, xs[i] - dir * 1.2, ys[i] + 1.2, 1.5 * (1 - f) + 0.6, 0, 2 * M_PI);
        cairo_fill(cr);
    }
}

void DrawPose(cairo_t* cr, const Pose& p) {
    cairo_save(cr);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    const double cx = kFrameW / 2.0, groundY = 122;
    // Scale about the feet so the hero grows out of the sea floor.
    cairo_translate(cr, cx + p.dx, groundY + p.dy);
    cairo_scale(cr, p.scale * 1.12, p.scale * 1.12);
    cairo_rotate(cr, p.tilt);
    // Soft shadow on the ground, smaller when the hero jumps.
    {
        cairo_save(cr);
        const double lift = Clamp01(-p.dy / 30);
        cairo_scale(cr, 1, 0.25);
        cairo_arc(cr, 0, -p.dy / 0.25 * 0 + 2, 30 * (1 - 0.4 * lift), 0, 2 * M_PI);
        SetColour(cr, kNavy, 0.25 * (1 - 0.6 * lift));
        cairo_fill(cr);
        cairo_restore(cr);
    }
    const double headY = -58; // head centre above the feet
    // Back tentacles, then front ones.
    const double sway = p.waveAmp;
    Tentacle(cr, -10, headY + 26, -1, 26, p.wave + 1.0, sway, 0, 0);
    Tentacle(cr, 10, headY + 26, 1, 26, p.wave + 2.2, sway, 0, 0);
    Tentacle(cr, -4, headY + 28, -0.4, 24, p.wave + 3.1, sway, 0, 0);
    Tentacle(cr, 4, headY + 28, 0.4, 24, p.wave + 4.3, sway, 0, 0);
    Tentacle(cr, -18, headY + 20, -1, 28, p.wave, sway, p.armL, p.armWave);
    Tentacle(cr, 18, headY + 20, 1, 28, p.wave + 0.6, sway, p.armR, p.armWave);
    // Head: a dome, squashed and stretched about its base.
    cairo_save(cr);
    cairo_translate(cr, 0, headY + 24);
    cairo_scale(cr, p.sx, p.sy);
    cairo_translate(cr, 0, -24);
    auto headPath = [cr]() {
        cairo_new_path(cr);
        cairo_move_to(cr, -27, 12);
        cairo_curve_to(cr, -34, -16, -20, -34, 0, -34);
        cairo_curve_to(cr, 20, -34, 34, -16, 27, 12);
        cairo_curve_to(cr, 22, 26, -22, 26, -27, 12);
        cairo_close_path(cr);
    };
    headPath();
    cairo_pattern_t* g = cairo_pattern_create_radial(-12, -18, 3, -2, -6, 40);
    cairo_pattern_add_color_stop_rgb(g, 0, kSkinLight.r, kSkinLight.g, kSkinLight.b);
    cairo_pattern_add_color_stop_rgb(g, 0.55, kSkin.r, kSkin.g, kSkin.b);
    const Rgb deep = Mix(kSkin, kInk, 0.45);
    cairo_pattern_add_color_stop_rgb(g, 1, deep.r, deep.g, deep.b);
    cairo_set_source(cr, g);
    cairo_fill_preserve(cr);
    cairo_pattern_destroy(g);
    SetColour(cr, kInk);
    cairo_set_line_width(cr, 2.2);
    cairo_stroke(cr);
    // Spots and a window highlight.
    SetColour(cr, Mix(kSkin, kPink, 0.5), 0.8);
    const double spots[4][3] = {{14, -22, 3.2}, {21, -10, 2.2}, {-19, -4, 2.0}, {8, -29, 1.6}};
    for (const auto& s : spots) {
        cairo_arc(cr, s[0], s[1], s[2], 0, 2 * M_PI);
        cairo_fill(cr);
    }
    cairo_save(cr);
    cairo_translate(cr, -13, -22);
    cairo_rotate(cr, -0.6);
    cairo_scale(cr, 1, 0.5);
    cairo_arc(cr, 0, 0, 8, 0, 2 * M_PI);
    SetColour(cr, kWhite, 0.55);
    cairo_fill(cr);
    cairo_restore(cr);
    // Cheeks.
    if (p.blush > 0) {
        for (double side : {-1.0, 1.0}) {
            cairo_save(cr);
            cairo_translate(cr, side * 17, 8);
            cairo_scale(cr, 1, 0.6);
            cairo_arc(cr, 0, 0, 5, 0, 2 * M_PI);
            SetColour(cr, kPink, p.blush);
            cairo_fill(cr);
            cairo_restore(cr);
        }
    }
    // Eyes.
    for (double side : {-1.0, 1.0}) {
        const double ex = side * 10, ey = -4;
        if (p.happyEyes > 0.5) {
            SetColour(cr, kInk);
            cairo_set_line_width(cr, 2.6);
            cairo_arc_negative(cr, ex, ey + 3, 5.5, -0.3, M_PI + 0.3);
            cairo_stroke(cr);
            continue;
        }
        const double open = Clamp01(p.eyeOpen);
        const double rx = 7.2 * (p.eyeOpen > 1 ? p.eyeOpen : 1),
                     ry = 8.8 * std::max(0.08, open) * (p.eyeOpen > 1 ? p.eyeOpen : 1);
        cairo_save(cr);
        cairo_translate(cr, ex, ey);
        cairo_scale(cr, rx, ry);
        cairo_arc(cr, 0, 0, 1, 0, 2 * M_PI);
        cairo_restore(cr);
        SetColour(cr, kWhite);
        cairo_fill_preserve(cr);
        SetColour(cr, kInk);
        cairo_set_line_width(cr, 1.8);
        cairo_stroke(cr);
        if (open > 0.25) {
            cairo_save(cr);
            cairo_translate(cr, ex, ey);
            cairo_scale(cr, 1, std::max(0.08, open));
            cairo_arc(cr, 0, 0, 1, 0, 2 * M_PI); // clip to the eye
            cairo_restore(cr);
            cairo_save(cr);
            cairo_translate(cr, ex, ey);
            cairo_new_path(cr);
            cairo_save(cr);
            cairo_scale(cr, rx, ry);
            cairo_arc(cr, 0, 0, 1, 0, 2 * M_PI);
            cairo_restore(cr);
            cairo_clip(cr);
            const double px = p.lookX * 2.6, py = p.lookY * 3.2 + 1;
            SetColour(cr, kNavy);
            cairo_arc(cr, px, py, 4.6, 0, 2 * M_PI);
            cairo_fill(cr);
            SetColour(cr, kWhite);
            cairo_arc(cr, px - 1.6, py - 1.8, 1.7, 0, 2 * M_PI);
            cairo_fill(cr);
            cairo_arc(cr, px + 1.6, py + 1.6, 0.8, 0, 2 * M_PI);
            cairo_fill(cr);
            cairo_restore(cr);
        } else {
            SetColour(cr, kInk);
            cairo_set_line_width(cr, 2.2);
            cairo_move_to(cr, ex - 6, ey);
            cairo_line_to(cr, ex + 6, ey);
            cairo_stroke(cr);
        }
        // Brows: up in the middle when worried, down when determined.
        if (std::fabs(p.brow) > 0.05) {
            SetColour(cr, kInk);
            cairo_set_line_width(cr, 2.2);
            const double inner = -p.brow * 3.2;
            cairo_move_to(cr, ex + side * 6, ey - 12);
            cairo_line_to(cr, ex - side * 3, ey - 12 + inner);
            cairo_stroke(cr);
        }
    }
    // Mouth.
    {
        const double my = 10, w = 6.5;
        SetColour(cr, kInk);
        cairo_set_line_width(cr, 2.2);
        if (p.mouthOpen > 0.08) {
            const double h = 2 + p.mouthOpen * 7;
            cairo_save(cr);
            cairo_translate(cr, 0, my + h * 0.3 - p.smile * 1.2);
            cairo_scale(cr, w * (0.7 + 0.3 * p.smile * p.smile), h);
            cairo_move_to(cr, -1, 0);
            cairo_curve_to(cr, -1, 1.2 + 0.2 * p.smile, 1, 1.2 + 0.2 * p.smile, 1, 0);
            cairo_curve_to(cr, 1, -0.7 + 0.5 * p.smile, -1, -0.7 + 0.5 * p.smile, -1, 0);
            cairo_restore(cr);
            cairo_fill_preserve(cr);
            cairo_stroke(cr);
            // Tongue.
            cairo_arc(cr, 0, my + h * 0.62 - p.smile * 1.2, std::min(3.5, h * 0.3), 0, 2 * M_PI);
            SetColour(cr, kPink);
            cairo_fill(cr);
        } else {
            cairo_move_to(cr, -w, my - p.smile * 1.5);
            cairo_curve_to(cr, -w * 0.4, my + p.smile * 4, w * 0.4, my + p.smile * 4, w,
                           my - p.smile * 1.5);
            cairo_stroke(cr);
        }
    }
    // Tears, sweat.
    if (p.tears > 0) {
        for (double side : {-1.0, 1.0}) {
            const double f = std::fmod(p.tears, 1.0);
            const double ty = 2 + f * 16;
            SetColour(cr, Mix(kFoam, kDeepSea, 0.2), 0.9 * (1 - f * 0.7));
            cairo_arc(cr, side * 12, ty, 1.6 + 0.6 * f, 0, 2 * M_PI);
            cairo_fill(cr);
        }
    }
    if (p.sweat > 0) {
        const double f = std::fmod(p.sweat * 2, 1.0);
        const double sx = 26, sy = -22 + f * 10;
        cairo_move_to(cr, sx, sy - 5);
        cairo_curve_to(cr, sx + 4, sy, sx + 3, sy + 3.5, sx, sy + 3.5);
        cairo_curve_to(cr, sx - 3, sy + 3.5, sx - 4, sy, sx, sy - 5);
        SetColour(cr, Mix(kFoam, kDeepSea, 0.15));
        cairo_fill_preserve(cr);
        SetColour(cr, kDeepSea);
        cairo_set_line_width(cr, 1);
        cairo_stroke(cr);
    }
    cairo_restore(cr); // head
    // The birth bubble around the hero.
    if (p.shell >= 0) {
        const double burst = p.shell > 1 ? p.shell - 1 : 0;
        const double r = 40 + burst * 80;
        cairo_arc(cr, 0, headY + 8, r, 0, 2 * M_PI);
        SetColour(cr, kFoam, burst > 0 ? 0.0 : 0.25);
        cairo_fill_preserve(cr);
        SetColour(cr, kWhite, 0.85 * (1 - burst * 6));
        cairo_set_line_width(cr, 3);
        cairo_stroke(cr);
        if (burst == 0) {
            cairo_arc(cr, -14, headY - 14, 8, 0, 2 * M_PI);
            SetColour(cr, kWhite, 0.7);
            cairo_fill(cr);
        }
    }
    cairo_restore(cr); // figure
    // Effects in frame coordinates.
    if (p.bubble >= 0) {
        const double f = p.bubble;
        const double bx = cx + p.dx + std::sin(f * 9) * 3, by = groundY + p.dy - 50 - f * 50;
        const double r = 3 + 5 * SmoothStep(0.0, 0.2, f);
        cairo_arc(cr, bx, by, r, 0, 2 * M_PI);
        SetColour(cr, kFoam, 0.35);
        cairo_fill_preserve(cr);
        SetColour(cr, kWhite, 0.9 * (1 - SmoothStep(0.85, 1.0, f)));
        cairo_set_line_width(cr, 1.4);
        cairo_stroke(cr);
    }
    if (p.sparkle >= 0) {
        for (int i = 0; i < 5; ++i) {
            const double ph = std::fmod(p.sparkle + i * 0.21, 1.0);
            const double a = i * 1.26 + 0.3;
            const double d = 30 + ph * 22;
            const double sxp = cx + std::cos(a) * d * 1.1, syp = 62 - std::sin(a) * d * 0.9;
            const double s = 4.5 * std::sin(ph * M_PI);
            if (s < 0.3) continue;
            cairo_move_to(cr, sxp, syp - s);
            cairo_curve_to(cr, sxp, syp, sxp, syp, sxp + s, syp);
            cairo_curve_to(cr, sxp, syp, sxp, syp, sxp, syp + s);
            cairo_curve_to(cr, sxp, syp, sxp, syp, sxp - s, syp);
            cairo_curve_to(cr, sxp, syp, sxp, syp, sxp, syp - s);
            SetColour(cr, i % 2 ? kSun : kWhite);
            cairo_fill(cr);
        }
    }
}

Image Strip(const Animation& a, int frames) {
    cairo_surface_t* surface =
        cairo_image_surface_create(CAIRO_FORMAT_ARGB32, kFrameW, kFrameH * frames);
    cairo_t* cr = cairo_create(surface);
    for (int f = 0; f < frames; ++f) {
        cairo_save(cr);
        cairo_rectangle(cr, 0, f * kFrameH, kFrameW, kFrameH);
        cairo_clip(cr);
        cairo_translate(cr, 0, f * kFrameH);
        DrawPose(cr, a.pose(frames > 1 ? f / double(frames - 1) : 0));
        cairo_restore(cr);
    }
    cairo_destroy(cr);
    Image out = FromCairo(surface);
    cairo_surface_destroy(surface);
    return out;
}

// The speech balloon: three lines of the hero font fit inside; the tail points down at the hero.
// Pure black outside, so it also works by colour key; the mask smooths its edge.
Image Balloon() {
    const int w = 124, h = 104;
    Image img(w, h);
    cairo_surface_t* surface = ToCairo(img);
    cairo_t* cr = cairo_create(surface);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    auto path = [cr](double o) {
        const double x0 = 2 + o, y0 = 2 + o, x1 = w - 3 + o, y1 = h - 10 + o, r = 16;
        cairo_new_path(cr);
        cairo_move_to(cr, x0 + r, y0);
        cairo_line_to(cr, x1 - r, y0);
        cairo_arc(cr, x1 - r, y0 + r, r, -M_PI / 2, 0);
        cairo_line_to(cr, x1, y1 - r);
        cairo_arc(cr, x1 - r, y1 - r, r, 0, M_PI / 2);
        cairo_line_to(cr, 86 + o, y1);
        cairo_curve_to(cr, 80 + o, y1 + 5, 76 + o, y1 + 8, 70 + o, h - 2 + o);
        cairo_curve_to(cr, 70 + o, y1 + 6, 66 + o, y1 + 2, 62 + o, y1);
        cairo_line_to(cr, x0 + r, y1);
        cairo_arc(cr, x0 + r, y1 - r, r, M_PI / 2, M_PI);
        cairo_line_to(cr, x0, y0 + r);
        cairo_arc(cr, x0 + r, y0 + r, r, M_PI, 1.5 * M_PI);
        cairo_close_path(cr);
    };
    path(1.2);
    SetColour(cr, kNavy, 0.35);
    cairo_fill(cr);
    path(0);
    cairo_pattern_t* g = cairo_pattern_create_linear(0, 0, 0, h);
    cairo_pattern_add_color_stop_rgb(g, 0, 1, 1, 1);
    cairo_pattern_add_color_stop_rgb(g, 1, kFoam.r, kFoam.g, kFoam.b);
    cairo_set_source(cr, g);
    cairo_fill_preserve(cr);
    cairo_pattern_destroy(g);
    SetColour(cr, kNavy);
    cairo_set_line_width(cr, 2);
    cairo_stroke(cr);
    cairo_destroy(cr);
    Image out = FromCairo(surface);
    cairo_surface_destroy(surface);
    // Nothing inside the balloon may be pure black, or the colour key would punch holes in it.
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            uint8_t* p = out.At(x, y);
            if (p[3] == 0)
                p[0] = p[1] = p[2] = 0;
            else if (p[0] == 0 && p[1] == 0 && p[2] == 0)
                p[2] = 1;
        }
    return out;
}

} // namespace

// Frame counts and picture names come from the hero's description, which the game reads too.
bool DrawHeroArt(const std::string& root) {
    IniFile hero;
    if (!hero.Load(GamePath(root, "DATA\\hero.ini"))) {
        std::fprintf(stderr, "%s: missing\n", GamePath(root, "DATA\\hero.ini").c_str());
        return false;
    }
    for (const Animation& a : kAnimations) {
        const int frames = hero.GetInt(a.section, "length");
        const std::string name = hero.Get(a.section, "name");
        if (frames <= 0 || name.empty()) {
            std::fprintf(stderr, "hero.ini: [%s] needs a length and a name\n", a.section);
            return false;
        }
        if (!SavePicture(root, name, Strip(a, frames), PictureKind::Masked)) return false;
    }
    return SavePicture(root, "DATA\\BlaBla.tga", Balloon(), PictureKind::Masked);
}

} // namespace content
