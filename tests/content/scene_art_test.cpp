// The built waterfall pictures as the game draws them: a menu's foot of the fall, at whatever
// height its panel puts it, continues the rock beside it, so it never shows as a rectangle.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "BASE/errlog.h"
#include "GAME/waterfall_backdrop.h"
#include "GRAPH/Sprite.h"
#include "GRAPH/graph.h"
#include "canvas.h"

using namespace content;

namespace fs = std::filesystem;

namespace {

const std::string kGame = std::string(REEFPOP_BINARY_DIR) + "/game";

// The built game's DATA and game.ini in a fresh folder, so the error log lands there.
class SceneArt : public ::testing::Test {
protected:
    void SetUp() override {
        if (!fs::exists(kGame + "/DATA/flush_down.jpg"))
            GTEST_SKIP() << "the game folder has not been built";
        char pattern[] = "/tmp/scene_art_XXXXXX";
        folder_ = mkdtemp(pattern);
        fs::create_directory_symlink(kGame + "/DATA", folder_ + "/DATA");
        fs::copy_file(kGame + "/game.ini", folder_ + "/game.ini");
        old_ = fs::current_path().string();
        CloseErrorLog();
        ASSERT_EQ(chdir(folder_.c_str()), 0);
        Backdrop.create();
    }
    void TearDown() override {
        if (folder_.empty()) return;
        Backdrop.release();
        Backdrop = WaterfallBackdrop{};
        DestroyUnheldSprites();
        CloseErrorLog();
        if (chdir(old_.c_str()) != 0) std::abort();
        std::error_code ignored;
        fs::remove_all(folder_, ignored);
    }
    std::string folder_, old_;
};

// Mean difference of two RGB565 pixels over their channels, each scaled to 0..255.
double Difference(uint16_t a, uint16_t b) {
    const int dr = ((a >> 11) & 31) - ((b >> 11) & 31), dg = ((a >> 5) & 63) - ((b >> 5) & 63),
              db = (a & 31) - (b & 31);
    return (std::abs(dr) * 255.0 / 31 + std::abs(dg) * 255.0 / 63 + std::abs(db) * 255.0 / 31) / 3;
}

TEST_F(SceneArt, TheMenusFootContinuesTheRockBesideItAtEveryHeight) {
    // The foot's outer columns that lie over rock only: the fall's soft edges start at 90 and
    // end at 550, the foot covers 87 .. 553.
    const std::vector<int> rockColumns{87, 88, 89, 550, 551, 552};
    for (int bottom : {60, 150, 260, 440}) {
        SCOPED_TRACE("foot ending at y = " + std::to_string(bottom));
        Canvas canvas(640, 480);
        DrawingInto into(canvas);
        Backdrop.draw();
        std::vector<uint16_t> without;
        for (int y = 32; y < bottom; ++y)
            for (int x : rockColumns) without.push_back(canvas.At(x, y));
        Backdrop.drawFoot(bottom);
        double sum = 0, worst = 0;
        size_t i = 0;
        for (int y = 32; y < bottom; ++y)
            for (int x : rockColumns) {
                const double d = Difference(canvas.At(x, y), without[i++]);
                sum += d;
                worst = std::max(worst, d);
            }
        // JPEG keeps both pictures within a few levels of what was drawn.
        EXPECT_LT(sum / double(without.size()), 6.0);
        EXPECT_LT(worst, 40.0);
    }
}

} // namespace
