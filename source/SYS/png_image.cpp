#include "SYS/png_image.h"

#include <png.h>

#include <cstring>

namespace sys {

bool DecodePng(const unsigned char* data, size_t size, uint32_t maxSide, RgbaImage* out) {
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    if (!data || !png_image_begin_read_from_memory(&image, data, size)) return false;
    if (image.width == 0 || image.height == 0 || image.width > maxSide || image.height > maxSide) {
        png_image_free(&image);
        return false;
    }
    image.format = PNG_FORMAT_RGBA;
    std::vector<uint8_t> rgba(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, rgba.data(), 0, nullptr)) {
        png_image_free(&image);
        return false;
    }
    out->width = static_cast<int>(image.width);
    out->height = static_cast<int>(image.height);
    out->rgba = std::move(rgba);
    return true;
}

} // namespace sys
