// rnd(v): nearest integer, halves to even; every pixel conversion of the game uses it.
#pragma once
#include <cmath>

inline int rnd(double v) {
    return int(std::nearbyint(v));
}
