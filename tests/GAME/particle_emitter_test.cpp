#include <gtest/gtest.h>

#include <cmath>

#include "GAME/particle_emitter.h"
#include "GRAPH/Sprite.h"
#include "scene_fixture.h"

namespace {

// Particles that live for `life` updates of any length; every one shows the same picture.
class CountingEmitter : public ParticleEmitter {
public:
    CountingEmitter(float rate, int maxRecords, int life)
        : ParticleEmitter(rate, maxRecords), life_(life) {}
    int spawned = 0;

protected:
    bool spawn(Particle& p) override {
        p.sprite = &picture_;
        p.life = life_;
        p.x = float(spawned++);
        return true;
    }
    bool move(Particle& p, float) override { return ++p.age < p.life; }

private:
    Sprite picture_;
    int life_;
};

TEST(ParticleEmitter, RateAndCarryEmitWholeParticles) {
    struct Case {
        float rate;
        int updates;
        int expected;
    } cases[] = {
        {1.0f, 10, 10},  {0.04f, 1, 1}, // the first update already has a positive carry
        {0.04f, 100, 5},                // one per 25 updates: at 1, 25, 50, 75 and 100
        {0.5f, 9, 5},    {2.5f, 2, 5},  {0.0f, 10, 0},
    };
    for (const Case& c : cases) {
        CountingEmitter e(c.rate, 2000, 1 << 30);
        for (int i = 0; i < c.updates; ++i) e.update(10.0f);
        EXPECT_EQ(e.spawned, c.expected) << "rate " << c.rate;
        EXPECT_EQ(e.LiveCount(), c.expected);
    }
}

TEST(ParticleEmitter, FreedRecordsAreReusedFromTheMovingSearchPosition) {
    CountingEmitter e(1.0f, 2000, 3); // each particle lives three updates
    for (int i = 0; i < 1000; ++i) e.update(10.0f);
    EXPECT_EQ(e.LiveCount(), 3);
    EXPECT_EQ(e.Capacity(), 2000); // nothing grew
    // The search goes on after the last record taken instead of refilling the first ones.
    const std::vector<Particle>& r = e.Records();
    EXPECT_EQ(r[0].sprite, nullptr);
    EXPECT_NE(r[999].sprite, nullptr);
}

TEST(ParticleEmitter, GrowsWhenFullButNeverPastItsBound) {
    CountingEmitter grows(1.0f, 1 << 20, 1 << 30);
    for (int i = 0; i < 2500; ++i) grows.update(1.0f);
    EXPECT_EQ(grows.LiveCount(), 2500);
    EXPECT_GE(grows.Capacity(), 2500);

    CountingEmitter bounded(3.0f, 50, 1 << 30);
    for (int i = 0; i < 200; ++i) bounded.update(1.0f);
    EXPECT_EQ(bounded.Capacity(), 50);
    EXPECT_EQ(bounded.LiveCount(), 50);
    EXPECT_LE(bounded.carry, 1.0f); // nothing saved up while full
}

TEST(ParticleEmitter, RisingBubbleSinesAreAQuarterTurnApart) {
    const float* sine = RisingBubbleEmitter::Sines();
    EXPECT_FLOAT_EQ(sine[0], 0.0f);
    EXPECT_NEAR(sine[64], 1.0f, 1e-6);
    EXPECT_NEAR(sine[128], 0.0f, 1e-5);
    EXPECT_NEAR(sine[192], -1.0f, 1e-6);
}

class Emitters : public SceneTest {};

TEST_F(Emitters, RisingBubblesStartAtThePointAndLeaveAtTheTop) {
    SolidTga("DATA/bubsmall.tga", 4, 4, 40, 40, 40);
    RisingBubbleEmitter bubbles;
    bubbles.setPoint(300.0f, 40.0f);
    bubbles.update(10.0f);
    ASSERT_EQ(bubbles.LiveCount(), 1);
    const Particle* p = nullptr;
    for (const Particle& r : bubbles.Records())
        if (r.sprite) p = &r;
    EXPECT_EQ(p->life, 5000);
    EXPECT_LT(p->age, 2500);
    EXPECT_FLOAT_EQ(p->x, 300.0f);
    EXPECT_LE(p->vy, -1.0f);
    // Rising at least a pixel per update from y = 40, it is gone within 40 updates; later
    // bubbles start at the new point.
    bubbles.setPoint(300.0f, 400.0f);
    for (int i = 0; i < 44; ++i) bubbles.update(10.0f);
    for (const Particle& r : bubbles.Records())
        if (r.sprite) {
            EXPECT_GT(r.y, 300.0f);
        }
}

TEST_F(Emitters, SprayWithoutTimePassingStaysBounded) {
    // Steps of no time never age a particle; they must not pile up without end.
    SprayEmitter spray;
    for (int i = 0; i < 3000; ++i) spray.update(i % 2 ? 0.0f : NAN);
    EXPECT_LE(spray.Capacity(), ParticleEmitter::kMaxRecords);
    spray.update(-1e30f);
    spray.update(1e30f);
    spray.draw();
}

} // namespace
