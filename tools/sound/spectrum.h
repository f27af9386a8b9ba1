// Spectrograms for the listening sheet.
#pragma once
#include <vector>

#include "audio.h"

namespace soundtools {

// `columns` spectra evenly spread over the sound (both channels mixed), each with `rows` levels
// in dB (0 at full scale, row 0 the lowest frequency) on a logarithmic frequency axis from
// 40 Hz to 16 kHz.
std::vector<std::vector<float>> Spectrogram(const Audio& audio, int columns, int rows);

} // namespace soundtools
