#include "tga.h"

#include <cstdio>

namespace content {

Image Crop(const Image& source, int x, int y, int w, int h) {
    Image out(w, h);
    for (int row = 0; row < h; ++row)
        for (int col = 0; col < w; ++col)
            for (int c = 0; c < 4; ++c) out.At(col, row)[c] = source.At(x + col, y + row)[c];
    return out;
}

namespace {

constexpr size_t kHeaderSize = 18;

bool WriteFile(const std::string& path, const std::vector<uint8_t>& bytes, std::string* error) {
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) {
        if (error) *error = path + ": cannot create";
        return false;
    }
    bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    ok = (std::fclose(f) == 0) && ok;
    if (!ok && error) *error = path + ": write failed";
    return ok;
}

std::vector<uint8_t> Header(int width, int height, int bits) {
    std::vector<uint8_t> h(kHeaderSize, 0);
    h[2] = 2; // uncompressed true colour
    h[12] = static_cast<uint8_t>(width & 0xFF);
    h[13] = static_cast<uint8_t>(width >> 8);
    h[14] = static_cast<uint8_t>(height & 0xFF);
    h[15] = static_cast<uint8_t>(height >> 8);
    h[16] = static_cast<uint8_t>(bits);
    h[17] = bits == 32 ? 8 : 0; // alpha bits; bit 5 clear: rows run bottom-up
    return h;
}

bool SizeFits(const Image& image, std::string* error, const std::string& path) {
    if (image.width > 0 && image.height > 0 && image.width <= 0x7FFF && image.height <= 0x7FFF)
        return true;
    if (error) *error = path + ": picture size out of range";
    return false;
}

} // namespace

bool WriteTga(const std::string& path, const Image& image, int bitsPerPixel, std::string* error) {
    if (!SizeFits(image, error, path)) return false;
    const int bytes = bitsPerPixel / 8;
    std::vector<uint8_t> out = Header(image.width, image.height, bitsPerPixel);
    out.reserve(kHeaderSize + static_cast<size_t>(image.width) * image.height * bytes);
    for (int y = image.height - 1; y >= 0; --y)
        for (int x = 0; x < image.width; ++x) {
            const uint8_t* p = image.At(x, y);
            out.push_back(p[2]);
            out.push_back(p[1]);
            out.push_back(p[0]);
            if (bytes == 4) out.push_back(p[3]);
        }
    return WriteFile(path, out, error);
}

bool WriteTgaMask(const std::string& path, const Image& image, std::string* error) {
    if (!SizeFits(image, error, path)) return false;
    std::vector<uint8_t> out = Header(image.width, image.height, 24);
    for (int y = image.height - 1; y >= 0; --y)
        for (int x = 0; x < image.width; ++x)
            for (int c = 0; c < 3; ++c) out.push_back(image.At(x, y)[3]);
    return WriteFile(path, out, error);
}

} // namespace content
