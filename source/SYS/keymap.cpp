#include "SYS/keymap.h"

#include "SYS/winmsg.h"

namespace sys {
namespace {

constexpr unsigned VK_CLEAR = 0x0C; // keypad 5 without Num Lock

struct KeyRow {
    SDL_Scancode scancode;
    unsigned virtualKey;
    unsigned scanCode;
    bool extended;
};

// Letters and digits are left to the layout-aware rule in KeyCodesOf; their scan codes are here.
constexpr KeyRow kKeys[] = {
    {SDL_SCANCODE_A, 'A', 0x1E, false},
    {SDL_SCANCODE_B, 'B', 0x30, false},
    {SDL_SCANCODE_C, 'C', 0x2E, false},
    {SDL_SCANCODE_D, 'D', 0x20, false},
    {SDL_SCANCODE_E, 'E', 0x12, false},
    {SDL_SCANCODE_F, 'F', 0x21, false},
    {SDL_SCANCODE_G, 'G', 0x22, false},
    {SDL_SCANCODE_H, 'H', 0x23, false},
    {SDL_SCANCODE_I, 'I', 0x17, false},
    {SDL_SCANCODE_J, 'J', 0x24, false},
    {SDL_SCANCODE_K, 'K', 0x25, false},
    {SDL_SCANCODE_L, 'L', 0x26, false},
    {SDL_SCANCODE_M, 'M', 0x32, false},
    {SDL_SCANCODE_N, 'N', 0x31, false},
    {SDL_SCANCODE_O, 'O', 0x18, false},
    {SDL_SCANCODE_P, 'P', 0x19, false},
    {SDL_SCANCODE_Q, 'Q', 0x10, false},
    {SDL_SCANCODE_R, 'R', 0x13, false},
    {SDL_SCANCODE_S, 'S', 0x1F, false},
    {SDL_SCANCODE_T, 'T', 0x14, false},
    {SDL_SCANCODE_U, 'U', 0x16, false},
    {SDL_SCANCODE_V, 'V', 0x2F, false},
    {SDL_SCANCODE_W, 'W', 0x11, false},
    {SDL_SCANCODE_X, 'X', 0x2D, false},
    {SDL_SCANCODE_Y, 'Y', 0x15, false},
    {SDL_SCANCODE_Z, 'Z', 0x2C, false},
    {SDL_SCANCODE_1, '1', 0x02, false},
    {SDL_SCANCODE_2, '2', 0x03, false},
    {SDL_SCANCODE_3, '3', 0x04, false},
    {SDL_SCANCODE_4, '4', 0x05, false},
    {SDL_SCANCODE_5, '5', 0x06, false},
    {SDL_SCANCODE_6, '6', 0x07, false},
    {SDL_SCANCODE_7, '7', 0x08, false},
    {SDL_SCANCODE_8, '8', 0x09, false},
    {SDL_SCANCODE_9, '9', 0x0A, false},
    {SDL_SCANCODE_0, '0', 0x0B, false},
    {SDL_SCANCODE_RETURN, VK_RETURN, 0x1C, false},
    {SDL_SCANCODE_ESCAPE, VK_ESCAPE, 0x01, false},
    {SDL_SCANCODE_BACKSPACE, VK_BACK, 0x0E, false},
    {SDL_SCANCODE_TAB, VK_TAB, 0x0F, false},
    {SDL_SCANCODE_SPACE, VK_SPACE, 0x39, false},
    {SDL_SCANCODE_MINUS, VK_OEM_MINUS, 0x0C, false},
    {SDL_SCANCODE_EQUALS, VK_OEM_PLUS, 0x0D, false},
    {SDL_SCANCODE_LEFTBRACKET, VK_OEM_4, 0x1A, false},
    {SDL_SCANCODE_RIGHTBRACKET, VK_OEM_6, 0x1B, false},
    {SDL_SCANCODE_BACKSLASH, VK_OEM_5, 0x2B, false},
    {SDL_SCANCODE_NONUSHASH, VK_OEM_5, 0x2B, false},
    {SDL_SCANCODE_SEMICOLON, VK_OEM_1, 0x27, false},
    {SDL_SCANCODE_APOSTROPHE, VK_OEM_7, 0x28, false},
    {SDL_SCANCODE_GRAVE, VK_OEM_3, 0x29, false},
    {SDL_SCANCODE_COMMA, VK_OEM_COMMA, 0x33, false},
    {SDL_SCANCODE_PERIOD, VK_OEM_PERIOD, 0x34, false},
    {SDL_SCANCODE_SLASH, VK_OEM_2, 0x35, false},
    {SDL_SCANCODE_NONUSBACKSLASH, VK_OEM_102, 0x56, false},
    {SDL_SCANCODE_CAPSLOCK, VK_CAPITAL, 0x3A, false},
    {SDL_SCANCODE_F1, VK_F1 + 0, 0x3B, false},
    {SDL_SCANCODE_F2, VK_F1 + 1, 0x3C, false},
    {SDL_SCANCODE_F3, VK_F1 + 2, 0x3D, false},
    {SDL_SCANCODE_F4, VK_F1 + 3, 0x3E, false},
    {SDL_SCANCODE_F5, VK_F1 + 4, 0x3F, false},
    {SDL_SCANCODE_F6, VK_F1 + 5, 0x40, false},
    {SDL_SCANCODE_F7, VK_F1 + 6, 0x41, false},
    {SDL_SCANCODE_F8, VK_F1 + 7, 0x42, false},
    {SDL_SCANCODE_F9, VK_F1 + 8, 0x43, false},
    {SDL_SCANCODE_F10, VK_F10, 0x44, false},
    {SDL_SCANCODE_F11, VK_F1 + 10, 0x57, false},
    {SDL_SCANCODE_F12, VK_F12, 0x58, false},
    {SDL_SCANCODE_PRINTSCREEN, VK_SNAPSHOT, 0x37, true},
    {SDL_SCANCODE_SCROLLLOCK, VK_SCROLL, 0x46, false},
    {SDL_SCANCODE_PAUSE, VK_PAUSE, 0x45, false},
    {SDL_SCANCODE_INSERT, VK_INSERT, 0x52, true},
    {SDL_SCANCODE_HOME, VK_HOME, 0x47, true},
    {SDL_SCANCODE_PAGEUP, VK_PRIOR, 0x49, true},
    {SDL_SCANCODE_DELETE, VK_DELETE, 0x53, true},
    {SDL_SCANCODE_END, VK_END, 0x4F, true},
    {SDL_SCANCODE_PAGEDOWN, VK_NEXT, 0x51, true},
    {SDL_SCANCODE_RIGHT, VK_RIGHT, 0x4D, true},
    {SDL_SCANCODE_LEFT, VK_LEFT, 0x4B, true},
    {SDL_SCANCODE_DOWN, VK_DOWN, 0x50, true},
    {SDL_SCANCODE_UP, VK_UP, 0x48, true},
    {SDL_SCANCODE_NUMLOCKCLEAR, VK_NUMLOCK, 0x45, true},
    {SDL_SCANCODE_KP_DIVIDE, VK_DIVIDE, 0x35, true},
    {SDL_SCANCODE_KP_MULTIPLY, VK_MULTIPLY, 0x37, false},
    {SDL_SCANCODE_KP_MINUS, VK_SUBTRACT, 0x4A, false},
    {SDL_SCANCODE_KP_PLUS, VK_ADD, 0x4E, false},
    {SDL_SCANCODE_KP_ENTER, VK_RETURN, 0x1C, true},
    {SDL_SCANCODE_APPLICATION, VK_APPS, 0x5D, true},
    {SDL_SCANCODE_LCTRL, VK_CONTROL, 0x1D, false},
    {SDL_SCANCODE_LSHIFT, VK_SHIFT, 0x2A, false},
    {SDL_SCANCODE_LALT, VK_MENU, 0x38, false},
    {SDL_SCANCODE_LGUI, VK_LWIN, 0x5B, true},
    {SDL_SCANCODE_RCTRL, VK_CONTROL, 0x1D, true},
    {SDL_SCANCODE_RSHIFT, VK_SHIFT, 0x36, false},
    {SDL_SCANCODE_RALT, VK_MENU, 0x38, true},
    {SDL_SCANCODE_RGUI, VK_RWIN, 0x5C, true},
};

// Keypad digits and point: scan code, virtual key with Num Lock, virtual key without.
struct KeypadRow {
    SDL_Scancode scancode;
    unsigned scanCode;
    unsigned withNumLock;
    unsigned withoutNumLock;
};

constexpr KeypadRow kKeypad[] = {
    {SDL_SCANCODE_KP_7, 0x47, VK_NUMPAD0 + 7, VK_HOME},
    {SDL_SCANCODE_KP_8, 0x48, VK_NUMPAD0 + 8, VK_UP},
    {SDL_SCANCODE_KP_9, 0x49, VK_NUMPAD0 + 9, VK_PRIOR},
    {SDL_SCANCODE_KP_4, 0x4B, VK_NUMPAD0 + 4, VK_LEFT},
    {SDL_SCANCODE_KP_5, 0x4C, VK_NUMPAD0 + 5, VK_CLEAR},
    {SDL_SCANCODE_KP_6, 0x4D, VK_NUMPAD0 + 6, VK_RIGHT},
    {SDL_SCANCODE_KP_1, 0x4F, VK_NUMPAD0 + 1, VK_END},
    {SDL_SCANCODE_KP_2, 0x50, VK_NUMPAD0 + 2, VK_DOWN},
    {SDL_SCANCODE_KP_3, 0x51, VK_NUMPAD0 + 3, VK_NEXT},
    {SDL_SCANCODE_KP_0, 0x52, VK_NUMPAD0 + 0, VK_INSERT},
    {SDL_SCANCODE_KP_PERIOD, 0x53, VK_DECIMAL, VK_DELETE},
};

unsigned LayoutVirtualKey(SDL_Keycode symbol) {
    if (symbol >= 'a' && symbol <= 'z') return unsigned(symbol - 'a' + 'A');
    if (symbol >= '0' && symbol <= '9') return unsigned(symbol);
    return 0;
}

} // namespace

bool KeyCodesOf(SDL_Scancode scancode, SDL_Keycode symbol, bool numLock, KeyCodes& codes) {
    for (const KeypadRow& row : kKeypad) {
        if (row.scancode != scancode) continue;
        codes = {numLock ? row.withNumLock : row.withoutNumLock, row.scanCode, false};
        return true;
    }
    for (const KeyRow& row : kKeys) {
        if (row.scancode != scancode) continue;
        codes = {row.virtualKey, row.scanCode, row.extended};
        bool alphanumeric = (row.virtualKey >= 'A' && row.virtualKey <= 'Z') ||
                            (row.virtualKey >= '0' && row.virtualKey <= '9');
        if (alphanumeric && LayoutVirtualKey(symbol) != 0)
            codes.virtualKey = LayoutVirtualKey(symbol);
        return true;
    }
    return false;
}

} // namespace sys
