#include <gtest/gtest.h>

#include <string>

#include "BASE/errlog.h"
#include "BASE/settings.h"
#include "GAME/game_ini.h"
#include "GAME/game_screen.h"
#include "GAME/game_state.h"
#include "GAME/level_rules.h"
#include "GAME/levelup_screen.h"
#include "GAME/menu.h"
#include "GAME/run.h"
#include "screen_fixture.h"

namespace {

// Levels are played through the root widget in a temporary game folder holding only the rule
// files a test writes; no pictures, no music, generator A seeded with 7.
class GameScreenTest : public ScreenTest {
protected:
    void SetUp() override {
        ScreenTest::SetUp();
        CurrentPlaySetup().display = false;
        CurrentPlaySetup().seed = [](int) { return 7u; };
        Difficulty = 0;
        DifficultyChanged = 0;
        BestShot = 0;
        ForgetRuleNotesForTesting();
        StartNewErrorLogRunForTesting();
    }
    void TearDown() override {
        ReplaceAllScreens(nullptr);
        CurrentPlaySetup() = PlaySetup{};
        ScreenTest::TearDown();
    }

    static void Rules(const std::string& text) { WriteFile("DATA/ArcadeScore.ini", text); }
    static GameScreen* Game() {
        Widget& root = RootWidget();
        return root.ChildCount() ? dynamic_cast<GameScreen*>(root.children.back().get()) : nullptr;
    }
    static std::string Top() {
        Widget& root = RootWidget();
        if (!root.ChildCount()) return "<none>";
        auto* screen = dynamic_cast<Screen*>(root.children.back().get());
        return Game() ? "<game>" : screen ? screen->file : "<other>";
    }
    static void Ticks(int n) {
        for (int i = 0; i < n; ++i) RootWidget().Update(10.0f);
    }
    static void Press(sys::WPARAM key) { RootWidget().HandleMessage(sys::WM_KEYDOWN, key, 0); }
    static void Release(sys::WPARAM key) { RootWidget().HandleMessage(sys::WM_KEYUP, key, 0); }
    // A settled bubble whose centre lies `above` pixels above the danger line.
    static void SettleAtDangerLine(GameScreen& game, float above) {
        Bubble b;
        b.x = 16;
        b.y = game.DangerLine() - above;
        game.play.field.list.push_back(b);
    }

    // An empty field of 10 rows that descends slowly: only what a test adds is on it.
    static constexpr const char* kEmptyField =
        "[main]\nwidth=8\nheight=10\ndepth=0\nnormal=1\nhard=0.5\nAddScore=1000\nMulScore=500\n"
        "[0]\nbubble=3\nTimeDown=5000\n";
};

TEST_F(GameScreenTest, RuleSectionsAndTargets) {
    Rules("[main]\nwidth=8\nheight=10\nnormal=1\nAddScore=1000\nMulScore=500\n"
          "[0]\nbubble=2\n[8]\nbubble=4\n[9]\nbubble=5\n");
    const struct {
        int level;
        int colours;
    } sections[] = {{0, 2}, {3, 0}, {8, 4}, {9, 5}, {12, 5}};
    for (const auto& s : sections)
        EXPECT_EQ(ReadLevelParams(0, 0, s.level).bubble, s.colours) << s.level;

    const LevelParams params = ReadLevelParams(0, 0, 0);
    EXPECT_EQ(LevelTarget(params, 0), 1500);
    EXPECT_EQ(LevelTarget(params, 1), 3500);
    EXPECT_EQ(LevelTarget(params, 2), 6000);
}

TEST_F(GameScreenTest, BadRuleValuesAreLimitedWithOneNoteEach) {
    Rules("[main]\nwidth=100000\nheight=-3\ndepth=100000\nnormal=abc\nAddScore=-7\n"
          "[0]\nbubble=1000\nTimeDown=-5\nBonusShot=-1\nLineAdd=9\n");
    WriteFile("DATA/score.ini", "[main]\nburst=99999\nfall=-4\n");
    for (int read = 0; read < 2; ++read) {
        const LevelParams p = ReadLevelParams(0, 0, 0);
        EXPECT_EQ(p.width, kMaxRowWidth);
        EXPECT_EQ(p.height, 0);
        EXPECT_EQ(p.depth, 0); // never below the danger line
        EXPECT_EQ(p.normal, 1.0f);
        EXPECT_EQ(p.AddScore, 0);
        EXPECT_EQ(p.bubble, kMaxColours);
        EXPECT_EQ(p.TimeDown, kMinTimeDown);
        EXPECT_EQ(p.BonusShot, 0);
        EXPECT_EQ(p.LineAdd, 1);
        const ScoreRules points = ReadScoreRules(p.normal);
        EXPECT_EQ(points.burstPoints, kMaxPoints);
        EXPECT_EQ(points.fallPoints, 0);
    }
    CloseErrorLog();
    const std::string log = ReadFile("gerr.log");
    for (const char* key : {"width", "height", "normal", "AddScore", "bubble", "TimeDown",
                            "BonusShot", "LineAdd", "burst", "fall"}) {
        const std::string tag = std::string("] ") + key + " ";
        const size_t first = log.find(tag);
        EXPECT_NE(first, std::string::npos) << key;
        EXPECT_EQ(log.find(tag, first + 1), std::string::npos) << key << " noted twice";
    }

    // Such a level can be played: the field fits the screen and the game runs on.
    StartLevel(0);
    ASSERT_NE(Game(), nullptr);
    EXPECT_GE(Game()->play.field.originX, 0);
    Ticks(300);
    EXPECT_NE(Game(), nullptr);
}

TEST_F(GameScreenTest, ScoreTargetWinsAfterTheIntroduction) {
    Rules(kEmptyField);
    Score = 1499;
    StartLevel(0);
    EXPECT_EQ(GameRunning, 1);
    Ticks(200);
    ASSERT_NE(Game(), nullptr);
    EXPECT_FALSE(Game()->play.Won());
    Score = 1500;
    Ticks(1);
    EXPECT_TRUE(Game()->play.Won());
    EXPECT_TRUE(Game()->play.banner.Started(Game()->play.time));
    Press(sys::VK_SPACE); // no more shots or turns once won
    EXPECT_EQ(Game()->play.shotInFlight, false);
    // The win runs 2000 ms, then the level-up screen for the next level replaces the game.
    Ticks(199);
    EXPECT_EQ(Top(), "<game>");
    Ticks(2);
    EXPECT_EQ(Top(), kLevelUpIni);
    EXPECT_EQ(GameRunning, 0);
}

TEST_F(GameScreenTest, DefeatIsCheckedBeforeTheScore) {
    Rules(kEmptyField);
    StartLevel(0);
    Ticks(100);
    SettleAtDangerLine(*Game(), 0.0f); // exactly on the line
    Score = 5000;                      // and the target reached in the same tick
    Ticks(60);
    EXPECT_TRUE(Game()->play.Lost());
    EXPECT_FALSE(Game()->play.Won());
}

TEST_F(GameScreenTest, AWarningBandBubbleDoesNotLose) {
    Rules(kEmptyField);
    StartLevel(0);
    Ticks(100);
    SettleAtDangerLine(*Game(), 3.0f);
    Ticks(60);
    EXPECT_FALSE(Game()->play.Lost());
}

TEST_F(GameScreenTest, AfterADefeatKeysWaitForTheFlood) {
    for (int score : {0, 40}) {
        Rules(kEmptyField);
        Score = score;
        StartLevel(0);
        Ticks(160);
        SettleAtDangerLine(*Game(), -1.0f);
        Ticks(1);
        ASSERT_TRUE(Game()->play.Lost());
        Ticks(50); // 500 ms into the flood
        Press('A');
        RootWidget().HandleMessage(sys::WM_LBUTTONDOWN, 0, 0);
        EXPECT_EQ(Top(), "<game>");
        Release(sys::VK_ESCAPE); // the pause still opens during the flood
        EXPECT_EQ(Top(), kInGameMenuIni);
        ReplaceAllScreens(nullptr);
    }
}

TEST_F(GameScreenTest, AfterTheFloodAKeyEndsTheGame) {
    struct Case {
        int score;
        const char* next;
    };
    for (const Case& c : {Case{0, kMainMenuIni}, Case{40, kNameIni}}) {
        Rules(kEmptyField);
        Score = c.score;
        StartLevel(0);
        Ticks(160);
        SettleAtDangerLine(*Game(), -1.0f);
        Ticks(101);
        Release(sys::VK_ESCAPE); // the flood is over: no pause any more
        EXPECT_EQ(Top(), "<game>");
        Press('A');
        EXPECT_EQ(Top(), c.next) << c.score;
        EXPECT_EQ(PlayTime, kLostPlayTime);
        EXPECT_EQ(GameRunning, 0);
    }
}

TEST_F(GameScreenTest, PauseOpensOverTheGameAndResumeReturns) {
    Rules(kEmptyField);
    StartLevel(0);
    Ticks(10);
    const int time = Game()->play.time;
    Release('P');
    EXPECT_EQ(Top(), kInGameMenuIni);
    EXPECT_EQ(RootWidget().ChildCount(), 2);
    Ticks(40);
    Widget& game = *RootWidget().children.front();
    EXPECT_EQ(static_cast<GameScreen&>(game).play.time,
              time); // the level stands still under the menu
    Press(sys::VK_ESCAPE);
    Release(sys::VK_ESCAPE);
    Ticks(31);
    ASSERT_EQ(Top(), "<game>");
    Ticks(1);
    EXPECT_EQ(Game()->play.time, time + 10);
}

TEST_F(GameScreenTest, DifficultyChangeRereadsDescentAndPoints) {
    Rules(kEmptyField);
    WriteFile("DATA/score.ini", "[main]\nburst=10\nfall=20\n");
    StartLevel(0);
    EXPECT_EQ(Game()->rules.TimeDown, 5000);
    EXPECT_EQ(Game()->play.burstPoints, 10);
    Difficulty = 1;
    DifficultyChanged = 1;
    Ticks(1);
    EXPECT_EQ(DifficultyChanged, 0);
    EXPECT_EQ(Game()->rules.TimeDown, 2500);
    EXPECT_EQ(Game()->play.field.params.TimeDown, 2500);
    EXPECT_EQ(Game()->play.burstPoints, 20);
    EXPECT_EQ(Game()->play.fallPoints, 20);
}

TEST_F(GameScreenTest, LevelUpShowsTheLevelsNumbersAndStartsTheNext) {
    Rules("[main]\nwidth=8\nheight=10\nnormal=1\n[5]\nbubble=6\n[9]\nbubble=11\n");
    EXPECT_EQ(LevelColourCount(0, 5), 6);
    EXPECT_EQ(LevelColourCount(0, 4), 0);
    EXPECT_EQ(LevelColourCount(0, 30), kLevelUpIcons); // eight places
    for (const auto& t : {std::pair<int, const char*>{125000, "02:05"},
                          {3725000, "02:05"},
                          {0, "00:00"},
                          {3599999, "59:59"}}) {
        EXPECT_EQ(MinutesSeconds(t.first), t.second) << t.first;
    }

    WriteFile("DATA/levelup.ini",
              "[level]\nname=L\n[time]\nname=T\n[shot]\nname=S\n[score]\nname=P\n");
    Score = 777;
    OpenLevelUp(5, 125000, 90);
    Widget& levelUp = *RootWidget().children.back();
    EXPECT_EQ(levelUp.children[5]->caption, "L5");
    EXPECT_EQ(levelUp.children[6]->caption, "T02:05");
    EXPECT_EQ(levelUp.children[7]->caption, "S90");
    EXPECT_EQ(levelUp.children[8]->caption, "P777");
    Press(sys::VK_RETURN); // during the opening transition nothing happens
    Release(sys::VK_RETURN);
    EXPECT_EQ(Top(), kLevelUpIni);
    Ticks(31);
    Press(sys::VK_RETURN);
    Release(sys::VK_RETURN);
    ASSERT_EQ(Top(), "<game>");
    EXPECT_EQ(Game()->play.level, 5);
    EXPECT_EQ(Game()->levelText, "6");
}

} // namespace
