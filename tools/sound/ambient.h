// The water ambience under the music: the waterfall's roar, the low rumble of the pool and the
// bubbles that rise through it, made as a ring so the loop has no seam at all.
#pragma once
#include <string>

#include "audio.h"

namespace soundtools {

// Reads section "ambient" of the recipe file; stereo, not yet mastered. False with a message.
bool MakeAmbient(const std::string& recipeFile, Audio& out, std::string& error);

} // namespace soundtools
