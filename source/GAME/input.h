// Input: the one key-code space in which keyboard, mouse and joystick meet, the player's key
// bindings (controls.ini) and the translation of joystick messages into pseudo key messages.
#pragma once
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "SYS/winmsg.h"

// Key codes. 1...127 are keyboard scan codes (set 1, without the extended flag, so an arrow key
// and the same arrow on the keypad share a code).
constexpr int kKeyNone = 0;
constexpr int kKeyMouseLeft = 129;
constexpr int kKeyMouseRight = 130;
constexpr int kKeyMouseMiddle = 131;
constexpr int kKeyJoyButton1 = 132;
constexpr int kKeyJoyButton2 = 133;
constexpr int kKeyJoyButton3 = 134;
constexpr int kKeyJoyButton4 = 135;
constexpr int kKeyJoyLeft = 136;
constexpr int kKeyJoyRight = 137;
constexpr int kKeyJoyUp = 138;
constexpr int kKeyJoyDown = 139;
constexpr int kKeyPause = 255;

// Pseudo virtual keys: no keyboard produces them, so joystick events travel as key messages.
constexpr unsigned kPseudoKeyJoyButton1 = 10;
constexpr unsigned kPseudoKeyJoyButton2 = 11;
constexpr unsigned kPseudoKeyJoyButton3 = 14;
constexpr unsigned kPseudoKeyJoyButton4 = 15;
constexpr unsigned kPseudoKeyJoyRight = 58;
constexpr unsigned kPseudoKeyJoyLeft = 59;
constexpr unsigned kPseudoKeyJoyUp = 60;
constexpr unsigned kPseudoKeyJoyDown = 61;

// Every translated input also has a strength 0...15: 15 for buttons, 13...15 for keyboard keys
// (12 + repeat count capped at 3), 5...15 for joystick directions (the deflection).
constexpr int kMaxStrength = 15;

// ActionOf results besides action ids.
constexpr int kNoKeyCode = -1;
constexpr int kKeyNotBound = -2;

// Rebind results.
constexpr int kRebindDone = 0;
constexpr int kRebindCancelled = 1;
constexpr int kRebindNoKeyCode = 2;

// One row of the binding table; key1 is the most recently bound key, 0 means no key.
struct KeyBinding {
    int16_t action = 0;
    int16_t key1 = 0;
    int16_t key2 = 0;
};

// The key code of a key-down or button-down message, or kNoKeyCode (-1) for any other message.
// A key-down whose scan code lies outside 1...127 has no code either: it would otherwise pose as
// "no key" (0) or as a mouse, joystick or Pause code. `strength` (optional) receives the strength.
int KeyCodeOf(unsigned message, sys::WPARAM wParam, sys::LPARAM lParam, int* strength = nullptr);

// The action bound to the message's key code (first row in table order, key 1 before key 2),
// kNoKeyCode when the message has no key code, kKeyNotBound when no row holds the code.
int ActionOf(unsigned message, sys::WPARAM wParam, sys::LPARAM lParam, int* strength = nullptr);

// Binds the message's key to `action` as its key 1; the previous key 1 becomes key 2. A key bound
// to another action moves (that action loses it); the action's own key changes nothing.
// Escape (a WM_KEYDOWN of VK_ESCAPE) cancels. An action without a row gets one, so an action
// whose keys have all been taken by others (and so was dropped when the file was read back) can
// still be bound. Returns kRebindDone, kRebindCancelled or kRebindNoKeyCode.
int Rebind(int action, unsigned message, sys::WPARAM wParam, sys::LPARAM lParam);

// The display names of an action's keys: the values of keys "<code>" in section `key` of the
// language file. `key2` holds no value when the action has no second key. Returns 0, or 1 (names
// untouched) when the action has no row.
struct KeyNamePair {
    std::string key1;
    std::optional<std::string> key2;
};
int KeyNames(const char* languageFile, int action, KeyNamePair& names);

// Replaces the table by the rows of a text file (a missing file leaves it empty). Each line holds
// up to three decimal integers separated by white space: action, key 1, key 2; a number that is
// missing or does not start where expected reads as 0 and ends the line. Rows with action 0 or
// with both keys 0 are skipped. A line longer than 255 characters (line end not counted) is
// skipped as a whole rather than read in pieces. Numbers are kept as 16-bit values.
void LoadBindings(const char* file);
// Writes "action<TAB>key1<TAB>key2<LF>" per row, replacing the file in one step (a failed write
// leaves the old file in place). False when the file cannot be written.
bool SaveBindings(const char* file);

// The current table, in file order.
const std::vector<KeyBinding>& KeyBindings();

// Turns joystick 1 messages (MM_JOY1MOVE, MM_JOY1BUTTONDOWN, MM_JOY1BUTTONUP) into key messages
// for the pseudo keys. The held flags of the four directions persist between messages: a held
// direction repeats its key-down at every move message, and its key-up comes once.
class JoystickKeyTranslator {
public:
    using Send = std::function<void(unsigned message, sys::WPARAM wParam, sys::LPARAM lParam)>;

    // A button-down sends the first of buttons 1-3 that went down (else button 4), a button-up
    // the first that changed (else button 4); both pass the message's lParam on. Messages other
    // than the three joystick messages send nothing.
    void Translate(unsigned message, sys::WPARAM wParam, sys::LPARAM lParam, const Send& send);

private:
    struct Axis {
        bool lowHeld = false;
        bool highHeld = false;
    };
    static void TranslateAxis(unsigned position, unsigned lowKey, unsigned highKey, Axis& axis,
                              const Send& send);

    Axis x_;
    Axis y_;
};
