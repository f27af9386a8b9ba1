// Joystick 1 as the game sees it on Windows: captured for the window and polled at a fixed period,
// each poll posting MM_JOY1MOVE and, for every button that changed, MM_JOY1BUTTONDOWN/UP into the
// message queue. Joystick 1 is the first SDL joystick; a game controller counts as one too (left
// stick and d-pad as the axes, A B X Y as buttons 1-4). Unlike on the original system, a pad may
// be plugged in or pulled out while the capture lasts: the first one plugged in becomes joystick 1,
// and pulling it out reports it centred with every button up, so no pseudo key stays held.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "SYS/window.h"
#include "SYS/winmsg.h"

namespace sys {

// One reading: positions 0...65535 per axis (centre 32768), buttons as JOY_BUTTON1...4 bits.
struct JoystickState {
    unsigned x = 0x8000;
    unsigned y = 0x8000;
    WPARAM buttons = 0;
};

// SDL's axis value -32768...32767 as a position 0...65535.
constexpr unsigned JoystickPosition(int16_t axisValue) {
    return unsigned(int(axisValue) + 32768);
}

// lParam of the joystick messages: x in the low word, y in the high word.
constexpr LPARAM JoystickPositionLParam(unsigned x, unsigned y) {
    return LPARAM((x & 0xFFFFu) | ((y & 0xFFFFu) << 16));
}

// Turns successive readings into the messages of one poll each, without touching any device.
class JoystickReporter {
public:
    // everyPoll: a move message at every poll; otherwise only when an axis has moved by at least
    // `threshold` (and at least 1) since the last move message.
    JoystickReporter(bool everyPoll, unsigned threshold)
        : everyPoll_(everyPoll), threshold_(threshold) {}

    // MM_JOY1MOVE (wParam the buttons, lParam the position), then one MM_JOY1BUTTONDOWN or
    // MM_JOY1BUTTONUP per changed button, button 1 first, each with wParam = the buttons now |
    // that button's JOY_BUTTONnCHG bit, so two buttons changing in one poll are both reported.
    // The first reading is compared with a centred joystick without buttons pressed.
    std::vector<Msg> Messages(const JoystickState& now);

private:
    bool everyPoll_;
    unsigned threshold_;
    JoystickState previous_;
    JoystickState lastMove_;
};

// Movement threshold for captures that report only changes (position units); kept for the next
// capture.
void SetJoystickThreshold(unsigned threshold);

// Controller mapping files (SDL's gamecontrollerdb.txt format) added when the capture starts, in
// order; missing files are skipped. SDL itself adds the mappings of SDL_GAMECONTROLLERCONFIG.
void SetControllerMappingFiles(std::vector<std::string> files);

// Starts the capture: polls joystick 1 every periodMs milliseconds; with everyPoll false, move
// messages come only on movement beyond the threshold. True when a joystick is there now; without
// one the capture still waits for a pad to be plugged in. False too when already capturing.
bool CaptureJoystick(int periodMs, bool everyPoll = true);
void ReleaseJoystickCapture();
// True while the capture lasts, with or without a device.
bool JoystickCaptureActive();
// True while a device is open as joystick 1.
bool JoystickCaptured();

// Called by the message pump: when the period has passed since the last poll, reads joystick 1
// and posts its messages. Does nothing while no joystick is captured.
using MessagePoster = void (*)(unsigned message, WPARAM wParam, LPARAM lParam);
void PollJoystickIfDue(MessagePoster post = PostMessage);
// How long the pump may sleep before the next poll is due; UINT32_MAX while no device is open.
uint32_t MillisecondsToJoystickPoll();

} // namespace sys
