#include <gtest/gtest.h>

#include <cmath>

#include "GAME/bonuses.h"
#include "GAME/field_draw.h"
#include "GAME/flight.h"
#include "play_fixture.h"

namespace {

// One flying record at (x, y) towards `angle`, as the queue would launch it.
size_t Launch(PlayState& play, float x, float y, float angle) {
    Bubble b;
    b.state = Flying;
    b.colour = 3;
    b.x = x;
    b.y = y;
    b.vx = std::sin(angle) * 1000.0f;
    b.vy = -std::cos(angle) * 1000.0f;
    play.field.list.push_back(b);
    play.shotInFlight = true;
    return play.field.list.size() - 1;
}

} // namespace

TEST_F(PlayTest, LevelStartsWithALoadedAndANextBubble) {
    Create(Rules(8, 12, 3));
    EXPECT_EQ(play.shotCounter, 2);
    EXPECT_EQ(CountState(Loaded), 1);
    EXPECT_EQ(CountState(Next), 1);
    EXPECT_FALSE(play.shotInFlight);
    const Bubble& loaded = play.field.list[size_t(play.field.FindState(Loaded))];
    EXPECT_FLOAT_EQ(loaded.x, float(play.field.gunX));
    EXPECT_FLOAT_EQ(loaded.y, float(play.field.gunY));
}

TEST_F(PlayTest, FireLaunchesTheLoadedBubbleAndMovesTheQueueOn) {
    Create(Rules(8, 12, 3));
    ReadyToFire();
    play.angle = 0.3f;
    const size_t next = size_t(play.field.FindState(Next));
    Fire(play);
    EXPECT_TRUE(play.shotInFlight);
    EXPECT_EQ(hooks.Count("shot"), 1);
    EXPECT_EQ(play.field.list[next].state, Loaded);
    const Bubble& flying = play.field.list[size_t(play.field.FindState(Flying))];
    EXPECT_FLOAT_EQ(flying.vx, std::sin(0.3f) * 1000.0f);
    EXPECT_FLOAT_EQ(flying.vy, -std::cos(0.3f) * 1000.0f);
    EXPECT_EQ(CountState(Next), 1);
    EXPECT_EQ(play.shotCounter, 3);
    EXPECT_FLOAT_EQ(play.cooldown.start, float(play.time));
}

TEST_F(PlayTest, FireIsRefusedWhileItMayNotShoot) {
    const struct {
        const char* when;
        void (*prepare)(PlayState&);
    } cases[] = {
        {"introduction", [](PlayState& p) { p.time = 1499; }},
        {"cooldown", [](PlayState& p) { p.cooldown.Start(float(p.time - 500), 500); }},
        {"flight", [](PlayState& p) { p.shotInFlight = true; }},
        {"won", [](PlayState& p) { p.win.Start(float(p.time), 2000); }},
        {"lost", [](PlayState& p) { p.defeat.Start(float(p.time - 5000), 1000); }},
    };
    for (const auto& c : cases) {
        PlayTest::SetUp();
        play = PlayState{};
        play.hooks = &hooks;
        hooks.sounds.clear();
        Create(Rules(8, 12, 3));
        ReadyToFire();
        c.prepare(play);
        const bool inFlight = play.shotInFlight;
        const BubbleList before = play.field.list;
        Fire(play);
        EXPECT_TRUE(hooks.sounds.empty()) << c.when;
        EXPECT_EQ(play.shotInFlight, inFlight) << c.when;
        EXPECT_EQ(play.field.list.size(), before.size()) << c.when;
        EXPECT_EQ(CountState(Flying), 0) << c.when;
    }
}

TEST_F(PlayTest, ActionsAreIgnoredOnceTheLevelHasEnded) {
    Create(Rules(8, 12, 3));
    play.sensitivity = 1.0f;
    HandleAction(play, kActionTurnLeft, 15);
    EXPECT_FLOAT_EQ(play.angle, -15 * 0.7f * kTurnUnit);
    play.defeat.Start(float(play.time), 1000);
    HandleAction(play, kActionTurnRight, 15);
    HandleAction(play, kActionSwap, 15);
    EXPECT_FLOAT_EQ(play.angle, -15 * 0.7f * kTurnUnit);
    EXPECT_EQ(play.field.list[size_t(play.field.FindState(Loaded))].y, float(play.field.gunY));
}

TEST_F(PlayTest, TurningIsClampedAndDisturbsTheWaterAtTheLauncher) {
    Create(Rules(8, 12, 3));
    play.sensitivity = 2.0f;
    hooks.water.clear(); // loading the queue dipped it
    Turn(play, -1000.0f);
    EXPECT_FLOAT_EQ(play.angle, kAngleLimit);
    ASSERT_EQ(hooks.water.size(), 1u);
    EXPECT_EQ(hooks.water[0].first,
              rnd(std::sin(kAngleLimit) * 35.0f + float(play.field.gunX)) >> 1);
    EXPECT_EQ(hooks.water[0].second, WaterShape::Bump32);
    Turn(play, 1000.0f);
    EXPECT_FLOAT_EQ(play.angle, -kAngleLimit);
}

TEST_F(PlayTest, SwapExchangesTheQueueAndGrowthContinues) {
    Create(Rules(8, 12, 3));
    ReadyToFire();
    Fire(play);
    play.time += 100; // the new Loaded bubble is still growing
    const int scale = QueueScale(play);
    const size_t loaded = size_t(play.field.FindState(Loaded));
    const size_t next = size_t(play.field.FindState(Next));
    Swap(play);
    EXPECT_EQ(play.field.list[loaded].state, Next);
    EXPECT_EQ(play.field.list[next].state, Loaded);
    EXPECT_FLOAT_EQ(play.field.list[next].x, float(play.field.gunX));
    EXPECT_FLOAT_EQ(play.field.list[loaded].x, play.field.nextX);
    EXPECT_EQ(QueueScale(play), scale);
    EXPECT_EQ(scale, rnd(100.0f / 500.0f * 256.0f));
}

TEST_F(PlayTest, ShotAtTheClampLimitBouncesWithOneSoundPerBounce) {
    Create(Rules(8, 12, 0));
    play.field.list.clear();
    const size_t shot = Launch(play, float(play.field.gunX), float(play.field.gunY), kAngleLimit);
    float lastVx = play.field.list[shot].vx;
    int bounces = 0;
    for (int tick = 0; tick < 1000 && play.shotInFlight; ++tick) {
        const float y0 = play.field.list[shot].y;
        const size_t wallsBefore = size_t(hooks.Count("BubbleWall"));
        TickFlight(play, shot, 10.0f);
        const int wallSounds = hooks.Count("BubbleWall") - int(wallsBefore);
        if (!play.shotInFlight) break;
        const Bubble& b = play.field.list[shot];
        // 11 steps per 10 ms tick; a bounce is a step without movement.
        const float dy = y0 - b.y;
        EXPECT_NEAR(dy, float(11 - wallSounds) * std::cos(kAngleLimit), 1e-3f) << tick;
        if ((b.vx > 0) != (lastVx > 0)) ++bounces;
        EXPECT_LE(wallSounds, 1);
        lastVx = b.vx;
        EXPECT_GE(b.x, 16.0f);
        EXPECT_LE(b.x, float(play.field.W) - 16.0f);
    }
    EXPECT_FALSE(play.shotInFlight);
    EXPECT_GE(bounces, 5);
    EXPECT_EQ(hooks.Count("BubbleWall"), bounces);
    EXPECT_EQ(hooks.Count("BubbleStick"), 1);
}

TEST_F(PlayTest, ShotReachingTheCeilingAttachesInRowZero) {
    Create(Rules(8, 12, 0));
    play.field.list.clear();
    const size_t shot = Launch(play, 100.0f, 300.0f, 0.0f);
    for (int i = 0; i < 100 && play.shotInFlight; ++i) TickFlight(play, shot, 10.0f);
    ASSERT_FALSE(play.shotInFlight);
    const Bubble& b = play.field.list[shot];
    EXPECT_EQ(b.state, Settled);
    EXPECT_FLOAT_EQ(b.y, 16.0f);
    EXPECT_EQ(play.field.CellOf(b.x, b.y).row, 0);
    EXPECT_FLOAT_EQ(b.x, 96.0f); // row 0 has factor 2: columns at 32, 64, 96 ...
    EXPECT_FLOAT_EQ(play.ringRadius, 16.0f);
    EXPECT_FLOAT_EQ(play.ringY, b.y + 1.0f);
}

TEST_F(PlayTest, ShotOnALineAddingCeilingAttachesInRowMinusOneOrZero) {
    LevelParams rules = Rules(8, 12, 0);
    rules.LineAdd = 1;
    Create(rules);
    play.field.list.clear();
    play.field.ceiling = -20.0f; // between the rows: row -1 lies at -31.7, row 0 at -4
    const size_t shot = Launch(play, 100.0f, 300.0f, 0.0f);
    for (int i = 0; i < 100 && play.shotInFlight; ++i) TickFlight(play, shot, 10.0f);
    const int row = play.field.CellOf(play.field.list[shot].x, play.field.list[shot].y).row;
    EXPECT_TRUE(row == -1 || row == 0) << row;
}

TEST_F(PlayTest, DiagonalGrazeAttachesOnTheCellAhead) {
    Create(Rules(8, 12, 0));
    play.field.list.clear();
    const size_t target = Place(4, 3, 1);
    const Bubble t = play.field.list[target];
    // The point 16 pixels ahead lies inside the target's cell while the shot itself is more
    // than a bubble's width away from it.
    const float angle = -0.5236f;
    const float ux = std::sin(angle), uy = -std::cos(angle);
    const float lx = t.x + 15.0f, ly = t.y + 13.0f;
    const float sx = lx - 16.0f * ux, sy = ly - 16.0f * uy;
    ASSERT_GT(std::hypot(sx - t.x, sy - t.y), 32.0f);
    const size_t shot = Launch(play, sx, sy, angle);
    const Cell expected = play.field.CellOf(sx, sy);
    TickFlight(play, shot, 10.0f);
    ASSERT_FALSE(play.shotInFlight);
    const Bubble& b = play.field.list[shot];
    EXPECT_EQ(play.field.CellOf(b.x, b.y).row, expected.row);
    EXPECT_EQ(play.field.CellOf(b.x, b.y).col, expected.col);
    EXPECT_LT(std::hypot(b.x - t.x, b.y - t.y), 33.0f); // snapped next to the target
}

TEST_F(PlayTest, BonusShotThreeMakesEveryThirdBubbleATwoColourBonusAtLevelZero) {
    LevelParams rules = Rules(8, 12, 4, 7);
    rules.BonusShot = 3;
    Create(rules);
    ReadyToFire();
    std::vector<int> specials;
    auto nextSpecial = [&] {
        return int(play.field.list[size_t(play.field.FindState(Next))].special);
    };
    // Bubbles 1 and 2 were made at creation (2 is the Next one).
    specials.push_back(nextSpecial());
    for (int made = 3; made <= 9; ++made) {
        LoadQueue(play);
        const Bubble& n = play.field.list[size_t(play.field.FindState(Next))];
        specials.push_back(n.special);
        if (n.special == kBonusTwoColour) {
            EXPECT_GE(n.colour, kFirstTwoColour);
            EXPECT_LE(n.colour, kLastTwoColour);
        }
    }
    EXPECT_EQ(specials, (std::vector<int>{0, 17, 0, 0, 17, 0, 0, 17}));
}

TEST_F(PlayTest, BonusBubbleLaunchesWithItsOwnSound) {
    LevelParams rules = Rules(8, 12, 4, 7);
    rules.BonusShot = 1;
    Create(rules);
    ReadyToFire();
    Fire(play); // the Loaded bubble was the first made, itself a bonus
    EXPECT_EQ(hooks.Count("launch"), 1);
    EXPECT_EQ(hooks.Count("shot"), 0);
}
