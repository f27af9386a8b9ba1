#include "SYS/window.h"

#include <SDL.h>
#include <SDL_opengl.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <deque>
#include <mutex>
#include <string>
#include <vector>

#include "SYS/files.h"
#include "SYS/joystick.h"
#include "SYS/keymap.h"
#include "SYS/png_image.h"
#include "SYS/textcodec.h"
#include "SYS/window_internal.h"
#include "SYS/window_software.h"
#include "SYS/window_view.h"

namespace sys {
namespace {

struct QueuedMessage {
    Msg msg;
    bool keyDown = false; // came from the keyboard: TranslateMessage may type characters for it
    std::string typed;    // Windows-1252 characters the key typed (from SDL text input)
};

struct MainWindow {
    SDL_Window* window = nullptr;
    SDL_Renderer* renderer = nullptr;
    SDL_Texture* texture = nullptr;
    int textureWidth = 0, textureHeight = 0;
    // With a renderer that draws on the processor, frames are scaled here straight into the
    // window surface (the one that renderer draws into), converting only what changed.
    bool softwareRenderer = false;
    SDL_Surface* surface = nullptr; // the window surface `onSurface` was written to
    int surfaceWidth = 0, surfaceHeight = 0;
    bool surfaceStale = false; // uncovered: the whole window is shown again
    ShownPicture onSurface;
    uint32_t textureFormat = 0;
    WndProc proc = nullptr;
    int pictureWidth = 0, pictureHeight = 0; // back-buffer size, for mapping mouse positions
    bool shown = false;
    bool active = false;
    WPARAM mouseButtons = 0;  // MK_ bits of the buttons held
    bool altCombined = false; // a key went down while Alt was held
};

MainWindow gMain;
int gScale = 1;

std::mutex gQueueMutex;
std::deque<QueuedMessage> gQueue;
QueuedMessage gLastTaken;

// Later copies knock rarely, so their socket is looked at a few times a second, not every pass.
constexpr uint32_t kFrontRequestPeriodMs = 100;
uint32_t gLastFrontRequestCheck = 0;

// A message posted by another thread wakes the main thread's wait with this SDL event.
uint32_t gWakeEvent = 0;
SDL_threadID gVideoThread = 0;

// Video stays up once started: shutting it down and starting it again can fail on some X
// servers, and the system releases it when the process ends.
bool InitVideo() {
    if (SDL_WasInit(SDL_INIT_VIDEO)) return true;
    // Closing the window is our WM_CLOSE; SDL_QUIT is left for signals.
    SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) == 0) {
        gWakeEvent = SDL_RegisterEvents(1);
        gVideoThread = SDL_ThreadID();
        return true;
    }
    std::fprintf(stderr, "video: %s\n", SDL_GetError());
    return false;
}

bool VideoReady() {
    return SDL_WasInit(SDL_INIT_VIDEO) != 0;
}

void Post(const Msg& msg, bool keyDown = false) {
    {
        std::lock_guard<std::mutex> lock(gQueueMutex);
        gQueue.push_back({msg, keyDown, {}});
    }
    if (VideoReady() && gWakeEvent != 0 && gWakeEvent != uint32_t(-1) &&
        SDL_ThreadID() != gVideoThread) {
        SDL_Event wake{};
        wake.type = gWakeEvent;
        SDL_PushEvent(&wake);
    }
}

// The client area in back-buffer pixels: the window's size divided by the factor it is shown at.
void ClientSize(int& w, int& h) {
    w = h = 0;
    if (!gMain.window) return;
    SDL_GetWindowSize(gMain.window, &w, &h);
    const bool fullScreen = (SDL_GetWindowFlags(gMain.window) & SDL_WINDOW_FULLSCREEN) != 0;
    if (fullScreen) return;
    w /= gScale;
    h /= gScale;
}

LPARAM ClientSizeLParam() {
    int w = 0, h = 0;
    ClientSize(w, h);
    return LPARAM((uint32_t(h & 0xFFFF) << 16) | uint32_t(w & 0xFFFF));
}

Viewport WindowView() {
    int w = 0, h = 0;
    SDL_GetWindowSize(gMain.window, &w, &h);
    return FitKeepingAspect(w, h, gMain.pictureWidth, gMain.pictureHeight);
}

LPARAM PicturePoint(int windowX, int windowY) {
    int px = 0, py = 0;
    WindowToPicture(WindowView(), gMain.pictureWidth, gMain.pictureHeight, windowX, windowY, px,
                    py);
    return MakePointLParam(px, py);
}

WPARAM MouseKeyState() {
    WPARAM state = gMain.mouseButtons;
    SDL_Keymod mod = SDL_GetModState();
    if (mod & KMOD_SHIFT) state |= MK_SHIFT;
    if (mod & KMOD_CTRL) state |= MK_CONTROL;
    return state;
}

void SetActive(bool active) {
    if (gMain.active == active) return;
    gMain.active = active;
    if (active) {
        Post({WM_ACTIVATEAPP, 1, 0});
        Post({WM_SETFOCUS, 0, 0});
    } else {
        Post({WM_ACTIVATEAPP, 0, 0});
        Post({WM_KILLFOCUS, 0, 0});
    }
}

void TranslateKey(const SDL_KeyboardEvent& key) {
    KeyCodes codes;
    if (!KeyCodesOf(key.keysym.scancode, key.keysym.sym, (key.keysym.mod & KMOD_NUM) != 0, codes))
        return;
    const bool down = key.type == SDL_KEYDOWN;
    const bool altKey = codes.virtualKey == VK_MENU;
    // Alt with Ctrl (AltGr on many layouts) types characters, as on Windows.
    const bool altHeld = (key.keysym.mod & KMOD_ALT) != 0 && (key.keysym.mod & KMOD_CTRL) == 0;
    // Windows' system keys: Alt itself, F10, and every key while Alt is held.
    bool systemKey;
    if (down) {
        if (altKey && !key.repeat) gMain.altCombined = false;
        if (!altKey && altHeld) gMain.altCombined = true;
        systemKey = altKey || altHeld || codes.virtualKey == VK_F10;
    } else {
        // Alt released after a combination is an ordinary key-up, released alone a system one.
        systemKey = altKey ? !gMain.altCombined : (altHeld || codes.virtualKey == VK_F10);
    }
    LPARAM lParam = MakeKeyLParam(1, codes.scanCode, codes.extended, !down);
    if (down && key.repeat) lParam |= LPARAM(1) << 30; // the key was already down
    if (altHeld) lParam |= LPARAM(1) << 29;            // context code: Alt is down
    unsigned message =
        down ? (systemKey ? WM_SYSKEYDOWN : WM_KEYDOWN) : (systemKey ? WM_SYSKEYUP : WM_KEYUP);
    Post({message, codes.virtualKey, lParam}, down);
}

void TranslateText(const char* utf8) {
    std::string typed = Utf8ToCp1252(utf8);
    std::lock_guard<std::mutex> lock(gQueueMutex);
    // SDL reports the text right after its key-down: it becomes that key's characters.
    if (!gQueue.empty() && gQueue.back().keyDown && gQueue.back().typed.empty()) {
        gQueue.back().typed = typed;
        return;
    }
    for (char c : typed) gQueue.push_back({{WM_CHAR, WPARAM(uint8_t(c)), 1}, false, {}});
}

void TranslateButton(const SDL_MouseButtonEvent& button) {
    unsigned down, up, doubleClick;
    WPARAM bit;
    switch (button.button) {
    case SDL_BUTTON_LEFT:
        down = WM_LBUTTONDOWN, up = WM_LBUTTONUP, doubleClick = WM_LBUTTONDBLCLK, bit = MK_LBUTTON;
        break;
    case SDL_BUTTON_RIGHT:
        down = WM_RBUTTONDOWN, up = WM_RBUTTONUP, doubleClick = WM_RBUTTONDBLCLK, bit = MK_RBUTTON;
        break;
    case SDL_BUTTON_MIDDLE:
        down = WM_MBUTTONDOWN, up = WM_MBUTTONUP, doubleClick = WM_MBUTTONDBLCLK, bit = MK_MBUTTON;
        break;
    default: return;
    }
    unsigned message = up;
    if (button.state == SDL_PRESSED) {
        gMain.mouseButtons |= bit;
        // Windows reports every second click of a series as a double-click.
        message = (button.clicks >= 2 && button.clicks % 2 == 0) ? doubleClick : down;
    } else {
        gMain.mouseButtons &= ~bit;
    }
    Post({message, MouseKeyState(), PicturePoint(button.x, button.y)});
}

void TranslateWheel(const SDL_MouseWheelEvent& wheel) {
    int notches = wheel.direction == SDL_MOUSEWHEEL_FLIPPED ? -wheel.y : wheel.y;
    if (notches == 0) return;
    notches = SDL_clamp(notches, -200, 200); // the turn must fit the 16-bit word
    int x = 0, y = 0;
    SDL_GetMouseState(&x, &y);
    const WPARAM turn = WPARAM(uint16_t(int16_t(notches * WHEEL_DELTA))) << 16;
    Post({WM_MOUSEWHEEL, turn | MouseKeyState(), PicturePoint(x, y)});
}

void TranslateWindowEvent(const SDL_WindowEvent& event) {
    switch (event.event) {
    case SDL_WINDOWEVENT_MINIMIZED: Post({WM_SIZE, SIZE_MINIMIZED, 0}); break;
    case SDL_WINDOWEVENT_MAXIMIZED: Post({WM_SIZE, SIZE_MAXIMIZED, ClientSizeLParam()}); break;
    case SDL_WINDOWEVENT_RESTORED: Post({WM_SIZE, SIZE_RESTORED, ClientSizeLParam()}); break;
    case SDL_WINDOWEVENT_FOCUS_GAINED: SetActive(true); break;
    case SDL_WINDOWEVENT_FOCUS_LOST: SetActive(false); break;
    case SDL_WINDOWEVENT_SIZE_CHANGED:
        gMain.surface = nullptr; // SDL makes the window surface anew
        break;
    case SDL_WINDOWEVENT_EXPOSED:
        gMain.surfaceStale = true;
        Post({WM_ERASEBKGND, 0, 0});
        break;
    case SDL_WINDOWEVENT_CLOSE: Post({WM_CLOSE, 0, 0}); break;
    default: break;
    }
}

void TranslateEvent(const SDL_Event& event) {
    if (!gMain.window) return;
    switch (event.type) {
    case SDL_KEYDOWN:
    case SDL_KEYUP: TranslateKey(event.key); break;
    case SDL_TEXTINPUT: TranslateText(event.text.text); break;
    case SDL_MOUSEMOTION:
        Post({WM_MOUSEMOVE, MouseKeyState(), PicturePoint(event.motion.x, event.motion.y)});
        break;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP: TranslateButton(event.button); break;
    case SDL_MOUSEWHEEL: TranslateWheel(event.wheel); break;
    case SDL_WINDOWEVENT: TranslateWindowEvent(event.window); break;
    case SDL_QUIT: // a termination signal: close as if the window were closed, so settings are
                   // saved
        Post({WM_CLOSE, 0, 0});
        break;
    default: break;
    }
}

uint32_t MillisecondsToFrontRequestCheck() {
    const uint32_t since = SDL_GetTicks() - gLastFrontRequestCheck;
    return since >= kFrontRequestPeriodMs ? 0 : kFrontRequestPeriodMs - since;
}

void ServeFrontRequestsIfDue() {
    if (MillisecondsToFrontRequestCheck() > 0) return;
    gLastFrontRequestCheck = SDL_GetTicks();
    ServeFrontRequests();
}

void PumpDevices() {
    PollJoystickIfDue();
    ServeFrontRequestsIfDue();
}

// True while the last look at SDL's events was a wait that timed out: SDL looked just before it
// gave up, so the next pump can leave SDL alone (each look asks the display server again, and an
// idle loop would look three times per pass).
bool gSdlJustLooked = false;

void PumpEvents() {
    if (VideoReady() && !gSdlJustLooked) {
        SDL_Event event;
        while (SDL_PollEvent(&event)) TranslateEvent(event);
    }
    gSdlJustLooked = false;
    PumpDevices();
}

bool QueueEmpty() {
    std::lock_guard<std::mutex> lock(gQueueMutex);
    return gQueue.empty();
}

constexpr uint32_t kForever = UINT32_MAX;

// Sleeps until a message is queued or `milliseconds` have passed, waking for the joystick poll
// and the single-instance socket when they are due. Sleeping goes by the real clock, never by the
// game's performance counter (which tests may script).
void WaitForMessage(uint32_t milliseconds) {
    const uint32_t start = SDL_GetTicks();
    while (QueueEmpty()) {
        const uint32_t waited = SDL_GetTicks() - start;
        if (milliseconds != kForever && waited >= milliseconds) return;
        uint32_t sleep = std::min(MillisecondsToFrontRequestCheck(), MillisecondsToJoystickPoll());
        if (milliseconds != kForever) sleep = std::min(sleep, milliseconds - waited);
        if (sleep > 0 && VideoReady()) {
            SDL_Event event;
            if (SDL_WaitEventTimeout(&event, int(std::min<uint32_t>(sleep, INT32_MAX)))) {
                gSdlJustLooked = false;
                TranslateEvent(event);
                PumpEvents();
            } else {
                // SDL looked for events just before it gave up waiting.
                gSdlJustLooked = true;
                PumpDevices();
            }
            continue;
        }
        // Nothing can wake this sleep: keep it short so posted messages are noticed.
        if (sleep > 0) SDL_Delay(std::min<uint32_t>(sleep, 10));
        PumpEvents();
    }
}

// The character Windows types for a key that SDL reports no text for.
char ControlCharacter(unsigned virtualKey) {
    switch (virtualKey) {
    case VK_BACK: return 8;
    case VK_TAB: return 9;
    case VK_RETURN: return 13;
    case VK_ESCAPE: return 27;
    default: return 0;
    }
}

SDL_DisplayMode DesktopMode() {
    SDL_DisplayMode mode{};
    if (!InitVideo()) return mode;
    const int display = gMain.window ? SDL_GetWindowDisplayIndex(gMain.window) : 0;
    if (SDL_GetDesktopDisplayMode(display < 0 ? 0 : display, &mode) != 0) mode = SDL_DisplayMode{};
    return mode;
}

void DestroyTexture() {
    if (gMain.texture) SDL_DestroyTexture(gMain.texture);
    gMain.texture = nullptr;
    gMain.textureWidth = gMain.textureHeight = 0;
    gMain.textureFormat = 0;
    gMain.surface = nullptr;
    gMain.onSurface.Forget();
}

SDL_RendererInfo InfoOf(SDL_Renderer* renderer) {
    SDL_RendererInfo info{};
    if (SDL_GetRendererInfo(renderer, &info) != 0) info = SDL_RendererInfo{};
    return info;
}

bool IsSoftwareRenderer(SDL_Renderer* renderer) {
    return (InfoOf(renderer).flags & SDL_RENDERER_SOFTWARE) != 0;
}

// OpenGL whose rasteriser runs on the processor (a virtual X server, a machine without drivers).
bool IsOpenGlInSoftware(SDL_Renderer* renderer) {
    const char* name = InfoOf(renderer).name;
    if (!name || SDL_strncmp(name, "opengl", 6) != 0 || !SDL_GL_GetCurrentContext()) return false;
    using GetString = const GLubyte*(APIENTRY*)(GLenum);
    auto getString = reinterpret_cast<GetString>(SDL_GL_GetProcAddress("glGetString"));
    return getString && IsSoftwareRasterizer(reinterpret_cast<const char*>(getString(GL_RENDERER)));
}

// The first accelerated renderer, unless it is OpenGL rasterised on the processor: SDL's
// software renderer then does the same work without the rasteriser's threads and per-frame
// texture upload. A renderer the user names in SDL_RENDER_DRIVER is kept as it is.
SDL_Renderer* CreatePresenter(SDL_Window* window) {
    SDL_Renderer* renderer = SDL_CreateRenderer(window, -1, 0);
    if (renderer && !SDL_GetHint(SDL_HINT_RENDER_DRIVER) && IsOpenGlInSoftware(renderer)) {
        SDL_DestroyRenderer(renderer);
        renderer = nullptr;
        // The window surface itself, not one emulated through another OpenGL texture.
        SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    }
    if (!renderer) renderer = SDL_CreateRenderer(window, -1, SDL_RENDERER_SOFTWARE);
    return renderer;
}

bool IsXrgb8888(const SDL_Surface* surface) {
    const uint32_t format = surface->format->format;
    return format == SDL_PIXELFORMAT_RGB888 || format == SDL_PIXELFORMAT_ARGB8888;
}

// False when the window surface is missing or not XRGB8888 (a 16-bit X server, say): the
// texture then takes the frame.
bool PresentOnWindowSurface(const uint16_t* pixels, int pitch, int width, int height,
                            const Rect& clip) {
    SDL_Surface* surface = SDL_GetWindowSurface(gMain.window);
    if (!surface || !IsXrgb8888(surface)) return false;
    const Viewport view = FitKeepingAspect(surface->w, surface->h, width, height);
    if (view.width <= 0 || view.height <= 0) return true;
    const bool newSurface = surface != gMain.surface || surface->w != gMain.surfaceWidth ||
                            surface->h != gMain.surfaceHeight;
    const bool wholeWindow = newSurface || gMain.surfaceStale;
    if (SDL_MUSTLOCK(surface) && SDL_LockSurface(surface) != 0) return true;
    if (newSurface) {
        // Black bars, and the picture written whole.
        SDL_FillRect(surface, nullptr, SDL_MapRGB(surface->format, 0, 0, 0));
        gMain.onSurface.Forget();
        gMain.surface = surface;
        gMain.surfaceWidth = surface->w;
        gMain.surfaceHeight = surface->h;
    }
    auto* first =
        reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(surface->pixels) +
                                    size_t(view.y) * size_t(surface->pitch) + size_t(view.x) * 4);
    const RowSpan rows =
        ScaleChangesRGB565ToXRGB8888(pixels, pitch, width, height, clip, gMain.onSurface, first,
                                     surface->pitch, view.width, view.height);
    if (SDL_MUSTLOCK(surface)) SDL_UnlockSurface(surface);
    if (wholeWindow) {
        SDL_UpdateWindowSurface(gMain.window);
        gMain.surfaceStale = false;
    } else if (rows.bottom > rows.top) {
        const SDL_Rect changed{view.x, view.y + rows.top, view.width, rows.bottom - rows.top};
        SDL_UpdateWindowSurfaceRects(gMain.window, &changed, 1);
    }
    return true;
}

// Uploads the clip rectangle of a picture in `format` and shows the picture in the client area.
void PresentThroughTexture(const void* pixels, int pitch, int width, int height, const Rect& clip,
                           uint32_t format, int bytesPerPixel) {
    if (!gMain.texture || gMain.textureWidth != width || gMain.textureHeight != height ||
        gMain.textureFormat != format) {
        DestroyTexture();
        gMain.texture =
            SDL_CreateTexture(gMain.renderer, format, SDL_TEXTUREACCESS_STREAMING, width, height);
        if (!gMain.texture) return;
        gMain.textureWidth = width;
        gMain.textureHeight = height;
        gMain.textureFormat = format;
    }
    SDL_Rect area{SDL_max(clip.left, 0), SDL_max(clip.top, 0), 0, 0};
    area.w = SDL_min(clip.right, width) - area.x;
    area.h = SDL_min(clip.bottom, height) - area.y;
    if (area.w > 0 && area.h > 0) {
        const uint8_t* first = static_cast<const uint8_t*>(pixels) +
                               size_t(area.y) * size_t(pitch) +
                               size_t(area.x) * size_t(bytesPerPixel);
        SDL_UpdateTexture(gMain.texture, &area, first, pitch);
    }
    int outputWidth = 0, outputHeight = 0;
    SDL_GetRendererOutputSize(gMain.renderer, &outputWidth, &outputHeight);
    Viewport view = FitKeepingAspect(outputWidth, outputHeight, width, height);
    SDL_Rect target{view.x, view.y, view.width, view.height};
    SDL_SetRenderDrawColor(gMain.renderer, 0, 0, 0, 255);
    SDL_RenderClear(gMain.renderer);
    SDL_RenderCopy(gMain.renderer, gMain.texture, nullptr, &target);
    SDL_RenderPresent(gMain.renderer);
}

bool SetIcon(const std::vector<unsigned char>& bytes) {
    RgbaImage icon;
    constexpr uint32_t kLargestIcon = 1024;
    if (!gMain.window || !DecodePng(bytes.data(), bytes.size(), kLargestIcon, &icon)) return false;
    SDL_Surface* surface = SDL_CreateRGBSurfaceWithFormatFrom(
        icon.rgba.data(), icon.width, icon.height, 32, icon.width * 4, SDL_PIXELFORMAT_RGBA32);
    if (!surface) return false;
    SDL_SetWindowIcon(gMain.window, surface);
    SDL_FreeSurface(surface);
    return true;
}

} // namespace

SDL_Window* MainSdlWindow() {
    return gMain.window;
}

void BringMainWindowToFront() {
    if (!gMain.window) return;
    SDL_MinimizeWindow(gMain.window);
    SDL_RestoreWindow(gMain.window);
    SDL_RaiseWindow(gMain.window);
}

bool RegisterWindowClass() {
    return InitVideo();
}

bool CreateMainWindow(const char* title, int x, int y, int width, int height, WndProc proc) {
    if (gMain.window || width <= 0 || height <= 0) return false;
    if (!InitVideo()) return false;
    SDL_Window* window =
        SDL_CreateWindow(Cp1252ToUtf8(title ? title : "").c_str(), x, y, width * gScale,
                         height * gScale, SDL_WINDOW_HIDDEN | SDL_WINDOW_BORDERLESS);
    SDL_Renderer* renderer = window ? CreatePresenter(window) : nullptr;
    if (!renderer) {
        std::fprintf(stderr, "window: %s\n", SDL_GetError());
        if (window) SDL_DestroyWindow(window);
        return false;
    }
    gMain = MainWindow{};
    gMain.window = window;
    gMain.renderer = renderer;
    gMain.softwareRenderer = IsSoftwareRenderer(renderer);
    gMain.proc = proc;
    gMain.pictureWidth = width;
    gMain.pictureHeight = height;
    {
        std::lock_guard<std::mutex> lock(gQueueMutex);
        gQueue.clear();
        gLastTaken = QueuedMessage{};
    }
    SDL_StartTextInput();
    return true;
}

bool MainWindowExists() {
    return gMain.window != nullptr;
}

void DestroyMainWindow() {
    if (!gMain.window) return;
    // The procedure still sees the window, so it can read its rectangle.
    SendMessage(WM_DESTROY, 0, 0);
    SDL_StopTextInput();
    DestroyTexture();
    SDL_DestroyRenderer(gMain.renderer);
    SDL_DestroyWindow(gMain.window);
    gMain = MainWindow{};
}

void ShowMainWindow() {
    if (!gMain.window) return;
    SDL_ShowWindow(gMain.window);
    SDL_RaiseWindow(gMain.window);
    if (gMain.shown) return;
    gMain.shown = true;
    // Windows activates a window when it first appears; some desktops (and the dummy video
    // driver) never report focus, so the activation is not left to them.
    if (!gMain.active) {
        gMain.active = true;
        SendMessage(WM_ACTIVATEAPP, 1, 0);
        SendMessage(WM_SETFOCUS, 0, 0);
    }
    SendMessage(WM_SIZE, SIZE_RESTORED, ClientSizeLParam());
}

void SetMainWindowTitle(const char* title) {
    if (gMain.window) SDL_SetWindowTitle(gMain.window, Cp1252ToUtf8(title ? title : "").c_str());
}

bool SetMainWindowIcon(const std::string& pngFile) {
    std::vector<unsigned char> bytes;
    return gMain.window && ReadWholeFile(pngFile, bytes) && SetIcon(bytes);
}

bool SetMainWindowIconPng(const unsigned char* data, size_t size) {
    return data && SetIcon(std::vector<unsigned char>(data, data + size));
}

void SetMainWindowBordered(bool bordered) {
    if (gMain.window) SDL_SetWindowBordered(gMain.window, bordered ? SDL_TRUE : SDL_FALSE);
}

Rect GetWindowRect() {
    Rect rect;
    if (!gMain.window) return rect;
    int x = 0, y = 0, w = 0, h = 0, top = 0, left = 0, bottom = 0, right = 0;
    SDL_GetWindowPosition(gMain.window, &x, &y);
    ClientSize(w, h);
    if (SDL_GetWindowBordersSize(gMain.window, &top, &left, &bottom, &right) != 0)
        top = left = bottom = right = 0;
    rect.left = x - left;
    rect.top = y - top;
    rect.right = x + w + right;
    rect.bottom = y + h + bottom;
    return rect;
}

Rect GetClientRect() {
    Rect rect;
    ClientSize(rect.right, rect.bottom);
    return rect;
}

bool MoveMainWindow(int x, int y, int width, int height) {
    if (!gMain.window) return false;
    int top = 0, left = 0, bottom = 0, right = 0;
    if (SDL_GetWindowBordersSize(gMain.window, &top, &left, &bottom, &right) != 0)
        top = left = bottom = right = 0;
    int clientWidth = width - left - right, clientHeight = height - top - bottom;
    if (clientWidth <= 0 || clientHeight <= 0) return false;
    SDL_SetWindowSize(gMain.window, clientWidth * gScale, clientHeight * gScale);
    SDL_SetWindowPosition(gMain.window, x + left, y + top);
    return true;
}

void SetFullScreen(bool fullScreen, int backBufferWidth, int backBufferHeight) {
    if (backBufferWidth > 0 && backBufferHeight > 0) {
        gMain.pictureWidth = backBufferWidth;
        gMain.pictureHeight = backBufferHeight;
    }
    if (!gMain.window) return;
    if (fullScreen) {
        SDL_SetWindowFullscreen(gMain.window, SDL_WINDOW_FULLSCREEN_DESKTOP);
    } else {
        SDL_SetWindowFullscreen(gMain.window, 0);
        SDL_SetWindowBordered(gMain.window, SDL_TRUE);
    }
}

void SetWindowScale(int factor) {
    gScale = factor >= 1 ? factor : 1;
}

int WindowScale() {
    return gScale;
}

int DesktopWidth() {
    return DesktopMode().w;
}

int DesktopHeight() {
    return DesktopMode().h;
}

void PresentRGB565(const uint16_t* pixels, int pitch, int width, int height, const Rect& clip) {
    if (!gMain.renderer || !pixels || width <= 0 || height <= 0 || pitch < width * 2) return;
    gMain.pictureWidth = width;
    gMain.pictureHeight = height;
    if (gMain.softwareRenderer && PresentOnWindowSurface(pixels, pitch, width, height, clip))
        return;
    PresentThroughTexture(pixels, pitch, width, height, clip, SDL_PIXELFORMAT_RGB565, 2);
}

void PresentRGB32(const uint32_t* pixels, int pitch, int width, int height, const Rect& clip) {
    if (!gMain.renderer || !pixels || width <= 0 || height <= 0 || pitch < width * 4) return;
    gMain.pictureWidth = width;
    gMain.pictureHeight = height;
    // The renderer draws over the window surface: a later 16-bit frame is written whole.
    gMain.onSurface.Forget();
    PresentThroughTexture(pixels, pitch, width, height, clip, SDL_PIXELFORMAT_RGB888, 4);
}

void SetMouseCapture(bool capture) {
    if (gMain.window) SDL_CaptureMouse(capture ? SDL_TRUE : SDL_FALSE);
}

bool PeekMessage(Msg& msg) {
    PumpEvents();
    std::lock_guard<std::mutex> lock(gQueueMutex);
    if (gQueue.empty()) return false;
    gLastTaken = std::move(gQueue.front());
    gQueue.pop_front();
    msg = gLastTaken.msg;
    return true;
}

void WaitMessage() {
    WaitForMessage(kForever);
}

void WaitMessageFor(unsigned milliseconds) {
    WaitForMessage(milliseconds);
}

void TranslateMessage(const Msg& msg) {
    if (msg.message != WM_KEYDOWN && msg.message != WM_SYSKEYDOWN) return;
    std::lock_guard<std::mutex> lock(gQueueMutex);
    const Msg& taken = gLastTaken.msg;
    if (taken.message != msg.message || taken.wParam != msg.wParam || taken.lParam != msg.lParam)
        return;
    std::string typed = gLastTaken.typed;
    if (typed.empty() && msg.message == WM_KEYDOWN) {
        char control = ControlCharacter(unsigned(msg.wParam));
        if (control) typed.assign(1, control);
    }
    gLastTaken.typed.clear();
    // The characters come next, before anything queued after the key.
    const unsigned charMessage = msg.message == WM_SYSKEYDOWN ? WM_SYSCHAR : WM_CHAR;
    for (auto c = typed.rbegin(); c != typed.rend(); ++c)
        gQueue.push_front({{charMessage, WPARAM(uint8_t(*c)), msg.lParam}, false, {}});
}

LRESULT DispatchMessage(const Msg& msg) {
    if (msg.message == WM_QUIT || !gMain.window) return 0;
    if (!gMain.proc) return DefWindowProc(msg.message, msg.wParam, msg.lParam);
    return gMain.proc(msg.message, msg.wParam, msg.lParam);
}

LRESULT DefWindowProc(unsigned message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CLOSE: DestroyMainWindow(); return 0;
    case WM_SYSKEYDOWN:
        // Alt+F4 closes the window.
        if (wParam == VK_F1 + 3 && (lParam & (LPARAM(1) << 29))) SendMessage(WM_CLOSE, 0, 0);
        return 0;
    default: return 0;
    }
}

void PostMessage(unsigned message, WPARAM wParam, LPARAM lParam) {
    Post({message, wParam, lParam});
}

LRESULT SendMessage(unsigned message, WPARAM wParam, LPARAM lParam) {
    return DispatchMessage({message, wParam, lParam});
}

void PostQuitMessage(int exitCode) {
    Post({WM_QUIT, WPARAM(exitCode), 0});
}

void ShowCursor(bool show) {
    if (VideoReady()) SDL_ShowCursor(show ? SDL_ENABLE : SDL_DISABLE);
}

void SetCursorPos(int x, int y) {
    if (!gMain.window) return;
    int wx = 0, wy = 0;
    PictureToWindow(WindowView(), gMain.pictureWidth, gMain.pictureHeight, x, y, wx, wy);
    SDL_WarpMouseInWindow(gMain.window, wx, wy);
}

} // namespace sys
