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

struct Capture {
    SDL_GameController* pad = nullptr;
    SDL_Joystick* stick = nullptr; // the pad's own joystick when pad is set
    int periodMs = 0;
    uint32_t lastPoll = 0;
    JoystickReporter reporter{true, 0};
};

unsigned g_threshold = 0;
std::optional<Capture> g_capture;

unsigned Distance(unsigned a, unsigned b) { return a > b ? a - b : b - a; }

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

void SetJoystickThreshold(unsigned threshold) { g_threshold = threshold; }

bool CaptureJoystick(int periodMs, bool everyPoll) {
    if (g_capture) return false;
    // Like the system's polling, readings must not depend on which window has the focus.
    SDL_SetHint(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS, "1");
    if (SDL_InitSubSystem(kSubsystems) != 0) return false;
    Capture capture;
    if (SDL_NumJoysticks() > 0 && SDL_IsGameController(0)) {
        capture.pad = SDL_GameControllerOpen(0);
        if (capture.pad) capture.stick = SDL_GameControllerGetJoystick(capture.pad);
    }
    if (!capture.pad && SDL_NumJoysticks() > 0) capture.stick = SDL_JoystickOpen(0);
    if (!capture.stick) {
        SDL_QuitSubSystem(kSubsystems);
        return false;
    }
    capture.periodMs = std::max(periodMs, 1);
    capture.lastPoll = GetTickCount() - uint32_t(capture.periodMs); // the first poll is due at once
    capture.reporter = JoystickReporter(everyPoll, g_threshold);
    g_capture = capture;
    return true;
}

void ReleaseJoystickCapture() {
    if (!g_capture) return;
    if (g_capture->pad)
        SDL_GameControllerClose(g_capture->pad);
    else
        SDL_JoystickClose(g_capture->stick);
    g_capture.reset();
    SDL_QuitSubSystem(kSubsystems);
}

bool JoystickCaptured() { return g_capture.has_value(); }

uint32_t MillisecondsToJoystickPoll() {
    if (!g_capture) return UINT32_MAX;
    const uint32_t since = GetTickCount() - g_capture->lastPoll;
    const uint32_t period = uint32_t(g_capture->periodMs);
    return since >= period ? 0 : period - since;
}

void PollJoystickIfDue(MessagePoster post) {
    if (!g_capture) return;
    const uint32_t now = GetTickCount();
    if (now - g_capture->lastPoll < uint32_t(g_capture->periodMs)) return;
    g_capture->lastPoll = now;
    SDL_JoystickUpdate();
    // An unplugged joystick reports nothing, as a failing position query does on Windows.
    if (!SDL_JoystickGetAttached(g_capture->stick)) return;
    const JoystickState state = g_capture->pad ? ReadPad(g_capture->pad) : ReadStick(g_capture->stick);
    for (const Msg& msg : g_capture->reporter.Messages(state)) post(msg.message, msg.wParam, msg.lParam);
}

} // namespace sys
