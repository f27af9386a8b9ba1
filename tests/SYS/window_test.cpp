#include <SDL.h>
#include <gtest/gtest.h>
#include <png.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "SYS/keymap.h"
#include "SYS/window.h"
#include "SYS/window_internal.h"
#include "SYS/window_view.h"

namespace {

using namespace sys;

// ---- Key codes -------------------------------------------------------------------------------

struct KeyCase {
    SDL_Scancode scancode;
    SDL_Keycode symbol;
    bool numLock;
    unsigned virtualKey;
    unsigned scanCode;
    bool extended;
};

TEST(KeyCodes, PhysicalKeysGiveWindowsCodes) {
    const KeyCase cases[] = {
        {SDL_SCANCODE_A, SDLK_a, false, 'A', 0x1E, false},
        {SDL_SCANCODE_Q, SDLK_a, false, 'A', 0x10, false}, // AZERTY: the layout names the letter
        {SDL_SCANCODE_1, SDLK_AMPERSAND, false, '1', 0x02, false},
        {SDL_SCANCODE_RETURN, SDLK_RETURN, false, VK_RETURN, 0x1C, false},
        {SDL_SCANCODE_KP_ENTER, SDLK_KP_ENTER, false, VK_RETURN, 0x1C, true},
        {SDL_SCANCODE_UP, SDLK_UP, false, VK_UP, 0x48, true},
        {SDL_SCANCODE_LEFT, SDLK_LEFT, false, VK_LEFT, 0x4B, true},
        {SDL_SCANCODE_KP_8, SDLK_KP_8, true, VK_NUMPAD0 + 8, 0x48, false},
        {SDL_SCANCODE_KP_8, SDLK_KP_8, false, VK_UP, 0x48, false},
        {SDL_SCANCODE_LALT, SDLK_LALT, false, VK_MENU, 0x38, false},
        {SDL_SCANCODE_RALT, SDLK_RALT, false, VK_MENU, 0x38, true},
        {SDL_SCANCODE_RCTRL, SDLK_RCTRL, false, VK_CONTROL, 0x1D, true},
        {SDL_SCANCODE_RSHIFT, SDLK_RSHIFT, false, VK_SHIFT, 0x36, false},
        {SDL_SCANCODE_F10, SDLK_F10, false, VK_F10, 0x44, false},
        {SDL_SCANCODE_F12, SDLK_F12, false, VK_F12, 0x58, false},
        {SDL_SCANCODE_PAUSE, SDLK_PAUSE, false, VK_PAUSE, 0x45, false},
        {SDL_SCANCODE_ESCAPE, SDLK_ESCAPE, false, VK_ESCAPE, 0x01, false},
        {SDL_SCANCODE_SPACE, SDLK_SPACE, false, VK_SPACE, 0x39, false},
    };
    for (const KeyCase& c : cases) {
        KeyCodes codes;
        ASSERT_TRUE(KeyCodesOf(c.scancode, c.symbol, c.numLock, codes))
            << SDL_GetScancodeName(c.scancode);
        EXPECT_EQ(codes.virtualKey, c.virtualKey) << SDL_GetScancodeName(c.scancode);
        EXPECT_EQ(codes.scanCode, c.scanCode) << SDL_GetScancodeName(c.scancode);
        EXPECT_EQ(codes.extended, c.extended) << SDL_GetScancodeName(c.scancode);
    }
    KeyCodes none;
    EXPECT_FALSE(KeyCodesOf(SDL_SCANCODE_AUDIOPLAY, SDLK_AUDIOPLAY, false, none));
}

// ---- Picture placement -----------------------------------------------------------------------

TEST(WindowView, FitsKeepingAspect) {
    struct Case {
        int outW, outH, picW, picH;
        Viewport expected;
    };
    const Case cases[] = {
        {640, 480, 640, 480, {0, 0, 640, 480}},
        {1920, 1080, 640, 480, {240, 0, 1440, 1080}},
        {1280, 1024, 640, 480, {0, 32, 1280, 960}},
        {1000, 1000, 640, 480, {0, 125, 1000, 750}},
    };
    for (const Case& c : cases) {
        Viewport v = FitKeepingAspect(c.outW, c.outH, c.picW, c.picH);
        EXPECT_EQ(v.x, c.expected.x) << c.outW << "x" << c.outH;
        EXPECT_EQ(v.y, c.expected.y) << c.outW << "x" << c.outH;
        EXPECT_EQ(v.width, c.expected.width) << c.outW << "x" << c.outH;
        EXPECT_EQ(v.height, c.expected.height) << c.outW << "x" << c.outH;
    }
}

TEST(WindowView, MapsWindowPointsToPicturePixelsAndBack) {
    const Viewport wide = FitKeepingAspect(1920, 1080, 640, 480);
    struct Case {
        int wx, wy, px, py;
    };
    const Case cases[] = {
        {240, 0, 0, 0},         // top left of the picture
        {960, 540, 320, 240},   // centre
        {1679, 1079, 639, 479}, // bottom right
        {100, 10, -63, 4},      // in the left bar: outside the picture
    };
    for (const Case& c : cases) {
        int px = 0, py = 0;
        WindowToPicture(wide, 640, 480, c.wx, c.wy, px, py);
        EXPECT_EQ(px, c.px) << c.wx << "," << c.wy;
        EXPECT_EQ(py, c.py) << c.wx << "," << c.wy;
    }
    for (int p : {0, 1, 319, 638, 639}) {
        int wx = 0, wy = 0, px = 0, py = 0;
        PictureToWindow(wide, 640, 480, p, p * 479 / 639, wx, wy);
        WindowToPicture(wide, 640, 480, wx, wy, px, py);
        EXPECT_EQ(px, p);
        EXPECT_EQ(py, p * 479 / 639);
    }
}

// ---- The window and its messages -------------------------------------------------------------

std::vector<Msg> gReceived;

LRESULT RecordingProc(unsigned message, WPARAM wParam, LPARAM lParam) {
    gReceived.push_back({message, wParam, lParam});
    return DefWindowProc(message, wParam, lParam);
}

TEST(WindowScale, LargestWholeFactorWithinThreeQuartersOfTheDesktop) {
    const struct {
        int setting, desktopWidth, desktopHeight, expected;
    } cases[] = {
        {0, 1024, 768, 1},  // the original's screen: the original size
        {0, 1920, 1080, 1}, // 1280 x 960 would not fit three quarters of 1080 rows
        {0, 2560, 1440, 2},  {0, 2560, 1600, 2},
        {0, 3840, 2160, 3},  {0, 800, 600, 1}, // smaller than the window: still 1
        {0, 0, 0, 1},                          // no desktop reported
        {-4, 3840, 2160, 3},                   // a negative setting is the automatic choice
        {1, 3840, 2160, 1}, // fixed factors as they are, even when they do not fit
        {4, 1024, 768, 4},   {100000, 3840, 2160, 25}, // but never beyond what a window system
                                                       // makes
    };
    for (const auto& c : cases)
        EXPECT_EQ(ChooseWindowScale(c.setting, c.desktopWidth, c.desktopHeight, 640, 480),
                  c.expected)
            << c.setting << " on " << c.desktopWidth << "x" << c.desktopHeight;
}

class WindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("SDL_VIDEODRIVER", "dummy", 0);
        gReceived.clear();
        ASSERT_TRUE(CreateMainWindow("Reef", 10, 20, 64, 48, RecordingProc));
        ShowMainWindow();
        Drain();
        gReceived.clear();
    }
    void TearDown() override { DestroyMainWindow(); }

    static std::vector<Msg> Drain() {
        std::vector<Msg> taken;
        Msg msg;
        while (PeekMessage(msg)) {
            taken.push_back(msg);
            TranslateMessage(msg);
        }
        return taken;
    }
    static void PushKey(Uint32 type, SDL_Scancode scancode, SDL_Keycode symbol, Uint16 mod,
                        bool repeat = false) {
        SDL_Event e{};
        e.type = type;
        e.key.state = type == SDL_KEYDOWN ? SDL_PRESSED : SDL_RELEASED;
        e.key.repeat = repeat ? 1 : 0;
        e.key.keysym.scancode = scancode;
        e.key.keysym.sym = symbol;
        e.key.keysym.mod = mod;
        SDL_PushEvent(&e);
    }
    static void PushText(const char* utf8) {
        SDL_Event e{};
        e.type = SDL_TEXTINPUT;
        SDL_strlcpy(e.text.text, utf8, sizeof e.text.text);
        SDL_PushEvent(&e);
    }
    static void PushButton(Uint32 type, Uint8 button, int x, int y, Uint8 clicks) {
        SDL_Event e{};
        e.type = type;
        e.button.button = button;
        e.button.state = type == SDL_MOUSEBUTTONDOWN ? SDL_PRESSED : SDL_RELEASED;
        e.button.clicks = clicks;
        e.button.x = x;
        e.button.y = y;
        SDL_PushEvent(&e);
    }
    static void PushWindowEvent(Uint8 event) {
        SDL_Event e{};
        e.type = SDL_WINDOWEVENT;
        e.window.event = event;
        SDL_PushEvent(&e);
    }
};

TEST_F(WindowTest, FirstShowActivatesTheWindow) {
    DestroyMainWindow();
    gReceived.clear();
    ASSERT_TRUE(CreateMainWindow("Reef", 0, 0, 64, 48, RecordingProc));
    ShowMainWindow();
    ShowMainWindow(); // showing again announces nothing
    ASSERT_EQ(gReceived.size(), 3u);
    EXPECT_EQ(gReceived[0].message, WM_ACTIVATEAPP);
    EXPECT_EQ(gReceived[0].wParam, 1u);
    EXPECT_EQ(gReceived[1].message, WM_SETFOCUS);
    EXPECT_EQ(gReceived[2].message, WM_SIZE);
    EXPECT_EQ(gReceived[2].wParam, SIZE_RESTORED);
    EXPECT_EQ(gReceived[2].lParam, LPARAM((48 << 16) | 64));
}

TEST_F(WindowTest, KeyMessagesCarryScanCodeRepeatAndTransitionBits) {
    PushKey(SDL_KEYDOWN, SDL_SCANCODE_UP, SDLK_UP, KMOD_NONE);
    PushKey(SDL_KEYDOWN, SDL_SCANCODE_UP, SDLK_UP, KMOD_NONE, true);
    PushKey(SDL_KEYUP, SDL_SCANCODE_UP, SDLK_UP, KMOD_NONE);
    std::vector<Msg> msgs = Drain();
    ASSERT_EQ(msgs.size(), 3u);
    EXPECT_EQ(msgs[0].message, WM_KEYDOWN);
    EXPECT_EQ(msgs[0].wParam, VK_UP);
    EXPECT_EQ(uint32_t(msgs[0].lParam), 0x01480001u);
    EXPECT_EQ(uint32_t(msgs[1].lParam), 0x41480001u); // the key was already down
    EXPECT_EQ(msgs[2].message, WM_KEYUP);
    EXPECT_EQ(uint32_t(msgs[2].lParam), 0xC1480001u);
}

TEST_F(WindowTest, AltF10AndAltCombinationsAreSystemKeys) {
    struct Step {
        Uint32 type;
        SDL_Scancode scancode;
        SDL_Keycode symbol;
        Uint16 mod;
        unsigned expected;
    };
    const Step steps[] = {
        {SDL_KEYDOWN, SDL_SCANCODE_F10, SDLK_F10, KMOD_NONE, WM_SYSKEYDOWN},
        {SDL_KEYUP, SDL_SCANCODE_F10, SDLK_F10, KMOD_NONE, WM_SYSKEYUP},
        {SDL_KEYDOWN, SDL_SCANCODE_LALT, SDLK_LALT, KMOD_LALT, WM_SYSKEYDOWN},
        {SDL_KEYUP, SDL_SCANCODE_LALT, SDLK_LALT, KMOD_NONE, WM_SYSKEYUP}, // Alt alone
        {SDL_KEYDOWN, SDL_SCANCODE_LALT, SDLK_LALT, KMOD_LALT, WM_SYSKEYDOWN},
        {SDL_KEYDOWN, SDL_SCANCODE_X, SDLK_x, KMOD_LALT, WM_SYSKEYDOWN},
        {SDL_KEYUP, SDL_SCANCODE_X, SDLK_x, KMOD_LALT, WM_SYSKEYUP},
        {SDL_KEYUP, SDL_SCANCODE_LALT, SDLK_LALT, KMOD_NONE, WM_KEYUP}, // after a combination
        {SDL_KEYDOWN, SDL_SCANCODE_X, SDLK_x, KMOD_NONE, WM_KEYDOWN},
        {SDL_KEYDOWN, SDL_SCANCODE_Q, SDLK_q, KMOD_RALT | KMOD_LCTRL, WM_KEYDOWN}, // AltGr types
    };
    for (const Step& s : steps) PushKey(s.type, s.scancode, s.symbol, s.mod);
    std::vector<Msg> msgs = Drain();
    std::vector<unsigned> kinds;
    for (const Msg& m : msgs)
        if (m.message != WM_CHAR && m.message != WM_SYSCHAR) kinds.push_back(m.message);
    ASSERT_EQ(kinds.size(), std::size(steps));
    for (size_t i = 0; i < kinds.size(); ++i)
        EXPECT_EQ(kinds[i], steps[i].expected) << "step " << i;
}

TEST_F(WindowTest, TypedTextBecomesCp1252CharactersRightAfterItsKey) {
    PushKey(SDL_KEYDOWN, SDL_SCANCODE_E, SDLK_e, KMOD_NONE);
    PushText("\xC3\xA9"); // é
    PushButton(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT, 1, 1, 1);
    PushText("\xE2\x82\xAC"); // € without a key (an input method)
    PushKey(SDL_KEYDOWN, SDL_SCANCODE_RETURN, SDLK_RETURN, KMOD_NONE);
    std::vector<Msg> msgs = Drain();
    ASSERT_EQ(msgs.size(), 6u);
    EXPECT_EQ(msgs[0].message, WM_KEYDOWN);
    EXPECT_EQ(msgs[1].message, WM_CHAR);
    EXPECT_EQ(msgs[1].wParam, 0xE9u);
    EXPECT_EQ(msgs[1].lParam, msgs[0].lParam);
    EXPECT_EQ(msgs[2].message, WM_LBUTTONDOWN);
    EXPECT_EQ(msgs[3].message, WM_CHAR);
    EXPECT_EQ(msgs[3].wParam, 0x80u);
    EXPECT_EQ(msgs[4].message, WM_KEYDOWN);
    EXPECT_EQ(msgs[5].message, WM_CHAR); // Enter types a carriage return, as on Windows
    EXPECT_EQ(msgs[5].wParam, 13u);
}

TEST_F(WindowTest, MouseButtonsClicksAndHeldButtons) {
    PushButton(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT, 5, 6, 1);
    PushButton(SDL_MOUSEBUTTONUP, SDL_BUTTON_LEFT, 5, 6, 1);
    PushButton(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT, 5, 6, 2);
    PushButton(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_RIGHT, 7, 8, 3);
    PushButton(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_MIDDLE, 9, 10, 4);
    std::vector<Msg> msgs = Drain();
    ASSERT_EQ(msgs.size(), 5u);
    EXPECT_EQ(msgs[0].message, WM_LBUTTONDOWN);
    EXPECT_EQ(msgs[0].wParam, MK_LBUTTON);
    EXPECT_EQ(PointX(msgs[0].lParam), 5);
    EXPECT_EQ(PointY(msgs[0].lParam), 6);
    EXPECT_EQ(msgs[1].message, WM_LBUTTONUP);
    EXPECT_EQ(msgs[1].wParam, 0u);
    EXPECT_EQ(msgs[2].message, WM_LBUTTONDBLCLK);
    EXPECT_EQ(msgs[3].message, WM_RBUTTONDOWN); // a third click starts over
    EXPECT_EQ(msgs[3].wParam, MK_LBUTTON | MK_RBUTTON);
    EXPECT_EQ(msgs[4].message, WM_MBUTTONDBLCLK);
}

TEST_F(WindowTest, ScaledWindowKeepsClientSizesAndMousePositionsInBackBufferPixels) {
    DestroyMainWindow();
    SetWindowScale(3);
    ASSERT_TRUE(CreateMainWindow("Reef", 10, 20, 64, 48, RecordingProc));
    ShowMainWindow();
    Drain();
    int w = 0, h = 0;
    SDL_GetWindowSize(MainSdlWindow(), &w, &h);
    EXPECT_EQ(w, 192);
    EXPECT_EQ(h, 144);
    const Rect client = GetClientRect();
    EXPECT_EQ(client.right, 64);
    EXPECT_EQ(client.bottom, 48);
    const Rect outer = GetWindowRect();
    ASSERT_TRUE(
        MoveMainWindow(outer.left, outer.top, outer.right - outer.left, outer.bottom - outer.top));
    SDL_GetWindowSize(MainSdlWindow(), &w, &h);
    EXPECT_EQ(w, 192) << "placing the window with its own rect keeps its size";

    PushButton(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT, 191, 143, 1);
    PushButton(SDL_MOUSEBUTTONUP, SDL_BUTTON_LEFT, 3, 3, 1);
    std::vector<Msg> msgs = Drain();
    SetWindowScale(1);
    ASSERT_EQ(msgs.size(), 2u);
    EXPECT_EQ(PointX(msgs[0].lParam), 63);
    EXPECT_EQ(PointY(msgs[0].lParam), 47);
    EXPECT_EQ(PointX(msgs[1].lParam), 1);
    EXPECT_EQ(PointY(msgs[1].lParam), 1);
}

TEST_F(WindowTest, FullScreenMousePositionsAreBackBufferPixels) {
    SetFullScreen(true, 64, 48);
    SDL_Window* window = MainSdlWindow();
    int w = 0, h = 0;
    SDL_GetWindowSize(window, &w, &h);
    if (w == 64 && h == 48) GTEST_SKIP() << "the video driver keeps the window size in full screen";
    const Viewport view = FitKeepingAspect(w, h, 64, 48);
    PushButton(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT, view.x + view.width / 2,
               view.y + view.height / 2, 1);
    std::vector<Msg> msgs = Drain();
    ASSERT_EQ(msgs.size(), 1u);
    EXPECT_EQ(PointX(msgs[0].lParam), 32);
    EXPECT_EQ(PointY(msgs[0].lParam), 24);
    SetFullScreen(false, 64, 48);
}

TEST_F(WindowTest, CursorWarpsToABackBufferPixel) {
    SetFullScreen(true, 64, 48);
    Drain();
    SetCursorPos(40, 30);
    std::vector<Msg> msgs = Drain();
    SetFullScreen(false, 64, 48);
    if (msgs.empty()) GTEST_SKIP() << "the video driver reports no motion for a warp";
    EXPECT_EQ(msgs.back().message, WM_MOUSEMOVE);
    EXPECT_EQ(PointX(msgs.back().lParam), 40);
    EXPECT_EQ(PointY(msgs.back().lParam), 30);
}

TEST_F(WindowTest, TitleIsShownInUtf8) {
    SetMainWindowTitle("Caf\xE9 \x80");
    EXPECT_STREQ(SDL_GetWindowTitle(MainSdlWindow()), "Caf\xC3\xA9 \xE2\x82\xAC");
}

TEST_F(WindowTest, WindowEventsBecomeSizeActivationAndCloseMessages) {
    PushWindowEvent(SDL_WINDOWEVENT_MINIMIZED);
    PushWindowEvent(SDL_WINDOWEVENT_FOCUS_LOST);
    PushWindowEvent(SDL_WINDOWEVENT_FOCUS_LOST); // already inactive: nothing new
    PushWindowEvent(SDL_WINDOWEVENT_RESTORED);
    PushWindowEvent(SDL_WINDOWEVENT_FOCUS_GAINED);
    PushWindowEvent(SDL_WINDOWEVENT_CLOSE);
    std::vector<Msg> msgs = Drain();
    const std::vector<std::pair<unsigned, WPARAM>> expected = {
        {WM_SIZE, SIZE_MINIMIZED}, {WM_ACTIVATEAPP, 0}, {WM_KILLFOCUS, 0}, {WM_SIZE, SIZE_RESTORED},
        {WM_ACTIVATEAPP, 1},       {WM_SETFOCUS, 0},    {WM_CLOSE, 0},
    };
    ASSERT_EQ(msgs.size(), expected.size());
    for (size_t i = 0; i < msgs.size(); ++i) {
        EXPECT_EQ(msgs[i].message, expected[i].first) << i;
        EXPECT_EQ(msgs[i].wParam, expected[i].second) << i;
    }
}

TEST_F(WindowTest, CloseDestroysAndDestroyPrecedesQuit) {
    SendMessage(WM_CLOSE, 0, 0);
    EXPECT_FALSE(MainWindowExists());
    ASSERT_EQ(gReceived.size(), 2u);
    EXPECT_EQ(gReceived[0].message, WM_CLOSE);
    EXPECT_EQ(gReceived[1].message, WM_DESTROY);
    PostQuitMessage(3);
    Msg msg;
    ASSERT_TRUE(PeekMessage(msg));
    EXPECT_EQ(msg.message, WM_QUIT);
    EXPECT_EQ(msg.wParam, 3u);
    EXPECT_EQ(DispatchMessage({WM_KEYDOWN, 'A', 0}), 0); // no window: dropped
    EXPECT_EQ(gReceived.size(), 2u);
}

TEST_F(WindowTest, AltF4Closes) {
    PushKey(SDL_KEYDOWN, SDL_SCANCODE_LALT, SDLK_LALT, KMOD_LALT);
    PushKey(SDL_KEYDOWN, SDL_SCANCODE_F4, SDLK_F4, KMOD_LALT);
    Msg msg;
    while (MainWindowExists() && PeekMessage(msg)) DispatchMessage(msg);
    EXPECT_FALSE(MainWindowExists());
}

TEST_F(WindowTest, WaitMessageWakesForAMessagePostedByAnotherThread) {
    std::thread poster([] {
        std::this_thread::sleep_for(std::chrono::milliseconds(60));
        PostMessage(WM_USER + 1, 7, 8);
    });
    WaitMessage();
    Msg msg;
    ASSERT_TRUE(PeekMessage(msg));
    EXPECT_EQ(msg.message, WM_USER + 1);
    poster.join();
}

TEST_F(WindowTest, WaitMessageForReturnsWhenTheTimeHasPassed) {
    Msg msg;
    while (PeekMessage(msg)) {
    }
    const auto start = std::chrono::steady_clock::now();
    WaitMessageFor(40);
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(35));
    EXPECT_FALSE(PeekMessage(msg));
}

TEST_F(WindowTest, PresentShowsTheClippedPartOfTheBackBuffer) {
    constexpr int W = 64, H = 48;
    std::vector<uint16_t> red(W * H, 0xF800), blue(W * H, 0x001F);
    PresentRGB565(red.data(), W * 2, W, H, Rect{0, 0, W, H});
    PresentRGB565(blue.data(), W * 2, W, H, Rect{0, 0, W / 2, H}); // only the left half changes
    SDL_Renderer* renderer = SDL_GetRenderer(MainSdlWindow());
    ASSERT_NE(renderer, nullptr);
    std::vector<uint16_t> shown(W * H);
    ASSERT_EQ(SDL_RenderReadPixels(renderer, nullptr, SDL_PIXELFORMAT_RGB565, shown.data(), W * 2),
              0)
        << SDL_GetError();
    EXPECT_EQ(shown[10 * W + 5], 0x001F);
    EXPECT_EQ(shown[10 * W + W - 5], 0xF800);
}

TEST_F(WindowTest, ScaledWindowShowsEveryBackBufferPixelAsABlock) {
    DestroyMainWindow();
    SetWindowScale(3);
    ASSERT_TRUE(CreateMainWindow("Reef", 10, 20, 64, 48, RecordingProc));
    SetWindowScale(1);
    ShowMainWindow();
    Drain();
    constexpr int W = 64, H = 48;
    std::vector<uint16_t> picture(W * H);
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x)
            picture[y * W + x] = uint16_t((x & 31) << 11 | (y & 63) << 5 | 7);
    PresentRGB565(picture.data(), W * 2, W, H, Rect{0, 0, W, H});
    SDL_Renderer* renderer = SDL_GetRenderer(MainSdlWindow());
    ASSERT_NE(renderer, nullptr);
    int outW = 0, outH = 0;
    SDL_GetRendererOutputSize(renderer, &outW, &outH);
    ASSERT_EQ(outW, 3 * W);
    ASSERT_EQ(outH, 3 * H);
    std::vector<uint16_t> shown(size_t(outW) * outH);
    ASSERT_EQ(
        SDL_RenderReadPixels(renderer, nullptr, SDL_PIXELFORMAT_RGB565, shown.data(), outW * 2), 0)
        << SDL_GetError();
    for (int y = 0; y < outH; y += 5)
        for (int x = 0; x < outW; x += 7)
            ASSERT_EQ(shown[size_t(y) * outW + x], picture[(y / 3) * W + x / 3]) << x << "," << y;
}

TEST_F(WindowTest, AResizedWindowShowsTheUnchangedPictureAgain) {
    constexpr int W = 64, H = 48;
    const std::vector<uint16_t> green(W * H, 0x07E0);
    PresentRGB565(green.data(), W * 2, W, H, Rect{0, 0, W, H});
    const Rect outer = GetWindowRect();
    ASSERT_TRUE(MoveMainWindow(outer.left, outer.top, 2 * (outer.right - outer.left),
                               2 * (outer.bottom - outer.top)));
    Drain();
    PresentRGB565(green.data(), W * 2, W, H, Rect{0, 0, W, H}); // nothing changed in the picture
    SDL_Renderer* renderer = SDL_GetRenderer(MainSdlWindow());
    int outW = 0, outH = 0;
    SDL_GetRendererOutputSize(renderer, &outW, &outH);
    ASSERT_EQ(outW, 2 * W);
    std::vector<uint16_t> shown(size_t(outW) * outH);
    ASSERT_EQ(
        SDL_RenderReadPixels(renderer, nullptr, SDL_PIXELFORMAT_RGB565, shown.data(), outW * 2), 0)
        << SDL_GetError();
    for (size_t i = 0; i < shown.size(); i += 37) ASSERT_EQ(shown[i], 0x07E0) << i;
}

TEST_F(WindowTest, FullScreenShowsThePictureCentredBetweenBlackBars) {
    constexpr int W = 64, H = 32; // wider than the desktop, so bars above and below
    SetFullScreen(true, W, H);
    int w = 0, h = 0;
    SDL_GetWindowSize(MainSdlWindow(), &w, &h);
    if (w == 64 && h == 48) {
        SetFullScreen(false, W, H);
        GTEST_SKIP() << "the video driver keeps the window size in full screen";
    }
    const std::vector<uint16_t> white(W * H, 0xFFFF);
    PresentRGB565(white.data(), W * 2, W, H, Rect{0, 0, W, H});
    SDL_Renderer* renderer = SDL_GetRenderer(MainSdlWindow());
    int outW = 0, outH = 0;
    SDL_GetRendererOutputSize(renderer, &outW, &outH);
    std::vector<uint16_t> shown(size_t(outW) * outH);
    ASSERT_EQ(
        SDL_RenderReadPixels(renderer, nullptr, SDL_PIXELFORMAT_RGB565, shown.data(), outW * 2), 0)
        << SDL_GetError();
    SetFullScreen(false, W, H);
    const Viewport view = FitKeepingAspect(outW, outH, W, H);
    ASSERT_GT(view.y, 0);
    for (int x = 0; x < outW; x += 9) {
        EXPECT_EQ(shown[size_t(view.y - 1) * outW + x], 0) << x;
        EXPECT_EQ(shown[size_t(view.y) * outW + x], 0xFFFF) << x;
        EXPECT_EQ(shown[size_t(view.y + view.height - 1) * outW + x], 0xFFFF) << x;
        EXPECT_EQ(shown[size_t(view.y + view.height) * outW + x], 0) << x;
    }
}

TEST_F(WindowTest, PresentTakesA32BitPictureAfterA16BitOne) {
    constexpr int W = 64, H = 48;
    std::vector<uint16_t> red(W * H, 0xF800);
    std::vector<uint32_t> teal(W * H, 0x0080C0);
    PresentRGB565(red.data(), W * 2, W, H, Rect{0, 0, W, H});
    PresentRGB32(teal.data(), W * 4, W, H, Rect{0, 0, W, H});
    SDL_Renderer* renderer = SDL_GetRenderer(MainSdlWindow());
    ASSERT_NE(renderer, nullptr);
    std::vector<uint32_t> shown(W * H);
    ASSERT_EQ(SDL_RenderReadPixels(renderer, nullptr, SDL_PIXELFORMAT_RGB888, shown.data(), W * 4),
              0)
        << SDL_GetError();
    EXPECT_EQ(shown[10 * W + 5] & 0xFFFFFF, 0x0080C0u);
}

TEST_F(WindowTest, WheelTurnsCarryNotchesKeysAndPointerPosition) {
    const struct {
        int y;
        Uint32 direction;
        int turn;
    } cases[] = {{1, SDL_MOUSEWHEEL_NORMAL, WHEEL_DELTA},
                 {-2, SDL_MOUSEWHEEL_NORMAL, -2 * WHEEL_DELTA},
                 {1, SDL_MOUSEWHEEL_FLIPPED, -WHEEL_DELTA},
                 {100000, SDL_MOUSEWHEEL_NORMAL, 200 * WHEEL_DELTA}};
    for (const auto& c : cases) {
        SDL_Event e{};
        e.type = SDL_MOUSEWHEEL;
        e.wheel.y = c.y;
        e.wheel.direction = c.direction;
        SDL_PushEvent(&e);
        std::vector<Msg> msgs = Drain();
        ASSERT_EQ(msgs.size(), 1u) << c.y;
        EXPECT_EQ(msgs[0].message, WM_MOUSEWHEEL);
        EXPECT_EQ(int16_t(uint16_t(msgs[0].wParam >> 16)), int16_t(c.turn)) << c.y;
        EXPECT_EQ(msgs[0].wParam & 0xFFFF, 0u);
    }
    SDL_Event sideways{};
    sideways.type = SDL_MOUSEWHEEL;
    sideways.wheel.x = 1; // a horizontal turn is not a vertical one
    SDL_PushEvent(&sideways);
    EXPECT_TRUE(Drain().empty());
}

TEST_F(WindowTest, IconFromPngDataInMemory) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = 4;
    image.height = 4;
    image.format = PNG_FORMAT_RGBA;
    const std::vector<unsigned char> pixels(4 * 4 * 4, 200);
    png_alloc_size_t size = 0;
    ASSERT_TRUE(png_image_write_to_memory(&image, nullptr, &size, 0, pixels.data(), 0, nullptr));
    std::vector<unsigned char> png(size);
    ASSERT_TRUE(png_image_write_to_memory(&image, png.data(), &size, 0, pixels.data(), 0, nullptr));
    EXPECT_TRUE(SetMainWindowIconPng(png.data(), size));
    EXPECT_FALSE(SetMainWindowIconPng(png.data(), size / 2)); // cut short
    const unsigned char notPng[] = "not a picture";
    EXPECT_FALSE(SetMainWindowIconPng(notPng, sizeof notPng));
    EXPECT_FALSE(SetMainWindowIconPng(nullptr, 0));
}

TEST_F(WindowTest, WindowRectFollowsMoves) {
    ASSERT_TRUE(MoveMainWindow(30, 40, 64, 48));
    Rect r = GetWindowRect();
    Rect client = GetClientRect();
    EXPECT_EQ(r.left, 30);
    EXPECT_EQ(r.top, 40);
    EXPECT_EQ(client.right, 64 - ((r.right - r.left) - 64));
    EXPECT_FALSE(MoveMainWindow(0, 0, 0, 0));
}

// ---- Single instance -------------------------------------------------------------------------

class SingleInstanceTest : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ = std::filesystem::temp_directory_path() /
                  ("sysb-instance-" + std::to_string(getpid()) + "-" +
                   ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::create_directories(folder_);
        const char* old = std::getenv("XDG_RUNTIME_DIR");
        hadRuntime_ = old != nullptr;
        if (old) oldRuntime_ = old;
        setenv("XDG_RUNTIME_DIR", folder_.c_str(), 1);
    }
    void TearDown() override {
        if (hadRuntime_)
            setenv("XDG_RUNTIME_DIR", oldRuntime_.c_str(), 1);
        else
            unsetenv("XDG_RUNTIME_DIR");
        std::filesystem::remove_all(folder_);
    }

    // Runs BringRunningCopyToFront in a second process; its exit code is 1 when it found a copy.
    static int SecondCopy(const char* name, double& seconds) {
        auto start = std::chrono::steady_clock::now();
        pid_t child = fork();
        if (child == 0) _exit(BringRunningCopyToFront(name) ? 1 : 0);
        int status = 0;
        waitpid(child, &status, 0);
        seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    std::filesystem::path folder_;
    bool hadRuntime_ = false;
    std::string oldRuntime_;
};

TEST_F(SingleInstanceTest, SecondCopyAsksTheFirstAndReturnsAtOnce) {
    ASSERT_FALSE(BringRunningCopyToFront("Reef Pop"));
    EXPECT_FALSE(BringRunningCopyToFront("Reef Pop")); // asking again from the running copy
    const int served = FrontRequestsServed();
    double seconds = 0;
    EXPECT_EQ(SecondCopy("Reef Pop", seconds), 1);
    EXPECT_LT(seconds, 2.0);
    ServeFrontRequests();
    EXPECT_EQ(FrontRequestsServed(), served + 1);

    // Another window name is another game.
    EXPECT_EQ(SecondCopy("Reef Pop 2", seconds), 0);
}

TEST_F(SingleInstanceTest, TheMessagePumpAnswersTheRequest) {
    setenv("SDL_VIDEODRIVER", "dummy", 0);
    ASSERT_FALSE(BringRunningCopyToFront("Front"));
    ASSERT_TRUE(CreateMainWindow("Front", 0, 0, 64, 48, RecordingProc));
    ShowMainWindow();
    const int served = FrontRequestsServed();
    double seconds = 0;
    ASSERT_EQ(SecondCopy("Front", seconds), 1);
    // The socket is looked at a few times a second, also while the pump sleeps.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(2);
    Msg msg;
    while (FrontRequestsServed() == served && std::chrono::steady_clock::now() < deadline) {
        while (PeekMessage(msg)) {
        }
        WaitMessageFor(50);
    }
    EXPECT_EQ(FrontRequestsServed(), served + 1);
    EXPECT_TRUE(MainWindowExists());
    DestroyMainWindow();
}

TEST_F(SingleInstanceTest, AFinishedCopyLeavesNothingThatBlocksTheNext) {
    double seconds = 0;
    EXPECT_EQ(SecondCopy("Lonely", seconds), 0); // ran as the first copy, then ended
    EXPECT_EQ(SecondCopy("Lonely", seconds), 0); // so this one is first as well
}

} // namespace
