// The key-equals-value format of a package's information file: UTF-16 (with an optional
// "//codepage N" first line) or 8-bit text, comment lines, quoted values with escapes.
#pragma once
#include <cstddef>
#include <string>

#include "install/app.h"

namespace inst {

// The 8-bit text of the file: UTF-16 with a byte-order mark is converted to its code page.
std::string GameInfoText(const unsigned char* data, size_t size);
// Stores every pair found into values, overwriting existing names.
void ParseGameInfo(const unsigned char* data, size_t size, NameMap& values);

} // namespace inst
