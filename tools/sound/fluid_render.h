// Plays a song's notes through FluidSynth with a General MIDI sound font, offline, into stereo.
#pragma once
#include <string>

#include "audio.h"
#include "song.h"

namespace soundtools {

// The song's length plus its tail. False with a message when the synthesizer or the font fails.
bool RenderSong(const Song& song, const std::string& soundFont, Audio& out, std::string& error);

} // namespace soundtools
