// The red, green and blue fields of 16-bit pixels in the current format, for the software
// drawing loops of sprites and text.
#pragma once
#include <cstdint>

#include "GRAPH/graph.h"

namespace pixel_fields {

// Red, green and blue of the current format as fields: shift and largest value. The software
// blits work on the fields' values in 16-bit lanes; for a field of b bits at shift h,
// (dst & M) + ((a * ((src & M) - (dst & M))) >> 8 & M), masked with M, is exactly
// D + ((a * (S - D)) >> 8) in field values, which never leaves 0..2^b - 1.
struct Channels {
    uint16_t shift[3];
    uint16_t max[3];
};

inline Channels CurrentChannels() {
    const PixelFormatDesc& f = CurrentPixelFormat();
    return Channels{{uint16_t(f.RedShift()), uint16_t(f.GreenShift()), uint16_t(f.BlueShift())},
                    {uint16_t((1u << f.RedBits()) - 1), uint16_t((1u << f.GreenBits()) - 1),
                     uint16_t((1u << f.BlueBits()) - 1)}};
}

inline uint16_t Field(uint16_t pixel, const Channels& c, int i) {
    return uint16_t((pixel >> c.shift[i]) & c.max[i]);
}

// D + ((a * (S - D)) >> 8) for one field; the product fits 16 bits for fields of up to 7 bits.
inline uint16_t BlendField(uint16_t s, uint16_t d, int16_t a, const Channels& c, int i) {
    const int16_t S = int16_t(Field(s, c, i)), D = int16_t(Field(d, c, i));
    const int16_t product = int16_t(a * int16_t(S - D));
    return uint16_t(uint16_t(D + int16_t(product >> 8)) << c.shift[i]);
}

// The game's own format, known at compile time: constant shifts and masks make the loops shorter.
constexpr Channels kRgb565{{11, 5, 0}, {31, 63, 31}};

inline bool IsRgb565(const Channels& c) {
    return c.shift[0] == 11 && c.shift[1] == 5 && c.shift[2] == 0 && c.max[0] == 31 &&
           c.max[1] == 63 && c.max[2] == 31;
}

} // namespace pixel_fields
