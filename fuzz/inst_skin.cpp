// Skin pictures and frame tables: the PNG decoder also reads a package's own picture, and the
// "anim" reader takes any bytes; the first byte picks which one gets the rest.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "install/skin.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    const std::vector<unsigned char> bytes(data + 1, data + size);
    if (data[0] & 1) {
        inst::Picture picture;
        if (inst::DecodePng(bytes.data(), bytes.size(), inst::kSkinColour, &picture) &&
            picture.pixels.size() != static_cast<size_t>(picture.width) * picture.height)
            __builtin_trap();
    } else {
        std::vector<inst::AnimFrame> frames;
        inst::Picture sheet;
        sheet.width = 224;
        sheet.height = 120;
        if (inst::ParseAnim(bytes.data(), bytes.size(), &frames))
            inst::FramesFitSheet(frames, sheet);
    }
    return 0;
}
