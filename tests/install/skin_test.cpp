#include "install/resources.h"
#include "install/skin.h"

#include <gtest/gtest.h>

#include <cstring>
#include <png.h>

namespace {

// A PNG of the given RGBA pixels, made with libpng.
std::vector<unsigned char> MakePng(int width, int height, const std::vector<unsigned char>& rgba) {
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(width);
    image.height = static_cast<png_uint_32>(height);
    image.format = PNG_FORMAT_RGBA;
    png_alloc_size_t size = 0;
    EXPECT_TRUE(png_image_write_to_memory(&image, nullptr, &size, 0, rgba.data(), 0, nullptr));
    std::vector<unsigned char> bytes(size);
    EXPECT_TRUE(png_image_write_to_memory(&image, bytes.data(), &size, 0, rgba.data(), 0, nullptr));
    bytes.resize(size);
    return bytes;
}

TEST(Skin, BuiltInSkinLoadsAtItsSizes) {
    inst::Skin skin;
    ASSERT_TRUE(inst::LoadSkin(&skin));
    const struct {
        const inst::Picture& picture;
        int width, height;
    } cases[] = {{skin.background, 381, 359},
                 {skin.buttons, 224, 120},
                 {skin.pictures, 253, 114},
                 {skin.package, 116, 89}};
    for (const auto& c : cases) {
        EXPECT_EQ(c.picture.width, c.width);
        EXPECT_EQ(c.picture.height, c.height);
    }
    ASSERT_EQ(skin.buttonFrames.size(), 12u);
    ASSERT_EQ(skin.pictureFrames.size(), 8u);
    // Every button face lies on the page when drawn with its anchor at the page's origin.
    for (const inst::AnimFrame& f : skin.buttonFrames) {
        EXPECT_GE(-f.minusLeft, 0);
        EXPECT_LE(f.right16, 381);
        EXPECT_LE(f.bottom16, 359);
    }
    // The requirement marks: two 18-pixel images, palettised at 8 bits (IHDR bit depth and
    // colour type 3), and they differ.
    EXPECT_EQ(skin.marks.width, 36);
    EXPECT_EQ(skin.marks.height, 16);
    inst::ResourceData marks, icon;
    ASSERT_TRUE(inst::FindResource(128, "BITMAP", &marks));
    EXPECT_TRUE(inst::FindResource(111, "ICON", &icon));
    ASSERT_GT(marks.size, 26u);
    EXPECT_EQ(marks.data[24], 8);
    EXPECT_EQ(marks.data[25], 3);
    bool differ = false;
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 18; ++x)
            differ |=
                skin.marks.pixels[size_t(y) * 36 + x] != skin.marks.pixels[size_t(y) * 36 + 18 + x];
    EXPECT_TRUE(differ);
}

TEST(Skin, TransparencyBlendsOverTheBackground) {
    const std::vector<unsigned char> rgba = {
        255, 0, 0,   255, // opaque red
        255, 0, 0,   0,   // fully transparent
        0,   0, 255, 128, // half blue
    };
    const std::vector<unsigned char> png = MakePng(3, 1, rgba);
    const struct {
        uint32_t background;
        std::vector<uint32_t> pixels;
    } cases[] = {{inst::kSkinColour, {0xFF0000, 0xEFF5E4, 0x777AF2}}, {0, {0xFF0000, 0, 0x000080}}};
    for (const auto& c : cases) {
        inst::Picture picture;
        ASSERT_TRUE(inst::DecodePng(png.data(), png.size(), c.background, &picture));
        EXPECT_EQ(picture.pixels, c.pixels);
    }
}

TEST(Skin, DamagedPicturesAreRefused) {
    const std::vector<unsigned char> good = MakePng(2, 2, std::vector<unsigned char>(16, 200));
    std::vector<unsigned char> huge = good;
    huge[16] = 0x00; // width 0x00010002: above the limit (the header CRC no longer matches either)
    huge[17] = 0x01;
    const struct {
        const char* what;
        std::vector<unsigned char> bytes;
    } cases[] = {
        {"empty", {}},
        {"garbage", std::vector<unsigned char>(64, 0xAB)},
        {"truncated", std::vector<unsigned char>(good.begin(), good.begin() + good.size() / 2)},
        {"oversized", huge},
    };
    for (const auto& c : cases) {
        inst::Picture picture;
        EXPECT_FALSE(inst::DecodePng(c.bytes.data(), c.bytes.size(), 0, &picture)) << c.what;
    }
}

TEST(Skin, FrameTables) {
    std::vector<unsigned char> one = {'a', 'n', 'i', 'm', 4, 0, 1, 0};
    const unsigned char frame[28] = {0, 0, 0, 0, 0,  0, 0, 0, 0, 0, 0, 0, 0, 0,
                                     0, 0, 0, 0, 10, 0, 0, 0, 5, 0, 2, 0, 3, 0};
    one.insert(one.end(), frame, frame + 28);
    std::vector<unsigned char> badMagic = one, badFormat = one;
    badMagic[0] = 'x';
    badFormat[4] = 5;
    const struct {
        const char* what;
        std::vector<unsigned char> bytes;
        bool ok;
    } cases[] = {
        {"one frame", one, true},
        {"short", {'a', 'n', 'i', 'm'}, false},
        {"magic", badMagic, false},
        {"format word", badFormat, false},
        {"count beyond data", std::vector<unsigned char>(one.begin(), one.end() - 1), false},
    };
    for (const auto& c : cases) {
        std::vector<inst::AnimFrame> frames;
        EXPECT_EQ(inst::ParseAnim(c.bytes.data(), c.bytes.size(), &frames), c.ok) << c.what;
    }
    std::vector<inst::AnimFrame> frames;
    ASSERT_TRUE(inst::ParseAnim(one.data(), one.size(), &frames));
    EXPECT_EQ(frames[0].Width(), 10);
    EXPECT_EQ(frames[0].Height(), 5);
    inst::Picture sheet;
    sheet.width = 12;
    sheet.height = 8;
    EXPECT_TRUE(inst::FramesFitSheet(frames, sheet));
    sheet.width = 11;
    EXPECT_FALSE(inst::FramesFitSheet(frames, sheet));
}

} // namespace
