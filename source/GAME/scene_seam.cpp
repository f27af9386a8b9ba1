#include "GAME/scene_seam.h"

#include "BASE/rnd.h"
#include "GAME/hero.h"
#include "GAME/particle_emitter.h"
#include "GAME/water_line.h"
#include "GAME/waterfall_backdrop.h"
#include "GRAPH/Sprite.h"
#include "GRAPH/graph.h"

namespace {

// The scene of a level on screen: the program-wide backdrop and hero, and the level's own water
// line and rising bubbles.
class ShownLevelScene : public LevelScene {
public:
    void UpdateBackdrop(float dt) override { Backdrop.update(dt); }
    void DrawBackdrop(int x, int y, int w, int h, int waterTop) override {
        Backdrop.setFreeRect(x, y, w, h);
        Backdrop.setWaterTop(waterTop);
        Backdrop.draw();
        Backdrop.resetFrame();
    }
    void DisturbWater(int column, WaterShape shape) override { water_.disturb(column, shape); }
    int WaterHeight(int column) const override { return water_.height(column); }
    void UpdateWater(float dt, float x, float y, int surfaceY, int originX) override {
        rising_.setPoint(x, y);
        // Rising bubbles that reach the surface burst into a ripple.
        for (Particle& p : rising_.Records()) {
            if (!p.sprite || p.y > float(surfaceY)) continue;
            const int column = rnd(p.x - float(originX)) >> 1;
            rising_.free(p);
            water_.disturb(column, WaterShape::Dip16);
        }
        rising_.update(dt);
        water_.tick(dt);
    }
    void DrawRisingBubbles() override { rising_.draw(); }
    void DrawWavy(Sprite* picture, int x, int y, float time) override {
        drawWavy(picture, x, y, time);
    }
    void HeroEvent(int event) override { TheHero.event(event); }
    bool HeroIdle() const override { return TheHero.idle(); }
    void UpdateHero(float dt) override { TheHero.update(dt); }
    void DrawHero() override { TheHero.draw(); }

private:
    WaterLine water_;
    RisingBubbleEmitter rising_;
};

} // namespace

void LevelScene::DrawWavy(Sprite* picture, int x, int y, float) {
    if (picture && RenderSurface) RenderSurface->DrawSprite(x, y, picture, OP_MASK, 0.0f);
}

std::unique_ptr<LevelScene> MakeLevelScene(bool shown) {
    if (shown) return std::make_unique<ShownLevelScene>();
    return std::make_unique<LevelScene>();
}
