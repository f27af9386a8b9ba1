#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <set>
#include <utility>

#include "GAME/waterfall_backdrop.h"
#include "scene_fixture.h"

namespace {

class BackdropTest : public SceneTest {
protected:
    void WriteFx(const std::string& fx) { WriteFile("game.ini", "[fx]\n" + fx); }
    bool Painted(int x, int y) { return Pixel(x, y) != kSentinel; }
};

TEST_F(BackdropTest, DrawsOnlyAroundTheFreeRectangle) {
    // Without stones the surface strip spans the screen; this one reaches the bottom, so every
    // pixel the backdrop draws is painted.
    SolidTga("DATA/Top_Water.tga", 16, 464, 200, 30, 30);
    Backdrop.create();
    struct Case {
        int x, y, w, h;
    } cases[] = {
        {100, 50, 200, 100},  {0, 100, 640, 200}, // the full width: only above and below
        {0, 0, 0, 0},                             // none: the whole screen
        {-50, -50, 200, 200}, {600, 400, 100, 100}, {0, 0, 640, 480}, // all free: nothing
    };
    for (const Case& c : cases) {
        Clear();
        Backdrop.setFreeRect(c.x, c.y, c.w, c.h);
        Backdrop.draw();
        int wrong = 0;
        for (int y = 0; y < 480; y += 3)
            for (int x = 0; x < 640; x += 3) {
                const bool inside = x >= c.x && x < c.x + c.w && y >= c.y && y < c.y + c.h;
                wrong += Painted(x, y) == inside;
            }
        EXPECT_EQ(wrong, 0) << "free rectangle " << c.x << "," << c.y << " " << c.w << "x" << c.h;
        const ClipRect& clip = RenderSurface->clip; // back to the whole screen
        EXPECT_TRUE(clip.left == 0 && clip.top == 0 && clip.right == 640 && clip.bottom == 480);
    }
}

TEST(FallTable, GrowsWithTheSquareRootOfTheDropAndIgnoresUnusableGravity) {
    int64_t fall[WaterfallBackdrop::kFallRows];
    WaterfallBackdrop::FillFallTable(fall, 40.0f);
    EXPECT_EQ(fall[0], 0);
    EXPECT_EQ(fall[20], 0);
    EXPECT_EQ(fall[21], 6);   // sqrt(40) = 6.32
    EXPECT_EQ(fall[120], 63); // sqrt(4000) = 63.2
    EXPECT_EQ(fall[479], 135);
    for (float gravity : {0.0f, -5.0f, std::numeric_limits<float>::quiet_NaN()}) {
        WaterfallBackdrop::FillFallTable(fall, gravity);
        for (int64_t v : fall) ASSERT_EQ(v, 0) << gravity;
    }
    WaterfallBackdrop::FillFallTable(fall, 3e38f);
    for (int64_t v : fall) ASSERT_GE(v, 0);
}

TEST(FallTable, TextureRowsScrollWrapAndStayInsideTheTexture) {
    WaterfallBackdrop b;
    WaterfallBackdrop::FillFallTable(b.fall, 40.0f);
    b.time = 10.0f;
    b.yFlush = 0.5f;
    EXPECT_EQ(b.TextureRow(21, 100), 12); // (100 + 5 + 6) mod 99
    EXPECT_EQ(b.TextureRow(10, 100), 6);
    b.time = 1000.0f;
    b.yFlush = -0.5f;
    EXPECT_EQ(b.TextureRow(21, 100), 2); // (100 - 500 + 6) wraps to a row, not below 0
    EXPECT_EQ(b.TextureRow(21, 1), 0);
    EXPECT_EQ(b.TextureRow(21, 0), 0);
    for (float speed : {1e30f, -1e30f, std::numeric_limits<float>::infinity(),
                        std::numeric_limits<float>::quiet_NaN()}) {
        b.yFlush = speed;
        for (int y : {0, 20, 479, 480, -1}) {
            const int row = b.TextureRow(y, 7);
            EXPECT_TRUE(row >= 0 && row < 6) << speed << " row " << row;
        }
    }
}

TEST_F(BackdropTest, EdgesBlendByAlphaWithThresholdsAt16And240) {
    AlphaColumnsTga("DATA/flush_left.tga", {15, 16, 128, 239, 240}, 4);
    Backdrop.create();
    graphtest::FillAll(*screen_, 0);
    Backdrop.draw();
    // White over black, red and blue in 5 bits, green in 6: dst + ((src - dst) * alpha >> 8).
    auto blend = [](int a) {
        return uint16_t(((31 * a) >> 8) << 11 | ((63 * a) >> 8) << 5 | ((31 * a) >> 8));
    };
    EXPECT_EQ(Pixel(90, 100), 0);         // 15: left alone
    EXPECT_EQ(Pixel(91, 100), blend(16)); // 16: the first blended value
    EXPECT_EQ(Pixel(92, 100), blend(128));
    EXPECT_EQ(Pixel(93, 100), blend(239)); // 239: still blended
    EXPECT_EQ(Pixel(94, 100), 0xFFFF);     // 240: copied
    EXPECT_EQ(Pixel(91, 19), 0);           // the falling water starts at row 20
}

TEST_F(BackdropTest, SprayFollowsTheWaterTop) {
    for (int i = 0; i < 6; ++i)
        SolidTga("DATA/sputter000" + std::to_string(i) + ".tga", 2, 2, 255, 255, 255);
    Backdrop.create();
    for (int i = 0; i < 20; ++i) Backdrop.update(10.0f);
    auto drops = [&](int waterTop) {
        Clear();
        Backdrop.setWaterTop(waterTop);
        Backdrop.draw();
        std::set<std::pair<int, int>> white;
        for (int y = 0; y < 480; ++y)
            for (int x = 0; x < 640; ++x)
                if (Pixel(x, y) == 0xFFFF) white.insert({x, y - waterTop});
        return white;
    };
    const auto atBottom = drops(480);
    ASSERT_FALSE(atBottom.empty());
    EXPECT_EQ(drops(280), atBottom); // the same drops, 200 pixels higher
}

TEST_F(BackdropTest, WavyColumnsFollowTheSineAndSkipBlack) {
    std::vector<uint8_t> bgr = graphtest::Solid(6, 3, 255, 255, 255);
    bgr[0] = bgr[1] = bgr[2] = 0; // top-left pixel black: colour-keyed away
    graphtest::WriteTga("DATA/banner.tga", 6, 3, 24, bgr);
    Sprite* banner = LoadSprite("DATA\\banner.tga", nullptr, false);
    // At time -200: column 0 moves by rnd(2 sin(-0.8)) = -1, column 1 by rnd(2 sin(-0.9)) = -2.
    drawWavy(banner, 10, 20, -200.0f);
    EXPECT_EQ(Pixel(10, 19), kSentinel); // the black pixel
    EXPECT_EQ(Pixel(11, 19), 0xFFFF);
    EXPECT_EQ(Pixel(13, 21), 0xFFFF);
    EXPECT_EQ(Pixel(13, 22), kSentinel);
    EXPECT_EQ(Pixel(14, 18), 0xFFFF);
    EXPECT_EQ(Pixel(15, 20), 0xFFFF);
    EXPECT_EQ(Pixel(15, 21), kSentinel);
    EXPECT_EQ(Pixel(16, 19), kSentinel); // the last column is two pixels wide
    drawWavy(banner, 10, 20, std::numeric_limits<float>::quiet_NaN());
    drawWavy(nullptr, 0, 0, 0.0f);
}

TEST_F(BackdropTest, UnusableTuningValuesNeitherCrashNorLeaveTheTextures) {
    SolidTga("DATA/Top_Water.tga", 3, 1, 10, 20, 30);
    SolidTga("DATA/flush_left.tga", 2, 1, 10, 20, 30);
    SolidTga("DATA/flush_right.tga", 700, 2, 10, 20, 30);
    SolidTga("DATA/Side_L_Water_Top.tga", 1, 1, 10, 20, 30);
    const char* const settings[] = {
        "xFlush=1e30\nyFlush=nan\nxTop=-1e38\nyTop=inf\ngravity=1e38\n",
        "xFlush=-7\nyFlush=-1e9\nxTop=1e-30\nyTop=-3\ngravity=-40\n",
        "",
    };
    for (const char* fx : settings) {
        WriteFx(fx);
        Backdrop.create();
        for (float dt : {16.0f, 1e9f, -1e9f, std::numeric_limits<float>::quiet_NaN()}) {
            Backdrop.update(dt);
            Backdrop.setFreeRect(-30000, 30000, 32767, -32768);
            Backdrop.setWaterTop(32767);
            Backdrop.draw();
            Backdrop.setWaterTop(-32768);
            Backdrop.draw();
            Backdrop.drawFoot(100000);
            Backdrop.drawWaterLine(-5);
        }
        Backdrop.release();
    }
}

} // namespace
