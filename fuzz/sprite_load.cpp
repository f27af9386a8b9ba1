// A hostile picture (and mask) loaded as a sprite, then drawn every way into a small back buffer:
// sizes, frame counts and masks from the file must never make a blit leave its memory.
// Input: byte 0 picks the picture kind, byte 1 where the picture ends and its mask begins.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "GRAPH/Sprite.h"
#include "GRAPH/graph.h"
#include "SYS/msgbox.h"

namespace {

const char* const kKinds[] = {"pic.tga", "pic.bmp", "pic.avi", "pic.jpg", "pic.tva"};

void Write(const std::string& name, const uint8_t* data, size_t size) {
    if (FILE* f = std::fopen(name.c_str(), "wb")) {
        if (size) std::fwrite(data, 1, size, f);
        std::fclose(f);
    }
}

// The pictures and gerr.log go to a folder of our own, entered for each input only: the fuzzer
// reads its corpus by paths relative to the folder it was started in.
const std::string& WorkFolder() {
    static const std::string folder = [] {
        char name[] = "/tmp/fuzz_sprite_load_XXXXXX";
        if (!mkdtemp(name)) std::abort();
        return std::string(name);
    }();
    return folder;
}

Sprite& BackBuffer() {
    static Sprite* back = [] {
        sys::SetMessageBoxResponder(
            [](const std::string&, const std::string&, unsigned) { return sys::IDOK; });
        auto* s = new Sprite();
        s->width = 48;
        s->frameHeight = 32;
        s->Reload();
        return s;
    }();
    return *back;
}

void DrawEveryWay(Sprite& back, Sprite* s) {
    const uint32_t flagSets[] = {0, OP_MASK, OP_ADD, OP_ALPHA};
    for (uint32_t flags : flagSets) {
        back.DrawSprite(-3, -2, s, flags, 0.5f);
        back.DrawSprite(40, 20, s, flags, 1000.0f);
        back.StretchBlit(1, 1, 50, 7, s, 1, 1, 3, 90, flags, 0.0f);
        back.BlitRect(0, 0, 20, 20, s, -5, 3, flags, 0.0f);
        back.TileRect(-7, 5, 60, 30, s, -3, 11, flags);
    }
    const ScreenPoint points[3] = {{-5, -5}, {60, 0}, {0, 40}};
    const TexturePoint uv[3] = {{-0.5f, 0}, {1.5f, 0}, {0, 2}};
    back.DrawTriangle(0, s, points, uv, 0.25f);
    back.DrawTriangle(OP_ALPHA, s, points, uv, 0.75f);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Sprite& back = BackBuffer();
    if (size < 2) return 0;
    char home[4096];
    if (!getcwd(home, sizeof home) || chdir(WorkFolder().c_str()) != 0) std::abort();
    const std::string name = kKinds[data[0] % 5];
    const size_t body = size - 2;
    const size_t split = body * data[1] / 255;
    Write(name, data + 2, split);
    Write("_" + name, data + 2 + split, body - split);
    Sprite* s = LoadSprite(name.c_str(), nullptr, true);
    DrawEveryWay(back, s);
    // Animation strips are re-cut by their holders; a careless cut must not reach outside either.
    s->frameCount = int16_t(s->frameCount + 3);
    s->frameHeight = int16_t(s->frameHeight + 1);
    DrawEveryWay(back, s);
    s->Release();
    if (chdir(home) != 0) std::abort();
    return 0;
}
