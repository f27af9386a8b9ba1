#include "audio.h"

#include <algorithm>
#include <cmath>

namespace soundtools {

float Peak(const Audio& audio) {
    float peak = 0;
    for (float s : audio.samples) peak = std::max(peak, std::fabs(s));
    return peak;
}

void Scale(Audio& audio, float gain) {
    for (float& s : audio.samples) s *= gain;
}

double ToDecibels(double linear) {
    return linear > 0 ? 20.0 * std::log10(linear) : -200.0;
}
double FromDecibels(double db) {
    return std::pow(10.0, db / 20.0);
}

} // namespace soundtools
