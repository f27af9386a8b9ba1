// Reading pictures back through the game's own picture readers, so the content tools judge the
// pixels the game will see.
#pragma once
#include <string>

#include "image.h"

namespace content {

struct PictureInfo {
    int width = 0;
    int height = 0; // all frames
    int bitsPerPixel = 0;
};

// The header as the game's reader for the name's kind takes it; false with a reason when no
// reader takes the file.
bool ReadPictureInfo(const std::string& path, PictureInfo* info, std::string* error);
// The pixels, top-down; alpha is the picture's own, or opaque when it has none.
bool ReadPicture(const std::string& path, Image* image, std::string* error);

} // namespace content
