// The desktop's clipboard, as text. Texts are Windows-1252 (characters it cannot hold are lost).
#pragma once
#include <string>

namespace sys {

// Empty when the clipboard holds no text or there is no display.
std::string ClipboardText();
// False when there is no display.
bool SetClipboardText(const std::string& text);

} // namespace sys
