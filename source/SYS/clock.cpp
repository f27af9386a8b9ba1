#include "SYS/clock.h"

#include <time.h>

namespace sys {
namespace {

std::function<int64_t()>& CounterOverride() {
    static std::function<int64_t()> source;
    return source;
}

int64_t MonotonicNanoseconds() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return int64_t(ts.tv_sec) * 1000000000 + ts.tv_nsec;
}

} // namespace

int64_t QueryPerformanceCounter() {
    if (CounterOverride()) return CounterOverride()();
    return MonotonicNanoseconds();
}

int64_t QueryPerformanceFrequency() {
    return 1000000000;
}

uint32_t GetTickCount() {
    if (CounterOverride()) return uint32_t(CounterOverride()() / 1000000);
    return uint32_t(MonotonicNanoseconds() / 1000000);
}

void SetCounterSourceForTesting(std::function<int64_t()> source) {
    CounterOverride() = std::move(source);
}

} // namespace sys
