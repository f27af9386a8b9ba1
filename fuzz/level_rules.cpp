// Rule files as players edit them: any bytes, split into a mode's rule file, the score rules and
// a shot script, build levels that are then played for a few hundred ticks without a crash, a
// hang or an unbounded allocation.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "GAME/sim/simulator.h"
#include "GRAPH/graph.h"
#include "SYS/msgbox.h"

namespace {

constexpr long long kTicks = 400;

std::string g_folder;

void RemoveScratchFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(g_folder, ignored);
}

// The game reads its rules relative to the current folder: a scratch game folder.
void EnterScratchFolder() {
    if (!g_folder.empty()) return;
    char pattern[] = "/tmp/fuzz_rules_XXXXXX";
    if (!mkdtemp(pattern)) std::abort();
    g_folder = pattern;
    std::filesystem::create_directories(g_folder + "/DATA");
    if (chdir(g_folder.c_str()) != 0) std::abort();
    std::atexit(RemoveScratchFolder);
    // The level-up screen's pictures are not there: answer the message box at once.
    sys::SetMessageBoxResponder(
        [](const std::string&, const std::string&, unsigned) { return sys::IDOK; });
}

void Write(const char* path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

// Parts are separated by lines "---": rule file, score rules, script.
std::vector<std::string> Parts(const std::string& input) {
    std::vector<std::string> parts(1);
    size_t at = 0;
    while (at <= input.size() && parts.size() < 3) {
        const size_t cut = input.find("\n---\n", at);
        if (cut == std::string::npos) break;
        parts.back() = input.substr(at, cut - at);
        parts.emplace_back();
        at = cut + 5;
    }
    parts.back() = input.substr(std::min(at, input.size()));
    parts.resize(3);
    return parts;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    EnterScratchFolder();
    const std::string input(reinterpret_cast<const char*>(data), size);
    const std::vector<std::string> parts = Parts(input);
    const int mode = size > 0 ? data[0] % 3 : 0;
    const char* const ruleFiles[] = {"DATA/ArcadeScore.ini", "DATA/PuzzleTime.ini",
                                     "DATA/Panic.ini"};
    Write(ruleFiles[mode], parts[0]);
    Write("DATA/score.ini", parts[1]);

    std::vector<ScriptCommand> script;
    std::string error;
    if (!ParseScript(parts[2], script, error)) script.clear();
    SimOptions options;
    options.mode = mode;
    options.difficulty = size > 1 ? int(data[1] % 3) - 1 : 0;
    options.seedGiven = true;
    options.seed = uint32_t(size);
    options.ticks = kTicks;
    options.levels = 3;
    options.bot = script.empty() && size % 2 == 1;
    std::ostringstream out;
    RunSimulation(options, script, out);
    // The sprite cache keeps every picture a level or the level-up screen named; drop those no
    // widget holds any more, as the display's shutdown does, so inputs do not pile them up.
    DestroyUnheldSprites();
    std::remove("gerr.log");
    return 0;
}
