#include "SYS/joystick.h"

#include <SDL.h>

#include <algorithm>
#include <optional>

#include "SYS/clock.h"

namespace sys {
namespace {

constexpr WPARAM kButtonBits[4] = {JOY_BUTTON1, JOY_BUTTON2, JOY_BUTTON3, JOY_BUTTON4};
constexpr WPARAM kChangeBits[4] = {JOY_BUTTON1CHG, JOY_BUTTON2CHG, JOY_BUTTON3CHG, JOY_BUTTON4CHG};
constexpr SDL_GameControllerButton kPadButtons[4] = {
    SDL_CONTROLLER_BUTTON_A, SDL_CONTROLLER_BUTTON_B, SDL_CONTROLLER_BUTTON_X,
    SDL_CONTROLLER_BUTTON_Y};
constexpr Uint32 kSubsystems = SDL_INIT_JOYSTICK | SDL_INIT_GAMECONTROLLER;

struct Device {
    SDL_GameController* pad = nullptr;
    SDL_Joystick* stick = nullptr; // the pad's own joystick when pad is set
};

struct Capture {
    std::optional<Device> device;
    int periodMs = 0;
    bool everyPoll = true;
    uint32_t lastPoll = 0;
    uint32_t lastDeviceLook = 0; // real clock
    JoystickReporter reporter{true, 0};
};

// How often SDL is asked to look for a pad plugged in while none is captured. Left to itself, SDL
// looks on every event pump, which polls two device monitors each time: hundreds of system calls
// a second in an idle menu.
constexpr uint32_t kDeviceLookPeriodMs = 100;

unsigned g_threshold = 0;
std::vector<std::string> g_mappingFiles;
std::optional<Capture> g_capture;

std::optional<Device> OpenFirstDevice() {
    if (SDL_NumJoysticks() <= 0) return std::nullopt;
    Device device;
    if (SDL_IsGameController(0)) {
        device.pad = SDL_GameControllerOpen(0);
        if (device.pad) device.stick = SDL_GameControllerGetJoystick(device.pad);
    }
    if (!device.pad) device.stick = SDL_JoystickOpen(0);
    if (!device.stick) return std::nullopt;
    return device;
}

void CloseDevice(const Device& device) {
    if (device.pad)
        SDL_GameControllerClose(device.pad);
    else
        SDL_JoystickClose(device.stick);
}

unsigned Distance(unsigned a, unsigned b) {
    return a > b ? a - b : b - a;
}

// A pushed d-pad or hat direction counts as a full deflection.
void ApplyDirections(JoystickState& state, bool left, bool right, bool up, bool down) {
    if (left) state.x = 0;
    if (right) state.x = 0xFFFF;
    if (up) state.y = 0;
    if (down) state.y = 0xFFFF;
}

JoystickState ReadPad(SDL_GameController* pad) {
    JoystickState state;
    state.x = JoystickPosition(SDL_GameControllerGetAxis(pad, SDL_CONTROLLER_AXIS_LEFTX));
    state.y = JoystickPosition(SDL_GameControllerGetAxis(pad, SDL_CONTROLLER_AXIS_LEFTY));
    ApplyDirections(state, SDL_GameControllerGetButton(pad, SDL_CONTROLLER_BUTTON_DPAD_LEFT),
                    SDL_GameControllerGetButton(pad, SDL_CONTROLLER_BUTTON_DPAD_RIGHT),
                    SDL_GameControllerGetButton(pad, SDL_CONTROLLER_BUTTON_DPAD_UP),
                    SDL_GameControllerGetButton(pad, SDL_CONTROLLER_BUTTON_DPAD_DOWN));
    for (int i = 0; i < 4; ++i)
        if (SDL_GameControllerGetButton(pad, kPadButtons[i])) state.buttons |= kButtonBits[i];
    return state;
}

JoystickState ReadStick(SDL_Joystick* stick) {
    JoystickState state;
    const int axes = SDL_JoystickNumAxes(stick);
    if (axes > 0) state.x = JoystickPosition(SDL_JoystickGetAxis(stick, 0));
    if (axes > 1) state.y = JoystickPosition(SDL_JoystickGetAxis(stick, 1));
    if (SDL_JoystickNumHats(stick) > 0) {
        const Uint8 hat = SDL_JoystickGetHat(stick, 0);
        ApplyDirections(state, hat & SDL_HAT_LEFT, hat & SDL_HAT_RIGHT, hat & SDL_HAT_UP,
                        hat & SDL_HAT_DOWN);
    }
    const int buttons = std::min(SDL_JoystickNumButtons(stick), 4);
    for (int i = 0; i < buttons; ++i)
        if (SDL_JoystickGetButton(stick, i)) state.buttons |= kButtonBits[i];
    return state;
}

} // namespace

std::vector<Msg> JoystickReporter::Messages(const JoystickState& now) {
    std::vector<Msg> messages;
    const LPARAM position = JoystickPositionLParam(now.x, now.y);
    const unsigned moved = std::max(Distance(now.x, lastMove_.x), Distance(now.y, lastMove_.y));
    if (everyPoll_ || moved >= std::max(threshold_, 1u)) {
        messages.push_back(Msg{MM_JOY1MOVE, now.buttons, position});
        lastMove_ = now;
    }
    for (int i = 0; i < 4; ++i) {
        const WPARAM bit = kButtonBits[i];
        if ((now.buttons & bit) == (previous_.buttons & bit)) continue;
        const unsigned message = (now.buttons & bit) ? MM_JOY1BUTTONDOWN : MM_JOY1BUTTONUP;
        messages.push_back(Msg{message, now.buttons | kChangeBits[i], position});
    }
    previous_ = now;
    return messages;
}

void SetJoystickThreshold(unsigned threshold) {
    g_threshold = threshold;
}

void SetControllerMappingFiles(std::vector<std::string> files) {
    g_mappingFiles = std::move(files);
}

bool CaptureJoystick(int periodMs, bool everyPoll) {
    if (g_capture) return false;
    // Like the system's polling, readings must not depend on which window has the focus.
    SDL_SetHint(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS, "1");
    // Devices are read and looked for when a poll is due, not on every event pump.
    SDL_SetHint(SDL_HINT_AUTO_UPDATE_JOYSTICKS, "0");
    if (SDL_InitSubSystem(kSubsystems) != 0) return false;
    for (const std::string& file : g_mappingFiles)
        SDL_GameControllerAddMappingsFromFile(file.c_str());
    Capture capture;
    capture.periodMs = std::max(periodMs, 1);
    capture.everyPoll = everyPoll;
    capture.lastPoll = GetTickCount() - uint32_t(capture.periodMs); // the first poll is due at once
    capture.lastDeviceLook = SDL_GetTicks() - kDeviceLookPeriodMs;  // and the first look
    capture.device = OpenFirstDevice();
    capture.reporter = JoystickReporter(everyPoll, g_threshold);
    g_capture = capture;
    return g_capture->device.has_value();
}

void ReleaseJoystickCapture() {
    if (!g_capture) return;
    if (g_capture->device) CloseDevice(*g_capture->device);
    g_capture.reset();
    SDL_QuitSubSystem(kSubsystems);
}

bool JoystickCaptureActive() {
    return g_capture.has_value();
}

bool JoystickCaptured() {
    return g_capture && g_capture->device.has_value();
}

uint32_t MillisecondsToJoystickPoll() {
    // Without a device nothing is polled: a pad plugged in arrives as an event of the window.
    if (!g_capture || !g_capture->device) return UINT32_MAX;
    const uint32_t since = GetTickCount() - g_capture->lastPoll;
    const uint32_t period = uint32_t(g_capture->periodMs);
    return since >= period ? 0 : period - since;
}

void PollJoystickIfDue(MessagePoster post) {
    if (!g_capture) return;
    Capture& capture = *g_capture;
    if (!capture.device) {
        // Waiting for a pad reads only the real clock, never the game's.
        const uint32_t realNow = SDL_GetTicks();
        if (realNow - capture.lastDeviceLook >= kDeviceLookPeriodMs) {
            capture.lastDeviceLook = realNow;
            SDL_JoystickUpdate();
        }
        if (SDL_NumJoysticks() <= 0) return;
        capture.device = OpenFirstDevice();
        if (!capture.device) return;
        capture.reporter = JoystickReporter(capture.everyPoll, g_threshold);
        capture.lastPoll = GetTickCount() - uint32_t(capture.periodMs); // read at once
    }
    const uint32_t now = GetTickCount();
    if (now - capture.lastPoll < uint32_t(capture.periodMs)) return;
    capture.lastPoll = now;
    SDL_JoystickUpdate(); // also notices a device pulled out
    if (!SDL_JoystickGetAttached(capture.device->stick)) {
        // Report the pulled-out pad at rest, so every held direction and button is let go.
        for (const Msg& msg : capture.reporter.Messages(JoystickState{}))
            post(msg.message, msg.wParam, msg.lParam);
        CloseDevice(*capture.device);
        capture.device.reset();
        return;
    }
    const Device& device = *capture.device;
    const JoystickState state = device.pad ? ReadPad(device.pad) : ReadStick(device.stick);
    for (const Msg& msg : capture.reporter.Messages(state))
        post(msg.message, msg.wParam, msg.lParam);
}

} // namespace sys
