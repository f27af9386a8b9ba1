#include <gtest/gtest.h>

#include "picture_bytes.h"

using namespace picturebytes;

namespace {

using BmpReading = ReaderTest;

// 3 x 2 at 24 bits: rows of 9 bytes padded to 12; the bottom row is stored first.
const std::string kRows3x2 = Pixels({0,   0,   255, 0, 255, 0, 255, 0, 0, 0, 0, 0,   // r g b
                                     255, 255, 255, 0, 0,   0, 0,   0, 8, 0, 0, 0}); // w k dark red

TEST_F(BmpReading, RowsArePaddedAndRunBottomUp) {
    auto reader = Open("p.bmp", Bmp(3, 2, 24, kRows3x2));
    ASSERT_NE(reader, nullptr);
    EXPECT_EQ(reader->width, 3);
    EXPECT_EQ(reader->height, 2);
    EXPECT_EQ(reader->bitsPerPixel, 24);
    EXPECT_EQ(Read565(*reader),
              (std::vector<uint16_t>{0xFFFF, 0x0000, 0x0800, 0xF800, 0x07E0, 0x001F}));
}

TEST_F(BmpReading, NegativeHeightMeansTopDown) {
    auto reader = Open("t.bmp", Bmp(3, -2, 24, kRows3x2));
    ASSERT_NE(reader, nullptr);
    EXPECT_EQ(reader->height, 2);
    EXPECT_EQ(Read565(*reader),
              (std::vector<uint16_t>{0xF800, 0x07E0, 0x001F, 0xFFFF, 0x0000, 0x0800}));
}

TEST_F(BmpReading, SixteenAndThirtyTwoBitPixels) {
    // 1 x 2 at 16 bits (5-5-5, rows padded to 4): bottom blue, top red.
    auto sixteen = Open("s.bmp", Bmp(1, 2, 16, Pixels({0x1F, 0, 0, 0, 0x00, 0x7C, 0, 0})));
    ASSERT_NE(sixteen, nullptr);
    EXPECT_EQ(Read565(*sixteen), (std::vector<uint16_t>{0xF800, 0x001F}));
    // Bit fields are read with the same fixed layout.
    auto fields = Open("f.bmp", Bmp(1, 1, 16, Pixels({0x00, 0x7C, 0, 0}), 3));
    ASSERT_NE(fields, nullptr);
    EXPECT_EQ(Read565(*fields), std::vector<uint16_t>{0xF800});

    auto withAlpha = Open("a.bmp", Bmp(2, 1, 32, Pixels({255, 0, 0, 7, 0, 255, 0, 250})));
    ASSERT_NE(withAlpha, nullptr);
    EXPECT_EQ(Read565(*withAlpha), (std::vector<uint16_t>{0x001F, 0x07E0}));
    EXPECT_EQ(ReadPlane(*withAlpha), (std::vector<uint8_t>{7, 250}));
}

TEST_F(BmpReading, PalettedBitmapsOpenButProduceNoPixels) {
    auto reader = Open("8.bmp", Bmp(4, 1, 8, Pixels({1, 2, 3, 4})));
    ASSERT_NE(reader, nullptr);
    EXPECT_EQ(reader->bitsPerPixel, 8);
    EXPECT_TRUE(Read565(*reader).empty());
}

TEST_F(BmpReading, HeadersThatLieAreRefused) {
    auto withOffset = [](uint32_t offset) {
        std::string file = Bmp(3, 2, 24, kRows3x2);
        Bytes b;
        b.u32(offset);
        file.replace(10, 4, b.data);
        return file;
    };
    auto withInfoSize = [](uint32_t size) {
        std::string file = Bmp(3, 2, 24, kRows3x2);
        Bytes b;
        b.u32(size);
        file.replace(14, 4, b.data);
        return file;
    };
    struct Case {
        const char* what;
        std::string file;
    };
    const Case cases[] = {
        {"not BM", "XY" + Bmp(3, 2, 24, kRows3x2).substr(2)},
        {"rows one byte short", Bmp(3, 2, 24, kRows3x2.substr(1))},
        {"row padding missing", Bmp(3, 2, 24, std::string(18, '\0'))},
        {"pixel offset past the end", withOffset(1000)},
        {"pixel offset inside the header", withOffset(20)},
        {"info header shorter than 40", withInfoSize(12)},
        {"info header longer than the file", withInfoSize(5000)},
        {"run-length compressed", Bmp(4, 1, 8, Pixels({1, 2, 3, 4}), 1)},
        {"JPEG inside", Bmp(3, 2, 24, kRows3x2, 4)},
        {"unknown depth", Bmp(3, 2, 7, kRows3x2)},
        {"zero width", Bmp(0, 2, 24, kRows3x2)},
        {"negative width", Bmp(-3, 2, 24, kRows3x2)},
        {"zero height", Bmp(3, 0, 24, kRows3x2)},
        {"most negative height", Bmp(3, INT32_MIN, 24, kRows3x2)},
        {"huge picture", Bmp(100000, 100000, 1, kRows3x2)},
        {"header only", Bmp(3, 2, 24, "").substr(0, 30)},
    };
    for (const Case& c : cases) EXPECT_EQ(Open("lie.bmp", c.file), nullptr) << c.what;
}

} // namespace
