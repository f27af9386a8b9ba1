// Sound being made or checked: float samples in -1 ... 1, interleaved by channel.
#pragma once
#include <cstddef>
#include <string>
#include <vector>

namespace soundtools {

constexpr int kRate = 44100; // the device's rate; every file we make uses it

struct Audio {
    int rate = kRate;
    int channels = 1;
    std::vector<float> samples;

    size_t Frames() const { return channels > 0 ? samples.size() / size_t(channels) : 0; }
    double Seconds() const { return double(Frames()) / rate; }
    float& At(size_t frame, int channel) {
        return samples[frame * size_t(channels) + size_t(channel)];
    }
    float At(size_t frame, int channel) const {
        return samples[frame * size_t(channels) + size_t(channel)];
    }
};

// Largest absolute sample.
float Peak(const Audio& audio);
void Scale(Audio& audio, float gain);
double ToDecibels(double linear);
double FromDecibels(double db);

// Writes a 16-bit PCM wave file (samples beyond full scale are clamped). False on failure.
bool WriteWave(const std::string& path, const Audio& audio);
// Encodes Ogg Vorbis at the given VBR quality (-0.1 ... 1). False on failure.
bool WriteVorbis(const std::string& path, const Audio& audio, float quality);
// Decodes a .wav or .ogg through the game's own readers; false (and a message in `error`)
// when the file does not open or holds something other than 16-bit PCM.
bool ReadSound(const std::string& path, Audio& audio, std::string& error);

} // namespace soundtools
