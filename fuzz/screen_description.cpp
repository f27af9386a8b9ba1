// A screen description file as the menus read it: any bytes build a screen with every widget
// class, which then takes messages, updates and draws without a crash.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "GAME/Screen.h"
#include "GRAPH/Sprite.h"
#include "GRAPH/graph.h"
#include "SYS/msgbox.h"

namespace {

std::string g_folder;

void RemoveScratchFolder() {
    std::remove((g_folder + "/s.ini").c_str());
    rmdir(g_folder.c_str());
}

const std::string& ScratchFile() {
    static std::string file;
    if (file.empty()) {
        char pattern[] = "/tmp/fuzz_screen_XXXXXX";
        if (!mkdtemp(pattern)) std::abort();
        g_folder = pattern;
        file = g_folder + "/s.ini";
        std::atexit(RemoveScratchFolder);
        // Pictures the file names are not there: answer the message box at once.
        sys::SetMessageBoxResponder(
            [](const std::string&, const std::string&, unsigned) { return sys::IDOK; });
    }
    return file;
}

sys::LPARAM At(int x, int y) {
    return sys::LPARAM((uint32_t(y & 0xFFFF) << 16) | uint32_t(x & 0xFFFF));
}

void BuildAndDrive(const std::string& file) {
    Screen screen(file.c_str(), 1);
    screen.transitionStart = kOpenAtOnce;
    screen.AddButton("a");
    screen.AddLabel("b");
    screen.AddWideButton("c");
    screen.AddFromFile(std::make_unique<Slider>(), "d", STATE_NORMAL);
    screen.AddFromFile(std::make_unique<ValueList>(), "e", STATE_NORMAL);
    screen.AddFromFile(std::make_unique<Spinner>(), "f", STATE_NORMAL);
    screen.AddFromFile(std::make_unique<TextField>(), "g", STATE_NORMAL);
    screen.FocusFirst(0);
    for (const auto& child : screen.children) {
        const int cx = child->x + child->width / 2, cy = child->y + child->height / 2;
        screen.HandleMessage(sys::WM_LBUTTONDOWN, 0, At(cx, cy));
        screen.HandleMessage(sys::WM_MOUSEMOVE, 0, At(child->x + 8, cy));
        screen.HandleMessage(sys::WM_LBUTTONUP, 0, At(cx, cy));
        screen.HandleMessage(sys::WM_CHAR, 'x', 0);
        screen.HandleMessage(sys::WM_KEYDOWN, sys::VK_BACK, 0);
        screen.HandleMessage(sys::WM_KEYUP, sys::VK_DOWN, 0);
        screen.result = -1;
        screen.transitionStart = kOpenAtOnce;
    }
    screen.Update(16.0f);
    screen.Draw();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string& file = ScratchFile();
    FILE* out = std::fopen(file.c_str(), "wb");
    if (!out) std::abort();
    if (size) std::fwrite(data, 1, size, out);
    std::fclose(out);
    BuildAndDrive(file);
    // The sprite cache keeps every picture the file named; drop those no widget holds any more,
    // as the display's shutdown does, so names from earlier inputs do not pile up.
    DestroyUnheldSprites();
    return 0;
}
