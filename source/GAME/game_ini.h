// The settings of game.ini section `main` that outlive start-up: read once at start-up, changed by
// the menus, written back at exit. The volumes (keys `sound`, `music`, `ambient`) live in the
// sound channels; `bpp` is read where the display is set up.
#pragma once
#include <string>

extern std::string WinName; // window title and single-instance key (key `name`)
extern int dwPosX, dwPosY;  // window position (keys `x`, `y`)
extern int dwScrX, dwScrY;  // back-buffer and client size (keys `xs`, `ys`)
extern int FullScreen;      // key `FullScreen`
extern int DrawFPS, LogicFPS, ShowFPS;
extern std::string LanguageFile; // key `language`
extern std::string PlayerName;   // key `player`
extern int BubbleSet;            // key `Bubble`
extern float Sensitivity;        // key `Sensitivity`
extern int GameType;             // key `type`
extern int Difficulty;           // key `diff`: -1, 0 or 1

// Reads every key above as it stands in the file (missing keys read as 0 or ""); `diff` is
// limited to -1...1.
void ReadGameIni();
// Writes back, in this order: Bubble, FullScreen, ambient, music, sound, player, Sensitivity,
// type, diff, xs, ys, x, y. The other keys are never written.
void WriteGameIniBack();
