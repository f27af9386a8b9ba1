#include "SYS/crt_rand.h"

namespace sys {
namespace {
CrtRandom g_programRandom;
}

int crt_rand() {
    return g_programRandom.Next();
}
void crt_srand(uint32_t seed) {
    g_programRandom.state = seed;
}

} // namespace sys
