// Package speed: verification of a 200 MB block (rotate-xor checksum and CRC-32, each against
// the plain byte-at-a-time loop), and extraction of a package of mixed compressible and
// incompressible files against plain zlib inflating the same entries into the same files.
// The extraction also reports its peak heap, sampled before every piece it writes.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <map>
#include <malloc.h>
#include <unistd.h>
#include <zlib.h>

#include "install/app.h"
#include "install/package/blocks.h"
#include "install/package/builder.h"
#include "install/package/entries.h"
#include "install/package/extract.h"
#include "install/script.h"

namespace fs = std::filesystem;

namespace {

constexpr size_t kMiB = 1u << 20;

std::vector<uint8_t> Noise(size_t size, uint32_t seed) {
    std::vector<uint8_t> bytes(size);
    for (uint8_t& b : bytes) {
        seed = seed * 214013u + 2531011u;
        b = uint8_t(seed >> 16);
    }
    return bytes;
}

const std::vector<uint8_t>& Block200() {
    static const std::vector<uint8_t> block = Noise(200 * kMiB, 7);
    return block;
}

void BM_RotateXorChecksum(benchmark::State& state) {
    const auto& block = Block200();
    for (auto _ : state) benchmark::DoNotOptimize(pkg::RotateXorChecksum(block.data(), block.size()));
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(block.size()));
}

void BM_RotateXorChecksumBytewisePeer(benchmark::State& state) {
    const auto& block = Block200();
    for (auto _ : state) {
        uint32_t sum = 0;
        for (uint8_t b : block) sum = ((sum << 3) | (sum >> 29)) ^ b;
        benchmark::DoNotOptimize(sum);
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(block.size()));
}

void BM_Crc32(benchmark::State& state) {
    const auto& block = Block200();
    for (auto _ : state)
        benchmark::DoNotOptimize(crc32(crc32(0, Z_NULL, 0), block.data(), uInt(block.size())));
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(block.size()));
}

// A package of `megabytes` MiB: 4 MiB files, alternately text-like and random.
struct BenchPackage {
    std::vector<uint8_t> block;
    pkg::PackageBlock view;
    std::string folder;
    ~BenchPackage() {
        std::error_code ec;
        if (!folder.empty()) fs::remove_all(folder, ec);
    }
};

BenchPackage& Package(int megabytes) {
    static std::map<int, BenchPackage> packages;
    BenchPackage& p = packages[megabytes];
    if (!p.block.empty()) return p;
    std::vector<pkg::BuildNode> files;
    const std::string words = "reef bubble coral wave shell pearl fish tide ";
    for (int i = 0; i < megabytes / 4; ++i) {
        pkg::BuildNode node;
        node.name = "file" + std::to_string(i) + ".dat";
        if (i % 2) {
            const auto noise = Noise(4 * kMiB, uint32_t(i));
            node.content.assign(noise.begin(), noise.end());
        } else {
            uint32_t seed = uint32_t(i);
            while (node.content.size() < 4 * kMiB) {
                seed = seed * 214013u + 2531011u;
                node.content.append(words, (seed >> 16) % 40, 5);
            }
        }
        files.push_back(std::move(node));
    }
    p.block = pkg::BuildContainer({}, files);
    p.view = {pkg::BlockKind::kContainer, p.block.data(), uint32_t(p.block.size()), 0};
    char pattern[] = "/tmp/package_bench_XXXXXX";
    p.folder = ::mkdtemp(pattern);
    return p;
}

void BM_ExtractFiles(benchmark::State& state) {
    BenchPackage& p = Package(int(state.range(0)));
    inst::InstallerApp app;
    size_t peak = 0;
    const size_t before = mallinfo2().uordblks;
    for (auto _ : state) {
        inst::ScriptRunner runner(app);
        const bool ok = pkg::ExtractFiles(runner, p.view, "", p.folder, true, [&](double, double) {
            peak = std::max(peak, mallinfo2().uordblks);
            return true;
        });
        if (!ok) state.SkipWithError("extraction failed");
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * state.range(0) * int64_t(kMiB));
    state.counters["peak_heap_KiB"] = double(peak > before ? peak - before : 0) / 1024.0;
}

// The same entries, each inflated by zlib in one call into a whole buffer and written out.
void BM_PlainZlibPeer(benchmark::State& state) {
    BenchPackage& p = Package(int(state.range(0)));
    uint32_t count;
    pkg::TableCount(p.view, pkg::kContainerHeaderSize, &count);
    std::vector<uint8_t> out;
    for (auto _ : state) {
        for (uint32_t i = 0; i < count; ++i) {
            pkg::StorageEntry e;
            pkg::ReadEntry(p.view, pkg::kContainerHeaderSize, i, &e);
            const uint8_t* data = p.view.data + e.offset;
            out.resize(e.size);
            if (e.IsCompressed()) {
                uLongf size = e.size;
                uncompress(out.data(), &size, data, e.packedSize);
            } else {
                std::copy(data, data + e.size, out.begin());
            }
            FILE* f = std::fopen((p.folder + "/" + std::string(e.name)).c_str(), "wb");
            std::fwrite(out.data(), 1, out.size(), f);
            std::fclose(f);
        }
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * state.range(0) * int64_t(kMiB));
}

} // namespace

BENCHMARK(BM_RotateXorChecksum)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RotateXorChecksumBytewisePeer)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Crc32)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ExtractFiles)->Arg(20)->Arg(200)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlainZlibPeer)->Arg(20)->Arg(200)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
