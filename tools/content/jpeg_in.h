// Reading JPEG pictures with libjpeg, for the contact sheet and the tests.
#pragma once
#include <string>

#include "image.h"

namespace content {

// Colour JPEGs only (the game converts no other kind); false with a reason otherwise.
bool ReadJpeg(const std::string& path, Image* image, std::string* error);

} // namespace content
