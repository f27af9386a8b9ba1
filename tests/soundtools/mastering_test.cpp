// The measurements and the mastering the build's sound rules rest on.
#include <gtest/gtest.h>

#include <cmath>

#include "dsp.h"
#include "loudness.h"
#include "mastering.h"

using namespace soundtools;

namespace {

Audio Tone(double hz, double amplitude, double seconds, int channels, double phase = 0) {
    Audio a;
    a.channels = channels;
    const size_t frames = size_t(seconds * kRate);
    for (size_t i = 0; i < frames; ++i)
        for (int c = 0; c < channels; ++c)
            a.samples.push_back(
                float(amplitude * std::sin(2 * M_PI * hz * double(i) / kRate + phase)));
    return a;
}

Audio Hiss(double amplitude, size_t frames, uint32_t seed) {
    Audio a;
    a.channels = 2;
    soundtools::Noise noise(seed);
    for (size_t i = 0; i < frames * 2; ++i) a.samples.push_back(float(amplitude * noise.Next()));
    return a;
}

} // namespace

TEST(Loudness, SineTonesReadAsBroadcastMetersReadThem) {
    // A full-scale 997 Hz sine in one channel is -3.01 LUFS; in both, 0 LUFS.
    struct Case {
        double amplitude;
        int channels;
        double lufs;
    } cases[] = {{1.0, 1, -3.01}, {1.0, 2, 0.0}, {0.1, 2, -20.0}, {0.01, 1, -43.01}};
    for (const Case& c : cases) {
        Audio tone = Tone(997, c.amplitude, 3.0, c.channels);
        EXPECT_NEAR(IntegratedLoudness(tone), c.lufs, 0.1) << c.amplitude << " in " << c.channels;
    }
}

TEST(Loudness, SilenceAndQuietStretchesAreGatedOut) {
    Audio silent;
    silent.channels = 2;
    silent.samples.assign(size_t(kRate) * 4, 0.0f);
    EXPECT_LT(IntegratedLoudness(silent), -150.0);

    Audio tone = Tone(997, 0.1, 2.0, 2);
    const double alone = IntegratedLoudness(tone);
    // Four silent seconds would take 7 LU off an ungated mean; only the blocks that straddle the
    // tone's end still count, a little.
    tone.samples.insert(tone.samples.end(), size_t(kRate) * 2 * 4, 0.0f);
    EXPECT_NEAR(IntegratedLoudness(tone), alone, 0.5);
    EXPECT_NEAR(MaxMomentaryLoudness(tone), alone, 0.1);
}

TEST(SeamRoughness, TellsAWholeCycleFromACutOne) {
    // 441 Hz repeats every 100 frames: 4410 cycles fill 10 s exactly. Half a cycle more meets
    // the start at the right level but with the slope reversed, which clicks too.
    EXPECT_LT(SeamRoughness(Tone(441, 0.5, 10.0, 2)), 1.0);
    Audio cut = Tone(441, 0.5, 10.0, 2);
    cut.samples.resize(cut.samples.size() + 50 * 2);
    for (size_t i = size_t(10.0 * kRate); i < cut.Frames(); ++i)
        for (int c = 0; c < 2; ++c)
            cut.At(i, c) = float(0.5 * std::sin(2 * M_PI * 441 * double(i) / kRate));
    EXPECT_GT(SeamRoughness(cut), 1.0);
    // A small step in the middle of quiet noise is a click too.
    Audio hiss = Hiss(0.001, size_t(kRate), 3);
    for (size_t i = 0; i < hiss.Frames() / 2; ++i) hiss.At(i, 0) += 0.05f;
    EXPECT_GT(SeamRoughness(hiss), 1.0);
}

TEST(Mastering, FoldedTailJoinsTheLoopSeamlessly) {
    // A tone that starts at 3 s and rings 2 s past the loop's end at 4 s: folded, the ring
    // continues at the start, and the loop is its own length.
    const size_t loop = size_t(4 * kRate);
    Audio a;
    a.channels = 1;
    a.samples.assign(size_t(6 * kRate), 0.0f);
    for (size_t i = size_t(3 * kRate); i < a.Frames(); ++i) {
        double t = double(i) / kRate - 3.0;
        a.samples[i] =
            float(0.5 * std::exp(-t) * std::sin(2 * M_PI * 300 * t) * std::min(1.0, t / 0.01));
    }
    FoldTail(a, loop);
    EXPECT_EQ(a.Frames(), loop);
    EXPECT_LT(SeamRoughness(a), 1.0);
    EXPECT_GT(std::fabs(a.samples[100]), 0.0f);
}

TEST(Mastering, LimiterHoldsTheCeilingAndLeavesQuietSoundAlone) {
    for (bool loop : {false, true}) {
        // Smooth swells to five times the level four times a second, one across the seam.
        Audio loud = Tone(200, 0.2, 4.0, 2);
        for (size_t i = 0; i < loud.Frames(); ++i) {
            double d = double(i % 11025);
            d = std::min(d, 11025 - d) / 500.0;
            loud.At(i, 0) *= float(1.0 + 4.0 * std::exp(-d * d));
        }
        ASSERT_LT(SeamRoughness(loud), 1.0);
        LimitPeaks(loud, -1.5, loop);
        EXPECT_LE(Peak(loud), float(FromDecibels(-1.5)) + 1e-6f);
        if (loop) {
            EXPECT_LT(SeamRoughness(loud), 1.0);
        }
    }
    Audio quiet = Tone(200, 0.2, 1.0, 2);
    const Audio before = quiet;
    LimitPeaks(quiet, -1.5, false);
    EXPECT_EQ(quiet.samples, before.samples);
}

TEST(Mastering, MasterMeetsLoudnessAndCeilingTogether) {
    Audio music = Hiss(0.05, size_t(8 * kRate), 11);
    for (size_t i = 0; i < music.Frames(); i += 22050) music.At(i, 1) = 0.9f; // sharp transients
    Master(music, kMusicLoudness, kMusicCeilingDb, true);
    EXPECT_NEAR(IntegratedLoudness(music), kMusicLoudness, 0.3);
    EXPECT_LE(ToDecibels(Peak(music)), kMusicCeilingDb + 0.01);
}
