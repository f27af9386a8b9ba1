// Every button and spinner arrow of the menu screens clicked through the root widget, with the
// game's own description files: an action that replaces or removes its screen must leave the
// handlers still on the call stack nothing freed to touch (the sanitizer build checks), and must
// leave exactly the screen it chose.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "BASE/settings.h"
#include "GAME/controls_screen.h"
#include "GAME/game_ini.h"
#include "GAME/help.h"
#include "GAME/highscore.h"
#include "GAME/menu.h"
#include "GAME/options.h"
#include "SOUND/music.h"
#include "screen_fixture.h"

namespace {

namespace fs = std::filesystem;

sys::LPARAM At(int x, int y) {
    return sys::LPARAM((uint32_t(y) << 16) | uint32_t(x));
}

struct Target {
    std::string what;
    int x, y;
};

class ScreenActions : public ScreenTest {
protected:
    void SetUp() override {
        ScreenTest::SetUp();
        const fs::path data = fs::path(REEFPOP_FIXTURES) / ".." / ".." / "data" / "DATA";
        fs::create_directories("DATA");
        for (const auto& entry : fs::directory_iterator(data))
            if (entry.path().extension() == ".ini")
                fs::copy_file(entry.path(), fs::path("DATA") / entry.path().filename());
    }
    void TearDown() override {
        ReplaceAllScreens(nullptr);
        ReleaseMusicSlots();
        ScreenTest::TearDown();
    }

    static void Tick(float ms) { RootWidget().Update(ms); }
    static Screen* Top() {
        Widget& root = RootWidget();
        return root.ChildCount() ? dynamic_cast<Screen*>(root.children.back().get()) : nullptr;
    }
    static Target CentreOf(const std::string& what, const Widget& w) {
        return {what, w.x + w.width / 2, w.y + w.height / 2};
    }
    // The centre of every enabled child, and of both arrows of every spinner.
    static std::vector<Target> TargetsOf(const Screen& screen) {
        std::vector<Target> targets;
        for (int i = 0; i < screen.ChildCount(); ++i) {
            const Widget& child = *screen.children[size_t(i)];
            if (child.state == STATE_IGNORE) continue;
            const std::string name = screen.file + " child " + std::to_string(i);
            if (auto* spinner = dynamic_cast<const Spinner*>(&child)) {
                targets.push_back(CentreOf(name + " left arrow", *spinner->leftArrow));
                targets.push_back(CentreOf(name + " right arrow", *spinner->rightArrow));
            } else {
                targets.push_back(CentreOf(name, child));
            }
        }
        return targets;
    }
    static void Click(const Target& t) {
        Widget& root = RootWidget();
        root.HandleMessage(sys::WM_MOUSEMOVE, 0, At(t.x, t.y));
        root.HandleMessage(sys::WM_LBUTTONDOWN, 1, At(t.x, t.y));
        root.HandleMessage(sys::WM_LBUTTONUP, 0, At(t.x, t.y));
    }
};

TEST_F(ScreenActions, EveryClickLeavesTheOneScreenItChose) {
    using Maker = std::function<std::unique_ptr<Screen>()>;
    const std::vector<std::pair<const char*, Maker>> screens = {
        {"help 0", [] { return MakeHelpScreen(0); }},
        {"help 1", [] { return MakeHelpScreen(1); }},
        {"help 2", [] { return MakeHelpScreen(2); }},
        {"options", [] { return MakeOptionsScreen(); }},
        {"high scores", [] { return MakeHighscoreScreen(0, -1); }},
        {"clear", [] { return MakeClearConfirmation(); }},
        {"name entry", [] { return MakeNameEntry(); }},
        {"redefine", [] { return MakeRedefineScreen(); }},
        {"main menu", [] { return MakeMainMenu(); }},
        {"pause menu", [] { return MakePauseMenu(); }},
        {"abort", [] { return MakeAbortConfirmation(); }},
        {"title", [] { return MakeTitleScreen(); }},
        {"relax", [] { return MakeRelaxPage(); }},
        {"exit", [] { return MakeExitScreen(); }},
    };
    for (const auto& [name, make] : screens) {
        ReplaceAllScreens(make());
        Tick(400.0f);
        const std::vector<Target> targets = TargetsOf(*Top());
        for (const Target& target : targets) {
            SCOPED_TRACE(std::string(name) + ": " + target.what);
            ReplaceAllScreens(make());
            Tick(400.0f); // past the opening transition
            Click(target);
            Tick(400.0f); // past a closing transition
            Tick(400.0f);
            EXPECT_LE(RootWidget().ChildCount(), 1);
            RootWidget().Draw();
        }
        // Pages without children give way at a click anywhere.
        if (targets.empty()) {
            Click({name, 1, 1});
            EXPECT_LE(RootWidget().ChildCount(), 1) << name;
        }
    }
}

TEST_F(ScreenActions, HelpPageArrowsTurnThePage) {
    for (int page = 0; page < 3; ++page) {
        for (bool left : {true, false}) {
            SCOPED_TRACE(std::to_string(page) + (left ? " left" : " right"));
            ReplaceAllScreens(MakeHelpScreen(page));
            auto* spinner = static_cast<Spinner*>(Top()->children[1].get());
            Click(CentreOf("arrow", left ? *spinner->leftArrow : *spinner->rightArrow));
            ASSERT_EQ(RootWidget().ChildCount(), 1);
            EXPECT_EQ(Top()->file, kHelpIni);
            EXPECT_EQ(Top()->extra, (page + (left ? 2 : 1)) % 3);
        }
    }
}

TEST_F(ScreenActions, OptionSpinnerArrowsStepTheirSettingsInPlace) {
    ReplaceAllScreens(MakeOptionsScreen());
    Screen* options = Top();
    auto* difficulty = static_cast<Spinner*>(options->children[1].get());
    Difficulty = 0;
    difficulty->SetValue(1.0f);
    Click(CentreOf("left", *difficulty->leftArrow));
    EXPECT_EQ(Difficulty, -1);
    Click(CentreOf("right", *difficulty->rightArrow));
    Click(CentreOf("right", *difficulty->rightArrow));
    EXPECT_EQ(Difficulty, 1);
    EXPECT_EQ(Top(), options);
    EXPECT_EQ(RootWidget().ChildCount(), 1);
}

} // namespace
