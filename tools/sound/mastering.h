// Turning a raw render into a finished file: folding a loop's ringing tail onto its start,
// bringing it to a loudness, and holding its peaks under a ceiling without audible pumping.
#pragma once
#include "audio.h"

namespace soundtools {

// Loudness all music is brought to, and the ambient's place beneath it: the water is heard
// under the tunes without covering them.
constexpr double kMusicLoudness = -16.0;
constexpr double kAmbientBelowMusic = 6.0;
constexpr double kLoudnessTolerance = 1.0;
// Ceilings: music before encoding (the encoder may add a little), effects as stored.
constexpr double kMusicCeilingDb = -1.5;
constexpr double kEffectCeilingDb = -1.0;

// A loop rendered `loopFrames` long plus the sound that rings on past its end: the overhang is
// added onto the start, so playing the loop over and over sounds like one endless rendering.
void FoldTail(Audio& audio, size_t loopFrames);
// Cuts a one-shot to `frames` and fades its last `fadeFrames` to silence.
void EndWithFade(Audio& audio, size_t frames, size_t fadeFrames);
// Scales to the target integrated loudness, then limits peaks to the ceiling; a loop is
// limited as a ring, so its seam stays continuous.
void Master(Audio& audio, double targetLufs, double ceilingDb, bool loop);
// Holds peaks under the ceiling with a smooth gain that reacts ahead of each peak.
void LimitPeaks(Audio& audio, double ceilingDb, bool loop);

} // namespace soundtools
