#include "GAME/run.h"

#include <SDL.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <functional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "BASE/errlog.h"
#include "GAME/Widget.h"
#include "GAME/game_ini.h"
#include "GRAPH/Sprite.h"
#include "GRAPH/graph.h"
#include "SYS/clock.h"
#include "SYS/msgbox.h"
#include "SYS/window.h"
#include "SYS/window_internal.h"
#include "temp_folder.h"

namespace {

// The performance counter, frozen until a test arms it; then every reading (one per loop pass)
// moves it on by the next scripted step, or by 10 ms once the script is used up.
constexpr int kRunaway = 5000;

struct ScriptedCounter {
    int64_t now = 5'000'000'000;
    std::vector<double> stepsMs;
    std::atomic<bool> armed{false};
    std::atomic<int> pass{0}; // readings since arming: the number of the current loop pass

    int64_t Read() {
        if (!armed) return now;
        const size_t index = size_t(pass.load());
        now += int64_t((index < stepsMs.size() ? stepsMs[index] : 10.0) * 1e6);
        // A loop that should have ended long ago fails the test instead of hanging it.
        if (++pass == kRunaway) sys::PostQuitMessage(kRunaway);
        return now;
    }
};

// A screen that records the pass of every tick and draw; `onTick` runs at each tick with the
// tick's number (from 1) and may remove the screen (then it must return true).
struct ScreenLog {
    std::vector<int> tickPasses;
    std::vector<int> drawPasses;
    std::atomic<int> ticks{0};
    bool destroyed = false;

    int TicksIn(int pass) const {
        return int(std::count(tickPasses.begin(), tickPasses.end(), pass));
    }
};

class TestScreen : public Widget {
public:
    using OnTick = std::function<bool(TestScreen& self, int tick)>;
    TestScreen(ScreenLog& log, ScriptedCounter& counter, OnTick onTick)
        : log_(log), counter_(counter), onTick_(std::move(onTick)) {}
    ~TestScreen() override { log_.destroyed = true; }

    int Update(float elapsedMs) override {
        Widget::Update(elapsedMs);
        log_.tickPasses.push_back(counter_.pass);
        ++log_.ticks;
        if (onTick_ && onTick_(*this, log_.ticks)) return 0; // removed: touch nothing more
        return 0;
    }
    int Draw() override {
        log_.drawPasses.push_back(counter_.pass);
        return 0;
    }
    bool RemoveSelf() {
        parent->RemoveChild(this);
        return true;
    }

private:
    ScreenLog& log_;
    ScriptedCounter& counter_;
    OnTick onTick_;
};

constexpr const char* kLoopIni = "[main]\nname=RunTest\nxs=64\nys=48\nx=3\ny=4\nbpp=16\n"
                                 "DrawFPS=60\nLogicFPS=100\nShowFPS=0\n";

class RunTest : public TempFolderTest {
protected:
    void SetUp() override {
        TempFolderTest::SetUp();
        setenv("SDL_VIDEODRIVER", "dummy", 0);
        setenv("SDL_AUDIODRIVER", "dummy", 0);
        setenv("XDG_RUNTIME_DIR", Folder().c_str(), 1); // this test's own single-instance lock
        CloseErrorLog();
        sys::SetMessageBoxResponder(
            [](const std::string&, const std::string&, unsigned) { return sys::IDOK; });
        sys::SetCounterSourceForTesting([this] { return counter_.Read(); });
    }
    void TearDown() override {
        ReplaceAllScreens(nullptr);
        if (started_) ShutDown();
        sys::SetCounterSourceForTesting({});
        sys::SetMessageBoxResponder({});
        CloseErrorLog();
        TempFolderTest::TearDown();
    }

    void Start(const std::string& ini = kLoopIni) {
        WriteFile("game.ini", ini);
        char program[] = "reefpop";
        char* argv[] = {program, nullptr};
        ASSERT_TRUE(StartUp(1, argv));
        started_ = true;
        ReplaceAllScreens(nullptr); // the loop tests drive their own screens, not the menus
    }
    TestScreen* Push(TestScreen::OnTick onTick) {
        return static_cast<TestScreen*>(
            PushScreen(std::make_unique<TestScreen>(log_, counter_, std::move(onTick))));
    }
    // Removes the screen at the first tick after the scripted passes.
    TestScreen* PushUntilScriptEnds() {
        return Push([this](TestScreen& self, int) {
            return counter_.pass > int(counter_.stepsMs.size()) && self.RemoveSelf();
        });
    }
    int Run(std::vector<double> stepsMs) {
        counter_.stepsMs = std::move(stepsMs);
        counter_.armed = true;
        return RunMainLoop();
    }
    void Finish() {
        ShutDown();
        started_ = false;
    }
    // The keys of section `main`, in file order.
    std::vector<std::string> IniKeys() {
        std::istringstream in(ReadFile("game.ini"));
        std::vector<std::string> keys;
        for (std::string line; std::getline(in, line);) {
            size_t eq = line.find('=');
            if (eq != std::string::npos) keys.push_back(line.substr(0, eq));
        }
        return keys;
    }
    std::string IniValue(const char* key) {
        std::istringstream in(ReadFile("game.ini"));
        const std::string prefix = std::string(key) + "=";
        for (std::string line; std::getline(in, line);) {
            if (!line.empty() && line.back() == '\r') line.pop_back();
            if (line.rfind(prefix, 0) == 0) return line.substr(prefix.size());
        }
        return "<missing>";
    }

    ScriptedCounter counter_;
    ScreenLog log_;
    bool started_ = false;
};

TEST_F(RunTest, LogicTicksPerPass) {
    struct Case {
        std::vector<double> stepsMs;
        int pass;
        int ticks;
    };
    const Case cases[] = {
        {{1}, 1, 1},       // the first pass ticks at once, however little time has passed
        {{1, 1}, 2, 0},    // ... and leaves the accumulator one period short
        {{250}, 1, 11},    // a stall counts as 100 ms, plus the tick at threshold 0
        {{5, 250}, 2, 10}, // with the accumulator in [-period, 0): 100 ms worth
        {{5, 30}, 2, 3},   {{10, 10, 10}, 3, 1}, // steady state: one tick per period
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("pass " + std::to_string(c.pass) + " of " + std::to_string(c.stepsMs.size()));
        log_.tickPasses.clear();
        counter_.pass = 0;
        counter_.armed = false;
        Start();
        PushUntilScriptEnds();
        EXPECT_EQ(Run(c.stepsMs), 0);
        EXPECT_EQ(log_.TicksIn(c.pass), c.ticks);
        Finish();
    }
}

TEST_F(RunTest, DrawsEveryWholeMillisecondPeriodAtMostOncePerPass) {
    struct Case {
        std::vector<double> stepsMs;
        std::vector<int> drawPasses;
    };
    const Case cases[] = {
        // 60 per second is a 16 ms period, not 16.67: 8 ms passes draw every second pass.
        {{8, 8, 8, 8, 8, 8}, {2, 4, 6}},
        // A backlog is worked off one draw per pass (the accumulator is not clamped).
        {{100, 0, 0, 0, 0, 0, 0}, {1, 2, 3, 4, 5, 6}},
    };
    for (const Case& c : cases) {
        log_.drawPasses.clear();
        counter_.pass = 0;
        counter_.armed = false;
        Start();
        PushUntilScriptEnds();
        Run(c.stepsMs);
        std::vector<int> withinScript;
        for (int pass : log_.drawPasses)
            if (pass <= int(c.stepsMs.size())) withinScript.push_back(pass);
        EXPECT_EQ(withinScript, c.drawPasses);
        Finish();
    }
}

TEST_F(RunTest, LastScreenRemovingItselfEndsThePassAndClosesTheWindow) {
    Start();
    Push([](TestScreen& self, int tick) { return tick == 3 && self.RemoveSelf(); });
    EXPECT_EQ(Run({50}), 0); // five ticks would be due
    EXPECT_EQ(log_.ticks, 3);
    EXPECT_TRUE(log_.drawPasses.empty());
    EXPECT_TRUE(log_.destroyed);
    EXPECT_FALSE(sys::MainWindowExists());
}

TEST_F(RunTest, F10RemovesEveryScreenAndTheGameCloses) {
    Start();
    bool posted = false;
    Push([&posted](TestScreen&, int) {
        if (!posted)
            sys::PostMessage(sys::WM_SYSKEYDOWN, sys::VK_F10,
                             sys::MakeKeyLParam(1, 0x44, false, false));
        posted = true;
        return false;
    });
    Push(nullptr);
    EXPECT_EQ(Run({20}), 0);
    EXPECT_TRUE(log_.destroyed);
    EXPECT_EQ(RootWidget().ChildCount(), 0);
    EXPECT_FALSE(sys::MainWindowExists());
}

TEST_F(RunTest, InactiveGameBlocksWithoutTicking) {
    struct Case {
        sys::Msg leave, resume;
    };
    const Case cases[] = {
        {{sys::WM_ACTIVATEAPP, 0, 0}, {sys::WM_ACTIVATEAPP, 1, 0}},
        {{sys::WM_SIZE, sys::SIZE_MINIMIZED, 0}, {sys::WM_SIZE, sys::SIZE_RESTORED, 0}},
        {{sys::WM_SIZE, sys::SIZE_MAXHIDE, 0}, {sys::WM_ACTIVATEAPP, 2, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.leave.message);
        log_.ticks = 0;
        counter_.pass = 0;
        counter_.armed = false;
        Start();
        std::atomic<int> ticksWhileIdle{-1}, passesWhileIdle{-1};
        std::thread observer;
        Push([&](TestScreen& self, int tick) {
            if (tick == 1) {
                sys::PostMessage(c.leave.message, c.leave.wParam, c.leave.lParam);
                observer = std::thread([&] {
                    std::this_thread::sleep_for(std::chrono::milliseconds(100));
                    const int ticks = log_.ticks, passes = counter_.pass;
                    std::this_thread::sleep_for(std::chrono::milliseconds(150));
                    ticksWhileIdle = log_.ticks - ticks;
                    passesWhileIdle = counter_.pass - passes;
                    sys::PostMessage(c.resume.message, c.resume.wParam, c.resume.lParam);
                });
            }
            return tick == 2 && self.RemoveSelf();
        });
        Run({1});
        observer.join();
        EXPECT_EQ(ticksWhileIdle, 0);
        EXPECT_EQ(passesWhileIdle, 0);
        EXPECT_EQ(log_.ticks, 2); // ticking resumed
        Finish();
    }
}

TEST_F(RunTest, ActiveGameSleepsUntilTheNextTickOrDrawAndWakesForMessages) {
    // One tick and one draw per second, and a clock that stands still after the first tick: a
    // loop that spins between due times runs away; one that sleeps passes a handful of times
    // until the message from another thread wakes it, long before the draw would be due.
    Start("[main]\nname=RunTest\nxs=64\nys=48\nDrawFPS=1\nLogicFPS=1\nShowFPS=0\n");
    Push(nullptr);
    std::thread closer([] {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        sys::PostMessage(sys::WM_CLOSE, 0, 0);
    });
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(Run(std::vector<double>(kRunaway, 0.0)), 0);
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    closer.join();
    EXPECT_LT(counter_.pass, 10);
    EXPECT_EQ(log_.ticks, 1);
    EXPECT_LT(seconds, 0.9); // woken by the message, not by the draw due after 1 s
}

TEST_F(RunTest, FpsDisplayWritesTheRateOnTheBackBufferAndInTheTitle) {
    Start("[main]\nname=RunTest\nxs=64\nys=48\nDrawFPS=60\nLogicFPS=100\nShowFPS=1\n");
    PushUntilScriptEnds();
    Run({20});
    ASSERT_FALSE(log_.drawPasses.empty());
    // The window is gone at the end; the back buffer still holds the last frame.
    ASSERT_NE(RenderSurface, nullptr);
    RenderSurface->Lock();
    bool white = false;
    for (int y = 10; y < 30 && !white; ++y) {
        const uint16_t* row =
            reinterpret_cast<const uint16_t*>(RenderSurface->pixels + y * RenderSurface->pitch);
        for (int x = 10; x < 60 && !white; ++x) white = row[x] == 0xFFFF;
    }
    RenderSurface->Unlock();
    EXPECT_TRUE(white);
}

TEST_F(RunTest, FpsDisplaySetsTheWindowTitle) {
    Start("[main]\nname=RunTest\nxs=64\nys=48\nDrawFPS=60\nLogicFPS=100\nShowFPS=1\n");
    std::string title;
    Push([&](TestScreen& self, int tick) {
        if (tick < 4) return false; // the first draw ends the first pass
        title = SDL_GetWindowTitle(sys::MainSdlWindow());
        return self.RemoveSelf();
    });
    Run({20, 20});
    EXPECT_EQ(title, "fps = 0.000000"); // no rate measured yet: it needs 2 x DrawFPS frames
}

TEST_F(RunTest, SettingsAreWrittenBackInTheirOrder) {
    // Nothing that is written back is in the file, so every key is appended in writing order;
    // xs and ys are missing and fall back to 640 x 480 with a note in gerr.log.
    Start("[main]\nname=RunTest\nlanguage=DATA\\english.ini\nDrawFPS=60\nLogicFPS=100\n");
    EXPECT_EQ(Run({}), 0); // no screen: closes after the first tick
    Finish();
    EXPECT_EQ(IniKeys(),
              (std::vector<std::string>{"name", "language", "DrawFPS", "LogicFPS", "Bubble",
                                        "FullScreen", "ambient", "music", "sound", "player",
                                        "Sensitivity", "type", "diff", "xs", "ys", "x", "y"}));
    EXPECT_EQ(IniValue("xs"), "640");
    EXPECT_EQ(IniValue("ys"), "480");
    EXPECT_EQ(IniValue("sound"), "0.000000");
    const std::string log = ReadFile("gerr.log");
    EXPECT_NE(log.find("GAME/run.cpp line: "), std::string::npos) << log;
    EXPECT_NE(log.find("xs is not positive; using 640 = 0"), std::string::npos) << log;
    EXPECT_NE(log.find("ys is not positive; using 480 = 0"), std::string::npos) << log;
    EXPECT_EQ(log.find("DrawFPS"), std::string::npos) << log;
}

TEST_F(RunTest, ValuesAreKeptThroughARun) {
    Start("[main]\nname=RunTest\nxs=64\nys=48\nDrawFPS=30\nLogicFPS=50\nBubble=2\nplayer=Ann Lee\n"
          "Sensitivity=1.5\ntype=2\nsound=0.25\nmusic=0.5\nambient=0.75\nFullScreen=0\n");
    Run({});
    Finish();
    const std::pair<const char*, const char*> expected[] = {
        {"Bubble", "2"},         {"player", "Ann Lee"}, {"Sensitivity", "1.500000"},
        {"type", "2"},           {"sound", "0.250000"}, {"music", "0.500000"},
        {"ambient", "0.750000"}, {"xs", "64"},          {"DrawFPS", "30"},
    };
    for (const auto& [key, value] : expected) EXPECT_EQ(IniValue(key), value) << key;
    EXPECT_FALSE(std::filesystem::exists("gerr.log")); // nothing failed
}

TEST_F(RunTest, DifficultyIsLimitedWhenRead) {
    const std::pair<int, int> cases[] = {{7, 1}, {-5, -1}, {1, 1}, {-1, -1}, {0, 0}};
    for (const auto& [stored, used] : cases) {
        Start("[main]\nname=RunTest\nxs=64\nys=48\nDrawFPS=60\nLogicFPS=100\ndiff=" +
              std::to_string(stored) + "\n");
        EXPECT_EQ(Difficulty, used) << stored;
        Run({});
        Finish();
        EXPECT_EQ(IniValue("diff"), std::to_string(used)) << stored;
    }
}

TEST_F(RunTest, PositionOutsideTheScreenIsCentred) {
    const int screenW = sys::DesktopWidth(), screenH = sys::DesktopHeight();
    ASSERT_GT(screenW, 64);
    struct Case {
        int x, y, scale, expectedX, expectedY;
    };
    const Case cases[] = {
        {-1, -1, 1, (screenW - 64) / 2, (screenH - 48) / 2},
        {screenW, screenH, 1, (screenW - 64) / 2, (screenH - 48) / 2},
        {screenW - 1, 0, 1, screenW - 1, 0},
        {5, screenH - 1, 1, 5, screenH - 1},
        {-1, -1, 3, (screenW - 192) / 2, (screenH - 144) / 2}, // centred as it is shown, enlarged
    };
    for (const Case& c : cases) {
        // Full screen, so the position written back is the one worked out at start-up.
        Start("[main]\nname=RunTest\nxs=64\nys=48\nDrawFPS=60\nLogicFPS=100\nFullScreen=1\nx=" +
              std::to_string(c.x) + "\ny=" + std::to_string(c.y) +
              "\nWindowScale=" + std::to_string(c.scale) + "\n");
        EXPECT_EQ(dwPosX, c.expectedX) << c.x;
        EXPECT_EQ(dwPosY, c.expectedY) << c.y;
        Run({});
        Finish();
        EXPECT_EQ(IniValue("x"), std::to_string(c.expectedX));
        EXPECT_EQ(IniValue("y"), std::to_string(c.expectedY));
    }
}

TEST_F(RunTest, OnlyAWindowedGameSavesWhereItsWindowWas) {
    const std::pair<int, const char*> cases[] = {{0, "100"}, {1, "3"}};
    for (const auto& [fullScreen, expectedX] : cases) {
        Start(
            "[main]\nname=RunTest\nxs=64\nys=48\nx=3\ny=4\nDrawFPS=60\nLogicFPS=100\nFullScreen=" +
            std::to_string(fullScreen) + "\n");
        Push([](TestScreen& self, int) {
            const sys::Rect r = sys::GetWindowRect();
            sys::MoveMainWindow(100, 50, r.right - r.left, r.bottom - r.top);
            return self.RemoveSelf();
        });
        Run({});
        Finish();
        EXPECT_EQ(IniValue("x"), expectedX) << "full screen " << fullScreen;
    }
}

TEST_F(RunTest, ProgramFolderIsTheExecutablesFolder) {
    const std::string current = std::filesystem::current_path().string();
    const std::pair<const char*, std::string> cases[] = {
        {"C:\\Games\\Reef\\reefpop.exe", "C:\\Games\\Reef"},
        {"/opt/reef/reefpop", "/opt/reef"},
        {"reefpop", current},
    };
    WriteFile("game.ini", kLoopIni);
    for (const auto& [program, folder] : cases) {
        std::string arg = program;
        char* argv[] = {arg.data(), nullptr};
        ASSERT_TRUE(StartUp(1, argv));
        started_ = true;
        EXPECT_EQ(ProgramFolder, folder);
        Finish();
    }
    char* none[] = {nullptr};
    ASSERT_TRUE(StartUp(0, none));
    started_ = true;
    EXPECT_EQ(ProgramFolder, current);
}

TEST_F(RunTest, SecondCopyOnlyBringsTheFirstToTheFront) {
    ASSERT_FALSE(sys::BringRunningCopyToFront("RunTest")); // this process is the running copy
    // Also with the values that would leave a note in gerr.log: a second copy writes nothing.
    for (const char* ini : {kLoopIni, "[main]\nname=RunTest\nbpp=16\n"}) {
        SCOPED_TRACE(ini);
        WriteFile("game.ini", ini);
        const auto start = std::chrono::steady_clock::now();
        pid_t child = fork();
        if (child == 0) {
            char program[] = "reefpop";
            char* argv[] = {program, nullptr};
            _exit(WinMain(1, argv) == 0 && !started_ ? 42 : 1);
        }
        int status = 0;
        waitpid(child, &status, 0);
        const double seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        ASSERT_TRUE(WIFEXITED(status));
        EXPECT_EQ(WEXITSTATUS(status), 42);
        EXPECT_LT(seconds, 2.0);
        EXPECT_EQ(ReadFile("game.ini"), ini);
        EXPECT_FALSE(std::filesystem::exists("controls.ini"));
        EXPECT_FALSE(std::filesystem::exists("gerr.log"));
        const int served = sys::FrontRequestsServed();
        sys::ServeFrontRequests();
        EXPECT_EQ(sys::FrontRequestsServed(), served + 1);
    }
}

} // namespace
