// The contact sheet draws a screen exactly as the game does: a screen shown by the running game
// (its start-up, its main loop under a scripted clock, its own back buffer) and the same screen
// rendered by the sheet into its canvas, after as many logic ticks, are the same picture pixel
// for pixel.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "BASE/errlog.h"
#include "GAME/Widget.h"
#include "GAME/game_ini.h"
#include "GAME/help.h"
#include "GAME/highscore.h"
#include "GAME/menu.h"
#include "GAME/options.h"
#include "GAME/run.h"
#include "GRAPH/Sprite.h"
#include "GRAPH/graph.h"
#include "SYS/clock.h"
#include "SYS/msgbox.h"
#include "SYS/window.h"
#include "canvas.h"
#include "screen_pages.h"

namespace fs = std::filesystem;

namespace {

const std::string kGame = std::string(REEFPOP_BINARY_DIR) + "/game";

// Passes of the main loop, each 23 ms of the scripted clock: the loop draws at every pass, and
// 65 passes (1495 ms) end well between two logic ticks.
constexpr int kPassMs = 23;
constexpr int kPasses = 65;

// A copy of the built game folder (its DATA shared) in which the game may write its settings.
class ScreenIdentity : public ::testing::Test {
protected:
    void SetUp() override {
        if (!fs::exists(kGame + "/DATA/main.ini"))
            GTEST_SKIP() << "the game folder has not been built";
        char pattern[] = "/tmp/screen_identity_XXXXXX";
        folder_ = mkdtemp(pattern);
        fs::create_directory_symlink(kGame + "/DATA", folder_ + "/DATA");
        for (const char* file : {"game.ini", "controls.ini", "highscore.ini"})
            if (fs::exists(kGame + "/" + file))
                fs::copy_file(kGame + "/" + file, folder_ + "/" + file);
        old_ = fs::current_path().string();
        ASSERT_EQ(chdir(folder_.c_str()), 0);
        setenv("SDL_VIDEODRIVER", "dummy", 0);
        setenv("SDL_AUDIODRIVER", "dummy", 0);
        setenv("XDG_RUNTIME_DIR", folder_.c_str(), 1); // a single-instance lock of its own
        CloseErrorLog();
        sys::SetMessageBoxResponder(
            [this](const std::string& text, const std::string& caption, unsigned) {
                boxes_.push_back(caption + ": " + text);
                return sys::IDOK;
            });
        sys::SetCounterSourceForTesting([this] { return Count(); });
    }
    void TearDown() override {
        if (folder_.empty()) return;
        DestroyUnheldSprites(); // the pictures the screens cached, as the display's shutdown frees
                                // them
        sys::SetCounterSourceForTesting({});
        sys::SetMessageBoxResponder({});
        CloseErrorLog();
        if (chdir(old_.c_str()) != 0) std::abort();
        std::error_code ignored;
        fs::remove_all(folder_, ignored);
    }

    // Frozen until armed; then each reading (one per loop pass) moves on by one pass, and the
    // last one asks the loop to end after that pass.
    int64_t Count() {
        if (!armed_) return now_;
        now_ += int64_t(kPassMs) * 1'000'000;
        if (++passes_ == kPasses) sys::PostQuitMessage(0);
        return now_;
    }

    static std::vector<uint16_t> Pixels(Sprite* s) {
        std::vector<uint16_t> out;
        s->Lock();
        for (int y = 0; y < s->frameHeight; ++y) {
            const uint16_t* row = reinterpret_cast<const uint16_t*>(s->pixels + y * s->pitch);
            out.insert(out.end(), row, row + s->width);
        }
        s->Unlock();
        return out;
    }

    std::string folder_, old_;
    std::vector<std::string> boxes_;
    int64_t now_ = 5'000'000'000;
    bool armed_ = false;
    int passes_ = 0;

    // The last frame the running game draws with `make`'s screen as its only one, and the
    // logic ticks run before it.
    std::vector<uint16_t> GameFrame(const std::function<std::unique_ptr<Screen>()>& make,
                                    int* ticks) {
        char program[] = "reefpop";
        char* argv[] = {program, nullptr};
        EXPECT_TRUE(StartUp(1, argv));
        ReplaceAllScreens(make());
        passes_ = 0;
        armed_ = true;
        RunMainLoop();
        armed_ = false;
        EXPECT_EQ(passes_, kPasses);
        std::vector<uint16_t> frame;
        if (RenderSurface && RenderSurface->width == 640 && RenderSurface->frameHeight == 480)
            frame = Pixels(RenderSurface);
        // The loop ticks while its accumulator is not negative, the first tick at once.
        *ticks = kPasses * kPassMs * LogicFPS / 1000 + 1;
        ShutDown();
        return frame;
    }
    // The same screen as the contact sheet renders it.
    static std::vector<uint16_t> SheetFrame(const std::string& file, int ticks) {
        const content::SheetScreen* screen = content::FindSheetScreen(file);
        if (!screen) return {};
        content::LoadScreenResources();
        content::RestartScene();
        content::Canvas canvas(640, 480);
        content::RenderScreen(canvas, *screen, ticks);
        content::ReleaseScreenResources();
        return Pixels(canvas.get());
    }
};

TEST_F(ScreenIdentity, ScreensDrawnByTheGameAndByTheSheetAreTheSamePicture) {
    const std::vector<std::pair<std::string, std::function<std::unique_ptr<Screen>()>>> screens = {
        {"data\\MAIN.ini", [] { return MakeMainMenu(); }},
        {"DATA\\option.ini", [] { return MakeOptionsScreen(); }},
        {"DATA\\score.ini", [] { return MakeHighscoreScreen(0, -1); }},
        {"DATA\\help.ini", [] { return MakeHelpScreen(0); }},
    };
    for (const auto& [file, make] : screens) {
        SCOPED_TRACE(file);
        int ticks = 0;
        const std::vector<uint16_t> game = GameFrame(make, &ticks);
        const std::vector<uint16_t> sheet = SheetFrame(file, ticks);
        ASSERT_EQ(game.size(), 640u * 480u);
        ASSERT_EQ(sheet.size(), game.size());
        int differing = 0, first = -1;
        for (size_t i = 0; i < game.size(); ++i)
            if (game[i] != sheet[i] && differing++ == 0) first = int(i);
        EXPECT_EQ(differing, 0) << "first at (" << first % 640 << ", " << first / 640 << ")";
        // Not a blank frame: the panel, the water and the hero give many colours.
        std::vector<uint16_t> colours(game);
        std::sort(colours.begin(), colours.end());
        EXPECT_GT(std::unique(colours.begin(), colours.end()) - colours.begin(), 500);
    }
    // A picture the game could not find would make both sides equally wrong.
    EXPECT_TRUE(boxes_.empty()) << boxes_.front();
}

} // namespace
