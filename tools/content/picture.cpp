#include "picture.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>

#include "jpeg_out.h"
#include "paint.h"
#include "tga.h"

namespace content {

Image FromCairo(cairo_surface_t* surface) {
    cairo_surface_flush(surface);
    const int w = cairo_image_surface_get_width(surface);
    const int h = cairo_image_surface_get_height(surface);
    const int stride = cairo_image_surface_get_stride(surface);
    const bool hasAlpha = cairo_image_surface_get_format(surface) == CAIRO_FORMAT_ARGB32;
    const unsigned char* data = cairo_image_surface_get_data(surface);
    Image out(w, h);
    for (int y = 0; y < h; ++y) {
        const uint32_t* row =
            reinterpret_cast<const uint32_t*>(data + static_cast<size_t>(y) * stride);
        for (int x = 0; x < w; ++x) {
            const uint32_t p = row[x];
            const int a = hasAlpha ? static_cast<int>(p >> 24) : 255;
            uint8_t* d = out.At(x, y);
            d[3] = static_cast<uint8_t>(a);
            for (int c = 0; c < 3; ++c) {
                const int v = static_cast<int>((p >> (16 - 8 * c)) & 0xFF);
                d[c] = static_cast<uint8_t>(a == 0 ? 0 : std::min(255, (v * 255 + a / 2) / a));
            }
        }
    }
    return out;
}

std::string GamePath(const std::string& root, const std::string& gameName) {
    std::string path = root;
    path += '/';
    for (char c : gameName) path += c == '\\' ? '/' : c;
    return path;
}

std::string MaskName(const std::string& gameName) {
    const size_t slash = gameName.find_last_of('\\');
    if (slash == std::string::npos) return "_" + gameName;
    return gameName.substr(0, slash + 1) + "_" + gameName.substr(slash + 1);
}

namespace {

// The file's path below root, with its folders made.
std::string PreparedPath(const std::string& root, const std::string& gameName) {
    const std::string path = GamePath(root, gameName);
    std::error_code ec;
    std::filesystem::create_directories(std::filesystem::path(path).parent_path(), ec);
    return path;
}

} // namespace

bool SavePicture(const std::string& root, const std::string& gameName, const Image& image,
                 PictureKind kind) {
    const std::string path = PreparedPath(root, gameName);
    std::string error;
    bool ok = false;
    switch (kind) {
    case PictureKind::Opaque: ok = WriteTga(path, image, 24, &error); break;
    case PictureKind::Masked:
        ok = WriteTga(path, image, 24, &error) &&
             WriteTgaMask(GamePath(root, MaskName(gameName)), image, &error);
        break;
    case PictureKind::Jpeg: ok = WriteJpeg(path, image, 92, &error); break;
    }
    if (!ok) std::fprintf(stderr, "%s\n", error.c_str());
    return ok;
}

bool WritePng(const Image& img, const std::string& path) {
    cairo_surface_t* s = ToCairo(img);
    const bool ok = cairo_surface_write_to_png(s, path.c_str()) == CAIRO_STATUS_SUCCESS;
    cairo_surface_destroy(s);
    if (!ok) std::fprintf(stderr, "cannot write %s\n", path.c_str());
    return ok;
}

bool SaveMask(const std::string& root, const std::string& gameName, const Image& image) {
    const std::string path = PreparedPath(root, gameName);
    std::string error;
    if (WriteTgaMask(path, image, &error)) return true;
    std::fprintf(stderr, "%s\n", error.c_str());
    return false;
}

} // namespace content
