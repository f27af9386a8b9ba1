#include "cvd.h"

#include <cmath>

namespace content {

namespace {

// Machado, Oliveira and Fernandes' matrices for complete dichromacy, linear RGB.
const double kMatrices[3][3][3] = {
    {{0.152286, 1.052583, -0.204868},
     {0.114503, 0.786281, 0.099216},
     {-0.003882, -0.048116, 1.051998}},
    {{0.367322, 0.860646, -0.227968},
     {0.280085, 0.672501, 0.047413},
     {-0.011820, 0.042940, 0.968881}},
    {{1.255528, -0.076749, -0.178779},
     {-0.078411, 0.930809, 0.147602},
     {0.004733, 0.691367, 0.303900}},
};

double ToLinear(uint8_t v) {
    const double c = v / 255.0;
    return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

uint8_t FromLinear(double c) {
    c = c < 0 ? 0 : (c > 1 ? 1 : c);
    const double v = c <= 0.0031308 ? c * 12.92 : 1.055 * std::pow(c, 1 / 2.4) - 0.055;
    return static_cast<uint8_t>(std::lround(v * 255));
}

} // namespace

const char* DeficiencyName(Deficiency d) {
    switch (d) {
    case Deficiency::Protanopia: return "protanopia";
    case Deficiency::Deuteranopia: return "deuteranopia";
    default: return "tritanopia";
    }
}

void SimulateDeficiency(Deficiency d, uint8_t rgb[3]) {
    const double(&m)[3][3] = kMatrices[static_cast<int>(d)];
    const double in[3] = {ToLinear(rgb[0]), ToLinear(rgb[1]), ToLinear(rgb[2])};
    for (int r = 0; r < 3; ++r)
        rgb[r] = FromLinear(m[r][0] * in[0] + m[r][1] * in[1] + m[r][2] * in[2]);
}

} // namespace content
