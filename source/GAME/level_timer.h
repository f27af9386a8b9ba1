// A timer of level time: the program's (start, duration) pair read against the level's whole
// milliseconds, with start and end rounded as the level's clock counts them.
#pragma once
#include "BASE/rnd.h"
#include "GAME/timer_pair.h"

struct LevelTimer : TimerPair {
    LevelTimer() = default;
    LevelTimer(float startMs, float durationMs) { Start(startMs, durationMs); }

    bool Started(int time) const { return time >= rnd(start); }
    bool Ended(int time) const { return time >= rnd(double(start) + duration); }
    // Between its start and its end, both included.
    bool Running(int time) const { return Started(time) && time <= rnd(double(start) + duration); }
    float Progress(int time) const { return TimerPair::Progress(float(time)); }
};
