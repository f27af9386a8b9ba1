// The idle frame: drawing the main menu (the root widget's draw, as the main loop does it at
// every draw, after one logic tick) beside presenting the frame it drew, in the same run.
// The ratio shows what the menu's own drawing costs against the present that follows it; run
// under callgrind (bench/menu_frame_ir.sh) it gives instructions per frame, steady under load.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>

#include "GAME/Widget.h"
#include "GAME/game_ini.h"
#include "GAME/menu.h"
#include "GAME/run.h"
#include "GRAPH/graph.h"
#include "SDL.h"
#include "SYS/msgbox.h"

namespace fs = std::filesystem;

namespace {

void BM_MainMenuDraw(benchmark::State& state) {
    Widget& root = RootWidget();
    for (auto _ : state) {
        root.Update(1000.0f / float(LogicFPS));
        root.Draw();
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_MainMenuDraw)->Unit(benchmark::kMicrosecond);

void BM_Present(benchmark::State& state) {
    for (auto _ : state) Present();
}
BENCHMARK(BM_Present)->Unit(benchmark::kMicrosecond);

class DrawVsPresentReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs)
            if (run.run_type == Run::RT_Iteration && !run.error_occurred)
                times_[run.benchmark_name()] = run.GetAdjustedCPUTime();
    }
    void PrintRatio() const {
        auto draw = times_.find("BM_MainMenuDraw"), present = times_.find("BM_Present");
        if (draw != times_.end() && present != times_.end())
            std::printf(
                "main menu draw %.1f us; peer: presenting the frame %.1f us; draw/present %.2f\n",
                draw->second, present->second, draw->second / present->second);
    }

private:
    std::map<std::string, double> times_;
};

} // namespace

// Runs the game's start-up in a copy of the game folder (its DATA shared), headless.
int main(int argc, char** argv) {
    char pattern[] = "/tmp/menu_bench_XXXXXX";
    const fs::path folder = mkdtemp(pattern);
    const fs::path game = REEFPOP_GAME_DIR;
    fs::create_directory_symlink(game / "DATA", folder / "DATA");
    for (const char* file : {"game.ini", "controls.ini", "highscore.ini"})
        if (fs::exists(game / file)) fs::copy_file(game / file, folder / file);
    if (chdir(folder.c_str()) != 0) return 1;
    SDL_setenv("SDL_VIDEODRIVER", "dummy", 0);
    SDL_setenv("SDL_AUDIODRIVER", "dummy", 0);
    setenv("XDG_RUNTIME_DIR", folder.c_str(), 1); // a single-instance lock of its own
    sys::SetMessageBoxResponder(
        [](const std::string&, const std::string&, unsigned) { return sys::IDOK; });
    char program[] = "reefpop";
    char* args[] = {program, nullptr};
    int status = 1;
    if (StartUp(1, args)) {
        ReplaceAllScreens(MakeMainMenu());
        benchmark::Initialize(&argc, argv);
        DrawVsPresentReporter reporter;
        benchmark::RunSpecifiedBenchmarks(&reporter);
        reporter.PrintRatio();
        benchmark::Shutdown();
        ShutDown();
        status = 0;
    }
    std::error_code ignored;
    fs::remove_all(folder, ignored);
    return status;
}
