// The programs' texts are Windows-1252; the OS speaks UTF-8.
#pragma once
#include <string>
#include <string_view>

namespace sys {

// Every byte has a form: the five bytes Windows-1252 leaves undefined (0x81, 0x8D, 0x8F, 0x90,
// 0x9D) become the control characters of the same number, as Windows converts them.
std::string Cp1252ToUtf8(const std::string& text);
// Characters with no Windows-1252 form, and malformed UTF-8 bytes, become '?'.
std::string Utf8ToCp1252(const std::string& text);
// True when every byte belongs to a well-formed UTF-8 sequence.
bool IsUtf8(const std::string& text);

// Windows compares names ignoring case, including the accented letters of Windows-1252.
char LowerCp1252(char c);
char UpperCp1252(char c);
bool EqualIgnoringCase(std::string_view a, std::string_view b);
// The order in which Windows' file system keeps names: by their upper-case forms, byte by byte.
bool LessIgnoringCase(std::string_view a, std::string_view b);

} // namespace sys
