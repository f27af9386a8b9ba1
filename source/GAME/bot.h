// A simple player for measuring the balance of the rule files and the speed of play: when it may
// fire it tries angles across the whole range, follows each with the flight rule, and takes the
// one whose landing bursts or drops the most. Not a feature for players.
#pragma once
#include "GAME/play_state.h"

constexpr float kBotAngleStep = 0.01f;

// No shot in flight, the level in its active phase and the cooldown over.
bool BotMayFire(const PlayState& play);

struct BotChoice {
    float angle = 0;
    Cell landing{0, 0};
    int gain = 0; // bubbles burst and dropped by the shot
};
// The best angle for the Loaded bubble: the largest burst plus drop; ties go to the highest
// landing row (the smallest row number), which keeps the field away from the danger line.
BotChoice ChooseGreedyShot(const PlayState& play);
