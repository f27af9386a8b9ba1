// Drawing of the field's records and of the launcher into the back buffer.
#pragma once
#include <string>

#include "GAME/play_state.h"

class Sprite;

// The pictures of the field and the launcher; each held sprite carries one reference.
struct FieldSprites {
    Sprite* table[kSpriteCount] = {}; // by colour, bonus kind or debris kind
    Sprite* ice = nullptr;
    Sprite* gun[8] = {}; // 8-frame strips over 500 ms
    Sprite* weapon[8] = {};

    FieldSprites() = default;
    FieldSprites(const FieldSprites&) = delete;
    FieldSprites& operator=(const FieldSprites&) = delete;
    ~FieldSprites() { Release(); }

    // `bubbleSet` is the folder of the chosen bubble set ("DATA\<name>.BUBBLE").
    void Load(const std::string& bubbleSet);
    // The eight bubble sprites of another set.
    void LoadBubbleSet(const std::string& bubbleSet);
    void Release();
};

// One record at `scale` (1/256 units; debris uses its own size instead).
void DrawBubble(const PlayState& play, const FieldSprites& sprites, const Bubble& record,
                int scale);
// Every record except the Loaded and Next bubbles, in list order, at natural size.
void DrawRecords(const PlayState& play, const FieldSprites& sprites);
// The dotted path of the help bonus and the landing cell, while the guide is on and not won.
void DrawAimGuide(const PlayState& play, const FieldSprites& sprites);
// The weapon, the growing Loaded bubble and the turned gun.
void DrawLauncher(const PlayState& play, const FieldSprites& sprites);
void DrawNextBubble(const PlayState& play, const FieldSprites& sprites);
// Size of the queue bubbles while they grow after a shot, 1/256 units.
int QueueScale(const PlayState& play);
