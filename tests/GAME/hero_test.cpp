#include <gtest/gtest.h>

#include <set>
#include <string>

#include "GAME/hero.h"
#include "GAME/game_ini.h"
#include "GRAPH/Sprite.h"
#include "SOUND/music.h"
#include "scene_fixture.h"

namespace {

struct Times {
    const char* section;
    int time;
};
const Times kTimes[] = {
    {"birth", 500},   {"hello", 800},   {"stop0", 400},   {"stop1", 300},   {"stop2", 300},
    {"stop3", 300},   {"speak1", 250},  {"speak2", 250},  {"speak3", 250},  {"go", 600},
    {"levelup", 700}, {"warning", 300}, {"defeat0", 500}, {"defeat1", 400}, {"bestshot", 600},
    {"joy", 500},     {"win1", 900},    {"win2", 450},
};

class HeroTest : public SceneTest {
protected:
    void SetUp() override {
        SceneTest::SetUp();
        std::string ini;
        for (const Times& t : kTimes)
            ini += std::string("[") + t.section +
                   "]\nx=500\ny=380\nlength=1\ntime=" + std::to_string(t.time) + "\n";
        WriteFile("DATA/hero.ini", ini);
        // Every text shows its own key as line 1, except those a test sets itself.
        // (The first of two equal keys counts.)
        std::string lang = "[hero]\n";
        lang += "MenuOptions1=abc\nMenuOptions2=defg\n"; // 3 + 4 characters
        lang += "MenuHelp1=twenty characters...\nMenuHelp2=and twenty more.....\n"; // 8 s of text
        lang += "MenuScores1=\n"; // all lines empty
        for (int n = 1; n <= Hero::kTexts; ++n)
            if (const char* key = Hero::TextKey(n)) lang += std::string(key) + "1=" + key + "\n";
        WriteFile("lang.ini", lang);
        previousLanguage_ = LanguageFile;
        LanguageFile = "lang.ini";
        TheHero.load();
    }
    void TearDown() override {
        LanguageFile = previousLanguage_;
        SceneTest::TearDown();
    }

    Hero& hero = TheHero;
    // Runs the hero for `ms` in 10 ms ticks.
    void Run(int ms) {
        for (int t = 0; t < ms; t += 10) hero.update(10.0f);
    }
    std::string ShownLine() const { return hero.texts[hero.text].line[0]; }

private:
    std::string previousLanguage_;
};

constexpr int kSpeaking = -1; // any of the speaking animations 7..9

TEST_F(HeroTest, EveryEventShowsItsTextAndAnimation) {
    struct Case {
        int event, text, anim;
    } cases[] = {
        {0, 0, 0},           {2, 0, 1},    {3, 1, 2},    {4, 2, kSpeaking},
        {12, 10, kSpeaking}, {13, 11, 10}, {14, 12, 11}, {15, 0, 12},
        {16, 0, 13},         {17, 0, 14},  {18, 0, 15},  {19, 13, 16},
        {20, 0, 17},         {21, 0, 18},  {22, 0, 19},  {23, 14, kSpeaking},
        {50, 41, kSpeaking},
    };
    for (const Case& c : cases) {
        hero.event(1);
        EXPECT_TRUE(hero.idle());
        EXPECT_EQ(hero.anim, 3);
        EXPECT_EQ(hero.text, 0);
        hero.event(c.event);
        EXPECT_EQ(hero.currentEvent, c.event);
        EXPECT_EQ(hero.text, c.text) << "event " << c.event;
        if (c.anim == kSpeaking)
            EXPECT_TRUE(hero.anim >= 7 && hero.anim <= 9)
                << "event " << c.event << " anim " << hero.anim;
        else
            EXPECT_EQ(hero.anim, c.anim) << "event " << c.event;
    }
}

// The menus send event numbers two (and nine) above the text numbers: each shows its own text.
TEST_F(HeroTest, MenuAndGameEventsShowTheirMatchingTexts) {
    struct Case {
        int event;
        const char* key;
    } cases[] = {
        {4, "MenuStart"},
        {5, "abc"},
        {6, "twenty characters..."},
        {7, ""},
        {8, "MenuRelax"},
        {9, "MenuExit"},
        {11, "MenuResume"},
        {12, "MenuAbort"},
        {31, "Return"},
        {32, "OptionsBubble"},
        {33, "OptionsScreen"},
        {34, "OptionsMusic"},
        {35, "OptionsSound"},
        {36, "OptionsAmbient"},
        {37, "OptionsSensitivity"},
        {38, "OptionsDifficulty"},
        {39, "OptionsControls"},
        {40, "ControlsLeft"},
        {41, "ControlsRight"},
        {42, "ControlsShot"},
        {43, "ControlsSwap"},
        {44, "ControlsReset"},
        {23, "BonusColor"},
        {30, "BonusRot"},
        {45, "Count1"},
        {49, "Count5"},
        {50, "MenuGames"},
    };
    for (const Case& c : cases) {
        hero.event(1);
        hero.event(c.event);
        EXPECT_EQ(ShownLine(), c.key) << "event " << c.event;
    }
}

TEST_F(HeroTest, BirthRunsOnToHelloAndThenIdles) {
    hero.event(2);
    Run(490);
    EXPECT_EQ(hero.currentEvent, 2);
    Run(20);
    EXPECT_EQ(hero.currentEvent, 3);
    EXPECT_EQ(ShownLine(), "MenuHello");
    EXPECT_EQ(hero.anim, 2);
    Run(800);
    EXPECT_TRUE(hero.idle());
    EXPECT_EQ(hero.text, 0);
}

TEST_F(HeroTest, DefeatAndWinRunOnIntoLoopsThatLastUntilTheNextEvent) {
    hero.event(17);
    Run(510);
    EXPECT_EQ(hero.currentEvent, 18);
    Run(3000);
    EXPECT_EQ(hero.currentEvent, 18);
    EXPECT_EQ(hero.anim, 15);
    EXPECT_LT(hero.clock - hero.animTimer.start, 400.0f); // restarted, not run out

    hero.event(21);
    Run(910);
    EXPECT_EQ(hero.currentEvent, 22);
    EXPECT_EQ(hero.anim, 19);
    ASSERT_NE(CurrentMusic(), nullptr);
    EXPECT_EQ(CurrentMusic()->file, "DATA\\SOUND\\levelup.ogg");
    Run(3000);
    EXPECT_EQ(hero.currentEvent, 22);
    hero.event(1);
    EXPECT_TRUE(hero.idle());
    ReleaseMusicSlots();
}

TEST_F(HeroTest, TheSameEventTwiceDoesNotRestartIt) {
    hero.event(4);
    Run(300);
    const TimerPair before = hero.eventTimer;
    const int anim = hero.anim;
    hero.event(4);
    EXPECT_EQ(hero.eventTimer.start, before.start);
    EXPECT_EQ(hero.anim, anim);
}

TEST_F(HeroTest, TextsShowFor200MsPerCharacterOfTheirFirstTwoLinesAndAtLeastOneSecond) {
    struct Case {
        int event;
        float duration;
    } cases[] = {{5, 1400.0f}, {7, 1000.0f}, {6, 8000.0f}, {9, 1600.0f}};
    for (const Case& c : cases) {
        hero.event(1);
        hero.event(c.event);
        EXPECT_FLOAT_EQ(hero.eventTimer.duration, c.duration) << "event " << c.event;
        Run(int(c.duration) - 10);
        EXPECT_EQ(hero.currentEvent, c.event);
        Run(10);
        EXPECT_TRUE(hero.idle()) << "event " << c.event;
    }
}

TEST_F(HeroTest, ALongTextOutlivesItsSpeakingAnimation) {
    hero.event(6); // eight seconds of text, 250 ms of speaking
    Run(260);
    EXPECT_EQ(hero.anim, 3); // idling
    EXPECT_EQ(hero.text, 4); // with the balloon still shown
    Run(3000);
    EXPECT_EQ(hero.text, 4);
    EXPECT_TRUE(hero.anim >= 3 && hero.anim <= 6);
    Run(5000);
    EXPECT_TRUE(hero.idle());
    EXPECT_EQ(hero.text, 0);
}

TEST_F(HeroTest, BestShotIsTakenWhileBusy) {
    hero.event(6);
    EXPECT_FALSE(hero.idle());
    hero.event(19);
    EXPECT_EQ(ShownLine(), "GameBestShot");
    EXPECT_EQ(hero.anim, 16);
}

TEST_F(HeroTest, IdlingCyclesThroughStop0WithOccasionalVariations) {
    hero.event(1);
    std::set<int> seen;
    int previous = hero.anim;
    for (int t = 0; t < 60000; t += 10) {
        hero.update(10.0f);
        if (hero.anim != previous) {
            EXPECT_TRUE(previous == 3 || hero.anim == 3) << previous << " -> " << hero.anim;
            previous = hero.anim;
        }
        seen.insert(hero.anim);
    }
    EXPECT_EQ(seen, (std::set<int>{3, 4, 5, 6}));
}

TEST_F(HeroTest, DrawsTheBalloonWithTheTextAndTheAnimationFrame) {
    hero.release();
    DestroyUnheldSprites(); // the balloon was cached as missing
    SolidTga("DATA/BlaBla.tga", 100, 60, 250, 250, 250);
    SolidTga("DATA/HERO/hello.tga", 10, 40, 0, 200, 0); // four frames of 10 x 10
    WriteFile("DATA/hero.ini",
              "[hello]\nx=600\ny=400\nlength=4\ntime=800\nname=DATA\\HERO\\hello.tga\n");
    hero.load();
    ASSERT_NE(hero.animations[2].picture, nullptr);
    EXPECT_EQ(hero.animations[2].picture->frameCount, 4);
    EXPECT_EQ(hero.animations[2].picture->frameHeight, 10);
    hero.event(3);
    hero.draw();
    EXPECT_NE(Pixel(520, 245), kSentinel); // the balloon
    EXPECT_NE(Pixel(605, 405), kSentinel); // frame 0 of hello
    EXPECT_EQ(Pixel(605, 415), kSentinel); // one frame only
    hero.event(0);
    Clear();
    hero.draw();
    EXPECT_EQ(Pixel(520, 245), kSentinel);
}

TEST_F(HeroTest, UnusableAnimationDescriptionsNeitherCrashNorReachOutsideThePicture) {
    SolidTga("DATA/h.tga", 4, 8, 10, 200, 10);
    const char* const bodies[] = {
        "length=0\ntime=0\n",
        "length=100\ntime=-5\n",
        "length=-3\ntime=2147483647\n",
        "length=8\ntime=99999999999\nx=-100000\ny=100000\n",
        "length=3\ntime=nan\nx=100000\ny=-100000\n",
        "length=2147483647\ntime=1\n",
    };
    for (const char* body : bodies) {
        std::string ini;
        for (const Times& t : kTimes)
            ini += std::string("[") + t.section + "]\nname=DATA\\h.tga\n" + body;
        WriteFile("DATA/hero.ini", ini);
        hero.load();
        Sprite* picture = hero.animations[1].picture;
        ASSERT_NE(picture, nullptr);
        EXPECT_GE(picture->frameHeight, 1) << body;
        EXPECT_LE(picture->frameHeight * picture->frameCount, 8) << body;
        for (int e = -2; e <= 60; ++e) {
            hero.event(e);
            for (float dt : {0.0f, 16.0f, 5000.0f, -100.0f}) {
                hero.update(dt);
                hero.draw();
            }
        }
    }
    WriteFile("DATA/hero.ini", "");
    hero.load();
    hero.event(2);
    Run(100);
    hero.draw();
}

TEST_F(HeroTest, AGeneratedAnimationBringsItsGeneratedMaskAsAlpha) {
    WriteFile("DATA/hero.ini", "[stop0]\nx=0\ny=0\nlength=20\ntime=4000\nname=DATA\\glow.rdr\n");
    hero.load();
    Sprite* glow = hero.animations[3].picture;
    ASSERT_NE(glow, nullptr);
    EXPECT_TRUE(glow->HasAlpha()); // _glow.rdr, generated too
    EXPECT_EQ(glow->frameCount, 20);
    EXPECT_EQ(glow->frameHeight, 256);
    hero.event(1);
    Run(1000);
    hero.draw();
}

} // namespace
