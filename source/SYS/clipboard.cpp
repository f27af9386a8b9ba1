#include "SYS/clipboard.h"

#include <SDL.h>

#include "SYS/textcodec.h"

namespace sys {

std::string ClipboardText() {
    if (!SDL_WasInit(SDL_INIT_VIDEO) || !SDL_HasClipboardText()) return {};
    char* utf8 = SDL_GetClipboardText();
    if (!utf8) return {};
    std::string text = Utf8ToCp1252(utf8);
    SDL_free(utf8);
    return text;
}

bool SetClipboardText(const std::string& text) {
    if (!SDL_WasInit(SDL_INIT_VIDEO)) return false;
    return SDL_SetClipboardText(Cp1252ToUtf8(text).c_str()) == 0;
}

} // namespace sys
