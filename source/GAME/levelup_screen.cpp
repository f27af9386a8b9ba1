#include "GAME/levelup_screen.h"

#include <algorithm>
#include <array>

#include "BASE/settings.h"
#include "GAME/game_ini.h"
#include "GAME/game_screen.h"
#include "GAME/game_state.h"
#include "GAME/hero.h"
#include "GAME/level_rules.h"
#include "GAME/run.h"
#include "GRAPH/Sprite.h"
#include "GRAPH/graph.h"
#include "SOUND/Gsound.h"
#include "SOUND/music.h"

namespace {

constexpr int kHeroLevelUp = 21;
constexpr const char* kBubbleMask = "DATA\\_bubble.tga";
constexpr const char* kBonusMask = "DATA\\BONUS\\_bonus.tga";
constexpr const char* kBonusIconFiles[kLevelUpIcons] = {
    "DATA\\BONUS\\02.tga",   "DATA\\BONUS\\x2.tga",     "DATA\\BONUS\\help.tga",
    "DATA\\BONUS\\up.tga",   "DATA\\BONUS\\freeze.tga", "DATA\\BONUS\\x3.tga",
    "DATA\\BONUS\\bomb.tga", "DATA\\BONUS\\rot.tga"};

enum Child {
    kOk,
    kStrLevel,
    kStrTime,
    kStrShot,
    kStrScore,
    kLevel,
    kTime,
    kShot,
    kScore,
    kBonus,
    kStrBonus,
    kColor
};

class LevelUpScreen : public Screen {
public:
    LevelUpScreen(int level, int timeSpentMs, int bestShot) : Screen(kLevelUpIni, 0) {
        if (Sound* music = CurrentMusic()) music->Stop();
        AddWideButton("ok");
        for (const char* label :
             {"strlevel", "strtime", "strshot", "strscore", "level", "time", "shot", "score",
              "bonus", "strbonus", "color", "strcolor", "bubbles", "bonuses"})
            AddLabel(label);
        for (int i = 0; i < kLevelUpIcons; ++i) {
            bonusIcons_[size_t(i)] =
                LoadHeldSprite(kBonusIconFiles[i], i == 0 ? kBubbleMask : kBonusMask);
            colourIcons_[size_t(i)] = HoldColourIcon(i);
        }
        Child(kLevel)->caption += std::to_string(level);
        Child(kShot)->caption += std::to_string(bestShot);
        Child(kScore)->caption += std::to_string(Score);
        Child(kTime)->caption += MinutesSeconds(timeSpentMs);
        FocusFirst(kOk);
        escapeIndex = 0;
        extra = level;
        TheHero.event(kHeroLevelUp); // after its animation it starts the level-up music
        colourCount_ = LevelColourCount(GameType, level);
        transitionStart = 0.0f;
    }
    ~LevelUpScreen() override {
        for (auto* icons : {&bonusIcons_, &colourIcons_})
            for (Sprite*& icon : *icons) ReleaseHeldSprite(icon);
    }

    int Draw() override {
        Screen::Draw();
        if (!RenderSurface) return 0;
        Sprite* spacer = colourIcons_[kLevelUpIcons - 1];
        const int w = spacer ? spacer->width : 0;
        const Widget* bonus = Child(kBonus);
        const int shown = std::min(extra, kLevelUpIcons);
        for (int i = 0; i < shown; ++i) {
            const int x = bonus->x + 2 + i * w, y = bonus->y + 3;
            if (i == 0) {
                Draw(bonusIcons_[0], x, y);
                continue;
            }
            Draw(spacer, x, y);
            Draw(bonusIcons_[size_t(i)], x + 6, y + 6);
        }
        const Widget* colour = Child(kColor);
        for (int i = 0; i < colourCount_; ++i)
            Draw(colourIcons_[size_t(i)], colour->x + 2 + i * w, colour->y + 3);
        return 0;
    }

    // Acts at once: the next level replaces this screen.
    int OnChildAction(Widget* child) override {
        if (IndexOf(child) != kOk) return 0;
        StartLevel(extra);
        return 1;
    }

private:
    Widget* Child(int index) const { return children[size_t(index)].get(); }
    static Sprite* HoldColourIcon(int i) {
        if (BubbleSet < 0 || BubbleSet >= int(BubbleSets().size())) return nullptr;
        return LoadHeldSprite(
            (BubbleSets()[size_t(BubbleSet)] + "\\" + std::to_string(i) + ".tga").c_str(),
            kBubbleMask);
    }
    static void Draw(Sprite* icon, int x, int y) {
        if (icon) RenderSurface->DrawSprite(x, y, icon, OP_ALPHA, 0.0f);
    }

    std::array<Sprite*, kLevelUpIcons> bonusIcons_ = {};
    std::array<Sprite*, kLevelUpIcons> colourIcons_ = {};
    int colourCount_ = 0;
};

} // namespace

std::string MinutesSeconds(int ms) {
    const int t = std::max(ms, 0);
    const char text[] = {char('0' + t / 600000 % 6), char('0' + t / 60000 % 10), ':',
                         char('0' + t / 10000 % 6),  char('0' + t / 1000 % 10),  0};
    return text;
}

int LevelColourCount(int mode, int level) {
    // The colour row has eight places.
    return std::clamp(GetIniInt(RuleFileOf(mode), LevelSection(level).c_str(), "bubble"), 0,
                      kLevelUpIcons);
}

std::unique_ptr<Screen> MakeLevelUpScreen(int level, int timeSpentMs, int bestShot) {
    return std::make_unique<LevelUpScreen>(level, timeSpentMs, bestShot);
}

void OpenLevelUp(int level, int timeSpentMs, int bestShot) {
    ReplaceAllScreens(MakeLevelUpScreen(level, timeSpentMs, bestShot));
}
