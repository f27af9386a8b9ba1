#include <gtest/gtest.h>

#include <cstring>

#include "graph_test_util.h"

namespace {

const PixelFormatDesc& Format(int index) {
    return kPixelFormats[index];
}

std::unique_ptr<Surface> Make(int w, int h, int format = 0) {
    long result = 1;
    auto s = Surface::Create(w, h, Format(format), &result);
    EXPECT_EQ(result, DD_OK);
    return s;
}

uint16_t& Pixel16(Surface& s, int x, int y) {
    SurfaceDC dc;
    EXPECT_EQ(s.GetDC(&dc), DD_OK);
    s.ReleaseDC();
    return reinterpret_cast<uint16_t*>(dc.bits + y * dc.pitch)[x];
}

TEST(Surface, CreationRefusesWhatCannotBeMade) {
    struct Case {
        int w, h, format;
        long expected;
    } cases[] = {
        {0, 10, 0, DDERR_INVALIDPARAMS},       {10, -1, 0, DDERR_INVALIDPARAMS},
        {10, 10, 5, DDERR_INVALIDPIXELFORMAT}, // the all-zero end of the table
        {16384, 1, 0, DDERR_TOOBIGWIDTH},      {8192, 1, 2, DDERR_TOOBIGWIDTH},
        {16000, 20000, 0, DDERR_TOOBIGSIZE},   {16382, 1, 0, DD_OK},
    };
    for (const Case& c : cases) {
        long result = 12345;
        auto s = Surface::Create(c.w, c.h, Format(c.format), &result);
        EXPECT_EQ(result, c.expected) << c.w << "x" << c.h;
        EXPECT_EQ(s != nullptr, c.expected == DD_OK);
    }
}

TEST(Surface, PitchIsPaddedToFourBytes) {
    struct Case {
        int w, format, pitch;
    } cases[] = {{3, 0, 8}, {4, 0, 8}, {3, 4, 12}, {5, 4, 16}, {3, 2, 12}};
    for (const Case& c : cases) EXPECT_EQ(Make(c.w, 2, c.format)->Pitch(), c.pitch);
}

TEST(Surface, LockAndDeviceContextStates) {
    auto s = Make(4, 4);
    uint8_t* memory = nullptr;
    int pitch = 0;
    SurfaceDC dc;
    EXPECT_EQ(s->Unlock(), DDERR_NOTLOCKED);
    EXPECT_EQ(s->ReleaseDC(), DDERR_NODC);
    EXPECT_EQ(s->Lock(&memory, &pitch), DD_OK);
    EXPECT_EQ(pitch, 8);
    EXPECT_EQ(s->Lock(&memory, &pitch), DDERR_SURFACEBUSY);
    EXPECT_EQ(s->GetDC(&dc), DDERR_SURFACEBUSY);
    EXPECT_EQ(s->ColorFill({0, 0, 1, 1}, 1), DDERR_SURFACEBUSY);
    EXPECT_EQ(s->Unlock(), DD_OK);
    EXPECT_EQ(s->GetDC(&dc), DD_OK);
    EXPECT_EQ(dc.bits, memory);
    EXPECT_EQ(s->GetDC(&dc), DDERR_DCALREADYCREATED);
    EXPECT_EQ(s->Lock(&memory, &pitch), DDERR_SURFACEBUSY);
    EXPECT_EQ(s->ReleaseDC(), DD_OK);
}

TEST(Surface, BltChecksRectanglesFormatsAndBusySurfaces) {
    auto dst = Make(4, 4), src = Make(4, 4), other = Make(4, 4, 1);
    EXPECT_EQ(dst->Blt({0, 0, 5, 4}, src.get(), {0, 0, 4, 4}, 0), DDERR_INVALIDRECT);
    EXPECT_EQ(dst->Blt({0, 0, 4, 4}, src.get(), {-1, 0, 3, 4}, 0), DDERR_INVALIDRECT);
    EXPECT_EQ(dst->Blt({2, 2, 2, 4}, src.get(), {0, 0, 4, 4}, 0), DDERR_INVALIDRECT);
    EXPECT_EQ(dst->Blt({0, 0, 4, 4}, other.get(), {0, 0, 4, 4}, 0), DDERR_INVALIDPIXELFORMAT);
    EXPECT_EQ(dst->Blt({0, 0, 4, 4}, nullptr, {0, 0, 4, 4}, 0), DDERR_INVALIDPARAMS);
    uint8_t* memory;
    int pitch;
    src->Lock(&memory, &pitch);
    EXPECT_EQ(dst->Blt({0, 0, 4, 4}, src.get(), {0, 0, 4, 4}, 0), DDERR_SURFACEBUSY);
    src->Unlock();
    EXPECT_EQ(dst->ColorFill({0, 0, 4, 5}, 1), DDERR_INVALIDRECT);
}

TEST(Surface, ColorFillFillsEveryRowOfTheRectAndNothingAround) {
    auto s = Make(5, 4);
    ASSERT_EQ(s->ColorFill({0, 0, 5, 4}, 0x1111), DD_OK);
    ASSERT_EQ(s->ColorFill({1, 1, 4, 4}, 0xBEEF), DD_OK);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 5; ++x)
            EXPECT_EQ(Pixel16(*s, x, y), (y >= 1 && x >= 1 && x < 4) ? 0xBEEF : 0x1111)
                << x << "," << y;
}

TEST(Surface, KeyedBltSkipsTheKeyRange) {
    auto dst = Make(4, 1), src = Make(4, 1);
    const uint16_t values[4] = {0, 5, 6, 9};
    for (int x = 0; x < 4; ++x) Pixel16(*src, x, 0) = values[x];
    ASSERT_EQ(dst->ColorFill({0, 0, 4, 1}, 0x7777), DD_OK);
    ASSERT_EQ(src->SetColorKey(5, 6), DD_OK);
    EXPECT_EQ(src->SetColorKey(7, 6), DDERR_INVALIDPARAMS);
    ASSERT_EQ(dst->Blt({0, 0, 4, 1}, src.get(), {0, 0, 4, 1}, DDBLT_KEYSRC), DD_OK);
    const uint16_t expected[4] = {0, 0x7777, 0x7777, 9};
    for (int x = 0; x < 4; ++x) EXPECT_EQ(Pixel16(*dst, x, 0), expected[x]) << x;
}

TEST(Surface, ScaledBltPicksNearestSourcePixels) {
    auto dst = Make(6, 1), src = Make(3, 1);
    for (int x = 0; x < 3; ++x) Pixel16(*src, x, 0) = uint16_t(x + 1);
    ASSERT_EQ(dst->Blt({0, 0, 6, 1}, src.get(), {0, 0, 3, 1}, 0), DD_OK);
    const uint16_t up[6] = {1, 1, 2, 2, 3, 3};
    for (int x = 0; x < 6; ++x) EXPECT_EQ(Pixel16(*dst, x, 0), up[x]);
    auto small = Make(2, 1);
    ASSERT_EQ(small->Blt({0, 0, 2, 1}, dst.get(), {0, 0, 6, 1}, 0), DD_OK);
    EXPECT_EQ(Pixel16(*small, 0, 0), 1);
    EXPECT_EQ(Pixel16(*small, 1, 0), 2);
}

TEST(Surface, WholeRowsCopyAsOneBlock) {
    auto dst = Make(2, 3), src = Make(2, 3); // 2 pixels fill a 4-byte row exactly
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 2; ++x) Pixel16(*src, x, y) = uint16_t(10 * y + x + 1);
    ASSERT_EQ(dst->Blt({0, 0, 2, 2}, src.get(), {0, 1, 2, 3}, 0), DD_OK);
    EXPECT_EQ(Pixel16(*dst, 0, 0), 11);
    EXPECT_EQ(Pixel16(*dst, 1, 1), 22);
    EXPECT_EQ(Pixel16(*dst, 0, 2), 0);
    ASSERT_EQ(src->Blt({0, 1, 2, 3}, src.get(), {0, 0, 2, 2}, 0), DD_OK); // overlapping, downwards
    EXPECT_EQ(Pixel16(*src, 0, 1), 1);
    EXPECT_EQ(Pixel16(*src, 1, 2), 12);
}

TEST(Surface, OverlappingBltOntoItselfReadsTheOriginal) {
    auto s = Make(5, 1);
    for (int x = 0; x < 5; ++x) Pixel16(*s, x, 0) = uint16_t(x + 1);
    ASSERT_EQ(s->Blt({1, 0, 5, 1}, s.get(), {0, 0, 4, 1}, 0), DD_OK);
    const uint16_t expected[5] = {1, 1, 2, 3, 4};
    for (int x = 0; x < 5; ++x) EXPECT_EQ(Pixel16(*s, x, 0), expected[x]);
}

TEST(Surface, WiderPixelsFillAndCopy) {
    for (int format : {2, 4}) { // 32 and 24 bits
        auto dst = Make(3, 2, format), src = Make(3, 2, format);
        ASSERT_EQ(src->ColorFill({0, 0, 3, 2}, 0x123456), DD_OK);
        ASSERT_EQ(src->ColorFill({1, 0, 2, 1}, 0), DD_OK);
        ASSERT_EQ(dst->ColorFill({0, 0, 3, 2}, 0xABCDEF), DD_OK);
        ASSERT_EQ(dst->Blt({0, 0, 3, 2}, src.get(), {0, 0, 3, 2}, DDBLT_KEYSRC), DD_OK);
        SurfaceDC dc;
        dst->GetDC(&dc);
        const int bytes = int(Format(format).bitsPerPixel / 8);
        auto read = [&](int x, int y) {
            uint32_t v = 0;
            std::memcpy(&v, dc.bits + y * dc.pitch + x * bytes, size_t(bytes));
            return v;
        };
        EXPECT_EQ(read(0, 0), 0x123456u);
        EXPECT_EQ(read(1, 0), 0xABCDEFu); // black was the key
        EXPECT_EQ(read(2, 1), 0x123456u);
        dst->ReleaseDC();
    }
}

} // namespace
