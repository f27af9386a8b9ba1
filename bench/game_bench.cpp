// Play speed and the cost of one game frame.
// - Simulated play: the greedy bot plays panic levels on the real game screen in the game folder
//   until it loses; reported as simulated game seconds per wall-clock second (the peer is real
//   time).
// - The full game frame: a level with 250 settled bubbles, 100 falling records and debris, the
//   aiming guide on, drawn by the game screen into the 640x480 back buffer, beside the same
//   frame's drawing calls, recorded as the game made them, replayed by SDL's software blitter.
//   Prints the ratio game / SDL and names the peer.
#include <SDL.h>
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "BASE/settings.h"
#include "GAME/Widget.h"
#include "GAME/game_screen.h"
#include "GAME/game_state.h"
#include "GAME/run.h"
#include "GAME/sim/simulator.h"
#include "GRAPH/Sprite.h"
#include "GRAPH/Surface.h"
#include "GRAPH/font.h"
#include "GRAPH/graph.h"
#include "SYS/msgbox.h"

namespace {

constexpr int kSettled = 250, kFalling = 100;

void BM_SimulatedPanicPlay(benchmark::State& state) {
    double simulatedMs = 0;
    uint32_t seed = 1;
    for (auto _ : state) {
        SimOptions options;
        options.mode = 2;
        options.bot = true;
        options.seedGiven = true;
        options.seed = seed++;
        options.levels = 1000; // on until the bot loses
        std::ostringstream out;
        const SimSummary summary = RunSimulation(options, {}, out);
        simulatedMs += double(summary.ticks) * options.dt;
    }
    state.counters["game_s_per_s"] =
        benchmark::Counter(simulatedMs / 1000.0, benchmark::Counter::kIsRate);
}
BENCHMARK(BM_SimulatedPanicPlay)->Unit(benchmark::kMillisecond)->UseRealTime();

// A level of arcade rules filled to 250 settled bubbles, with falling bubbles and debris in the
// air.
GameScreen& FullLevel() {
    static GameScreen* game = [] {
        CurrentPlaySetup().display = true;
        CurrentPlaySetup().seed = [](int) { return 11u; };
        auto screen = std::make_unique<GameScreen>(3);
        PlayState& play = screen->play;
        Playfield& field = play.field;
        BubbleList kept;
        for (const Bubble& b : field.list)
            if (b.state != Settled) kept.push_back(b);
        field.list = kept;
        for (int i = 0; i < kSettled; ++i) {
            Bubble b;
            const int row = i / std::max(1, field.params.width),
                      col = i % std::max(1, field.params.width);
            field.CellCentre({row, col}, b.x, b.y);
            b.colour = int8_t(i % 5);
            b.special = i % 37 == 0 ? int8_t(18 + i % 7) : 0;
            field.list.push_back(b);
        }
        for (int i = 0; i < kFalling; ++i) {
            Bubble b;
            b.x = float(20 + (i * 37) % std::max(1, field.W - 40));
            b.y = float(100 + (i * 53) % 300);
            b.state = Falling;
            b.colour = int8_t(i % 2 ? 25 + i % 3 : i % 5);
            b.size = uint8_t(32 + i % 32);
            b.life = 1000;
            field.list.push_back(b);
        }
        play.aimGuide = true;
        play.angle = 0.3f;
        play.time = 5000; // past the introduction and the fade-in
        play.intro.Start(0, 1500);
        play.fadeIn.Start(0, 1000);
        return static_cast<GameScreen*>(PushScreen(std::move(screen)));
    }();
    return *game;
}

void BM_GameFrame(benchmark::State& state) {
    GameScreen& game = FullLevel();
    for (auto _ : state) {
        game.Draw();
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_GameFrame)->Unit(benchmark::kMicrosecond);

// --- The frame's drawing operations --------------------------------------------------------------
// The benchmark links with --wrap for Sprite's drawing calls (bench/CMakeLists.txt), so every call
// the game code makes passes through the wrappers below; while a recording is open they note the
// call, and in every case they hand it on. Calls inside Sprite.cpp itself (DrawSprite to
// StretchBlit, a tile to its pieces) are not wrapped, so each operation is noted once, as the game
// asked for it. A font with an alpha plane inks its glyphs straight into the target's pixels, so
// its text is noted as the line it makes (found by inking it onto white) and where it lands.

struct DrawOp {
    enum Kind { Blit, Tile, Fill, Triangle, Text } kind = Blit;
    Sprite* target = nullptr;
    Sprite* source = nullptr;
    SDL_Rect to{},
        from{};         // Blit: destination and source (frame row included); Tile: area and offset
    uint32_t flags = 0; // blit flags, or the fill colour
    ClipRect clip;      // the target's clip rectangle at the call
    ScreenPoint points[3];
    TexturePoint texture[3];
    int frameRow = 0;
    std::shared_ptr<SDL_Surface> ink; // Text: the line as our font inks it, black under its alpha
};

std::vector<DrawOp>* recording = nullptr;

// The noted call, or null while nothing is recorded.
DrawOp* Note(DrawOp::Kind kind, SDL_Rect to, SDL_Rect from, uint32_t flags, Sprite* target,
             Sprite* source, float position) {
    if (!recording || !target) return nullptr;
    DrawOp op;
    op.kind = kind;
    op.target = target;
    op.source = source;
    op.to = to;
    op.from = from;
    op.flags = flags;
    op.clip = target->clip;
    if (source) op.frameRow = source->FrameIndex(position) * source->frameHeight;
    recording->push_back(op);
    return &recording->back();
}

// The text inked by our font onto a white screen, cut to its ink: black with the ink as alpha.
// The surface's clip rectangle keeps the screen position of its top-left.
std::shared_ptr<SDL_Surface> InkedLine(Font* font, int x, int y, const char* text, float position,
                                       int horizontal, int vertical) {
    static const std::unique_ptr<Sprite> white = [] {
        auto s = std::make_unique<Sprite>();
        s->width = 640;
        s->frameHeight = 480;
        s->Reload();
        s->Lock();
        return s;
    }();
    white->clip = ClipRect{0, 0, 640, 480};
    white->FillRect(0, 0, 640, 480, 0xFFFFFFFF);
    DrawText(white.get(), font, x, y, text, position, horizontal, vertical);
    white->Lock();
    auto red = [&](int px, int py) {
        return reinterpret_cast<const uint16_t*>(white->pixels + py * white->pitch)[px] >> 11;
    };
    int left = 640, top = 480, right = 0, bottom = 0;
    for (int py = 0; py < 480; ++py)
        for (int px = 0; px < 640; ++px)
            if (red(px, py) != 31) {
                left = std::min(left, px), right = std::max(right, px + 1);
                top = std::min(top, py), bottom = std::max(bottom, py + 1);
            }
    if (left >= right) return nullptr;
    std::shared_ptr<SDL_Surface> line(
        SDL_CreateRGBSurfaceWithFormat(0, right - left, bottom - top, 32, SDL_PIXELFORMAT_ARGB8888),
        SDL_FreeSurface);
    for (int py = top; py < bottom; ++py)
        for (int px = left; px < right; ++px)
            static_cast<uint32_t*>(line->pixels)[(py - top) * line->pitch / 4 + (px - left)] =
                uint32_t(255 - red(px, py) * 255 / 31) << 24;
    SDL_SetSurfaceBlendMode(line.get(), SDL_BLENDMODE_BLEND);
    line->clip_rect.x = left;
    line->clip_rect.y = top;
    return line;
}

} // namespace

extern "C" {
void __real__ZN6Sprite11StretchBlitEiiiiPS_iiiijf(Sprite*, int, int, int, int, Sprite*, int, int,
                                                  int, int, uint32_t, float);
void __real__ZN6Sprite10DrawSpriteEiiPS_jf(Sprite*, int, int, Sprite*, uint32_t, float);
void __real__ZN6Sprite8BlitRectEiiiiPS_iijf(Sprite*, int, int, int, int, Sprite*, int, int,
                                            uint32_t, float);
void __real__ZN6Sprite8TileRectEiiiiPS_iij(Sprite*, int, int, int, int, Sprite*, int, int,
                                           uint32_t);
void __real__ZN6Sprite8FillRectEiiiij(Sprite*, int, int, int, int, uint32_t);
void __real__Z8DrawTextP6SpriteP4FontiiPKcfii(Sprite*, Font*, int, int, const char*, float, int,
                                              int);
void __real__ZN6Sprite12DrawTriangleEjPS_RA3_K11ScreenPointRA3_K12TexturePointf(
    Sprite*, uint32_t, Sprite*, const ScreenPoint (&)[3], const TexturePoint (&)[3], float);

void __wrap__ZN6Sprite11StretchBlitEiiiiPS_iiiijf(Sprite* self, int dx, int dy, int dw, int dh,
                                                  Sprite* source, int sx, int sy, int sw, int sh,
                                                  uint32_t flags, float position) {
    if (source)
        Note(DrawOp::Blit, {dx, dy, dw, dh}, {sx, sy, sw, sh}, flags, self, source, position);
    __real__ZN6Sprite11StretchBlitEiiiiPS_iiiijf(self, dx, dy, dw, dh, source, sx, sy, sw, sh,
                                                 flags, position);
}
void __wrap__ZN6Sprite10DrawSpriteEiiPS_jf(Sprite* self, int x, int y, Sprite* source,
                                           uint32_t flags, float position) {
    if (source)
        Note(DrawOp::Blit, {x, y, source->width, source->frameHeight},
             {0, 0, source->width, source->frameHeight}, flags, self, source, position);
    __real__ZN6Sprite10DrawSpriteEiiPS_jf(self, x, y, source, flags, position);
}
void __wrap__ZN6Sprite8BlitRectEiiiiPS_iijf(Sprite* self, int dx, int dy, int w, int h,
                                            Sprite* source, int sx, int sy, uint32_t flags,
                                            float position) {
    if (source) Note(DrawOp::Blit, {dx, dy, w, h}, {sx, sy, w, h}, flags, self, source, position);
    __real__ZN6Sprite8BlitRectEiiiiPS_iijf(self, dx, dy, w, h, source, sx, sy, flags, position);
}
void __wrap__ZN6Sprite8TileRectEiiiiPS_iij(Sprite* self, int dx, int dy, int w, int h,
                                           Sprite* source, int offsetX, int offsetY,
                                           uint32_t flags) {
    if (source)
        Note(DrawOp::Tile, {dx, dy, w, h}, {offsetX, offsetY, 0, 0}, flags, self, source, 0.0f);
    __real__ZN6Sprite8TileRectEiiiiPS_iij(self, dx, dy, w, h, source, offsetX, offsetY, flags);
}
void __wrap__ZN6Sprite8FillRectEiiiij(Sprite* self, int left, int top, int right, int bottom,
                                      uint32_t colour) {
    Note(DrawOp::Fill, {left, top, right - left, bottom - top}, {0, 0, 0, 0}, colour, self, nullptr,
         0.0f);
    __real__ZN6Sprite8FillRectEiiiij(self, left, top, right, bottom, colour);
}
void __wrap__Z8DrawTextP6SpriteP4FontiiPKcfii(Sprite* target, Font* font, int x, int y,
                                              const char* text, float position, int horizontal,
                                              int vertical) {
    if (recording && target && font && text && font->HasAlpha()) {
        std::vector<DrawOp>* open = recording;
        recording = nullptr;
        if (std::shared_ptr<SDL_Surface> ink =
                InkedLine(font, x, y, text, position, horizontal, vertical)) {
            recording = open;
            DrawOp* op = Note(DrawOp::Text, {x, y, ink->w, ink->h}, {0, 0, ink->w, ink->h}, 0,
                              target, nullptr, 0.0f);
            op->to.x = ink->clip_rect.x; // where the line's ink starts
            op->to.y = ink->clip_rect.y;
            op->ink = ink;
        }
        recording = open;
    }
    __real__Z8DrawTextP6SpriteP4FontiiPKcfii(target, font, x, y, text, position, horizontal,
                                             vertical);
}
void __wrap__ZN6Sprite12DrawTriangleEjPS_RA3_K11ScreenPointRA3_K12TexturePointf(
    Sprite* self, uint32_t flags, Sprite* source, const ScreenPoint (&points)[3],
    const TexturePoint (&texture)[3], float position) {
    if (DrawOp* op = source ? Note(DrawOp::Triangle, {0, 0, 0, 0}, {0, 0, 0, 0}, flags, self,
                                   source, position)
                            : nullptr) {
        std::copy(points, points + 3, op->points);
        std::copy(texture, texture + 3, op->texture);
    }
    __real__ZN6Sprite12DrawTriangleEjPS_RA3_K11ScreenPointRA3_K12TexturePointf(
        self, flags, source, points, texture, position);
}
}

namespace {

// --- The SDL peer --------------------------------------------------------------------------------
// The recorded frame replayed by SDL's software blitter into an RGB565 back buffer: every picture
// as an RGB565 surface, colour-keyed where our blit honours the picture's key, additive where ours
// adds; pictures blended through their alpha plane as ARGB8888 surfaces (SDL blends per pixel only
// from a surface with alpha); translucent fills as a filled RGB565 surface with surface alpha;
// triangles through SDL's software renderer; our clip rectangle at each call as SDL's clip.

enum class Look { Copy, Keyed, Add, Alpha };

// How our blit treats a picture under `flags` (Sprite::StretchBlit's rules).
Look LookOf(const Sprite& source, uint32_t flags, bool triangle) {
    if (!triangle && (flags == 0 || flags == OP_MASK) && source.HasAlpha()) flags = OP_ALPHA;
    if ((flags & OP_ALPHA) && source.HasAlpha()) return Look::Alpha;
    if (triangle) return Look::Copy;
    if (flags & OP_ADD) return Look::Add;
    return (flags & OP_MASK) && source.bMask() ? Look::Keyed : Look::Copy;
}

uint16_t Rgb565Of(uint32_t argb) {
    return uint16_t(((argb >> 8) & 0xF800) | ((argb >> 5) & 0x07E0) | ((argb >> 3) & 0x001F));
}

struct SdlFrame {
    SDL_Surface* back = nullptr;
    SDL_Renderer* renderer = nullptr;
    std::map<std::pair<Sprite*, Look>, SDL_Surface*> surfaces;
    std::map<std::pair<Sprite*, Look>, SDL_Texture*> textures;
    std::map<uint32_t, SDL_Surface*> tints;
    struct Step {
        DrawOp op;
        SDL_Surface* picture = nullptr;
        SDL_Texture* texture = nullptr;
        SDL_Vertex vertices[3]{};
    };
    std::vector<Step> steps;
    int tiles = 0, triangles = 0, fills = 0, blits = 0, texts = 0;

    // All frames of a picture, in the look the blit needs.
    SDL_Surface* SurfaceOf(Sprite* sprite, Look look) {
        auto& slot = surfaces[{sprite, look}];
        if (slot) return slot;
        const Sprite::Extent e = sprite->PixelExtent();
        const bool alpha = look == Look::Alpha;
        slot = SDL_CreateRGBSurfaceWithFormat(
            0, std::max(1, e.columns), std::max(1, e.rows), alpha ? 32 : 16,
            alpha ? SDL_PIXELFORMAT_ARGB8888 : SDL_PIXELFORMAT_RGB565);
        sprite->Lock();
        for (int y = 0; y < e.rows; ++y)
            for (int x = 0; x < e.columns; ++x) {
                const uint16_t p =
                    reinterpret_cast<const uint16_t*>(sprite->pixels + y * sprite->pitch)[x];
                if (!alpha) {
                    static_cast<uint16_t*>(slot->pixels)[y * slot->pitch / 2 + x] = p;
                    continue;
                }
                const size_t at = size_t(y) * size_t(sprite->width) + size_t(x);
                const uint32_t a = at < sprite->alpha.size() ? sprite->alpha[at] : 255;
                const uint32_t r = (p >> 11) << 3, g = ((p >> 5) & 63) << 2, b = (p & 31) << 3;
                static_cast<uint32_t*>(slot->pixels)[y * slot->pitch / 4 + x] =
                    (a << 24) | (r << 16) | (g << 8) | b;
            }
        switch (look) {
        case Look::Copy: SDL_SetSurfaceBlendMode(slot, SDL_BLENDMODE_NONE); break;
        case Look::Keyed:
            SDL_SetSurfaceBlendMode(slot, SDL_BLENDMODE_NONE);
            SDL_SetColorKey(slot, SDL_TRUE, 0);
            break;
        case Look::Add: SDL_SetSurfaceBlendMode(slot, SDL_BLENDMODE_ADD); break;
        case Look::Alpha: SDL_SetSurfaceBlendMode(slot, SDL_BLENDMODE_BLEND); break;
        }
        return slot;
    }

    SDL_Texture* TextureOf(Sprite* sprite, Look look) {
        auto& slot = textures[{sprite, look}];
        if (!slot) {
            slot = SDL_CreateTextureFromSurface(renderer, SurfaceOf(sprite, look));
            SDL_SetTextureBlendMode(slot,
                                    look == Look::Alpha ? SDL_BLENDMODE_BLEND : SDL_BLENDMODE_NONE);
        }
        return slot;
    }

    // A translucent fill: the colour over the whole buffer, blended by surface alpha.
    SDL_Surface* TintOf(uint32_t colour) {
        auto& slot = tints[colour];
        if (!slot) {
            slot = SDL_CreateRGBSurfaceWithFormat(0, 640, 480, 16, SDL_PIXELFORMAT_RGB565);
            SDL_FillRect(slot, nullptr, Rgb565Of(colour));
            SDL_SetSurfaceAlphaMod(slot, uint8_t(colour >> 24));
            SDL_SetSurfaceBlendMode(slot, SDL_BLENDMODE_BLEND);
        }
        return slot;
    }

    SdlFrame() {
        back = SDL_CreateRGBSurfaceWithFormat(0, 640, 480, 16, SDL_PIXELFORMAT_RGB565);
        renderer = SDL_CreateSoftwareRenderer(back);
        std::vector<DrawOp> ops;
        recording = &ops;
        FullLevel().Draw();
        recording = nullptr;
        for (const DrawOp& op : ops) {
            if (op.target != RenderSurface) continue; // the frame is what reaches the back buffer
            Step step;
            step.op = op;
            switch (op.kind) {
            case DrawOp::Blit:
                step.picture = SurfaceOf(op.source, LookOf(*op.source, op.flags, false));
                step.op.from.y += op.frameRow;
                ++blits;
                break;
            case DrawOp::Tile:
                step.picture = SurfaceOf(op.source, LookOf(*op.source, op.flags, false));
                ++tiles;
                break;
            case DrawOp::Fill: {
                const uint32_t a = op.flags >> 24;
                if (a != 0 && a < 240) step.picture = TintOf(op.flags);
                ++fills;
                break;
            }
            case DrawOp::Text: ++texts; break;
            case DrawOp::Triangle: {
                step.texture = TextureOf(op.source, LookOf(*op.source, op.flags, true));
                const float rows = float(op.source->PixelExtent().rows);
                for (int i = 0; i < 3; ++i)
                    step.vertices[i] = {
                        {op.points[i].x, op.points[i].y},
                        {255, 255, 255, 255},
                        {op.texture[i].u,
                         (op.texture[i].v * float(op.source->frameHeight) + float(op.frameRow)) /
                             rows}};
                ++triangles;
                break;
            }
            }
            steps.push_back(step);
        }
    }
    ~SdlFrame() {
        for (auto& entry : textures) SDL_DestroyTexture(entry.second);
        if (renderer) SDL_DestroyRenderer(renderer);
        for (auto& entry : surfaces) SDL_FreeSurface(entry.second);
        for (auto& entry : tints) SDL_FreeSurface(entry.second);
        SDL_FreeSurface(back);
    }

    static SDL_Rect ClipOf(const ClipRect& c) {
        return {c.left, c.top, c.right - c.left, c.bottom - c.top};
    }

    void Draw() {
        for (Step& step : steps) {
            const DrawOp& op = step.op;
            SDL_Rect clip = ClipOf(op.clip);
            SDL_SetClipRect(back, &clip);
            switch (op.kind) {
            case DrawOp::Blit: {
                SDL_Rect from = op.from, to = op.to;
                if (from.w == to.w && from.h == to.h)
                    SDL_BlitSurface(step.picture, &from, back, &to);
                else
                    SDL_BlitScaled(step.picture, &from, back, &to);
                break;
            }
            case DrawOp::Tile: Tile(step.picture, op); break;
            case DrawOp::Fill: {
                SDL_Rect area = op.to;
                if (step.picture)
                    SDL_BlitSurface(step.picture, &area, back, &area);
                else
                    SDL_FillRect(back, &area, Rgb565Of(op.flags));
                break;
            }
            case DrawOp::Text: {
                SDL_Rect to = op.to;
                SDL_BlitSurface(op.ink.get(), nullptr, back, &to);
                break;
            }
            case DrawOp::Triangle:
                SDL_RenderSetClipRect(renderer, &clip);
                SDL_RenderGeometry(renderer, step.texture, step.vertices, 3, nullptr, 0);
                SDL_RenderFlush(renderer);
                break;
            }
        }
    }

    // The picture repeated over the area from the offset, cut to the area by the clip.
    void Tile(SDL_Surface* picture, const DrawOp& op) {
        const int sw = op.source->width, sh = op.source->frameHeight;
        if (sw <= 0 || sh <= 0) return;
        SDL_Rect area = op.to, clip = ClipOf(op.clip), cut;
        if (!SDL_IntersectRect(&area, &clip, &cut)) return;
        SDL_SetClipRect(back, &cut);
        const int startX = op.to.x - ((op.from.x % sw) + sw) % sw,
                  startY = op.to.y - ((op.from.y % sh) + sh) % sh;
        for (int y = startY; y < op.to.y + op.to.h; y += sh)
            for (int x = startX; x < op.to.x + op.to.w; x += sw) {
                SDL_Rect from{0, 0, sw, sh}, to{x, y, sw, sh};
                SDL_BlitSurface(picture, &from, back, &to);
            }
    }
};

void BM_SdlFrame(benchmark::State& state) {
    static SdlFrame frame;
    for (auto _ : state) {
        frame.Draw();
        benchmark::ClobberMemory();
    }
    state.counters["blits"] = double(frame.blits);
    state.counters["tiles"] = double(frame.tiles);
    state.counters["fills"] = double(frame.fills);
    state.counters["triangles"] = double(frame.triangles);
    state.counters["texts"] = double(frame.texts);
}
BENCHMARK(BM_SdlFrame)->Unit(benchmark::kMicrosecond);

class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs)
            if (run.run_type == Run::RT_Iteration && !run.error_occurred) {
                times[run.benchmark_name()] = run.GetAdjustedCPUTime();
                if (run.counters.count("game_s_per_s")) speed = run.counters.at("game_s_per_s");
                if (run.counters.count("blits"))
                    peerCalls = std::to_string(int(run.counters.at("blits"))) + " blits, " +
                                std::to_string(int(run.counters.at("tiles"))) + " tiles, " +
                                std::to_string(int(run.counters.at("fills"))) + " fills, " +
                                std::to_string(int(run.counters.at("triangles"))) +
                                " triangles and " + std::to_string(int(run.counters.at("texts"))) +
                                " text lines";
            }
    }
    void PrintRatios() const {
        if (speed > 0)
            std::printf("\nsimulated panic play: %.0f game seconds per wall-clock second\n", speed);
        auto game = times.find("BM_GameFrame"), sdl = times.find("BM_SdlFrame");
        if (game != times.end() && sdl != times.end())
            std::printf("game frame %.1f us; peer: the same frame's %s replayed by SDL's software "
                        "blitter (RGB565 "
                        "surfaces, colour keys and additive blits as ours, per-pixel alpha from "
                        "ARGB8888, translucent fills "
                        "as surface alpha, triangles by SDL's software renderer, each text line as "
                        "one alpha blit of "
                        "its ink) %.1f us; game/SDL %.2f\n",
                        game->second, peerCalls.c_str(), sdl->second, game->second / sdl->second);
    }

private:
    std::map<std::string, double> times;
    double speed = 0;
    std::string peerCalls;
};

} // namespace

// Runs from the game folder, where the rules and pictures are, with the display set up headless.
int main(int argc, char** argv) {
    if (chdir(REEFPOP_GAME_DIR) != 0) {
        std::fprintf(stderr, "cannot enter the game folder %s\n", REEFPOP_GAME_DIR);
        return 1;
    }
    sys::SetMessageBoxResponder(
        [](const std::string&, const std::string&, unsigned) { return sys::IDOK; });
    SDL_setenv("SDL_VIDEODRIVER", "dummy", 0);
    SetupDisplay(640, 480, 16, 0);
    // What the program's start-up provides the game screen: the bubble sets and the menu font.
    ScanBubbleSets();
    MenuFont = LoadFont(kMenuFontFile);
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.PrintRatios();
    ReplaceAllScreens(nullptr);
    if (MenuFont) ReleaseFont(MenuFont);
    MenuFont = nullptr;
    benchmark::Shutdown();
    return 0;
}
