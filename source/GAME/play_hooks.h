// What the shooting, matching and bonus rules ask of the world around the field: named sound
// effects, the hero's events and the water line. The game screen connects them to the real
// objects; tests record them.
#pragma once

// Hero events sent from the field's rules.
constexpr int kHeroBestShot = 19;
constexpr int kHeroJoy = 20;

// Shapes written into the water line by the field's events.
enum class WaterShape { Bump32, Dip64, Dip16, Bump64 };

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
