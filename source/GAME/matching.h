// What a settled shot does: its colour groups burst, bubbles that no longer hang from the
// ceiling fall, the shot is scored; and the motion of every falling record and of the debris.
#pragma once
#include <cstddef>

#include "GAME/play_state.h"

// The sequence for the bubble at `index` that has just settled.
void OnSettled(PlayState& play, size_t index);
// One tick of the Falling record at `index` (a falling bubble or debris); it may be removed.
void TickFalling(PlayState& play, size_t index, float dt);
// base + rnd(r * extra / 32767) debris records of `kind` around (x, y), sizes sizeBase +
// rand(sizeRange).
void SpawnDebris(PlayState& play, float x, float y, int base, int extra, int kind, int sizeBase,
                 int sizeRange);
// Marks `index` and its group by `key` with `bit`; returns how many others it marked.
int SearchGroup(Playfield& field, size_t index, int key, uint8_t bit);
