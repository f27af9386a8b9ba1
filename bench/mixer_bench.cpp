// The software mixer: 32 static voices with different volume, pan and frequency plus two
// looping Ogg streams refilled every 50 ms, mixed for 10 s of audio per iteration. The peer is
// the same 10 s with a single voice, so the ratio shows what the full mix costs over the floor.
// The counter cpu_per_audio_s is seconds of CPU per second of audio (0.03 = 3 % of one core).
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "../tests/SOUND/ogg_encode.h"
#include "SOUND/Gsound.h"
#include "SYS/sound_device.h"

namespace {

constexpr int kStepFrames = 2205; // 50 ms, one stream-thread period
constexpr int kAudioSeconds = 10;

void WriteTone(const std::string& path, int channels, int rate, int frames) {
    std::vector<int16_t> pcm(size_t(frames) * channels);
    for (size_t i = 0; i < pcm.size(); ++i) pcm[i] = int16_t((i * 977) % 20000 - 10000);
    std::string file = "RIFF";
    auto put32 = [&](uint32_t v) {
        for (int b = 0; b < 4; ++b) file += char((v >> (8 * b)) & 0xFF);
    };
    auto put16 = [&](uint16_t v) {
        file += char(v & 0xFF);
        file += char(v >> 8);
    };
    uint32_t bytes = uint32_t(pcm.size() * 2);
    put32(36 + bytes);
    file += "WAVEfmt ";
    put32(16);
    put16(1);
    put16(uint16_t(channels));
    put32(uint32_t(rate));
    put32(uint32_t(rate * channels * 2));
    put16(uint16_t(channels * 2));
    put16(16);
    file += "data";
    put32(bytes);
    file.append(reinterpret_cast<const char*>(pcm.data()), bytes);
    FILE* out = std::fopen(path.c_str(), "wb");
    std::fwrite(file.data(), 1, file.size(), out);
    std::fclose(out);
}

// A game folder with the sounds, and a sound system on a manual-clock device.
struct MixScene {
    std::filesystem::path previous = std::filesystem::current_path();
    std::filesystem::path folder;
    std::vector<Sound*> streams;

    explicit MixScene(int voices, bool withStreams) {
        char pattern[] = "/tmp/mixer_bench_XXXXXX";
        folder = mkdtemp(pattern);
        std::filesystem::current_path(folder);
        WriteTone("mono.wav", 1, 22050, 22050);
        WriteTone("stereo.wav", 2, 44100, 44100);
        sys::UseManualSoundClock(true);
        for (int c = 0; c < 3; ++c) SetChannelVolume(1.0f, c);
        SetUpSound(false);
        for (int i = 0; i < voices; ++i) {
            Sound* s = GetSound(i % 2 ? "mono.wav" : "stereo.wav", kChannelEffects);
            s->SetVolume(0.2f + 0.8f * float(i) / float(voices));
            s->SetPan(-1.0f + 2.0f * float(i) / float(voices));
            if (voices > 1) s->SetFrequency(11025 + i * 2000);
            s->Play(true);
        }
        if (withStreams) {
            testkit::EncodeOggTone("a.ogg", 2, 44100, 44100 * 3, 440.0);
            testkit::EncodeOggTone("b.ogg", 2, 32000, 32000 * 2, 220.0);
            for (const char* name : {"a.ogg", "b.ogg"}) {
                Sound* s = LoadSoundFile(name, kChannelMusic);
                s->Play(true);
                streams.push_back(s);
            }
        }
    }
    ~MixScene() {
        ShutDownSound();
        sys::UseManualSoundClock(false);
        std::filesystem::current_path(previous);
        std::filesystem::remove_all(folder);
    }
    void MixTenSeconds(std::vector<int16_t>& out) {
        for (int step = 0; step < kAudioSeconds * sys::kDeviceRate / kStepFrames; ++step) {
            sys::RenderManualSound(out.data(), kStepFrames);
            for (Sound* s : streams) s->StreamStep();
        }
        benchmark::DoNotOptimize(out.data());
    }
};

void Run(benchmark::State& state, int voices, bool withStreams) {
    MixScene scene(voices, withStreams);
    std::vector<int16_t> out(kStepFrames * 2);
    for (auto _ : state) scene.MixTenSeconds(out);
    state.counters["cpu_per_audio_s"] = benchmark::Counter(
        kAudioSeconds, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void BM_Mix32VoicesAndTwoStreams(benchmark::State& state) {
    Run(state, 32, true);
}
void BM_PeerOneVoice(benchmark::State& state) {
    Run(state, 1, false);
}

} // namespace

BENCHMARK(BM_PeerOneVoice)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Mix32VoicesAndTwoStreams)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
