#include "GAME/game_ini.h"

#include "BASE/settings.h"
#include "SOUND/Gsound.h"

std::string WinName;
int dwPosX = 0, dwPosY = 0;
int dwScrX = 0, dwScrY = 0;
int FullScreen = 0;
int DrawFPS = 0, LogicFPS = 0, ShowFPS = 0;
std::string LanguageFile;
std::string PlayerName;
int BubbleSet = 0;
float Sensitivity = 0.0f;
int GameType = 0;
int Difficulty = 0;

namespace {

constexpr const char* kMain = "main";

int ClampDifficulty(int diff) {
    return diff < -1 ? -1 : diff > 1 ? 1 : diff;
}

} // namespace

void ReadGameIni() {
    ReadIniString(LanguageFile, kGameIni, kMain, "language");
    BubbleSet = GetIniInt(kGameIni, kMain, "Bubble");
    ReadIniString(PlayerName, kGameIni, kMain, "player");
    Sensitivity = GetIniFloat(kGameIni, kMain, "Sensitivity");
    GameType = GetIniInt(kGameIni, kMain, "type");
    Difficulty = ClampDifficulty(GetIniInt(kGameIni, kMain, "diff"));
    dwPosX = GetIniInt(kGameIni, kMain, "x");
    dwPosY = GetIniInt(kGameIni, kMain, "y");
    dwScrX = GetIniInt(kGameIni, kMain, "xs");
    dwScrY = GetIniInt(kGameIni, kMain, "ys");
    FullScreen = GetIniInt(kGameIni, kMain, "FullScreen");
    ReadIniString(WinName, kGameIni, kMain, "name");
    DrawFPS = GetIniInt(kGameIni, kMain, "DrawFPS");
    LogicFPS = GetIniInt(kGameIni, kMain, "LogicFPS");
    ShowFPS = GetIniInt(kGameIni, kMain, "ShowFPS");
}

void WriteGameIniBack() {
    WriteIniInt(kGameIni, kMain, "Bubble", BubbleSet);
    WriteIniInt(kGameIni, kMain, "FullScreen", FullScreen);
    WriteIniFloat(kGameIni, kMain, "ambient", GetChannelVolume(2));
    WriteIniFloat(kGameIni, kMain, "music", GetChannelVolume(1));
    WriteIniFloat(kGameIni, kMain, "sound", GetChannelVolume(0));
    WriteIniString(kGameIni, kMain, "player", PlayerName.c_str());
    WriteIniFloat(kGameIni, kMain, "Sensitivity", Sensitivity);
    WriteIniInt(kGameIni, kMain, "type", GameType);
    WriteIniInt(kGameIni, kMain, "diff", Difficulty);
    WriteIniInt(kGameIni, kMain, "xs", dwScrX);
    WriteIniInt(kGameIni, kMain, "ys", dwScrY);
    WriteIniInt(kGameIni, kMain, "x", dwPosX);
    WriteIniInt(kGameIni, kMain, "y", dwPosY);
}
