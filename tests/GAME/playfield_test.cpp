#include <gtest/gtest.h>

#include <cmath>
#include <set>

#include "GAME/playfield.h"
#include "BASE/rnd.h"
#include "play_fixture.h"

TEST(Rounding, HalvesGoToEven) {
    const struct {
        double v;
        int expected;
    } cases[] = {{0.5, 0}, {1.5, 2}, {2.5, 2}, {-0.5, 0}, {-1.5, -2}, {-27.712, -28}, {0.49, 0}};
    for (const auto& c : cases) EXPECT_EQ(rnd(c.v), c.expected) << c.v;
}

TEST_F(PlayTest, GeometryFollowsWidthAndHeight) {
    Create(Rules(8, 12, 0));
    const Playfield& f = play.field;
    EXPECT_EQ(f.W, 272);                // rnd(8.5 * 32)
    EXPECT_EQ(f.H, rnd(13.5 * 27.712)); // 374
    EXPECT_EQ(f.originX, (602 - 272) / 2);
    EXPECT_EQ(f.originY, 455 - f.H);
    EXPECT_EQ(f.gunX, 136);
    EXPECT_EQ(f.gunY, f.H);
    EXPECT_FLOAT_EQ(f.nextX + float(f.originX), 38.0f);
    EXPECT_FLOAT_EQ(f.nextY + float(f.originY), 405.0f);
}

TEST_F(PlayTest, RowsOfBothFactorsFitBetweenTheWalls) {
    Create(Rules(10, 12, 2));
    const Playfield& f = play.field;
    // Row 0 is even and shifted by 32, row 1 by 16: the last bubble of the factor-2 row touches
    // the right wall, the first of the factor-1 row the left wall.
    ASSERT_EQ(f.list.size(), 2u + 20u); // two rows and the two queue bubbles
    EXPECT_FLOAT_EQ(f.list[9].x + 16.0f, float(f.W));
    EXPECT_FLOAT_EQ(f.list[10].x - 16.0f, 0.0f);
    EXPECT_FLOAT_EQ(f.list[0].y, 16.0f);
    EXPECT_FLOAT_EQ(f.list[10].y, 16.0f + kRowPitch);
    for (int i = 0; i < 20; ++i) {
        const Cell c = f.CellOf(f.list[size_t(i)].x, f.list[size_t(i)].y);
        EXPECT_EQ(c.row, i / 10);
        EXPECT_EQ(c.col, i % 10);
    }
}

TEST_F(PlayTest, RowsUseGeneratorAInColumnOrder) {
    Create(Rules(6, 12, 1, 5), 77);
    sys::CrtRandom a;
    a.state = 77;
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(play.field.list[size_t(i)].colour, 5 * a.Next() / 32768) << i;
}

TEST_F(PlayTest, ShiftDownMovesWholePixelsAndCarriesTheRest) {
    Create(Rules(4, 12, 1));
    const float start = play.field.list[0].y;
    float total = 0;
    for (int i = 0; i < 137; ++i) {
        const float dy = 0.013f * float(i % 7) + 0.05f;
        play.field.ShiftDown(dy);
        total += dy;
        const float moved = play.field.list[0].y - start;
        EXPECT_EQ(moved, std::round(moved)) << "call " << i;
        EXPECT_LT(std::fabs(moved - total), 1.0f) << "call " << i;
    }
    // Queue bubbles are not part of the field and stay where they are.
    EXPECT_FLOAT_EQ(play.field.list[size_t(play.field.FindState(Next))].y, play.field.nextY);
}

TEST_F(PlayTest, LineAddingLevelAddsARowOnTheFirstActiveTick) {
    LevelParams rules = Rules(6, 12, 3);
    rules.LineAdd = 1;
    Create(rules);
    const size_t before = play.field.list.size();
    play.field.Descend(10.0f);
    EXPECT_EQ(play.field.list.size(), before + 6);
    EXPECT_EQ(play.field.oddFactor, 2);
    EXPECT_EQ(play.field.evenFactor, 1);
    const float top = play.field.list.back().y;
    EXPECT_FLOAT_EQ(top, play.field.ceiling + 16.0f);
    EXPECT_GT(top, -25.6f);
    EXPECT_LT(top, 2.1f);
    // The old rows kept their lattice: their cells are now one row further down.
    EXPECT_EQ(play.field.CellOf(play.field.list[0].x, play.field.list[0].y).row, 1);
    EXPECT_EQ(play.field.CellOf(play.field.list[0].x, play.field.list[0].y).col, 0);
}

TEST_F(PlayTest, DescentRateFollowsTheFill) {
    Create(Rules(6, 12, 0));
    // Empty field: one pixel per 100 ms.
    play.field.Descend(10.0f);
    EXPECT_FLOAT_EQ(play.field.ceiling, 0.1f);
    EXPECT_EQ(play.field.LowestRowCount(), 0);
    // A field down to the danger line: one pixel per TimeDown ms.
    Create(Rules(6, 12, 12));
    play.field.Descend(10.0f);
    EXPECT_FLOAT_EQ(play.field.ceiling, 10.0f / 1000.0f);
    EXPECT_EQ(play.field.LowestRowCount(), 12);
}

TEST_F(PlayTest, DescentStaysFiniteForUnusableDescentTimes) {
    for (int timeDown : {0, -5, 1}) {
        LevelParams rules = Rules(6, 12, 12);
        rules.TimeDown = timeDown;
        Create(rules);
        play.field.Descend(10.0f);
        EXPECT_TRUE(std::isfinite(play.field.ceiling)) << timeDown;
        EXPECT_GT(play.field.ceiling, 0.0f) << timeDown;
        EXPECT_LE(play.field.ceiling, 10.0f) << timeDown;
    }
}

TEST_F(PlayTest, ColourChoiceOnlyOffersColoursOnTheField) {
    Create(Rules(6, 12, 0, 7));
    play.field.list.clear();
    // Empty field, or only greys: colour 0 after the attempts.
    EXPECT_EQ(play.field.ChooseColour(), 0);
    Place(0, 0, kGrey);
    EXPECT_EQ(play.field.ChooseColour(), 0);
    EXPECT_EQ(play.field.ChooseTwoColour(), 0);
    // Keys 2 and 5 present: plain 2 or 5, and of the two-colour bubbles only (2, 5) = 14.
    Place(0, 1, 2);
    Place(0, 2, 5);
    std::set<int> plain, two;
    for (int i = 0; i < 200; ++i) {
        plain.insert(play.field.ChooseColour());
        two.insert(play.field.ChooseTwoColour());
    }
    EXPECT_EQ(plain, (std::set<int>{2, 5}));
    EXPECT_EQ(two, (std::set<int>{14}));
}

TEST_F(PlayTest, SingleColourLevelAlwaysGivesColourZero) {
    Create(Rules(6, 12, 4, 1));
    for (const Bubble& b : play.field.list) EXPECT_EQ(b.colour, 0);
    for (int i = 0; i < 20; ++i) EXPECT_EQ(play.field.ChooseColour(), 0);
}

TEST_F(PlayTest, KeysOfTwoColourBubbles) {
    const struct {
        int colour, first, second;
    } cases[] = {{3, 3, 3}, {7, 7, 7}, {8, 0, 2}, {10, 0, 5}, {12, 2, 3}, {14, 2, 5}, {17, 4, 6}};
    for (const auto& c : cases) {
        EXPECT_EQ(KeysOf(c.colour).first, c.first) << c.colour;
        EXPECT_EQ(KeysOf(c.colour).second, c.second) << c.colour;
    }
}

TEST_F(PlayTest, OccupantNearFindsTheFirstSettledBubbleWithinACell) {
    Create(Rules(6, 12, 0));
    const size_t a = Place(2, 2, 1);
    const Bubble& b = play.field.list[a];
    EXPECT_EQ(play.field.OccupantNear(b.x + 18.4f, b.y), int(a));
    EXPECT_EQ(play.field.OccupantNear(b.x + 18.5f, b.y), -1);
    play.field.list[a].state = Falling;
    EXPECT_EQ(play.field.OccupantNear(b.x, b.y), -1);
}

TEST_F(PlayTest, BubblesAboveTheCeilingAreRemoved) {
    Create(Rules(6, 12, 2));
    play.field.ceiling = 20.0f; // row 0 (y 16) is now above it
    play.field.RemoveAboveCeiling();
    EXPECT_EQ(CountState(Settled), 6);
    EXPECT_EQ(CountState(Next), 1);
    EXPECT_EQ(CountState(Loaded), 1);
}
