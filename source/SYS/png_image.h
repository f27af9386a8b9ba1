// PNG decoding for the few pictures both programs take as PNG: window icons and the installer's
// skin and package pictures.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

namespace sys {

struct RgbaImage {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> rgba; // 4 bytes a pixel (red, green, blue, alpha), rows top to bottom
};

// False for data that is not a whole PNG, or whose sides are 0 or exceed maxSide (so a damaged or
// hostile picture cannot demand unbounded memory).
bool DecodePng(const unsigned char* data, size_t size, uint32_t maxSide, RgbaImage* out);

} // namespace sys
