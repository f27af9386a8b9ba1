// Bonus bubbles: which kind a queue bubble gets, what each kind does when it bursts, and the
// freeze that stops the ceiling.
#pragma once
#include <cstddef>

#include "GAME/play_state.h"

constexpr int kBonusTwoColour = 17;
constexpr int kBonusX2 = 18;
constexpr int kBonusHelp = 19;
constexpr int kBonusUp = 20;
constexpr int kBonusFreeze = 21;
constexpr int kBonusX3 = 22;
constexpr int kBonusBomb = 23;
constexpr int kBonusRot = 24;

// The per-burst aiming-guide decision before any bonus has spoken.
constexpr int kGuideUnset = -1;

// The kind for a bonus bubble of the queue (generator A).
int ChooseBonus(PlayState& play);
// The effect of the bursting bonus bubble at `index`; x2 and x3 multiply `multiplier`, and the
// guide decision of the burst is kept in `guide`.
void ApplyBonus(PlayState& play, size_t index, int& multiplier, int& guide);
// The whole field one row pitch up.
void MoveFieldUp(PlayState& play);
// Replaces the ceiling descent while the freeze runs: the end sound and the countdown.
void FreezeTick(PlayState& play, float dt);
