#include "install/skin.h"

#include "install/resources.h"

#include "SYS/png_image.h"

#include <cstring>

namespace inst {

bool DecodePng(const unsigned char* data, size_t size, uint32_t background, Picture* out) {
    sys::RgbaImage image;
    if (!sys::DecodePng(data, size, kMaxPictureSide, &image)) return false;
    out->width = image.width;
    out->height = image.height;
    out->pixels.resize(static_cast<size_t>(image.width) * image.height);
    const unsigned backR = background >> 16 & 0xFF, backG = background >> 8 & 0xFF,
                   backB = background & 0xFF;
    for (size_t i = 0; i < out->pixels.size(); ++i) {
        const uint8_t* p = &image.rgba[i * 4];
        const unsigned a = p[3];
        auto blend = [a](unsigned c, unsigned back) {
            return (c * a + back * (255 - a) + 127) / 255;
        };
        out->pixels[i] = blend(p[0], backR) << 16 | blend(p[1], backG) << 8 | blend(p[2], backB);
    }
    return true;
}

static uint16_t U16(const unsigned char* p) {
    return static_cast<uint16_t>(p[0] | p[1] << 8);
}

bool ParseAnim(const unsigned char* data, size_t size, std::vector<AnimFrame>* frames) {
    frames->clear();
    if (!data || size < 8 || std::memcmp(data, "anim", 4) != 0 || U16(data + 4) != 4) return false;
    const size_t count = U16(data + 6);
    if (size < 8 + 28 * count) return false;
    for (size_t i = 0; i < count; ++i) {
        const unsigned char* p = data + 8 + 28 * i;
        AnimFrame f;
        std::memcpy(&f.left, p, 4);
        std::memcpy(&f.top, p + 4, 4);
        std::memcpy(&f.right, p + 8, 4);
        std::memcpy(&f.bottom, p + 12, 4);
        f.minusLeft = static_cast<int16_t>(U16(p + 16));
        f.right16 = static_cast<int16_t>(U16(p + 18));
        f.minusTop = static_cast<int16_t>(U16(p + 20));
        f.bottom16 = static_cast<int16_t>(U16(p + 22));
        f.x = U16(p + 24);
        f.y = U16(p + 26);
        frames->push_back(f);
    }
    return true;
}

bool FramesFitSheet(const std::vector<AnimFrame>& frames, const Picture& sheet) {
    for (const AnimFrame& f : frames) {
        if (f.Width() <= 0 || f.Height() <= 0 || f.x + f.Width() > sheet.width ||
            f.y + f.Height() > sheet.height)
            return false;
    }
    return true;
}

static bool LoadPicture(int id, const char* type, uint32_t background, Picture* out) {
    ResourceData data;
    return FindResource(id, type, &data) && DecodePng(data.data, data.size, background, out);
}

static bool LoadFrames(int id, size_t expected, const Picture& sheet,
                       std::vector<AnimFrame>* frames) {
    ResourceData data;
    return FindResource(id, "anim", &data) && ParseAnim(data.data, data.size, frames) &&
           frames->size() == expected && FramesFitSheet(*frames, sheet);
}

bool LoadSkin(Skin* skin) {
    return LoadPicture(119, "PNG", 0, &skin->buttons) &&
           LoadPicture(118, "PNG", 0, &skin->background) &&
           LoadFrames(115, 12, skin->buttons, &skin->buttonFrames) &&
           LoadPicture(120, "PNG", kSkinColour, &skin->pictures) &&
           LoadFrames(117, 8, skin->pictures, &skin->pictureFrames) &&
           LoadPicture(124, "PNG", kSkinColour, &skin->package) &&
           LoadPicture(128, "BITMAP", kSkinColour, &skin->marks);
}

} // namespace inst
