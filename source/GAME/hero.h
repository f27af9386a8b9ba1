// The hero: an animated character in the lower right that greets the player, comments on menu
// choices and play in a speech balloon, and idles on its own. Driven by numbered events.
#pragma once
#include <string>

#include "GAME/timer_pair.h"
#include "SYS/crt_rand.h"

class Font;
class Sprite;

// One animation of DATA\hero.ini: a vertical strip of `length` frames played in `time` ms.
struct HeroAnimation {
    int x = 0, y = 0; // screen position of the picture's top-left
    int length = 1;
    float time = 0.0f;
    std::string name;
    const char* sound = nullptr; // effect started with the animation, or none
    Sprite* picture = nullptr;
};

// One text: three lines from section `hero` of the language file.
struct HeroText {
    std::string line[3];
};

class Hero {
public:
    static constexpr int kAnimations = 19; // numbered 1..19
    static constexpr int kTexts = 41;      // numbered 1..41
    static constexpr uint32_t kSeed = 125423;
    static constexpr int kBalloonX = 516, kBalloonY = 240;

    // Reads DATA\hero.ini, the texts of the language file, the hero font and the balloon.
    void load();
    void release();

    // Ignored when n is the current event; otherwise n becomes current and its action runs.
    void event(int n);
    void update(float dt);
    void draw();
    // Idle: several senders only speak while the hero idles.
    bool idle() const { return currentEvent == 1; }

    void play(int text, int anim);
    void say(int text);
    void speak();
    void idleStep();

    float clock = 0.0f;
    int currentEvent = 0;
    int text = 0; // shown text, 0 none
    int anim = 0; // shown animation, 0 none
    TimerPair eventTimer, animTimer, textTimer;
    sys::CrtRandom random{kSeed};
    Font* font = nullptr;
    Sprite* balloon = nullptr;
    HeroAnimation animations[kAnimations + 1]; // [0] unused
    HeroText texts[kTexts + 1];                // [0] and [8] stay empty

    // Key of text n in the language file, or null (text 8 has none).
    static const char* TextKey(int n);
    // Section of DATA\hero.ini for animation n.
    static const char* AnimationSection(int n);

private:
    void show(int textNumber, int animNumber);
    void startAnimation(int animNumber, bool withSound);
    float animationTime(int animNumber) const;
    bool speaking() const;
};

extern Hero TheHero;
