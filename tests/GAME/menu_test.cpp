#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "BASE/settings.h"
#include "GAME/game_ini.h"
#include "GAME/game_screen.h"
#include "GAME/game_state.h"
#include "GAME/help.h"
#include "GAME/highscore.h"
#include "GAME/menu.h"
#include "GAME/options.h"
#include "GAME/run.h"
#include "SOUND/music.h"
#include "SYS/msgbox.h"
#include "screen_fixture.h"

namespace {

// The flow is driven through the root widget with messages and ticks, in an empty game folder:
// every screen is built from missing description files, so its widgets have zero size and only
// the keys reach them.
class MenuFlow : public ScreenTest {
protected:
    static void Tick(float ms) { RootWidget().Update(ms); }
    static void Key(sys::WPARAM key) {
        RootWidget().HandleMessage(sys::WM_KEYDOWN, key, 0);
        RootWidget().HandleMessage(sys::WM_KEYUP, key, 0);
    }
    static std::string Top() {
        Widget& root = RootWidget();
        if (root.ChildCount() == 0) return "<none>";
        auto* screen = dynamic_cast<Screen*>(root.children.back().get());
        return dynamic_cast<GameScreen*>(root.children.back().get()) ? "<game>"
               : screen                                              ? screen->file
                                                                     : "<other>";
    }
    // Opens the screen's transition, focuses child `index` with Home and Down, and chooses it;
    // then lets any closing transition run out.
    static void Choose(int index) {
        Tick(400.0f);
        Key(sys::VK_HOME);
        for (int i = 0; i < index; ++i) Key(sys::VK_DOWN);
        Key(sys::VK_RETURN);
        Tick(400.0f);
    }
    void SetUp() override {
        ScreenTest::SetUp();
        CurrentPlaySetup().display = false;
    }
    void TearDown() override {
        ReplaceAllScreens(nullptr);
        CurrentPlaySetup() = PlaySetup{};
        ScreenTest::TearDown();
    }
    // A level of the empty game folder with the pause menu over it.
    GameScreen* StartPausedGame() {
        auto* game = static_cast<GameScreen*>(PushScreen(std::make_unique<GameScreen>(0)));
        PushScreen(MakePauseMenu());
        return game;
    }
};

TEST_F(MenuFlow, LoadingWaitsForLoadingThenAKeyOrSevenSeconds) {
    LoadProgress = 0.5f;
    PushScreen(MakeLoadingScreen());
    Tick(400.0f);
    Key('A');
    EXPECT_EQ(Top(), kLoadingIni); // not loaded yet
    Tick(7000.0f);
    Tick(20.0f);
    EXPECT_EQ(Top(), kLoadingIni); // the 7 s rule needs loading complete too
    LoadProgress = 1.0f;
    Tick(20.0f);
    EXPECT_EQ(Top(), "DATA\\logo.ini");
    EXPECT_EQ(RootWidget().ChildCount(), 1);

    ReplaceAllScreens(MakeLoadingScreen());
    RootWidget().HandleMessage(sys::WM_LBUTTONDOWN, 0, 0);
    EXPECT_EQ(Top(), "DATA\\logo.ini");
    Key('A');
    EXPECT_EQ(Top(), kMainMenuIni);
}

TEST_F(MenuFlow, MainMenuChoices) {
    struct Case {
        int index;
        const char* next;
    };
    const Case cases[] = {{0, "<game>"},  {1, kOptionIni},        {2, kHelpIni},
                          {3, kScoreIni}, {4, "DATA\\relax.ini"}, {5, "DATA\\exit.ini"}};
    for (const Case& c : cases) {
        ReplaceAllScreens(MakeMainMenu());
        Choose(c.index);
        EXPECT_EQ(Top(), c.next) << "choice " << c.index;
        EXPECT_EQ(RootWidget().ChildCount(), 1) << "choice " << c.index;
    }
    // Relax and exit pages leave at a key: the exit page ends the program.
    ReplaceAllScreens(MakeRelaxPage());
    Key('A');
    EXPECT_EQ(Top(), kMainMenuIni);
    ReplaceAllScreens(MakeExitScreen());
    Key('A');
    EXPECT_EQ(RootWidget().ChildCount(), 0);
}

TEST_F(MenuFlow, StartAlwaysPlaysArcadeWithCountersReset) {
    GameType = 2;
    Score = 700;
    PlayTime = 9;
    BestShot = 5;
    ReplaceAllScreens(MakeMainMenu());
    Choose(0);
    EXPECT_EQ(GameType, 0);
    EXPECT_EQ(Score, 0);
    EXPECT_EQ(PlayTime, 0);
    EXPECT_EQ(BestShot, 0);
}

TEST_F(MenuFlow, EscapeDoesNothingOnTheMainMenu) {
    ReplaceAllScreens(MakeMainMenu());
    Tick(400.0f);
    Key(sys::VK_ESCAPE);
    Tick(400.0f);
    EXPECT_EQ(Top(), kMainMenuIni);
}

TEST_F(MenuFlow, PagesReturnToTheMainMenuOrToThePauseMenuDuringAGame) {
    for (int running : {0, 1}) {
        for (auto make : {&MakeOptionsScreen, +[] { return MakeHelpScreen(0); },
                          +[] { return MakeHighscoreScreen(0, -1); }}) {
            ReplaceAllScreens(nullptr);
            GameRunning = running;
            PushScreen(make());
            Key(sys::VK_ESCAPE); // the return button is the escape child
            EXPECT_EQ(Top(), running ? kInGameMenuIni : kMainMenuIni);
            EXPECT_EQ(RootWidget().ChildCount(), 1);
        }
    }
}

TEST_F(MenuFlow, PauseMenuResumesOnEscapeAndOnPOnlyAfterItsOpening) {
    GameScreen* game = StartPausedGame();
    EXPECT_EQ(Paused, 1);
    Tick(100.0f);
    EXPECT_EQ(game->play.time, 0);                       // the game stands still under the menu
    RootWidget().HandleMessage(sys::WM_KEYDOWN, 'P', 0); // during the opening: only focuses
    Tick(250.0f);
    RootWidget().HandleMessage(sys::WM_KEYUP, 'P', 0);
    Tick(400.0f);
    EXPECT_EQ(Top(), kInGameMenuIni);
    Key('P');
    Tick(400.0f);
    EXPECT_EQ(Top(), "<game>");
    EXPECT_EQ(RootWidget().ChildCount(), 1); // the P that resumed did not pause the game again

    PushScreen(MakePauseMenu());
    Tick(400.0f);
    Key(sys::VK_ESCAPE);
    Tick(400.0f);
    EXPECT_EQ(Top(), "<game>");
}

TEST_F(MenuFlow, PauseMenuChoices) {
    struct Case {
        int index;
        const char* next;
        int screens; // the game stays below everything but the exit page
    };
    const Case cases[] = {{0, "<game>", 1},  {1, kOptionIni, 2},        {2, kHelpIni, 2},
                          {3, kScoreIni, 2}, {4, "DATA\\abort.ini", 2}, {5, "DATA\\exit.ini", 1}};
    for (const Case& c : cases) {
        ReplaceAllScreens(nullptr);
        StartPausedGame();
        Paused = 0;
        Choose(c.index);
        EXPECT_EQ(Top(), c.next) << "choice " << c.index;
        EXPECT_EQ(RootWidget().ChildCount(), c.screens) << "choice " << c.index;
        EXPECT_EQ(Paused, c.index >= 1 && c.index <= 3 ? 1 : 0) << "choice " << c.index;
    }
}

TEST_F(MenuFlow, AbortConfirmation) {
    // Refusals, by Escape, by `no` and by the lines the keys can reach, bring the pause menu back.
    for (int downs : {-1, 0, 1, 2}) {
        ReplaceAllScreens(nullptr);
        PushScreen(std::make_unique<GameScreen>(0));
        PushScreen(MakeAbortConfirmation());
        if (downs < 0) {
            Key(sys::VK_ESCAPE);
        } else {
            for (int i = 0; i < downs; ++i) Key(sys::VK_DOWN);
            Key(sys::VK_RETURN);
        }
        EXPECT_EQ(Top(), kInGameMenuIni) << downs;
        EXPECT_EQ(RootWidget().ChildCount(), 2) << downs;
    }
    // `yes` ends the game: the name entry when the score enters the table, else the main menu.
    for (int score : {0, 10}) {
        ReplaceAllScreens(nullptr);
        Score = score;
        PushScreen(std::make_unique<GameScreen>(0));
        PushScreen(MakeAbortConfirmation());
        Key(sys::VK_HOME);
        Key(sys::VK_RETURN);
        EXPECT_EQ(Top(), score ? kNameIni : kMainMenuIni);
        EXPECT_EQ(RootWidget().ChildCount(), 1);
    }
}

TEST_F(MenuFlow, EndOfGameBringsTheTitleMusicBack) {
    for (int score : {0, 10}) {
        ReplaceAllScreens(nullptr);
        Score = score;
        SwitchMusic("DATA\\SOUND\\gameover.ogg", false, true); // the game was lost
        RunEndOfGame();
        ASSERT_NE(CurrentMusic(), nullptr);
        EXPECT_EQ(CurrentMusic()->name, kTitleMusic) << score;
        EXPECT_TRUE(CurrentMusic()->Has(kSoundLoop)) << score;
        EXPECT_EQ(Top(), score ? kNameIni : kMainMenuIni);
    }
    ReleaseMusicSlots();
}

} // namespace
