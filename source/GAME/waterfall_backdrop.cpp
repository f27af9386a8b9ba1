#include "GAME/waterfall_backdrop.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "BASE/rnd.h"
#include "BASE/settings.h"
#include "GRAPH/Sprite.h"
#include "GRAPH/graph.h"
#include "SOUND/music.h"

WaterfallBackdrop Backdrop;

namespace {

constexpr uint32_t kSkyColour = 0xff99b2eb;
constexpr int kSkyBottom = 16;     // rows above the water surface
constexpr int kWaterfallLeft = 90; // where the left edge of the falling water starts
constexpr int kFootX = 87;
constexpr int kFootTopLimit = 32;    // the foot never reaches above this row
constexpr int kNormalWaterLine = 32; // drawWaterLine(32) draws the surface where it always is
constexpr const char* kAmbientLoop = "DATA\\SOUND\\ambient.ogg";
// Larger fall values describe no waterfall; this keeps the table's sums inside 64 bits.
constexpr double kLargestFall = 1e15;

int Width(const Sprite* s) {
    return s ? s->width : 0;
}
int Height(const Sprite* s) {
    return s ? s->frameHeight : 0;
}

int64_t PositiveModulo(int64_t v, int64_t m) {
    const int64_t r = v % m;
    return r < 0 ? r + m : r;
}

// rnd(speed * t) modulo m, computed so that any speed stays an index (non-numbers scroll nothing).
int64_t ScrollOffset(double speed, double t, int64_t m) {
    if (m <= 0) return 0;
    const double s = speed * t;
    if (!std::isfinite(s)) return 0;
    return PositiveModulo(rnd(std::fmod(s, double(m))), m);
}

uint16_t* Row16(Sprite& s, int y) {
    return reinterpret_cast<uint16_t*>(s.pixels + size_t(y) * size_t(s.pitch));
}

bool Locked(Sprite& s) {
    if (!s.pixels) s.Lock();
    return s.pixels != nullptr;
}

int16_t ToInt16(int v) {
    return int16_t(std::clamp(v, -32768, 32767));
}

} // namespace

void WaterfallBackdrop::FillFallTable(int64_t (&table)[kFallRows], float gravity) {
    for (int y = 0; y < kFallRows; ++y) {
        const double v =
            y < kWaterfallTop ? 0.0 : std::sqrt(double(y - kWaterfallTop) * double(gravity));
        table[y] = std::isfinite(v) ? int64_t(std::nearbyint(std::min(v, kLargestFall))) : 0;
    }
}

WaterfallBackdrop::TextureRows WaterfallBackdrop::textureRows(int textureHeight) const {
    if (textureHeight <= 1) return TextureRows{fall, 0, 0};
    const int64_t m = textureHeight - 1;
    return TextureRows{fall, textureHeight + ScrollOffset(yFlush, time, m), m};
}

int WaterfallBackdrop::TextureRows::operator()(int y) const {
    if (m <= 0) return 0;
    const int64_t fallRows = y >= 0 && y < kFallRows ? fall[y] % m : 0;
    return int(PositiveModulo(base + fallRows, m));
}

void WaterfallBackdrop::create() {
    release();
    flush_ = LoadHeldSprite("DATA\\flush.jpg");
    flushLeft_ = LoadHeldSprite("DATA\\flush_left.tga");
    flushRight_ = LoadHeldSprite("DATA\\flush_right.tga");
    flushDown_ = LoadHeldSprite("DATA\\flush_down.jpg");
    topWater_ = LoadHeldSprite("DATA\\Top_Water.tga");
    sideLeft_ = LoadHeldSprite("DATA\\Side_L_Water_Top.tga");
    sideRight_ = LoadHeldSprite("DATA\\Side_R_Water_Top.tga");
    stoneLeft_ = LoadHeldSprite("DATA\\Stone_L.jpg");
    stoneRight_ = LoadHeldSprite("DATA\\Stone_R.jpg");
    xFlush = GetIniFloat(kGameIni, "fx", "xFlush");
    yFlush = GetIniFloat(kGameIni, "fx", "yFlush");
    xTop = GetIniFloat(kGameIni, "fx", "xTop");
    yTop = GetIniFloat(kGameIni, "fx", "yTop");
    FillFallTable(fall, GetIniFloat(kGameIni, "fx", "gravity"));
    spray = new SprayEmitter();
    resetFrame();
    SwitchAmbient(kAmbientLoop);
}

void WaterfallBackdrop::release() {
    delete spray;
    spray = nullptr;
    for (Sprite** p : {&flush_, &flushLeft_, &flushRight_, &flushDown_, &topWater_, &sideLeft_,
                       &sideRight_, &stoneLeft_, &stoneRight_})
        ReleaseHeldSprite(*p);
}

void WaterfallBackdrop::update(float dt) {
    if (std::isfinite(dt)) time += dt;
    if (spray) spray->update(dt);
}

void WaterfallBackdrop::setFreeRect(int x, int y, int w, int h) {
    freeX = ToInt16(x);
    freeY = ToInt16(y);
    freeW = ToInt16(w);
    freeH = ToInt16(h);
}

void WaterfallBackdrop::setWaterTop(int y) {
    waterTop = ToInt16(y);
}

void WaterfallBackdrop::draw() {
    if (!RenderSurface || !spray) return; // not created yet: the loading screen draws before us
    const int x = freeX, y = freeY, w = freeW, h = freeH;
    if (y > 0) drawRegion(0, 0, kScreenWidth, y);
    if (h > 0 && x > 0) drawRegion(0, y, x, y + h);
    if (h > 0 && x + w < kScreenWidth) drawRegion(x + w, y, kScreenWidth, y + h);
    if (y + h < kScreenHeight) drawRegion(0, std::max(y + h, 0), kScreenWidth, kScreenHeight);
    RenderSurface->clip = ClipRect{0, 0, RenderSurface->width, RenderSurface->frameHeight};
}

void WaterfallBackdrop::drawRegion(int left, int top, int right, int bottom) {
    Sprite& target = *RenderSurface;
    target.clip = ClipRect{ToInt16(left), ToInt16(top), ToInt16(right), ToInt16(bottom)};
    const int stoneLeftWidth = Width(stoneLeft_), stoneRightWidth = Width(stoneRight_);
    target.FillRect(stoneLeftWidth, 0, kScreenWidth - stoneRightWidth, kSkyBottom, kSkyColour);
    target.DrawSprite(0, 0, stoneLeft_, 0, 0.0f);
    target.DrawSprite(kScreenWidth - stoneRightWidth, 0, stoneRight_, 0, 0.0f);
    drawWaterfall();
    drawEdge(flushLeft_, kWaterfallLeft);
    drawEdge(flushRight_, kWaterfallLeft + Width(flushLeft_) + Width(flush_));
    drawSurface(0);
    spray->setYOffset(waterTop - kScreenHeight);
    spray->draw();
}

// One texture row copy per screen row, straight into the back buffer.
void WaterfallBackdrop::drawWaterfall() {
    Sprite& target = *RenderSurface;
    if (!flush_ || !Locked(target) || !Locked(*flush_)) return;
    const Sprite::Extent te = flush_->PixelExtent(), de = target.PixelExtent();
    const int textureWidth = std::min<int>(flush_->width, te.columns);
    const int textureHeight = std::min<int>(flush_->frameHeight, te.rows);
    if (textureWidth <= 0 || textureHeight <= 0) return;
    const int left = std::max<int>(target.clip.left, 0),
              right = std::min<int>(target.clip.right, de.columns);
    const int top = std::max<int>({target.clip.top, 0, kWaterfallTop});
    const int bottom = std::min<int>({target.clip.bottom, de.rows, int(waterTop), kFallRows});
    const int x0 = kWaterfallLeft + Width(flushLeft_);
    const int i0 = std::max(0, left - x0), i1 = std::min(textureWidth, right - x0);
    if (i0 >= i1) return;
    const int column = int(ScrollOffset(xFlush, time, textureWidth));
    // Screen column x0 + i shows texture column (column + i) mod width: at most two runs.
    const int wrapAt = textureWidth - column;
    const TextureRows rows = textureRows(textureHeight);
    for (int y = top; y < bottom; ++y) {
        const uint16_t* src = Row16(*flush_, rows(y));
        uint16_t* dst = Row16(target, y) + x0;
        const int firstEnd = std::min(i1, wrapAt);
        if (i0 < firstEnd) std::memcpy(dst + i0, src + column + i0, size_t(firstEnd - i0) * 2);
        const int secondStart = std::max(i0, wrapAt);
        if (secondStart < i1)
            std::memcpy(dst + secondStart, src + (secondStart - wrapAt),
                        size_t(i1 - secondStart) * 2);
    }
}

// The blended edge rows, sampled like the falling water but without sideways scrolling.
void WaterfallBackdrop::drawEdge(Sprite* edge, int x) {
    if (!edge || edge->width <= 0) return;
    Sprite& target = *RenderSurface;
    const int top = std::max<int>(target.clip.top, kWaterfallTop);
    const int bottom = std::min<int>({target.clip.bottom, int(waterTop), kFallRows});
    if (top >= bottom) return;
    const TextureRows rows = textureRows(edge->frameHeight);
    int table[kFallRows];
    for (int y = top; y < bottom; ++y) table[y - top] = rows(y);
    target.BlitRows(x, top, edge->width, edge, 0, table, bottom - top, OP_ALPHA);
}

void WaterfallBackdrop::drawSurface(int dy) {
    Sprite& target = *RenderSurface;
    const int stoneLeftWidth = Width(stoneLeft_), stoneRightWidth = Width(stoneRight_);
    if (topWater_ && topWater_->width > 0 && topWater_->frameHeight > 0)
        target.TileRect(stoneLeftWidth, kSkyBottom + dy,
                        kScreenWidth - stoneRightWidth - stoneLeftWidth, topWater_->frameHeight,
                        topWater_, int(ScrollOffset(xTop, time, topWater_->width)),
                        int(ScrollOffset(yTop, time, topWater_->frameHeight)), 0);
    target.DrawSprite(stoneLeftWidth - Width(sideLeft_) / 2, kSkyBottom + dy, sideLeft_, 0, 0.0f);
    target.DrawSprite(kScreenWidth - stoneRightWidth - Width(sideRight_) / 2, kSkyBottom + dy,
                      sideRight_, 0, 0.0f);
}

void WaterfallBackdrop::drawWaterLine(int y) {
    if (!RenderSurface || !spray) return;
    drawSurface(y - kNormalWaterLine);
}

void WaterfallBackdrop::drawFoot(int bottom) {
    if (!RenderSurface || !flushDown_) return;
    const int rows = std::min(Height(flushDown_), bottom - kFootTopLimit);
    if (rows <= 0) return;
    RenderSurface->BlitRect(kFootX, bottom - rows, flushDown_->width, rows, flushDown_, 0,
                            flushDown_->frameHeight - rows, 0, 0.0f);
}

void drawWavy(Sprite* picture, int x, int y, float time) {
    if (!picture || !RenderSurface || picture->width <= 0) return;
    if (!std::isfinite(time)) time = 0.0f;
    constexpr int kColumn = 4;
    const auto offset = [time](int k) {
        return rnd(2.0 * std::sin((double(time) - 25.0 * k) * 0.004));
    };
    // Neighbouring columns mostly share their offset: one blit per run of equal offsets draws the
    // same pixels as one per column.
    const int columns = (int(picture->width) + kColumn - 1) / kColumn;
    for (int k = 0; k < columns;) {
        const int dy = offset(k);
        int end = k + 1;
        while (end < columns && offset(end) == dy) ++end;
        const int left = kColumn * k, right = std::min(kColumn * end, int(picture->width));
        RenderSurface->BlitRect(x + left, y + dy, right - left, picture->frameHeight, picture, left,
                                0, OP_MASK, 0.0f);
        k = end;
    }
}
