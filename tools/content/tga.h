// Uncompressed true-colour TGA files as the game reads them: an 18-byte header, no image ID,
// no colour map, 24-bit (blue, green, red) or 32-bit (plus alpha) pixels, rows bottom-up.
#pragma once
#include <string>

#include "image.h"

namespace content {

// Writes 24-bit (alpha dropped) or 32-bit pixels bottom-up. False with a message on failure.
bool WriteTga(const std::string& path, const Image& image, int bitsPerPixel, std::string* error);
// Writes the alpha plane as a 24-bit grey picture, the game's "_name.tga" mask format.
bool WriteTgaMask(const std::string& path, const Image& image, std::string* error);

struct TgaInfo {
    int width = 0;
    int height = 0;
    int bitsPerPixel = 0;
    bool topDown = false;
};

// Reads the header only; fails on a file shorter than its header says.
bool ReadTgaInfo(const std::string& path, TgaInfo* info, std::string* error);
// Reads an 8-bit grey, 24- or 32-bit uncompressed TGA (either row order). 24-bit and 8-bit
// pictures come back opaque. Any size or layout the file cannot back up is refused.
bool ReadTga(const std::string& path, Image* image, std::string* error);
bool ParseTga(const uint8_t* data, size_t size, Image* image, TgaInfo* info, std::string* error);

} // namespace content
