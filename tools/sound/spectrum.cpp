#include "spectrum.h"

#include <cmath>
#include <complex>

namespace soundtools {

namespace {

void Fft(std::vector<std::complex<double>>& a) {
    const size_t n = a.size();
    for (size_t i = 1, j = 0; i < n; ++i) {
        size_t bit = n >> 1;
        for (; j & bit; bit >>= 1) j ^= bit;
        j ^= bit;
        if (i < j) std::swap(a[i], a[j]);
    }
    for (size_t len = 2; len <= n; len <<= 1) {
        const double angle = -2 * M_PI / double(len);
        const std::complex<double> step(std::cos(angle), std::sin(angle));
        for (size_t i = 0; i < n; i += len) {
            std::complex<double> w(1);
            for (size_t k = 0; k < len / 2; ++k, w *= step) {
                std::complex<double> u = a[i + k], v = a[i + k + len / 2] * w;
                a[i + k] = u + v;
                a[i + k + len / 2] = u - v;
            }
        }
    }
}

} // namespace

std::vector<std::vector<float>> Spectrogram(const Audio& audio, int columns, int rows) {
    std::vector<std::vector<float>> out(size_t(columns), std::vector<float>(size_t(rows), -120.0f));
    const size_t frames = audio.Frames();
    // Long pieces get fine frequency detail; short effects need fine timing more.
    const int window = frames > size_t(2 * audio.rate) ? 2048 : 512;
    std::vector<std::complex<double>> buffer(static_cast<size_t>(window));
    for (int c = 0; c < columns; ++c) {
        const double centre = (c + 0.5) * double(frames) / columns;
        for (int i = 0; i < window; ++i) {
            long at = long(centre) - window / 2 + i;
            double s = 0;
            if (at >= 0 && size_t(at) < frames)
                for (int ch = 0; ch < audio.channels; ++ch)
                    s += audio.At(size_t(at), ch) / audio.channels;
            const double hann = 0.5 - 0.5 * std::cos(2 * M_PI * i / (window - 1));
            buffer[size_t(i)] = s * hann;
        }
        Fft(buffer);
        for (int r = 0; r < rows; ++r) {
            // Strongest bin within the row's band, so narrow tones show at any height.
            const double lo = 40.0 * std::pow(400.0, double(r) / rows),
                         hi = 40.0 * std::pow(400.0, double(r + 1) / rows);
            int b0 = int(lo * window / audio.rate),
                b1 = std::max(b0, int(hi * window / audio.rate));
            double power = 0;
            for (int b = b0; b <= b1 && b < window / 2; ++b)
                power = std::max(power, std::norm(buffer[size_t(b)]));
            // A full-scale sine through the Hann window peaks at (N/4)^2.
            out[size_t(c)][size_t(r)] =
                float(10 * std::log10(power / (window * window / 16.0) + 1e-12));
        }
    }
    return out;
}

} // namespace soundtools
