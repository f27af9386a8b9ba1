// Presenting a 640x480 RGB565 back buffer without a graphics processor: our widening and
// enlarging into an XRGB8888 window surface against SDL2 doing the same on the same pixels
// (SDL_ConvertPixels at the same size; at twice the size, the software renderer's scaled
// SDL_BlitScaled), and frames whose change is one sprite-sized patch or every pixel against
// widening it all again.
#include <SDL.h>
#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "SYS/window_software.h"
#include "paired.h"

namespace {

constexpr int kW = 640, kH = 480;

std::vector<uint16_t> TestPicture() {
    std::vector<uint16_t> pixels(size_t(kW) * kH);
    for (int y = 0; y < kH; ++y)
        for (int x = 0; x < kW; ++x) pixels[size_t(y) * kW + x] = uint16_t(x * 37 + y * 1031);
    return pixels;
}

paired::Body OurWidening(int scale) {
    return [scale](benchmark::State& state) {
        const std::vector<uint16_t> picture = TestPicture();
        std::vector<uint32_t> out(size_t(kW) * kH * size_t(scale * scale));
        for (auto _ : state) {
            sys::ScaleRGB565ToXRGB8888(picture.data(), kW * 2, kW, kH, sys::Rect{0, 0, kW, kH},
                                       out.data(), kW * scale * 4, kW * scale, kH * scale);
            benchmark::DoNotOptimize(out.data());
        }
    };
}

paired::Body SdlConversion() {
    return [](benchmark::State& state) {
        const std::vector<uint16_t> picture = TestPicture();
        std::vector<uint32_t> out(size_t(kW) * kH);
        for (auto _ : state) {
            SDL_ConvertPixels(kW, kH, SDL_PIXELFORMAT_RGB565, picture.data(), kW * 2,
                              SDL_PIXELFORMAT_RGB888, out.data(), kW * 4);
            benchmark::DoNotOptimize(out.data());
        }
    };
}

paired::Body SdlScaledBlit() {
    return [](benchmark::State& state) {
        std::vector<uint16_t> picture = TestPicture();
        SDL_Surface* src = SDL_CreateRGBSurfaceWithFormatFrom(picture.data(), kW, kH, 16, kW * 2,
                                                              SDL_PIXELFORMAT_RGB565);
        SDL_Surface* dst =
            SDL_CreateRGBSurfaceWithFormat(0, kW * 2, kH * 2, 32, SDL_PIXELFORMAT_RGB888);
        SDL_Rect target{0, 0, kW * 2, kH * 2};
        for (auto _ : state) {
            SDL_BlitScaled(src, nullptr, dst, &target);
            benchmark::DoNotOptimize(dst->pixels);
        }
        SDL_FreeSurface(dst);
        SDL_FreeSurface(src);
    };
}

// Frames alternate between the picture and a copy with a patch changed, made beforehand so
// that only the present is timed.
paired::Body OurChangesOnly(int left, int top, int right, int bottom) {
    return [=](benchmark::State& state) {
        const std::vector<uint16_t> picture = TestPicture();
        std::vector<uint16_t> changed = picture;
        for (int y = top; y < bottom; ++y)
            for (int x = left; x < right; ++x) changed[size_t(y) * kW + x] ^= 0x0841;
        std::vector<uint32_t> out(size_t(kW) * kH);
        sys::ShownPicture shown;
        bool odd = false;
        for (auto _ : state) {
            odd = !odd;
            sys::ScaleChangesRGB565ToXRGB8888(odd ? changed.data() : picture.data(), kW * 2, kW, kH,
                                              sys::Rect{0, 0, kW, kH}, shown, out.data(), kW * 4,
                                              kW, kH);
            benchmark::DoNotOptimize(out.data());
        }
    };
}

} // namespace

int main(int argc, char** argv) {
    using paired::Row;
    paired::Add(Row{
        "RGB565 -> XRGB8888", {"ours", OurWidening(1)}, {{"SDL_ConvertPixels", SdlConversion()}}});
    paired::Add(Row{
        "RGB565 -> XRGB8888 x2", {"ours", OurWidening(2)}, {{"SDL_BlitScaled", SdlScaledBlit()}}});
    paired::Add(Row{"one 64x64 patch changed",
                    {"ours, changes only", OurChangesOnly(300, 200, 364, 264)},
                    {{"ours, whole frame", OurWidening(1)}}});
    // The worst case, a frame that changes everywhere (the menus' waterfall changes most of it).
    paired::Add(Row{"every pixel changed",
                    {"ours, changes only", OurChangesOnly(0, 0, kW, kH)},
                    {{"ours, whole frame", OurWidening(1)}}});
    return paired::Run(argc, argv, "A 640x480 back buffer shown on an XRGB8888 window surface");
}
