// sound_check: fails the build when the game's sound breaks a rule.
//   sound_check <game folder> <played names> <kind>=<file> ...
// <played names> lists, one a line, the effect names the game and the hero play by name (lines
// starting with '#' are comments); the names the screen descriptions play (sndNormalActive,
// sndActivePress in DATA/*.ini) are added to them. Every such name must be a section of
// DATA/sound.ini whose file decodes as an effect: 44.1 kHz, peaking at -1 dBFS at most and not
// silent. Each <kind>=<file> is a piece of music: "loop" or "once" at the music's loudness,
// "ambient" (a loop) at the ambient's; a loop lasts 60 s at least and joins its end to its start
// without a click. DATA/SOUND must stay under 15 MB.
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <strings.h>
#include <vector>

#include "SYS/profile.h"
#include "audio.h"
#include "loudness.h"
#include "mastering.h"

using namespace soundtools;
namespace fs = std::filesystem;

namespace {

constexpr double kMinimumLoopSeconds = 60.0;
constexpr double kSilentPeakDb = -40.0;
constexpr uintmax_t kSoundFolderLimit = 15u * 1024 * 1024;
constexpr size_t kSectionNamesLimit = 4096; // what the game reads the section names into

int g_failures = 0;

void Report(const std::string& what, const std::string& why) {
    std::fprintf(stderr, "sound_check: %s: %s\n", what.c_str(), why.c_str());
    ++g_failures;
}

std::vector<std::string> Names(const char* section, const std::string& file) {
    std::vector<char> buffer(65536);
    size_t length = sys::GetPrivateProfileString(section, nullptr, "", buffer.data(), buffer.size(),
                                                 file.c_str());
    std::vector<std::string> names;
    for (size_t at = 0; at < length && buffer[at];) {
        names.emplace_back(buffer.data() + at);
        at += names.back().size() + 1;
    }
    return names;
}

std::string Value(const std::string& section, const char* key, const std::string& file) {
    char value[1024];
    sys::GetPrivateProfileString(section.c_str(), key, "", value, sizeof value, file.c_str());
    return value;
}

// What the game plays by name: the listed names and every widget sound of the screens.
std::set<std::string> PlayedNames(const fs::path& game, const std::string& listFile) {
    std::set<std::string> names;
    std::ifstream list(listFile);
    if (!list) Report(listFile, "cannot be read");
    for (std::string line; std::getline(list, line);) {
        while (!line.empty() && (line.back() == '\r' || line.back() == ' ')) line.pop_back();
        if (!line.empty() && line[0] != '#') names.insert(line);
    }
    for (const auto& entry : fs::directory_iterator(game / "DATA")) {
        if (entry.path().extension() != ".ini" || entry.path().filename() == "sound.ini") continue;
        const std::string file = entry.path().string();
        for (const std::string& section : Names(nullptr, file))
            for (const char* key : {"sndNormalActive", "sndActivePress"}) {
                std::string name = Value(section, key, file);
                if (!name.empty()) names.insert(name);
            }
    }
    return names;
}

bool Decode(const fs::path& game, const std::string& windowsName, Audio& audio) {
    std::string error;
    std::string path = windowsName;
    for (char& c : path)
        if (c == '\\') c = '/';
    if (!ReadSound((game / path).string(), audio, error)) {
        Report(windowsName, error);
        return false;
    }
    if (audio.rate != kRate) {
        Report(windowsName, "plays at " + std::to_string(audio.rate) + " Hz, not 44100");
        return false;
    }
    return true;
}

void CheckEffects(const fs::path& game, const std::string& listFile) {
    const std::string soundIni = (game / "DATA" / "sound.ini").string();
    std::vector<std::string> sections = Names(nullptr, soundIni);
    size_t bytes = 1;
    for (const std::string& s : sections) bytes += s.size() + 1;
    if (bytes > kSectionNamesLimit)
        Report(soundIni, "its section names do not fit the game's 4096 bytes");
    for (const std::string& name : PlayedNames(game, listFile)) {
        bool found = false;
        for (const std::string& s : sections)
            found = found || strcasecmp(s.c_str(), name.c_str()) == 0;
        if (!found) Report(name, "the game plays it, but DATA\\sound.ini has no section for it");
    }
    for (const std::string& section : sections) {
        const std::string file = Value(section, "name", soundIni);
        if (std::atof(Value(section, "volume", soundIni).c_str()) <= 0.0)
            Report(section, "has no volume, so the game would play it silently");
        Audio audio;
        if (!Decode(game, file, audio)) continue;
        const double peak = ToDecibels(Peak(audio));
        if (peak > kEffectCeilingDb + 0.01)
            Report(file, "peaks at " + std::to_string(peak) + " dBFS");
        if (peak < kSilentPeakDb) Report(file, "is silent");
    }
}

void CheckMusic(const fs::path& game, const std::string& kind, const std::string& file) {
    Audio audio;
    if (!Decode(game, file, audio)) return;
    const bool loop = kind != "once";
    const double target = kind == "ambient" ? kMusicLoudness - kAmbientBelowMusic : kMusicLoudness;
    const double loudness = IntegratedLoudness(audio);
    if (std::fabs(loudness - target) > kLoudnessTolerance)
        Report(file, "plays at " + std::to_string(loudness) + " LUFS, not " +
                         std::to_string(target) + " ± 1");
    if (Peak(audio) >= 0.999f) Report(file, "clips");
    if (!loop) return;
    if (audio.Seconds() < kMinimumLoopSeconds)
        Report(file, "repeats after " + std::to_string(audio.Seconds()) + " s, under a minute");
    const double seam = SeamRoughness(audio);
    if (seam >= 1.0)
        Report(file, "clicks where the loop starts again (roughness " + std::to_string(seam) + ")");
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(
            stderr,
            "usage: sound_check <game folder> <played names> <loop|once|ambient>=<file> ...\n");
        return 2;
    }
    const fs::path game = argv[1];
    CheckEffects(game, argv[2]);
    for (int i = 3; i < argc; ++i) {
        std::string arg = argv[i];
        size_t eq = arg.find('=');
        std::string kind = arg.substr(0, eq);
        if (eq == std::string::npos || (kind != "loop" && kind != "once" && kind != "ambient")) {
            Report(arg, "is not <loop|once|ambient>=<file>");
            continue;
        }
        CheckMusic(game, kind, arg.substr(eq + 1));
    }
    uintmax_t total = 0;
    std::error_code ec;
    for (const auto& entry : fs::recursive_directory_iterator(game / "DATA" / "SOUND", ec))
        if (entry.is_regular_file()) total += entry.file_size();
    if (ec) Report("DATA\\SOUND", "cannot be listed");
    if (total >= kSoundFolderLimit)
        Report("DATA\\SOUND", "holds " + std::to_string(total) + " bytes, over 15 MB");
    return g_failures ? 1 : 0;
}
