// The state of one level in play that shooting, matching and bonuses work on. The game screen
// holds one and advances its level time; the running score and best shot are the game's shared
// values (Score, BestShot).
#pragma once
#include "GAME/level_timer.h"
#include "GAME/play_hooks.h"
#include "GAME/playfield.h"

constexpr float kIntroductionMs = 1500.0f;
constexpr float kFadeMs = 1000.0f;
constexpr float kCooldownMs = 500.0f;
constexpr float kFreezeMs = 10000.0f;
constexpr float kNoRing = 10000000000.0f;

// What the last settled shot did, for the simulator and the tests.
struct SettleReport {
    int row = 0, col = 0, colour = 0, special = 0;
    int burst = 0; // records removed by the burst loop
    int fell = 0;  // records that started falling
};

struct PlayState {
    Playfield field;
    PlayHooks* hooks = &DefaultPlayHooks();
    int level = 0;
    int time = 0; // level time, ms since the screen was created

    LevelTimer intro{0, kIntroductionMs};
    LevelTimer go;
    LevelTimer fadeIn{0, kFadeMs};
    LevelTimer cooldown{kTimerNotStarted, kCooldownMs};
    LevelTimer freeze;
    LevelTimer defeat;
    LevelTimer win;
    LevelTimer banner;
    LevelTimer fadeOut;

    float angle = 0; // radians, 0 straight up, positive to the right
    bool shotInFlight = false;
    int shotCounter = 0; // bubbles made for the queue in this level
    bool aimGuide = false;
    float ringX = 0, ringY = 0, ringRadius = kNoRing;
    float velocityWave = 0; // landing ring growth, pixels per ms
    float sensitivity = 0;  // the player's aiming sensitivity

    int burstPoints = 0; // per burst bubble
    int fallPoints = 0;  // per fallen bubble

    SettleReport lastSettle;
    int settledShots = 0; // shots settled in this level

    bool Won() const { return win.Started(time); }
    bool Lost() const { return defeat.Started(time); }
    bool Ended() const { return Won() || Lost(); }
    bool FreezeRunning() const { return freeze.Running(time); }
};

// Level creation's share of the field: geometry and initial rows, angle 0, no ring, and the two
// queue bubbles (a Loaded and a Next).
void CreateField(PlayState& play, const LevelParams& rules, uint32_t seedA);
