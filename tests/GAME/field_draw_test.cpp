#include <gtest/gtest.h>

#include <cmath>

#include "GAME/field_draw.h"
#include "GRAPH/Sprite.h"
#include "GRAPH/graph.h"
#include "play_fixture.h"
#include "screen_fixture.h"

namespace {

constexpr uint16_t kBlack = 0;
constexpr uint16_t kWhite = 0xFFFF;

// An opaque single-colour picture of `frames` frames in its own 16-bit buffer.
Sprite* SolidSprite(int w, int h, int frames = 1) {
    Sprite* s = new Sprite();
    s->width = int16_t(w);
    s->frameHeight = int16_t(h);
    s->frameCount = int16_t(frames);
    s->pitch = int16_t(w * 2);
    s->ownPixels.assign(size_t(w * 2 * h * frames), 0xFF);
    s->pixels = s->ownPixels.data();
    s->alpha.assign(size_t(w * h * frames), 255);
    s->clip = {0, 0, int16_t(w), int16_t(h)};
    s->AddRef();
    return s;
}

uint16_t PixelAt(int x, int y) {
    RenderSurface->Lock();
    const uint16_t v =
        reinterpret_cast<const uint16_t*>(RenderSurface->pixels + y * RenderSurface->pitch)[x];
    RenderSurface->Unlock();
    return v;
}

} // namespace

class FieldDrawTest : public AnsweredBoxesTest {
protected:
    PlayState play;
    RecordingHooks hooks;
    FieldSprites sprites;

    void SetUp() override {
        AnsweredBoxesTest::SetUp();
        SetupDisplay(640, 480, 16, 0);
        play.hooks = &hooks;
        LevelParams rules;
        rules.width = 8;
        rules.height = 12;
        CreateField(play, rules, 1);
        play.time = 5000;
        play.fadeIn = LevelTimer{};
        RenderSurface->FillRect(0, 0, 640, 480, 0xFF000000);
    }
    void TearDown() override {
        sprites.Release();
        ShutdownDisplay(false);
        AnsweredBoxesTest::TearDown();
    }
    Bubble Settled(float x, float y, int colour = 1) {
        Bubble b;
        b.x = x;
        b.y = y;
        b.colour = int8_t(colour);
        return b;
    }
    int TopRowAt(int x) {
        for (int y = 0; y < 480; ++y)
            if (PixelAt(x, y) == kWhite) return y;
        return -1;
    }
};

TEST_F(FieldDrawTest, LandingRingLiftsBubblesInItsBandByUpToOnePixel) {
    sprites.table[1] = SolidSprite(32, 32);
    const int x = play.field.originX + 100;
    DrawBubble(play, sprites, Settled(100, 100), 256);
    const int resting = TopRowAt(x);
    EXPECT_EQ(resting, play.field.originY + 100 - 16);

    const struct {
        float ringDistance, radius;
        int lift;
    } cases[] = {
        {59.0f, 60.0f, 1}, // near the outer edge: almost one pixel
        {30.0f, 60.0f, 0}, // inside the ring, not in its band
        {61.0f, 60.0f, 0}, // outside
    };
    for (const auto& c : cases) {
        RenderSurface->FillRect(0, 0, 640, 480, 0xFF000000);
        play.ringX = 100.0f - c.ringDistance;
        play.ringY = 100.0f;
        play.ringRadius = c.radius;
        DrawBubble(play, sprites, Settled(100, 100), 256);
        EXPECT_EQ(TopRowAt(x), resting - c.lift) << c.ringDistance;
    }
}

TEST_F(FieldDrawTest, GunStandsUprightAboveTheLauncherAndTurnsWithTheAngle) {
    for (int c = 0; c < 8; ++c) sprites.gun[c] = SolidSprite(16, 32, 8);
    const int cx = play.field.originX + play.field.gunX, cy = play.field.originY + play.field.gunY;
    play.angle = 0;
    DrawLauncher(play, sprites);
    EXPECT_EQ(PixelAt(cx, cy - 20), kWhite);
    EXPECT_EQ(PixelAt(cx, cy - 33), kWhite);
    EXPECT_EQ(PixelAt(cx, cy - 40), kBlack);
    EXPECT_EQ(PixelAt(cx - 12, cy - 20), kBlack);
    EXPECT_EQ(PixelAt(cx, cy + 2), kBlack);

    RenderSurface->FillRect(0, 0, 640, 480, 0xFF000000);
    play.angle = 1.0f; // turned right: the barrel points up and to the right
    DrawLauncher(play, sprites);
    const float s = std::sin(1.0f), k = std::cos(1.0f);
    EXPECT_EQ(PixelAt(int(cx + 20 * s), int(cy - 20 * k)), kWhite);
    EXPECT_EQ(PixelAt(cx, cy - 30), kBlack);
}

TEST_F(FieldDrawTest, QueueBubblesGrowDuringTheCooldownAndTheNextOneWithTheFadeIn) {
    play.cooldown.Start(float(play.time - 250), kCooldownMs);
    EXPECT_EQ(QueueScale(play), 128);
    play.cooldown.Start(float(play.time - 600), kCooldownMs);
    EXPECT_EQ(QueueScale(play), 256);

    sprites.table[play.field.list[size_t(play.field.FindState(Next))].colour] = SolidSprite(32, 32);
    play.fadeIn.Start(float(play.time - 500), kFadeMs); // half grown: 16 pixels wide
    DrawNextBubble(play, sprites);
    int width = 0;
    for (int x = 0; x < 80; ++x) width += PixelAt(x, 405) == kWhite;
    EXPECT_EQ(width, 16);
}

TEST_F(FieldDrawTest, MissingPicturesDrawNothingAndDoNotFail) {
    sprites.Load("DATA\\missing.BUBBLE");
    play.aimGuide = true;
    play.freeze.Start(float(play.time), kFreezeMs);
    Bubble bonus = Settled(100, 100, 3);
    bonus.special = 21;
    play.field.list.push_back(bonus);
    DrawRecords(play, sprites);
    DrawAimGuide(play, sprites);
    DrawLauncher(play, sprites);
    DrawNextBubble(play, sprites);
    EXPECT_EQ(PixelAt(play.field.originX + 100, play.field.originY + 100), kBlack);
}

TEST_F(FieldDrawTest, AimGuideDotsFollowThePathToTheLandingCell) {
    play.aimGuide = true;
    const Bubble& loaded = play.field.list[size_t(play.field.FindState(Loaded))];
    sprites.table[loaded.colour] = SolidSprite(32, 32);
    play.angle = 0;
    DrawAimGuide(play, sprites);
    // Straight up to the ceiling of an empty field: dots along the launcher's column, the
    // landing mark on row 0.
    const int cx = play.field.originX + play.field.gunX;
    int dots = 0;
    for (int y = play.field.originY + 40; y < play.field.originY + play.field.gunY - 30; ++y)
        dots += PixelAt(cx, y) == kWhite && PixelAt(cx, y - 1) != kWhite;
    EXPECT_GE(dots, 15);
    const Cell landing = GuideLanding(play, 0);
    EXPECT_EQ(landing.row, 0);
    float lx, ly;
    play.field.CellCentre(landing, lx, ly);
    EXPECT_EQ(PixelAt(play.field.originX + int(lx), play.field.originY + int(ly)), kWhite);
}
