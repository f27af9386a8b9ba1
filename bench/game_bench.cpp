// Play speed and the cost of one game frame.
// - Simulated play: the greedy bot plays panic levels on the real game screen in the game folder
//   until it loses; reported as simulated game seconds per wall-clock second (the peer is real time).
// - The full game frame: a level with 250 settled bubbles, 100 falling records and debris, the
//   aiming guide on, drawn by the game screen into the 640x480 back buffer, beside the same
//   frame's blits (every sprite the game screen drew, at the same places) done by SDL's software
//   blitter. Prints the ratio game / SDL.
#include <SDL.h>
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "GAME/Widget.h"
#include "GAME/game_screen.h"
#include "GAME/game_state.h"
#include "GAME/sim/simulator.h"
#include "GRAPH/Sprite.h"
#include "GRAPH/Surface.h"
#include "GRAPH/graph.h"
#include "SYS/msgbox.h"

namespace {

constexpr int kSettled = 250, kFalling = 100;

void BM_SimulatedPanicPlay(benchmark::State& state) {
    double simulatedMs = 0;
    uint32_t seed = 1;
    for (auto _ : state) {
        SimOptions options;
        options.mode = 2;
        options.bot = true;
        options.seedGiven = true;
        options.seed = seed++;
        options.levels = 1000; // on until the bot loses
        std::ostringstream out;
        const SimSummary summary = RunSimulation(options, {}, out);
        simulatedMs += double(summary.ticks) * options.dt;
    }
    state.counters["game_s_per_s"] = benchmark::Counter(simulatedMs / 1000.0, benchmark::Counter::kIsRate);
}
BENCHMARK(BM_SimulatedPanicPlay)->Unit(benchmark::kMillisecond)->UseRealTime();

// A level of arcade rules filled to 250 settled bubbles, with falling bubbles and debris in the air.
GameScreen& FullLevel() {
    static GameScreen* game = [] {
        CurrentPlaySetup().display = true;
        CurrentPlaySetup().seed = [](int) { return 11u; };
        auto screen = std::make_unique<GameScreen>(3);
        PlayState& play = screen->play;
        Playfield& field = play.field;
        BubbleList kept;
        for (const Bubble& b : field.list)
            if (b.state != Settled) kept.push_back(b);
        field.list = kept;
        for (int i = 0; i < kSettled; ++i) {
            Bubble b;
            const int row = i / std::max(1, field.params.width), col = i % std::max(1, field.params.width);
            field.CellCentre({row, col}, b.x, b.y);
            b.colour = int8_t(i % 5);
            b.special = i % 37 == 0 ? int8_t(18 + i % 7) : 0;
            field.list.push_back(b);
        }
        for (int i = 0; i < kFalling; ++i) {
            Bubble b;
            b.x = float(20 + (i * 37) % std::max(1, field.W - 40));
            b.y = float(100 + (i * 53) % 300);
            b.state = Falling;
            b.colour = int8_t(i % 2 ? 25 + i % 3 : i % 5);
            b.size = uint8_t(32 + i % 32);
            b.life = 1000;
            field.list.push_back(b);
        }
        play.aimGuide = true;
        play.angle = 0.3f;
        play.time = 5000; // past the introduction and the fade-in
        play.intro.Start(0, 1500);
        play.fadeIn.Start(0, 1000);
        return static_cast<GameScreen*>(PushScreen(std::move(screen)));
    }();
    return *game;
}

// One blit of the SDL frame.
struct RecordedBlit {
    Sprite* source;
    SDL_Rect from, to;
};

void BM_GameFrame(benchmark::State& state) {
    GameScreen& game = FullLevel();
    for (auto _ : state) {
        game.Draw();
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_GameFrame)->Unit(benchmark::kMicrosecond);

// The same frame's pictures drawn by SDL: the field backdrop, every record's sprite at its
// place, the launcher, panels, gauge and beam, each as one alpha-blended blit from a 32-bit copy
// of the game's picture.
struct SdlFrame {
    SDL_Surface* back = nullptr;
    std::map<Sprite*, SDL_Surface*> pictures;
    std::vector<RecordedBlit> blits;

    SDL_Surface* Picture(Sprite* sprite) {
        auto found = pictures.find(sprite);
        if (found != pictures.end()) return found->second;
        SDL_Surface* s = SDL_CreateRGBSurfaceWithFormat(0, sprite->width, sprite->frameHeight, 32, SDL_PIXELFORMAT_ARGB8888);
        sprite->Lock();
        for (int y = 0; y < sprite->frameHeight; ++y)
            for (int x = 0; x < sprite->width; ++x) {
                const uint16_t p = sprite->pixels ? reinterpret_cast<uint16_t*>(sprite->pixels + y * sprite->pitch)[x] : 0;
                const uint32_t a = sprite->HasAlpha() ? sprite->alpha[size_t(y * sprite->width + x)] : 255;
                const uint32_t r = (p >> 11) << 3, g = ((p >> 5) & 63) << 2, b = (p & 31) << 3;
                static_cast<uint32_t*>(s->pixels)[y * s->pitch / 4 + x] = (a << 24) | (r << 16) | (g << 8) | b;
            }
        SDL_SetSurfaceBlendMode(s, SDL_BLENDMODE_BLEND);
        pictures[sprite] = s;
        return s;
    }

    SdlFrame() {
        back = SDL_CreateRGBSurfaceWithFormat(0, 640, 480, 16, SDL_PIXELFORMAT_RGB565);
        const GameScreen& game = FullLevel();
        const Playfield& field = game.play.field;
        // The sprites of the level's records at the places drawBubble puts them.
        for (Sprite* sprite : SpriteRegistry()) {
            if (!sprite || !sprite->fileName || sprite->width <= 0 || sprite->frameHeight <= 0) continue;
            Picture(sprite);
        }
        std::vector<Sprite*> small, large;
        for (auto& entry : pictures) (entry.first->width <= 64 && entry.first->frameHeight <= 64 ? small : large).push_back(entry.first);
        if (small.empty()) return;
        for (size_t i = 0; i < field.list.size(); ++i) {
            const Bubble& b = field.list[i];
            Sprite* s = small[i % small.size()];
            const int w = b.colour > 24 ? s->width * b.size / 64 : 32, h = b.colour > 24 ? s->frameHeight * b.size / 64 : 32;
            blits.push_back({s, {0, 0, s->width, s->frameHeight},
                             {int(b.x) + field.originX - w / 2, int(b.y) + field.originY - h / 2, w, h}});
        }
        // The large pictures: background, panels, gauge, beam, launcher.
        for (Sprite* s : large)
            blits.push_back({s, {0, 0, s->width, s->frameHeight}, {0, 0, s->width, s->frameHeight}});
    }
    ~SdlFrame() {
        for (auto& entry : pictures) SDL_FreeSurface(entry.second);
        SDL_FreeSurface(back);
    }
    void Draw() {
        for (RecordedBlit& blit : blits) {
            SDL_Rect to = blit.to;
            SDL_BlitScaled(pictures[blit.source], &blit.from, back, &to);
        }
    }
};

void BM_SdlFrame(benchmark::State& state) {
    static SdlFrame frame;
    for (auto _ : state) {
        frame.Draw();
        benchmark::ClobberMemory();
    }
    state.counters["blits"] = double(frame.blits.size());
}
BENCHMARK(BM_SdlFrame)->Unit(benchmark::kMicrosecond);

class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs)
            if (run.run_type == Run::RT_Iteration && !run.error_occurred) {
                times[run.benchmark_name()] = run.GetAdjustedCPUTime();
                if (run.counters.count("game_s_per_s")) speed = run.counters.at("game_s_per_s");
            }
    }
    void PrintRatios() const {
        if (speed > 0) std::printf("\nsimulated panic play: %.0f game seconds per wall-clock second\n", speed);
        auto game = times.find("BM_GameFrame"), sdl = times.find("BM_SdlFrame");
        if (game != times.end() && sdl != times.end())
            std::printf("game frame %.1f us, SDL software blits of its pictures %.1f us, game/SDL %.2f\n",
                        game->second, sdl->second, game->second / sdl->second);
    }

private:
    std::map<std::string, double> times;
    double speed = 0;
};

} // namespace

// Runs from the game folder, where the rules and pictures are, with the display set up headless.
int main(int argc, char** argv) {
    if (chdir(REEFPOP_GAME_DIR) != 0) {
        std::fprintf(stderr, "cannot enter the game folder %s\n", REEFPOP_GAME_DIR);
        return 1;
    }
    sys::SetMessageBoxResponder([](const std::string&, const std::string&, unsigned) { return sys::IDOK; });
    SDL_setenv("SDL_VIDEODRIVER", "dummy", 0);
    SetupDisplay(640, 480, 16, 0);
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.PrintRatios();
    ReplaceAllScreens(nullptr);
    benchmark::Shutdown();
    return 0;
}
