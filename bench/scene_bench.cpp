// The scene drawn behind every screen, in a 640x480 RGB565 back buffer: one full-screen
// backdrop.draw() with 60 live spray particles, and a menu frame (the backdrop around a panel,
// the waterfall's foot, the panel's frame and the hero with a three-line balloon). Each is drawn
// beside the same frame made with SDL2's software blitter (SDL_BlitSurface for the row copies
// and the blended pictures, SDL_BlitScaled for stretched frame edges). Pictures are made in
// memory and handed to the game through its sprite cache under their file names.
// Prints the CPU-time ratio ours / SDL.
#include <SDL.h>
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "GAME/Screen.h"
#include "GAME/game_ini.h"
#include "GAME/hero.h"
#include "GAME/waterfall_backdrop.h"
#include "GRAPH/Sprite.h"
#include "GRAPH/font.h"
#include "GRAPH/graph.h"

#include "ratio_reporter.h"

namespace {

constexpr int kW = 640, kH = 480;
constexpr int kSprayUpdates = 60; // one particle per update, none old enough to leave
// The panel of a menu and its inner rectangle, which the backdrop leaves free.
constexpr int kPanelX = 170, kPanelY = 110, kPanelW = 300, kPanelH = 320;
constexpr int kGlyphW = 8, kGlyphH = 14, kGlyphs = 96;
const char* const kLines[3] = {"Hi there!", "Fancy popping", "a few bubbles?"};

enum class Kind { Opaque, Alpha, Keyed };

struct PictureSpec {
    const char* file;
    int w, h;
    Kind kind;
};

// The scene's pictures at the sizes the game's content uses.
const PictureSpec kPictures[] = {
    {"DATA\\Stone_L.jpg", 110, 480, Kind::Opaque},
    {"DATA\\Stone_R.jpg", 110, 480, Kind::Opaque},
    {"DATA\\flush.jpg", 392, 256, Kind::Opaque},
    {"DATA\\flush_left.tga", 24, 256, Kind::Alpha},
    {"DATA\\flush_right.tga", 24, 256, Kind::Alpha},
    {"DATA\\flush_down.jpg", 440, 120, Kind::Opaque},
    {"DATA\\Top_Water.tga", 128, 64, Kind::Alpha},
    {"DATA\\Side_L_Water_Top.tga", 48, 64, Kind::Alpha},
    {"DATA\\Side_R_Water_Top.tga", 48, 64, Kind::Alpha},
    {"DATA\\sputter0000.tga", 8, 8, Kind::Alpha},
    {"DATA\\sputter0001.tga", 8, 8, Kind::Alpha},
    {"DATA\\sputter0002.tga", 8, 8, Kind::Alpha},
    {"DATA\\sputter0003.tga", 8, 8, Kind::Alpha},
    {"DATA\\sputter0004.tga", 8, 8, Kind::Alpha},
    {"DATA\\sputter0005.tga", 8, 8, Kind::Alpha},
    {"DATA\\Menu00.tga", 24, 24, Kind::Alpha},
    {"DATA\\Menu01.tga", 24, 24, Kind::Alpha},
    {"DATA\\Menu10.tga", 24, 24, Kind::Alpha},
    {"DATA\\Menu11.tga", 24, 24, Kind::Alpha},
    {"DATA\\MenuUp.tga", 24, 24, Kind::Alpha},
    {"DATA\\MenuDown.tga", 24, 24, Kind::Alpha},
    {"DATA\\MenuLeft.tga", 24, 24, Kind::Alpha},
    {"DATA\\MenuRight.tga", 24, 24, Kind::Alpha},
    {"DATA\\HERO\\hello.tga", 96, 96 * 8, Kind::Alpha},
    {"DATA\\BlaBla.tga", 120, 72, Kind::Keyed},
};

uint32_t Argb(const PictureSpec& p, int x, int y) {
    const uint32_t seed = uint32_t(p.w * 131 + p.h * 7);
    uint32_t a = 255;
    if (p.kind == Kind::Alpha) a = uint32_t((x * 255) / std::max(1, p.w - 1) + (y % 7) * 20) & 0xFF;
    if (p.kind == Kind::Keyed && (x < 6 || y < 6)) return 0; // black corners: colour key
    const uint32_t r = (seed + uint32_t(x * 5 + y * 3)) & 0xFF,
                   g = (uint32_t(y * 7) + seed / 3) & 0xFF, b = (200 + uint32_t(x ^ y)) & 0xFF;
    return (a << 24) | (r << 16) | (g << 8) | b | 0x080808;
}

uint16_t To565(uint32_t argb) {
    return uint16_t(((argb >> 8) & 0xF800) | ((argb >> 5) & 0x07E0) | ((argb >> 3) & 0x001F));
}

uint16_t* Row(Sprite& s, int y) {
    return reinterpret_cast<uint16_t*>(s.pixels + size_t(y) * size_t(s.pitch));
}

// A sprite as the loader would make it from the file, registered under the file's name.
Sprite* Register(const PictureSpec& p) {
    Sprite* s = new Sprite();
    s->width = int16_t(p.w);
    s->frameHeight = int16_t(p.h);
    if (p.kind == Kind::Alpha) { // a 32-bit picture: own pixels and an alpha plane
        s->pitch = int16_t(p.w * 2);
        s->ownPixels.assign(size_t(p.w) * 2 * size_t(p.h), 0);
        s->pixels = s->ownPixels.data();
        s->alpha.assign(size_t(p.w) * size_t(p.h), 0);
        s->clip = ClipRect{0, 0, int16_t(p.w), int16_t(p.h)};
    } else {
        s->Reload();
        s->Lock();
    }
    for (int y = 0; y < p.h; ++y)
        for (int x = 0; x < p.w; ++x) {
            const uint32_t c = Argb(p, x, y);
            Row(*s, y)[x] = To565(c);
            if (p.kind == Kind::Alpha) s->alpha[size_t(y * p.w + x)] = uint8_t(c >> 24);
        }
    if (p.kind == Kind::Keyed) s->flags |= SPRITE_BMASK;
    s->fileName = std::string(p.file);
    RegisterSprite(s);
    return s;
}

// The hero font: 96 glyphs of 8 x 14 side by side, inked through their alpha.
void RegisterFont() {
    Font* f = new Font();
    f->width = int16_t(kGlyphW * kGlyphs);
    f->frameHeight = int16_t(kGlyphH);
    f->pitch = int16_t(f->width * 2);
    f->ownPixels.assign(size_t(f->pitch) * kGlyphH, 0);
    f->pixels = f->ownPixels.data();
    f->alpha.assign(size_t(f->width) * kGlyphH, 0);
    for (int y = 0; y < kGlyphH; ++y)
        for (int x = 0; x < f->width; ++x)
            f->alpha[size_t(y * f->width + x)] = ((x % kGlyphW) + y) % 3 ? 255 : 0;
    for (int c = 32; c < 128; ++c) {
        f->glyphX[c] = int16_t((c - 32) * kGlyphW);
        f->glyphWidth[c] = kGlyphW - 1;
    }
    f->clip = ClipRect{0, 0, 4, int16_t(kGlyphH)};
    f->fileName = std::string("DATA\\herofont.tga");
    RegisterSprite(f);
}

// A game folder with game.ini's tuning values, the hero's hello and its text.
void MakeGameFolder() {
    char pattern[] = "/tmp/reefpop_scene_bench_XXXXXX";
    if (!mkdtemp(pattern) || chdir(pattern) != 0) std::abort();
    std::filesystem::create_directories("DATA");
    std::ofstream("game.ini")
        << "[fx]\nxFlush=0.01\nyFlush=0.15\nxTop=0.02\nyTop=0.004\ngravity=40\n";
    std::ofstream("DATA/hero.ini")
        << "[hello]\nx=520\ny=330\nlength=8\ntime=100000000\nname=DATA\\HERO\\hello.tga\n";
    std::ofstream("lang.ini") << "[hero]\nMenuHello1=" << kLines[0] << "\nMenuHello2=" << kLines[1]
                              << "\nMenuHello3=" << kLines[2] << "\n";
    LanguageFile = "lang.ini";
}

struct Ours {
    std::unique_ptr<Sprite> back;

    Ours() {
        SetCurrentPixelFormat(kPixelFormats[0]);
        back = std::make_unique<Sprite>();
        back->width = kW;
        back->frameHeight = kH;
        back->Reload();
        back->Lock();
        RenderSurface = back.get();
        MakeGameFolder();
        for (const PictureSpec& p : kPictures) Register(p);
        RegisterFont();
        LoadMenuPictures();
        ::Backdrop.create();
        for (int i = 0; i < kSprayUpdates; ++i) ::Backdrop.update(10.0f);
        TheHero.load();
        TheHero.event(3); // hello, with the three-line greeting
    }

    void Backdrop() { ::Backdrop.draw(); }
    void MenuFrame() {
        ::Backdrop.setFreeRect(kPanelX + 8, kPanelY + 8, kPanelW - 16, kPanelH - 16);
        ::Backdrop.draw();
        ::Backdrop.drawFoot(kPanelY + 8);
        ::Backdrop.resetFrame();
        DrawMenuFrame(kPanelX, kPanelY, kPanelW, kPanelH);
        TheHero.draw();
    }
};

// --- SDL: the same pictures and the same drawing steps ----------------------------------------

struct Spray {
    int x, y, picture;
};

struct Sdl {
    SDL_Surface* back = nullptr;
    std::map<std::string, SDL_Surface*> pictures;
    SDL_Surface* glyphs[128] = {};
    std::vector<Spray> spray;
    const WaterfallBackdrop& timing = ::Backdrop; // the same time, speeds and fall table

    Sdl() {
        back = SDL_CreateRGBSurfaceWithFormat(0, kW, kH, 16, SDL_PIXELFORMAT_RGB565);
        for (const PictureSpec& p : kPictures) pictures[p.file] = Make(p);
        for (int c = 32; c < 128; ++c) {
            SDL_Surface* g = SDL_CreateRGBSurfaceWithFormat(0, kGlyphW - 1, kGlyphH, 32,
                                                            SDL_PIXELFORMAT_ARGB8888);
            for (int y = 0; y < kGlyphH; ++y)
                for (int x = 0; x < kGlyphW - 1; ++x)
                    static_cast<uint32_t*>(g->pixels)[y * g->pitch / 4 + x] =
                        (x + y) % 3 ? 0xFF000000 : 0;
            SDL_SetSurfaceBlendMode(g, SDL_BLENDMODE_BLEND);
            glyphs[c] = g;
        }
        for (const Particle& p : ::Backdrop.spray->Records())
            if (p.sprite) spray.push_back({int(p.x), int(p.y), int(spray.size() % 6)});
    }

    static SDL_Surface* Make(const PictureSpec& p) {
        const bool alpha = p.kind == Kind::Alpha;
        SDL_Surface* s = SDL_CreateRGBSurfaceWithFormat(0, p.w, p.h, alpha ? 32 : 16,
                                                        alpha ? SDL_PIXELFORMAT_ARGB8888
                                                              : SDL_PIXELFORMAT_RGB565);
        for (int y = 0; y < p.h; ++y)
            for (int x = 0; x < p.w; ++x) {
                const uint32_t c = Argb(p, x, y);
                if (alpha)
                    static_cast<uint32_t*>(s->pixels)[y * s->pitch / 4 + x] = c;
                else
                    static_cast<uint16_t*>(s->pixels)[y * s->pitch / 2 + x] = To565(c);
            }
        SDL_SetSurfaceBlendMode(s, alpha ? SDL_BLENDMODE_BLEND : SDL_BLENDMODE_NONE);
        if (p.kind == Kind::Keyed) SDL_SetColorKey(s, SDL_TRUE, 0);
        return s;
    }

    SDL_Surface* P(const char* file) { return pictures[file]; }
    void Blit(SDL_Surface* s, int x, int y) {
        SDL_Rect r{x, y, s->w, s->h};
        SDL_BlitSurface(s, nullptr, back, &r);
    }
    void BlitPart(SDL_Surface* s, int sx, int sy, int w, int h, int x, int y) {
        SDL_Rect from{sx, sy, w, h}, to{x, y, w, h};
        SDL_BlitSurface(s, &from, back, &to);
    }

    void Region(int left, int top, int right, int bottom) {
        SDL_Rect clip{left, top, right - left, bottom - top};
        SDL_SetClipRect(back, &clip);
        SDL_Surface *stoneL = P("DATA\\Stone_L.jpg"), *stoneR = P("DATA\\Stone_R.jpg");
        SDL_Rect sky{stoneL->w, 0, kW - stoneR->w - stoneL->w, 16};
        SDL_FillRect(back, &sky, 0x9D9D);
        Blit(stoneL, 0, 0);
        Blit(stoneR, kW - stoneR->w, 0);
        SDL_Surface *flush = P("DATA\\flush.jpg"), *edgeL = P("DATA\\flush_left.tga"),
                    *edgeR = P("DATA\\flush_right.tga");
        const int x0 = 90 + edgeL->w;
        const int column = int(timing.xFlush * timing.time) % flush->w;
        for (int y = std::max(top, 20); y < std::min(bottom, kH); ++y) {
            const int row = timing.TextureRow(y, flush->h);
            BlitPart(flush, column, row, flush->w - column, 1, x0, y);
            if (column) BlitPart(flush, 0, row, column, 1, x0 + flush->w - column, y);
            BlitPart(edgeL, 0, timing.TextureRow(y, edgeL->h), edgeL->w, 1, 90, y);
            BlitPart(edgeR, 0, timing.TextureRow(y, edgeR->h), edgeR->w, 1, x0 + flush->w, y);
        }
        SDL_Surface* topWater = P("DATA\\Top_Water.tga");
        for (int x = stoneL->w; x < kW - stoneR->w; x += topWater->w)
            BlitPart(topWater, 0, 0, std::min(topWater->w, kW - stoneR->w - x), topWater->h, x, 16);
        SDL_Surface *sideL = P("DATA\\Side_L_Water_Top.tga"),
                    *sideR = P("DATA\\Side_R_Water_Top.tga");
        Blit(sideL, stoneL->w - sideL->w / 2, 16);
        Blit(sideR, kW - stoneR->w - sideR->w / 2, 16);
        static const char* const drops[6] = {"DATA\\sputter0000.tga", "DATA\\sputter0001.tga",
                                             "DATA\\sputter0002.tga", "DATA\\sputter0003.tga",
                                             "DATA\\sputter0004.tga", "DATA\\sputter0005.tga"};
        for (const Spray& s : spray) Blit(P(drops[s.picture]), s.x, s.y);
    }

    void Backdrop() {
        Region(0, 0, kW, kH);
        SDL_SetClipRect(back, nullptr);
    }

    void MenuFrame() {
        const int x = kPanelX + 8, y = kPanelY + 8, w = kPanelW - 16, h = kPanelH - 16;
        Region(0, 0, kW, y);
        Region(0, y, x, y + h);
        Region(x + w, y, kW, y + h);
        Region(0, y + h, kW, kH);
        SDL_SetClipRect(back, nullptr);
        SDL_Surface* foot = P("DATA\\flush_down.jpg");
        const int rows = std::min(foot->h, y - 32);
        BlitPart(foot, 0, foot->h - rows, foot->w, rows, 87, y - rows);
        Frame(kPanelX, kPanelY, kPanelW, kPanelH);
        SDL_Surface* hero = P("DATA\\HERO\\hello.tga");
        BlitPart(hero, 0, 0, hero->w, 96, 520, 330);
        SDL_Surface* balloon = P("DATA\\BlaBla.tga");
        Blit(balloon, 516, 240);
        for (int i = 0; i < 3; ++i) {
            const int length = int(std::strlen(kLines[i]));
            int gx = 516 + balloon->w / 2 - length * (kGlyphW - 1) / 2;
            for (const char* p = kLines[i]; *p; ++p, gx += kGlyphW - 1)
                Blit(glyphs[int(*p) & 127], gx, 240 + (i + 1) * 18 - 7);
        }
    }

    void Frame(int x, int y, int w, int h) {
        const int c = 24;
        Blit(P("DATA\\Menu00.tga"), x, y);
        Blit(P("DATA\\Menu01.tga"), x + w - c, y);
        Blit(P("DATA\\Menu10.tga"), x, y + h - c);
        Blit(P("DATA\\Menu11.tga"), x + w - c, y + h - c);
        auto stretch = [&](const char* file, int ex, int ey, int ew, int eh) {
            SDL_Rect to{ex, ey, ew, eh};
            SDL_BlitScaled(P(file), nullptr, back, &to);
        };
        stretch("DATA\\MenuUp.tga", x + c, y, w - 2 * c, c);
        stretch("DATA\\MenuDown.tga", x + c, y + h - c, w - 2 * c, c);
        stretch("DATA\\MenuLeft.tga", x, y + c, c, h - 2 * c);
        stretch("DATA\\MenuRight.tga", x + w - c, y + c, c, h - 2 * c);
        SDL_Rect inside{x + c, y + c, w - 2 * c, h - 2 * c};
        SDL_FillRect(back, &inside, 0x8E1F);
    }
};

Ours& TheOurs() {
    static Ours ours;
    return ours;
}
Sdl& TheSdl() {
    TheOurs(); // the spray and the timing come from the game's backdrop
    static Sdl sdl;
    return sdl;
}

template <class Side, void (Side::*Op)()> void Run(benchmark::State& state, Side& side) {
    for (auto _ : state) {
        (side.*Op)();
        benchmark::ClobberMemory();
    }
}

#define OPERATION(name)                                                                            \
    void BM_Ours_##name(benchmark::State& s) {                                                     \
        Run<Ours, &Ours::name>(s, TheOurs());                                                      \
    }                                                                                              \
    void BM_SDL_##name(benchmark::State& s) {                                                      \
        Run<Sdl, &Sdl::name>(s, TheSdl());                                                         \
    }                                                                                              \
    BENCHMARK(BM_Ours_##name);                                                                     \
    BENCHMARK(BM_SDL_##name);
OPERATION(Backdrop)
OPERATION(MenuFrame)
#undef OPERATION

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    OursVsSdlReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    std::printf("\nlive spray particles: %d\n", Backdrop.spray ? Backdrop.spray->LiveCount() : 0);
    reporter.PrintRatios({"Backdrop", "MenuFrame"});
    benchmark::Shutdown();
    return 0;
}
