// Converting a 640x480 picture to the RGB565 back-buffer format, as the sprite loader does for
// every picture: our readers' shared conversion against SDL2's SDL_ConvertPixels on the same
// pixels. 24-bit TGA (blue-green-red bytes) and the red-green-blue bytes of decoded JPEGs.
// Prints the CPU-time ratio ours / SDL for each (CPU time: the machine is shared).
#include <SDL.h>
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include <jpeglib.h>

#include "GRAPH/PictureReader.h"

namespace {

constexpr int kW = 640, kH = 480;

std::vector<uint8_t> TestPixels() {
    std::vector<uint8_t> bytes;
    for (int y = 0; y < kH; ++y)
        for (int x = 0; x < kW; ++x)
            bytes.insert(bytes.end(), {uint8_t(x * 3 + y), uint8_t(y * 5), uint8_t(x ^ y)});
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

std::string WriteTga(const std::vector<uint8_t>& bgr) {
    const std::string path = TempFolder() + "/bench.tga";
    uint8_t header[18] = {0, 0, 2};
    header[12] = kW & 0xFF, header[13] = kW >> 8, header[14] = kH & 0xFF, header[15] = kH >> 8;
    header[16] = 24, header[17] = 0x20;
    FILE* f = std::fopen(path.c_str(), "wb");
    std::fwrite(header, 1, sizeof header, f);
    std::fwrite(bgr.data(), 1, bgr.size(), f);
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

void OurConversion(benchmark::State& state, const std::string& path) {
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
}

void SdlConversion(benchmark::State& state, Uint32 sourceFormat) {
    const std::vector<uint8_t> src = TestPixels();
    std::vector<uint16_t> dst(size_t(kW) * kH);
    for (auto _ : state) {
        SDL_ConvertPixels(kW, kH, sourceFormat, src.data(), kW * 3, SDL_PIXELFORMAT_RGB565,
                          dst.data(), kW * 2);
        benchmark::DoNotOptimize(dst.data());
    }
}

void BM_OursTga24(benchmark::State& state) { OurConversion(state, WriteTga(TestPixels())); }
void BM_SdlBgr24(benchmark::State& state) { SdlConversion(state, SDL_PIXELFORMAT_BGR24); }
void BM_OursJpegRgb(benchmark::State& state) { OurConversion(state, WriteJpeg(TestPixels())); }
void BM_SdlRgb24(benchmark::State& state) { SdlConversion(state, SDL_PIXELFORMAT_RGB24); }

BENCHMARK(BM_OursTga24)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SdlBgr24)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_OursJpegRgb)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SdlRgb24)->Unit(benchmark::kMicrosecond);

// Prints ours / SDL for each pair after the usual table.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs)
            if (!run.error_occurred) times_[run.benchmark_name()] = run.GetAdjustedCPUTime();
    }
    void Finalize() override {
        ConsoleReporter::Finalize();
        Ratio("24-bit TGA -> RGB565", "BM_OursTga24", "BM_SdlBgr24");
        Ratio("JPEG RGB   -> RGB565", "BM_OursJpegRgb", "BM_SdlRgb24");
        std::error_code ignored;
        std::filesystem::remove_all(TempFolder(), ignored);
    }

private:
    void Ratio(const char* what, const char* ours, const char* peer) {
        if (times_.count(ours) && times_.count(peer) && times_[peer] > 0)
            std::printf("%s: ours / SDL = %.2f\n", what, times_[ours] / times_[peer]);
    }
    std::map<std::string, double> times_;
};

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    return 0;
}
