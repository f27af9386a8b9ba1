#include "voice.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <sstream>
#include <vector>

#include "dsp.h"

namespace soundtools {

namespace {

struct Vowel {
    double f[3]; // resonance centres, Hz
    double b[3]; // bandwidths, Hz
};

bool VowelOf(char c, Vowel& v) {
    switch (c) {
    case 'a': v = {{800, 1200, 2800}, {110, 130, 200}}; return true;
    case 'e': v = {{480, 1900, 2600}, {80, 120, 180}}; return true;
    case 'i': v = {{310, 2300, 3000}, {60, 140, 200}}; return true;
    case 'o': v = {{480, 820, 2700}, {80, 100, 180}}; return true;
    case 'u': v = {{330, 720, 2500}, {60, 90, 160}}; return true;
    }
    return false;
}

struct Syllable {
    std::vector<Vowel> vowels; // empty: a pause
    double from = 0, to = 0, seconds = 0;
};

bool ReadSyllable(const std::string& token, Syllable& s) {
    std::vector<std::string> parts;
    std::stringstream in(token);
    for (std::string p; std::getline(in, p, ':');) parts.push_back(p);
    if (parts.size() == 2 && parts[0] == "_") {
        s.seconds = std::atof(parts[1].c_str());
        return s.seconds > 0;
    }
    if (parts.size() != 3) return false;
    for (size_t i = 0; i < parts[0].size(); i += 2) {
        Vowel v;
        if (!VowelOf(parts[0][i], v) || (i + 1 < parts[0].size() && parts[0][i + 1] != '>'))
            return false;
        s.vowels.push_back(v);
    }
    size_t arrow = parts[1].find('>');
    s.from = std::atof(parts[1].substr(0, arrow).c_str());
    s.to = arrow == std::string::npos ? s.from : std::atof(parts[1].substr(arrow + 1).c_str());
    s.seconds = std::atof(parts[2].c_str());
    return !s.vowels.empty() && s.from > 50 && s.to > 50 && s.seconds > 0;
}

// The vowel at fraction x of a glide through `vowels`, eased so each vowel is held a moment.
Vowel Glide(const std::vector<Vowel>& vowels, double x) {
    if (vowels.size() == 1) return vowels[0];
    double pos = x * double(vowels.size() - 1);
    size_t i = std::min(size_t(pos), vowels.size() - 2);
    double f = pos - double(i);
    f = f * f * (3 - 2 * f);
    Vowel v;
    for (int k = 0; k < 3; ++k) {
        v.f[k] = vowels[i].f[k] + (vowels[i + 1].f[k] - vowels[i].f[k]) * f;
        v.b[k] = vowels[i].b[k] + (vowels[i + 1].b[k] - vowels[i].b[k]) * f;
    }
    return v;
}

} // namespace

bool SingSyllables(const std::string& text, const VoiceStyle& style, Audio& out,
                   std::string& error) {
    std::vector<Syllable> syllables;
    std::istringstream words(text);
    for (std::string token; words >> token;) {
        Syllable s;
        if (!ReadSyllable(token, s)) {
            error = "bad syllable " + token;
            return false;
        }
        syllables.push_back(s);
    }
    out = Audio();
    Noise noise(7);
    Filter breathBand;
    double phase = 0, vibrato = 0;
    const double rate = out.rate;
    const double gains[3] = {1.0, 0.7, 0.3};
    for (const Syllable& s : syllables) {
        const size_t frames = size_t(s.seconds * rate);
        for (size_t i = 0; i < frames; ++i) {
            if (s.vowels.empty()) {
                out.samples.push_back(0.0f);
                continue;
            }
            const double t = double(i) / rate, x = double(i) / double(frames);
            // A pitch contour that bends smoothly, with a vibrato that grows into long notes.
            const double eased = x * x * (3 - 2 * x);
            double f0 = s.from * std::pow(s.to / s.from, eased);
            vibrato += 2 * M_PI * style.vibratoHz / rate;
            f0 *= std::pow(2.0, style.vibratoSemitones / 12.0 * std::sin(vibrato) *
                                    std::min(1.0, t / 0.12));
            phase += 2 * M_PI * f0 / rate;
            Vowel v = Glide(s.vowels, x);
            double sample = 0;
            for (int k = 1; k * f0 < std::min(rate * 0.45, 9000.0); ++k) {
                const double hz = k * f0;
                double amplitude = 0;
                for (int r = 0; r < 3; ++r) {
                    const double centre = v.f[r] * style.formantScale,
                                 half = v.b[r] * style.formantScale * 0.5;
                    const double d = (hz - centre) / half;
                    amplitude += gains[r] / (1.0 + d * d);
                }
                sample += amplitude / std::sqrt(double(k)) * std::sin(k * phase);
            }
            breathBand.Set(Filter::kBandPass, v.f[1] * style.formantScale, 2.0, rate);
            sample += style.breath * 4.0 * breathBand.Run(noise.Next());
            // Each syllable swells in and out, so the babble falls into separate sounds.
            double amp = std::min({1.0, t / 0.012, (s.seconds - t) / 0.04});
            out.samples.push_back(float(sample * std::max(0.0, amp)));
        }
    }
    if (out.samples.empty()) {
        error = "no syllables";
        return false;
    }
    return true;
}

} // namespace soundtools
