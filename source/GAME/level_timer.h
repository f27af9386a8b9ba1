// A timer of level time: (start, duration) in ms. One that has not started has start 1e9.
#pragma once
#include <algorithm>

#include "BASE/rnd.h"

constexpr float kTimerNotStarted = 1000000000.0f;

struct LevelTimer {
    float start = kTimerNotStarted;
    float duration = 0;

    void Start(float now, float length) {
        start = now;
        duration = length;
    }
    bool Started(int time) const { return time >= rnd(start); }
    bool Ended(int time) const { return time >= rnd(double(start) + duration); }
    // Between its start and its end, both included.
    bool Running(int time) const { return Started(time) && time <= rnd(double(start) + duration); }
    float Progress(int time) const {
        if (duration <= 0) return Started(time) ? 1.0f : 0.0f;
        return std::clamp((float(time) - start) / duration, 0.0f, 1.0f);
    }
};
