// Message boxes with Windows' button sets, icons and answers. Without a display they print to
// stderr and take the default button; tests can script the answers.
#pragma once
#include <functional>
#include <string>

namespace sys {

constexpr unsigned MB_OK = 0x0;
constexpr unsigned MB_OKCANCEL = 0x1;
constexpr unsigned MB_ABORTRETRYIGNORE = 0x2;
constexpr unsigned MB_YESNOCANCEL = 0x3;
constexpr unsigned MB_YESNO = 0x4;
constexpr unsigned MB_RETRYCANCEL = 0x5;
constexpr unsigned MB_ICONERROR = 0x10;
constexpr unsigned MB_ICONQUESTION = 0x20;
constexpr unsigned MB_ICONWARNING = 0x30;
constexpr unsigned MB_ICONINFORMATION = 0x40;
constexpr unsigned MB_DEFBUTTON2 = 0x100;
constexpr unsigned MB_DEFBUTTON3 = 0x200;

constexpr int IDOK = 1;
constexpr int IDCANCEL = 2;
constexpr int IDABORT = 3;
constexpr int IDRETRY = 4;
constexpr int IDIGNORE = 5;
constexpr int IDYES = 6;
constexpr int IDNO = 7;

// Texts are Windows-1252. Returns the ID of the button chosen.
int MessageBox(const std::string& text, const std::string& caption, unsigned type);

// Without a display a box takes its default button; a program whose questions delete or
// overwrite asks for the safe answer instead: Cancel, No or Abort where the box has one.
void SetHeadlessSafeAnswers(bool safe);
// The box's default button: the answer Enter gives.
int DefaultAnswer(unsigned type);
// True when boxes and windows can be shown (a display is there and not the dummy driver).
bool DisplayAvailable();

// Tests: every box goes to the responder instead (it gets text, caption, type and returns the
// answer). An empty function restores normal behaviour.
using MessageBoxResponder =
    std::function<int(const std::string& text, const std::string& caption, unsigned type)>;
void SetMessageBoxResponder(MessageBoxResponder responder);

} // namespace sys
