#include "loudness.h"

#include <algorithm>
#include <cmath>

namespace soundtools {

namespace {

struct Biquad {
    double b0, b1, b2, a1, a2;
    double z1 = 0, z2 = 0;
    double Run(double x) {
        double y = b0 * x + z1;
        z1 = b1 * x - a1 * y + z2;
        z2 = b2 * x - a2 * y;
        return y;
    }
};

// The two K-weighting stages (a high shelf for the head, a high pass) for any sample rate.
Biquad Shelf(double rate) {
    const double f0 = 1681.974450955533, gain = 3.999843853973347, q = 0.7071752369554196;
    const double k = std::tan(M_PI * f0 / rate);
    const double vh = std::pow(10.0, gain / 20.0), vb = std::pow(vh, 0.4996667741545416);
    const double a0 = 1.0 + k / q + k * k;
    return {(vh + vb * k / q + k * k) / a0, 2.0 * (k * k - vh) / a0, (vh - vb * k / q + k * k) / a0,
            2.0 * (k * k - 1.0) / a0, (1.0 - k / q + k * k) / a0};
}
Biquad HighPass(double rate) {
    const double f0 = 38.13547087602444, q = 0.5003270373238773;
    const double k = std::tan(M_PI * f0 / rate);
    const double a0 = 1.0 + k / q + k * k;
    return {1.0, -2.0, 1.0, 2.0 * (k * k - 1.0) / a0, (1.0 - k / q + k * k) / a0};
}

// Mean square of every 100 ms step, summed over the channels, after K-weighting.
std::vector<double> StepPowers(const Audio& audio, size_t step) {
    std::vector<double> powers((audio.Frames() + step - 1) / step, 0.0);
    for (int c = 0; c < audio.channels; ++c) {
        Biquad shelf = Shelf(audio.rate), pass = HighPass(audio.rate);
        for (size_t i = 0; i < audio.Frames(); ++i) {
            double y = pass.Run(shelf.Run(audio.At(i, c)));
            powers[i / step] += y * y;
        }
    }
    for (double& p : powers) p /= double(step);
    return powers;
}

double ToLufs(double power) {
    return power > 0 ? -0.691 + 10.0 * std::log10(power) : -200.0;
}

// Block powers of 400 ms blocks every 100 ms.
std::vector<double> BlockPowers(const Audio& audio) {
    const size_t step = size_t(audio.rate / 10);
    std::vector<double> steps = StepPowers(audio, step);
    std::vector<double> blocks;
    if (steps.size() < 4) {
        double sum = 0;
        for (double p : steps) sum += p;
        blocks.push_back(sum / 4.0);
        return blocks;
    }
    for (size_t i = 0; i + 4 <= steps.size(); ++i)
        blocks.push_back((steps[i] + steps[i + 1] + steps[i + 2] + steps[i + 3]) / 4.0);
    return blocks;
}

} // namespace

double IntegratedLoudness(const Audio& audio) {
    std::vector<double> blocks = BlockPowers(audio);
    double sum = 0;
    int count = 0;
    for (double p : blocks)
        if (ToLufs(p) > -70.0) sum += p, ++count;
    if (count == 0) return -200.0;
    const double relativeGate = ToLufs(sum / count) - 10.0;
    sum = 0;
    count = 0;
    for (double p : blocks)
        if (ToLufs(p) > -70.0 && ToLufs(p) > relativeGate) sum += p, ++count;
    return count ? ToLufs(sum / count) : -200.0;
}

double MaxMomentaryLoudness(const Audio& audio) {
    double loudest = 0;
    for (double p : BlockPowers(audio)) loudest = std::max(loudest, p);
    return ToLufs(loudest);
}

double SeamRoughness(const Audio& audio) {
    const size_t n = audio.Frames();
    const size_t around = 64;
    if (n < 4 * around) return 0.0;
    double worst = 0;
    for (int c = 0; c < audio.channels; ++c) {
        auto at = [&](long i) {
            return double(audio.At(size_t((i % long(n) + long(n)) % long(n)), c));
        };
        // Typical bend (second difference) of the signal on both sides of the seam, the seam
        // itself left out; a floor keeps near-silence from making a tiny step look huge.
        double bend = 0;
        int count = 0;
        for (long i = -long(around); i < long(around); ++i) {
            if (i >= -2 && i <= 1) continue;
            double d2 = at(i + 1) - 2.0 * at(i) + at(i - 1);
            bend += d2 * d2;
            ++count;
        }
        bend = std::sqrt(bend / count);
        const double floor = 1.0 / 4096.0;
        // A jump in level or a kink in the slope shows as a sharp bend right at the seam.
        double seamBend = std::max(std::fabs(at(1) - 2.0 * at(0) + at(-1)),
                                   std::fabs(at(0) - 2.0 * at(-1) + at(-2)));
        worst = std::max(worst, seamBend / (4.0 * std::max(bend, floor)));
    }
    return worst;
}

} // namespace soundtools
