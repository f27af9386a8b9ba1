// High scores: ten rows per game mode in highscore.ini, the table screen, its clear
// confirmation and the name entry at the end of a game.
#pragma once
#include <array>
#include <memory>
#include <string>

#include "GAME/Screen.h"

constexpr int kHighscoreRows = 10;

struct HighscoreRow {
    std::string name;
    int value = 0;     // score, or play time in ms in the puzzle table
    bool empty = true; // the value was empty or missing
};

// "name,number" (spaces before the number skipped, only its leading digits count); a value
// without comma is a name with 0; an empty value is an empty row.
HighscoreRow ParseHighscoreRow(const std::string& text);
// "name, number": the form the game writes.
std::string FormatHighscoreRow(const std::string& name, int value);

// The section of a game mode: "arcade", "puzzle" or "panic"; any other mode number reads as arcade.
const char* HighscoreSection(int mode);
// The puzzle table ranks by play time, lower is better; the others by score.
bool RanksByTime(int mode);

std::array<HighscoreRow, kHighscoreRows> ReadHighscoreTable(int mode);
// Row 9's number is less than the score (an empty row counts as 0).
bool ScoreEntersTable(int mode, int score);
// Inserts `value` for `name` below every row that is at least as good; the rows below move down
// and the last drops out. Returns the row that received it, or -1 when none did.
int InsertHighscore(int mode, const std::string& name, int value);
// Writes keys "0" ... "9" of the mode's section with empty values.
void ClearHighscoreTable(int mode);

// The table of `mode`, with row `highlight` marked (-1: none).
std::unique_ptr<Screen> MakeHighscoreScreen(int mode, int highlight);
std::unique_ptr<Screen> MakeClearConfirmation();
// The name entry for the current game's result.
std::unique_ptr<Screen> MakeNameEntry();
