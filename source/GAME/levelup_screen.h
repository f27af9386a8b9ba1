// The level-up screen between two levels: the numbers of the level just won, the bonuses in play
// and the colours of the next level; `ok` starts the next level.
#pragma once
#include <memory>
#include <string>

#include "GAME/Screen.h"

constexpr const char* kLevelUpIni = "DATA\\levelup.ini";
constexpr int kLevelUpIcons = 8;

// "mm:ss" of a time in ms; the minutes wrap at 60.
std::string MinutesSeconds(int ms);

// The colours the level-up screen shows before `level` of `mode`: key `bubble` of the level's
// section in the mode's rule file, at most eight.
int LevelColourCount(int mode, int level);

std::unique_ptr<Screen> MakeLevelUpScreen(int level, int timeSpentMs, int bestShot);
// The level-up screen for `level` replaces every screen.
void OpenLevelUp(int level, int timeSpentMs, int bestShot);
