#include "picture_in.h"

#include <cstdlib>
#include <memory>

#include "GRAPH/PictureReader.h"

namespace content {

namespace {

std::unique_ptr<PictureReader> Open(const std::string& path, std::string* error) {
    std::unique_ptr<PictureReader> reader = ReaderFor(path.c_str());
    if (!reader || reader->Open(path.c_str()) != 0) {
        if (error) *error = path + ": the game cannot read it";
        return nullptr;
    }
    return reader;
}

} // namespace

bool ReadPictureInfo(const std::string& path, PictureInfo* info, std::string* error) {
    const std::unique_ptr<PictureReader> reader = Open(path, error);
    if (!reader) return false;
    info->width = std::abs(reader->width);
    info->height = std::abs(reader->height) * reader->frameCount;
    info->bitsPerPixel = reader->bitsPerPixel;
    return true;
}

bool ReadPicture(const std::string& path, Image* image, std::string* error) {
    const std::unique_ptr<PictureReader> reader = Open(path, error);
    if (!reader) return false;
    Image img(std::abs(reader->width), std::abs(reader->height));
    for (size_t i = 3; i < img.rgba.size(); i += 4) img.rgba[i] = 255;
    if (img.width == 0 || img.height == 0 ||
        reader->ReadPixels(img.rgba.data(), 0, 4, img.width * 4, 8, 8, 8, 8, 0, 8, 16, 24,
                           img.width, img.height) != 0) {
        if (error) *error = path + ": the game cannot convert its pixels";
        return false;
    }
    *image = std::move(img);
    return true;
}

} // namespace content
