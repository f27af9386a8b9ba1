#include <gtest/gtest.h>

#include <cstdio>

#include "picture_bytes.h"

using namespace picturebytes;

namespace {

// 16 x 8: the left 8 x 8 block red, the right one blue.
std::string RedBlue() {
    std::string pixels;
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 16; ++x) pixels += x < 8 ? Pixels({255, 0, 0}) : Pixels({0, 0, 255});
    return EncodeJpeg(16, 8, 3, pixels);
}

using JpegReading = ReaderTest;

TEST_F(JpegReading, DecodesColourInRedGreenBlueOrder) {
    auto reader = Open("rb.jpg", RedBlue());
    ASSERT_NE(reader, nullptr);
    EXPECT_EQ(reader->width, 16);
    EXPECT_EQ(reader->height, 8);
    EXPECT_EQ(reader->bitsPerPixel, 24);
    EXPECT_EQ(reader->frameCount, 1);
    const std::vector<uint16_t> pixels = Read565(*reader);
    ASSERT_EQ(pixels.size(), 128u);
    EXPECT_EQ(pixels[0], 0xF800);
    EXPECT_EQ(pixels[15], 0x001F);
    EXPECT_EQ(pixels[7 * 16 + 3], 0xF800);
    // The channel read takes the lowest byte, which is red in JPEG pictures.
    const std::vector<uint8_t> plane = ReadPlane(*reader);
    ASSERT_EQ(plane.size(), 128u);
    EXPECT_GE(plane[0], 250);
    EXPECT_LE(plane[15], 5);
}

TEST_F(JpegReading, GreyscaleOpensButProducesNoPixels) {
    auto reader = Open("g.jpg", EncodeJpeg(8, 8, 1, std::string(64, '\x80')));
    ASSERT_NE(reader, nullptr);
    EXPECT_EQ(reader->bitsPerPixel, 8);
    EXPECT_TRUE(Read565(*reader).empty());
    EXPECT_TRUE(ReadPlane(*reader).empty());
}

TEST_F(JpegReading, DamagedScanDataStillLoads) {
    // Cut two bytes into the entropy-coded data after the scan header.
    const std::string whole = RedBlue();
    const size_t scan = whole.find("\xFF\xDA");
    ASSERT_NE(scan, std::string::npos);
    const size_t scanHeader = (uint8_t(whole[scan + 2]) << 8) | uint8_t(whole[scan + 3]);
    auto reader = Open("cut.jpg", whole.substr(0, scan + 2 + scanHeader + 2));
    ASSERT_NE(reader, nullptr);
    EXPECT_EQ(Read565(*reader).size(), 128u);
}

TEST_F(JpegReading, UndecodableFilesAndHugeSizesAreRefused) {
    const std::string good = RedBlue();
    // The baseline frame header holds the height and then the width, big-endian.
    auto withSize = [&](unsigned w, unsigned h) {
        std::string file = good;
        const size_t sof = file.find("\xFF\xC0");
        file[sof + 5] = char(h >> 8);
        file[sof + 6] = char(h);
        file[sof + 7] = char(w >> 8);
        file[sof + 8] = char(w);
        return file;
    };
    struct Case {
        const char* what;
        std::string file;
    };
    const Case cases[] = {
        {"not a JPEG", "GIF89a and nothing more"},
        {"header cut short", good.substr(0, 20)},
        {"wider than any picture", withSize(20000, 8)},
        {"too many pixels", withSize(5000, 5000)},
        {"zero height", withSize(16, 0)},
    };
    for (const Case& c : cases) EXPECT_EQ(Open("bad.jpg", c.file), nullptr) << c.what;
}

} // namespace
