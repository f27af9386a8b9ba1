#include <gtest/gtest.h>

#include "picture_bytes.h"

using namespace picturebytes;

namespace {

using TgaReading = ReaderTest;

// 1 x 2: stored first a red pixel, then a blue one.
const std::string kRedThenBlue = Pixels({0, 0, 255, 255, 0, 0});

TEST_F(TgaReading, RowsRunBottomUpUnlessDescriptorBit5IsSet) {
    auto bottomUp = Open("b.tga", Tga(1, 2, 24, 0x00, kRedThenBlue));
    auto topDown = Open("t.tga", Tga(1, 2, 24, 0x20, kRedThenBlue));
    ASSERT_NE(bottomUp, nullptr);
    ASSERT_NE(topDown, nullptr);
    EXPECT_EQ(Read565(*bottomUp), (std::vector<uint16_t>{0x001F, 0xF800}));
    EXPECT_EQ(Read565(*topDown), (std::vector<uint16_t>{0xF800, 0x001F}));
    EXPECT_EQ(bottomUp->width, 1);
    EXPECT_EQ(bottomUp->height, 2);
    EXPECT_EQ(bottomUp->bitsPerPixel, 24);
    EXPECT_EQ(bottomUp->frameCount, 1);
    EXPECT_EQ(bottomUp->length, 0);
}

TEST_F(TgaReading, ThirtyTwoBitPicturesCarryTheirOwnAlpha) {
    auto reader = Open("g.tga", Tga(2, 1, 32, 0x28, Pixels({0, 0, 255, 0, 255, 255, 255, 128})));
    ASSERT_NE(reader, nullptr);
    EXPECT_EQ(reader->bitsPerPixel, 32);
    EXPECT_EQ(ReadPlane(*reader), (std::vector<uint8_t>{0, 128}));
    EXPECT_EQ(Read565(*reader), (std::vector<uint16_t>{0xF800, 0xFFFF}));
}

TEST_F(TgaReading, ColourTableIsUsedWhenTheMapTypeBitIsSet) {
    std::string table(768, '\0');
    table[3 * 5 + 2] = char(255); // entry 5 is pure red
    auto mapped = Open("m.tga", Tga(1, 1, 8, 0, Pixels({5}), table));
    ASSERT_NE(mapped, nullptr);
    EXPECT_EQ(Read565(*mapped), std::vector<uint16_t>{0xF800});

    // Map type 2 has bit 8 of the first word clear: no table, the grey ramp, pixels at 18.
    std::string noMap = Tga(1, 1, 8, 0, Pixels({255}));
    noMap[1] = 2;
    auto grey = Open("n.tga", noMap);
    ASSERT_NE(grey, nullptr);
    EXPECT_EQ(Read565(*grey), std::vector<uint16_t>{0xFFFF});
}

TEST_F(TgaReading, OtherDepthsOpenButProduceNoPixels) {
    auto reader = Open("d.tga", Tga(1, 1, 15, 0, Pixels({0xFF, 0x7F})));
    ASSERT_NE(reader, nullptr);
    uint16_t untouched = 0x1234;
    EXPECT_EQ(reader->ReadPixels(reinterpret_cast<uint8_t*>(&untouched), 0, 2, 2, 5, 6, 5, 0, 11, 5,
                                 0, 0, 1, 1),
              -1);
    EXPECT_EQ(untouched, 0x1234);
    EXPECT_TRUE(ReadPlane(*reader).empty());
}

TEST_F(TgaReading, HeadersThatClaimMoreThanTheFileHoldsAreRefused) {
    struct Case {
        const char* what;
        std::string file;
    };
    std::string negativeWidth = Tga(1, 1, 24, 0, Pixels({1, 2, 3}));
    negativeWidth[12] = char(0xFF);
    negativeWidth[13] = char(0xFF);
    const Case cases[] = {
        {"empty file", ""},
        {"shorter than the header", std::string(17, '\0')},
        {"one pixel byte short", Tga(2, 2, 24, 0, std::string(11, '\0'))},
        {"colour table cut short", Tga(1, 1, 8, 0, "", std::string(700, '\0'))},
        {"negative width", negativeWidth},
        {"huge picture in a tiny file", Tga(30000, 30000, 32, 0, std::string(64, '\0'))},
        {"zero depth still needs a byte a pixel", Tga(100, 100, 0, 0, std::string(10, '\0'))},
    };
    for (const Case& c : cases) EXPECT_EQ(Open("lie.tga", c.file), nullptr) << c.what;

    auto reader = ReaderFor("absent.tga");
    EXPECT_NE(reader->Open("absent.tga"), 0);
}

} // namespace
