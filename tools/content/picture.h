// Turning drawn Cairo surfaces into the game's picture files. Game file names are written the
// game's way ("DATA\BONUS\x.tga") and resolved below a game folder.
#pragma once
#include <cairo.h>

#include <string>

#include "image.h"

namespace content {

enum class PictureKind {
    Opaque, // 24-bit TGA, no mask
    Masked, // 24-bit TGA plus the "_name.tga" alpha mask beside it
    Jpeg,   // opaque JPEG
};

// Straight-alpha copy of an ARGB32 (premultiplied) or RGB24 Cairo image surface.
Image FromCairo(cairo_surface_t* surface);

// "DATA\BONUS\x.tga" below root → "root/DATA/BONUS/x.tga".
std::string GamePath(const std::string& root, const std::string& gameName);
// The mask the sprite loader looks for: "DATA\x.tga" → "DATA\_x.tga".
std::string MaskName(const std::string& gameName);

// Writes the picture (and its mask) below root, creating folders. Prints the reason and
// returns false on failure.
bool SavePicture(const std::string& root, const std::string& gameName, const Image& image,
                 PictureKind kind);
// A PNG for review pages; prints the reason and returns false on failure.
bool WritePng(const Image& img, const std::string& path);
// Writes only the alpha plane, as a mask that several pictures share ("DATA\_bubble.tga").
bool SaveMask(const std::string& root, const std::string& gameName, const Image& image);

} // namespace content
