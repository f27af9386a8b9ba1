// Conversion of UTF-16 text to an 8-bit Windows code page.
#pragma once
#include <cstddef>
#include <string>

namespace host {

// Converts little-endian UTF-16 code units (an odd last byte is ignored); characters the code
// page lacks, and broken surrogates, become '?'. known is false when the code page is not
// available, and the text is then converted with 1252.
std::string Utf16ToCodePage(const unsigned char* data, size_t size, unsigned codePage, bool* known);

} // namespace host
