#include <gtest/gtest.h>

#include <set>

#include "GAME/bonuses.h"
#include "GAME/matching.h"
#include "play_fixture.h"

class BonusTest : public HandBuiltFieldTest {
protected:
    void SetUp() override {
        HandBuiltFieldTest::SetUp();
        BestShot = 100000; // no best-shot bonus in these scores
    }
    // Three of colour 2 in row 0 with the bonus kind on the middle one, the shot at column 2.
    void BurstWithBonus(int special, int shotColumn = 2) {
        Place(0, shotColumn - 2, 2);
        Place(0, shotColumn - 1, 2, special);
        OnSettled(play, Place(0, shotColumn, 2));
    }
};

TEST_F(BonusTest, ChoiceGrowsWithTheLevelAndRotNeedsGreys) {
    const struct {
        int level;
        bool grey;
        std::set<int> kinds;
    } cases[] = {
        {0, false, {17}},
        {1, false, {17}},
        {2, false, {17, 18}},
        {7, false, {17, 18, 19, 20, 21, 22, 23}},
        {12, false, {17, 18, 19, 20, 21, 22, 23}},
        {12, true, {17, 18, 19, 20, 21, 22, 23, 24}},
    };
    for (const auto& c : cases) {
        play.field.list.clear();
        if (c.grey) Place(3, 3, kGrey);
        play.level = c.level;
        std::set<int> kinds;
        for (int i = 0; i < 400; ++i) kinds.insert(ChooseBonus(play));
        EXPECT_EQ(kinds, c.kinds) << "level " << c.level;
    }
}

TEST_F(BonusTest, BombBubblesAreGreyAndTwoColourBonusesTwoColoured) {
    LevelParams rules = Rules(8, 12, 4, 7);
    rules.BonusShot = 1;
    Create(rules, 99);
    play.level = 7;
    for (int i = 0; i < 200; ++i) {
        LoadQueue(play);
        const Bubble& next = play.field.list[size_t(play.field.FindState(Next))];
        if (next.special == kBonusBomb) {
            EXPECT_EQ(next.colour, kGrey);
        } else if (next.special == kBonusTwoColour) {
            EXPECT_GE(next.colour, kFirstTwoColour);
        } else {
            EXPECT_LT(next.colour, kGrey);
        }
        const int flying = play.field.FindState(Flying);
        if (flying >= 0) play.field.Erase(size_t(flying));
    }
}

TEST_F(BonusTest, UpOnAFieldWhoseCeilingHasNotMovedTurnsLineAddingOn) {
    Place(1, 0, 4); // moves up into row 0
    Place(1, 1, 4);
    Place(0, 7, 5); // pushed above the ceiling and removed
    BurstWithBonus(kBonusUp, 4);
    EXPECT_EQ(play.field.params.LineAdd, 1);
    EXPECT_FLOAT_EQ(play.field.ceiling, 0.0f);
    EXPECT_EQ(play.field.oddFactor, 2);
    EXPECT_EQ(play.field.evenFactor, 1);
    EXPECT_EQ(hooks.Count("up"), 1);
    ASSERT_EQ(CountState(Settled), 2);
    EXPECT_NE(At(0, 0), nullptr); // the old row 1, shifted 28 pixels up onto the swapped lattice
    EXPECT_NE(At(0, 1), nullptr);
}

TEST_F(BonusTest, UpOnAMovedCeilingRaisesTheCeilingWithTheField) {
    play.field.ceiling = 5.0f;
    Place(0, 6, 4);
    BurstWithBonus(kBonusUp, 4);
    EXPECT_EQ(play.field.params.LineAdd, 0);
    EXPECT_FLOAT_EQ(play.field.ceiling, 5.0f - kRowPitch);
    EXPECT_NE(At(0, 6), nullptr);
}

TEST_F(BonusTest, GuideFollowsTheBurstsBonuses) {
    BurstWithBonus(kBonusHelp);
    EXPECT_TRUE(play.aimGuide);
    EXPECT_EQ(hooks.Count("Prompt"), 1);
    BurstWithBonus(kBonusFreeze, 6); // no say in the guide
    EXPECT_TRUE(play.aimGuide);
    play.field.list.clear();
    BurstWithBonus(kBonusX2);
    EXPECT_FALSE(play.aimGuide);
}

TEST_F(BonusTest, TwoFreezesRestartTheTimerAndEndWithOneSound) {
    play.time = 3000;
    BurstWithBonus(kBonusFreeze);
    EXPECT_TRUE(play.FreezeRunning());
    EXPECT_TRUE(hooks.Sent(29));
    for (; play.time < 8000; play.time += 10) FreezeTick(play, 10.0f);
    play.field.list.clear();
    BurstWithBonus(kBonusFreeze); // at 8000: runs until 18000
    EXPECT_FLOAT_EQ(play.freeze.start, 8000.0f);
    hooks.events.clear();
    for (; play.FreezeRunning(); play.time += 10) FreezeTick(play, 10.0f);
    EXPECT_EQ(play.time, 18010);
    EXPECT_EQ(hooks.Count("freezing_end"), 1);
    // The countdown: "Count5" from five seconds before the end down to "Count1".
    std::vector<int> distinct;
    for (int e : hooks.events)
        if (distinct.empty() || distinct.back() != e) distinct.push_back(e);
    EXPECT_EQ(distinct, (std::vector<int>{49, 48, 47, 46, 45}));
}

TEST_F(BonusTest, CountdownWaitsForAnIdleHero) {
    play.freeze.Start(0, kFreezeMs);
    play.time = 9500;
    hooks.idle = false;
    FreezeTick(play, 10.0f);
    EXPECT_TRUE(hooks.events.empty());
}

TEST_F(BonusTest, RotWithoutGreysOnlyPlaysItsSoundAndText) {
    Place(0, 6, 3);
    BurstWithBonus(kBonusRot);
    EXPECT_EQ(hooks.Count("bonus_paint"), 1);
    EXPECT_TRUE(hooks.Sent(30));
    ASSERT_NE(At(0, 6), nullptr);
    EXPECT_EQ(At(0, 6)->colour, 3);
}

TEST_F(BonusTest, RotPaintsEveryGreyInItsColour) {
    Place(0, 6, kGrey);
    Place(0, 7, kGrey);
    Place(0, 0, 5);
    Place(0, 1, 5, kBonusRot);
    OnSettled(play, Place(0, 2, 5));
    ASSERT_NE(At(0, 6), nullptr);
    EXPECT_EQ(At(0, 6)->colour, 5);
    EXPECT_EQ(At(0, 7)->colour, 5);
}

TEST_F(BonusTest, BonusTextsWaitForAnIdleHero) {
    hooks.idle = false;
    BurstWithBonus(kBonusX3);
    EXPECT_EQ(hooks.Count("BonusX"), 1);
    EXPECT_FALSE(hooks.Sent(27));
}

TEST_F(BonusTest, BonusThatDoesNotBurstStaysAndWorksInALaterBurst) {
    Place(0, 0, 2, kBonusX2);
    OnSettled(play, Place(0, 3, 2)); // not touching
    ASSERT_NE(At(0, 0), nullptr);
    EXPECT_EQ(At(0, 0)->special, kBonusX2);
    Place(0, 1, 2);
    Score = 0;
    OnSettled(play, Place(0, 2, 2));
    EXPECT_EQ(Score, 2 * 40);
}
