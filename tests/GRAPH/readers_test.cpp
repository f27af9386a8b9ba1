// Choosing a reader by name, and the pixel conversion every reader shares (shown through TGA).
#include <gtest/gtest.h>

#include <string>

#include "GRAPH/AviReader.h"
#include "GRAPH/BmpReader.h"
#include "GRAPH/JpegReader.h"
#include "GRAPH/PictureReader.h"
#include "GRAPH/RdrGenerator.h"
#include "GRAPH/TgaReader.h"
#include "GRAPH/TvaReader.h"
#include "picture_bytes.h"

using namespace picturebytes;

namespace {

std::string KindOf(const PictureReader* reader) {
    if (dynamic_cast<const TgaReader*>(reader)) return "tga";
    if (dynamic_cast<const AviReader*>(reader)) return "avi";
    if (dynamic_cast<const BmpReader*>(reader)) return "bmp";
    if (dynamic_cast<const JpegReader*>(reader)) return "jpg";
    if (dynamic_cast<const RdrGenerator*>(reader)) return "rdr";
    if (dynamic_cast<const TvaReader*>(reader)) return "tva";
    return reader ? "other" : "none";
}

TEST(ReaderFor, FirstKindContainedInTheLowerCasedNameWins) {
    struct Case {
        std::string name;
        const char* kind;
    };
    const Case cases[] = {
        {"DATA\\menu.tga", "tga"},
        {"DATA\\menu.TGA.bak", "tga"}, // a substring test, not an extension test
        {"DATA\\clip.Avi", "avi"},
        {"x.bmp.tga", "tga"}, // .tga is tested first
        {"x.jpg.avi", "avi"},
        {"x.jpg.bmp", "bmp"}, // .bmp before .jpg
        {"x.tva.rdr", "rdr"},
        {"lines.rdr", "rdr"},
        {"a.tva", "tva"},
        {"photo.JPG", "jpg"},
        {"photo.jpeg", "none"},
        {"DATA\\menu.png", "none"},
        {"tga", "none"},
        {std::string(1019, 'a') + ".tga", "tga"},  // ends at character 1023
        {std::string(1020, 'a') + ".tga", "none"}, // cut off after 1023 characters
    };
    for (const Case& c : cases)
        EXPECT_EQ(KindOf(ReaderFor(c.name.c_str()).get()), c.kind)
            << c.name.substr(c.name.size() > 40 ? c.name.size() - 40 : 0);
    EXPECT_EQ(ReaderFor(nullptr), nullptr);
}

using Conversion = ReaderTest;

TEST_F(Conversion, KeepsTheTopBitsOfEachChannelWithoutRounding) {
    struct Case {
        unsigned r, g, b;
        uint16_t expected565;
    };
    const Case cases[] = {
        {0xFF, 0, 0, 0xF800},       {0x07, 0, 0, 0x0000},       {0x08, 0, 0, 0x0800},
        {0, 0x04, 0, 0x0020},       {0, 0x03, 0, 0x0000},       {0, 0, 0xFF, 0x001F},
        {0xFF, 0xFF, 0xFF, 0xFFFF}, {0x84, 0x82, 0x87, 0x8410},
    };
    for (const Case& c : cases) {
        auto reader = Open("c.tga", Tga(1, 1, 24, 0, Pixels({c.b, c.g, c.r})));
        ASSERT_NE(reader, nullptr);
        EXPECT_EQ(Read565(*reader), std::vector<uint16_t>{c.expected565})
            << std::hex << c.r << " " << c.g << " " << c.b;
    }
}

TEST_F(Conversion, SixteenBitSourcesWidenByShiftingOnly) {
    // 5-5-5 white widens to 248 per channel, which keeps 31, 62, 31 in 5-6-5.
    auto reader = Open("w.tga", Tga(2, 1, 16, 0x20, Pixels({0xFF, 0x7F, 0x00, 0x7C})));
    ASSERT_NE(reader, nullptr);
    EXPECT_EQ(Read565(*reader), (std::vector<uint16_t>{0xFFDF, 0xF800}));
}

TEST_F(Conversion, PreservesDestinationBitsOutsideTheWrittenChannels) {
    auto reader = Open("p.tga", Tga(2, 1, 24, 0x20, Pixels({0xFF, 0, 0, 0, 0, 0xFF})));
    ASSERT_NE(reader, nullptr);
    // A 5-5-5 destination keeps its top bit; a 3-byte one is written little-endian.
    uint16_t with555[2] = {0x8000, 0x0000};
    ASSERT_EQ(reader->ReadPixels(reinterpret_cast<uint8_t*>(with555), 0, 2, 4, 5, 5, 5, 0, 10, 5, 0,
                                 0, 2, 1),
              0);
    EXPECT_EQ(with555[0], 0x801F);
    EXPECT_EQ(with555[1], 0x7C00);
    uint8_t rgb[7] = {0, 0, 0, 0, 0, 0, 0xEE};
    ASSERT_EQ(reader->ReadPixels(rgb, 0, 3, 6, 8, 8, 8, 0, 16, 8, 0, 0, 2, 1), 0);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(rgb), 7), Pixels({0xFF, 0, 0, 0, 0, 0xFF, 0xEE}));
}

TEST_F(Conversion, SmallerDestinationAveragesTheCoveredBlock) {
    // 4 x 2 reds 0, 255, 100, 200 / 255, 255, 0, 0, top-down; halved to 2 x 1.
    auto reader =
        Open("a.tga", Tga(4, 2, 24, 0x20, Pixels({0, 0, 0,   0, 0, 255, 0, 0, 100, 0, 0, 200,
                                                  0, 0, 255, 0, 0, 255, 0, 0, 0,   0, 0, 0})));
    ASSERT_NE(reader, nullptr);
    uint8_t red[2] = {0, 0};
    ASSERT_EQ(reader->ReadPixels(red, 0, 1, 2, 8, 0, 0, 0, 0, 0, 0, 0, 2, 1), 0);
    EXPECT_EQ(red[0], (0 + 255 + 255 + 255) / 4);
    EXPECT_EQ(red[1], (100 + 200 + 0 + 0) / 4);
}

TEST_F(Conversion, ChannelReadTakesTheDepthsAlphaSource) {
    std::string table(768, '\0');
    for (int i = 0; i < 256; ++i) table[size_t(3 * i)] = char(255 - i); // byte 0 of each entry
    struct Case {
        const char* what;
        std::string file;
        uint8_t expected;
    };
    const Case cases[] = {
        {"32-bit: top byte", Tga(1, 1, 32, 0, Pixels({1, 2, 3, 200})), 200},
        {"24-bit: blue", Tga(1, 1, 24, 0, Pixels({77, 2, 3})), 77},
        {"16-bit: blue widened", Tga(1, 1, 16, 0, Pixels({0x1F, 0x7C})), 0xF8},
        {"8-bit: grey ramp index", Tga(1, 1, 8, 0, Pixels({90})), 90},
        {"8-bit: entry byte 0", Tga(1, 1, 8, 0, Pixels({10}), table), 245},
    };
    for (const Case& c : cases) {
        auto reader = Open("m.tga", c.file);
        ASSERT_NE(reader, nullptr) << c.what;
        EXPECT_EQ(ReadPlane(*reader), std::vector<uint8_t>{c.expected}) << c.what;
    }
}

TEST_F(Conversion, Rgb565LoopsGiveThePixelsOfTheGeneralConversion) {
    // A 4-byte destination with the same channels takes the general per-pixel path; the low 16
    // bits of its pixels must equal what the RGB565 loops write, and its top bits must stay.
    // Odd, so BMP rows are padded; wider than two of the loops' 16-pixel blocks, so a row has
    // whole blocks and pixels left over.
    constexpr int W = 37, H = 5;
    uint32_t seed = 99;
    auto randomBytes = [&seed](size_t n) {
        std::string s(n, '\0');
        for (char& c : s) c = char((seed = seed * 214013u + 2531011u) >> 16);
        return s;
    };
    const std::string rgb = randomBytes(W * H * 3);
    auto padded = [&](int bytesPerPixel) {
        std::string rows;
        for (int y = 0; y < H; ++y)
            rows += randomBytes(size_t(W * bytesPerPixel)) +
                    std::string(size_t(DibStride(W, bytesPerPixel * 8) - W * bytesPerPixel), '\0');
        return rows;
    };
    const struct {
        const char* name;
        std::string file;
    } cases[] = {
        {"indexed.tga", Tga(W, H, 8, 0, randomBytes(W * H), randomBytes(768))},
        {"grey.tga", Tga(W, H, 8, 0x20, randomBytes(W * H))},
        {"x555.tga", Tga(W, H, 16, 0, randomBytes(W * H * 2))}, // top bits set at random
        {"bgr-up.tga", Tga(W, H, 24, 0, randomBytes(W * H * 3))},
        {"bgr-down.tga", Tga(W, H, 24, 0x20, randomBytes(W * H * 3))},
        {"bgra.tga", Tga(W, H, 32, 0x20, randomBytes(W * H * 4))},
        {"x555.bmp", Bmp(W, H, 16, padded(2))},
        {"bgr.bmp", Bmp(W, H, 24, padded(3))},
        {"bgra.bmp", Bmp(W, -H, 32, padded(4))},
        {"rgb.jpg", EncodeJpeg(W, H, 3, rgb)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto reader = Open(c.name, c.file);
        ASSERT_NE(reader, nullptr);
        const std::vector<uint16_t> fast = Read565(*reader);
        std::vector<uint32_t> general(size_t(W * H), 0xABCD0000u);
        ASSERT_EQ(reader->ReadPixels(reinterpret_cast<uint8_t*>(general.data()), 0, 4, W * 4, 5, 6,
                                     5, 0, 11, 5, 0, 0, W, H),
                  0);
        ASSERT_EQ(fast.size(), general.size());
        for (size_t i = 0; i < fast.size(); ++i) {
            ASSERT_EQ(fast[i], uint16_t(general[i])) << "pixel " << i;
            ASSERT_EQ(general[i] >> 16, 0xABCDu) << "pixel " << i;
        }
    }
}

TEST_F(Conversion, BadDestinationArgumentsWriteNothing) {
    auto reader = Open("b.tga", Tga(1, 1, 24, 0, Pixels({255, 255, 255})));
    ASSERT_NE(reader, nullptr);
    struct Case {
        int bytesPerPixel, redBits, redShift;
    };
    const Case cases[] = {{0, 5, 11}, {5, 5, 11}, {2, 9, 0}, {2, 5, 12}, {1, 5, -1}};
    for (const Case& c : cases) {
        uint8_t dst[8] = {};
        EXPECT_EQ(reader->ReadPixels(dst, 0, c.bytesPerPixel, 8, c.redBits, 0, 0, 0, c.redShift, 0,
                                     0, 0, 1, 1),
                  -1);
        EXPECT_EQ(std::string(reinterpret_cast<char*>(dst), 8), std::string(8, '\0'));
    }
    EXPECT_EQ(reader->ReadPixels(nullptr, 0, 2, 2, 5, 6, 5, 0, 11, 5, 0, 0, 1, 1), -1);
}

} // namespace
