#include "SOUND/volume_curve.h"

#include <algorithm>
#include <cmath>

namespace {

// Level 0 ... 255 to a loudness 0 ... 10000 on a logarithmic scale.
long Loudness(double level) {
    if (!(level > 0.0)) level = 0.0; // also a volume read as "nan"
    double steps = std::nearbyint(std::clamp(level, 0.0, 1.0) * 255.0);
    double d = std::log2(steps + 1.0);
    return long(std::nearbyint(10000.0 * std::log10(1.0 + 9.0 * d / 8.0)));
}

// The inverse: loudness 0 ... 10000 back to the level step 0 ... 255.
double LevelSteps(long loudness) {
    double l = double(std::clamp(loudness, 0L, 10000L));
    return std::nearbyint(std::exp2((std::pow(10.0, l / 10000.0) - 1.0) * 8.0 / 9.0) - 1.0);
}

} // namespace

long ToDirectVolume(float volume) {
    return Loudness(volume) - 10000;
}

float FromDirectVolume(long hundredthsOfDb) {
    return float(LevelSteps(hundredthsOfDb + 10000) / 255.0);
}

long ToDirectPan(float pan) {
    long attenuation = 10000 - Loudness(1.0 - std::fabs(double(pan)));
    return pan < 0 ? -attenuation : attenuation;
}

float FromDirectPan(long pan) {
    double side = 1.0 - LevelSteps(10000 - std::labs(pan)) / 255.0;
    return float(pan < 0 ? -side : side);
}
