#include <gtest/gtest.h>

#include <filesystem>

#include "GRAPH/font.h"
#include "SYS/msgbox.h"
#include "graph_test_util.h"

using namespace graphtest;

namespace {

// A w x h 24-bit picture whose pixel (x, y) reads as 5-6-5 value x | (2y << 5): blue x * 8,
// green y * 8. Copied glyph pixels then tell where they came from.
std::vector<uint8_t> Coded(int w, int h) {
    std::vector<uint8_t> v(size_t(w * h) * 3, 0);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            v[size_t(y * w + x) * 3] = uint8_t(x * 8);
            v[size_t(y * w + x) * 3 + 1] = uint8_t(y * 8);
        }
    return v;
}
uint16_t CodeOf(int x, int y) {
    return uint16_t(x | (2 * y) << 5);
}

class Fonts : public ::testing::Test {
protected:
    void SetUp() override {
        std::filesystem::create_directory("DATA");
        sys::SetMessageBoxResponder(
            [this](const std::string& text, const std::string& caption, unsigned) {
                boxes.push_back(caption + ": " + text);
                return sys::IDOK;
            });
    }
    void TearDown() override {
        sys::SetMessageBoxResponder({});
        for (Font* f : loaded) ReleaseFont(f); // the registry's reference
    }
    Font* Load(const char* name) {
        Font* f = LoadFont(name);
        if (f && std::find(loaded.begin(), loaded.end(), f) == loaded.end()) loaded.push_back(f);
        return f;
    }
    static void WriteText(const std::string& path, const std::string& text) {
        FILE* f = std::fopen(path.c_str(), "wb");
        std::fputs(text.c_str(), f);
        std::fclose(f);
    }

    TempFolder folder;
    std::vector<std::string> boxes;
    std::vector<Font*> loaded;
};

TEST_F(Fonts, GlyphLinesOverwriteTheDefaultLayoutAndSetTheSpaceAdvance) {
    WriteTga("DATA/f.tga", 8, 12, 24, Coded(8, 12));
    WriteText("DATA/f.fh", "3 4\n3\n65 0 0 2 0\n201 2 4 3 0\n66 4 0 9 0\n");
    Font* font = Load("DATA\\f.tga");
    ASSERT_NE(font, nullptr);
    EXPECT_EQ(font->GlyphHeight(), 4);
    EXPECT_EQ(font->SpaceAdvance(), 9); // the last glyph line's width, not the header's 3
    EXPECT_EQ(font->glyphWidth['A'], 2);
    EXPECT_EQ(font->glyphX[201], 2);
    EXPECT_EQ(font->glyphY[201], 4);
    EXPECT_EQ(font->glyphWidth[201], 3);
    // Codes without a line keep the default: one glyph per frame-height row, picture-wide.
    EXPECT_EQ(font->glyphX['C'], 0);
    EXPECT_EQ(font->glyphY['C'], int16_t('C' * 12));
    EXPECT_EQ(font->glyphWidth['C'], 8);
    EXPECT_EQ(font->maskFileName, std::string("DATA\\_f.tga"));

    // Cached like a sprite: the same font whatever the letter case, no reference added.
    EXPECT_EQ(Load("data\\F.TGA"), font);
    EXPECT_EQ(font->refCount, 1);
    EXPECT_TRUE(boxes.empty());
}

TEST_F(Fonts, DescriptionNameReplacesTheLastExtensionOrIsAppended) {
    struct Case {
        const char* picture;
        const char* pictureFile;
        const char* descriptionFile;
    };
    const Case cases[] = {
        {"DATA\\a.tga", "DATA/a.tga", "DATA/a.fh"},
        {"DATA\\b.tga.bak", "DATA/b.tga.bak", "DATA/b.tga.fh"},
        {"DATA\\c.tga\\font", "DATA/c.tga/font", "DATA/c.tga/font.fh"},
    };
    for (const Case& c : cases) {
        std::filesystem::create_directories(std::filesystem::path(c.pictureFile).parent_path());
        WriteTga(c.pictureFile, 2, 2, 24, Solid(2, 2, 1, 1, 1));
        WriteText(c.descriptionFile, "7 1 0");
        Font* font = Load(c.picture);
        ASSERT_NE(font, nullptr);
        EXPECT_EQ(font->SpaceAdvance(), 7) << c.picture;
        EXPECT_EQ(font->GlyphHeight(), 1) << c.picture;
    }
}

TEST_F(Fonts, WithoutDescriptionEachRowOfFrameHeightIsAGlyph) {
    WriteTga("DATA/plain.tga", 5, 3, 24, Coded(5, 3));
    Font* font = Load("DATA\\plain.tga");
    EXPECT_EQ(font->SpaceAdvance(), 5);
    EXPECT_EQ(font->GlyphHeight(), 3);
    EXPECT_EQ(font->glyphY[2], 6);
    EXPECT_EQ(font->glyphWidth[255], 5);
}

TEST_F(Fonts, BrokenDescriptionsAreReadAsFarAsTheyMakeSenseAndReported) {
    WriteTga("DATA/bad.tga", 4, 4, 24, Coded(4, 4));
    WriteText("DATA/bad.fh",
              "2 4 2000000000\n300 0 0 3 0\n-1 0 0 3 0\n66 -5 -7 3 0\n67 1 1 2 0\n68 1 x 2 0\n");
    Font* font = Load("DATA\\bad.tga");
    EXPECT_EQ(font->glyphX['B'], -5);
    EXPECT_EQ(font->glyphY['B'], -7);
    EXPECT_EQ(font->glyphWidth['C'], 2);
    EXPECT_EQ(font->glyphWidth['D'], 4); // its line stopped at "x": the default stays
    EXPECT_EQ(font->SpaceAdvance(), 2);
    const std::string log = ReadFile("gerr.log");
    EXPECT_NE(log.find("glyph lines with a code outside 0..255 skipped in DATA\\bad.fh = 2"),
              std::string::npos)
        << log;
    EXPECT_NE(log.find("glyph lines missing in DATA\\bad.fh = 1999999996"), std::string::npos);

    // A glyph lying partly outside the picture draws only the part inside.
    auto target = BufferSprite(8, 4);
    FillAll(*target, kWhite);
    DrawText(target.get(), font, 0, 0, "B", 0.0f, -1, -1);
    EXPECT_EQ(CountPixels(*target, kWhite), 32);
    font->glyphX['B'] = -1;
    font->glyphY['B'] = 2;
    DrawText(target.get(), font, 0, 0, "B", 0.0f, -1, -1);
    EXPECT_EQ(At(*target, 0, 0), kWhite);
    EXPECT_EQ(At(*target, 1, 0), CodeOf(0, 2));
    EXPECT_EQ(At(*target, 2, 1), CodeOf(1, 3));
    EXPECT_EQ(At(*target, 1, 2), kWhite);
}

TEST_F(Fonts, TextWidthAddsAdvancesUpToTheLimit) {
    WriteTga("DATA/w.tga", 8, 8, 24, Coded(8, 8));
    WriteText("DATA/w.fh", "0 2 3\n65 0 0 5 0\n200 0 2 7 0\n32 0 0 3 0\n");
    Font* font = Load("DATA\\w.tga");
    struct Case {
        const char* text;
        int max;
        int expected;
    };
    const Case cases[] = {
        {"A", -1, 5},
        {"AA", -1, 10},
        {"A A", -1, 13},
        {"\tA\n", -1, 11},
        {"\xC8", -1, 7},
        {"A\xC8"
         "A",
         2, 12},
        {"AAA", 0, 0},
        {"", -1, 0},
    };
    for (const Case& c : cases) EXPECT_EQ(TextWidth(font, c.text, c.max), c.expected) << c.text;
    EXPECT_EQ(TextWidth(nullptr, "A", -1), 0);
}

TEST_F(Fonts, CentredTextOfWidth101AtX320StartsAt270) {
    WriteTga("DATA/wide.tga", 101, 2, 24, Solid(101, 2, 0, 0, 255));
    WriteText("DATA/wide.fh", "0 2 1\n65 0 0 101 0\n");
    Font* font = Load("DATA\\wide.tga");
    struct Case {
        int horizontal, vertical;
        int firstX, firstY;
    };
    const Case cases[] = {
        {0, -1, 270, 2}, {1, -1, 219, 2}, {-1, -1, 320, 2}, {-1, 0, 320, 1}, {-1, 1, 320, 0}};
    for (const Case& c : cases) {
        auto target = BufferSprite(640, 6);
        DrawText(target.get(), font, 320, 2, "A", 0.0f, c.horizontal, c.vertical);
        EXPECT_EQ(At(*target, c.firstX - 1, c.firstY), 0) << c.horizontal << c.vertical;
        EXPECT_EQ(At(*target, c.firstX, c.firstY), kRed) << c.horizontal << c.vertical;
        EXPECT_EQ(At(*target, c.firstX + 100, c.firstY + 1), kRed);
        EXPECT_EQ(At(*target, c.firstX + 101, c.firstY), 0);
        EXPECT_EQ(CountPixels(*target, kRed), 202);
    }
}

TEST_F(Fonts, ControlCharactersAdvanceLikeSpaceAndHighCodesUseTheirOwnGlyphs) {
    WriteTga("DATA/g.tga", 8, 4, 24, Coded(8, 4));
    WriteText("DATA/g.fh", "0 2 3\n65 0 0 2 0\n233 4 2 2 0\n32 0 0 3 0\n");
    Font* font = Load("DATA\\g.tga");
    auto target = BufferSprite(16, 2);
    FillAll(*target, kWhite);
    DrawText(target.get(), font, 0, 0, "\tA\n\xE9", 0.0f, -1, -1);
    EXPECT_EQ(At(*target, 2, 0), kWhite);       // the tab: 3 pixels of nothing
    EXPECT_EQ(At(*target, 3, 0), CodeOf(0, 0)); // 'A' from (0, 0)
    EXPECT_EQ(At(*target, 4, 1), CodeOf(1, 1));
    EXPECT_EQ(At(*target, 7, 0), kWhite);       // the line feed: 3 more
    EXPECT_EQ(At(*target, 8, 0), CodeOf(4, 2)); // code 233 from (4, 2)
    EXPECT_EQ(At(*target, 9, 1), CodeOf(5, 3));
    EXPECT_EQ(At(*target, 10, 0), kWhite);
}

TEST_F(Fonts, FramesShorterThanTheGlyphsShiftTheSourceByPosition) {
    WriteTga("DATA/s.tga", 2, 8, 24, Coded(2, 8));
    WriteText("DATA/s.fh", "0 4 1\n65 0 0 2 0\n");
    Font* font = Load("DATA\\s.tga");
    font->frameCount = 4; // re-cut as a strip, as holders of animations do
    font->frameHeight = 2;
    auto target = BufferSprite(2, 4);
    DrawText(target.get(), font, 0, 0, "A", 0.0f, -1, -1);
    EXPECT_EQ(At(*target, 1, 3), CodeOf(1, 3));
    DrawText(target.get(), font, 0, 0, "A", 1.25f, -1, -1); // offset rnd(2.5) = 2
    EXPECT_EQ(At(*target, 0, 0), CodeOf(0, 2));
    EXPECT_EQ(At(*target, 1, 3), CodeOf(1, 5));
}

TEST_F(Fonts, AlphaFontsInkTowardBlackInsideTheClipRectangle) {
    WriteTga("DATA/ink.tga", 4, 1, 24, Solid(4, 1, 255, 255, 255));
    // Mask blue bytes (the alpha): 255, 128, 15, 16.
    WriteTga("DATA/_ink.tga", 4, 1, 24, {255, 0, 0, 128, 0, 0, 15, 0, 0, 16, 0, 0});
    WriteText("DATA/ink.fh", "0 1 1\n65 0 0 4 0\n");
    Font* font = Load("DATA\\ink.tga");
    ASSERT_TRUE(font->HasAlpha());
    auto target = BufferSprite(6, 1);
    FillAll(*target, kWhite);
    target->clip.right = 4; // the last glyph pixel falls outside
    DrawText(target.get(), font, 1, 0, "A", 0.0f, -1, -1);
    EXPECT_EQ(At(*target, 0, 0), kWhite);
    EXPECT_EQ(At(*target, 1, 0), 0x0000);                                // 255: black
    EXPECT_EQ(At(*target, 2, 0), uint16_t((15 << 11) | (31 << 5) | 15)); // 128: halfway
    EXPECT_EQ(At(*target, 3, 0), kWhite);                                // 15: untouched
    EXPECT_EQ(At(*target, 4, 0), kWhite);                                // clipped
}

TEST_F(Fonts, AlphaGlyphColumnsBeyondThePictureAreLeftOut) {
    WriteTga("DATA/ink.tga", 4, 1, 24, Solid(4, 1, 255, 255, 255));
    WriteTga("DATA/_ink.tga", 4, 1, 24, {255, 0, 0, 128, 0, 0, 15, 0, 0, 16, 0, 0});
    WriteText("DATA/ink.fh", "0 1 1\n65 2 0 4 0\n"); // columns 2..5 of a 4-column picture
    Font* font = Load("DATA\\ink.tga");
    auto target = BufferSprite(6, 1);
    FillAll(*target, kWhite);
    DrawText(target.get(), font, 0, 0, "A", 0.0f, -1, -1);
    EXPECT_EQ(At(*target, 0, 0), kWhite);                                // 15: untouched
    EXPECT_EQ(At(*target, 1, 0), uint16_t((29 << 11) | (59 << 5) | 29)); // 16: a little darker
    EXPECT_EQ(At(*target, 2, 0), kWhite);                                // beyond the picture
    EXPECT_EQ(At(*target, 3, 0), kWhite);
}

TEST_F(Fonts, MissingPictureGivesAnUnusableFontWithoutCrashing) {
    Font* font = Load("DATA\\none.tga");
    ASSERT_NE(font, nullptr);
    EXPECT_EQ(font->width, 0);
    EXPECT_EQ(TextWidth(font, "abc", -1), 0);
    auto target = BufferSprite(4, 4);
    DrawText(target.get(), font, 0, 0, "abc", 0.0f, 0, 0);
    EXPECT_EQ(CountPixels(*target, 0), 16);
    EXPECT_EQ(boxes, std::vector<std::string>{"file not found: DATA\\none.tga"});
    EXPECT_EQ(LoadFont(nullptr), nullptr);
}

} // namespace
