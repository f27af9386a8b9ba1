// What the shooting, matching and bonus rules ask of the world around the field: named sound
// effects, the hero's events and the water line. The game screen connects them to the real
// objects; tests record them.
#pragma once
#include "GAME/water_line.h"

// Hero events sent from the field's rules.
constexpr int kHeroBestShot = 19;
constexpr int kHeroJoy = 20;

class PlayHooks {
public:
    virtual ~PlayHooks() = default;
    // Plays a named effect in the effects channel.
    virtual void Sound(const char* name);
    virtual void HeroEvent(int /*event*/) {}
    virtual bool HeroIdle() { return true; }
    virtual void WaterDisturb(int /*column*/, WaterShape /*shape*/) {}
};

// A PlayHooks that only plays the sounds.
PlayHooks& DefaultPlayHooks();
