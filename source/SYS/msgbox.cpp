#include "SYS/msgbox.h"

#include <SDL.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "SYS/textcodec.h"

namespace sys {
namespace {

MessageBoxResponder& Responder() {
    static MessageBoxResponder responder;
    return responder;
}

struct Button {
    int id;
    const char* label;
};

std::vector<Button> ButtonsOf(unsigned type) {
    switch (type & 0xF) {
    case MB_OKCANCEL: return {{IDOK, "OK"}, {IDCANCEL, "Cancel"}};
    case MB_ABORTRETRYIGNORE: return {{IDABORT, "Abort"}, {IDRETRY, "Retry"}, {IDIGNORE, "Ignore"}};
    case MB_YESNOCANCEL: return {{IDYES, "Yes"}, {IDNO, "No"}, {IDCANCEL, "Cancel"}};
    case MB_YESNO: return {{IDYES, "Yes"}, {IDNO, "No"}};
    case MB_RETRYCANCEL: return {{IDRETRY, "Retry"}, {IDCANCEL, "Cancel"}};
    default: return {{IDOK, "OK"}};
    }
}

// MB_DEFBUTTON2/3 name the default; one past the last button falls back to the first.
size_t DefaultIndex(unsigned type, size_t buttonCount) {
    size_t index = (type >> 8) & 0xF;
    return index < buttonCount ? index : 0;
}

// The answer when the box is closed without a button: Cancel where there is one (as Escape
// does on Windows), otherwise the default.
int ClosedAnswer(const std::vector<Button>& buttons, size_t defaultIndex) {
    for (const Button& button : buttons)
        if (button.id == IDCANCEL) return IDCANCEL;
    return buttons[defaultIndex].id;
}

Uint32 FlagsOf(unsigned type) {
    switch (type & 0xF0) {
    case MB_ICONERROR: return SDL_MESSAGEBOX_ERROR;
    case MB_ICONWARNING: return SDL_MESSAGEBOX_WARNING;
    default: return SDL_MESSAGEBOX_INFORMATION;
    }
}

bool Headless() {
    const char* driver =
        SDL_WasInit(SDL_INIT_VIDEO) ? SDL_GetCurrentVideoDriver() : std::getenv("SDL_VIDEODRIVER");
    if (driver && (std::strcmp(driver, "dummy") == 0 || std::strcmp(driver, "offscreen") == 0))
        return true;
    return !std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY");
}

bool& SafeAnswers() {
    static bool safe = false;
    return safe;
}

int HeadlessAnswer(const std::vector<Button>& buttons, size_t defaultIndex) {
    if (!SafeAnswers()) return buttons[defaultIndex].id;
    for (int safe : {IDCANCEL, IDNO, IDABORT})
        for (const Button& button : buttons)
            if (button.id == safe) return safe;
    return buttons[defaultIndex].id;
}

// Shows the box; false when no box could be shown.
bool ShowWithSdl(const std::string& text, const std::string& caption, unsigned type,
                 const std::vector<Button>& buttons, size_t defaultIndex, int& answer) {
    std::vector<SDL_MessageBoxButtonData> data;
    for (size_t i = 0; i < buttons.size(); ++i) {
        Uint32 flags = 0;
        if (i == defaultIndex) flags |= SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT;
        if (buttons[i].id == ClosedAnswer(buttons, defaultIndex))
            flags |= SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT;
        data.push_back({flags, buttons[i].id, buttons[i].label});
    }
    std::string utf8Text = Cp1252ToUtf8(text), utf8Caption = Cp1252ToUtf8(caption);
    SDL_MessageBoxData box{};
    // Owned by the program's window when it has one, so the box stays in front of it.
    box.window = SDL_WasInit(SDL_INIT_VIDEO) ? SDL_GetKeyboardFocus() : nullptr;
    box.flags = FlagsOf(type) | SDL_MESSAGEBOX_BUTTONS_LEFT_TO_RIGHT;
    box.title = utf8Caption.c_str();
    box.message = utf8Text.c_str();
    box.numbuttons = int(data.size());
    box.buttons = data.data();
    int chosen = -1;
    if (SDL_ShowMessageBox(&box, &chosen) != 0) return false;
    answer = chosen < 0 ? ClosedAnswer(buttons, defaultIndex) : chosen;
    return true;
}

} // namespace

int MessageBox(const std::string& text, const std::string& caption, unsigned type) {
    if (Responder()) return Responder()(text, caption, type);
    std::vector<Button> buttons = ButtonsOf(type);
    size_t defaultIndex = DefaultIndex(type, buttons.size());
    int answer = 0;
    if (!Headless() && ShowWithSdl(text, caption, type, buttons, defaultIndex, answer))
        return answer;
    std::fprintf(stderr, "%s: %s\n", Cp1252ToUtf8(caption).c_str(), Cp1252ToUtf8(text).c_str());
    return HeadlessAnswer(buttons, defaultIndex);
}

void SetHeadlessSafeAnswers(bool safe) {
    SafeAnswers() = safe;
}

int DefaultAnswer(unsigned type) {
    const std::vector<Button> buttons = ButtonsOf(type);
    return buttons[DefaultIndex(type, buttons.size())].id;
}

bool DisplayAvailable() {
    return !Headless();
}

void SetMessageBoxResponder(MessageBoxResponder responder) {
    Responder() = std::move(responder);
}

} // namespace sys
