#include "mastering.h"

#include <algorithm>
#include <cmath>
#include <deque>

#include "loudness.h"

namespace soundtools {

void FoldTail(Audio& audio, size_t loopFrames) {
    const size_t frames = audio.Frames();
    for (size_t i = loopFrames; i < frames; ++i)
        for (int c = 0; c < audio.channels; ++c)
            audio.At((i - loopFrames) % loopFrames, c) += audio.At(i, c);
    audio.samples.resize(std::min(frames, loopFrames) * size_t(audio.channels));
}

void EndWithFade(Audio& audio, size_t frames, size_t fadeFrames) {
    frames = std::min(frames, audio.Frames());
    audio.samples.resize(frames * size_t(audio.channels));
    fadeFrames = std::min(fadeFrames, frames);
    for (size_t i = 0; i < fadeFrames; ++i) {
        double x = double(i + 1) / double(fadeFrames); // 1 at the last frame
        float g = float(0.5 + 0.5 * std::cos(M_PI * x));
        for (int c = 0; c < audio.channels; ++c) audio.At(frames - fadeFrames + i, c) *= g;
    }
}

namespace {

// `values` widened by `pad` on both sides: the ring continued for a loop, 1 (no reduction)
// beyond the ends of a one-shot.
std::vector<float> Padded(const std::vector<float>& values, size_t pad, bool loop) {
    const size_t n = values.size();
    std::vector<float> out(n + 2 * pad, 1.0f);
    for (size_t i = 0; i < out.size(); ++i) {
        long at = long(i) - long(pad);
        if (loop)
            out[i] = values[size_t((at % long(n) + long(n)) % long(n))];
        else if (at >= 0 && at < long(n))
            out[i] = values[size_t(at)];
    }
    return out;
}

// The smallest value within `radius` of every position.
std::vector<float> SlidingMinimum(const std::vector<float>& values, size_t radius, bool loop) {
    std::vector<float> ext = Padded(values, radius, loop);
    std::vector<float> out(values.size());
    std::deque<size_t> window; // indices into ext with increasing values
    for (size_t i = 0; i < ext.size(); ++i) {
        while (!window.empty() && ext[window.back()] >= ext[i]) window.pop_back();
        window.push_back(i);
        if (i < 2 * radius) continue;
        while (window.front() + 2 * radius < i) window.pop_front();
        out[i - 2 * radius] = ext[window.front()];
    }
    return out;
}

// The mean within `radius` of every position.
std::vector<float> SlidingMean(const std::vector<float>& values, size_t radius, bool loop) {
    std::vector<float> ext = Padded(values, radius, loop);
    std::vector<float> out(values.size());
    double sum = 0;
    const size_t width = 2 * radius + 1;
    for (size_t i = 0; i < ext.size(); ++i) {
        sum += ext[i];
        if (i >= width) sum -= ext[i - width];
        if (i + 1 >= width) out[i + 1 - width] = float(sum / double(width));
    }
    return out;
}

} // namespace

void LimitPeaks(Audio& audio, double ceilingDb, bool loop) {
    const size_t n = audio.Frames();
    if (n == 0) return;
    const float ceiling = float(FromDecibels(ceilingDb));
    const size_t radius = size_t(audio.rate * 0.003);
    // The gain each frame needs on its own.
    std::vector<float> need(n);
    for (size_t i = 0; i < n; ++i) {
        float peak = 0;
        for (int c = 0; c < audio.channels; ++c) peak = std::max(peak, std::fabs(audio.At(i, c)));
        need[i] = peak > ceiling ? ceiling / peak : 1.0f;
    }
    // The minimum over twice the radius, averaged over the radius, stays at or under what each
    // frame needs while it glides into and out of every reduction.
    std::vector<float> gain = SlidingMean(SlidingMinimum(need, 2 * radius, loop), radius, loop);
    // A slow recovery after loud passages keeps the reduction from pumping; a ring takes two
    // laps so its end leads smoothly into its start.
    const float release = float(1.0 - std::exp(-1.0 / (audio.rate * 0.12)));
    float held = 1.0f;
    for (size_t lap = 0; lap < (loop ? 2u : 1u); ++lap)
        for (size_t i = 0; i < n; ++i) {
            held = std::min(gain[i], held + (gain[i] - held) * release);
            if (lap == (loop ? 1u : 0u)) gain[i] = held;
        }
    for (size_t i = 0; i < n; ++i)
        for (int c = 0; c < audio.channels; ++c)
            audio.At(i, c) = std::clamp(audio.At(i, c) * gain[i], -ceiling, ceiling);
}

void Master(Audio& audio, double targetLufs, double ceilingDb, bool loop) {
    // Limiting takes off a little loudness, so the gain is found again from the unlimited
    // sound until the limited result meets the target.
    const Audio raw = audio;
    const double start = IntegratedLoudness(raw);
    if (start < -150.0) return;
    double gainDb = targetLufs - start;
    for (int pass = 0; pass < 8; ++pass) {
        audio = raw;
        Scale(audio, float(FromDecibels(gainDb)));
        LimitPeaks(audio, ceilingDb, loop);
        const double miss = targetLufs - IntegratedLoudness(audio);
        if (std::fabs(miss) < 0.05) return;
        gainDb += miss;
    }
}

} // namespace soundtools
