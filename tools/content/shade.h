// Per-pixel drawing for the gameplay pictures: a shader run over every pixel with several
// samples per pixel (so every edge is anti-aliased), compositing, and periodic noise for
// textures that must tile.
#pragma once
#include <cstdint>
#include <functional>

#include "image.h"
#include "paint.h"

namespace content {

struct Rgba {
    double r = 0, g = 0, b = 0, a = 0; // straight alpha, 0..1
};

inline Rgba WithAlpha(Rgb c, double a) {
    return {c.r, c.g, c.b, a};
}

// Colour and coverage at a point of the picture (pixel centres lie at x + 0.5).
using Shader = std::function<Rgba(double x, double y)>;

// A picture of w x h pixels, each the average of samples x samples shader calls.
Image Shade(int w, int h, int samples, const Shader& shader);
// src composited over dst with its top-left at (x, y); parts outside dst are dropped.
void Composite(Image& dst, const Image& src, int x, int y);
// Layer a over b, both straight alpha.
Rgba Over(Rgba a, Rgba b);

double Clamp01(double v);
double SmoothStep(double e0, double e1, double v);

// Smooth value noise in 0..1 that repeats every periodX x periodY lattice cells.
double PeriodicNoise(double x, double y, int periodX, int periodY, uint32_t seed);
// Sum of octaves of periodic noise, each twice as fine; still periodic with the base period.
double PeriodicFbm(double x, double y, int periodX, int periodY, int octaves, uint32_t seed);

// The light of the whole game: from the upper left, a little toward the viewer.
struct Light {
    static constexpr double x = -0.50, y = -0.62, z = 0.60;
};
// Lambert term of a unit normal under that light, 0..1.
double Diffuse(double nx, double ny, double nz);

} // namespace content
