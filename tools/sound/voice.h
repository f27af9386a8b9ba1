// The hero's wordless voice: a small creature's chirps and babble, sung as vowels gliding from
// one to the next over a pitch contour (harmonics shaped by the vowels' resonances).
#pragma once
#include <string>

#include "audio.h"

namespace soundtools {

struct VoiceStyle {
    double formantScale = 1.35; // a small throat: resonances above an adult's
    double vibratoHz = 6.0;
    double vibratoSemitones = 0.25;
    double breath = 0.04; // share of breathy noise
};

// Syllables separated by spaces: "<vowels>:<pitch>:<seconds>", vowels one or more of a e i o u
// joined by '>' (a glide), pitch "<Hz>" or "<Hz>><Hz>" (a contour); "_:<seconds>" is a pause.
// Example: "u>i:520>720:0.12 _:0.03 a:640>560:0.2". False with a message for a bad syllable.
bool SingSyllables(const std::string& syllables, const VoiceStyle& style, Audio& out,
                   std::string& error);

} // namespace soundtools
