#include "GAME/input.h"

#include <algorithm>
#include <climits>
#include <cstdio>
#include <string>

#include "BASE/settings.h"
#include "SYS/files.h"

namespace {

std::vector<KeyBinding> g_bindings;

constexpr int kMaxLineLength = 255;
constexpr unsigned kDeadZoneLow = 0x5800;  // positions below: low direction held
constexpr unsigned kDeadZoneHigh = 0xA800; // positions from here on: high direction held

int KeyStrength(sys::LPARAM lParam) {
    return 12 + std::min(int(lParam & 0x7FFF), 3);
}

// Key code of a key-down message by its virtual key and lParam.
int KeyDownCode(sys::WPARAM wParam, sys::LPARAM lParam, int& strength) {
    switch (wParam) {
    case kPseudoKeyJoyButton1: strength = kMaxStrength; return kKeyJoyButton1;
    case kPseudoKeyJoyButton2: strength = kMaxStrength; return kKeyJoyButton2;
    case kPseudoKeyJoyButton3: strength = kMaxStrength; return kKeyJoyButton3;
    case kPseudoKeyJoyButton4: strength = kMaxStrength; return kKeyJoyButton4;
    case sys::VK_PAUSE: strength = KeyStrength(lParam); return kKeyPause;
    case kPseudoKeyJoyRight: strength = int(lParam & 0x7FFF); return kKeyJoyRight;
    case kPseudoKeyJoyLeft: strength = int(lParam & 0x7FFF); return kKeyJoyLeft;
    case kPseudoKeyJoyUp: strength = int(lParam & 0x7FFF); return kKeyJoyUp;
    case kPseudoKeyJoyDown: strength = int(lParam & 0x7FFF); return kKeyJoyDown;
    default: break;
    }
    int scanCode = int((lParam >> 16) & 0xFF);
    if (scanCode < 1 || scanCode > 127) return kNoKeyCode;
    strength = KeyStrength(lParam);
    return scanCode;
}

// First row holding the code as key 1 or key 2.
KeyBinding* RowWithKey(int code) {
    for (KeyBinding& row : g_bindings)
        if (row.key1 == code || row.key2 == code) return &row;
    return nullptr;
}

KeyBinding* RowOfAction(int action) {
    for (KeyBinding& row : g_bindings)
        if (row.action == action) return &row;
    return nullptr;
}

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f';
}

// Reads an optionally signed decimal integer at `p` after white space, as the C library's
// "%d" does; false (p unchanged) when no digits follow. Overlong numbers saturate.
bool ReadInt(const char*& p, const char* end, long long& value) {
    const char* q = p;
    while (q < end && IsBlank(*q)) ++q;
    bool negative = false;
    if (q < end && (*q == '+' || *q == '-')) negative = *q++ == '-';
    if (q == end || *q < '0' || *q > '9') return false;
    long long v = 0;
    for (; q < end && *q >= '0' && *q <= '9'; ++q)
        v = std::min(v * 10 + (*q - '0'), (long long)INT_MAX + 1);
    value = negative ? -v : std::min(v, (long long)INT_MAX);
    p = q;
    return true;
}

void ParseBindingLine(const std::string& line) {
    long long numbers[3] = {0, 0, 0};
    const char* p = line.data();
    const char* end = p + line.size();
    for (long long& number : numbers)
        if (!ReadInt(p, end, number)) break;
    KeyBinding row;
    row.action = int16_t(uint16_t(numbers[0]));
    row.key1 = int16_t(uint16_t(numbers[1]));
    row.key2 = int16_t(uint16_t(numbers[2]));
    if (row.action != 0 && (row.key1 != 0 || row.key2 != 0)) g_bindings.push_back(row);
}

// The pseudo key of the first of buttons 1-3 whose bits are all in `bits`, else button 4's.
unsigned ButtonKey(sys::WPARAM wParam, sys::WPARAM button1Bits, sys::WPARAM button2Bits,
                   sys::WPARAM button3Bits) {
    if ((wParam & button1Bits) == button1Bits) return kPseudoKeyJoyButton1;
    if ((wParam & button2Bits) == button2Bits) return kPseudoKeyJoyButton2;
    if ((wParam & button3Bits) == button3Bits) return kPseudoKeyJoyButton3;
    return kPseudoKeyJoyButton4;
}

} // namespace

int KeyCodeOf(unsigned message, sys::WPARAM wParam, sys::LPARAM lParam, int* strength) {
    int ignored = 0;
    int& out = strength ? *strength : ignored;
    switch (message) {
    case sys::WM_KEYDOWN:
    case sys::WM_SYSKEYDOWN: return KeyDownCode(wParam, lParam, out);
    case sys::WM_LBUTTONDOWN: out = kMaxStrength; return kKeyMouseLeft;
    case sys::WM_RBUTTONDOWN: out = kMaxStrength; return kKeyMouseRight;
    case sys::WM_MBUTTONDOWN: out = kMaxStrength; return kKeyMouseMiddle;
    default: return kNoKeyCode;
    }
}

int ActionOf(unsigned message, sys::WPARAM wParam, sys::LPARAM lParam, int* strength) {
    int code = KeyCodeOf(message, wParam, lParam, strength);
    if (code == kNoKeyCode) return kNoKeyCode;
    const KeyBinding* row = RowWithKey(code);
    return row ? row->action : kKeyNotBound;
}

int Rebind(int action, unsigned message, sys::WPARAM wParam, sys::LPARAM lParam) {
    if (message == sys::WM_KEYDOWN && wParam == sys::VK_ESCAPE) return kRebindCancelled;
    int code = KeyCodeOf(message, wParam, lParam);
    if (code == kNoKeyCode) return kRebindNoKeyCode;
    if (KeyBinding* holder = RowWithKey(code)) {
        if (holder->action == action) return kRebindDone;
        if (holder->key1 == code)
            holder->key1 = kKeyNone;
        else
            holder->key2 = kKeyNone;
    }
    if (KeyBinding* row = RowOfAction(action)) {
        row->key2 = row->key1;
        row->key1 = int16_t(code);
    } else if (action != 0) {
        g_bindings.push_back(KeyBinding{int16_t(action), int16_t(code), kKeyNone});
    }
    return kRebindDone;
}

int KeyNames(const char* languageFile, int action, KeyNamePair& names) {
    const KeyBinding* row = RowOfAction(action);
    if (!row) return 1;
    names.key1 = GetIniString(languageFile, "key", std::to_string(row->key1).c_str());
    if (row->key2 != kKeyNone)
        names.key2 = GetIniString(languageFile, "key", std::to_string(row->key2).c_str());
    else
        names.key2.reset();
    return 0;
}

void LoadBindings(const char* file) {
    g_bindings.clear();
    FILE* in = sys::OpenFile(file, "rb");
    if (!in) return;
    std::string line;
    bool tooLong = false;
    // One character more than the limit may be a CR of a CR LF line end.
    auto endLine = [&]() {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (!tooLong && int(line.size()) <= kMaxLineLength) ParseBindingLine(line);
        line.clear();
        tooLong = false;
    };
    for (int c; (c = std::getc(in)) != EOF;) {
        if (c == '\n') {
            endLine();
        } else if (int(line.size()) > kMaxLineLength) {
            tooLong = true;
        } else {
            line.push_back(char(c));
        }
    }
    if (!line.empty() || tooLong) endLine();
    std::fclose(in);
}

bool SaveBindings(const char* file) {
    std::string text;
    char line[24];
    for (const KeyBinding& row : g_bindings) {
        std::snprintf(line, sizeof line, "%d\t%d\t%d\n", row.action, row.key1, row.key2);
        text += line;
    }
    return sys::ReplaceFileAtomically(file, text);
}

const std::vector<KeyBinding>& KeyBindings() {
    return g_bindings;
}

void JoystickKeyTranslator::TranslateAxis(unsigned position, unsigned lowKey, unsigned highKey,
                                          Axis& axis, const Send& send) {
    if (position < kDeadZoneLow) {
        send(sys::WM_KEYDOWN, lowKey, sys::LPARAM(15 - (position >> 11)));
        axis.lowHeld = true;
    } else if (axis.lowHeld) {
        axis.lowHeld = false;
        send(sys::WM_KEYUP, lowKey, 0);
    }
    if (position >= kDeadZoneHigh) {
        send(sys::WM_KEYDOWN, highKey, sys::LPARAM((position >> 11) - 16));
        axis.highHeld = true;
    } else if (axis.highHeld) {
        axis.highHeld = false;
        send(sys::WM_KEYUP, highKey, 0);
    }
}

void JoystickKeyTranslator::Translate(unsigned message, sys::WPARAM wParam, sys::LPARAM lParam,
                                      const Send& send) {
    switch (message) {
    case sys::MM_JOY1MOVE:
        TranslateAxis(unsigned(lParam) & 0xFFFF, kPseudoKeyJoyLeft, kPseudoKeyJoyRight, x_, send);
        TranslateAxis((unsigned(lParam) >> 16) & 0xFFFF, kPseudoKeyJoyUp, kPseudoKeyJoyDown, y_,
                      send);
        break;
    case sys::MM_JOY1BUTTONDOWN:
        // The button that went down, not merely one that is held: with button 1 held, pressing
        // button 2 must read as button 2.
        send(sys::WM_KEYDOWN,
             ButtonKey(wParam, sys::JOY_BUTTON1 | sys::JOY_BUTTON1CHG,
                       sys::JOY_BUTTON2 | sys::JOY_BUTTON2CHG,
                       sys::JOY_BUTTON3 | sys::JOY_BUTTON3CHG),
             lParam);
        break;
    case sys::MM_JOY1BUTTONUP:
        send(sys::WM_KEYUP,
             ButtonKey(wParam, sys::JOY_BUTTON1CHG, sys::JOY_BUTTON2CHG, sys::JOY_BUTTON3CHG),
             lParam);
        break;
    default: break;
    }
}
