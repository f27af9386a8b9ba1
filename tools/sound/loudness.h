// Loudness as broadcast meters measure it (K-weighted, gated, in LUFS), and the checks the
// build applies to what it makes: peaks and loop seams.
#pragma once
#include "audio.h"

namespace soundtools {

// Integrated loudness over the whole sound (400 ms blocks overlapping by 75 %, absolute gate
// -70 LUFS, relative gate -10 LU). A sound shorter than one block is measured as one block.
// -200 for silence.
double IntegratedLoudness(const Audio& audio);
// The loudest 400 ms window.
double MaxMomentaryLoudness(const Audio& audio);

// How far the first sample strays from where the last two samples were heading, measured
// against how much the signal bends around the seam: below 1 the join is as smooth as the music
// on either side of it; a click stands out at several times that.
double SeamRoughness(const Audio& audio);

} // namespace soundtools
