#include "GAME/field_draw.h"

#include <algorithm>
#include <cmath>

#include "GAME/flight.h"
#include "BASE/rnd.h"
#include "GRAPH/Sprite.h"
#include "GRAPH/graph.h"

namespace {

constexpr const char* kBubbleMask = "DATA\\_bubble.tga";
constexpr const char* kBonusMask = "DATA\\BONUS\\_bonus.tga";
constexpr const char* kTwoColourFiles[10] = {"02", "03", "05", "13", "23",
                                             "24", "25", "26", "36", "46"};
constexpr const char* kBonusIconFiles[7] = {"x2", "help", "up", "freeze", "x3", "bomb", "rot"};
constexpr int kGunFrames = 8;
constexpr float kGunFrameScale = 0.002f; // the strip runs 500 ms
constexpr float kGunLift = 3.2f;

void Hold(Sprite*& slot, const std::string& file, const char* mask) {
    Sprite* sprite = LoadHeldSprite(file.c_str(), mask);
    ReleaseHeldSprite(slot);
    slot = sprite;
}

void Stretch(Sprite* sprite, int left, int top, int w, int h, uint32_t flags) {
    if (!sprite || !RenderSurface) return;
    RenderSurface->StretchBlit(left, top, w, h, sprite, 0, 0, sprite->width, sprite->frameHeight,
                               flags, 0);
}

const Bubble* FindRecord(const PlayState& play, uint8_t state) {
    const int index = play.field.FindState(state);
    return index >= 0 ? &play.field.list[size_t(index)] : nullptr;
}

int LauncherColour(const PlayState& play) {
    const Bubble* loaded = FindRecord(play, Loaded);
    return loaded ? std::clamp(int(loaded->colour), 0, 7) : 0;
}

} // namespace

void FieldSprites::LoadBubbleSet(const std::string& bubbleSet) {
    for (int c = 0; c < 8; ++c)
        Hold(table[c], bubbleSet + "\\" + std::to_string(c) + ".tga", kBubbleMask);
}

void FieldSprites::Load(const std::string& bubbleSet) {
    LoadBubbleSet(bubbleSet);
    for (int i = 0; i < 10; ++i)
        Hold(table[kFirstTwoColour + i], std::string("DATA\\BONUS\\") + kTwoColourFiles[i] + ".tga",
             kBubbleMask);
    for (int i = 0; i < 7; ++i)
        Hold(table[18 + i], std::string("DATA\\BONUS\\") + kBonusIconFiles[i] + ".tga", kBonusMask);
    Hold(table[kDebrisBurst], "DATA\\bub.tga", nullptr);
    Hold(table[kDebrisSmall], "DATA\\bubsmall.tga", nullptr);
    Hold(table[kDebrisSnowflake], "DATA\\snowflake.tga", nullptr);
    Hold(ice, "DATA\\ice.tga", nullptr);
    for (int c = 0; c < 8; ++c) {
        Hold(gun[c], "DATA\\GUN\\" + std::to_string(c) + ".tga", "DATA\\GUN\\_gun.tga");
        Hold(weapon[c], "DATA\\WEAPON\\" + std::to_string(c) + ".tga", "DATA\\WEAPON\\_weapon.tga");
        Sprite* strip = gun[c];
        // The cache hands out the same sprite again: cut it into frames only once.
        if (strip && strip->frameCount == 1 && strip->frameHeight >= kGunFrames) {
            strip->frameCount = kGunFrames;
            strip->frameHeight = int16_t(strip->frameHeight / kGunFrames);
            strip->frameScale = kGunFrameScale;
        }
    }
}

void FieldSprites::Release() {
    for (Sprite*& s : table) ReleaseHeldSprite(s);
    ReleaseHeldSprite(ice);
    for (Sprite*& s : gun) ReleaseHeldSprite(s);
    for (Sprite*& s : weapon) ReleaseHeldSprite(s);
}

void DrawBubble(const PlayState& play, const FieldSprites& sprites, const Bubble& record,
                int scale) {
    const Playfield& field = play.field;
    if (record.colour < 0 || record.colour >= kSpriteCount) return;
    Sprite* sprite = sprites.table[record.colour];
    const bool debris = record.colour > 24;
    int w = 0, h = 0;
    if (sprite) {
        w = debris ? record.size * sprite->width / 64 : (scale * sprite->width) >> 8;
        h = debris ? record.size * sprite->frameHeight / 64 : (scale * sprite->frameHeight) >> 8;
    }
    // Bubbles inside the landing ring's 32-pixel band are lifted by up to one pixel.
    double y = record.y;
    const double R = play.ringRadius, dx = play.ringX - record.x, dy = play.ringY - record.y;
    const double d2 = dx * dx + dy * dy, inner = (R - 32) * (R - 32), outer = R * R;
    if (inner <= d2 && d2 <= outer && outer > inner) y -= (d2 - inner) / (outer - inner);
    const int cx = rnd(record.x) + field.originX, cy = rnd(y) + field.originY;
    Stretch(sprite, cx - w / 2, cy - h / 2, w, h, debris ? OP_ADD : OP_ALPHA);
    if (debris) return;
    if (play.FreezeRunning() && sprites.ice && RenderSurface)
        RenderSurface->DrawSprite(cx - 16, cy - 2, sprites.ice, 0, 0);
    if (record.special >= 18 && record.special < kSpriteCount)
        Stretch(sprites.table[record.special], cx - w / 2, cy - h / 2, w, h, OP_ALPHA);
}

void DrawRecords(const PlayState& play, const FieldSprites& sprites) {
    for (const Bubble& b : play.field.list)
        if (b.state != Loaded && b.state != Next) DrawBubble(play, sprites, b, 256);
}

int QueueScale(const PlayState& play) {
    const float progress =
        play.cooldown.Running(play.time) ? play.cooldown.Progress(play.time) : 1.0f;
    return rnd(progress * 256.0f);
}

void DrawAimGuide(const PlayState& play, const FieldSprites& sprites) {
    if (!play.aimGuide || play.Won() || !RenderSurface) return;
    const Playfield& field = play.field;
    const Bubble* loaded = FindRecord(play, Loaded);
    if (!loaded || loaded->colour < 0 || loaded->colour >= kSpriteCount) return;
    Sprite* dot = sprites.table[loaded->colour];
    float dotX = float(field.gunX) + 20.0f * std::sin(play.angle);
    float dotY = float(field.gunY) - 20.0f * std::cos(play.angle);
    const Cell landing = GuideLanding(play, play.angle, [&](float px, float py) {
        const float ddx = px - dotX, ddy = py - dotY;
        if (ddx * ddx + ddy * ddy <= 256.0f) return;
        Stretch(dot, rnd(px + float(field.originX) - 4.0f), rnd(py + float(field.originY) - 4.0f),
                8, 8, OP_ALPHA);
        dotX = px;
        dotY = py;
    });
    float cx, cy;
    field.CellCentre(landing, cx, cy);
    Stretch(dot, rnd(cx + float(field.originX) - 8.0f), rnd(cy + float(field.originY) - 8.0f), 16,
            16, OP_ALPHA);
}

void DrawLauncher(const PlayState& play, const FieldSprites& sprites) {
    if (!RenderSurface) return;
    const Playfield& field = play.field;
    const int c = LauncherColour(play);
    const int cx = field.originX + field.gunX, cy = field.originY + field.gunY;
    if (Sprite* weapon = sprites.weapon[c])
        RenderSurface->DrawSprite(cx - weapon->width / 2, cy - 17, weapon, 0, 0);
    if (const Bubble* loaded = FindRecord(play, Loaded))
        DrawBubble(play, sprites, *loaded, QueueScale(play));
    Sprite* gun = sprites.gun[c];
    if (!gun) return;
    const float w = gun->width, h = gun->frameHeight;
    const float s = std::sin(play.angle), k = std::cos(play.angle);
    auto corner = [&](float lift, float side) {
        return ScreenPoint{float(rnd(cx + lift * s + side * k)),
                           float(rnd(cy - lift * k + side * s))};
    };
    const ScreenPoint farLeft = corner(h + kGunLift, -w / 2),
                      farRight = corner(h + kGunLift, w / 2);
    const ScreenPoint nearRight = corner(kGunLift, w / 2), nearLeft = corner(kGunLift, -w / 2);
    const float phase =
        play.cooldown.Running(play.time) ? play.cooldown.Progress(play.time) * kCooldownMs : 0.0f;
    RenderSurface->DrawTriangle(OP_ALPHA, gun, {farLeft, farRight, nearRight},
                                {{0, 0}, {1, 0}, {1, 1}}, phase);
    RenderSurface->DrawTriangle(OP_ALPHA, gun, {farLeft, nearRight, nearLeft},
                                {{0, 0}, {1, 1}, {0, 1}}, phase);
}

void DrawNextBubble(const PlayState& play, const FieldSprites& sprites) {
    const Bubble* next = FindRecord(play, Next);
    if (!next) return;
    int scale = QueueScale(play);
    if (play.fadeOut.Started(play.time))
        scale = rnd((1.0f - play.fadeOut.Progress(play.time)) * 256.0f);
    else if (play.fadeIn.Running(play.time))
        scale = rnd(play.fadeIn.Progress(play.time) * 256.0f);
    DrawBubble(play, sprites, *next, scale);
}
