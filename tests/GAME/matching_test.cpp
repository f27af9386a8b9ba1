#include <gtest/gtest.h>

#include "GAME/bonuses.h"
#include "GAME/matching.h"
#include "play_fixture.h"

// The shot is placed last and settled directly.
class MatchingTest : public HandBuiltFieldTest {
protected:
    void Settle(size_t shot) { OnSettled(play, shot); }
    int Settled_() const { return CountState(Settled); }
};

TEST_F(MatchingTest, OneNeighbourOfTheColourDoesNotBurstTwoDo) {
    Place(0, 0, 2);
    const size_t shot = Place(0, 1, 2);
    Settle(shot);
    EXPECT_EQ(play.lastSettle.burst, 0);
    EXPECT_EQ(Settled_(), 2);
    EXPECT_TRUE(hooks.sounds.empty());

    Place(0, 3, 2);
    const size_t second = Place(0, 2, 2);
    Settle(second);
    EXPECT_EQ(play.lastSettle.burst, 4);
    EXPECT_EQ(Settled_(), 0);
    EXPECT_EQ(hooks.Count("Burst"), 1);
    EXPECT_EQ(Score, 40 + 100); // the first scoring shot is also the best shot
}

TEST_F(MatchingTest, TwoColourBubbleBurstsOnlyTheGroupThatIsLargeEnough) {
    // Keys (2, 5): two reds (key 2) and one key-5 bubble around it.
    Place(0, 2, 2);
    Place(1, 3, 2);
    Place(0, 4, 5);
    const size_t shot = Place(0, 3, 14);
    Settle(shot);
    EXPECT_EQ(play.lastSettle.burst, 3);
    ASSERT_NE(At(0, 4), nullptr);
    EXPECT_EQ(At(0, 4)->colour, 5);
    EXPECT_EQ(At(0, 2), nullptr);
}

TEST_F(MatchingTest, PlainShotJoinsTwoColourBubblesCarryingItsKeyAndGoesOnWithItsKey) {
    // Row 0: 3, (3,6)=16, 6, 3 ... the search passes the two-colour bubble on key 3 only.
    Place(0, 0, 3);
    Place(0, 1, 16);
    Place(0, 2, 6);
    Place(0, 3, 6);
    const size_t shot = Place(1, 0, 3); // touches (0,0) only
    Settle(shot);
    EXPECT_EQ(play.lastSettle.burst, 3);
    EXPECT_NE(At(0, 2), nullptr);
    EXPECT_NE(At(0, 3), nullptr);
}

TEST_F(MatchingTest, BombBurstsItsSurroundingsAndTheirGroups) {
    // A chain of colour 4 leads away from the bomb's 70-pixel reach; it bursts as a group.
    for (int col = 0; col < 8; ++col) Place(0, col, 4);
    Place(1, 7, 1); // far away: stays, then falls
    Place(2, 6, 1);
    const size_t bomb = Place(1, 0, kGrey, kBonusBomb);
    Settle(bomb);
    EXPECT_EQ(hooks.Count("Burst"), 1);
    EXPECT_EQ(hooks.Count("bomb"), 1);
    EXPECT_EQ(play.lastSettle.burst, 9);
    EXPECT_EQ(play.lastSettle.fell, 2); // nothing holds the two far bubbles any more
    EXPECT_EQ(hooks.Count("Fall"), 1);
}

TEST_F(MatchingTest, LoneBombStillBursts) {
    const size_t bomb = Place(0, 3, kGrey, kBonusBomb);
    Settle(bomb);
    EXPECT_EQ(play.lastSettle.burst, 1);
    EXPECT_EQ(Settled_(), 0);
}

TEST_F(MatchingTest, GreysBurstOnlyWithGreysAndFallWhenUnsupported) {
    Place(0, 0, 1);
    Place(0, 1, 1);
    Place(1, 1, kGrey); // hangs from the two blues
    Place(1, 0, kGrey);
    const size_t shot = Place(1, 2, 1);
    Settle(shot);
    // The shot bursts the blues; the greys beside it are left and fall.
    EXPECT_EQ(play.lastSettle.burst, 3);
    EXPECT_EQ(play.lastSettle.fell, 2);
}

TEST_F(MatchingTest, BubbleHangingFromAFallingGroupFallsWithIt) {
    Place(0, 0, 2);
    Place(0, 1, 2);
    Place(1, 1, 5); // holds on to the reds only
    Place(2, 1, 6); // holds on to the key-5 bubble only
    const size_t shot = Place(0, 2, 2);
    Settle(shot);
    EXPECT_EQ(play.lastSettle.fell, 2);
    EXPECT_EQ(Score, 3 * 10 + 2 * 20 + 100);
}

TEST_F(MatchingTest, MultipliersOfOneBurstMultiplyAndCoverTheFall) {
    Place(0, 0, 2, kBonusX2);
    Place(0, 1, 2, kBonusX3);
    Place(1, 1, 5); // falls
    const size_t shot = Place(0, 2, 2);
    BestShot = 100000; // no best-shot bonus here
    Settle(shot);
    EXPECT_EQ(Score, 6 * (3 * 10 + 20));
    EXPECT_EQ(hooks.Count("BonusX"), 2);
}

TEST_F(MatchingTest, BestShotBonusComesAfterTheMultiplierAndCountsForJoy) {
    const struct {
        int bestShot, burst;
        int expectedScore;
        bool best, joy;
    } cases[] = {
        {0, 10, 30 + 100, true, true}, // best shot: +100 makes it more than 70
        {1000, 10, 30, false, false},  // 30 points, no best shot, no joy
        {1000, 30, 90, false, true},   // more than 70 on its own
    };
    for (const auto& c : cases) {
        play.field.list.clear();
        hooks.events.clear();
        Score = 0;
        BestShot = c.bestShot;
        play.burstPoints = c.burst;
        Place(0, 0, 2);
        Place(0, 1, 2);
        Settle(Place(0, 2, 2));
        EXPECT_EQ(Score, c.expectedScore);
        EXPECT_EQ(hooks.Sent(kHeroBestShot), c.best);
        EXPECT_EQ(hooks.Sent(kHeroJoy), c.joy);
        if (c.best) {
            EXPECT_EQ(BestShot, 3 * c.burst);
        }
    }
}

TEST_F(MatchingTest, JoyWaitsForAnIdleHero) {
    hooks.idle = false;
    Place(0, 0, 2);
    Place(0, 1, 2);
    Settle(Place(0, 2, 2));
    EXPECT_TRUE(hooks.Sent(kHeroBestShot)); // sent whatever the hero does
    EXPECT_FALSE(hooks.Sent(kHeroJoy));
}

TEST_F(MatchingTest, BurstSpawnsDebrisAndFallingRecordsLeaveTheScreen) {
    Place(0, 0, 2);
    Place(0, 1, 2);
    Settle(Place(0, 2, 2));
    int burstBubbles = 0, small = 0;
    for (const Bubble& b : play.field.list) {
        EXPECT_EQ(b.state, Falling);
        if (b.colour == kDebrisBurst) {
            ++burstBubbles;
            EXPECT_EQ(b.life, 2000);
            EXPECT_FLOAT_EQ(b.ay, -200.0f);
        }
        if (b.colour == kDebrisSmall) {
            ++small;
            EXPECT_GE(b.life, 100);
            EXPECT_LE(b.life, 399);
        }
        EXPECT_GE(b.size, 16);
    }
    EXPECT_GE(burstBubbles, 3);
    EXPECT_LE(burstBubbles, 9);
    EXPECT_GE(small, 30);
    EXPECT_LE(small, 60);
    for (int tick = 0; tick < 400 && !play.field.list.empty(); ++tick) AdvanceRecords(play, 10.0f);
    EXPECT_TRUE(play.field.list.empty());
}

TEST_F(MatchingTest, FreezeMakesBurstsThrowSnowflakes) {
    play.freeze.Start(0, kFreezeMs);
    Place(0, 0, 2);
    Place(0, 1, 2);
    Settle(Place(0, 2, 2));
    EXPECT_EQ(hooks.Count("bubble_fall_regular_ice"), 1);
    EXPECT_EQ(hooks.Count("Burst"), 0);
    int flakes = 0;
    for (const Bubble& b : play.field.list) flakes += b.colour == kDebrisSnowflake;
    EXPECT_GE(flakes, 3);
}

TEST_F(MatchingTest, FallingBubbleSplashesAtTheDangerLineAndBouncesOffWalls) {
    Bubble b;
    b.state = Falling;
    b.colour = 2;
    b.x = 20;
    b.y = 12 * kRowPitch - 30;
    b.vx = -1000;
    b.vy = 0;
    b.ay = 2000;
    b.life = 65535;
    play.field.list.push_back(b);
    int splashes = 0;
    for (int tick = 0; tick < 200 && !play.field.list.empty(); ++tick) {
        AdvanceRecords(play, 10.0f);
        if (!play.field.list.empty()) {
            EXPECT_GE(play.field.list[0].x, 16.0f);
            EXPECT_LE(play.field.list[0].x, float(play.field.W) - 16.0f);
        }
        splashes = int(hooks.water.size());
    }
    EXPECT_TRUE(play.field.list.empty()); // gone below y 600
    EXPECT_GE(splashes, 1);
    EXPECT_EQ(hooks.Count("bubble_drop"), splashes);
    for (const auto& w : hooks.water) EXPECT_EQ(w.second, WaterShape::Bump64);
}
