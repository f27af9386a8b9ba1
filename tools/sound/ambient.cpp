#include "ambient.h"

#include <cmath>
#include <cstdlib>
#include <vector>

#include "SYS/profile.h"
#include "dsp.h"

namespace soundtools {

namespace {

double Number(const std::string& file, const char* key, double fallback) {
    char value[256];
    sys::GetPrivateProfileString("ambient", key, "", value, sizeof value, file.c_str());
    return value[0] ? std::atof(value) : fallback;
}

// Filtered noise that repeats exactly every `frames`: the filter runs over the ring twice and
// keeps the second lap, by when it has forgotten where it started.
std::vector<float> RingNoise(size_t frames, uint32_t seed, Filter::Shape shape, double hz, double q,
                             int stages) {
    Noise noise(seed);
    std::vector<float> white(frames), out(frames);
    for (float& s : white) s = noise.Next();
    std::vector<Filter> filters(static_cast<size_t>(stages));
    for (Filter& f : filters) f.Set(shape, hz, q, kRate);
    for (int lap = 0; lap < 2; ++lap)
        for (size_t i = 0; i < frames; ++i) {
            float s = white[i];
            for (Filter& f : filters) s = f.Run(s);
            out[i] = s;
        }
    return out;
}

} // namespace

bool MakeAmbient(const std::string& file, Audio& out, std::string& error) {
    const double seconds = Number(file, "seconds", 64);
    if (seconds < 4) {
        error = "the ambient loop must last at least 4 seconds";
        return false;
    }
    const size_t n = size_t(seconds * kRate);
    out = Audio();
    out.channels = 2;
    out.samples.assign(n * 2, 0.0f);
    // Whole cycles per loop, so every slow change meets itself at the seam.
    const double swells = std::round(Number(file, "swells", 5));
    const double swellDepth = Number(file, "swell_depth", 0.25);
    struct Band {
        Filter::Shape shape;
        const char* hzKey;
        double hz;
        const char* gainKey;
        double gain;
    };
    const Band bands[] = {{Filter::kLowPass, "fall_hz", 900, "fall_gain", 1.0},
                          {Filter::kLowPass, "rumble_hz", 120, "rumble_gain", 1.2},
                          {Filter::kBandPass, "spray_hz", 3200, "spray_gain", 0.12}};
    for (int c = 0; c < 2; ++c) {
        int bandIndex = 0;
        for (const Band& b : bands) {
            ++bandIndex;
            std::vector<float> layer =
                RingNoise(n, uint32_t(1000 * bandIndex + c * 17 + 3), b.shape,
                          Number(file, b.hzKey, b.hz), b.shape == Filter::kBandPass ? 0.8 : 0.6, 2);
            const double gain = Number(file, b.gainKey, b.gain);
            const double offset =
                (c + bandIndex) * 1.7; // the swell drifts between channels and bands
            for (size_t i = 0; i < n; ++i) {
                double swell =
                    1.0 + swellDepth * std::sin(2 * M_PI * swells * double(i) / double(n) + offset);
                out.At(i, c) += float(gain * swell * layer[i]);
            }
        }
    }
    // Bubbles: short rising chirps scattered over the ring, each placed left or right.
    Noise placement(99);
    const int bubbles = int(Number(file, "bubbles", 50));
    const double low = Number(file, "bubble_low", 300), high = Number(file, "bubble_high", 1300);
    const double bubbleGain = Number(file, "bubble_gain", 0.05);
    for (int b = 0; b < bubbles; ++b) {
        const size_t start = size_t(placement.Uniform() * double(n));
        const double hz = low * std::pow(high / low, placement.Uniform());
        const double length = 0.025 + 0.05 * placement.Uniform();
        const double pan = placement.Uniform();
        const double level = bubbleGain * (0.4 + 0.6 * placement.Uniform());
        const size_t frames = size_t(length * kRate);
        double phase = 0;
        for (size_t i = 0; i < frames; ++i) {
            const double t = double(i) / kRate, x = t / length;
            phase += 2 * M_PI * hz * (1.0 + 1.5 * x * x) / kRate;
            const double s = level * std::sin(phase) * Envelope(t, 0.003, 0, length, false);
            const size_t at = (start + i) % n;
            out.At(at, 0) += float(s * (1 - pan));
            out.At(at, 1) += float(s * pan);
        }
    }
    return true;
}

} // namespace soundtools
