#include "tga.h"

#include <cstdio>

#include "file_bytes.h"

namespace content {

Image Crop(const Image& source, int x, int y, int w, int h) {
    Image out(w, h);
    for (int row = 0; row < h; ++row)
        for (int col = 0; col < w; ++col)
            for (int c = 0; c < 4; ++c)
                out.At(col, row)[c] = source.At(x + col, y + row)[c];
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
            for (int c = 0; c < 3; ++c)
                out.push_back(image.At(x, y)[3]);
    return WriteFile(path, out, error);
}

bool ParseTga(const uint8_t* data, size_t size, Image* image, TgaInfo* info, std::string* error) {
    auto fail = [&](const char* why) {
        if (error) *error = why;
        return false;
    };
    if (size < kHeaderSize) return fail("shorter than a TGA header");
    const size_t idLength = data[0];
    const bool colourMap = data[1] != 0;
    const int type = data[2];
    TgaInfo got;
    got.width = data[12] | (data[13] << 8);
    got.height = data[14] | (data[15] << 8);
    got.bitsPerPixel = data[16];
    got.topDown = (data[17] & 0x20) != 0;
    if (info) *info = got;
    if (idLength != 0) return fail("has an image ID, which the game does not skip");
    if (colourMap) return fail("has a colour map");
    if (type != 2 && type != 3) return fail("is not an uncompressed true-colour or grey TGA");
    if (got.bitsPerPixel != 8 && got.bitsPerPixel != 24 && got.bitsPerPixel != 32)
        return fail("has a pixel depth other than 8, 24 or 32");
    if (got.width == 0 || got.height == 0) return fail("has no pixels");
    const size_t bytes = static_cast<size_t>(got.bitsPerPixel / 8);
    const size_t need = static_cast<size_t>(got.width) * got.height * bytes;
    if (size - kHeaderSize < need) return fail("is shorter than its pixel data");
    if (!image) return true;
    *image = Image(got.width, got.height);
    const uint8_t* pixels = data + kHeaderSize;
    for (int row = 0; row < got.height; ++row) {
        const int y = got.topDown ? row : got.height - 1 - row;
        for (int x = 0; x < got.width; ++x) {
            const uint8_t* s = pixels + (static_cast<size_t>(row) * got.width + x) * bytes;
            uint8_t* d = image->At(x, y);
            if (bytes == 1) {
                d[0] = d[1] = d[2] = s[0];
                d[3] = 255;
            } else {
                d[0] = s[2];
                d[1] = s[1];
                d[2] = s[0];
                d[3] = bytes == 4 ? s[3] : 255;
            }
        }
    }
    return true;
}

bool ReadTgaInfo(const std::string& path, TgaInfo* info, std::string* error) {
    std::string bytes;
    if (!ReadFileBytes(path, &bytes)) {
        if (error) *error = path + ": missing";
        return false;
    }
    std::string why;
    if (ParseTga(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), nullptr, info, &why))
        return true;
    if (error) *error = path + ": " + why;
    return false;
}

bool ReadTga(const std::string& path, Image* image, std::string* error) {
    std::string bytes;
    if (!ReadFileBytes(path, &bytes)) {
        if (error) *error = path + ": missing";
        return false;
    }
    std::string why;
    if (ParseTga(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), image, nullptr,
                 &why))
        return true;
    if (error) *error = path + ": " + why;
    return false;
}

} // namespace content
