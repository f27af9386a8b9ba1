#include "play_pages.h"

#include <cmath>
#include <cstdio>
#include <memory>
#include <vector>

#include "BASE/settings.h"
#include "GAME/game_ini.h"
#include "GAME/game_screen.h"
#include "GAME/game_state.h"
#include "GAME/waterfall_backdrop.h"
#include "GRAPH/Sprite.h"
#include "GRAPH/font.h"
#include "GRAPH/graph.h"
#include "SYS/profile.h"
#include "bubble_look.h"
#include "canvas.h"
#include "cvd.h"
#include "picture.h"
#include "screen_pages.h"

namespace content {

namespace {

Sprite* Load(const std::string& name, const char* mask = nullptr) {
    return LoadSprite(name.c_str(), mask, false);
}

// A picture re-cut into `frames` frames stacked vertically, as its holder in the game does;
// position f / (frames - 1) then selects frame f.
Sprite* LoadStrip(const std::string& name, const char* mask, int frames) {
    Sprite* s = Load(name, mask);
    if (frames > 1 && s->frameCount == 1 && s->frameHeight % frames == 0) {
        s->frameCount = static_cast<int16_t>(frames);
        s->frameHeight = static_cast<int16_t>(s->frameHeight / frames);
        s->frameScale = 1.0f;
        s->clip = ClipRect{0, 0, s->width, s->frameHeight};
    }
    return s;
}
float FramePosition(int frame, int frames) {
    return frames > 1 ? float(frame) / float(frames - 1) : 0.0f;
}

const uint32_t kPageColour = 0xff173f6b;
const uint32_t kDeepColour = 0xff0f2a48;

void Caption(Canvas& c, int x, int y, const std::string& text) {
    DrawText(c.get(), LoadFont("DATA\\FontMenu.tga"), x, y, text.c_str(), 0, -1, -1);
}
void Small(Canvas& c, int x, int y, const std::string& text) {
    DrawText(c.get(), LoadFont("DATA\\herofont.tga"), x, y, text.c_str(), 0, -1, -1);
}

void FieldBackdrop(Canvas& c, int x, int y, int w, int h) {
    c->TileRect(x, y, w, h, Load("DATA\\background.tga"), 0, 0, 0);
}

std::string BubbleName(const BubbleSet& set, int key) {
    return std::string(set.folder) + "\\" + std::to_string(key) + ".tga";
}

bool Save(Canvas& c, const std::string& out, const std::string& name) {
    return WritePng(c.ToImage(), out + "/" + name);
}

// Each bubble set at twice its size, as seen and as seen with each colour-vision deficiency.
bool BubblePage(const std::string& out) {
    const int pitch = 68, blockW = 8 * pitch + 24;
    Canvas c(2 * blockW + 30, 3 * 210 + 40);
    c->FillRect(0, 0, c.Width(), c.Height(), kPageColour);
    Caption(c, 12, 8, "Bubble sets at twice their size; right and below: simulated colour vision");
    for (int s = 0; s < 3; ++s) {
        const BubbleSet& set = kBubbleSets[s];
        const int top = 40 + s * 210;
        Caption(c, 12, top, set.folder);
        for (int view = 0; view < 4; ++view) {
            const int x0 = 12 + (view % 2) * (blockW + 6), y0 = top + 24 + (view / 2) * 88;
            FieldBackdrop(c, x0, y0, blockW, 84);
            for (int key = 0; key < kPlainColours; ++key) {
                Sprite* b = Load(BubbleName(set, key), "DATA\\_bubble.tga");
                c->StretchBlit(x0 + 12 + key * pitch, y0 + 10, 64, 64, b, 0, 0, b->width,
                               b->frameHeight, OP_ALPHA, 0);
            }
            if (view > 0) c.Simulate(kDeficiencies[view - 1], x0, y0, blockW, 84);
            Small(c, x0 + 6, y0 + 2,
                  view == 0 ? "as seen" : DeficiencyName(kDeficiencies[view - 1]));
        }
    }
    return Save(c, out, "contact-bubbles.png");
}

// Two-colour bubbles, each bonus over every colour, the level-up view of a bonus (over the grey
// at an offset of 6), the ice over a row, and the additive debris.
bool BonusPage(const std::string& out) {
    const char* kinds[] = {"x2", "help", "up", "freeze", "x3", "bomb", "rot"};
    const char* pairs[] = {"02", "03", "05", "13", "23", "24", "25", "26", "36", "46"};
    Canvas c(760, 620);
    c->FillRect(0, 0, c.Width(), c.Height(), kPageColour);
    FieldBackdrop(c, 8, 8, 744, 604);
    Caption(c, 16, 12, "Two-colour bubbles (twice their size)");
    for (int i = 0; i < 10; ++i) {
        Sprite* b = Load(std::string("DATA\\BONUS\\") + pairs[i] + ".tga", "DATA\\_bubble.tga");
        c->StretchBlit(20 + i * 72, 36, 64, 64, b, 0, 0, 32, 32, OP_ALPHA, 0);
        Small(c, 40 + i * 72, 102, pairs[i]);
    }
    Caption(c, 16, 126, "Bonus icons over each colour, and on the level-up screen");
    for (int k = 0; k < 7; ++k) {
        Sprite* icon =
            Load(std::string("DATA\\BONUS\\") + kinds[k] + ".tga", "DATA\\BONUS\\_bonus.tga");
        const int y = 152 + k * 40;
        Small(c, 20, y + 8, kinds[k]);
        for (int key = 0; key < 7; ++key) {
            Sprite* b = Load(BubbleName(kBubbleSets[0], key), "DATA\\_bubble.tga");
            c->DrawSprite(80 + key * 36, y, b, OP_ALPHA, 0);
            c->StretchBlit(80 + key * 36, y, 32, 32, icon, 0, 0, 32, 32, OP_ALPHA, 0);
        }
        Sprite* symbol = Load(BubbleName(kBubbleSets[2], k), "DATA\\_bubble.tga");
        c->DrawSprite(346, y, symbol, OP_ALPHA, 0);
        c->StretchBlit(346, y, 32, 32, icon, 0, 0, 32, 32, OP_ALPHA, 0);
        Sprite* grey = Load(BubbleName(kBubbleSets[0], 7), "DATA\\_bubble.tga");
        c->DrawSprite(420, y, grey, OP_ALPHA, 0);
        c->DrawSprite(426, y + 6, icon, OP_ALPHA, 0);
    }
    Caption(c, 480, 126, "Frozen");
    Sprite* ice = Load("DATA\\ice.tga");
    for (int key = 0; key < 7; ++key) {
        const int x = 480 + (key % 4) * 40, y = 152 + (key / 4) * 44;
        c->DrawSprite(x, y, Load(BubbleName(kBubbleSets[0], key), "DATA\\_bubble.tga"), OP_ALPHA,
                      0);
        c->DrawSprite(x, y + 16 - 2, ice, 0, 0);
    }
    Caption(c, 480, 260, "Debris, added to the scene");
    c->FillRect(480, 286, 740, 420, kDeepColour);
    const char* debris[] = {"DATA\\bub.tga", "DATA\\bubsmall.tga", "DATA\\snowflake.tga"};
    for (int d = 0; d < 3; ++d)
        for (int size = 0; size < 3; ++size) {
            Sprite* s = Load(debris[d]);
            const int w = s->width * (size + 1) / 2 + s->width / 2,
                      h = s->frameHeight * (size + 1) / 2 + s->frameHeight / 2;
            c->StretchBlit(494 + size * 80, 296 + d * 40, w, h, s, 0, 0, s->width, s->frameHeight,
                           OP_ADD, 0);
        }
    return Save(c, out, "contact-bonuses.png");
}

// The launcher as the game draws it: the cradle, the loaded bubble and the pointer mapped onto
// two triangles turned by the aim.
void Launcher(Canvas& c, int cx, int cy, int key, double angle, float phase) {
    Sprite* weapon =
        Load("DATA\\WEAPON\\" + std::to_string(key) + ".tga", "DATA\\WEAPON\\_weapon.tga");
    Sprite* gun = LoadStrip("DATA\\GUN\\" + std::to_string(key) + ".tga", "DATA\\GUN\\_gun.tga", 8);
    c->DrawSprite(cx - weapon->width / 2, cy - 17, weapon, 0, 0);
    c->DrawSprite(cx - 16, cy - 16, Load(BubbleName(kBubbleSets[0], key), "DATA\\_bubble.tga"),
                  OP_ALPHA, 0);
    const double s = std::sin(angle), k = std::cos(angle), w = gun->width, h = gun->frameHeight;
    auto pt = [&](double along, double side) {
        return ScreenPoint{float(std::nearbyint(cx + along * s + side * k)),
                           float(std::nearbyint(cy - along * k + side * s))};
    };
    const ScreenPoint farLeft = pt(h + 3.2, -w / 2), farRight = pt(h + 3.2, w / 2),
                      nearRight = pt(3.2, w / 2), nearLeft = pt(3.2, -w / 2);
    const ScreenPoint a[3] = {farLeft, farRight, nearRight}, b[3] = {farLeft, nearRight, nearLeft};
    const TexturePoint ta[3] = {{0, 0}, {1, 0}, {1, 1}}, tb[3] = {{0, 0}, {1, 1}, {0, 1}};
    c->DrawTriangle(OP_ALPHA, gun, a, ta, phase);
    c->DrawTriangle(OP_ALPHA, gun, b, tb, phase);
}

bool LauncherPage(const std::string& out) {
    Canvas c(8 * 84 + 24, 3 * 120 + 60);
    c->FillRect(0, 0, c.Width(), c.Height(), kPageColour);
    FieldBackdrop(c, 8, 8, c.Width() - 16, c.Height() - 16);
    Caption(c, 16, 12, "Launcher in each colour: aims -1, 0, +1; the eight frames after a shot");
    for (int key = 0; key < 8; ++key) {
        const double angles[3] = {-1.0, 0.0, 1.0};
        for (int a = 0; a < 3; ++a)
            Launcher(c, 54 + key * 84, 120 + a * 110, key, angles[a] * (a == 1 ? 0 : 1), 0);
    }
    return Save(c, out, "contact-launcher.png") && [&] {
        Canvas f(8 * 44 + 24, 8 * 76 + 50);
        f->FillRect(0, 0, f.Width(), f.Height(), kPageColour);
        Caption(f, 12, 8, "Pointer frames 0-7 of each colour");
        for (int key = 0; key < 8; ++key)
            for (int frame = 0; frame < 8; ++frame) {
                Sprite* gun = LoadStrip("DATA\\GUN\\" + std::to_string(key) + ".tga",
                                        "DATA\\GUN\\_gun.tga", 8);
                f->DrawSprite(16 + key * 44, 36 + frame * 76, gun, OP_ALPHA,
                              FramePosition(frame, 8));
            }
        return Save(f, out, "contact-launcher-frames.png");
    }();
}

// The game's waterfall backdrop, created afresh and run for t ms in logic ticks, drawn whole.
void Waterfall(Canvas& c, float t) {
    Backdrop.release();
    Backdrop = WaterfallBackdrop{};
    Backdrop.create();
    for (float at = 0; at < t; at += 10.0f) Backdrop.update(10.0f);
    DrawingInto into(c);
    Backdrop.draw();
}

bool ScenePage(const std::string& out) {
    Canvas c(3 * 640 + 40, 480 + 60);
    c->FillRect(0, 0, c.Width(), c.Height(), kPageColour);
    for (int i = 0; i < 3; ++i) {
        Canvas shot(640, 480);
        Waterfall(shot, 400.0f * i);
        if (i == 2) {
            DrawingInto into(shot);
            Backdrop.drawFoot(440);
        }
        c->BlitRect(10 + i * 650, 40, 640, 480, shot.get(), 0, 0, 0, 0);
        Caption(c, 10 + i * 650, 12,
                i == 2 ? "t = 800 ms, with a menu's foot of the fall"
                       : "t = " + std::to_string(400 * i) + " ms");
    }
    return Save(c, out, "contact-scene.png");
}

// A level of each mode in play, drawn by the game screen itself: built from the mode's rules
// with a fixed seed, run through the fade-in and a few seconds of play, drawn off-screen.
constexpr int kPlayLevel = 2;
constexpr int kPlayTicks = 400;
constexpr uint32_t kPlaySeed = 20261210;

bool PlayfieldPage(const std::string& out) {
    const char* modes[] = {"Arcade", "Puzzle", "Panic"};
    LoadScreenResources();
    PlaySetup& setup = CurrentPlaySetup();
    const PlaySetup savedSetup = setup;
    const int savedType = GameType, savedScore = Score;
    setup.seed = [](int level) { return kPlaySeed + uint32_t(level); };
    Canvas c(3 * 650 + 10, 480 + 50);
    c->FillRect(0, 0, c.Width(), c.Height(), kPageColour);
    for (int mode = 0; mode < 3; ++mode) {
        GameType = mode;
        RestartScene();
        // Half-way to the level's target, so the gauge shows.
        const SheetScreen level{"", [] {
                                    auto screen = std::make_unique<GameScreen>(kPlayLevel);
                                    Score = int((screen->PreviousTarget() + screen->Target()) / 2);
                                    return std::unique_ptr<Screen>(std::move(screen));
                                }};
        Canvas shot(640, 480);
        RenderScreen(shot, level, kPlayTicks);
        c->BlitRect(10 + mode * 650, 40, 640, 480, shot.get(), 0, 0, 0, 0);
        Caption(c, 10 + mode * 650, 12,
                std::string(modes[mode]) + ", level " + std::to_string(kPlayLevel + 1));
    }
    GameType = savedType;
    Score = savedScore;
    setup = savedSetup;
    ReleaseScreenResources();
    return Save(c, out, "contact-playfield.png");
}

// Every frame of every hero strip, in the order of the hero's description.
bool HeroFramesPage(const std::string& out) {
    const char* sections[] = {"birth",   "hello",   "stop0",    "stop1", "stop2",   "stop3",
                              "speak1",  "speak2",  "speak3",   "go",    "levelup", "warning",
                              "defeat0", "defeat1", "bestshot", "joy",   "win1",    "win2"};
    const int cell = 130, most = 18;
    Canvas c(most * cell + 100, 18 * cell + 20);
    c->FillRect(0, 0, c.Width(), c.Height(), kPageColour);
    for (int i = 0; i < 18; ++i) {
        const std::string name = GetIniString("DATA\\hero.ini", sections[i], "name");
        const int frames = GetIniInt("DATA\\hero.ini", sections[i], "length");
        if (frames <= 0) continue;
        Sprite* strip = LoadStrip(name, nullptr, frames);
        if (strip->width == 0) continue;
        const int y = 10 + i * cell;
        Small(c, 6, y + 40, sections[i]);
        FieldBackdrop(c, 96, y, frames * cell, cell - 2);
        for (int f = 0; f < frames; ++f)
            c->DrawSprite(96 + f * cell, y, strip, OP_ALPHA, FramePosition(f, frames));
    }
    return Save(c, out, "contact-hero-frames.png");
}

} // namespace

bool DrawPlayPages(const std::string& outDir) {
    const bool ok = BubblePage(outDir) && BonusPage(outDir) && LauncherPage(outDir) &&
                    ScenePage(outDir) && PlayfieldPage(outDir) && HeroFramesPage(outDir);
    Backdrop.release();
    Backdrop = WaterfallBackdrop{};
    DestroyUnheldSprites();
    return ok;
}

} // namespace content
