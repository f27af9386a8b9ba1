// Contact-sheet pages of the pictures seen during play, drawn with the game's own sprite loader,
// blitters and bitmap fonts into an off-screen 16-bit back buffer: bubble sets (with simulated
// colour-vision deficiencies), bonuses, launcher frames, a level of each mode drawn by the game
// screen, the waterfall and every frame of the hero. Run with the game folder as current directory.
#pragma once
#include <string>

namespace content {

// Writes the pages into outDir; false (after printing why) when one cannot be written.
bool DrawPlayPages(const std::string& outDir);

} // namespace content
