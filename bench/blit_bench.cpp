// One representative frame drawn into a 640x480 RGB565 back buffer by our blits and by SDL2's
// software blitter: a full-screen opaque copy, 200 alpha-blended 32x32 sprites, 500 additive 8x8
// sprites, 40 colour-keyed 64x64 sprites, one translucent full-screen fill and 40 lines of text.
// Each SDL peer is SDL's fastest route to the same pixels: the fill blits a filled RGB565
// surface with surface alpha, the text blits a line surface made once.
#include <SDL.h>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "GRAPH/Sprite.h"
#include "GRAPH/Surface.h"
#include "GRAPH/graph.h"
#include "SYS/gdi_text.h"
#include "paired.h"

namespace {

constexpr int kW = 640, kH = 480;
constexpr int kAlphaSprites = 200, kAddSprites = 500, kKeyedSprites = 40, kTextLines = 40;
const char* const kLine = "Score 0012345  Level 7  Bubbles left 42 !";
constexpr uint32_t kFillColour = 0x80204060; // alpha byte 128: translucent

struct Lcg {
    uint32_t state = 12345;
    int Next(int n) {
        state = state * 214013 + 2531011;
        return int((state >> 16) & 0x7FFF) % n;
    }
};

struct Placement {
    int x, y;
};

// Positions of every sprite of one kind, some overhanging the edges.
std::vector<Placement> Places(int count, int size, Lcg& rng) {
    std::vector<Placement> p;
    for (int i = 0; i < count; ++i)
        p.push_back({rng.Next(kW + size) - size / 2, rng.Next(kH + size) - size / 2});
    return p;
}

// Picture content shared by both sides: ARGB colours with soft round alpha.
uint32_t Argb(int x, int y, int size, int kind) {
    const int cx = x - size / 2, cy = y - size / 2, r2 = (size / 2) * (size / 2);
    const int d2 = cx * cx + cy * cy;
    const uint32_t a = d2 >= r2 ? 0 : uint32_t(255 - 255 * d2 / r2);
    const uint32_t r = uint32_t(40 + x * 7 + kind * 30) & 0xFF, g = uint32_t(90 + y * 5) & 0xFF,
                   b = uint32_t(200 - x * 3) & 0xFF;
    return (a << 24) | (r << 16) | (g << 8) | b;
}

uint16_t To565(uint32_t argb) {
    return uint16_t(((argb >> 8) & 0xF800) | ((argb >> 5) & 0x07E0) | ((argb >> 3) & 0x001F));
}

struct Scene {
    std::vector<Placement> alpha, add, keyed;
};

const Scene& TheScene() {
    static const Scene scene = [] {
        Lcg rng;
        Scene s;
        s.alpha = Places(kAlphaSprites, 32, rng);
        s.add = Places(kAddSprites, 8, rng);
        s.keyed = Places(kKeyedSprites, 64, rng);
        return s;
    }();
    return scene;
}

// --- Ours --------------------------------------------------------------------------------------

std::unique_ptr<Sprite> Blank(int w, int h) {
    auto s = std::make_unique<Sprite>();
    s->width = int16_t(w);
    s->frameHeight = int16_t(h);
    s->Reload();
    s->Lock();
    return s;
}

uint16_t& At(Sprite& s, int x, int y) {
    if (!s.pixels) s.Lock();
    return reinterpret_cast<uint16_t*>(s.pixels + y * s.pitch)[x];
}

struct Ours {
    std::unique_ptr<Sprite> back, background, glow, spark, bubble;

    Ours() {
        SetCurrentPixelFormat(kPixelFormats[0]);
        back = Blank(kW, kH);
        background = Blank(kW, kH);
        for (int y = 0; y < kH; ++y)
            for (int x = 0; x < kW; ++x) At(*background, x, y) = uint16_t(x * 37 + y * 101);
        // 32-bit pictures: own pixels and an alpha plane.
        glow = std::make_unique<Sprite>();
        glow->width = glow->frameHeight = 32;
        glow->pitch = 64;
        glow->ownPixels.resize(32 * 64);
        glow->pixels = glow->ownPixels.data();
        glow->alpha.resize(32 * 32);
        for (int y = 0; y < 32; ++y)
            for (int x = 0; x < 32; ++x) {
                const uint32_t c = Argb(x, y, 32, 0);
                At(*glow, x, y) = To565(c);
                glow->alpha[size_t(y * 32 + x)] = uint8_t(c >> 24);
            }
        spark = Blank(8, 8);
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 8; ++x) At(*spark, x, y) = To565(Argb(x, y, 8, 1) >> 1 & 0x7F7F7F);
        bubble = Blank(64, 64);
        for (int y = 0; y < 64; ++y)
            for (int x = 0; x < 64; ++x) {
                const uint32_t c = Argb(x, y, 64, 2);
                At(*bubble, x, y) = (c >> 24) ? To565(c) | 0x0821 : 0;
            }
        bubble->flags |= SPRITE_BMASK;
    }

    void Copy() { back->DrawSprite(0, 0, background.get(), 0, 0); }
    void Alpha() {
        for (const Placement& p : TheScene().alpha)
            back->DrawSprite(p.x, p.y, glow.get(), OP_ALPHA, 0);
    }
    void Add() {
        for (const Placement& p : TheScene().add)
            back->DrawSprite(p.x, p.y, spark.get(), OP_ADD, 0);
    }
    void Keyed() {
        for (const Placement& p : TheScene().keyed)
            back->DrawSprite(p.x, p.y, bubble.get(), OP_MASK, 0);
    }
    void Fill() { back->FillRect(0, 0, kW, kH, kFillColour); }
    void Text() {
        for (int i = 0; i < kTextLines; ++i) back->DrawGdiText(4, i * 12, kLine, 0xFFFFFF);
    }
};

// --- SDL ---------------------------------------------------------------------------------------

SDL_Surface* Rgb565(int w, int h) {
    return SDL_CreateRGBSurfaceWithFormat(0, w, h, 16, SDL_PIXELFORMAT_RGB565);
}

uint16_t& At(SDL_Surface* s, int x, int y) {
    return static_cast<uint16_t*>(s->pixels)[y * s->pitch / 2 + x];
}

struct Sdl {
    SDL_Surface *back, *background, *glow, *spark, *bubble, *tint, *line;

    Sdl() {
        back = Rgb565(kW, kH);
        background = Rgb565(kW, kH);
        for (int y = 0; y < kH; ++y)
            for (int x = 0; x < kW; ++x) At(background, x, y) = uint16_t(x * 37 + y * 101);
        SDL_SetSurfaceBlendMode(background, SDL_BLENDMODE_NONE);
        glow = SDL_CreateRGBSurfaceWithFormat(0, 32, 32, 32, SDL_PIXELFORMAT_ARGB8888);
        for (int y = 0; y < 32; ++y)
            for (int x = 0; x < 32; ++x)
                static_cast<uint32_t*>(glow->pixels)[y * glow->pitch / 4 + x] = Argb(x, y, 32, 0);
        SDL_SetSurfaceBlendMode(glow, SDL_BLENDMODE_BLEND);
        spark = Rgb565(8, 8);
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 8; ++x) At(spark, x, y) = To565(Argb(x, y, 8, 1) >> 1 & 0x7F7F7F);
        SDL_SetSurfaceBlendMode(spark, SDL_BLENDMODE_ADD);
        bubble = Rgb565(64, 64);
        for (int y = 0; y < 64; ++y)
            for (int x = 0; x < 64; ++x) {
                const uint32_t c = Argb(x, y, 64, 2);
                At(bubble, x, y) = (c >> 24) ? To565(c) | 0x0821 : 0;
            }
        SDL_SetColorKey(bubble, SDL_TRUE, 0);
        // The fill colour over the whole buffer, blended by surface alpha: SDL's alpha runs the
        // other way, so 0x80 is half covered like our alpha byte 128.
        tint = Rgb565(kW, kH);
        SDL_FillRect(tint, nullptr, To565(kFillColour));
        SDL_SetSurfaceAlphaMod(tint, 0x80);
        SDL_SetSurfaceBlendMode(tint, SDL_BLENDMODE_BLEND);
        // The text line in the same system font, drawn once into a colour-keyed surface just as
        // wide as the ink.
        SDL_Surface* wide = Rgb565(kW, sys::GdiTextHeight());
        SDL_FillRect(wide, nullptr, 0);
        sys::DrawGdiText(
            {static_cast<uint16_t*>(wide->pixels), wide->pitch, 0, 0, wide->w, wide->h}, 0, 0,
            kLine, 0xFFFF);
        int inkWidth = 1;
        for (int y = 0; y < wide->h; ++y)
            for (int x = 0; x < wide->w; ++x)
                if (At(wide, x, y)) inkWidth = std::max(inkWidth, x + 1);
        line = Rgb565(inkWidth, wide->h);
        SDL_SetSurfaceBlendMode(wide, SDL_BLENDMODE_NONE);
        SDL_BlitSurface(wide, nullptr, line, nullptr);
        SDL_FreeSurface(wide);
        SDL_SetColorKey(line, SDL_TRUE, 0);
    }
    ~Sdl() {
        for (SDL_Surface* s : {back, background, glow, spark, bubble, tint, line})
            SDL_FreeSurface(s);
    }

    void Blit(SDL_Surface* s, int x, int y) {
        SDL_Rect r{x, y, s->w, s->h};
        SDL_BlitSurface(s, nullptr, back, &r);
    }
    void Copy() { Blit(background, 0, 0); }
    void Alpha() {
        for (const Placement& p : TheScene().alpha) Blit(glow, p.x, p.y);
    }
    void Add() {
        for (const Placement& p : TheScene().add) Blit(spark, p.x, p.y);
    }
    void Keyed() {
        for (const Placement& p : TheScene().keyed) Blit(bubble, p.x, p.y);
    }
    void Fill() { Blit(tint, 0, 0); }
    void Text() {
        for (int i = 0; i < kTextLines; ++i) Blit(line, 4, i * 12);
    }
};

Ours& TheOurs() {
    static Ours ours;
    return ours;
}
Sdl& TheSdl() {
    static Sdl sdl;
    return sdl;
}

template <class Side, void (Side::*Op)()> paired::Body Loop(Side& (*side)()) {
    return [side](benchmark::State& state) {
        Side& s = side();
        for (auto _ : state) {
            (s.*Op)();
            benchmark::ClobberMemory();
        }
    };
}

template <class Side> void Frame(Side& side) {
    side.Copy();
    side.Alpha();
    side.Add();
    side.Keyed();
    side.Fill();
    side.Text();
}

template <class Side> void FrameLoop(Side& side, benchmark::State& state) {
    for (auto _ : state) {
        Frame(side);
        benchmark::ClobberMemory();
    }
}

} // namespace

int main(int argc, char** argv) {
    using paired::Row;
    const std::string sdl = "SDL_BlitSurface";
    paired::Add(Row{"Copy",
                    {"ours", Loop<Ours, &Ours::Copy>(TheOurs)},
                    {{sdl + ", opaque RGB565", Loop<Sdl, &Sdl::Copy>(TheSdl)}}});
    paired::Add(Row{"Alpha",
                    {"ours", Loop<Ours, &Ours::Alpha>(TheOurs)},
                    {{sdl + ", ARGB8888 blended", Loop<Sdl, &Sdl::Alpha>(TheSdl)}}});
    paired::Add(Row{"Add",
                    {"ours", Loop<Ours, &Ours::Add>(TheOurs)},
                    {{sdl + ", additive RGB565", Loop<Sdl, &Sdl::Add>(TheSdl)}}});
    paired::Add(Row{"Keyed",
                    {"ours", Loop<Ours, &Ours::Keyed>(TheOurs)},
                    {{sdl + ", colour-keyed RGB565", Loop<Sdl, &Sdl::Keyed>(TheSdl)}}});
    paired::Add(Row{"Fill",
                    {"ours", Loop<Ours, &Ours::Fill>(TheOurs)},
                    {{sdl + " of a filled RGB565 surface, surface alpha 0x80",
                      Loop<Sdl, &Sdl::Fill>(TheSdl)}}});
    paired::Add(
        Row{"Text",
            {"ours", Loop<Ours, &Ours::Text>(TheOurs)},
            {{sdl + " of a cached colour-keyed line surface", Loop<Sdl, &Sdl::Text>(TheSdl)}}});
    paired::Add(
        Row{"Frame",
            {"ours", [](benchmark::State& s) { FrameLoop(TheOurs(), s); }},
            {{"the SDL peers above", [](benchmark::State& s) { FrameLoop(TheSdl(), s); }}}});
    return paired::Run(argc, argv,
                       "One 640x480 RGB565 frame: our blits against SDL2's software blitter");
}
