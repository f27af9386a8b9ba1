// controls.ini as the game reads it: any bytes must load without a crash, keep only rows with an
// action and a key, and survive a save and a reload unchanged.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>
#include <vector>

#include "GAME/input.h"

namespace {

// One scratch folder per process, made on first use and removed at exit.
std::string g_folder;

void RemoveScratchFolder() {
    for (const char* name : {"/controls.ini", "/saved.ini"}) std::remove((g_folder + name).c_str());
    rmdir(g_folder.c_str());
}

const std::string& ScratchFolder() {
    if (g_folder.empty()) {
        char pattern[] = "/tmp/fuzz_bindings_XXXXXX";
        if (!mkdtemp(pattern)) std::abort();
        g_folder = pattern;
        std::atexit(RemoveScratchFolder);
    }
    return g_folder;
}

bool SameRows(const std::vector<KeyBinding>& a, const std::vector<KeyBinding>& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (a[i].action != b[i].action || a[i].key1 != b[i].key1 || a[i].key2 != b[i].key2)
            return false;
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string input = ScratchFolder() + "/controls.ini";
    const std::string saved = ScratchFolder() + "/saved.ini";
    FILE* file = std::fopen(input.c_str(), "wb");
    if (!file) std::abort();
    if (size > 0 && std::fwrite(data, 1, size, file) != size) std::abort();
    std::fclose(file);

    LoadBindings(input.c_str());
    const std::vector<KeyBinding> loaded = KeyBindings();
    for (const KeyBinding& row : loaded)
        if (row.action == 0 || (row.key1 == 0 && row.key2 == 0)) std::abort();
    if (!SaveBindings(saved.c_str())) std::abort();
    LoadBindings(saved.c_str());
    if (!SameRows(loaded, KeyBindings())) std::abort();
    return 0;
}
