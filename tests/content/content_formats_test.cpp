// The content tools' file formats as the game reads them back: TGA pictures and masks, ".fh" glyph
// tables, the rasterised fonts, the manifest, and the content check's verdicts on small hand-made
// game folders.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cmath>
#include <filesystem>
#include <fstream>

#include "content_check.h"
#include "font_raster.h"
#include "GRAPH/GlyphTable.h"
#include "GRAPH/font.h"
#include "glyph_table.h"
#include "manifest.h"
#include "picture.h"
#include "picture_in.h"
#include "tga.h"

using namespace content;

namespace fs = std::filesystem;

namespace {

class TempFolder : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() /
               ("content_" +
                std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()) + "_" +
                std::to_string(::getpid()));
        fs::remove_all(dir_);
        fs::create_directories(dir_ / "DATA");
    }
    void TearDown() override { fs::remove_all(dir_); }
    std::string Root() const { return dir_.string(); }
    void WriteText(const std::string& gameName, const std::string& text) {
        std::ofstream(GamePath(Root(), gameName), std::ios::binary) << text;
    }
    fs::path dir_;
};

Image Gradient(int w, int h) {
    Image img(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            uint8_t* p = img.At(x, y);
            p[0] = static_cast<uint8_t>(10 * x + 1);
            p[1] = static_cast<uint8_t>(20 * y + 2);
            p[2] = static_cast<uint8_t>(x + y + 3);
            p[3] = static_cast<uint8_t>(40 * x + 5 * y);
        }
    return img;
}

using TgaRoundTrip = TempFolder;

TEST_F(TgaRoundTrip, PixelsComeBackUprightAtEveryDepthAndOddSize) {
    struct Case {
        int w, h, bits;
    } cases[] = {{1, 1, 24}, {3, 2, 24}, {5, 7, 32}, {2, 3, 32}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.w) + "x" + std::to_string(c.h) + "@" +
                     std::to_string(c.bits));
        const Image original = Gradient(c.w, c.h);
        const std::string path = Root() + "/p.tga";
        ASSERT_TRUE(WriteTga(path, original, c.bits, nullptr));
        EXPECT_EQ(fs::file_size(path), 18u + static_cast<size_t>(c.w) * c.h * c.bits / 8);
        Image back;
        PictureInfo info;
        ASSERT_TRUE(ReadPictureInfo(path, &info, nullptr));
        EXPECT_EQ(info.bitsPerPixel, c.bits);
        ASSERT_TRUE(ReadPicture(path, &back, nullptr));
        for (int y = 0; y < c.h; ++y)
            for (int x = 0; x < c.w; ++x)
                for (int ch = 0; ch < 3; ++ch) ASSERT_EQ(back.At(x, y)[ch], original.At(x, y)[ch]);
        EXPECT_EQ(back.At(c.w - 1, c.h - 1)[3],
                  c.bits == 32 ? original.At(c.w - 1, c.h - 1)[3] : 255);
    }
}

TEST_F(TgaRoundTrip, MaskCarriesAlphaInEveryChannel) {
    const Image original = Gradient(4, 3);
    const std::string path = Root() + "/_p.tga";
    ASSERT_TRUE(WriteTgaMask(path, original, nullptr));
    Image mask;
    ASSERT_TRUE(ReadPicture(path, &mask, nullptr));
    for (int ch = 0; ch < 3; ++ch) EXPECT_EQ(mask.At(3, 2)[ch], original.At(3, 2)[3]);
}

TEST_F(TgaRoundTrip, JpegKeepsColoursCloseAndDropsAlpha) {
    Image original(16, 8);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 16; ++x) {
            uint8_t* p = original.At(x, y);
            p[0] = 200, p[1] = static_cast<uint8_t>(x < 8 ? 60 : 180), p[2] = 90, p[3] = 7;
        }
    ASSERT_TRUE(SavePicture(Root(), "DATA\\photo.jpg", original, PictureKind::Jpeg));
    Image back;
    ASSERT_TRUE(ReadPicture(GamePath(Root(), "DATA\\photo.jpg"), &back, nullptr));
    ASSERT_EQ(back.width, 16);
    ASSERT_EQ(back.height, 8);
    for (const auto& xy : {std::pair<int, int>{2, 2}, {13, 5}})
        for (int c = 0; c < 3; ++c)
            EXPECT_NEAR(back.At(xy.first, xy.second)[c], original.At(xy.first, xy.second)[c], 12);
    EXPECT_EQ(back.At(0, 0)[3], 255);
    EXPECT_FALSE(fs::exists(GamePath(Root(), "DATA\\_photo.jpg"))); // JPEG pictures never get masks
}

using GlyphTableFile = TempFolder;

TEST_F(GlyphTableFile, TheGameReadsBackEveryLineWritten) {
    GlyphTable table;
    table.spaceAdvance = 4;
    table.glyphHeight = 20;
    table.lines = {{65, 10, 0, 12}, {0xE9, 300, 40, 9}, {' ', 0, 0, 4}};
    const std::string path = Root() + "/f.fh";
    ASSERT_TRUE(WriteGlyphTable(path, table, nullptr));
    std::ifstream in(path, std::ios::binary);
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const GlyphTableText back = ParseGlyphTable(text.data(), text.size());
    EXPECT_EQ(back.spaceAdvance, 4);
    EXPECT_EQ(back.glyphHeight, 20);
    EXPECT_EQ(back.missingLines, 0);
    EXPECT_EQ(back.badCodes, 0);
    ASSERT_EQ(back.lines.size(), table.lines.size());
    for (size_t i = 0; i < table.lines.size(); ++i) {
        EXPECT_EQ(back.lines[i].code, table.lines[i].code);
        EXPECT_EQ(back.lines[i].x, table.lines[i].x);
        EXPECT_EQ(back.lines[i].y, table.lines[i].y);
        EXPECT_EQ(back.lines[i].width, table.lines[i].width);
    }
}

using FontRaster = TempFolder;

TEST_F(FontRaster, EveryPrintableCharacterHasAGlyphInsideThePictureAndTheTableEndsWithTheSpace) {
    Image atlas;
    GlyphTable table;
    ASSERT_TRUE(RasterizeFont("/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf", 15, &atlas,
                              &table, nullptr));
    ASSERT_FALSE(table.lines.empty());
    EXPECT_EQ(table.lines.back().code, ' ');
    // The font as the game loads it from the picture and table the font tool writes.
    ASSERT_TRUE(SavePicture(Root(), "DATA\\Font.tga", atlas, PictureKind::Masked));
    ASSERT_TRUE(WriteGlyphTable(GamePath(Root(), "DATA\\Font.fh"), table, nullptr));
    Font* font = LoadFont(GamePath(Root(), "DATA\\Font.tga").c_str());
    ASSERT_NE(font, nullptr);
    EXPECT_EQ(font->SpaceAdvance(), table.spaceAdvance);
    for (int c = 33; c < 256; ++c) {
        const bool undefined = Cp1252ToUnicode(c) == 0;
        SCOPED_TRACE(c);
        if (undefined) {
            EXPECT_EQ(font->glyphWidth[c], 0);
            continue;
        }
        EXPECT_GT(font->glyphWidth[c], 0);
        EXPECT_LE(font->glyphX[c] + font->glyphWidth[c], atlas.width);
        EXPECT_LE(font->glyphY[c] + font->GlyphHeight(), atlas.height);
    }
    EXPECT_LT(font->glyphWidth['i'], font->glyphWidth['W']);
    // Ink lies where the glyph is: 'H' has coverage, the no-break space has none.
    auto ink = [&](int c) {
        int sum = 0;
        for (int y = 0; y < font->GlyphHeight(); ++y)
            for (int x = 0; x < font->glyphWidth[c]; ++x)
                sum += atlas.At(font->glyphX[c] + x, font->glyphY[c] + y)[3];
        return sum;
    };
    EXPECT_GT(ink('H'), 0);
    EXPECT_EQ(ink(0xA0), 0);
    ReleaseFont(font);
}

TEST(FontRasterErrors, AMissingFontFileIsReported) {
    Image atlas;
    GlyphTable table;
    std::string why;
    EXPECT_FALSE(RasterizeFont("/nonexistent/font.ttf", 15, &atlas, &table, &why));
    EXPECT_NE(why.find("font"), std::string::npos);
}

TEST(ManifestParse, ReadsEveryKindAndRefusesMistakes) {
    Manifest m;
    ASSERT_TRUE(
        ParseManifest("# c\npicture DATA\\a.tga masked\nstrip DATA\\s.tga 8\ntexture DATA\\t.tga\n"
                      "screen DATA\\x.ini W:ok Sp:pick\nkeys DATA\\l.ini key 3..5 255\n"
                      "picture DATA\\b.tga opaque size=32x32 mask=DATA\\_bubble.tga\n"
                      "tiles DATA\\f.jpg fall\nhero DATA\\hero.ini birth joy\n",
                      &m, nullptr));
    ASSERT_EQ(m.entries.size(), 8u);
    EXPECT_EQ(m.entries[5].mask, "DATA\\_bubble.tga");
    EXPECT_EQ(m.entries[5].width, 32);
    EXPECT_EQ(m.entries[5].height, 32);
    EXPECT_EQ(m.entries[6].tiling, "fall");
    EXPECT_EQ(m.entries[7].keys, (std::vector<std::string>{"birth", "joy"}));
    EXPECT_EQ(m.entries[1].frames, 8);
    ASSERT_EQ(m.entries[3].widgets.size(), 2u);
    EXPECT_EQ(m.entries[3].widgets[1].widgetClass, "Sp");
    EXPECT_EQ(m.entries[4].keys, (std::vector<std::string>{"3", "4", "5", "255"}));
    const char* bad[] = {"picture DATA\\a.tga shiny",
                         "strip DATA\\s.tga 0",
                         "screen DATA\\x.ini ok",
                         "screen DATA\\x.ini Q:ok",
                         "keys DATA\\l.ini",
                         "keys DATA\\l.ini key 9..2",
                         "sprite x",
                         "picture",
                         "picture DATA\\a.tga opaque size=32",
                         "strip DATA\\s.tga 8 shade=3",
                         "tiles DATA\\f.jpg sideways",
                         "hero DATA\\hero.ini"};
    for (const char* line : bad) {
        std::string why;
        EXPECT_FALSE(ParseManifest(line, &m, &why)) << line;
        EXPECT_NE(why.find("line 1"), std::string::npos) << why;
    }
}

using ContentCheck = TempFolder;

TEST_F(ContentCheck, FindsEachKindOfFault) {
    ASSERT_TRUE(SavePicture(Root(), "DATA\\good.tga", Gradient(4, 6), PictureKind::Masked));
    ASSERT_TRUE(SavePicture(Root(), "DATA\\plain.tga", Gradient(4, 6), PictureKind::Opaque));
    ASSERT_TRUE(SavePicture(Root(), "DATA\\wrongmask.tga", Gradient(4, 6), PictureKind::Masked));
    ASSERT_TRUE(WriteTgaMask(GamePath(Root(), "DATA\\_wrongmask.tga"), Gradient(4, 5), nullptr));
    ASSERT_TRUE(SavePicture(Root(), "DATA\\tex.tga", Gradient(6, 8), PictureKind::Masked));
    WriteText("DATA\\s.ini", "[main]\nxs=10\nys=10\n[ok]\nignore=DATA\\gone.tga\n[pick]\n0=item\n"
                             "[gap]\nignore=DATA\\good.tga\nactive=DATA\\good.tga\n");
    WriteText("DATA\\l.ini", "[key]\n1=Esc\n2=\n");
    // Repeating pictures: one that wraps smoothly both ways (and, one row short, downward), one
    // whose edges jump.
    Image wraps(32, 17), jumps(32, 16);
    for (int y = 0; y < 17; ++y)
        for (int x = 0; x < 32; ++x) {
            uint8_t* p = wraps.At(x, y);
            p[0] = p[1] = p[2] =
                static_cast<uint8_t>(128 + 100 * std::sin(x * M_PI / 16) * std::cos(y * M_PI / 8));
            p[3] = 255;
            if (y < 16) {
                uint8_t* q = jumps.At(x, y);
                q[0] = q[1] = q[2] = static_cast<uint8_t>(8 * x + 8 * y), q[3] = 255;
            }
        }
    ASSERT_TRUE(SavePicture(Root(), "DATA\\wraps.tga", wraps, PictureKind::Opaque));
    ASSERT_TRUE(SavePicture(Root(), "DATA\\jumps.tga", jumps, PictureKind::Opaque));
    ASSERT_TRUE(SavePicture(Root(), "DATA\\strip.tga", Gradient(4, 12), PictureKind::Masked));
    ASSERT_TRUE(WriteTgaMask(GamePath(Root(), "DATA\\_shared.tga"), Gradient(4, 6), nullptr));
    WriteText("DATA\\hero.ini", "[ok]\nx=10\ny=10\nlength=3\ntime=500\nname=DATA\\strip.tga\n"
                                "[odd]\nx=10\ny=10\nlength=5\ntime=500\nname=DATA\\strip.tga\n"
                                "[off]\nx=638\ny=10\nlength=3\ntime=500\nname=DATA\\strip.tga\n"
                                "[bare]\nx=10\ny=10\nlength=3\nname=DATA\\strip.tga\n");
    struct Case {
        const char* manifest;
        const char* expected; // empty: no problem
    } cases[] = {
        {"picture DATA\\good.tga masked", ""},
        {"picture DATA\\good.tga jpeg", "not a readable JPEG"},
        {"strip DATA\\good.tga 3", ""},
        {"strip DATA\\plain.tga 2", ""}, // strips and textures may be opaque
        {"picture DATA\\plain.tga opaque", ""},
        {"picture DATA\\none.tga masked", "missing"},
        {"picture DATA\\plain.tga masked", "has no mask"},
        {"picture DATA\\good.tga opaque", "has a mask"},
        {"picture DATA\\wrongmask.tga masked", "but its picture is 4x6"},
        {"strip DATA\\good.tga 4", "is not 4 equal frames"},
        {"texture DATA\\tex.tga", "power-of-two"},
        {"screen DATA\\s.ini W:ok", "names DATA\\gone.tga"},
        {"screen DATA\\s.ini Sp:pick", "[item] is missing"},
        {"screen DATA\\s.ini S:pick", "needs items 0 and 1"},
        {"screen DATA\\s.ini B:absent", "[absent] is missing"},
        {"screen DATA\\s.ini B:gap", "after the missing normal"},
        {"keys DATA\\l.ini key 1", ""},
        {"keys DATA\\l.ini key 1..2", "[key] 2 is empty"},
        {"font DATA\\good.tga", "good.fh: missing"},
        {"picture DATA\\plain.tga opaque size=4x6 mask=DATA\\_shared.tga", ""},
        {"picture DATA\\plain.tga opaque size=4x5", "must be 4x5"},
        {"picture DATA\\strip.tga masked mask=DATA\\_shared.tga", "but DATA\\strip.tga is 4x12"},
        {"picture DATA\\plain.tga opaque mask=DATA\\_gone.tga", "_gone.tga: missing"},
        {"strip DATA\\strip.tga 2 size=4x6", ""},
        {"strip DATA\\strip.tga 3 size=4x6", "a frame, must be 4x6"},
        {"texture DATA\\tex.tga size=6x8", "power-of-two"},
        {"tiles DATA\\wraps.tga fall", ""},
        {"tiles DATA\\wraps.tga both", ""},
        {"tiles DATA\\jumps.tga both", "where its rows wrap"},
        {"tiles DATA\\gone.jpg both", "missing"},
        {"hero DATA\\hero.ini ok", ""},
        {"hero DATA\\hero.ini odd", "is not 5 equal frames"},
        {"hero DATA\\hero.ini off", "off the screen"},
        {"hero DATA\\hero.ini bare", "needs a length, a time and a name"},
        {"hero DATA\\hero.ini absent", "needs a length"},
    };
    for (const Case& c : cases) {
        Manifest m;
        ASSERT_TRUE(ParseManifest(c.manifest, &m, nullptr)) << c.manifest;
        const std::vector<std::string> problems = CheckContent(Root(), m);
        std::string all;
        for (const std::string& p : problems) all += p + "\n";
        if (c.expected[0] == 0)
            EXPECT_TRUE(problems.empty()) << c.manifest << ":\n" << all;
        else
            EXPECT_NE(all.find(c.expected), std::string::npos) << c.manifest << ":\n" << all;
    }
}

} // namespace
