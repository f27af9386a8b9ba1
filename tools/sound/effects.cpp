#include "effects.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <map>
#include <sstream>

#include "SYS/profile.h"
#include "dsp.h"
#include "fluid_render.h"
#include "song.h"
#include "voice.h"

namespace soundtools {

namespace {

std::string Key(const std::string& file, const std::string& section, const char* key) {
    char value[2048];
    sys::GetPrivateProfileString(section.c_str(), key, "", value, sizeof value, file.c_str());
    return value;
}

double KeyNumber(const std::string& file, const std::string& section, const char* key,
                 double fallback) {
    std::string v = Key(file, section, key);
    return v.empty() ? fallback : std::atof(v.c_str());
}

// "a>b" -> (a, b); "a" -> (a, a).
void Range(const std::string& text, double& from, double& to) {
    size_t arrow = text.find('>');
    from = std::atof(text.substr(0, arrow).c_str());
    to = arrow == std::string::npos ? from : std::atof(text.substr(arrow + 1).c_str());
}

// One layer: "<wave> key=value ...", see data/sound/effects.ini for the keys.
bool AddLayer(const std::string& spec, Audio& out, uint32_t seed, std::string& error) {
    std::istringstream words(spec);
    std::string wave;
    words >> wave;
    static const char* waves[] = {"sine", "triangle", "square", "saw", "noise"};
    if (std::find(std::begin(waves), std::end(waves), wave) == std::end(waves)) {
        error = "unknown wave " + wave;
        return false;
    }
    std::map<std::string, std::string> o;
    for (std::string w; words >> w;) {
        size_t eq = w.find('=');
        if (eq == std::string::npos) {
            error = "layer option without value: " + w;
            return false;
        }
        o[w.substr(0, eq)] = w.substr(eq + 1);
    }
    auto num = [&](const char* k, double d) { return o.count(k) ? std::atof(o[k].c_str()) : d; };
    double f0 = 440, f1 = 440;
    if (o.count("f")) Range(o["f"], f0, f1);
    const double at = num("at", 0), length = num("len", 0.2), attack = num("attack", 0.003);
    const double hold = num("hold", 0), gain = num("gain", 1), q = num("q", 1.5),
                 drive = num("drive", 0);
    const bool linearSweep = o["curve"] == "lin", linearFall = o["decay"] == "lin";
    double vibHz = 0, vibDepth = 0;
    if (o.count("vib")) Range(o["vib"], vibHz, vibDepth);
    int repeats = 1;
    double interval = 0.05, ratio = 1, fade = 0.7;
    if (o.count("repeat")) {
        std::stringstream r(o["repeat"]);
        std::string p;
        std::vector<double> v;
        while (std::getline(r, p, ':')) v.push_back(std::atof(p.c_str()));
        repeats = v.size() > 0 ? int(v[0]) : 1;
        if (v.size() > 1) interval = v[1];
        if (v.size() > 2) ratio = v[2];
        if (v.size() > 3) fade = v[3];
    }
    double lowPass = num("lp", 0);
    if (length <= 0 || attack <= 0 || f0 <= 0 || f1 <= 0 || repeats < 1 || repeats > 32) {
        error = "layer needs positive len, attack, f and repeat";
        return false;
    }
    const double rate = out.rate;
    Noise noise(seed);
    for (int r = 0; r < repeats; ++r) {
        const double start = at + r * interval, scale = std::pow(ratio, r),
                     level = gain * std::pow(fade, r);
        const size_t first = size_t(start * rate), frames = size_t(length * rate);
        if (out.samples.size() < first + frames) out.samples.resize(first + frames, 0.0f);
        Filter shape, smooth;
        double phase = 0;
        for (size_t i = 0; i < frames; ++i) {
            const double t = double(i) / rate, x = t / length;
            double hz = linearSweep ? f0 + (f1 - f0) * x : f0 * std::pow(f1 / f0, x);
            hz *= scale;
            if (vibHz > 0) hz *= std::pow(2.0, vibDepth / 12.0 * std::sin(2 * M_PI * vibHz * t));
            phase += hz / rate;
            phase -= std::floor(phase);
            double s;
            if (wave == "noise") {
                shape.Set(o["filter"] == "low"    ? Filter::kLowPass
                          : o["filter"] == "high" ? Filter::kHighPass
                                                  : Filter::kBandPass,
                          hz, q, rate);
                s = shape.Run(noise.Next());
            } else if (wave == "sine") {
                s = std::sin(2 * M_PI * phase);
            } else if (wave == "triangle") {
                s = 1.0 - 4.0 * std::fabs(phase - 0.5);
            } else {
                // Square and saw are softened by a low pass that follows the pitch.
                s = wave == "square" ? (phase < 0.5 ? 0.7 : -0.7) : (1.0 - 2.0 * phase) * 0.7;
                if (lowPass <= 0) lowPass = 6.0;
            }
            if (lowPass > 0) {
                smooth.Set(Filter::kLowPass,
                           wave == "noise" || wave == "sine" || wave == "triangle" ? lowPass
                                                                                   : hz * lowPass,
                           0.7, rate);
                s = smooth.Run(float(s));
            }
            if (drive > 0) s = std::tanh(s * (1 + drive)) / std::tanh(1 + drive);
            out.samples[first + i] +=
                float(s * level * Envelope(t, attack, hold, length, linearFall));
        }
    }
    return true;
}

// A few notes on one General MIDI instrument: "notes" in the song notation, with "program"
// and "tempo".
bool PlayNotes(const std::string& file, const std::string& section, const std::string& soundFont,
               Audio& out, std::string& error) {
    const int kMostBeats = 64;
    std::string notes = Key(file, section, "notes");
    std::ostringstream text;
    text << "tempo " << KeyNumber(file, section, "tempo", 120) << "\nmeter 1\ntail 1.5\n"
         << "voice v program=" << int(KeyNumber(file, section, "program", 0))
         << " reverb=" << int(KeyNumber(file, section, "reverb", 30))
         << " velocity=" << int(KeyNumber(file, section, "velocity", 96))
         << " legato=" << KeyNumber(file, section, "legato", 0.9)
         << "\nsection s\nchords C:" << kMostBeats << "\nmelody v " << notes << "\nform s\n";
    Song song;
    if (!ParseSong(text.str(), song, error)) return false;
    song.length = 0; // the notes' end, not the bars around them
    for (const Note& n : song.notes) song.length = std::max(song.length, n.beat + n.length);
    Audio stereo;
    if (!RenderSong(song, soundFont, stereo, error)) return false;
    out = Audio();
    out.samples.resize(stereo.Frames());
    for (size_t i = 0; i < stereo.Frames(); ++i)
        out.samples[i] = 0.5f * (stereo.At(i, 0) + stereo.At(i, 1));
    return true;
}

// A short echo, as the water throws a sound back: delay in seconds, feedback and mix.
void AddEcho(Audio& audio, double delay, double feedback, double mix) {
    const size_t d = size_t(delay * audio.rate);
    if (d == 0) return;
    audio.samples.resize(audio.samples.size() + 4 * d, 0.0f);
    std::vector<float> wet(audio.samples.size(), 0.0f);
    for (size_t i = d; i < wet.size(); ++i)
        wet[i] = float(audio.samples[i - d] + feedback * wet[i - d]);
    Filter dull;
    dull.Set(Filter::kLowPass, 2500, 0.7, audio.rate);
    for (size_t i = 0; i < wet.size(); ++i) audio.samples[i] += float(mix) * dull.Run(wet[i]);
}

// Drops the silent end and softens the last few milliseconds.
void TrimEnd(Audio& audio) {
    const float quiet = Peak(audio) * 0.003f; // -50 dB under the peak
    size_t end = audio.samples.size();
    while (end > 0 && std::fabs(audio.samples[end - 1]) <= quiet) --end;
    audio.samples.resize(end);
    const size_t fade = std::min<size_t>(end, size_t(audio.rate * 0.006));
    for (size_t i = 0; i < fade; ++i)
        audio.samples[end - fade + i] *= float(fade - i) / float(fade);
}

} // namespace

std::vector<EffectRecipe> ReadRecipes(const std::string& file) {
    std::vector<char> names(16384);
    size_t length = sys::GetPrivateProfileString(nullptr, nullptr, "", names.data(), names.size(),
                                                 file.c_str());
    std::vector<EffectRecipe> recipes;
    for (size_t at = 0; at < length && names[at];) {
        EffectRecipe r;
        r.name = names.data() + at;
        at += r.name.size() + 1;
        r.volume = float(KeyNumber(file, r.name, "volume", 1.0));
        r.pan = float(KeyNumber(file, r.name, "pan", 0.0));
        r.peakDb = std::min(KeyNumber(file, r.name, "peak", -1.5), -1.1);
        recipes.push_back(r);
    }
    return recipes;
}

bool MakeEffect(const std::string& file, const EffectRecipe& recipe, const std::string& soundFont,
                Audio& out, std::string& error) {
    out = Audio();
    const std::string& section = recipe.name;
    if (!Key(file, section, "notes").empty()) {
        if (!PlayNotes(file, section, soundFont, out, error)) return false;
    } else if (!Key(file, section, "voice").empty()) {
        VoiceStyle style;
        style.formantScale = KeyNumber(file, section, "formant", style.formantScale);
        style.breath = KeyNumber(file, section, "breath", style.breath);
        double hz = style.vibratoHz, depth = style.vibratoSemitones;
        if (!Key(file, section, "vibrato").empty()) Range(Key(file, section, "vibrato"), hz, depth);
        style.vibratoHz = hz;
        style.vibratoSemitones = depth;
        if (!SingSyllables(Key(file, section, "voice"), style, out, error)) return false;
    }
    for (int i = 1; i <= 9; ++i) {
        std::string spec = Key(file, section, ("layer" + std::to_string(i)).c_str());
        if (spec.empty()) continue;
        if (!AddLayer(spec, out, uint32_t(i * 7919 + section.size()), error)) {
            error = "layer" + std::to_string(i) + ": " + error;
            return false;
        }
    }
    if (out.samples.empty() || Peak(out) <= 0) {
        error = "the recipe makes no sound";
        return false;
    }
    std::string echo = Key(file, section, "echo");
    if (!echo.empty()) {
        std::stringstream e(echo);
        std::vector<double> v;
        for (std::string p; std::getline(e, p, ':');) v.push_back(std::atof(p.c_str()));
        if (v.size() == 3) AddEcho(out, v[0], v[1], v[2]);
    }
    // Nothing below the lowest note any effect needs: keeps rumble out of small speakers.
    Filter clean;
    clean.Set(Filter::kHighPass, KeyNumber(file, section, "highpass", 60), 0.7, out.rate);
    for (float& s : out.samples) s = clean.Run(s);
    TrimEnd(out);
    Scale(out, float(FromDecibels(recipe.peakDb) / Peak(out)));
    return true;
}

} // namespace soundtools
