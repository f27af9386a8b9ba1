// Window messages, virtual-key codes and related constants with their Win32 numeric values, so the
// game's window procedure and widgets read as they would on Windows.
#pragma once
#include <cstdint>

namespace sys {

using WPARAM = uintptr_t;
using LPARAM = intptr_t;
using LRESULT = intptr_t;

struct Msg {
    unsigned message = 0;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
};

// Messages.
constexpr unsigned WM_NULL = 0x0000;
constexpr unsigned WM_CREATE = 0x0001;
constexpr unsigned WM_DESTROY = 0x0002;
constexpr unsigned WM_MOVE = 0x0003;
constexpr unsigned WM_SIZE = 0x0005;
constexpr unsigned WM_ACTIVATE = 0x0006;
constexpr unsigned WM_SETFOCUS = 0x0007;
constexpr unsigned WM_KILLFOCUS = 0x0008;
constexpr unsigned WM_PAINT = 0x000F;
constexpr unsigned WM_CLOSE = 0x0010;
constexpr unsigned WM_QUIT = 0x0012;
constexpr unsigned WM_ERASEBKGND = 0x0014;
constexpr unsigned WM_SYSCOLORCHANGE = 0x0015;
constexpr unsigned WM_ACTIVATEAPP = 0x001C;
constexpr unsigned WM_SETCURSOR = 0x0020;
constexpr unsigned WM_KEYDOWN = 0x0100;
constexpr unsigned WM_KEYUP = 0x0101;
constexpr unsigned WM_CHAR = 0x0102;
constexpr unsigned WM_SYSKEYDOWN = 0x0104;
constexpr unsigned WM_SYSKEYUP = 0x0105;
constexpr unsigned WM_SYSCHAR = 0x0106;
constexpr unsigned WM_COMMAND = 0x0111;
constexpr unsigned WM_TIMER = 0x0113;
constexpr unsigned BM_GETCHECK = 0x00F0;
constexpr unsigned BM_SETCHECK = 0x00F1;
constexpr unsigned WM_MOUSEMOVE = 0x0200;
constexpr unsigned WM_LBUTTONDOWN = 0x0201;
constexpr unsigned WM_LBUTTONUP = 0x0202;
constexpr unsigned WM_LBUTTONDBLCLK = 0x0203;
constexpr unsigned WM_RBUTTONDOWN = 0x0204;
constexpr unsigned WM_RBUTTONUP = 0x0205;
constexpr unsigned WM_RBUTTONDBLCLK = 0x0206;
constexpr unsigned WM_MBUTTONDOWN = 0x0207;
constexpr unsigned WM_MBUTTONUP = 0x0208;
constexpr unsigned WM_MBUTTONDBLCLK = 0x0209;
constexpr unsigned WM_MOUSEWHEEL = 0x020A;
constexpr unsigned WM_CAPTURECHANGED = 0x0215;
constexpr unsigned MM_JOY1MOVE = 0x03A0;
constexpr unsigned MM_JOY1BUTTONDOWN = 0x03B5;
constexpr unsigned MM_JOY1BUTTONUP = 0x03B7;
constexpr unsigned MM_MCINOTIFY = 0x03B9;
constexpr unsigned WM_USER = 0x0400;

// BM_GETCHECK answers and BM_SETCHECK requests.
constexpr WPARAM BST_UNCHECKED = 0;
constexpr WPARAM BST_CHECKED = 1;

// WM_MOUSEWHEEL: the wheel's turn in the high word of wParam, in multiples of this per notch.
constexpr int WHEEL_DELTA = 120;

// WM_SIZE wParam values.
constexpr WPARAM SIZE_RESTORED = 0;
constexpr WPARAM SIZE_MINIMIZED = 1;
constexpr WPARAM SIZE_MAXIMIZED = 2;
constexpr WPARAM SIZE_MAXSHOW = 3;
constexpr WPARAM SIZE_MAXHIDE = 4;

// Mouse key-state bits in wParam of mouse messages.
constexpr WPARAM MK_LBUTTON = 0x0001;
constexpr WPARAM MK_RBUTTON = 0x0002;
constexpr WPARAM MK_SHIFT = 0x0004;
constexpr WPARAM MK_CONTROL = 0x0008;
constexpr WPARAM MK_MBUTTON = 0x0010;

// Joystick button bits in wParam of MM_JOY1BUTTONDOWN/UP.
constexpr WPARAM JOY_BUTTON1 = 0x0001;
constexpr WPARAM JOY_BUTTON2 = 0x0002;
constexpr WPARAM JOY_BUTTON3 = 0x0004;
constexpr WPARAM JOY_BUTTON4 = 0x0008;
constexpr WPARAM JOY_BUTTON1CHG = 0x0100;
constexpr WPARAM JOY_BUTTON2CHG = 0x0200;
constexpr WPARAM JOY_BUTTON3CHG = 0x0400;
constexpr WPARAM JOY_BUTTON4CHG = 0x0800;

// Virtual-key codes.
constexpr unsigned VK_LBUTTON = 0x01;
constexpr unsigned VK_RBUTTON = 0x02;
constexpr unsigned VK_MBUTTON = 0x04;
constexpr unsigned VK_BACK = 0x08;
constexpr unsigned VK_TAB = 0x09;
constexpr unsigned VK_RETURN = 0x0D;
constexpr unsigned VK_SHIFT = 0x10;
constexpr unsigned VK_CONTROL = 0x11;
constexpr unsigned VK_MENU = 0x12;
constexpr unsigned VK_PAUSE = 0x13;
constexpr unsigned VK_CAPITAL = 0x14;
constexpr unsigned VK_ESCAPE = 0x1B;
constexpr unsigned VK_SPACE = 0x20;
constexpr unsigned VK_PRIOR = 0x21;
constexpr unsigned VK_NEXT = 0x22;
constexpr unsigned VK_END = 0x23;
constexpr unsigned VK_HOME = 0x24;
constexpr unsigned VK_LEFT = 0x25;
constexpr unsigned VK_UP = 0x26;
constexpr unsigned VK_RIGHT = 0x27;
constexpr unsigned VK_DOWN = 0x28;
constexpr unsigned VK_SNAPSHOT = 0x2C;
constexpr unsigned VK_INSERT = 0x2D;
constexpr unsigned VK_DELETE = 0x2E;
// '0'..'9' and 'A'..'Z' are their ASCII codes.
constexpr unsigned VK_LWIN = 0x5B;
constexpr unsigned VK_RWIN = 0x5C;
constexpr unsigned VK_APPS = 0x5D;
constexpr unsigned VK_NUMPAD0 = 0x60;
constexpr unsigned VK_MULTIPLY = 0x6A;
constexpr unsigned VK_ADD = 0x6B;
constexpr unsigned VK_SUBTRACT = 0x6D;
constexpr unsigned VK_DECIMAL = 0x6E;
constexpr unsigned VK_DIVIDE = 0x6F;
constexpr unsigned VK_F1 = 0x70;
constexpr unsigned VK_F10 = 0x79;
constexpr unsigned VK_F12 = 0x7B;
constexpr unsigned VK_NUMLOCK = 0x90;
constexpr unsigned VK_SCROLL = 0x91;
constexpr unsigned VK_OEM_1 = 0xBA;
constexpr unsigned VK_OEM_PLUS = 0xBB;
constexpr unsigned VK_OEM_COMMA = 0xBC;
constexpr unsigned VK_OEM_MINUS = 0xBD;
constexpr unsigned VK_OEM_PERIOD = 0xBE;
constexpr unsigned VK_OEM_2 = 0xBF;
constexpr unsigned VK_OEM_3 = 0xC0;
constexpr unsigned VK_OEM_4 = 0xDB;
constexpr unsigned VK_OEM_5 = 0xDC;
constexpr unsigned VK_OEM_6 = 0xDD;
constexpr unsigned VK_OEM_7 = 0xDE;
constexpr unsigned VK_OEM_102 = 0xE2;

// Builds the lParam of a key message: repeat count in bits 0-15, scan code in 16-23,
// extended flag in bit 24, previous-state in bit 30, transition in bit 31.
constexpr LPARAM MakeKeyLParam(unsigned repeat, unsigned scanCode, bool extended, bool keyUp) {
    uint32_t v = (repeat & 0xFFFFu) | ((scanCode & 0xFFu) << 16) | (extended ? 1u << 24 : 0u) |
                 (keyUp ? (1u << 30) | (1u << 31) : 0u);
    return LPARAM(int32_t(v));
}

// Mouse position in lParam: x in the low word, y in the high word, both signed 16-bit.
constexpr LPARAM MakePointLParam(int x, int y) {
    return LPARAM(
        int32_t((uint32_t(uint16_t(int16_t(x)))) | (uint32_t(uint16_t(int16_t(y))) << 16)));
}
constexpr int PointX(LPARAM l) {
    return int16_t(uint16_t(uint32_t(l) & 0xFFFF));
}
constexpr int PointY(LPARAM l) {
    return int16_t(uint16_t((uint32_t(l) >> 16) & 0xFFFF));
}

} // namespace sys
