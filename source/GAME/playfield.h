// The playfield of one level: the list of bubble records on a hexagonal lattice of 32-pixel
// bubbles, the ceiling that creeps down, the two random generators and the colour choice.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

#include "GAME/level_params.h"
#include "SYS/crt_rand.h"

enum BubbleState : uint8_t { Settled = 0, Flying = 1, Loaded = 2, Next = 3, Falling = 4 };

// Colours 0..6 are plain, 7 grey, 8..17 two-colour; 25..27 are debris kinds.
constexpr int kGrey = 7;
constexpr int kFirstTwoColour = 8;
constexpr int kLastTwoColour = 17;
constexpr int kDebrisBurst = 25;
constexpr int kDebrisSmall = 26;
constexpr int kDebrisSnowflake = 27;
constexpr int kSpriteCount = 28; // colours, bonus icons and debris share one table

// Bubbles, falling bubbles and debris are all records of one list.
struct Bubble {
    float x = 0, y = 0;   // centre, relative to the field origin (y grows downwards)
    float vx = 0, vy = 0; // pixels per second while falling; direction while flying
    float ax = 0, ay = 0; // pixels per second squared (falling records)
    int32_t life = -1;    // ms left; -1 never expires
    int8_t colour = 0;
    int8_t special = 0; // 0 or a bonus kind 17..24
    uint8_t size = 64;  // drawing size of debris, 64 = natural
    uint8_t marks = 0;  // scratch bits of the group searches
    uint8_t state = Settled;
};

// Insertion order never changes: scans run from the first record, burst removal from the last.
using BubbleList = std::vector<Bubble>;
constexpr size_t kInitialCapacity = 3000;

constexpr float kRowPitch = 27.712f;
constexpr float kInvRowPitch = 0.03608545f;
constexpr float kNearSquared = 341.33304f; // (32 / sqrt 3)^2: a cell counts as taken
constexpr float kLineAddTrigger = -13.856f;

struct KeyPair {
    int first, second;
};
// The two matching keys of a colour; colours outside 0..17 match only themselves.
KeyPair KeysOf(int colour);

struct Cell {
    int row, col;
};

struct Playfield {
    LevelParams params;
    BubbleList list;
    int W = 0, H = 0;             // field size in pixels
    int originX = 0, originY = 0; // field origin on the 640x480 screen
    int gunX = 0, gunY = 0;       // launcher, field-relative
    float nextX = 0, nextY = 0;   // where the Next bubble waits, field-relative
    float ceiling = 0;
    int oddFactor = 1, evenFactor = 2; // row shifts in units of 16 pixels
    float carry = 0;                   // shiftDown's fraction of a pixel not yet moved
    sys::CrtRandom genA;               // rows, colours, bonuses
    sys::CrtRandom genB;               // debris and falling velocities
    // The record the per-tick update is at; removals below it move it down, so the update
    // neither skips nor repeats a record when a burst closes gaps.
    size_t cursor = 0;

    // Geometry from the parameters, the generators seeded (B with 125423), the ceiling at 0,
    // the row factors (1, 2) and the initial `depth` rows.
    void Setup(const LevelParams& rules, uint32_t seedA);

    // n * value / 32768 of generator A or B.
    int RandA(int n);
    int RandB(int n);

    int FactorOf(int row) const { return (row & 1) ? oddFactor : evenFactor; }
    void SwapFactors();
    float RowY(int row) const { return float(row) * kRowPitch + ceiling + 16.0f; }
    int RowOf(float y) const;
    Cell CellOf(float x, float y) const;
    void CellCentre(Cell cell, float& x, float& y) const;

    void GenerateRow(int row);
    // Index of the first Settled bubble within sqrt(1024/3) pixels of (x, y), or -1.
    int OccupantNear(float x, float y) const;
    // Rows down to the lowest Settled bubble, 0 when there is none.
    int LowestRowCount() const;
    // Moves every Settled bubble by whole pixels, carrying the fraction to the next call.
    void ShiftDown(float dy);
    int ChooseColour();
    int ChooseTwoColour();
    // One tick of ceiling descent (with line adding) while the level is active and not frozen.
    void Descend(float dt);
    void RemoveAboveCeiling();
    // Removes one record, closing the gap.
    void Erase(size_t index);
    bool HasGrey() const;

    int FindState(uint8_t state) const; // first record in that state, or -1
    bool Available(int colour, const int (&keyCount)[8]) const;
    void CountKeys(int (&keyCount)[8]) const;
};
