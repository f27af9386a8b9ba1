// The scene in an empty game folder, drawn into a 640x480 back buffer of its own: pictures are
// written by the test, missing ones are answered like the loader's message box.
#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "GAME/hero.h"
#include "GAME/waterfall_backdrop.h"
#include "GRAPH/graph_test_util.h"
#include "screen_fixture.h"

class SceneTest : public AnsweredBoxesTest {
protected:
    static constexpr uint16_t kSentinel = 0x1234;

    void SetUp() override {
        AnsweredBoxesTest::SetUp();
        std::filesystem::create_directories("DATA");
        previous_ = RenderSurface;
        screen_ = graphtest::SurfaceSprite(640, 480);
        RenderSurface = screen_.get();
        graphtest::FillAll(*screen_, kSentinel);
    }
    void TearDown() override {
        Backdrop.release();
        Backdrop = WaterfallBackdrop{};
        TheHero.release();
        TheHero = Hero{};
        RenderSurface = previous_;
        screen_.reset();
        DestroyUnheldSprites();
        AnsweredBoxesTest::TearDown();
    }

    uint16_t& Pixel(int x, int y) { return graphtest::At(*screen_, x, y); }
    void Clear() { graphtest::FillAll(*screen_, kSentinel); }

    // A top-down TGA of one colour (24 bits), or with one alpha per column (32 bits).
    static void SolidTga(const std::string& path, int w, int h, uint8_t r, uint8_t g, uint8_t b) {
        std::filesystem::create_directories(std::filesystem::path(path).parent_path());
        graphtest::WriteTga(path, w, h, 24, graphtest::Solid(w, h, b, g, r));
    }
    static void AlphaColumnsTga(const std::string& path, const std::vector<uint8_t>& alphas,
                                int h) {
        std::vector<uint8_t> bgra;
        for (int y = 0; y < h; ++y)
            for (uint8_t a : alphas) bgra.insert(bgra.end(), {255, 255, 255, a});
        graphtest::WriteTga(path, int(alphas.size()), h, 32, bgra);
    }

    std::unique_ptr<Sprite> screen_;

private:
    Sprite* previous_ = nullptr;
};
