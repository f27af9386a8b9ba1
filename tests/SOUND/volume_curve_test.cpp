#include <gtest/gtest.h>

#include <cmath>

#include "SOUND/volume_curve.h"

TEST(VolumeCurve, OwnVolumeGivesTheDocumentedLevels) {
    const struct {
        float volume;
        long level;
    } cases[] = {{1.0f, 0},
                 {0.5f, -512},
                 {0.25f, -1093},
                 {0.1f, -1973},
                 {0.0f, -10000},
                 // out of range and unreadable volumes are held to the ends of the scale
                 {2.0f, 0},
                 {-1.0f, -10000},
                 {float(NAN), -10000}};
    for (const auto& c : cases) EXPECT_EQ(ToDirectVolume(c.volume), c.level) << c.volume;
}

TEST(VolumeCurve, InverseReturnsTheLevelStep) {
    // Every one of the 256 steps survives the round trip.
    for (int step = 0; step <= 255; ++step) {
        float volume = float(step) / 255.0f;
        EXPECT_NEAR(FromDirectVolume(ToDirectVolume(volume)), volume, 1e-6) << step;
    }
}

TEST(PanCurve, CentreAndSidesAndRoundTrip) {
    EXPECT_EQ(ToDirectPan(0.0f), 0);
    EXPECT_EQ(ToDirectPan(1.0f), 10000);
    EXPECT_EQ(ToDirectPan(-1.0f), -10000);
    EXPECT_EQ(ToDirectPan(0.5f), 512);
    EXPECT_EQ(ToDirectPan(-0.5f), -512);
    for (int step = -255; step <= 255; ++step) {
        float pan = float(step) / 255.0f;
        EXPECT_NEAR(FromDirectPan(ToDirectPan(pan)), pan, 1e-6) << step;
    }
}
