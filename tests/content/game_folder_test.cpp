// Walks the game folder the build laid out: the content check passes, every description file is a
// known screen whose sections and pictures exist, widgets sit on the screen inside their panels
// with pictures of their own size, and the texts fit where the game draws them.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>

#include "content_check.h"
#include "GRAPH/font.h"
#include "ini_file.h"
#include "manifest.h"
#include "picture.h"
#include "picture_in.h"

using namespace content;

namespace fs = std::filesystem;

namespace {

const std::string kGame = std::string(REEFPOP_BINARY_DIR) + "/game";
// The fixtures folder lies at tests/fixtures of the source tree, the manifest at data/.
const std::string kManifest =
    (fs::path(REEFPOP_FIXTURES).parent_path().parent_path() / "data" / "content.manifest").string();

struct Rect {
    int x, y, w, h;
};

class GameFolder : public ::testing::Test {
protected:
    void SetUp() override {
        if (!fs::exists(kGame + "/DATA/main.ini"))
            GTEST_SKIP() << "the game folder has not been built";
        std::string error;
        ASSERT_TRUE(LoadManifest(kManifest, &manifest_, &error)) << error;
    }
    std::vector<const ManifestEntry*> Screens() const {
        std::vector<const ManifestEntry*> out;
        for (const ManifestEntry& e : manifest_.entries)
            if (e.kind == "screen") out.push_back(&e);
        return out;
    }
    static IniFile Load(const std::string& gameName) {
        IniFile ini;
        EXPECT_TRUE(ini.Load(GamePath(kGame, gameName))) << gameName;
        return ini;
    }
    static Rect RectOf(const IniFile& ini, const std::string& section) {
        return {ini.GetInt(section, "x"), ini.GetInt(section, "y"), ini.GetInt(section, "xs"),
                ini.GetInt(section, "ys")};
    }
    static PictureInfo Size(const std::string& picture) {
        PictureInfo info;
        EXPECT_TRUE(ReadPictureInfo(GamePath(kGame, picture), &info, nullptr)) << picture;
        return info;
    }
    Manifest manifest_;
};

TEST_F(GameFolder, PassesTheContentCheck) {
    const std::vector<std::string> problems = CheckContent(kGame, manifest_);
    for (const std::string& p : problems) ADD_FAILURE() << p;
}

TEST_F(GameFolder, EveryDescriptionFileIsAKnownScreenNamingOnlyExistingPictures) {
    std::vector<std::string> screens;
    for (const ManifestEntry* e : Screens()) screens.push_back(e->name);
    int walked = 0;
    for (const auto& entry : fs::directory_iterator(kGame + "/DATA")) {
        if (entry.path().extension() != ".ini") continue;
        const std::string name = "DATA\\" + entry.path().filename().string();
        const IniFile ini = Load(name);
        if (ini.GetInt("main", "xs") > 0) {
            ++walked;
            EXPECT_NE(std::find(screens.begin(), screens.end(), name), screens.end())
                << name << " describes a screen the manifest does not list";
        }
        for (const std::string& section : ini.SectionNames()) {
            for (const std::string& picture : StatePictures(ini, section))
                EXPECT_TRUE(fs::exists(GamePath(kGame, picture)))
                    << name << " [" << section << "] " << picture;
            for (const std::string& item : ItemSections(ini, section))
                EXPECT_TRUE(ini.HasSection(item))
                    << name << " [" << section << "] names missing [" << item << "]";
        }
    }
    EXPECT_EQ(walked, static_cast<int>(screens.size()));
}

TEST_F(GameFolder, WidgetsLieInsideTheirPanelOnTheScreen) {
    for (const ManifestEntry* screen : Screens()) {
        const IniFile ini = Load(screen->name);
        const int shift = screen->name == "DATA\\main.ini" ? 40 : 0; // the main menu is moved down
        Rect panel = RectOf(ini, "main");
        panel.y += shift;
        EXPECT_TRUE(panel.x >= 0 && panel.y >= 0 && panel.x + panel.w <= 640 &&
                    panel.y + panel.h <= 480)
            << screen->name << " panel leaves the screen";
        for (const ManifestWidget& w : screen->widgets) {
            Rect r = RectOf(ini, w.section);
            r.y += shift;
            // The high-score rows repeat ten times, each one row height lower.
            if (screen->name == "DATA\\score.ini" && (w.section == "start" || w.section == "score"))
                r.h *= 10;
            EXPECT_TRUE(r.w > 0 && r.h > 0) << screen->name << " [" << w.section << "] has no size";
            EXPECT_TRUE(r.x >= panel.x && r.y >= panel.y && r.x + r.w <= panel.x + panel.w &&
                        r.y + r.h <= panel.y + panel.h)
                << screen->name << " [" << w.section << "] leaves its panel";
        }
    }
}

// The bar that marks a new high score is the name label's picture, drawn at the label's left: it
// must run under the whole row, from the rank (left-aligned) to the score's right edge (a
// right-aligned caption ends at its box's centre), with about the same margin on both ends.
TEST_F(GameFolder, HighlightBarSpansTheHighScoreRow) {
    const IniFile ini = Load("DATA\\score.ini");
    const Rect name = RectOf(ini, "start"), rank = RectOf(ini, "rank"),
               score = RectOf(ini, "score");
    ASSERT_EQ(ini.GetInt("rank", "xalign"), -1);
    ASSERT_EQ(ini.GetInt("score", "xalign"), 1);
    const int barLeft = name.x, barRight = name.x + Size("DATA\\select.tga").width;
    const int rowLeft = rank.x, rowRight = score.x + score.w / 2;
    EXPECT_LE(barLeft, rowLeft);
    EXPECT_GE(barRight, rowRight);
    EXPECT_LE(std::abs((rowLeft - barLeft) - (barRight - rowRight)), 10)
        << "bar " << barLeft << ".." << barRight << ", row " << rowLeft << ".." << rowRight;
}

TEST_F(GameFolder, PicturesHaveTheSizeOfTheirWidgets) {
    const int capWidth =
        Size("DATA\\buttonleft_n.tga").width + Size("DATA\\buttonright_n.tga").width;
    for (const ManifestEntry* screen : Screens()) {
        const IniFile ini = Load(screen->name);
        // A panel picture covers the whole panel: the water is not drawn inside it.
        for (const std::string& picture : StatePictures(ini, "main")) {
            const Rect panel = RectOf(ini, "main");
            const PictureInfo size = Size(picture);
            EXPECT_TRUE(size.width == panel.w && size.height == panel.h)
                << screen->name << " " << picture;
        }
        for (const ManifestWidget& w : screen->widgets) {
            const Rect r = RectOf(ini, w.section);
            const std::string where = screen->name + " [" + w.section + "] ";
            for (const std::string& picture : StatePictures(ini, w.section)) {
                const PictureInfo size = Size(picture);
                if (w.widgetClass == "W") {
                    EXPECT_EQ(size.height, r.h) << where << picture;
                    EXPECT_GE(r.w, capWidth) << where;
                } else if (w.widgetClass != "L") {
                    // The picture is the button: it must match the area that takes the clicks.
                    EXPECT_EQ(size.width, r.w) << where << picture;
                    EXPECT_EQ(size.height, r.h) << where << picture;
                }
            }
            if (w.widgetClass == "S")
                // A slider draws its items from source rectangles as wide as itself.
                for (const std::string& item : ItemSections(ini, w.section))
                    for (const std::string& picture : StatePictures(ini, item)) {
                        const PictureInfo size = Size(picture);
                        EXPECT_TRUE(size.width >= r.w && size.height >= r.h) << where << picture;
                    }
            if (w.widgetClass == "Sp")
                for (const char* arrow : {"left", "right"}) {
                    EXPECT_LE(ini.GetInt(arrow, "ys"), r.h) << where << arrow;
                    for (const std::string& picture : StatePictures(ini, arrow))
                        EXPECT_EQ(Size(picture).width, ini.GetInt(arrow, "xs")) << where << picture;
                }
        }
    }
}

// The font as the game loads it from the built folder, given back when the test ends.
using HeldFont = std::unique_ptr<Font, decltype(&ReleaseFont)>;
HeldFont GameFont(const std::string& picture) {
    return HeldFont(LoadFont(GamePath(kGame, picture).c_str()), &ReleaseFont);
}

int WidthOf(const HeldFont& font, const std::string& text) {
    return TextWidth(font.get(), text.c_str(), -1);
}

TEST_F(GameFolder, ButtonCaptionsFitTheirButtons) {
    const HeldFont font = GameFont("DATA\\FontMenu.tga");
    for (const ManifestEntry* screen : Screens()) {
        const IniFile ini = Load(screen->name);
        for (const ManifestWidget& w : screen->widgets) {
            if (w.widgetClass == "L" || w.widgetClass == "S") continue;
            const std::string caption = ini.Get(w.section, "name");
            EXPECT_LE(WidthOf(font, caption), ini.GetInt(w.section, "xs") - 24)
                << screen->name << " [" << w.section << "] \"" << caption << "\"";
        }
    }
}

TEST_F(GameFolder, HeroLinesFitTheBalloonCorner) {
    // The balloon is drawn at x = 516, so a line has at most the 124 pixels up to the screen edge.
    const HeldFont font = GameFont("DATA\\herofont.tga");
    const IniFile texts = Load("DATA\\english.ini");
    const std::vector<std::pair<std::string, std::string>> hero = texts.Keys("hero");
    EXPECT_EQ(hero.size(), 40u * 3); // 41 texts, number 8 has none, three lines each
    for (const auto& kv : hero)
        EXPECT_LE(WidthOf(font, kv.second), 116) << kv.first << "=" << kv.second;
}

TEST_F(GameFolder, EveryBoundKeyHasANameAndTheJoiningWordKeepsItsSpaces) {
    const IniFile texts = Load("DATA\\english.ini");
    for (const char* file : {"controls.ini", "DATA\\controls.ini"}) {
        std::ifstream in(GamePath(kGame, file));
        int action = 0, key1 = 0, key2 = 0;
        int rows = 0;
        while (in >> action >> key1 >> key2) {
            ++rows;
            EXPECT_GE(action, 1);
            EXPECT_LE(action, 4);
            for (int key : {key1, key2}) {
                if (key == 0) continue;
                EXPECT_FALSE(texts.Get("key", std::to_string(key)).empty())
                    << file << " key " << key;
            }
        }
        EXPECT_GE(rows, 4) << file;
    }
    // The INI reader trims spaces, so the padding must be a character that survives it.
    const std::string joiner = texts.Get("main", "or");
    ASSERT_GE(joiner.size(), 4u);
    EXPECT_EQ(static_cast<unsigned char>(joiner.front()), 0xA0);
    EXPECT_EQ(static_cast<unsigned char>(joiner.back()), 0xA0);
}

} // namespace
