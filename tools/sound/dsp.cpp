#include "dsp.h"

#include <algorithm>

namespace soundtools {

void Filter::Set(Shape shape, double hz, double q, double rate) {
    hz = std::clamp(hz, 10.0, rate * 0.45);
    const double w = 2.0 * M_PI * hz / rate;
    const double alpha = std::sin(w) / (2.0 * std::max(q, 0.05));
    const double c = std::cos(w);
    const double a0 = 1.0 + alpha;
    switch (shape) {
    case kLowPass:
        b0_ = (1 - c) / 2;
        b1_ = 1 - c;
        b2_ = (1 - c) / 2;
        break;
    case kHighPass:
        b0_ = (1 + c) / 2;
        b1_ = -(1 + c);
        b2_ = (1 + c) / 2;
        break;
    case kBandPass:
        b0_ = alpha;
        b1_ = 0;
        b2_ = -alpha;
        break;
    }
    b0_ /= a0;
    b1_ /= a0;
    b2_ /= a0;
    a1_ = -2 * c / a0;
    a2_ = (1 - alpha) / a0;
}

double Envelope(double t, double attack, double hold, double length, bool linear) {
    if (t < 0 || t >= length) return 0.0;
    if (t < attack) return t / attack;
    double fall = std::max(length - attack - hold, 1e-6);
    double into = t - attack - hold;
    if (into <= 0) return 1.0;
    if (linear) return 1.0 - into / fall;
    // -60 dB at the end, then a short straight run to zero so nothing is cut off.
    double level = std::pow(10.0, -3.0 * into / fall);
    return std::max(0.0, level - 0.001 * into / fall);
}

} // namespace soundtools
