#include <gtest/gtest.h>

#include <iterator>

#include "graph_test_util.h"

using namespace graphtest;

namespace {

// A source whose every pixel is distinct and non-zero: value = y * width + x + 1.
void Number(Sprite& s) {
    for (int y = 0; y < s.frameHeight * s.frameCount; ++y)
        for (int x = 0; x < s.width; ++x) At(s, x, y) = uint16_t(y * s.width + x + 1);
}

struct Kinds {
    const char* name;
    bool surfaceSource; // both surfaces: the DirectDraw path; otherwise the software copy
};

class ClipTest : public ::testing::TestWithParam<Kinds> {};

TEST_P(ClipTest, SpriteOverTheTopLeftCornerDrawsItsLowerRightPart) {
    auto back = SurfaceSprite(640, 480);
    auto src = GetParam().surfaceSource ? SurfaceSprite(40, 40) : BufferSprite(40, 40);
    Number(*src);
    back->DrawSprite(-10, -10, src.get(), 0, 0);
    for (int y = 0; y < 31; ++y)
        for (int x = 0; x < 31; ++x) {
            const uint16_t expected = (x < 30 && y < 30) ? uint16_t((y + 10) * 40 + x + 10 + 1) : 0;
            ASSERT_EQ(At(*back, x, y), expected) << x << "," << y;
        }
}

TEST_P(ClipTest, SpriteOverTheBottomRightCornerDrawsItsUpperLeftPart) {
    auto back = SurfaceSprite(640, 480);
    auto src = GetParam().surfaceSource ? SurfaceSprite(40, 40) : BufferSprite(40, 40);
    Number(*src);
    back->DrawSprite(630, 470, src.get(), 0, 0);
    EXPECT_EQ(At(*back, 630, 470), 1);
    EXPECT_EQ(At(*back, 639, 479), 9 * 40 + 9 + 1);
    EXPECT_EQ(CountPixels(*back, 0), 640 * 480 - 100);
}

TEST_P(ClipTest, StretchDoublesEachSourcePixel) {
    auto dst = SurfaceSprite(8, 8);
    auto src = GetParam().surfaceSource ? SurfaceSprite(2, 2) : BufferSprite(2, 2);
    Number(*src);
    dst->StretchBlit(1, 1, 4, 4, src.get(), 0, 0, 2, 2, 0, 0);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x) EXPECT_EQ(At(*dst, 1 + x, 1 + y), (y / 2) * 2 + x / 2 + 1);
    EXPECT_EQ(CountPixels(*dst, 0), 64 - 16);
}

INSTANTIATE_TEST_SUITE_P(Paths, ClipTest,
                         ::testing::Values(Kinds{"DirectDraw", true}, Kinds{"Software", false}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(Blit, ZeroSizesDrawNothing) {
    auto dst = SurfaceSprite(4, 4);
    auto src = BufferSprite(2, 2);
    FillAll(*src, kWhite);
    const int sizes[][4] = {{0, 2, 2, 2}, {2, 0, 2, 2}, {2, 2, 0, 2}, {2, 2, 2, 0}, {-2, 2, 2, 2}};
    for (const auto& s : sizes)
        dst->StretchBlit(0, 0, s[0], s[1], src.get(), 0, 0, s[2], s[3], 0, 0);
    EXPECT_EQ(CountPixels(*dst, 0), 16);
}

TEST(Blit, AlphaLimitsAndBlend) {
    struct Case {
        uint8_t alpha;
        uint16_t src, dst, expected;
    } cases[] = {
        {0, kWhite, 0, 0},
        {15, kWhite, 0, 0},
        {16, kWhite, 0, 0x0861},
        {128, kWhite, 0, 0x7BEF},
        {128, 0, kWhite, 0x7BEF},
        {16, 0, kWhite, 0xEF7D},
        {239, kWhite, 0, 0xE75C},
        {239, kRed, kBlue, 0xE002},
        {240, 0x1234, kWhite, 0x1234},
        {255, 0x1234, kWhite, 0x1234},
    };
    for (const Case& c : cases) {
        auto dst = SurfaceSprite(1, 1);
        auto src = BufferSprite(1, 1, 1, true);
        At(*src, 0, 0) = c.src;
        src->alpha[0] = c.alpha;
        At(*dst, 0, 0) = c.dst;
        dst->DrawSprite(0, 0, src.get(), OP_ALPHA, 0);
        EXPECT_EQ(At(*dst, 0, 0), c.expected) << "alpha " << int(c.alpha);
    }
}

// Wide rows skip clear runs and copy solid ones: the pixels must not depend on where the runs fall,
// nor on whether the row is a whole number of blocks, ends in a part of one or is shorter than one,
// in either 16-bit format.
TEST(Blit, AlphaRowEqualsThePixelByPixelBlend) {
    const uint8_t patterns[][4] = {
        {0, 0, 0, 0},     {255, 255, 255, 255}, {15, 0, 15, 0}, {240, 255, 240, 255},
        {0, 255, 0, 255}, {255, 255, 128, 255}, {0, 0, 16, 0},  {239, 240, 15, 16},
    };
    for (int format : {0, 1})
        for (int width : {61, 32, 16, 7})
            for (int p = 0; p < int(std::size(patterns)); ++p)
                for (int offset : {0, 3, 16}) {
                    SetCurrentPixelFormat(kPixelFormats[format]);
                    auto src = BufferSprite(width, 1, 1, true);
                    for (int x = 0; x < width; ++x) {
                        At(*src, x, 0) = uint16_t(0x1000 + x * 0x0421);
                        // Runs of 16 or 17 of one pattern entry, so blocks are whole, split and
                        // mixed.
                        src->alpha[size_t(x)] = patterns[p][(x / (16 + p % 2)) % 4];
                    }
                    auto whole = SurfaceSprite(width + 16, 1);
                    auto single = SurfaceSprite(width + 16, 1);
                    for (auto* dst : {whole.get(), single.get()})
                        for (int x = 0; x < width + 16; ++x)
                            At(*dst, x, 0) = uint16_t(0xF00F ^ (x * 77));
                    whole->BlitRect(offset, 0, width, 1, src.get(), 0, 0, OP_ALPHA, 0);
                    for (int x = 0; x < width; ++x)
                        single->BlitRect(offset + x, 0, 1, 1, src.get(), x, 0, OP_ALPHA, 0);
                    SetCurrentPixelFormat(kPixelFormats[0]);
                    for (int x = 0; x < width + 16; ++x)
                        ASSERT_EQ(At(*whole, x, 0), At(*single, x, 0))
                            << "format " << format << " width " << width << " pattern " << p
                            << " offset " << offset << " x " << x;
                }
}

// A row table draws what one BlitRect per row would, also for rows the clip or the source lacks.
TEST(Blit, RowTableEqualsOneRowBlitsEach) {
    const int rows[] = {5, 5, 0, -1, 7, 99, 3, 3, 6, 1};
    const struct {
        const char* name;
        bool surface, alpha;
        uint32_t flags;
    } cases[] = {
        {"alpha", false, true, OP_ALPHA},
        {"additive", false, false, OP_ADD},
        {"copy", false, false, 0},
        {"DirectDraw copy", true, false, 0},
    };
    for (const auto& c : cases)
        for (int dx : {-5, 4}) {
            auto src = c.surface ? SurfaceSprite(21, 8) : BufferSprite(21, 8, 1, c.alpha);
            for (int y = 0; y < 8; ++y)
                for (int x = 0; x < 21; ++x) {
                    At(*src, x, y) = uint16_t(0x0821 * (x + 1) + y * 0x1000);
                    if (c.alpha) src->alpha[size_t(y * 21 + x)] = uint8_t((x * 40 + y * 13) % 256);
                }
            auto table = SurfaceSprite(30, 16), single = SurfaceSprite(30, 16);
            for (auto* dst : {table.get(), single.get()}) {
                FillAll(*dst, 0x4208);
                dst->clip = ClipRect{2, 4, 27, 12}; // cuts rows at both ends and the right side
            }
            table->BlitRows(dx, 2, 21, src.get(), 0, rows, int(std::size(rows)), c.flags);
            for (int j = 0; j < int(std::size(rows)); ++j)
                single->BlitRect(dx, 2 + j, 21, 1, src.get(), 0, rows[j], c.flags, 0);
            for (int y = 0; y < 16; ++y)
                for (int x = 0; x < 30; ++x)
                    ASSERT_EQ(At(*table, x, y), At(*single, x, y))
                        << c.name << " dx " << dx << " at " << x << "," << y;
        }
}

TEST(Blit, AlphaPlaneIsUsedForPlainAndMaskFlagsOnly) {
    struct Case {
        uint32_t flags;
        uint16_t expected;
    } cases[] = {{0, 0x0100}, {OP_MASK, 0x0100}, {OP_ADD, 0x0101}};
    for (const Case& c : cases) {
        auto dst = SurfaceSprite(1, 1);
        auto src = BufferSprite(1, 1, 1, true);
        src->alpha[0] = 0; // transparent under alpha blending
        At(*src, 0, 0) = 0x0001;
        At(*dst, 0, 0) = 0x0100;
        dst->DrawSprite(0, 0, src.get(), c.flags, 0);
        EXPECT_EQ(At(*dst, 0, 0), c.expected) << std::hex << c.flags;
    }
}

TEST(Blit, AdditiveSaturatesEachChannel) {
    struct Case {
        uint16_t src, dst, expected;
    } cases[] = {
        {0x8410, 0x8410, 0xFFFF}, {0x0801, 0x0801, 0x1002}, {kRed, kGreen, 0xFFE0},
        {0xF81F, 0x0801, 0xF81F}, {0, 0x1234, 0x1234},
    };
    for (const Case& c : cases) {
        auto dst = SurfaceSprite(2, 1);
        auto src = SurfaceSprite(2, 1);
        At(*src, 0, 0) = c.src;
        At(*dst, 0, 0) = c.dst;
        At(*src, 1, 0) = c.src;
        At(*dst, 1, 0) = c.dst;
        // Scaled and unscaled rows take different loops.
        dst->StretchBlit(0, 0, 1, 1, src.get(), 0, 0, 1, 1, OP_ADD, 0);
        dst->StretchBlit(1, 0, 1, 1, src.get(), 0, 0, 2, 1, OP_ADD, 0);
        EXPECT_EQ(At(*dst, 0, 0), c.expected) << std::hex << c.src << " + " << c.dst;
        EXPECT_EQ(At(*dst, 1, 0), c.expected) << std::hex << c.src << " + " << c.dst;
    }
}

TEST(Blit, ColourKeyNeedsMaskFlagAndBMask) {
    struct Case {
        bool bMask;
        uint32_t flags;
        bool surfaces;
        uint16_t expected;
    } cases[] = {
        {true, OP_MASK, true, 0x1111}, // keyed: black is transparent
        {true, 0, true, 0},            // without the flag black is copied
        {false, OP_MASK, true, 0},     // a picture without black is never keyed
        {true, OP_MASK, false, 0},     // the software copy has no transparency
    };
    for (const Case& c : cases) {
        auto dst = SurfaceSprite(2, 1);
        auto src = c.surfaces ? SurfaceSprite(2, 1) : BufferSprite(2, 1);
        At(*src, 0, 0) = 0;
        At(*src, 1, 0) = kRed;
        src->flags = c.bMask ? SPRITE_BMASK : 0;
        FillAll(*dst, 0x1111);
        dst->DrawSprite(0, 0, src.get(), c.flags, 0);
        EXPECT_EQ(At(*dst, 0, 0), c.expected) << c.bMask << " " << c.flags << " " << c.surfaces;
        EXPECT_EQ(At(*dst, 1, 0), kRed);
    }
}

TEST(Blit, PositionSelectsTheFrame) {
    auto dst = SurfaceSprite(2, 2);
    auto src = SurfaceSprite(2, 2, 3);
    for (int f = 0; f < 3; ++f)
        for (int y = 0; y < 2; ++y)
            for (int x = 0; x < 2; ++x) At(*src, x, f * 2 + y) = uint16_t(0x100 * (f + 1));
    const float positions[] = {0.0f, 0.5f, 1.0f};
    for (int f = 0; f < 3; ++f) {
        dst->DrawSprite(0, 0, src.get(), 0, positions[f]);
        EXPECT_EQ(CountPixels(*dst, uint16_t(0x100 * (f + 1))), 4) << f;
    }
}

TEST(Blit, SourceOutsideItsMemoryIsNotRead) {
    TempFolder folder;
    auto dst = SurfaceSprite(8, 8);
    auto soft = BufferSprite(4, 4);
    FillAll(*soft, kWhite);
    // Software path: only the columns and rows that exist are drawn.
    dst->BlitRect(0, 0, 8, 8, soft.get(), -2, -2, OP_ADD, 0);
    EXPECT_EQ(CountPixels(*dst, kWhite), 16);
    EXPECT_EQ(At(*dst, 2, 2), kWhite);
    EXPECT_EQ(At(*dst, 1, 2), 0);
    // DirectDraw path: the blit is refused and logged.
    auto surf = SurfaceSprite(4, 4);
    dst->BlitRect(0, 0, 8, 8, surf.get(), 2, 2, 0, 0);
    const std::string log = ReadFile("gerr.log");
    EXPECT_NE(FindRecordAtLineStart(
                  log, "GRAPH/Sprite.cpp line: 120  -  pDst->lpDDSurface->Blt( &rDst, "
                       "pSrc->lpDDSurface, &rSrc, pSrc->bMask ? (flag&OP_MASK) : 0, NULL ) = "),
              std::string::npos)
        << log;
    EXPECT_EQ(log.substr(log.size() - 17), "DDERR_INVALIDRECT");
}

TEST(Blit, MixingSoftwareAndSurfaceOperationsNeedsNoLog) {
    TempFolder folder;
    auto dst = SurfaceSprite(8, 8);
    auto src = SurfaceSprite(4, 4);
    FillAll(*src, kRed);
    dst->FillRect(0, 0, 8, 8, 0x80FFFFFF);       // software: locks
    dst->DrawSprite(0, 0, src.get(), 0, 0);      // DirectDraw: unlocks both
    dst->DrawSprite(4, 4, src.get(), OP_ADD, 0); // software again
    dst->FillRect(0, 0, 1, 1, 0xFF0000);         // DirectDraw fill
    dst->DrawGdiText(4, 4, "x", 0xFFFFFF);
    EXPECT_EQ(At(*dst, 0, 0), kRed);
    EXPECT_FALSE(std::filesystem::exists("gerr.log"));
}

TEST(Fill, OpaqueAndTranslucent) {
    struct Case {
        uint32_t colour;
        uint16_t under, expected;
    } cases[] = {
        {0x00FF0000, 0, kRed},        {0x80FF0000, 0, 0x7800}, {0x80FF0000, kWhite, 0xF3EF},
        {0xF0FF0000, kWhite, kRed},   {0xEF0000FF, 0, 0x001C}, {0x010000FF, kWhite, 0xF7DE},
        {0x0000FF00, kWhite, kGreen},
    };
    for (const Case& c : cases) {
        for (bool surface : {true, false}) {
            auto s = surface ? SurfaceSprite(4, 4) : BufferSprite(4, 4);
            FillAll(*s, c.under);
            s->FillRect(1, 1, 3, 3, c.colour);
            EXPECT_EQ(At(*s, 1, 1), c.expected) << std::hex << c.colour << " over " << c.under;
            EXPECT_EQ(At(*s, 2, 2), c.expected);
            EXPECT_EQ(At(*s, 0, 0), c.under);
            EXPECT_EQ(At(*s, 3, 3), c.under);
        }
    }
}

TEST(Blit, FiveFiveFiveFormatUsesItsOwnFields) {
    SetCurrentPixelFormat(kPixelFormats[1]);
    auto dst = SurfaceSprite(3, 1);
    auto glow = BufferSprite(1, 1, 1, true);
    auto spark = BufferSprite(1, 1);
    At(*glow, 0, 0) = 0x7FFF;
    glow->alpha[0] = 128;
    At(*spark, 0, 0) = 0x4210;
    At(*dst, 1, 0) = 0x4210;
    dst->DrawSprite(0, 0, glow.get(), 0, 0);
    dst->DrawSprite(1, 0, spark.get(), OP_ADD, 0);
    dst->FillRect(2, 0, 3, 1, 0x80FF0000);
    SetCurrentPixelFormat(kPixelFormats[0]);
    EXPECT_EQ(At(*dst, 0, 0), 0x3DEF);
    EXPECT_EQ(At(*dst, 1, 0), 0x7FFF);
    EXPECT_EQ(At(*dst, 2, 0), 0x3C00);
}

TEST(Fill, ClippedToTheClipRectangle) {
    auto s = SurfaceSprite(10, 10);
    s->clip = ClipRect{2, 2, 8, 8};
    s->FillRect(-5, -5, 4, 4, 0xFF0000);
    EXPECT_EQ(CountPixels(*s, kRed), 4);
    s->FillRect(7, 7, 100, 100, 0x800000FF);
    EXPECT_EQ(CountPixels(*s, 0x000F), 1);
    s->FillRect(5, 5, 5, 9, 0xFF0000); // empty
    EXPECT_EQ(CountPixels(*s, kRed), 4);
}

TEST(Tile, EveryPixelShowsTheWrappedSourcePixel) {
    struct Case {
        int dx, dy, w, h, offX, offY;
    } cases[] = {
        {1, 1, 7, 5, 2, 1}, {0, 0, 3, 2, 0, 0}, {-4, -3, 12, 12, -1, -7}, {2, 2, 1, 1, 5, 5}};
    for (const Case& c : cases) {
        auto dst = SurfaceSprite(10, 10);
        auto src = SurfaceSprite(3, 2);
        Number(*src);
        FillAll(*dst, 0xAAAA);
        dst->TileRect(c.dx, c.dy, c.w, c.h, src.get(), c.offX, c.offY, 0);
        for (int y = 0; y < 10; ++y)
            for (int x = 0; x < 10; ++x) {
                const int i = x - c.dx, j = y - c.dy;
                uint16_t expected = 0xAAAA;
                if (i >= 0 && j >= 0 && i < c.w && j < c.h) {
                    const int sx = ((c.offX + i) % 3 + 3) % 3, sy = ((c.offY + j) % 2 + 2) % 2;
                    expected = uint16_t(sy * 3 + sx + 1);
                }
                ASSERT_EQ(At(*dst, x, y), expected)
                    << "case dx " << c.dx << " at " << x << "," << y;
            }
    }
}

TEST(Tile, EmptyRectangleOrSourceDrawsNothing) {
    auto dst = SurfaceSprite(4, 4);
    auto src = SurfaceSprite(2, 2);
    FillAll(*src, kWhite);
    dst->TileRect(0, 0, 0, 4, src.get(), 0, 0, 0);
    dst->TileRect(0, 0, 4, 0, src.get(), 0, 0, 0);
    Sprite empty;
    dst->TileRect(0, 0, 4, 4, &empty, 0, 0, 0);
    EXPECT_EQ(CountPixels(*dst, 0), 16);
}

// --- Triangles ----------------------------------------------------------------------------------

const ScreenPoint kCorner[3] = {{0, 0}, {4, 0}, {0, 4}};
const TexturePoint kCornerUV[3] = {{0, 0}, {1, 0}, {0, 1}};

TEST(Triangle, MapsTexelsOntoTheCoveredPixels) {
    auto dst = SurfaceSprite(6, 6);
    auto tex = BufferSprite(4, 4);
    Number(*tex);
    dst->DrawTriangle(0, tex.get(), kCorner, kCornerUV, 0);
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 6; ++x) {
            const uint16_t expected = (x + y < 4) ? uint16_t(y * 4 + x + 1) : 0;
            EXPECT_EQ(At(*dst, x, y), expected) << x << "," << y;
        }
}

TEST(Triangle, OnlyOneWindingIsDrawn) {
    auto dst = SurfaceSprite(6, 6);
    auto tex = BufferSprite(4, 4);
    FillAll(*tex, kWhite);
    const ScreenPoint reversed[3] = {kCorner[0], kCorner[2], kCorner[1]};
    const TexturePoint reversedUV[3] = {kCornerUV[0], kCornerUV[2], kCornerUV[1]};
    dst->DrawTriangle(0, tex.get(), reversed, reversedUV, 0);
    EXPECT_EQ(CountPixels(*dst, kWhite), 0);
    dst->DrawTriangle(0, tex.get(), kCorner, kCornerUV, 0);
    EXPECT_EQ(CountPixels(*dst, kWhite), 10);
}

TEST(Triangle, AlphaLimitsAndBlackTexels) {
    struct Case {
        uint32_t flags;
        uint8_t alpha;
        uint16_t texel, under, expected;
    } cases[] = {
        {OP_ALPHA, 7, kWhite, 0, 0},        {OP_ALPHA, 8, kWhite, 0, 0x0020},
        {OP_ALPHA, 16, kWhite, 0, 0x0861},  {OP_ALPHA, 247, kWhite, 0, 0xEF9D},
        {OP_ALPHA, 248, kWhite, 0, kWhite}, {OP_ALPHA, 255, 0, 0x4321, 0},
        {0, 0, 0, 0x4321, 0x4321},          {0, 0, kRed, 0x4321, kRed},
    };
    for (const Case& c : cases) {
        auto dst = SurfaceSprite(4, 4);
        auto tex = BufferSprite(4, 4, 1, true);
        FillAll(*tex, c.texel);
        std::fill(tex->alpha.begin(), tex->alpha.end(), c.alpha);
        FillAll(*dst, c.under);
        dst->DrawTriangle(c.flags, tex.get(), kCorner, kCornerUV, 0);
        EXPECT_EQ(At(*dst, 0, 0), c.expected) << "alpha " << int(c.alpha) << " texel " << c.texel;
    }
}

TEST(Triangle, ClippedAndOutsideTexelsSkipped) {
    auto dst = SurfaceSprite(6, 6);
    dst->clip = ClipRect{1, 1, 5, 5};
    auto tex = BufferSprite(3, 3); // not a power of two: outside texels must still never be read
    FillAll(*tex, kWhite);
    const ScreenPoint big[3] = {{-20, -20}, {40, -20}, {-20, 40}};
    // One texel per pixel, the texture covering pixels 2..4 in both directions.
    const float a = -22.0f / 3, b = 38.0f / 3;
    const TexturePoint uv[3] = {{a, a}, {b, a}, {a, b}};
    dst->DrawTriangle(0, tex.get(), big, uv, 0);
    int outside = 0;
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 6; ++x)
            if (x < 1 || y < 1 || x >= 5 || y >= 5) outside += At(*dst, x, y) != 0;
    EXPECT_EQ(outside, 0);
    EXPECT_EQ(CountPixels(*dst, kWhite), 9);
    EXPECT_EQ(At(*dst, 2, 2), kWhite);
    EXPECT_EQ(At(*dst, 4, 4), kWhite);
}

} // namespace
