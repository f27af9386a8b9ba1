#include <gtest/gtest.h>

#include <set>

#include "GRAPH/PictureReader.h"
#include "SYS/crt_rand.h"

namespace {

constexpr int kSide = 256;

// A frame as stored blue, green, red bytes.
std::vector<uint8_t> FrameBytes(PictureReader& reader, int position) {
    std::vector<uint8_t> bytes(size_t(kSide) * kSide * 3, 0);
    EXPECT_EQ(reader.ReadPixels(bytes.data(), position, 3, kSide * 3, 8, 8, 8, 0, 16, 8, 0, 0,
                                kSide, kSide),
              0);
    return bytes;
}

uint64_t Fnv1a(const std::vector<uint8_t>& bytes) {
    uint64_t hash = 14695981039346656037ull;
    for (uint8_t b : bytes) hash = (hash ^ b) * 1099511628211ull;
    return hash;
}

std::unique_ptr<PictureReader> OpenRdr(const char* name) {
    std::unique_ptr<PictureReader> reader = ReaderFor(name);
    EXPECT_NE(reader, nullptr);
    EXPECT_EQ(reader->Open(name), 0);
    return reader;
}

TEST(RdrGenerator, FirstFrameAfterAFreshSeedIsFixed) {
    sys::crt_srand(1);
    auto reader = OpenRdr("DATA\\lines.rdr"); // no file is read
    EXPECT_EQ(reader->width, 256);
    EXPECT_EQ(reader->height, 256);
    EXPECT_EQ(reader->bitsPerPixel, 24);
    EXPECT_EQ(reader->frameCount, 20);
    EXPECT_EQ(reader->length, 4000);
    EXPECT_EQ(Fnv1a(FrameBytes(*reader, 0)), 9883762285111439507ull);

    // Warm-up and ten frames: 20 steps of 64 random numbers each, no more.
    sys::CrtRandom fresh;
    for (int i = 0; i < 20 * 64; ++i) fresh.Next();
    EXPECT_EQ(sys::crt_rand(), fresh.Next());
}

TEST(RdrGenerator, PlaysForwardThenBackwardInTableColours) {
    sys::crt_srand(7);
    auto reader = OpenRdr("x.rdr");
    std::set<uint32_t> table;
    for (int i = 0; i < 64; ++i) {
        const uint32_t entry = uint32_t(i > 32 ? 2 * i - 63 : 0) |
                               (uint32_t(i > 56 ? i - 8 : 0) << 8) | (uint32_t(i) << 16);
        table.insert(entry);
    }
    table.insert(0);
    std::vector<std::vector<uint8_t>> frames;
    for (int f = 0; f < 20; ++f) frames.push_back(FrameBytes(*reader, 200 * f));
    for (int j = 0; j < 10; ++j) {
        EXPECT_EQ(frames[size_t(j)], frames[size_t(19 - j)]) << j;
        if (j > 0) {
            EXPECT_NE(frames[size_t(j)], frames[size_t(j - 1)]) << j;
        }
    }
    size_t lit = 0;
    for (size_t i = 0; i < frames[0].size(); i += 3) {
        const uint32_t colour = frames[0][i] | (frames[0][i + 1] << 8) | (frames[0][i + 2] << 16);
        ASSERT_EQ(table.count(colour), 1u) << std::hex << colour;
        lit += colour != 0;
    }
    EXPECT_GT(lit, 0u);
    EXPECT_LT(lit, frames[0].size() / 3);
    // Positions wrap at the length.
    EXPECT_EQ(FrameBytes(*reader, 4000 + 200 * 3), frames[3]);
    EXPECT_EQ(FrameBytes(*reader, -200), frames[19]);
}

TEST(RdrGenerator, EachOpenContinuesTheProgramWideSequence) {
    sys::crt_srand(1);
    auto first = OpenRdr("a.rdr");
    auto second = OpenRdr("b.rdr");
    EXPECT_NE(FrameBytes(*first, 0), FrameBytes(*second, 0));
    sys::crt_srand(1);
    auto again = OpenRdr("c.rdr");
    EXPECT_EQ(FrameBytes(*first, 0), FrameBytes(*again, 0));
}

} // namespace
