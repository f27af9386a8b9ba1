// A (start, duration) pair in milliseconds; one that has not started lies far in the future.
#pragma once
#include <cmath>

constexpr float kTimerNotStarted = 1000000000.0f;

struct TimerPair {
    float start = kTimerNotStarted;
    float duration = 0.0f;

    void Start(float now, float ms) {
        start = now;
        duration = ms;
    }
    // (now - start) / duration clamped to 0..1; an empty or unusable duration counts as over.
    float Progress(float now) const {
        if (!(duration > 0.0f)) return now >= start ? 1.0f : 0.0f;
        const float p = (now - start) / duration;
        if (!(p > 0.0f)) return 0.0f;
        return p < 1.0f ? p : 1.0f;
    }
    bool Ended(float now) const { return Progress(now) >= 1.0f; }
};
