// The launcher: aiming, the two-bubble shot queue, firing and the pixel-by-pixel flight of a
// shot with its wall bounces, until it sticks to the field and is snapped onto the lattice.
#pragma once
#include <cstddef>
#include <functional>

#include "GAME/play_state.h"

constexpr float kAngleLimit = 1.4222223f;
constexpr float kTurnUnit = 0.017444445f;
constexpr float kKeyTurnFactor = 0.7f;

// Actions of the key bindings that the game screen handles.
constexpr int kActionTurnLeft = 1;
constexpr int kActionTurnRight = 2;
constexpr int kActionShoot = 3;
constexpr int kActionSwap = 4;

void Turn(PlayState& play, float amount);
// A key or button action with its strength; ignored once the level is won or lost.
void HandleAction(PlayState& play, int action, int strength);
void Fire(PlayState& play);
void Swap(PlayState& play);
// Advances the queue by one bubble; returns the bonus kind of the bubble that was fired (0 if
// none).
int LoadQueue(PlayState& play);

// One tick of the Flying record at `index`; when it sticks, the matching of the settled shot
// runs at once (records may then be removed or added).
void TickFlight(PlayState& play, size_t index, float dt);
// The per-tick update of every record, from the last to the first: ageing, flight and falling.
void AdvanceRecords(PlayState& play, float dt);
// The aiming guide's replay of the flight rule from the launcher at `angle`, one pixel per step:
// `step` (optional) sees the point after every step; returns the cell the shot would settle in.
Cell GuideLanding(const PlayState& play, float angle,
                  const std::function<void(float x, float y)>& step = {});
// Landing ring growth of one tick.
void AdvanceRing(PlayState& play, float dt);
