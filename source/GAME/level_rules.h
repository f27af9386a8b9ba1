// The rules a level is built from: the current mode's rule file and the score rules, read with
// limits so that a hand-edited file can make a level dull but never break the game.
#pragma once
#include <cstdint>
#include <string>

#include "GAME/level_params.h"

constexpr const char* kArcadeRules = "DATA\\ArcadeScore.ini";
constexpr const char* kPuzzleRules = "DATA\\PuzzleTime.ini";
constexpr const char* kPanicRules = "DATA\\Panic.ini";

// Limits of values that cannot work. The field must leave room on the screen for the side panels
// and the launcher, and the water line has 256 two-pixel columns.
constexpr int kMaxRowWidth = 15;  // W = 496 pixels
constexpr int kMaxFieldRows = 14; // H = 430 pixels, so the field starts below the screen's top
constexpr int kMaxColours = 8;    // bubble pictures 0..7; 8 brings the greys
constexpr int kMinTimeDown = 1;   // descent time per pixel: zero or less would divide by zero
constexpr float kMinFactor = 0.01f, kMaxFactor = 100.0f;
constexpr int kMaxTargetTerm = 1000000; // AddScore, MulScore
constexpr int kMaxPoints = 32767;       // burst and fall points are 16-bit

// The rule file of mode 0 (arcade), 1 (puzzle) or 2 (panic); any other mode reads arcade's.
const char* RuleFileOf(int mode);
// "0" ... "8" for levels 0 ... 8, "9" for every later level.
std::string LevelSection(int level);
// "easy", "normal", "hard" for difficulty -1, 0, 1.
const char* DifficultyKey(int difficulty);

// The difficulty factor of `difficulty` from the parameters' three factors.
float DifficultyFactor(const LevelParams& params, int difficulty);

// Every parameter of `level` in `mode`; TimeDown is already multiplied by the difficulty factor.
LevelParams ReadLevelParams(int mode, int difficulty, int level);
// TimeDown of `level` again, with the factor of a new difficulty.
int ReadTimeDown(int mode, int difficulty, int level, const LevelParams& params);

// Points per burst bubble (divided by the difficulty factor) and per fallen bubble.
struct ScoreRules {
    int16_t burstPoints = 0;
    int16_t fallPoints = 0;
};
ScoreRules ReadScoreRules(float difficultyFactor);

// Score that ends level `level`: AddScore (L + 1) + MulScore (L + 1)(L + 2) / 2; 0 for level -1.
int64_t LevelTarget(const LevelParams& params, int level);

// Tests: forget which notes were written, so the next bad value writes its note again.
void ForgetRuleNotesForTesting();
