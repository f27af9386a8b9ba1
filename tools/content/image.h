// The pictures the content tools pass around: 8-bit RGBA, straight (not premultiplied) alpha,
// rows top-down.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

namespace content {

struct Image {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> rgba; // width * height * 4 bytes: red, green, blue, alpha

    Image() = default;
    Image(int w, int h) : width(w), height(h), rgba(static_cast<size_t>(w) * h * 4, 0) {}

    uint8_t* At(int x, int y) { return &rgba[(static_cast<size_t>(y) * width + x) * 4]; }
    const uint8_t* At(int x, int y) const {
        return &rgba[(static_cast<size_t>(y) * width + x) * 4];
    }
};

// The w x h rectangle at (x, y) of a picture (must lie inside it).
Image Crop(const Image& source, int x, int y, int w, int h);

} // namespace content
