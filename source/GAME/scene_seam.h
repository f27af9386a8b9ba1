// The scene around a level as the game screen uses it: the program-wide waterfall backdrop and
// hero, and the level's own water line and rising bubbles. Kept behind one small interface so the
// simulator can play without it: it uses the silent base, which draws nothing and keeps the
// water flat.
#pragma once
#include <memory>

#include "GAME/play_hooks.h"

class Sprite;

class LevelScene {
public:
    virtual ~LevelScene() = default;
    // The waterfall backdrop, drawn around the field rectangle with its water top at `waterTop`.
    virtual void UpdateBackdrop(float /*dt*/) {}
    virtual void DrawBackdrop(int /*x*/, int /*y*/, int /*w*/, int /*h*/, int /*waterTop*/) {}
    // The level's water line (256 two-pixel columns).
    virtual void DisturbWater(int /*column*/, WaterShape /*shape*/) {}
    virtual int WaterHeight(int /*column*/) const { return 0; }
    // Rising bubbles emitted at (x, y); those at or above `surfaceY` burst into a ripple. Also
    // ticks the water line.
    virtual void UpdateWater(float /*dt*/, float /*x*/, float /*y*/, int /*surfaceY*/,
                             int /*originX*/) {}
    virtual void DrawRisingBubbles() {}
    // A banner waving in 4-pixel columns; the base draws it still.
    virtual void DrawWavy(Sprite* picture, int x, int y, float time);
    // The hero.
    virtual void HeroEvent(int /*event*/) {}
    virtual bool HeroIdle() const { return true; }
    virtual void UpdateHero(float /*dt*/) {}
    virtual void DrawHero() {}
};

// The scene on screen (backdrop, hero, water line, rising bubbles), or the silent one.
std::unique_ptr<LevelScene> MakeLevelScene(bool shown);
