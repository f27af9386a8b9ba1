// The programs' texts are Windows-1252; the OS speaks UTF-8.
#pragma once
#include <string>

namespace sys {

std::string Cp1252ToUtf8(const std::string& text);
// Characters with no Windows-1252 form become '?'.
std::string Utf8ToCp1252(const std::string& text);

} // namespace sys
