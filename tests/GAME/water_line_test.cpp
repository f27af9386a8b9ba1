#include <gtest/gtest.h>

#include <climits>
#include <vector>

#include "GAME/water_line.h"

namespace {

std::vector<int> Heights(const WaterLine& line, int from, int to) {
    std::vector<int> v;
    for (int i = from; i <= to; ++i) v.push_back(line.height(i));
    return v;
}

TEST(WaterLine, DisturbancesAtTheEndsLandOnTheFirstAndLastColumn) {
    struct Case {
        int column;
        WaterShape shape;
        int from, to;
        std::vector<int> expected;
    } cases[] = {
        // Offsets -5..-2 all land on column 0; the last of them (k = -2) stays.
        {2, WaterShape::Bump32, 0, 8, {27, 31, 32, 31, 27, 21, 12, 0, 0}},
        {0, WaterShape::Bump64, 0, 6, {64, 62, 54, 41, 24, 0, 0}},
        // Offsets 2..5 land on column 255; k = 5 writes last.
        {253, WaterShape::Dip64, 247, 255, {0, 0, -24, -41, -54, -62, -64, -62, 0}},
        {255, WaterShape::Dip16, 249, 255, {0, 0, -6, -11, -14, -16, 0}},
        {INT_MIN, WaterShape::Bump32, 0, 1, {0, 0}},
        {INT_MAX, WaterShape::Dip64, 254, 255, {0, 0}},
    };
    for (const Case& c : cases) {
        WaterLine line;
        line.disturb(c.column, c.shape);
        EXPECT_EQ(Heights(line, c.from, c.to), c.expected) << "column " << c.column;
    }
}

TEST(WaterLine, OneDampedStepPer100MsAndNoMore) {
    WaterLine line;
    line.disturb(128, WaterShape::Bump32);
    line.tick(99.0f);
    EXPECT_EQ(line.height(128), 32); // not yet
    line.tick(1.0f);
    // (31 + 31) / 2 - 0 = 31, damped by 31 >> 4.
    EXPECT_EQ(Heights(line, 127, 134), (std::vector<int>{28, 30, 28, 25, 18, 10, 6, 0}));
    line.tick(250.0f); // one step, 150 ms left over
    // (28 + 28) / 2 - 32 = -4, damped by -4 >> 4 = -1.
    EXPECT_EQ(line.height(128), -3);
    line.tick(0.0f); // the left-over 150 ms give the next step
    EXPECT_NE(line.height(128), -3);
    const int before = line.height(200);
    line.tick(0.0f); // 50 ms left: nothing
    EXPECT_EQ(line.height(200), before);
}

TEST(WaterLine, NegativeHalvesTruncateTowardsZero) {
    WaterLine line;
    line.disturb(128, WaterShape::Dip16);
    line.tick(100.0f);
    // Column 132: (-11 + 0) / 2 = -5 (not -6), then -5 - (-5 >> 4) = -4.
    EXPECT_EQ(line.height(132), -4);
    EXPECT_EQ(line.height(133), -2);
}

TEST(WaterLine, EndColumnsAreNeverStepped) {
    WaterLine line;
    line.disturb(0, WaterShape::Bump64);
    line.disturb(255, WaterShape::Dip64);
    // The other buffer's end columns stay as they were, so look after an even number of steps.
    for (int i = 0; i < 20; ++i) line.tick(100.0f);
    EXPECT_EQ(line.height(0), 64);
    EXPECT_EQ(line.height(255), 0); // k = 5 of the dip wrote 0 there
    EXPECT_EQ(line.height(-1), 0);
    EXPECT_EQ(line.height(256), 0);
}

} // namespace
