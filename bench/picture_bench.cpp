// Converting a 640x480 picture to the RGB565 back-buffer format, as the sprite loader does for
// every picture: our readers' conversion against SDL2's SDL_ConvertPixels on the same pixels, for
// the depths the readers meet: 16-bit 5-5-5 and 24-bit TGA, 32-bit TGA, and the red-green-blue
// bytes of decoded JPEGs.
#include <SDL.h>
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include <jpeglib.h>

#include "GRAPH/PictureReader.h"
#include "paired.h"

namespace {

constexpr int kW = 640, kH = 480;

// `bytesPerPixel` bytes of a smooth test picture per pixel.
std::vector<uint8_t> TestPixels(int bytesPerPixel = 3) {
    std::vector<uint8_t> bytes(size_t(kW) * kH * size_t(bytesPerPixel));
    uint8_t* p = bytes.data();
    for (int y = 0; y < kH; ++y)
        for (int x = 0; x < kW; ++x, p += bytesPerPixel) {
            const uint8_t pixel[4] = {uint8_t(x * 3 + y), uint8_t(y * 5), uint8_t(x ^ y),
                                      uint8_t(x + y)};
            std::copy(pixel, pixel + bytesPerPixel, p);
        }
    return bytes;
}

std::string TempFolder() {
    static const std::string folder = [] {
        char pattern[] = "/tmp/reefpop_bench_XXXXXX";
        if (!mkdtemp(pattern)) std::abort();
        return std::string(pattern);
    }();
    return folder;
}

std::string WriteTga(const std::vector<uint8_t>& pixels, int bitsPerPixel) {
    const std::string path = TempFolder() + "/bench" + std::to_string(bitsPerPixel) + ".tga";
    uint8_t header[18] = {0, 0, 2};
    header[12] = kW & 0xFF, header[13] = kW >> 8, header[14] = kH & 0xFF, header[15] = kH >> 8;
    header[16] = uint8_t(bitsPerPixel), header[17] = 0x20;
    FILE* f = std::fopen(path.c_str(), "wb");
    std::fwrite(header, 1, sizeof header, f);
    std::fwrite(pixels.data(), 1, pixels.size(), f);
    std::fclose(f);
    return path;
}

std::string WriteJpeg(const std::vector<uint8_t>& rgb) {
    const std::string path = TempFolder() + "/bench.jpg";
    jpeg_compress_struct c;
    jpeg_error_mgr e;
    c.err = jpeg_std_error(&e);
    jpeg_create_compress(&c);
    FILE* f = std::fopen(path.c_str(), "wb");
    jpeg_stdio_dest(&c, f);
    c.image_width = kW;
    c.image_height = kH;
    c.input_components = 3;
    c.in_color_space = JCS_RGB;
    jpeg_set_defaults(&c);
    jpeg_start_compress(&c, TRUE);
    while (c.next_scanline < c.image_height) {
        JSAMPROW row = const_cast<uint8_t*>(rgb.data()) + size_t(c.next_scanline) * kW * 3;
        jpeg_write_scanlines(&c, &row, 1);
    }
    jpeg_finish_compress(&c);
    jpeg_destroy_compress(&c);
    std::fclose(f);
    return path;
}

paired::Body OurConversion(std::string path) {
    return [path](benchmark::State& state) {
        std::unique_ptr<PictureReader> reader = ReaderFor(path.c_str());
        if (!reader || reader->Open(path.c_str()) != 0) {
            state.SkipWithError("picture not readable");
            return;
        }
        std::vector<uint16_t> dst(size_t(kW) * kH);
        for (auto _ : state) {
            reader->ReadPixels(reinterpret_cast<uint8_t*>(dst.data()), 0, 2, kW * 2, 5, 6, 5, 0, 11,
                               5, 0, 0, kW, kH);
            benchmark::DoNotOptimize(dst.data());
        }
    };
}

paired::Body SdlConversion(Uint32 sourceFormat, int bytesPerPixel) {
    return [sourceFormat, bytesPerPixel](benchmark::State& state) {
        const std::vector<uint8_t> src = TestPixels(bytesPerPixel);
        std::vector<uint16_t> dst(size_t(kW) * kH);
        for (auto _ : state) {
            SDL_ConvertPixels(kW, kH, sourceFormat, src.data(), kW * bytesPerPixel,
                              SDL_PIXELFORMAT_RGB565, dst.data(), kW * 2);
            benchmark::DoNotOptimize(dst.data());
        }
    };
}

} // namespace

int main(int argc, char** argv) {
    using paired::Row;
    const std::string sdl = "SDL_ConvertPixels from ";
    paired::Add(Row{"16-bit TGA -> RGB565",
                    {"ours", OurConversion(WriteTga(TestPixels(2), 16))},
                    {{sdl + "RGB555", SdlConversion(SDL_PIXELFORMAT_RGB555, 2)}}});
    paired::Add(Row{"24-bit TGA -> RGB565",
                    {"ours", OurConversion(WriteTga(TestPixels(3), 24))},
                    {{sdl + "BGR24", SdlConversion(SDL_PIXELFORMAT_BGR24, 3)}}});
    paired::Add(Row{"32-bit TGA -> RGB565",
                    {"ours", OurConversion(WriteTga(TestPixels(4), 32))},
                    {{sdl + "ARGB8888", SdlConversion(SDL_PIXELFORMAT_ARGB8888, 4)}}});
    paired::Add(Row{"JPEG RGB -> RGB565",
                    {"ours", OurConversion(WriteJpeg(TestPixels()))},
                    {{sdl + "RGB24", SdlConversion(SDL_PIXELFORMAT_RGB24, 3)}}});
    const int result = paired::Run(argc, argv, "A 640x480 picture converted to RGB565");
    std::error_code ignored;
    std::filesystem::remove_all(TempFolder(), ignored);
    return result;
}
