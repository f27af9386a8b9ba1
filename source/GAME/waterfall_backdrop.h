// The waterfall backdrop: one program-wide object drawn behind every screen. Stones, the falling
// water row by row through the fall table, its blended edges, the scrolled surface strip, the
// side water tops and the spray, in up to four regions around a free rectangle that a panel or
// the playfield keeps for itself. It also owns the ambient water loop.
#pragma once
#include <cstdint>

#include "GAME/particle_emitter.h"

class Sprite;

class WaterfallBackdrop {
public:
    static constexpr int kScreenWidth = 640;
    static constexpr int kScreenHeight = 480;
    static constexpr int kFallRows = 480;
    static constexpr int kWaterfallTop = 20;

    // Loads the pictures, reads section `fx` of game.ini, builds the fall table and starts
    // DATA\SOUND\ambient.ogg looping as the current ambient.
    void create();
    // Drops the pictures and the spray (the ambient slot is released with the music slots).
    void release();

    // time += dt; the spray moves.
    void update(float dt);
    // The backdrop around the free rectangle; the clip rectangle is full-screen afterwards.
    void draw();
    // For menus: the foot of the waterfall, lowest rows of DATA\flush_down.jpg ending at `bottom`.
    void drawFoot(int bottom);
    // The surface strip and side water tops moved down so the water line lies at `y` (32 is
    // their normal place); a closing menu lets the water cover it with this.
    void drawWaterLine(int y);

    // The rectangle to leave undrawn (x, y, width, height); width or height 0: none.
    void setFreeRect(int x, int y, int w, int h);
    // Top of the scene: the waterfall ends and the spray sits there (normally 480).
    void setWaterTop(int y);
    // No free rectangle, water top 480: what every screen expects to find.
    void resetFrame() {
        setFreeRect(0, 0, 0, 0);
        setWaterTop(kScreenHeight);
    }

    float time = 0.0f; // ms since creation, never reset
    int16_t freeX = 0, freeY = 0, freeW = 0, freeH = 0;
    int16_t waterTop = kScreenHeight;
    float xFlush = 0, yFlush = 0, xTop = 0, yTop = 0; // scroll speeds, pixels per ms
    int64_t fall[kFallRows] = {};                     // extra texture rows per screen row
    SprayEmitter* spray = nullptr;

    // The fall table for a gravity value: rnd(sqrt((y - 20) * gravity)) from row 20 on.
    static void FillFallTable(int64_t (&table)[kFallRows], float gravity);
    // Texture row shown at screen row y: (h + rnd(yFlush * t) + fall[y]) mod (h - 1).
    int TextureRow(int y, int textureHeight) const { return textureRows(textureHeight)(y); }
    // The same for every row of one texture height, with the scroll worked out once.
    struct TextureRows {
        const int64_t* fall;
        int64_t base, m; // m = h - 1; 0 for a texture of at most one row
        int operator()(int y) const;
    };
    TextureRows textureRows(int textureHeight) const;

private:
    void drawRegion(int left, int top, int right, int bottom);
    void drawWaterfall();
    void drawEdge(Sprite* edge, int x);
    void drawSurface(int dy);

    Sprite* flush_ = nullptr;
    Sprite* flushLeft_ = nullptr;
    Sprite* flushRight_ = nullptr;
    Sprite* flushDown_ = nullptr;
    Sprite* topWater_ = nullptr;
    Sprite* sideLeft_ = nullptr;
    Sprite* sideRight_ = nullptr;
    Sprite* stoneLeft_ = nullptr;
    Sprite* stoneRight_ = nullptr;
};

extern WaterfallBackdrop Backdrop;

// A banner picture waving in columns of 4 pixels: column k at (x + 4k, y + rnd(2 sin((time -
// 25k) * 0.004))), colour-keyed.
void drawWavy(Sprite* picture, int x, int y, float time);
