#include "shade.h"

#include <algorithm>
#include <cmath>

namespace content {

double Clamp01(double v) {
    return v < 0 ? 0 : (v > 1 ? 1 : v);
}

double SmoothStep(double e0, double e1, double v) {
    const double t = Clamp01((v - e0) / (e1 - e0));
    return t * t * (3 - 2 * t);
}

Image Shade(int w, int h, int samples, const Shader& shader) {
    Image img(w, h);
    const double step = 1.0 / samples;
    const double weight = 1.0 / (samples * samples);
    for (int py = 0; py < h; ++py)
        for (int px = 0; px < w; ++px) {
            double r = 0, g = 0, b = 0, a = 0; // premultiplied sums
            for (int sy = 0; sy < samples; ++sy)
                for (int sx = 0; sx < samples; ++sx) {
                    const Rgba c = shader(px + (sx + 0.5) * step, py + (sy + 0.5) * step);
                    const double ca = Clamp01(c.a);
                    r += Clamp01(c.r) * ca;
                    g += Clamp01(c.g) * ca;
                    b += Clamp01(c.b) * ca;
                    a += ca;
                }
            uint8_t* p = img.At(px, py);
            if (a > 0) {
                p[0] = static_cast<uint8_t>(std::lround(r / a * 255));
                p[1] = static_cast<uint8_t>(std::lround(g / a * 255));
                p[2] = static_cast<uint8_t>(std::lround(b / a * 255));
            }
            p[3] = static_cast<uint8_t>(std::lround(a * weight * 255));
        }
    return img;
}

Rgba Over(Rgba a, Rgba b) {
    const double aa = Clamp01(a.a), ba = Clamp01(b.a);
    const double oa = aa + ba * (1 - aa);
    if (oa <= 0) return {};
    auto mix = [&](double ac, double bc) { return (ac * aa + bc * ba * (1 - aa)) / oa; };
    return {mix(a.r, b.r), mix(a.g, b.g), mix(a.b, b.b), oa};
}

void Composite(Image& dst, const Image& src, int x, int y) {
    for (int sy = 0; sy < src.height; ++sy) {
        const int dy = y + sy;
        if (dy < 0 || dy >= dst.height) continue;
        for (int sx = 0; sx < src.width; ++sx) {
            const int dx = x + sx;
            if (dx < 0 || dx >= dst.width) continue;
            const uint8_t* s = src.At(sx, sy);
            if (s[3] == 0) continue;
            uint8_t* d = dst.At(dx, dy);
            const Rgba o = Over({s[0] / 255.0, s[1] / 255.0, s[2] / 255.0, s[3] / 255.0},
                                {d[0] / 255.0, d[1] / 255.0, d[2] / 255.0, d[3] / 255.0});
            d[0] = static_cast<uint8_t>(std::lround(o.r * 255));
            d[1] = static_cast<uint8_t>(std::lround(o.g * 255));
            d[2] = static_cast<uint8_t>(std::lround(o.b * 255));
            d[3] = static_cast<uint8_t>(std::lround(o.a * 255));
        }
    }
}

namespace {

double Lattice(int x, int y, int periodX, int periodY, uint32_t seed) {
    x = ((x % periodX) + periodX) % periodX;
    y = ((y % periodY) + periodY) % periodY;
    uint32_t h = static_cast<uint32_t>(x) * 374761393u + static_cast<uint32_t>(y) * 668265263u +
                 seed * 2246822519u;
    h = (h ^ (h >> 13)) * 1274126177u;
    h ^= h >> 16;
    return (h & 0xFFFFFF) / double(0xFFFFFF);
}

} // namespace

double PeriodicNoise(double x, double y, int periodX, int periodY, uint32_t seed) {
    const int x0 = static_cast<int>(std::floor(x)), y0 = static_cast<int>(std::floor(y));
    const double fx = x - x0, fy = y - y0;
    const double ux = fx * fx * (3 - 2 * fx), uy = fy * fy * (3 - 2 * fy);
    const double a = Lattice(x0, y0, periodX, periodY, seed);
    const double b = Lattice(x0 + 1, y0, periodX, periodY, seed);
    const double c = Lattice(x0, y0 + 1, periodX, periodY, seed);
    const double d = Lattice(x0 + 1, y0 + 1, periodX, periodY, seed);
    return (a + (b - a) * ux) + ((c + (d - c) * ux) - (a + (b - a) * ux)) * uy;
}

double PeriodicFbm(double x, double y, int periodX, int periodY, int octaves, uint32_t seed) {
    double sum = 0, amplitude = 0.5, total = 0;
    for (int o = 0; o < octaves; ++o) {
        sum += amplitude * PeriodicNoise(x, y, periodX, periodY, seed + 101u * o);
        total += amplitude;
        x *= 2, y *= 2, periodX *= 2, periodY *= 2, amplitude *= 0.5;
    }
    return sum / total;
}

double Diffuse(double nx, double ny, double nz) {
    const double l = std::sqrt(Light::x * Light::x + Light::y * Light::y + Light::z * Light::z);
    return std::max(0.0, (nx * Light::x + ny * Light::y + nz * Light::z) / l);
}

} // namespace content
