// The game screen: plays one level. It builds the level from the current mode's rules, runs its
// phases (introduction, play, freeze, defeat, win), keeps score and play time, checks the end
// conditions, turns input into aiming and shots, switches music, feeds the hero and draws the
// level scene with its side panels; then it hands over to the level-up screen or the end of
// the game.
#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "GAME/Screen.h"
#include "GAME/level_rules.h"
#include "GAME/play_state.h"
#include "GAME/scene_seam.h"

struct FieldSprites;

constexpr float kGoMs = 1000.0f;
constexpr float kDefeatMs = 1000.0f;
constexpr float kWinMs = 2000.0f;
constexpr float kBannerMs = 1000.0f;
constexpr int kLostPlayTime = 100000000; // a lost game never enters the time table

// How a level is shown. The game uses the display, the music and the cursor; the simulator none.
struct PlaySetup {
    bool display = true;
    // Generator A's seed for a level; the calendar time in seconds unless replaced.
    std::function<uint32_t(int level)> seed;
};
PlaySetup& CurrentPlaySetup();

class GameScreen : public Screen, private PlayHooks {
public:
    // createLevel: reads the rules and builds level `level`.
    explicit GameScreen(int level);
    ~GameScreen() override;

    int HandleMessage(unsigned message, sys::WPARAM wParam, sys::LPARAM lParam) override;
    int OnFocusChanged() override;
    int Update(float dt) override;
    int Draw() override;

    PlayState play;
    LevelParams rules;
    int playTimeAtStart = 0;
    int surfaceY = 0; // the water surface inside the field, screen pixels
    std::string levelText;

    // Score that ends this level, and the one that ended the level before (0 before level 0).
    int64_t Target() const { return LevelTarget(rules, play.level); }
    int64_t PreviousTarget() const {
        return play.level > 0 ? LevelTarget(rules, play.level - 1) : 0;
    }
    float DangerLine() const { return float(rules.height) * kRowPitch; }
    LevelScene& Scene() { return *scene_; }

private:
    // PlayHooks: what the field's rules ask of the screen.
    void Sound(const char* name) override;
    void HeroEvent(int event) override;
    bool HeroIdle() override;
    void WaterDisturb(int column, WaterShape shape) override;

    void ReadScoreRulesFor(int difficulty);
    void RereadDifficulty();
    void EndCheck();
    void LeaveForLevelUp();
    void EndGame();
    void OpenPause();
    void SetAmbientVolume(float volume);
    void HideCursor();
    float SceneLevel() const; // 0 in play; 1 while the scene is down (fade-in start, fade-out end)

    void DrawWaterSurface();
    void DrawBeam(float q);
    void DrawSidePanels();
    void DrawGauge();
    void DrawBanners();

    std::unique_ptr<LevelScene> scene_;
    std::unique_ptr<FieldSprites> sprites_;
    bool cursorShown_ = false;
    std::string scoreCaption_, levelCaption_;
    Sprite* background_ = nullptr;
    Sprite* sidePanel_ = nullptr;
    Sprite* defeatBanner_ = nullptr;
    Sprite* levelUpBanner_ = nullptr;
    Sprite* beam_ = nullptr;
    Sprite* wave_ = nullptr;
    Sprite* gauge_ = nullptr;
};

// The game screen for `level` replaces every screen.
void StartLevel(int level);
