// The Windows codes of a physical key: its virtual-key code and its PC set-1 scan code.
#pragma once
#include <SDL.h>

namespace sys {

struct KeyCodes {
    unsigned virtualKey = 0;
    unsigned scanCode = 0; // set 1, without the E0 prefix
    bool extended = false; // the E0 prefix: arrows, the navigation block, right Ctrl/Alt, ...
};

// False for keys a PC keyboard does not have. Letters and digits take their virtual key from
// the layout (`symbol`), as Windows does; everything else follows the physical key. Keypad
// keys give their numeric virtual keys only while Num Lock is on.
bool KeyCodesOf(SDL_Scancode scancode, SDL_Keycode symbol, bool numLock, KeyCodes& codes);

} // namespace sys
