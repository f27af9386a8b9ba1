#include "GAME/water_line.h"

#include <cmath>
#include <cstdint>

namespace {

constexpr int kReach = 5; // a shape spans column - 5 .. column + 5

int ShapeValue(WaterShape shape, int k) {
    const int k2 = k * k;
    switch (shape) {
    case WaterShape::Bump32: return 32 - (k2 * 32) / 25;
    case WaterShape::Dip64: return (k2 * 64) / 25 - 64;
    case WaterShape::Dip16: return (k2 * 16) / 25 - 16;
    case WaterShape::Bump64: return 64 - (k2 * 64) / 25;
    }
    return 0;
}

} // namespace

void WaterLine::disturb(int column, WaterShape shape) {
    int8_t* line = buffers_[current_];
    for (int k = -kReach; k <= kReach; ++k) {
        int64_t i = int64_t(column) + k;
        if (i < 1) i = 0;
        if (i > kColumns - 1) i = kColumns - 1;
        line[i] = int8_t(ShapeValue(shape, k));
    }
}

void WaterLine::tick(float dt) {
    if (!std::isfinite(dt)) return;
    accumulator_ += dt;
    if (accumulator_ < kStepMs) return;
    accumulator_ -= kStepMs;
    step();
}

void WaterLine::step() {
    const int8_t* src = buffers_[current_];
    int8_t* dst = buffers_[1 - current_];
    for (int k = 1; k < kColumns - 1; ++k) {
        const int v = (src[k - 1] + src[k + 1]) / 2 - dst[k];
        dst[k] = int8_t(v - (v >> dampingShift_));
    }
    current_ = 1 - current_;
}

int WaterLine::height(int i) const {
    if (i < 0 || i >= kColumns) return 0;
    return buffers_[current_][i];
}
