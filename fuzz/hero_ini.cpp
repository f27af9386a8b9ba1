// DATA\hero.ini as the hero reads it: any bytes load the 19 animations over a small picture,
// then a run of events, updates of every kind of length and draws goes by without a crash.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "GAME/hero.h"
#include "GAME/game_ini.h"
#include "GRAPH/Sprite.h"
#include "GRAPH/graph.h"
#include "SYS/msgbox.h"

namespace {

std::string g_folder;

void RemoveScratchFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(g_folder, ignored);
}

void WriteBytes(const std::string& path, const void* data, size_t size) {
    FILE* out = std::fopen(path.c_str(), "wb");
    if (!out) std::abort();
    if (size) std::fwrite(data, 1, size, out);
    std::fclose(out);
}

// A scratch game folder made current, with a 4 x 8 picture the file may name as DATA\h.tga, a
// language file and a back buffer to draw into.
void PrepareOnce() {
    if (!g_folder.empty()) return;
    char pattern[] = "/tmp/fuzz_hero_XXXXXX";
    if (!mkdtemp(pattern)) std::abort();
    g_folder = pattern;
    std::atexit(RemoveScratchFolder);
    std::filesystem::create_directories(g_folder + "/DATA");
    if (chdir(g_folder.c_str()) != 0) std::abort();
    uint8_t tga[18 + 4 * 8 * 3] = {0, 0, 2};
    tga[12] = 4;
    tga[14] = 8;
    tga[16] = 24;
    tga[17] = 0x20;
    for (size_t i = 18; i < sizeof tga; ++i) tga[i] = uint8_t(i * 7);
    WriteBytes("DATA/h.tga", tga, sizeof tga);
    const char lang[] = "[hero]\nMenuHello1=Hi\nMenuHello2=there\nMenuStart1=Go\nGameBestShot3=!\n";
    WriteBytes("lang.ini", lang, sizeof lang - 1);
    LanguageFile = "lang.ini";
    sys::SetMessageBoxResponder(
        [](const std::string&, const std::string&, unsigned) { return sys::IDOK; });
    static Sprite backBuffer;
    backBuffer.width = 640;
    backBuffer.frameHeight = 480;
    backBuffer.Reload();
    RenderSurface = &backBuffer;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    PrepareOnce();
    WriteBytes("DATA/hero.ini", data, size);
    TheHero.load();
    static const float kSteps[] = {16.0f, 0.0f, 1000.0f, -50.0f, 1e9f, 3.0f};
    // The events come from the input too, so the fuzzer can steer the chains.
    for (size_t i = 0; i < 64; ++i) {
        const int n = size ? int(data[i % size]) % 60 - 2 : int(i);
        TheHero.event(n);
        TheHero.update(kSteps[i % 6]);
        TheHero.draw();
    }
    TheHero.release();
    TheHero = Hero{};
    DestroyUnheldSprites();
    return 0;
}
