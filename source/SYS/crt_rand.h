// The Windows C run-time's rand(): generated pictures and sequences must match the original
// bit for bit, so the game never uses the host C library's generator.
#pragma once
#include <cstdint>

namespace sys {

// One independent generator: state * 214013 + 2531011, yielding (state >> 16) & 0x7FFF.
struct CrtRandom {
    uint32_t state = 1;
    int Next() {
        state = state * 214013u + 2531011u;
        return int((state >> 16) & 0x7FFF);
    }
};

// The one program-wide generator that stands in for rand()/srand().
int crt_rand();
void crt_srand(uint32_t seed);

} // namespace sys
