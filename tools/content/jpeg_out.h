// Writing opaque pictures as baseline JPEG with libjpeg (alpha is dropped).
#pragma once
#include <string>

#include "image.h"

namespace content {

bool WriteJpeg(const std::string& path, const Image& image, int quality, std::string* error);

} // namespace content
