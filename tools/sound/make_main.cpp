// sound_make: makes the game's sound from its sources.
//   sound_make music <song> <sound font> <out.ogg>     a piece of music (mastered, Ogg Vorbis)
//   sound_make ambient <ambient.ini> <out.ogg>         the water ambience
//   sound_make effects <effects.ini> <sound font> <game folder>
//                                                      every effect as DATA/SOUND/<name>.wav and
//                                                      the effect list DATA/sound.ini
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "SYS/profile.h"
#include "ambient.h"
#include "effects.h"
#include "fluid_render.h"
#include "loudness.h"
#include "mastering.h"
#include "song.h"

using namespace soundtools;

namespace {

// Vorbis quality: clear enough for bright instruments, small enough for the download.
constexpr float kMusicQuality = 0.25f;
constexpr float kAmbientQuality = 0.1f;

int Fail(const std::string& what, const std::string& why) {
    std::fprintf(stderr, "sound_make: %s: %s\n", what.c_str(), why.c_str());
    return 1;
}

int MakeMusic(const std::string& songFile, const std::string& soundFont,
              const std::string& outFile) {
    std::ifstream in(songFile);
    if (!in) return Fail(songFile, "cannot be read");
    std::stringstream text;
    text << in.rdbuf();
    Song song;
    std::string error;
    if (!ParseSong(text.str(), song, error)) return Fail(songFile, error);
    Audio audio;
    if (!RenderSong(song, soundFont, audio, error)) return Fail(songFile, error);
    const size_t length = size_t(song.SecondsAt(song.length) * kRate + 0.5);
    if (song.loop)
        FoldTail(audio, length);
    else
        EndWithFade(audio, audio.Frames(), size_t(0.25 * kRate));
    Master(audio, kMusicLoudness, kMusicCeilingDb, song.loop);
    if (!WriteVorbis(outFile, audio, kMusicQuality)) return Fail(outFile, "cannot be written");
    std::printf("%s: %.1f s, %.1f LUFS", outFile.c_str(), audio.Seconds(),
                IntegratedLoudness(audio));
    if (song.loop) std::printf(", seam %.2f before encoding", SeamRoughness(audio));
    std::printf("\n");
    return 0;
}

int MakeAmbientLoop(const std::string& recipe, const std::string& outFile) {
    Audio audio;
    std::string error;
    if (!MakeAmbient(recipe, audio, error)) return Fail(recipe, error);
    Master(audio, kMusicLoudness - kAmbientBelowMusic, kMusicCeilingDb, true);
    if (!WriteVorbis(outFile, audio, kAmbientQuality)) return Fail(outFile, "cannot be written");
    return 0;
}

int MakeEffects(const std::string& recipes, const std::string& soundFont,
                const std::filesystem::path& game) {
    std::filesystem::create_directories(game / "DATA" / "SOUND");
    const std::string list = (game / "DATA" / "sound.ini").string();
    std::filesystem::remove(list);
    std::vector<EffectRecipe> all = ReadRecipes(recipes);
    if (all.empty()) return Fail(recipes, "holds no effects");
    for (const EffectRecipe& recipe : all) {
        Audio audio;
        std::string error;
        if (!MakeEffect(recipes, recipe, soundFont, audio, error))
            return Fail(recipes + " [" + recipe.name + "]", error);
        const std::string file = "DATA\\SOUND\\" + recipe.name + ".wav";
        if (!WriteWave((game / "DATA" / "SOUND" / (recipe.name + ".wav")).string(), audio))
            return Fail(file, "cannot be written");
        char volume[32], pan[32];
        std::snprintf(volume, sizeof volume, "%f", double(recipe.volume));
        std::snprintf(pan, sizeof pan, "%f", double(recipe.pan));
        if (!sys::WritePrivateProfileString(recipe.name.c_str(), "name", file.c_str(),
                                            list.c_str()) ||
            !sys::WritePrivateProfileString(recipe.name.c_str(), "volume", volume, list.c_str()) ||
            !sys::WritePrivateProfileString(recipe.name.c_str(), "pan", pan, list.c_str()))
            return Fail(list, "cannot be written");
    }
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    const std::string mode = argc > 1 ? argv[1] : "";
    if (mode == "music" && argc == 5) return MakeMusic(argv[2], argv[3], argv[4]);
    if (mode == "ambient" && argc == 4) return MakeAmbientLoop(argv[2], argv[3]);
    if (mode == "effects" && argc == 5) return MakeEffects(argv[2], argv[3], argv[4]);
    std::fprintf(stderr, "usage: sound_make music <song> <sound font> <out.ogg>\n"
                         "       sound_make ambient <ambient.ini> <out.ogg>\n"
                         "       sound_make effects <effects.ini> <sound font> <game folder>\n");
    return 2;
}
