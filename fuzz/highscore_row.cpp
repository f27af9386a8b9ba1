// A highscore.ini row as the game reads it: any text parses, the name never holds a comma, and a
// row written back from a parsed one reads the same.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "GAME/highscore.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const HighscoreRow row = ParseHighscoreRow(text);
    if (row.name.find(',') != std::string::npos) std::abort();
    if (row.empty != text.empty()) std::abort();
    if (row.empty || row.name.empty()) return 0;
    const HighscoreRow again = ParseHighscoreRow(FormatHighscoreRow(row.name, row.value));
    if (again.name != row.name || again.value != row.value) std::abort();
    return 0;
}
