#include "GAME/flight.h"

#include <algorithm>
#include <cmath>

#include "GAME/bonuses.h"
#include "GAME/matching.h"
#include "BASE/rnd.h"

namespace {

constexpr float kShotSpeed = 1000.0f;

int LauncherColumn(const PlayState& play) {
    return rnd(std::sin(play.angle) * 35.0f + float(play.field.gunX)) >> 1;
}

Bubble MakeNext(PlayState& play) {
    Playfield& field = play.field;
    Bubble b;
    b.state = Next;
    b.x = field.nextX;
    b.y = field.nextY;
    const int every = field.params.BonusShot;
    if (every == 0 || play.shotCounter % every != 0) {
        b.colour = int8_t(field.ChooseColour());
        return b;
    }
    b.special = int8_t(ChooseBonus(play));
    if (b.special == kBonusBomb)
        b.colour = kGrey;
    else if (b.special == kBonusTwoColour)
        b.colour = int8_t(field.ChooseTwoColour());
    else
        b.colour = int8_t(field.ChooseColour());
    return b;
}

void Attach(PlayState& play, size_t index, float ux, float uy) {
    Playfield& field = play.field;
    play.hooks->Sound(play.FreezeRunning() ? "bubble_stick_ice" : "BubbleStick");
    Bubble& shot = field.list[index];
    shot.state = Settled;
    const Cell cell = field.CellOf(shot.x, shot.y);
    field.CellCentre(cell, shot.x, shot.y);
    shot.vx = shot.vy = 0;
    play.shotInFlight = false;
    play.ringX = shot.x - ux;
    play.ringY = shot.y - uy;
    play.ringRadius = 16.0f;
    OnSettled(play, index);
}

} // namespace

void Turn(PlayState& play, float amount) {
    play.angle =
        std::clamp(play.angle - play.sensitivity * amount * kTurnUnit, -kAngleLimit, kAngleLimit);
    play.hooks->WaterDisturb(LauncherColumn(play), WaterShape::Bump32);
}

void HandleAction(PlayState& play, int action, int strength) {
    if (play.Ended()) return;
    switch (action) {
    case kActionTurnLeft: Turn(play, float(strength) * kKeyTurnFactor); break;
    case kActionTurnRight: Turn(play, -float(strength) * kKeyTurnFactor); break;
    case kActionShoot: Fire(play); break;
    case kActionSwap: Swap(play); break;
    default: break;
    }
}

void Fire(PlayState& play) {
    if (play.shotInFlight || play.Ended() || !play.intro.Ended(play.time) ||
        play.cooldown.Running(play.time))
        return;
    play.cooldown.Start(float(play.time), kCooldownMs);
    const bool hadLoaded = play.field.FindState(Loaded) >= 0;
    const int kind = LoadQueue(play);
    play.hooks->Sound(kind != 0 ? "launch" : "shot");
    // Without a Loaded bubble nothing left the launcher, and nothing will ever settle.
    play.shotInFlight = hadLoaded;
}

int LoadQueue(PlayState& play) {
    Playfield& field = play.field;
    ++play.shotCounter;
    const int loaded = field.FindState(Loaded);
    const int next = field.FindState(Next);
    if (next >= 0) {
        Bubble& b = field.list[size_t(next)];
        b.state = Loaded;
        b.x = float(field.gunX);
        b.y = float(field.gunY);
        play.hooks->WaterDisturb(LauncherColumn(play), WaterShape::Dip64);
    }
    int kind = 0;
    if (loaded >= 0) {
        Bubble& b = field.list[size_t(loaded)];
        b.state = Flying;
        b.vx = std::sin(play.angle) * kShotSpeed;
        b.vy = -std::cos(play.angle) * kShotSpeed;
        kind = b.special;
    }
    field.list.push_back(MakeNext(play));
    return kind;
}

void Swap(PlayState& play) {
    Playfield& field = play.field;
    const int loaded = field.FindState(Loaded);
    const int next = field.FindState(Next);
    if (loaded < 0 || next < 0) return;
    Bubble& a = field.list[size_t(loaded)];
    Bubble& b = field.list[size_t(next)];
    std::swap(a.state, b.state);
    std::swap(a.x, b.x);
    std::swap(a.y, b.y);
}

void TickFlight(PlayState& play, size_t index, float dt) {
    Playfield& field = play.field;
    Bubble& shot = field.list[index];
    const float speed = std::sqrt(shot.vx * shot.vx + shot.vy * shot.vy);
    float ux = 0, uy = 0;
    if (speed > 0) {
        ux = shot.vx / speed;
        uy = shot.vy / speed;
    }
    int lastCol = -1, lastRow = -1;
    float n = dt;
    do {
        const float lx = shot.x + 16.0f * ux, ly = shot.y + 16.0f * uy;
        const int r = field.RowOf(ly);
        const int c = rnd((lx - float(16 * field.FactorOf(r))) * 0.03125f);
        if (shot.x + ux - 16.0f < 0 || shot.x + ux + 16.0f > float(field.W)) {
            play.hooks->Sound(play.FreezeRunning() ? "bubble_wall_ice" : "BubbleWall");
            ux = -ux;
            shot.vx = -shot.vx;
        } else {
            if (shot.y - 16.0f < field.ceiling) return Attach(play, index, ux, uy);
            if (c != lastCol || r != lastRow) {
                float cx, cy;
                field.CellCentre({r, c}, cx, cy);
                if (field.OccupantNear(cx, cy) >= 0) return Attach(play, index, ux, uy);
            }
            shot.x += ux;
            shot.y += uy;
            lastCol = c;
            lastRow = r;
        }
        n -= 1.0f;
    } while (n >= 0);
}

void AdvanceRecords(PlayState& play, float dt) {
    Playfield& field = play.field;
    const int age = rnd(dt);
    for (field.cursor = field.list.size(); field.cursor-- > 0;) {
        Bubble& b = field.list[field.cursor];
        if (b.life >= 0) b.life -= age;
        if (b.state == Flying)
            TickFlight(play, field.cursor, dt);
        else if (b.state == Falling)
            TickFalling(play, field.cursor, dt);
    }
    field.cursor = 0;
}

Cell GuideLanding(const PlayState& play, float angle,
                  const std::function<void(float x, float y)>& step) {
    // A field narrower than a bubble would bounce the path for ever.
    constexpr int kSafetySteps = 1 << 20;
    const Playfield& field = play.field;
    float dirx = std::sin(angle);
    const float diry = -std::cos(angle);
    float px = float(field.gunX) + 20.0f * dirx, py = float(field.gunY) + 20.0f * diry;
    int lastCol = -1, lastRow = -1;
    for (int n = 0; n < kSafetySteps; ++n) {
        const float lx = px + 16.0f * dirx, ly = py + 16.0f * diry;
        const int r = field.RowOf(ly);
        const int c = rnd((lx - float(16 * field.FactorOf(r))) * 0.03125f);
        if (px + dirx - 16.0f >= 0 && px + dirx + 16.0f <= float(field.W)) {
            if (py - 16.0f < field.ceiling) break;
            if (c != lastCol || r != lastRow) {
                float cx, cy;
                field.CellCentre({r, c}, cx, cy);
                if (field.OccupantNear(cx, cy) >= 0) break;
            }
            px += dirx;
            py += diry;
            lastCol = c;
            lastRow = r;
        } else {
            dirx = -dirx;
        }
        if (step) step(px, py);
    }
    return field.CellOf(px, py);
}

void AdvanceRing(PlayState& play, float dt) {
    play.ringRadius += dt * play.velocityWave;
}

void CreateField(PlayState& play, const LevelParams& rules, uint32_t seedA) {
    play.field.Setup(rules, seedA);
    play.angle = 0;
    play.shotInFlight = false;
    play.shotCounter = 0;
    play.ringRadius = kNoRing;
    LoadQueue(play);
    LoadQueue(play);
}
