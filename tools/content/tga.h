// Writing uncompressed true-colour TGA files as the game reads them: an 18-byte header, no image
// ID, no colour map, 24-bit (blue, green, red) or 32-bit (plus alpha) pixels, rows bottom-up.
#pragma once
#include <string>

#include "image.h"

namespace content {

// Writes 24-bit (alpha dropped) or 32-bit pixels bottom-up. False with a message on failure.
bool WriteTga(const std::string& path, const Image& image, int bitsPerPixel, std::string* error);
// Writes the alpha plane as a 24-bit grey picture, the game's "_name.tga" mask format.
bool WriteTgaMask(const std::string& path, const Image& image, std::string* error);

} // namespace content
