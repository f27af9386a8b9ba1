#include <gtest/gtest.h>

#include "picture_bytes.h"

using namespace picturebytes;

namespace {

std::string Tva(int32_t length, int32_t frames, int w, int h, int bpp, size_t dataBytes) {
    Bytes b;
    b.u32(0x41565400).u32(uint32_t(length)).u32(uint32_t(frames)).u16(unsigned(w));
    b.u16(unsigned(h)).u8(unsigned(bpp)).u8(0);
    return b.raw(std::string(dataBytes, '\x11')).data;
}

using TvaReading = ReaderTest;

TEST_F(TvaReading, OpensOnlyWhenTheSizeIsExactAndNeverConverts) {
    auto reader = Open("anim.tva", Tva(1500, 3, 4, 2, 16, 3 * 4 * 2 * 2));
    ASSERT_NE(reader, nullptr);
    EXPECT_EQ(reader->width, 4);
    EXPECT_EQ(reader->height, 2);
    EXPECT_EQ(reader->frameCount, 3);
    EXPECT_EQ(reader->length, 1500);
    EXPECT_EQ(reader->bitsPerPixel, 16);
    uint8_t untouched[16] = {};
    EXPECT_EQ(reader->ReadPixels(untouched, 0, 2, 8, 5, 6, 5, 0, 11, 5, 0, 0, 4, 2), -1);
    EXPECT_EQ(reader->ReadChannel(untouched, 0, 1, 4, 8, 0, 4, 2), -1);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(untouched), 16), std::string(16, '\0'));

    struct Case {
        const char* what;
        std::string file;
    };
    const Case refused[] = {
        {"a byte short", Tva(1500, 3, 4, 2, 16, 47)},
        {"a byte over", Tva(1500, 3, 4, 2, 16, 49)},
        {"negative sizes whose product fits", Tva(0, 1, -4, -2, 8, 8)},
        {"no frames", Tva(0, 0, 4, 2, 8, 0)},
        {"zero depth", Tva(0, 5, 4, 2, 0, 0)},
        {"frame count overflowing the size rule", Tva(0, 0x7FFFFFFF, 16384, 16384, 32, 64)},
        {"header cut short", std::string(17, '\0')},
    };
    for (const Case& c : refused) EXPECT_EQ(Open("bad.tva", c.file), nullptr) << c.what;
}

} // namespace
