// INI access for the whole game and the bubble-set list. Every INI file name is relative to the
// current folder (the game folder). Missing files and keys read as "", 0 or 0.0.
#pragma once
#include <string>
#include <vector>

// Fixed file names.
constexpr const char* kGameIni = "game.ini";
constexpr const char* kControlsIni = "controls.ini";
constexpr const char* kDefaultControlsIni = "DATA\\controls.ini";
constexpr const char* kHighscoreIni = "highscore.ini";
constexpr const char* kErrorLogFile = "gerr.log";
constexpr const char* kMainMenuIni = "DATA\\main.ini";
constexpr const char* kOptionIni = "DATA\\option.ini";
constexpr const char* kHelpIni = "DATA\\help.ini";
constexpr const char* kScoreIni = "DATA\\score.ini";
constexpr const char* kInGameMenuIni = "DATA\\menu.ini";
constexpr const char* kNameIni = "DATA\\name.ini";
constexpr const char* kSoundIni = "DATA\\sound.ini";
constexpr const char* kLoadingIni = "DATA\\first.ini";
constexpr const char* kMenuFontFile = "DATA\\FontMenu.tga";

constexpr int kIniBufferSize = 1024;

// Reads into the shared 1024-character buffer and returns it; valid until the next read.
const char* GetIniString(const char* file, const char* section, const char* key);
int GetIniInt(const char* file, const char* section, const char* key);
float GetIniFloat(const char* file, const char* section, const char* key);
// Replaces `target` by a copy of the value.
void ReadIniString(std::string& target, const char* file, const char* section, const char* key);

void WriteIniString(const char* file, const char* section, const char* key, const char* text);
void WriteIniInt(const char* file, const char* section, const char* key, int value);     // "%d"
void WriteIniFloat(const char* file, const char* section, const char* key, float value); // "%f"

// The bubble sets: "DATA\<name>" for every entry of DATA matching *.BUBBLE, sorted ignoring case.
const std::vector<std::string>& BubbleSets();
void ScanBubbleSets();
