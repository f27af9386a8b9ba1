#include <gtest/gtest.h>

#include <set>
#include <vector>

#include "SYS/gdi_text.h"

namespace {

const std::vector<std::string> kLiberation = {
    "/usr/share/fonts/truetype/liberation/LiberationSans-Regular.ttf",
    "/usr/share/fonts/truetype/liberation2/LiberationSans-Regular.ttf"};

TEST(TextFace, OpensTheFirstFaceThatLoads) {
    EXPECT_EQ(sys::TextFace::Open({"/nonexistent/font.ttf"}, 11, true), nullptr);
    EXPECT_EQ(sys::TextFace::Open(kLiberation, 0, true), nullptr);
    auto face =
        sys::TextFace::Open({"/nonexistent/font.ttf", kLiberation[0], kLiberation[1]}, 11, true);
    if (!face) GTEST_SKIP() << "needs Liberation Sans (fonts-liberation)";
    EXPECT_NE(face->File().find("LiberationSans"), std::string::npos);
    // An 11-pixel em: Liberation Sans's ascent and descent round to 10 and 3.
    EXPECT_EQ(face->Ascent(), 10);
    EXPECT_EQ(face->CellHeight(), 13);
    EXPECT_EQ(face->Width("ab", 2), face->Advance('a') + face->Advance('b'));
}

TEST(TextFace, AntiAliasedTextBlendsIntoA32BitPicture) {
    auto smooth = sys::TextFace::Open(kLiberation, 11, true);
    auto sharp = sys::TextFace::Open(kLiberation, 11, false);
    if (!smooth || !sharp) GTEST_SKIP() << "needs Liberation Sans (fonts-liberation)";
    for (auto* face : {smooth.get(), sharp.get()}) {
        const int w = 60, h = 20;
        std::vector<uint32_t> pixels(size_t(w) * h, 0xFFFFFF);
        sys::TextCanvas32 canvas{pixels.data(), w * 4, 0, 0, 30, h}; // clipped at x 30
        const int pen = face->Draw(canvas, 2, 2, "HTE HTE", 7, 0x000000);
        EXPECT_EQ(pen, 2 + face->Width("HTE HTE", 7));
        std::set<uint32_t> colours(pixels.begin(), pixels.end());
        EXPECT_TRUE(colours.count(0x000000));
        // Grey levels only where the face is smooth; nothing beyond the clip.
        EXPECT_EQ(colours.size() > 2, face == smooth.get());
        for (int y = 0; y < h; ++y)
            for (int x = 30; x < w; ++x) EXPECT_EQ(pixels[size_t(y) * w + x], 0xFFFFFFu);
        for (uint32_t c : colours) EXPECT_EQ((c >> 16) & 0xFF, c & 0xFF) << std::hex << c;
    }
}

} // namespace
