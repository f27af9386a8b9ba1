// Building blocks of synthesised sound: noise, filters, envelopes.
#pragma once
#include <cmath>

#include "SYS/crt_rand.h"

namespace soundtools {

// White noise in -1 ... 1 from the game's own generator, so every build makes the same sound.
class Noise {
public:
    explicit Noise(uint32_t seed = 1) { random_.state = seed; }
    float Next() {
        int v = random_.Next() << 15 | random_.Next();
        return float(v) / float(1 << 29) - 1.0f;
    }
    // 0 ... 1
    double Uniform() { return double(random_.Next()) / 32768.0; }

private:
    sys::CrtRandom random_;
};

// A second-order filter (the usual audio cookbook shapes); coefficients may change per sample.
class Filter {
public:
    enum Shape { kLowPass, kHighPass, kBandPass };
    void Set(Shape shape, double hz, double q, double rate);
    float Run(float x) {
        double y = b0_ * x + z1_;
        z1_ = b1_ * x - a1_ * y + z2_;
        z2_ = b2_ * x - a2_ * y;
        return float(y);
    }

private:
    double b0_ = 1, b1_ = 0, b2_ = 0, a1_ = 0, a2_ = 0;
    double z1_ = 0, z2_ = 0;
};

// 0 ... 1: a linear attack, an optional hold, then an exponential fall that reaches -60 dB at
// `length` (or a straight fall when `linear`).
double Envelope(double t, double attack, double hold, double length, bool linear);

} // namespace soundtools
