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

// How sharply the sound bends where its end meets its start (a jump in level or a kink in the
// slope), measured against how much it bends on either side of the seam: below 1 the join is as
// smooth as the sound around it; a click stands out at several times that.
double SeamRoughness(const Audio& audio);

} // namespace soundtools
