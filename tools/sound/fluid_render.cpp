#include "fluid_render.h"

#include <algorithm>
#include <cmath>

#include <fluidsynth.h>

namespace soundtools {

namespace {

struct Event {
    size_t frame;
    bool on;
    int channel, key, velocity;
};

class Synth {
public:
    Synth() {
        settings_ = new_fluid_settings();
        fluid_settings_setnum(settings_, "synth.sample-rate", kRate);
        fluid_settings_setnum(settings_, "synth.gain", 0.5);
        fluid_settings_setint(settings_, "synth.polyphony", 256);
        fluid_settings_setint(settings_, "synth.reverb.active", 1);
        fluid_settings_setint(settings_, "synth.chorus.active", 1);
        fluid_settings_setnum(settings_, "synth.reverb.room-size", 0.55);
        fluid_settings_setnum(settings_, "synth.reverb.damp", 0.45);
        fluid_settings_setnum(settings_, "synth.reverb.width", 0.9);
        fluid_settings_setnum(settings_, "synth.reverb.level", 0.6);
        // Only the samples a song plays are read from the (large) font.
        fluid_settings_setint(settings_, "synth.dynamic-sample-loading", 1);
        synth_ = new_fluid_synth(settings_);
    }
    ~Synth() {
        if (synth_) delete_fluid_synth(synth_);
        delete_fluid_settings(settings_);
    }
    Synth(const Synth&) = delete;
    Synth& operator=(const Synth&) = delete;
    fluid_synth_t* get() const { return synth_; }

private:
    fluid_settings_t* settings_ = nullptr;
    fluid_synth_t* synth_ = nullptr;
};

} // namespace

bool RenderSong(const Song& song, const std::string& soundFont, Audio& out, std::string& error) {
    fluid_set_log_function(FLUID_WARN, nullptr, nullptr); // the font's harmless warnings
    Synth synth;
    if (!synth.get()) {
        error = "FluidSynth does not start";
        return false;
    }
    if (fluid_synth_sfload(synth.get(), soundFont.c_str(), 1) == FLUID_FAILED) {
        error = "the sound font " + soundFont + " does not load";
        return false;
    }
    for (const Voice& v : song.voices) {
        fluid_synth_program_change(synth.get(), v.channel, v.program);
        fluid_synth_cc(synth.get(), v.channel, 7, std::clamp(v.volume, 0, 127));
        fluid_synth_cc(synth.get(), v.channel, 10, std::clamp(v.pan, 0, 127));
        fluid_synth_cc(synth.get(), v.channel, 91, std::clamp(v.reverb, 0, 127));
        fluid_synth_cc(synth.get(), v.channel, 93, std::clamp(v.chorus, 0, 127));
    }
    auto frameAt = [&](double beat) { return size_t(std::lround(song.SecondsAt(beat) * kRate)); };
    std::vector<Event> events;
    for (const Note& n : song.notes) {
        events.push_back({frameAt(n.beat), true, n.channel, n.key, n.velocity});
        events.push_back({std::max(frameAt(n.beat + n.length), frameAt(n.beat) + 1), false,
                          n.channel, n.key, 0});
    }
    // Note-offs before note-ons at the same frame, so a repeated key restarts cleanly.
    std::stable_sort(events.begin(), events.end(), [](const Event& a, const Event& b) {
        return a.frame != b.frame ? a.frame < b.frame : (!a.on && b.on);
    });
    const size_t frames = frameAt(song.length) + size_t(song.tail * kRate);
    out = Audio();
    out.channels = 2;
    out.samples.assign(frames * 2, 0.0f);
    std::vector<float> left(4096), right(4096);
    size_t done = 0, next = 0;
    while (done < frames) {
        while (next < events.size() && events[next].frame <= done) {
            const Event& e = events[next++];
            if (e.on)
                fluid_synth_noteon(synth.get(), e.channel, e.key, e.velocity);
            else
                fluid_synth_noteoff(synth.get(), e.channel, e.key);
        }
        size_t until = next < events.size() ? std::min(events[next].frame, frames) : frames;
        size_t n = std::min<size_t>(std::max<size_t>(until - done, 1), left.size());
        n = std::min(n, frames - done);
        fluid_synth_write_float(synth.get(), int(n), left.data(), 0, 1, right.data(), 0, 1);
        for (size_t i = 0; i < n; ++i) {
            out.At(done + i, 0) = left[i];
            out.At(done + i, 1) = right[i];
        }
        done += n;
    }
    return true;
}

} // namespace soundtools
