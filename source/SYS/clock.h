// Timing services: the performance counter the game loop measures with, and a millisecond clock.
// Tests replace the time source to drive the loop deterministically.
#pragma once
#include <cstdint>
#include <functional>

namespace sys {

int64_t QueryPerformanceCounter();
int64_t QueryPerformanceFrequency();
// Milliseconds since an arbitrary start (the C library's clock() as the game uses it).
uint32_t GetTickCount();

// Replaces the counter (counts at QueryPerformanceFrequency() per second); empty restores the real
// one.
void SetCounterSourceForTesting(std::function<int64_t()> source);

} // namespace sys
