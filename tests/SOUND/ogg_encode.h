// Writes small Ogg Vorbis files for tests and benchmarks: a tone of a given pitch, encoded by the
// same encoder the build's sound tools use.
#pragma once
#include <cmath>
#include <filesystem>
#include <string>

#include "audio.h"

namespace testkit {

// `frames` frames of a sine tone of `hz` Hz at amplitude 0.5 in every channel. False on failure.
inline bool EncodeOggTone(const std::string& path, int channels, long rate, long frames,
                          double hz) {
    std::filesystem::path parent = std::filesystem::path(path).parent_path();
    if (!parent.empty()) std::filesystem::create_directories(parent);
    soundtools::Audio tone;
    tone.rate = int(rate);
    tone.channels = channels;
    tone.samples.resize(size_t(frames) * size_t(channels));
    for (long i = 0; i < frames; ++i)
        for (int c = 0; c < channels; ++c)
            tone.At(size_t(i), c) =
                float(0.5 * std::sin(2.0 * M_PI * hz * double(i) / double(rate)));
    return soundtools::WriteVorbis(path, tone, 0.1f);
}

} // namespace testkit
