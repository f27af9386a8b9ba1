// Simulated colour-vision deficiencies (complete dichromacy: protanopia, deuteranopia,
// tritanopia), applied in linear light, for checking that bubble colours stay apart.
#pragma once
#include <cstdint>

namespace content {

enum class Deficiency { Protanopia, Deuteranopia, Tritanopia };
constexpr Deficiency kDeficiencies[3] = {Deficiency::Deuteranopia, Deficiency::Protanopia,
                                         Deficiency::Tritanopia};
const char* DeficiencyName(Deficiency d);

// An sRGB colour (0..255 per channel) as a viewer with the deficiency sees it.
void SimulateDeficiency(Deficiency d, uint8_t rgb[3]);

} // namespace content
