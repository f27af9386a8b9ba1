#include "GAME/matching.h"

#include <cmath>
#include <cstdlib>

#include "GAME/bonuses.h"
#include "GAME/game_state.h"
#include "BASE/rnd.h"

namespace {

constexpr float kNeighbourSquared = 2304.0f; // the six lattice neighbours
constexpr float kBombSquared = 4900.0f;
constexpr float kSupportSquared = 1126.4f;
constexpr int kBestShotBonus = 100;
constexpr int kJoyThreshold = 70;
constexpr int kFirstNonBubble = 23; // bonus-icon indices and debris splash no water

float DistanceSquared(const Bubble& a, const Bubble& b) {
    const float dx = a.x - b.x, dy = a.y - b.y;
    return dx * dx + dy * dy;
}

void ClearMarks(BubbleList& list) {
    for (Bubble& b : list) b.marks = 0;
}

void Support(BubbleList& list, size_t index) {
    list[index].marks = 1;
    for (size_t i = 0; i < list.size(); ++i) {
        Bubble& p = list[i];
        if (p.state == Settled && p.marks == 0 && DistanceSquared(p, list[index]) < kSupportSquared)
            Support(list, i);
    }
}

// Unsupported bubbles start falling with velocities from generator B; returns how many fell.
int Drop(PlayState& play) {
    Playfield& field = play.field;
    int fell = 0;
    for (Bubble& b : field.list) {
        if (b.state != Settled || b.marks != 0) continue;
        field.genB.Next();
        field.genB.Next();
        const int h = int16_t(uint16_t(field.genB.state >> 16));
        b.state = Falling;
        b.vx = float(h * 200) / 32768.0f;
        b.vy = -float((h & 0x7FFF) * 300) / 32768.0f;
        b.ax = 0;
        b.ay = 2000;
        b.life = 65535;
        Score += play.fallPoints;
        ++fell;
    }
    if (fell > 0) play.hooks->Sound("Fall");
    return fell;
}

void ScoreShot(PlayState& play, int before, int multiplier) {
    const int after = Score;
    Score = after + (multiplier - 1) * (after - before);
    const int gain = Score - before;
    if (gain > BestShot) {
        BestShot = gain;
        Score += kBestShotBonus;
        play.hooks->HeroEvent(kHeroBestShot);
    }
    if (Score - before > kJoyThreshold && play.hooks->HeroIdle()) play.hooks->HeroEvent(kHeroJoy);
}

} // namespace

int SearchGroup(Playfield& field, size_t index, int key, uint8_t bit) {
    BubbleList& list = field.list;
    list[index].marks |= bit;
    const bool bomb = list[index].special == kBonusBomb;
    int count = 0;
    for (size_t i = 0; i < list.size(); ++i) {
        Bubble& p = list[i];
        if (p.state != Settled || (p.marks & bit)) continue;
        if (bomb) {
            if (DistanceSquared(p, list[index]) < kBombSquared)
                count += 1 + SearchGroup(field, i, KeysOf(p.colour).first, bit);
        } else if (DistanceSquared(p, list[index]) < kNeighbourSquared) {
            const KeyPair keys = KeysOf(p.colour);
            if (keys.first == key || keys.second == key)
                count += 1 + SearchGroup(field, i, key, bit);
        }
    }
    return count;
}

void OnSettled(PlayState& play, size_t index) {
    Playfield& field = play.field;
    BubbleList& list = field.list;
    const Bubble shot = list[index];
    SettleReport report;
    const Cell cell = field.CellOf(shot.x, shot.y);
    report.row = cell.row;
    report.col = cell.col;
    report.colour = shot.colour;
    report.special = shot.special;

    ClearMarks(list);
    const KeyPair keys = KeysOf(shot.colour);
    const int g1 = SearchGroup(field, index, keys.first, 1);
    const int g2 = SearchGroup(field, index, keys.second, 2);
    const bool bomb = shot.special == kBonusBomb;
    if (g1 > 1 || g2 > 1 || bomb) {
        play.hooks->Sound(play.FreezeRunning() ? "bubble_fall_regular_ice" : "Burst");
        const int before = Score;
        const uint8_t mask = bomb ? 3 : uint8_t((g2 > 1 ? 2 : 0) | (g1 > 1 ? 1 : 0));
        int multiplier = 1;
        int guide = kGuideUnset;
        for (size_t i = list.size(); i-- > 0;) {
            if (list[i].state != Settled || !(list[i].marks & mask)) continue;
            Score += play.burstPoints;
            if (list[i].special != 0) ApplyBonus(play, i, multiplier, guide);
            const float x = list[i].x, y = list[i].y;
            SpawnDebris(play, x, y, 1, 2, play.FreezeRunning() ? kDebrisSnowflake : kDebrisBurst,
                        16, 32);
            SpawnDebris(play, x, y, 10, 10, kDebrisSmall, 32, 32);
            field.Erase(i);
            ++report.burst;
        }
        if (guide != kGuideUnset) play.aimGuide = guide != 0;
        field.RemoveAboveCeiling();

        ClearMarks(list);
        for (size_t i = 0; i < list.size(); ++i)
            if (list[i].state == Settled && list[i].marks == 0 && list[i].y < field.ceiling + 32.0f)
                Support(list, i);
        report.fell = Drop(play);
        ScoreShot(play, before, multiplier);
    }
    play.lastSettle = report;
    ++play.settledShots;
}

void SpawnDebris(PlayState& play, float x, float y, int base, int extra, int kind, int sizeBase,
                 int sizeRange) {
    Playfield& field = play.field;
    const int r = field.genB.Next();
    const int count = base + rnd(double(r) * extra / 32767.0);
    for (int k = 0; k < count; ++k) {
        Bubble d;
        d.state = Falling;
        d.colour = int8_t(kind);
        d.x = x + float(field.RandB(33) - 16);
        d.y = y + float(field.RandB(33) - 16);
        if (kind == kDebrisBurst) {
            d.vx = float(field.RandB(201) - 100);
            d.vy = float(field.RandB(101));
            d.ay = -200;
            d.life = 2000;
        } else if (kind == kDebrisSnowflake) {
            d.vx = float(field.RandB(201) - 100);
            d.vy = -float(field.RandB(201));
            d.ay = 800;
            d.life = 2000;
        } else {
            const float a = float(field.RandB(629) - 314) / 100.0f;
            d.vx = 60.0f * std::sin(a);
            d.vy = 60.0f * std::cos(a);
            d.life = 100 + field.RandB(300);
        }
        d.size = uint8_t(sizeBase + field.RandB(sizeRange));
        field.list.push_back(d);
    }
}

void TickFalling(PlayState& play, size_t index, float dt) {
    Playfield& field = play.field;
    Bubble& b = field.list[index];
    const float q = dt * 0.001f;
    b.x += b.vx * q;
    b.y += b.vy * q;
    b.vx += b.ax * q;
    b.vy += b.ay * q;
    if (b.colour < kFirstNonBubble &&
        std::fabs(b.y - float(field.params.height) * kRowPitch) < 16.0f) {
        play.hooks->WaterDisturb(rnd(b.x) >> 1, WaterShape::Bump64);
        play.hooks->Sound("bubble_drop");
    }
    if (b.x < 16.0f) {
        b.vx = -b.vx;
        b.x = 16.0f;
    }
    if (b.x > float(field.W) - 16.0f) {
        b.x = float(field.W) - 16.0f;
        b.vx = -b.vx;
    }
    if (b.y > 600.0f || b.life < 0 || b.y < 0) field.Erase(index);
}
