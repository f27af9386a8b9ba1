#include <gtest/gtest.h>

#include "SYS/gdi_text.h"
#include "graph_test_util.h"

using namespace graphtest;

namespace {

struct Box {
    int left = 1 << 30, top = 1 << 30, right = -1, bottom = -1, count = 0;
};

Box Covered(Sprite& s, uint16_t ink) {
    Box b;
    for (int y = 0; y < s.frameHeight; ++y)
        for (int x = 0; x < s.width; ++x) {
            const uint16_t v = At(s, x, y);
            if (v == 0) continue;
            EXPECT_EQ(v, ink) << x << "," << y;
            b.left = std::min(b.left, x);
            b.top = std::min(b.top, y);
            b.right = std::max(b.right, x + 1);
            b.bottom = std::max(b.bottom, y + 1);
            ++b.count;
        }
    return b;
}

TEST(GdiText, DrawsOneColourInsideTheTextCell) {
    ASSERT_GT(sys::GdiTextHeight(), 10) << "needs a system font (DejaVu Sans)";
    struct Case {
        uint32_t gdiColour;
        uint16_t pixel;
    } cases[] = {{0xFFFFFF, kWhite}, {0x0000FF, kRed}, {0x00FF00, kGreen}, {0xFF0000, kBlue}};
    for (const Case& c : cases) {
        auto s = SurfaceSprite(120, 40);
        s->DrawGdiText(10, 10, "Hello", c.gdiColour);
        EXPECT_NE(s->pixels, nullptr); // left locked again
        const Box b = Covered(*s, c.pixel);
        EXPECT_GT(b.count, 20);
        EXPECT_GE(b.left, 10);
        EXPECT_GE(b.top, 10);
        EXPECT_LE(b.bottom, 10 + sys::GdiTextHeight());
        EXPECT_LT(b.right, 10 + 60);
    }
}

TEST(GdiText, ClipRectangleBoundsTheInk) {
    auto s = BufferSprite(60, 30);
    s->clip = ClipRect{5, 5, 20, 12};
    s->DrawGdiText(-3, 0, "WWWWWWWW", 0xFFFFFF);
    s->DrawGdiText(1000, 1000, "far away", 0xFFFFFF);
    s->DrawGdiText(-100000, -5, "", 0xFFFFFF);
    const Box b = Covered(*s, kWhite);
    EXPECT_GT(b.count, 0);
    EXPECT_GE(b.left, 5);
    EXPECT_GE(b.top, 5);
    EXPECT_LE(b.right, 20);
    EXPECT_LE(b.bottom, 12);
}

TEST(GdiText, WindowsCodePageCharactersHaveGlyphs) {
    // 0x80 is the euro sign and 0xE9 an e with acute accent in Windows-1252.
    for (const char* text : {"\x80", "\xE9"}) {
        auto s = BufferSprite(30, 30);
        s->DrawGdiText(2, 2, text, 0xFFFFFF);
        EXPECT_GT(Covered(*s, kWhite).count, 5) << int(uint8_t(text[0]));
    }
}

} // namespace
