// The game's own picture and font loaders read the built content: every picture a screen names
// loads without a message box, at the size of its file and with its mask as alpha plane, and the
// menu font measures and inks text exactly as its table says.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "BASE/errlog.h"
#include "GRAPH/Sprite.h"
#include "GRAPH/font.h"
#include "GRAPH/graph.h"
#include "SYS/msgbox.h"
#include "content_check.h"
#include "GRAPH/GlyphTable.h"
#include "manifest.h"
#include "picture.h"
#include "picture_in.h"

using namespace content;

namespace fs = std::filesystem;

namespace {

const std::string kGame = std::string(REEFPOP_BINARY_DIR) + "/game";
const std::string kManifest =
    (fs::path(REEFPOP_FIXTURES).parent_path().parent_path() / "data" / "content.manifest").string();

// Runs in a fresh folder whose DATA is the built game's, so nothing the loaders might write
// (the error log) lands in the game folder.
class EngineReadsContent : public ::testing::Test {
protected:
    void SetUp() override {
        if (!fs::exists(kGame + "/DATA/main.ini"))
            GTEST_SKIP() << "the game folder has not been built";
        char pattern[] = "/tmp/content_engine_XXXXXX";
        folder_ = mkdtemp(pattern);
        fs::create_directory_symlink(kGame + "/DATA", folder_ + "/DATA");
        old_ = fs::current_path().string();
        CloseErrorLog();
        ASSERT_EQ(chdir(folder_.c_str()), 0);
        sys::SetMessageBoxResponder(
            [this](const std::string& text, const std::string& caption, unsigned) {
                boxes_.push_back(caption + ": " + text);
                return sys::IDOK;
            });
        std::string error;
        ASSERT_TRUE(LoadManifest(kManifest, &manifest_, &error)) << error;
    }
    void TearDown() override {
        if (folder_.empty()) return;
        sys::SetMessageBoxResponder({});
        for (Sprite* s : loaded_) s->Release(); // the registry's reference
        CloseErrorLog();
        if (chdir(old_.c_str()) != 0) std::abort();
        std::error_code ignored;
        fs::remove_all(folder_, ignored);
    }
    Sprite* Load(const std::string& name) {
        Sprite* s = LoadSprite(name.c_str(), nullptr, false);
        if (s && std::find(loaded_.begin(), loaded_.end(), s) == loaded_.end())
            loaded_.push_back(s);
        return s;
    }

    std::string folder_, old_;
    Manifest manifest_;
    std::vector<std::string> boxes_;
    std::vector<Sprite*> loaded_;
};

TEST_F(EngineReadsContent, EveryPictureOfEveryScreenLoadsAtItsSizeWithItsMask) {
    int pictures = 0;
    for (const ManifestEntry& e : manifest_.entries) {
        if (e.kind != "screen") continue;
        IniFile ini;
        ASSERT_TRUE(ini.Load(GamePath(kGame, e.name)));
        std::vector<std::string> sections{"main"};
        for (const ManifestWidget& w : e.widgets)
            for (const std::string& s : SectionsOfWidget(ini, w)) sections.push_back(s);
        for (const std::string& section : sections)
            for (const std::string& name : StatePictures(ini, section)) {
                SCOPED_TRACE(e.name + " [" + section + "] " + name);
                Sprite* sprite = Load(name);
                ASSERT_NE(sprite, nullptr);
                PictureInfo file;
                ASSERT_TRUE(ReadPictureInfo(GamePath(kGame, name), &file, nullptr));
                EXPECT_EQ(sprite->width, file.width);
                EXPECT_EQ(sprite->frameHeight, file.height);
                EXPECT_EQ(sprite->HasAlpha(), fs::exists(GamePath(kGame, MaskName(name))));
                ++pictures;
            }
    }
    EXPECT_GT(pictures, 50);
    EXPECT_TRUE(boxes_.empty()) << boxes_.front();
}

TEST_F(EngineReadsContent, MenuFontMeasuresAndInksAsItsTableSays) {
    Font* font = LoadFont("DATA\\FontMenu.tga");
    ASSERT_NE(font, nullptr);
    loaded_.push_back(font);
    ASSERT_TRUE(font->HasAlpha()) << "without an alpha plane the glyphs would be copied as boxes";
    std::ifstream in(GamePath(kGame, "DATA\\FontMenu.fh"), std::ios::binary);
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const GlyphTableText table = ParseGlyphTable(text.data(), text.size());
    ASSERT_FALSE(table.lines.empty());
    // The table the font tool writes ends with the space, whose width is the space advance.
    EXPECT_EQ(table.lines.back().code, ' ');
    EXPECT_EQ(font->SpaceAdvance(), table.lines.back().width);
    EXPECT_EQ(font->GlyphHeight(), table.glyphHeight);
    auto widthOf = [&](unsigned char c) {
        int width = 0;
        for (const GlyphLine& line : table.lines)
            if (line.code == c) width = line.width;
        return width;
    };
    const char* caption = "High scores \xC9t\xE9";
    int expected = 0;
    for (const char* c = caption; *c; ++c) {
        const unsigned char u = static_cast<unsigned char>(*c);
        expected += u < 33 ? font->SpaceAdvance() : widthOf(u);
    }
    EXPECT_EQ(TextWidth(font, caption, 1000), expected);

    // Black ink on the panel colour, nothing outside the line.
    Sprite target;
    target.width = 200;
    target.frameHeight = 40;
    target.pitch = 400;
    target.ownPixels.assign(200 * 2 * 40, 0);
    target.pixels = target.ownPixels.data();
    target.clip = ClipRect{0, 0, 200, 40};
    const uint16_t panel = static_cast<uint16_t>(ColourToPixel(0xff8dc1f9));
    auto px = [&](int x, int y) -> uint16_t& {
        return reinterpret_cast<uint16_t*>(target.pixels)[y * 200 + x];
    };
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 200; ++x) px(x, y) = panel;
    DrawText(&target, font, 100, 20, "Play", 0, 0, 0);
    int dark = 0, changedOutside = 0;
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 200; ++x) {
            const bool inLine =
                y >= 20 - table.glyphHeight.value_or(0) / 2 &&
                y < 20 + table.glyphHeight.value_or(0) - table.glyphHeight.value_or(0) / 2;
            if (px(x, y) == 0) ++dark;
            if (!inLine && px(x, y) != panel) ++changedOutside;
        }
    EXPECT_GT(dark, 20);
    EXPECT_EQ(changedOutside, 0);
    EXPECT_TRUE(boxes_.empty());
}

} // namespace
