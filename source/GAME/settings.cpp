#include "GAME/settings.h"

#include <cstdio>
#include <cstdlib>
#include <strings.h>

#include "SYS/profile.h"
#include "SYS/files.h"

namespace {

char g_iniBuffer[kIniBufferSize];
std::vector<std::string> g_bubbleSets;

// File names are taken relative to the current folder, at most 260 characters like MAX_PATH.
std::string FullIniPath(const char* file) {
    std::string full = sys::GetCurrentFolder() + "/" + sys::ResolvePath(file);
    if (full.size() > 259) full.resize(259);
    return full;
}

} // namespace

const char* GetIniString(const char* file, const char* section, const char* key) {
    g_iniBuffer[0] = '\0';
    sys::GetPrivateProfileString(section, key, "", g_iniBuffer, sizeof g_iniBuffer,
                                 FullIniPath(file).c_str());
    return g_iniBuffer;
}

int GetIniInt(const char* file, const char* section, const char* key) {
    return std::atoi(GetIniString(file, section, key));
}

float GetIniFloat(const char* file, const char* section, const char* key) {
    return float(std::atof(GetIniString(file, section, key)));
}

void ReadIniString(std::string& target, const char* file, const char* section, const char* key) {
    target = GetIniString(file, section, key);
}

void WriteIniString(const char* file, const char* section, const char* key, const char* text) {
    sys::WritePrivateProfileString(section, key, text, FullIniPath(file).c_str());
}

void WriteIniInt(const char* file, const char* section, const char* key, int value) {
    char text[32];
    std::snprintf(text, sizeof text, "%d", value);
    WriteIniString(file, section, key, text);
}

void WriteIniFloat(const char* file, const char* section, const char* key, float value) {
    char text[64];
    std::snprintf(text, sizeof text, "%f", double(value));
    WriteIniString(file, section, key, text);
}

const std::vector<std::string>& BubbleSets() { return g_bubbleSets; }

void ScanBubbleSets() {
    g_bubbleSets.clear();
    for (const std::string& name : sys::FindFiles("DATA\\*.BUBBLE")) {
        if (strcasecmp(name.c_str(), "..") == 0) continue;
        g_bubbleSets.push_back("DATA\\" + name);
    }
}
