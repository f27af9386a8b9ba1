#include "GAME/run.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>

#include "BASE/errlog.h"
#include "BASE/settings.h"
#include "BASE/user_files.h"
#include "GAME/Widget.h"
#include "GAME/game_ini.h"
#include "GAME/hero.h"
#include "GAME/input.h"
#include "GAME/menu.h"
#include "GAME/waterfall_backdrop.h"
#include "GRAPH/Sprite.h"
#include "GRAPH/font.h"
#include "GRAPH/graph.h"
#include "SOUND/Gsound.h"
#include "SOUND/music.h"
#include "SYS/clock.h"
#include "SYS/files.h"
#include "SYS/joystick.h"
#include "SYS/user_folders.h"
#include "SYS/window.h"
#include "SYS/window_view.h"

std::string ProgramFolder;
int ActiveFlag = 1;
float LoadProgress = 0.0f;
Font* MenuFont = nullptr;

namespace {

constexpr const char* kMain = "main";
constexpr float kMaxElapsedMs = 100.0f;

// Used when game.ini lacks a usable value: zero cannot be a period or a size.
constexpr int kDefaultDrawFPS = 60;
constexpr int kDefaultLogicFPS = 100;
constexpr int kDefaultWidth = 640;
constexpr int kDefaultHeight = 480;

int BitsPerPixel = 0;
float MsPerCount = 0.0f;
int64_t LastCounter = 0;
float LogicAccumulator = 0.0f;
float DrawAccumulator = 0.0f;
JoystickKeyTranslator JoystickKeys;

// FPS display.
int FrameCounter = 0;
int LastClock = 0;
float MeasuredFps = 0.0f;

void SetProgramFolder(int argc, char** argv) {
    // The executable's path cut at its last separator: a backslash as on Windows, or the host's
    // slash.
    const std::string path = argc > 0 && argv[0] ? argv[0] : "";
    const size_t cut = path.find_last_of("\\/");
    ProgramFolder =
        cut != std::string::npos && cut > 0 ? path.substr(0, cut) : sys::GetCurrentFolder();
}

// DrawFPS, LogicFPS, xs and ys have no usable zero; a missing or non-positive value takes the
// default and leaves a note in gerr.log.
void RequirePositive(int& value, int fallback, const char* note, int line) {
    if (value > 0) return;
    LogFailure(value, note, __FILE__, line);
    value = fallback;
}

void RequireLoopSettings() {
    RequirePositive(DrawFPS, kDefaultDrawFPS, "game.ini [main] DrawFPS is not positive; using 60",
                    __LINE__);
    RequirePositive(LogicFPS, kDefaultLogicFPS,
                    "game.ini [main] LogicFPS is not positive; using 100", __LINE__);
    RequirePositive(dwScrX, kDefaultWidth, "game.ini [main] xs is not positive; using 640",
                    __LINE__);
    RequirePositive(dwScrY, kDefaultHeight, "game.ini [main] ys is not positive; using 480",
                    __LINE__);
}

// A position outside the screen centres the window.
void CentreOffScreenPosition() {
    const int screenWidth = sys::DesktopWidth();
    const int screenHeight = sys::DesktopHeight();
    const int scale = sys::WindowScale();
    if (dwPosX < 0 || dwPosX >= screenWidth) dwPosX = (screenWidth - dwScrX * scale) / 2;
    if (dwPosY < 0 || dwPosY >= screenHeight) dwPosY = (screenHeight - dwScrY * scale) / 2;
}

void CreateGameWindow() {
    if (!sys::RegisterWindowClass()) LogFailure(1, "!RegisterClass(&wc)", __FILE__, 290);
    if (!sys::CreateMainWindow(WinName.c_str(), dwPosX, dwPosY, dwScrX, dwScrY, GameWindowProc)) {
        LogFailure(1,
                   "!( gb_Wnd.hWnd = CreateWindow( WinName, WinName, WS_POPUP | WS_VISIBLE, "
                   "dwPosX,dwPosY, dwScrX,dwScrY, NULL, NULL, NULL, NULL ) )",
                   __FILE__, 300);
        return;
    }
    // Desktops show the icon in their task lists; the game runs on without one.
    sys::SetMainWindowIcon("icons\\reefpop-64.png");
    sys::ShowMainWindow();
}

void ResetLoopState() {
    LogicAccumulator = 0.0f;
    DrawAccumulator = 0.0f;
    ActiveFlag = 1;
    LoadProgress = 0.0f;
    FrameCounter = 0;
    MeasuredFps = 0.0f;
    JoystickKeys = JoystickKeyTranslator{};
}

// Counter time since the previous measurement, at most 100 ms, so a stall is never replayed.
float MeasureElapsed() {
    const int64_t now = sys::QueryPerformanceCounter();
    float elapsed = float(now - LastCounter) * MsPerCount;
    if (elapsed > kMaxElapsedMs) elapsed = kMaxElapsedMs;
    LastCounter = now;
    return elapsed;
}

void CloseGameWindow() {
    // Without a window (it could not be created) there is nothing to close: end the loop directly.
    if (sys::MainWindowExists())
        sys::SendMessage(sys::WM_CLOSE, 0, 0);
    else
        sys::PostQuitMessage(0);
}

// Threshold 0: the first pass ticks at once, and between passes the accumulator lies in
// [-period, 0).
void RunLogicTicks(float elapsed) {
    Widget& root = RootWidget();
    const float period = float(1000.0 / LogicFPS);
    LogicAccumulator += elapsed;
    while (LogicAccumulator >= 0.0f) {
        root.Update(period);
        if (root.ChildCount() == 0) {
            CloseGameWindow();
            return;
        }
        LogicAccumulator -= period;
    }
}

void ShowFpsDisplay() {
    if (!ShowFPS) return;
    if (FrameCounter > 2 * DrawFPS) {
        const int now = int(sys::GetTickCount());
        if (now != LastClock) MeasuredFps = float(FrameCounter) * 1000.0f / float(now - LastClock);
        LastClock = now;
        FrameCounter = 0;
    } else {
        ++FrameCounter;
    }
    char text[64];
    std::snprintf(text, sizeof text, "fps = %f", double(MeasuredFps));
    if (RenderSurface) RenderSurface->DrawGdiText(10, 10, text, 0x00FFFFFF);
    sys::SetMainWindowTitle(text);
}

// The period in whole milliseconds (60 per second gives 16 ms); at most one draw per pass, and
// the accumulator is not clamped, so a backlog is worked off one draw per pass.
void RunDraw(float elapsed) {
    Widget& root = RootWidget();
    const int period = 1000 / DrawFPS;
    DrawAccumulator += elapsed;
    if (DrawAccumulator >= float(period) && root.ChildCount() > 0) {
        root.Draw();
        ShowFpsDisplay();
        Present();
        DrawAccumulator -= float(period);
    }
}

// Sleeps until the next tick or draw is due or a message arrives; the loop would spin between
// them otherwise. Rounded up, so the pass that follows has work to do.
void WaitUntilDue() {
    const float untilTick = -LogicAccumulator; // ticks run once the accumulator reaches 0
    const float untilDraw = float(1000 / DrawFPS) - DrawAccumulator;
    const float until = std::min(untilTick, untilDraw);
    if (until > 0.0f) sys::WaitMessageFor(unsigned(std::ceil(until)));
}

} // namespace

bool StartUp(int argc, char** argv) {
    ResetLoopState();
    SetProgramFolder(argc, argv);
    SetMusicFolder(ProgramFolder);
    ChooseUserFilesFolder();
    ReadGameIni();
    MsPerCount = float(1000.0 / double(sys::QueryPerformanceFrequency()));
    ScanBubbleSets();
    // Before anything is written (the notes about missing loop values): a second copy leaves
    // no trace.
    if (sys::BringRunningCopyToFront(WinName.c_str())) return false;
    LastClock = int(sys::GetTickCount());
    RequireLoopSettings();
    // Large desktops get the window enlarged by a whole factor; the back buffer keeps its size.
    sys::SetWindowScale(sys::ChooseWindowScale(GetIniInt(kGameIni, kMain, "WindowScale"),
                                               sys::DesktopWidth(), sys::DesktopHeight(), dwScrX,
                                               dwScrY));
    CentreOffScreenPosition();

    CreateGameWindow();
    LastCounter = sys::QueryPerformanceCounter();
    BitsPerPixel = GetIniInt(kGameIni, kMain, "bpp");
    SetupDisplay(dwScrX, dwScrY, BitsPerPixel, FullScreen);
    MenuFont = LoadFont(kMenuFontFile);
    PushScreen(MakeLoadingScreen());

    LoadMenuPictures();
    SetUpSound();
    AdvanceLoading(0.1f);

    SetChannelVolume(GetIniFloat(kGameIni, kMain, "sound"), 0);
    SetChannelVolume(GetIniFloat(kGameIni, kMain, "music"), 1);
    SetChannelVolume(GetIniFloat(kGameIni, kMain, "ambient"), 2);
    LoadSoundList(kSoundIni);

    SwitchMusic("DATA\\SOUND\\music.ogg", true, true);
    AdvanceLoading(0.01f);

    Backdrop.create();
    AdvanceLoading(0.05f);

    TheHero.load();
    AdvanceLoading(0.1f);

    sys::SetJoystickThreshold(1);
    sys::SetControllerMappingFiles({ProgramFolder + "/gamecontrollerdb.txt",
                                    sys::ConfigHome() + "/reefpop/gamecontrollerdb.txt"});
    // Without a joystick now the capture still waits for a pad plugged in while the game runs.
    sys::CaptureJoystick(20, true);
    AdvanceLoading(0.05f);

    LoadBindings(UserFilePath(kControlsIni).c_str());
    AdvanceLoading(1.0f);
    return true;
}

void AdvanceLoading(float step) {
    LoadProgress += step;
    if (LoadProgress > 1.0f) LoadProgress = 1.0f;
    Widget& root = RootWidget();
    root.Update(MeasureElapsed());
    root.Draw();
    Present();
}

int RunMainLoop() {
    sys::Msg msg;
    for (;;) {
        if (sys::PeekMessage(msg)) {
            if (msg.message == sys::WM_QUIT) return int(msg.wParam);
            sys::TranslateMessage(msg);
            sys::DispatchMessage(msg);
            continue;
        }
        if (!ActiveFlag) {
            sys::WaitMessage();
            continue;
        }
        const float elapsed = MeasureElapsed();
        RunLogicTicks(elapsed);
        RunDraw(elapsed);
        WaitUntilDue();
    }
}

void ShutDown() {
    ReleaseMusicSlots();
    Widget& root = RootWidget();
    while (root.ChildCount() > 0) root.RemoveChild(root.children.back().get());
    TheHero.release();
    Backdrop.release();
    sys::ReleaseJoystickCapture();
    ReleaseMenuPictures();
    if (MenuFont) ReleaseFont(MenuFont);
    MenuFont = nullptr;
    WriteGameIniBack();
    SaveBindings(UserFilePath(kControlsIni).c_str());
    ShutDownSound();
    ShutdownDisplay(false);
    sys::ShowCursor(true);
    if (sys::MainWindowExists()) sys::DestroyMainWindow();
}

int WinMain(int argc, char** argv) {
    if (!StartUp(argc, argv)) return 0;
    RunMainLoop();
    ShutDown();
    return 0;
}

sys::LRESULT GameWindowProc(unsigned message, sys::WPARAM wParam, sys::LPARAM lParam) {
    Widget& root = RootWidget();
    switch (message) {
    case sys::WM_DESTROY: {
        const sys::Rect rect = sys::GetWindowRect();
        if (!FullScreen) {
            dwPosX = rect.left;
            dwPosY = rect.top;
        }
        sys::PostQuitMessage(0);
        return sys::DefWindowProc(message, wParam, lParam);
    }
    case sys::WM_SIZE:
        ActiveFlag = (wParam == sys::SIZE_MINIMIZED || wParam == sys::SIZE_MAXHIDE) ? 0 : 1;
        root.HandleMessage(message, wParam, lParam);
        return sys::DefWindowProc(message, wParam, lParam);
    case sys::WM_SETFOCUS:
        OnFocusGained(); // a current MIDI music plays again; Ogg and wave music are not touched
        return sys::DefWindowProc(message, wParam, lParam);
    case sys::WM_KILLFOCUS: OnFocusLost(); return sys::DefWindowProc(message, wParam, lParam);
    case sys::WM_ERASEBKGND:
        if (RenderSurface && RenderSurface->lpDDSurface) Present();
        return 0;
    case sys::WM_ACTIVATEAPP:
        ActiveFlag = (wParam == 1 || wParam == 2) ? 1 : 0;
        root.HandleMessage(message, wParam, lParam);
        return 0;
    case sys::WM_SETCURSOR:
    case sys::MM_MCINOTIFY: return sys::DefWindowProc(message, wParam, lParam);
    case sys::MM_JOY1MOVE:
    case sys::MM_JOY1BUTTONDOWN:
    case sys::MM_JOY1BUTTONUP:
        if (ActiveFlag == 1 && sys::JoystickCaptureActive()) {
            JoystickKeys.Translate(
                message, wParam, lParam,
                [&root](unsigned keyMessage, sys::WPARAM key, sys::LPARAM keyLParam) {
                    root.HandleMessage(keyMessage, key, keyLParam);
                });
        }
        return sys::DefWindowProc(message, wParam, lParam);
    case sys::WM_SYSKEYDOWN:
        // F10 closes the game at its next logic tick.
        if (wParam == sys::VK_F10) ReplaceAllScreens(nullptr);
        root.HandleMessage(message, wParam, lParam);
        return sys::DefWindowProc(message, wParam, lParam);
    default:
        root.HandleMessage(message, wParam, lParam);
        return sys::DefWindowProc(message, wParam, lParam);
    }
}
